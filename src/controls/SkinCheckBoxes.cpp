#include "controls/SkinCheckBoxes.h"

#include <algorithm>

#include "draw/NUVSkinUtils.h"

namespace nuvskin {

// --- TnuvSkinCheckImage ---------------------------------------------------------

TnuvSkinCheckImage::TnuvSkinCheckImage() : FImage(Create<TBitmap>()), FBox(Create<TBitmap>()) {}

TnuvSkinCheckImage::~TnuvSkinCheckImage() = default;

void TnuvSkinCheckImage::Cut(TnuvSkinEngine* engine, int bitmapIndex, int frames, int frame, bool transparent) {
  FImage->SetTransparentColor(engine->GetSkinColor(SkinColor::TRANSCOLOR));
  FImage->SetTransparent(transparent);
  if (!engine->GetSkinBitmap(bitmapIndex, FImage.get(), frames, frame)) FImage->SetSize(0, 0);
}

TBitmap* TnuvSkinCheckImage::Box(int minWidth, int minHeight, TColor fill) {
  FBox->SetSize(std::max(FImage->Width(), minWidth), std::max(FImage->Height(), minHeight));
  FillRectColor(FBox->Canvas(), RECT{0, 0, FBox->Width(), FBox->Height()}, fill);
  FBox->Canvas()->Draw(0, 0, FImage.get());
  return FBox.get();
}

int TnuvSkinCheckImage::Width() const { return FImage->Width(); }
int TnuvSkinCheckImage::Height() const { return FImage->Height(); }

// --- Framework check boxes and radio buttons ---------------------------------------

void TnuvSkinCheckControl::InitSkin() {
  TnuvSkinControlVCL::InitSkin();
  FFontColor.Save(FControl);
}

void TnuvSkinCheckControl::SkinChanged() {
  TnuvSkinControlVCL::SkinChanged();
  FFontColor.Apply(FControl, FEngine, SkinColor::CONTROLFONTCOLOR);
}

void TnuvSkinCheckControl::PaintImage(int bitmapIndex, int frames, int frame, bool transparent,
                                      TAlignment alignment) {
  auto* control = dynamic_cast<TWinControl*>(FControl);
  if (!control || !control->HandleAllocated()) return;
  FImage.Cut(FEngine, bitmapIndex, frames, frame, transparent);
  const bool rightToLeft = FControl->BiDiMode() == bdRightToLeft;
  const bool boxLeft =
      (alignment == taRightJustify && !rightToLeft) || (alignment == taLeftJustify && rightToLeft);
  const POINT at{boxLeft ? 0 : FControl->Width() - FImage.Width() - 1,
                 (FControl->ClientHeight() - FImage.Height()) / 2};
  DrawBitmapAt(FImage.Box(13, 13, FControl->Color()), at);
}

void TnuvSkinCheckBox::AfterWndProc(TMessage& message) {
  TnuvSkinCheckControl::AfterWndProc(message);
  if (!FReleased && (message.Msg == BM_SETCHECK || message.Msg == WM_LBUTTONDBLCLK)) Paint();
}

void TnuvSkinCheckBox::Paint() {
  auto* box = dynamic_cast<TCustomCheckBox*>(FControl);
  if (!box) return;
  static constexpr int kFrames[] = {3, 1, 2};  // by State: unchecked, checked, grayed
  const int frame = kFrames[std::clamp(static_cast<int>(box->State()), 0, 2)] + (box->Enabled() ? 0 : 3);
  PaintImage(SkinBitmap::CHECKBOX, 6, frame, FEngine->GetSkinFlag(SkinFlag::CHECKBOXTRANS), box->Alignment());
}

bool TnuvSkinRadioButton::BeforeWndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDBLCLK:
      if (FControl->OnDblClick) FControl->OnDblClick(FControl);
      return false;
    case WM_ERASEBKGND:
      message.Result = 1;
      return false;
    default:
      return true;
  }
}

void TnuvSkinRadioButton::AfterWndProc(TMessage& message) {
  TnuvSkinCheckControl::AfterWndProc(message);
  if (!FReleased && message.Msg == BM_SETCHECK) Paint();
}

void TnuvSkinRadioButton::Paint() {
  auto* radio = dynamic_cast<TRadioButton*>(FControl);
  if (!radio) return;
  const int frame = (radio->Checked() ? 1 : 2) + (radio->Enabled() ? 0 : 2);
  // The radio image is always keyed, whatever the skin's flag says.
  PaintImage(SkinBitmap::RADIOBUTTON, 4, frame, true, radio->Alignment());
}

// --- Raw check boxes and radio buttons ----------------------------------------------

// The system paints its own box again when the check changes (a dialog's
// CheckDlgButton): the skin's image goes back over it.
void TnuvSkinWndCheckControl::AfterWndProc(TMessage& message) {
  TnuvSkinControlWnd::AfterWndProc(message);
  if (!FReleased && (message.Msg == WM_LBUTTONDBLCLK || message.Msg == BM_SETCHECK)) Paint();
}

void TnuvSkinWndCheckControl::PaintImage(int bitmapIndex, int frames, int frame, bool transparent) {
  FImage.Cut(FEngine, bitmapIndex, frames, frame, transparent);
  DrawBitmapAt(FImage.Box(14, WindowHeight(), FEngine->GetSkinColor(SkinColor::FORMCOLOR)), POINT{0, 0});
}

void TnuvSkinWndCheckBox::Paint() {
  if (!FHandle) return;
  const LRESULT check = ::SendMessageW(FHandle, BM_GETCHECK, 0, 0);
  const int frame = (check == BST_CHECKED ? 1 : check == BST_UNCHECKED ? 3 : 2) + (GetEnabled() ? 0 : 3);
  PaintImage(SkinBitmap::CHECKBOX, 6, frame, FEngine->GetSkinFlag(SkinFlag::CHECKBOXTRANS));
}

void TnuvSkinWndRadioButton::Paint() {
  if (!FHandle) return;
  const bool checked = ::SendMessageW(FHandle, BM_GETCHECK, 0, 0) != 0;
  PaintImage(SkinBitmap::RADIOBUTTON, 4, (checked ? 1 : 2) + (GetEnabled() ? 0 : 2), true);
}

}  // namespace nuvskin
