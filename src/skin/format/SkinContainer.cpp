#include "skin/format/SkinContainer.h"

#include <system_error>

#include "skin/format/AsciiCase.h"
#include "skin/format/Deflate.h"
#include "skin/format/FileIo.h"
#include "skin/format/PkwareCipher.h"

namespace nuvskin::format {

namespace {

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralEntrySize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::uint32_t kEndRecordSignature = 0x06054B50;
constexpr std::uint16_t kFlagEncrypted = 1 << 0;
constexpr std::uint16_t kFlagCheckByteFromTime = 1 << 3;

struct CentralEntry {
  std::uint16_t flags = 0;
  std::uint16_t modTime = 0;
  std::uint32_t crc32 = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint32_t localHeaderOffset = 0;
};

std::string_view AsText(ByteSpan bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The end record must be exactly the last 22 bytes: no archive comment.
bool ReadEndRecord(ByteSpan data, std::size_t& endPos, std::uint32_t& directoryOffset) {
  if (data.size() < kEndRecordSize) return false;
  endPos = data.size() - kEndRecordSize;
  const std::uint8_t* end = data.data() + endPos;
  if (LoadU32(end) != kEndRecordSignature || LoadU16(end + 20) != 0) return false;
  directoryOffset = LoadU32(end + 16);
  return true;
}

enum class ScanResult { kFound, kNotFound, kDamaged };

// Walks the central directory up to the end record; every entry has to lie
// wholly before it.
ScanResult FindEntry(ByteSpan data, std::size_t directoryOffset, std::size_t endPos,
                     std::string_view entryName, CentralEntry& found) {
  if (directoryOffset > endPos) return ScanResult::kDamaged;
  ByteReader r(data.first(endPos));
  r.Seek(directoryOffset);
  while (r.Position() < endPos) {
    ByteSpan fixed, name;
    if (!r.ReadSpan(kCentralEntrySize, fixed)) return ScanResult::kDamaged;
    const std::uint8_t* p = fixed.data();
    const std::uint16_t nameLength = LoadU16(p + 28);
    const std::uint16_t extraLength = LoadU16(p + 30);
    const std::uint16_t commentLength = LoadU16(p + 32);
    if (!r.ReadSpan(nameLength, name) || !r.Skip(std::size_t{extraLength} + commentLength))
      return ScanResult::kDamaged;
    if (nameLength > kMaxEntryNameLength || !EqualsAsciiNoCase(AsText(name), entryName)) continue;
    found.flags = LoadU16(p + 8);
    found.modTime = LoadU16(p + 12);
    found.crc32 = LoadU32(p + 16);
    found.uncompressedSize = LoadU32(p + 24);
    found.localHeaderOffset = LoadU32(p + 42);
    return ScanResult::kFound;
  }
  return ScanResult::kNotFound;
}

// Offset of the member's data (the encryption header when encrypted).
bool FindMemberData(ByteSpan data, std::uint32_t localHeaderOffset, std::size_t& dataPos) {
  ByteReader r(data);
  ByteSpan fixed;
  if (!r.Seek(localHeaderOffset) || !r.ReadSpan(kLocalHeaderSize, fixed)) return false;
  const std::size_t skip = std::size_t{LoadU16(fixed.data() + 26)} + LoadU16(fixed.data() + 28);
  if (!r.Skip(skip)) return false;
  dataPos = r.Position();
  return true;
}

// The decrypted remainder of the container, or the result that ends the
// extraction (wrong password, damaged header).
int Decrypt(ByteSpan encrypted, const CentralEntry& entry, std::string_view password, Bytes& plain) {
  if (password.empty()) return kExtractWrongPassword;
  if (encrypted.size() < kEncryptionHeaderSize) return kExtractFailed;
  PkwareCipher cipher(password);
  std::uint8_t header[kEncryptionHeaderSize];
  for (std::size_t i = 0; i < kEncryptionHeaderSize; ++i) header[i] = cipher.Decrypt(encrypted[i]);
  const std::uint8_t check = (entry.flags & kFlagCheckByteFromTime)
                                 ? static_cast<std::uint8_t>(entry.modTime >> 8)
                                 : static_cast<std::uint8_t>(entry.crc32 >> 24);
  if (header[kEncryptionHeaderSize - 1] != check) return kExtractWrongPassword;
  plain.assign(encrypted.begin() + kEncryptionHeaderSize, encrypted.end());
  cipher.Decrypt(plain);
  return kExtractOk;
}

ExtractOutcome Extract(ByteSpan container, std::string_view entryName, std::string_view password, Bytes& member) {
  member.clear();
  ExtractOutcome outcome;
  if (container.size() < 4 || container[0] != 'S' || container[1] != 'K') return outcome;

  std::size_t endPos = 0;
  std::uint32_t directoryOffset = 0;
  if (!ReadEndRecord(container, endPos, directoryOffset)) return outcome;
  CentralEntry entry;
  if (FindEntry(container, directoryOffset, endPos, entryName, entry) != ScanResult::kFound)
    return outcome;
  outcome.entryFound = true;

  // A damaged local header or an absurd size is a broken container, not a
  // password problem, so these end with 1 before the size check below.
  std::size_t dataPos = 0;
  if (entry.uncompressedSize > kMaxMemberSize ||
      !FindMemberData(container, entry.localHeaderOffset, dataPos))
    return outcome;

  ByteSpan compressed = container.subspan(dataPos);
  Bytes decrypted;
  if (entry.flags & kFlagEncrypted) {
    const int result = Decrypt(compressed, entry, password, decrypted);
    if (result != kExtractOk) {
      outcome.result = result;
      return outcome;
    }
    compressed = decrypted;
  }

  const InflateStatus status = InflateRaw(compressed, entry.uncompressedSize, member);
  // An overlong stream is broken in itself, whatever its size would be.
  if (status == InflateStatus::kOverlong) {
    member.clear();
    return outcome;
  }
  int result = status == InflateStatus::kComplete ? kExtractOk : kExtractFailed;
  if (member.empty() && result == kExtractOk)
    result = kExtractFailed;
  else if (member.size() != entry.uncompressedSize)
    result = kExtractWrongPassword;
  if (result != kExtractOk) member.clear();
  outcome.result = result;
  return outcome;
}

int ExtractToFile(const std::string& containerFileName, const std::string& entryName,
                  const std::string& outputFileName, const std::string& password) {
  Bytes container;
  if (!ReadFileBytes(PathFromUtf8(containerFileName), kMaxContainerSize, container)) return kExtractFailed;
  Bytes member;
  const ExtractOutcome outcome = ExtractSkinEntryFromMemory(container, entryName, password, member);
  if (!outcome.entryFound) return outcome.result;

  const std::filesystem::path output = PathFromUtf8(outputFileName);
  if (outcome.result == kExtractOk && WriteFileBytes(output, member)) return kExtractOk;
  std::error_code ec;
  std::filesystem::remove(output, ec);
  return outcome.result == kExtractOk ? kExtractFailed : outcome.result;
}

}  // namespace

ExtractOutcome ExtractSkinEntryFromMemory(ByteSpan container, std::string_view entryName,
                                          std::string_view password, Bytes& member) {
  // Results only: out of memory is one more way of not reading the file.
  try {
    return Extract(container, entryName, password, member);
  } catch (...) {
    member.clear();
    return {};
  }
}

int ExtractSkinEntry(const std::string& containerFileName, const std::string& entryName,
                     const std::string& outputFileName, const std::string& password) {
  // A name that is no valid UTF-8 makes the path conversion throw on Windows.
  try {
    return ExtractToFile(containerFileName, entryName, outputFileName, password);
  } catch (...) {
    return kExtractFailed;
  }
}

}  // namespace nuvskin::format
