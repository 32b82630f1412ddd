// Writing skin containers: "SK" 03 04 local header, the deflated (optionally
// encrypted) member, the central directory and the end record. The options
// beyond name and password exist so that tests can build unusual or damaged
// containers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/format/Bytes.h"

namespace nuvskin::format {

constexpr std::string_view kSkinEntryName = "SKINDATA.SK2";

// A fixed default time stamp keeps packing deterministic: 2000-01-01 12:00.
constexpr std::uint16_t kDefaultDosTime = 12 << 11;
constexpr std::uint16_t kDefaultDosDate = ((2000 - 1980) << 9) | (1 << 5) | 1;

struct ContainerMember {
  std::string name = std::string(kSkinEntryName);
  Bytes data;
  std::string password;  // empty: not encrypted
  // Take the password check byte from the modification time (flag bit 3)
  // instead of the CRC-32; a data descriptor then follows the data.
  bool checkByteFromTime = false;
  std::uint16_t method = 8;  // 8 deflate; 0 stores the bytes as they are
  std::uint16_t dosTime = kDefaultDosTime;
  std::uint16_t dosDate = kDefaultDosDate;
  Bytes localExtra;
  Bytes centralExtra;
  std::string centralComment;
};

struct ContainerLayout {
  bool zipSignature = false;   // start with "PK" like a plain ZIP file
  std::string archiveComment;  // readers refuse containers with one
};

// The container bytes. Deterministic: the same members give the same bytes
// (the encryption header's filler bytes derive from the member itself).
Bytes WriteContainer(const std::vector<ContainerMember>& members, const ContainerLayout& layout = {});

// The usual case: one member "SKINDATA.SK2", deflated, encrypted when a
// password is given.
Bytes WriteSkinContainer(ByteSpan sk2, const std::string& password = {});

}  // namespace nuvskin::format
