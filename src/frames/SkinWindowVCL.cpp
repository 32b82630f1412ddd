#include "frames/SkinWindowVCL.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "controls/SkinControl.h"
#include "draw/NUVSkinUtils.h"
#include "frames/MenuBar.h"
#include "framework/Grids.h"

namespace nuvskin {

namespace {

// Menu bar height the platform gives a form's main menu.
int SystemMenuBarHeight() { return IsWinVista() ? 22 : 19; }

// The system's smallest border.
constexpr int kMinBorder = 4;

// Sets a flag for a scope (re-entrant changes see it set).
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), previous_(std::exchange(flag, true)) {}
  ~FlagScope() { flag_ = previous_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace

// The message being handled and where it goes on.
struct TnuvSkinWindowVCL::CallFrame {
  const TWndMethod& next;
};

TnuvSkinWindowVCL::TnuvSkinWindowVCL(HWND wnd, bool fromHook, TnuvSkinEngine* engine)
    : TnuvSkinWindow(wnd, fromHook, engine) {}

TnuvSkinWindowVCL::~TnuvSkinWindowVCL() = default;

// --- Binding --------------------------------------------------------------------

void TnuvSkinWindowVCL::Attach(HWND wnd) {
  FRestoring = FHiddenChild = FToolBarJoins = FToolBarJoinsKnown = false;
  FMinHeightSet = FMinWidthSet = FControlsShifted = FAllFormsDone = FAdjusting = false;
  FForm = FindFormByHandle(wnd);
  if (!FForm) FForm = FormBeingAttached();
  if (!FForm) throw Exception("NUVSkin: Skinning form failed!");
  // The form may go before this frame skin (it owns it): from then on the
  // frame skin only lets its messages pass.
  FFormLink.Watch(FForm, [this](TComponent*) { FFormGoing = true; });
  FForm->SetAutoScroll(false);
  FMenu = FChildMenu = FShownMenu = FShownChildMenu = nullptr;

  FMenuBar = nuvskin::Create<TnuvSkinMenuBar>(nullptr);
  FMenuBarLink.Watch(FMenuBar, [this](TComponent*) { FMenuBar = nullptr; });
  FMenuBar->SetVisible(false);
  FMenuBar->SetParent(FForm);
  FMenuBar->SetFlat(true);
  FMenuBar->SetEdgeBorders(TEdgeBorders{});
  FMenuBar->SetBorderWidth(0);
  FMenuBar->SetShowCaptions(true);
  FMenuBar->SetParentColor(false);
  FMenuBar->OnCustomDraw = TTBCustomDrawEvent::Bind(this, &TnuvSkinWindowVCL::DrawBarBackground);
  FMenuBar->OnCustomDrawButton = TTBCustomDrawBtnEvent::Bind(this, &TnuvSkinWindowVCL::DrawBarButton);
  FMenuBar->SetWrapable(true);
  FMenuBar->SetAutoSize(true);

  FWindowListItems.clear();
  FBarItems.clear();
  FButtonColor = FEngine->FMenuColors[0];
  FButtonColor2 = FEngine->FMenuColors[1];

  if (IsMDIForm()) CreateMDIButtons();
  if (!IsMDIChild()) {
    FAppEvents = nuvskin::Create<TApplicationEvents>(nullptr);
    FAppEvents->OnMessage = [this](MSG& msg, bool& handled) { AppMessage(msg, handled); };
  }
  FHook = std::make_unique<TWindowProcHook>(
      FForm, [this](TMessage& message, const TWndMethod& next) { FormWindowProc(message, next); });
  // Nothing of the frame changes before it is prepared: the fields alone.
  FTitleVisible = !FForm->Parent() && FForm->BorderStyle() != bsNone;
  FBorderVisible = FForm->BorderStyle() != bsNone;
  if (IsMDIChild()) SendToMDIFrame(WM_NUVSKIN_WINDOWLIST, 0, 0);
}

void TnuvSkinWindowVCL::Detach() {
  FHook.reset();
  const bool livesOn = FormLivesOn();
  FClientSubclass.Remove();
  // Children of the form: a form that goes frees them itself.
  if (livesOn) {
    FreeAndNil(FMenuBar);
    FreeMDIButtons();
  }
  FMenuBarLink.Reset();
  FBarItems.clear();
  FWindowListItems.clear();
  FreeAndNil(FAppEvents);
  FMenuLink.Reset();
  FChildMenuLink.Reset();
  if (livesOn) FrameChanged();
  FFormLink.Reset();
}

void TnuvSkinWindowVCL::FormWindowProc(TMessage& message, const TWndMethod& next) {
  if (FDestroying || FFormGoing) {
    next(message);
    return;
  }
  // A handler may free the form and with it this frame skin.
  ObjectPin pin(this);
  CallFrame frame{next};
  CallFrame* const outer = std::exchange(FCall, &frame);
  struct Restore {
    CallFrame*& slot;
    CallFrame* outer;
    ~Restore() { slot = outer; }
  } restore{FCall, outer};
  FrameWndProc(message);
}

void TnuvSkinWindowVCL::CallDefault(TMessage& message) {
  if (FCall) {
    const TWndMethod next = FCall->next;
    if (next) next(message);
  } else if (FHook) {
    const TWndMethod next = FHook->Next();
    if (next) next(message);
  }
}

bool TnuvSkinWindowVCL::FormLivesOn() const {
  return FForm && !FFormGoing && !FForm->IsDestroying() && FForm->HandleAllocated();
}

void TnuvSkinWindowVCL::FrameChanged() {
  if (HWND wnd = GetHandle())
    ::SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// --- Queries ----------------------------------------------------------------------

HWND TnuvSkinWindowVCL::GetHandle() { return FForm && FForm->HandleAllocated() ? FForm->Handle() : nullptr; }

std::wstring TnuvSkinWindowVCL::GetCaptionW() {
  if (!FForm || !IsWinNT()) return {};
  const PropInfo* caption = GetPropInfo(FForm, "Caption");
  return caption && caption->kind == TypeKind::WString ? GetWideStrProp(FForm, caption) : std::wstring();
}

bool TnuvSkinWindowVCL::CanShapeWindow() { return FForm && !FForm->Parent() && FForm->BorderStyle() != bsNone; }

int TnuvSkinWindowVCL::GetMenuBarHeight() { return FMenuBar && FMenuBar->Visible() ? FMenuBar->Height() : 0; }

HICON TnuvSkinWindowVCL::GetIconHandle() {
  return FForm && !FForm->Icon()->Empty() ? FForm->Icon()->Handle() : nullptr;
}

bool TnuvSkinWindowVCL::HasHelpButton() { return FForm && FForm->BorderIcons().Contains(biHelp); }
bool TnuvSkinWindowVCL::IsMDIForm() { return FForm && FForm->FormStyle() == fsMDIForm; }
bool TnuvSkinWindowVCL::IsMDIChild() { return FForm && FForm->FormStyle() == fsMDIChild; }
bool TnuvSkinWindowVCL::IsDialogFrame() { return FForm && FForm->BorderStyle() == bsDialog; }

bool TnuvSkinWindowVCL::HasIcon() {
  if (!FForm) return false;
  const TFormBorderStyle style = FForm->BorderStyle();
  return (style == bsSingle || style == bsSizeable) && FForm->BorderIcons().Contains(biSystemMenu);
}

bool TnuvSkinWindowVCL::HasCloseButton() { return FForm && FForm->BorderIcons().Contains(biSystemMenu); }

namespace {

bool HasFrameButton(TCustomForm* form, TBorderIcon icon) {
  if (!form) return false;
  const TBorderIcons icons = form->BorderIcons();
  const TFormBorderStyle style = form->BorderStyle();
  return icons.Contains(icon) && icons.Contains(biSystemMenu) && style != bsDialog && style != bsToolWindow &&
         style != bsSizeToolWin;
}

}  // namespace

bool TnuvSkinWindowVCL::HasMaximizeButton() { return HasFrameButton(FForm, biMaximize); }
bool TnuvSkinWindowVCL::HasMinimizeButton() { return HasFrameButton(FForm, biMinimize); }

bool TnuvSkinWindowVCL::HasToolBarBelowMenu() {
  if (FToolBarJoinsKnown) return FToolBarJoins;
  const int menuBarHeight = GetMenuBarHeight();
  // Only a shown bar tells where a tool bar below it starts.
  if (!FForm || menuBarHeight == 0) return false;
  FToolBarJoins = false;
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* control = FForm->Controls(i);
    if (control == FMenuBar || !control->Is<TToolBar>()) continue;
    FToolBarJoins = control->Top() == menuBarHeight;
    break;
  }
  FToolBarJoinsKnown = true;
  return FToolBarJoins;
}

void TnuvSkinWindowVCL::ClientSizeChanged() {
  if (FRestoring || !FForm || !FForm->HandleAllocated()) return;
  HWND wnd = FForm->Handle();
  if (::IsIconic(wnd) || ::IsZoomed(wnd)) return;
  FOldClientWidth = FForm->ClientWidth();
  FOldClientHeight = FForm->ClientHeight();
}

// --- Measuring, applying and restoring --------------------------------------------

void TnuvSkinWindowVCL::SaveFrameMetrics() {
  TCustomForm* form = FForm;
  HWND wnd = GetHandle();
  if (!form || !wnd) return;
  FOldClientWidth = form->ClientWidth();
  FOldClientHeight = form->ClientHeight();
  FMenu = form->Menu();
  FMenuLink.Watch(FMenu, [this](TComponent*) {
    // The application freed its main menu: the bar shows nothing of it.
    FMenu = nullptr;
    FShownMenu = nullptr;
    if (FormLivesOn() && FSkinned && FMenuBar) RebuildMenuBar(true);
  });
  const int m = !FMenu || IsMDIChild() ? 0 : SystemMenuBarHeight();
  if (IsMDIChild()) {
    TCustomForm* main = MDIFrame();
    HWND client = main ? main->ClientHandle() : nullptr;
    auto ask = [&](UINT msg) { return client ? static_cast<int>(::SendMessageW(client, msg, 0, 0)) : 0; };
    FOldCaptionHeight = ask(WM_NUVSKIN_MDITITLE);
    FOldBottomBorder = std::max(ask(WM_NUVSKIN_MDIBOTTOM), kMinBorder);
    FOldSideBorder = std::max(ask(WM_NUVSKIN_MDISIDE), kMinBorder);
    FLeftBorder = kMinBorder;
    if (main && main->HandleAllocated() && !(FEngine->AttachingAllForms() && main->MDIChildCount() != 1))
      ::PostMessageW(main->Handle(), WM_NUVSKIN_CHILDMENU, reinterpret_cast<WPARAM>(form),
                     reinterpret_cast<LPARAM>(FMenu));
  } else {
    RECT window{}, client{};
    ::GetWindowRect(wnd, &window);
    ::GetClientRect(wnd, &client);
    POINT topLeft{0, 0}, bottomRight{client.right, client.bottom};
    ::ClientToScreen(wnd, &topLeft);
    ::ClientToScreen(wnd, &bottomRight);
    FOldCaptionHeight = topLeft.y - window.top - m;
    FLeftBorder = topLeft.x - window.left;
    FBottomBorder = window.bottom - bottomRight.y;
    FOldBottomBorder = IsMDIForm() ? FBottomBorder : kMinBorder;
    FOldSideBorder = IsMDIForm() ? FLeftBorder : kMinBorder;
  }
  FSavedColor = form->Color();
  if (FLeftBorder > kMinBorder && FMenuBar) FMenuBar->SetIndent(FLeftBorder - kMinBorder);
}

void TnuvSkinWindowVCL::UpdateFrame() {
  if (!FForm) return;
  if (!FDestroying) {
    for (TnuvSkinControl* skin : std::vector<TnuvSkinControl*>(FControlSkins)) {
      auto* vcl = dynamic_cast<TnuvSkinControlVCL*>(skin);
      // A control freed while its form lives on keeps its skin in the list
      // until the form goes; it is never touched.
      if (!vcl || !vcl->Control()) continue;
      try {
        vcl->SkinChanged();
      } catch (...) {
      }
      try {
        if (vcl->Control()) vcl->Control()->Invalidate();
      } catch (...) {
      }
    }
  }
  if (FSkinned) {
    if (FormLivesOn()) ApplyForm();
  } else if (FApplied && FormLivesOn()) {
    // Also when the frame skin itself goes while the form lives on: the form
    // gets its menu, frame, colour and size back.
    RestoreForm();
  }
}

void TnuvSkinWindowVCL::ApplyForm() {
  TCustomForm* form = FForm;
  HWND wnd = form->Handle();
  FlagScope adjusting(FAdjusting);
  ::SetWindowLongPtrW(wnd, GWL_STYLE, ::GetWindowLongPtrW(wnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_SYSMENU));
  form->SetColor(FEngine->FFormColor);
  form->SetMenu(nullptr);
  form->SetAutoScroll(false);
  form->SetScaled(false);

  if (FMenu && FMenuBar) {
    FMenuBar->SetTop(-100);  // the first of the top-aligned controls
    if (!IsMDIChild()) FMenuBar->SetVisible(true);
    FMenuBar->SetParentColor(false);
    FMenuBar->SetColor(FEngine->FMenuColors[0]);
  }
  TBitmap* bar = FEngine->Skin() ? FEngine->Skin()->GetBitmap(SkinBitmap::MENUBAR) : nullptr;
  if (bar && !bar->Empty()) {
    FButtonColor = bar->PixelAt(0, bar->Height() / 2);
    FButtonColor2 = FEngine->FFormColor;
  } else {
    FButtonColor = FEngine->FMenuColors[0];
    FButtonColor2 = FEngine->FMenuColors[1];
  }
  if (IsMDIChild()) {
    // All children repaint their frames once the last one is skinned.
    TCustomForm* main = MDIFrame();
    const int count = main ? main->MDIChildCount() : 0;
    if (count > 1 && main->MDIChildren(count - 1) == form) {
      TCustomForm* active = main->ActiveMDIChild();
      const LPARAM activeWnd = active ? reinterpret_cast<LPARAM>(active->Handle()) : 0;
      for (int i = 0; i < count; ++i)
        if (TCustomForm* child = main->MDIChildren(i); child->HandleAllocated())
          ::SendMessageW(child->Handle(), WM_MDIACTIVATE, 0, activeWnd);
    }
  }

  RebuildMenuBar(true);
  if (IsMDIForm()) PlaceMDIButtons();
  ApplyMinSize();
  if (!FControlsShifted) {
    FShiftedBy = GetMenuBarHeight();
    ShiftControls(FShiftedBy);
    FControlsShifted = true;
  }
  // The skinned frame first: the client size below is the one the form has
  // under it.
  FrameChanged();
  FAddedClientWidth = 2 * std::max(kMinBorder, FLeftBorder) - 2 * kMinBorder;
  FAddedClientHeight = GetMenuBarHeight() + 2 * std::max(kMinBorder, FBottomBorder) - 2 * kMinBorder;
  if (form->WindowState() != wsMaximized)
    form->SetClientSize(FOldClientWidth + FAddedClientWidth, FOldClientHeight + FAddedClientHeight);
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* menu = dynamic_cast<TMenu*>(form->Components(i)); menu && menu->Tag() != FEngine->DisabledTag())
      FEngine->SkinMenu(menu);
  if (IsMDIChild() && ::IsZoomed(wnd) && !FMDIMaxNotified) {
    FMDIMaxNotified = true;
    SendToMDIFrame(WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(wnd), 0);
  }
  FApplied = true;
}

void TnuvSkinWindowVCL::RestoreForm() {
  TCustomForm* form = FForm;
  HWND wnd = form->Handle();
  FlagScope restoring(FRestoring);
  {
    FlagScope adjusting(FAdjusting);
    ::SetWindowLongPtrW(wnd, GWL_STYLE, ::GetWindowLongPtrW(wnd, GWL_STYLE) | WS_SYSMENU);
    // The platform's frame first: the sizes below are measured under it.
    FrameChanged();
    form->SetMenu(FMenu);
    form->SetColor(FSavedColor);
    ClearMinSize();
  }
  if (form->WindowState() != wsMaximized) form->SetClientSize(FOldClientWidth, FOldClientHeight);
  if (FControlsShifted) {
    ShiftControls(-FShiftedBy);
    FControlsShifted = false;
  }
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* menu = dynamic_cast<TMenu*>(form->Components(i)); menu && menu->Tag() != FEngine->DisabledTag())
      FEngine->UnskinMenu(menu);
  for (TMenuItem* item : std::exchange(FWindowListItems, {})) TObject::Free(item);
  if (FMenuBar) FMenuBar->SetVisible(false);
  HideMDIButtons();
  ::SetWindowRgn(wnd, nullptr, TRUE);
  RegionRemoved();
  FrameChanged();
  FApplied = false;
}

