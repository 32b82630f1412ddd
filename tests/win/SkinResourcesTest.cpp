// The composite resources built from the built-in skin, the packed test
// skins and skins made here: sizes, cuts, turns, the grip and whole-thumb
// tests, recolouring, and what an empty reader leaves.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "GraphicsTestSupport.h"
#include "TestSkins.h"
#include "draw/NUVSkinUtils.h"
#include "skin/BuiltInSkin.h"
#include "skin/format/Bmp.h"
#include "skin/format/ContainerWriter.h"
#include "skin/format/Sk2Writer.h"

using namespace nuvskin;
using namespace nuvskin::test;
using format::Sk2Element;

namespace {

constexpr TColor kTrans = 0xFF00FF;

Owned<TnuvSkinReader> LoadedReader(format::ByteSpan container) {
  Owned<TnuvSkinReader> reader(Create<TnuvSkinReader>());
  reader->LoadSkinData(container, "");
  EXPECT_TRUE(reader->Loaded());
  return reader;
}

// A 24-bit BMP file whose pixel (x, y) is `color(x, y)`.
format::Bytes Bmp(int width, int height, const std::function<std::uint32_t(int, int)>& color) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(color(x, y));
  return format::EncodeBmp(format::MakeBmp24(width, height, pixels));
}

std::uint32_t Coded(int x, int y) { return static_cast<std::uint32_t>(x | (y << 8) | (0x40 << 16)); }

// Buttons of three 18 x 18 frames, every pixel telling where it came from,
// with the transparent colour in the first column of every frame.
format::Bytes ButtonBmp(int seed) {
  return Bmp(54, 18, [seed](int x, int y) { return x % 18 == 0 ? 0xFF00FFu : Coded(x, y) + seed; });
}

struct SkinParts {
  TColor scrollBarColor = 0xCBCBCB;
  bool withThumb = true;
  int thumbWidth = 18, thumbHeight = 33;
  std::function<std::uint32_t(int, int)> thumb = [](int x, int y) {
    return x == 1 && y == 10 ? 0xB23901u : Coded(x, y);
  };
};

format::Bytes MakeSkin(const SkinParts& p) {
  std::vector<Sk2Element> elements = {
      Sk2Element::Integer("SKIN2_TRANSCOLOR", kTrans),
      Sk2Element::Integer("SKIN2_SCROLLBARCOLOR", p.scrollBarColor),
      Sk2Element::Bitmap("SKIN2_SCROLLBARUPBUTTON", ButtonBmp(0)),
      Sk2Element::Bitmap("SKIN2_SCROLLBARDOWNBUTTON", ButtonBmp(0x200000)),
  };
  if (p.withThumb) elements.push_back(Sk2Element::Bitmap("SKIN2_SCROLLBAR", Bmp(p.thumbWidth, p.thumbHeight, p.thumb)));
  return format::WriteSkinContainer(format::WriteSk2(elements));
}

Owned<TBitmap> Copy(const TBitmap* b) {
  Owned<TBitmap> copy(Create<TBitmap>());
  copy->Assign(const_cast<TBitmap*>(b));
  return copy;
}

Owned<TBitmap> Turned(const TBitmap* b, void (*turn)(TBitmap*)) {
  Owned<TBitmap> copy = Copy(b);
  turn(copy.get());
  return copy;
}

bool SamePixels(const TBitmap* a, const TBitmap* b) {
  if (!a || !b || a->Width() != b->Width() || a->Height() != b->Height()) return false;
  for (int y = 0; y < a->Height(); ++y)
    for (int x = 0; x < a->Width(); ++x)
      if (a->PixelAt(x, y) != b->PixelAt(x, y)) return false;
  return true;
}

// `source`'s rows [first, first + height) with the transparent colour
// replaced, compared with `piece`.
void ExpectRowsRecoloured(const TBitmap* piece, TBitmap* source, int first, int height, TColor to) {
  ASSERT_EQ(piece->Width(), source->Width());
  ASSERT_EQ(piece->Height(), height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < source->Width(); ++x) {
      const TColor s = source->PixelAt(x, first + y);
      ASSERT_EQ(piece->PixelAt(x, y), s == kTrans ? to : s) << "row " << first + y << " column " << x;
    }
}

}  // namespace

