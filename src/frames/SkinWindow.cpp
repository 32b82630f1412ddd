#include "frames/SkinWindow.h"

#include <windowsx.h>

#include <algorithm>

#include "controls/SkinControl.h"

namespace nuvskin {

namespace {

TComponent* FrameSkinOwner(HWND wnd, TnuvSkinEngine* engine) {
  TCustomForm* form = FindFormByHandle(wnd);
  return form && form != engine->Owner() ? form : nullptr;
}

TBitmap* NewFrameBuffer() {
  auto* buffer = new TBitmap();
  buffer->SetPixelFormat(pf24bit);
  buffer->SetTransparentMode(tmFixed);
  return buffer;
}

}  // namespace

TnuvSkinWindow::TnuvSkinWindow(HWND wnd, bool fromHook, TnuvSkinEngine* engine)
    : TComponent(FrameSkinOwner(wnd, engine)),
      FEngine(engine),
      FFromHook(fromHook),
      FSkinned(engine->SkinningActive()),
      FCaptionLeft(engine->FDefaultCaptionLeft) {
  TCustomForm* form = FindFormByHandle(wnd);
  FAllowed = !(form && form->Tag() == engine->DisabledTag());
  FTitleBuffer = NewFrameBuffer();
  FBottomBuffer = NewFrameBuffer();
}

void TnuvSkinWindow::Initialize(HWND wnd) {
  try {
    AfterConstruction();
    Attach(wnd);
    SkinChildren();
    SetSkinned(FSkinned);
  } catch (...) {
    TObject::Free(this);
    throw;
  }
}

void TnuvSkinWindow::BeforeDestruction() {
  FDestroying = true;
  FEngine->FrameSkinDestroyed(this);
  // Each step on its own: the window may already be half gone.
  try {
    SetSkinned(false);
  } catch (...) {
  }
  try {
    UnskinChildren();
  } catch (...) {
  }
  try {
    Detach();
  } catch (...) {
  }
  TComponent::BeforeDestruction();
}

TnuvSkinWindow::~TnuvSkinWindow() {
  delete FTitleBuffer;
  delete FTitleMaskBuffer;
  delete FBottomBuffer;
  delete FBottomMaskBuffer;
}

// --- Queries ------------------------------------------------------------------

int TnuvSkinWindow::TitleHeight() const { return FTitleVisible && FSkinned ? FEngine->FTitleBarHeight : 0; }

int TnuvSkinWindow::WindowWidth() {
  RECT r{};
  ::GetWindowRect(GetHandle(), &r);
  return r.right - r.left;
}

int TnuvSkinWindow::WindowHeight() {
  RECT r{};
  ::GetWindowRect(GetHandle(), &r);
  return r.bottom - r.top;
}

std::string TnuvSkinWindow::GetCaptionA() {
  char buffer[260] = {};
  int length = ::GetWindowTextA(GetHandle(), buffer, sizeof buffer);
  return std::string(buffer, static_cast<std::size_t>(std::max(length, 0)));
}

// --- Actions --------------------------------------------------------------------

void TnuvSkinWindow::FreeControlSkins() {
  FControlSkins.erase(std::remove(FControlSkins.begin(), FControlSkins.end(), nullptr), FControlSkins.end());
  while (!FControlSkins.empty()) {
    TnuvSkinControl* skin = FControlSkins.front();
    FControlSkins.erase(FControlSkins.begin());
    try {
      skin->DoneSkin();
    } catch (...) {
    }
    TObject::Free(skin);
  }
}

void TnuvSkinWindow::CloseWindow() { ::PostMessageW(GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0); }

void TnuvSkinWindow::ContextHelp() { ::PostMessageW(GetHandle(), WM_SYSCOMMAND, SC_CONTEXTHELP, 0); }

void TnuvSkinWindow::MaximizeOrRestore() {
  HWND wnd = GetHandle();
  if (::IsIconic(wnd))
    ::PostMessageW(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  else if (::IsZoomed(wnd))
    ::PostMessageW(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  else if (FCanMaximize)
    ::PostMessageW(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

void TnuvSkinWindow::MinimizeOrRestore() {
  HWND wnd = GetHandle();
  ::PostMessageW(wnd, WM_SYSCOMMAND, ::IsIconic(wnd) ? SC_RESTORE : SC_MINIMIZE, 0);
}

void TnuvSkinWindow::ShowSysMenuAtIcon() {
  POINT p{0, 0};
  ::ClientToScreen(GetHandle(), &p);
  if (p.x < 0) p.x = 0;
  if (::IsIconic(GetHandle())) p.y += 24 - FEngine->FTitleBarHeight;
  FEngine->ShowSysMenu(this, p);
}

void TnuvSkinWindow::ShowSysMenuAt(POINT screenPoint) { FEngine->ShowSysMenu(this, screenPoint); }

// --- Switching on and off --------------------------------------------------------

void TnuvSkinWindow::SetSkinned(bool value) {
  // An engine without a ready skin cannot frame a window: it keeps its own.
  FSkinned = value && FAllowed && FEngine->SkinningActive();
  if (FPrepared) {
    UpdateFrame();
    if (FSkinned) UpdateRegion();
  } else if (!FDestroying && (::IsWindowVisible(GetHandle()) || SkinWhenHidden())) {
    PrepareSkin();
  }
}

void TnuvSkinWindow::PrepareSkin() {
  SaveFrameMetrics();
  FPrepared = true;
  SetSkinned(FSkinned);
}

void TnuvSkinWindow::ApplySkinFlags() {
  FTitleNeedRegion = FEngine->GetSkinFlag(SkinFlag::TITLEBARNEEDREGION);
  FBottomNeedRegion = FEngine->GetSkinFlag(SkinFlag::BOTTOMBORDERNEEDREGION);
  FTitleBuffer->SetTransparent(FTitleNeedRegion);
  FTitleBuffer->SetTransparentColor(FEngine->FTransColor);
  FBottomBuffer->SetTransparent(FBottomNeedRegion);
  FBottomBuffer->SetTransparentColor(FEngine->FTransColor);
  if (FTitleNeedRegion && !FTitleMaskBuffer) FTitleMaskBuffer = NewFrameBuffer();
  if (!FTitleNeedRegion) FreeAndNil(FTitleMaskBuffer);
  if (FBottomNeedRegion && !FBottomMaskBuffer) FBottomMaskBuffer = NewFrameBuffer();
  if (!FBottomNeedRegion) FreeAndNil(FBottomMaskBuffer);
  if (FEngine->SkinningActive()) {
    PaintFrame();
    UpdateRegion();
  }
}

void TnuvSkinWindow::UpdateRegion() {
  if (IsWin95() || !CanShapeWindow() || FEngine->Designing() || !FSkinned || !FPrepared) return;
  HWND wnd = GetHandle();
  const int width = WindowWidth(), height = WindowHeight();
  std::vector<RECT> rects;
  if (!FTitleNeedRegion && !FBottomNeedRegion) {
    rects.push_back(RECT{0, 0, width, height});
  } else {
    // The region is cut from the painted buffers: a size change the frame
    // has not been painted at yet is painted first, so that the region set
    // now is the final one and the next paint's request finds it equal.
    if ((FTitleNeedRegion && FTitleBuffer->Width() != width) || (FBottomNeedRegion && FBottomBuffer->Width() != width))
      PaintFrame();
    const TnuvSkinEngine& e = *FEngine;
    rects = SkinRegionRects({FTitleBuffer, FTitleNeedRegion, e.FTitleRegionMinY, e.FTitleRegionMaxY},
                            {FBottomBuffer, FBottomNeedRegion, e.FBottomRegionMinY, e.FBottomRegionMaxY},
                            e.FTransColor, height, width);
  }
  // Setting a region costs the platform milliseconds and the frame asks for
  // one on every mouse move over the caption: an equal region is kept.
  auto same = [](const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  };
  if (FRegionSet && rects.size() == FLastRegion.size() &&
      std::equal(rects.begin(), rects.end(), FLastRegion.begin(), same))
    return;
  win::UniqueRegion region = CreateRegionFromRects(rects);
  if (!region) return;
  if (::SetWindowRgn(wnd, region.Get(), TRUE)) {
    region.Release();  // the window owns it now
    FLastRegion = std::move(rects);
    FRegionSet = true;
  }
}

void TnuvSkinWindow::RegionRemoved() {
  FRegionSet = false;
  FLastRegion.clear();
}

void TnuvSkinWindow::SetTitleVisible(bool value) {
  FTitleVisible = value;
  ::SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  PaintFrame();
}

void TnuvSkinWindow::SetBorderVisible(bool value) {
  FBorderVisible = value;
  ::SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  PaintFrame();
}

// --- Messages ------------------------------------------------------------------

void TnuvSkinWindow::CalcNonClientSize(TMessage& message) {
  // Nothing of the frame changes before the window's own is measured.
  if (!FPrepared) return;
  if (!message.WParam) {
    message.Result = 0;
    return;
  }
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam);
  if (!params || !params->lppos) return;
  const WINDOWPOS& p = *params->lppos;
  const TnuvSkinEngine& e = *FEngine;
  RECT c = params->rgrc[0];
  const int title = TitleHeight();
  const bool maximizedChild = IsMDIChild() && ::IsZoomed(GetHandle());
  if (title == 0 && !maximizedChild) {
    c.top = p.y;
  } else if (maximizedChild) {
    c.top = 0;
  } else if (FOldCaptionHeight > 0) {
    FCaptionShift = std::max(FOldCaptionHeight - title, 0);
    c.top = p.y + std::max(title, FOldCaptionHeight);
  }
  if (FBorderVisible) {
    if (IsMDIForm() || IsMDIChild()) {
      if (FOldSideBorder > 0) {
        c.right = p.x + p.cx - std::max(e.FRightBorderWidth, FOldSideBorder);
        c.left = p.x + std::max(e.FLeftBorderWidth, FOldSideBorder);
        c.bottom = p.y + p.cy - std::max(e.FBottomBorderHeight, FOldBottomBorder);
      }
    } else {
      c.right = p.x + p.cx - std::max(e.FRightBorderWidth, 4);
      c.left = p.x + std::max(e.FLeftBorderWidth, 4);
      c.bottom = p.y + p.cy - std::max(e.FBottomBorderHeight, 4);
    }
  } else {
    c.left = p.x;
    c.right = p.x + p.cx;
    if (FOldCaptionHeight > 0) c.bottom = p.y + p.cy;
  }
  // Never inside out, whatever the window's size.
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  params->rgrc[0] = c;
  params->rgrc[1] = c;
  message.Result = WVR_REDRAW;
}

void TnuvSkinWindow::CorrectHitTest(TMessage& message) {
  const TnuvSkinEngine& e = *FEngine;
  if (e.FButtonPosY >= 4 || (message.Result != HTTOP && message.Result != HTTOPRIGHT)) return;
  POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  ::ScreenToClient(GetHandle(), &p);
  p.x += e.FLeftBorderWidth;
  p.y += e.FTitleBarHeight;
  if (p.y < 8 && p.y >= e.FButtonPosY && p.x >= FButtonsLeft && p.x <= WindowWidth() - e.FButtonPosX)
    message.Result = HTCAPTION;
}

bool TnuvSkinWindow::FillsWorkArea(HWND wnd) {
  RECT work{};
  GetWorkArea(wnd, work);
  return WindowHeight() >= work.bottom - work.top && WindowWidth() >= work.right - work.left;
}

void TnuvSkinWindow::FrameWndProc(TMessage& message) {
  const UINT msg = message.Msg;
  if (!FPrepared && !SkinWhenHidden() && msg == WM_PAINT) PrepareSkin();
  if (msg == 0) return;
  if (!FEngine->SkinningActive() || !FAllowed || (FPrepared && !FSkinned)) {
    if (msg == WM_SIZE) ClientSizeChanged();
    CallDefault(message);
    return;
  }
  HWND wnd = GetHandle();
  switch (msg) {
    case WM_NCPAINT:
      PaintFrame();
      return;
    case WM_NCLBUTTONDOWN:
      FPressed = true;
      PaintFrame();
      if (FHotButton == -1 && message.WParam == HTCAPTION && ::IsZoomed(wnd) && FillsWorkArea(wnd))
        message.WParam = 0;  // a maximized window that fills the work area is not dragged
      else if (FHotButton != -1)
        message.WParam = 0;  // the press belongs to a caption element
      ::SetActiveWindow(wnd);
      break;
    case WM_NCLBUTTONDBLCLK:
      PaintFrame();
      if (FHotButton == -1 && message.WParam == HTCAPTION) {
        MaximizeOrRestore();
        FPressed = false;
        PaintFrame();
        return;
      }
      if (FHotButton == 0) {
        CloseWindow();
        FPressed = false;
        return;
      }
      message.WParam = 0;
      break;
    case WM_CTLCOLORDLG:
      message.Result = reinterpret_cast<LRESULT>(FEngine->FormBrush());
      return;
    case WM_NCACTIVATE: {
      auto* ownerForm = dynamic_cast<TCustomForm*>(FEngine->Owner());
      const bool ownerIsMDIChild = ownerForm && ownerForm->FormStyle() == fsMDIChild;
      if (!(IsMDIForm() || !OwnsNCActivate() || ownerIsMDIChild)) {
        PaintFrame();
        message.Result = 1;
        return;
      }
      // The default processing paints over the frame: it is painted after it.
      break;
    }
    default:
      break;
  }
  if (!BeforeMessage(message)) return;
  CallDefault(message);
  // The window's own handling may have freed this frame skin.
  if (FDestroying) return;
  switch (msg) {
    case CM_RELEASE:
    case WM_DESTROY:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_ACTIVATEAPP:
      return;  // the window or the frame skin may be gone
    default:
      break;
  }
  AfterMessage(message);
  switch (msg) {
    case WM_NCCALCSIZE:
      CalcNonClientSize(message);
      break;
    case WM_NCACTIVATE:
      FActive = (message.WParam & 0xFF) != 0;
      PaintFrame();
      break;
    case WM_NCLBUTTONUP:
      FPressed = false;
      PaintFrame();
      switch (FHotButton) {
        case 0: ShowSysMenuAtIcon(); break;
        case 1: CloseWindow(); break;
        case 2: MaximizeOrRestore(); break;
        case 3: MinimizeOrRestore(); break;
        case 4: ContextHelp(); break;
        default: break;
      }
      break;
    case WM_NCRBUTTONDOWN:
      PaintFrame();
      if (message.WParam == HTCAPTION && FHotButton == -1)
        ShowSysMenuAt(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
      break;
    case WM_NCMOUSEMOVE:
      // The frame only looks different when the element under the cursor
      // changes (or a press ends by leaving it): other moves paint nothing.
      if (message.WParam == HTCAPTION) {
        const int hot = CaptionElementAt(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
        bool changed = hot != FHotButton;
        if (FPressed && hot == -1) {
          FPressed = false;
          changed = true;
        }
        if (changed) PaintFrame();
      }
      break;
    case WM_ACTIVATE:
      FActive = LOWORD(message.WParam) != 0;
      PaintFrame();
      UpdateRegion();
      break;
    case WM_SETTEXT:
    case CM_TEXTCHANGED:
      PaintFrame();
      UpdateRegion();
      break;
    case WM_NUVSKIN_QUERYACTIVE:
      message.Result = FActive ? 1 : 2;
      break;
    case WM_NUVSKIN_MENUBARHEIGHT:
      message.Result = GetMenuBarHeight();
      break;
    case WM_NUVSKIN_QUERY:
      message.Result = 1;
      break;
    case WM_NUVSKIN_MDIMAXCHANGED:
      if (IsMDIForm()) PaintFrame();
      break;
    case WM_NCHITTEST:
      CorrectHitTest(message);
      break;
    default:
      break;
  }
}

}  // namespace nuvskin
