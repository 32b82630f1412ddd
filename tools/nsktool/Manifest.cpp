#include "nsktool/Manifest.h"

#include <charconv>
#include <cstdint>

namespace nuvskin::nsktool {

using format::Sk2Kind;

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view NextToken(std::string_view& rest) {
  rest = TrimLeft(rest);
  std::size_t n = 0;
  while (n < rest.size() && !IsSpace(rest[n])) ++n;
  std::string_view token = rest.substr(0, n);
  rest.remove_prefix(n);
  return token;
}

bool ParseKind(std::string_view word, Sk2Kind& kind) {
  for (Sk2Kind k : {Sk2Kind::kBitmap, Sk2Kind::kInteger, Sk2Kind::kByte, Sk2Kind::kString}) {
    if (word == KindName(k)) {
      kind = k;
      return true;
    }
  }
  return false;
}

bool HasSpaceOrControl(std::string_view s) {
  for (char c : s)
    if (IsSpace(c) || c == '\n' || static_cast<unsigned char>(c) < 0x20) return true;
  return false;
}

}  // namespace

std::string_view KindName(Sk2Kind kind) {
  switch (kind) {
    case Sk2Kind::kBitmap: return "bitmap";
    case Sk2Kind::kInteger: return "integer";
    case Sk2Kind::kByte: return "byte";
    case Sk2Kind::kString: return "string";
  }
  return "unknown";
}

bool ParseIntegerValue(std::string_view text, std::int32_t& value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    std::uint32_t raw = 0;
    const auto [end, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), raw, 16);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = static_cast<std::int32_t>(raw);  // 0xFFFFFFFF is -1, as in the file
    return true;
  }
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseByteValue(std::string_view text, std::uint8_t& value) {
  std::int32_t v = 0;
  if (!ParseIntegerValue(text, v) || v < 0 || v > 255) return false;
  value = static_cast<std::uint8_t>(v);
  return true;
}

bool ParseManifest(std::string_view text, const std::string& fileLabel, std::vector<ManifestLine>& out,
                   std::string& error) {
  out.clear();
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    ++lineNumber;
    auto fail = [&](const std::string& why) {
      error = fileLabel + ":" + std::to_string(lineNumber) + ": " + why;
      return false;
    };

    std::string_view rest = TrimRight(line);
    if (TrimLeft(rest).empty() || TrimLeft(rest).front() == '#') continue;
    ManifestLine entry;
    entry.lineNumber = lineNumber;
    const std::string_view kind = NextToken(rest);
    if (!ParseKind(kind, entry.kind))
      return fail("unknown kind '" + std::string(kind) + "' (bitmap, integer, byte or string)");
    entry.name = std::string(NextToken(rest));
    if (entry.name.empty()) return fail("element name missing");
    if (entry.name.size() > format::kSk2NameSize)
      return fail("element name longer than " + std::to_string(format::kSk2NameSize) + " bytes");
    entry.value = std::string(TrimLeft(rest));

    switch (entry.kind) {
      case Sk2Kind::kBitmap:
        if (entry.value.empty()) return fail("bitmap file missing for " + entry.name);
        break;
      case Sk2Kind::kInteger: {
        std::int32_t v;
        if (!ParseIntegerValue(entry.value, v))
          return fail("'" + entry.value + "' is no 32-bit integer (decimal or 0x hexadecimal)");
        break;
      }
      case Sk2Kind::kByte: {
        std::uint8_t v;
        if (!ParseByteValue(entry.value, v)) return fail("'" + entry.value + "' is no byte value 0..255");
        break;
      }
      case Sk2Kind::kString: break;
    }
    out.push_back(std::move(entry));
  }
  return true;
}

bool FormatManifest(const std::vector<ManifestLine>& lines, std::string& text, std::string& error) {
  text = "# Skin elements in record-chain order: KIND NAME VALUE\n";
  for (const ManifestLine& l : lines) {
    if (l.name.empty() || HasSpaceOrControl(l.name)) {
      error = "element name '" + l.name + "' cannot be written to a manifest";
      return false;
    }
    if (l.kind == Sk2Kind::kString &&
        (l.value.find_first_of("\r\n") != std::string::npos || TrimLeft(TrimRight(l.value)) != l.value)) {
      error = "string value of " + l.name + " cannot be written to a manifest";
      return false;
    }
    text += std::string(KindName(l.kind)) + " " + l.name;
    if (!l.value.empty()) text += " " + l.value;
    text += "\n";
  }
  return true;
}

}  // namespace nuvskin::nsktool
