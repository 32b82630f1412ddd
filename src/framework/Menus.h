// Menus: main menus shown as a window's menu bar, popup menus, and their
// items, kept in step with the platform's menu handles; shortcuts, owner
// drawing through measure and draw events, and the menu messages a window
// passes on to them.
#pragma once

#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "framework/ImgList.h"

namespace nuvskin {

// A misuse of the item tree (an item inserted twice, into itself, or the
// root of a menu inserted elsewhere) or no free command identifier.
class EMenuError : public Exception { using Exception::Exception; };

// Key and modifiers: the virtual-key code in the low byte, scShift, scCtrl
// and scAlt above it.
using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+S", "Shift+F5", "Alt+Enter", "Del"...; empty for scNone.
std::wstring ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const std::wstring& text);
// The shift state of the keyboard now (GetKeyState).
TShiftState KeyboardShiftState();

enum TMenuItemAutoFlag { maAutomatic, maManual, maParent };
NUV_ENUM(TMenuItemAutoFlag, "maAutomatic", "maManual", "maParent");
using TMenuAutoFlag = TMenuItemAutoFlag;  // a menu uses maAutomatic or maManual

class TMenu;
class TMenuItem;

using TMenuMeasureItemEvent = Event<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = Event<void(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, bool Selected)>;

class TMenuItem : public TComponent {
  NUV_CLASS(TMenuItem, TComponent)
  static void Publish(ClassBuilder<TMenuItem>& b);
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // Sub-items.
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Delete(int index);  // takes the item out (does not free it)
  void Remove(TMenuItem* item);
  void Clear();            // frees the sub-items
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Find(const std::wstring& caption) const;  // without "&", case-insensitive
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  void SetMenuIndex(int index);
  // The menu whose item tree holds this item, or nullptr.
  TMenu* GetParentMenu() const;

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& value);
  // The caption as the platform menu shows it: with the "&" that automatic
  // hot keys give it among its visible siblings (Caption stays unchanged).
  std::wstring DisplayCaption() const;
  bool IsLine() const { return caption_ == L"-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  std::uint8_t GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(std::uint8_t value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  const std::wstring& Hint() const { return hint_; }
  void SetHint(const std::wstring& value) { hint_ = value; }
  // maParent follows the parent item (or the menu for the root item).
  TMenuItemAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuItemAutoFlag value);
  // The item's own picture (created on first use, owned).
  TBitmap* Bitmap();
  bool HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }
  void SetBitmap(TBitmap* value);
  // Images for the sub-items instead of the menu's Images.
  TCustomImageList* SubMenuImages() const { return subMenuImages_; }
  void SetSubMenuImages(TCustomImageList* value);

  // The command identifier of the platform menu item.
  UINT Command() const { return command_; }
  // The platform popup menu of the sub-items (nullptr without sub-items).
  HMENU Handle();

  // Runs OnClick when the item is enabled.
  virtual void Click();
  // Owner drawing. MeasureItem starts from the framework's own text
  // measuring, then lets OnMeasureItem change the size; DrawItem calls
  // OnDrawItem when assigned, otherwise it draws the framework's look.
  virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
  virtual void DrawItem(TCanvas* canvas, const RECT& rect, bool selected);
  // The framework's own look, for handlers that fall back to it.
  void MeasureDefault(TCanvas* canvas, int& width, int& height);
  void DrawDefault(TCanvas* canvas, const RECT& rect, bool selected);

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

  // The item whose platform menu item has `command`, or the live item at
  // `data` (a menu item's dwItemData); nullptr when there is none.
  static TMenuItem* FromCommand(UINT command);
  static TMenuItem* FromItemData(ULONG_PTR data);
  // The live item whose sub-items `handle` holds (a menu's root item for the
  // menu's own handle); nullptr when there is none. Creates no handle.
  static TMenuItem* FromHandle(HMENU handle);

  // Streaming: sub-items are written as children of their item, top-level
  // items as children of their menu, and given back to it when read.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TMenu;
  // The handle that holds the sub-items: the menu's for the root item.
  HMENU ContainerHandle() const;
  // Refills ContainerHandle (when it exists) from the visible sub-items.
  void RebuildEntries();
  void RebuildTree();
  HMENU EnsurePopup();
  // After a change of this item's own look (caption, state, visibility).
  void Changed();
  // After sub-items were added, removed or moved.
  void SubItemsChanged();
  void NotifyMenu();
  bool Frozen() const;     // being destroyed: handles are not kept in step
  bool Automatic() const;  // automatic hot keys for the sub-items
  std::vector<std::wstring> SubItemCaptions() const;
  TCustomImageList* ImagesForItem() const;
  bool IsTopLevelOfMainMenu() const;

  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item only
  std::wstring caption_;
  std::wstring hint_;
  bool checked_ = false, enabled_ = true, visible_ = true, default_ = false, radioItem_ = false;
  std::uint8_t groupIndex_ = 0;
  int imageIndex_ = -1;
  TShortCut shortCut_ = scNone;
  TMenuItemAutoFlag autoHotkeys_ = maParent;
  TBitmap* bitmap_ = nullptr;
  TCustomImageList* subMenuImages_ = nullptr;
  UINT command_ = 0;
  win::UniqueMenu handle_;
};

