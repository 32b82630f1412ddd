#include "skin/format/Sk2Writer.h"

#include <limits>
#include <stdexcept>

namespace nuvskin::format {

namespace {

constexpr std::uint32_t kSk2Version = 2;

void WriteRecord(ByteWriter& w, std::string_view name, std::uint8_t kind, std::uint32_t dataOffset,
                 std::uint32_t dataSize, std::uint32_t next) {
  w.Append(name);
  for (std::size_t i = name.size(); i < kSk2NameSize; ++i) w.U8(0);
  w.U8(kind);
  w.U32(dataOffset);
  w.U32(dataSize);
  w.U32(next);
}

}  // namespace

Sk2Element Sk2Element::Bitmap(std::string name, Bytes bmpFile) {
  return {std::move(name), static_cast<std::uint8_t>(Sk2Kind::kBitmap), std::move(bmpFile)};
}

Sk2Element Sk2Element::Integer(std::string name, std::int32_t value) {
  ByteWriter w;
  w.I32(value);
  return {std::move(name), static_cast<std::uint8_t>(Sk2Kind::kInteger), w.Take()};
}

Sk2Element Sk2Element::Byte(std::string name, std::uint8_t value) {
  return {std::move(name), static_cast<std::uint8_t>(Sk2Kind::kByte), Bytes{value}};
}

Sk2Element Sk2Element::String(std::string name, std::string_view text) {
  return {std::move(name), static_cast<std::uint8_t>(Sk2Kind::kString), Bytes(text.begin(), text.end())};
}

Bytes WriteSk2(const std::vector<Sk2Element>& elements) {
  std::uint64_t total = kSk2HeaderSize + kSk2RecordSize;
  for (const Sk2Element& e : elements) {
    if (e.name.size() > kSk2NameSize) throw std::invalid_argument("element name longer than 64 bytes: " + e.name);
    total += kSk2RecordSize + e.data.size();
  }
  if (total > std::numeric_limits<std::uint32_t>::max()) throw std::invalid_argument("SK2 file too big");

  ByteWriter w;
  w.Append(kSk2Magic);
  w.U32(kSk2HeaderSize);
  w.U32(kSk2Version);
  w.U32(kSk2HeaderSize);
  for (const Sk2Element& e : elements) {
    const auto dataOffset = static_cast<std::uint32_t>(w.Size() + kSk2RecordSize);
    const auto dataSize = static_cast<std::uint32_t>(e.data.size());
    WriteRecord(w, e.name, e.kind, dataOffset, dataSize, dataOffset + dataSize);
    w.Append(e.data);
  }
  WriteRecord(w, "", static_cast<std::uint8_t>(Sk2Kind::kByte), 0, 0, 0);
  return w.Take();
}

}  // namespace nuvskin::format
