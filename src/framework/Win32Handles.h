// Owning, move-only wrappers for USER and GDI handles, and scoped selection
// into a device context. Outside these types no code frees a handle itself.
#pragma once

#include "framework/Win32.h"

#include <utility>

namespace nuvskin::win {

template <typename H, typename Free>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H handle) : h_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  H Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  H Release() { return std::exchange(h_, nullptr); }
  void Reset(H handle = nullptr) {
    H old = std::exchange(h_, handle);
    if (old) Free{}(old);
  }

 private:
  H h_ = nullptr;
};

struct GdiObjectFree { void operator()(HGDIOBJ h) const { ::DeleteObject(h); } };
struct MemoryDCFree { void operator()(HDC h) const { ::DeleteDC(h); } };
struct IconFree { void operator()(HICON h) const { ::DestroyIcon(h); } };
struct CursorFree { void operator()(HCURSOR h) const { ::DestroyCursor(h); } };
struct MenuFree { void operator()(HMENU h) const { ::DestroyMenu(h); } };
struct HookFree { void operator()(HHOOK h) const { ::UnhookWindowsHookEx(h); } };
struct WindowFree { void operator()(HWND h) const { ::DestroyWindow(h); } };
struct ModuleFree { void operator()(HMODULE h) const { ::FreeLibrary(h); } };
struct ImageListFree { void operator()(HIMAGELIST h) const { ::ImageList_Destroy(h); } };

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectFree>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectFree>;
using UniquePen = UniqueHandle<HPEN, GdiObjectFree>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectFree>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectFree>;
using UniqueMemoryDC = UniqueHandle<HDC, MemoryDCFree>;
using UniqueIcon = UniqueHandle<HICON, IconFree>;
using UniqueCursor = UniqueHandle<HCURSOR, CursorFree>;
using UniqueMenu = UniqueHandle<HMENU, MenuFree>;
using UniqueHook = UniqueHandle<HHOOK, HookFree>;
using UniqueWindow = UniqueHandle<HWND, WindowFree>;
using UniqueModule = UniqueHandle<HMODULE, ModuleFree>;
using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListFree>;

// A DC from GetDC or GetWindowDC, given back with ReleaseDC.
class WindowDC {
 public:
  enum class Area { Client, Window };
  explicit WindowDC(HWND wnd, Area area = Area::Client)
      : wnd_(wnd), dc_(area == Area::Window ? ::GetWindowDC(wnd) : ::GetDC(wnd)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() { if (dc_) ::ReleaseDC(wnd_, dc_); }
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND wnd_;
  HDC dc_;
};

// BeginPaint/EndPaint for WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND wnd) : wnd_(wnd), dc_(::BeginPaint(wnd, &ps_)) {}
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { ::EndPaint(wnd_, &ps_); }
  HDC Get() const { return dc_; }
  const RECT& PaintRect() const { return ps_.rcPaint; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back on scope exit,
// so no object is ever deleted while selected.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;
  ~SelectScope() { if (old_) ::SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Stretching of colour images for a scope: rows and columns are dropped
// (COLORONCOLOR) instead of AND-ed together as the default BLACKONWHITE
// does; a mode the DC's user chose (HALFTONE, say) is left alone.
class ColorStretchScope {
 public:
  explicit ColorStretchScope(HDC dc)
      : dc_(dc), old_(::GetStretchBltMode(dc) == BLACKONWHITE ? ::SetStretchBltMode(dc, COLORONCOLOR) : 0) {}
  ColorStretchScope(const ColorStretchScope&) = delete;
  ColorStretchScope& operator=(const ColorStretchScope&) = delete;
  ~ColorStretchScope() { if (old_) ::SetStretchBltMode(dc_, old_); }

 private:
  HDC dc_;
  int old_;
};

// SaveDC/RestoreDC around work that changes a DC's state.
class SavedDCState {
 public:
  explicit SavedDCState(HDC dc) : dc_(dc), id_(::SaveDC(dc)) {}
  SavedDCState(const SavedDCState&) = delete;
  SavedDCState& operator=(const SavedDCState&) = delete;
  ~SavedDCState() { if (id_) ::RestoreDC(dc_, id_); }

 private:
  HDC dc_;
  int id_;
};

}  // namespace nuvskin::win
