// Container extraction from memory: any bytes, with and without a password.
#include <cstddef>
#include <cstdint>

#include "skin/format/ContainerWriter.h"
#include "skin/format/SkinContainer.h"

using namespace nuvskin::format;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const char* password : {"", "secret"}) {
    Bytes member;
    const ExtractOutcome o = ExtractSkinEntryFromMemory(ByteSpan(data, size), kSkinEntryName, password, member);
    // Results are 0, 1 or 2; only a success hands out bytes, and never none.
    if (o.result < kExtractOk || o.result > kExtractWrongPassword) __builtin_trap();
    if ((o.result == kExtractOk) == member.empty()) __builtin_trap();
  }
  return 0;
}
