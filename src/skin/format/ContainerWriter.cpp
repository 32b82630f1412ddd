#include "skin/format/ContainerWriter.h"

#include <limits>
#include <stdexcept>

#include "skin/format/Crc32.h"
#include "skin/format/Deflate.h"
#include "skin/format/PkwareCipher.h"

namespace nuvskin::format {

namespace {

constexpr std::uint16_t kVersion = 20;
constexpr std::uint16_t kFlagEncrypted = 1 << 0;
constexpr std::uint16_t kFlagCheckByteFromTime = 1 << 3;

std::uint16_t Length16(std::size_t n, const char* what) {
  if (n > 0xFFFF) throw std::invalid_argument(std::string(what) + " longer than 65535 bytes");
  return static_cast<std::uint16_t>(n);
}

std::uint32_t Size32(std::size_t n) {
  if (n > std::numeric_limits<std::uint32_t>::max()) throw std::invalid_argument("container too big");
  return static_cast<std::uint32_t>(n);
}

struct PreparedMember {
  std::uint16_t flags = 0;
  std::uint32_t crc = 0;
  Bytes payload;  // encryption header and compressed data
  std::uint32_t offset = 0;
};

PreparedMember Prepare(const ContainerMember& m) {
  PreparedMember p;
  p.crc = Crc32(m.data);
  Bytes compressed = m.method == 0 ? m.data : DeflateRaw(m.data);
  if (m.password.empty()) {
    p.payload = std::move(compressed);
    if (m.checkByteFromTime) p.flags |= kFlagCheckByteFromTime;
    return p;
  }
  p.flags = kFlagEncrypted | (m.checkByteFromTime ? kFlagCheckByteFromTime : 0);
  // Filler bytes from a generator seeded by the member, so packing is
  // repeatable; the last header byte is the check byte.
  Bytes header(kEncryptionHeaderSize);
  std::uint32_t seed = p.crc ^ 0x9E3779B9u ^ static_cast<std::uint32_t>(m.data.size());
  for (std::size_t i = 0; i + 1 < kEncryptionHeaderSize; ++i) {
    seed = seed * 1664525u + 1013904223u;
    header[i] = static_cast<std::uint8_t>(seed >> 24);
  }
  header.back() = m.checkByteFromTime ? static_cast<std::uint8_t>(m.dosTime >> 8)
                                      : static_cast<std::uint8_t>(p.crc >> 24);
  PkwareCipher cipher(m.password);
  cipher.Encrypt(header);
  cipher.Encrypt(compressed);
  p.payload = std::move(header);
  p.payload.insert(p.payload.end(), compressed.begin(), compressed.end());
  return p;
}

void WriteCommonFields(ByteWriter& w, const ContainerMember& m, const PreparedMember& p) {
  w.U16(kVersion);
  w.U16(p.flags);
  w.U16(m.method);
  w.U16(m.dosTime);
  w.U16(m.dosDate);
  w.U32(p.crc);
  w.U32(Size32(p.payload.size()));
  w.U32(Size32(m.data.size()));
  w.U16(Length16(m.name.size(), "entry name"));
}

}  // namespace

Bytes WriteContainer(const std::vector<ContainerMember>& members, const ContainerLayout& layout) {
  // Only the first byte tells a skin container from a plain ZIP file.
  const char first = layout.zipSignature ? 'P' : 'S';
  ByteWriter w;
  std::vector<PreparedMember> prepared;
  for (const ContainerMember& m : members) {
    PreparedMember p = Prepare(m);
    p.offset = Size32(w.Size());
    w.U8(static_cast<std::uint8_t>(first));
    w.U8('K');
    w.U8(3);
    w.U8(4);
    WriteCommonFields(w, m, p);
    w.U16(Length16(m.localExtra.size(), "extra field"));
    w.Append(m.name);
    w.Append(m.localExtra);
    w.Append(p.payload);
    if (p.flags & kFlagCheckByteFromTime) {
      w.Append(std::string_view("PK\x07\x08", 4));
      w.U32(p.crc);
      w.U32(Size32(p.payload.size()));
      w.U32(Size32(m.data.size()));
    }
    prepared.push_back(std::move(p));
  }

  const std::uint32_t directoryOffset = Size32(w.Size());
  for (std::size_t i = 0; i < members.size(); ++i) {
    const ContainerMember& m = members[i];
    w.Append(std::string_view("PK\x01\x02", 4));
    w.U16(kVersion);  // made by
    WriteCommonFields(w, m, prepared[i]);
    w.U16(Length16(m.centralExtra.size(), "extra field"));
    w.U16(Length16(m.centralComment.size(), "comment"));
    w.U16(0);  // disk number start
    w.U16(0);  // internal attributes
    w.U32(0);  // external attributes
    w.U32(prepared[i].offset);
    w.Append(m.name);
    w.Append(m.centralExtra);
    w.Append(m.centralComment);
  }
  const std::uint32_t directorySize = Size32(w.Size()) - directoryOffset;

  const std::uint16_t count = Length16(members.size(), "member list");
  w.Append(std::string_view("PK\x05\x06", 4));
  w.U16(0);
  w.U16(0);
  w.U16(count);
  w.U16(count);
  w.U32(directorySize);
  w.U32(directoryOffset);
  w.U16(Length16(layout.archiveComment.size(), "archive comment"));
  w.Append(layout.archiveComment);
  return w.Take();
}

Bytes WriteSkinContainer(ByteSpan sk2, const std::string& password) {
  ContainerMember m;
  m.data.assign(sk2.begin(), sk2.end());
  m.password = password;
  return WriteContainer({m});
}

}  // namespace nuvskin::format
