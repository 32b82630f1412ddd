// Name comparison of the skin files: case is ignored in the ASCII manner
// (only A-Z and a-z differ), whatever the locale.
#pragma once

#include <string_view>

namespace nuvskin::format {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace nuvskin::format