TEST(ScrollBtnRes, BuiltInSkinCutsTurnsAndRecolours) {
  Owned<TnuvSkinReader> reader = LoadedReader(BuiltInSkinData());
  Owned<TnuvSkinScrollBtnRes> res(Create<TnuvSkinScrollBtnRes>());
  res->SetReader(reader.get());
  EXPECT_EQ(res->Reader(), reader.get());
  const TColor scrollBarColor = reader->GetColor(25);
  ASSERT_EQ(scrollBarColor, 0xF9F9F9);

  TBitmap* up = reader->GetBitmap(26);
  TBitmap* down = reader->GetBitmap(28);
  for (int k = 1; k <= 3; ++k) {
    SCOPED_TRACE(k);
    ASSERT_EQ(res->VertButton(k)->Width(), 18);
    ASSERT_EQ(res->VertButton(k)->Height(), 18);
    for (auto [source, index] : {std::pair{up, k}, std::pair{down, 3 + k}}) {
      Owned<TBitmap> frame(Create<TBitmap>());
      CutFrame(source, frame.get(), 3, k);
      ExpectRowsRecoloured(res->VertButton(index), frame.get(), 0, 18, scrollBarColor);
      // Horizontal buttons are the counter-clockwise turns of the vertical ones.
      EXPECT_TRUE(SamePixels(res->HorzButton(index), Turned(res->VertButton(index), RotateBitmap90CCW).get()));
    }
  }

  // The 18 x 63 thumb: caps of 3 rows, parts of 19 (f = 19); pieces 3 and 4 share row 41.
  TBitmap* thumb = reader->GetBitmap(27);
  const int rows[5][2] = {{0, 3}, {4, 19}, {23, 19}, {41, 19}, {60, 3}};
  for (int k = 1; k <= 5; ++k) {
    SCOPED_TRACE(k);
    ExpectRowsRecoloured(res->VertThumbPart(k), thumb, rows[k - 1][0], rows[k - 1][1], scrollBarColor);
    // A plain middle: every horizontal piece is the counter-clockwise turn.
    EXPECT_TRUE(SamePixels(res->HorzThumbPart(k), Turned(res->VertThumbPart(k), RotateBitmap90CCW).get()));
  }
  EXPECT_FALSE(res->WholeThumb());
  EXPECT_EQ(res->HorzWholeThumb(), nullptr);
  EXPECT_EQ(res->VertWholeThumb(), nullptr);
  EXPECT_EQ(res->HorzButton(0), nullptr);
  EXPECT_EQ(res->VertButton(7), nullptr);
  EXPECT_EQ(res->HorzThumbPart(6), nullptr);
}

TEST(ScrollBtnRes, WholeThumbSkinAndEachOfItsThreeConditions) {
  Owned<TnuvSkinReader> reader = LoadedReader(WholeThumbSkinData());
  Owned<TnuvSkinScrollBtnRes> res(Create<TnuvSkinScrollBtnRes>());
  res->SetReader(reader.get());
  ASSERT_TRUE(res->WholeThumb());
  TBitmap* thumb = reader->GetBitmap(27);
  EXPECT_TRUE(SamePixels(res->VertWholeThumb(), thumb));  // a copy, not recoloured
  EXPECT_TRUE(SamePixels(res->HorzWholeThumb(), Turned(thumb, RotateBitmap90CCW).get()));
  const int heights[5] = {3, 9, 9, 9, 3};  // f = 9
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(res->VertThumbPart(k)->Height(), heights[k - 1]) << k;

  // The same values in a skin made here switch it on; any one changed, off.
  auto wholeThumb = [&](const SkinParts& parts) {
    Owned<TnuvSkinReader> r = LoadedReader(MakeSkin(parts));
    res->SetReader(r.get());
    const bool whole = res->WholeThumb();
    EXPECT_EQ(res->VertWholeThumb() != nullptr, whole);
    EXPECT_EQ(res->HorzWholeThumb() != nullptr, whole);
    res->SetReader(nullptr);
    return whole;
  };
  EXPECT_TRUE(wholeThumb(SkinParts{}));
  SkinParts colour;
  colour.scrollBarColor = 0xCBCBCA;
  EXPECT_FALSE(wholeThumb(colour));
  SkinParts height;
  height.thumbHeight = 34;
  EXPECT_FALSE(wholeThumb(height));
  SkinParts pixel;
  pixel.thumb = [](int x, int y) { return x == 1 && y == 10 ? 0xB23902u : Coded(x, y); };
  EXPECT_FALSE(wholeThumb(pixel));
}

