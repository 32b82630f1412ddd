// The common bases of list-like controls (list boxes, list views): an item
// index and a selection, whatever the control shows.
#pragma once

#include <string>

#include "framework/Controls.h"

namespace nuvskin {

class TCustomListControl : public TWinControl {
  NUV_CLASS(TCustomListControl, TWinControl)
  using TWinControl::TWinControl;
  virtual int Count() const = 0;
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int value) = 0;
  virtual void AddItem(const std::wstring& item, TObject* object) = 0;
  virtual void Clear() = 0;
  virtual void ClearSelection() = 0;
  virtual void DeleteSelected() = 0;
  virtual void SelectAll() = 0;
};

class TCustomMultiSelectListControl : public TCustomListControl {
  NUV_CLASS(TCustomMultiSelectListControl, TCustomListControl)
  using TCustomListControl::TCustomListControl;
  bool MultiSelect() const { return multiSelect_; }
  virtual void SetMultiSelect(bool value) { multiSelect_ = value; }
  virtual int SelCount() const = 0;

 protected:
  bool multiSelect_ = false;
};

}  // namespace nuvskin
