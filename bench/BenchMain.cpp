// The benchmark program: each figure times the library's way and a baseline
// in the same run and prints one line
//   bench: NAME median_us=X baseline_us=Y speedup=Y/X
// with the medians of many runs. Results of both ways are compared where
// they must agree; a difference fails the program.
//
//   bench.exe           the full runs
//   bench.exe --quick   a few runs of each, to check that it still works
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "draw/NUVSkinUtils.h"
#include "engine/NUVSkinEngine.h"
#include "frames/SkinWindow.h"
#include "GalleryForm.h"
#include "frames/MenuBar.h"
#include "frames/SkinWindowVCL.h"
#include "framework/Forms.h"
#include "skin/BuiltInSkin.h"
#include "skin/format/Bmp.h"
#include "skin/format/SkinContainer.h"
#include "skin/format/Sk2File.h"

using namespace nuvskin;

namespace {

struct Options {
  bool quick = false;
};

double NowMicroseconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1e6 / frequency;
}

// Median of `runs` timings of `work`; `prepare` runs untimed before each.
double Median(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    if (prepare) prepare();
    const double start = NowMicroseconds();
    work();
    times.push_back(NowMicroseconds() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

struct Figure {
  const char* name;
  double median, baseline;
  double Speedup() const { return median > 0 ? baseline / median : 0; }
};

void Print(const Figure& f) {
  std::printf("bench: %s median_us=%.1f baseline_us=%.1f speedup=%.2f\n", f.name, f.median, f.baseline,
              f.Speedup());
  std::fflush(stdout);
}

bool failed = false;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::printf("bench: FAILED %s\n", what);
  std::fflush(stdout);
  failed = true;
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.PixelAt(x, y) != b.PixelAt(x, y)) return false;
  return true;
}

OwnedObject<TBitmap> NewBitmap(int width, int height) {
  return OwnedObject<TBitmap>(Create<TBitmap>(width, height, pf24bit));
}

// --- region1920 -------------------------------------------------------------

// The built-in title bar composed at the window's width: left end, caption
// piece, the piece after it, filler, right end.
OwnedObject<TBitmap> TitleImage(TnuvSkinReader& reader, int width) {
  TBitmap* left = reader.GetBitmap(0);
  TBitmap* caption = reader.GetBitmap(1);
  TBitmap* after = reader.GetBitmap(2);
  TBitmap* filler = reader.GetBitmap(3);
  TBitmap* right = reader.GetBitmap(4);
  const int h = left->Height();
  OwnedObject<TBitmap> title = NewBitmap(width, h);
  // Copied as they are: the transparent pixels must stay for the region.
  auto put = [&](TBitmap* piece, int x1, int x2) {
    title->Canvas()->CopyRect(RECT{x1, 0, x2, h}, piece->Canvas(), RECT{0, 0, piece->Width(), piece->Height()});
  };
  const int captionEnd = left->Width() + 300;
  put(left, 0, left->Width());
  put(caption, left->Width(), captionEnd);
  put(after, captionEnd, captionEnd + after->Width());
  put(filler, captionEnd + after->Width(), width - right->Width());
  put(right, width - right->Width(), width);
  return title;
}

struct RegionInput {
  TBitmap* title;
  TBitmap* bottom;
  bool titleNeed, bottomNeed;
  int titleMinY, titleMaxY, bottomMinY, bottomMaxY;
  TColor transColor;
  int height, width;
};

