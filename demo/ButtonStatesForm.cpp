#include "ButtonStatesForm.h"

#include <string>

#include "Place.h"
#include "framework/Buttons.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

namespace nuvskin::demo {

namespace {

void Heading(TWinControl* parent, int top, const wchar_t* text) {
  auto* label = Place<TLabel>(parent, 16, top, 400, 16);
  label->SetCaption(text);
}

// Radio buttons of one container form a group: each checked one needs its
// own.
TPanel* RadioGroup(TWinControl* parent, int top) {
  auto* panel = Place<TPanel>(parent, 16, top, 360, 22);
  panel->SetBevelOuter(bvNone);
  panel->SetParentColor(true);
  return panel;
}

}  // namespace

TButtonStatesForm::TButtonStatesForm(TComponent* owner) : TForm(owner) {
  SetCaption(L"Button states");
  SetPosition(poMainFormCenter);
  SetClientWidth(580);
  SetClientHeight(330);

  Heading(this, 10, L"Push buttons");
  const wchar_t* states[] = {L"Normal", L"Hot", L"Pressed", L"Focused", L"Disabled"};
  TButton* push[5] = {};
  for (int i = 0; i < 5; ++i) {
    push[i] = Place<TButton>(this, 16 + 112 * i, 30, 100, 28);
    push[i]->SetCaption(states[i]);
  }
  hot_ = push[1];
  pressed_ = push[2];
  focused_ = push[3];
  push[4]->SetEnabled(false);

  Heading(this, 72, L"Bitmap buttons");
  const TButtonLayout layouts[] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom, blGlyphLeft};
  const wchar_t* layoutNames[] = {L"Left", L"Right", L"Top", L"Bottom", L"Disabled"};
  for (int i = 0; i < 5; ++i) {
    auto* bitmap = Place<TBitBtn>(this, 16 + 112 * i, 92, 100, 56);
    bitmap->SetKind(bkOK);
    bitmap->SetModalResult(mrNone);
    bitmap->SetLayout(layouts[i]);
    bitmap->SetCaption(layoutNames[i]);
    bitmap->SetEnabled(i < 4);
  }

  Heading(this, 162, L"Check boxes");
  const wchar_t* checkNames[] = {L"Checked", L"Grayed", L"Unchecked"};
  const TCheckBoxState checkStates[] = {cbChecked, cbGrayed, cbUnchecked};
  for (int row = 0; row < 2; ++row) {
    for (int i = 0; i < 3; ++i) {
      auto* box = Place<TCheckBox>(this, 16 + 180 * i, 182 + 24 * row, 170, 20);
      box->SetCaption(std::wstring(checkNames[i]) + (row ? L", disabled" : L""));
      box->SetAllowGrayed(true);
      box->SetState(checkStates[i]);
      box->SetEnabled(row == 0);
    }
  }

  Heading(this, 242, L"Radio buttons");
  for (int row = 0; row < 2; ++row) {
    TPanel* group = RadioGroup(this, 262 + 24 * row);
    for (int i = 0; i < 2; ++i) {
      auto* radio = Place<TRadioButton>(group, 180 * i, 1, 170, 20);
      radio->SetCaption(std::wstring(i ? L"Unchecked" : L"Checked") + (row ? L", disabled" : L""));
      radio->SetChecked(i == 0);
      radio->SetEnabled(row == 0);
    }
  }
  SetActiveControl(focused_);
  OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
}

}  // namespace nuvskin::demo
