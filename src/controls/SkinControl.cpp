#include "controls/SkinControl.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "draw/PlatformFunctions.h"
#include "frames/SkinWindow.h"
#include "framework/Callbacks.h"
#include "framework/ExtCtrls.h"
#include "framework/Grids.h"
#include "framework/SysUtils.h"
#include "framework/Win32Handles.h"

namespace nuvskin {

// --- TnuvSkinControl --------------------------------------------------------

TnuvSkinControl::TnuvSkinControl(TnuvSkinWindow* skinWindow)
    : FSkinWindow(skinWindow), FEngine(skinWindow ? skinWindow->FEngine : nullptr) {}

bool TnuvSkinControl::BeforeWndProc(TMessage& /*message*/) { return true; }

void TnuvSkinControl::DoneSkin() { FReleased = true; }

void TnuvSkinControl::Repaint() {
  if (FEngine && FEngine->SkinningActive()) Paint();
}

void TnuvSkinControl::AfterWndProc(TMessage& message) {
  using F = TnuvSkinControlStateFlag;
  switch (message.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_ENABLE:
    case WM_SETTEXT:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case WM_NUVSKIN_REPAINT:
      Repaint();
      break;
    // A parent also hears of its children's enter and leave (lParam the
    // child); only the control's own notice changes its hover state.
    case CM_MOUSEENTER:
      if (message.LParam != 0) break;
      FState.Include(F::Hot);
      Repaint();
      MouseEnter();
      break;
    case CM_MOUSELEAVE:
      if (message.LParam != 0) break;
      FState.Exclude(F::Hot).Exclude(F::Down);
      Repaint();
      MouseLeave();
      break;
    case WM_LBUTTONDOWN:
      FState.Include(F::Down);
      Repaint();
      MouseDown();
      break;
    case WM_LBUTTONUP:
      FState.Exclude(F::Down);
      Repaint();
      MouseUp();
      break;
    case WM_KEYDOWN: {
      const auto key = static_cast<WORD>(message.WParam);
      if (key == VK_SPACE || key == VK_RETURN) FState.Include(F::Down);
      Repaint();
      KeyDown(key);
      break;
    }
    case WM_KEYUP: {
      const auto key = static_cast<WORD>(message.WParam);
      if (key == VK_SPACE || key == VK_RETURN) FState.Exclude(F::Down);
      Repaint();
      KeyUp(key);
      break;
    }
    case WM_NUVSKIN_QUERY:
      message.Result = 1;
      break;
    default:
      break;
  }
}

namespace {

// A canvas on the control's client DC for one drawing pass.
class ClientCanvas {
 public:
  explicit ClientCanvas(HWND wnd) : dc_(wnd) {
    if (dc_) binding_.emplace(canvas_.get(), dc_.Get());
  }
  explicit operator bool() const { return static_cast<bool>(dc_); }
  TCanvas* operator->() const { return canvas_.get(); }
  TCanvas* get() const { return canvas_.get(); }

 private:
  // GetDC(nullptr) is the screen: a control without a window draws nothing.
  win::WindowDC dc_;
  OwnedObject<TCanvas> canvas_{Create<TCanvas>()};
  std::optional<CanvasBinding> binding_;
};

// What a window procedure's guard answers for a BeforeWndProc that raised.
constexpr LRESULT kFailed = -1;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The control's rectangle of the bitmap copied onto the control's window,
// then `draw` on the same device context.
template <class Draw>
void PaintOnWindow(TnuvSkinControl& skin, TBitmap* bitmap, Draw&& draw) {
  const HWND wnd = skin.GetHandle();
  if (!wnd) return;
  ClientCanvas canvas(wnd);
  if (!canvas) return;
  RECT r{};
  skin.GetControlRect(r);
  if (bitmap) canvas->CopyRect(r, bitmap->Canvas(), r);
  draw(canvas.get());
}

// The caption's rectangle and the canvas prepared as both captions draw.
RECT PrepareCaption(TCanvas* canvas, TFont* font, bool enabled, bool down, const RECT& textRect) {
  canvas->Brush()->SetStyle(bsClear);
  if (font) canvas->SetFont(font);
  if (!enabled) canvas->Font()->SetColor(static_cast<TColor>(0x808080));
  RECT tr = textRect;
  if (down) ::OffsetRect(&tr, 1, 1);
  return tr;
}

int DrawTextOf(HDC dc, const std::string& text, RECT* r, UINT flags) {
  return ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), r, flags);
}
int DrawTextOf(HDC dc, const std::wstring& text, RECT* r, UINT flags) {
  return ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), r, flags);
}

