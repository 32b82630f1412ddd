#include "framework/ToolBar.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/Callbacks.h"
#include "framework/Forms.h"

namespace nuvskin {

namespace {

// The bar in menu mode on this thread (one at a time, like menus) and the
// bar whose drop-down is open.
thread_local TToolBar* tMenuModeBar = nullptr;
thread_local TToolBar* tTrackingBar = nullptr;

constexpr LPARAM kAltBit = LPARAM{1} << 29;

bool IsButtonDown(UINT msg) {
  return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_NCLBUTTONDOWN ||
         msg == WM_NCRBUTTONDOWN || msg == WM_NCMBUTTONDOWN;
}

bool OpensDropDown(const TToolButton* b) {
  return (b->MenuItem() && b->MenuItem()->Count() > 0) || b->DropdownMenu();
}

}  // namespace

// --- TToolWindow ------------------------------------------------------------

TToolWindow::TToolWindow(TComponent* owner) : TWinControl(owner) {}

void TToolWindow::SetEdgeBorders(TEdgeBorders value) {
  if (value == edgeBorders_) return;
  edgeBorders_ = value;
  EdgesChanged();
}

void TToolWindow::SetEdgeInner(TEdgeStyle value) {
  if (value == edgeInner_) return;
  edgeInner_ = value;
  EdgesChanged();
}

void TToolWindow::SetEdgeOuter(TEdgeStyle value) {
  if (value == edgeOuter_) return;
  edgeOuter_ = value;
  EdgesChanged();
}

void TToolWindow::SetBorderWidth(int value) {
  value = std::max(0, value);
  if (value == borderWidth_) return;
  borderWidth_ = value;
  EdgesChanged();
}

RECT TToolWindow::NonClientInsets() const {
  const int edge = (edgeInner_ != esNone ? 1 : 0) + (edgeOuter_ != esNone ? 1 : 0);
  RECT r{borderWidth_, borderWidth_, borderWidth_, borderWidth_};
  if (edgeBorders_.Contains(ebLeft)) r.left += edge;
  if (edgeBorders_.Contains(ebTop)) r.top += edge;
  if (edgeBorders_.Contains(ebRight)) r.right += edge;
  if (edgeBorders_.Contains(ebBottom)) r.bottom += edge;
  return r;
}

void TToolWindow::EdgesChanged() {
  if (!HandleAllocated()) return;
  ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Realign();
}

void TToolWindow::PaintEdges() {
  HWND wnd = Handle();
  win::WindowDC dc(wnd, win::WindowDC::Area::Window);
  if (!dc) return;
  RECT window;
  ::GetWindowRect(wnd, &window);
  ::OffsetRect(&window, -window.left, -window.top);
  const RECT in = NonClientInsets();
  if (in.left == 0 && in.top == 0 && in.right == 0 && in.bottom == 0) return;
  win::SavedDCState state(dc.Get());
  ::ExcludeClipRect(dc.Get(), in.left, in.top, window.right - in.right, window.bottom - in.bottom);
  win::UniqueBrush brush(::CreateSolidBrush(ColorToRGB(Color())));
  ::FillRect(dc.Get(), &window, brush.Get());
  UINT edge = 0;
  if (edgeInner_ == esRaised) edge |= BDR_RAISEDINNER;
  if (edgeInner_ == esLowered) edge |= BDR_SUNKENINNER;
  if (edgeOuter_ == esRaised) edge |= BDR_RAISEDOUTER;
  if (edgeOuter_ == esLowered) edge |= BDR_SUNKENOUTER;
  UINT sides = 0;
  if (edgeBorders_.Contains(ebLeft)) sides |= BF_LEFT;
  if (edgeBorders_.Contains(ebTop)) sides |= BF_TOP;
  if (edgeBorders_.Contains(ebRight)) sides |= BF_RIGHT;
  if (edgeBorders_.Contains(ebBottom)) sides |= BF_BOTTOM;
  if (edge && sides) ::DrawEdge(dc.Get(), &window, edge, sides);
}

void TToolWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE: {
      DefaultHandler(m);
      RECT* r = m.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0] : reinterpret_cast<RECT*>(m.LParam);
      const RECT in = NonClientInsets();
      r->left += in.left;
      r->top += in.top;
      r->right = std::max(r->left, r->right - in.right);
      r->bottom = std::max(r->top, r->bottom - in.bottom);
      return;
    }
    case WM_NCPAINT:
      DefaultHandler(m);
      PaintEdges();
      return;
    case WM_ERASEBKGND:
      // The native bars leave parts of their client area unpainted.
      if (TransparentBackground()) break;
      {
        RECT r;
        ::GetClientRect(Handle(), &r);
        win::UniqueBrush brush(::CreateSolidBrush(ColorToRGB(Color())));
        ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush.Get());
        m.Result = 1;
      }
      return;
    default:
      TWinControl::WndProc(m);
  }
}

// --- TToolButton --------------------------------------------------------------

