#include "skin/format/Sk2File.h"

#include <cstring>

namespace nuvskin::format {

namespace {

bool Fail(std::string* error, std::string why) {
  if (error) *error = std::move(why);
  return false;
}

// Only the value sizes the readers can represent are accepted.
const char* CheckValueSize(Sk2Kind kind, std::size_t size) {
  switch (kind) {
    case Sk2Kind::kBitmap: return size == 0 ? "empty bitmap value" : nullptr;
    case Sk2Kind::kInteger: return size != 4 ? "integer value is not 4 bytes" : nullptr;
    case Sk2Kind::kByte: return size != 1 ? "byte value is not 1 byte" : nullptr;
    case Sk2Kind::kString: return nullptr;
  }
  return nullptr;
}

}  // namespace

std::int32_t Sk2Record::IntegerValue() const {
  return data.size() == 4 ? static_cast<std::int32_t>(LoadU32(data.data())) : -1;
}

std::uint8_t Sk2Record::ByteValue() const { return data.size() == 1 ? data[0] : 0; }

std::string Sk2Record::Text() const { return std::string(data.begin(), data.end()); }

const Sk2Record* Sk2File::Find(Sk2Kind kind, std::string_view name) const {
  for (const Sk2Record& r : records)
    if (r.kind == kind && EqualsAsciiNoCase(r.name, name)) return &r;
  return nullptr;
}

ByteSpan Sk2File::Bitmap(std::string_view name) const {
  const Sk2Record* r = Find(Sk2Kind::kBitmap, name);
  return r ? r->data : ByteSpan{};
}

std::int32_t Sk2File::Integer(std::string_view name) const {
  const Sk2Record* r = Find(Sk2Kind::kInteger, name);
  return r ? r->IntegerValue() : -1;
}

std::uint8_t Sk2File::Byte(std::string_view name) const {
  const Sk2Record* r = Find(Sk2Kind::kByte, name);
  return r ? r->ByteValue() : 0;
}

std::optional<std::string> Sk2File::String(std::string_view name) const {
  const Sk2Record* r = Find(Sk2Kind::kString, name);
  if (!r) return std::nullopt;
  return r->Text();
}

bool ParseSk2(ByteSpan file, Sk2File& out, std::string* error) {
  out.records.clear();
  if (file.size() < 16) return Fail(error, "file too short for an SK2 header");
  const std::uint32_t headerSize = LoadU32(file.data() + 12);
  if (headerSize < kSk2HeaderSize || headerSize > file.size())
    return Fail(error, "bad header size " + std::to_string(headerSize));
  std::uint32_t offset = LoadU32(file.data() + 20);

  // One bit per byte offset: a chain that comes back to a record would loop.
  std::vector<bool> visited(file.size(), false);
  std::vector<Sk2Record> records;
  for (;;) {
    if (offset > file.size() || file.size() - offset < kSk2RecordSize)
      return Fail(error, "record at " + std::to_string(offset) + " lies outside the file");
    if (visited[offset]) return Fail(error, "record chain loops back to " + std::to_string(offset));
    visited[offset] = true;

    const std::uint8_t* p = file.data() + offset;
    const std::uint32_t next = LoadU32(p + 73);
    if (next == 0) break;
    const auto kindByte = p[64];
    if (kindByte <= static_cast<std::uint8_t>(Sk2Kind::kString)) {
      Sk2Record rec;
      const void* zero = std::memchr(p, 0, kSk2NameSize);
      const std::size_t nameLength = zero ? static_cast<const std::uint8_t*>(zero) - p : kSk2NameSize;
      rec.name.assign(reinterpret_cast<const char*>(p), nameLength);
      rec.kind = static_cast<Sk2Kind>(kindByte);
      rec.offset = offset;
      const std::uint32_t dataOffset = LoadU32(p + 65);
      const std::uint32_t dataSize = LoadU32(p + 69);
      if (dataOffset > file.size() || file.size() - dataOffset < dataSize)
        return Fail(error, "value of " + rec.name + " lies outside the file");
      if (const char* why = CheckValueSize(rec.kind, dataSize)) return Fail(error, rec.name + ": " + why);
      rec.data = file.subspan(dataOffset, dataSize);
      records.push_back(std::move(rec));
    }
    offset = next;
  }
  out.records = std::move(records);
  return true;
}

}  // namespace nuvskin::format
