#include "framework/TreeView.h"

#include <algorithm>
#include <cstring>

namespace nuvskin {

// --- TTreeNode ----------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* owner) : owner_(owner) {}

TTreeNode::~TTreeNode() {
  TCustomTreeView* tree = TreeView();
  if (tree) tree->NodeGoing(this);
  // One window call removes the whole branch; the children then only go.
  if (item_ && tree && tree->HandleAllocated())
    ::SendMessageW(tree->WindowHandle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item_));
  std::vector<TTreeNode*> stack{this};
  while (!stack.empty()) {
    TTreeNode* n = stack.back();
    stack.pop_back();
    n->item_ = nullptr;
    stack.insert(stack.end(), n->children_.begin(), n->children_.end());
  }
  while (!children_.empty()) TObject::Free(children_.back());
  if (owner_) {
    auto& siblings = owner_->SiblingsOf(parent_);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

TCustomTreeView* TTreeNode::TreeView() const { return owner_ ? owner_->Owner() : nullptr; }

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError("Tree node index out of bounds (" + IntToStr(index) + ")");
  return children_[static_cast<std::size_t>(index)];
}

int TTreeNode::Index() const {
  const auto& siblings = owner_->SiblingsOf(parent_);
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

int TTreeNode::Level() const {
  int level = 0;
  for (TTreeNode* p = parent_; p; p = p->parent_) ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  int index = 0;
  for (TTreeNode* n = owner_->GetFirstNode(); n; n = n->GetNext(), ++index)
    if (n == this) return index;
  return -1;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& siblings = owner_->SiblingsOf(parent_);
  auto it = std::find(siblings.begin(), siblings.end(), this);
  return it != siblings.end() && it + 1 != siblings.end() ? *(it + 1) : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* next = n->GetNextSibling()) return next;
  return nullptr;
}

void TTreeNode::UpdateItem(UINT mask) {
  TCustomTreeView* tree = TreeView();
  if (!item_ || !tree || !tree->HandleAllocated()) return;
  TVITEMW item{};
  item.mask = mask;
  item.hItem = item_;
  item.pszText = text_.data();
  item.iImage = imageIndex_;
  item.iSelectedImage = selectedIndex_;
  ::SendMessageW(tree->WindowHandle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::SetText(const std::wstring& value) {
  text_ = value;
  UpdateItem(TVIF_TEXT);
}

void TTreeNode::SetImageIndex(int value) {
  imageIndex_ = value;
  UpdateItem(TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int value) {
  selectedIndex_ = value;
  UpdateItem(TVIF_SELECTEDIMAGE);
}

bool TTreeNode::Expanded() const {
  TCustomTreeView* tree = TreeView();
  if (item_ && tree && tree->HandleAllocated())
    return (::SendMessageW(tree->WindowHandle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_),
                           TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  return expanded_ && HasChildren();
}

void TTreeNode::SetExpanded(bool value) {
  expanded_ = value;
  TCustomTreeView* tree = TreeView();
  if (item_ && tree && tree->HandleAllocated())
    ::SendMessageW(tree->WindowHandle(), TVM_EXPAND, value ? TVE_EXPAND : TVE_COLLAPSE,
                   reinterpret_cast<LPARAM>(item_));
}

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (TTreeNode* child : children_) child->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  SetExpanded(false);
  if (recurse)
    for (TTreeNode* child : children_) child->Collapse(true);
}

bool TTreeNode::Selected() const {
  TCustomTreeView* tree = TreeView();
  return tree && tree->Selected() == this;
}

void TTreeNode::SetSelected(bool value) {
  TCustomTreeView* tree = TreeView();
  if (!tree) return;
  if (value)
    tree->SetSelected(this);
  else if (Selected())
    tree->SetSelected(nullptr);
}

RECT TTreeNode::DisplayRect(bool textOnly) const {
  RECT r{};
  TCustomTreeView* tree = TreeView();
  if (!item_ || !tree || !tree->HandleAllocated()) return r;
  // The message takes the item in the rectangle's place.
  std::memcpy(&r, &item_, sizeof(item_));
  if (!::SendMessageW(tree->WindowHandle(), TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&r))) r = RECT{};
  return r;
}

// --- TTreeNodes ---------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}

TTreeNodes::~TTreeNodes() { Clear(); }

int TTreeNodes::Count() const {
  int count = 0;
  for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext()) ++count;
  return count;
}

TTreeNode* TTreeNodes::Item(int index) const {
  TTreeNode* n = index >= 0 ? GetFirstNode() : nullptr;
  for (int i = 0; n && i < index; ++i) n = n->GetNext();
  if (!n) throw EListError("Tree node index out of bounds (" + IntToStr(index) + ")");
  return n;
}

TTreeNode* TTreeNodes::AddNode(TTreeNode* parent, int index, const std::wstring& text) {
  auto* node = Create<TTreeNode>(this);
  node->parent_ = parent;
  node->text_ = text;
  auto& siblings = SiblingsOf(parent);
  index = std::clamp(index, 0, static_cast<int>(siblings.size()));
  siblings.insert(siblings.begin() + index, node);
  if (owner_) owner_->InsertItem(node);
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::wstring& text) {
  TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
  return AddNode(parent, static_cast<int>(SiblingsOf(parent).size()), text);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::wstring& text) {
  return AddNode(sibling ? sibling->parent_ : nullptr, 0, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::wstring& text) {
  return AddNode(parent, static_cast<int>(SiblingsOf(parent).size()), text);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::wstring& text) { return AddNode(parent, 0, text); }

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::wstring& text) {
  if (!sibling) return Add(nullptr, text);
  return AddNode(sibling->parent_, sibling->Index(), text);
}

void TTreeNodes::Clear() {
  while (!roots_.empty()) TObject::Free(roots_.back());
}

// --- TCustomTreeView ----------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  items_ = Create<TTreeNodes>(this);
}

TCustomTreeView::~TCustomTreeView() {
  // The window goes first, so that removing the nodes costs no window calls.
  DestroyHandle();
  TObject::Free(items_);
}

void TCustomTreeView::SetItems(TTreeNodes* value) {
  if (value == items_) return;
  items_->Clear();
  if (!value) return;
  // Copy branch by branch, depth first.
  std::vector<std::pair<TTreeNode*, TTreeNode*>> stack;  // source, new parent
  for (auto it = value->roots_.rbegin(); it != value->roots_.rend(); ++it) stack.emplace_back(*it, nullptr);
  while (!stack.empty()) {
    auto [source, parent] = stack.back();
    stack.pop_back();
    TTreeNode* copy = items_->AddChild(parent, source->text_);
    copy->imageIndex_ = source->imageIndex_;
    copy->selectedIndex_ = source->selectedIndex_;
    copy->data_ = source->data_;
    copy->UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE);
    for (auto it = source->children_.rbegin(); it != source->children_.rend(); ++it) stack.emplace_back(*it, copy);
  }
}

