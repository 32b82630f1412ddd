// The control skin framework: an object in front of one child control of a
// skinned window that paints the control's face from the skin. It sees the
// control's messages (through the framework control's WindowProc, or by
// subclassing a raw window), lets the control do its work, tracks hover and
// press, and repaints. Two registration tables decide which class skins
// which control.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/NUVSkinEngine.h"
#include "framework/Controls.h"
#include "framework/WindowSubclass.h"

namespace nuvskin {

class TnuvSkinWindow;

enum class TnuvSkinControlStateFlag { Hot, Down };
using TnuvSkinControlState = Set<TnuvSkinControlStateFlag>;

class TnuvSkinControl : public TObject {
  NUV_CLASS(TnuvSkinControl, TObject)
  ~TnuvSkinControl() override = default;

  // Sees each message first; false swallows it (the override sets the
  // result itself).
  virtual bool BeforeWndProc(TMessage& message);
  // Runs after the control's own procedure (or after BeforeWndProc
  // swallowed the message): state tracking and repaint triggers.
  virtual void AfterWndProc(TMessage& message);
  virtual void Paint() {}
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void MouseDown() {}
  virtual void MouseUp() {}
  virtual void KeyDown(WORD /*key*/) {}
  virtual void KeyUp(WORD /*key*/) {}
  // Right after attachment and whenever the engine is switched on or off or
  // the skin changes: apply or undo skin-dependent settings.
  virtual void SkinChanged() {}
  // Once, at the end of construction.
  virtual void InitSkin() {}
  // Before the frame skin frees the control skin.
  virtual void DoneSkin();
  virtual void GetControlRect(RECT& rect) = 0;
  virtual HWND GetHandle() = 0;
  virtual bool GetEnabled() = 0;
  virtual bool UsesParentColor() { return false; }

  // Draws a prepared face and a caption onto the control's window.
  void PaintFaceText(TBitmap* bitmap, const std::string& text, bool wordWrap, const RECT& textRect, TFont* font);
  void PaintFaceTextW(TBitmap* bitmap, bool wordWrap, const RECT& textRect, TFont* font);
  void DrawBitmapAt(TBitmap* bitmap, POINT point);
  // The caption step of PaintFaceText and PaintFaceTextW on any canvas, so
  // that a skin can compose the caption into its face before the one copy
  // to the window (CopyFaceToWindow).
  void DrawFaceText(TCanvas* canvas, const std::string& text, bool wordWrap, const RECT& textRect, TFont* font);
  void DrawFaceTextW(TCanvas* canvas, const std::wstring& text, bool wordWrap, const RECT& textRect, TFont* font);
  // The control's rectangle of the bitmap onto its window.
  void CopyFaceToWindow(TBitmap* bitmap);
  // The window's text as PaintFaceTextW draws it.
  std::wstring WindowTextW();

  TnuvSkinWindow* SkinWindow() const { return FSkinWindow; }
  TnuvSkinEngine* Engine() const { return FEngine; }
  TnuvSkinControlState State() const { return FState; }
  bool Released() const { return FReleased; }

 protected:
  explicit TnuvSkinControl(TnuvSkinWindow* skinWindow);
  // Paint, when the engine is skinning.
  void Repaint();

  TnuvSkinWindow* FSkinWindow;
  TnuvSkinEngine* FEngine;
  TnuvSkinControlState FState;
  bool FReleased = false;
};

// A control skin of a framework control, chained into its WindowProc.
class TnuvSkinControlVCL : public TnuvSkinControl {
  NUV_CLASS(TnuvSkinControlVCL, TnuvSkinControl)
  ~TnuvSkinControlVCL() override;
  // Creates a control skin of class T for the control and runs InitSkin;
  // when that raises, the skin is freed (the control left as it was) and
  // the error propagates.
  template <class T>
  static T* Create(TControl* control, TnuvSkinWindow* skinWindow) {
    T* skin = new T(control, skinWindow);
    try {
      skin->TnuvSkinControlVCL::Start();
    } catch (...) {
      TObject::Free(skin);
      throw;
    }
    return skin;
  }
  void GetControlRect(RECT& rect) override;
  // The control's window; nullptr for a windowless control.
  HWND GetHandle() override;
  bool GetEnabled() override;
  TControl* Control() const { return FControl; }
  // Gives the control its WindowProc back (the frame skin does this before
  // it frees a control skin whose control lives on).
  void RestoreWindowProc();

 protected:
  TnuvSkinControlVCL(TControl* control, TnuvSkinWindow* skinWindow);
  // Passes a message to the control's previous WindowProc.
  void CallOldWindowProc(TMessage& message);

