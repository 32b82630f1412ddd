// The MDI side of the form binding: the client window's procedure, cascading
// and tiling of skinned children, the child buttons on the frame's menu bar
// row, and the window list.
#include <algorithm>

#include "draw/NUVSkinUtils.h"
#include "frames/MenuBar.h"
#include "frames/SkinWindowVCL.h"
#include "skin/LibraryBitmaps.h"

namespace nuvskin {

namespace {

// Button i (1 close, 2 restore, 3 minimize) has tag -1380 - i.
constexpr int kMDIButtonTagBase = -1380;
constexpr int kMDICloseTag = kMDIButtonTagBase - 1;
constexpr int kMDIRestoreTag = kMDIButtonTagBase - 2;
constexpr int kMDIMinimizeTag = kMDIButtonTagBase - 3;
constexpr int kMDIButtonSize = 18;
constexpr int kCascadeStep = 22;

// Posted to the client once a child has been made (and when the frame is
// first skinned): by then the child's form is whole and can be skinned.
UINT SkinChildrenMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"nuvskin.SkinMDIChildren");
  return message;
}

}  // namespace

void TnuvSkinWindowVCL::CreateMDIButtons() {
  TBitmap glyphs;
  LoadLibraryBitmap(&glyphs, L"NUVSKIN_MDI_CONTROLER");
  glyphs.SetTransparent(true);
  int x = FForm->Width() - 25;
  for (int i = 1; i <= 3; ++i) {
    auto* button = nuvskin::Create<TnuvSkinMenuBarControlButton>(nullptr);
    FMDIButtons[i - 1] = button;
    FMDIButtonLinks[i - 1].Watch(button, [this, i](TComponent*) { FMDIButtons[i - 1] = nullptr; });
    button->SetVisible(false);
    button->SetParent(FForm);
    button->SetAnchors(TAnchors{akTop, akRight});
    // The bitmap holds minimize, restore and close, left to right.
    TBitmap glyph;
    if (!glyphs.Empty()) CutFrame(&glyphs, &glyph, 3, 4 - i);
    button->SetGlyph(&glyph);
    button->SetLeft(x);
    button->SetTop(1);
    button->SetTag(kMDIButtonTagBase - i);
    button->OnClick = TNotifyEvent::Bind(this, &TnuvSkinWindowVCL::MDIButtonClick);
    button->SetColor(FButtonColor);
    button->SetToColor(FButtonColor2);
    button->BringToFront();
    x -= kMDIButtonSize;
  }
  if (HWND client = FForm->ClientHandle(); client && !FClientSubclass.Attached()) {
    FClientSubclass.Attach(
        client, [this](UINT msg, WPARAM wParam, LPARAM lParam) { return ClientWndProc(msg, wParam, lParam); }, this);
    ::PostMessageW(client, SkinChildrenMessage(), 0, 0);
  }
}

void TnuvSkinWindowVCL::SkinMDIChildren() {
  // The platform does not activate MDI children the way the hook sees it:
  // the children of a skinned frame are skinned here.
  TnuvSkinEngine& e = *FEngine;
  for (int i = FForm->MDIChildCount() - 1; i >= 0; --i) {
    TCustomForm* child = FForm->MDIChildren(i);
    if (child->IsDestroying() || child->Tag() == e.DisabledTag() ||
        ::SendMessageW(child->Handle(), WM_NUVSKIN_QUERY, 0, 0) != 0)
      continue;
    try {
      e.AddFrameSkin(child->Handle(), false);
    } catch (...) {
      // That child keeps its own frame; the others are still skinned.
    }
  }
}

void TnuvSkinWindowVCL::FreeMDIButtons() {
  for (int i = 0; i < 3; ++i) {
    FMDIButtonLinks[i].Reset();
    FreeAndNil(FMDIButtons[i]);
  }
}

