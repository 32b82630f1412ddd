// The button skins: framework push and bitmap buttons and speed buttons, and
// the push buttons of raw dialogs; with the rules they share (the background
// under a framework button, the glyph beside the caption, the caption colour
// a skin gives a control and takes back).
#pragma once

#include "controls/SkinControl.h"
#include "framework/StdCtrls.h"
#include "framework/Win32Handles.h"

namespace nuvskin {

class TTimer;

// What a framework button is drawn on: its parent's published Color, else
// the skin's form colour.
TColor ButtonBackgroundColor(TControl* control, TnuvSkinEngine* engine);

// The glyph and caption of a framework button inside `client` by the
// framework's own layout rule, measured in the control's font (which the
// canvas takes) with its text-direction flags. Right to left, a glyph left
// goes right; the control's Layout stays as it is.
TGlyphPlacement PlaceGlyphAndCaption(TControl* control, TCanvas* canvas, const RECT& client, SIZE glyphSize,
                                     int layout, int margin, int spacing);

// Image 1 of a glyph of `numGlyphs` images (image 2, when it has one, for a
// disabled control), transparent in its lower-left colour, at `pos` moved
// by one pixel when `pushed`; a one-image glyph of a disabled control is
// drawn greyed where it is.
void DrawSkinGlyph(TCanvas* canvas, TBitmap* glyph, int numGlyphs, bool enabled, POINT pos, bool pushed);

// The caption colour a skin gives a framework control while it skins (and
// the engine lets it), and the control's own colour given back otherwise.
class TnuvSkinFontColor {
 public:
  void Save(TControl* control);
  // The skin's colour `colorIndex` or the saved one, by the engine's state.
  void Apply(TControl* control, TnuvSkinEngine* engine, int colorIndex) const;
  // Whether a painter may give the control the skin's colour now.
  static bool Allowed(TnuvSkinEngine* engine);

 private:
  TColor FSavedColor = clWindowText;
};

// The WM_PAINT a button skin answers with its own face. The erase that
// BeginPaint sends meanwhile and the base's repaint after the message would
// only paint the same face again: the skin leaves them out.
class TnuvSkinOwnPaint {
 public:
  // A window's WM_PAINT: `paint` between BeginPaint and EndPaint. The face
  // still goes whole through a device context of the window's own, since a
  // WM_PAINT posted with nothing invalid must show it too.
  template <class Paint>
  void Answer(HWND wnd, Paint&& paint) {
    FAnswered = true;
    win::PaintDC paintDC(wnd);
    paint();
  }
  // A windowless control's WM_PAINT, with its parent's device context
  // (DC while `paint` runs).
  template <class Paint>
  void AnswerOn(HDC dc, Paint&& paint) {
    FAnswered = true;
    struct Reset {
      HDC& dc;
      ~Reset() { dc = nullptr; }
    } reset{FDC};
    FDC = dc;
    paint();
  }
  // Whether the repaint after `msg` is one of those; the WM_PAINT ends it.
  bool LeavesOut(UINT msg);
  // Whether an erase now is the one BeginPaint sends.
  bool Answering() const { return FAnswered; }
  HDC DC() const { return FDC; }

 private:
  HDC FDC = nullptr;
  bool FAnswered = false;
};

// The skin's button face for one state at one size on one background, kept
// and drawn again only when one of them or the skin changes: cutting the
// state frame and drawing it nine-sliced is most of what a paint costs.
class TnuvSkinButtonFace {
 public:
  TnuvSkinButtonFace();
  ~TnuvSkinButtonFace();
  TnuvSkinButtonFace(const TnuvSkinButtonFace&) = delete;
  TnuvSkinButtonFace& operator=(const TnuvSkinButtonFace&) = delete;
  // Frame `frame` (1 normal, 2 hot, 3 down) of SKIN2_BUTTON over
  // (0, 0, width, height) of `canvas`, on `background`.
  void Draw(TnuvSkinEngine* engine, TCanvas* canvas, int width, int height, int frame, TColor background);
  // The skin changed: the next Draw draws the face anew.
  void Forget() { FValid = false; }

