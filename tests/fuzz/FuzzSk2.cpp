// The SK2 record chain parser and its look-ups.
#include <cstddef>
#include <cstdint>

#include "skin/format/Sk2File.h"

using namespace nuvskin::format;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Sk2File skin;
  if (!ParseSk2(ByteSpan(data, size), skin)) {
    if (!skin.records.empty()) __builtin_trap();
    return 0;
  }
  // Every value span must lie inside the input; reading it lets ASan check.
  unsigned sum = 0;
  for (const Sk2Record& r : skin.records) {
    if (r.data.data() < data || r.data.data() + r.data.size() > data + size) __builtin_trap();
    for (std::uint8_t b : r.data) sum += b;
    sum += static_cast<unsigned>(r.IntegerValue()) + r.ByteValue() + static_cast<unsigned>(r.Text().size());
  }
  sum += static_cast<unsigned>(skin.Integer("SKIN2_TRANSCOLOR")) + skin.Byte("skin2_titlefivesect") +
         static_cast<unsigned>(skin.Bitmap("SKIN2_TITLEBAR1").size());
  volatile unsigned sink = sum;
  (void)sink;
  return 0;
}
