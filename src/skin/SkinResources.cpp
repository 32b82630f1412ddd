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

// Every slot gets a bitmap; those of the last load stay, so that a piece of
// the same size is rebuilt in its own DIB instead of a new one.
template <std::size_t N>
void KeepAll(std::array<TBitmap*, N>& bitmaps) {
  for (TBitmap*& b : bitmaps)
    if (!b) b = Create<TBitmap>();
}

template <std::size_t N>
void EmptyAll(std::array<TBitmap*, N>& bitmaps) {
  for (TBitmap* b : bitmaps) b->SetSize(0, 0);
}

// Frame `frame` of three, or nothing when the skin lacks the bitmap.
void CutButtonFrame(TBitmap* source, TBitmap* dest, int frame) {
  if (source)
    CutFrame(source, dest, 3, frame);
  else
    dest->SetSize(0, 0);
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
  // Rows the source lacks stay black, as in a new bitmap.
  if (first < 0 || first + height > source->Height()) dest->SetSize(0, 0);
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
  FreeAndNil(FHorzWholeThumb);
  FreeAndNil(FVertWholeThumb);
  FWholeThumb = false;
  if (!FReader || !FReader->Loaded()) {
    Clear();
    return;
  }
  const TColor transColor = FReader->GetColor(kTransColor);
  const TColor scrollBarColor = FReader->GetColor(kScrollBarColor);
  // Every piece below is rewritten whole or emptied.
  KeepAll(FHorzButtons);
  KeepAll(FVertButtons);
  KeepAll(FHorzThumb);
  KeepAll(FVertThumb);

  TBitmap* up = FReader->GetBitmap(kScrollBarUpButton);
  TBitmap* down = FReader->GetBitmap(kScrollBarDownButton);
  for (std::size_t k = 0; k < 3; ++k) {
    const int frame = static_cast<int>(k) + 1;
    CutButtonFrame(up, FVertButtons[k], frame);
    CutButtonFrame(down, FVertButtons[3 + k], frame);
    // An up arrow turned counter-clockwise points left, a down arrow right.
    RotateBitmap90CCW(FVertButtons[k], FHorzButtons[k]);
    RotateBitmap90CCW(FVertButtons[3 + k], FHorzButtons[3 + k]);
  }

  TBitmap* thumb = FReader->GetBitmap(kScrollBar);
  // Without a thumb the buttons keep the transparent colour.
  if (!thumb) {
    EmptyAll(FHorzThumb);
    EmptyAll(FVertThumb);
    return;
  }
  if (scrollBarColor == kWholeThumbScrollBarColor && thumb->Height() == kWholeThumbHeight && thumb->Width() > 1 &&
      thumb->PixelAt(1, 10) == kWholeThumbMarker) {
    FWholeThumb = true;
    FVertWholeThumb = CopyOf(thumb);
    FHorzWholeThumb = Create<TBitmap>();
    RotateBitmap90CCW(thumb, FHorzWholeThumb);
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
    for (std::size_t k = 1; k <= 3; ++k) {
      FVertThumb[k]->SetSize(0, 0);  // black, as new
      FVertThumb[k]->SetSize(width, 1);
    }
  }

  if (IsUniform(FVertThumb[2])) {
    for (std::size_t k = 0; k < 5; ++k) RotateBitmap90CCW(FVertThumb[k], FHorzThumb[k]);
    return;
  }
  // A grip across the middle stays the right way up only when turned
  // clockwise; the buttons follow, so left and right swap.
  for (std::size_t k = 0; k < 5; ++k) RotateBitmap90CW(FVertThumb[k], FHorzThumb[4 - k]);
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
  if (!FReader || !FReader->Loaded()) {
    Clear();
    return;
  }
  // The bitmaps of the last load are refilled: Assign keeps a DIB of the same size.
  KeepAll(FBars);
  KeepAll(FTurnedBars);
  for (std::size_t k = 0; k < 4; ++k) {
    TBitmap* bar = FReader->GetBitmap(kProgressBarFirst + static_cast<int>(k));
    if (!bar) {  // a new, empty bitmap, with nothing of the last skin's
      FreeAndNil(FBars[k]);
      FBars[k] = Create<TBitmap>();
    } else {
      FBars[k]->Assign(bar);
    }
    RotateBitmap90CCW(FBars[k], FTurnedBars[k]);
  }
  FStartWidth = FBars[0]->Width();
  FEndWidth = FBars[3]->Width();
}

}  // namespace nuvskin
