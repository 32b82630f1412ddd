// Colours, fonts, pens, brushes, the canvas and the graphic base class.
#include "framework/Graphics.h"

#include <algorithm>
#include <cwchar>

#include "framework/Streams.h"

namespace nuvskin {

COLORREF ColorToRGB(TColor color) {
  if (color == clNone) return RGB(0, 0, 0);
  if (color == clDefault) return ::GetSysColor(COLOR_WINDOW);
  if ((static_cast<std::uint32_t>(color) & 0xFF000000u) == 0xFF000000u)
    return ::GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color) & 0x00FFFFFFu;
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// --- TFont ------------------------------------------------------------------

namespace {

int ScreenPixelsPerInch() {
  win::WindowDC screen(nullptr);
  const int ppi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return ppi > 0 ? ppi : 96;
}

}  // namespace

void TFont::Publish(ClassBuilder<TFont>& b) {
  b.Integer("Charset", &TFont::Charset, &TFont::SetCharset);
  b.Integer("Color", &TFont::Color, &TFont::SetColor);
  b.Integer("Height", &TFont::Height, &TFont::SetHeight);
  b.WideString("Name", &TFont::Name, &TFont::SetName, "TFontName");
  b.Integer("Orientation", &TFont::Orientation, &TFont::SetOrientation);
  b.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch);
  b.Integer("Size", &TFont::Size, &TFont::SetSize).stored = false;  // Height carries it
  b.SetOf("Style", "TFontStyles", &TFont::Style, &TFont::SetStyle);
}

TFont::TFont() = default;

void TFont::Reset() {
  // Listeners (a canvas) deselect the old handle before it is deleted here.
  win::UniqueFont old = std::move(handle_);
  Changed();
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfEscapement = lf.lfOrientation = orientation_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic);
    lf.lfUnderline = style_.Contains(fsUnderline);
    lf.lfStrikeOut = style_.Contains(fsStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(charset_);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    const std::size_t n = std::min(name_.size(), static_cast<std::size_t>(LF_FACESIZE - 1));
    std::wmemcpy(lf.lfFaceName, name_.data(), n);
    handle_.Reset(::CreateFontIndirectW(&lf));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.Get();
}

void TFont::SetHandle(HFONT font) {
  win::UniqueFont incoming(font);
  LOGFONTW lf{};
  if (font && ::GetObjectW(font, sizeof(lf), &lf) == sizeof(lf)) {
    height_ = lf.lfHeight;
    name_ = lf.lfFaceName;
    style_ = {};
    if (lf.lfWeight >= FW_BOLD) style_.Include(fsBold);
    if (lf.lfItalic) style_.Include(fsItalic);
    if (lf.lfUnderline) style_.Include(fsUnderline);
    if (lf.lfStrikeOut) style_.Include(fsStrikeOut);
    charset_ = lf.lfCharSet;
    orientation_ = lf.lfEscapement;
    switch (lf.lfPitchAndFamily & 0x3) {
      case FIXED_PITCH: pitch_ = fpFixed; break;
      case VARIABLE_PITCH: pitch_ = fpVariable; break;
      default: pitch_ = fpDefault; break;
    }
  }
  win::UniqueFont old = std::exchange(handle_, std::move(incoming));
  Changed();
}

void TFont::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Changed();  // the colour is the DC's text colour, not part of the handle
}

void TFont::SetName(const std::wstring& value) {
  if (value.empty() || value == name_) return;
  name_ = value;
  Reset();
}

void TFont::SetHeight(int value) {
  if (value == height_) return;
  height_ = value;
  Reset();
}