// The region built the straightforward way: one canvas read per pixel and
// one region per run, combined one at a time.
win::UniqueRegion RegionPixelByPixel(const RegionInput& in) {
  win::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  auto add = [&](int l, int t, int r, int b) {
    win::UniqueRegion part(::CreateRectRgn(l, t, r, b));
    ::CombineRgn(region.Get(), region.Get(), part.Get(), RGN_OR);
  };
  auto scan = [&](TBitmap* image, int y0, int minY, int maxY) {
    const int ih = image->Height(), iw = image->Width();
    const int first = minY == -1 ? 0 : minY;
    const int stop = minY < maxY ? maxY + 1 : ih;
    if (minY > 0) add(0, y0, in.width, y0 + minY);
    TCanvas* canvas = image->Canvas();
    for (int y = first; y < stop; ++y) {
      int x = 0;
      while (x < iw) {
        while (x < iw && canvas->Pixels(x, y) == in.transColor) ++x;
        const int start = x;
        while (x < iw && canvas->Pixels(x, y) != in.transColor) ++x;
        if (x > start) add(start, y0 + y, x, y0 + y + 1);
      }
    }
    if (stop < ih) add(0, y0 + stop, in.width, y0 + ih);
  };
  const int th = in.titleNeed ? in.title->Height() : 0, bh = in.bottomNeed ? in.bottom->Height() : 0;
  if (in.titleNeed) scan(in.title, 0, in.titleMinY, in.titleMaxY);
  add(0, th, in.width, in.height - bh);
  if (in.bottomNeed) scan(in.bottom, in.height - bh, in.bottomMinY, in.bottomMaxY);
  return region;
}

win::UniqueRegion RegionFromRects(const RegionInput& in) {
  return CreateRegionFromRects(SkinRegionRects({in.title, in.titleNeed, in.titleMinY, in.titleMaxY},
                                               {in.bottom, in.bottomNeed, in.bottomMinY, in.bottomMaxY},
                                               in.transColor, in.height, in.width));
}

void SetRegion(HWND wnd, win::UniqueRegion region) {
  if (::SetWindowRgn(wnd, region.Get(), TRUE)) region.Release();
}

win::UniqueRegion RegionOf(HWND wnd) {
  win::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  ::GetWindowRgn(wnd, region.Get());
  return region;
}

// Two figures: building the region (what the two methods differ in), and
// the whole of ApplySkinRegion, where the platform's SetWindowRgn, the same
// for both, takes its share.
std::vector<Figure> Region1920(const Options& o, TnuvSkinReader& reader) {
  constexpr int kWidth = 1920, kHeight = 600;
  OwnedObject<TBitmap> title = TitleImage(reader, kWidth);
  OwnedObject<TBitmap> bottom = NewBitmap(kWidth, reader.GetBitmap(7)->Height());
  DrawThreeSliceH(reader.GetBitmap(7), bottom->Canvas(), RECT{0, 0, kWidth, bottom->Height()}, false, 0);
  const RegionInput in{title.get(),          bottom.get(),         reader.GetFlag(2) != 0, reader.GetFlag(3) != 0,
                       reader.GetInteger(5), reader.GetInteger(6), reader.GetInteger(7),   reader.GetInteger(8),
                       reader.GetColor(0),   kHeight,              kWidth};
  win::UniqueWindow wnd(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                          nullptr, nullptr));
  Check(static_cast<bool>(wnd), "region1920: no window");
  if (!wnd) return {};
  auto apply = [&] {
    ApplySkinRegion(wnd.Get(), in.title, in.bottom, in.titleNeed, in.bottomNeed, in.titleMinY, in.titleMaxY,
                    in.bottomMinY, in.bottomMaxY, in.transColor, in.height, in.width);
  };
  auto applyPixelByPixel = [&] { SetRegion(wnd.Get(), RegionPixelByPixel(in)); };
  apply();
  win::UniqueRegion mine = RegionOf(wnd.Get());
  applyPixelByPixel();
  win::UniqueRegion theirs = RegionOf(wnd.Get());
  Check(::EqualRgn(mine.Get(), theirs.Get()) != FALSE, "region1920: the two regions differ");
  win::UniqueRegion whole(::CreateRectRgn(0, 0, kWidth, kHeight));
  Check(::EqualRgn(mine.Get(), whole.Get()) == FALSE, "region1920: nothing was cut out");

  const int runs = o.quick ? 3 : 201, baselineRuns = o.quick ? 3 : 51;
  std::vector<Figure> figures;
  figures.push_back({"region1920", Median(runs, nullptr, [&] { RegionFromRects(in); }),
                     Median(baselineRuns, nullptr, [&] { RegionPixelByPixel(in); })});
  figures.push_back({"region1920set", Median(baselineRuns, nullptr, apply),
                     Median(baselineRuns, nullptr, applyPixelByPixel)});
  return figures;
}

// --- replacecolor and rotate90ccw --------------------------------------------

