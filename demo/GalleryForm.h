// The gallery's main form: a main menu, a popup menu, a tool bar, a status
// bar and every kind of control the framework has, plus the commands that
// open the other scenes (message box, message dialog, file and folder
// dialogs, an MDI window, a window with a frame of its own). It holds the
// application's skin engine: the built-in skin, a second skin to switch to,
// and skinning off and on.
#pragma once

#include "framework/Forms.h"
#include "framework/Menus.h"

namespace nuvskin {
class TStatusBar;
class TProgressBar;
class TnuvSkinEngine;
}  // namespace nuvskin

namespace nuvskin::demo {

class TGalleryForm : public TForm {
  NUV_CLASS(TGalleryForm, TForm)
  // `skinned` false leaves the engine off (the benchmark's baseline).
  explicit TGalleryForm(TComponent* owner, bool skinned = true);

  TPopupMenu* ContextMenu() const { return contextMenu_; }

  void ShowMessageBox(TObject* sender = nullptr);
  void ShowMessageDialog(TObject* sender = nullptr);
  void OpenFile(TObject* sender = nullptr);
  void ChooseFolder(TObject* sender = nullptr);
  // The MDI frame and the own-frame window are owned by the application.
  void OpenMdiWindow(TObject* sender = nullptr);
  void OpenOwnFrameWindow(TObject* sender = nullptr);
  // A plain form of the framework, owned by the application.
  TForm* OpenPlainForm(TObject* sender = nullptr);
  // Opens the first drop-down of the main menu (on the skinned menu bar
  // while the form is skinned) and returns when it closes.
  void OpenMainMenu();

  TnuvSkinEngine* Engine() const { return engine_; }
  void UseBuiltInSkin(TObject* sender = nullptr);
  void UseThreeSectSkin(TObject* sender = nullptr);
  void SetSkinning(bool on);

 private:
  void BuildEngine(bool active);
  void BuildMenus();
  void BuildBars();
  void BuildButtons(int left, int top);
  void BuildTextAndLists(int left, int top);
  void BuildRanges(int left, int top);
  void BuildViews(int left, int top);
  void BuildPages(int left, int top);
  void ExitClick(TObject*);
  void TimerTick(TObject*);
  void ToggleSkinning(TObject*);
  void UpdateSkinMenu();

  TPopupMenu* contextMenu_ = nullptr;
  TStatusBar* status_ = nullptr;
  TProgressBar* progress_ = nullptr;
  TnuvSkinEngine* engine_ = nullptr;
  TMenuItem* builtInItem_ = nullptr;
  TMenuItem* threeSectItem_ = nullptr;
  TMenuItem* skinningItem_ = nullptr;
};

}  // namespace nuvskin::demo
