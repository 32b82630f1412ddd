// CRC-32 of the ZIP format (reflected polynomial 0xEDB88320), used by the
// container writer and by the traditional encryption's key schedule.
#pragma once

#include <cstdint>

#include "skin/format/Bytes.h"

namespace nuvskin::format {

// One byte folded into a running CRC register (no pre- or post-inversion).
std::uint32_t Crc32Step(std::uint32_t crc, std::uint8_t byte);

// The CRC-32 of `data`, continuing from `crc` (0 for a fresh start).
std::uint32_t Crc32(ByteSpan data, std::uint32_t crc = 0);

}  // namespace nuvskin::format
