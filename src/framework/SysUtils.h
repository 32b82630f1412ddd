// Errors and small string, number and file helpers of the framework.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "framework/Win32.h"

namespace nuvskin {

// The framework's general error. Its message is shown to the user as given,
// so it carries exact English texts such as "Failed to read skin file!".
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

class EConvertError : public Exception { using Exception::Exception; };
class EListError : public Exception { using Exception::Exception; };
class EStreamError : public Exception { using Exception::Exception; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
class EReadError : public EStreamError { using EStreamError::EStreamError; };
class EWriteError : public EStreamError { using EStreamError::EStreamError; };
class EClassNotFound : public EReadError { using EReadError::EReadError; };
class EComponentError : public Exception { using Exception::Exception; };
class EPropertyError : public Exception { using Exception::Exception; };
class EInvalidOperation : public Exception { using Exception::Exception; };
class EOutOfResources : public Exception { using Exception::Exception; };
// A graphic (bitmap, icon) whose data cannot be loaded.
class EInvalidGraphic : public Exception { using Exception::Exception; };
// A named resource that the module does not hold.
class EResNotFound : public Exception { using Exception::Exception; };

// The framework's message for a bitmap that cannot be loaded.
inline constexpr char kInvalidBitmapMessage[] = "Bitmap image is not valid";

// UTF-8 <-> UTF-16. Invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
// 8-bit text whose bytes are taken as characters 0..255 (names in skin files).
std::wstring Latin1ToWide(std::string_view text);

// ASCII-only case mapping: only a..z (A..Z) change.
std::string AsciiUpperCase(std::string_view text);
std::wstring AsciiUpperCase(std::wstring_view text);
bool SameTextAscii(std::string_view a, std::string_view b);
// Case-insensitive comparison of text as the framework's lists compare it.
int CompareText(std::wstring_view a, std::wstring_view b);
bool SameText(std::wstring_view a, std::wstring_view b);

// Decimal conversions; TryStrToInt accepts an optional sign and digits only
// (surrounding blanks are not allowed) and fails on overflow.
std::string IntToStr(std::int64_t value);
std::wstring IntToStrW(std::int64_t value);
bool TryStrToInt(std::string_view text, std::int32_t& value);
bool TryStrToInt(std::wstring_view text, std::int32_t& value);
bool TryStrToInt64(std::string_view text, std::int64_t& value);

// Paths are UTF-8 in the framework's 8-bit strings.
std::filesystem::path PathFromUtf8(std::string_view utf8);
bool FileExists(std::string_view utf8Path);
bool DeleteFile(std::string_view utf8Path);
std::string ExtractFileName(std::string_view path);
std::string ExtractFilePath(std::string_view path);
std::string IncludeTrailingPathDelimiter(std::string_view path);

}  // namespace nuvskin
