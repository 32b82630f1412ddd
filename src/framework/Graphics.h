// Graphics of the framework: colours, fonts, pens, brushes, canvases over any
// device context, bitmaps over DIB sections, and icons.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Classes.h"
#include "framework/Win32Handles.h"

namespace nuvskin {

// ---------------------------------------------------------------------------
// Colours: 0x00BBGGRR for RGB colours; system colours are 0xFF0000nn with the
// COLOR_xxx index nn; clNone and clDefault are special values.

using TColor = std::int32_t;

inline constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index)); }

inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                        clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                        clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                        clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
inline constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR), clBackground = SystemColor(COLOR_BACKGROUND),
                        clActiveCaption = SystemColor(COLOR_ACTIVECAPTION),
                        clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION), clMenu = SystemColor(COLOR_MENU),
                        clWindow = SystemColor(COLOR_WINDOW), clWindowFrame = SystemColor(COLOR_WINDOWFRAME),
                        clMenuText = SystemColor(COLOR_MENUTEXT), clWindowText = SystemColor(COLOR_WINDOWTEXT),
                        clCaptionText = SystemColor(COLOR_CAPTIONTEXT),
                        clActiveBorder = SystemColor(COLOR_ACTIVEBORDER),
                        clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER),
                        clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE), clHighlight = SystemColor(COLOR_HIGHLIGHT),
                        clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT), clBtnFace = SystemColor(COLOR_BTNFACE),
                        clBtnShadow = SystemColor(COLOR_BTNSHADOW), clGrayText = SystemColor(COLOR_GRAYTEXT),
                        clBtnText = SystemColor(COLOR_BTNTEXT),
                        clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT),
                        clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW),
                        cl3DLight = SystemColor(COLOR_3DLIGHT), clInfoText = SystemColor(COLOR_INFOTEXT),
                        clInfoBk = SystemColor(COLOR_INFOBK);

// The RGB value of a colour; system colours resolve to their current value,
// clNone to black and clDefault to the window colour.
COLORREF ColorToRGB(TColor color);

// Misuse of a graphic: a scan line or pixel outside the bitmap.
class EInvalidGraphicOperation : public Exception { using Exception::Exception; };

// The framework's message for an icon that cannot be loaded.
inline constexpr char kInvalidIconMessage[] = "Icon image is not valid";

// ---------------------------------------------------------------------------

// Shared base of fonts, pens and brushes: OnChange fires after each change.
class TGraphicsObject : public TPersistent {
  NUV_CLASS(TGraphicsObject, TPersistent)
  TNotifyEvent OnChange;

 protected:
  void Changed();
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
NUV_ENUM(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut");
using TFontStyles = Set<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };
NUV_ENUM(TFontPitch, "fpDefault", "fpVariable", "fpFixed");

class TFont : public TGraphicsObject {
  NUV_CLASS(TFont, TGraphicsObject)
  static void Publish(ClassBuilder<TFont>& b);
  TFont();

  // The HFONT for the current description, created on demand and owned.
  HFONT Handle();
  // Takes a font handle (for example one made from the system's caption
  // font): the description is read from it and the font owns it. The handle
  // is used until the description changes.
  void SetHandle(HFONT font);

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  const std::wstring& Name() const { return name_; }
  void SetName(const std::wstring& value);
  int Height() const { return height_; }  // negative: character height in pixels
  void SetHeight(int value);
  int Size() const;  // points at the screen's resolution
  void SetSize(int value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch value);
  int Charset() const { return charset_; }
  void SetCharset(int value);
  int Orientation() const { return orientation_; }
  void SetOrientation(int value);

  void Assign(TPersistent* source) override;

 private:
  void Reset();  // drops the handle after a change of description
  win::UniqueFont handle_;
  TColor color_ = clWindowText;
  std::wstring name_ = L"Tahoma";
  int height_ = -11;
  TFontStyles style_;
  TFontPitch pitch_ = fpDefault;
  int charset_ = DEFAULT_CHARSET;
  int orientation_ = 0;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
NUV_ENUM(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame");
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
                pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };
NUV_ENUM(TPenMode, "pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
         "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor");

class TPen : public TGraphicsObject {
  NUV_CLASS(TPen, TGraphicsObject)
  static void Publish(ClassBuilder<TPen>& b);
  HPEN Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle value);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode value);
  void Assign(TPersistent* source) override;