void TToolButton::Publish(ClassBuilder<TToolButton>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Caption", "Enabled", "PopupMenu", "Visible", "OnClick",
                     "OnDblClick"});
  b.Boolean("AutoSize", &TToolButton::AutoSize, &TToolButton::SetAutoSize).defaultOrd = 0;
  b.Boolean("Down", &TToolButton::Down, &TToolButton::SetDown).defaultOrd = 0;
  b.Object("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu);
  b.Boolean("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).defaultOrd = 0;
  b.Integer("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).typeName = "TImageIndex";
  b.Boolean("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate).defaultOrd = 0;
  b.Boolean("Marked", &TToolButton::Marked, &TToolButton::SetMarked).defaultOrd = 0;
  b.Object("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem);
  b.Enum("Style", &TToolButton::Style, &TToolButton::SetStyle).defaultOrd = tbsButton;
  b.Boolean("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap).defaultOrd = 0;
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner), command_(0) {
  // The bar turns presses into clicks (or drop-downs); the generic windowless
  // click on button-up would click a second time.
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  TGraphicControl::SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

int TToolButton::Index() const {
  TToolBar* bar = ToolBar();
  if (!bar) return -1;
  auto it = std::find(bar->buttons_.begin(), bar->buttons_.end(), this);
  return it == bar->buttons_.end() ? -1 : static_cast<int>(it - bar->buttons_.begin());
}

void TToolButton::Changed(bool layout) {
  if (TToolBar* bar = ToolBar()) bar->ButtonChanged(this, layout);
}

void TToolButton::SetStyle(TToolButtonStyle value) {
  if (value == style_) return;
  style_ = value;
  Changed(true);
}

void TToolButton::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  Changed(true);
}

void TToolButton::SetGrouped(bool value) {
  if (value == grouped_) return;
  grouped_ = value;
  Changed(true);
}

bool TToolButton::Down() const { return down_; }

void TToolButton::SetDown(bool value) {
  if (value == down_) return;
  down_ = value;
  TToolBar* bar = ToolBar();
  if (value && grouped_ && style_ == tbsCheck && bar) {
    // One button of a run of grouped check buttons is down.
    const int i = Index();
    auto inGroup = [](TToolButton* b) { return b->grouped_ && b->style_ == tbsCheck; };
    for (int j = i - 1; j >= 0 && inGroup(bar->buttons_[j]); --j) bar->buttons_[j]->SetDown(false);
    for (int j = i + 1; j < bar->ButtonCount() && inGroup(bar->buttons_[j]); ++j) bar->buttons_[j]->SetDown(false);
  }
  Changed(false);
}

void TToolButton::SetIndeterminate(bool value) {
  if (value == indeterminate_) return;
  indeterminate_ = value;
  Changed(false);
}

void TToolButton::SetMarked(bool value) {
  if (value == marked_) return;
  marked_ = value;
  Changed(false);
}

void TToolButton::SetWrap(bool value) {
  if (value == wrap_) return;
  wrap_ = value;
  Changed(true);
}

void TToolButton::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  Changed(true);
}

void TToolButton::SetDropdownMenu(TPopupMenu* value) {
  if (value == dropdownMenu_) return;
  dropdownMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TToolButton::SetMenuItem(TMenuItem* value) {
  if (value == menuItem_) return;
  menuItem_ = value;
  if (!value) return;
  value->FreeNotification(this);
  TGraphicControl::SetText(value->Caption());
  TGraphicControl::SetEnabled(value->Enabled());
  TGraphicControl::SetVisible(value->Visible());
  imageIndex_ = value->ImageIndex();
  Changed(true);
}

void TToolButton::SetBounds(int left, int top, int width, int height) {
  TToolBar* bar = ToolBar();
  if (!bar || bar->updatingLayout_ > 0 || Index() < 0) {
    TGraphicControl::SetBounds(left, top, width, height);
    return;
  }
  // On a bar the native button decides the place; a separator takes a width.
  if ((style_ == tbsSeparator || style_ == tbsDivider) && width != Width() && width >= 0) {
    separatorWidth_ = width;
    Changed(true);
  }
}

void TToolButton::SetEnabled(bool value) {
  if (value == Enabled()) return;
  TGraphicControl::SetEnabled(value);
  Changed(false);
}

void TToolButton::SetVisible(bool value) {
  if (value == Visible()) return;
  TGraphicControl::SetVisible(value);
  Changed(true);
}

void TToolButton::SetText(const std::wstring& value) {
  if (value == GetText()) return;
  TGraphicControl::SetText(value);
  Changed(true);
}

void TToolButton::Click() {
  TGraphicControl::Click();
  if (menuItem_ && menuItem_->Count() == 0) menuItem_->Click();
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == dropdownMenu_) dropdownMenu_ = nullptr;
  if (component == menuItem_) menuItem_ = nullptr;
}

// --- TToolBar: properties -----------------------------------------------------

void TToolBar::Publish(ClassBuilder<TToolBar>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode", "Color", "Constraints",
                     "Enabled", "Font", "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu", "Visible",
                     "TabStop", "TabOrder", "OnClick", "OnDblClick", "OnResize"});
  b.Boolean("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize).defaultOrd = 0;
  b.Integer("BorderWidth", &TToolBar::BorderWidth, &TToolBar::SetBorderWidth).typeName = "TBorderWidth";
  b.Integer("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).defaultOrd = 22;
  b.Integer("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).defaultOrd = 23;
  b.Object("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
  b.SetOf("EdgeBorders", "TEdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders);
  b.Enum("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner, "TEdgeStyle").defaultOrd = esRaised;
  b.Enum("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter, "TEdgeStyle").defaultOrd = esLowered;
  b.Boolean("Flat", &TToolBar::Flat, &TToolBar::SetFlat).defaultOrd = 0;
  b.Object("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
  b.Object("Images", &TToolBar::Images, &TToolBar::SetImages);
  b.Integer("Indent", &TToolBar::Indent, &TToolBar::SetIndent).defaultOrd = 0;
  b.Boolean("List", &TToolBar::List, &TToolBar::SetList).defaultOrd = 0;
  b.Boolean("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).defaultOrd = 0;
  b.Boolean("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent).defaultOrd = 0;
  b.Boolean("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).defaultOrd = 1;
}

TToolBar::TToolBar(TComponent* owner) : TToolWindow(owner) {
  SetEdgeBorders(TEdgeBorders{ebTop});
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  SetBounds(0, 0, 150, 29);
  SetColor(clBtnFace);
  SetAlign(alTop);
  auto* canvas = Create<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
}

TToolBar::~TToolBar() {
  CancelMenu();
  TObject::Free(canvas_);
}

void TToolBar::BeforeDestruction() {
  CancelMenu();
  // The buttons go with the bar; their removal needs no native update.
  buttons_.clear();
  TToolWindow::BeforeDestruction();
}

TToolButton* TToolBar::Buttons(int index) const {
  if (index < 0 || index >= ButtonCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return buttons_[static_cast<std::size_t>(index)];
}

bool TToolBar::HasButton(const TToolButton* button) const {
  return button && std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end();
}

void TToolBar::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  UpdateStyle();
}

void TToolBar::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  UpdateStyle();
}

void TToolBar::SetList(bool value) {
  if (value == list_) return;
  list_ = value;
  UpdateStyle();
}

void TToolBar::SetWrapable(bool value) {
  if (value == wrapable_) return;
  wrapable_ = value;
  UpdateStyle();
}

void TToolBar::SetShowCaptions(bool value) {
  if (value == showCaptions_) return;
  showCaptions_ = value;
  AddNativeButtons();
}

void TToolBar::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  UpdateLayout();
}

void TToolBar::SetIndent(int value) {
  if (value == indent_) return;
  indent_ = value;
  if (HandleAllocated()) ::SendMessageW(Handle(), TB_SETINDENT, static_cast<WPARAM>(value), 0);
  UpdateLayout();
}

void TToolBar::SetButtonWidth(int value) {
  if (value == buttonWidth_) return;
  buttonWidth_ = value;
  AddNativeButtons();
}

void TToolBar::SetButtonHeight(int value) {
  if (value == buttonHeight_) return;
  buttonHeight_ = value;
  AddNativeButtons();
}

void TToolBar::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  images_ = value;
  if (value) value->FreeNotification(this);
  UpdateImages();
}

void TToolBar::SetHotImages(TCustomImageList* value) {
  if (value == hotImages_) return;
  hotImages_ = value;
  if (value) value->FreeNotification(this);
  UpdateImages();
}

void TToolBar::SetDisabledImages(TCustomImageList* value) {
  if (value == disabledImages_) return;
  disabledImages_ = value;
  if (value) value->FreeNotification(this);
  UpdateImages();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TToolWindow::Notification(component, operation);
  if (operation != opRemove) return;
  bool images = false;
  if (component == images_) images_ = nullptr, images = true;
  if (component == hotImages_) hotImages_ = nullptr, images = true;
  if (component == disabledImages_) disabledImages_ = nullptr, images = true;
  if (images && !IsDestroying()) UpdateImages();
}

// --- TToolBar: the native tool bar --------------------------------------------

void TToolBar::CreateParams(TCreateParams& params) {
  TToolWindow::CreateParams(params);
  params.SysClassName = TOOLBARCLASSNAMEW;
  // The framework places and sizes the bar; the edges are its own.
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (flat_) params.Style |= TBSTYLE_FLAT;
  if (transparent_) params.Style |= TBSTYLE_TRANSPARENT;
  if (list_) params.Style |= TBSTYLE_LIST;
  if (wrapable_) params.Style |= TBSTYLE_WRAPABLE;
}

void TToolBar::CreateHandle() {
  HWND wnd = WindowHandle();
  ::SendMessageW(wnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageW(wnd, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  ::SendMessageW(wnd, TB_SETINDENT, static_cast<WPARAM>(indent_), 0);
  TToolWindow::CreateHandle();
  UpdateImages();
}

void TToolBar::UpdateStyle() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  DWORD style = static_cast<DWORD>(::SendMessageW(wnd, TB_GETSTYLE, 0, 0));
  auto apply = [&style](DWORD bit, bool on) { style = on ? (style | bit) : (style & ~bit); };
  apply(TBSTYLE_FLAT, flat_);
  apply(TBSTYLE_TRANSPARENT, transparent_);
  apply(TBSTYLE_LIST, list_);
  apply(TBSTYLE_WRAPABLE, wrapable_);
  ::SendMessageW(wnd, TB_SETSTYLE, 0, static_cast<LPARAM>(style));
  AddNativeButtons();
  ::InvalidateRect(wnd, nullptr, TRUE);
}

void TToolBar::UpdateImages() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  ::SendMessageW(wnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  ::SendMessageW(wnd, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotImages_ ? hotImages_->Handle() : nullptr));
  ::SendMessageW(wnd, TB_SETDISABLEDIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(disabledImages_ ? disabledImages_->Handle() : nullptr));
  // Without images the buttons keep no room for them.
  const int w = images_ ? images_->Width() : 0, h = images_ ? images_->Height() : 0;
  ::SendMessageW(wnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(w, h));
  AddNativeButtons();
}

TBBUTTON TToolBar::NativeButton(TToolButton* b, std::wstring& text) const {
  TBBUTTON t{};
  t.idCommand = b->command_;
  BYTE state = 0;
  if (b->Enabled()) state |= TBSTATE_ENABLED;
  if (b->down_) state |= b->style_ == tbsCheck ? TBSTATE_CHECKED : TBSTATE_PRESSED;
  if (b == trackedButton_) state |= TBSTATE_PRESSED;
  if (b->indeterminate_) state |= TBSTATE_INDETERMINATE;
  if (b->marked_) state |= TBSTATE_MARKED;
  if (b->wrap_) state |= TBSTATE_WRAP;
  if (!b->Visible()) state |= TBSTATE_HIDDEN;
  t.fsState = state;
  text.clear();
  t.iString = -1;
  switch (b->style_) {
    case tbsSeparator:
    case tbsDivider:
      t.fsStyle = BTNS_SEP;
      t.iBitmap = b->separatorWidth_;
      return t;
    case tbsCheck: t.fsStyle = BTNS_CHECK | (b->grouped_ ? BTNS_GROUP : 0); break;
    case tbsDropDown: t.fsStyle = BTNS_DROPDOWN; break;
    case tbsButton: t.fsStyle = BTNS_BUTTON; break;
  }
  if (b->autoSize_) t.fsStyle |= BTNS_AUTOSIZE;
  t.iBitmap = images_ && b->imageIndex_ >= 0 ? b->imageIndex_ : I_IMAGENONE;
  if (showCaptions_) text = b->Caption();
  if (!text.empty()) t.iString = reinterpret_cast<INT_PTR>(text.c_str());
  return t;
}

void TToolBar::AddNativeButtons() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  while (::SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0) > 0) ::SendMessageW(wnd, TB_DELETEBUTTON, 0, 0);
  ::SendMessageW(wnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth_, buttonHeight_));
  std::wstring text;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    TBBUTTON t = NativeButton(buttons_[i], text);
    ::SendMessageW(wnd, TB_INSERTBUTTONW, i, reinterpret_cast<LPARAM>(&t));
  }
  UpdateLayout();
}

void TToolBar::InsertButton(TToolButton* button) {
  if (HasButton(button)) return;
  button->command_ = nextCommand_++;
  if (nextCommand_ > 0xFFFF) nextCommand_ = 1;
  // Before the first button on a later row, or at or right of it on its row.
  std::size_t index = buttons_.size();
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const TToolButton* e = buttons_[i];
    const bool laterRow = e->Top() > button->Top() + button->Height() / 2;
    const bool sameRow = !laterRow && e->Top() + e->Height() > button->Top();
    if (laterRow || (sameRow && e->Left() >= button->Left())) {
      index = i;
      break;
    }
  }
  buttons_.insert(buttons_.begin() + static_cast<std::ptrdiff_t>(index), button);
  if (!HandleAllocated()) {
    // Until the native bar lays them out, the buttons stand in a row so that
    // the next one finds its place among them.
    ++updatingLayout_;
    int x = indent_;
    for (TToolButton* b : buttons_) {
      b->TGraphicControl::SetBounds(x, 0, b->Width(), b->Height());
      x += b->Width();
    }
    --updatingLayout_;
    return;
  }
  std::wstring text;
  TBBUTTON t = NativeButton(button, text);
  ::SendMessageW(Handle(), TB_INSERTBUTTONW, index, reinterpret_cast<LPARAM>(&t));
  UpdateLayout();
}

void TToolBar::RemoveButton(TToolButton* button) {
  auto it = std::find(buttons_.begin(), buttons_.end(), button);
  if (it == buttons_.end()) return;
  const auto index = static_cast<WPARAM>(it - buttons_.begin());
  buttons_.erase(it);
  if (hotButton_ == button) hotButton_ = nullptr;
  if (trackedButton_ == button) trackedButton_ = nullptr;
  if (switchTo_ == button) switchTo_ = nullptr;
  if (!HandleAllocated()) return;
  ::SendMessageW(Handle(), TB_DELETEBUTTON, index, 0);
  UpdateLayout();
}

void TToolBar::ButtonChanged(TToolButton* button, bool layout) {
  if (!HandleAllocated()) return;
  const int index = button->Index();
  if (index < 0) return;
  HWND wnd = Handle();
  std::wstring text;
  TBBUTTON t = NativeButton(button, text);
  if (layout) {
    ::SendMessageW(wnd, TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
    ::SendMessageW(wnd, TB_INSERTBUTTONW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&t));
    UpdateLayout();
  } else {
    ::SendMessageW(wnd, TB_SETSTATE, static_cast<WPARAM>(t.idCommand), MAKELPARAM(t.fsState, 0));
  }
}

void TToolBar::UpdateLayout() {
  if (!HandleAllocated() || updatingLayout_ > 0 || IsDestroying()) return;
  HWND wnd = Handle();
  ++updatingLayout_;
  try {
    ::SendMessageW(wnd, TB_AUTOSIZE, 0, 0);
    int bottom = -1;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
      RECT r{};
      if (!::SendMessageW(wnd, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r))) continue;
      buttons_[i]->TGraphicControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
      if (buttons_[i]->Visible()) bottom = std::max(bottom, static_cast<int>(r.bottom));
    }
    if (autoSize_ && bottom >= 0) {
      RECT window, client;
      ::GetWindowRect(wnd, &window);
      ::GetClientRect(wnd, &client);
      const int frame = (window.bottom - window.top) - client.bottom;
      SetHeight(bottom + frame);
    }
  } catch (...) {
    --updatingLayout_;
    throw;
  }
  --updatingLayout_;
}

TToolButton* TToolBar::FindButton(int command) const {
  for (TToolButton* b : buttons_)
    if (b->command_ == command) return b;
  return nullptr;
}

TToolButton* TToolBar::ButtonAtPos(POINT client) const {
  auto* self = const_cast<TToolBar*>(this);
  auto* b = dynamic_cast<TToolButton*>(self->ControlAtPos(client, false, false));
  if (b && (b->style_ == tbsSeparator || b->style_ == tbsDivider)) return nullptr;
  return b;
}

TToolButton* TToolBar::FindButtonFromAccel(wchar_t key) const {
  if (!showCaptions_) return nullptr;
  for (TToolButton* b : buttons_)
    if (b->Visible() && b->Enabled() && IsAccel(key, b->Caption())) return b;
  return nullptr;
}

TToolButton* TToolBar::NextMenuButton(TToolButton* from, bool forward) const {
  const int n = ButtonCount();
  if (n == 0) return nullptr;
  auto it = std::find(buttons_.begin(), buttons_.end(), from);
  int i = it == buttons_.end() ? (forward ? -1 : n) : static_cast<int>(it - buttons_.begin());
  for (int step = 0; step < n; ++step) {
    i = forward ? (i + 1) % n : (i - 1 + n) % n;
    TToolButton* b = buttons_[static_cast<std::size_t>(i)];
    if (b->Visible() && b->Enabled() && b->menuItem_) return b;
  }
  return nullptr;
}

// --- TToolBar: messages ---------------------------------------------------------

void TToolBar::CustomDraw(TMessage& m) {
  auto* cd = reinterpret_cast<NMTBCUSTOMDRAW*>(m.LParam);
  // Handlers draw on the bar's canvas over the DC of this paint.
  auto drawOn = [this](HDC dc, const std::function<void()>& draw) {
    win::SavedDCState state(dc);
    CanvasBinding binding(canvas_, dc);
    draw();
  };
  m.Result = CDRF_DODEFAULT;
  try {
    switch (cd->nmcd.dwDrawStage) {
      case CDDS_PREPAINT: {
        m.Result = CDRF_NOTIFYITEMDRAW;
        if (!OnCustomDraw) return;
        bool defaultDraw = true;
        const RECT client = ClientRect();
        drawOn(cd->nmcd.hdc, [&] { OnCustomDraw(this, client, defaultDraw); });
        if (!defaultDraw) m.Result = CDRF_SKIPDEFAULT;
        return;
      }
      case CDDS_ITEMPREPAINT: {
        cd->clrText = ColorToRGB(Font()->Color());
        if (!OnCustomDrawButton) return;
        TToolButton* b = FindButton(static_cast<int>(cd->nmcd.dwItemSpec));
        if (!b) return;
        bool defaultDraw = true;
        const TCustomDrawState state = CustomDrawStateFromItemState(cd->nmcd.uItemState);
        drawOn(cd->nmcd.hdc, [&] { OnCustomDrawButton(this, b, state, defaultDraw); });
        if (!defaultDraw) m.Result = CDRF_SKIPDEFAULT;
        return;
      }
      default:
        return;
    }
  } catch (...) {
    // Painting never raises: a failed handler leaves the bar's own drawing.
    m.Result = CDRF_DODEFAULT;
  }
}

void TToolBar::HandleMouse(TMessage& m) {
  const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  TToolButton* b = ButtonAtPos(p);
  // A double click on a menu button is a second press, not a native click.
  const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
  if (press && !ComponentState().Contains(csDesigning)) {
    if (b && b->menuItem_) {
      if (b->menuItem_->Count() > 0) {
        TrackMenu(b);
      } else {
        // A menu item without sub-items is clicked on the press, as in menus.
        CancelMenu();
        b->Click();
      }
      m.Result = 0;
      return;
    }
    if (b && b->dropdownMenu_ && b->style_ != tbsDropDown) {
      TrackMenu(b);
      m.Result = 0;
      return;
    }
    if (menuActive_) CancelMenu();
  }
  DefaultHandler(m);
  // The button's own mouse events (OnMouseDown...); its clicks come from the bar.
  if (b && HasButton(b)) b->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - b->Left(), p.y - b->Top()));
}

void TToolBar::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) {
    HandleMouse(m);
    return;
  }
  if (menuActive_ && !tracking_ && HandleMenuKey(m)) return;
  LRESULT menuResult = 0;
  if ((m.Msg == WM_INITMENUPOPUP || m.Msg == WM_MEASUREITEM || m.Msg == WM_DRAWITEM || m.Msg == WM_MENUCHAR) &&
      HandleMenuMessage(nullptr, m.Msg, m.WParam, m.LParam, menuResult)) {
    m.Result = menuResult;
    return;
  }
  switch (m.Msg) {
    case WM_MENUSELECT: {
      const UINT flags = HIWORD(m.WParam);
      selectedMenu_ = reinterpret_cast<HMENU>(m.LParam);
      selectedOpensPopup_ = flags != 0xFFFF && (flags & MF_POPUP) != 0;
      DefaultHandler(m);
      return;
    }
    case WM_MOUSELEAVE:
      DefaultHandler(m);  // the native bar ends its hot tracking
      return;
    case WM_SIZE:
      TToolWindow::WndProc(m);
      UpdateLayout();
      return;
    case CM_CONTROLLISTCHANGE:
      if (auto* b = dynamic_cast<TToolButton*>(reinterpret_cast<TControl*>(m.WParam))) {
        if (m.LParam)
          InsertButton(b);
        else
          RemoveButton(b);
      }
      break;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      // A bar that cannot be seen or used leaves menu mode.
      if (!Visible() || !Enabled()) CancelMenu();
      break;
    case WM_SETFONT:
      // The native bar measures its buttons with the new font.
      TToolWindow::WndProc(m);
      AddNativeButtons();
      return;
    case CM_DIALOGCHAR:
      if (!ComponentState().Contains(csDesigning) && Enabled() && Showing()) {
        if (TToolButton* b = FindButtonFromAccel(static_cast<wchar_t>(m.WParam))) {
          const bool alt = (m.LParam & kAltBit) != 0;
          if (b->menuItem_) {
            // A menu button answers Alt plus its letter, or the letter alone
            // while the keyboard is on the bar.
            if (alt || menuActive_) {
              EnterMenuMode(b);
              ClickButton(b);
              m.Result = 1;
              return;
            }
          } else if (b->dropdownMenu_ && b->style_ != tbsDropDown) {
            ClickButton(b);
            m.Result = 1;
            return;
          } else {
            b->Click();
            m.Result = 1;
            return;
          }
        }
      }
      break;
    case CN_COMMAND:
      if (TToolButton* b = FindButton(LOWORD(m.WParam))) {
        // The native bar toggled check buttons (and their group) itself.
        for (TToolButton* c : buttons_)
          if (c->style_ == tbsCheck) c->down_ = ::SendMessageW(Handle(), TB_ISBUTTONCHECKED, c->command_, 0) != 0;
        b->Click();
      }
      m.Result = 0;
      return;
    case CN_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(m.LParam);
      if (header->code == NM_CUSTOMDRAW) {
        CustomDraw(m);
        return;
      }
      if (header->code == TBN_DROPDOWN) {
        auto* nm = reinterpret_cast<NMTOOLBARW*>(m.LParam);
        TToolButton* b = FindButton(nm->iItem);
        if (b && b->dropdownMenu_) {
          TrackMenu(b);
          m.Result = TBDDRET_DEFAULT;
        } else {
          m.Result = TBDDRET_NODEFAULT;
        }
        return;
      }
      break;
    }
    default:
      break;
  }
  TToolWindow::WndProc(m);
}

