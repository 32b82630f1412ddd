// Image lists: masked and unmasked images, enabled and disabled drawing,
// images taken out as bitmaps, deletion and resizing.
#include <gtest/gtest.h>

#include <cstdlib>

#include "GraphicsTestSupport.h"
#include "framework/ImgList.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// Two 16 x 16 images side by side: a red 8 x 8 square on magenta, then blue.
Owned<TBitmap> TwoImages() {
  Owned<TBitmap> b(FilledBitmap(32, 16, clFuchsia));
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect(RECT{4, 4, 12, 12});
  c->Brush()->SetColor(clBlue);
  c->FillRect(RECT{16, 0, 32, 16});
  return b;
}

bool IsGrey(TColor c) {
  const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return std::abs(r - g) <= 8 && std::abs(g - b) <= 8 && std::abs(r - b) <= 8;
}

}  // namespace

TEST(ImageList, AddMaskedDrawsTheImageWithItsMaskColourLeftOut) {
  Owned<TImageList> list(TImageList::CreateSize(16, 16));
  EXPECT_EQ(list->ClassName(), "TImageList");
  int changes = 0;
  list->OnChange = [&](TObject*) { ++changes; };
  Owned<TBitmap> images = TwoImages();
  EXPECT_EQ(list->AddMasked(images.get(), clFuchsia), 0);
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(images->PixelAt(0, 0), clFuchsia);  // the caller's bitmap is left alone

  Owned<TBitmap> target(FilledBitmap(40, 20, clWhite));
  list->Draw(target->Canvas(), 2, 2, 0);
  list->Draw(target->Canvas(), 20, 2, 1);
  EXPECT_EQ(CountColor(*target, RECT{6, 6, 14, 14}, clRed), 64);
  EXPECT_EQ(CountColor(*target, RECT{2, 2, 18, 18}, clWhite), 256 - 64);
  EXPECT_EQ(CountColor(*target, RECT{20, 2, 36, 18}, clBlue), 256);
  EXPECT_EQ(CountColor(*target, RECT{0, 0, 40, 2}, clWhite), 80);

  // Without a mask the magenta is drawn.
  Owned<TImageList> opaque(TImageList::CreateSize(16, 16));
  EXPECT_EQ(opaque->Add(images.get(), nullptr), 0);
  opaque->Draw(target->Canvas(), 2, 2, 0);
  EXPECT_EQ(CountColor(*target, RECT{2, 2, 18, 18}, clFuchsia), 256 - 64);

  // With a mask bitmap: white is transparent.
  Owned<TBitmap> mask(FilledBitmap(32, 16, clBlack));
  mask->Canvas()->Brush()->SetColor(clWhite);
  mask->Canvas()->FillRect(RECT{0, 0, 32, 8});
  Owned<TImageList> masked(TImageList::CreateSize(16, 16));
  EXPECT_EQ(masked->Add(images.get(), mask.get()), 0);
  Owned<TBitmap> second(FilledBitmap(16, 16, clWhite));
  masked->Draw(second->Canvas(), 0, 0, 1);
  EXPECT_EQ(CountColor(*second, RECT{0, 0, 16, 8}, clWhite), 128);
  EXPECT_EQ(CountColor(*second, RECT{0, 8, 16, 16}, clBlue), 128);

  EXPECT_EQ(list->AddMasked(nullptr, clFuchsia), -1);
  Owned<TBitmap> narrow(FilledBitmap(8, 16, clRed));
  EXPECT_EQ(list->Add(narrow.get(), nullptr), -1);
  EXPECT_EQ(list->Count(), 2);
}