TEST(ScrollBtnRes, GripInTheMiddleTurnsClockwiseAndSwapsTheButtons) {
  // A grip line across the middle piece's row 1 (thumb row 14 with f = 9).
  SkinParts parts;
  parts.scrollBarColor = 0x808080;
  parts.thumb = [](int x, int y) { return y == 14 && x == 9 ? 0x0000FFu : 0x00FF00u + (y == 14 ? 0 : y); };
  Owned<TnuvSkinReader> reader = LoadedReader(MakeSkin(parts));
  Owned<TnuvSkinScrollBtnRes> res(Create<TnuvSkinScrollBtnRes>());
  res->SetReader(reader.get());
  for (int k = 1; k <= 5; ++k)
    EXPECT_TRUE(SamePixels(res->HorzThumbPart(6 - k), Turned(res->VertThumbPart(k), RotateBitmap90CW).get())) << k;
  for (int k = 1; k <= 3; ++k) {
    // The left button is the down button turned clockwise, the right one the up button.
    EXPECT_TRUE(SamePixels(res->HorzButton(k), Turned(res->VertButton(3 + k), RotateBitmap90CW).get())) << k;
    EXPECT_TRUE(SamePixels(res->HorzButton(3 + k), Turned(res->VertButton(k), RotateBitmap90CW).get())) << k;
  }
  // Recoloured after turning: no transparent pixel is left anywhere.
  for (int k = 1; k <= 6; ++k) {
    EXPECT_EQ(CountColor(*res->HorzButton(k), RECT{0, 0, 18, 18}, kTrans), 0);
    EXPECT_EQ(CountColor(*res->HorzButton(k), RECT{0, 0, 18, 18}, 0x808080), 18);
  }

  // The same thumb with a plain row 1 takes the counter-clockwise branch.
  parts.thumb = [](int x, int y) { return x == 0 && y == 14 ? 0x0000FFu : 0x00FF00u + y; };  // column 0 is not tested
  reader = LoadedReader(MakeSkin(parts));
  res->SetReader(reader.get());
  for (int k = 1; k <= 5; ++k)
    EXPECT_TRUE(SamePixels(res->HorzThumbPart(k), Turned(res->VertThumbPart(k), RotateBitmap90CCW).get())) << k;
  EXPECT_TRUE(SamePixels(res->HorzButton(1), Turned(res->VertButton(1), RotateBitmap90CCW).get()));
}

