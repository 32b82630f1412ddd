#include "framework/Controls.h"

#include "framework/Callbacks.h"
#include "framework/Forms.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

namespace nuvskin {

namespace {

// The window property that binds a window to its framework control.
constexpr wchar_t kControlProp[] = L"nuvskin.control";

TControl* gMouseControl = nullptr;
TControl* gCaptureControl = nullptr;
// The control whose window CreateWindowEx is creating right now: messages
// arrive before CreateWindowEx returns.
thread_local TWinControl* tCreatingControl = nullptr;

// Registered window classes and the procedure of the class each superclasses.
// Never destroyed, like the other process-wide lists of the framework: the
// library ends (and windows get their last messages) after static
// destructors may have run.
std::map<std::wstring, WNDPROC>& ClassProcs() {
  static auto* procs = new std::map<std::wstring, WNDPROC>;
  return *procs;
}

// Device contexts taken by control canvases outside painting.
std::vector<TControlCanvas*>& CanvasesWithDC() {
  static auto* list = new std::vector<TControlCanvas*>;
  return *list;
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

POINT MessagePoint(LPARAM lp) { return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

TShiftState ShiftFromKeys(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (::GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyShiftState() {
  TShiftState s;
  if (::GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (::GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (::GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

WNDPROC RegisterWindowClass(const TCreateParams& params);

}  // namespace

LRESULT CALLBACK FrameworkWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

// --- TSizeConstraints -------------------------------------------------------

void TSizeConstraints::Publish(ClassBuilder<TSizeConstraints>& b) {
  b.Integer("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).defaultOrd = 0;
  b.Integer("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).defaultOrd = 0;
  b.Integer("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).defaultOrd = 0;
  b.Integer("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).defaultOrd = 0;
}

void TSizeConstraints::SetMinWidth(int value) {
  if (value == minWidth_) return;
  minWidth_ = std::max(0, value);
  if (maxWidth_ > 0 && maxWidth_ < minWidth_) maxWidth_ = minWidth_;
  Changed();
}

void TSizeConstraints::SetMinHeight(int value) {
  if (value == minHeight_) return;
  minHeight_ = std::max(0, value);
  if (maxHeight_ > 0 && maxHeight_ < minHeight_) maxHeight_ = minHeight_;
  Changed();
}

void TSizeConstraints::SetMaxWidth(int value) {
  if (value == maxWidth_) return;
  maxWidth_ = std::max(0, value);
  if (maxWidth_ > 0 && minWidth_ > maxWidth_) minWidth_ = maxWidth_;
  Changed();
}

void TSizeConstraints::SetMaxHeight(int value) {
  if (value == maxHeight_) return;
  maxHeight_ = std::max(0, value);
  if (maxHeight_ > 0 && minHeight_ > maxHeight_) minHeight_ = maxHeight_;
  Changed();
}

void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* c = dynamic_cast<TSizeConstraints*>(source)) {
    minWidth_ = c->minWidth_;
    minHeight_ = c->minHeight_;
    maxWidth_ = c->maxWidth_;
    maxHeight_ = c->maxHeight_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TSizeConstraints::Constrain(int& width, int& height) const {
  if (maxWidth_ > 0) width = std::min(width, maxWidth_);
  if (maxHeight_ > 0) height = std::min(height, maxHeight_);
  width = std::max(width, minWidth_);
  height = std::max(height, minHeight_);
}

void TSizeConstraints::Changed() {
  if (OnChange) OnChange(this);
}

// --- TControl ---------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {
  WindowProc = TWndMethod::Bind(this, &TControl::WndProc);
  constraints_ = Create<TSizeConstraints>();
  constraints_->OnChange = TNotifyEvent::Bind(this, &TControl::ConstraintsOnChange);
  font_ = Create<TFont>();
  font_->OnChange = TNotifyEvent::Bind(this, &TControl::FontOnChange);
  parentColor_ = true;
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
  if (gMouseControl == this) gMouseControl = nullptr;
  if (gCaptureControl == this) gCaptureControl = nullptr;
  TObject::Free(font_);
  TObject::Free(constraints_);
}

void TControl::BeforeDestruction() {
  BeginDestruction();
  if (gMouseControl == this) gMouseControl = nullptr;
  if (gCaptureControl == this) SetCaptureControl(nullptr);
  if (parent_) parent_->RemoveControl(this);
  TComponent::BeforeDestruction();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  Dispatch(m);
  return m.Result;
}

void TControl::Dispatch(TMessage& m) {
  // The handler may free this control or replace WindowProc: the pin keeps
  // the object's memory and the copy keeps the running handler.
  ObjectPin pin(this);
  if (const TWndMethod handler = WindowProc)
    handler(m);
  else
    WndProc(m);
}

void TControl::HandleMouse(TMessage& m) {
  const POINT p = MessagePoint(m.LParam);
  const TShiftState shift = ShiftFromKeys(m.WParam);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      DefaultHandler(m);
      if (controlStyle_.Contains(csCaptureMouse)) SetCaptureControl(this);
      if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
      controlState_.Include(csLButtonDown);
      if (m.Msg == WM_LBUTTONDBLCLK && controlStyle_.Contains(csDoubleClicks)) DblClick();
      if (FreePending()) return;  // the handler freed this control
      MouseDown(mbLeft, m.Msg == WM_LBUTTONDBLCLK ? shift + TShiftState{ssDouble} : shift, p.x, p.y);
      return;
    case WM_LBUTTONUP: {
      DefaultHandler(m);
      const bool clicked = controlState_.Contains(csClicked);
      controlState_.Exclude(csClicked);
      controlState_.Exclude(csLButtonDown);
      if (GetCaptureControl() == this) SetCaptureControl(nullptr);
      if (clicked && p.x >= 0 && p.y >= 0 && p.x < width_ && p.y < height_) Click();
      if (FreePending()) return;  // the handler freed this control
      MouseUp(mbLeft, shift, p.x, p.y);
      return;
    }
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      DefaultHandler(m);
      MouseDown(m.Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle, shift, p.x, p.y);
      return;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      DefaultHandler(m);
      MouseUp(m.Msg == WM_RBUTTONUP ? mbRight : mbMiddle, shift, p.x, p.y);
      return;
    case WM_MOUSEMOVE:
      DefaultHandler(m);
      MouseMove(shift, p.x, p.y);
      return;
    default:
      DefaultHandler(m);
  }
}

void TControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg)) {
    HandleMouse(m);
    return;
  }
  switch (m.Msg) {
    case CM_MOUSEENTER:
      // Ancestors hear which control the mouse entered, not which child passed it on.
      if (parent_) parent_->Perform(CM_MOUSEENTER, 0, m.LParam ? m.LParam : reinterpret_cast<LPARAM>(this));
      if (m.LParam == 0) {
        MouseEnter();
        if (OnMouseEnter) OnMouseEnter(this);
      }
      break;
    case CM_MOUSELEAVE:
      if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, m.LParam ? m.LParam : reinterpret_cast<LPARAM>(this));
      if (m.LParam == 0) {
        MouseLeave();
        if (OnMouseLeave) OnMouseLeave(this);
      }
      break;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      Invalidate();
      break;
    case CM_PARENTCOLORCHANGED:
      ParentColorChanged();
      break;
    case CM_PARENTFONTCHANGED:
      ParentFontChanged();
      break;
    case CM_PARENTBIDIMODECHANGED:
      if (parentBiDiMode_ && parent_) {
        biDiMode_ = parent_->BiDiMode();
        Perform(CM_BIDIMODECHANGED);
      }
      break;
    case CM_HITTEST:
      m.Result = 1;
      return;
    case WM_CONTEXTMENU:
      if (popupMenu_ && popupMenu_->AutoPopup()) {
        POINT p = MessagePoint(m.LParam);
        if (p.x == -1 && p.y == -1) p = ClientToScreen(POINT{0, 0});
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(p.x, p.y);
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage& m) {
  // A windowless control has no window procedure: only its text.
  if (m.Msg == WM_GETTEXTLENGTH) m.Result = static_cast<LRESULT>(text_.size());
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* p = dynamic_cast<TWinControl*>(parent)) SetParent(p);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  constraints_->Constrain(width, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  if (parent_ && parent_->HandleAllocated() && visible_) {
    RECT old = BoundsRect();
    ::InvalidateRect(parent_->handle_, &old, TRUE);
  }
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  if (!parent_ || !parent_->controlState_.Contains(csAligning)) UpdateAnchorRules();
  RequestAlign();
  if (resized) Resize();
}

RECT TControl::ClientRect() { return RECT{0, 0, width_, height_}; }

void TControl::SetClientWidth(int value) { SetClientSize(value, ClientHeight()); }
void TControl::SetClientHeight(int value) { SetClientSize(ClientWidth(), value); }

void TControl::SetClientSize(int width, int height) {
  const RECT cr = ClientRect();
  SetBounds(left_, top_, width_ - cr.right + width, height_ - cr.bottom + height);
}

POINT TControl::ClientOrigin() {
  if (!parent_) return POINT{left_, top_};
  POINT p = parent_->ClientOrigin();
  return POINT{p.x + left_, p.y + top_};
}

POINT TControl::ClientToScreen(POINT p) {
  const POINT o = ClientOrigin();
  return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) {
  const POINT o = ClientOrigin();
  return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  const TAlign old = align_;
  align_ = value;
  anchors_ = (value == alLeft)     ? TAnchors{akLeft, akTop, akBottom}
             : (value == alTop)    ? TAnchors{akLeft, akTop, akRight}
             : (value == alRight)  ? TAnchors{akRight, akTop, akBottom}
             : (value == alBottom) ? TAnchors{akLeft, akRight, akBottom}
             : (value == alClient) ? TAnchors{akLeft, akTop, akRight, akBottom}
                                   : (old == alNone ? anchors_ : TAnchors{akLeft, akTop});
  RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
  if (value == anchors_) return;
  anchors_ = value;
  UpdateAnchorRules();
}

void TControl::RequestAlign() {
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::UpdateAnchorRules() {
  if (!parent_) {
    anchorRulesValid_ = false;
    return;
  }
  const RECT pc = parent_->ClientRect();
  anchorRight_ = pc.right - (left_ + width_);
  anchorBottom_ = pc.bottom - (top_ + height_);
  anchorRulesValid_ = true;
}

void TControl::ApplyAnchorRules(int parentWidth, int parentHeight) {
  if (!anchorRulesValid_) {
    UpdateAnchorRules();
    return;
  }
  int l = left_, t = top_, w = width_, h = height_;
  if (anchors_.Contains(akRight)) {
    if (anchors_.Contains(akLeft))
      w = parentWidth - l - anchorRight_;
    else
      l = parentWidth - w - anchorRight_;
  }
  if (anchors_.Contains(akBottom)) {
    if (anchors_.Contains(akTop))
      h = parentHeight - t - anchorBottom_;
    else
      t = parentHeight - h - anchorBottom_;
  }
  SetBounds(l, t, std::max(0, w), std::max(0, h));
}

void TControl::BringToFront() {
  if (parent_) {
    parent_->InsertControl(this);  // moves it to the end of its list
  } else if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) {
    ::SetWindowPos(w->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin(), this);
  Invalidate();
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  if (!value) Invalidate();
  visible_ = value;
  Perform(CM_VISIBLECHANGED, value);
  if (value) Invalidate();
  RequestAlign();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor value) {
  const bool wasParent = parentColor_;
  parentColor_ = false;
  if (value == color_ && !wasParent) return;
  color_ = value;
  ColorChanged();
  Perform(CM_COLORCHANGED);
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    TMessage m{CM_PARENTCOLORCHANGED, 0, 0, 0};
    for (TControl* c : w->controls_) c->Perform(m.Msg);
  }
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || !parent_) return;
  color_ = parent_->color_;
  ColorChanged();
  Perform(CM_COLORCHANGED);
  if (auto* w = dynamic_cast<TWinControl*>(this))
    for (TControl* c : w->controls_) c->Perform(CM_PARENTCOLORCHANGED);
}

void TControl::ColorChanged() { Invalidate(); }

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  applyingParentFont_ = true;
  try {
    font_->Assign(parent_->font_);
  } catch (...) {
    applyingParentFont_ = false;
    throw;
  }
  applyingParentFont_ = false;
}

void TControl::FontOnChange(TObject*) {
  // A font set on the control itself no longer follows the parent's.
  if (!applyingParentFont_) parentFont_ = false;
  FontChanged();
}

void TControl::FontChanged() {
  Invalidate();
  Perform(CM_FONTCHANGED);
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (w->HandleAllocated())
      ::SendMessageW(w->handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), FALSE);
    for (TControl* c : w->controls_) c->Perform(CM_PARENTFONTCHANGED);
  }
}

void TControl::ConstraintsOnChange(TObject*) {
  int w = width_, h = height_;
  constraints_->Constrain(w, h);
  if (w != width_ || h != height_) SetBounds(left_, top_, w, h);
}

std::wstring TControl::GetText() const { return text_; }

void TControl::SetText(const std::wstring& value) {
  if (value == text_) return;
  text_ = value;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode value) {
  parentBiDiMode_ = false;
  if (value == biDiMode_) return;
  biDiMode_ = value;
  Perform(CM_BIDIMODECHANGED);
  if (auto* w = dynamic_cast<TWinControl*>(this))
    for (TControl* c : w->controls_) c->Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
  if (value == parentBiDiMode_) return;
  parentBiDiMode_ = value;
  if (value) Perform(CM_PARENTBIDIMODECHANGED);
}

UINT TControl::DrawTextBiDiModeFlags(UINT flags) const {
  if (UseRightToLeftAlignment()) {
    if ((flags & (DT_CENTER | DT_RIGHT)) == 0)
      flags |= DT_RIGHT;
    else if (flags & DT_RIGHT)
      flags &= ~DT_RIGHT;
  }
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  return flags;
}

void TControl::SetPopupMenu(TPopupMenu* value) {
  if (value == popupMenu_) return;
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Invalidate() {
  if (!parent_ || !visible_ || !parent_->HandleAllocated()) return;
  RECT r = BoundsRect();
  ::InvalidateRect(parent_->handle_, &r, !controlStyle_.Contains(csOpaque));
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

TControl* GetMouseControl() { return gMouseControl; }
TControl* GetCaptureControl() { return gCaptureControl; }

void SetCaptureControl(TControl* control) {
  gCaptureControl = control;
  if (!control) {
    if (::GetCapture()) {
      TWinControl* owner = FindControl(::GetCapture());
      if (owner) ::ReleaseCapture();
    }
    return;
  }
  auto* w = dynamic_cast<TWinControl*>(control);
  if (!w) w = control->Parent();
  if (w && w->HandleAllocated()) ::SetCapture(w->Handle());
}

// --- TWinControl: windows ---------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { brush_ = Create<TBrush>(); }

TWinControl::~TWinControl() {
  DestroyHandle();
  FreeChildren();
  TObject::Free(brush_);
}

void TWinControl::BeforeDestruction() {
  BeginDestruction();
  DestroyHandle();
  // Children go with their parent, whoever owns them.
  FreeChildren();
  TControl::BeforeDestruction();
}

void TWinControl::FreeChildren() {
  // Taken out first: a child already being freed (its handler freed this
  // parent) stays out of the list.
  while (!controls_.empty()) {
    TControl* child = controls_.back();
    RemoveControl(child);
    TObject::Free(child);
  }
}

HWND TWinControl::Handle() {
  if (!handle_) {
    if (parent_ && !parent_->handle_) parent_->Handle();  // creates this one too
    if (!handle_) CreateWnd();
  }
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = text_;
  params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (visible_) params.Style |= WS_VISIBLE;
  if (!enabled_) params.Style |= WS_DISABLED;
  if (tabStop_) params.Style |= WS_TABSTOP;
  params.X = left_;
  params.Y = top_;
  params.Width = width_;
  params.Height = height_;
  params.WndParent = parent_ ? parent_->Handle() : ParentWindowAlive();
  params.WinClassName = Utf8ToWide(ClassName());
}

namespace {

WNDPROC RegisterWindowClass(const TCreateParams& params) {
  auto& procs = ClassProcs();
  auto it = procs.find(params.WinClassName);
  if (it != procs.end()) return it->second;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  WNDPROC defProc = ::DefWindowProcW;
  if (!params.SysClassName.empty()) {
    if (!::GetClassInfoExW(nullptr, params.SysClassName.c_str(), &wc)) {
      // The common controls register their classes on request.
      INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                                ICC_COOL_CLASSES | ICC_INTERNET_CLASSES | ICC_PAGESCROLLER_CLASS |
                                                ICC_NATIVEFNTCTL_CLASS | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
      ::InitCommonControlsEx(&icc);
      wc.cbSize = sizeof(wc);
    }
    if (!::GetClassInfoExW(nullptr, params.SysClassName.c_str(), &wc))
      throw EOutOfResources("Window class " + WideToUtf8(params.SysClassName) + " is not available");
    defProc = wc.lpfnWndProc;
    wc.cbSize = sizeof(wc);
    wc.style &= ~CS_GLOBALCLASS;
  } else {
    wc.style = params.WindowClassStyle;
    wc.hCursor = params.Cursor ? params.Cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = params.Background;
  }
  wc.lpfnWndProc = FrameworkWndProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = params.WinClassName.c_str();
  if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw EOutOfResources("Cannot register window class " + WideToUtf8(params.WinClassName));
  procs.emplace(params.WinClassName, defProc);
  return defProc;
}

}  // namespace

void TWinControl::CreateWindowWith(const std::function<HWND()>& create) {
  TWinControl* saved = tCreatingControl;
  tCreatingControl = this;
  HWND wnd = nullptr;
  try {
    wnd = create();
  } catch (...) {
    tCreatingControl = saved;
    throw;
  }
  tCreatingControl = saved;
  if (wnd && !handle_) handle_ = wnd;
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  if ((params.Style & WS_CHILD) && !params.WndParent)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  // Child windows get distinct identifiers: WM_MEASUREITEM names its control
  // only by identifier, and owner-drawn lists send it while being created.
  static UINT nextChildId = 0x1000;
  HMENU id = nullptr;
  if (params.Style & WS_CHILD) {
    id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nextChildId));
    nextChildId = nextChildId >= 0xEFFF ? 0x1000 : nextChildId + 1;
  }
  CreateWindowWith([&] {
    return ::CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                             params.X, params.Y, params.Width, params.Height, params.WndParent, id,
                             ::GetModuleHandleW(nullptr), params.Param);
  });
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  defWndProc_ = RegisterWindowClass(params);
  controlState_.Include(csCreating);
  try {
    CreateWindowHandle(params);
  } catch (...) {
    controlState_.Exclude(csCreating);
    throw;
  }
  controlState_.Exclude(csCreating);
  if (!handle_) throw EOutOfResources("Error creating window of class " + ClassName());
  CreateHandle();
}

void TWinControl::CreateHandle() {
  ::SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
  UpdateBounds();
  for (TControl* c : std::vector<TControl*>(controls_))
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->Handle();
  // Keep the windows in the order of the list (the first at the bottom).
  HWND after = HWND_BOTTOM;
  for (auto it = controls_.begin(); it != controls_.end(); ++it) {
    auto* w = dynamic_cast<TWinControl*>(*it);
    if (!w || !w->handle_) continue;
    if (after == HWND_BOTTOM)
      ::SetWindowPos(w->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    else
      ::SetWindowPos(w->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = w->handle_;
  }
  for (TControl* c : controls_) c->UpdateAnchorRules();
  Realign();
}

void TWinControl::DestroyWnd() {
  for (TControlCanvas* canvas : std::vector<TControlCanvas*>(CanvasesWithDC())) {
    TControl* c = canvas->Control();
    if (c == this || (c && c->Parent() == this)) canvas->FreeHandle();
  }
  text_ = GetText();
  if (handle_) {
    HWND wnd = handle_;
    controlState_.Include(csDestroyingHandle);
    DestroyWindowHandle(wnd);
    controlState_.Exclude(csDestroyingHandle);
    if (handle_ == wnd) {  // the window refused to die or was not ours
      ::RemovePropW(wnd, kControlProp);
      handle_ = nullptr;
    }
  }
}

void TWinControl::DestroyWindowHandle(HWND wnd) { ::DestroyWindow(wnd); }

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  controlState_.Include(csRecreating);
  DestroyHandle();
  controlState_.Exclude(csRecreating);
  Handle();
  Perform(CM_RECREATEWND);
}

LRESULT TWinControl::CallDefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!handle_) return 0;
  return ::CallWindowProcW(defWndProc_ ? defWndProc_ : ::DefWindowProcW, handle_, msg, wParam, lParam);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_) {
    TControl::DefaultHandler(m);
    return;
  }
  m.Result = CallDefaultProc(m.Msg, m.WParam, m.LParam);
}

namespace {

// The default procedure of a window of one of our classes whose object is
// gone.
LRESULT CallClassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  wchar_t name[256];
  WNDPROC proc = ::DefWindowProcW;
  if (::GetClassNameW(wnd, name, 256)) {
    auto it = ClassProcs().find(name);
    if (it != ClassProcs().end()) proc = it->second;
  }
  return ::CallWindowProcW(proc, wnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK FrameworkWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  auto* control = static_cast<TWinControl*>(::GetPropW(wnd, kControlProp));
  if (!control && tCreatingControl) {
    control = tCreatingControl;
    tCreatingControl = nullptr;
    control->handle_ = wnd;
    ::SetPropW(wnd, kControlProp, control);
  }
  if (!control) return GuardWindowMessage(msg, 0, [&] { return CallClassProc(wnd, msg, wp, lp); });
  // The handler may free the control (a form's CM_RELEASE, a click handler
  // that frees its form): the pin keeps the object whole until this returns.
  ObjectPin pin(control);
  TMessage m{msg, wp, lp, 0};
  GuardWindowMessage(msg, 0, [&] {
    control->Dispatch(m);
    return LRESULT{0};
  });
  // The binding goes with the window, after its last message.
  if (msg == WM_NCDESTROY && ::GetPropW(wnd, kControlProp) == control) {
    ::RemovePropW(wnd, kControlProp);
    if (control->handle_ == wnd) control->handle_ = nullptr;
  }
  return m.Result;
}

TWinControl* FindControl(HWND wnd) {
  return wnd ? static_cast<TWinControl*>(::GetPropW(wnd, kControlProp)) : nullptr;
}

void TWinControl::UpdateBounds() {
  if (!handle_) return;
  RECT r;
  ::GetWindowRect(handle_, &r);
  if (::GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD) {
    HWND parentWnd = ::GetParent(handle_);
    if (parentWnd) ::MapWindowPoints(HWND_DESKTOP, parentWnd, reinterpret_cast<POINT*>(&r), 2);
  }
  const bool resized = (r.right - r.left) != width_ || (r.bottom - r.top) != height_;
  const bool moved = r.left != left_ || r.top != top_;
  if (!resized && !moved) return;
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  if (parent_ && !parent_->controlState_.Contains(csAligning)) UpdateAnchorRules();
  // Aligned controls are stacked by position: a move reorders them too.
  RequestAlign();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  Constraints()->Constrain(width, height);
  if (!handle_) {
    const bool resized = width != width_ || height != height_;
    TControl::SetBounds(left, top, width, height);
    if (resized) Realign();
    return;
  }
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  // WM_WINDOWPOSCHANGED and WM_SIZE update the fields and lay out children.
  ::SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateBounds();
  if (!parent_ || !parent_->controlState_.Contains(csAligning)) UpdateAnchorRules();
}

RECT TWinControl::ClientRect() {
  if (handle_) {
    RECT r;
    ::GetClientRect(handle_, &r);
    return r;
  }
  return TControl::ClientRect();
}

POINT TWinControl::ClientOrigin() {
  if (handle_) {
    POINT p{0, 0};
    ::ClientToScreen(handle_, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

HWND TWinControl::ParentWindowAlive() const {
  return parentWindow_ && ::IsWindow(parentWindow_) ? parentWindow_ : nullptr;
}

void TWinControl::SetParentWindow(HWND value) {
  if (parent_ || value == parentWindow_) return;
  parentWindow_ = value;
  if (!handle_) {
    if (value) Handle();
  } else if (value) {
    ::SetParent(handle_, value);
  } else {
    DestroyHandle();  // no parent left to hold the window
  }
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent) parentWindow_ = nullptr;
  TControl::SetParent(parent);
  if (!handle_) {
    if (parent && parent->HandleAllocated()) Handle();
    return;
  }
  if (parent) {
    ::SetParent(handle_, parent->Handle());
  } else {
    // A window cannot stay without its parent; it is made again when needed.
    DestroyHandle();
  }
}

void TWinControl::SetVisible(bool value) {
  if (value == Visible()) return;
  TControl::SetVisible(value);
  UpdateShowing();
}

void TWinControl::UpdateShowing() {
  if (!handle_) {
    if (Visible() && ((parent_ && parent_->HandleAllocated()) || (!parent_ && ParentWindowAlive()))) Handle();
    return;
  }
  ::ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
}

bool TWinControl::Showing() const { return handle_ && ::IsWindowVisible(handle_); }

void TWinControl::SetEnabled(bool value) {
  if (value == Enabled()) return;
  if (handle_) ::EnableWindow(handle_, value);
  TControl::SetEnabled(value);
}

std::wstring TWinControl::GetText() const {
  if (!handle_) return text_;
  const int n = ::GetWindowTextLengthW(handle_);
  std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
  s.resize(static_cast<std::size_t>(::GetWindowTextW(handle_, s.data(), n + 1)));
  return s;
}

void TWinControl::SetText(const std::wstring& value) {
  if (!handle_) {
    TControl::SetText(value);
    return;
  }
  if (value == GetText()) return;
  text_ = value;
  ::SetWindowTextW(handle_, value.c_str());  // WM_SETTEXT sends CM_TEXTCHANGED
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::Update() {
  if (handle_) ::UpdateWindow(handle_);
}

// --- TWinControl: children --------------------------------------------------

TControl* TWinControl::Controls(int index) const {
  // The windowless children come first, then the windowed ones.
  int i = 0;
  for (TControl* c : controls_)
    if (!dynamic_cast<TWinControl*>(c) && i++ == index) return c;
  for (TControl* c : controls_)
    if (dynamic_cast<TWinControl*>(c) && i++ == index) return c;
  throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

void TWinControl::InsertControl(TControl* control) {
  const bool wasHere = control->parent_ == this;
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  controls_.push_back(control);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (std::find(tabList_.begin(), tabList_.end(), w) == tabList_.end()) tabList_.push_back(w);
    if (wasHere && w->handle_) ::SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (wasHere) {
    control->Invalidate();
    return;
  }
  control->parent_ = this;
  control->ParentColorChanged();
  control->ParentFontChanged();
  if (control->parentBiDiMode_) control->biDiMode_ = BiDiMode();
  control->UpdateAnchorRules();
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
  control->Invalidate();
  if (control->align_ != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  control->Invalidate();
  controls_.erase(it);
  if (auto* w = dynamic_cast<TWinControl*>(control))
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
  control->parent_ = nullptr;
  if (!IsDestroying()) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    if (control->align_ != alNone) Realign();
  }
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (int i = 0; i < ControlCount(); ++i)
    if (TControl* c = Controls(i); c->Owner() == root) proc(c);
  TControl::GetChildren(proc, root);
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(POINT pos, bool allowDisabled, bool allowWinControls) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    const bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
    if (windowed && !allowWinControls) continue;
    if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
    const RECT r = c->BoundsRect();
    if (!::PtInRect(&r, pos)) continue;
    const POINT local{pos.x - r.left, pos.y - r.top};
    if (c->Perform(CM_HITTEST, 0, MAKELPARAM(local.x, local.y)) != 0) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    message.Result = c->Perform(message.Msg, message.WParam, message.LParam);
    if (message.Result != 0) return;
  }
}

void TWinControl::Realign() {
  if (alignDisabled_ > 0 || IsDestroying()) {
    alignPending_ = true;
    return;
  }
  alignPending_ = false;
  RECT r = ClientRect();
  AlignControls(nullptr, r);
}

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) Realign();
}

void TWinControl::DoAlign(TAlign align, RECT& rect) {
  std::vector<TControl*> list;
  for (TControl* c : controls_)
    if (c->align_ == align && c->Visible()) list.push_back(c);
  // Stacked by position: the top-most alTop first, the bottom-most alBottom first...
  std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
    switch (align) {
      case alTop: return a->top_ < b->top_;
      case alBottom: return a->top_ + a->height_ > b->top_ + b->height_;
      case alLeft: return a->left_ < b->left_;
      case alRight: return a->left_ + a->width_ > b->left_ + b->width_;
      default: return false;
    }
  });
  for (TControl* c : list) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    switch (align) {
      case alTop:
        c->SetBounds(rect.left, rect.top, w, c->height_);
        rect.top += c->height_;
        break;
      case alBottom:
        c->SetBounds(rect.left, rect.bottom - c->height_, w, c->height_);
        rect.bottom -= c->height_;
        break;
      case alLeft:
        c->SetBounds(rect.left, rect.top, c->width_, h);
        rect.left += c->width_;
        break;
      case alRight:
        c->SetBounds(rect.right - c->width_, rect.top, c->width_, h);
        rect.right -= c->width_;
        break;
      case alClient:
        c->SetBounds(rect.left, rect.top, w, h);
        break;
      default:
        break;
    }
  }
}

void TWinControl::AlignControls(TControl*, RECT& rect) {
  if (controlState_.Contains(csAligning)) return;  // the running pass places everything
  controlState_.Include(csAligning);
  try {
    const RECT client = ClientRect();
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) DoAlign(a, rect);
    for (TControl* c : std::vector<TControl*>(controls_))
      if (c->align_ == alNone) c->ApplyAnchorRules(client.right, client.bottom);
  } catch (...) {
    controlState_.Exclude(csAligning);
    throw;
  }
  controlState_.Exclude(csAligning);
}

