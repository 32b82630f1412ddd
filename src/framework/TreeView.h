// The tree view (SysTreeView32) over a tree of nodes the control owns: the
// nodes live on when the window is made again, with their expanded state
// and the selection.
#pragma once

#include <vector>

#include "framework/CommonControls.h"
#include "framework/ImgList.h"

namespace nuvskin {

class TTreeNodes;
class TCustomTreeView;

class TTreeNode : public TPersistent {
  NUV_CLASS(TTreeNode, TPersistent)
  explicit TTreeNode(TTreeNodes* owner);
  // Frees the children and takes the node out of the tree and the window.
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& value);
  TTreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const;
  bool HasChildren() const { return !children_.empty(); }
  // The position among the siblings, and the depth (0 for a root node).
  int Index() const;
  int Level() const;
  // The position in the whole tree, counted depth first.
  int AbsoluteIndex() const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
  TTreeNode* GetNextSibling() const;
  // The next node depth first (children before siblings).
  TTreeNode* GetNext() const;

  bool Expanded() const;
  void SetExpanded(bool value);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int value);
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  // The window's item for the node (nullptr without a window).
  HTREEITEM ItemId() const { return item_; }
  // The node's rectangle in the tree's client area (empty when scrolled away
  // or inside a collapsed parent).
  RECT DisplayRect(bool textOnly) const;
  void Delete() { TObject::Free(this); }

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void UpdateItem(UINT mask);
  TTreeNodes* owner_;
  TTreeNode* parent_ = nullptr;
  std::vector<TTreeNode*> children_;
  std::wstring text_;
  int imageIndex_ = -1, selectedIndex_ = -1;
  void* data_ = nullptr;
  bool expanded_ = false;
  HTREEITEM item_ = nullptr;
};

class TTreeNodes : public TPersistent {
  NUV_CLASS(TTreeNodes, TPersistent)
  explicit TTreeNodes(TCustomTreeView* owner);
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return owner_; }
  // Every node of the tree.
  int Count() const;
  // The node at a position counted depth first.
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
  int RootCount() const { return static_cast<int>(roots_.size()); }
  // A new last (first) node at the level of `sibling`; nullptr: a root node.
  TTreeNode* Add(TTreeNode* sibling, const std::wstring& text);
  TTreeNode* AddFirst(TTreeNode* sibling, const std::wstring& text);
  // A new last (first) child of `parent`; nullptr: a root node.
  TTreeNode* AddChild(TTreeNode* parent, const std::wstring& text);
  TTreeNode* AddChildFirst(TTreeNode* parent, const std::wstring& text);
  // A new node just before `sibling`.
  TTreeNode* Insert(TTreeNode* sibling, const std::wstring& text);
  void Delete(TTreeNode* node) { TObject::Free(node); }
  void Clear();

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* AddNode(TTreeNode* parent, int index, const std::wstring& text);
  std::vector<TTreeNode*>& SiblingsOf(TTreeNode* parent) { return parent ? parent->children_ : roots_; }
  TCustomTreeView* owner_;
  std::vector<TTreeNode*> roots_;
};

using TTVChangedEvent = Event<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = Event<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandedEvent = Event<void(TObject* Sender, TTreeNode* Node)>;

class TCustomTreeView : public TWinControl {
  NUV_CLASS(TCustomTreeView, TWinControl)
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return items_; }
  void SetItems(TTreeNodes* value);
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool value);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool value);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  void FullExpand();
  void FullCollapse();
  // The node at a client point, or nullptr.
  TTreeNode* GetNodeAt(int x, int y);

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandedEvent OnExpanded;
  TTVExpandedEvent OnCollapsed;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void ColorChanged() override;
  void FontChanged() override;
  virtual void Change(TTreeNode* node);
  virtual bool CanChange(TTreeNode* node);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  void InsertItem(TTreeNode* node);
  void InsertItems(TTreeNode* node);
  void NodeGoing(TTreeNode* node);
  TTreeNode* NodeFromItem(HTREEITEM item) const;
  void SetStyleFlag(bool& flag, bool value);
  TTreeNodes* items_;
  mutable TTreeNode* selected_ = nullptr;
  TCustomImageList* images_ = nullptr;
  TBorderStyle borderStyle_ = bsSingle;
  bool restoring_ = false;  // a new window gets the nodes back: no events
  bool showLines_ = true, showButtons_ = true, showRoot_ = true, hideSelection_ = true, readOnly_ = false,
       rowSelect_ = false;
};

class TTreeView : public TCustomTreeView {
  NUV_CLASS(TTreeView, TCustomTreeView)
  static void Publish(ClassBuilder<TTreeView>& b);
  using TCustomTreeView::TCustomTreeView;
};

}  // namespace nuvskin
