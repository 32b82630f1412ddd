// The built-in skin embedded at build time is a complete, readable skin.
#include <gtest/gtest.h>

#include "skin/BuiltInSkin.h"
#include "skin/Skin2Define.h"
#include "skin/format/Bmp.h"
#include "skin/format/ContainerWriter.h"
#include "skin/format/Sk2File.h"
#include "skin/format/SkinContainer.h"

using namespace nuvskin;
using namespace nuvskin::format;

TEST(BuiltInSkin, IsAReadableSkinWithEveryMeasuredBitmap) {
  const auto data = BuiltInSkinData();
  ASSERT_GT(data.size(), 22u);
  Bytes sk2;
  ASSERT_EQ(ExtractSkinEntryFromMemory(data, kSkinEntryName, "", sk2).result, kExtractOk);
  Sk2File skin;
  std::string why;
  ASSERT_TRUE(ParseSk2(sk2, skin, &why)) << why;
  for (const char* name : {"SKIN2_TITLEBAR1", "SKIN2_TITLEBAR3", "SKIN2_TITLEBUTTONS", "SKIN2_FORMLEFTBORDER",
                           "SKIN2_FORMRIGHTBORDER", "SKIN2_FORMBOTTOMBORDER1"}) {
    BmpImage bmp;
    EXPECT_TRUE(ParseBmp(skin.Bitmap(name), bmp)) << name;
  }
  EXPECT_NE(skin.Integer("SKIN2_TRANSCOLOR"), -1);
}