// --- TToolBar: menu mode ----------------------------------------------------------

void TToolBar::ClickButton(TToolButton* button) {
  if (!button || !HandleAllocated()) return;
  const POINT p = ScreenToClient(button->ClientToScreen(POINT{0, 0}));
  ::PostMessageW(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
}

void TToolBar::SetHotButton(TToolButton* button) {
  hotButton_ = button;
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  const int index = button ? button->Index() : -1;
  ::SendMessageW(wnd, TB_SETHOTITEM, static_cast<WPARAM>(index), 0);
  // Drawn now, so that the custom-draw handlers see the new state at once.
  ::UpdateWindow(wnd);
}

TToolButton* TToolBar::CurrentMenuButton() const {
  if (HandleAllocated()) {
    const auto hot = static_cast<int>(::SendMessageW(WindowHandle(), TB_GETHOTITEM, 0, 0));
    if (hot >= 0 && hot < ButtonCount()) return buttons_[static_cast<std::size_t>(hot)];
  }
  return hotButton_;
}

void TToolBar::EnterMenuMode(TToolButton* hot) {
  if (!HandleAllocated()) return;
  if (!menuActive_) {
    if (tMenuModeBar && tMenuModeBar != this) tMenuModeBar->CancelMenu();
    menuActive_ = true;
    tMenuModeBar = this;
    keyHook_.Reset(::SetWindowsHookExW(WH_GETMESSAGE, &TToolBar::MenuKeyProc, nullptr, ::GetCurrentThreadId()));
    // The keyboard's button stays highlighted when the mouse leaves the bar.
    ::SendMessageW(Handle(), TB_SETANCHORHIGHLIGHT, TRUE, 0);
  }
  SetHotButton(hot);
}

void TToolBar::CancelMenu() {
  if (tracking_ && trackedMenu_) {
    switchTo_ = nullptr;
    escaped_ = false;
    ::EndMenu();
  }
  if (!menuActive_) return;
  menuActive_ = false;
  keyHook_.Reset();
  if (tMenuModeBar == this) tMenuModeBar = nullptr;
  hotButton_ = nullptr;
  if (HandleAllocated() && !IsDestroying()) {
    ::SendMessageW(Handle(), TB_SETANCHORHIGHLIGHT, FALSE, 0);
    SetHotButton(nullptr);
  }
}

void TToolBar::TrackMenu(TToolButton* button) {
  if (tracking_ || !HasButton(button) || ComponentState().Contains(csDesigning) || !HandleAllocated()) return;
  EnterMenuMode(button);
  tracking_ = true;
  UINT command = 0;
  TToolButton* next = button;
  try {
    while (next && menuActive_ && HasButton(next)) next = DropDown(next, command);
  } catch (...) {
    tracking_ = false;
    CancelMenu();
    throw;
  }
  tracking_ = false;
  if (command != 0) {
    CancelMenu();
    // Clicked once every menu has closed; the item may be gone by now.
    if (TMenuItem* item = TMenuItem::FromCommand(command)) item->Click();
  }
}

TToolButton* TToolBar::DropDown(TToolButton* button, UINT& command) {
  switchTo_ = nullptr;
  escaped_ = false;
  selectedMenu_ = nullptr;
  selectedOpensPopup_ = false;
  if (!::GetCursorPos(&lastMousePos_)) lastMousePos_ = POINT{-1, -1};
  SetHotButton(button);
  TMenuItem* source = button->menuItem_;
  if (source) {
    // As a menu bar does before a drop-down: the item may update its sub-items.
    if (source->Count() > 0) source->Click();
    if (!HasButton(button) || button->menuItem_ != source) return nullptr;
    if (source->Count() == 0) return nullptr;  // nothing to drop down: the button stays highlighted
  } else if (!button->dropdownMenu_) {
    return nullptr;
  }

  // A menu item's sub-items drop down in a popup menu owned by the bar.
  TPopupMenu* temp = nullptr;
  TPopupMenu* menu = button->dropdownMenu_;
  if (source) {
    temp = Create<TPopupMenu>(this);
    if (TMenu* from = source->GetParentMenu()) {
      temp->SetImages(from->Images());
      temp->SetOwnerDraw(from->OwnerDraw());
      temp->SetBiDiMode(from->BiDiMode());
      temp->SetAutoHotkeys(from->AutoHotkeys());
    }
    if (source->SubMenuImages()) temp->SetImages(source->SubMenuImages());
    while (source->Count() > 0) {
      TMenuItem* item = source->Items(0);
      source->Delete(0);
      temp->Items()->Add(item);
    }
    menu = temp;
  }
  auto restore = [&] {
    if (!temp) return;
    const bool alive = HasButton(button) && button->menuItem_ == source;
    while (alive && temp->Items()->Count() > 0) {
      TMenuItem* item = temp->Items()->Items(0);
      temp->Items()->Delete(0);
      source->Add(item);
    }
    FreeAndNil(temp);
  };

  trackedButton_ = button;
  UINT chosen = 0;
  try {
    ::SendMessageW(Handle(), TB_PRESSBUTTON, static_cast<WPARAM>(button->command_), TRUE);
    ::UpdateWindow(Handle());
    if (menu->OnPopup) menu->OnPopup(menu);
    const RECT r = button->BoundsRect();
    POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
    ::ClientToScreen(Handle(), &topLeft);
    ::ClientToScreen(Handle(), &bottomRight);
    TPMPARAMS params{sizeof(params), RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}};
    const bool rtl = menu->IsRightToLeft();
    const UINT flags = TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_VERTICAL | TPM_TOPALIGN |
                       (rtl ? TPM_RIGHTALIGN | TPM_LAYOUTRTL : TPM_LEFTALIGN);
    trackedMenu_ = menu->Handle();
    TToolBar* savedTracking = tTrackingBar;
    tTrackingBar = this;
    {
      win::UniqueHook filter(
          ::SetWindowsHookExW(WH_MSGFILTER, &TToolBar::MenuFilterProc, nullptr, ::GetCurrentThreadId()));
      chosen = static_cast<UINT>(::TrackPopupMenuEx(trackedMenu_, flags, rtl ? bottomRight.x : topLeft.x,
                                                    bottomRight.y, Handle(), &params));
    }
    tTrackingBar = savedTracking;
    trackedMenu_ = nullptr;
  } catch (...) {
    tTrackingBar = nullptr;
    trackedMenu_ = nullptr;
    trackedButton_ = nullptr;
    restore();
    throw;
  }
  trackedButton_ = nullptr;
  restore();
  if (HasButton(button) && HandleAllocated())
    ::SendMessageW(Handle(), TB_PRESSBUTTON, static_cast<WPARAM>(button->command_), FALSE);

  if (chosen != 0) {
    command = chosen;
    return nullptr;
  }
  if (switchTo_ && HasButton(switchTo_)) return switchTo_;
  // Esc leaves the keyboard on the button; anything else ends menu mode.
  if (!escaped_) CancelMenu();
  return nullptr;
}

