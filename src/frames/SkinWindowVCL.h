// TnuvSkinWindowVCL: the frame skin of a form of the application. It chains
// itself into the form's WindowProc, shows the form's main menu on a skinned
// menu bar (MenuBar.h), gives the form's controls their control skins,
// coordinates MDI frames and children (MdiCoordination.cpp), and puts the
// form back (style, menu, colour, client size, control positions) when
// skinning stops.
#pragma once

#include <memory>
#include <vector>

#include "frames/SkinWindow.h"
#include "framework/ToolBar.h"
#include "framework/WindowSubclass.h"

namespace nuvskin {

class TnuvSkinMenuBar;
class TnuvSkinMenuBarControlButton;

class TnuvSkinWindowVCL : public TnuvSkinWindow {
  NUV_CLASS(TnuvSkinWindowVCL, TnuvSkinWindow)
  // Made by TnuvSkinWindow::Create only.
  TnuvSkinWindowVCL(HWND wnd, bool fromHook, TnuvSkinEngine* engine);
  ~TnuvSkinWindowVCL() override;

  // --- The frame skin's operations ------------------------------------------
  std::wstring GetCaptionW() override;
  void UpdateFrame() override;
  void CallDefault(TMessage& message) override;
  void SaveFrameMetrics() override;
  void SkinChildren() override;
  void UnskinChildren() override;
  bool CanShapeWindow() override;
  int GetMenuBarHeight() override;
  HICON GetIconHandle() override;
  bool HasHelpButton() override;
  bool IsMDIForm() override;
  bool IsMDIChild() override;
  bool HasIcon() override;
  bool HasCloseButton() override;
  bool HasMaximizeButton() override;
  bool HasMinimizeButton() override;
  bool SkinWhenHidden() override { return true; }
  bool HasToolBarBelowMenu() override;
  bool OwnsNCActivate() override { return true; }
  HWND GetHandle() override;
  void ClientSizeChanged() override;
  void AfterMessage(TMessage& message) override;
  void Attach(HWND wnd) override;
  void Detach() override;
  bool IsDialogFrame();

  // --- Its own ----------------------------------------------------------------
  TCustomForm* Form() const { return FForm; }
  TnuvSkinMenuBar* MenuBar() const { return FMenuBar; }
  // The control walk for one control and what it owns.
  void SkinControl(TControl* control);
  // Collects the items the bar shows and rebuilds its buttons when they
  // changed (always with `force`).
  void RebuildMenuBar(bool force);
  // True when a menu of the form takes the key as a shortcut (and runs it).
  bool CheckShortCut(UINT msg, WPARAM key, LPARAM keyData);

  // MDI frames.
  void Cascade();
  void Tile(bool horizontal);
  void ShowMDIButtons();
  void HideMDIButtons();
  void PlaceMDIButtons();
  void MDIButtonClick(TObject* sender);
  void RebuildWindowList();
  TnuvSkinMenuBarControlButton* MDIButton(int index) const { return FMDIButtons[index - 1]; }

  // The menu bar's painters (its custom-draw events).
  void DrawBarBackground(TToolBar* bar, const RECT& rect, bool& defaultDraw);
  void DrawBarButton(TToolBar* bar, TToolButton* button, TCustomDrawState state, bool& defaultDraw);
  // The top-level items the bar shows: the form's menu merged with an MDI
  // child's by group index.
  void CollectBarItems(std::vector<TMenuItem*>& list, TMainMenu* childMenu, bool& hasImages);
  void BuildBarButtons(const std::vector<TMenuItem*>& list, bool hasImages);

  TCustomForm* FForm = nullptr;
  TMainMenu* FMenu = nullptr;
  TMainMenu* FChildMenu = nullptr;
  TMainMenu* FShownMenu = nullptr;
  TMainMenu* FShownChildMenu = nullptr;
  std::vector<TMenuItem*> FBarItems;
  TnuvSkinMenuBar* FMenuBar = nullptr;
  TColor FSavedColor = 0;
  TnuvSkinMenuBarControlButton* FMDIButtons[3] = {};
  TApplicationEvents* FAppEvents = nullptr;
  bool FAllFormsDone = false;
  bool FAdjusting = false;
  bool FControlsShifted = false;
  bool FMinWidthSet = false;
  bool FMinHeightSet = false;
  std::vector<TMenuItem*> FWindowListItems;
  bool FToolBarJoins = false;
  bool FToolBarJoinsKnown = false;
  bool FHiddenChild = false;
  TColor FButtonColor = 0;
  TColor FButtonColor2 = 0;
  bool FRestoring = false;

 private:
  struct CallFrame;
  void FormWindowProc(TMessage& message, const TWndMethod& next);
  void ApplyForm();
  void RestoreForm();
  void ApplyMinSize();
  void ClearMinSize();
  void ShiftControls(int by);
  // Whether the form outlives this frame skin (restored, not just let go).
  bool FormLivesOn() const;
  void FrameChanged();
  void TitleAndBorderFollowForm();
  // Keyboard shortcuts while the form's Menu is nil.
  void AppMessage(MSG& msg, bool& handled);
  // MDI.
  void CreateMDIButtons();
  void FreeMDIButtons();
  LRESULT ClientWndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  void SkinMDIChildren();
  void ActivateWindowListItem(TObject* sender);
  // The MDI frame of an MDI child (else the application's main form), and a
  // message sent to it.
  TCustomForm* MDIFrame();
  void SendToMDIFrame(UINT msg, WPARAM wParam, LPARAM lParam);

  std::unique_ptr<TWindowProcHook> FHook;
  CallFrame* FCall = nullptr;  // the message being handled, innermost
  TWindowSubclass FClientSubclass;
  TFreeNotifyLink FFormLink, FMenuLink, FChildMenuLink, FMenuBarLink;
  TFreeNotifyLink FMDIButtonLinks[3];
  bool FFormGoing = false;  // the form is being destroyed: messages only pass
  bool FApplied = false;    // the form carries the skinned settings
  // What the control shift moved the controls by, taken back on restore.
  int FShiftedBy = 0;
  // The client-size growth the applied frame adds to the form's own size.
  int FAddedClientWidth = 0, FAddedClientHeight = 0;
};

}  // namespace nuvskin
