// Helpers of the engine and frame tests: an engine on a form of its own,
// modeless dialogs of the platform's dialog class made from a template in
// memory, modal dialogs driven from a timer, and the skin's pixels.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "StdCtrlsTestSupport.h"
#include "TestSkins.h"
#include "engine/NUVSkinEngine.h"
#include "frames/SkinWindow.h"
#include "skin/format/Sk2Writer.h"

namespace nuvskin::test {

// What the dialog procedure of a test dialog saw.
struct DialogLog {
  std::vector<WPARAM> commands;
  int destroys = 0;
};

// A modeless "#32770" dialog with a caption, a system menu, an OK and a
// Cancel button; `width` and `height` in dialog units.
HWND CreateTestDialog(DialogLog* log, int width = 160, int height = 80, const wchar_t* caption = L"Skinned dialog",
                      DWORD extraStyle = 0);

// Runs `action` once from a timer of this thread, `delayMs` from now: the
// way to act while a modal loop (a message box, a common dialog) runs.
void RunSoon(std::function<void()> action, UINT delayMs = 50);

// An engine on a hidden form of its own, with the built-in skin, active.
class EngineFixture {
 public:
  EngineFixture();
  ~EngineFixture();
  EngineFixture(const EngineFixture&) = delete;
  EngineFixture& operator=(const EngineFixture&) = delete;
  TnuvSkinEngine* engine = nullptr;
  TForm* owner = nullptr;
};

// The skin's bitmap of that index (never nullptr: fails the test instead).
TBitmap* SkinBitmapOf(TnuvSkinEngine* engine, int index);
// Frame k (from 1) of `count` frames of the bitmap, at (x, y) of the frame.
TColor FramePixel(TBitmap* bitmap, int count, int k, int x, int y);

// The SK2 file of the built-in skin, and a container of it changed by `edit`.
format::Bytes BuiltInSk2();
format::Bytes EditedBuiltInSkin(const std::function<void(std::vector<format::Sk2Element>&)>& edit);

RECT WindowRectOf(HWND wnd);
SIZE WindowSizeOf(HWND wnd);
SIZE ClientSizeOf(HWND wnd);
bool IsSkinned(HWND wnd);

}  // namespace nuvskin::test
