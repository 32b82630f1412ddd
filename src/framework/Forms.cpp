#include "framework/Forms.h"

#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <utility>

#include "framework/Callbacks.h"
#include "framework/Units.h"

namespace nuvskin {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

// The unit's objects (framework/Units.h).
void InitializeFormsUnit() {
  Screen = Create<TScreen>(nullptr);
  Application = Create<TApplication>(nullptr);
}

void FinalizeFormsUnit() {
  FreeAndNil(Application);
  FreeAndNil(Screen);
}

TCustomForm* GetParentForm(TControl* control) {
  TControl* top = control;
  while (top && top->Parent()) top = top->Parent();
  return dynamic_cast<TCustomForm*>(top);
}

namespace {

constexpr UINT kFirstMDIChildId = 0xFF00;


}  // namespace

// --- TScrollingWinControl ---------------------------------------------------

void TScrollingWinControl::SetAutoScroll(bool value) {
  if (value == autoScroll_) return;
  autoScroll_ = value;
  if (!value) ScrollTo(0, 0);
  UpdateScrollBars();
}

void TScrollingWinControl::AlignControls(TControl* control, RECT& rect) {
  TWinControl::AlignControls(control, rect);
  UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  if (!autoScroll_) {
    if (GetWindowLongPtrW(wnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) ::ShowScrollBar(wnd, SB_BOTH, FALSE);
    return;
  }
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible() || c->Align() != alNone) continue;
    right = std::max(right, c->Left() + c->Width() + static_cast<int>(scrollPos_.x));
    bottom = std::max(bottom, c->Top() + c->Height() + static_cast<int>(scrollPos_.y));
  }
  RECT client;
  ::GetClientRect(wnd, &client);
  SCROLLINFO si{sizeof(si), SIF_ALL | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMax = right > client.right ? right - 1 : 0;
  si.nPage = static_cast<UINT>(client.right);
  si.nPos = scrollPos_.x;
  ::SetScrollInfo(wnd, SB_HORZ, &si, TRUE);
  si.nMax = bottom > client.bottom ? bottom - 1 : 0;
  si.nPage = static_cast<UINT>(client.bottom);
  si.nPos = scrollPos_.y;
  ::SetScrollInfo(wnd, SB_VERT, &si, TRUE);
}

void TScrollingWinControl::ScrollTo(int x, int y) {
  x = std::max(0, x);
  y = std::max(0, y);
  const int dx = scrollPos_.x - x, dy = scrollPos_.y - y;
  if (!dx && !dy) return;
  scrollPos_ = POINT{x, y};
  SetControlState(ControlState() + TControlState{csAligning});  // a scroll is no user move
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Align() == alNone) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
  SetControlState(ControlState() - TControlState{csAligning});
  if (HandleAllocated()) {
    ::SetScrollPos(Handle(), SB_HORZ, x, TRUE);
    ::SetScrollPos(Handle(), SB_VERT, y, TRUE);
    ::InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TScrollingWinControl::WndProc(TMessage& m) {
  if (m.Msg == CM_CONTROLLISTCHANGE) {
    // A child placed beyond the edges (or taken away) changes the range
    // even when nothing is aligned.
    TWinControl::WndProc(m);
    UpdateScrollBars();
    return;
  }
  if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && m.LParam == 0 && autoScroll_) {
    const int bar = m.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(Handle(), bar, &si);
    int pos = si.nPos;
    switch (LOWORD(m.WParam)) {
      case SB_LINEUP: pos -= 16; break;
      case SB_LINEDOWN: pos += 16; break;
      case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
      case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: pos = si.nTrackPos; break;
      case SB_TOP: pos = si.nMin; break;
      case SB_BOTTOM: pos = si.nMax; break;
      default: break;
    }
    pos = std::clamp(pos, si.nMin, std::max(si.nMin, si.nMax - static_cast<int>(si.nPage) + 1));
    if (bar == SB_HORZ)
      ScrollTo(pos, scrollPos_.y);
    else
      ScrollTo(scrollPos_.x, pos);
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

// --- TCustomForm ------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner) {
  icon_ = Create<TIcon>();
  icon_->OnChange = [this](TObject*) { UpdateWindowIcon(); };
  SetVisible(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen) Screen->RemoveForm(this);
  TObject::Free(icon_);
}

void TCustomForm::AfterConstruction() {
  TScrollingWinControl::AfterConstruction();
  if (OnCreate) OnCreate(this);
}

void TCustomForm::BeforeDestruction() {
  // Once, however the form goes: freed itself, by its owner or at exit
  // (an owner marks what it owns as destroying before freeing it).
  // A failing OnDestroy still lets the form go; the error follows.
  std::exception_ptr failure;
  try {
    if (!std::exchange(destroyFired_, true) && OnDestroy) OnDestroy(this);
  } catch (...) {
    failure = std::current_exception();
  }
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  if (Screen) Screen->RemoveForm(this);
  TScrollingWinControl::BeforeDestruction();
  if (failure) std::rethrow_exception(failure);
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TScrollingWinControl::CreateParams(params);
  if (Parent()) return;  // an embedded form is a plain child window
  params.Style &= ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  params.ExStyle &= ~WS_EX_CONTROLPARENT;
  DWORD style = WS_CLIPCHILDREN;
  DWORD ex = 0;
  const bool sys = borderIcons_.Contains(biSystemMenu);
  switch (borderStyle_) {
    case bsNone: style |= WS_POPUP; break;
    case bsSingle: style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
      ex |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      style |= WS_CAPTION;
      ex |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      style |= WS_CAPTION | WS_THICKFRAME;
      ex |= WS_EX_TOOLWINDOW;
      break;
  }
  if (borderStyle_ != bsNone && sys) {
    style |= WS_SYSMENU;
    const bool framed = borderStyle_ == bsSingle || borderStyle_ == bsSizeable;
    if (framed && borderIcons_.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
    if (framed && borderIcons_.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
    if (borderIcons_.Contains(biHelp) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) ex |= WS_EX_CONTEXTHELP;
  }
  if (formStyle_ == fsStayOnTop) ex |= WS_EX_TOPMOST;
  if (formStyle_ == fsMDIChild) style |= WS_CHILD | WS_CLIPSIBLINGS;
  params.Style |= style;
  params.ExStyle |= ex;
  if (!Enabled()) params.Style |= WS_DISABLED;
  params.WndParent = nullptr;
  if (Application && Application->MainForm() && Application->MainForm() != this && formStyle_ != fsMDIChild &&
      Application->MainForm()->HandleAllocated())
    params.WndParent = Application->MainForm()->Handle();
  if (position_ == poDefault || position_ == poDefaultPosOnly) params.X = params.Y = CW_USEDEFAULT;
}

void TCustomForm::CreateWindowHandle(const TCreateParams& params) {
  if (formStyle_ != fsMDIChild || Parent()) {
    TScrollingWinControl::CreateWindowHandle(params);
    return;
  }
  // The main form when it is an MDI frame, else the frame activated last.
  TCustomForm* frame = Application ? Application->MainForm() : nullptr;
  if ((!frame || frame->FormStyle() != fsMDIForm) && Screen)
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (TCustomForm* f = Screen->Forms(i); f->FormStyle() == fsMDIForm && f->HandleAllocated()) {
        frame = f;
        break;
      }
  if (!frame || frame == this || frame->FormStyle() != fsMDIForm)
    throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  HWND client = frame->ClientHandle();
  if (!client) {
    frame->Handle();
    client = frame->ClientHandle();
  }
  MDICREATESTRUCTW mcs{};
  mcs.szClass = params.WinClassName.c_str();
  mcs.szTitle = params.Caption.c_str();
  mcs.hOwner = ::GetModuleHandleW(nullptr);
  mcs.x = params.X;
  mcs.y = params.Y;
  mcs.cx = params.Width;
  mcs.cy = params.Height;
  mcs.style = params.Style & ~(WS_CHILD | WS_POPUP);
  // The window's first messages arrive inside WM_MDICREATE.
  CreateWindowWith([&] {
    return reinterpret_cast<HWND>(::SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  });
}

void TCustomForm::DestroyWindowHandle(HWND wnd) {
  // An MDI child leaves through its client, which keeps its window list,
  // its active child and the maximized child's buttons in step.
  HWND client = ::GetParent(wnd);
  wchar_t name[16] = {};
  if (formStyle_ == fsMDIChild && !Parent() && client && ::GetClassNameW(client, name, 16) &&
      ::lstrcmpiW(name, L"MDIClient") == 0) {
    ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(wnd), 0);
    return;
  }
  TScrollingWinControl::DestroyWindowHandle(wnd);
}

void TCustomForm::CreateHandle() {
  if (formStyle_ == fsMDIForm && !Parent()) {
    CLIENTCREATESTRUCT ccs{windowMenu_ ? windowMenu_->Handle() : nullptr, kFirstMDIChildId};
    RECT r;
    ::GetClientRect(WindowHandle(), &r);
    clientHandle_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                      WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL |
                                          WS_VISIBLE,
                                      0, 0, r.right, r.bottom, WindowHandle(), nullptr, ::GetModuleHandleW(nullptr),
                                      &ccs);
  }
  if (menu_ && !Parent()) {
    ::SetMenu(WindowHandle(), menu_->Handle());
    menu_->SetWindowHandle(WindowHandle());
  }
  UpdateWindowIcon();
  if (pendingClientWidth_ >= 0) {
    const int w = pendingClientWidth_, h = pendingClientHeight_;
    pendingClientWidth_ = pendingClientHeight_ = -1;
    SetClientSize(w, h);
  }
  TScrollingWinControl::CreateHandle();
}

void TCustomForm::DestroyWnd() {
  if (menu_) menu_->SetWindowHandle(nullptr);
  if (HWND wnd = WindowHandle(); wnd && menu_) ::SetMenu(wnd, nullptr);  // the menu handle stays the menu's
  clientHandle_ = nullptr;  // a child of the window: destroyed with it
  TScrollingWinControl::DestroyWnd();
}

void TCustomForm::AlignControls(TControl* control, RECT& rect) {
  TScrollingWinControl::AlignControls(control, rect);
  if (clientHandle_)
    ::SetWindowPos(clientHandle_, HWND_BOTTOM, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOACTIVATE);
}

RECT TCustomForm::ClientRect() {
  if (HandleAllocated() || Parent()) return TScrollingWinControl::ClientRect();
  // No window yet: what its client area will be.
  TCreateParams params;
  CreateParams(params);
  RECT frame{0, 0, 0, 0};
  ::AdjustWindowRectEx(&frame, params.Style, menu_ != nullptr, params.ExStyle);
  return RECT{0, 0, std::max(0, Width() - static_cast<int>(frame.right - frame.left)),
              std::max(0, Height() - static_cast<int>(frame.bottom - frame.top))};
}

void TCustomForm::SetClientSize(int width, int height) {
  if (HandleAllocated() || Parent()) {
    TScrollingWinControl::SetClientSize(width, height);
    return;
  }
  TCreateParams params;
  CreateParams(params);
  RECT r{0, 0, width, height};
  ::AdjustWindowRectEx(&r, params.Style, menu_ != nullptr, params.ExStyle);
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == borderIcons_) return;
  borderIcons_ = value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (value == formStyle_) return;
  if (value == fsMDIChild && !HandleAllocated()) {
    formStyle_ = value;
    return;
  }
  formStyle_ = value;
  RecreateWnd();
}

TWindowState TCustomForm::WindowState() const {
  if (HWND wnd = WindowHandle()) {
    if (::IsIconic(wnd)) return wsMinimized;
    if (::IsZoomed(wnd)) return wsMaximized;
    if (::IsWindowVisible(wnd)) return wsNormal;
  }
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState value) {
  windowState_ = value;
  if (!HandleAllocated() || !Visible()) return;
  HWND wnd = Handle();
  if (formStyle_ == fsMDIChild && value == wsMaximized && clientHandle_ == nullptr) {
    ::SendMessageW(::GetParent(wnd), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(wnd), 0);
    return;
  }
  if (formStyle_ == fsMDIChild && value == wsNormal) {
    ::SendMessageW(::GetParent(wnd), WM_MDIRESTORE, reinterpret_cast<WPARAM>(wnd), 0);
    return;
  }
  ::ShowWindow(wnd, value == wsMaximized ? SW_SHOWMAXIMIZED : value == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
}

void TCustomForm::SetMenu(TMainMenu* value) {
  if (value == menu_) return;
  if (menu_) menu_->SetWindowHandle(nullptr);
  menu_ = value;
  if (value) value->FreeNotification(this);
  if (HandleAllocated() && !Parent()) {
    HWND wnd = Handle();
    // SetMenu changes the client area: WM_SIZE comes back in synchronously.
    ::SetMenu(wnd, value ? value->Handle() : nullptr);
    if (value) value->SetWindowHandle(wnd);
    ::DrawMenuBar(wnd);
  }
}

void TCustomForm::SetIcon(TIcon* value) { icon_->Assign(value); }

void TCustomForm::UpdateWindowIcon() {
  if (!HandleAllocated()) return;
  HICON icon = icon_->Empty() ? nullptr : icon_->Handle();
  ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TScrollingWinControl::Notification(component, operation);
  if (operation != opRemove || !component) return;
  if (component == menu_) {
    if (IsDestroying())
      menu_ = nullptr;
    else
      SetMenu(nullptr);  // the bar leaves the window before its menu dies
  }
  if (component == windowMenu_) windowMenu_ = nullptr;
  if (component == activeControl_) activeControl_ = nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (control && !ContainsControl(control)) throw EInvalidOperation("Invalid active control");
  activeControl_ = control;
  if (control) control->FreeNotification(this);
  if (control && HandleAllocated() && active_ && control->CanFocus()) control->SetFocus();
}

void TCustomForm::SetWindowMenu(TMenuItem* value) {
  windowMenu_ = value;
  if (value) value->FreeNotification(this);
  if (clientHandle_ && menu_)
    ::SendMessageW(clientHandle_, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu_->Handle()),
                   reinterpret_cast<LPARAM>(value ? value->Handle() : nullptr));
}

void TCustomForm::ApplyPosition() {
  if (positioned_) return;
  positioned_ = true;
  RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      if (Screen) area = Screen->MonitorFromWindow(Handle())->WorkareaRect();
      break;
    case poMainFormCenter:
    case poOwnerFormCenter:
      if (Application && Application->MainForm() && Application->MainForm() != this)
        area = Application->MainForm()->BoundsRect();
      else if (Screen)
        area = Screen->MonitorFromWindow(Handle())->WorkareaRect();
      break;
    default:
      return;
  }
  SetBounds(area.left + (area.right - area.left - Width()) / 2, area.top + (area.bottom - area.top - Height()) / 2,
            Width(), Height());
}

void TCustomForm::SetVisible(bool value) {
  if (Parent()) {
    TScrollingWinControl::SetVisible(value);
    return;
  }
  if (value == Visible() && (!value || (HandleAllocated() && ::IsWindowVisible(Handle())))) return;
  if (value) {
    HWND wnd = Handle();
    ApplyPosition();
    TControl::SetVisible(true);
    const int show = windowState_ == wsMaximized   ? SW_SHOWMAXIMIZED
                     : windowState_ == wsMinimized ? SW_SHOWMINIMIZED
                                                   : SW_SHOWNORMAL;
    ::ShowWindow(wnd, show);
    DoShow();
    if (!activeControl_) FocusFirstControl();
  } else {
    TControl::SetVisible(false);
    if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
    DoHide();
  }
}

void TCustomForm::FocusFirstControl() {
  if (!HandleAllocated() || !::IsWindowVisible(Handle())) return;
  if (TWinControl* first = FindNextControl(nullptr, true, true, false); first && !first->IsDestroying()) {
    activeControl_ = first;
    first->FreeNotification(this);
    if (::GetActiveWindow() == Handle()) first->SetFocus();
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

namespace {

template <class Handle>
struct Collected {
  EnumerationGuard guard;
  std::vector<Handle> handles;
};

BOOL CALLBACK CollectEnabledWindow(HWND wnd, LPARAM lp) noexcept {
  auto* c = reinterpret_cast<Collected<HWND>*>(lp);
  return c->guard.Run([&] {
    if (::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) c->handles.push_back(wnd);
    return true;
  });
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM lp) noexcept {
  auto* c = reinterpret_cast<Collected<HMONITOR>*>(lp);
  return c->guard.Run([&] {
    c->handles.push_back(monitor);
    return true;
  });
}

}  // namespace

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  // Every other enabled top-level window of the thread waits.
  Collected<HWND> enabled;
  ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&enabled));
  enabled.guard.Rethrow();
  const std::vector<HWND> disabled = std::move(enabled.handles);
  HWND previousActive = ::GetActiveWindow();
  for (HWND wnd : disabled) ::EnableWindow(wnd, FALSE);
  modal_ = true;
  modalResult_ = mrNone;
  auto restore = [&] {
    modal_ = false;
    for (HWND wnd : disabled)
      if (::IsWindow(wnd)) ::EnableWindow(wnd, TRUE);
    if (previousActive && ::IsWindow(previousActive)) ::SetActiveWindow(previousActive);
  };
  try {
    Show();
    while (modalResult_ == mrNone) {
      Application->HandleMessage();
      if (Application->Terminated()) modalResult_ = mrCancel;
      if (modalResult_ != mrNone) {
        // The form may refuse to close; then the loop goes on.
        TCloseAction action = caHide;
        if (!CloseQuery()) {
          modalResult_ = mrNone;
          continue;
        }
        DoClose(action);
        if (action == caNone) modalResult_ = mrNone;
      }
    }
    SetVisible(false);
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return modalResult_;
}

bool TCustomForm::CloseQuery() {
  // MDI frames ask their children first.
  if (formStyle_ == fsMDIForm)
    for (int i = 0; i < MDIChildCount(); ++i)
      if (!MDIChildren(i)->CloseQuery()) return false;
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = formStyle_ == fsMDIChild ? (borderIcons_.Contains(biMinimize) ? caMinimize : caNone) : caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  if (HandleAllocated())
    ::PostMessageW(Handle(), CM_RELEASE, 0, 0);
  else
    Free();
}

int TCustomForm::MDIChildCount() const {
  if (formStyle_ != fsMDIForm || !clientHandle_ || !Screen) return 0;
  int n = 0;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->FormStyle() == fsMDIChild && f->HandleAllocated() && ::GetParent(f->WindowHandle()) == clientHandle_) ++n;
  }
  return n;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  if (formStyle_ == fsMDIForm && clientHandle_ && Screen) {
    int n = 0;
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f->FormStyle() == fsMDIChild && f->HandleAllocated() && ::GetParent(f->WindowHandle()) == clientHandle_ &&
          n++ == index)
        return f;
    }
  }
  throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (formStyle_ != fsMDIForm || !clientHandle_) return nullptr;
  HWND active = reinterpret_cast<HWND>(::SendMessageW(clientHandle_, WM_MDIGETACTIVE, 0, 0));
  return dynamic_cast<TCustomForm*>(FindControl(active));
}

