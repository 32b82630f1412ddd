// Buttons with glyphs: the owner-drawn TBitBtn (a TButton) with its stock
// kinds, and the windowless TSpeedButton with groups and a flat look. Both
// place glyph and caption by the same layout rule.
#pragma once

#include <string>

#include "framework/StdCtrls.h"

namespace nuvskin {

// The images of a glyph bitmap, side by side in this order.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
NUV_ENUM(TButtonState, "bsUp", "bsDisabled", "bsDown", "bsExclusive");

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
NUV_ENUM(TBitBtnKind, "bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry",
         "bkIgnore", "bkAll");

// Draws image `state` of a glyph of `numGlyphs` images (image 0 when the
// glyph has fewer), transparent in its lower-left colour; a one-image glyph
// in the disabled state is drawn greyed.
void DrawButtonGlyph(TCanvas* canvas, TBitmap* glyph, int numGlyphs, TButtonState state, int x, int y);

// A glyph and its caption together, with the layout both buttons publish.
// Every change, the glyph's own included, repaints `control`.
class TButtonGlyph {
 public:
  explicit TButtonGlyph(TControl* control);
  ~TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;
  TBitmap* Glyph() const { return glyph_; }
  // A copy of `value` (none clears it); the number of images is guessed
  // from a glyph whose width is a multiple of its height.
  void SetGlyph(TBitmap* value);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);  // 1..4
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return margin_; }
  void SetMargin(int value);  // -1: centred
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);  // -1: centred
  // Draws into `client`; returns the caption rectangle used.
  RECT Draw(TCanvas* canvas, const RECT& client, const std::wstring& caption, TButtonState state, UINT textFlags,
            bool rightToLeft, TFont* font);

 private:
  void GlyphChanged(TObject*) { control_->Invalidate(); }
  TControl* control_;
  TBitmap* glyph_;
  int numGlyphs_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
};

class TBitBtn : public TButton {
  NUV_CLASS(TBitBtn, TButton)
  static void Publish(ClassBuilder<TBitBtn>& b);
  explicit TBitBtn(TComponent* owner);
  TBitmap* Glyph() const { return glyph_.Glyph(); }
  void SetGlyph(TBitmap* value) { glyph_.SetGlyph(value); }
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int value) { glyph_.SetNumGlyphs(value); }
  TButtonLayout Layout() const { return glyph_.Layout(); }
  void SetLayout(TButtonLayout value) { glyph_.SetLayout(value); }
  int Margin() const { return glyph_.Margin(); }
  void SetMargin(int value) { glyph_.SetMargin(value); }
  int Spacing() const { return glyph_.Spacing(); }
  void SetSpacing(int value) { glyph_.SetSpacing(value); }
  // A stock button: caption, glyph, ModalResult and Default/Cancel.
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind value);
  void Click() override;

 protected:
  bool OwnerDrawn() const override { return true; }
  void DrawContent(TCanvas* canvas, const RECT& content, bool pushed, bool enabled) override;

 private:
  TButtonGlyph glyph_;
  TBitBtnKind kind_ = bkCustom;
};

// A button without a window. Buttons of one GroupIndex (not 0) under one
// parent are exclusive: pressing one releases the others.
class TSpeedButton : public TGraphicControl {
  NUV_CLASS(TSpeedButton, TGraphicControl)
  static void Publish(ClassBuilder<TSpeedButton>& b);
  explicit TSpeedButton(TComponent* owner);
  bool Down() const { return down_; }
  void SetDown(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  // The group may have no button down.
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  // Flat: the frame shows only while the mouse is over the button.
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TBitmap* Glyph() const { return glyph_.Glyph(); }
  void SetGlyph(TBitmap* value) { glyph_.SetGlyph(value); }
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int value) { glyph_.SetNumGlyphs(value); }
  TButtonLayout Layout() const { return glyph_.Layout(); }
  void SetLayout(TButtonLayout value) { glyph_.SetLayout(value); }
  int Margin() const { return glyph_.Margin(); }
  void SetMargin(int value) { glyph_.SetMargin(value); }
  int Spacing() const { return glyph_.Spacing(); }
  void SetSpacing(int value) { glyph_.SetSpacing(value); }
  TButtonState State() const { return state_; }
  bool MouseInControl() const { return mouseInControl_; }
  void Click() override;
  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void UpdateExclusive();
  TButtonGlyph glyph_;
  TButtonState state_ = bsUp;
  bool down_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool flat_ = false;
  bool transparent_ = true;
  bool dragging_ = false;
  bool mouseInControl_ = false;
};

}  // namespace nuvskin
