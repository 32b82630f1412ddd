// Tab controls (SysTabControl32): a row of tabs over a display area, and the
// page control whose tabs select one of its TTabSheet pages.
#pragma once

#include <vector>

#include "framework/CommonControls.h"
#include "framework/ImgList.h"

namespace nuvskin {

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
NUV_ENUM(TTabPosition, "tpTop", "tpBottom", "tpLeft", "tpRight");

using TTabChangingEvent = Event<void(TObject* Sender, bool& AllowChange)>;

class TCustomTabControl : public TWinControl {
  NUV_CLASS(TCustomTabControl, TWinControl)
  explicit TCustomTabControl(TComponent* owner);
  ~TCustomTabControl() override;

  // The tab captions; the window's tabs follow every change.
  TStrings* Tabs() const { return tabs_; }
  void SetTabs(TStrings* value) { tabs_->Assign(value); }
  // The selected tab, -1 for none.
  int TabIndex() const;
  void SetTabIndex(int value);
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  // The client area the tabs leave free, in client coordinates.
  RECT DisplayRect();
  // The rectangle of a tab, in client coordinates (empty without a window).
  RECT TabRect(int index);
  int IndexOfTabAt(int x, int y);
  TCanvas* Canvas() const { return canvas_; }

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  void AlignControls(TControl* control, RECT& rect) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  virtual bool CanChange();
  virtual void Change();
  // The image shown on a tab (default: the tab's index).
  virtual int GetImageIndex(int tabIndex) { return tabIndex; }
  // Puts the tabs of Tabs into the window again.
  void UpdateTabItems();
  // Tabs changed (the page control keeps its pages' tabs in it).
  virtual void TabsChanged();

 private:
  void TabsOnChange(TObject*);
  void ImagesOnChange(TObject*);
  TStringList* tabs_;
  TControlCanvas* canvas_;
  mutable int tabIndex_ = -1;
  TTabPosition tabPosition_ = tpTop;
  bool multiLine_ = false;
  TCustomImageList* images_ = nullptr;
  bool updatingTabs_ = false;
};

class TTabControl : public TCustomTabControl {
  NUV_CLASS(TTabControl, TCustomTabControl)
  static void Publish(ClassBuilder<TTabControl>& b);
  using TCustomTabControl::TCustomTabControl;
};

class TPageControl;

// A page of a page control. It is a plain windowed control, as in the
// classic framework: not a custom control.
class TTabSheet : public TWinControl {
  NUV_CLASS(TTabSheet, TWinControl)
  static void Publish(ClassBuilder<TTabSheet>& b);
  explicit TTabSheet(TComponent* owner);
  void BeforeDestruction() override;

  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* value);
  // The position among the page control's pages.
  int PageIndex() const;
  void SetPageIndex(int value);
  // The position among the visible tabs, -1 when the tab is hidden.
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  void SetParent(TWinControl* parent) override;
  void SetText(const std::wstring& value) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = -1;
};

class TPageControl : public TCustomTabControl {
  NUV_CLASS(TPageControl, TCustomTabControl)
  static void Publish(ClassBuilder<TPageControl>& b);
  using TCustomTabControl::TCustomTabControl;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const { return activePage_; }
  // Shows the page and hides the others; nullptr hides them all.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }
  void SetActivePageIndex(int value);
  // The next page with a visible tab after (or before) `current`, wrapping.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
  void SelectNextPage(bool goForward, bool checkTabVisible = true);

 protected:
  friend class TTabSheet;
  void WndProc(TMessage& message) override;
  void Change() override;
  int GetImageIndex(int tabIndex) override;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  // The pages' visible tabs changed: rebuild Tabs.
  void UpdateTabs();

 private:
  TTabSheet* PageForTab(int tabIndex) const;
  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

}  // namespace nuvskin
