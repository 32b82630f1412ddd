#include "skin/format/Bytes.h"

#include <cstring>
#include <stdexcept>

namespace nuvskin::format {

std::uint16_t LoadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool ByteReader::Seek(std::size_t pos) {
  if (pos > data_.size()) return false;
  pos_ = pos;
  return true;
}

bool ByteReader::Skip(std::size_t count) {
  if (count > Remaining()) return false;
  pos_ += count;
  return true;
}

bool ByteReader::ReadU8(std::uint8_t& value) {
  if (Remaining() < 1) return false;
  value = data_[pos_++];
  return true;
}

bool ByteReader::ReadU16(std::uint16_t& value) {
  if (Remaining() < 2) return false;
  value = LoadU16(data_.data() + pos_);
  pos_ += 2;
  return true;
}

bool ByteReader::ReadU32(std::uint32_t& value) {
  if (Remaining() < 4) return false;
  value = LoadU32(data_.data() + pos_);
  pos_ += 4;
  return true;
}

bool ByteReader::ReadI32(std::int32_t& value) {
  std::uint32_t raw;
  if (!ReadU32(raw)) return false;
  value = static_cast<std::int32_t>(raw);
  return true;
}

bool ByteReader::ReadSpan(std::size_t count, ByteSpan& out) {
  if (count > Remaining()) return false;
  out = data_.subspan(pos_, count);
  pos_ += count;
  return true;
}

void ByteWriter::U16(std::uint16_t value) {
  out_.push_back(static_cast<std::uint8_t>(value));
  out_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ByteWriter::U32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out_.push_back(static_cast<std::uint8_t>(value >> shift));
}

void ByteWriter::Append(std::string_view text) {
  out_.insert(out_.end(), text.begin(), text.end());
}

void ByteWriter::PatchU32(std::size_t pos, std::uint32_t value) {
  if (pos + 4 > out_.size()) throw std::out_of_range("ByteWriter::PatchU32");
  for (int i = 0; i < 4; ++i) out_[pos + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace nuvskin::format