void TCustomForm::Cascade() {
  if (clientHandle_) ::SendMessageW(clientHandle_, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile() {
  if (clientHandle_) ::SendMessageW(clientHandle_, WM_MDITILE, MDITILE_VERTICAL, 0);
}

void TCustomForm::ArrangeIcons() {
  if (clientHandle_) ::SendMessageW(clientHandle_, WM_MDIICONARRANGE, 0, 0);
}

bool TCustomForm::IsShortCut(UINT msg, WPARAM key, LPARAM keyData) {
  if (formStyle_ == fsMDIForm)
    if (TCustomForm* child = ActiveMDIChild(); child && child->menu_ && child->menu_->IsShortCut(msg, key, keyData))
      return true;
  if (menu_ && menu_->IsShortCut(msg, key, keyData)) return true;
  if (formStyle_ == fsMDIChild && Application && Application->MainForm() && Application->MainForm() != this) {
    TCustomForm* frame = Application->MainForm();
    return frame->menu_ && frame->menu_->IsShortCut(msg, key, keyData);
  }
  return false;
}

bool TCustomForm::HandleDialogKey(WORD key) {
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  switch (key) {
    case VK_TAB:
      // Ctrl+Tab is the children's (page controls turn pages with it).
      if (::GetKeyState(VK_CONTROL) < 0) break;
      SelectNext(activeControl_, !shift, true);
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      SelectNext(activeControl_, key == VK_RIGHT || key == VK_DOWN, false);
      return true;
    default:
      break;
  }
  TMessage m{CM_DIALOGKEY, key, 0, 0};
  Broadcast(m);
  return m.Result != 0;
}

void TCustomForm::WndProc(TMessage& m) {
  LRESULT menuResult = 0;
  if ((m.Msg == WM_COMMAND || m.Msg == WM_INITMENUPOPUP || m.Msg == WM_MEASUREITEM || m.Msg == WM_DRAWITEM) &&
      HandleMenuMessage(menu_, m.Msg, m.WParam, m.LParam, menuResult)) {
    m.Result = menuResult;
    return;
  }
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      m.Result = 0;
      return;
    case CM_RELEASE:
      Free();  // nothing of this object may be touched after this
      return;
    case WM_ACTIVATE: {
      DefaultHandler(m);
      const bool active = LOWORD(m.WParam) != WA_INACTIVE;
      if (formStyle_ != fsMDIChild) {
        active_ = active;
        if (Screen) Screen->FormActivated(this, active);
        if (active) {
          if (activeControl_ && activeControl_->CanFocus())
            ::SetFocus(activeControl_->Handle());
          else
            FocusFirstControl();
        }
        if (active && OnActivate) OnActivate(this);
        if (!active && OnDeactivate) OnDeactivate(this);
      }
      return;
    }
    case WM_MDIACTIVATE:
      DefaultHandler(m);
      if (formStyle_ == fsMDIChild) {
        active_ = reinterpret_cast<HWND>(m.LParam) == WindowHandle();
        if (Screen) Screen->FormActivated(this, active_);
        if (active_ && OnActivate) OnActivate(this);
        if (!active_ && OnDeactivate) OnDeactivate(this);
      }
      return;
    case WM_ACTIVATEAPP:
      DefaultHandler(m);
      if (Application) Application->SetActive(m.WParam != 0);
      return;
    case WM_GETMINMAXINFO: {
      DefaultHandler(m);
      auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
      if (Constraints()->MinWidth() > 0) info->ptMinTrackSize.x = Constraints()->MinWidth();
      if (Constraints()->MinHeight() > 0) info->ptMinTrackSize.y = Constraints()->MinHeight();
      if (Constraints()->MaxWidth() > 0) info->ptMaxTrackSize.x = Constraints()->MaxWidth();
      if (Constraints()->MaxHeight() > 0) info->ptMaxTrackSize.y = Constraints()->MaxHeight();
      return;
    }
    case WM_SIZE:
      if (m.WParam == SIZE_MAXIMIZED)
        windowState_ = wsMaximized;
      else if (m.WParam == SIZE_MINIMIZED)
        windowState_ = wsMinimized;
      else if (m.WParam == SIZE_RESTORED)
        windowState_ = wsNormal;
      break;
    case CM_FOCUSCHANGED: {
      auto* control = reinterpret_cast<TWinControl*>(m.LParam);
      // The form's own focus (on activation, or when a focused child dies)
      // and focus passing through a control on its way out change nothing.
      if (control == this || (control && control->IsDestroying())) return;
      activeControl_ = control;
      if (control) control->FreeNotification(this);  // it may be freed by someone else
      return;
    }
    case CM_DIALOGKEY:
      m.Result = HandleDialogKey(static_cast<WORD>(m.WParam)) ? 1 : 0;
      return;
    default:
      break;
  }
  TScrollingWinControl::WndProc(m);
}

void TCustomForm::DefaultHandler(TMessage& m) {
  HWND wnd = WindowHandle();
  if (!wnd) {
    TScrollingWinControl::DefaultHandler(m);
    return;
  }
  if (formStyle_ == fsMDIChild && !Parent()) {
    m.Result = ::DefMDIChildProcW(wnd, m.Msg, m.WParam, m.LParam);
  } else if (clientHandle_ && m.Msg != WM_SIZE) {
    // The frame procedure would size the client over the whole client area;
    // AlignControls places it around the aligned controls instead.
    m.Result = ::DefFrameProcW(wnd, clientHandle_, m.Msg, m.WParam, m.LParam);
  } else {
    TScrollingWinControl::DefaultHandler(m);
  }
}

// --- TForm ------------------------------------------------------------------

void TForm::Publish(ClassBuilder<TForm>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode", "Caption", "Color",
                     "Constraints", "Enabled", "Font", "ParentBiDiMode", "ParentFont", "PopupMenu", "Visible",
                     "OnClick", "OnDblClick", "OnResize"});
  b.Boolean("AutoScroll", &TForm::AutoScroll, &TForm::SetAutoScroll);
  b.SetOf("BorderIcons", "TBorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons);
  b.Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, "TFormBorderStyle");
  b.Enum("FormStyle", &TForm::FormStyle, &TForm::SetFormStyle);
  b.Object("Icon", &TForm::Icon, &TForm::SetIcon);
  b.Object("Menu", &TForm::Menu, &TForm::SetMenu);
  b.Enum("Position", &TForm::Position, &TForm::SetPosition);
  b.Boolean("Scaled", &TForm::Scaled, &TForm::SetScaled);
  b.Enum("WindowState", &TForm::WindowState, &TForm::SetWindowState);
  b.Object("WindowMenu", &TForm::WindowMenu, &TForm::SetWindowMenu);
  b.Event("OnActivate", &TForm::OnActivate);
  b.Event("OnCreate", &TForm::OnCreate);
  b.Event("OnDeactivate", &TForm::OnDeactivate);
  b.Event("OnDestroy", &TForm::OnDestroy);
  b.Event("OnHide", &TForm::OnHide);
  b.Event("OnShow", &TForm::OnShow);
}

