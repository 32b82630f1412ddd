// Forms, the application object and its message loop, application-wide
// message events, and the screen (open forms and monitors).
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "framework/Controls.h"

namespace nuvskin {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
NUV_ENUM(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin");
// Controls with a border use the first two values under the type name "TBorderStyle".
using TBorderStyle = TFormBorderStyle;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
NUV_ENUM(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp");
using TBorderIcons = Set<TBorderIcon>;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
NUV_ENUM(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop");

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
NUV_ENUM(TWindowState, "wsNormal", "wsMinimized", "wsMaximized");

enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
NUV_ENUM(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
         "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter");

enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                              mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1,
                              mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1, mrClose = mrYesToAll + 1;

using TCloseEvent = Event<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = Event<void(TObject* Sender, bool& CanClose)>;

// A windowed control whose content may be larger than its client area.
class TScrollingWinControl : public TWinControl {
  NUV_CLASS(TScrollingWinControl, TWinControl)
  using TWinControl::TWinControl;
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);

 protected:
  void AlignControls(TControl* control, RECT& rect) override;
  void WndProc(TMessage& message) override;

 private:
  void UpdateScrollBars();
  void ScrollTo(int x, int y);
  bool autoScroll_ = false;
  POINT scrollPos_{0, 0};
};

class TCustomForm : public TScrollingWinControl {
  NUV_CLASS(TCustomForm, TScrollingWinControl)
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  // The main menu shown as the window's menu bar; nullptr removes it (and
  // its shortcuts stop working for this form).
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* value);
  TIcon* Icon() const { return icon_; }
  void SetIcon(TIcon* value);
  bool Active() const { return active_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  bool Scaled() const { return scaled_; }
  void SetScaled(bool value) { scaled_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  bool IsModal() const { return modal_; }

  void Show();
  // Shows the form modally and returns its ModalResult once it is set.
  virtual TModalResult ShowModal();
  // Asks OnCloseQuery, then OnClose decides: hide, free (deferred), minimize
  // or nothing. Closing the main form ends the application.
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages already queued for it are handled.
  // A handler of the form or of one of its controls (OnClick, OnKeyDown, a
  // menu item's OnClick) may also Free the form directly: the form is
  // destroyed at once (OnDestroy, its window and its controls go), and the
  // objects whose messages are still running stay whole until those return.
  // After Free, the handler must not touch the form or its controls.
  void Release();

  // MDI
  TMenuItem* WindowMenu() const { return windowMenu_; }
  void SetWindowMenu(TMenuItem* value);
  HWND ClientHandle() const { return clientHandle_; }
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int index) const;
  TCustomForm* ActiveMDIChild() const;
  void Cascade();
  void Tile();
  void ArrangeIcons();

  // A key message that a menu of the form takes as a shortcut (and runs).
  virtual bool IsShortCut(UINT msg, WPARAM key, LPARAM keyData);

  RECT ClientRect() override;
  void SetClientSize(int width, int height) override;
  void SetVisible(bool value) override;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  bool HasParent() const override { return Parent() != nullptr; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void DestroyWindowHandle(HWND wnd) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void AlignControls(TControl* control, RECT& rect) override;
  virtual void DoClose(TCloseAction& action);
  virtual void DoShow();
  virtual void DoHide();
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void ApplyPosition();
  void UpdateWindowIcon();
  void FocusFirstControl();
  bool HandleDialogKey(WORD key);

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormStyle formStyle_ = fsNormal;
  TWindowState windowState_ = wsNormal;
  TPosition position_ = poDesigned;
  TMainMenu* menu_ = nullptr;
  TIcon* icon_;
  bool active_ = false;
  TWinControl* activeControl_ = nullptr;
  bool scaled_ = true;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool positioned_ = false;
  TMenuItem* windowMenu_ = nullptr;
  HWND clientHandle_ = nullptr;
  int pendingClientWidth_ = -1, pendingClientHeight_ = -1;
  bool destroyFired_ = false;
};

// The form class applications use.
class TForm : public TCustomForm {
  NUV_CLASS(TForm, TCustomForm)
  static void Publish(ClassBuilder<TForm>& b);
  using TCustomForm::TCustomForm;
};

// Application-wide message events. Several objects may exist: each sees a
// queued message in creation order until one calls CancelDispatch.
class TApplicationEvents : public TComponent {
  NUV_CLASS(TApplicationEvents, TComponent)
  explicit TApplicationEvents(TComponent* owner);
  ~TApplicationEvents() override;
  // Stops the remaining objects' OnMessage for the current message.
  void CancelDispatch();
  Event<void(MSG& Msg, bool& Handled)> OnMessage;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnIdle;
};

class TMonitor : public TObject {
  NUV_CLASS(TMonitor, TObject)
  HMONITOR Handle() const { return handle_; }
  RECT BoundsRect() const;
  RECT WorkareaRect() const;
  bool Primary() const;

 private:
  friend class TScreen;
  HMONITOR handle_ = nullptr;
};

class TScreen : public TComponent {
  NUV_CLASS(TScreen, TComponent)
  explicit TScreen(TComponent* owner);
  ~TScreen() override;
  // Every form that exists, including hidden ones and message dialogs; the
  // most recently activated first.
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const;
  TCustomForm* ActiveForm() const { return activeForm_; }
  int MonitorCount();
  TMonitor* Monitors(int index);
  // The monitor nearest to the window.
  TMonitor* MonitorFromWindow(HWND wnd);
  int Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void FormActivated(TCustomForm* form, bool active);
  TMonitor* FindMonitor(HMONITOR handle);
  std::vector<TCustomForm*> forms_;
  std::vector<TMonitor*> monitors_;
  TCustomForm* activeForm_ = nullptr;
};

using TExceptionEvent = Event<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
  NUV_CLASS(TApplication, TComponent)
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Menu shortcuts, accelerators and dialog keys (Tab, arrows, Enter, Esc)
  // are found only for messages that go through the application's message
  // loop: Run, ProcessMessages, HandleMessage or a form's ShowModal. A loop
  // of the program's own that dispatches messages itself bypasses them.
  // A handler may free its own form: see TCustomForm::Release.
  //
  // Starts the library if it has not started yet (it starts before main).
  void Initialize();
  // Creates a form owned by the application; the first one becomes MainForm.
  template <class T>
  T* CreateForm() {
    T* form = nuvskin::Create<T>(this);
    if (!mainForm_) mainForm_ = form;
    return form;
  }
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* form) { mainForm_ = form; }
  // Shows the main form and handles messages until Terminate.
  void Run();
  void ProcessMessages();
  // Handles one message, or waits for the next when there is none.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // The application has the foreground (WM_ACTIVATEAPP).
  bool Active() const { return active_; }
  TIcon* Icon();
  // A hidden window of the application, for messages that need one.
  HWND Handle();
  std::string ExeName() const;
  const std::wstring& Title() const { return title_; }
  void SetTitle(const std::wstring& value) { title_ = value; }

  // An exception that reached a window procedure or the message loop.
  void HandleException(const std::exception& e);
  void ShowException(const std::exception& e);
  TExceptionEvent OnException;

 private:
  friend class TApplicationEvents;
  friend class TCustomForm;
  bool ProcessMessage(MSG& msg);
  bool IsKeyMsg(MSG& msg);
  bool IsMDIMsg(MSG& msg);
  void Idle();
  void SetActive(bool value);

  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool active_ = false;
  TIcon* icon_ = nullptr;
  std::wstring title_;
  win::UniqueWindow handle_;
  std::vector<TApplicationEvents*> events_;
  bool dispatchCancelled_ = false;
  POINT lastCursor_{-1, -1};
};

// The application and the screen exist for the life of the program.
extern TApplication* Application;
extern TScreen* Screen;

}  // namespace nuvskin
