#include "image/WindowCapture.h"

#include "framework/Win32Handles.h"

namespace nuvskin::image {

Image CaptureDC(HDC dc, int x, int y, int width, int height) {
  if (!dc || width <= 0 || height <= 0) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win::UniqueBitmap dib(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  win::UniqueMemoryDC memory(::CreateCompatibleDC(dc));
  if (!dib || !memory || !bits) return {};
  {
    win::SelectScope select(memory.Get(), dib.Get());
    if (!::BitBlt(memory.Get(), 0, 0, width, height, dc, x, y, SRCCOPY)) return {};
  }
  ::GdiFlush();
  Image image(width, height);
  const auto* src = static_cast<const std::uint32_t*>(bits);  // 0x00RRGGBB
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col) {
      const std::uint32_t v = src[static_cast<std::size_t>(row) * width + col];
      image.Set(col, row, Rgb((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
  return image;
}

Image CaptureWindow(HWND wnd) {
  RECT r{};
  if (!::GetWindowRect(wnd, &r)) return {};
  win::WindowDC dc(wnd, win::WindowDC::Area::Window);
  return CaptureDC(dc.Get(), 0, 0, r.right - r.left, r.bottom - r.top);
}

Image CaptureScreen(const RECT& rect) {
  win::WindowDC dc(nullptr);
  return CaptureDC(dc.Get(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace nuvskin::image