// --- TApplicationEvents -----------------------------------------------------

TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner) {
  if (Application) Application->events_.push_back(this);
}

TApplicationEvents::~TApplicationEvents() {
  if (Application) {
    auto& list = Application->events_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

void TApplicationEvents::CancelDispatch() {
  if (Application) Application->dispatchCancelled_ = true;
}

// --- TMonitor and TScreen ---------------------------------------------------

RECT TMonitor::BoundsRect() const {
  MONITORINFO mi{sizeof(mi), {}, {}, 0};
  ::GetMonitorInfoW(handle_, &mi);
  return mi.rcMonitor;
}

RECT TMonitor::WorkareaRect() const {
  MONITORINFO mi{sizeof(mi), {}, {}, 0};
  ::GetMonitorInfoW(handle_, &mi);
  return mi.rcWork;
}

bool TMonitor::Primary() const {
  MONITORINFO mi{sizeof(mi), {}, {}, 0};
  ::GetMonitorInfoW(handle_, &mi);
  return (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

TScreen::~TScreen() {
  for (TMonitor* m : monitors_) TObject::Free(m);
}

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return forms_[static_cast<std::size_t>(index)];
}

void TScreen::AddForm(TCustomForm* form) {
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (activeForm_ == form) activeForm_ = nullptr;
}

void TScreen::FormActivated(TCustomForm* form, bool active) {
  if (!active) {
    if (activeForm_ == form) activeForm_ = nullptr;
    return;
  }
  activeForm_ = form;
  auto it = std::find(forms_.begin(), forms_.end(), form);
  if (it != forms_.end()) std::rotate(forms_.begin(), it, it + 1);
}

TMonitor* TScreen::FindMonitor(HMONITOR handle) {
  for (TMonitor* m : monitors_)
    if (m->handle_ == handle) return m;
  return nullptr;
}

int TScreen::MonitorCount() {
  for (TMonitor* m : monitors_) TObject::Free(m);
  monitors_.clear();
  Collected<HMONITOR> found;
  ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&found));
  found.guard.Rethrow();
  for (HMONITOR handle : found.handles) {
    auto* m = Create<TMonitor>();
    m->handle_ = handle;
    monitors_.push_back(m);
  }
  return static_cast<int>(monitors_.size());
}

TMonitor* TScreen::Monitors(int index) {
  if (index < 0 || index >= static_cast<int>(monitors_.size())) MonitorCount();
  if (index < 0 || index >= static_cast<int>(monitors_.size()))
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return monitors_[static_cast<std::size_t>(index)];
}

TMonitor* TScreen::MonitorFromWindow(HWND wnd) {
  HMONITOR handle = ::MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST);
  TMonitor* m = FindMonitor(handle);
  if (!m) {
    MonitorCount();
    m = FindMonitor(handle);
  }
  if (!m) {
    m = Create<TMonitor>();
    m->handle_ = handle;
    monitors_.push_back(m);
  }
  return m;
}

