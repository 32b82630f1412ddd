#include "controls/SkinButtons.h"

#include <algorithm>
#include <utility>

#include "draw/NUVSkinUtils.h"
#include "frames/SkinWindow.h"
#include "framework/Buttons.h"
#include "framework/ExtCtrls.h"
#include "framework/ImgList.h"

namespace nuvskin {

namespace {

using F = TnuvSkinControlStateFlag;

// A published ordinal property by name, or `absent` when there is none.
std::int64_t OrdinalOf(const TObject* object, std::string_view name, std::int64_t absent) {
  const PropInfo* prop = GetPropInfo(object, name);
  if (!prop || prop->kind == TypeKind::String || prop->kind == TypeKind::WString || prop->kind == TypeKind::Class ||
      prop->kind == TypeKind::Method)
    return absent;
  return GetOrdProp(object, prop);
}

TObject* ObjectOf(const TObject* object, std::string_view name) {
  const PropInfo* prop = GetPropInfo(object, name);
  return prop && prop->kind == TypeKind::Class ? GetObjectProp(object, prop) : nullptr;
}

// Frame 3, 2 or 1 of a three-state face: down, hot, normal.
int FaceFrame(TnuvSkinControlState state) {
  return state.Contains(F::Down) ? 3 : state.Contains(F::Hot) ? 2 : 1;
}

// The dotted focus rectangle 5 pixels inside `rect`, pressed with the face.
void DrawFaceFocus(TCanvas* canvas, RECT rect, bool down) {
  ::InflateRect(&rect, -5, -5);
  if (down) ::OffsetRect(&rect, 1, 1);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->DrawFocusRect(rect);
}

// The caption of a framework control as 8-bit text (the platform's A
// functions draw it): only for a caption that is no wide property or on a
// system without wide drawing.
std::string CaptionA(const TObject* control, const PropInfo* caption) {
  if (!caption) return {};
  if (caption->kind == TypeKind::String) return GetStrProp(control, caption);
  if (caption->kind != TypeKind::WString) return {};
  const std::wstring wide = GetWideStrProp(control, caption);
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                         nullptr);
  std::string text(static_cast<std::size_t>(std::max(size, 0)), '\0');
  if (size > 0)
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
  return text;
}

bool WideCaption(const PropInfo* caption) { return caption && caption->kind == TypeKind::WString && IsWinNT(); }

}  // namespace

// --- Shared rules -------------------------------------------------------------

TColor ButtonBackgroundColor(TControl* control, TnuvSkinEngine* engine) {
  TWinControl* parent = control ? control->Parent() : nullptr;
  if (const PropInfo* color = GetPropInfo(parent, "Color"); color && color->kind == TypeKind::Integer)
    return static_cast<TColor>(GetOrdProp(parent, color));
  return engine->GetSkinColor(SkinColor::FORMCOLOR);
}

TGlyphPlacement PlaceGlyphAndCaption(TControl* control, TCanvas* canvas, const RECT& client, SIZE glyphSize,
                                     int layout, int margin, int spacing) {
  canvas->SetFont(control->Font());
  return LayoutGlyphAndCaption(canvas->Handle(), client, glyphSize, control->Caption(),
                               static_cast<TButtonLayout>(std::clamp(layout, 0, 3)), margin, spacing,
                               control->DrawTextBiDiModeFlags(0), control->UseRightToLeftAlignment());
}

void DrawSkinGlyph(TCanvas* canvas, TBitmap* glyph, int numGlyphs, bool enabled, POINT pos, bool pushed) {
  if (!canvas || !glyph || glyph->Empty()) return;
  numGlyphs = std::max(1, numGlyphs);
  if (numGlyphs != 1 || enabled) {
    OwnedObject<TBitmap> image(nuvskin::Create<TBitmap>());
    CutFrame(glyph, image.get(), numGlyphs, std::min(enabled ? 1 : 2, numGlyphs));
    if (image->Empty()) return;
    image->SetTransparent(true);  // in its lower-left colour
    if (pushed) {
      ++pos.x;
      ++pos.y;
    }
    canvas->Draw(pos.x, pos.y, image.get());
    return;
  }
  OwnedObject<TCustomImageList> list(TCustomImageList::CreateSize(glyph->Width(), glyph->Height()));
  list->AddMasked(glyph, glyph->PixelAt(0, 0));
  list->Draw(canvas, pos.x, pos.y, 0, false);
}