void TnuvSkinWindowVCL::ShiftControls(int by) {
  if (by == 0 || !FForm) return;
  std::vector<TControl*> controls;
  for (int i = 0; i < FForm->ControlCount(); ++i)
    if (TControl* c = FForm->Controls(i); c != FMenuBar) controls.push_back(c);
  for (TControl* c : controls) {
    const TAnchors anchors = c->Anchors();
    if (!anchors.Contains(akBottom))
      c->SetTop(c->Top() + by);
    else if (anchors.Contains(akTop))
      c->SetBounds(c->Left(), c->Top() + by, c->Width(), c->Height() - by);
  }
}

void TnuvSkinWindowVCL::ApplyMinSize() {
  TSizeConstraints* constraints = FForm->Constraints();
  if (constraints->MinHeight() == 0 || FMinHeightSet) {
    constraints->SetMinHeight(GetMenuBarHeight() + TitleHeight() + 6);
    FMinHeightSet = true;
  }
  if ((constraints->MinWidth() == 0 && !FFromHook) || FMinWidthSet) {
    constraints->SetMinWidth(FEngine->FMinFormWidth);
    FMinWidthSet = true;
  }
}

void TnuvSkinWindowVCL::ClearMinSize() {
  // Only the limits this frame skin set: the application's own stay.
  TSizeConstraints* constraints = FForm->Constraints();
  if (FMinHeightSet) constraints->SetMinHeight(0);
  if (FMinWidthSet) constraints->SetMinWidth(0);
}