// The text measured with `measure` and drawn centred in `tr`; a wrapped one
// keeps 2 pixels from either side.
template <class Text>
void DrawCentred(TCanvas* canvas, const Text& text, bool wordWrap, const RECT& tr, UINT measure) {
  RECT t = tr;
  if (wordWrap) {
    t.left += 2;
    t.right -= 2;
  }
  const HDC dc = canvas->Handle();
  DrawTextOf(dc, text, &t, DT_CALCRECT | measure);
  ::OffsetRect(&t, (Width(tr) - Width(t)) / 2, (Height(tr) - Height(t)) / 2);
  DrawTextOf(dc, text, &t, wordWrap ? DT_WORDBREAK | DT_CENTER : DT_CENTER);
}

}  // namespace

void TnuvSkinControl::PaintFaceText(TBitmap* bitmap, const std::string& text, bool wordWrap, const RECT& textRect,
                                    TFont* font) {
  PaintOnWindow(*this, bitmap, [&](TCanvas* canvas) { DrawFaceText(canvas, text, wordWrap, textRect, font); });
}

void TnuvSkinControl::PaintFaceTextW(TBitmap* bitmap, bool wordWrap, const RECT& textRect, TFont* font) {
  PaintOnWindow(*this, bitmap,
                [&](TCanvas* canvas) { DrawFaceTextW(canvas, WindowTextW(), wordWrap, textRect, font); });
}

void TnuvSkinControl::DrawFaceText(TCanvas* canvas, const std::string& text, bool wordWrap, const RECT& textRect,
                                   TFont* font) {
  if (!canvas || text.empty()) return;
  const RECT tr =
      PrepareCaption(canvas, font, GetEnabled(), FState.Contains(TnuvSkinControlStateFlag::Down), textRect);
  DrawCentred(canvas, text, wordWrap, tr, DT_EXPANDTABS | DT_WORDBREAK);
}

void TnuvSkinControl::DrawFaceTextW(TCanvas* canvas, const std::wstring& text, bool wordWrap, const RECT& textRect,
                                    TFont* font) {
  if (!canvas || text.empty()) return;
  const RECT tr =
      PrepareCaption(canvas, font, GetEnabled(), FState.Contains(TnuvSkinControlStateFlag::Down), textRect);
  DrawCentred(canvas, text, wordWrap, tr, wordWrap ? DT_WORDBREAK | DT_CENTER : DT_CENTER);
}

void TnuvSkinControl::CopyFaceToWindow(TBitmap* bitmap) {
  const HWND wnd = GetHandle();
  if (!wnd || !bitmap) return;
  win::WindowDC dc(wnd);
  if (!dc) return;
  RECT r{};
  GetControlRect(r);
  ::BitBlt(dc.Get(), r.left, r.top, Width(r), Height(r), bitmap->Canvas()->Handle(), r.left, r.top, SRCCOPY);
}

std::wstring TnuvSkinControl::WindowTextW() {
  const HWND wnd = GetHandle();
  const int length = wnd ? ::GetWindowTextLengthW(wnd) : 0;
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(std::max(0, ::GetWindowTextW(wnd, text.data(), length + 1))));
  return text;
}

void TnuvSkinControl::DrawBitmapAt(TBitmap* bitmap, POINT point) {
  const HWND wnd = GetHandle();
  if (!wnd || !bitmap) return;
  ClientCanvas canvas(wnd);
  if (!canvas) return;
  canvas->Draw(point.x, point.y, bitmap);
}

// --- TnuvSkinControlVCL -----------------------------------------------------

// The message being handled: where to pass it on, and whether it was.
struct TnuvSkinControlVCL::CallFrame {
  const TWndMethod& next;
  bool passedOn = false;
};

