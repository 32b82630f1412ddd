// Name comparison of the skin files: case is ignored in the ASCII manner
// (only A-Z and a-z differ), whatever the locale. The readers, nsktool and
// the element catalogue all compare names through here, so they agree.
#pragma once

#include <string_view>

namespace nuvskin::format {

template <class Char>
constexpr Char AsciiLower(Char c) {
  return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

namespace detail {

template <class Char>
constexpr int CompareAsciiNoCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Char x = AsciiLower(a[i]), y = AsciiLower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace detail

// Negative, 0 or positive, as a sorted name list needs.
constexpr int CompareAsciiNoCase(std::string_view a, std::string_view b) { return detail::CompareAsciiNoCase(a, b); }
constexpr int CompareAsciiNoCase(std::wstring_view a, std::wstring_view b) { return detail::CompareAsciiNoCase(a, b); }

constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareAsciiNoCase(a, b) == 0;
}
constexpr bool EqualsAsciiNoCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && CompareAsciiNoCase(a, b) == 0;
}

}  // namespace nuvskin::format
