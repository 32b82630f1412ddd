// A form whose whole frame (title bar, borders, close button) is painted by
// its own non-client handling: what the skin engine does for every window,
// done by hand for one.
#pragma once

#include "framework/Forms.h"

namespace nuvskin::demo {

class TOwnFrameForm : public TForm {
  NUV_CLASS(TOwnFrameForm, TForm)
  explicit TOwnFrameForm(TComponent* owner);
  void WndProc(TMessage& message) override;

 private:
  void PaintFrame();
  LRESULT HitTest(POINT screen);
};

}  // namespace nuvskin::demo
