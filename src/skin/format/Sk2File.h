// The SK2 resource file inside a skin container: a header and a chain of
// named records, each holding one skin element value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "skin/format/AsciiCase.h"
#include "skin/format/Bytes.h"

namespace nuvskin::format {

// Record kinds; other values occur in files and are passed over.
enum class Sk2Kind : std::uint8_t { kBitmap = 0, kInteger = 1, kByte = 2, kString = 3 };

constexpr std::size_t kSk2HeaderSize = 24;
constexpr std::size_t kSk2RecordSize = 77;
constexpr std::size_t kSk2NameSize = 64;
constexpr std::string_view kSk2Magic = "NUVATECH_SK2";

// One element record. `data` borrows from the bytes given to ParseSk2.
struct Sk2Record {
  std::string name;  // the 64 name bytes up to the first zero byte
  Sk2Kind kind = Sk2Kind::kBitmap;
  ByteSpan data;     // the value: a BMP file, 4 bytes, 1 byte or the text
  std::uint32_t offset = 0;  // where the record itself lies in the file

  std::int32_t IntegerValue() const;  // kind kInteger
  std::uint8_t ByteValue() const;     // kind kByte
  std::string Text() const;           // kind kString
};

// The element records of an SK2 file in chain order. Look-ups compare names
// ASCII case-insensitively and the first record of a name wins; they answer
// the values a skin lacking the element gets.
struct Sk2File {
  std::vector<Sk2Record> records;

  const Sk2Record* Find(Sk2Kind kind, std::string_view name) const;
  // Bitmap data, or an empty span when the skin has no such bitmap.
  ByteSpan Bitmap(std::string_view name) const;
  std::int32_t Integer(std::string_view name) const;  // -1 when missing
  std::uint8_t Byte(std::string_view name) const;     // 0 when missing
  std::optional<std::string> String(std::string_view name) const;
};

// Parses an SK2 file. The header's size field (at least 24, within the
// file) says how much of it is header; its first-record field starts the
// chain. The record whose next-record field is 0 ends it and carries no
// element; records of kinds above 3 are passed over.
//
// Fails with a reason when the file is damaged: header or record outside the
// file, a chain that comes back to a record it has visited, a value outside
// the file, an integer value that is not 4 bytes, a byte value that is not 1
// byte, or an empty bitmap value (any of these would leave the skin partly
// read, so the whole file counts as damaged).
bool ParseSk2(ByteSpan file, Sk2File& out, std::string* error = nullptr);

}  // namespace nuvskin::format
