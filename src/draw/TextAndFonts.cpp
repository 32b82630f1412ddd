#include "draw/TextAndFonts.h"

#include <cstddef>

namespace nuvskin {

namespace {

int TextWidthA(TCanvas* canvas, const std::string& text) {
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(canvas->Handle(), text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

template <class String, class Measure>
String Shorten(const String& text, int maxWidth, const typename String::value_type* dots, Measure width) {
  if (width(text) <= maxWidth) return text;
  for (std::size_t i = 1; i < text.size(); ++i) {
    String candidate = text.substr(0, i) + dots;
    if (width(candidate) >= maxWidth) return candidate;
  }
  return text;
}

template <class String>
String WithoutAmpersands(String text) {
  std::erase(text, '&');
  return text;
}

// NONCLIENTMETRICSA without the padded border width, which older systems
// reject.
constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
static_assert(kNonClientMetricsSize == 340);

bool NonClientMetrics(NONCLIENTMETRICSA& metrics) {
  metrics = NONCLIENTMETRICSA{};
  metrics.cbSize = kNonClientMetricsSize;
  return ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0) != FALSE;
}

bool UseSystemFont(TFont* font, const LOGFONTA& description) {
  HFONT handle = ::CreateFontIndirectA(&description);
  if (!handle) return false;
  font->SetHandle(handle);
  return true;
}

}  // namespace

std::string ShortenText(TCanvas* canvas, const std::string& text, int maxWidth) {
  if (!canvas) return text;
  return Shorten(text, maxWidth, "...", [canvas](const std::string& s) { return TextWidthA(canvas, s); });
}

std::wstring ShortenTextW(TCanvas* canvas, const std::wstring& text, int maxWidth) {
  if (!canvas) return text;
  return Shorten(text, maxWidth, L"...", [canvas](const std::wstring& s) { return TextWidthW(canvas, s); });
}

int TextWidthW(TCanvas* canvas, const std::wstring& text) {
  if (!canvas) return 0;
  SIZE size{0, 0};
  ::GetTextExtentPoint32W(canvas->Handle(), text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

std::string StripAmpersands(const std::string& text) { return WithoutAmpersands(text); }
std::wstring StripAmpersands(const std::wstring& text) { return WithoutAmpersands(text); }

void UseCaptionFont(TFont* font) {
  NONCLIENTMETRICSA metrics;
  if (font && NonClientMetrics(metrics)) UseSystemFont(font, metrics.lfCaptionFont);
}

void UseMenuFont(TFont* font) {
  NONCLIENTMETRICSA metrics;
  if (font && NonClientMetrics(metrics) && UseSystemFont(font, metrics.lfMenuFont)) font->SetColor(clMenuText);
}

}  // namespace nuvskin