void TnuvSkinFontColor::Save(TControl* control) {
  if (control) FSavedColor = control->Font()->Color();
}

bool TnuvSkinFontColor::Allowed(TnuvSkinEngine* engine) {
  return engine && engine->SkinningActive() && !engine->NoChangeButtonsFontColor();
}

void TnuvSkinFontColor::Apply(TControl* control, TnuvSkinEngine* engine, int colorIndex) const {
  if (!control || !engine) return;
  control->Font()->SetColor(Allowed(engine) ? engine->GetSkinColor(colorIndex) : FSavedColor);
}

bool TnuvSkinOwnPaint::LeavesOut(UINT msg) {
  if (!FAnswered || (msg != WM_ERASEBKGND && msg != WM_PAINT)) return false;
  if (msg == WM_PAINT) FAnswered = false;
  return true;
}

TnuvSkinButtonFace::TnuvSkinButtonFace() : FFace(nuvskin::Create<TBitmap>()) {}

TnuvSkinButtonFace::~TnuvSkinButtonFace() = default;

void TnuvSkinButtonFace::Draw(TnuvSkinEngine* engine, TCanvas* canvas, int width, int height, int frame,
                              TColor background) {
  const bool transparent = engine->GetSkinFlag(SkinFlag::BUTTONTRANS);
  const TColor transColor = engine->GetSkinColor(SkinColor::TRANSCOLOR);
  if (!FValid || FFace->Width() != width || FFace->Height() != height || FFrameIndex != frame ||
      FBackground != background || FTransparent != transparent || FTransColor != transColor ||
      FSkin != engine->Skin()) {
    const RECT r{0, 0, width, height};
    FFace->SetSize(width, height);
    FillRectColor(FFace->Canvas(), r, background);
    OwnedObject<TBitmap> cut(nuvskin::Create<TBitmap>());
    if (engine->GetSkinBitmap(SkinBitmap::BUTTON, cut.get(), 3, frame))
      DrawNineGrid(cut.get(), FFace->Canvas(), r, transparent, transColor);
    FValid = true;
    FFrameIndex = frame;
    FBackground = background;
    FTransparent = transparent;
    FTransColor = transColor;
    FSkin = engine->Skin();
  }
  ::BitBlt(canvas->Handle(), 0, 0, width, height, FFace->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// --- TnuvSkinButton -------------------------------------------------------------

TnuvSkinButton::TnuvSkinButton(TControl* control, TnuvSkinWindow* skinWindow)
    : TnuvSkinControlVCL(control, skinWindow), FBuffer(nuvskin::Create<TBitmap>()) {}

TnuvSkinButton::~TnuvSkinButton() = default;

void TnuvSkinButton::InitSkin() {
  TnuvSkinControlVCL::InitSkin();
  FClickArmed = false;
  FKeyDownSeen = false;
  FFontColor.Save(FControl);
}

// Skinning stops: the caption colour Paint gave the button goes back, or a
// light skin colour would stay on the system's grey face.
void TnuvSkinButton::SkinChanged() {
  TnuvSkinControlVCL::SkinChanged();
  FFace.Forget();
  FFontColor.Apply(FControl, FEngine, SkinColor::BUTTONFONTCOLOR);
}

bool TnuvSkinButton::BeforeWndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_KEYDOWN:
      return message.WParam != VK_RETURN && message.WParam != VK_SPACE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      FState.Include(F::Down);
      Paint();
      return false;
    case CM_GOTFOCUS:
    case CM_LOSTFOCUS:
      Paint();
      return false;
    case WM_ERASEBKGND:
      message.Result = 1;
      return false;
    case WM_PAINT:
      FOwnPaint.Answer(GetHandle(), [this] { Paint(); });
      message.Result = 0;
      return false;
    default:
      // WM_KILLFOCUS goes on: the framework reports OnExit from it.
      return true;
  }
}