// --- Child controls -------------------------------------------------------------------

void TnuvSkinWindowVCL::SkinChildren() {
  if (!FForm) return;
  for (int i = 0; i < FForm->ComponentCount(); ++i)
    if (auto* control = dynamic_cast<TControl*>(FForm->Components(i))) SkinControl(control);
}

void TnuvSkinWindowVCL::SkinControl(TControl* control) {
  TnuvSkinEngine& e = *FEngine;
  if (!control || e.Designing() || !control->WindowProc) return;
  if (e.DisabledTag() != 0 && control->Tag() == e.DisabledTag()) return;
  const std::string& name = control->ClassName();
  if (name == "TnuvSkinInternalScrollBar" || name == "TnuvSkinInternalComboButton" || name == "TRollShadow") return;
  if (auto* win = dynamic_cast<TWinControl*>(control);
      win && win->HandleAllocated() && ::SendMessageW(win->Handle(), WM_NUVSKIN_QUERY, 0, 0) == 1)
    return;
  if (name.compare(0, 4, "Tnuv") == 0) {
    if (name == "TnuvForm") FAllowed = false;
    if (name != "TnuvSkinInternalUpDown") return;
  }
  if (ChildExemptClassNames()->IndexOf(Latin1ToWide(name)) >= 0 || !control->Parent()) return;
  if (auto* embedded = dynamic_cast<TCustomForm*>(control)) {
    if (embedded->Name().empty()) return;
    embedded->SetColor(e.FFormColor);
  } else {
    TnuvSkinControl* skin = nullptr;
    try {
      skin = CreateControlSkin(control, this);
    } catch (...) {
      // This control keeps its own look; the others are still skinned.
      return;
    }
    if (!skin) return;
    FControlSkins.push_back(skin);
    try {
      skin->SkinChanged();
      if (skin->UsesParentColor() && IsPublishedProp(control, "ParentColor")) SetOrdProp(control, "ParentColor", 1);
    } catch (...) {
    }
    if (name == "TDBLookupComboBox" || name == "TJamShellList" || control->Is<TCustomGrid>()) return;
  }
  for (int i = 0; i < control->ComponentCount(); ++i) {
    TComponent* owned = control->Components(i);
    if (auto* child = dynamic_cast<TControl*>(owned))
      SkinControl(child);
    else if (auto* popup = dynamic_cast<TPopupMenu*>(owned); popup && popup->Tag() != e.DisabledTag())
      e.SkinMenu(popup);
  }
}

