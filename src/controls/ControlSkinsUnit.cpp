// The controls' unit: it fills both registration tables once, before any
// window exists. Each list keeps the order of its table, so a skin that
// comes later goes in at its own place: in the framework-class table a
// later entry wins, so a class must follow its ancestors.
#include "controls/NUVSkinStdCtrl.h"
#include "controls/NUVSkinStdWnd.h"
#include "framework/Buttons.h"

namespace nuvskin {

void InitializeControlSkinsUnit() {
  RegisterControlSkins({
      {&TSpeedButton::StaticClass(), MakeControlSkin<TnuvSkinSpeedButton>},
      {&TRadioButton::StaticClass(), MakeControlSkin<TnuvSkinRadioButton>},
      {&TCustomCheckBox::StaticClass(), MakeControlSkin<TnuvSkinCheckBox>},
      {&TButton::StaticClass(), MakeControlSkin<TnuvSkinButton>},
  });
  RegisterWndControlSkins({
      {"BUTTON", MakeWndControlSkin<TnuvSkinWndButton>},
      {"BUTTON_CHECKBOX", MakeWndControlSkin<TnuvSkinWndCheckBox>},
      {"BUTTON_RADIOBUTTON", MakeWndControlSkin<TnuvSkinWndRadioButton>},
  });
}

// The tables outlive the units: frame skins still being freed may look
// skins up while the library ends.
void FinalizeControlSkinsUnit() {}

}  // namespace nuvskin