void TnuvSkinButton::AfterWndProc(TMessage& message) {
  if (FOwnPaint.LeavesOut(message.Msg)) return;
  TnuvSkinControlVCL::AfterWndProc(message);
  if (FReleased) return;  // a click handler ended the skin
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Paint();
      break;
    case WM_CHAR:
      if (message.WParam == 0 || message.WParam == VK_RETURN) {
        FState.Exclude(F::Down);
        Paint();
        FControl->Click();  // may free the control and this skin: nothing after it
      }
      break;
    case WM_UPDATEUISTATE:
      if (IsWinXPOrAbove()) Paint();
      break;
    case WM_LBUTTONDBLCLK:
      FClickArmed = false;
      FControl->Click();
      break;
    default:
      break;
  }
}

void TnuvSkinButton::MouseDown() {
  auto* button = dynamic_cast<TWinControl*>(FControl);
  if (!button) return;
  TCustomForm* form = GetParentForm(button);
  if (!form || !IsFormActive(form)) return;
  if (button->CanFocus() && button->Enabled() && button->Visible()) {
    try {
      button->SetFocus();
    } catch (...) {
      // The click is armed all the same.
    }
  }
  FClickArmed = true;
}

void TnuvSkinButton::MouseUp() {
  if (!FClickArmed) return;
  FClickArmed = false;
  FControl->Click();
}

void TnuvSkinButton::KeyDown(WORD /*key*/) { FKeyDownSeen = true; }

void TnuvSkinButton::KeyUp(WORD key) {
  auto* button = dynamic_cast<TWinControl*>(FControl);
  const bool click = key == VK_SPACE && FKeyDownSeen && button && button->Focused() && button->Enabled() &&
                     FEngine->SkinningActive();
  FKeyDownSeen = false;
  if (!click) return;
  FState.Exclude(F::Down);
  Paint();
  button->Click();
}

void TnuvSkinButton::Paint() {
  // A button without its window yet has nothing to paint on (and asking for
  // the handle would make one in the middle of a message).
  auto* button = dynamic_cast<TWinControl*>(FControl);
  if (!button || !button->HandleAllocated() || button->Width() <= 0 || button->Height() <= 0) return;
  const RECT client = button->ClientRect();
  FBuffer->SetSize(button->Width(), button->Height());
  TCanvas* canvas = FBuffer->Canvas();
  FFace.Draw(FEngine, canvas, client.right, client.bottom, FaceFrame(FState), ButtonBackgroundColor(button, FEngine));
  if (button->Focused()) DrawFaceFocus(canvas, client, FState.Contains(F::Down));
  const RECT captionRect = DrawGlyph(canvas, client);
  if (TnuvSkinFontColor::Allowed(FEngine))
    button->Font()->SetColor(FEngine->GetSkinColor(SkinColor::BUTTONFONTCOLOR));
  // Composed before the one copy: the caption never shows on the old face.
  const bool wordWrap = OrdinalOf(button, "WordWrap", 0) != 0;
  const PropInfo* caption = GetPropInfo(button, "Caption");
  if (WideCaption(caption))
    DrawFaceTextW(canvas, WindowTextW(), wordWrap, captionRect, button->Font());
  else
    DrawFaceText(canvas, CaptionA(button, caption), wordWrap, captionRect, button->Font());
  CopyFaceToWindow(FBuffer.get());
}

RECT TnuvSkinButton::DrawGlyph(TCanvas* canvas, const RECT& client) {
  if (auto* bitBtn = dynamic_cast<TBitBtn*>(FControl))
    return DrawBitmapGlyph(canvas, client, bitBtn->Glyph(), bitBtn->NumGlyphs(), bitBtn->Layout(), bitBtn->Margin(),
                           bitBtn->Spacing());
  if (HasPublishedProperty(FControl, "Glyph")) {
    auto* glyph = dynamic_cast<TBitmap*>(ObjectOf(FControl, "Glyph"));
    if (!glyph) return client;
    return DrawBitmapGlyph(canvas, client, glyph, static_cast<int>(OrdinalOf(FControl, "NumGlyphs", 1)),
                           static_cast<int>(OrdinalOf(FControl, "Layout", 0)),
                           static_cast<int>(OrdinalOf(FControl, "Margin", -1)),
                           static_cast<int>(OrdinalOf(FControl, "Spacing", 4)));
  }
  if (HasPublishedProperty(FControl, "Images") && HasPublishedProperty(FControl, "ImageIndex"))
    return DrawListImage(canvas, client);
  return client;
}