void TCustomTreeView::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = WC_TREEVIEWW;
  params.ExStyle |= BorderExStyle(borderStyle_);
  if (showLines_) params.Style |= TVS_HASLINES;
  if (showButtons_) params.Style |= TVS_HASBUTTONS;
  if (showRoot_) params.Style |= TVS_LINESATROOT;
  if (!hideSelection_) params.Style |= TVS_SHOWSELALWAYS;
  if (!readOnly_) params.Style |= TVS_EDITLABELS;
  if (rowSelect_) params.Style |= TVS_FULLROWSELECT;
}

void TCustomTreeView::CreateHandle() {
  TWinControl::CreateHandle();
  HWND wnd = WindowHandle();
  ::SendMessageW(wnd, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  ::SendMessageW(wnd, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Font()->Color())));
  if (images_) ::SendMessageW(wnd, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_->Handle()));
  TTreeNode* selected = selected_;
  restoring_ = true;
  try {
    for (TTreeNode* root : items_->roots_) InsertItems(root);
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext())
      if (n->expanded_ && n->HasChildren())
        ::SendMessageW(wnd, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(n->item_));
    if (selected) SetSelected(selected);
  } catch (...) {
    restoring_ = false;
    throw;
  }
  restoring_ = false;
}

void TCustomTreeView::ColorChanged() {
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  TWinControl::ColorChanged();
}

