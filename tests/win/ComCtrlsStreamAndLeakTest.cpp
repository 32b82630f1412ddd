// The common controls through the form stream, and a leak check: building,
// remaking and freeing every control gives back every GDI and USER handle.
#include <gtest/gtest.h>

#include "ComCtrlsTestSupport.h"
#include "framework/DateTimePicker.h"
#include "framework/Grids.h"
#include "framework/ListView.h"
#include "framework/RangeControls.h"
#include "framework/Streams.h"
#include "framework/TabControls.h"
#include "framework/TreeView.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

template <class T>
T* Named(TForm* form, const char* name) {
  T* control = Create<T>(form);
  control->SetName(name);
  control->SetParent(form);
  return control;
}

template <class T>
T* Find(TComponent* root, const char* name) {
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (root->Components(i)->Name() == name) return dynamic_cast<T*>(root->Components(i));
  return nullptr;
}

}  // namespace

TEST(CommonControlsStream, RoundTripKeepsTheControlsProperties) {
  TForm* form = Create<TForm>(nullptr);
  form->SetName("StreamForm");
  auto* pages = Named<TPageControl>(form, "Pages");
  for (const char* name : {"SheetA", "SheetB"}) {
    auto* sheet = Create<TTabSheet>(form);
    sheet->SetName(name);
    sheet->SetCaption(Utf8ToWide(name));
    sheet->SetPageControl(pages);
  }
  pages->SetActivePage(Find<TTabSheet>(form, "SheetB"));
  pages->SetTabPosition(tpBottom);
  auto* tabs = Named<TTabControl>(form, "Tabs");
  tabs->Tabs()->SetText(L"x\r\ny\r\nz");
  tabs->SetTabIndex(2);
  auto* track = Named<TTrackBar>(form, "Track");
  track->SetMax(40);
  track->SetPosition(33);
  track->SetTickMarks(tmTopLeft);
  auto* list = Named<TListView>(form, "List");
  list->SetViewStyle(vsReport);
  list->Columns()->Add()->SetCaption(L"Name");
  list->Columns()->Add()->SetWidth(77);
  auto* grid = Named<TStringGrid>(form, "Grid");
  grid->SetColCount(7);
  grid->SetFixedColor(clYellow);
  grid->SetOptions(TGridOptions{goRowSelect, goTabs});
  auto* picker = Named<TDateTimePicker>(form, "Picker");
  picker->SetKind(dtkTime);
  auto* tree = Named<TTreeView>(form, "Tree");
  tree->SetShowLines(false);
  tree->SetBorderStyle(bsNone);

  TMemoryStream stream;
  stream.WriteComponent(form);
  TObject::Free(form);
  stream.SetPosition(0);
  auto* back = dynamic_cast<TForm*>(stream.ReadComponent(nullptr));
  ASSERT_NE(back, nullptr);
  auto* pages2 = Find<TPageControl>(back, "Pages");
  ASSERT_NE(pages2, nullptr);
  EXPECT_EQ(pages2->PageCount(), 2);
  EXPECT_EQ(pages2->ActivePage(), Find<TTabSheet>(back, "SheetB"));
  EXPECT_EQ(pages2->Tabs()->Text(), L"SheetA\r\nSheetB\r\n");
  EXPECT_EQ(pages2->TabPosition(), tpBottom);
  auto* tabs2 = Find<TTabControl>(back, "Tabs");
  ASSERT_NE(tabs2, nullptr);
  EXPECT_EQ(tabs2->Tabs()->Count(), 3);
  EXPECT_EQ(tabs2->TabIndex(), 2);
  auto* track2 = Find<TTrackBar>(back, "Track");
  ASSERT_NE(track2, nullptr);
  EXPECT_EQ(track2->Max(), 40);
  EXPECT_EQ(track2->Position(), 33);
  EXPECT_EQ(track2->TickMarks(), tmTopLeft);
  auto* list2 = Find<TListView>(back, "List");
  ASSERT_NE(list2, nullptr);
  EXPECT_EQ(list2->ViewStyle(), vsReport);
  ASSERT_EQ(list2->Columns()->Count(), 2);
  EXPECT_EQ(list2->Columns()->Items(0)->Caption(), L"Name");
  EXPECT_EQ(list2->Columns()->Items(1)->Width(), 77);
  auto* grid2 = Find<TStringGrid>(back, "Grid");
  ASSERT_NE(grid2, nullptr);
  EXPECT_EQ(grid2->ColCount(), 7);
  EXPECT_EQ(grid2->FixedColor(), clYellow);
  EXPECT_EQ(grid2->Options(), (TGridOptions{goRowSelect, goTabs}));
  EXPECT_EQ(Find<TDateTimePicker>(back, "Picker")->Kind(), dtkTime);
  EXPECT_FALSE(Find<TTreeView>(back, "Tree")->ShowLines());
  EXPECT_EQ(Find<TTreeView>(back, "Tree")->BorderStyle(), bsNone);

  // The read form makes working windows.
  back->Show();
  EXPECT_EQ(::SendMessageW(pages2->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(::SendMessageW(list2->HeaderHandle(), HDM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_TRUE(::IsWindowVisible(Find<TTabSheet>(back, "SheetB")->Handle()));
  TObject::Free(back);
}

TEST(CommonControlsLeaks, BuildingRemakingAndFreeingGivesBackEveryHandle) {
  auto cycle = [] {
    TForm* form = Create<TForm>(nullptr);
    form->SetBounds(40, 40, 500, 400);
    auto add = [&](auto* control, int left, int top) {
      control->SetBounds(left, top, 150, 100);
      control->SetParent(form);
      return control;
    };
    auto* progress = add(Create<TProgressBar>(form), 0, 0);
    auto* track = add(Create<TTrackBar>(form), 0, 100);
    auto* edit = add(Create<TTestEdit>(form), 0, 200);
    auto* updown = add(Create<TUpDown>(form), 150, 200);
    auto* picker = add(Create<TDateTimePicker>(form), 0, 300);
    auto* pages = add(Create<TPageControl>(form), 150, 0);
    auto* tree = add(Create<TTreeView>(form), 300, 0);
    auto* list = add(Create<TListView>(form), 300, 100);
    auto* grid = add(Create<TStringGrid>(form), 300, 200);
    auto* tabs = add(Create<TTabControl>(form), 150, 100);
    // Created last, freed first: the controls must let go of it.
    auto* images = Create<TImageList>(form);
    form->Show();
    updown->SetAssociate(edit);
    for (int i = 0; i < 3; ++i) {
      auto* sheet = Create<TTabSheet>(form);
      sheet->SetCaption(L"Page");
      sheet->SetPageControl(pages);
    }
    tabs->Tabs()->SetText(L"a\r\nb");
    tabs->SetImages(images);
    pages->SetImages(images);
    tree->SetImages(images);
    list->SetSmallImages(images);
    list->SetLargeImages(images);
    TTreeNode* root = tree->Items()->Add(nullptr, L"root");
    tree->Items()->AddChild(root, L"child")->SetSelected(true);
    list->Columns()->Add()->SetCaption(L"c");
    list->Items()->Add()->SetCaption(L"i");
    grid->SetCells(1, 1, L"g");
    PumpMessages(20);
    // New windows for each of them.
    progress->SetOrientation(pbVertical);
    track->SetOrientation(trVertical);
    picker->SetDateMode(dmUpDown);
    pages->SetTabPosition(tpLeft);
    tree->SetShowLines(false);
    list->SetViewStyle(vsReport);
    grid->SetScrollBars(ssNone);
    PumpMessages(20);
    images->Free();
    EXPECT_EQ(list->SmallImages(), nullptr);
    EXPECT_EQ(tree->Images(), nullptr);
    form->Free();
  };
  cycle();  // warms up cached objects and registers the classes
  const int gdi = GdiHeadroom();
  EXPECT_EQ(UserHandlesLeaked([&] {
              cycle();
              cycle();
            }),
            0);
  EXPECT_EQ(GdiHeadroom(), gdi);
}
