// The nuvskin gallery.
//
//   demo.exe                     interactive
//   demo.exe --screenshots DIR   writes a PNG of each scene to DIR and exits
#include <filesystem>
#include <string>

#include "GalleryForm.h"
#include "Tour.h"

using namespace nuvskin;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::filesystem::path shots;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::wstring(argv[i]) == L"--screenshots") shots = argv[i + 1];
  ::LocalFree(argv);

  Application->Initialize();
  Application->SetTitle(L"nuvskin gallery");
  auto* gallery = Application->CreateForm<demo::TGalleryForm>();
  if (!shots.empty()) return demo::RunScreenshotTour(gallery, shots);
  Application->Run();
  return 0;
}