TEST(ScrollBtnRes, ShortThumbMissingThumbAndEmptyReader) {
  SkinParts shortThumb;
  shortThumb.thumbWidth = 10;
  shortThumb.thumbHeight = 6;
  Owned<TnuvSkinReader> reader = LoadedReader(MakeSkin(shortThumb));
  Owned<TnuvSkinScrollBtnRes> res(Create<TnuvSkinScrollBtnRes>());
  res->SetReader(reader.get());
  TBitmap* thumb = reader->GetBitmap(27);
  ExpectRowsRecoloured(res->VertThumbPart(1), thumb, 0, 3, 0xCBCBCB);
  ExpectRowsRecoloured(res->VertThumbPart(5), thumb, 3, 3, 0xCBCBCB);
  for (int k = 2; k <= 4; ++k) {
    EXPECT_EQ(res->VertThumbPart(k)->Width(), 10);
    EXPECT_EQ(res->VertThumbPart(k)->Height(), 1);
    EXPECT_EQ(CountColor(*res->VertThumbPart(k), RECT{0, 0, 10, 1}, clBlack), 10);  // no content
  }

  // Without SKIN2_SCROLLBAR: buttons cut and turned, transparent colour left in; empty thumb pieces.
  SkinParts noThumb;
  noThumb.withThumb = false;
  reader = LoadedReader(MakeSkin(noThumb));
  res->SetReader(reader.get());
  EXPECT_EQ(res->VertButton(2)->Width(), 18);
  EXPECT_EQ(CountColor(*res->VertButton(2), RECT{0, 0, 18, 18}, kTrans), 18);
  EXPECT_EQ(CountColor(*res->HorzButton(2), RECT{0, 0, 18, 18}, kTrans), 18);
  EXPECT_TRUE(SamePixels(res->HorzButton(5), Turned(res->VertButton(5), RotateBitmap90CCW).get()));
  for (int k = 1; k <= 5; ++k) {
    ASSERT_NE(res->VertThumbPart(k), nullptr);
    EXPECT_TRUE(res->VertThumbPart(k)->Empty());
    EXPECT_TRUE(res->HorzThumbPart(k)->Empty());
  }
  EXPECT_FALSE(res->WholeThumb());

  // A reader that is not loaded, or none: every bitmap is nil.
  Owned<TnuvSkinReader> empty(Create<TnuvSkinReader>());
  for (TnuvSkinReader* r : {empty.get(), static_cast<TnuvSkinReader*>(nullptr)}) {
    res->SetReader(r);
    for (int k = 1; k <= 6; ++k) {
      EXPECT_EQ(res->HorzButton(k), nullptr);
      EXPECT_EQ(res->VertButton(k), nullptr);
    }
    for (int k = 1; k <= 5; ++k) {
      EXPECT_EQ(res->HorzThumbPart(k), nullptr);
      EXPECT_EQ(res->VertThumbPart(k), nullptr);
    }
    EXPECT_FALSE(res->WholeThumb());
  }
}

TEST(ProgressBarRes, CopiesTurnedCopiesAndEndWidths) {
  Owned<TnuvSkinReader> reader = LoadedReader(ThreeSectSkinData());
  Owned<TnuvSkinProgressBarRes> res(Create<TnuvSkinProgressBarRes>());
  res->SetReader(reader.get());
  for (int k = 1; k <= 4; ++k) {
    SCOPED_TRACE(k);
    TBitmap* source = reader->GetBitmap(18 + k);
    ASSERT_NE(source, nullptr);
    EXPECT_NE(res->Bar(k), source);
    EXPECT_TRUE(SamePixels(res->Bar(k), source));
    EXPECT_TRUE(SamePixels(res->TurnedBar(k), Turned(source, RotateBitmap90CCW).get()));
  }
  EXPECT_EQ(res->StartWidth(), reader->GetBitmap(19)->Width());
  EXPECT_EQ(res->EndWidth(), reader->GetBitmap(22)->Width());
  EXPECT_EQ(res->Bar(0), nullptr);
  EXPECT_EQ(res->TurnedBar(5), nullptr);

  // A skin without progress bars gets empty pieces; an empty reader none.
  reader = LoadedReader(MakeSkin(SkinParts{}));
  res->SetReader(reader.get());
  for (int k = 1; k <= 4; ++k) {
    ASSERT_NE(res->Bar(k), nullptr);
    EXPECT_TRUE(res->Bar(k)->Empty());
    EXPECT_TRUE(res->TurnedBar(k)->Empty());
  }
  EXPECT_EQ(res->StartWidth(), 0);
  Owned<TnuvSkinReader> empty(Create<TnuvSkinReader>());
  res->SetReader(empty.get());
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(res->Bar(k), nullptr);
    EXPECT_EQ(res->TurnedBar(k), nullptr);
  }
}

TEST(ProgressBarRes, BuiltInSkinSizes) {
  Owned<TnuvSkinReader> reader = LoadedReader(BuiltInSkinData());
  Owned<TnuvSkinProgressBarRes> res(Create<TnuvSkinProgressBarRes>());
  res->SetReader(reader.get());
  EXPECT_EQ(res->StartWidth(), 1);
  EXPECT_EQ(res->EndWidth(), 1);
  EXPECT_EQ(res->Bar(2)->Width(), 7);
  EXPECT_EQ(res->Bar(2)->Height(), 13);
  EXPECT_EQ(res->TurnedBar(2)->Width(), 13);
  EXPECT_EQ(res->TurnedBar(2)->Height(), 7);
}