// --- TApplication -----------------------------------------------------------

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring name = exe;
  const std::size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name = name.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  title_ = dot == std::wstring::npos ? name : name.substr(0, dot);
}

TApplication::~TApplication() { TObject::Free(icon_); }

std::string TApplication::ExeName() const {
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  return WideToUtf8(exe);
}

TIcon* TApplication::Icon() {
  if (!icon_) {
    icon_ = Create<TIcon>();
    HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 0, 0, 0));
    if (!icon) icon = ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION));
    icon_->SetHandle(icon);
  }
  return icon_;
}

namespace {

LRESULT CALLBACK ApplicationWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == CM_DEFERREDREPORT) {
    ReportDeferredExceptions();
    return 0;
  }
  return ::DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace

HWND TApplication::Handle() {
  if (!handle_) {
    static const wchar_t kClass[] = L"TApplication";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ApplicationWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    ::RegisterClassExW(&wc);
    handle_.Reset(::CreateWindowExW(0, kClass, title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr));
  }
  return handle_.Get();
}

void TApplication::Initialize() { InitializeUnits(); }

void TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  ::PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ProcessMessage(msg);
}

void TApplication::HandleMessage() {
  MSG msg;
  if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ProcessMessage(msg);
    return;
  }
  Idle();
  if (!terminated_) ::WaitMessage();
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  try {
    bool handled = false;
    dispatchCancelled_ = false;
    for (TApplicationEvents* e : std::vector<TApplicationEvents*>(events_)) {
      if (std::find(events_.begin(), events_.end(), e) == events_.end()) continue;
      if (e->OnMessage) e->OnMessage(msg, handled);
      if (dispatchCancelled_) break;
    }
    dispatchCancelled_ = false;
    if (handled || IsMDIMsg(msg) || IsKeyMsg(msg)) return true;
  } catch (const std::exception& e) {
    HandleException(e);
  }
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
  return true;
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  // The framework control of the window, or of its nearest parent (the edit
  // inside a combo box belongs to the combo box).
  TWinControl* control = nullptr;
  for (HWND wnd = msg.hwnd; wnd && !control; wnd = ::GetParent(wnd)) control = FindControl(wnd);
  if (!control) return false;
  return control->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::IsMDIMsg(MSG& msg) {
  if (!mainForm_ || mainForm_->FormStyle() != fsMDIForm || !mainForm_->ClientHandle()) return false;
  if (!mainForm_->ActiveMDIChild()) return false;
  return ::TranslateMDISysAccel(mainForm_->ClientHandle(), &msg) != 0;
}

