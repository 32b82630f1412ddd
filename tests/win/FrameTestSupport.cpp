#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "skin/BuiltInSkin.h"
#include "skin/format/ContainerWriter.h"
#include "skin/format/Sk2File.h"
#include "skin/format/SkinContainer.h"

namespace nuvskin::test {

namespace {

INT_PTR CALLBACK TestDialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    ::SetWindowLongPtrW(wnd, DWLP_USER, lp);
    return TRUE;
  }
  auto* log = reinterpret_cast<DialogLog*>(::GetWindowLongPtrW(wnd, DWLP_USER));
  if (!log) return FALSE;
  if (msg == WM_COMMAND) {
    log->commands.push_back(wp);
    return TRUE;
  }
  if (msg == WM_DESTROY) ++log->destroys;
  return FALSE;
}

// Appends a value to a dialog template buffer, keeping the alignment rules.
template <class T>
void Put(std::vector<std::uint8_t>& buffer, T value) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
  buffer.insert(buffer.end(), bytes, bytes + sizeof value);
}
void PutText(std::vector<std::uint8_t>& buffer, const wchar_t* text) {
  for (const wchar_t* p = text; *p; ++p) Put<WORD>(buffer, static_cast<WORD>(*p));
  Put<WORD>(buffer, 0);
}
void AlignDword(std::vector<std::uint8_t>& buffer) {
  while (buffer.size() % 4) buffer.push_back(0);
}
void PutButton(std::vector<std::uint8_t>& buffer, WORD id, const wchar_t* text, short x, short y, DWORD style) {
  AlignDword(buffer);
  DLGITEMTEMPLATE item{};
  item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | style;
  item.x = x;
  item.y = y;
  item.cx = 50;
  item.cy = 14;
  item.id = id;
  Put(buffer, item);
  Put<WORD>(buffer, 0xFFFF);
  Put<WORD>(buffer, 0x0080);  // button
  PutText(buffer, text);
  Put<WORD>(buffer, 0);  // no creation data
}

UINT_PTR gTimer = 0;
std::function<void()>* gAction = nullptr;

void CALLBACK RunSoonTimer(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  std::function<void()>* action = gAction;
  gAction = nullptr;
  gTimer = 0;
  if (!action) return;
  try {
    (*action)();
  } catch (...) {
    ADD_FAILURE() << "the timed action raised";
  }
  delete action;
}

}  // namespace

HWND CreateTestDialog(DialogLog* log, int width, int height, const wchar_t* caption, DWORD extraStyle) {
  std::vector<std::uint8_t> buffer;
  DLGTEMPLATE dialog{};
  dialog.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE | extraStyle;
  dialog.cdit = 2;
  dialog.x = 20;
  dialog.y = 20;
  dialog.cx = static_cast<short>(width);
  dialog.cy = static_cast<short>(height);
  Put(buffer, dialog);
  Put<WORD>(buffer, 0);  // no menu
  Put<WORD>(buffer, 0);  // the dialog class
  PutText(buffer, caption);
  Put<WORD>(buffer, 8);
  PutText(buffer, L"Tahoma");
  PutButton(buffer, IDOK, L"OK", 10, static_cast<short>(height - 20), BS_DEFPUSHBUTTON);
  PutButton(buffer, IDCANCEL, L"Cancel", 70, static_cast<short>(height - 20), BS_PUSHBUTTON);
  HWND wnd = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                          reinterpret_cast<const DLGTEMPLATE*>(buffer.data()), nullptr,
                                          TestDialogProc, reinterpret_cast<LPARAM>(log));
  if (wnd) {
    ::SetForegroundWindow(wnd);
    AppPump(50);
  }
  return wnd;
}

void RunSoon(std::function<void()> action, UINT delayMs) {
  if (gTimer) ::KillTimer(nullptr, gTimer);
  delete gAction;
  gAction = new std::function<void()>(std::move(action));
  gTimer = ::SetTimer(nullptr, 0, delayMs, RunSoonTimer);
}

EngineFixture::EngineFixture() {
  owner = Create<TForm>(nullptr);
  engine = Create<TnuvSkinEngine>(owner);
  engine->LoadBuiltInSkin();
  engine->SetActive(true);
}

EngineFixture::~EngineFixture() {
  if (owner) TObject::Free(owner);
  AppPump(20);
}

TBitmap* SkinBitmapOf(TnuvSkinEngine* engine, int index) {
  TBitmap* bitmap = engine->Skin()->GetBitmap(index);
  EXPECT_NE(bitmap, nullptr) << "skin bitmap " << index;
  static TBitmap empty(1, 1);
  return bitmap ? bitmap : &empty;
}

TColor FramePixel(TBitmap* bitmap, int count, int k, int x, int y) {
  const int frameWidth = bitmap->Width() / count;
  return bitmap->PixelAt((k - 1) * frameWidth + x, y);
}

format::Bytes BuiltInSk2() {
  format::Bytes sk2;
  const auto data = BuiltInSkinData();
  format::ExtractSkinEntryFromMemory(format::ByteSpan(data.data(), data.size()), "SKINDATA.SK2", "", sk2);
  return sk2;
}

format::Bytes EditedBuiltInSkin(const std::function<void(std::vector<format::Sk2Element>&)>& edit) {
  const format::Bytes sk2 = BuiltInSk2();
  format::Sk2File file;
  EXPECT_TRUE(format::ParseSk2(format::ByteSpan(sk2.data(), sk2.size()), file));
  std::vector<format::Sk2Element> elements;
  for (const format::Sk2Record& r : file.records)
    elements.push_back(format::Sk2Element{r.name, static_cast<std::uint8_t>(r.kind),
                                          format::Bytes(r.data.begin(), r.data.end())});
  edit(elements);
  const format::Bytes out = format::WriteSk2(elements);
  return format::WriteSkinContainer(format::ByteSpan(out.data(), out.size()));
}

RECT WindowRectOf(HWND wnd) {
  RECT r{};
  ::GetWindowRect(wnd, &r);
  return r;
}

SIZE WindowSizeOf(HWND wnd) {
  const RECT r = WindowRectOf(wnd);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE ClientSizeOf(HWND wnd) {
  RECT r{};
  ::GetClientRect(wnd, &r);
  return SIZE{r.right, r.bottom};
}

bool IsSkinned(HWND wnd) { return ::SendMessageW(wnd, WM_NUVSKIN_QUERY, 0, 0) == 1; }

}  // namespace nuvskin::test
