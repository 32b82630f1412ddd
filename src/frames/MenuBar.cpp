#include "frames/MenuBar.h"

#include <windowsx.h>

#include <algorithm>
#include <set>

#include "draw/NUVSkinUtils.h"
#include "frames/SkinWindowVCL.h"
#include "framework/Callbacks.h"

namespace nuvskin {

namespace {

constexpr LPARAM kAltBit = 0x20000000;

bool HasWideCaption(const TObject* object) {
  const PropInfo* caption = GetPropInfo(object, "Caption");
  return caption && caption->kind == TypeKind::WString && IsWinNT();
}

// The top-level items of a menu, in order.
std::vector<TMenuItem*> TopLevelItems(const TMenu* menu) {
  std::vector<TMenuItem*> items;
  if (!menu) return items;
  TMenuItem* root = menu->Items();
  for (int i = 0; i < root->Count(); ++i)
    if (TMenuItem* item = root->Items(i); item->Parent() == root) items.push_back(item);
  return items;
}

}  // namespace

// --- TnuvSkinMenuBar -----------------------------------------------------------

TnuvSkinMenuBar::TnuvSkinMenuBar(TComponent* owner) : TToolBar(owner) {}

TToolButton* TnuvSkinMenuBar::HotButton() const {
  for (int i = 0; i < ButtonCount(); ++i)
    if (Buttons(i)->Tag() == kMenuBarHotTag) return Buttons(i);
  return nullptr;
}

void TnuvSkinMenuBar::Notification(TComponent* component, TOperation operation) {
  TToolBar::Notification(component, operation);
  // The drop-down the bar makes for a button takes the hot keys of the menu
  // the button's item comes from.
  if (operation == opInsert)
    if (auto* popup = dynamic_cast<TPopupMenu*>(component); popup && popup->Owner() == this)
      popup->OnPopup = TNotifyEvent::Bind(this, &TnuvSkinMenuBar::DropDownPopup);
}

void TnuvSkinMenuBar::DropDownPopup(TObject* sender) {
  auto* popup = dynamic_cast<TPopupMenu*>(sender);
  TToolButton* hot = HotButton();
  if (!popup || !hot || !hot->MenuItem()) return;
  if (TMenu* menu = hot->MenuItem()->GetParentMenu()) popup->SetAutoHotkeys(menu->AutoHotkeys());
}

bool TnuvSkinMenuBar::FilterMessage(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGCHAR:
      // A letter alone is an accelerator only while the user is on the bar.
      if ((m.LParam & kAltBit) == 0 && !HotButton()) {
        m.Result = 0;
        return true;
      }
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
      const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      auto* button = dynamic_cast<TToolButton*>(ControlAtPos(p, false, false));
      if (!button || button->Dragging()) return false;
      TMenuItem* item = button->MenuItem();
      if (!item || item->Count() > 0) return false;
      // The keyboard's "click" of an item without sub-items (at the button's
      // corner) opens nothing; Enter clicks such an item instead. A release
      // over one must not click it a second time.
      if (m.Msg == WM_LBUTTONDOWN) return p.x == button->Left() && p.y == button->Top();
      return static_cast<bool>(item->OnClick);
    }
    case WM_KEYUP:
      if (m.WParam == VK_RETURN) {
        std::vector<TMenuItem*> items;
        for (int i = 0; i < ButtonCount(); ++i)
          if (TToolButton* b = Buttons(i); b->Tag() == kMenuBarHotTag && b->MenuItem() && b->MenuItem()->Count() == 0)
            items.push_back(b->MenuItem());
        for (TMenuItem* item : items) {
          CancelMenu();
          item->Click();
        }
      }
      return false;
    default:
      return false;
  }
}

void TnuvSkinMenuBar::WndProc(TMessage& m) {
  if (!ComponentState().Contains(csDesigning) && FilterMessage(m)) return;
  TToolBar::WndProc(m);
}

// --- TnuvSkinMenuBarControlButton -------------------------------------------------

