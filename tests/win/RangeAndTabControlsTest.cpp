// Progress bars, track bars, up-downs, date-time pickers and tab controls on
// real windows: class names and ancestry, published properties, what the
// user does with them, and state that survives a new window.
#include <gtest/gtest.h>

#include <optional>

#include "ComCtrlsTestSupport.h"
#include "framework/DateTimePicker.h"
#include "framework/ImgList.h"
#include "framework/Grids.h"
#include "framework/ListView.h"
#include "framework/RangeControls.h"
#include "framework/TabControls.h"
#include "framework/TreeView.h"

using namespace nuvskin;
using namespace nuvskin::test;

TEST(CommonControls, ClassNamesAndAncestryAsTheFrameworkTableSeesThem) {
  FormFixture f;
  struct Case {
    TWinControl* control;
    const char* name;
  };
  const Case cases[] = {
      {f.Add<TProgressBar>(0, 0, 100, 16), "TProgressBar"},
      {f.Add<TTrackBar>(0, 20, 100, 30), "TTrackBar"},
      {f.Add<TUpDown>(0, 60, 17, 25), "TUpDown"},
      {f.Add<TDateTimePicker>(0, 90, 120, 21), "TDateTimePicker"},
      {f.Add<TTabControl>(130, 0, 100, 80), "TTabControl"},
      {f.Add<TPageControl>(130, 90, 100, 80), "TPageControl"},
      {f.Add<TTreeView>(240, 0, 100, 80), "TTreeView"},
      {f.Add<TListView>(240, 90, 100, 80), "TListView"},
      {f.Add<TDrawGrid>(350, 0, 100, 80), "TDrawGrid"},
      {f.Add<TStringGrid>(350, 90, 100, 80), "TStringGrid"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.control->ClassName(), c.name);
    EXPECT_EQ(WindowClassOf(c.control->Handle()), c.name);
    EXPECT_EQ(FindClass(c.name), &c.control->ClassType()) << c.name;
  }
  auto inherits = [](const char* derived, const char* base) {
    const TClass* d = FindClass(derived);
    const TClass* b = FindClass(base);
    return d && b && d->InheritsFrom(*b);
  };
  EXPECT_TRUE(inherits("TUpDown", "TCustomUpDown"));
  EXPECT_TRUE(inherits("TTabControl", "TCustomTabControl"));
  EXPECT_TRUE(inherits("TPageControl", "TCustomTabControl"));
  EXPECT_TRUE(inherits("TTreeView", "TCustomTreeView"));
  EXPECT_TRUE(inherits("TListView", "TCustomListView"));
  EXPECT_TRUE(inherits("TCustomListView", "TCustomMultiSelectListControl"));
  EXPECT_TRUE(inherits("TCustomListView", "TCustomListControl"));
  EXPECT_TRUE(inherits("TDrawGrid", "TCustomDrawGrid"));
  EXPECT_TRUE(inherits("TCustomDrawGrid", "TCustomGrid"));
  EXPECT_TRUE(inherits("TStringGrid", "TDrawGrid"));
  EXPECT_TRUE(inherits("TCustomGrid", "TCustomControl"));
  // A tab sheet is a plain windowed control; the system controls are not custom controls.
  EXPECT_TRUE(inherits("TTabSheet", "TWinControl"));
  EXPECT_FALSE(inherits("TTabSheet", "TCustomControl"));
  for (const char* name : {"TProgressBar", "TTrackBar", "TCustomUpDown", "TDateTimePicker", "TCustomTabControl",
                           "TCustomTreeView", "TCustomListView"})
    EXPECT_FALSE(inherits(name, "TCustomControl")) << name;
  // The system controls keep their behaviour: a tab control answers its own messages.
  EXPECT_EQ(::SendMessageW(cases[4].control->Handle(), TCM_GETITEMCOUNT, 0, 0), 0);
}

