// Raw deflate streams (no zlib or gzip wrapper) through zlib.
#pragma once

#include <cstddef>

#include "skin/format/Bytes.h"

namespace nuvskin::format {

enum class InflateStatus {
  kComplete,  // the final block was decoded; input after it is ignored
  kOverlong,  // the stream would produce more than the allowed output
  kBroken,    // invalid deflate data, or the input ended before the final block
};

// Decodes a raw deflate stream into `out`: every byte decoded before the
// stream ended or broke; nothing when it would pass `maxOutput`. The stream
// is decoded once; `out` grows with the bytes actually decoded, never to
// what a header merely claims.
InflateStatus InflateRaw(ByteSpan input, std::size_t maxOutput, Bytes& out);

// A raw deflate stream of `input` at the given zlib level (0..9). Deterministic
// for the same input, level and zlib build.
Bytes DeflateRaw(ByteSpan input, int level = 9);

}  // namespace nuvskin::format
