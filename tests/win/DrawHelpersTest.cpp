// Text, font, form, platform and menu helpers of the drawing toolkit against
// real windows, fonts, forms and menus.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "draw/NUVSkinUtils.h"
#include "engine/SkinMessages.h"
#include "framework/Forms.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

// A canvas with the framework's default font (Tahoma, 11 pixels).
struct TextCanvas {
  Owned<TBitmap> bitmap{Create<TBitmap>(10, 10)};
  TCanvas* canvas = bitmap->Canvas();
  int Width(const std::wstring& s) { return TextWidthW(canvas, s); }
};

// A form whose window answers WM_NUVSKIN_QUERYACTIVE as a frame skin would.
class TAnsweringForm : public TForm {
  NUV_CLASS(TAnsweringForm, TForm)
  using TForm::TForm;
  LRESULT answer = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_NUVSKIN_QUERYACTIVE) {
      m.Result = answer;
      return;
    }
    TForm::WndProc(m);
  }
};

// The main form of the application for one scope.
struct MainFormScope {
  explicit MainFormScope(TCustomForm* form) { Application->SetMainForm(form); }
  ~MainFormScope() { Application->SetMainForm(nullptr); }
};

bool MakeForeground(TCustomForm* form) {
  form->Show();
  ::SetForegroundWindow(form->Handle());
  return PumpUntil([&] { return form->Active(); }, 2000);
}

// Menu event handlers to assign and compare.
struct THandlers {
  void Measure(TObject*, TCanvas*, int&, int&) {}
  void Draw(TObject*, TCanvas*, const RECT&, bool) {}
};

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::string& name) {
  TMenuItem* item = Create<TMenuItem>(owner);
  item->SetName(name);
  item->SetCaption(std::wstring(name.begin(), name.end()));
  if (parent) parent->Add(item);
  return item;
}

}  // namespace

// --- Text -----------------------------------------------------------------------

TEST(ShortenText, FitsPrefixWithDotsAndTheOneCharacterWiderRule) {
  TextCanvas t;
  const std::wstring text = L"Hello World";
  EXPECT_EQ(ShortenTextW(t.canvas, text, t.Width(text)), text);  // fits exactly
  EXPECT_EQ(ShortenTextW(t.canvas, text, 1000), text);

  // Two characters with "..." narrower than the limit, three not: three come back.
  const int two = t.Width(L"He..."), three = t.Width(L"Hel...");
  ASSERT_LT(two + 1, three);
  EXPECT_EQ(ShortenTextW(t.canvas, text, two + 1), L"Hel...");
  EXPECT_GT(t.Width(ShortenTextW(t.canvas, text, two + 1)), two + 1);  // it may overshoot the limit
  EXPECT_EQ(ShortenTextW(t.canvas, text, three), L"Hel...");
  EXPECT_EQ(ShortenTextW(t.canvas, text, 0), L"H...");

  // One character wider than the limit comes back unchanged.
  EXPECT_EQ(ShortenTextW(t.canvas, L"W", 1), L"W");
  // No prefix with "..." reaches the limit: the whole text. That needs a
  // last character wider than "..." and one pixel.
  std::wstring wide;
  for (const wchar_t* last : {L"\u2030", L"\u0429", L"\u0416", L"W"})
    if (t.Width(std::wstring(L"ab") + last) - 1 > t.Width(L"ab...")) {
      wide = std::wstring(L"ab") + last;
      break;
    }
  ASSERT_FALSE(wide.empty());
  EXPECT_EQ(ShortenTextW(t.canvas, wide, t.Width(wide) - 1), wide);

  // The 8-bit form measures the same way.
  EXPECT_EQ(ShortenText(t.canvas, "Hello World", two + 1), "Hel...");
  EXPECT_EQ(ShortenText(t.canvas, "Hello World", 1000), "Hello World");
  EXPECT_EQ(ShortenText(t.canvas, "W", 1), "W");

  // A bigger font gives a shorter result for the same limit.
  const std::wstring small = ShortenTextW(t.canvas, text, 40);
  t.canvas->Font()->SetHeight(-22);
  EXPECT_LT(ShortenTextW(t.canvas, text, 40).size(), small.size());
}

TEST(StripAmpersands, AcceleratorMarksAndDoubledAmpersandsGo) {
  EXPECT_EQ(StripAmpersands(std::wstring(L"&File")), L"File");
  EXPECT_EQ(StripAmpersands(std::wstring(L"Save && E&xit")), L"Save  Exit");
  EXPECT_EQ(StripAmpersands(std::wstring(L"&&")), L"");
  EXPECT_EQ(StripAmpersands(std::string("Tom && &Jerry")), "Tom  Jerry");
}

