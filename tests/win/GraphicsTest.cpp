// Colours, fonts, pens and brushes, and canvas drawing checked pixel by
// pixel on bitmaps and on device contexts the canvas does not own.
#include <gtest/gtest.h>


#include "GraphicsTestSupport.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// A component with a font and a pen as sub-objects, for streaming.
class TTextBox : public TComponent {
  NUV_CLASS(TTextBox, TComponent)
  static void Publish(ClassBuilder<TTextBox>& b) {
    b.Object("Font", &TTextBox::Font);
    b.Object("Pen", &TTextBox::Pen);
  }
  explicit TTextBox(TComponent* owner) : TComponent(owner), font_(Create<TFont>()), pen_(Create<TPen>()) {}
  ~TTextBox() override {
    TObject::Free(font_);
    TObject::Free(pen_);
  }
  TFont* Font() const { return font_; }
  TPen* Pen() const { return pen_; }

 private:
  TFont* font_;
  TPen* pen_;
};

}  // namespace

TEST(Colors, SystemColoursResolveThroughGetSysColorAndRgbStaysAsItIs) {
  for (int index : {COLOR_WINDOW, COLOR_BTNFACE, COLOR_MENUTEXT, COLOR_INACTIVECAPTION, COLOR_HIGHLIGHT})
    EXPECT_EQ(ColorToRGB(SystemColor(index)), ::GetSysColor(index)) << index;
  EXPECT_EQ(ColorToRGB(clBtnFace), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0xFF00000Fu);
  EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
  EXPECT_EQ(ColorToRGB(clWhite), RGB(255, 255, 255));
  EXPECT_EQ(ColorToRGB(clNone), RGB(0, 0, 0));
  EXPECT_EQ(ColorToRGB(clDefault), ::GetSysColor(COLOR_WINDOW));
}

TEST(GraphicsObjects, ChangesFireOnChangeAndRecreateTheHandle) {
  Owned<TFont> font(Create<TFont>());
  int changes = 0;
  font->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, font.get());
    ++changes;
  };
  HFONT first = font->Handle();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(font->Handle(), first);  // kept until something changes
  font->SetStyle({fsBold});
  font->SetName(L"Tahoma");  // unchanged: no event
  font->SetHeight(-20);
  font->SetColor(clRed);
  EXPECT_EQ(changes, 3);
  LOGFONTW lf{};
  ASSERT_EQ(::GetObjectW(font->Handle(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  EXPECT_EQ(lf.lfHeight, -20);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");

  Owned<TPen> pen(Create<TPen>());
  int penChanges = 0;
  pen->OnChange = [&](TObject*) { ++penChanges; };
  pen->SetColor(clBlue);
  pen->SetWidth(3);
  pen->SetMode(pmXor);
  pen->SetStyle(psDot);
  EXPECT_EQ(penChanges, 4);
  LOGPEN lp{};
  ASSERT_NE(::GetObjectW(pen->Handle(), sizeof(lp), &lp), 0);
  EXPECT_EQ(lp.lopnColor, RGB(0, 0, 255));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DOT));

  Owned<TBrush> brush(Create<TBrush>());
  int brushChanges = 0;
  brush->OnChange = [&](TObject*) { ++brushChanges; };
  brush->SetStyle(bsClear);
  EXPECT_EQ(brush->Handle(), ::GetStockObject(NULL_BRUSH));
  brush->SetColor(clBtnFace);  // a colour makes a clear brush solid again
  EXPECT_EQ(brush->Style(), bsSolid);
  LOGBRUSH lb{};
  ASSERT_NE(::GetObjectW(brush->Handle(), sizeof(lb), &lb), 0);
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(lb.lbColor, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(brushChanges, 2);
  brush->SetStyle(bsClear);
  brush->SetColor(clBtnFace);  // the same colour again: solid all the same
  EXPECT_EQ(brush->Style(), bsSolid);
}

TEST(GraphicsObjects, AssignCopiesTheDescriptionAndSetHandleAdoptsASystemFont) {
  Owned<TFont> a(Create<TFont>()), b(Create<TFont>());
  a->SetName(L"Courier New");
  a->SetSize(14);
  a->SetStyle({fsItalic, fsUnderline});
  a->SetColor(clMaroon);
  int changes = 0;
  b->OnChange = [&](TObject*) { ++changes; };
  b->Assign(a.get());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b->Name(), L"Courier New");
  EXPECT_EQ(b->Height(), a->Height());
  EXPECT_EQ(b->Size(), 14);
  EXPECT_EQ(b->Style(), (TFontStyles{fsItalic, fsUnderline}));
  EXPECT_EQ(b->Color(), clMaroon);
  EXPECT_NE(b->Handle(), a->Handle());  // each owns its own handle
  EXPECT_THROW(b->Assign(Owned<TPen>(Create<TPen>()).get()), EConvertError);

  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0));
  HFONT caption = ::CreateFontIndirectW(&ncm.lfCaptionFont);
  b->SetHandle(caption);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(b->Handle(), caption);  // used as given until the description changes
  EXPECT_EQ(b->Name(), ncm.lfCaptionFont.lfFaceName);
  EXPECT_EQ(b->Height(), ncm.lfCaptionFont.lfHeight);
  EXPECT_EQ(b->Style().Contains(fsBold), ncm.lfCaptionFont.lfWeight >= FW_BOLD);
  b->SetStyle({});
  EXPECT_NE(b->Handle(), caption);

  Owned<TPen> p(Create<TPen>()), q(Create<TPen>());
  p->SetColor(clGreen);
  p->SetWidth(2);
  p->SetMode(pmNot);
  q->Assign(p.get());
  EXPECT_EQ(q->Color(), clGreen);
  EXPECT_EQ(q->Width(), 2);
  EXPECT_EQ(q->Mode(), pmNot);
}