TEST(CommonControls, PublishedPropertiesCarryTheClassicTypeNames) {
  TProgressBar* progress = Create<TProgressBar>(nullptr);
  EXPECT_EQ(PropType(progress, "Orientation"), "TProgressBarOrientation");
  EXPECT_EQ(PropType(progress, "Position"), "Integer");
  EXPECT_EQ(PropType(progress, "Smooth"), "Boolean");
  SetOrdProp(progress, "Max", 50);
  SetOrdProp(progress, "Position", 80);  // clamped to Max
  EXPECT_EQ(GetOrdProp(progress, "Position"), 50);

  TTrackBar* track = Create<TTrackBar>(nullptr);
  EXPECT_EQ(PropType(track, "TickMarks"), "TTickMark");
  EXPECT_EQ(PropType(track, "TickStyle"), "TTickStyle");
  EXPECT_EQ(PropType(track, "Orientation"), "TTrackBarOrientation");
  EXPECT_EQ(PropType(track, "OnChange"), "TNotifyEvent");
  EXPECT_TRUE(IsPublishedProp(track, "SelStart") && IsPublishedProp(track, "SelEnd"));

  TUpDown* updown = Create<TUpDown>(nullptr);
  EXPECT_EQ(PropType(updown, "Orientation"), "TUDOrientation");
  EXPECT_EQ(PropType(updown, "Associate"), "TWinControl");

  TDateTimePicker* picker = Create<TDateTimePicker>(nullptr);
  EXPECT_EQ(PropType(picker, "Kind"), "TDateTimeKind");
  EXPECT_EQ(PropType(picker, "DateMode"), "TDTDateMode");
  EXPECT_EQ(PropType(picker, "Tag"), "Integer");
  EXPECT_EQ(GetEnumProp(picker, GetPropInfo(picker, "DateMode")), "dmComboBox");

  TTabControl* tabs = Create<TTabControl>(nullptr);
  EXPECT_EQ(PropType(tabs, "TabPosition"), "TTabPosition");
  EXPECT_EQ(PropType(tabs, "Tabs"), "TStrings");
  EXPECT_EQ(PropType(tabs, "Images"), "TCustomImageList");
  EXPECT_EQ(PropType(tabs, "Font"), "TFont");
  TPageControl* pages = Create<TPageControl>(nullptr);
  EXPECT_EQ(PropType(pages, "ActivePage"), "TTabSheet");
  TTabSheet* sheet = Create<TTabSheet>(nullptr);
  EXPECT_EQ(PropType(sheet, "Caption"), "TCaption");
  EXPECT_EQ(PropType(sheet, "TabVisible"), "Boolean");

  // The bordered controls: BorderStyle 0 means no border.
  TTreeView* tree = Create<TTreeView>(nullptr);
  TListView* list = Create<TListView>(nullptr);
  TStringGrid* grid = Create<TStringGrid>(nullptr);
  for (TObject* o : std::initializer_list<TObject*>{tree, list, grid}) {
    EXPECT_EQ(PropType(o, "BorderStyle"), "TBorderStyle") << o->ClassName();
    EXPECT_EQ(PropType(o, "BevelEdges"), "TBevelEdges") << o->ClassName();
    EXPECT_EQ(PropType(o, "Color"), "TColor") << o->ClassName();
    EXPECT_EQ(GetOrdProp(o, "BorderStyle"), bsSingle);
    SetOrdProp(o, "BorderStyle", bsNone);
    EXPECT_EQ(GetOrdProp(o, "BorderStyle"), 0);
    EXPECT_EQ(GetOrdProp(o, "Color"), static_cast<std::int64_t>(clWindow));
  }
  EXPECT_EQ(PropType(grid, "FixedColor"), "TColor");
  EXPECT_EQ(PropType(grid, "Options"), "TGridOptions");
  EXPECT_EQ(PropType(grid, "ScrollBars"), "TScrollStyle");
  EXPECT_EQ(PropType(list, "ViewStyle"), "TViewStyle");
  EXPECT_EQ(PropType(list, "SmallImages"), "TCustomImageList");
  EXPECT_EQ(PropType(list, "Columns"), "TListColumns");
  EXPECT_EQ(PropType(tree, "Items"), "TTreeNodes");
  for (TObject* o : std::initializer_list<TObject*>{progress, track, updown, picker, tabs, pages, sheet, tree, list,
                                                    grid})
    TObject::Free(o);
}