void TCustomTreeView::FontChanged() {
  TWinControl::FontChanged();
  if (HandleAllocated())
    ::SendMessageW(WindowHandle(), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Font()->Color())));
}

void TCustomTreeView::DestroyWnd() {
  if (HandleAllocated()) {
    selected_ = Selected();
    for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) n->expanded_ = n->Expanded();
  }
  TWinControl::DestroyWnd();
  for (TTreeNode* n = items_->GetFirstNode(); n; n = n->GetNext()) n->item_ = nullptr;
}

void TCustomTreeView::InsertItem(TTreeNode* node) {
  if (!HandleAllocated()) return;
  TVINSERTSTRUCTW insert{};
  insert.hParent = node->parent_ ? node->parent_->item_ : TVI_ROOT;
  const int index = node->Index();
  insert.hInsertAfter = index == 0 ? TVI_FIRST : node->owner_->SiblingsOf(node->parent_)[index - 1]->item_;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = node->text_.data();
  insert.item.iImage = node->imageIndex_;
  insert.item.iSelectedImage = node->selectedIndex_;
  insert.item.lParam = reinterpret_cast<LPARAM>(node);
  node->item_ = reinterpret_cast<HTREEITEM>(
      ::SendMessageW(WindowHandle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  // A parent that waited for its first child to be expanded opens now.
  TTreeNode* parent = node->parent_;
  if (parent && parent->expanded_ && parent->children_.size() == 1 && parent->item_)
    ::SendMessageW(WindowHandle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent->item_));
}

void TCustomTreeView::InsertItems(TTreeNode* node) {
  std::vector<TTreeNode*> stack{node};
  while (!stack.empty()) {
    TTreeNode* n = stack.back();
    stack.pop_back();
    InsertItem(n);
    stack.insert(stack.end(), n->children_.rbegin(), n->children_.rend());
  }
}

void TCustomTreeView::NodeGoing(TTreeNode* node) {
  if (!selected_) return;
  for (TTreeNode* p = selected_; p; p = p->parent_)
    if (p == node) {
      selected_ = nullptr;
      return;
    }
}

TTreeNode* TCustomTreeView::NodeFromItem(HTREEITEM item) const {
  if (!item || !HandleAllocated()) return nullptr;
  TVITEMW tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!::SendMessageW(WindowHandle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
  return reinterpret_cast<TTreeNode*>(tv.lParam);
}

TTreeNode* TCustomTreeView::Selected() const {
  if (HandleAllocated())
    selected_ = NodeFromItem(reinterpret_cast<HTREEITEM>(
        ::SendMessageW(WindowHandle(), TVM_GETNEXTITEM, TVGN_CARET, 0)));
  return selected_;
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (node && node->owner_ != items_) return;
  selected_ = node;
  if (HandleAllocated())
    ::SendMessageW(WindowHandle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

void TCustomTreeView::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_) images_->FreeNotification(this);
  if (HandleAllocated())
    ::SendMessageW(WindowHandle(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                   reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == images_) SetImages(nullptr);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomTreeView::SetStyleFlag(bool& flag, bool value) {
  if (flag == value) return;
  flag = value;
  RecreateWnd();
}

void TCustomTreeView::SetShowLines(bool value) { SetStyleFlag(showLines_, value); }
void TCustomTreeView::SetShowButtons(bool value) { SetStyleFlag(showButtons_, value); }
void TCustomTreeView::SetShowRoot(bool value) { SetStyleFlag(showRoot_, value); }
void TCustomTreeView::SetHideSelection(bool value) { SetStyleFlag(hideSelection_, value); }
void TCustomTreeView::SetReadOnly(bool value) { SetStyleFlag(readOnly_, value); }
void TCustomTreeView::SetRowSelect(bool value) { SetStyleFlag(rowSelect_, value); }

void TCustomTreeView::FullExpand() {
  for (TTreeNode* root : items_->roots_) root->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* root : items_->roots_) root->Collapse(true);
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) {
  if (!HandleAllocated()) return nullptr;
  TVHITTESTINFO hit{{x, y}, 0, nullptr};
  auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(WindowHandle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return hit.flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT) ? NodeFromItem(item)
                                                                                             : nullptr;
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
  if (OnChange) OnChange(this, node);
}

void TCustomTreeView::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    // A window on its way out reports its items going (the nodes stay); a
    // new one reports the restored state, which is no change.
    if (ControlState().Contains(csDestroyingHandle) || IsDestroying() || restoring_) {
      m.Result = 0;
      return;
    }
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    auto* tv = reinterpret_cast<NMTREEVIEWW*>(m.LParam);
    switch (hdr->code) {
      case TVN_SELCHANGINGW:
      case TVN_SELCHANGINGA:
        m.Result = CanChange(reinterpret_cast<TTreeNode*>(tv->itemNew.lParam)) ? FALSE : TRUE;
        return;
      case TVN_SELCHANGEDW:
      case TVN_SELCHANGEDA:
        selected_ = reinterpret_cast<TTreeNode*>(tv->itemNew.lParam);
        m.Result = 0;
        Change(selected_);
        return;
      case TVN_ITEMEXPANDEDW:
      case TVN_ITEMEXPANDEDA: {
        auto* node = reinterpret_cast<TTreeNode*>(tv->itemNew.lParam);
        m.Result = 0;
        if (!node) return;
        node->expanded_ = (tv->itemNew.state & TVIS_EXPANDED) != 0;
        if (node->expanded_ && OnExpanded) OnExpanded(this, node);
        if (!node->expanded_ && OnCollapsed) OnCollapsed(this, node);
        return;
      }
      case TVN_ENDLABELEDITW: {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(m.LParam);
        auto* node = reinterpret_cast<TTreeNode*>(info->item.lParam);
        m.Result = FALSE;
        if (node && info->item.pszText) {
          node->text_ = info->item.pszText;
          m.Result = TRUE;  // the window takes the new text
        }
        return;
      }
      default:
        break;
    }
  }
  TWinControl::WndProc(m);
}

void TTreeView::Publish(ClassBuilder<TTreeView>& b) {
  PublishControl(b, {"Align", "Anchors", "BevelEdges", "BiDiMode", "Color", "Constraints", "Enabled", "Font",
                     "Hint", "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu", "Visible", "TabOrder",
                     "TabStop", "OnClick", "OnDblClick", "OnEnter", "OnExit"});
  PublishBorderStyle(b);
  b.Boolean("HideSelection", &TTreeView::HideSelection, &TTreeView::SetHideSelection);
  b.Object("Images", &TTreeView::Images, &TTreeView::SetImages);
  b.Object("Items", &TTreeView::Items, &TTreeView::SetItems);
  b.Boolean("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly);
  b.Boolean("RowSelect", &TTreeView::RowSelect, &TTreeView::SetRowSelect);
  b.Boolean("ShowButtons", &TTreeView::ShowButtons, &TTreeView::SetShowButtons);
  b.Boolean("ShowLines", &TTreeView::ShowLines, &TTreeView::SetShowLines);
  b.Boolean("ShowRoot", &TTreeView::ShowRoot, &TTreeView::SetShowRoot);
}

}  // namespace nuvskin