 private:
  void Reset();
  win::UniquePen handle_;
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
NUV_ENUM(TBrushStyle, "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross",
         "bsDiagCross");

class TBitmap;

class TBrush : public TGraphicsObject {
  NUV_CLASS(TBrush, TGraphicsObject)
  static void Publish(ClassBuilder<TBrush>& b);
  HBRUSH Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor value);  // a clear brush becomes solid
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value);
  void Assign(TPersistent* source) override;

 private:
  void Reset();
  win::UniqueBrush handle_;
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

// ---------------------------------------------------------------------------

class TGraphic;

// Drawing on a device context with the canvas's font, pen and brush. The
// canvas selects its objects into the DC as needed and puts the DC's own
// objects back whenever the handle changes or goes away.
class TCanvas : public TPersistent {
  NUV_CLASS(TCanvas, TPersistent)
  TCanvas();
  ~TCanvas() override;

  // The DC with the canvas's font, pen and brush selected; derived canvases
  // create one on demand (CreateHandle).
  HDC Handle();
  // Binds an existing DC (not owned); nullptr unbinds.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() { return font_; }
  TPen* Pen() { return pen_; }
  TBrush* Brush() { return brush_; }
  void SetFont(TFont* value) { font_->Assign(value); }
  void SetPen(TPen* value) { pen_->Assign(value); }
  void SetBrush(TBrush* value) { brush_->Assign(value); }
  // Raster operation of CopyRect (SRCCOPY by default).
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD value) { copyMode_ = value; }
  POINT PenPos();
  void SetPenPos(POINT p) { MoveTo(p.x, p.y); }

  void FillRect(const RECT& r);
  void FrameRect(const RECT& r);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void Ellipse(int left, int top, int right, int bottom);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // the end point is left out, as the platform does
  void Polygon(const POINT* points, int count);
  void Polyline(const POINT* points, int count);
  void TextOut(int x, int y, const std::wstring& text);
  SIZE TextExtent(const std::wstring& text);
  int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
  int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }
  // Text clipped to `r`, drawn at (x, y).
  void TextRect(const RECT& r, int x, int y, const std::wstring& text);
  void DrawFocusRect(const RECT& r);
  // A graphic at (x, y) at its own size; bitmaps honour Transparent.
  void Draw(int x, int y, TGraphic* graphic);
  // A graphic stretched into `r`; bitmaps honour Transparent.
  void StretchDraw(const RECT& r, TGraphic* graphic);
  // Stretches `source` of `canvas` onto `dest` with CopyMode.
  void CopyRect(const RECT& dest, TCanvas* canvas, const RECT& source);
  TColor Pixels(int x, int y);
  void SetPixel(int x, int y, TColor color);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Called when Handle is needed and none is bound.
  virtual void CreateHandle() {}
  void Changing();
  void Changed();

 private:
  HDC RequireHandle();
  void RequireFont();
  void RequirePen();
  void RequireBrush();
  void FontChanged();
  void PenChanged();
  void BrushChanged();
  void DeselectHandles();
  HDC dc_ = nullptr;
  TFont* font_;
  TPen* pen_;
  TBrush* brush_;
  HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
  bool fontValid_ = false, penValid_ = false, brushValid_ = false;
  DWORD copyMode_ = SRCCOPY;
};

// Binds a canvas to a DC it does not own (a paint or custom-draw DC) for one
// drawing pass, and unbinds it however the pass ends.
class CanvasBinding {
 public:
  CanvasBinding(TCanvas* canvas, HDC dc) : canvas_(canvas) { canvas_->SetHandle(dc); }
  CanvasBinding(const CanvasBinding&) = delete;
  CanvasBinding& operator=(const CanvasBinding&) = delete;
  ~CanvasBinding() { canvas_->SetHandle(nullptr); }

 private:
  TCanvas* canvas_;
};

// ---------------------------------------------------------------------------

class TGraphic : public TPersistent {
  NUV_CLASS(TGraphic, TPersistent)
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const std::string& utf8Path);
  void SaveToFile(const std::string& utf8Path);
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
  void Changed();

 private:
  bool transparent_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
NUV_ENUM(TPixelFormat, "pfDevice", "pf1bit", "pf4bit", "pf8bit", "pf15bit", "pf16bit", "pf24bit", "pf32bit",
         "pfCustom");
enum TTransparentMode { tmAuto, tmFixed };
NUV_ENUM(TTransparentMode, "tmAuto", "tmFixed");

// A bitmap held in a DIB section of 24 or 32 bits per pixel.
class TBitmap : public TGraphic {
  NUV_CLASS(TBitmap, TGraphic)
  TBitmap();
  TBitmap(int width, int height, TPixelFormat format = pf24bit);
  ~TBitmap() override;