TEST(CommonControls, ProgressBarPositionStepsAndSurvivesANewWindow) {
  FormFixture f;
  auto* bar = f.Add<TProgressBar>(10, 10, 200, 18);
  HWND wnd = bar->Handle();
  bar->SetRange(10, 60);
  bar->SetPosition(35);
  EXPECT_EQ(::SendMessageW(wnd, PBM_GETPOS, 0, 0), 35);
  EXPECT_EQ(::SendMessageW(wnd, PBM_GETRANGE, TRUE, 0), 10);
  EXPECT_EQ(::SendMessageW(wnd, PBM_GETRANGE, FALSE, 0), 60);
  bar->SetStep(20);
  bar->StepIt();
  EXPECT_EQ(bar->Position(), 55);
  bar->StepIt();  // past Max: starts again from Min, as the window does
  EXPECT_EQ(bar->Position(), 25);
  EXPECT_EQ(::SendMessageW(wnd, PBM_GETPOS, 0, 0), 25);
  bar->SetPosition(-5);
  EXPECT_EQ(bar->Position(), 10);

  bar->SetPosition(42);
  bar->SetOrientation(pbVertical);
  EXPECT_NE(bar->Handle(), nullptr);
  EXPECT_TRUE(HasStyle(bar->Handle(), PBS_VERTICAL));
  EXPECT_EQ(::SendMessageW(bar->Handle(), PBM_GETPOS, 0, 0), 42);
  EXPECT_EQ(::SendMessageW(bar->Handle(), PBM_GETRANGE, FALSE, 0), 60);
}

TEST(CommonControls, TrackBarMovesWithKeysAndReportsChange) {
  FormFixture f;
  auto* track = f.Add<TTrackBar>(10, 10, 200, 40);
  track->SetRange(0, 20);
  track->SetLineSize(2);
  track->SetPageSize(5);
  int changes = 0;
  track->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, track);
    ++changes;
  };
  track->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return track->Focused(); }, 1000));
  PostKeyPress(track->Handle(), VK_RIGHT);
  ASSERT_TRUE(PumpUntil([&] { return track->Position() == 2; }, 1000));
  PumpUntil([&] { return changes >= 1; }, 500);
  EXPECT_GE(changes, 1);
  PostKeyPress(track->Handle(), VK_NEXT);
  ASSERT_TRUE(PumpUntil([&] { return track->Position() == 7; }, 1000));
  PostKeyPress(track->Handle(), VK_END);
  ASSERT_TRUE(PumpUntil([&] { return track->Position() == 20; }, 1000));
  const int userChanges = changes;
  EXPECT_GE(userChanges, 3);

  // Code changes report too, but only real changes.
  track->SetPosition(20);
  EXPECT_EQ(changes, userChanges);
  track->SetPosition(4);
  EXPECT_EQ(changes, userChanges + 1);
  EXPECT_EQ(::SendMessageW(track->Handle(), TBM_GETPOS, 0, 0), 4);
}

TEST(CommonControls, TrackBarStylesAndSelectionFollowTheProperties) {
  FormFixture f;
  auto* track = f.Add<TTrackBar>(10, 10, 200, 40);
  track->SetMax(30);
  track->SetSelStart(5);
  track->SetSelEnd(15);
  track->SetPosition(12);
  EXPECT_TRUE(HasStyle(track->Handle(), TBS_AUTOTICKS | TBS_ENABLESELRANGE));
  EXPECT_EQ(::SendMessageW(track->Handle(), TBM_GETSELSTART, 0, 0), 5);
  EXPECT_EQ(::SendMessageW(track->Handle(), TBM_GETSELEND, 0, 0), 15);

  track->SetTickMarks(tmBoth);
  EXPECT_TRUE(HasStyle(track->Handle(), TBS_BOTH));
  track->SetTickStyle(tsNone);
  EXPECT_TRUE(HasStyle(track->Handle(), TBS_NOTICKS));
  track->SetOrientation(trVertical);  // turns the bar
  EXPECT_TRUE(HasStyle(track->Handle(), TBS_VERT));
  EXPECT_EQ(track->Width(), 40);
  EXPECT_EQ(track->Height(), 200);
  // Each new window got the range, selection and position back.
  EXPECT_EQ(::SendMessageW(track->Handle(), TBM_GETRANGEMAX, 0, 0), 30);
  EXPECT_EQ(::SendMessageW(track->Handle(), TBM_GETSELSTART, 0, 0), 5);
  EXPECT_EQ(::SendMessageW(track->Handle(), TBM_GETSELEND, 0, 0), 15);
  EXPECT_EQ(track->Position(), 12);
  track->SetMax(8);  // the position follows the range
  EXPECT_EQ(track->Position(), 8);
}

