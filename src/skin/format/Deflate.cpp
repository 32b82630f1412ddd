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

}  // namespace

InflateStatus InflateRaw(ByteSpan input, std::size_t maxOutput, Bytes& out) {
  out.assign(maxOutput, 0);
  RawInflateStream zs;
  std::size_t inPos = 0, outPos = 0;
  // One spare byte beyond the limit tells "ends exactly here" from "goes on".
  std::uint8_t spare = 0;
  for (;;) {
    const std::size_t inAvail = input.size() - inPos;
    zs->next_in = const_cast<Bytef*>(input.data() + inPos);
    zs->avail_in = Slice(inAvail);
    const bool intoSpare = outPos == maxOutput;
    zs->next_out = intoSpare ? &spare : out.data() + outPos;
    zs->avail_out = intoSpare ? 1 : Slice(maxOutput - outPos);
    const uInt inBefore = zs->avail_in, outBefore = zs->avail_out;
    const int ret = inflate(zs.get(), Z_NO_FLUSH);
    inPos += inBefore - zs->avail_in;
    const std::size_t produced = outBefore - zs->avail_out;
    if (intoSpare && produced > 0) {
      out.resize(outPos);
      return InflateStatus::kOverlong;
    }
    outPos += produced;
    if (ret == Z_STREAM_END) {
      out.resize(outPos);
      return InflateStatus::kComplete;
    }
    const bool progressed = produced > 0 || inBefore != zs->avail_in;
    if ((ret != Z_OK && ret != Z_BUF_ERROR) || !progressed) {
      out.resize(outPos);
      return InflateStatus::kBroken;
    }
  }
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