TEST(SystemFonts, CaptionFontIsBoldTahomaMenuFontPlainInMenuText) {
  Owned<TFont> caption(Create<TFont>());
  caption->SetName(L"Courier New");
  UseCaptionFont(caption.get());
  EXPECT_EQ(caption->Name(), L"Tahoma");
  EXPECT_TRUE(caption->Style().Contains(fsBold));
  LOGFONTW lf{};
  ASSERT_EQ(::GetObjectW(caption->Handle(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  EXPECT_GE(lf.lfWeight, FW_BOLD);

  Owned<TFont> menu(Create<TFont>());
  menu->SetName(L"Courier New");
  menu->SetStyle({fsBold});
  UseMenuFont(menu.get());
  EXPECT_EQ(menu->Name(), L"Tahoma");
  EXPECT_FALSE(menu->Style().Contains(fsBold));
  EXPECT_EQ(menu->Color(), clMenuText);
}

TEST(Properties, HasPublishedPropertyReadsTheClassTable) {
  Owned<TForm> form(Create<TForm>(nullptr));
  EXPECT_TRUE(HasPublishedProperty(form.get(), "Caption"));
  EXPECT_TRUE(HasPublishedProperty(form.get(), "color"));
  EXPECT_FALSE(HasPublishedProperty(form.get(), "Glyph"));
  Owned<TBitmap> bitmap(Create<TBitmap>());
  EXPECT_FALSE(HasPublishedProperty(bitmap.get(), "Caption"));
  EXPECT_FALSE(HasPublishedProperty(nullptr, "Caption"));
}

// --- Windows and forms ----------------------------------------------------------

TEST(Geometry, PointInRectCountsAllFourEdges) {
  const RECT r{10, 20, 30, 40};
  EXPECT_TRUE(PointInRect(10, 20, r));
  EXPECT_TRUE(PointInRect(30, 40, r));  // right and bottom edges are inside
  EXPECT_TRUE(PointInRect(POINT{30, 20}, r));
  EXPECT_FALSE(PointInRect(31, 40, r));
  EXPECT_FALSE(PointInRect(30, 41, r));
  EXPECT_FALSE(PointInRect(POINT{9, 25}, r));
  EXPECT_FALSE(PointInRect(POINT{15, 19}, r));
}

TEST(FormHelpers, WorkAreaBoundsAndLookUpByHandle) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  TestWindow window;
  RECT primary{};
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0));
  RECT area{};
  GetWorkArea(window.Handle(), area);
  EXPECT_EQ(area.left, primary.left);
  EXPECT_EQ(area.top, primary.top);
  EXPECT_EQ(area.right, primary.right);
  EXPECT_EQ(area.bottom, primary.bottom - 1);  // one pixel shorter

  Owned<TForm> form(Create<TForm>(nullptr));
  {
    MainFormScope main(form.get());
    const RECT monitor = Screen->MonitorFromWindow(window.Handle())->WorkareaRect();
    GetWorkArea(window.Handle(), area);
    EXPECT_EQ(area.right, monitor.right);
    EXPECT_EQ(area.bottom, monitor.bottom - 1);
  }

  SetFormBounds(form.get(), RECT{30, 40, 330, 240});
  EXPECT_EQ(form->Left(), 30);
  EXPECT_EQ(form->Top(), 40);
  EXPECT_EQ(form->Width(), 300);
  EXPECT_EQ(form->Height(), 200);

  Owned<TForm> second(Create<TForm>(nullptr));
  EXPECT_EQ(FindFormByHandle(second->Handle()), second.get());
  EXPECT_EQ(FindFormByHandle(form->Handle()), form.get());
  EXPECT_EQ(FindFormByHandle(window.Handle()), nullptr);
  EXPECT_EQ(FindFormByHandle(nullptr), nullptr);
}

TEST(FormHelpers, IsFormActiveAsksTheFrameSkinFirst) {
  TAnsweringForm* form = Create<TAnsweringForm>(nullptr);
  form->SetBounds(100, 100, 200, 150);
  ASSERT_TRUE(MakeForeground(form));

  // No answer and no main form: the form's own Active.
  EXPECT_TRUE(IsFormActive(form));
  // A frame skin drawing it inactive wins over the focus.
  form->answer = 2;
  EXPECT_FALSE(IsFormActive(form));
  form->answer = 7;  // any positive answer but 1 is inactive
  EXPECT_FALSE(IsFormActive(form));

  TAnsweringForm* other = Create<TAnsweringForm>(nullptr);
  other->SetBounds(150, 150, 200, 150);
  ASSERT_TRUE(MakeForeground(other));
  EXPECT_FALSE(form->Active());
  form->answer = 1;
  EXPECT_TRUE(IsFormActive(form));
  form->answer = 0;
  EXPECT_FALSE(IsFormActive(form));

  {
    // With a main form, the main form itself is active while the application is.
    MainFormScope main(form);
    ASSERT_TRUE(PumpUntil([] { return Application->Active(); }, 2000));
    EXPECT_TRUE(IsFormActive(form));
    EXPECT_TRUE(IsFormActive(other));   // its own Active
  }
  other->Free();
  form->Free();
}

