// The BMP parser, decoder and encoder: whatever parses decodes, and writes
// back into a file that parses to the same pixels.
#include <cstddef>
#include <cstdint>

#include "skin/format/Bmp.h"

using namespace nuvskin::format;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int w = 0, h = 0, bpp = 0;
  PeekBmp(ByteSpan(data, size), w, h, bpp);
  BmpImage image;
  if (!ParseBmp(ByteSpan(data, size), image)) return 0;
  // A small RLE file may claim a picture of megabytes: parsing it is the
  // test; the round trip of such pictures would only slow every run down.
  if (static_cast<std::uint64_t>(image.width) * image.height > (1u << 16)) return 0;
  const auto pixels = DecodeBmpPixels(image);
  if (pixels.size() != static_cast<std::size_t>(image.width) * image.height) __builtin_trap();
  BmpImage again;
  if (!ParseBmp(EncodeBmp(image), again) || DecodeBmpPixels(again) != pixels) __builtin_trap();
  return 0;
}
