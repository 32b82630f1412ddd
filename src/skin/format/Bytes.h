// Bounds-checked little-endian reading and writing of byte buffers: every
// skin-file parser reads through ByteReader, every writer through ByteWriter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace nuvskin::format {

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

// A cursor over borrowed bytes. A read that would pass the end fails,
// leaves the position unchanged and returns false.
class ByteReader {
 public:
  explicit ByteReader(ByteSpan data) : data_(data) {}

  std::size_t Size() const { return data_.size(); }
  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return data_.size() - pos_; }

  bool Seek(std::size_t pos);
  bool Skip(std::size_t count);
  bool ReadU8(std::uint8_t& value);
  bool ReadU16(std::uint16_t& value);
  bool ReadU32(std::uint32_t& value);
  bool ReadI32(std::int32_t& value);
  // Borrows `count` bytes at the position and moves past them.
  bool ReadSpan(std::size_t count, ByteSpan& out);

 private:
  ByteSpan data_;
  std::size_t pos_ = 0;
};

std::uint16_t LoadU16(const std::uint8_t* p);
std::uint32_t LoadU32(const std::uint8_t* p);

class ByteWriter {
 public:
  void U8(std::uint8_t value) { out_.push_back(value); }
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void Append(ByteSpan bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
  void Append(std::string_view text);
  // Overwrites four bytes already written at `pos`.
  void PatchU32(std::size_t pos, std::uint32_t value);

  std::size_t Size() const { return out_.size(); }
  const Bytes& Data() const { return out_; }
  Bytes Take() { return std::move(out_); }

 private:
  Bytes out_;
};

}  // namespace nuvskin::format
