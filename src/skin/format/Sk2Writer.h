// Writing SK2 resource files: header, then each record followed by its value,
// then the closing record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/format/Bytes.h"
#include "skin/format/Sk2File.h"

namespace nuvskin::format {

struct Sk2Element {
  std::string name;       // at most 64 bytes
  std::uint8_t kind = 0;  // an Sk2Kind; other values are written as given
  Bytes data;

  static Sk2Element Bitmap(std::string name, Bytes bmpFile);
  static Sk2Element Integer(std::string name, std::int32_t value);
  static Sk2Element Byte(std::string name, std::uint8_t value);
  static Sk2Element String(std::string name, std::string_view text);
};

// Header "NUVATECH_SK2", header size 24, version 2, first record at 24; the
// records in the given order, each followed by its value; the closing record
// (empty name, kind 2, zero offset and size, next 0). Throws
// std::invalid_argument for a name longer than 64 bytes or a file that would
// pass 4 GiB.
Bytes WriteSk2(const std::vector<Sk2Element>& elements);

}  // namespace nuvskin::format
