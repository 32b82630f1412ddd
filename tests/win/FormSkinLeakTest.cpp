// Soak loops of skinned forms: many forms with a main menu made, shown and
// freed, and the gallery switched off and on again and again, leave no GDI
// or USER handle behind.
#include <gtest/gtest.h>

#include "FrameTestSupport.h"
#include "GalleryForm.h"
#include "frames/SkinWindowVCL.h"
#include "framework/ExtCtrls.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// A form with a two-level main menu, a popup menu and a few controls,
// skinned when it is shown, then freed.
void SkinnedFormRoundTrip(TnuvSkinEngine* engine) {
  TForm* form = Create<TForm>(nullptr);
  form->SetBounds(200, 150, 360, 240);
  auto* menu = Create<TMainMenu>(form);
  for (const wchar_t* caption : {L"&File", L"&Edit", L"&Help"}) {
    auto* top = Create<TMenuItem>(form);
    top->SetCaption(caption);
    menu->Items()->Add(top);
    auto* sub = Create<TMenuItem>(form);
    sub->SetCaption(L"&Item");
    top->Add(sub);
  }
  form->SetMenu(menu);
  auto* popup = Create<TPopupMenu>(form);
  auto* item = Create<TMenuItem>(form);
  item->SetCaption(L"&Copy");
  popup->Items()->Add(item);
  form->SetPopupMenu(popup);
  auto* panel = Create<TPanel>(form);
  panel->SetBounds(10, 10, 100, 50);
  panel->SetParent(form);
  form->Show();
  AppPump(0);
  EXPECT_NE(engine->FindFrameSkin(form->Handle()), nullptr);
  TObject::Free(form);
  AppPump(0);
}

TEST(FormSkinLeaks, ManySkinnedFormsWithMenusComeAndGoWithoutAHandleLeft) {
  EngineFixture fixture;
  const int ownerForm = fixture.engine->FrameSkinCount();
  for (int i = 0; i < 5; ++i) SkinnedFormRoundTrip(fixture.engine);  // warm up
  const int gdi = GdiHeadroom();
  const int leaked = UserHandlesLeaked([&] {
    for (int i = 0; i < 500; ++i) SkinnedFormRoundTrip(fixture.engine);
  }, 1);
  EXPECT_EQ(GdiHeadroom(), gdi);
  EXPECT_EQ(leaked, 0);
  EXPECT_EQ(fixture.engine->FrameSkinCount(), ownerForm);
}

TEST(FormSkinLeaks, TheGallerySwitchedOffAndOnAHundredTimesLeavesNoHandle) {
  auto* gallery = Create<demo::TGalleryForm>(nullptr);
  gallery->Show();
  AppPump(200);
  ASSERT_TRUE(IsSkinned(gallery->Handle()));
  const SIZE client = ClientSizeOf(gallery->Handle());
  for (int i = 0; i < 3; ++i) {  // warm up, as the loop below runs
    gallery->SetSkinning(false);
    AppPump(0);
    gallery->SetSkinning(true);
    AppPump(0);
  }
  // Measured with the skinned buttons painted, as at the end: each keeps
  // its face while it is skinned.
  AppPump(300);
  const int gdi = GdiHeadroom();
  const int leaked = UserHandlesLeaked([&] {
    for (int i = 0; i < 100; ++i) {
      gallery->SetSkinning(false);
      AppPump(0);
      gallery->SetSkinning(true);
      AppPump(0);
    }
    AppPump(300);
  }, 1);
  EXPECT_EQ(GdiHeadroom(), gdi);
  EXPECT_EQ(leaked, 0);
  EXPECT_EQ(ClientSizeOf(gallery->Handle()).cx, client.cx) << "the size does not creep";
  EXPECT_EQ(ClientSizeOf(gallery->Handle()).cy, client.cy);
  TObject::Free(gallery);
  AppPump(20);
}

}  // namespace