 private:
  OwnedObject<TBitmap> FFace;
  bool FValid = false;
  int FFrameIndex = 0;
  TColor FBackground = 0, FTransColor = 0;
  bool FTransparent = false;
  const TnuvSkinReader* FSkin = nullptr;
};

// A framework push button (TButton and its descendants, TBitBtn among them).
class TnuvSkinButton : public TnuvSkinControlVCL {
  NUV_CLASS(TnuvSkinButton, TnuvSkinControlVCL)
  TnuvSkinButton(TControl* control, TnuvSkinWindow* skinWindow);
  ~TnuvSkinButton() override;
  bool BeforeWndProc(TMessage& message) override;
  void AfterWndProc(TMessage& message) override;
  void Paint() override;
  void MouseDown() override;
  void MouseUp() override;
  void KeyDown(WORD key) override;
  void KeyUp(WORD key) override;
  void SkinChanged() override;
  void InitSkin() override;

 private:
  // Draws the glyph on the face; returns the caption rectangle.
  RECT DrawGlyph(TCanvas* canvas, const RECT& client);
  RECT DrawBitmapGlyph(TCanvas* canvas, const RECT& client, TBitmap* glyph, int numGlyphs, int layout, int margin,
                       int spacing);
  RECT DrawListImage(TCanvas* canvas, const RECT& client);
  bool FClickArmed = false;
  bool FKeyDownSeen = false;
  TnuvSkinFontColor FFontColor;
  // Kept between paints: the face of the state and the composed picture.
  TnuvSkinButtonFace FFace;
  OwnedObject<TBitmap> FBuffer;
  TnuvSkinOwnPaint FOwnPaint;
};

// A framework speed button: a flat face in the skin's tool-bar colours.
class TnuvSkinSpeedButton : public TnuvSkinControlVCL {
  NUV_CLASS(TnuvSkinSpeedButton, TnuvSkinControlVCL)
  TnuvSkinSpeedButton(TControl* control, TnuvSkinWindow* skinWindow);
  ~TnuvSkinSpeedButton() override;
  bool BeforeWndProc(TMessage& message) override;
  void AfterWndProc(TMessage& message) override;
  void Paint() override;

 private:
  void PaintFace(TCanvas* canvas, RECT r, bool down, bool hot, bool timerButton);
  OwnedObject<TBitmap> FBuffer;
  TnuvSkinOwnPaint FOwnPaint;
};

// A push button of a raw window (a dialog's "Button" child): SKIN2_BUTTON
// face, hot while the mouse is over it (a timer sees it leave), and a click
// posted to the parent as its command.
class TnuvSkinWndButton : public TnuvSkinControlWnd {
  NUV_CLASS(TnuvSkinWndButton, TnuvSkinControlWnd)
  TnuvSkinWndButton(HWND wnd, TnuvSkinWindow* skinWindow);
  ~TnuvSkinWndButton() override;
  bool BeforeWndProc(TMessage& message) override;
  void AfterWndProc(TMessage& message) override;
  void Paint() override;
  void MouseDown() override;
  void MouseUp() override;
  void SkinChanged() override;
  void InitSkin() override;
  void DoneSkin() override;
  bool HasHoverTimer() const { return static_cast<bool>(FHoverTimer); }

 private:
  void HoverTimerTick(TObject* sender);
  bool FClickArmed = false;
  bool FFirstPaintDone = false;
  OwnedObject<TTimer> FHoverTimer;
  TnuvSkinButtonFace FFace;
  OwnedObject<TBitmap> FBuffer;
  OwnedObject<TFont> FFont;
  bool FFontChanged = true;  // the buffer's canvas does not have FFont yet
  TnuvSkinOwnPaint FOwnPaint;
};

}  // namespace nuvskin