RECT TnuvSkinButton::DrawBitmapGlyph(TCanvas* canvas, const RECT& client, TBitmap* glyph, int numGlyphs, int layout,
                                     int margin, int spacing) {
  numGlyphs = std::max(1, numGlyphs);
  const SIZE size = glyph && !glyph->Empty() ? SIZE{glyph->Width() / numGlyphs, glyph->Height()} : SIZE{0, 0};
  RECT inner = client;
  ::InflateRect(&inner, -1, -1);
  const TGlyphPlacement place = PlaceGlyphAndCaption(FControl, canvas, inner, size, layout, margin, spacing);
  DrawSkinGlyph(canvas, glyph, numGlyphs, GetEnabled(), place.glyph, FState.Contains(F::Down));
  return place.caption;
}

RECT TnuvSkinButton::DrawListImage(TCanvas* canvas, const RECT& client) {
  auto* images = dynamic_cast<TCustomImageList*>(ObjectOf(FControl, "Images"));
  const auto index = static_cast<int>(OrdinalOf(FControl, "ImageIndex", -1));
  if (!images || index < 0 || index > images->Count() - 1 || OrdinalOf(FControl, "ImageVisible", 1) == 0)
    return client;
  RECT inner = client;
  ::InflateRect(&inner, -1, -1);
  const TGlyphPlacement place = PlaceGlyphAndCaption(
      FControl, canvas, inner, SIZE{images->Width(), images->Height()}, static_cast<int>(OrdinalOf(FControl, "Layout", 0)),
      static_cast<int>(OrdinalOf(FControl, "Margin", -1)), static_cast<int>(OrdinalOf(FControl, "Spacing", 4)));
  POINT pos = place.glyph;
  if (FState.Contains(F::Down)) {
    ++pos.x;
    ++pos.y;
  }
  images->Draw(canvas, pos.x, pos.y, index, GetEnabled());
  return place.caption;
}

// --- TnuvSkinSpeedButton -------------------------------------------------------

namespace {

// Speed buttons of two add-on libraries that draw a tool-bar row of their own.
bool IsTimerSpeedButton(const TControl* control) {
  const std::string& name = control->ClassName();
  return name == "TTimerSpeedButton" || name == "TAdvTimerSpeedButton";
}

constexpr int kOwnFaceTag = 999999;

}  // namespace

TnuvSkinSpeedButton::TnuvSkinSpeedButton(TControl* control, TnuvSkinWindow* skinWindow)
    : TnuvSkinControlVCL(control, skinWindow), FBuffer(nuvskin::Create<TBitmap>()) {}

TnuvSkinSpeedButton::~TnuvSkinSpeedButton() = default;

bool TnuvSkinSpeedButton::BeforeWndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      message.Result = 1;
      return false;
    case WM_PAINT:
      // A button that paints itself gets its border again afterwards.
      if (FControl->Tag() == kOwnFaceTag) {
        Paint();
        return true;
      }
      FOwnPaint.AnswerOn(reinterpret_cast<HDC>(message.WParam), [this] { Paint(); });
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      FState.Include(F::Down);
      Paint();
      return true;
    default:
      return true;
  }
}

void TnuvSkinSpeedButton::AfterWndProc(TMessage& message) {
  if (FOwnPaint.LeavesOut(message.Msg)) return;
  TnuvSkinControlVCL::AfterWndProc(message);
}

