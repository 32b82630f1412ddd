// Containers and helpers: panels with bevels, scroll boxes, frames, images,
// and the timer.
#pragma once

#include <string>

#include "framework/StdCtrls.h"

namespace nuvskin {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
NUV_ENUM(TBevelCut, "bvNone", "bvLowered", "bvRaised", "bvSpace");

// A panel: an outer bevel, a border in its colour, an inner bevel, then its
// caption and children inside.
class TCustomPanel : public TCustomControl {
  NUV_CLASS(TCustomPanel, TCustomControl)
  explicit TCustomPanel(TComponent* owner);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);  // bsNone or bsSingle
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void AlignControls(TControl* control, RECT& rect) override;

 private:
  void BordersChanged();
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
  NUV_CLASS(TPanel, TCustomPanel)
  static void Publish(ClassBuilder<TPanel>& b);
  using TCustomPanel::TCustomPanel;
};

// A scrolling container with a border.
class TScrollBox : public TScrollingWinControl {
  NUV_CLASS(TScrollBox, TScrollingWinControl)
  static void Publish(ClassBuilder<TScrollBox>& b);
  explicit TScrollBox(TComponent* owner);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TBorderStyle borderStyle_ = bsSingle;
};

// A reusable group of controls placed on forms like a control.
class TCustomFrame : public TScrollingWinControl {
  NUV_CLASS(TCustomFrame, TScrollingWinControl)
  explicit TCustomFrame(TComponent* owner);
};

class TFrame : public TCustomFrame {
  NUV_CLASS(TFrame, TCustomFrame)
  static void Publish(ClassBuilder<TFrame>& b);
  using TCustomFrame::TCustomFrame;
};

// A picture that is a bitmap or an icon (or nothing).
class TPicture : public TPersistent {
  NUV_CLASS(TPicture, TPersistent)
  TPicture();
  ~TPicture() override;
  TGraphic* Graphic() const { return graphic_; }
  // Takes a copy of `value` (nullptr empties the picture).
  void SetGraphic(TGraphic* value);
  // The picture as a bitmap: an empty bitmap replaces another kind.
  TBitmap* Bitmap();
  // The picture as an icon: an empty icon replaces another kind.
  TIcon* Icon();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  // ".bmp" or ".ico" by the file's extension; other kinds raise
  // EInvalidGraphic and leave the picture as it was.
  void LoadFromFile(const std::string& utf8Path);
  void Assign(TPersistent* source) override;
  TNotifyEvent OnChange;

 private:
  void Replace(TGraphic* graphic);
  void GraphicChanged(TObject*);
  TGraphic* graphic_ = nullptr;
};

class TImage : public TGraphicControl {
  NUV_CLASS(TImage, TGraphicControl)
  static void Publish(ClassBuilder<TImage>& b);
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TPicture* Picture() const { return picture_; }
  void SetPicture(TPicture* value) { picture_->Assign(value); }
  // Stretch: fill the control; Proportional: keep the aspect ratio (and
  // shrink a picture larger than the control); Center: centre what is left.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);
  // A bitmap's transparent colour lets the parent show through.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Where the picture is drawn in the control.
  RECT DestRect() const;

 protected:
  void Paint() override;

 private:
  void PictureChanged(TObject*);
  TPicture* picture_;
  bool stretch_ = false, center_ = false, proportional_ = false, transparent_ = false, autoSize_ = false;
};

// Fires OnTimer every Interval milliseconds while Enabled, from the message
// loop of the thread that created it (through a hidden window of its own).
class TTimer : public TComponent {
  NUV_CLASS(TTimer, TComponent)
  static void Publish(ClassBuilder<TTimer>& b);
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);
  TNotifyEvent OnTimer;

 private:
  static LRESULT CALLBACK TimerWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  void UpdateTimer();
  win::UniqueWindow window_;
  bool enabled_ = true;
  unsigned interval_ = 1000;
};

}  // namespace nuvskin