class TMenu : public TComponent {
  NUV_CLASS(TMenu, TComponent)
  static void Publish(ClassBuilder<TMenu>& b);
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item; its sub-items are the menu's top-level items.
  TMenuItem* Items() const { return items_; }
  // The platform menu, built from the items and rebuilt when they change.
  HMENU Handle();
  bool HandleAllocated() const { return static_cast<bool>(handle_); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  bool OwnerDraw() const { return ownerDraw_; }
  // Items are drawn by the framework when OwnerDraw is set or the menu has
  // images (the platform could not show them), as in the classic framework.
  bool IsOwnerDraw() const { return ownerDraw_ || images_ != nullptr; }
  void SetOwnerDraw(bool value);
  TMenuAutoFlag AutoHotkeys() const { return autoHotkeys_; }
  void SetAutoHotkeys(TMenuAutoFlag value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode value);
  bool IsRightToLeft() const { return biDiMode_ != bdLeftToRight; }
  // The window whose menu bar shows this menu (main menus); nullptr otherwise.
  // A main menu puts its handle into the window's menu bar (SetMenu) and
  // takes it out of the previous window's. A window destroys the menu it
  // shows, so take the menu out (SetWindowHandle(nullptr)) before
  // destroying the window.
  HWND WindowHandle() const { return window_; }
  void SetWindowHandle(HWND wnd);

  // A key message (WM_KEYDOWN/WM_SYSKEYDOWN; Shift and Ctrl from the keyboard,
  // Alt from bit 29 of keyData or the keyboard): when an enabled, visible
  // item has that shortcut, it is clicked and the answer is true.
  bool IsShortCut(UINT msg, WPARAM key, LPARAM keyData);
  // The item with this command, clicked; false when no item has it.
  bool DispatchCommand(UINT command);
  // WM_INITMENUPOPUP for one of this menu's popup handles: the item whose
  // sub-items open is clicked, so that OnClick can update them.
  bool DispatchPopup(HMENU submenu);
  TMenuItem* FindItemByCommand(UINT command) const;
  TMenuItem* FindItemByHandle(HMENU submenu) const;

  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

 protected:
  friend class TMenuItem;
  virtual HMENU CreateMenuHandle();  // CreateMenu or CreatePopupMenu
  virtual void MenuChanged(bool rebuild);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TMenuItem* items_;
  TCustomImageList* images_ = nullptr;
  bool ownerDraw_ = false;
  TMenuAutoFlag autoHotkeys_ = maAutomatic;
  TBiDiMode biDiMode_ = bdLeftToRight;
  HWND window_ = nullptr;
  win::UniqueMenu handle_;
};

class TMainMenu : public TMenu {
  NUV_CLASS(TMainMenu, TMenu)
  using TMenu::TMenu;

 protected:
  HMENU CreateMenuHandle() override;
  void MenuChanged(bool rebuild) override;  // redraws the window's menu bar
};

class TPopupMenu : public TMenu {
  NUV_CLASS(TPopupMenu, TMenu)
  static void Publish(ClassBuilder<TPopupMenu>& b);
  using TMenu::TMenu;
  // Runs OnPopup, then shows the menu at the screen point and returns when it
  // closes; a chosen item is clicked.
  virtual void Popup(int x, int y);
  // The component whose context menu this is, while it is shown.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* value);
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  TNotifyEvent OnPopup;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TComponent* popupComponent_ = nullptr;
  bool autoPopup_ = true;
};

// The menu messages of a window whose menu bar shows `mainMenu` (may be
// nullptr): WM_COMMAND from a menu, WM_INITMENUPOPUP, WM_MEASUREITEM and
// WM_DRAWITEM of menu items, WM_MENUCHAR of owner-drawn menus. True when
// handled; `result` is the answer. What an OnClick raises comes through:
// the caller's window procedure catches it at its edge.
bool HandleMenuMessage(TMenu* mainMenu, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

// Closes whatever menu is being tracked on this thread.
void CancelMenus();

// True when `caption` marks `key` as its accelerator ("&File" for 'f' or 'F').
bool IsAccel(wchar_t key, const std::wstring& caption);

}  // namespace nuvskin
