// Status bars and cool bars on real windows: panels and their native parts,
// owner-drawn panels, the simple panel and the size grip; cool bands with
// their controls and rows; and a screenshot of a form with all the bars.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "WinTest.h"
#include "framework/CoolBar.h"
#include "framework/Forms.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

TForm* NewForm(int width = 460, int height = 280) {
  TForm* form = Create<TForm>(nullptr);
  form->SetBounds(140, 140, width, height);
  return form;
}

std::wstring PartText(TStatusBar* bar, int part) {
  wchar_t text[256] = {};
  ::SendMessageW(bar->Handle(), SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
  return text;
}

// Where the client area starts in a capture of the whole window.
POINT ClientOffset(HWND wnd) {
  RECT w;
  ::GetWindowRect(wnd, &w);
  POINT p{0, 0};
  ::ClientToScreen(wnd, &p);
  return POINT{p.x - w.left, p.y - w.top};
}

int DistinctColours(const Image& image, const RECT& r) {
  std::set<Pixel> colours;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) colours.insert(image.At(x, y));
  return static_cast<int>(colours.size());
}

TToolBar* NewToolBar(TWinControl* parent, std::initializer_list<const wchar_t*> captions) {
  auto* bar = Create<TToolBar>(parent);
  bar->SetAlign(alNone);
  bar->SetFlat(true);
  bar->SetEdgeBorders({});
  bar->SetShowCaptions(true);
  bar->SetParent(parent);
  for (const wchar_t* caption : captions) {
    auto* b = Create<TToolButton>(nullptr);
    b->SetCaption(caption);
    b->SetLeft(10000);
    b->SetParent(bar);
  }
  bar->SetAutoSize(true);
  return bar;
}

void CALLBACK CloseMenus(HWND, UINT, UINT_PTR, DWORD) noexcept { ::EndMenu(); }

// Captures the screen once a drop-down has been open for a while, then
// closes it (or closes it anyway after four seconds).
struct DropDownShot {
  static inline Image shot;
  static inline int ticks = 0;
  static inline RECT area{};
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) noexcept {
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    if (!popup || !::IsWindowVisible(popup)) {
      if (++ticks > 80) ::EndMenu();
      return;
    }
    if (++ticks < 8) return;
    shot = image::CaptureScreen(area);
    ::EndMenu();
  }
};

}  // namespace