// --- TWinControl: focus and keys -------------------------------------------

bool TWinControl::CanFocus() const {
  for (const TWinControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

bool TWinControl::Focused() const { return handle_ && ::GetFocus() == handle_; }

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  if (handle_) {
    LONG_PTR style = ::GetWindowLongPtrW(handle_, GWL_STYLE);
    ::SetWindowLongPtrW(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  }
  Perform(CM_TABSTOPCHANGED);
}

void TWinControl::SetBevelEdges(TBevelEdges value) {
  if (value == bevelEdges_) return;
  bevelEdges_ = value;
  Perform(CM_BORDERCHANGED);
  Invalidate();
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  auto& list = parent_->tabList_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!parent_) return;
  auto& list = parent_->tabList_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  value = std::clamp(value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + value, this);
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  // All windowed descendants in tab order, depth first.
  std::vector<TWinControl*> order;
  std::function<void(TWinControl*)> collect = [&](TWinControl* w) {
    for (TWinControl* c : w->tabList_) {
      order.push_back(c);
      collect(c);
    }
  };
  collect(this);
  if (order.empty()) return nullptr;
  int start = -1;
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i] == current) start = static_cast<int>(i);
  const int n = static_cast<int>(order.size());
  int i = start >= 0 ? start : (goForward ? n - 1 : 0);
  for (int step = 0; step < n; ++step) {
    i = goForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = order[static_cast<std::size_t>(i)];
    if (c == current) continue;
    if (checkTabStop && !c->TabStop()) continue;
    if (checkParent && c->Parent() != this) continue;
    if (c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, false)) next->SetFocus();
}

