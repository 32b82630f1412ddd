// One button of each kind in each of its states, side by side: push buttons
// normal, hot, pressed, focused and disabled, bitmap buttons with each glyph
// layout, check boxes in their six states and radio buttons in their four.
// Hot and pressed come from the mouse, so a picture of them takes the mouse
// to those two buttons (the demo's tour does).
#pragma once

#include "framework/Forms.h"

namespace nuvskin {
class TButton;
}

namespace nuvskin::demo {

class TButtonStatesForm : public TForm {
  NUV_CLASS(TButtonStatesForm, TForm)
  explicit TButtonStatesForm(TComponent* owner);

  TButton* HotButton() const { return hot_; }
  TButton* PressedButton() const { return pressed_; }
  TButton* FocusedButton() const { return focused_; }

 private:
  TButton* hot_ = nullptr;
  TButton* pressed_ = nullptr;
  TButton* focused_ = nullptr;
};

}  // namespace nuvskin::demo
