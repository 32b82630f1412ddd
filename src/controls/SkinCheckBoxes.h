// The check box and radio button skins: the control keeps drawing its own
// caption and background, and after each event that makes it redraw the
// skin draws its state image where the control's own box is.
#pragma once

#include "controls/SkinButtons.h"

namespace nuvskin {

// The image of a check box or radio button, composed in bitmaps kept between
// paints: a state frame cut from the skin, on a box filled with a colour.
class TnuvSkinCheckImage {
 public:
  TnuvSkinCheckImage();
  ~TnuvSkinCheckImage();
  TnuvSkinCheckImage(const TnuvSkinCheckImage&) = delete;
  TnuvSkinCheckImage& operator=(const TnuvSkinCheckImage&) = delete;
  // Frame `frame` of the `frames` of skin bitmap `bitmapIndex`; empty when
  // the skin has no such bitmap.
  void Cut(TnuvSkinEngine* engine, int bitmapIndex, int frames, int frame, bool transparent);
  // The image at the top-left corner of a box of at least `minWidth` x
  // `minHeight` filled with `fill`.
  TBitmap* Box(int minWidth, int minHeight, TColor fill);
  int Width() const;
  int Height() const;

 private:
  OwnedObject<TBitmap> FImage;
  OwnedObject<TBitmap> FBox;
};

// What the framework check box and radio button skins share: the image at
// the control's box and the skin's caption colour.
class TnuvSkinCheckControl : public TnuvSkinControlVCL {
  NUV_CLASS(TnuvSkinCheckControl, TnuvSkinControlVCL)
  void SkinChanged() override;
  void InitSkin() override;

 protected:
  using TnuvSkinControlVCL::TnuvSkinControlVCL;
  void PaintImage(int bitmapIndex, int frames, int frame, bool transparent, TAlignment alignment);
  TnuvSkinFontColor FFontColor;
  TnuvSkinCheckImage FImage;
};

// A framework check box (every TCustomCheckBox).
class TnuvSkinCheckBox : public TnuvSkinCheckControl {
  NUV_CLASS(TnuvSkinCheckBox, TnuvSkinCheckControl)
  TnuvSkinCheckBox(TControl* control, TnuvSkinWindow* skinWindow) : TnuvSkinCheckControl(control, skinWindow) {}
  void AfterWndProc(TMessage& message) override;
  void Paint() override;
};

// A framework radio button (TRadioButton). A double click goes to its
// OnDblClick and not to the control.
class TnuvSkinRadioButton : public TnuvSkinCheckControl {
  NUV_CLASS(TnuvSkinRadioButton, TnuvSkinCheckControl)
  TnuvSkinRadioButton(TControl* control, TnuvSkinWindow* skinWindow) : TnuvSkinCheckControl(control, skinWindow) {}
  bool BeforeWndProc(TMessage& message) override;
  void AfterWndProc(TMessage& message) override;
  void Paint() override;
};

// What the raw check box and radio button skins share: the image on a
// form-coloured strip at the window's top-left corner.
class TnuvSkinWndCheckControl : public TnuvSkinControlWnd {
  NUV_CLASS(TnuvSkinWndCheckControl, TnuvSkinControlWnd)
  void AfterWndProc(TMessage& message) override;

 protected:
  using TnuvSkinControlWnd::TnuvSkinControlWnd;
  void PaintImage(int bitmapIndex, int frames, int frame, bool transparent);
  TnuvSkinCheckImage FImage;
};

// A check box of a raw window ("Button" with a check box style).
class TnuvSkinWndCheckBox : public TnuvSkinWndCheckControl {
  NUV_CLASS(TnuvSkinWndCheckBox, TnuvSkinWndCheckControl)
  TnuvSkinWndCheckBox(HWND wnd, TnuvSkinWindow* skinWindow) : TnuvSkinWndCheckControl(wnd, skinWindow) {}
  void Paint() override;
};

// A radio button of a raw window.
class TnuvSkinWndRadioButton : public TnuvSkinWndCheckControl {
  NUV_CLASS(TnuvSkinWndRadioButton, TnuvSkinWndCheckControl)
  TnuvSkinWndRadioButton(HWND wnd, TnuvSkinWindow* skinWindow) : TnuvSkinWndCheckControl(wnd, skinWindow) {}
  void Paint() override;
};

}  // namespace nuvskin