TEST(GraphicsObjects, FontAndPenStreamAsSubObjectsOfAComponent) {
  Owned<TTextBox> box(Create<TTextBox>(nullptr));
  box->SetName("Box");
  box->Font()->SetName(L"Courier New");
  box->Font()->SetHeight(-17);
  box->Font()->SetStyle({fsBold, fsStrikeOut});
  box->Font()->SetColor(clNavy);
  box->Pen()->SetMode(pmXor);
  box->Pen()->SetWidth(4);
  TMemoryStream stream;
  stream.WriteComponent(box.get());
  const std::string bytes(stream.Bytes().begin(), stream.Bytes().end());
  EXPECT_NE(bytes.find("Font.Name"), std::string::npos);
  EXPECT_NE(bytes.find("Font.Style"), std::string::npos);
  EXPECT_NE(bytes.find("Pen.Mode"), std::string::npos);
  EXPECT_EQ(bytes.find("Font.Size"), std::string::npos);  // Height carries it

  Owned<TTextBox> copy(Create<TTextBox>(nullptr));
  stream.SetPosition(0);
  stream.ReadComponent(copy.get());
  EXPECT_EQ(copy->Font()->Name(), L"Courier New");
  EXPECT_EQ(copy->Font()->Height(), -17);
  EXPECT_EQ(copy->Font()->Style(), (TFontStyles{fsBold, fsStrikeOut}));
  EXPECT_EQ(copy->Font()->Color(), clNavy);
  EXPECT_EQ(copy->Pen()->Mode(), pmXor);
  EXPECT_EQ(copy->Pen()->Width(), 4);
  EXPECT_EQ(GetOrdProp(copy->Font(), "Height"), -17);
}

TEST(Canvas, FillFrameRectangleAndLinesLandOnTheExpectedPixels) {
  Owned<TBitmap> b(FilledBitmap(40, 40, clWhite));
  TCanvas* c = b->Canvas();

  c->Brush()->SetColor(clRed);
  c->FillRect(RECT{2, 2, 10, 10});
  EXPECT_EQ(CountColor(*b, RECT{2, 2, 10, 10}, clRed), 64);
  EXPECT_EQ(b->PixelAt(10, 10), clWhite);  // right and bottom are outside

  c->Brush()->SetColor(clBlue);
  c->FrameRect(RECT{12, 2, 20, 10});
  EXPECT_EQ(CountColor(*b, RECT{12, 2, 20, 10}, clBlue), 8 * 4 - 4);
  EXPECT_EQ(CountColor(*b, RECT{13, 3, 19, 9}, clWhite), 36);

  c->Pen()->SetColor(clGreen);
  c->Brush()->SetColor(clYellow);
  c->Rectangle(2, 12, 10, 20);
  EXPECT_EQ(b->PixelAt(2, 12), clGreen);
  EXPECT_EQ(b->PixelAt(9, 19), clGreen);
  EXPECT_EQ(CountColor(*b, RECT{3, 13, 9, 19}, clYellow), 36);
  EXPECT_EQ(b->PixelAt(10, 19), clWhite);

  c->Pen()->SetColor(clBlack);
  c->MoveTo(0, 30);
  c->LineTo(10, 30);
  EXPECT_EQ(CountColor(*b, RECT{0, 30, 10, 31}, clBlack), 10);
  EXPECT_EQ(b->PixelAt(10, 30), clWhite);  // the end point is left out
  EXPECT_EQ(c->PenPos().x, 10);
  c->LineTo(10, 38);
  EXPECT_EQ(b->PixelAt(10, 30), clBlack);  // the next line starts there
  EXPECT_EQ(b->PixelAt(10, 38), clWhite);

  c->Pen()->SetColor(clPurple);
  c->Brush()->SetColor(clPurple);
  const POINT triangle[] = {{20, 20}, {36, 20}, {20, 36}};
  c->Polygon(triangle, 3);
  EXPECT_EQ(b->PixelAt(22, 22), clPurple);
  EXPECT_EQ(b->PixelAt(34, 34), clWhite);  // beyond the hypotenuse
  EXPECT_EQ(b->PixelAt(20, 36), clPurple);  // polygon outlines include their corners

  c->SetPixel(39, 0, clTeal);
  EXPECT_EQ(c->Pixels(39, 0), clTeal);
  EXPECT_EQ(b->PixelAt(39, 0), clTeal);
  b->SetPixelAt(38, 0, clOlive);
  EXPECT_EQ(c->Pixels(38, 0), clOlive);
}