void TnuvSkinSpeedButton::Paint() {
  auto* button = dynamic_cast<TSpeedButton*>(FControl);
  if (!button || !button->Visible()) return;
  if (button->Tag() == kOwnFaceTag) {
    PaintControlBorder(button, FEngine->GetSkinColor(SkinColor::CONTROLBORDERCOLOR), clBtnFace);
    return;
  }
  const int w = button->Width(), h = button->Height();
  if (w <= 0 || h <= 0) return;
  FBuffer->SetSize(w, h);
  TCanvas* canvas = FBuffer->Canvas();
  const RECT client{0, 0, w, h};
  FillRectColor(canvas, client, ButtonBackgroundColor(button, FEngine));
  const bool enabled = button->Enabled();
  const bool timerButton = IsTimerSpeedButton(button);
  const bool shiftedRow = timerButton && button->Top() > 0;
  PaintFace(canvas, client, (FState.Contains(F::Down) && enabled) || button->Down(),
            FState.Contains(F::Hot) && enabled, timerButton);

  TBitmap* glyph = button->Glyph();
  const int numGlyphs = std::max(1, button->NumGlyphs());
  const SIZE size = glyph && !glyph->Empty() ? SIZE{glyph->Width() / numGlyphs, glyph->Height()} : SIZE{0, 0};
  TGlyphPlacement place =
      PlaceGlyphAndCaption(button, canvas, client, size, button->Layout(), button->Margin(), button->Spacing());
  if (shiftedRow) ++place.glyph.y;
  const bool pushed = button->Down() || (button->GroupIndex() == 0 && FState.Contains(F::Down) && enabled);
  if (timerButton && (numGlyphs != 1 || enabled)) place.glyph.x += 2;
  DrawSkinGlyph(canvas, glyph, numGlyphs, enabled, place.glyph, pushed);

  const std::wstring text = button->Caption();
  if (!text.empty()) {
    RECT r = place.caption;
    if (pushed) ::OffsetRect(&r, 1, 1);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(enabled ? button->Font()->Color() : static_cast<TColor>(0x808080));
    const UINT flags = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    const PropInfo* caption = GetPropInfo(button, "Caption");
    if (WideCaption(caption)) {
      ::DrawTextW(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
    } else {
      const std::string a = CaptionA(button, caption);
      ::DrawTextA(canvas->Handle(), a.c_str(), static_cast<int>(a.size()), &r, flags);
    }
  }

  if (const HDC dc = FOwnPaint.DC()) {
    ::BitBlt(dc, 0, 0, w, h, canvas->Handle(), 0, 0, SRCCOPY);
    return;
  }
  OwnedObject<TControlCanvas> target(nuvskin::Create<TControlCanvas>());
  target->SetControl(button);
  target->Draw(0, 0, FBuffer.get());
}

void TnuvSkinSpeedButton::PaintFace(TCanvas* canvas, RECT r, bool down, bool hot, bool timerButton) {
  if (timerButton && FControl->Top() > 0) {
    r.top += 2;
    canvas->Pen()->SetColor(clWhite);
    canvas->MoveTo(r.left, r.top - 1);
    canvas->LineTo(r.right, r.top - 1);
  }
  canvas->Pen()->SetColor(FEngine->GetSkinColor(SkinColor::TOOLBARBORDERCOLOR));
  if (down || hot) {
    canvas->Brush()->SetColor(FEngine->GetSkinColor(down ? SkinColor::TOOLBARDOWNCOLOR : SkinColor::TOOLBARONCOLOR));
    canvas->Rectangle(r);
  } else if (timerButton) {
    canvas->Brush()->SetColor(FEngine->GetSkinColor(SkinColor::FORMCOLOR));
    canvas->Rectangle(r);
  } else {
    FillRectColor(canvas, r, FEngine->GetSkinColor(SkinColor::FORMCOLOR));
  }
}

// --- TnuvSkinWndButton ----------------------------------------------------------

namespace {

constexpr unsigned kHoverInterval = 138;  // ms

}  // namespace

TnuvSkinWndButton::TnuvSkinWndButton(HWND wnd, TnuvSkinWindow* skinWindow)
    : TnuvSkinControlWnd(wnd, skinWindow), FBuffer(nuvskin::Create<TBitmap>()), FFont(nuvskin::Create<TFont>()) {}

TnuvSkinWndButton::~TnuvSkinWndButton() = default;

void TnuvSkinWndButton::InitSkin() {
  TnuvSkinControlWnd::InitSkin();
  FClickArmed = false;
  FFirstPaintDone = false;
  FHoverTimer.reset();
  UseMenuFont(FFont.get());
  FFontChanged = true;
  // Beside an animation or a progress bar the button keeps no timer (and
  // stays hot once the mouse has been over it).
  if (FSkinWindow && FSkinWindow->FHasAnimationChild) return;
  FHoverTimer.reset(nuvskin::Create<TTimer>(nullptr));
  FHoverTimer->SetInterval(kHoverInterval);
  FHoverTimer->OnTimer = TNotifyEvent::Bind(this, &TnuvSkinWndButton::HoverTimerTick);
}

void TnuvSkinWndButton::DoneSkin() {
  FHoverTimer.reset();
  TnuvSkinControlWnd::DoneSkin();
}

void TnuvSkinWndButton::SkinChanged() {
  TnuvSkinControlWnd::SkinChanged();
  FFace.Forget();
  UseMenuFont(FFont.get());
  FFontChanged = true;
}

bool TnuvSkinWndButton::BeforeWndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_KEYDOWN:
      // Space goes on: the button clicks itself on its release.
      if (message.WParam != VK_RETURN) return true;
      message.Result = 0;
      return false;
    case WM_MOUSEMOVE:
      if (!FState.Contains(F::Hot)) {
        FState.Include(F::Hot);
        Paint();
      }
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      FState.Include(F::Down);
      Paint();
      message.Result = 0;
      return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Paint();
      message.Result = 0;
      return false;
    case WM_PAINT:
      FOwnPaint.Answer(FHandle, [this] { Paint(); });
      message.Result = 0;
      return false;
    case WM_ERASEBKGND:
      if (!FOwnPaint.Answering()) Paint();
      return true;
    default:
      return true;
  }
}