bool TWinControl::WantsKey(WORD key) {
  if (!handle_) return false;
  MSG msg{handle_, WM_KEYDOWN, key, 0, 0, {0, 0}};
  const LRESULT code = ::SendMessageW(handle_, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
  if (code & DLGC_WANTALLKEYS) return true;
  switch (key) {
    case VK_TAB: return (code & DLGC_WANTTAB) != 0;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return (code & DLGC_WANTARROWS) != 0;
    default: return false;
  }
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
  return key == 0;
}

bool TWinControl::DoKeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
  return key == 0;
}

bool TWinControl::DoKeyPress(wchar_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
  return key == 0;
}

// --- TWinControl: messages --------------------------------------------------

void TWinControl::TrackMouse(TControl* target) {
  TControl* old = gMouseControl;
  if (target != old) {
    gMouseControl = target;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (target && gMouseControl == target) target->Perform(CM_MOUSEENTER);
  }
  if (handle_) {
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
    ::TrackMouseEvent(&tme);
  }
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
  TControl* target = nullptr;
  if (gCaptureControl && gCaptureControl->Parent() == this)
    target = gCaptureControl;
  else if (!gCaptureControl)
    target = ControlAtPos(MessagePoint(m.LParam), false);
  if (!target || dynamic_cast<TWinControl*>(target)) return false;
  const POINT p = MessagePoint(m.LParam);
  m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - target->Left(), p.y - target->Top()));
  return true;
}

