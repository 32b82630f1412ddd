#include "skin/format/Deflate.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace nuvskin::format {

namespace {

// zlib counts in uInt; feed larger buffers in slices.
constexpr std::size_t kMaxSlice = std::numeric_limits<uInt>::max();

uInt Slice(std::size_t n) { return static_cast<uInt>(std::min(n, kMaxSlice)); }

// Owns an initialised z_stream for inflating; inflateEnd runs on every path.
class RawInflateStream {
 public:
  RawInflateStream() {
    if (inflateInit2(&zs_, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
  }
  ~RawInflateStream() { inflateEnd(&zs_); }
  RawInflateStream(const RawInflateStream&) = delete;
  RawInflateStream& operator=(const RawInflateStream&) = delete;
  z_stream* operator->() { return &zs_; }
  z_stream* get() { return &zs_; }

 private:
  z_stream zs_{};
};

class RawDeflateStream {
 public:
  explicit RawDeflateStream(int level) {
    if (deflateInit2(&zs_, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::invalid_argument("deflate level");
  }
  ~RawDeflateStream() { deflateEnd(&zs_); }
  RawDeflateStream(const RawDeflateStream&) = delete;
  RawDeflateStream& operator=(const RawDeflateStream&) = delete;
  z_stream* operator->() { return &zs_; }
  z_stream* get() { return &zs_; }

 private:
  z_stream zs_{};
};

// Runs the stream through a 32 KiB window and hands each decoded piece to
// `take`; stops as soon as the output would pass `maxOutput`.
template <class Take>
InflateStatus Decode(ByteSpan input, std::size_t maxOutput, Take take) {
  RawInflateStream zs;
  std::uint8_t window[32 * 1024];
  std::size_t inPos = 0, total = 0;
  for (;;) {
    zs->next_in = const_cast<Bytef*>(input.data() + inPos);
    zs->avail_in = Slice(input.size() - inPos);
    zs->next_out = window;
    zs->avail_out = sizeof window;
    const uInt inBefore = zs->avail_in;
    const int ret = inflate(zs.get(), Z_NO_FLUSH);
    inPos += inBefore - zs->avail_in;
    const std::size_t produced = sizeof window - zs->avail_out;
    if (produced > maxOutput - total) return InflateStatus::kOverlong;
    take(window, produced);
    total += produced;
    if (ret == Z_STREAM_END) return InflateStatus::kComplete;
    const bool progressed = produced > 0 || inBefore != zs->avail_in;
    if ((ret != Z_OK && ret != Z_BUF_ERROR) || !progressed) return InflateStatus::kBroken;
  }
}

}  // namespace

InflateStatus InflateRaw(ByteSpan input, std::size_t maxOutput, Bytes& out) {
  out.clear();
  // Count first, then decode into a buffer of exactly that size: a small
  // file that merely claims a huge member costs no memory.
  std::size_t size = 0;
  const InflateStatus status = Decode(input, maxOutput, [&](const std::uint8_t*, std::size_t n) { size += n; });
  if (status == InflateStatus::kOverlong) return status;
  out.reserve(size);
  Decode(input, maxOutput, [&](const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); });
  return status;
}

Bytes DeflateRaw(ByteSpan input, int level) {
  RawDeflateStream zs(level);
  Bytes out(deflateBound(zs.get(), static_cast<uLong>(std::min<std::size_t>(input.size(), kMaxSlice))) + 64);
  std::size_t inPos = 0, outPos = 0;
  for (;;) {
    const std::size_t inAvail = input.size() - inPos;
    zs->next_in = const_cast<Bytef*>(input.data() + inPos);
    zs->avail_in = Slice(inAvail);
    const int flush = inAvail <= kMaxSlice ? Z_FINISH : Z_NO_FLUSH;
    if (outPos == out.size()) out.resize(out.size() * 2);
    zs->next_out = out.data() + outPos;
    zs->avail_out = Slice(out.size() - outPos);
    const uInt inBefore = zs->avail_in, outBefore = zs->avail_out;
    const int ret = deflate(zs.get(), flush);
    inPos += inBefore - zs->avail_in;
    outPos += outBefore - zs->avail_out;
    if (ret == Z_STREAM_END) break;
    if (ret != Z_OK && ret != Z_BUF_ERROR) throw std::runtime_error("deflate failed");
  }
  out.resize(outPos);
  return out;
}

}  // namespace nuvskin::format