constexpr TColor kFrom = 0xFF00FF, kTo = 0x3366CC;

// 512 x 512 with a quarter of the pixels in the colour to replace.
OwnedObject<TBitmap> PatternBitmap() {
  OwnedObject<TBitmap> b = NewBitmap(512, 512);
  for (int y = 0; y < 512; ++y) {
    std::uint8_t* row = b->ScanLine(y);
    for (int x = 0; x < 512; ++x, row += 3) {
      const TColor c = (x + y) % 4 == 0 ? kFrom : MakeRGB(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7);
      row[0] = static_cast<std::uint8_t>(c >> 16);
      row[1] = static_cast<std::uint8_t>(c >> 8);
      row[2] = static_cast<std::uint8_t>(c);
    }
  }
  return b;
}

void ReplaceColorPixelByPixel(TBitmap* b, TColor from, TColor to) {
  TCanvas* c = b->Canvas();
  for (int x = 0; x < b->Width(); ++x)
    for (int y = 0; y < b->Height(); ++y)
      if (c->Pixels(x, y) == from) c->SetPixel(x, y, to);
}

void RotateCCWPixelByPixel(TBitmap* b) {
  const int w = b->Width(), h = b->Height();
  OwnedObject<TBitmap> turned = NewBitmap(h, w);
  TCanvas* from = b->Canvas();
  TCanvas* to = turned->Canvas();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) to->SetPixel(y, w - 1 - x, from->Pixels(x, y));
  b->SetSize(h, w);
  b->Canvas()->Draw(0, 0, turned.get());
}

Figure ReplaceColorFigure(const Options& o) {
  OwnedObject<TBitmap> pattern = PatternBitmap();
  OwnedObject<TBitmap> a = NewBitmap(1, 1), b = NewBitmap(1, 1);
  a->Assign(pattern.get());
  b->Assign(pattern.get());
  ReplaceColor(a.get(), kFrom, kTo);
  ReplaceColorPixelByPixel(b.get(), kFrom, kTo);
  Check(SamePixels(*a, *b), "replacecolor: the results differ");
  const int runs = o.quick ? 3 : 51, baselineRuns = o.quick ? 2 : 7;
  auto reset = [&] { a->Assign(pattern.get()); };
  return {"replacecolor", Median(runs, reset, [&] { ReplaceColor(a.get(), kFrom, kTo); }),
          Median(baselineRuns, reset, [&] { ReplaceColorPixelByPixel(a.get(), kFrom, kTo); })};
}

Figure Rotate90CCWFigure(const Options& o) {
  OwnedObject<TBitmap> pattern = PatternBitmap();
  OwnedObject<TBitmap> a = NewBitmap(1, 1), b = NewBitmap(1, 1);
  a->Assign(pattern.get());
  b->Assign(pattern.get());
  RotateBitmap90CCW(a.get());
  RotateCCWPixelByPixel(b.get());
  Check(SamePixels(*a, *b), "rotate90ccw: the results differ");
  const int runs = o.quick ? 3 : 51, baselineRuns = o.quick ? 2 : 7;
  auto reset = [&] { a->Assign(pattern.get()); };
  return {"rotate90ccw", Median(runs, reset, [&] { RotateBitmap90CCW(a.get()); }),
          Median(baselineRuns, reset, [&] { RotateCCWPixelByPixel(a.get()); })};
}

// --- nineGrid ----------------------------------------------------------------

Figure NineGridFigure(const Options& o, TnuvSkinReader& reader) {
  OwnedObject<TBitmap> frame = NewBitmap(1, 1);
  CutFrame(reader.GetBitmap(15), frame.get(), 3, 1);
  Check(frame->Width() == 84 && frame->Height() == 25, "nineGrid: the button frame is not 84 x 25");
  OwnedObject<TBitmap> target = NewBitmap(200, 60);
  const bool transparent = reader.GetFlag(5) != 0;
  const TColor trans = reader.GetColor(0);
  const RECT r{0, 0, 200, 60};
  const int runs = o.quick ? 3 : 201;
  return {"nineGrid", Median(runs, nullptr, [&] { DrawNineGrid(frame.get(), target->Canvas(), r, transparent, trans); }),
          Median(runs, nullptr, [&] { target->Canvas()->StretchDraw(r, frame.get()); })};
}