// --- Platform -------------------------------------------------------------------

TEST(PlatformFunctions, VersionFlagsFollowTheirRules) {
  struct Case {
    DWORD platform, major, minor;
    bool win95, xp, vista;
  };
  for (const Case& c : {Case{1, 4, 0, true, false, false}, Case{1, 4, 10, false, false, false},
                        Case{2, 4, 0, false, false, false}, Case{2, 5, 0, false, false, false},
                        Case{2, 5, 1, false, true, false}, Case{2, 5, 2, false, true, false},
                        Case{2, 6, 0, false, false, true}, Case{2, 6, 1, false, true, false},
                        Case{2, 10, 0, false, false, false}}) {
    SCOPED_TRACE(testing::Message() << c.platform << ":" << c.major << "." << c.minor);
    const PlatformFlags f = PlatformFlagsOf(c.platform, c.major, c.minor);
    EXPECT_EQ(f.win95, c.win95);
    EXPECT_EQ(f.winXPOrAbove, c.xp);
    EXPECT_EQ(f.winVista, c.vista);
    EXPECT_EQ(f.nt, c.platform == 2);
  }
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(::GetVersionExA(&info));
  const PlatformFlags here = PlatformFlagsOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
  EXPECT_EQ(IsWin95(), here.win95);
  EXPECT_EQ(IsWinXPOrAbove(), here.winXPOrAbove);
  EXPECT_EQ(IsWinVista(), here.winVista);
  EXPECT_EQ(IsWinNT(), here.nt);
  EXPECT_TRUE(IsWinNT());  // every system this library runs on today
}

TEST(PlatformFunctions, RunTimeLookUpsShareOneUnavailableFlag) {
  TestWindow parent;
  TestWindow::Options o;
  o.style = WS_CHILD | WS_VISIBLE | WS_VSCROLL;
  o.bounds = RECT{0, 0, 100, 80};
  o.parent = parent.Handle();
  TestWindow child(o);
  HWND combo = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 0, 100, 100, 200,
                                 parent.Handle(), nullptr, nullptr, nullptr);
  ASSERT_NE(combo, nullptr);

  SetUser32LookupNamesForTesting(nullptr);
  EXPECT_EQ(SafeGetAncestor(child.Handle(), GA_PARENT), parent.Handle());
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof(bar);
  EXPECT_TRUE(SafeGetScrollBarInfo(child.Handle(), OBJID_VSCROLL, bar));
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  EXPECT_TRUE(SafeGetComboBoxInfo(combo, info));
  EXPECT_NE(info.hwndItem, nullptr);
  EXPECT_FALSE(User32LookupsUnavailable());

  // A system without GetComboBoxInfo: once its look-up failed, the other two
  // answer 0 as well although they exist.
  const char* names[3] = {nullptr, "NuvskinNoSuchGetComboBoxInfo", nullptr};
  SetUser32LookupNamesForTesting(names);
  EXPECT_EQ(SafeGetAncestor(child.Handle(), GA_PARENT), parent.Handle());  // not looked up yet
  EXPECT_FALSE(SafeGetComboBoxInfo(combo, info));
  EXPECT_TRUE(User32LookupsUnavailable());
  EXPECT_EQ(SafeGetAncestor(child.Handle(), GA_PARENT), nullptr);
  EXPECT_FALSE(SafeGetScrollBarInfo(child.Handle(), OBJID_VSCROLL, bar));

  SetUser32LookupNamesForTesting(nullptr);
  EXPECT_EQ(SafeGetAncestor(child.Handle(), GA_PARENT), parent.Handle());
  ::DestroyWindow(combo);
}

TEST(PlatformFunctions, InternalWindowTextNeedsNoMessage) {
  TestWindow::Options o;
  o.caption = L"Caption \u00E4\u4E2D";
  TestWindow window(o);
  EXPECT_EQ(GetWindowTextInternal(window.Handle()), o.caption);
  ::SetWindowTextW(window.Handle(), L"");
  EXPECT_EQ(GetWindowTextInternal(window.Handle()), L"");
}

// --- Menus ----------------------------------------------------------------------