namespace {

bool TracksScrollThumb(const TControl* control) {
  if (control->Is<TCustomGrid>() || control->Is<TScrollBox>()) return true;
  const std::string& name = control->ClassName();
  return name == "TRxRichEdit" || name == "TRxCustomRichEdit" || name == "TJvxRichEdit" || name == "TRichEditViewer";
}

}  // namespace

TnuvSkinControlVCL::TnuvSkinControlVCL(TControl* control, TnuvSkinWindow* skinWindow)
    : TnuvSkinControl(skinWindow), FControl(control), FTracksScrollThumb(control && TracksScrollThumb(control)) {}

TnuvSkinControlVCL::~TnuvSkinControlVCL() {
  // The hook knows whether the control still lives; it never touches a
  // freed one.
  FHook.reset();
  FControl = nullptr;
}

void TnuvSkinControlVCL::Start() {
  if (!FControl) throw Exception("NUVSkin: no control to skin");
  FControlLink.Watch(FControl, [this](TComponent*) { FControl = nullptr; });
  FHook = std::make_unique<TWindowProcHook>(
      FControl, [this](TMessage& message, const TWndMethod& next) { WindowProc(message, next); });
  FState = {};
  FReleased = false;
  InitSkin();
}

void TnuvSkinControlVCL::RestoreWindowProc() { FHook.reset(); }

void TnuvSkinControlVCL::CallOldWindowProc(TMessage& message) {
  if (FCall) {
    FCall->passedOn = true;
    const TWndMethod next = FCall->next;
    if (next) next(message);
  } else if (FHook) {
    const TWndMethod next = FHook->Next();
    if (next) next(message);
  }
}

void TnuvSkinControlVCL::WindowProc(TMessage& message, const TWndMethod& next) {
  TnuvSkinEngine* engine = FEngine;
  if (!engine) {
    next(message);
    return;
  }
  const bool destroying = engine->Destroying();
  // Invalidating controls of an engine on its way out only costs repaints.
  if (destroying && message.Msg == CM_INVALIDATE) return;
  if (destroying || !engine->SkinningActive() || !FControl || FControl->Tag() == engine->DisabledTag()) {
    next(message);
    return;
  }
  // The handlers may free this skin (the frame skin frees with Free): it
  // stays whole until the message is done.
  ObjectPin pin(this);
  if (FTracksScrollThumb) GuardWindowMessage(message.Msg, 0, [&] {
      TrackScrollThumb(*this, message);
      return 0;
    });
  CallFrame frame{next};
  CallFrame* const outer = std::exchange(FCall, &frame);
  struct Restore {
    CallFrame*& slot;
    CallFrame* outer;
    ~Restore() { slot = outer; }
  } restore{FCall, outer};
  // A failing skin must not eat the control's messages: the message goes on
  // unless the skin already passed it.
  const LRESULT pass = GuardWindowMessage(message.Msg, kFailed, [&]() -> LRESULT { return BeforeWndProc(message); });
  if (pass == 1 || (pass == kFailed && !frame.passedOn)) next(message);
  if (pin.Freed() || FReleased) return;
  GuardWindowMessage(message.Msg, 0, [&] {
    AfterWndProc(message);
    return 0;
  });
}

void TnuvSkinControlVCL::GetControlRect(RECT& rect) {
  rect = FControl ? FControl->ClientRect() : RECT{};
}

HWND TnuvSkinControlVCL::GetHandle() {
  auto* win = dynamic_cast<TWinControl*>(FControl);
  return win ? win->Handle() : nullptr;
}

bool TnuvSkinControlVCL::GetEnabled() { return FControl && FControl->Enabled(); }

// --- TnuvSkinControlWnd -----------------------------------------------------

TnuvSkinControlWnd::TnuvSkinControlWnd(HWND wnd, TnuvSkinWindow* skinWindow)
    : TnuvSkinControl(skinWindow), FHandle(wnd) {}

TnuvSkinControlWnd::~TnuvSkinControlWnd() {
  // Gives the window its procedure back only while ours is the one in place.
  FSubclass.Remove();
  FHandle = nullptr;
}

void TnuvSkinControlWnd::Start() {
  FSubclass.OnWindowDestroyed = [this] { FHandle = nullptr; };
  if (!FSubclass.Attach(
          FHandle, [this](UINT msg, WPARAM wParam, LPARAM lParam) { return WndProc(msg, wParam, lParam); }, this))
    throw Exception("NUVSkin: the window cannot be subclassed");
  FState = {};
  FReleased = false;
  InitSkin();
}