bool TToolBar::FilterMenuMessage(const MSG& msg) {
  if (!trackedButton_ || !HandleAllocated()) return false;
  switch (msg.message) {
    case WM_KEYDOWN: {
      if (msg.wParam == VK_ESCAPE) {
        if (!selectedMenu_ || selectedMenu_ == trackedMenu_) escaped_ = true;
        return false;
      }
      if (msg.wParam != VK_LEFT && msg.wParam != VK_RIGHT) return false;
      bool forward = msg.wParam == VK_RIGHT;
      // Within the drop-down the arrows open and close sub-menus first.
      if (forward && selectedOpensPopup_) return false;
      if (!forward && selectedMenu_ && selectedMenu_ != trackedMenu_) return false;
      if (UseRightToLeftAlignment()) forward = !forward;
      TToolButton* next = NextMenuButton(trackedButton_, forward);
      if (!next || next == trackedButton_) return false;
      switchTo_ = next;
      ::EndMenu();
      return true;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: {
      if (msg.message == WM_MOUSEMOVE) {
        // Menus report moves when they open, too: only a real move counts.
        if (msg.pt.x == lastMousePos_.x && msg.pt.y == lastMousePos_.y) return false;
        lastMousePos_ = msg.pt;
      }
      if (::WindowFromPoint(msg.pt) != WindowHandle()) return false;
      POINT p = msg.pt;
      ::ScreenToClient(WindowHandle(), &p);
      TToolButton* b = ButtonAtPos(p);
      if (!b) return false;
      if (b == trackedButton_) {
        if (msg.message != WM_LBUTTONDOWN) return false;
        ::EndMenu();  // a press on its own button closes the drop-down
        return true;
      }
      // Moving onto another menu button opens its drop-down instead.
      if (!b->menuItem_ || !b->Enabled()) return false;
      switchTo_ = b;
      ::EndMenu();
      return true;
    }
    default:
      return false;
  }
}

LRESULT CALLBACK TToolBar::MenuFilterProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == MSGF_MENU && tTrackingBar && lParam &&
      GuardHook(false, [&] { return tTrackingBar->FilterMenuMessage(*reinterpret_cast<MSG*>(lParam)); }))
    return TRUE;
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void TToolBar::FilterKeyModeMessage(MSG& msg) {
  if (tracking_ || !HandleAllocated()) return;
  HWND wnd = WindowHandle();
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    // Menu mode owns the keyboard, as a menu bar does.
    msg.hwnd = wnd;
    return;
  }
  const bool clickedElsewhere = IsButtonDown(msg.message) && msg.hwnd != wnd;
  const bool deactivated = ::GetActiveWindow() != ::GetAncestor(wnd, GA_ROOT);
  if (clickedElsewhere || deactivated) CancelMenu();
}