void TnuvSkinMenuBarControlButton::Publish(ClassBuilder<TnuvSkinMenuBarControlButton>& b) {
  using B = TnuvSkinMenuBarControlButton;
  b.Object("Glyph", &B::Glyph, &B::SetGlyph);
  PublishControl(b, {"Color"});
  b.Integer("ToColor", &B::ToColor, &B::SetToColor).typeName = "TColor";
  PublishControl(b, {"OnClick"});
}

TnuvSkinMenuBarControlButton::TnuvSkinMenuBarControlButton(TComponent* owner)
    : TCustomPanel(owner), FGlyph(new TBitmap()), FBuffer(new TBitmap()) {
  SetBounds(Left(), Top(), 18, 18);
  SetBevelOuter(bvNone);
}

TnuvSkinMenuBarControlButton::~TnuvSkinMenuBarControlButton() {
  TObject::Free(FGlyph);
  TObject::Free(FBuffer);
}

void TnuvSkinMenuBarControlButton::SetGlyph(TBitmap* value) {
  FGlyph->Assign(value);
  Invalidate();
}

void TnuvSkinMenuBarControlButton::SetToColor(TColor value) {
  if (value == FToColor) return;
  FToColor = value;
  Invalidate();
}

void TnuvSkinMenuBarControlButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (m.LParam == 0) {
        FHot = m.Msg == CM_MOUSEENTER;
        Repaint();
      }
      break;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    default:
      break;
  }
  TCustomPanel::WndProc(m);
}

void TnuvSkinMenuBarControlButton::Paint() {
  FGlyph->SetTransparent(true);
  const RECT r = ClientRect();
  if (FBuffer->Width() != r.right || FBuffer->Height() != r.bottom) FBuffer->SetSize(r.right, r.bottom);
  TCanvas* canvas = FBuffer->Canvas();
  if (Color() == FToColor)
    FillRectColor(canvas, r, Color());
  else
    GradientFillV(canvas, r, Color(), FToColor);
  if (!FGlyph->Empty()) {
    if (FHot) FrameRectColor(canvas, r, clBlack);
    canvas->Draw(1, 1, FGlyph);
  }
  Canvas()->Draw(0, 0, FBuffer);
}

// --- The form binding's menu bar --------------------------------------------------

void TnuvSkinWindowVCL::RebuildMenuBar(bool force) {
  if (!FMenuBar) return;
  bool hasImages = false;
  bool rebuild = force;
  if (IsMDIForm()) {
    if (force || FMenu != FShownMenu || FChildMenu != FShownChildMenu) {
      CollectBarItems(FBarItems, FChildMenu, hasImages);
      FShownMenu = FMenu;
      FShownChildMenu = FChildMenu;
      rebuild = true;
    }
  } else if (force || FMenu != FShownMenu) {
    CollectBarItems(FBarItems, nullptr, hasImages);
    FShownMenu = FMenu;
    FShownChildMenu = nullptr;
    rebuild = true;
  }
  if (rebuild) {
    if (!FBarItems.empty())
      BuildBarButtons(FBarItems, hasImages);
    else
      FMenuBar->SetVisible(false);
  }
  if (IsMDIForm()) RebuildWindowList();
}

void TnuvSkinWindowVCL::CollectBarItems(std::vector<TMenuItem*>& list, TMainMenu* childMenu, bool& hasImages) {
  list.clear();
  hasImages = false;
  auto take = [&](TMenuItem* item) {
    list.push_back(item);
    if (item->ImageIndex() != -1) hasImages = true;
  };
  if (!IsMDIForm() || !childMenu) {
    for (TMenuItem* item : TopLevelItems(FMenu)) take(item);
    return;
  }
  if (!FMenu) return;
  // Merged by group index: the child's groups replace the form's, and the
  // child's block goes after the last item of a lower group.
  const std::vector<TMenuItem*> child = TopLevelItems(childMenu);
  std::set<int> groups;
  for (TMenuItem* item : child) groups.insert(item->GroupIndex());
  for (TMenuItem* item : TopLevelItems(FMenu))
    if (!groups.count(item->GroupIndex())) take(item);
  if (child.empty()) return;
  std::size_t at = 0;
  for (std::size_t i = list.size(); i > 0; --i)
    if (list[i - 1]->GroupIndex() < child.front()->GroupIndex()) {
      at = i;
      break;
    }
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), child.begin(), child.end());
  for (TMenuItem* item : child)
    if (item->ImageIndex() != -1) hasImages = true;
}

