#include "framework/TabControls.h"

#include <algorithm>

namespace nuvskin {

// --- TCustomTabControl --------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  tabs_ = Create<TStringList>();
  tabs_->OnChange = TNotifyEvent::Bind(this, &TCustomTabControl::TabsOnChange);
  auto* canvas = Create<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
}

TCustomTabControl::~TCustomTabControl() {
  TObject::Free(canvas_);
  TObject::Free(tabs_);
}

void TCustomTabControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = WC_TABCONTROLW;
  // Side tabs only work in several rows.
  if (multiLine_ || tabPosition_ == tpLeft || tabPosition_ == tpRight) params.Style |= TCS_MULTILINE;
  switch (tabPosition_) {
    case tpTop: break;
    case tpBottom: params.Style |= TCS_BOTTOM; break;
    case tpLeft: params.Style |= TCS_VERTICAL; break;
    case tpRight: params.Style |= TCS_VERTICAL | TCS_RIGHT; break;
  }
}

void TCustomTabControl::CreateHandle() {
  // Tabs first: the children are laid out in the area the tabs leave.
  ::SendMessageW(WindowHandle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
  if (images_) ::SendMessageW(WindowHandle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  UpdateTabItems();
  TWinControl::CreateHandle();
}

void TCustomTabControl::DestroyWnd() {
  tabIndex_ = TabIndex();
  canvas_->FreeHandle();
  TWinControl::DestroyWnd();
}

void TCustomTabControl::UpdateTabItems() {
  if (!HandleAllocated()) return;
  HWND wnd = WindowHandle();
  ::SendMessageW(wnd, TCM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < tabs_->Count(); ++i) {
    std::wstring text = tabs_->Get(i);
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = images_ ? GetImageIndex(i) : -1;
    ::SendMessageW(wnd, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  if (tabIndex_ >= tabs_->Count() && !IsLoading()) tabIndex_ = tabs_->Count() - 1;
  ::SendMessageW(wnd, TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
  Realign();
}

void TCustomTabControl::TabsOnChange(TObject*) {
  if (tabIndex_ < 0 && tabs_->Count() > 0) tabIndex_ = 0;  // the system selects the first tab too
  UpdateTabItems();
  TabsChanged();
}

void TCustomTabControl::TabsChanged() {}

int TCustomTabControl::TabIndex() const {
  if (HandleAllocated()) tabIndex_ = static_cast<int>(::SendMessageW(WindowHandle(), TCM_GETCURSEL, 0, 0));
  return tabIndex_;
}

void TCustomTabControl::Loaded() {
  TWinControl::Loaded();
  if (tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() - 1;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
}

void TCustomTabControl::SetTabIndex(int value) {
  // While loading, the tabs may come after the index.
  if (value >= tabs_->Count() && !IsLoading()) return;
  tabIndex_ = std::max(-1, value);
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
}

void TCustomTabControl::SetTabPosition(TTabPosition value) {
  if (value == tabPosition_) return;
  tabPosition_ = value;
  tabIndex_ = TabIndex();
  RecreateWnd();
}

void TCustomTabControl::SetMultiLine(bool value) {
  if (value == multiLine_) return;
  multiLine_ = value;
  tabIndex_ = TabIndex();
  RecreateWnd();
}

void TCustomTabControl::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_) images_->FreeNotification(this);
  if (HandleAllocated()) {
    ::SendMessageW(WindowHandle(), TCM_SETIMAGELIST, 0,
                   reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
    UpdateTabItems();
  }
}

void TCustomTabControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) SetImages(nullptr);
}

RECT TCustomTabControl::DisplayRect() {
  RECT r = ClientRect();
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

RECT TCustomTabControl::TabRect(int index) {
  RECT r{};
  if (HandleAllocated() &&
      !::SendMessageW(WindowHandle(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
    r = RECT{};
  return r;
}

int TCustomTabControl::IndexOfTabAt(int x, int y) {
  if (!HandleAllocated()) return -1;
  TCHITTESTINFO hit{{x, y}, 0};
  return static_cast<int>(::SendMessageW(WindowHandle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void TCustomTabControl::AlignControls(TControl* control, RECT& rect) {
  rect = DisplayRect();
  TWinControl::AlignControls(control, rect);
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

void TCustomTabControl::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    switch (reinterpret_cast<NMHDR*>(m.LParam)->code) {
      case TCN_SELCHANGING:
        m.Result = CanChange() ? FALSE : TRUE;
        return;
      case TCN_SELCHANGE:
        TabIndex();
        m.Result = 0;
        Change();
        return;
      default:
        break;
    }
  }
  TWinControl::WndProc(m);
}

void TTabControl::Publish(ClassBuilder<TTabControl>& b) {
  PublishControl(b, {"Align", "Anchors", "BiDiMode", "Constraints", "Enabled", "Font", "Hint", "ParentBiDiMode",
                     "ParentFont", "PopupMenu", "Visible", "TabOrder", "TabStop", "OnEnter", "OnExit",
                     "OnResize"});
  b.Object("Images", &TTabControl::Images, &TTabControl::SetImages);
  b.Boolean("MultiLine", &TTabControl::MultiLine, &TTabControl::SetMultiLine);
  b.Integer("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex);
  b.Enum("TabPosition", &TTabControl::TabPosition, &TTabControl::SetTabPosition);
  b.Object("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs);
  b.Event("OnChange", &TTabControl::OnChange);
}

// --- TTabSheet ----------------------------------------------------------------

void TTabSheet::Publish(ClassBuilder<TTabSheet>& b) {
  PublishControl(b, {"Caption", "Enabled", "Font", "Hint", "ParentFont", "PopupMenu", "OnEnter", "OnExit",
                     "OnResize"});
  b.Integer("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).typeName = "TImageIndex";
  b.Integer("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).stored = false;
  b.Boolean("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  SetAlign(alClient);
  SetVisible(false);
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
}

void TTabSheet::BeforeDestruction() {
  if (pageControl_) pageControl_->RemovePage(this);
  TWinControl::BeforeDestruction();
}

void TTabSheet::SetPageControl(TPageControl* value) { SetParent(value); }

void TTabSheet::SetParent(TWinControl* parent) {
  TWinControl::SetParent(parent);
  auto* pages = dynamic_cast<TPageControl*>(parent);
  if (pages == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  if (pages) pages->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int value) {
  if (pageControl_) pageControl_->MovePage(this, value);
}

int TTabSheet::TabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  int index = 0;
  for (TTabSheet* page : pageControl_->pages_) {
    if (page == this) return index;
    if (page->tabVisible_) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool value) {
  if (value == tabVisible_) return;
  tabVisible_ = value;
  if (!pageControl_) return;
  if (!value && pageControl_->ActivePage() == this) {
    TTabSheet* next = pageControl_->FindNextPage(this, true, true);
    pageControl_->SetActivePage(next != this ? next : nullptr);
  }
  pageControl_->UpdateTabs();
}

void TTabSheet::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  if (pageControl_) pageControl_->UpdateTabs();
}

void TTabSheet::SetText(const std::wstring& value) {
  TWinControl::SetText(value);
  if (pageControl_) pageControl_->UpdateTabs();
}

// --- TPageControl -------------------------------------------------------------

void TPageControl::Publish(ClassBuilder<TPageControl>& b) {
  PublishControl(b, {"Align", "Anchors", "BiDiMode", "Constraints", "Enabled", "Font", "Hint", "ParentBiDiMode",
                     "ParentFont", "PopupMenu", "Visible", "TabOrder", "TabStop", "OnEnter", "OnExit",
                     "OnResize"});
  b.Object("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  b.Object("Images", &TPageControl::Images, &TPageControl::SetImages);
  b.Boolean("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine);
  b.Enum("TabPosition", &TPageControl::TabPosition, &TPageControl::SetTabPosition);
  b.Event("OnChange", &TPageControl::OnChange);
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError("Page index out of bounds (" + IntToStr(index) + ")");
  return pages_[static_cast<std::size_t>(index)];
}

TTabSheet* TPageControl::PageForTab(int tabIndex) const {
  if (tabIndex < 0) return nullptr;
  for (TTabSheet* page : pages_)
    if (page->TabVisible() && tabIndex-- == 0) return page;
  return nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->pageControl_ = this;
  UpdateTabs();
  // A page control with pages always shows one.
  if (!activePage_ && page->TabVisible()) SetActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  TTabSheet* next = nullptr;
  if (page == activePage_ && !IsDestroying()) {
    next = FindNextPage(page, true, true);
    if (next == page) next = nullptr;
  }
  pages_.erase(it);
  page->pageControl_ = nullptr;
  if (page == activePage_) activePage_ = nullptr;
  if (IsDestroying()) return;
  UpdateTabs();
  if (next) SetActivePage(next);
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  index = std::clamp(index, 0, static_cast<int>(pages_.size()));
  pages_.insert(pages_.begin() + index, page);
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  TStrings* tabs = Tabs();
  tabs->BeginUpdate();
  try {
    tabs->Clear();
    for (TTabSheet* page : pages_)
      if (page->TabVisible()) tabs->AddObject(page->Caption(), page);
  } catch (...) {
    tabs->EndUpdate();
    throw;
  }
  tabs->EndUpdate();
  SetTabIndex(activePage_ ? activePage_->TabIndex() : -1);
}

int TPageControl::GetImageIndex(int tabIndex) {
  TTabSheet* page = PageForTab(tabIndex);
  return page ? page->ImageIndex() : -1;
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->PageControl() != this) return;
  // The focus must not stay in a page that is about to hide.
  if (activePage_ && activePage_ != page && activePage_->HandleAllocated()) {
    HWND focus = ::GetFocus();
    HWND old = activePage_->Handle();
    if (focus && (focus == old || ::IsChild(old, focus)) && CanFocus()) SetFocus();
  }
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
  }
  activePage_ = page;
  for (TTabSheet* other : pages_)
    if (other != page) other->SetVisible(false);
  SetTabIndex(page ? page->TabIndex() : -1);
}

void TPageControl::SetActivePageIndex(int value) {
  SetActivePage(value >= 0 && value < PageCount() ? Pages(value) : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
  const int count = PageCount();
  if (count == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), current);
  int start = it == pages_.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
  int i = start;
  do {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* page = pages_[static_cast<std::size_t>(i)];
    if (!checkTabVisible || page->TabVisible()) return page;
  } while (i != start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
  if (page && page != activePage_ && CanChange()) {
    SetActivePage(page);
    TCustomTabControl::Change();
  }
}

void TPageControl::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0 && HandleAllocated()) {
    HWND focus = ::GetFocus();
    if (focus && (focus == Handle() || ::IsChild(Handle(), focus))) {
      SelectNextPage(::GetKeyState(VK_SHIFT) >= 0);
      m.Result = 1;
      return;
    }
  }
  TCustomTabControl::WndProc(m);
}

void TPageControl::Change() {
  if (TTabSheet* page = PageForTab(TabIndex())) SetActivePage(page);
  TCustomTabControl::Change();
}

}  // namespace nuvskin
