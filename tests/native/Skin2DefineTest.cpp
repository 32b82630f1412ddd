// The element catalogue: the index ranges are a contract with skin files.
#include <gtest/gtest.h>

#include <set>

#include "skin/Skin2Define.h"

using namespace nuvskin;

TEST(Skin2Define, RangesStartWhereTheReadersAddTheirBases) {
  EXPECT_EQ(SkinElementNames[kSkinColorBase + 0], "SKIN2_TRANSCOLOR");
  EXPECT_EQ(SkinElementNames[kSkinColorBase + 31], "SKIN2_SIDECHANNELBORDERCOLOR");
  EXPECT_EQ(SkinElementNames[kSkinBitmapBase + 0], "SKIN2_TITLEBAR1");
  EXPECT_EQ(SkinElementNames[kSkinBitmapBase + 23], "SKIN2_TRACKBAR");
  EXPECT_EQ(SkinElementNames[kSkinBitmapBase + 33], "SKIN2_SCROLLBUTTON");
  EXPECT_EQ(SkinElementNames[kSkinIntegerBase + 0], "SKIN2_TITLEBARICONPOSX");
  EXPECT_EQ(SkinElementNames[kSkinFlagBase + 0], "SKIN2_TITLEFIVESECT");
  EXPECT_EQ(SkinElementNames[kSkinFlagBase + 8], "SKIN2_TABCONTROLTRANS");
  EXPECT_EQ(kSkinBitmapBase, kSkinColorBase + kSkinColorCount);
  EXPECT_EQ(kSkinIntegerBase, kSkinBitmapBase + kSkinBitmapCount);
  EXPECT_EQ(kSkinFlagBase, kSkinIntegerBase + kSkinIntegerCount);
  EXPECT_EQ(kSkinElementCount, kSkinFlagBase + kSkinFlagCount);
  const std::set<std::string_view> unique(SkinElementNames.begin(), SkinElementNames.end());
  EXPECT_EQ(unique.size(), SkinElementNames.size());
}

TEST(Skin2Define, StateFrames) {
  EXPECT_EQ(SkinStateFrameCount("SKIN2_TITLEBUTTONS"), 18);
  EXPECT_EQ(SkinStateFrameCount("SKIN2_SCROLLBARDOWNBUTTON"), 3);
  EXPECT_EQ(SkinStateFrameCount("SKIN2_TITLEBAR1"), 1);
  // 100 columns in 3 frames: 33 each, column 99 in none.
  EXPECT_EQ(SkinFrameWidth(100, 3), 33);
}