TEST(MenuHelpers, HandlersAndRegistrationsOfTopLevelSubMenus) {
  THandlers handlers;
  const auto onMeasure = TMenuMeasureItemEvent::Bind(&handlers, &THandlers::Measure);
  const auto onDraw = TMenuDrawItemEvent::Bind(&handlers, &THandlers::Draw);
  Owned<TComponent> owner(Create<TComponent>(nullptr));
  TMainMenu* menu = Create<TMainMenu>(owner.get());
  TImageList* menuImages = Create<TImageList>(owner.get());
  TImageList* fileImages = Create<TImageList>(owner.get());
  menu->SetImages(menuImages);
  TMenuItem* file = NewItem(owner.get(), menu->Items(), "FileItem");
  file->SetSubMenuImages(fileImages);
  TMenuItem* open = NewItem(owner.get(), file, "OpenItem");
  TMenuItem* recent = NewItem(owner.get(), file, "RecentItem");
  TMenuItem* first = NewItem(owner.get(), recent, "FirstItem");
  TMenuItem* edit = NewItem(owner.get(), menu->Items(), "EditItem");  // no SubMenuImages
  TMenuItem* copy = NewItem(owner.get(), edit, "CopyItem");
  TMenuItem* unnamed = NewItem(owner.get(), menu->Items(), "");
  unnamed->SetSubMenuImages(fileImages);
  TMenuItem* under = NewItem(owner.get(), unnamed, "UnderItem");

  EXPECT_TRUE(IsTopLevelMenuItem(file));
  EXPECT_FALSE(IsTopLevelMenuItem(open));
  EXPECT_FALSE(IsTopLevelMenuItem(unnamed));  // no name
  EXPECT_FALSE(IsTopLevelMenuItem(menu->Items()));
  EXPECT_FALSE(IsTopLevelMenuItem(nullptr));

  const int before = TopMenuItems()->Count();
  AssignMenuItemHandlers(menu->Items(), onMeasure, onDraw);
  for (TMenuItem* item : {file, open, recent, first, edit, copy, unnamed, under}) {
    EXPECT_TRUE(item->OnDrawItem == onDraw);
    EXPECT_TRUE(item->OnMeasureItem == onMeasure);
  }
  // Only the direct sub-items of a named top-level item with SubMenuImages.
  ASSERT_EQ(TopMenuItems()->Count(), before + 2);
  EXPECT_EQ(TopMenuItems()->Items(before), open);
  EXPECT_EQ(TopMenuItems()->Items(before + 1), recent);
  EXPECT_EQ(TopMenuItemImages()->Items(before), fileImages);
  ASSERT_EQ(TopMenuItemImages()->Count(), TopMenuItems()->Count());

  EXPECT_EQ(GetMenuItemImages(open), fileImages);
  EXPECT_EQ(GetMenuItemImages(first), fileImages);  // through its parents
  EXPECT_EQ(GetMenuItemImages(copy), menuImages);   // the menu's Images
  EXPECT_EQ(GetMenuItemImages(file), menuImages);

  // Moved to the top level, a registered item keeps the list it was
  // registered with, and so do its own sub-items.
  file->Remove(recent);
  menu->Items()->Add(recent);
  ASSERT_TRUE(IsTopLevelMenuItem(recent));
  EXPECT_EQ(GetMenuItemImages(recent), fileImages);
  EXPECT_EQ(GetMenuItemImages(first), fileImages);
  // An item never registered that becomes top-level has the menu's Images.
  edit->Remove(copy);
  menu->Items()->Add(copy);
  EXPECT_EQ(GetMenuItemImages(copy), menuImages);

  // A repeated call registers again.
  AssignMenuItemHandlers(file, onMeasure, onDraw);
  EXPECT_EQ(TopMenuItems()->Count(), before + 3);

  // Freed items and image lists drop their registrations.
  owner.reset();
  EXPECT_EQ(TopMenuItems()->Count(), before);
  EXPECT_EQ(TopMenuItemImages()->Count(), before);
}

TEST(MenuHelpers, SeparatorLeavesTheBarOut) {
  Owned<TBitmap> b = FilledBitmap(40, 10, clWhite);
  DrawMenuSeparator(b->Canvas(), RECT{0, 2, 40, 10}, clRed, 10, true);
  EXPECT_EQ(CountColor(*b, RECT{0, 0, 40, 10}, clRed), 24);  // x 14 to 37 on row 4
  EXPECT_EQ(CountColor(*b, RECT{14, 4, 38, 5}, clRed), 24);
  b = FilledBitmap(40, 10, clWhite);
  DrawMenuSeparator(b->Canvas(), RECT{0, 0, 40, 10}, clRed, 10, false);
  EXPECT_EQ(CountColor(*b, RECT{2, 2, 26, 3}, clRed), 24);  // x 2 to 25 on row 2
  EXPECT_EQ(CountColor(*b, RECT{0, 0, 40, 10}, clRed), 24);
}