// --- skinload ----------------------------------------------------------------

// The format layer alone: inflate the member, read its records, decode
// every BMP record.
std::size_t DecodeSkinBare(format::ByteSpan container) {
  format::Bytes member;
  if (format::ExtractSkinEntryFromMemory(container, format::kSkinEntryName, "", member).result != format::kExtractOk)
    return 0;
  format::Sk2File file;
  if (!format::ParseSk2(member, file)) return 0;
  std::size_t pixels = 0;
  for (const format::Sk2Record& record : file.records) {
    if (record.kind != format::Sk2Kind::kBitmap) continue;
    format::BmpImage image;
    if (format::ParseBmp(record.data, image)) pixels += format::DecodeBmpPixels(image).size();
  }
  return pixels;
}

Figure SkinLoadFigure(const Options& o) {
  const format::ByteSpan data(BuiltInSkinData().data(), BuiltInSkinData().size());
  OwnedObject<TnuvSkinReader> reader(Create<TnuvSkinReader>());
  OwnedObject<TnuvSkinScrollBtnRes> scroll(Create<TnuvSkinScrollBtnRes>());
  OwnedObject<TnuvSkinProgressBarRes> progress(Create<TnuvSkinProgressBarRes>());
  auto load = [&] {
    reader->LoadSkinData(data, "");
    scroll->SetReader(reader.get());
    progress->SetReader(reader.get());
  };
  load();
  Check(reader->Loaded() && scroll->VertButton(1) && progress->Bar(1), "skinload: the skin did not load");
  Check(DecodeSkinBare(data) > 0, "skinload: the format layer read nothing");
  const int runs = o.quick ? 3 : 51;
  std::size_t sink = 0;
  Figure f{"skinload", Median(runs, nullptr, load), Median(runs, nullptr, [&] { sink += DecodeSkinBare(data); })};
  Check(sink > 0, "skinload: the format layer read nothing");
  return f;
}


// --- paintframe, captionhover and dialogopen ---------------------------------

void Pump(DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (::GetTickCount64() < end);
}

// The engine as an application has it: on a form, built-in skin, active.
struct EngineOnForm {
  EngineOnForm() {
    owner = Create<TForm>(nullptr);
    engine = Create<TnuvSkinEngine>(owner);
    engine->LoadBuiltInSkin();
    engine->SetActive(true);
  }
  ~EngineOnForm() { TObject::Free(owner); }
  EngineOnForm(const EngineOnForm&) = delete;
  EngineOnForm& operator=(const EngineOnForm&) = delete;
  TForm* owner = nullptr;
  TnuvSkinEngine* engine = nullptr;
};

LRESULT CALLBACK PlainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

struct DialogRun {
  HWND owner = nullptr;
  HWND box = nullptr;
  double painted = 0;
  bool skinned = false;
  bool done = false;
};
DialogRun* gDialogRun = nullptr;
const wchar_t kBoxTitle[] = L"nuvskin bench box";
constexpr UINT kBoxPainted = WM_APP + 0x51;

bool IsTheBox(HWND wnd) {
  wchar_t name[16] = {};
  return gDialogRun && ::GetWindow(wnd, GW_OWNER) == gDialogRun->owner && ::GetClassNameW(wnd, name, 16) &&
         std::wcscmp(name, L"#32770") == 0;
}