LRESULT TnuvSkinWindowVCL::ClientWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == SkinChildrenMessage()) {
    if (!FDestroying && !FFormGoing && FEngine->SkinningActive() && FAllowed && FSkinned) SkinMDIChildren();
    return 0;
  }
  const int childrenBefore = msg == WM_MDIDESTROY && FForm ? FForm->MDIChildCount() : 0;
  LRESULT result = FClientSubclass.CallNext(msg, wParam, lParam);
  if (FDestroying || FFormGoing || !FEngine->SkinningActive() || !FAllowed) return result;
  switch (msg) {
    case WM_MDICASCADE:
      Cascade();
      break;
    case WM_MDITILE:
      Tile(wParam != 0);
      break;
    case WM_MDIDESTROY:
      // The last child went: the bar shows the frame's own menu again.
      if (childrenBefore == 1) {
        ::SendMessageW(GetHandle(), WM_NUVSKIN_CHILDMENU, reinterpret_cast<WPARAM>(GetHandle()), 0);
        HideMDIButtons();
      }
      break;
    case WM_MDICREATE:
      RebuildWindowList();
      ::PostMessageW(FForm->ClientHandle(), SkinChildrenMessage(), 0, 0);
      break;
    case WM_NUVSKIN_MDITITLE:
      result = FOldCaptionHeight;
      break;
    case WM_NUVSKIN_MDISIDE:
      result = FOldSideBorder;
      break;
    case WM_NUVSKIN_MDIBOTTOM:
      result = FOldBottomBorder;
      break;
    default:
      break;
  }
  return result;
}

void TnuvSkinWindowVCL::Cascade() {
  if (!FForm) return;
  const int width = static_cast<int>(FForm->ClientWidth() * 0.8);
  const int height = static_cast<int>(FForm->ClientHeight() * 0.6);
  int x = 0, y = 0;
  for (int i = FForm->MDIChildCount() - 1; i >= 0; --i) {
    TCustomForm* child = FForm->MDIChildren(i);
    if (child->WindowState() == wsMinimized) continue;
    child->SetBounds(x, y, width, height);
    x += kCascadeStep;
    y += kCascadeStep;
  }
}

void TnuvSkinWindowVCL::Tile(bool horizontal) {
  if (!FForm) return;
  const int count = FForm->MDIChildCount();
  std::vector<TCustomForm*> shown;
  for (int i = count - 1; i >= 0; --i)
    if (TCustomForm* child = FForm->MDIChildren(i); child->WindowState() != wsMinimized) shown.push_back(child);
  const int n = static_cast<int>(shown.size());
  if (n == 0) return;
  int available = FForm->ClientHeight();
  for (int i = 0; i < FForm->ControlCount(); ++i)
    if (TControl* c = FForm->Controls(i); c->Visible() && (c->Align() == alTop || c->Align() == alBottom))
      available -= c->Height();
  if (n < count) available -= 25;  // the row of minimized children
  if (horizontal) {
    const int rowHeight = available / n - (count == 1 ? 2 : 0);
    const int width = FForm->ClientWidth() - 4;
    int y = 0;
    for (TCustomForm* child : shown) {
      child->SetBounds(0, y, width, rowHeight - 2);
      y += rowHeight - 2;
    }
  } else {
    const int columnWidth = FForm->ClientWidth() / n - (count == 1 ? 2 : 0);
    int x = 0;
    for (TCustomForm* child : shown) {
      child->SetBounds(x, 0, columnWidth - 2, available - 4);
      x += columnWidth - 2;
    }
  }
}

void TnuvSkinWindowVCL::PlaceMDIButtons() {
  if (!FForm || !FMDIButtons[0]) return;
  int x = FForm->Width() - FEngine->FRightBorderWidth - 26;
  // The control shift that follows adds the menu bar's height: the buttons
  // end at the bottom of the menu bar row.
  const int top = -std::min(GetMenuBarHeight(), FMDIButtons[0]->Height());
  for (TnuvSkinMenuBarControlButton* button : FMDIButtons) {
    if (!button) continue;
    button->SetBounds(x, top, button->Width(), button->Height());
    button->BringToFront();
    button->SetColor(FButtonColor);
    button->SetToColor(FButtonColor2);
    x -= kMDIButtonSize;
  }
}