void TApplication::Idle() {
  // A real mouse move may have left our windows without a message to us.
  POINT p;
  if (::GetCursorPos(&p) && (p.x != lastCursor_.x || p.y != lastCursor_.y)) {
    lastCursor_ = p;
    if (TControl* c = GetMouseControl()) {
      HWND under = ::WindowFromPoint(p);
      TWinControl* owner = FindControl(under);
      auto* w = dynamic_cast<TWinControl*>(c);
      TWinControl* host = w ? w : c->Parent();
      if (!owner || (host && owner != host && !(w == nullptr && owner == c->Parent()))) {
        if (host && host->HandleAllocated()) ::SendMessageW(host->Handle(), WM_MOUSELEAVE, 0, 0);
      }
    }
  }
  for (TApplicationEvents* e : std::vector<TApplicationEvents*>(events_))
    if (e->OnIdle) e->OnIdle(e);
}

void TApplication::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  for (TApplicationEvents* e : std::vector<TApplicationEvents*>(events_)) {
    if (value && e->OnActivate) e->OnActivate(e);
    if (!value && e->OnDeactivate) e->OnDeactivate(e);
  }
}

void TApplication::HandleException(const std::exception& e) {
  if (OnException) {
    OnException(this, e);
    return;
  }
  ShowException(e);
}

void TApplication::ShowException(const std::exception& e) {
  std::wstring text = Utf8ToWide(e.what());
  if (!text.empty() && text.back() != L'.' && text.back() != L'!') text += L'.';
  HWND owner = Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated()
                   ? Screen->ActiveForm()->Handle()
                   : nullptr;
  ::MessageBoxW(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace nuvskin
