// Tool bars: TToolWindow (a window with bevelled edges), TToolBar over the
// common controls' tool bar, and TToolButton, a windowless control laid over
// one native button. Buttons that carry menu items make the bar behave as a
// menu bar: their sub-items drop down below them, the keyboard walks from
// one drop-down to the next, and Alt plus an accelerator opens one.
#pragma once

#include <vector>

#include "framework/Controls.h"
#include "framework/CustomDraw.h"
#include "framework/Win32Handles.h"

namespace nuvskin {

class TToolBar;

// The sides of a tool window that get an edge.
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
NUV_ENUM(TEdgeBorder, "ebLeft", "ebTop", "ebRight", "ebBottom");
using TEdgeBorders = Set<TEdgeBorder>;

enum TEdgeStyle { esNone, esRaised, esLowered };
NUV_ENUM(TEdgeStyle, "esNone", "esRaised", "esLowered");

// A windowed control with an edge (inner and outer bevel, one pixel each) on
// the chosen sides and a border of BorderWidth inside it, both in the
// non-client area.
class TToolWindow : public TWinControl {
  NUV_CLASS(TToolWindow, TWinControl)
  explicit TToolWindow(TComponent* owner);

  TEdgeBorders EdgeBorders() const { return edgeBorders_; }
  void SetEdgeBorders(TEdgeBorders value);
  TEdgeStyle EdgeInner() const { return edgeInner_; }
  void SetEdgeInner(TEdgeStyle value);
  TEdgeStyle EdgeOuter() const { return edgeOuter_; }
  void SetEdgeOuter(TEdgeStyle value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);

  void WndProc(TMessage& message) override;

 protected:
  // How far the client area lies inside the window on each side.
  RECT NonClientInsets() const;
  // True when the parent shows through instead of the bar's Color.
  virtual bool TransparentBackground() const { return false; }

 private:
  void EdgesChanged();
  void PaintEdges();

  TEdgeBorders edgeBorders_{ebLeft, ebTop, ebRight, ebBottom};
  TEdgeStyle edgeInner_ = esRaised;
  TEdgeStyle edgeOuter_ = esLowered;
  int borderWidth_ = 0;
};

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
NUV_ENUM(TToolButtonStyle, "tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider");

// One button of a tool bar. Create it without owner and set Parent to the
// bar: it is inserted before the first button at or right of its Left (a new
// button, at Left 0, goes first). Its bounds are the native button's.
class TToolButton : public TGraphicControl {
  NUV_CLASS(TToolButton, TGraphicControl)
  static void Publish(ClassBuilder<TToolButton>& b);
  explicit TToolButton(TComponent* owner);

  TToolBar* ToolBar() const;
  // The position among the bar's buttons, or -1.
  int Index() const;

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value);
  // Checked (check buttons) or held pressed (other buttons).
  bool Down() const;
  void SetDown(bool value);
  bool Indeterminate() const { return indeterminate_; }
  void SetIndeterminate(bool value);
  bool Marked() const { return marked_; }
  void SetMarked(bool value);
  // The next button starts a new row.
  bool Wrap() const { return wrap_; }
  void SetWrap(bool value);
  // The width follows the caption and image instead of the bar's ButtonWidth.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* value);
  // A menu item: the button shows its caption, enabled state and image; a
  // press opens its sub-items below the button, or clicks it when it has none.
  TMenuItem* MenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* value);

  void SetBounds(int left, int top, int width, int height) override;
  void SetEnabled(bool value) override;
  void SetVisible(bool value) override;
  void SetText(const std::wstring& value) override;
  // OnClick, then the menu item's click for a menu button without sub-items.
  void Click() override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TToolBar;
  // Tells the bar that the native button must change.
  void Changed(bool layout);

  int command_;
  TToolButtonStyle style_ = tbsButton;
  int imageIndex_ = -1;
  bool grouped_ = false;
  bool down_ = false;
  bool indeterminate_ = false;
  bool marked_ = false;
  bool wrap_ = false;
  bool autoSize_ = false;
  int separatorWidth_ = 8;
  TPopupMenu* dropdownMenu_ = nullptr;
  TMenuItem* menuItem_ = nullptr;
};

using TTBCustomDrawEvent = Event<void(TToolBar* Sender, const RECT& ARect, bool& DefaultDraw)>;
using TTBCustomDrawBtnEvent =
    Event<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;