// A control that lives on gets its WindowProc back (the skin's destructor
// does it; a freed control is left alone).
void TnuvSkinWindowVCL::UnskinChildren() { FreeControlSkins(); }

// --- After the form's own handling ---------------------------------------------------

void TnuvSkinWindowVCL::TitleAndBorderFollowForm() {
  HWND wnd = GetHandle();
  if (LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE); style & WS_SYSMENU)
    ::SetWindowLongPtrW(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_SYSMENU));
  SetTitleVisible(!FForm->Parent() && FForm->BorderStyle() != bsNone);
  SetBorderVisible(FTitleVisible);
  if (FTitleVisible) {
    ApplyMinSize();
  } else {
    FForm->Constraints()->SetMinHeight(0);
    FForm->Constraints()->SetMinWidth(0);
  }
}

void TnuvSkinWindowVCL::AfterMessage(TMessage& message) {
  if (!FForm) return;
  HWND wnd = GetHandle();
  switch (message.Msg) {
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(message.LParam) == wnd) {
        SendToMDIFrame(WM_NUVSKIN_CHILDMENU, reinterpret_cast<WPARAM>(FForm), reinterpret_cast<LPARAM>(FMenu));
        FActive = true;
      } else {
        FActive = false;
      }
      PaintFrame();
      return;
    case WM_MDIMAXIMIZE:
      ShowMDIButtons();
      return;
    case WM_MDIRESTORE:
      HideMDIButtons();
      return;
    case WM_NUVSKIN_CHILDMENU: {
      // Posted by a child: its menu is taken only while that child's frame
      // skin still shows it.
      auto* menu = reinterpret_cast<TMainMenu*>(message.LParam);
      bool known = menu == nullptr;
      for (int i = 0; !known && i < FEngine->FrameSkinCount(); ++i)
        if (auto* child = dynamic_cast<TnuvSkinWindowVCL*>(FEngine->FrameSkins(i)); child && child->FMenu == menu)
          known = true;
      if (!known) return;
      FChildMenu = menu;
      FChildMenuLink.Watch(menu, [this](TComponent*) {
        FChildMenu = nullptr;
        if (FormLivesOn() && FSkinned) RebuildMenuBar(false);
      });
      RebuildMenuBar(false);
      return;
    }
    case WM_MDIREFRESHMENU:
      PaintFrame();
      return;
    default:
      break;
  }
  if (!FAllFormsDone && (message.Msg == WM_SHOWWINDOW || message.Msg == CM_VISIBLECHANGED)) {
    if (Application && Application->MainForm() == FForm && FEngine->SkinAllForms()) {
      FAllFormsDone = true;
      FEngine->SkinAllOpenForms();
    }
    if (IsMDIChild() && message.Msg == WM_SHOWWINDOW) FHiddenChild = message.WParam == 0;
    return;
  }
  switch (message.Msg) {
    case WM_SIZE: {
      if (::IsZoomed(wnd)) {
        if (!IsMDIChild()) {
          // A maximized form covers the work area with its frame just outside.
          RECT area{};
          GetWorkArea(wnd, area);
          ::InflateRect(&area, 4, 4);
          if (FForm->Height() < area.bottom - area.top || FForm->Width() < area.right - area.left)
            FForm->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
        } else if (!FMDIMaxNotified) {
          FMDIMaxNotified = true;
          SendToMDIFrame(WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(wnd), 0);
        }
      } else if (IsMDIChild()) {
        FForm->Repaint();
        if (FMDIMaxNotified) {
          FMDIMaxNotified = false;
          SendToMDIFrame(WM_MDIRESTORE, 0, 0);
        }
      }
      PaintFrame();
      UpdateRegion();
      // A size the user gave the skinned form, as the form would have it
      // without the skin.
      if (FPrepared && !FAdjusting && !::IsZoomed(wnd) && !::IsIconic(wnd)) {
        FOldClientWidth = FForm->ClientWidth() - FAddedClientWidth;
        FOldClientHeight = FForm->ClientHeight() - FAddedClientHeight;
      }
      return;
    }
    case WM_SHOWWINDOW:
      return;
    case CM_FLOAT:
    case CM_RECREATEWND:
      TitleAndBorderFollowForm();
      PaintFrame();
      UpdateRegion();
      return;
    case WM_PARENTNOTIFY:
      if (LOWORD(message.WParam) == WM_CREATE) {
        const bool title = !FForm->Parent() && FForm->BorderStyle() != bsNone;
        if (LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE); style & WS_SYSMENU)
          ::SetWindowLongPtrW(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_SYSMENU));
        if (title != FTitleVisible) {
          TitleAndBorderFollowForm();
          PaintFrame();
        }
      }
      return;
    case WM_NUVSKIN_WINDOWLIST:
      RebuildWindowList();
      return;
    case WM_WINDOWPOSCHANGED:
      if (IsMDIChild())
        if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
            pos && (pos->flags & (SWP_HIDEWINDOW | SWP_SHOWWINDOW)))
          SendToMDIFrame(WM_NUVSKIN_WINDOWLIST, 0, 0);
      return;
    case WM_NUVSKIN_ISHIDDEN:
      message.Result = FHiddenChild ? 1 : 0;
      return;
    default:
      return;
  }
}

