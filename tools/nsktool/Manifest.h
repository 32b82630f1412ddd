// manifest.txt of a skin source folder: one element per line in record-chain
// order, "KIND NAME VALUE", KIND one of bitmap, integer, byte, string.
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "skin/format/Sk2File.h"

namespace nuvskin::nsktool {

struct ManifestLine {
  format::Sk2Kind kind = format::Sk2Kind::kBitmap;
  std::string name;
  // bitmap: a BMP path relative to the manifest's folder; integer: decimal or
  // 0x hexadecimal; byte: 0..255; string: the rest of the line.
  std::string value;
  int lineNumber = 0;
};

// Parses the manifest text; on error `error` reads "FILE:LINE: reason".
bool ParseManifest(std::string_view text, const std::string& fileLabel, std::vector<ManifestLine>& out,
                   std::string& error);

// The manifest text of `lines`; false (with a reason) when an element cannot
// be written so that it reads back the same: a name that is empty or holds
// whitespace, or a string value with a line break or surrounding whitespace.
bool FormatManifest(const std::vector<ManifestLine>& lines, std::string& text, std::string& error);

std::string_view KindName(format::Sk2Kind kind);

// Value parsers shared with the packer: false on malformed or out-of-range text.
bool ParseIntegerValue(std::string_view text, std::int32_t& value);
bool ParseByteValue(std::string_view text, std::uint8_t& value);

}  // namespace nuvskin::nsktool
