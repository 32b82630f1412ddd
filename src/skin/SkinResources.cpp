#include "skin/SkinResources.h"

#include <utility>

#include "draw/BitmapPrimitives.h"

namespace nuvskin {

namespace {

// Skin element indexes read here.
constexpr int kTransColor = 0, kScrollBarColor = 25;
constexpr int kProgressBarFirst = 19, kScrollBarUpButton = 26, kScrollBar = 27, kScrollBarDownButton = 28;

// The whole-thumb mode is recognised by three values of the skin.
constexpr TColor kWholeThumbScrollBarColor = 0xCBCBCB, kWholeThumbMarker = 0xB23901;
constexpr int kWholeThumbHeight = 33;

template <std::size_t N>
void FreeAll(std::array<TBitmap*, N>& bitmaps) {
  for (TBitmap*& b : bitmaps) FreeAndNil(b);
}

template <std::size_t N>
void CreateAll(std::array<TBitmap*, N>& bitmaps) {
  for (TBitmap*& b : bitmaps) b = Create<TBitmap>();
}

template <std::size_t N>
TBitmap* At(const std::array<TBitmap*, N>& bitmaps, int index) {
  return index >= 1 && index <= static_cast<int>(N) ? bitmaps[static_cast<std::size_t>(index - 1)] : nullptr;
}

TBitmap* CopyOf(TBitmap* source) {
  TBitmap* copy = Create<TBitmap>();
  copy->Assign(source);
  return copy;
}

// Rows `first` to `first + height - 1` of `source`, at its full width.
void CutRows(TBitmap* source, TBitmap* dest, int first, int height) {
  dest->SetSize(source->Width(), height);
  CopyBitmapPixels(source, RECT{0, first, source->Width(), first + height}, dest, 0, 0);
}

// The grip test: the middle piece is plain when it is narrow or when row 1
// has one colour from column 4 to column width - 4. A piece without a row 1
// (a thumb too short for a middle) has no grip to keep upright.
bool IsUniform(TBitmap* middle) {
  if (middle->Width() < 8 || middle->Height() < 2) return true;
  const TColor first = middle->PixelAt(4, 1);
  for (int x = 5; x <= middle->Width() - 4; ++x)
    if (middle->PixelAt(x, 1) != first) return false;
  return true;
}

}  // namespace

void TnuvSkinRes::SetReader(TnuvSkinReader* reader) {
  FReader = reader;
  Reload();
}

// --- TnuvSkinScrollBtnRes ---------------------------------------------------

TnuvSkinScrollBtnRes::~TnuvSkinScrollBtnRes() { Clear(); }

void TnuvSkinScrollBtnRes::Clear() {
  FreeAll(FHorzButtons);
  FreeAll(FVertButtons);
  FreeAll(FHorzThumb);
  FreeAll(FVertThumb);
  FreeAndNil(FHorzWholeThumb);
  FreeAndNil(FVertWholeThumb);
  FWholeThumb = false;
}

TBitmap* TnuvSkinScrollBtnRes::HorzButton(int index) const { return At(FHorzButtons, index); }
TBitmap* TnuvSkinScrollBtnRes::VertButton(int index) const { return At(FVertButtons, index); }
TBitmap* TnuvSkinScrollBtnRes::HorzThumbPart(int index) const { return At(FHorzThumb, index); }
TBitmap* TnuvSkinScrollBtnRes::VertThumbPart(int index) const { return At(FVertThumb, index); }

void TnuvSkinScrollBtnRes::Reload() {
  Clear();
  if (!FReader || !FReader->Loaded()) return;
  const TColor transColor = FReader->GetColor(kTransColor);
  const TColor scrollBarColor = FReader->GetColor(kScrollBarColor);
  CreateAll(FHorzButtons);
  CreateAll(FVertButtons);
  CreateAll(FHorzThumb);
  CreateAll(FVertThumb);

  TBitmap* up = FReader->GetBitmap(kScrollBarUpButton);
  TBitmap* down = FReader->GetBitmap(kScrollBarDownButton);
  for (std::size_t k = 0; k < 3; ++k) {
    const int frame = static_cast<int>(k) + 1;
    CutFrame(up, FVertButtons[k], 3, frame);
    CutFrame(down, FVertButtons[3 + k], 3, frame);
    // An up arrow turned counter-clockwise points left, a down arrow right.
    CutFrame(up, FHorzButtons[k], 3, frame);
    RotateBitmap90CCW(FHorzButtons[k]);
    CutFrame(down, FHorzButtons[3 + k], 3, frame);
    RotateBitmap90CCW(FHorzButtons[3 + k]);
  }

  TBitmap* thumb = FReader->GetBitmap(kScrollBar);
  // Without a thumb the buttons keep the transparent colour.
  if (!thumb) return;
  if (scrollBarColor == kWholeThumbScrollBarColor && thumb->Height() == kWholeThumbHeight && thumb->Width() > 1 &&
      thumb->PixelAt(1, 10) == kWholeThumbMarker) {
    FWholeThumb = true;
    FVertWholeThumb = CopyOf(thumb);
    FHorzWholeThumb = CopyOf(thumb);
    RotateBitmap90CCW(FHorzWholeThumb);
  }
  BuildThumb(thumb);

  for (auto* set : {&FHorzButtons, &FVertButtons})
    for (TBitmap* b : *set) ReplaceColor(b, transColor, scrollBarColor);
  for (auto* set : {&FHorzThumb, &FVertThumb})
    for (TBitmap* b : *set) ReplaceColor(b, transColor, scrollBarColor);
}

void TnuvSkinScrollBtnRes::BuildThumb(TBitmap* thumb) {
  const int width = thumb->Width(), height = thumb->Height();
  const int f = (height - 6) / 3;
  // Row 3 is never used; the middle and the lower part may share a row.
  CutRows(thumb, FVertThumb[0], 0, 3);
  CutRows(thumb, FVertThumb[4], height - 3, 3);
  if (f > 0) {
    CutRows(thumb, FVertThumb[1], 4, f);
    CutRows(thumb, FVertThumb[2], f + 4, height - 6 - 2 * f);
    CutRows(thumb, FVertThumb[3], height - 3 - f, f);
  } else {
    for (std::size_t k = 1; k <= 3; ++k) FVertThumb[k]->SetSize(width, 1);
  }

  if (IsUniform(FVertThumb[2])) {
    for (std::size_t k = 0; k < 5; ++k) {
      FHorzThumb[k]->Assign(FVertThumb[k]);
      RotateBitmap90CCW(FHorzThumb[k]);
    }
    return;
  }
  // A grip across the middle stays the right way up only when turned
  // clockwise; the buttons follow, so left and right swap.
  for (std::size_t k = 0; k < 5; ++k) {
    FHorzThumb[4 - k]->Assign(FVertThumb[k]);
    RotateBitmap90CW(FHorzThumb[4 - k]);
  }
  for (std::size_t k = 0; k < 3; ++k) {
    std::swap(FHorzButtons[k], FHorzButtons[3 + k]);
    RotateBitmap180(FHorzButtons[k]);
    RotateBitmap180(FHorzButtons[3 + k]);
  }
}

// --- TnuvSkinProgressBarRes -------------------------------------------------

TnuvSkinProgressBarRes::~TnuvSkinProgressBarRes() { Clear(); }

void TnuvSkinProgressBarRes::Clear() {
  FreeAll(FBars);
  FreeAll(FTurnedBars);
  FStartWidth = FEndWidth = 0;
}

TBitmap* TnuvSkinProgressBarRes::Bar(int index) const { return At(FBars, index); }
TBitmap* TnuvSkinProgressBarRes::TurnedBar(int index) const { return At(FTurnedBars, index); }

void TnuvSkinProgressBarRes::Reload() {
  Clear();
  if (!FReader || !FReader->Loaded()) return;
  for (std::size_t k = 0; k < 4; ++k) {
    FBars[k] = Create<TBitmap>();
    if (TBitmap* bar = FReader->GetBitmap(kProgressBarFirst + static_cast<int>(k))) FBars[k]->Assign(bar);
    FTurnedBars[k] = CopyOf(FBars[k]);
    RotateBitmap90CCW(FTurnedBars[k]);
  }
  FStartWidth = FBars[0]->Width();
  FEndWidth = FBars[3]->Width();
}

}  // namespace nuvskin
