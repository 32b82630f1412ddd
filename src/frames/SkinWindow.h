// TnuvSkinWindow: the frame skin of one top-level window. It sizes the
// skinned title bar and borders, paints them (FramePainter.cpp), tracks the
// caption buttons, shapes the window and answers the engine's queries. The
// bindings (forms, raw windows) supply the handle, the message routing and
// the style changes through the virtual operations.
#pragma once

#include <vector>

#include "engine/NUVSkinEngine.h"

namespace nuvskin {

class TnuvSkinControl;

class TnuvSkinWindow : public TComponent {
  NUV_CLASS(TnuvSkinWindow, TComponent)
  // Creates a frame skin of class T (whose constructor is not to be called
  // otherwise) and runs the steps its overrides take part in (Attach,
  // SkinChildren, SetSkinned). A failure frees what was built and
  // propagates.
  template <class T>
  static T* Create(HWND wnd, bool fromHook, TnuvSkinEngine* engine) {
    T* skin = new T(wnd, fromHook, engine);
    skin->Initialize(wnd);
    return skin;
  }
  // Runs the destruction steps that call overrides (SetSkinned(False),
  // UnskinChildren, Detach) and leaves the engine's list.
  void BeforeDestruction() override;
  ~TnuvSkinWindow() override;

  TnuvSkinEngine* Engine() const { return FEngine; }

  // Queries.
  int TitleHeight() const;
  int WindowWidth();
  int WindowHeight();
  std::string GetCaptionA();

  // Actions: each posts WM_SYSCOMMAND, so it runs after the current message.
  void CloseWindow();
  void ContextHelp();
  void MaximizeOrRestore();
  void MinimizeOrRestore();
  void ShowSysMenuAtIcon();
  void ShowSysMenuAt(POINT screenPoint);

  void SetSkinned(bool value);
  void PrepareSkin();
  void ApplySkinFlags();
  void UpdateRegion();
  void PaintFrame();
  void SetTitleVisible(bool value);
  void SetBorderVisible(bool value);
  // Every message of the window passes here while the frame skin exists.
  void FrameWndProc(TMessage& message);

  // Virtual operations; the bindings implement the abstract ones.
  virtual std::wstring GetCaptionW() { return {}; }
  virtual void UpdateFrame() = 0;
  virtual void CallDefault(TMessage& message) = 0;
  virtual void SaveFrameMetrics() {}
  virtual void SkinChildren() = 0;
  virtual void UnskinChildren() = 0;
  // Ends and frees every control skin of FControlSkins, first to last.
  void FreeControlSkins();
  virtual bool CanShapeWindow() { return true; }
  virtual int GetMenuBarHeight() { return 0; }
  virtual HICON GetIconHandle() { return nullptr; }
  virtual bool HasHelpButton() { return false; }
  virtual bool IsMDIForm() { return false; }
  virtual bool IsMDIChild() { return false; }
  virtual bool HasIcon() { return false; }
  virtual bool HasCloseButton() { return true; }
  virtual bool HasMaximizeButton() { return false; }
  virtual bool HasMinimizeButton() { return false; }
  virtual bool SkinWhenHidden() { return false; }
  virtual bool HasToolBarBelowMenu() { return false; }
  virtual bool OwnsNCActivate() { return false; }
  virtual HWND GetHandle() = 0;
  virtual void ClientSizeChanged() {}
  virtual bool BeforeMessage(TMessage& /*message*/) { return true; }
  virtual void AfterMessage(TMessage& /*message*/) {}
  virtual void Attach(HWND wnd) = 0;
  virtual void Detach() = 0;

  // State, read and written by the painter, the bindings and the control
  // skins.
  TnuvSkinEngine* FEngine;
  bool FTitleVisible = true;
  bool FBorderVisible = true;
  bool FDestroying = false;
  TBitmap* FTitleBuffer = nullptr;
  TBitmap* FTitleMaskBuffer = nullptr;
  TBitmap* FBottomBuffer = nullptr;
  TBitmap* FBottomMaskBuffer = nullptr;
  int FOldClientHeight = 0, FOldClientWidth = 0;
  bool FFromHook;
  std::vector<TnuvSkinControl*> FControlSkins;
  bool FCanMaximize = false;
  bool FSysMenuMax = false, FSysMenuMin = false, FSysMenuClose = false;
  int FHotButton = -1;
  bool FPressed = false;
  bool FActive = true;
  bool FSkinned;
  bool FPrepared = false;
  bool FAllowed = true;
  bool FTitleNeedRegion = false, FBottomNeedRegion = false;
  int FButtonsLeft = 10000;
  int FCaptionLeft;
  int FOldCaptionHeight = 0;
  int FOldBottomBorder = 0, FOldSideBorder = 0;
  int FCaptionShift = 0;
  // Only the form binding uses these.
  bool FMDIMaxNotified = false;
  int FLeftBorder = 0, FBottomBorder = 0;
  // Set by the raw-window control walk when it meets an animation or a
  // progress bar (the raw push button then runs without its hover timer).
  bool FHasAnimationChild = false;

 protected:
  TnuvSkinWindow(HWND wnd, bool fromHook, TnuvSkinEngine* engine);
  // The binding took the window's region away: the next UpdateRegion sets one.
  void RegionRemoved();
  // The menu bar's background, in the skin's bitmap or colours.
  void PaintMenuBand(TCanvas* canvas, const RECT& rect);

 private:
  void Initialize(HWND wnd);
  void CalcNonClientSize(TMessage& message);
  // The painter's steps (FramePainter.cpp).
  void PaintTitle(HDC dc, int buttonReserve, bool& minimizedTitle);
  void PaintBorders(HDC dc, int titleOffset);
  // The icon and the caption buttons where the painter puts them: code (0
  // icon, 1 close, 2 maximize, 3 minimize, 4 help), hit rectangle in client
  // coordinates moved down by the title, drawing position, normal glyph.
  struct CaptionElement {
    int code;
    RECT hit;
    int x, y;
    int glyph;
  };
  void LayoutCaptionElements(bool minimized, int width, std::vector<CaptionElement>& elements);
  void PaintCaptionElements(TCanvas* canvas, POINT cursor, const std::vector<CaptionElement>& elements);
  // The caption element under a screen point, or -1.
  int CaptionElementAt(POINT screenPoint);
  void DrawTitleIcon(HDC dc, int x, int y);
  void CorrectHitTest(TMessage& message);
  bool FillsWorkArea(HWND wnd);
  // The region last given to the window, to skip an equal one.
  std::vector<RECT> FLastRegion;
  bool FRegionSet = false;
  bool FInitialized = false;
};

}  // namespace nuvskin
