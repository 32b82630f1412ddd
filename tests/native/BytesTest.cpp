#include <gtest/gtest.h>

#include "skin/format/Bytes.h"

using namespace nuvskin::format;

TEST(ByteReader, ReadsLittleEndianFieldsInOrder) {
  const Bytes data{0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xAB};
  ByteReader r(data);
  std::uint16_t u16;
  std::uint32_t u32;
  std::int32_t i32;
  std::uint8_t u8;
  ASSERT_TRUE(r.ReadU16(u16));
  ASSERT_TRUE(r.ReadU32(u32));
  ASSERT_TRUE(r.ReadI32(i32));
  ASSERT_TRUE(r.ReadU8(u8));
  EXPECT_EQ(u16, 0x1234);
  EXPECT_EQ(u32, 0x12345678u);
  EXPECT_EQ(i32, -1);
  EXPECT_EQ(u8, 0xAB);
  EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ByteReader, ReadPastTheEndFailsAndKeepsThePosition) {
  const Bytes data{1, 2, 3};
  ByteReader r(data);
  std::uint32_t u32;
  ASSERT_TRUE(r.Skip(1));
  EXPECT_FALSE(r.ReadU32(u32));
  EXPECT_EQ(r.Position(), 1u);
  ByteSpan span;
  EXPECT_FALSE(r.ReadSpan(3, span));
  EXPECT_TRUE(r.ReadSpan(2, span));
  EXPECT_EQ(span[1], 3);
  EXPECT_FALSE(r.Seek(4));
  EXPECT_TRUE(r.Seek(3));
  // A huge count must not wrap around the bounds check.
  EXPECT_FALSE(r.Skip(static_cast<std::size_t>(-1)));
}

TEST(ByteWriter, WritesWhatTheReaderReadsBack) {
  ByteWriter w;
  w.U16(0xBEEF);
  w.U32(0);
  w.I32(-5);
  w.Append("SK");
  w.PatchU32(2, 0xCAFEBABE);
  ByteReader r(w.Data());
  std::uint16_t a;
  std::uint32_t b;
  std::int32_t c;
  ASSERT_TRUE(r.ReadU16(a) && r.ReadU32(b) && r.ReadI32(c));
  EXPECT_EQ(a, 0xBEEF);
  EXPECT_EQ(b, 0xCAFEBABEu);
  EXPECT_EQ(c, -5);
  EXPECT_EQ(w.Data()[10], 'S');
  EXPECT_THROW(w.PatchU32(9, 1), std::out_of_range);
}