  TControl* FControl;

 private:
  friend void TrackScrollThumb(TnuvSkinControlVCL& skin, const TMessage& message);
  struct CallFrame;
  void Start();
  void WindowProc(TMessage& message, const TWndMethod& next);
  std::unique_ptr<TWindowProcHook> FHook;
  // Control() turns nullptr when the control is freed before its skin.
  TFreeNotifyLink FControlLink;
  CallFrame* FCall = nullptr;  // the message being handled, innermost
  bool FTracksScrollThumb = false;
};

// A control skin of a raw child window, which it subclasses. When the
// window dies first the skin lets go of it (GetHandle is nullptr from then).
class TnuvSkinControlWnd : public TnuvSkinControl {
  NUV_CLASS(TnuvSkinControlWnd, TnuvSkinControl)
  ~TnuvSkinControlWnd() override;
  // Creates a control skin of class T for the window and runs InitSkin;
  // raises (leaving the window as it was) when the window cannot be
  // subclassed or InitSkin raises.
  template <class T>
  static T* Create(HWND wnd, TnuvSkinWindow* skinWindow) {
    T* skin = new T(wnd, skinWindow);
    try {
      skin->TnuvSkinControlWnd::Start();
    } catch (...) {
      TObject::Free(skin);
      throw;
    }
    return skin;
  }
  void GetControlRect(RECT& rect) override;
  HWND GetHandle() override { return FHandle; }
  bool GetEnabled() override;
  int WindowWidth();
  int WindowHeight();
  std::string WindowText();

 protected:
  TnuvSkinControlWnd(HWND wnd, TnuvSkinWindow* skinWindow);
  // Passes a message to the window's previous procedure.
  LRESULT CallOldWndProc(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND FHandle;

 private:
  void Start();
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  TWindowSubclass FSubclass;
  bool* FPassedOn = nullptr;  // set by CallOldWndProc for the message being handled
};

// --- Scroll-thumb tracking -------------------------------------------------

// What the last scroll messages of a tracked control (grids, scroll boxes,
// rich edits) showed of one of its scroll bars; the scroll-bar painter draws
// the thumb where the user drags it. Positions run along the bar: y for the
// vertical bar, x for the horizontal one.
struct TnuvScrollThumbTrack {
  POINT downCursor{};  // the cursor at the last non-client left-button press
  int thumbStart = 0, thumbEnd = 0, thumbLength = 0;  // pixels from the bar's start
  bool tracking = false;                              // the thumb is being dragged
  SCROLLBARINFO info{};                               // as last read
  RECT barRect{};  // the bar in the client coordinates of the control's parent
};

// Process-wide, one for each direction.
const TnuvScrollThumbTrack& VertScrollThumbTrack();
const TnuvScrollThumbTrack& HorzScrollThumbTrack();
// Records what `message` tells of the thumb; the message itself goes on.
void TrackScrollThumb(TnuvSkinControlVCL& skin, const TMessage& message);

// --- Registration tables ----------------------------------------------------

using ControlSkinFactory = TnuvSkinControl* (*)(TControl* control, TnuvSkinWindow* skinWindow);
using WndControlSkinFactory = TnuvSkinControl* (*)(HWND wnd, TnuvSkinWindow* skinWindow);

struct ControlSkinRegistration {
  const TClass* controlClass;
  ControlSkinFactory create;
};
struct WndControlSkinRegistration {
  std::string key;  // upper-case window class, or BUTTON_CHECKBOX / BUTTON_RADIOBUTTON
  WndControlSkinFactory create;
};

template <class Skin>
TnuvSkinControl* MakeControlSkin(TControl* control, TnuvSkinWindow* skinWindow) {
  return TnuvSkinControlVCL::Create<Skin>(control, skinWindow);
}
template <class Skin>
TnuvSkinControl* MakeWndControlSkin(HWND wnd, TnuvSkinWindow* skinWindow) {
  return TnuvSkinControlWnd::Create<Skin>(wnd, skinWindow);
}

// Append to the tables, keeping order; later entries take precedence in the
// framework-class table.
void RegisterControlSkins(const std::vector<ControlSkinRegistration>& pairs);
void RegisterWndControlSkins(const std::vector<WndControlSkinRegistration>& records);
// A new control skin for the control, or nullptr when no entry matches.
TnuvSkinControl* CreateControlSkin(TControl* control, TnuvSkinWindow* skinWindow);
TnuvSkinControl* CreateWndControlSkin(HWND wnd, TnuvSkinWindow* skinWindow);

}  // namespace nuvskin
