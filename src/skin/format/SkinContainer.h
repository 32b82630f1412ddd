// Reading skin containers (".nsk"): ZIP archives whose first bytes read "SK"
// instead of "PK", holding one deflated, optionally encrypted member.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "skin/format/Bytes.h"

namespace nuvskin::format {

// Results of the extraction; the skin readers turn 1 into "Failed to read
// skin file!" and 2 into "Wrong password!".
enum ExtractResult : int {
  kExtractOk = 0,
  kExtractFailed = 1,         // unreadable container, member missing, nothing extracted
  kExtractWrongPassword = 2,  // password missing or wrong, or the size check failed
};

// Largest container file and largest stated member size accepted; anything
// bigger is refused before reading or inflating it.
constexpr std::size_t kMaxContainerSize = 256u << 20;
constexpr std::uint32_t kMaxMemberSize = 256u << 20;

// Longest entry name the directory scan compares; entries with longer names
// are passed over (they never match).
constexpr std::size_t kMaxEntryNameLength = 259;

struct ExtractOutcome {
  int result = kExtractFailed;
  // True once a directory entry matched `entryName`: from that point on a
  // file-based extraction has created its output file.
  bool entryFound = false;
};

// Extracts the member `entryName` (compared ASCII case-insensitively, plain
// names only) of the container bytes `container` into `member`. `password`
// empty means none. `member` is cleared unless the result is kExtractOk.
ExtractOutcome ExtractSkinEntryFromMemory(ByteSpan container, std::string_view entryName,
                                          std::string_view password, Bytes& member);

// The same from a container file to an output file; all names are UTF-8.
// Returns 0, 1 or 2. On any result but 0 no output file is left behind (an
// existing file of that name is deleted once the member has been found, as it
// would have been truncated).
int ExtractSkinEntry(const std::string& containerFileName, const std::string& entryName,
                     const std::string& outputFileName, const std::string& password);

}  // namespace nuvskin::format