LRESULT TnuvSkinControlWnd::CallOldWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (FPassedOn) *FPassedOn = true;
  return FSubclass.CallNext(msg, wParam, lParam);
}

LRESULT TnuvSkinControlWnd::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  TnuvSkinEngine* engine = FEngine;
  if (!engine || engine->Destroying() || !engine->SkinningActive()) return FSubclass.CallNext(msg, wParam, lParam);
  ObjectPin pin(this);
  TMessage message{msg, wParam, lParam, 0};
  bool passedOn = false;
  bool* const outer = std::exchange(FPassedOn, &passedOn);
  struct Restore {
    bool*& slot;
    bool* outer;
    ~Restore() { slot = outer; }
  } restore{FPassedOn, outer};
  const LRESULT pass = GuardWindowMessage(msg, kFailed, [&]() -> LRESULT { return BeforeWndProc(message); });
  if (pass == 1 || (pass == kFailed && !passedOn)) message.Result = FSubclass.CallNext(msg, wParam, lParam);
  if (!pin.Freed() && !FReleased) GuardWindowMessage(msg, 0, [&] {
      AfterWndProc(message);
      return 0;
    });
  return message.Result;
}

void TnuvSkinControlWnd::GetControlRect(RECT& rect) { rect = RECT{0, 0, WindowWidth(), WindowHeight()}; }

bool TnuvSkinControlWnd::GetEnabled() { return FHandle && ::IsWindowEnabled(FHandle); }

int TnuvSkinControlWnd::WindowWidth() {
  RECT r{};
  if (!FHandle || !::GetWindowRect(FHandle, &r)) return 0;
  return r.right - r.left;
}

int TnuvSkinControlWnd::WindowHeight() {
  RECT r{};
  if (!FHandle || !::GetWindowRect(FHandle, &r)) return 0;
  return r.bottom - r.top;
}

std::string TnuvSkinControlWnd::WindowText() {
  char buffer[260] = {};
  if (FHandle) ::GetWindowTextA(FHandle, buffer, 260);
  return buffer;
}

// --- Scroll-thumb tracking -------------------------------------------------

namespace {

// Trivially destructible: nothing to tear down after main.
TnuvScrollThumbTrack gVertTrack, gHorzTrack;

}  // namespace

const TnuvScrollThumbTrack& VertScrollThumbTrack() { return gVertTrack; }
const TnuvScrollThumbTrack& HorzScrollThumbTrack() { return gHorzTrack; }