// --- Keyboard shortcuts ------------------------------------------------------------------

void TnuvSkinWindowVCL::AppMessage(MSG& msg, bool& handled) {
  if (FDestroying || FFormGoing || !FEngine->SkinningActive()) return;
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return;
  handled = CheckShortCut(msg.message, msg.wParam, msg.lParam);
  // No later handler sees a key that ran a menu item.
  if (handled && FAppEvents) FAppEvents->CancelDispatch();
}

bool TnuvSkinWindowVCL::CheckShortCut(UINT msg, WPARAM key, LPARAM keyData) {
  if (!FForm || !IsFormActive(FForm)) return false;
  if (IsMDIForm()) {
    if (FChildMenu && FChildMenu->IsShortCut(msg, key, keyData)) return true;
    return FMenu && FMenu->IsShortCut(msg, key, keyData);
  }
  return FForm->Active() && FMenu && FMenu->IsShortCut(msg, key, keyData);
}

// --- Helpers --------------------------------------------------------------------------------

TCustomForm* TnuvSkinWindowVCL::MDIFrame() {
  // The form whose client holds this child; in the usual MDI application
  // that is the application's main form.
  if (HWND wnd = GetHandle(); wnd && IsMDIChild())
    if (TCustomForm* frame = FindFormByHandle(::GetParent(::GetParent(wnd))); frame && frame->FormStyle() == fsMDIForm)
      return frame;
  return Application ? Application->MainForm() : nullptr;
}

void TnuvSkinWindowVCL::SendToMDIFrame(UINT msg, WPARAM wParam, LPARAM lParam) {
  TCustomForm* frame = MDIFrame();
  if (frame && frame->HandleAllocated()) ::SendMessageW(frame->Handle(), msg, wParam, lParam);
}

}  // namespace nuvskin