void TWinControl::ReflectNotification(TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom; break;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (dis->CtlType != ODT_MENU) child = dis->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mis->CtlType != ODT_MENU && handle_) child = ::GetDlgItem(handle_, static_cast<int>(mis->CtlID));
      break;
    }
    case WM_DELETEITEM: child = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem; break;
    case WM_COMPAREITEM: child = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem; break;
    default: child = reinterpret_cast<HWND>(m.LParam); break;
  }
  TWinControl* control = FindControl(child);
  if (control && control != this) {
    m.Result = control->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return;
  }
  DefaultHandler(m);
}

void TWinControl::PaintWindow(HDC dc) {
  // System controls paint themselves into the DC given with WM_PAINT.
  if (!HasOwnClass()) CallDefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  bool painting = first == nullptr;
  for (TControl* c : controls_) {
    if (c == first) painting = true;
    if (!painting || dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    const RECT r = c->BoundsRect();
    if (!::RectVisible(dc, &r)) continue;
    win::SavedDCState state(dc);
    ::SetViewportOrgEx(dc, r.left, r.top, nullptr);
    ::IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

void TWinControl::PaintHandler(TMessage& m) {
  if (m.WParam) {
    PaintWindow(reinterpret_cast<HDC>(m.WParam));
    PaintControls(reinterpret_cast<HDC>(m.WParam), nullptr);
    return;
  }
  win::PaintDC paint(handle_);
  PaintWindow(paint.Get());
  PaintControls(paint.Get(), nullptr);
}

void TWinControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg) && m.Msg != WM_MOUSEMOVE && IsControlMouseMsg(m)) return;
  switch (m.Msg) {
    case WM_MOUSEMOVE: {
      TControl* target = this;
      if (!gCaptureControl || gCaptureControl == this) {
        if (TControl* c = ControlAtPos(MessagePoint(m.LParam), false)) target = c;
      } else if (gCaptureControl->Parent() == this) {
        target = gCaptureControl;
      }
      TrackMouse(target);
      if (IsControlMouseMsg(m)) return;
      break;
    }
    case WM_MOUSELEAVE: {
      // Cursor moves reach the server late: a leave reported while the
      // cursor is still over the window is no leave.
      POINT cursor;
      if (::GetCursorPos(&cursor) && ::WindowFromPoint(cursor) == handle_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        ::TrackMouseEvent(&tme);
        return;
      }
      if (gMouseControl == this || (gMouseControl && gMouseControl->Parent() == this &&
                                    !dynamic_cast<TWinControl*>(gMouseControl))) {
        TControl* old = gMouseControl;
        gMouseControl = nullptr;
        old->Perform(CM_MOUSELEAVE);
      }
      DefaultHandler(m);
      return;
    }
    case WM_PAINT: {
      bool hasGraphic = false;
      for (TControl* c : controls_) hasGraphic = hasGraphic || !dynamic_cast<TWinControl*>(c);
      if (!HasOwnClass() && !hasGraphic && !controlState_.Contains(csCustomPaint)) {
        DefaultHandler(m);
      } else {
        PaintHandler(m);
      }
      return;
    }
    case WM_ERASEBKGND:
      if (HasOwnClass()) {
        if (!ControlStyle().Contains(csOpaque)) {
          brush_->SetColor(Color());
          RECT r;
          ::GetClientRect(handle_, &r);
          ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush_->Handle());
        }
        m.Result = 1;
        return;
      }
      break;
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(m);
      UpdateBounds();
      return;
    case WM_SIZE:
      DefaultHandler(m);
      UpdateBounds();
      Realign();
      Resize();
      return;
    case WM_SETTEXT:
      DefaultHandler(m);
      Perform(CM_TEXTCHANGED);
      return;
    case WM_SETFOCUS:
      DefaultHandler(m);
      if (OnEnter) OnEnter(this);
      Perform(CM_GOTFOCUS);
      if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
      return;
    case WM_KILLFOCUS:
      DefaultHandler(m);
      if (OnExit) OnExit(this);
      Perform(CM_LOSTFOCUS);
      return;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
      if (m.Msg == WM_COMMAND && m.LParam == 0) break;  // menus and accelerators
      if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && m.LParam == 0) break;  // own scroll bars
      ReflectNotification(m);
      return;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      ::SetTextColor(dc, ColorToRGB(Font()->Color()));
      ::SetBkColor(dc, ColorToRGB(Color()));
      brush_->SetColor(Color());
      m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
      return;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: {
      const WORD key = static_cast<WORD>(m.WParam);
      TCustomForm* form = GetParentForm(this);
      m.Result = 0;
      if (!form) return;
      // Menu shortcuts first, then the dialog keys the control leaves alone.
      if (form->IsShortCut(m.Msg == CN_SYSKEYDOWN ? WM_SYSKEYDOWN : WM_KEYDOWN, m.WParam, m.LParam)) {
        m.Result = 1;
        return;
      }
      switch (key) {
        case VK_TAB:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_EXECUTE:
        case VK_CANCEL:
          if (!WantsKey(key) && form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) m.Result = 1;
          return;
        default:
          return;
      }
    }
    case CN_CHAR:
    case CN_SYSCHAR: {
      m.Result = 0;
      if (m.Msg == CN_CHAR && handle_) {
        const LRESULT code = ::SendMessageW(handle_, WM_GETDLGCODE, 0, 0);
        if (code & (DLGC_WANTCHARS | DLGC_HASSETSEL)) return;
      }
      if (TCustomForm* form = GetParentForm(this)) m.Result = form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
      return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(m.WParam);
      if (DoKeyDown(key, KeyShiftState())) return;
      m.WParam = key;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(m.WParam);
      if (DoKeyUp(key, KeyShiftState())) return;
      m.WParam = key;
      break;
    }
    case WM_CHAR: {
      wchar_t c = static_cast<wchar_t>(m.WParam);
      if (DoKeyPress(c)) return;
      m.WParam = c;
      break;
    }
    case CM_INVALIDATE:
      if (handle_) ::InvalidateRect(handle_, nullptr, !ControlStyle().Contains(csOpaque));
      return;
    case CM_DIALOGCHAR:
    case CM_DIALOGKEY:
      Broadcast(m);
      return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      // Windows repaint themselves; nothing to invalidate in the parent.
      DefaultHandler(m);
      return;
    default:
      break;
  }
  TControl::WndProc(m);
}

