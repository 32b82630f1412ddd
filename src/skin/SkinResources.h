// Composite skin resources: the scroll bar and progress bar pieces cut,
// turned and recoloured from the current skin, rebuilt after each load.
#pragma once

#include <array>

#include "framework/Graphics.h"
#include "skin/SkinReader.h"

namespace nuvskin {

// Base of the composite resources: the reader the pieces come from (not
// owned) and the rebuild that follows every change of it.
class TnuvSkinRes : public TObject {
  NUV_CLASS(TnuvSkinRes, TObject)
  TnuvSkinReader* Reader() const { return FReader; }
  // FReader := reader, then Reload.
  void SetReader(TnuvSkinReader* reader);
  // Rebuilds every derived bitmap from the reader; the base has none.
  virtual void Reload() {}

 protected:
  TnuvSkinReader* FReader = nullptr;
};

// Scroll bar buttons and thumb pieces for both directions. Every bitmap is
// nullptr while the reader is missing or not loaded.
class TnuvSkinScrollBtnRes : public TnuvSkinRes {
  NUV_CLASS(TnuvSkinScrollBtnRes, TnuvSkinRes)
  ~TnuvSkinScrollBtnRes() override;
  void Reload() override;

  // 1 to 3: the three frames of the left (up) button, 4 to 6 those of the
  // right (down) button. nullptr outside 1..6.
  TBitmap* HorzButton(int index) const;
  TBitmap* VertButton(int index) const;
  // 1 to 5: top (left) cap, upper part, middle, lower part, bottom (right)
  // cap. nullptr outside 1..5.
  TBitmap* HorzThumbPart(int index) const;
  TBitmap* VertThumbPart(int index) const;
  // The thumb drawn whole, three-sliced, instead of the five pieces.
  bool WholeThumb() const { return FWholeThumb; }
  TBitmap* HorzWholeThumb() const { return FHorzWholeThumb; }
  TBitmap* VertWholeThumb() const { return FVertWholeThumb; }

 private:
  void Clear();
  void BuildThumb(TBitmap* thumb);
  std::array<TBitmap*, 6> FHorzButtons{};
  std::array<TBitmap*, 6> FVertButtons{};
  std::array<TBitmap*, 5> FHorzThumb{};
  std::array<TBitmap*, 5> FVertThumb{};
  TBitmap* FHorzWholeThumb = nullptr;
  TBitmap* FVertWholeThumb = nullptr;
  bool FWholeThumb = false;
};

// Progress bar pieces as the skin has them and turned for vertical bars.
class TnuvSkinProgressBarRes : public TnuvSkinRes {
  NUV_CLASS(TnuvSkinProgressBarRes, TnuvSkinRes)
  ~TnuvSkinProgressBarRes() override;
  void Reload() override;

  // 1 to 4: SKIN2_PROGRESSBAR1 to 4 (empty when the skin lacks one), and
  // the same turned a quarter turn counter-clockwise. nullptr outside 1..4
  // and while the reader is missing or not loaded.
  TBitmap* Bar(int index) const;
  TBitmap* TurnedBar(int index) const;
  int StartWidth() const { return FStartWidth; }  // width of SKIN2_PROGRESSBAR1
  int EndWidth() const { return FEndWidth; }      // width of SKIN2_PROGRESSBAR4

 private:
  void Clear();
  std::array<TBitmap*, 4> FBars{};
  std::array<TBitmap*, 4> FTurnedBars{};
  int FStartWidth = 0;
  int FEndWidth = 0;
};

}  // namespace nuvskin