LRESULT CALLBACK TToolBar::MenuKeyProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HC_ACTION && wParam == PM_REMOVE && tMenuModeBar && lParam)
    GuardHook(0, [&] {
      tMenuModeBar->FilterKeyModeMessage(*reinterpret_cast<MSG*>(lParam));
      return 0;
    });
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool TToolBar::HandleMenuKey(TMessage& m) {
  switch (m.Msg) {
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
    case CN_SYSCHAR:
      // No shortcuts or dialog keys while the keyboard is on the bar.
      m.Result = 0;
      return true;
    case WM_KEYDOWN: {
      TToolButton* current = CurrentMenuButton();
      switch (m.WParam) {
        case VK_LEFT:
        case VK_RIGHT: {
          const bool forward = (m.WParam == VK_RIGHT) != UseRightToLeftAlignment();
          if (TToolButton* next = NextMenuButton(current, forward)) SetHotButton(next);
          break;
        }
        case VK_DOWN:
        case VK_UP:
          if (current && OpensDropDown(current)) ClickButton(current);
          break;
        case VK_ESCAPE:
          CancelMenu();
          break;
        default:
          break;
      }
      m.Result = 0;
      return true;
    }
    case WM_KEYUP:
      if (m.WParam == VK_RETURN) {
        TToolButton* current = CurrentMenuButton();
        if (current && OpensDropDown(current)) {
          ClickButton(current);
        } else if (current) {
          CancelMenu();
          current->Click();
        }
      }
      m.Result = 0;
      return true;
    case WM_CHAR:
    case WM_SYSCHAR:
      m.Result = Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
      if (!m.Result) ::MessageBeep(0);
      m.Result = 0;
      return true;
    case WM_SYSKEYDOWN:
      if (m.WParam == VK_MENU || m.WParam == VK_F10) CancelMenu();
      m.Result = 0;
      return true;
    case WM_SYSKEYUP:
      m.Result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace nuvskin