// --- TGraphicControl, TCustomControl, TControlCanvas ------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {
  auto* canvas = Create<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
}

TGraphicControl::~TGraphicControl() { TObject::Free(canvas_); }

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam) {
    CanvasBinding binding(canvas_, reinterpret_cast<HDC>(m.WParam));
    Paint();
    return;
  }
  TControl::WndProc(m);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {
  auto* canvas = Create<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
}

TCustomControl::~TCustomControl() { TObject::Free(canvas_); }

void TCustomControl::PaintWindow(HDC dc) {
  CanvasBinding binding(canvas_, dc);
  Paint();
}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control) {
  if (control == control_) return;
  FreeHandle();
  control_ = control;
}

void TControlCanvas::CreateHandle() {
  if (!control_ || dc_) return;
  HWND wnd = nullptr;
  POINT origin{0, 0};
  if (auto* w = dynamic_cast<TWinControl*>(control_)) {
    wnd = w->Handle();
  } else if (TWinControl* p = control_->Parent()) {
    wnd = p->Handle();
    origin = POINT{control_->Left(), control_->Top()};
  }
  if (!wnd) return;
  HDC dc = ::GetDCEx(wnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!dc) return;
  if (!dynamic_cast<TWinControl*>(control_)) {
    ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    ::IntersectClipRect(dc, 0, 0, control_->Width(), control_->Height());
  }
  dc_ = dc;
  dcWindow_ = wnd;
  CanvasesWithDC().push_back(this);
  SetHandle(dc);
}