TEST(CommonControls, UpDownStepsItsAssociate) {
  FormFixture f;
  auto* edit = f.Add<TTestEdit>(10, 10, 80, 22);
  auto* updown = f.Add<TUpDown>(100, 10, 17, 22);
  updown->SetMin(0);
  updown->SetMax(10);
  updown->SetIncrement(2);
  updown->SetPosition(3);
  updown->SetAssociate(edit);
  PumpMessages(20);
  EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageW(updown->Handle(), UDM_GETBUDDY, 0, 0)), edit->Handle());
  EXPECT_EQ(edit->Text(), L"3");
  // The buttons sit against the associate's right edge, arrows drawn.
  EXPECT_EQ(updown->Left(), edit->Left() + edit->Width());
  PumpMessages(100);
  const Image buttons = CaptureWindow(updown->Handle());
  int dark = 0;
  for (int y = 0; y < buttons.Height(); ++y)
    for (int x = 0; x < buttons.Width(); ++x) dark += (buttons.At(x, y) & 0xFF) < 0x90;
  EXPECT_GT(dark, 2);

  std::vector<TUDBtnType> clicks;
  updown->OnClick = [&](TObject*, TUDBtnType button) { clicks.push_back(button); };
  const RECT r = updown->ClientRect();
  PostClientClick(updown->Handle(), r.right / 2, r.bottom / 4);  // the upper (next) button
  ASSERT_TRUE(PumpUntil([&] { return !clicks.empty(); }, 1000));
  EXPECT_EQ(clicks.back(), btNext);
  EXPECT_EQ(updown->Position(), 5);
  EXPECT_EQ(edit->Text(), L"5");

  PostClientClick(updown->Handle(), r.right / 2, r.bottom * 3 / 4);
  ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 2; }, 1000));
  EXPECT_EQ(clicks.back(), btPrev);
  EXPECT_EQ(updown->Position(), 3);

  // OnChanging can refuse the step.
  updown->OnChanging = [](TObject*, bool& allow) { allow = false; };
  PostClientClick(updown->Handle(), r.right / 2, r.bottom / 4);
  PumpMessages(150);
  EXPECT_EQ(updown->Position(), 3);
  EXPECT_EQ(edit->Text(), L"3");
  updown->OnChanging = nullptr;

  // The associate going away leaves the buttons without a buddy.
  edit->Free();
  EXPECT_EQ(updown->Associate(), nullptr);
  EXPECT_EQ(::SendMessageW(updown->Handle(), UDM_GETBUDDY, 0, 0), 0);
  updown->SetOrientation(udHorizontal);
  EXPECT_TRUE(HasStyle(updown->Handle(), UDS_HORZ));
  EXPECT_EQ(updown->Position(), 3);
}

