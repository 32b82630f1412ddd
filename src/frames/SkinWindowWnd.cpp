#include "frames/SkinWindowWnd.h"

#include "controls/SkinControl.h"
#include "framework/ExtCtrls.h"
#include "framework/SysUtils.h"

namespace nuvskin {

namespace {

std::string UpperClassName(HWND wnd) {
  char buffer[100] = {};
  int length = ::GetClassNameA(wnd, buffer, sizeof buffer);
  return AsciiUpperCase(std::string_view(buffer, static_cast<std::size_t>(std::max(length, 0))));
}

// The window's outer size changed by (dx, dy) and its frame recomputed.
void ResizeWithNewFrame(HWND wnd, const RECT& r, int dx, int dy) {
  ::SetWindowPos(wnd, nullptr, r.left, r.top, r.right - r.left + dx, r.bottom - r.top + dy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void FrameChanged(HWND wnd) {
  if (::IsWindow(wnd))
    ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// A style to put on the window that leaves its visibility as it is now.
LONG_PTR KeepVisibility(HWND wnd, LONG_PTR style) {
  const LONG_PTR visible = ::GetWindowLongPtrW(wnd, GWL_STYLE) & WS_VISIBLE;
  return (style & ~static_cast<LONG_PTR>(WS_VISIBLE)) | visible;
}

template <class F>
void ForEachChild(HWND parent, F&& f) {
  for (HWND child = ::GetTopWindow(parent); child; child = ::GetWindow(child, GW_HWNDNEXT))
    if (!f(child)) break;
}

}  // namespace

TnuvSkinWindowWnd::TnuvSkinWindowWnd(HWND wnd, bool fromHook, TnuvSkinEngine* engine)
    : TnuvSkinWindow(wnd, fromHook, engine) {}

std::wstring TnuvSkinWindowWnd::GetCaptionW() { return IsWinNT() ? GetWindowTextInternal(FHandle) : std::wstring(); }

void TnuvSkinWindowWnd::Attach(HWND wnd) {
  FHandle = wnd;
  FEraseStyle = 0;
  FEraseStyleSaved = FGrownOnce = FHasAnimationChild = FShellFileDialog = FFolderDialog = false;
  // Pinned per message: WM_DESTROY frees this frame skin.
  if (!FSubclass.Attach(wnd, [this](UINT msg, WPARAM wp, LPARAM lp) { return WndProc(msg, wp, lp); }, this))
    throw EInvalidOperation("The window to skin is gone");
  FSubclass.OnWindowDestroyed = [this] {
    // The window died without its WM_DESTROY reaching us.
    FWindowGone = true;
    FEngine->RemoveFrameSkin(FHandle);
  };
}

void TnuvSkinWindowWnd::Detach() {
  FSubclass.Remove();
  if (!FWindowGone) FrameChanged(FHandle);
  if (FInnerSubclass.Attached()) {
    FInnerSubclass.Remove();
    if (!FWindowGone) FrameChanged(FInnerDialog);
  }
}

LRESULT TnuvSkinWindowWnd::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  FrameWndProc(message);
  return message.Result;
}

void TnuvSkinWindowWnd::CallDefault(TMessage& message) {
  message.Result = FSubclass.CallNext(message.Msg, message.WParam, message.LParam);
}

void TnuvSkinWindowWnd::SaveFrameMetrics() {
  FSavedStyle = ::GetWindowLongPtrW(FHandle, GWL_STYLE);
  RECT client{}, window{};
  ::GetClientRect(FHandle, &client);
  ::GetWindowRect(FHandle, &window);
  FOldClientWidth = client.right;
  FOldClientHeight = client.bottom;
  POINT origin{0, 0};
  ::ClientToScreen(FHandle, &origin);
  FOldCaptionHeight = origin.y - window.top;
  FOldBottomBorder = 4;
  FOldSideBorder = 4;
}

void TnuvSkinWindowWnd::UpdateFrame() {
  if (!FDestroying) {
    for (TnuvSkinControl* skin : FControlSkins) {
      if (!skin) continue;
      try {
        skin->SkinChanged();
        ::PostMessageW(skin->GetHandle(), WM_PAINT, 0, 0);
      } catch (...) {
        // One control that cannot follow must not keep the others back.
      }
    }
  }
  RECT r{};
  if (FSkinned) {
    // Applied once; a second switch-on must not grow the window again.
    if (FFrameApplied) return;
    const TnuvSkinEngine& e = *FEngine;
    ::SetWindowLongPtrW(FHandle, GWL_STYLE, KeepVisibility(FHandle, FSavedStyle & ~static_cast<LONG_PTR>(WS_SYSMENU)));
    ::SetMenu(FHandle, nullptr);
    ::GetWindowRect(FHandle, &r);
    FAddedWidth = e.FLeftBorderWidth + e.FRightBorderWidth;
    FAddedHeight = TitleHeight() + GetMenuBarHeight() + std::max(4, e.FBottomBorderHeight) - FOldCaptionHeight;
    FFrameApplied = true;
    // Moved and re-framed in one go: one size calculation and one repaint.
    ResizeWithNewFrame(FHandle, r, FAddedWidth, FAddedHeight);
    return;
  }
  if (!FFrameApplied) return;
  FFrameApplied = false;
  if (!FWindowGone && ::IsWindow(FHandle)) {
    // The window's own style back, visible as it is now. The erase style may
    // have been recorded after the frame was applied: the system menu comes
    // back in any case.
    const LONG_PTR style =
        (FEraseStyleSaved ? FEraseStyle : ::GetWindowLongPtrW(FHandle, GWL_STYLE)) | (FSavedStyle & WS_SYSMENU);
    ::SetWindowLongPtrW(FHandle, GWL_STYLE, KeepVisibility(FHandle, style));
    ::SetWindowRgn(FHandle, nullptr, FALSE);
    RegionRemoved();
    ::GetWindowRect(FHandle, &r);
    ResizeWithNewFrame(FHandle, r, -FAddedWidth, -FAddedHeight);
  }
  FAddedWidth = FAddedHeight = 0;
}

void TnuvSkinWindowWnd::SkinChildren() {
  ForEachChild(FHandle, [&](HWND child) {
    if ((::GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) == 0) return true;
    if (::SendMessageW(child, WM_NUVSKIN_QUERY, 0, 0) == 1) return true;
    try {
      if (TnuvSkinControl* skin = CreateWndControlSkin(child, this)) FControlSkins.push_back(skin);
    } catch (...) {
      // This control keeps its own look; the others are still skinned.
    }
    return true;
  });
}

void TnuvSkinWindowWnd::UnskinChildren() { FreeControlSkins(); }

bool TnuvSkinWindowWnd::BeforeMessage(TMessage& message) {
  const bool wasFolderDialog = FFolderDialog;
  switch (message.Msg) {
    case WM_ERASEBKGND:
      if (!FEraseStyleSaved) {
        FEraseStyle = ::GetWindowLongPtrW(FHandle, GWL_STYLE);
        FEraseStyleSaved = true;
      }
      break;
    case WM_DESTROY: {
      // The frame skin goes first and gives the window its procedure back;
      // then the dialog's own procedure gets its WM_DESTROY for its cleanup.
      HWND wnd = FHandle;
      TnuvSkinWindowWnd* self = this;  // pinned by the subclass for this message
      FWindowGone = true;  // nothing to give back to a window that goes
      FEngine->RemoveFrameSkin(wnd);
      SetLastDestroyedRawWindow(wnd);
      message.Result = self->FSubclass.CallNext(message.Msg, message.WParam, message.LParam);
      return false;
    }
    case WM_SYSCOMMAND:
      if ((message.WParam & 0xFFF0) == SC_CLOSE) {
        ::PostMessageW(FHandle, WM_COMMAND, IDCANCEL, 0);
        return false;
      }
      break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      message.Result = reinterpret_cast<LRESULT>(FEngine->FormBrush());
      ::SetBkMode(reinterpret_cast<HDC>(message.WParam), TRANSPARENT);
      return false;
    case WM_SHOWWINDOW:
      ScanChildren();
      break;
    default:
      break;
  }
  if (message.Msg == WM_SIZE && ((IsWinVista() && FShellFileDialog) || wasFolderDialog)) {
    UpdateRegion();
    return false;
  }
  return true;
}

void TnuvSkinWindowWnd::AfterMessage(TMessage& message) {
  if (message.Msg != WM_SIZE) return;
  RECT client{};
  ::GetClientRect(FHandle, &client);
  if (!::IsZoomed(FHandle) && client.bottom < FOldClientHeight && client.right > 1.5 * FOldClientWidth &&
      !FGrownOnce) {
    FGrownOnce = true;
    RECT r{};
    ::GetWindowRect(FHandle, &r);
    const int grow = TitleHeight() + GetMenuBarHeight() - FOldCaptionHeight + FEngine->FBottomBorderHeight;
    if (FFrameApplied) FAddedHeight += grow;
    ::MoveWindow(FHandle, r.left, r.top, r.right - r.left, r.bottom - r.top + grow, TRUE);
  }
  UpdateRegion();
}

void TnuvSkinWindowWnd::ScanChildren() {
  bool defView = false, toolBar = false, listBox = false;
  HWND inner = nullptr;
  ForEachChild(FHandle, [&](HWND child) {
    const std::string name = UpperClassName(child);
    if (name == "SHELLDLL_DEFVIEW") defView = true;
    else if (name == "TOOLBARWINDOW32") toolBar = true;
    else if (name == "LISTBOX") listBox = true;
    else if (name == "SHBROWSEFORFOLDER SHELLNAMESPACE CONTROL") FFolderDialog = true;
    else if (name == "SCROLLBAR" && FFolderDialog) ::ShowWindow(child, SW_HIDE);
    else if (name == "#32770") {
      inner = child;
      return false;
    }
    return true;
  });
  if (defView && toolBar && listBox) FShellFileDialog = true;
  if (inner && !FInnerSubclass.Attached()) {
    FInnerDialog = inner;
    FInnerSubclass.Attach(inner, [this](UINT msg, WPARAM wp, LPARAM lp) { return InnerWndProc(msg, wp, lp); }, this);
  }
  if (FInnerDialog) ColorInnerPanels();
}

void TnuvSkinWindowWnd::ColorInnerPanels() {
  ForEachChild(FInnerDialog, [&](HWND child) {
    if (UpperClassName(child) != "TPANEL") return true;
    auto* panel = dynamic_cast<TPanel*>(FindControl(child));
    if (!panel) return true;
    panel->SetColor(FEngine->FFormColor);
    for (int i = 0; i < panel->ControlCount(); ++i)
      if (auto* inner = dynamic_cast<TPanel*>(panel->Controls(i))) inner->SetColor(panel->Color());
    return true;
  });
}

LRESULT TnuvSkinWindowWnd::InnerWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CTLCOLORDLG:
      return reinterpret_cast<LRESULT>(FEngine->FormBrush());
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(FEngine->FormBrush());
    default:
      return FInnerSubclass.CallNext(msg, wParam, lParam);
  }
}

}  // namespace nuvskin
