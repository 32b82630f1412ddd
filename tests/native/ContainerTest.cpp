// Skin containers: extraction results, the checks before and after
// inflating, hardening against damaged files, and the writer.
#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <string>

#include "TempDir.h"
#include "skin/format/ContainerWriter.h"
#include "skin/format/Crc32.h"
#include "skin/format/Deflate.h"
#include "skin/format/FileIo.h"
#include "skin/format/PkwareCipher.h"
#include "skin/format/SkinContainer.h"

using namespace nuvskin::format;
using nuvskin::test::TempDir;

namespace {

Bytes SampleMember(std::size_t size = 3000) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>((i * 7 + i / 13) & 0xFF);
  return data;
}

ContainerMember Member(const Bytes& data, const std::string& name = "SKINDATA.SK2") {
  ContainerMember m;
  m.name = name;
  m.data = data;
  return m;
}

int Extract(const Bytes& container, const std::string& password = {}, Bytes* member = nullptr) {
  Bytes out;
  const int result = ExtractSkinEntryFromMemory(container, "SKINDATA.SK2", password, out).result;
  if (member) *member = out;
  return result;
}

// Offsets of the single member's records, for patching damage in.
std::size_t DirectoryOffset(const Bytes& c) { return LoadU32(c.data() + c.size() - 22 + 16); }
void Patch32(Bytes& c, std::size_t pos, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) c[pos + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Patch16(Bytes& c, std::size_t pos, std::uint16_t v) {
  c[pos] = static_cast<std::uint8_t>(v);
  c[pos + 1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

TEST(Checksums, Crc32AndCipherMatchTheZipFormat) {
  const std::string text = "123456789";
  const ByteSpan bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  EXPECT_EQ(Crc32(bytes), 0xCBF43926u);
  const Bytes sample = SampleMember(5000);
  EXPECT_EQ(Crc32(sample), ::crc32(0, sample.data(), static_cast<uInt>(sample.size())));
  EXPECT_EQ(Crc32(ByteSpan(sample).subspan(100), Crc32(ByteSpan(sample).first(100))), Crc32(sample));

  Bytes data = sample;
  PkwareCipher(std::string("pw")).Encrypt(data);
  EXPECT_NE(data, sample);
  PkwareCipher(std::string("pw")).Decrypt(data);
  EXPECT_EQ(data, sample);
}

TEST(Deflate, RoundTripsAndBoundsTheOutput) {
  const Bytes data = SampleMember(100000);
  Bytes packed = DeflateRaw(data);
  EXPECT_LT(packed.size(), data.size());
  Bytes out;
  EXPECT_EQ(InflateRaw(packed, data.size(), out), InflateStatus::kComplete);
  EXPECT_EQ(out, data);
  // Input after the final block is ignored.
  Bytes padded = packed;
  padded.insert(padded.end(), 50, 0xAB);
  EXPECT_EQ(InflateRaw(padded, data.size(), out), InflateStatus::kComplete);
  EXPECT_EQ(out.size(), data.size());
  // One byte too many stops at the limit.
  EXPECT_EQ(InflateRaw(packed, data.size() - 1, out), InflateStatus::kOverlong);
  EXPECT_TRUE(out.empty());
  // Cut input: the stream never reaches its final block.
  EXPECT_EQ(InflateRaw(ByteSpan(packed).first(packed.size() / 2), data.size(), out), InflateStatus::kBroken);
  EXPECT_LT(out.size(), data.size());
  // An empty member still makes a (two-byte) stream.
  EXPECT_EQ(InflateRaw(DeflateRaw({}), 0, out), InflateStatus::kComplete);
  EXPECT_TRUE(out.empty());
}

TEST(ContainerWriter, IsDeterministicAndLaidOutLikeASkinFile) {
  const Bytes data = SampleMember();
  const Bytes a = WriteSkinContainer(data, "secret");
  EXPECT_EQ(a, WriteSkinContainer(data, "secret"));
  EXPECT_NE(a, WriteSkinContainer(data, "other"));
  const Bytes plain = WriteSkinContainer(data);
  ASSERT_GT(plain.size(), 30u);
  EXPECT_EQ(plain[0], 'S');
  EXPECT_EQ(plain[1], 'K');
  EXPECT_EQ(plain[2], 3);
  EXPECT_EQ(plain[3], 4);
  EXPECT_EQ(LoadU16(plain.data() + 8), 8);  // deflated
  EXPECT_EQ(LoadU32(plain.data() + plain.size() - 22), 0x06054B50u);
  EXPECT_EQ(LoadU16(plain.data() + plain.size() - 2), 0);  // no archive comment
  EXPECT_EQ(DirectoryOffset(plain) + 46 + 12, plain.size() - 22);
}

TEST(ContainerExtraction, PlainAndEncryptedMembersComeBackWhole) {
  const Bytes data = SampleMember();
  Bytes out;
  EXPECT_EQ(Extract(WriteSkinContainer(data), {}, &out), kExtractOk);
  EXPECT_EQ(out, data);
  // A password on an unencrypted member is not needed and does no harm.
  EXPECT_EQ(Extract(WriteSkinContainer(data), "unused", &out), kExtractOk);
  EXPECT_EQ(Extract(WriteSkinContainer(data, "secret"), "secret", &out), kExtractOk);
  EXPECT_EQ(out, data);

  ContainerMember byTime = Member(data);
  byTime.password = "secret";
  byTime.checkByteFromTime = true;
  byTime.dosTime = 0xAB12;
  EXPECT_EQ(Extract(WriteContainer({byTime}), "secret", &out), kExtractOk);
  EXPECT_EQ(out, data);
}

TEST(ContainerExtraction, RefusesWhatIsNoSkinContainer) {
  const Bytes data = SampleMember();
  ContainerLayout zip;
  zip.zipSignature = true;
  EXPECT_EQ(Extract(WriteContainer({Member(data)}, zip)), kExtractFailed);
  ContainerLayout commented;
  commented.archiveComment = "hello";
  EXPECT_EQ(Extract(WriteContainer({Member(data)}, commented)), kExtractFailed);
  EXPECT_EQ(Extract(Bytes{'S', 'K', 3, 4}), kExtractFailed);
  EXPECT_EQ(Extract(Bytes{}), kExtractFailed);
  Bytes badEnd = WriteSkinContainer(data);
  badEnd[badEnd.size() - 22] = 'X';
  EXPECT_EQ(Extract(badEnd), kExtractFailed);
}

TEST(ContainerExtraction, FindsNamesIgnoringCaseButNotInFolders) {
  const Bytes data = SampleMember();
  EXPECT_EQ(Extract(WriteContainer({Member(data, "skindata.sk2")})), kExtractOk);
  EXPECT_EQ(Extract(WriteContainer({Member(data, "SkinData.Sk2")})), kExtractOk);
  EXPECT_EQ(Extract(WriteContainer({Member(data, "skins/SKINDATA.SK2")})), kExtractFailed);
  EXPECT_EQ(Extract(WriteContainer({Member(data, "OTHER.SK2")})), kExtractFailed);

  // Entries with extra fields and comments are stepped over; the first
  // matching name wins.
  ContainerMember first = Member(SampleMember(10), "skins/SKINDATA.SK2");
  first.centralExtra = Bytes(37, 0xEE);
  first.centralComment = "a comment";
  first.localExtra = Bytes(9, 0xDD);
  ContainerMember wanted = Member(data);
  wanted.centralExtra = Bytes(5, 0x11);
  wanted.localExtra = Bytes(21, 0x22);
  wanted.centralComment = "another";
  ContainerMember later = Member(SampleMember(20), "SKINDATA.SK2");
  Bytes out;
  EXPECT_EQ(Extract(WriteContainer({first, wanted, later}), {}, &out), kExtractOk);
  EXPECT_EQ(out, data);

  // Over-long names are passed over, not compared and not fatal.
  ContainerMember longName = Member(SampleMember(10), std::string(300, 'A'));
  EXPECT_EQ(Extract(WriteContainer({longName, wanted}), {}, &out), kExtractOk);
  EXPECT_EQ(out, data);
  EXPECT_EQ(Extract(WriteContainer({Member(data, std::string(260, 'A'))})), kExtractFailed);
}

TEST(ContainerExtraction, PasswordChecks) {
  const Bytes data = SampleMember();
  const Bytes container = WriteSkinContainer(data, "secret");
  EXPECT_EQ(Extract(container, ""), kExtractWrongPassword);
  EXPECT_EQ(Extract(container, "Secret"), kExtractWrongPassword);

  // An empty password is refused before any decryption, whatever follows.
  ContainerMember bare = Member({});
  bare.method = 0;
  Bytes noHeader = WriteContainer({bare});
  const std::size_t dir = DirectoryOffset(noHeader);
  Patch16(noHeader, dir + 8, 1);  // encrypted, but the data is empty
  Patch32(noHeader, dir + 24, 10);
  EXPECT_EQ(Extract(noHeader, ""), kExtractWrongPassword);

  // A wrong password whose check byte happens to match gets past the header
  // and is caught by the size check.
  const std::uint8_t check = static_cast<std::uint8_t>(Crc32(data) >> 24);
  const std::size_t headerPos = 30 + 12;
  std::string lucky;
  for (int i = 0; i < 100000 && lucky.empty(); ++i) {
    const std::string candidate = "guess" + std::to_string(i);
    PkwareCipher cipher(candidate);
    std::uint8_t last = 0;
    for (std::size_t k = 0; k < kEncryptionHeaderSize; ++k) last = cipher.Decrypt(container[headerPos + k]);
    if (last == check) lucky = candidate;
  }
  ASSERT_FALSE(lucky.empty());
  Bytes out;
  EXPECT_EQ(Extract(container, lucky, &out), kExtractWrongPassword);
  EXPECT_TRUE(out.empty());
}

TEST(ContainerExtraction, SizeChecksAfterInflating) {
  const Bytes data = SampleMember();
  // Nothing extracted is a failure even when nothing was promised.
  EXPECT_EQ(Extract(WriteSkinContainer({})), kExtractFailed);
  // A stored (method 0) member is inflated all the same and fails.
  ContainerMember stored = Member(data);
  stored.method = 0;
  EXPECT_NE(Extract(WriteContainer({stored})), kExtractOk);

  Bytes container = WriteSkinContainer(data);
  const std::size_t sizeField = DirectoryOffset(container) + 24;
  // The stream ends short of the stated size: the size check says 2.
  Patch32(container, sizeField, static_cast<std::uint32_t>(data.size() + 1));
  EXPECT_EQ(Extract(container), kExtractWrongPassword);
  // The stream goes on past the stated size: broken, 1.
  Patch32(container, sizeField, static_cast<std::uint32_t>(data.size() - 1));
  EXPECT_EQ(Extract(container), kExtractFailed);
  // A stated size beyond the cap is refused before inflating.
  Patch32(container, sizeField, kMaxMemberSize + 1);
  EXPECT_EQ(Extract(container), kExtractFailed);
  // Damaged deflate data after a correct header.
  Bytes damaged = WriteSkinContainer(data);
  for (std::size_t i = 60; i < 90; ++i) damaged[i] ^= 0x5A;
  EXPECT_NE(Extract(damaged), kExtractOk);
}

TEST(ContainerExtraction, OffsetsOutsideTheFileAreRefused) {
  const Bytes good = WriteSkinContainer(SampleMember());
  const std::size_t dir = DirectoryOffset(good);
  const std::size_t end = good.size() - 22;

  Bytes c = good;
  Patch32(c, end + 16, static_cast<std::uint32_t>(good.size() + 100));  // directory offset
  EXPECT_EQ(Extract(c), kExtractFailed);
  c = good;
  Patch32(c, dir + 42, 0xFFFFFF00u);  // local header offset
  EXPECT_EQ(Extract(c), kExtractFailed);
  c = good;
  Patch16(c, dir + 28, 0xFFFF);  // name runs past the end record
  EXPECT_EQ(Extract(c), kExtractFailed);
  c = good;
  Patch16(c, dir + 32, 30);  // comment runs into the end record
  EXPECT_EQ(Extract(c), kExtractFailed);
  c = good;
  Patch16(c, 28, 0xFFFF);  // local extra field runs past the file
  EXPECT_EQ(Extract(c), kExtractFailed);
  c = good;
  Patch32(c, end + 16, static_cast<std::uint32_t>(end - 10));  // an entry cannot fit before the end record
  EXPECT_EQ(Extract(c), kExtractFailed);
}

TEST(ContainerFileExtraction, WritesTheMemberOrLeavesNoFile) {
  TempDir dir;
  const Bytes data = SampleMember();
  const std::string container = dir.File("sk\xC3\xAEn.nsk");
  ASSERT_TRUE(WriteFileBytes(PathFromUtf8(container), WriteSkinContainer(data, "pw")));

  const std::string output = dir.File("{OUT}");
  EXPECT_EQ(ExtractSkinEntry(container, "SKINDATA.SK2", output, "pw"), kExtractOk);
  Bytes read;
  ASSERT_TRUE(ReadFileBytes(PathFromUtf8(output), kMaxContainerSize, read));
  EXPECT_EQ(read, data);

  // Wrong password: the output of a found member is removed, even one that
  // existed before.
  EXPECT_EQ(ExtractSkinEntry(container, "SKINDATA.SK2", output, "nope"), kExtractWrongPassword);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(output)));
  EXPECT_EQ(ExtractSkinEntry(container, "SKINDATA.SK2", output, ""), kExtractWrongPassword);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(output)));
  EXPECT_EQ(ExtractSkinEntry(container, "OTHER", output, "pw"), kExtractFailed);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(output)));
  EXPECT_EQ(ExtractSkinEntry(dir.File("missing.nsk"), "SKINDATA.SK2", output, "pw"), kExtractFailed);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(output)));

  // An output that cannot be created fails cleanly.
  EXPECT_EQ(ExtractSkinEntry(container, "SKINDATA.SK2", dir.File("no-such-folder/out"), "pw"), kExtractFailed);

  // Damaged data after the member was found: no output left either.
  Bytes broken = WriteSkinContainer(data);
  Patch32(broken, DirectoryOffset(broken) + 24, static_cast<std::uint32_t>(data.size() + 5));
  ASSERT_TRUE(WriteFileBytes(PathFromUtf8(container), broken));
  EXPECT_EQ(ExtractSkinEntry(container, "SKINDATA.SK2", output, ""), kExtractWrongPassword);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(output)));
}