TEST(Canvas, TextUsesTheFontAndLeavesTheBackgroundWithAClearBrush) {
  Owned<TBitmap> b(FilledBitmap(120, 40, clYellow));
  TCanvas* c = b->Canvas();
  c->Font()->SetName(L"Tahoma");
  c->Font()->SetHeight(-11);
  c->Font()->SetColor(clBlack);
  wchar_t face[LF_FACESIZE] = {};
  ::GetTextFaceW(c->Handle(), LF_FACESIZE, face);
  EXPECT_STREQ(face, L"Tahoma");

  // The width is what the platform measures with the same font.
  win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
  win::UniqueFont tahoma(::CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  SIZE expected{};
  {
    win::SelectScope select(dc.Get(), tahoma.Get());
    ::GetTextExtentPoint32W(dc.Get(), L"Hello", 5, &expected);
  }
  const int width = c->TextWidth(L"Hello");
  EXPECT_EQ(width, expected.cx);
  EXPECT_EQ(c->TextHeight(L"Hello"), expected.cy);
  EXPECT_GT(width, 15);

  c->Brush()->SetStyle(bsClear);
  c->TextOut(4, 4, L"Hello");
  const RECT cell{4, 4, 4 + width, 4 + expected.cy};
  const int ink = width * expected.cy - CountColor(*b, cell, clYellow);  // glyphs may be smoothed
  EXPECT_GT(ink, 20);
  EXPECT_EQ(CountColor(*b, cell, clWhite), 0);  // no opaque background
  EXPECT_EQ(CountColor(*b, RECT{4 + width + 1, 0, 120, 40}, clYellow), (120 - width - 5) * 40);

  c->Brush()->SetColor(clWhite);  // solid again: the text cells get the brush colour
  c->TextOut(4, 22, L"Hello");
  EXPECT_GT(CountColor(*b, RECT{4, 22, 4 + width, 22 + expected.cy}, clWhite), 50);

  c->Font()->SetStyle({fsBold});
  EXPECT_GT(c->TextWidth(L"Hello"), width);
}

TEST(Canvas, DrawHonoursTransparencyAndStretchDrawAndCopyRectScale) {
  // Magenta with a 2 x 2 green centre.
  Owned<TBitmap> sprite(FilledBitmap(4, 4, clFuchsia));
  sprite->Canvas()->Brush()->SetColor(clLime);
  sprite->Canvas()->FillRect(RECT{1, 1, 3, 3});

  Owned<TBitmap> b(FilledBitmap(40, 20, clWhite));
  TCanvas* c = b->Canvas();
  c->Draw(0, 0, sprite.get());
  EXPECT_EQ(CountColor(*b, RECT{0, 0, 4, 4}, clFuchsia), 12);

  sprite->SetTransparent(true);
  EXPECT_EQ(sprite->TransparentMode(), tmAuto);
  EXPECT_EQ(sprite->TransparentColor(), clFuchsia);  // the lower-left pixel
  c->Draw(10, 0, sprite.get());
  EXPECT_EQ(CountColor(*b, RECT{10, 0, 14, 4}, clWhite), 12);
  EXPECT_EQ(CountColor(*b, RECT{11, 1, 13, 3}, clLime), 4);

  sprite->SetTransparentColor(clLime);  // fixed: now the centre is left out
  EXPECT_EQ(sprite->TransparentMode(), tmFixed);
  c->Draw(20, 0, sprite.get());
  EXPECT_EQ(CountColor(*b, RECT{20, 0, 24, 4}, clFuchsia), 12);
  EXPECT_EQ(CountColor(*b, RECT{21, 1, 23, 3}, clWhite), 4);

  // Stretched 2x, transparent: the centre grows to 4 x 4 of green.
  sprite->SetTransparentColor(clFuchsia);
  c->StretchDraw(RECT{28, 0, 36, 8}, sprite.get());
  EXPECT_EQ(CountColor(*b, RECT{30, 2, 34, 6}, clLime), 16);
  EXPECT_EQ(CountColor(*b, RECT{28, 0, 36, 8}, clWhite), 48);

  // CopyRect of the opaque first copy, doubled.
  c->CopyRect(RECT{0, 10, 8, 18}, c, RECT{0, 0, 4, 4});
  EXPECT_EQ(CountColor(*b, RECT{2, 12, 6, 16}, clLime), 16);
  EXPECT_EQ(CountColor(*b, RECT{0, 10, 8, 18}, clFuchsia), 48);
  c->SetCopyMode(NOTSRCCOPY);
  c->CopyRect(RECT{10, 10, 14, 14}, sprite->Canvas(), RECT{0, 0, 4, 4});
  EXPECT_EQ(b->PixelAt(10, 10), clLime);  // inverted magenta
  EXPECT_EQ(b->PixelAt(11, 11), clFuchsia);
}

TEST(Canvas, DrawFocusRectInvertsTheOutlineAndASecondCallUndoesIt) {
  Owned<TBitmap> b(FilledBitmap(20, 20, clWhite));
  b->Canvas()->DrawFocusRect(RECT{2, 2, 18, 18});
  const int changed = 20 * 20 - CountColor(*b, RECT{0, 0, 20, 20}, clWhite);
  EXPECT_GT(changed, 16);
  EXPECT_LE(changed, 60);  // dotted outline only
  EXPECT_EQ(CountColor(*b, RECT{3, 3, 17, 17}, clWhite), 14 * 14);
  b->Canvas()->DrawFocusRect(RECT{2, 2, 18, 18});
  EXPECT_EQ(CountColor(*b, RECT{0, 0, 20, 20}, clWhite), 400);
}

TEST(Canvas, ABoundDeviceContextGetsItsOwnObjectsBack) {
  win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, 16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  win::UniqueBitmap target(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  win::SelectScope selectTarget(dc.Get(), target.Get());
  const HGDIOBJ ownFont = ::GetCurrentObject(dc.Get(), OBJ_FONT);
  const HGDIOBJ ownPen = ::GetCurrentObject(dc.Get(), OBJ_PEN);
  const HGDIOBJ ownBrush = ::GetCurrentObject(dc.Get(), OBJ_BRUSH);

  Owned<TCanvas> canvas(Create<TCanvas>());
  canvas->SetHandle(dc.Get());
  EXPECT_EQ(canvas->Handle(), dc.Get());
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), canvas->Font()->Handle());
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), canvas->Pen()->Handle());
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), canvas->Brush()->Handle());

  // A change puts the DC's own font back before the old handle goes; the
  // new one is selected when next needed.
  canvas->Font()->SetHeight(-20);
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), ownFont);
  canvas->TextOut(0, 0, L"x");
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), canvas->Font()->Handle());
  canvas->Pen()->SetColor(clRed);
  canvas->Brush()->SetColor(clRed);
  canvas->Rectangle(0, 0, 16, 16);
  EXPECT_EQ(static_cast<std::uint32_t*>(bits)[0] & 0xFFFFFF, 0xFF0000u);  // B G R A: red

  canvas->SetHandle(nullptr);
  EXPECT_FALSE(canvas->HandleAllocated());
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), ownFont);
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), ownPen);
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BRUSH), ownBrush);
  EXPECT_THROW(canvas->FillRect(RECT{0, 0, 1, 1}), EInvalidOperation);

  // Freed while bound: the DC gets its objects back as well.
  TCanvas* bound = Create<TCanvas>();
  bound->SetHandle(dc.Get());
  bound->TextOut(0, 0, L"y");
  bound->Free();
  EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), ownFont);
}
