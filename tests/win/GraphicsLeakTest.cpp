// Thousands of graphics objects created, painted with and freed must give
// back every GDI handle; and a picture of everything drawn, for people.
#include <gtest/gtest.h>


#include "GraphicsTestSupport.h"
#include "framework/ImgList.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// A 16 x 16 sprite: a green disc with a red border on magenta.
Owned<TBitmap> Sprite() {
  Owned<TBitmap> s(FilledBitmap(16, 16, clFuchsia));
  s->Canvas()->Pen()->SetColor(clRed);
  s->Canvas()->Brush()->SetColor(clGreen);
  s->Canvas()->Ellipse(1, 1, 15, 15);
  return s;
}

// One round of everything the graphics classes own handles for.
void PaintRound(const TBitmap& sprite, TIcon& icon, HDC foreignDC) {
  Owned<TBitmap> b(Create<TBitmap>(24, 24));
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clSilver);
  c->FillRect(RECT{0, 0, 24, 24});
  c->Font()->SetStyle({fsBold});
  c->TextOut(1, 1, L"Ab");
  c->Font()->SetHeight(-9);  // recreated while selected
  c->TextOut(1, 12, L"cd");
  c->Pen()->SetWidth(2);
  c->Rectangle(2, 2, 20, 20);
  Owned<TBitmap> copy(Create<TBitmap>());
  copy->Assign(const_cast<TBitmap*>(&sprite));
  copy->SetTransparent(true);
  c->Draw(4, 4, copy.get());
  c->StretchDraw(RECT{0, 0, 8, 8}, &icon);
  (void)b->Handle();  // lets go of the memory DC; the canvas takes it back
  c->SetPixel(0, 0, clRed);

  Owned<TCanvas> bound(Create<TCanvas>());
  bound->SetHandle(foreignDC);
  bound->Brush()->SetStyle(bsClear);
  bound->TextOut(0, 0, L"x");
  bound->Pen()->SetColor(clBlue);
  bound->LineTo(5, 5);
  bound->CopyRect(RECT{0, 0, 4, 4}, c, RECT{0, 0, 8, 8});

  Owned<TFont> font(Create<TFont>());
  font->Handle();
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  font->SetHandle(::CreateFontIndirectW(&ncm.lfMenuFont));
  Owned<TPen> pen(Create<TPen>());
  pen->Handle();
  Owned<TBrush> brush(Create<TBrush>());
  brush->SetStyle(bsCross);
  brush->Handle();

  TIcon iconCopy;
  iconCopy.Assign(&icon);
  TMemoryStream ico;
  iconCopy.SaveToStream(ico);

  Owned<TImageList> list(TImageList::CreateSize(16, 16));
  list->AddMasked(const_cast<TBitmap*>(&sprite), clFuchsia);
  list->AddIcon(&iconCopy);
  list->Draw(c, 0, 0, 0, true);
  list->Draw(c, 4, 4, 0, false);
  TBitmap one;
  list->GetBitmap(0, &one);

  TMemoryStream broken;
  broken.WriteBuffer("BM\x10\0\0\0", 6);
  broken.SetPosition(0);
  try {
    one.LoadFromStream(broken);
  } catch (const EInvalidGraphic&) {
  }
}

}  // namespace

TEST(GraphicsLeaks, ThousandsOfObjectsGiveBackEveryGdiHandle) {
  Owned<TBitmap> sprite = Sprite();
  TIcon icon;
  icon.LoadFromResourceName(::GetModuleHandleW(nullptr), L"TEST_ICON");
  win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
  win::UniqueBitmap target(::CreateCompatibleBitmap(dc.Get(), 8, 8));
  win::SelectScope select(dc.Get(), target.Get());
  const HGDIOBJ ownFont = ::GetCurrentObject(dc.Get(), OBJ_FONT);

  PaintRound(*sprite, icon, dc.Get());  // warm-up: caches the platform keeps
  const int before = GdiHeadroom();
  const DWORD start = ::GetTickCount();
  constexpr int kRounds = 1000;
  for (int i = 0; i < kRounds; ++i) PaintRound(*sprite, icon, dc.Get());
  const DWORD elapsed = ::GetTickCount() - start;
  EXPECT_EQ(GdiHeadroom(), before);
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), ownFont);
  RecordProperty("rounds_ms", static_cast<int>(elapsed));
}

TEST(GraphicsPicture, TextShapesTransparencyAndImageListsLookRight) {
  Owned<TBitmap> picture(FilledBitmap(240, 120, clWhite));
  TCanvas* c = picture->Canvas();
  c->Font()->SetName(L"Tahoma");
  c->Font()->SetHeight(-11);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(6, 4, L"nuvskin canvas: Tahoma 8, TextOut");
  c->Font()->SetStyle({fsBold});
  c->Font()->SetColor(clNavy);
  c->TextOut(6, 18, L"Bold navy text");

  c->Pen()->SetColor(clGreen);
  c->Brush()->SetColor(clYellow);
  c->Rectangle(6, 36, 46, 66);
  c->Brush()->SetColor(clBlue);
  c->FrameRect(RECT{52, 36, 92, 66});
  c->DrawFocusRect(RECT{56, 40, 88, 62});
  c->Pen()->SetColor(clPurple);
  c->Brush()->SetColor(clFuchsia);
  const POINT star[] = {{118, 36}, {126, 66}, {104, 48}, {132, 48}, {110, 66}};
  c->Polygon(star, 5);
  c->Pen()->SetColor(clRed);
  c->MoveTo(140, 36);
  c->LineTo(170, 66);

  // The sprite opaque, transparent on a coloured field, and stretched.
  Owned<TBitmap> sprite = Sprite();
  c->Brush()->SetColor(clAqua);
  c->FillRect(RECT{6, 74, 110, 114});
  c->Draw(10, 80, sprite.get());
  sprite->SetTransparent(true);
  c->Draw(32, 80, sprite.get());
  c->StretchDraw(RECT{56, 76, 92, 112}, sprite.get());

  // Image list: enabled, then disabled; and the icon.
  Owned<TImageList> list(TImageList::CreateSize(16, 16));
  Owned<TBitmap> unmasked = Sprite();
  list->AddMasked(unmasked.get(), clFuchsia);
  list->Draw(c, 120, 80, 0, true);
  list->Draw(c, 144, 80, 0, false);
  TIcon icon;
  icon.LoadFromResourceName(::GetModuleHandleW(nullptr), L"TEST_ICON");
  c->Draw(176, 74, &icon);

  // A few facts the picture must show.
  EXPECT_EQ(picture->PixelAt(32, 80), clAqua);   // transparent corner
  EXPECT_EQ(picture->PixelAt(10, 80), clFuchsia);  // opaque corner
  EXPECT_EQ(picture->PixelAt(120, 80), clWhite);
  EXPECT_EQ(picture->PixelAt(128, 88), clGreen);
  EXPECT_NE(picture->PixelAt(152, 88), clGreen);

  Image scaled(480, 240);
  scaled.Blit(ToImage(*picture), 0, 0, 2);
  EXPECT_FALSE(SaveScreenshot(scaled, L"graphics-canvas").empty());
}
