// TnuvSkinWindowWnd: the frame skin of a top-level window that is no form of
// the application (message boxes, common dialogs, windows of auto-skinned
// classes). It subclasses the window, grows it so that the client area
// keeps its size inside the skinned frame, skins its direct children and
// paints the dialog background in the skin's form colour.
#pragma once

#include "frames/SkinWindow.h"
#include "framework/WindowSubclass.h"

namespace nuvskin {

class TnuvSkinWindowWnd : public TnuvSkinWindow {
  NUV_CLASS(TnuvSkinWindowWnd, TnuvSkinWindow)
  // Made by TnuvSkinWindow::Create only.
  TnuvSkinWindowWnd(HWND wnd, bool fromHook, TnuvSkinEngine* engine);

  std::wstring GetCaptionW() override;
  void UpdateFrame() override;
  void CallDefault(TMessage& message) override;
  void SaveFrameMetrics() override;
  void SkinChildren() override;
  void UnskinChildren() override;
  HWND GetHandle() override { return FHandle; }
  bool BeforeMessage(TMessage& message) override;
  void AfterMessage(TMessage& message) override;
  void Attach(HWND wnd) override;
  void Detach() override;

  HWND FHandle = nullptr;
  LONG_PTR FSavedStyle = 0;
  LONG_PTR FEraseStyle = 0;
  bool FEraseStyleSaved = false;
  bool FGrownOnce = false;
  bool FShellFileDialog = false;
  bool FFolderDialog = false;
  HWND FInnerDialog = nullptr;

 private:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT InnerWndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  void ScanChildren();
  void ColorInnerPanels();
  // What applying the frame added to the window's outer size, taken off
  // again exactly when skinning stops; zero while the frame is not applied.
  bool FFrameApplied = false;
  bool FWindowGone = false;  // destroyed: its frame, style and size are left as they are
  int FAddedWidth = 0, FAddedHeight = 0;
  TWindowSubclass FSubclass;
  TWindowSubclass FInnerSubclass;
};

}  // namespace nuvskin
