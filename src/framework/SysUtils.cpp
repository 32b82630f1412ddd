#include "framework/SysUtils.h"

#include "framework/Win32.h"

#include <charconv>
#include <limits>

namespace nuvskin {

std::wstring Utf8ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Latin1ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (char c : text) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return out;
}

namespace {
template <class Ch>
Ch AsciiUpper(Ch c) {
  return (c >= 'a' && c <= 'z') ? static_cast<Ch>(c - 'a' + 'A') : c;
}
}  // namespace

std::string AsciiUpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

std::wstring AsciiUpperCase(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = AsciiUpper(c);
  return out;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

int CompareText(std::wstring_view a, std::wstring_view b) {
  const int r = ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                 b.data(), static_cast<int>(b.size()));
  return r == 0 ? 0 : r - CSTR_EQUAL;
}

bool SameText(std::wstring_view a, std::wstring_view b) { return CompareText(a, b) == 0; }

std::string IntToStr(std::int64_t value) { return std::to_string(value); }
std::wstring IntToStrW(std::int64_t value) { return std::to_wstring(value); }

bool TryStrToInt64(std::string_view text, std::int64_t& value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') ++first;
  if (first == last || *first == '+' || *first == ' ') return false;
  std::int64_t v = 0;
  auto [end, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || end != last) return false;
  value = v;
  return true;
}

bool TryStrToInt(std::string_view text, std::int32_t& value) {
  std::int64_t v;
  if (!TryStrToInt64(text, v) || v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max())
    return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool TryStrToInt(std::wstring_view text, std::int32_t& value) {
  std::string narrow;
  for (wchar_t c : text) {
    if (c > 0x7F) return false;
    narrow.push_back(static_cast<char>(c));
  }
  return TryStrToInt(narrow, value);
}

bool FileExists(std::string_view utf8Path) {
  if (utf8Path.empty()) return false;
  const DWORD attr = ::GetFileAttributesW(Utf8ToWide(utf8Path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFile(std::string_view utf8Path) { return ::DeleteFileW(Utf8ToWide(utf8Path).c_str()) != 0; }

namespace {
std::size_t LastDelimiter(std::string_view path) { return path.find_last_of("\\/:"); }
}  // namespace

std::string ExtractFileName(std::string_view path) {
  const std::size_t i = LastDelimiter(path);
  return std::string(i == std::string_view::npos ? path : path.substr(i + 1));
}

std::string ExtractFilePath(std::string_view path) {
  const std::size_t i = LastDelimiter(path);
  return std::string(i == std::string_view::npos ? std::string_view() : path.substr(0, i + 1));
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != '\\') out.push_back('\\');
  return out;
}

}  // namespace nuvskin