// The common controls' tool bar ("ToolbarWindow32") under the class name
// "TToolBar". Aligned to the top by default.
class TToolBar : public TToolWindow {
  NUV_CLASS(TToolBar, TToolWindow)
  static void Publish(ClassBuilder<TToolBar>& b);
  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;
  void BeforeDestruction() override;

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TToolButton* Buttons(int index) const;

  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool value);
  // Captions right of the images instead of below them.
  bool List() const { return list_; }
  void SetList(bool value);
  // Buttons that do not fit go to a new row.
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool value);
  // The bar's height follows its buttons.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  int Indent() const { return indent_; }
  void SetIndent(int value);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int value);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* HotImages() const { return hotImages_; }
  void SetHotImages(TCustomImageList* value);
  TCustomImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TCustomImageList* value);
  // The bar's canvas; during the custom-draw events it draws on the bar.
  TCanvas* Canvas() const { return canvas_; }

  // Whether the bar is in menu mode: a drop-down is open, or the keyboard is
  // on one of its menu buttons.
  bool MenuActive() const { return menuActive_; }
  // Ends menu mode and closes any drop-down of the bar.
  void CancelMenu();
  // Opens the drop-down of a menu or drop-down button and returns when the
  // menus of the bar have closed.
  void TrackMenu(TToolButton* button);

  TTBCustomDrawEvent OnCustomDraw;
  TTBCustomDrawBtnEvent OnCustomDrawButton;

  void WndProc(TMessage& message) override;

 protected:
  bool TransparentBackground() const override { return transparent_; }
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void Notification(TComponent* component, TOperation operation) override;
  // What the keyboard does to open a button: a posted WM_LBUTTONDOWN at the
  // button's top-left client point.
  void ClickButton(TToolButton* button);

 private:
  friend class TToolButton;
  // The drop-down's message filter (arrows, mouse over other buttons) and
  // the keyboard hook of menu mode (keys go to the bar, clicks elsewhere end it).
  static LRESULT CALLBACK MenuFilterProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK MenuKeyProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
  bool FilterMenuMessage(const MSG& msg);
  void FilterKeyModeMessage(MSG& msg);

  void InsertButton(TToolButton* button);
  void RemoveButton(TToolButton* button);
  TToolButton* FindButton(int command) const;
  TToolButton* ButtonAtPos(POINT client) const;
  TToolButton* FindButtonFromAccel(wchar_t key) const;
  // The neighbouring visible menu button (wrapping), or nullptr.
  TToolButton* NextMenuButton(TToolButton* from, bool forward) const;
  void ButtonChanged(TToolButton* button, bool layout);
  // The native button for `button`; `text` keeps its caption alive.
  TBBUTTON NativeButton(TToolButton* button, std::wstring& text) const;
  void AddNativeButtons();
  void UpdateStyle();
  void UpdateImages();
  // Button bounds from the native rectangles, then the bar's own height.
  void UpdateLayout();
  void CustomDraw(TMessage& message);
  bool HandleMenuKey(TMessage& message);
  void HandleMouse(TMessage& message);
  void EnterMenuMode(TToolButton* hot);
  void SetHotButton(TToolButton* button);
  // One drop-down; returns the button whose drop-down opens next, if any,
  // and the command chosen in it.
  TToolButton* DropDown(TToolButton* button, UINT& command);
  bool HasButton(const TToolButton* button) const;
  // The button the keyboard is on in menu mode.
  TToolButton* CurrentMenuButton() const;

  std::vector<TToolButton*> buttons_;
  int nextCommand_ = 1;
  bool flat_ = false;
  bool transparent_ = false;
  bool showCaptions_ = false;
  bool list_ = false;
  bool wrapable_ = true;
  bool autoSize_ = false;
  int indent_ = 0;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* hotImages_ = nullptr;
  TCustomImageList* disabledImages_ = nullptr;
  TCanvas* canvas_;
  int updatingLayout_ = 0;

  // Menu mode.
  bool menuActive_ = false;
  bool tracking_ = false;
  TToolButton* hotButton_ = nullptr;      // the keyboard's button in menu mode
  TToolButton* trackedButton_ = nullptr;  // the button whose drop-down is open
  TToolButton* switchTo_ = nullptr;       // the drop-down to open next
  HMENU trackedMenu_ = nullptr;           // the open drop-down's own menu
  HMENU selectedMenu_ = nullptr;          // where the drop-down's selection is
  bool selectedOpensPopup_ = false;
  bool escaped_ = false;
  POINT lastMousePos_{-1, -1};
  win::UniqueHook keyHook_;
};

}  // namespace nuvskin