TEST(DateTime, DaysCountFromTheClassicEpoch) {
  EXPECT_EQ(TDateTime::EncodeDate(1899, 12, 30).Days(), 0);
  EXPECT_EQ(TDateTime::EncodeDate(1900, 3, 1).Days(), 61);  // 1900 was no leap year
  EXPECT_EQ(TDateTime::EncodeDate(2000, 3, 1).Days() - TDateTime::EncodeDate(2000, 2, 28).Days(), 2);
  EXPECT_EQ(TDateTime::EncodeDate(1899, 12, 29).Days(), -1);
  EXPECT_THROW(TDateTime::EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(TDateTime::EncodeTime(24, 0, 0), EConvertError);
  const TDateTime t = TDateTime::EncodeDate(2024, 2, 29) + TDateTime::EncodeTime(23, 59, 59, 999);
  int y, m, d, h, n, sec, ms;
  t.DecodeDate(y, m, d);
  t.DecodeTime(h, n, sec, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
  EXPECT_EQ(((h * 60 + n) * 60 + sec) * 1000 + ms, 86'399'999);
  const SYSTEMTIME st = t.ToSystemTime();
  EXPECT_EQ(st.wDayOfWeek, 4);  // a Thursday
  EXPECT_TRUE(TDateTime::FromSystemTime(st) == t);
  EXPECT_TRUE(t.DatePart() == TDateTime::EncodeDate(2024, 2, 29));
  EXPECT_TRUE(TDateTime::EncodeDate(1899, 12, 29).TimePart() == TDateTime());
  // Before the epoch the date still counts down by whole days.
  (TDateTime::EncodeDate(1850, 6, 1) + TDateTime::EncodeTime(6, 0, 0)).DecodeDate(y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18500601);
}

TEST(CommonControls, DateTimePickerKeepsItsValueAndModes) {
  FormFixture f;
  auto* picker = f.Add<TDateTimePicker>(10, 10, 180, 22);
  const TDateTime day = TDateTime::EncodeDate(2021, 3, 14) + TDateTime::EncodeTime(9, 26, 53);
  picker->SetDateTime(day);
  SYSTEMTIME st{};
  ASSERT_EQ(::SendMessageW(picker->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_VALID);
  EXPECT_EQ(st.wYear, 2021);
  EXPECT_EQ(st.wMonth, 3);
  EXPECT_EQ(st.wDay, 14);
  EXPECT_EQ(st.wHour, 9);
  EXPECT_TRUE(picker->Date() == TDateTime::EncodeDate(2021, 3, 14));
  EXPECT_EQ(::FindWindowExW(picker->Handle(), nullptr, L"msctls_updown32", nullptr), nullptr);

  picker->SetDateFormat(dfLong);
  EXPECT_TRUE(HasStyle(picker->Handle(), DTS_LONGDATEFORMAT));
  EXPECT_TRUE(picker->DateTime() == day);
  picker->SetDateMode(dmUpDown);
  EXPECT_TRUE(HasStyle(picker->Handle(), DTS_UPDOWN));
  EXPECT_NE(::FindWindowExW(picker->Handle(), nullptr, L"msctls_updown32", nullptr), nullptr);
  EXPECT_TRUE(picker->DateTime() == day);

  // Framework buttons laid over the picker's own spin buttons work through it.
  auto* cover = Create<TUpDown>(picker);
  cover->SetParent(picker);
  cover->SetWidth(16);
  cover->SetAlign(alRight);
  EXPECT_EQ(::GetParent(cover->Handle()), picker->Handle());
  EXPECT_EQ(cover->Left() + cover->Width(), picker->ClientWidth());
  EXPECT_EQ(cover->Height(), picker->ClientHeight());
  int coverClicks = 0;
  TUDBtnType coverButton = btPrev;
  cover->OnClick = [&](TObject*, TUDBtnType button) {
    coverButton = button;
    ++coverClicks;
  };
  PostClientClick(cover->Handle(), 8, 3);
  ASSERT_TRUE(PumpUntil([&] { return coverClicks == 1; }, 1000));
  EXPECT_EQ(coverButton, btNext);
  EXPECT_EQ(cover->Position(), 1);
  EXPECT_NE(::FindWindowExW(picker->Handle(), nullptr, L"msctls_updown32", nullptr), nullptr);
  cover->Free();

  picker->SetKind(dtkTime);
  EXPECT_TRUE(HasStyle(picker->Handle(), DTS_TIMEFORMAT));
  picker->SetTime(TDateTime::EncodeTime(17, 5, 0));
  EXPECT_TRUE(picker->DateTime() == TDateTime::EncodeDate(2021, 3, 14) + TDateTime::EncodeTime(17, 5, 0));
  EXPECT_THROW(picker->SetDate(TDateTime::EncodeDate(1500, 1, 1)), EConvertError);
}

TEST(CommonControls, DateTimePickerDropsDownAndReportsChanges) {
  FormFixture f;
  auto* picker = f.Add<TDateTimePicker>(10, 10, 180, 22);
  picker->SetDate(TDateTime::EncodeDate(2020, 1, 31));
  int drops = 0, closes = 0, changes = 0;
  picker->OnDropDown = [&](TObject*) { ++drops; };
  picker->OnCloseUp = [&](TObject*) { ++closes; };
  picker->OnChange = [&](TObject*) { ++changes; };
  const RECT r = picker->ClientRect();
  PostClientClick(picker->Handle(), r.right - 6, r.bottom / 2);  // the drop button
  ASSERT_TRUE(PumpUntil([&] { return picker->DroppedDown(); }, 2000));
  EXPECT_EQ(drops, 1);
  HWND calendar = reinterpret_cast<HWND>(::SendMessageW(picker->Handle(), DTM_GETMONTHCAL, 0, 0));
  ASSERT_NE(calendar, nullptr);
  // Clicking a day in the calendar closes it and changes the picker's date.
  RECT cal;
  ::GetClientRect(calendar, &cal);
  std::optional<POINT> dayPoint;
  for (int y = 0; y < cal.bottom && !dayPoint; y += 3)
    for (int x = 0; x < cal.right && !dayPoint; x += 3) {
      MCHITTESTINFO hit{};
      hit.cbSize = sizeof(hit);
      hit.pt = POINT{x, y};
      if (::SendMessageW(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == MCHT_CALENDARDATE &&
          hit.st.wDay == 12 && hit.st.wMonth == 1)
        dayPoint = hit.pt;
    }
  ASSERT_TRUE(dayPoint.has_value());
  PostClientClick(calendar, dayPoint->x, dayPoint->y);
  ASSERT_TRUE(PumpUntil([&] { return closes == 1; }, 1000));
  EXPECT_FALSE(picker->DroppedDown());
  EXPECT_GE(changes, 1);
  EXPECT_TRUE(picker->Date() == TDateTime::EncodeDate(2020, 1, 12));

  // Up on a field steps the date (Right first picks a field).
  const int before = changes;
  picker->SetFocus();
  PostKeyPress(picker->Handle(), VK_RIGHT);
  PostKeyPress(picker->Handle(), VK_UP);
  ASSERT_TRUE(PumpUntil([&] { return !(picker->Date() == TDateTime::EncodeDate(2020, 1, 12)); }, 1000));
  EXPECT_GT(changes, before);
  int y, m, d;
  picker->Date().DecodeDate(y, m, d);
  EXPECT_EQ(y, 2020);
}

TEST(CommonControls, TabControlKeepsTabsInStepWithItsStrings) {
  FormFixture f;
  auto* tabs = f.Add<TTabControl>(10, 10, 300, 150);
  HWND wnd = tabs->Handle();
  tabs->Tabs()->Add(L"One");
  tabs->Tabs()->Add(L"Two");
  tabs->Tabs()->Add(L"Three");
  EXPECT_EQ(::SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(tabs->TabIndex(), 0);
  tabs->Tabs()->Put(1, L"Second");
  wchar_t text[32] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 32;
  ::SendMessageW(wnd, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"Second");
  tabs->SetTabIndex(2);
  EXPECT_EQ(::SendMessageW(wnd, TCM_GETCURSEL, 0, 0), 2);
  tabs->Tabs()->Delete(0);
  EXPECT_EQ(::SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 2);

  // The display area lies below the tabs, inside the client area.
  const RECT display = tabs->DisplayRect();
  const RECT tab = tabs->TabRect(0);
  EXPECT_GE(display.top, tab.bottom);
  EXPECT_LT(display.bottom, tabs->ClientHeight());

  // Side and bottom tabs make new windows with the same tabs and selection.
  const int selected = tabs->TabIndex();
  tabs->SetTabPosition(tpBottom);
  EXPECT_TRUE(HasStyle(tabs->Handle(), TCS_BOTTOM));
  EXPECT_EQ(::SendMessageW(tabs->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(tabs->TabIndex(), selected);
  EXPECT_LE(tabs->DisplayRect().bottom, tabs->TabRect(0).top);
  tabs->SetTabPosition(tpRight);
  EXPECT_TRUE(HasStyle(tabs->Handle(), TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE));
  tabs->SetTabPosition(tpLeft);
  EXPECT_TRUE(HasStyle(tabs->Handle(), TCS_VERTICAL));
  EXPECT_FALSE(HasStyle(tabs->Handle(), TCS_RIGHT));
  EXPECT_EQ(tabs->TabPosition(), tpLeft);
  EXPECT_NE(tabs->Canvas()->Handle(), nullptr);
}

TEST(CommonControls, PageControlShowsThePageOfTheClickedTab) {
  FormFixture f;
  auto* pages = f.Add<TPageControl>(10, 10, 320, 200);
  TTabSheet* sheets[3];
  const wchar_t* captions[3] = {L"General", L"Details", L"More"};
  for (int i = 0; i < 3; ++i) {
    sheets[i] = Create<TTabSheet>(pages);
    sheets[i]->SetCaption(captions[i]);
    sheets[i]->SetPageControl(pages);
  }
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->Pages(1), sheets[1]);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);  // the first page shows at once
  EXPECT_EQ(pages->Tabs()->Count(), 3);
  EXPECT_EQ(pages->Tabs()->Get(2), L"More");
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  PumpMessages(30);
  // Pages fill the display area.
  const RECT display = pages->DisplayRect();
  EXPECT_EQ(sheets[0]->BoundsRect().left, display.left);
  EXPECT_EQ(sheets[0]->BoundsRect().top, display.top);
  EXPECT_EQ(sheets[0]->Width(), display.right - display.left);
  EXPECT_EQ(sheets[0]->Height(), display.bottom - display.top);

  int changes = 0;
  pages->OnChange = [&](TObject*) { ++changes; };
  const RECT tab = pages->TabRect(1);
  PostClientClick(pages->Handle(), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  ASSERT_TRUE(PumpUntil([&] { return changes == 1; }, 1000));
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  EXPECT_TRUE(::IsWindowVisible(sheets[1]->Handle()));
  EXPECT_FALSE(::IsWindowVisible(sheets[0]->Handle()));
  EXPECT_FALSE(::IsWindowVisible(sheets[2]->Handle()));
  EXPECT_EQ(sheets[1]->Width(), display.right - display.left);

  // OnChanging can keep the current page.
  pages->OnChanging = [](TObject*, bool& allow) { allow = false; };
  const RECT third = pages->TabRect(2);
  PostClientClick(pages->Handle(), (third.left + third.right) / 2, (third.top + third.bottom) / 2);
  PumpMessages(150);
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_EQ(changes, 1);
  pages->OnChanging = nullptr;

  // A hidden tab leaves the tab row; the active page moves on when its tab goes.
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
  sheets[1]->SetTabVisible(true);
  sheets[2]->SetPageIndex(0);
  EXPECT_EQ(pages->Tabs()->Get(0), L"More");
  sheets[0]->SetCaption(L"Renamed");
  EXPECT_EQ(pages->Tabs()->Get(1), L"Renamed");

  // Freeing a page takes it out of the control.
  sheets[2]->Free();
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_NE(pages->ActivePage(), nullptr);
  EXPECT_TRUE(pages->ActivePage()->Visible());
}

TEST(CommonControls, PageControlTurnsPagesWithCtrlTabAndTakesTheFocusFromAHiddenPage) {
  FormFixture f;
  auto* pages = f.Add<TPageControl>(10, 10, 320, 200);
  TTabSheet* sheets[3];
  for (auto*& sheet : sheets) {
    sheet = Create<TTabSheet>(pages);
    sheet->SetCaption(L"Page");
    sheet->SetPageControl(pages);
  }
  auto* edit = Create<TTestEdit>(sheets[0]);
  edit->SetBounds(10, 10, 80, 22);
  edit->SetParent(sheets[0]);
  edit->SetFocus();
  ASSERT_TRUE(edit->Focused());
  pages->SetActivePage(sheets[1]);
  EXPECT_TRUE(pages->Focused());

  int changes = 0;
  pages->OnChange = [&](TObject*) { ++changes; };
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  const BYTE savedCtrl = keys[VK_CONTROL], savedShift = keys[VK_SHIFT];
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  EXPECT_EQ(f.Form()->Perform(CM_DIALOGKEY, VK_TAB, 0), 1);
  const TTabSheet* afterNext = pages->ActivePage();
  keys[VK_SHIFT] = 0x80;
  ::SetKeyboardState(keys);
  f.Form()->Perform(CM_DIALOGKEY, VK_TAB, 0);
  const TTabSheet* afterPrevious = pages->ActivePage();
  f.Form()->Perform(CM_DIALOGKEY, VK_TAB, 0);  // wraps round to the last page
  keys[VK_CONTROL] = savedCtrl;
  keys[VK_SHIFT] = savedShift;
  ::SetKeyboardState(keys);
  EXPECT_EQ(afterNext, sheets[2]);
  EXPECT_EQ(afterPrevious, sheets[1]);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 0);
}

TEST(CommonControls, ImageListsReachTheWindowsAndLeaveWithTheirList) {
  FormFixture f;
  auto* images = Create<TImageList>(f.Form());
  auto* pages = f.Add<TPageControl>(10, 10, 200, 120);
  auto* tabs = f.Add<TTabControl>(220, 10, 200, 120);
  auto* tree = f.Add<TTreeView>(10, 140, 120, 120);
  auto* list = f.Add<TListView>(140, 140, 120, 120);
  for (int i = 0; i < 2; ++i) {
    auto* sheet = Create<TTabSheet>(pages);
    sheet->SetCaption(L"P");
    sheet->SetImageIndex(5 - i);
    sheet->SetPageControl(pages);
  }
  tabs->Tabs()->SetText(L"a\r\nb\r\nc");
  pages->SetImages(images);
  tabs->SetImages(images);
  tree->SetImages(images);
  list->SetSmallImages(images);
  list->SetLargeImages(images);
  const auto himl = reinterpret_cast<LRESULT>(images->Handle());
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETIMAGELIST, 0, 0), himl);
  EXPECT_EQ(::SendMessageW(tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), himl);
  EXPECT_EQ(::SendMessageW(list->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), himl);
  EXPECT_EQ(::SendMessageW(list->Handle(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0), himl);
  auto tabImage = [](TCustomTabControl* control, int index) {
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    ::SendMessageW(control->Handle(), TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  };
  EXPECT_EQ(tabImage(pages, 0), 5);  // a page's own image
  EXPECT_EQ(tabImage(pages, 1), 4);
  EXPECT_EQ(tabImage(tabs, 2), 2);  // a plain tab shows the image of its index
  // A list taken away leaves no dangling handle in any window.
  images->Free();
  EXPECT_EQ(pages->Images(), nullptr);
  EXPECT_EQ(tabs->Images(), nullptr);
  EXPECT_EQ(::SendMessageW(pages->Handle(), TCM_GETIMAGELIST, 0, 0), 0);
  EXPECT_EQ(::SendMessageW(tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
  EXPECT_EQ(::SendMessageW(list->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
  EXPECT_EQ(list->LargeImages(), nullptr);
  // Several rows of tabs when they do not fit in one.
  tabs->SetWidth(60);
  tabs->SetMultiLine(true);
  EXPECT_TRUE(HasStyle(tabs->Handle(), TCS_MULTILINE));
  EXPECT_GT(::SendMessageW(tabs->Handle(), TCM_GETROWCOUNT, 0, 0), 1);
  EXPECT_GT(tabs->DisplayRect().top, tabs->TabRect(0).bottom);
}
