#include "draw/PlatformFunctions.h"

#include <vector>

namespace nuvskin {

namespace {

PlatformFlags QueryPlatformFlags() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  static_assert(sizeof(OSVERSIONINFOA) == 148);
  if (!::GetVersionExA(&info)) return {};
  return PlatformFlagsOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

const PlatformFlags& Flags() {
  static const PlatformFlags flags = QueryPlatformFlags();
  return flags;
}

constexpr const char* kRealNames[3] = {"GetScrollBarInfo", "GetComboBoxInfo", "GetAncestor"};
enum Entry { kScrollBarInfo, kComboBoxInfo, kAncestor };

// Unit state: the module is loaded on first need and freed at program end;
// each entry is looked up once.
struct User32Functions {
  win::UniqueModule module;
  FARPROC entries[3] = {};
  const char* names[3] = {kRealNames[0], kRealNames[1], kRealNames[2]};
  bool unavailable = false;
  FARPROC internalGetWindowText = nullptr;
  bool internalLookedUp = false;

  HMODULE Module() {
    if (!module) module.Reset(::LoadLibraryA("User32.dll"));
    return module.Get();
  }
  FARPROC Get(Entry entry) {
    if (unavailable) return nullptr;
    if (!entries[entry]) {
      HMODULE m = Module();
      entries[entry] = m ? ::GetProcAddress(m, names[entry]) : nullptr;
      if (!entries[entry]) {
        unavailable = true;
        return nullptr;
      }
    }
    return entries[entry];
  }
};

User32Functions gUser32;

template <class Fn>
Fn As(FARPROC proc) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

}  // namespace

PlatformFlags PlatformFlagsOf(DWORD platformId, DWORD major, DWORD minor) {
  PlatformFlags f;
  f.nt = platformId == VER_PLATFORM_WIN32_NT;
  f.win95 = platformId == VER_PLATFORM_WIN32_WINDOWS && major == 4 && minor == 0;
  f.winXPOrAbove = platformId == VER_PLATFORM_WIN32_NT && major >= 5 && minor >= 1;
  f.winVista = platformId == VER_PLATFORM_WIN32_NT && major == 6 && minor == 0;
  return f;
}

bool IsWinNT() { return Flags().nt; }
bool IsWin95() { return Flags().win95; }
bool IsWinXPOrAbove() { return Flags().winXPOrAbove; }
bool IsWinVista() { return Flags().winVista; }

BOOL SafeGetScrollBarInfo(HWND wnd, LONG objectId, SCROLLBARINFO& info) {
  FARPROC f = gUser32.Get(kScrollBarInfo);
  return f ? As<BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO)>(f)(wnd, objectId, &info) : FALSE;
}

BOOL SafeGetComboBoxInfo(HWND wnd, COMBOBOXINFO& info) {
  FARPROC f = gUser32.Get(kComboBoxInfo);
  return f ? As<BOOL(WINAPI*)(HWND, PCOMBOBOXINFO)>(f)(wnd, &info) : FALSE;
}

HWND SafeGetAncestor(HWND wnd, UINT flags) {
  FARPROC f = gUser32.Get(kAncestor);
  return f ? As<HWND(WINAPI*)(HWND, UINT)>(f)(wnd, flags) : nullptr;
}

std::wstring GetWindowTextInternal(HWND wnd) {
  if (!Flags().nt) return {};
  if (!gUser32.internalLookedUp) {
    gUser32.internalLookedUp = true;
    HMODULE m = gUser32.Module();
    gUser32.internalGetWindowText = m ? ::GetProcAddress(m, "InternalGetWindowText") : nullptr;
  }
  if (!gUser32.internalGetWindowText) return {};
  const int length = ::GetWindowTextLengthW(wnd);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  As<int(WINAPI*)(HWND, LPWSTR, int)>(gUser32.internalGetWindowText)(wnd, buffer.data(), length + 1);
  return std::wstring(buffer.data());
}

void SetUser32LookupNamesForTesting(const char* const* names) {
  for (int i = 0; i < 3; ++i) {
    gUser32.names[i] = names && names[i] ? names[i] : kRealNames[i];
    gUser32.entries[i] = nullptr;
  }
  gUser32.unavailable = false;
}

bool User32LookupsUnavailable() { return gUser32.unavailable; }

}  // namespace nuvskin