TEST(StatusBar, PanelsBecomeNativePartsWithTheirTextAlignmentAndBevel) {
  TForm* form = NewForm();
  auto* bar = Create<TStatusBar>(form);
  bar->SetParent(form);
  TStatusPanel* first = bar->Panels()->Add();
  first->SetText(L"Ready");
  first->SetWidth(100);
  TStatusPanel* second = bar->Panels()->Add();
  second->SetText(L"Centred");
  second->SetWidth(150);
  second->SetAlignment(taCenter);
  second->SetBevel(pbRaised);
  TStatusPanel* third = bar->Panels()->Add();
  third->SetText(L"Right");
  third->SetAlignment(taRightJustify);
  third->SetBevel(pbNone);
  form->Show();
  PumpMessages(30);

  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());  // at the bottom
  int edges[8] = {};
  ASSERT_EQ(::SendMessageW(bar->Handle(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 3);
  EXPECT_EQ(edges[0], 100);
  EXPECT_EQ(edges[1], 250);
  EXPECT_EQ(edges[2], -1);  // the last panel reaches the end
  EXPECT_EQ(PartText(bar, 0), L"Ready");
  EXPECT_EQ(PartText(bar, 1), L"\tCentred");
  EXPECT_EQ(PartText(bar, 2), L"\t\tRight");
  EXPECT_EQ(HIWORD(::SendMessageW(bar->Handle(), SB_GETTEXTLENGTHW, 1, 0)), SBT_POPOUT);
  EXPECT_EQ(HIWORD(::SendMessageW(bar->Handle(), SB_GETTEXTLENGTHW, 2, 0)), SBT_NOBORDERS);

  first->SetText(L"Busy");
  EXPECT_EQ(PartText(bar, 0), L"Busy");
  second->Free();
  ASSERT_EQ(::SendMessageW(bar->Handle(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 2);
  EXPECT_EQ(edges[0], 100);
  EXPECT_EQ(PartText(bar, 1), L"\t\tRight");

  // One text over the whole bar.
  bar->SetSimpleText(L"Loading...");
  bar->SetSimplePanel(true);
  EXPECT_TRUE(::SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(PartText(bar, 0), L"Loading...");  // the simple part reads as part 0
  bar->SetSimplePanel(false);
  EXPECT_FALSE(::SendMessageW(bar->Handle(), SB_ISSIMPLE, 0, 0));
  form->Free();
}

TEST(StatusBar, OwnerDrawnPanelsAreDrawnByOnDrawPanel) {
  TForm* form = NewForm();
  auto* bar = Create<TStatusBar>(form);
  bar->SetParent(form);
  bar->Panels()->Add()->SetWidth(80);
  TStatusPanel* drawn = bar->Panels()->Add();
  drawn->SetStyle(psOwnerDraw);
  drawn->SetWidth(120);
  bar->Panels()->Add()->SetText(L"After");
  TStatusPanel* seen = nullptr;
  RECT seenRect{};
  bar->OnDrawPanel = [&](TCustomStatusBar* sender, TStatusPanel* panel, const RECT& r) {
    seen = panel;
    seenRect = r;
    sender->Canvas()->Brush()->SetColor(RGB(0, 0, 255));
    sender->Canvas()->FillRect(r);
  };
  form->Show();
  ::UpdateWindow(bar->Handle());
  ASSERT_TRUE(PumpUntil([&] { return seen != nullptr; }));
  EXPECT_EQ(seen, drawn);
  EXPECT_GE(seenRect.left, 80);
  EXPECT_LE(seenRect.right, 200);
  EXPECT_EQ(HIWORD(::SendMessageW(bar->Handle(), SB_GETTEXTLENGTHW, 1, 0)) & SBT_OWNERDRAW, SBT_OWNERDRAW);
  const Image shot = CaptureWindow(bar->Handle());
  const POINT o = ClientOffset(bar->Handle());
  EXPECT_EQ(shot.At(o.x + (seenRect.left + seenRect.right) / 2, o.y + (seenRect.top + seenRect.bottom) / 2),
            Rgb(0, 0, 255));
  form->Free();
}

TEST(StatusBar, TheSizeGripIsAWindowStyleThatCanBeTurnedOff) {
  TForm* form = NewForm();
  auto* bar = Create<TStatusBar>(form);
  bar->SetParent(form);
  bar->Panels()->Add()->SetText(L"Kept");
  form->Show();
  PumpMessages(30);
  EXPECT_TRUE(bar->SizeGrip());
  EXPECT_TRUE(::GetWindowLongPtrW(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
  auto gripColours = [&] {
    ::UpdateWindow(bar->Handle());
    const Image shot = CaptureWindow(bar->Handle());
    // Inside the corner, clear of the panel's bevel.
    return DistinctColours(shot, RECT{shot.Width() - 10, shot.Height() - 10, shot.Width() - 3, shot.Height() - 3});
  };
  EXPECT_GT(gripColours(), 1);  // the grip's dots
  bar->SetSizeGrip(false);
  EXPECT_FALSE(::GetWindowLongPtrW(bar->Handle(), GWL_STYLE) & SBARS_SIZEGRIP);
  EXPECT_EQ(PartText(bar, 0), L"Kept");  // the new window has the panels again
  EXPECT_EQ(gripColours(), 1);
  EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());
  form->Free();
}

TEST(CoolBar, BandsHoldTheirControlsInRows) {
  TForm* form = NewForm();
  auto* cool = Create<TCoolBar>(form);
  cool->SetParent(form);
  cool->SetAutoSize(true);
  form->Show();
  TToolBar* tools = NewToolBar(cool, {L"Cut", L"Copy", L"Paste"});
  TToolBar* more = NewToolBar(cool, {L"Bold", L"Italic"});
  TCoolBand* first = cool->Bands()->Add();
  first->SetControl(tools);
  first->SetText(L"Edit");
  first->SetWidth(220);
  TCoolBand* second = cool->Bands()->Add();
  second->SetControl(more);
  second->SetBreak(false);
  PumpMessages(30);

  HWND wnd = cool->Handle();
  ASSERT_EQ(::SendMessageW(wnd, RB_GETBANDCOUNT, 0, 0), 2);
  EXPECT_EQ(cool->RowCount(), 1);
  REBARBANDINFOW info{};
  wchar_t text[64] = {};
  info.cbSize = sizeof(info);
  info.fMask = RBBIM_TEXT | RBBIM_CHILD | RBBIM_STYLE;
  info.lpText = text;
  info.cch = 64;
  ::SendMessageW(wnd, RB_GETBANDINFOW, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(std::wstring(text), L"Edit");
  EXPECT_EQ(info.hwndChild, tools->Handle());
  // The rebar placed the controls inside their bands, and the framework knows it.
  EXPECT_EQ(::GetParent(tools->Handle()), wnd);
  EXPECT_TRUE(::IsWindowVisible(more->Handle()));
  RECT band{};
  ::SendMessageW(wnd, RB_GETRECT, 1, reinterpret_cast<LPARAM>(&band));
  EXPECT_GE(more->Left(), band.left);
  EXPECT_LE(more->Left() + more->Width(), band.right);
  RECT placed;
  ::GetWindowRect(more->Handle(), &placed);
  ::MapWindowPoints(HWND_DESKTOP, wnd, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(more->Left(), placed.left);
  EXPECT_EQ(more->Top(), placed.top);

  // A break starts a second row; the bar grows with it.
  const int oneRow = cool->Height();
  second->SetBreak(true);
  EXPECT_EQ(cool->RowCount(), 2);
  EXPECT_GT(cool->Height(), oneRow);
  EXPECT_EQ(cool->Height() - cool->ClientHeight() + static_cast<int>(::SendMessageW(wnd, RB_GETBARHEIGHT, 0, 0)),
            cool->Height());

  // A freed control leaves its band empty; a deleted band leaves the bar.
  more->Free();
  EXPECT_EQ(second->Control(), nullptr);
  EXPECT_EQ(::SendMessageW(wnd, RB_GETBANDCOUNT, 0, 0), 2);
  cool->Bands()->Delete(0);
  EXPECT_EQ(::SendMessageW(wnd, RB_GETBANDCOUNT, 0, 0), 1);
  form->Free();
}

TEST(Bars, ScreenshotOfAFormWithAMenuToolBarACoolBarAndAStatusBar) {
  TForm* form = NewForm(480, 300);
  form->SetCaption(L"Bars");
  auto* menu = Create<TMainMenu>(form);
  for (const wchar_t* caption : {L"&File", L"&Edit", L"&View", L"&Help"}) {
    auto* item = Create<TMenuItem>(form);
    item->SetCaption(caption);
    menu->Items()->Add(item);
    auto* sub = Create<TMenuItem>(form);
    sub->SetCaption(L"&Something");
    item->Add(sub);
  }
  auto* cool = Create<TCoolBar>(form);
  cool->SetParent(form);
  cool->SetAutoSize(true);
  // A menu bar made later goes first among the top-aligned bars at Top -100.
  auto* menuBar = Create<TToolBar>(form);
  menuBar->SetTop(-100);
  menuBar->SetParent(form);
  menuBar->SetFlat(true);
  menuBar->SetEdgeBorders({});
  menuBar->SetShowCaptions(true);
  menuBar->SetAutoSize(true);
  for (int i = menu->Items()->Count() - 1; i >= 0; --i) {
    auto* b = Create<TToolButton>(nullptr);
    b->SetParent(menuBar);
    b->SetMenuItem(menu->Items()->Items(i));
    b->SetAutoSize(true);
  }
  TCoolBand* band = cool->Bands()->Add();
  band->SetControl(NewToolBar(cool, {L"New", L"Open", L"Save"}));
  band->SetText(L"Standard");
  band->SetWidth(260);
  TCoolBand* band2 = cool->Bands()->Add();
  band2->SetControl(NewToolBar(cool, {L"Bold", L"Italic"}));
  band2->SetBreak(false);
  auto* status = Create<TStatusBar>(form);
  status->SetParent(form);
  status->Panels()->Add()->SetText(L"Ready");
  status->Panels()->Items(0)->SetWidth(120);
  status->Panels()->Add()->SetText(L"Line 1, Col 1");
  form->Show();
  ::SetForegroundWindow(form->Handle());
  PumpMessages(100);
  EXPECT_EQ(menuBar->Top(), 0);
  EXPECT_EQ(cool->Top(), menuBar->Height());
  EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
  const std::wstring path = SaveScreenshot(CaptureScreenAround(form->Handle(), 4), L"bars-form");
  EXPECT_FALSE(path.empty());

  // And with the File menu dropped down: captured from a timer inside the
  // menu loop, which keeps the screen up to date meanwhile.
  ::GetWindowRect(form->Handle(), &DropDownShot::area);
  DropDownShot::ticks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &DropDownShot::OnTimer);
  menuBar->TrackMenu(menuBar->Buttons(0));
  ::KillTimer(nullptr, timer);
  ASSERT_GT(DropDownShot::shot.Width(), 0);
  EXPECT_FALSE(SaveScreenshot(DropDownShot::shot, L"bars-form-menu").empty());
  form->Free();
}

TEST(BarsLeaks, PaintingAndMenusOfTheBarsLeaveNoGdiObjects) {
  auto work = [] {
    TForm* form = NewForm();
    auto* menu = Create<TPopupMenu>(form);
    auto* item = Create<TMenuItem>(form);
    item->SetCaption(L"&Item");
    menu->Items()->Add(item);
    TToolBar* bar = NewToolBar(form, {L"One", L"Two"});
    bar->SetEdgeBorders({ebLeft, ebTop, ebRight, ebBottom});
    bar->SetBorderWidth(2);
    bar->Buttons(1)->SetDropdownMenu(menu);
    bar->OnCustomDraw = [](TToolBar* sender, const RECT& r, bool&) { sender->Canvas()->FillRect(r); };
    auto* status = Create<TStatusBar>(form);
    status->SetParent(form);
    status->Panels()->Add()->SetStyle(psOwnerDraw);
    status->OnDrawPanel = [](TCustomStatusBar* sender, TStatusPanel*, const RECT& r) {
      sender->Canvas()->FillRect(r);
    };
    auto* cool = Create<TCoolBar>(form);
    cool->SetParent(form);
    cool->Bands()->Add()->SetControl(NewToolBar(cool, {L"Three"}));
    form->Show();
    ::RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    PumpMessages(50);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &CloseMenus);
    bar->TrackMenu(bar->Buttons(1));
    ::KillTimer(nullptr, timer);
    form->Free();
  };
  work();  // first use of fonts, brushes and classes
  const int before = GdiHeadroom();
  for (int i = 0; i < 3; ++i) work();
  EXPECT_EQ(GdiHeadroom(), before);
}