void TnuvSkinWindowVCL::ShowMDIButtons() {
  TCustomForm* child = FForm ? FForm->ActiveMDIChild() : nullptr;
  if (!child) return;
  const TBorderIcons icons = child->BorderIcons();
  const bool visible[3] = {icons.Contains(biSystemMenu), icons.Contains(biMaximize), icons.Contains(biMinimize)};
  for (int i = 0; i < 3; ++i) {
    TnuvSkinMenuBarControlButton* button = FMDIButtons[i];
    if (!button) continue;
    button->SetVisible(visible[i]);
    button->SetColor(FButtonColor);
    button->SetToColor(FButtonColor2);
    button->BringToFront();
  }
}

void TnuvSkinWindowVCL::HideMDIButtons() {
  for (TnuvSkinMenuBarControlButton* button : FMDIButtons)
    if (button) button->SetVisible(false);
}

void TnuvSkinWindowVCL::MDIButtonClick(TObject* sender) {
  auto* button = dynamic_cast<TnuvSkinMenuBarControlButton*>(sender);
  if (!button || std::find(std::begin(FMDIButtons), std::end(FMDIButtons), button) == std::end(FMDIButtons)) return;
  TCustomForm* child = FForm ? FForm->ActiveMDIChild() : nullptr;
  if (!child) return;
  switch (button->Tag()) {
    case kMDIMinimizeTag:
      ::ShowWindow(child->Handle(), SW_SHOWMINIMIZED);
      break;
    case kMDIRestoreTag:
      child->SetWindowState(wsNormal);
      break;
    case kMDICloseTag:
      child->Close();
      break;
    default:
      return;
  }
  if (Application) Application->ProcessMessages();
}

void TnuvSkinWindowVCL::RebuildWindowList() {
  if (!FForm || !IsMDIForm() || !FMenu || !FForm->WindowMenu()) return;
  for (TMenuItem* item : std::exchange(FWindowListItems, {})) TObject::Free(item);
  TMenuItem* windowMenu = FForm->WindowMenu();
  auto* separator = nuvskin::Create<TMenuItem>(FForm);
  separator->SetCaption(L"-");
  FWindowListItems.push_back(separator);
  windowMenu->Add(separator);
  TCustomForm* active = FForm->ActiveMDIChild();
  for (int i = 0; i < FForm->MDIChildCount(); ++i) {
    TCustomForm* child = FForm->MDIChildren(i);
    if (child->IsDestroying() || !child->Visible() ||
        (child->HandleAllocated() && ::SendMessageW(child->Handle(), WM_NUVSKIN_ISHIDDEN, 0, 0) == 1))
      continue;
    auto* item = nuvskin::Create<TMenuItem>(FForm);
    FWindowListItems.push_back(item);
    item->SetCaption(child->Caption());
    item->SetTag(reinterpret_cast<std::intptr_t>(child));
    item->OnClick = TNotifyEvent::Bind(this, &TnuvSkinWindowVCL::ActivateWindowListItem);
    windowMenu->Add(item);
    item->SetChecked(child == active);
  }
}

void TnuvSkinWindowVCL::ActivateWindowListItem(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item || !FForm) return;
  // The child is taken only while it is still one of the frame's children.
  auto* wanted = reinterpret_cast<TCustomForm*>(item->Tag());
  for (int i = 0; i < FForm->MDIChildCount(); ++i) {
    TCustomForm* child = FForm->MDIChildren(i);
    if (child != wanted) continue;
    if (child->WindowState() == wsMinimized) child->SetWindowState(wsNormal);
    child->BringToFront();
    return;
  }
}

}  // namespace nuvskin