// Wine's message box sends no WM_ENTERIDLE. The first WM_PAINT of the box
// posts a marker when it is taken from the queue; the marker comes back
// once that paint has been processed, before any child paints.
LRESULT CALLBACK BoxMessageHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HC_ACTION && wParam == PM_REMOVE && gDialogRun && !gDialogRun->done) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->message == WM_PAINT && !gDialogRun->box && IsTheBox(msg->hwnd)) {
      gDialogRun->box = msg->hwnd;
      ::PostMessageW(msg->hwnd, kBoxPainted, 0, 0);
    } else if (msg->message == kBoxPainted && msg->hwnd == gDialogRun->box) {
      gDialogRun->painted = NowMicroseconds();
      gDialogRun->done = true;
      gDialogRun->skinned = ::SendMessageW(msg->hwnd, WM_NUVSKIN_QUERY, 0, 0) == 1;
      msg->message = WM_NULL;
      ::PostMessageW(msg->hwnd, WM_COMMAND, IDOK, 0);
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Closes a box that never reported its paint, so that a failure cannot hang.
void CALLBACK BoxTimeout(HWND, UINT, UINT_PTR id, DWORD) noexcept {
  ::KillTimer(nullptr, id);
  if (HWND box = ::FindWindowW(L"#32770", kBoxTitle)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

bool RegisterBenchClass(const wchar_t* name, WNDPROC proc) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

win::UniqueWindow ShownWindow(const wchar_t* className, int x, int y, int width, int height) {
  win::UniqueWindow wnd(::CreateWindowExW(0, className, L"nuvskin bench window", WS_OVERLAPPEDWINDOW, x, y, width,
                                          height, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
  if (wnd) {
    ::ShowWindow(wnd.Get(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(wnd.Get());
  }
  return wnd;
}

SIZE OuterSize(HWND wnd) {
  RECT r{};
  ::GetWindowRect(wnd, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// PaintFrame of a skinned 1024 x 768 window against the platform's own
// non-client paint of an unskinned one; then the caption hover: 100 mouse
// moves over the caption of each.
std::vector<Figure> FrameFigures(const Options& o, TnuvSkinEngine* engine) {
  constexpr int kWidth = 1024, kHeight = 768;
  std::vector<Figure> figures;
  if (!RegisterBenchClass(L"NuvskinBenchPlain", PlainWndProc)) {
    Check(false, "paintframe: no window class");
    return figures;
  }
  win::UniqueWindow plain = ShownWindow(L"NuvskinBenchPlain", 0, 0, kWidth, kHeight);
  win::UniqueWindow skinned = ShownWindow(L"NuvskinBenchPlain", 40, 40, kWidth, kHeight);
  Check(plain && skinned, "paintframe: no window");
  if (!plain || !skinned) return figures;
  engine->AddFrameSkin(skinned.Get(), false);
  TnuvSkinWindow* frame = engine->FindFrameSkin(skinned.Get());
  Check(frame != nullptr, "paintframe: the window got no frame skin");
  if (!frame) return figures;
  // The binding grows the window around its client area: back to the size.
  ::SetWindowPos(skinned.Get(), nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump(100);
  const SIZE size = OuterSize(skinned.Get());
  Check(size.cx == kWidth && size.cy == kHeight, "paintframe: the skinned window is not 1024 x 768");

  frame->PaintFrame();
  {
    // The middle of the title on the window is the painter's title buffer.
    const int x = kWidth / 2, y = frame->TitleHeight() / 2;
    HDC dc = ::GetWindowDC(skinned.Get());
    const COLORREF onWindow = ::GetPixel(dc, x, y);
    ::ReleaseDC(skinned.Get(), dc);
    Check(frame->FTitleBuffer && frame->FTitleBuffer->Width() == kWidth &&
              onWindow == static_cast<COLORREF>(ColorToRGB(frame->FTitleBuffer->PixelAt(x, y))),
          "paintframe: the title on the window is not the painted one");
  }

  const int runs = o.quick ? 3 : 201;
  figures.push_back({"paintframe", Median(runs, nullptr, [&] { frame->PaintFrame(); }),
                     Median(runs, nullptr, [&] { ::DefWindowProcW(plain.Get(), WM_NCPAINT, 1, 0); })});

  auto hover = [](HWND wnd, int titleHeight) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return [=] {
      for (int i = 0; i < 100; ++i)
        ::SendMessageW(wnd, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(r.left + 200 + i, r.top + titleHeight / 2));
    };
  };
  const std::function<void()> hoverSkinned = hover(skinned.Get(), frame->TitleHeight());
  const std::function<void()> hoverPlain = hover(plain.Get(), ::GetSystemMetrics(SM_CYCAPTION));
  const int hoverRuns = o.quick ? 3 : 31;
  figures.push_back({"captionhover", Median(hoverRuns, nullptr, hoverSkinned), Median(hoverRuns, nullptr, hoverPlain)});
  engine->RemoveFrameSkin(skinned.Get());
  return figures;
}

// A message box from the call to the end of its first paint, the engine
// active against the engine switched off.
Figure DialogOpenFigure(const Options& o, TnuvSkinEngine* engine) {
  Figure f{"dialogopen", 0, 0};
  Check(RegisterBenchClass(L"NuvskinBenchPlain", PlainWndProc), "dialogopen: no window class");
  win::UniqueWindow owner = ShownWindow(L"NuvskinBenchPlain", 100, 100, 400, 300);
  Check(static_cast<bool>(owner), "dialogopen: no owner window");
  if (!owner) return f;
  win::UniqueHook hook(::SetWindowsHookExW(WH_GETMESSAGE, BoxMessageHook, nullptr, ::GetCurrentThreadId()));
  Check(static_cast<bool>(hook), "dialogopen: no message hook");
  if (!hook) return f;
  ::SetForegroundWindow(owner.Get());
  Pump(100);
  bool allSkinned = true, noneSkinned = true, allPainted = true;
  auto open = [&](bool active) {
    engine->SetActive(active);
    DialogRun run;
    run.owner = owner.Get();
    gDialogRun = &run;
    const UINT_PTR timeout = ::SetTimer(nullptr, 0, 5000, BoxTimeout);
    const double start = NowMicroseconds();
    ::MessageBoxW(owner.Get(), L"A message box to time.", kBoxTitle, MB_OK | MB_ICONINFORMATION);
    ::KillTimer(nullptr, timeout);
    gDialogRun = nullptr;
    Pump(20);  // the box's destruction, outside the timing
    allPainted = allPainted && run.done;
    if (active)
      allSkinned = allSkinned && run.skinned;
    else
      noneSkinned = noneSkinned && !run.skinned;
    return run.done ? run.painted - start : 0;
  };
  open(true);  // the first box of a process loads what every later one shares
  open(false);
  std::vector<double> mine, theirs;
  const int runs = o.quick ? 2 : 21;
  for (int i = 0; i < runs; ++i) {
    mine.push_back(open(true));
    theirs.push_back(open(false));
  }
  engine->SetActive(true);
  Check(allPainted, "dialogopen: a box never reported its first paint");
  Check(allSkinned, "dialogopen: a box of the active engine was not skinned");
  Check(noneSkinned, "dialogopen: a box was skinned with the engine off");
  std::sort(mine.begin(), mine.end());
  std::sort(theirs.begin(), theirs.end());
  f.median = mine[mine.size() / 2];
  f.baseline = theirs[theirs.size() / 2];
  return f;
}

// --- formopen and menuopen -----------------------------------------------------

// Handles messages until no window of the thread waits to be painted and no
// message waits to be handled.
void PumpUntilPainted() {
  for (int i = 0; i < 1000; ++i) {
    Application->ProcessMessages();
    if ((HIWORD(::GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) &
         (QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) == 0)
      return;
  }
}

// The gallery from its creation to its first complete paint, its engine on
// against its engine off.
Figure FormOpenFigure(const Options& o) {
  auto open = [](bool skinned) {
    const double start = NowMicroseconds();
    auto* gallery = Create<demo::TGalleryForm>(nullptr, skinned);
    gallery->Show();
    PumpUntilPainted();
    const double time = NowMicroseconds() - start;
    Check((::SendMessageW(gallery->Handle(), WM_NUVSKIN_QUERY, 0, 0) == 1) == skinned,
          "formopen: the gallery's frame is not as asked");
    TObject::Free(gallery);
    Pump(20);
    return time;
  };
  open(true);  // the first of a process registers what every later one shares
  open(false);
  std::vector<double> mine, theirs;
  const int runs = o.quick ? 2 : 15;
  for (int i = 0; i < runs; ++i) {
    mine.push_back(open(true));
    theirs.push_back(open(false));
  }
  std::sort(mine.begin(), mine.end());
  std::sort(theirs.begin(), theirs.end());
  return {"formopen", mine[mine.size() / 2], theirs[theirs.size() / 2]};
}

// A form class the engine's hook does not skin by its name.
class TBenchMenuForm : public TForm {
  NUV_CLASS(TBenchMenuForm, TForm)
  using TForm::TForm;
};

struct MenuRun {
  bool painted = false;
  double paintedAt = 0;
};
MenuRun* gMenuRun = nullptr;
constexpr UINT kMenuPainted = WM_APP + 0x52;

bool IsMenuWindow(HWND wnd) {
  wchar_t name[16] = {};
  return ::GetClassNameW(wnd, name, 16) && std::wcscmp(name, L"#32768") == 0;
}

void MenuPainted() {
  gMenuRun->painted = true;
  gMenuRun->paintedAt = NowMicroseconds();
  ::EndMenu();
}

// The drop-down's first paint closes the menu: a paint sent to it is done
// when the call returns; one taken from the queue posts a marker that comes
// back once it is done.
LRESULT CALLBACK MenuPaintSentHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HC_ACTION && gMenuRun && !gMenuRun->painted) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (sent->message == WM_PAINT && IsMenuWindow(sent->hwnd)) MenuPainted();
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MenuPaintQueuedHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HC_ACTION && wParam == PM_REMOVE && gMenuRun && !gMenuRun->painted) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->message == WM_PAINT && IsMenuWindow(msg->hwnd)) {
      ::PostMessageW(msg->hwnd, kMenuPainted, 0, 0);
    } else if (msg->message == kMenuPainted) {
      msg->message = WM_NULL;
      MenuPainted();
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A drop-down of 20 items opened from the skinned menu bar and closed,
// against the same drop-down of the platform's own menu bar.
Figure MenuOpenFigure(const Options& o, TnuvSkinEngine* engine) {
  auto makeForm = [](int left) {
    auto* form = Create<TBenchMenuForm>(nullptr);
    form->SetBounds(left, 60, 420, 300);
    auto* menu = Create<TMainMenu>(form);
    auto* file = Create<TMenuItem>(form);
    file->SetCaption(L"&File");
    menu->Items()->Add(file);
    for (int i = 0; i < 20; ++i) {
      auto* item = Create<TMenuItem>(form);
      item->SetCaption(L"Menu item number " + std::to_wstring(i + 1));
      file->Add(item);
    }
    form->SetMenu(menu);
    form->Show();
    return form;
  };
  TForm* plain = makeForm(20);
  TForm* skinned = makeForm(460);
  engine->SkinForm(skinned);
  Pump(100);
  auto* frame = dynamic_cast<TnuvSkinWindowVCL*>(engine->FindFrameSkin(skinned->Handle()));
  TnuvSkinMenuBar* bar = frame ? frame->MenuBar() : nullptr;
  Check(bar && bar->ButtonCount() == 1, "menuopen: the form has no skinned menu bar");
  Check(!engine->FindFrameSkin(plain->Handle()) && ::GetMenu(plain->Handle()), "menuopen: the plain form is skinned");
  win::UniqueHook queued(::SetWindowsHookExW(WH_GETMESSAGE, MenuPaintQueuedHook, nullptr, ::GetCurrentThreadId()));
  win::UniqueHook sent(::SetWindowsHookExW(WH_CALLWNDPROCRET, MenuPaintSentHook, nullptr, ::GetCurrentThreadId()));
  Check(queued && sent, "menuopen: no message hooks");
  Figure f{"menuopen", 0, 0};
  if (!bar || bar->ButtonCount() != 1 || !queued || !sent) {
    TObject::Free(plain);
    TObject::Free(skinned);
    return f;
  }
  bool allPainted = true;
  auto open = [&](bool skin) {
    MenuRun run;
    gMenuRun = &run;
    ::SetForegroundWindow((skin ? skinned : plain)->Handle());
    Pump(10);
    const double start = NowMicroseconds();
    if (skin)
      bar->TrackMenu(bar->Buttons(0));
    else
      ::SendMessageW(plain->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    const double time = NowMicroseconds() - start;
    gMenuRun = nullptr;
    allPainted = allPainted && run.painted;
    Pump(10);
    return time;
  };
  open(true);
  open(false);
  std::vector<double> mine, theirs;
  const int runs = o.quick ? 2 : 21;
  for (int i = 0; i < runs; ++i) {
    mine.push_back(open(true));
    theirs.push_back(open(false));
  }
  Check(allPainted, "menuopen: a drop-down never painted");
  std::sort(mine.begin(), mine.end());
  std::sort(theirs.begin(), theirs.end());
  f.median = mine[mine.size() / 2];
  f.baseline = theirs[theirs.size() / 2];
  TObject::Free(plain);
  TObject::Free(skinned);
  return f;
}

// --- buttonpaint -----------------------------------------------------------------

// One repaint of a skinned 120 x 30 push button of a raw window (the face
// composed off screen, one copy to the window) against the system's own
// paint of the same button unskinned.
Figure ButtonPaintFigure(const Options& o, TnuvSkinEngine* engine) {
  Figure f{"buttonpaint", 0, 0};
  Check(RegisterBenchClass(L"NuvskinBenchPlain", PlainWndProc), "buttonpaint: no window class");
  // Low on the desktop, away from the windows the tests running beside a
  // quick run click on.
  win::UniqueWindow plain = ShownWindow(L"NuvskinBenchPlain", 0, 800, 300, 200);
  win::UniqueWindow skinned = ShownWindow(L"NuvskinBenchPlain", 320, 800, 300, 200);
  Check(plain && skinned, "buttonpaint: no window");
  if (!plain || !skinned) return f;
  auto button = [](HWND parent) {
    return ::CreateWindowExW(0, L"BUTTON", L"Button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 120, 30, parent,
                             reinterpret_cast<HMENU>(IDOK), ::GetModuleHandleW(nullptr), nullptr);
  };
  const HWND plainButton = button(plain.Get()), skinnedButton = button(skinned.Get());
  engine->AddFrameSkin(skinned.Get(), false);
  Pump(100);
  Check(::SendMessageW(skinnedButton, WM_NUVSKIN_QUERY, 0, 0) == 1 &&
            ::SendMessageW(plainButton, WM_NUVSKIN_QUERY, 0, 0) == 0,
        "buttonpaint: the buttons are not skinned and unskinned");
  auto repaint = [](HWND wnd) {
    return [wnd] {
      ::InvalidateRect(wnd, nullptr, TRUE);
      ::UpdateWindow(wnd);
    };
  };
  const int runs = o.quick ? 3 : 1001;
  f.median = Median(runs, nullptr, repaint(skinnedButton));
  f.baseline = Median(runs, nullptr, repaint(plainButton));
  engine->RemoveFrameSkin(skinned.Get());
  return f;
}
}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) {
      o.quick = true;
    } else {
      std::fprintf(stderr, "usage: bench [--quick]\n");
      return 64;
    }
  }
  try {
    OwnedObject<TnuvSkinReader> reader(Create<TnuvSkinReader>());
    reader->LoadSkinData(format::ByteSpan(BuiltInSkinData().data(), BuiltInSkinData().size()), "");
    const std::vector<Figure> region = Region1920(o, *reader);
    Figure buttonPaint{"buttonpaint", 0, 0};
    for (const Figure& f : region) Print(f);
    Print(ReplaceColorFigure(o));
    Print(Rotate90CCWFigure(o));
    Print(NineGridFigure(o, *reader));
    Print(SkinLoadFigure(o));
    {
      EngineOnForm skinning;
      for (const Figure& f : FrameFigures(o, skinning.engine)) Print(f);
      Print(DialogOpenFigure(o, skinning.engine));
      Print(MenuOpenFigure(o, skinning.engine));
      buttonPaint = ButtonPaintFigure(o, skinning.engine);
      Print(buttonPaint);
    }
    Print(FormOpenFigure(o));
    // Timing is only held to its bar in a full run; a quick run checks results.
    if (!o.quick && !region.empty())
      Check(region.front().Speedup() >= 10, "region1920: less than 10 times faster than pixel by pixel");
    if (!o.quick) Check(buttonPaint.Speedup() >= 0.5, "buttonpaint: more than twice the system's own paint");
  } catch (const std::exception& e) {
    std::printf("bench: FAILED %s\n", e.what());
    return 1;
  }
  return failed ? 1 : 0;
}