void TControlCanvas::FreeHandle() {
  if (!dc_) return;
  SetHandle(nullptr);
  ::ReleaseDC(dcWindow_, dc_);
  dc_ = nullptr;
  dcWindow_ = nullptr;
  auto& list = CanvasesWithDC();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void FreeDeviceContexts() {
  for (TControlCanvas* canvas : std::vector<TControlCanvas*>(CanvasesWithDC())) canvas->FreeHandle();
}

// --- TWindowProcHook --------------------------------------------------------

struct TWindowProcHook::Link {
  TWndMethod next;
  Handler handler;
  void Call(TMessage& m) {
    // Copies: the hook may be undone, or hooked over, while this runs.
    if (const Handler running = handler)
      running(m, TWndMethod(next));
    else if (const TWndMethod passOn = next)
      passOn(m);
  }
};

namespace {

// Forgets the control when it is freed before the hook is undone.
class THookWatcher : public TComponent {
 public:
  THookWatcher(TControl* control, TControl** slot) : TComponent(nullptr), slot_(slot) {
    control->FreeNotification(this);
  }

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == *slot_) *slot_ = nullptr;
  }

 private:
  TControl** slot_;
};

}  // namespace

TWindowProcHook::TWindowProcHook(TControl* control, Handler handler) : control_(control) {
  link_ = std::make_shared<Link>();
  link_->next = control->WindowProc;
  link_->handler = std::move(handler);
  control->WindowProc = TWndMethod::Bind(link_, &Link::Call);
  watcher_ = Create<THookWatcher>(control, &control_);
}

TWindowProcHook::~TWindowProcHook() { Unhook(); }

void TWindowProcHook::Unhook() {
  if (!link_) return;
  if (control_ && control_->WindowProc.IsBoundTo(link_.get(), &Link::Call)) {
    control_->WindowProc = link_->next;
  } else {
    link_->handler = nullptr;  // hooked over: stay in the chain, passing through
  }
  link_.reset();
  FreeAndNil(watcher_);
}

const TWndMethod& TWindowProcHook::Next() const {
  static const TWndMethod none;
  return link_ ? link_->next : none;
}

}  // namespace nuvskin