TEST(ResourceLeaks, ReloadsGiveBackEveryGdiObject) {
  Owned<TnuvSkinReader> reader = LoadedReader(BuiltInSkinData());
  Owned<TnuvSkinScrollBtnRes> scroll(Create<TnuvSkinScrollBtnRes>());
  Owned<TnuvSkinProgressBarRes> progress(Create<TnuvSkinProgressBarRes>());
  scroll->SetReader(reader.get());
  progress->SetReader(reader.get());
  const int before = GdiHeadroom();
  for (int i = 0; i < 50; ++i) {
    scroll->SetReader(reader.get());
    progress->SetReader(reader.get());
  }
  EXPECT_EQ(GdiHeadroom(), before);
}

// A reload refills the bitmaps of the skin before; whatever that skin was,
// the result is what a fresh reader and fresh resources give.
TEST(ResourceReloads, LoadingAnotherSkinIntoTheSameObjectsMatchesAFreshLoad) {
  SkinParts shortThumb;
  shortThumb.thumbHeight = 6;
  SkinParts noThumb;
  noThumb.withThumb = false;
  const format::Bytes shortSkin = MakeSkin(shortThumb), noThumbSkin = MakeSkin(noThumb);
  const format::ByteSpan skins[] = {BuiltInSkinData(), ThreeSectSkinData(), WholeThumbSkinData(), shortSkin,
                                    noThumbSkin, BuiltInSkinData()};
  Owned<TnuvSkinReader> reader(Create<TnuvSkinReader>());
  Owned<TnuvSkinScrollBtnRes> scroll(Create<TnuvSkinScrollBtnRes>());
  Owned<TnuvSkinProgressBarRes> progress(Create<TnuvSkinProgressBarRes>());
  auto same = [](const TBitmap* a, const TBitmap* b) {
    return (!a && !b) || (a && b && a->Empty() && b->Empty()) ||
           (SamePixels(a, b) && a->Transparent() == b->Transparent() && a->TransparentColor() == b->TransparentColor());
  };
  for (std::size_t s = 0; s < std::size(skins); ++s) {
    SCOPED_TRACE(s);
    if (TBitmap* button = reader->GetBitmap(15)) button->SetTransparent(true);  // a painter's choice, not the skin's
    reader->LoadSkinData(skins[s], "");
    scroll->SetReader(reader.get());
    progress->SetReader(reader.get());
    Owned<TnuvSkinReader> fresh = LoadedReader(skins[s]);
    Owned<TnuvSkinScrollBtnRes> freshScroll(Create<TnuvSkinScrollBtnRes>());
    Owned<TnuvSkinProgressBarRes> freshProgress(Create<TnuvSkinProgressBarRes>());
    freshScroll->SetReader(fresh.get());
    freshProgress->SetReader(fresh.get());
    for (int i = 0; i < 34; ++i) EXPECT_TRUE(same(reader->GetBitmap(i), fresh->GetBitmap(i))) << "bitmap " << i;
    for (int k = 1; k <= 6; ++k) {
      EXPECT_TRUE(same(scroll->HorzButton(k), freshScroll->HorzButton(k))) << k;
      EXPECT_TRUE(same(scroll->VertButton(k), freshScroll->VertButton(k))) << k;
    }
    for (int k = 1; k <= 5; ++k) {
      EXPECT_TRUE(same(scroll->HorzThumbPart(k), freshScroll->HorzThumbPart(k))) << k;
      EXPECT_TRUE(same(scroll->VertThumbPart(k), freshScroll->VertThumbPart(k))) << k;
    }
    EXPECT_EQ(scroll->WholeThumb(), freshScroll->WholeThumb());
    for (int k = 1; k <= 4; ++k) {
      EXPECT_TRUE(same(progress->Bar(k), freshProgress->Bar(k))) << k;
      EXPECT_TRUE(same(progress->TurnedBar(k), freshProgress->TurnedBar(k))) << k;
    }
  }
}
