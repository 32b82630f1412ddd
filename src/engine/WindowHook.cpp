#include "engine/WindowHook.h"

#include "engine/NUVSkinEngine.h"
#include "framework/Callbacks.h"
#include "framework/SysUtils.h"

namespace nuvskin {

namespace {

// One hook per process, on the thread of the engine that installed it.
struct HookState {
  win::UniqueHook hook;
  TnuvSkinEngine* engine = nullptr;
  HWND lastDestroyedRawWindow = nullptr;
  TCustomForm* formBeingAttached = nullptr;
};

HookState& State() {
  static HookState* state = new HookState();  // outlives every engine
  return *state;
}

std::string ClassNameOf(HWND wnd) {
  char buffer[100] = {};
  int length = ::GetClassNameA(wnd, buffer, sizeof buffer);
  return std::string(buffer, static_cast<std::size_t>(std::max(length, 0)));
}

bool IsUnskinned(HWND wnd) { return ::SendMessageW(wnd, WM_NUVSKIN_QUERY, 0, 0) == 0; }

void OnActivate(TnuvSkinEngine* engine, HWND wnd) {
  const std::string name = ClassNameOf(wnd);
  if (name == "TTabDockHost" || name == "TConjoinDockHost") {
    if (IsUnskinned(wnd)) engine->AddFrameSkin(wnd, true);
  } else if (name == "TMessageForm" || name == "#32770") {
    HookState& state = State();
    const bool justDestroyed = wnd == state.lastDestroyedRawWindow;
    state.lastDestroyedRawWindow = nullptr;
    if (!justDestroyed && engine->SkinDialogs() && IsUnskinned(wnd)) engine->AddFrameSkin(wnd, true);
  } else if (AutoSkinClassNames()->IndexOf(Latin1ToWide(name)) >= 0 && IsUnskinned(wnd)) {
    engine->SkinWindow(wnd);
  }
}

// A skinned dialog draws its own corner: its size grip is refused unless it
// is the one created with exactly WS_EX_NOPARENTNOTIFY.
bool RefuseCreation(HWND wnd, const CBT_CREATEWNDA* create) {
  if (!create || !create->lpcs) return false;
  if (AsciiUpperCase(ClassNameOf(wnd)) != "SCROLLBAR") return false;
  if ((create->lpcs->style & SBS_SIZEGRIP) == 0) return false;
  return create->lpcs->dwExStyle != WS_EX_NOPARENTNOTIFY;
}

LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam) {
  HookState& state = State();
  HHOOK hook = state.hook.Get();
  const bool refuse = GuardHook(false, [&] {
    TnuvSkinEngine* engine = state.engine;
    if ((code != HCBT_CREATEWND && code != HCBT_ACTIVATE) || !engine || !engine->SkinningActive()) return false;
    HWND wnd = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE) {
      // A window that cannot be skinned keeps its own frame and activation
      // goes on. The failure is not reported: the report's own message box
      // would be activated and caught here again.
      try {
        OnActivate(engine, wnd);
      } catch (const std::exception&) {
      }
      return false;
    }
    return RefuseCreation(wnd, reinterpret_cast<const CBT_CREATEWNDA*>(lParam));
  });
  if (refuse) return 1;
  return ::CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

bool InstallWindowHook(TnuvSkinEngine* engine) {
  HookState& state = State();
  if (state.hook) return false;
  state.hook.Reset(::SetWindowsHookExA(WH_CBT, CbtHookProc, nullptr, ::GetCurrentThreadId()));
  if (!state.hook) return false;
  state.engine = engine;
  return true;
}

void RemoveWindowHook(TnuvSkinEngine* engine) {
  HookState& state = State();
  if (state.engine != engine) return;
  state.hook.Reset();
  state.engine = nullptr;
}

TnuvSkinEngine* HookEngine() { return State().engine; }

void SetLastDestroyedRawWindow(HWND wnd) { State().lastDestroyedRawWindow = wnd; }
HWND LastDestroyedRawWindow() { return State().lastDestroyedRawWindow; }
TCustomForm* FormBeingAttached() { return State().formBeingAttached; }
void SetFormBeingAttached(TCustomForm* form) { State().formBeingAttached = form; }

}  // namespace nuvskin
