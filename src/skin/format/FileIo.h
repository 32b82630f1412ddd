// Whole-file reading and writing for the skin-file code. File names travel as
// UTF-8 strings; PathFromUtf8 turns them into paths that are wide on Windows,
// so non-ASCII names reach the wide file APIs.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "skin/format/Bytes.h"

namespace nuvskin::format {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The whole file; false when it is missing, unreadable or bigger than maxSize.
bool ReadFileBytes(const std::filesystem::path& path, std::size_t maxSize, Bytes& out);

// Creates or truncates the file and writes `data`; false on any error, in
// which case a partly written file may remain (callers remove it).
bool WriteFileBytes(const std::filesystem::path& path, ByteSpan data);

}  // namespace nuvskin::format