namespace {

void ReadScrollBar(TnuvSkinControlVCL& skin, TControl* control, bool vertical, TnuvScrollThumbTrack& track) {
  track.tracking = false;
  SCROLLBARINFO info{};
  info.cbSize = 60;  // sizeof(SCROLLBARINFO) everywhere
  if (!SafeGetScrollBarInfo(skin.GetHandle(), vertical ? OBJID_VSCROLL : OBJID_HSCROLL, info)) return;
  track.info = info;
  track.thumbStart = info.xyThumbTop;
  track.thumbEnd = info.xyThumbBottom;
  track.thumbLength = track.thumbEnd - track.thumbStart;
  POINT topLeft{info.rcScrollBar.left, info.rcScrollBar.top};
  POINT bottomRight{info.rcScrollBar.right, info.rcScrollBar.bottom};
  if (TWinControl* parent = control->Parent()) {
    topLeft = parent->ScreenToClient(topLeft);
    bottomRight = parent->ScreenToClient(bottomRight);
  } else if (const HWND parentWnd = ::GetParent(skin.GetHandle())) {
    ::ScreenToClient(parentWnd, &topLeft);
    ::ScreenToClient(parentWnd, &bottomRight);
  }
  track.barRect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void TrackScroll(TnuvSkinControlVCL& skin, TControl* control, bool vertical, WPARAM code) {
  TnuvScrollThumbTrack& track = vertical ? gVertTrack : gHorzTrack;
  ReadScrollBar(skin, control, vertical, track);
  switch (LOWORD(code)) {
    case SB_THUMBTRACK: {
      track.tracking = true;
      POINT cursor{};
      ::GetCursorPos(&cursor);
      const int arrow = ::GetSystemMetrics(vertical ? SM_CXVSCROLL : SM_CXHSCROLL);
      const int bar = vertical ? track.barRect.bottom - track.barRect.top : track.barRect.right - track.barRect.left;
      track.thumbStart += vertical ? cursor.y - track.downCursor.y : cursor.x - track.downCursor.x;
      if (track.thumbStart < arrow) track.thumbStart = arrow;
      if (bar - arrow - track.thumbLength < track.thumbStart) track.thumbStart = bar - arrow - track.thumbLength;
      track.thumbEnd = track.thumbStart + track.thumbLength;
      break;
    }
    case SB_ENDSCROLL:
      ReadScrollBar(skin, control, vertical, track);
      break;
    default:
      break;
  }
}

}  // namespace

void TrackScrollThumb(TnuvSkinControlVCL& skin, const TMessage& message) {
  TControl* control = skin.FControl;
  if (!control) return;
  switch (message.Msg) {
    case WM_NCLBUTTONDOWN: {
      POINT cursor{};
      ::GetCursorPos(&cursor);
      gVertTrack.downCursor = cursor;
      gHorzTrack.downCursor = cursor;
      break;
    }
    case WM_VSCROLL:
      TrackScroll(skin, control, true, message.WParam);
      break;
    case WM_HSCROLL:
      TrackScroll(skin, control, false, message.WParam);
      break;
    default:
      break;
  }
}

// --- Registration tables ----------------------------------------------------

namespace {

// Never destroyed: frame skins may still look skins up while the library
// ends, after static destructors would have run.
std::vector<ControlSkinRegistration>& ControlSkinTable() {
  static auto* table = new std::vector<ControlSkinRegistration>();
  return *table;
}

std::vector<WndControlSkinRegistration>& WndControlSkinTable() {
  static auto* table = new std::vector<WndControlSkinRegistration>();
  return *table;
}

}  // namespace

void RegisterControlSkins(const std::vector<ControlSkinRegistration>& pairs) {
  auto& table = ControlSkinTable();
  table.insert(table.end(), pairs.begin(), pairs.end());
}

void RegisterWndControlSkins(const std::vector<WndControlSkinRegistration>& records) {
  auto& table = WndControlSkinTable();
  table.insert(table.end(), records.begin(), records.end());
}

TnuvSkinControl* CreateControlSkin(TControl* control, TnuvSkinWindow* skinWindow) {
  if (!control) return nullptr;
  const auto& table = ControlSkinTable();
  for (auto entry = table.rbegin(); entry != table.rend(); ++entry)
    if (entry->controlClass && entry->create && control->InheritsFrom(*entry->controlClass))
      return entry->create(control, skinWindow);
  return nullptr;
}

TnuvSkinControl* CreateWndControlSkin(HWND wnd, TnuvSkinWindow* skinWindow) {
  if (!wnd || !::IsWindow(wnd)) return nullptr;
  char className[100] = {};
  ::GetClassNameA(wnd, className, 100);
  std::string key = className;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(wnd, GWL_STYLE));

  if (key == "SYSANIMATE32" || key == "MSCTLS_PROGRESS32") {
    if (skinWindow) skinWindow->FHasAnimationChild = true;
    return nullptr;
  }
  if (key == "BUTTON") {
    if ((style & 7) == 7) return nullptr;  // group boxes stay system-drawn
    if ((style & 3) == 3 || (style & 2) != 0 || (style & 5) == 5)
      key = "BUTTON_CHECKBOX";
    else if ((style & 9) == 9 || (style & 4) != 0)
      key = "BUTTON_RADIOBUTTON";
  }
  if (key == "COMBOBOX" && (style & 3) == 1) return nullptr;  // simple: its list is always shown
  HWND target = wnd;
  if (key == "COMBOBOXEX32") {
    target = ::GetTopWindow(wnd);  // the inner combo box
    if (!target) return nullptr;
  }
  for (const auto& record : WndControlSkinTable())
    if (record.key == key && record.create) return record.create(target, skinWindow);
  return nullptr;
}

}  // namespace nuvskin
