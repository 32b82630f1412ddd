#include "skin/format/PkwareCipher.h"

#include "skin/format/Crc32.h"

namespace nuvskin::format {

PkwareCipher::PkwareCipher(std::string_view password) {
  for (char c : password) Update(static_cast<std::uint8_t>(c));
}

void PkwareCipher::Update(std::uint8_t plain) {
  key0_ = Crc32Step(key0_, plain);
  key1_ = (key1_ + (key0_ & 0xFF)) * 134775813u + 1;
  key2_ = Crc32Step(key2_, static_cast<std::uint8_t>(key1_ >> 24));
}

std::uint8_t PkwareCipher::KeyStreamByte() const {
  // Unsigned 32-bit product: 16-bit operands would promote to int and overflow.
  const std::uint32_t temp = (key2_ | 2) & 0xFFFF;
  return static_cast<std::uint8_t>((temp * (temp ^ 1)) >> 8);
}

std::uint8_t PkwareCipher::Decrypt(std::uint8_t cipher) {
  const std::uint8_t plain = cipher ^ KeyStreamByte();
  Update(plain);
  return plain;
}

std::uint8_t PkwareCipher::Encrypt(std::uint8_t plain) {
  const std::uint8_t cipher = plain ^ KeyStreamByte();
  Update(plain);
  return cipher;
}

void PkwareCipher::Decrypt(std::span<std::uint8_t> data) {
  for (auto& b : data) b = Decrypt(b);
}

void PkwareCipher::Encrypt(std::span<std::uint8_t> data) {
  for (auto& b : data) b = Encrypt(b);
}

}  // namespace nuvskin::format