void TnuvSkinWndButton::AfterWndProc(TMessage& message) {
  if (FOwnPaint.LeavesOut(message.Msg)) return;
  TnuvSkinControlWnd::AfterWndProc(message);
  if (!FReleased && message.Msg == WM_SETFOCUS) Paint();
}

void TnuvSkinWndButton::MouseDown() {
  ::SetFocus(FHandle);
  FClickArmed = true;
}

void TnuvSkinWndButton::MouseUp() {
  if (!FClickArmed) return;
  FClickArmed = false;
  if (!FHandle) return;
  ::PostMessageW(::GetParent(FHandle), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(FHandle), 0),
                 reinterpret_cast<LPARAM>(FHandle));
}

void TnuvSkinWndButton::HoverTimerTick(TObject* /*sender*/) {
  if (FReleased || !FHandle) return;
  // Painted only while the engine skins: a tick after skinning stopped must
  // not put the skinned face back on the system's button.
  if (FState.Contains(F::Hot)) {
    POINT cursor{};
    RECT r{};
    if (::GetCursorPos(&cursor) && ::GetWindowRect(FHandle, &r) && !::PtInRect(&r, cursor)) {
      FState.Exclude(F::Hot).Exclude(F::Down);
      Repaint();
    }
  }
  if (!FFirstPaintDone) {
    FFirstPaintDone = true;
    Repaint();
  }
}

void TnuvSkinWndButton::Paint() {
  const int w = WindowWidth(), h = WindowHeight();
  if (!FHandle || w <= 0 || h <= 0) return;
  FBuffer->SetSize(w, h);
  TCanvas* canvas = FBuffer->Canvas();
  const RECT r{0, 0, w, h};
  FFace.Draw(FEngine, canvas, w, h, FaceFrame(FState), FEngine->GetSkinColor(SkinColor::FORMCOLOR));
  if (::GetFocus() == FHandle) DrawFaceFocus(canvas, r, FState.Contains(F::Down));
  // The buffer's canvas keeps the font between paints; only its colour is
  // set each time (a disabled caption left it grey).
  if (std::exchange(FFontChanged, false)) canvas->SetFont(FFont.get());
  canvas->Font()->SetColor(FEngine->GetSkinColor(SkinColor::BUTTONFONTCOLOR));
  DrawFaceText(canvas, WindowText(), false, r, nullptr);
  CopyFaceToWindow(FBuffer.get());
}

}  // namespace nuvskin