  bool Empty() const override { return width_ == 0 || height_ == 0; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int value) { SetSize(value, height_); }
  void SetHeight(int value) { SetSize(width_, value); }
  // Keeps the pixel format and the pixels that stay inside; new pixels are black.
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const { return format_; }
  // pf24bit or pf32bit; other formats are taken as pf24bit.
  void SetPixelFormat(TPixelFormat value);

  // Row y (0 is the top row) of the DIB: 3 or 4 bytes per pixel, B G R (A).
  std::uint8_t* ScanLine(int y);
  int Stride() const;
  TColor PixelAt(int x, int y) const;  // direct read of DIB memory, no canvas
  void SetPixelAt(int x, int y, TColor color);

  // A canvas drawing into the bitmap, created on first use.
  TCanvas* Canvas();
  // The DIB section. Reading it takes the bitmap out of the canvas's memory
  // DC (a bitmap can be selected into one DC only) and frees that DC, so that
  // the handle can be given to the platform; an HDC read from Canvas() before
  // is then gone. The canvas makes a new DC when next used.
  HBITMAP Handle() const;
  bool HandleAllocated() const { return static_cast<bool>(bitmap_); }

  // tmAuto: the lower-left pixel; tmFixed: the colour set last.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor value);  // also switches to tmFixed
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode value);

  // BMP files of 1, 4, 8, 16, 24 and 32 bits per pixel; damaged data raises
  // EInvalidGraphic with "Bitmap image is not valid" and changes nothing.
  void LoadFromStream(TStream& stream) override;
  // The same from a BMP file already in memory, without copying it first.
  void LoadFromBytes(const std::uint8_t* data, std::size_t size);
  // 24- and 32-bit bitmaps are written back byte for byte as they were loaded.
  void SaveToStream(TStream& stream) override;
  // A bitmap resource (RT_BITMAP) of a module, such as "NUVSKIN_MENU_CHECKED".
  // Raises EResNotFound when the module has no such bitmap.
  void LoadFromResourceName(HINSTANCE instance, const std::wstring& name);
  void Assign(TPersistent* source) override;
  // Frees the pixels: Width and Height become 0.
  void Clear();
  // Streamed as "Data": the size of the BMP file, then the file.
  void DefineProperties(TFiler& filer) override;

 protected:
  void Draw(TCanvas& canvas, const RECT& rect) override;

 private:
  class BitmapCanvas;
  struct Dib;
  static Dib CreateDib(int width, int height, TPixelFormat format);
  // A DIB for new pixels: the bitmap's own when size and format match.
  Dib DibFor(int width, int height, TPixelFormat format);
  void Adopt(Dib&& dib);
  // The memory DC with the DIB selected, created on demand.
  HDC SelectIntoDC() const;
  // Gives up the memory DC (the canvas lets go of it first).
  void FreeContext() const;
  win::UniqueBitmap bitmap_;
  mutable win::UniqueMemoryDC dc_;
  mutable HGDIOBJ oldBitmap_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
  TPixelFormat format_ = pf24bit;
  TCanvas* canvas_ = nullptr;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  // BMP header fields kept from the last load, for byte-exact saving.
  std::int32_t xPelsPerMeter_ = 0, yPelsPerMeter_ = 0;
  std::uint32_t sizeImage_ = 0, clrUsed_ = 0, clrImportant_ = 0;
};

// An icon; the object owns its handle.
class TIcon : public TGraphic {
  NUV_CLASS(TIcon, TGraphic)
  ~TIcon() override;
  bool Empty() const override { return !handle_; }
  int Width() const override;
  int Height() const override;
  HICON Handle() const { return handle_.Get(); }
  // Takes ownership of `icon`.
  void SetHandle(HICON icon);
  HICON ReleaseHandle() { return handle_.Release(); }
  // An icon resource at the system's icon size; raises EResNotFound.
  void LoadFromResourceName(HINSTANCE instance, const std::wstring& name);
  // The best image of an .ico file (the system icon size, then the most
  // colours); damaged data raises EInvalidGraphic and changes nothing.
  void LoadFromStream(TStream& stream) override;
  // A one-image .ico file of 32 bits per pixel with its mask.
  void SaveToStream(TStream& stream) override;
  void Assign(TPersistent* source) override;

 protected:
  void Draw(TCanvas& canvas, const RECT& rect) override;

 private:
  win::UniqueIcon handle_;
  SIZE size_{0, 0};
};

}  // namespace nuvskin