void TnuvSkinWindowVCL::BuildBarButtons(const std::vector<TMenuItem*>& list, bool hasImages) {
  TnuvSkinMenuBar* bar = FMenuBar;
  bar->SetAutoSize(false);
  bar->SetImages(hasImages ? DefaultMenuImages() : nullptr);
  UseMenuFont(bar->Font());
  bar->SetList(hasImages);
  while (bar->ButtonCount() > 0) TObject::Free(bar->Buttons(bar->ButtonCount() - 1));
  // A new button goes first: the last item is made first.
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    auto* button = nuvskin::Create<TToolButton>(nullptr);
    button->SetParent(bar);
    button->SetGrouped(true);
    button->SetMenuItem(*it);
    button->SetAutoSize(true);
  }
  bar->SetAutoSize(true);
  if (!IsMDIChild() && !bar->Visible()) bar->SetVisible(true);
}

void TnuvSkinWindowVCL::DrawBarBackground(TToolBar* bar, const RECT& rect, bool& /*defaultDraw*/) {
  const TnuvSkinEngine& e = *FEngine;
  if (!bar || !e.SkinningActive()) return;
  // Without a bitmap and with one colour the bar's own colour shows.
  TBitmap* bitmap = e.Skin()->GetBitmap(SkinBitmap::MENUBAR);
  if ((bitmap && !bitmap->Empty()) || e.FMenuColors[0] != e.FMenuColors[1]) PaintMenuBand(bar->Canvas(), rect);
}

void TnuvSkinWindowVCL::DrawBarButton(TToolBar* bar, TToolButton* button, TCustomDrawState state, bool& defaultDraw) {
  const TnuvSkinEngine& e = *FEngine;
  if (!bar || !button || !e.SkinningActive()) return;
  TCanvas* canvas = bar->Canvas();
  const RECT bounds = button->BoundsRect();
  RECT r = bounds;
  UseMenuFont(canvas->Font());
  defaultDraw = false;

  TMenuItem* item = button->MenuItem();
  TCustomImageList* images = nullptr;
  int index = -1;
  if (item) {
    if (TMenu* menu = item->GetParentMenu()) images = menu->Images();
    index = item->ImageIndex();
  }
  const bool hasImage = images && index != -1;
  const int imageWidth = hasImage ? images->Width() : 0;

  if (state.Contains(cdsHot) || state.Contains(cdsSelected)) {
    button->SetTag(kMenuBarHotTag);
    FillRectColor(canvas, r, e.FMenuColors[2]);
    FrameRectColor(canvas, r, e.FMenuColors[3]);
    if (hasImage) r.left += imageWidth;
    r.top += 2;
    canvas->Font()->SetColor(e.FMenuColors[4]);
  } else {
    button->SetTag(0);
    r.top += 2;
    if (hasImage) r.left += imageWidth;
    canvas->Font()->SetColor(state.Contains(cdsDisabled) ? TColor(0x808080) : e.FMenuColors[5]);
  }
  canvas->Brush()->SetStyle(bsClear);
  const UINT format = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
  const HDC dc = canvas->Handle();
  ::SetBkMode(dc, TRANSPARENT);
  const std::wstring text = item && HasWideCaption(item) ? item->Caption() : button->Caption();
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  if (hasImage) images->Draw(canvas, bounds.left + 2, r.top + 2, index, true);
}

}  // namespace nuvskin
