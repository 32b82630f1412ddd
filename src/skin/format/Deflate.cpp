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
  // One pass straight into `out`, which grows only as output arrives: a
  // small file that merely claims a huge member costs no memory. One byte
  // more than allowed tells an overlong stream.
  const std::size_t limit = maxOutput < SIZE_MAX ? maxOutput + 1 : maxOutput;
  out.assign(std::min(limit, std::max<std::size_t>(64 * 1024, input.size() * 8)), 0);
  RawInflateStream zs;
  std::size_t inPos = 0, outPos = 0;
  for (;;) {
    if (outPos == out.size()) out.resize(std::min(limit, out.size() * 2));
    zs->next_in = const_cast<Bytef*>(input.data() + inPos);
    zs->avail_in = Slice(input.size() - inPos);
    zs->next_out = out.data() + outPos;
    zs->avail_out = Slice(out.size() - outPos);
    const uInt inBefore = zs->avail_in, outBefore = zs->avail_out;
    const int ret = inflate(zs.get(), Z_NO_FLUSH);
    inPos += inBefore - zs->avail_in;
    outPos += outBefore - zs->avail_out;
    if (outPos > maxOutput) {
      out.clear();
      return InflateStatus::kOverlong;
    }
    const bool progressed = outBefore != zs->avail_out || inBefore != zs->avail_in;
    if (ret == Z_STREAM_END || (ret != Z_OK && ret != Z_BUF_ERROR) || !progressed) {
      out.resize(outPos);
      return ret == Z_STREAM_END ? InflateStatus::kComplete : InflateStatus::kBroken;
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