int TFont::Size() const { return -::MulDiv(height_, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int value) { SetHeight(-::MulDiv(value, ScreenPixelsPerInch(), 72)); }

void TFont::SetStyle(TFontStyles value) {
  if (value == style_) return;
  style_ = value;
  Reset();
}

void TFont::SetPitch(TFontPitch value) {
  if (value == pitch_) return;
  pitch_ = value;
  Reset();
}

void TFont::SetCharset(int value) {
  if (value == charset_) return;
  charset_ = value;
  Reset();
}

void TFont::SetOrientation(int value) {
  if (value == orientation_) return;
  orientation_ = value;
  Reset();
}

void TFont::Assign(TPersistent* source) {
  if (auto* font = dynamic_cast<TFont*>(source)) {
    if (font == this) return;
    color_ = font->color_;
    name_ = font->name_;
    height_ = font->height_;
    style_ = font->style_;
    pitch_ = font->pitch_;
    charset_ = font->charset_;
    orientation_ = font->orientation_;
    Reset();
    return;
  }
  TGraphicsObject::Assign(source);
}

// --- TPen -------------------------------------------------------------------

void TPen::Publish(ClassBuilder<TPen>& b) {
  b.Integer("Color", &TPen::Color, &TPen::SetColor);
  b.Enum("Mode", &TPen::Mode, &TPen::SetMode);
  b.Enum("Style", &TPen::Style, &TPen::SetStyle);
  b.Integer("Width", &TPen::Width, &TPen::SetWidth);
}

void TPen::Reset() {
  win::UniquePen old = std::move(handle_);
  Changed();
}

HPEN TPen::Handle() {
  if (!handle_) {
    static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_.Reset(::CreatePen(kStyles[style_], width_, ColorToRGB(color_)));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.Get();
}

void TPen::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Reset();
}

void TPen::SetWidth(int value) {
  value = std::max(value, 0);
  if (value == width_) return;
  width_ = value;
  Reset();
}

void TPen::SetStyle(TPenStyle value) {
  if (value == style_) return;
  style_ = value;
  Reset();
}

void TPen::SetMode(TPenMode value) {
  if (value == mode_) return;
  mode_ = value;
  Changed();  // the mode is the DC's ROP2, not part of the handle
}

void TPen::Assign(TPersistent* source) {
  if (auto* pen = dynamic_cast<TPen*>(source)) {
    if (pen == this) return;
    color_ = pen->color_;
    width_ = pen->width_;
    style_ = pen->style_;
    mode_ = pen->mode_;
    Reset();
    return;
  }
  TGraphicsObject::Assign(source);
}

// --- TBrush -----------------------------------------------------------------

void TBrush::Publish(ClassBuilder<TBrush>& b) {
  b.Integer("Color", &TBrush::Color, &TBrush::SetColor);
  b.Enum("Style", &TBrush::Style, &TBrush::SetStyle);
}

void TBrush::Reset() {
  win::UniqueBrush old = std::move(handle_);
  Changed();
}

HBRUSH TBrush::Handle() {
  // The hollow brush is a stock object: nobody owns it.
  if (style_ == bsClear) return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  if (!handle_) {
    const COLORREF rgb = ColorToRGB(color_);
    handle_.Reset(style_ == bsSolid ? ::CreateSolidBrush(rgb) : ::CreateHatchBrush(style_ - bsHorizontal, rgb));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.Get();
}

void TBrush::SetColor(TColor value) {
  // A colour makes a clear brush visible again, the same colour too.
  if (value == color_ && style_ != bsClear) return;
  color_ = value;
  if (style_ == bsClear) style_ = bsSolid;
  Reset();
}

void TBrush::SetStyle(TBrushStyle value) {
  if (value == style_) return;
  style_ = value;
  Reset();
}

void TBrush::Assign(TPersistent* source) {
  if (auto* brush = dynamic_cast<TBrush*>(source)) {
    if (brush == this) return;
    color_ = brush->color_;
    style_ = brush->style_;
    Reset();
    return;
  }
  TGraphicsObject::Assign(source);
}

// --- TCanvas ----------------------------------------------------------------

namespace {

int Rop2Of(TPenMode mode) {
  static constexpr int kRop2[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                                  R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                  R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                                  R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
  return kRop2[mode];
}

}  // namespace

TCanvas::TCanvas() : font_(Create<TFont>()), pen_(Create<TPen>()), brush_(Create<TBrush>()) {
  font_->OnChange = [this](TObject*) { FontChanged(); };
  pen_->OnChange = [this](TObject*) { PenChanged(); };
  brush_->OnChange = [this](TObject*) { BrushChanged(); };
}

TCanvas::~TCanvas() {
  DeselectHandles();
  TObject::Free(font_);
  TObject::Free(pen_);
  TObject::Free(brush_);
}

HDC TCanvas::RequireHandle() {
  if (!dc_) CreateHandle();
  if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
  return dc_;
}

HDC TCanvas::Handle() {
  RequireHandle();
  RequireFont();
  RequirePen();
  RequireBrush();
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  DeselectHandles();
  dc_ = dc;
}

void TCanvas::DeselectHandles() {
  if (dc_) {
    if (oldFont_) ::SelectObject(dc_, oldFont_);
    if (oldPen_) ::SelectObject(dc_, oldPen_);
    if (oldBrush_) ::SelectObject(dc_, oldBrush_);
  }
  oldFont_ = oldPen_ = oldBrush_ = nullptr;
  fontValid_ = penValid_ = brushValid_ = false;
}

void TCanvas::RequireFont() {
  if (fontValid_) return;
  HGDIOBJ previous = ::SelectObject(dc_, font_->Handle());
  if (!oldFont_) oldFont_ = previous;
  ::SetTextColor(dc_, ColorToRGB(font_->Color()));
  fontValid_ = true;
}

void TCanvas::RequirePen() {
  if (penValid_) return;
  HGDIOBJ previous = ::SelectObject(dc_, pen_->Handle());
  if (!oldPen_) oldPen_ = previous;
  ::SetROP2(dc_, Rop2Of(pen_->Mode()));
  penValid_ = true;
}

void TCanvas::RequireBrush() {
  if (brushValid_) return;
  ::UnrealizeObject(brush_->Handle());
  HGDIOBJ previous = ::SelectObject(dc_, brush_->Handle());
  if (!oldBrush_) oldBrush_ = previous;
  // Text and hatch gaps take the brush colour, or nothing with a clear brush.
  ::SetBkColor(dc_, ColorToRGB(brush_->Color()));
  ::SetBkMode(dc_, brush_->Style() == bsSolid ? OPAQUE : TRANSPARENT);
  brushValid_ = true;
}

// The DC's own object goes back in before the changed object's old handle
// is deleted (the graphics objects delete it after telling us).
void TCanvas::FontChanged() {
  if (dc_ && oldFont_) ::SelectObject(dc_, oldFont_);
  oldFont_ = nullptr;
  fontValid_ = false;
}

void TCanvas::PenChanged() {
  if (dc_ && oldPen_) ::SelectObject(dc_, oldPen_);
  oldPen_ = nullptr;
  penValid_ = false;
}

void TCanvas::BrushChanged() {
  if (dc_ && oldBrush_) ::SelectObject(dc_, oldBrush_);
  oldBrush_ = nullptr;
  brushValid_ = false;
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

POINT TCanvas::PenPos() {
  POINT p{0, 0};
  ::GetCurrentPositionEx(RequireHandle(), &p);
  return p;
}

void TCanvas::FillRect(const RECT& r) {
  Changing();
  RequireHandle();
  RequireBrush();
  ::FillRect(dc_, &r, brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const RECT& r) {
  Changing();
  RequireHandle();
  RequireBrush();
  ::FrameRect(dc_, &r, brush_->Handle());
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Changing();
  RequireHandle();
  RequirePen();
  RequireBrush();
  ::Rectangle(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  Changing();
  RequireHandle();
  RequirePen();
  RequireBrush();
  ::Ellipse(dc_, left, top, right, bottom);
  Changed();
}

void TCanvas::MoveTo(int x, int y) { ::MoveToEx(RequireHandle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequireHandle();
  RequirePen();
  RequireBrush();
  ::LineTo(dc_, x, y);
  Changed();
}

void TCanvas::Polygon(const POINT* points, int count) {
  if (!points || count <= 0) return;
  Changing();
  RequireHandle();
  RequirePen();
  RequireBrush();
  ::Polygon(dc_, points, count);
  Changed();
}

void TCanvas::Polyline(const POINT* points, int count) {
  if (!points || count <= 0) return;
  Changing();
  RequireHandle();
  RequirePen();
  RequireBrush();
  ::Polyline(dc_, points, count);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
  Changing();
  RequireHandle();
  RequireFont();
  RequireBrush();
  ::TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
  Changed();
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
  RequireHandle();
  RequireFont();
  SIZE size{0, 0};
  ::GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::wstring& text) {
  Changing();
  RequireHandle();
  RequireFont();
  RequireBrush();
  const UINT options = ETO_CLIPPED | (brush_->Style() == bsSolid ? ETO_OPAQUE : 0);
  ::ExtTextOutW(dc_, x, y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}

void TCanvas::DrawFocusRect(const RECT& r) {
  Changing();
  RequireHandle();
  RequireBrush();
  ::DrawFocusRect(dc_, &r);
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequireHandle();
  graphic->Draw(*this, RECT{x, y, x + graphic->Width(), y + graphic->Height()});
  Changed();
}

void TCanvas::StretchDraw(const RECT& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequireHandle();
  graphic->Draw(*this, r);
  Changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* canvas, const RECT& source) {
  if (!canvas) return;
  Changing();
  HDC dst = Handle();
  HDC src = canvas->Handle();
  win::ColorStretchScope stretch(dst);
  ::StretchBlt(dst, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src, source.left,
               source.top, source.right - source.left, source.bottom - source.top, copyMode_);
  Changed();
}

TColor TCanvas::Pixels(int x, int y) { return static_cast<TColor>(::GetPixel(RequireHandle(), x, y)); }

void TCanvas::SetPixel(int x, int y, TColor color) {
  Changing();
  ::SetPixel(RequireHandle(), x, y, ColorToRGB(color));
  Changed();
}

// --- TGraphic ---------------------------------------------------------------

void TGraphic::LoadFromFile(const std::string& utf8Path) {
  TFileStream stream(utf8Path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& utf8Path) {
  try {
    TFileStream stream(utf8Path, fmCreate);
    SaveToStream(stream);
  } catch (const EFCreateError&) {
    throw;
  } catch (...) {
    DeleteFile(utf8Path);  // no half-written file stays behind
    throw;
  }
}

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace nuvskin
