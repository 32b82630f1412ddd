// The traditional PKWARE stream cipher of ZIP archives: three 32-bit keys
// driven by the password and by every plain byte.
#pragma once

#include <cstdint>
#include <string_view>

#include "skin/format/Bytes.h"

namespace nuvskin::format {

// Size of the encryption header in front of an encrypted member; its last
// plain byte is the password check byte.
constexpr std::size_t kEncryptionHeaderSize = 12;

class PkwareCipher {
 public:
  // Keys initialised and then updated with every byte of `password`.
  explicit PkwareCipher(std::string_view password);

  std::uint8_t Decrypt(std::uint8_t cipher);
  std::uint8_t Encrypt(std::uint8_t plain);
  void Decrypt(std::span<std::uint8_t> data);
  void Encrypt(std::span<std::uint8_t> data);

 private:
  void Update(std::uint8_t plain);
  std::uint8_t KeyStreamByte() const;

  std::uint32_t key0_ = 0x12345678;
  std::uint32_t key1_ = 0x23456789;
  std::uint32_t key2_ = 0x34567890;
};

}  // namespace nuvskin::format
