#include "Tour.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ButtonStatesForm.h"
#include "MdiForms.h"
#include "OwnFrameForm.h"
#include "engine/SkinMessages.h"
#include "framework/StdCtrls.h"
#include "image/WindowCapture.h"

namespace nuvskin::demo {

namespace {

struct Tour {
  std::filesystem::path dir;
  TGalleryForm* gallery = nullptr;
  std::vector<std::filesystem::path> written;
  bool ok = true;
};

void Pump(DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  while (::GetTickCount64() < end) {
    Application->ProcessMessages();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// The rectangle of the screen around some windows.
RECT RectAround(const std::vector<HWND>& windows, int margin) {
  RECT all{};
  bool first = true;
  for (HWND wnd : windows) {
    RECT r;
    if (!wnd || !::GetWindowRect(wnd, &r)) continue;
    if (first)
      all = r;
    else
      ::UnionRect(&all, &all, &r);
    first = false;
  }
  ::InflateRect(&all, margin, margin);
  all.left = std::max(0L, all.left);
  all.top = std::max(0L, all.top);
  return all;
}

// The screen around some windows: frames, shadows and what lies beside them.
image::Image ScreenAround(const std::vector<HWND>& windows, int margin) {
  return image::CaptureScreen(RectAround(windows, margin));
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof input);
}

// Puts the cursor on a control's centre and waits until it is there (Wine
// moves it asynchronously) and the control has answered.
void MouseTo(TWinControl* control) {
  RECT r;
  ::GetWindowRect(control->Handle(), &r);
  const POINT to{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::SetCursorPos(to.x, to.y);
  for (int i = 0; i < 50; ++i) {
    POINT at;
    if (::GetCursorPos(&at) && at.x == to.x && at.y == to.y) break;
    Pump(10);
  }
  Pump(300);
}

// Copies the screen under a window into a picture of the screen taken at
// `origin`.
void PasteScreenOf(image::Image& shot, POINT origin, HWND wnd) {
  RECT r;
  ::GetWindowRect(wnd, &r);
  shot.Blit(image::CaptureScreen(r), r.left - origin.x, r.top - origin.y);
}

void Save(Tour& tour, const image::Image& shot, const std::wstring& name) {
  const auto path = tour.dir / (name + L".png");
  if (!shot.Empty() && image::WritePng(shot, path)) {
    tour.written.push_back(path);
  } else {
    tour.ok = false;
    std::fprintf(stderr, "demo: no screenshot of %ls\n", name.c_str());
  }
}

// Whether a scene's window must carry the skinned frame.
enum class Skinned { kAny, kYes, kNo };

// A scene that runs its own modal loop (a menu or a dialog): a timer takes
// the picture while the loop runs, then ends it.
struct ModalScene {
  Tour* tour;
  std::wstring name;
  std::function<HWND()> find;          // the menu or dialog window
  std::function<void(HWND)> close;     // ends the modal loop
  Skinned skinned;
  int ticks = 0;
  bool done = false;
};
ModalScene* gScene = nullptr;

void CALLBACK ModalTick(HWND, UINT, UINT_PTR id, DWORD) noexcept {
  ModalScene* s = gScene;
  if (!s || s->done) return;
  // Give the window time to paint and reach the screen.
  if (++s->ticks < 8) return;
  HWND target = s->find();
  if (!target && s->ticks < 60) return;
  s->done = true;
  ::KillTimer(nullptr, id);
  try {
    if (target && s->skinned != Skinned::kAny &&
        (::SendMessageW(target, WM_NUVSKIN_QUERY, 0, 0) == 1) != (s->skinned == Skinned::kYes)) {
      s->tour->ok = false;
      std::fprintf(stderr, "demo: %ls is %s\n", s->name.c_str(),
                   s->skinned == Skinned::kYes ? "not skinned" : "skinned");
    }
    if (target) {
      Save(*s->tour, ScreenAround({s->tour->gallery->Handle(), target}, 16), s->name);
    } else {
      s->tour->ok = false;
      std::fprintf(stderr, "demo: %ls did not appear\n", s->name.c_str());
    }
    s->close(target);
  } catch (...) {
    s->tour->ok = false;
  }
}

void RunModal(Tour& tour, const std::wstring& name, const std::function<void()>& open,
              const std::function<HWND()>& find, const std::function<void(HWND)>& close,
              Skinned skinned = Skinned::kAny) {
  ModalScene scene{&tour, name, find, close, skinned, 0, false};
  gScene = &scene;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, ModalTick);
  open();  // returns when `close` has ended the loop
  if (!scene.done) ::KillTimer(nullptr, timer);
  gScene = nullptr;
  Pump(200);
}

HWND OpenMenuWindow() { return ::FindWindowW(L"#32768", nullptr); }

HWND ActiveDialog(TGalleryForm* gallery) {
  HWND active = ::GetActiveWindow();
  return active && active != gallery->Handle() ? active : nullptr;
}

// Hot and pressed come from the mouse and only one button can have either at
// a time: the picture of the form is taken first, then each of those two
// buttons is brought into its state by the mouse and its picture pasted in.
void ButtonStatesScene(Tour& tour) {
  auto* form = Create<TButtonStatesForm>(Application);
  form->Show();
  ::SetForegroundWindow(form->Handle());
  POINT parked{0, 0};
  ::SetCursorPos(parked.x, parked.y);
  Pump(800);
  if (::SendMessageW(form->Handle(), WM_NUVSKIN_QUERY, 0, 0) != 1) {
    tour.ok = false;
    std::fprintf(stderr, "demo: the button states form is not skinned\n");
  }
  const RECT around = RectAround({form->Handle()}, 16);
  image::Image shot = image::CaptureScreen(around);
  const POINT origin{around.left, around.top};
  MouseTo(form->HotButton());
  PasteScreenOf(shot, origin, form->HotButton()->Handle());
  MouseTo(form->PressedButton());
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Pump(400);
  PasteScreenOf(shot, origin, form->PressedButton()->Handle());
  SendMouse(MOUSEEVENTF_LEFTUP);
  ::SetCursorPos(parked.x, parked.y);
  Pump(200);
  Save(tour, shot, L"buttons-states");
  form->Free();
}

void EndTheMenu(HWND) { ::EndMenu(); }
void CloseTheWindow(HWND wnd) {
  if (wnd) ::PostMessageW(wnd, WM_CLOSE, 0, 0);
}

}  // namespace

int RunScreenshotTour(TGalleryForm* gallery, const std::filesystem::path& dir) {
  Tour tour;
  tour.dir = dir;
  tour.gallery = gallery;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  Application->OnException = [&](TObject*, const std::exception& e) {
    std::fprintf(stderr, "demo: %s\n", e.what());
    tour.ok = false;
  };

  gallery->Show();
  Pump(800);
  Save(tour, ScreenAround({gallery->Handle()}, 16), L"gallery");

  const POINT popupAt = gallery->ClientToScreen(POINT{900, 200});
  RunModal(
      tour, L"gallery-popup-menu", [&] { gallery->ContextMenu()->Popup(popupAt.x, popupAt.y); }, OpenMenuWindow,
      EndTheMenu);
  RunModal(
      tour, L"gallery-main-menu", [&] { gallery->OpenMainMenu(); }, OpenMenuWindow, EndTheMenu);
  auto dialog = [&] { return ActiveDialog(gallery); };
  RunModal(tour, L"message-box", [&] { gallery->ShowMessageBox(); }, dialog, CloseTheWindow, Skinned::kYes);
  RunModal(tour, L"message-dialog", [&] { gallery->ShowMessageDialog(); }, dialog, CloseTheWindow);
  RunModal(tour, L"open-dialog", [&] { gallery->OpenFile(); }, dialog, CloseTheWindow, Skinned::kYes);
  RunModal(tour, L"folder-dialog", [&] { gallery->ChooseFolder(); }, dialog, CloseTheWindow, Skinned::kYes);

  gallery->UseThreeSectSkin();
  RunModal(tour, L"message-box-threesect", [&] { gallery->ShowMessageBox(); }, dialog, CloseTheWindow,
           Skinned::kYes);
  gallery->UseBuiltInSkin();
  gallery->SetSkinning(false);
  RunModal(tour, L"message-box-off", [&] { gallery->ShowMessageBox(); }, dialog, CloseTheWindow, Skinned::kNo);
  gallery->SetSkinning(true);

  TForm* plain = gallery->OpenPlainForm();
  Pump(600);
  Save(tour, ScreenAround({plain->Handle()}, 16), L"plain-form");
  plain->Free();

  ButtonStatesScene(tour);

  TMdiFrameForm* frame = OpenMdiFrame();
  Pump(800);
  Save(tour, ScreenAround({frame->Handle()}, 16), L"mdi");
  if (TCustomForm* child = frame->ActiveMDIChild()) {
    child->SetWindowState(wsMaximized);
    Pump(600);
    Save(tour, ScreenAround({frame->Handle()}, 16), L"mdi-maximized");
  }
  while (frame->MDIChildCount() > 0) frame->MDIChildren(0)->Free();
  frame->Free();

  auto* own = Create<TOwnFrameForm>(Application);
  own->Show();
  Pump(600);
  Save(tour, ScreenAround({own->Handle()}, 16), L"own-frame");
  own->Free();

  for (const auto& path : tour.written) std::printf("%s\n", path.string().c_str());
  std::fflush(stdout);
  return tour.ok ? 0 : 1;
}

}  // namespace nuvskin::demo