TEST(ImageList, DisabledDrawingIsGreyAndKeepsTheMask) {
  Owned<TImageList> list(TImageList::CreateSize(16, 16));
  Owned<TBitmap> images = TwoImages();
  list->AddMasked(images.get(), clFuchsia);
  Owned<TBitmap> enabled(FilledBitmap(16, 16, clWhite)), disabled(FilledBitmap(16, 16, clWhite));
  list->Draw(enabled->Canvas(), 0, 0, 0, true);
  list->Draw(disabled->Canvas(), 0, 0, 0, false);

  int differing = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      differing += enabled->PixelAt(x, y) != disabled->PixelAt(x, y);
      EXPECT_TRUE(IsGrey(disabled->PixelAt(x, y))) << x << "," << y << std::hex << " " << disabled->PixelAt(x, y);
    }
  EXPECT_GE(differing, 64);                                                  // the red square changed
  EXPECT_EQ(CountColor(*disabled, RECT{0, 0, 16, 4}, clWhite), 64);         // the masked rows stay
  EXPECT_NE(disabled->PixelAt(8, 8), clWhite);                              // the square still shows
}

TEST(ImageList, GetBitmapDeleteClearAndResizing) {
  Owned<TImageList> list(TImageList::CreateSize(16, 16));
  Owned<TBitmap> images = TwoImages();
  list->AddMasked(images.get(), clFuchsia);

  TBitmap out(3, 3, pf32bit);
  list->GetBitmap(1, &out);
  EXPECT_EQ(out.Width(), 16);
  EXPECT_EQ(out.Height(), 16);
  EXPECT_EQ(out.PixelFormat(), pf24bit);
  EXPECT_EQ(CountColor(out, RECT{0, 0, 16, 16}, clBlue), 256);
  list->GetBitmap(0, &out);
  EXPECT_EQ(CountColor(out, RECT{4, 4, 12, 12}, clRed), 64);

  list->Delete(0);
  EXPECT_EQ(list->Count(), 1);
  list->GetBitmap(0, &out);
  EXPECT_EQ(out.PixelAt(0, 0), clBlue);
  EXPECT_THROW(list->Delete(1), EInvalidOperation);
  EXPECT_THROW(list->Delete(-1), EInvalidOperation);

  Owned<TBitmap> target(FilledBitmap(16, 16, clWhite));
  list->Draw(target->Canvas(), 0, 0, 5);  // outside the list: nothing
  EXPECT_EQ(CountColor(*target, RECT{0, 0, 16, 16}, clWhite), 256);

  list->Clear();
  EXPECT_EQ(list->Count(), 0);
  list->AddMasked(images.get(), clFuchsia);
  list->SetWidth(8);  // a new size empties the list
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->Width(), 8);
  EXPECT_EQ(list->AddMasked(images.get(), clFuchsia), 0);
  EXPECT_EQ(list->Count(), 4);
  EXPECT_THROW(list->SetHeight(0), EInvalidOperation);

  // An empty list serves as a size placeholder, also owned by a component.
  Owned<TComponent> owner(Create<TComponent>(nullptr));
  auto* placeholder = Create<TImageList>(owner.get());
  placeholder->SetHeight(20);
  EXPECT_EQ(placeholder->Width(), 16);
  EXPECT_EQ(placeholder->Height(), 20);
  EXPECT_EQ(placeholder->Count(), 0);
  EXPECT_EQ(owner->ComponentCount(), 1);
  int cx = 0, cy = 0;
  ::ImageList_GetIconSize(placeholder->Handle(), &cx, &cy);
  EXPECT_EQ(cy, 20);
}

TEST(ImageList, IconsAreAddedWithTheirMask) {
  TIcon icon;
  icon.LoadFromResourceName(::GetModuleHandleW(nullptr), L"TEST_ICON");
  Owned<TImageList> list(TImageList::CreateSize(32, 32));
  EXPECT_EQ(list->AddIcon(&icon), 0);
  Owned<TBitmap> target(FilledBitmap(32, 32, clWhite));
  list->Draw(target->Canvas(), 0, 0, 0);
  EXPECT_EQ(CountColor(*target, RECT{0, 0, 8, 8}, clWhite), 64);
  EXPECT_EQ(CountColor(*target, RECT{20, 20, 32, 32}, clBlue), 144);
}
