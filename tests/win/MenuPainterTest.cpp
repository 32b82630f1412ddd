// The skinned menu item painter: sizes and pixels of items drawn through
// the framework's owner-draw messages into a bitmap, and one real popup.
#include <gtest/gtest.h>

#include <string>

#include "FrameTestSupport.h"
#include "draw/TextAndFonts.h"
#include "engine/NUVSkinEngine.h"
#include "framework/Menus.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

constexpr TColor kLine = 0x848284, kGrey = 0x808080;

// An engine with the three-section skin: its bar is a gradient and its
// selected fill differs from the selected frame.
struct ThreeSectEngine : EngineFixture {
  ThreeSectEngine() {
    const auto data = ThreeSectSkinData();
    engine->LoadSkinData(format::ByteSpan(data.data(), data.size()));
  }
  TColor Color(int index) const { return engine->FMenuColors[index]; }
};

// A bitmap an item is drawn into at `rect`, through WM_DRAWITEM as the
// framework's window procedure receives it.
struct Surface {
  Surface(int width, int height) : bitmap(width, height) {
    bitmap.Canvas()->Brush()->SetColor(clFuchsia);
    bitmap.Canvas()->FillRect(RECT{0, 0, width, height});
  }
  void Draw(TMenuItem* item, const RECT& rect, bool selected = false, bool enabled = true) {
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemData = reinterpret_cast<ULONG_PTR>(item);
    draw.itemState = (selected ? ODS_SELECTED : 0) | (enabled ? 0 : ODS_DISABLED | ODS_GRAYED);
    draw.hDC = bitmap.Canvas()->Handle();
    draw.rcItem = rect;
    LRESULT result = 0;
    EXPECT_TRUE(HandleMenuMessage(nullptr, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), result));
    ::GdiFlush();
  }
  TColor At(int x, int y) const { return bitmap.PixelAt(x, y); }
  int Count(TColor color, const RECT& r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == color;
    return n;
  }
  bool SameAs(const Surface& other) const {
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (At(x, y) != other.At(x, y)) return false;
    return true;
  }
  TBitmap bitmap;
};

SIZE Measure(TMenuItem* item) {
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_MENU;
  measure.itemData = reinterpret_cast<ULONG_PTR>(item);
  LRESULT result = 0;
  EXPECT_TRUE(HandleMenuMessage(nullptr, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), result));
  return SIZE{static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
}

TMenuItem* AddItem(TMenu* menu, TMenuItem* parent, const std::wstring& caption) {
  TMenuItem* item = Create<TMenuItem>(menu);
  item->SetCaption(caption);
  (parent ? parent : menu->Items())->Add(item);
  return item;
}

TImageList* SolidImages(TComponent* owner, int size, TColor color) {
  TImageList* images = TImageList::CreateSize(size, size);
  owner->InsertComponent(images);
  TBitmap image(size, size);
  image.Canvas()->Brush()->SetColor(color);
  image.Canvas()->FillRect(RECT{0, 0, size, size});
  images->Add(&image, nullptr);
  return images;
}

// The check mark as the image list draws it on a bar of `back`.
struct CheckMark : Surface {
  explicit CheckMark(TColor back, bool enabled = true) : Surface(16, 16) {
    bitmap.Canvas()->Brush()->SetColor(back);
    bitmap.Canvas()->FillRect(RECT{0, 0, 16, 16});
    CheckedMenuImages()->Draw(bitmap.Canvas(), 0, 0, 0, enabled);
    ::GdiFlush();
  }
};

int Mismatches(const Surface& s, const Surface& mark, int x0, int y0) {
  int n = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) n += s.At(x0 + x, y0 + y) != mark.At(x, y);
  return n;
}

}  // namespace

TEST(MenuPainter, SeparatorIsFiveHighWithBarBackgroundAndLineBothWays) {
  ThreeSectEngine f;
  TPopupMenu* menu = Create<TPopupMenu>(f.owner);
  TMenuItem* line = AddItem(menu, nullptr, L"-");
  f.engine->SkinMenu(menu);
  EXPECT_EQ(Measure(line).cy, 5);

  // Drawn below the top of the bitmap, so that every row counts from T.
  const int t = 10, right = 150;
  Surface s(right, 20);
  s.Draw(line, RECT{0, t, right, t + 5});
  EXPECT_EQ(s.At(0, t), f.Color(6));
  EXPECT_EQ(s.At(25, t + 4), f.Color(7));
  EXPECT_EQ(s.At(26, t), f.Color(8));
  EXPECT_EQ(s.At(29, t + 2), f.Color(8));
  EXPECT_EQ(s.Count(kLine, RECT{30, t + 2, right - 2, t + 3}), right - 32);
  EXPECT_EQ(s.At(right - 2, t + 2), f.Color(8));
  EXPECT_EQ(s.Count(kLine, RECT{0, t, right, t + 2}) + s.Count(kLine, RECT{0, t + 3, right, t + 5}), 0);
  EXPECT_EQ(s.At(0, t - 1), clFuchsia);
  EXPECT_EQ(s.At(0, t + 5), clFuchsia);

  // Right to left: the bar on the right, still running from start to end.
  menu->SetBiDiMode(bdRightToLeft);
  s.Draw(line, RECT{0, t, right, t + 5});
  EXPECT_EQ(s.At(right - 26, t), f.Color(6));
  EXPECT_EQ(s.At(right - 1, t), f.Color(7));
  EXPECT_EQ(s.At(right - 27, t), f.Color(8));
  EXPECT_EQ(s.At(0, t), f.Color(8));
  EXPECT_EQ(s.Count(kLine, RECT{2, t + 2, right - 30, t + 3}), right - 32);
  EXPECT_EQ(s.At(1, t + 2), f.Color(8));
  EXPECT_EQ(s.At(right - 30, t + 2), f.Color(8));
}

TEST(MenuPainter, BarAndHeightFollowTheItemsImageList) {
  EngineFixture f;
  const TColor bar = f.engine->FMenuColors[6], back = f.engine->FMenuColors[8];
  ASSERT_EQ(bar, f.engine->FMenuColors[7]);
  ASSERT_NE(bar, back);
  TPopupMenu* menu = Create<TPopupMenu>(f.owner);
  TMenuItem* item = AddItem(menu, nullptr, L"Item");
  TMenuItem* keyed = AddItem(menu, nullptr, L"Item");
  keyed->SetShortCut(ShortCut('S', {ssCtrl}));
  f.engine->SkinMenu(menu);

  TBitmap probe(1, 1);
  UseMenuFont(probe.Canvas()->Font());
  const int textWidth = probe.Canvas()->TextWidth(L"Item");
  const int shortcutWidth = probe.Canvas()->TextWidth(L"Ctrl+S");
  EXPECT_EQ(Measure(item).cx, textWidth + 66);
  EXPECT_EQ(Measure(keyed).cx, textWidth + shortcutWidth + 66);
  EXPECT_EQ(Measure(item).cy, 21);

  const auto barWidth = [&] {
    Surface s(120, 30);
    s.Draw(item, RECT{0, 0, 120, 30});
    int width = 0;
    while (width < 120 && s.At(width, 29) == bar) ++width;
    EXPECT_EQ(s.At(width, 29), back);
    return width;
  };
  EXPECT_EQ(barWidth(), 26);

  menu->SetImages(SolidImages(f.owner, 16, clRed));
  EXPECT_EQ(barWidth(), 26);
  EXPECT_EQ(Measure(item).cy, 21);

  menu->SetImages(SolidImages(f.owner, 24, clRed));
  EXPECT_EQ(barWidth(), 34);
  EXPECT_EQ(Measure(item).cy, 29);

  // The empty list a main menu is given counts as none.
  TMainMenu* main = Create<TMainMenu>(f.owner);
  TMenuItem* top = AddItem(main, nullptr, L"&File");
  top->SetName("FileMenu");
  TMenuItem* sub = AddItem(main, top, L"Open");
  f.engine->SkinMenu(main);
  ASSERT_EQ(main->Images(), DefaultMenuImages());
  EXPECT_EQ(Measure(sub).cy, 21);
  Surface s(120, 21);
  s.Draw(sub, RECT{0, 0, 120, 21});
  EXPECT_EQ(s.At(25, 10), bar);
  EXPECT_EQ(s.At(26, 10), back);
}

TEST(MenuPainter, TopLevelItemsOfMainMenusKeepTheFrameworksSizeAndLook) {
  EngineFixture f;
  TMainMenu* main = Create<TMainMenu>(f.owner);
  TMenuItem* top = AddItem(main, nullptr, L"&Edit");
  TMenuItem* sub = AddItem(main, top, L"&Edit");
  f.engine->SkinMenu(main);
  TBitmap probe(1, 1);
  int width = 0, height = 0;
  top->MeasureDefault(probe.Canvas(), width, height);
  EXPECT_EQ(Measure(top).cx, width);
  EXPECT_EQ(Measure(top).cy, height);
  EXPECT_EQ(Measure(sub).cy, 21);
  EXPECT_NE(Measure(sub).cx, Measure(top).cx);

  // They keep the framework's look too; their sub-items get the skin's.
  Surface skinned(60, 21), framework(60, 21);
  skinned.Draw(top, RECT{0, 0, 60, 21});
  top->DrawDefault(framework.bitmap.Canvas(), RECT{0, 0, 60, 21}, false);
  ::GdiFlush();
  EXPECT_TRUE(skinned.SameAs(framework));
  skinned.Draw(sub, RECT{0, 0, 60, 21});
  EXPECT_EQ(skinned.At(0, 0), f.engine->FMenuColors[6]);
}

TEST(MenuPainter, CheckMarkSitsInTheBarOrFramesTheImage) {
  EngineFixture f;
  const TColor bar = f.engine->FMenuColors[6], back = f.engine->FMenuColors[8];
  TPopupMenu* menu = Create<TPopupMenu>(f.owner);
  TMenuItem* item = AddItem(menu, nullptr, L"Checked");
  item->SetChecked(true);
  f.engine->SkinMenu(menu);
  const CheckMark mark(bar);
  ASSERT_GT(mark.Count(bar, RECT{0, 0, 16, 16}), 0);
  ASSERT_LT(mark.Count(bar, RECT{0, 0, 16, 16}), 256);

  // No list: centred in the 26-pixel bar of a 21-pixel item.
  const int t = 4;
  Surface s(160, 40);
  s.Draw(item, RECT{0, t, 160, t + 21});
  EXPECT_EQ(Mismatches(s, mark, 5, t + 2), 0);

  // A disabled item shows the check mark's disabled look.
  item->SetEnabled(false);
  s.Draw(item, RECT{0, t, 160, t + 21});
  EXPECT_EQ(Mismatches(s, CheckMark(bar, false), 5, t + 2), 0);
  item->SetEnabled(true);

  // An index outside a 24 x 24 list: the check mark again, in the wider bar.
  TImageList* images = SolidImages(f.owner, 24, clRed);
  menu->SetImages(images);
  item->SetImageIndex(1);
  s.Draw(item, RECT{0, t, 160, t + 29});
  EXPECT_EQ(Mismatches(s, mark, 9, t + 6), 0);
  EXPECT_EQ(s.Count(clRed, RECT{0, 0, 160, 40}), 0);

  // An image it shows: a black frame on the item colour around it.
  menu->SetImages(SolidImages(f.owner, 16, clRed));
  item->SetImageIndex(0);
  s.Draw(item, RECT{0, t, 160, t + 21});
  EXPECT_EQ(s.Count(clRed, RECT{4, t + 3, 20, t + 19}), 256);
  EXPECT_EQ(s.Count(clRed, RECT{0, 0, 160, 40}), 256);
  EXPECT_EQ(s.Count(clBlack, RECT{2, t + 1, 21, t + 2}), 19);   // top
  EXPECT_EQ(s.Count(clBlack, RECT{2, t + 19, 21, t + 20}), 19);  // bottom
  EXPECT_EQ(s.Count(clBlack, RECT{2, t + 1, 3, t + 20}), 19);   // left
  EXPECT_EQ(s.Count(clBlack, RECT{20, t + 1, 21, t + 20}), 19);  // right
  EXPECT_EQ(s.Count(back, RECT{3, t + 2, 20, t + 3}), 17);
  EXPECT_EQ(s.Count(back, RECT{3, t + 2, 4, t + 19}), 17);
  EXPECT_EQ(s.At(1, t + 10), bar);
  EXPECT_EQ(s.At(22, t + 10), bar);

  // Unchecked, the same image has no frame.
  item->SetChecked(false);
  s.Draw(item, RECT{0, t, 160, t + 21});
  EXPECT_EQ(s.Count(clBlack, RECT{0, 0, 26, 40}), 0);
  EXPECT_EQ(s.At(2, t + 10), bar);
}

TEST(MenuPainter, SelectionFillsOnlyEnabledItemsAndSetsTheTextColour) {
  ThreeSectEngine f;
  ASSERT_NE(f.Color(10), f.Color(11));
  TPopupMenu* menu = Create<TPopupMenu>(f.owner);
  TMenuItem* item = AddItem(menu, nullptr, L"Selected item");
  f.engine->SkinMenu(menu);
  const RECT rect{0, 0, 160, 21}, caption{30, 0, 160, 21};

  Surface normal(160, 21);
  normal.Draw(item, rect);
  EXPECT_GT(normal.Count(f.Color(9), caption), 10);
  EXPECT_EQ(normal.Count(f.Color(12), caption), 0);

  Surface selected(160, 21);
  selected.Draw(item, rect, true);
  EXPECT_EQ(selected.At(0, 0), f.Color(11));
  EXPECT_EQ(selected.At(159, 20), f.Color(11));
  EXPECT_EQ(selected.At(1, 1), f.Color(10));
  EXPECT_EQ(selected.At(12, 10), f.Color(10)) << "no bar under the selection";
  EXPECT_EQ(selected.Count(f.Color(11), RECT{1, 1, 159, 20}), 0);
  EXPECT_GT(selected.Count(f.Color(12), caption), 10);
  EXPECT_EQ(selected.Count(f.Color(9), caption), 0);

  // Disabled: the mouse over it changes nothing; the text is grey.
  item->SetEnabled(false);
  Surface disabled(160, 21), disabledSelected(160, 21);
  disabled.Draw(item, rect, false, false);
  disabledSelected.Draw(item, rect, true, false);
  EXPECT_TRUE(disabledSelected.SameAs(disabled));
  EXPECT_EQ(disabledSelected.Count(f.Color(10), rect), 0);
  EXPECT_GT(disabledSelected.Count(kGrey, caption), 10);
  EXPECT_EQ(disabledSelected.Count(f.Color(9), caption), 0);
  EXPECT_EQ(disabledSelected.At(0, 0), f.Color(6));

  // The menu's default item is bold.
  item->SetEnabled(true);
  item->SetDefault(true);
  Surface bold(160, 21);
  bold.Draw(item, rect);
  EXPECT_GT(bold.Count(f.Color(9), caption), normal.Count(f.Color(9), caption) * 6 / 5);
}

TEST(MenuPainter, RightToLeftMirrorsBarMarksImagesAndBitmaps) {
  EngineFixture f;
  const TColor bar = f.engine->FMenuColors[6], back = f.engine->FMenuColors[8];
  TPopupMenu* menu = Create<TPopupMenu>(f.owner);
  menu->SetBiDiMode(bdRightToLeft);
  TMenuItem* item = AddItem(menu, nullptr, L"Item");
  item->SetShortCut(ShortCut(VK_F5, {}));
  f.engine->SkinMenu(menu);
  const int w = 160;
  Surface s(w, 21);
  s.Draw(item, RECT{0, 0, w, 21});
  EXPECT_EQ(s.At(w - 1, 20), bar);
  EXPECT_EQ(s.At(w - 26, 20), bar);
  EXPECT_EQ(s.At(w - 27, 20), back);
  EXPECT_EQ(s.At(0, 20), back);
  // The shortcut is on the left, 30 pixels in.
  EXPECT_EQ(s.Count(f.engine->FMenuColors[9], RECT{0, 0, 30, 21}), 0);
  EXPECT_GT(s.Count(f.engine->FMenuColors[9], RECT{30, 0, 60, 21}), 5);

  item->SetCaption(L"");
  item->SetShortCut(scNone);
  item->SetChecked(true);
  s.Draw(item, RECT{0, 0, w, 21});
  EXPECT_EQ(Mismatches(s, CheckMark(bar), w - 20, 3), 0);

  menu->SetImages(SolidImages(f.owner, 16, clRed));
  item->SetImageIndex(0);
  s.Draw(item, RECT{0, 0, w, 21});
  EXPECT_EQ(s.Count(clRed, RECT{w - 20, 3, w - 4, 19}), 256);
  EXPECT_EQ(s.Count(clBlack, RECT{w - 21, 1, w - 2, 2}), 19);
  EXPECT_EQ(s.Count(clBlack, RECT{w - 3, 1, w - 2, 20}), 19);

  // The item's own bitmap: the box of the left-to-right case, mirrored.
  menu->SetImages(nullptr);
  item->SetImageIndex(-1);
  item->SetChecked(false);
  item->Bitmap()->SetSize(8, 8);
  item->Bitmap()->Canvas()->Brush()->SetColor(clBlue);
  item->Bitmap()->Canvas()->FillRect(RECT{0, 0, 8, 8});
  s.Draw(item, RECT{0, 0, w, 21});
  EXPECT_EQ(s.Count(clBlue, RECT{w - 20, 3, w - 4, 19}), 256);
  EXPECT_EQ(s.Count(clBlue, RECT{0, 0, w, 21}), 256);
  menu->SetBiDiMode(bdLeftToRight);
  s.Draw(item, RECT{0, 0, w, 21});
  EXPECT_EQ(s.Count(clBlue, RECT{4, 3, 20, 19}), 256);
  EXPECT_EQ(s.Count(clBlue, RECT{0, 0, w, 21}), 256);
}

TEST(MenuPainter, CaptionsAreWideTextWithAcceleratorMarks) {
  EngineFixture f;
  const TColor text = f.engine->FMenuColors[9];
  TPopupMenu* menu = Create<TPopupMenu>(f.owner);
  menu->SetAutoHotkeys(maManual);
  TMenuItem* item = AddItem(menu, nullptr, L"");
  f.engine->SkinMenu(menu);
  const RECT rect{0, 0, 200, 21};
  const auto drawn = [&](const std::wstring& caption, Surface& s) {
    item->SetCaption(caption);
    s.Draw(item, rect);
  };
  const auto rightmostText = [&](const Surface& s) {
    for (int x = 199; x >= 0; --x)
      if (s.Count(text, RECT{x, 0, x + 1, 21}) > 0) return x;
    return -1;
  };

  // "&" marks the accelerator: the mark is not drawn, the letter underlined.
  Surface plain(200, 21), marked(200, 21);
  drawn(L"Item", plain);
  drawn(L"&Item", marked);
  EXPECT_EQ(rightmostText(marked), rightmostText(plain));
  EXPECT_GT(marked.Count(text, rect), plain.Count(text, rect));
  EXPECT_GE(rightmostText(plain), 30);

  // Letters outside the 8-bit code page are drawn as themselves.
  Surface greek(200, 21), questions(200, 21);
  drawn(L"\u03A9\u03A8\u03A6", greek);
  drawn(L"???", questions);
  EXPECT_FALSE(greek.SameAs(questions));
  EXPECT_GT(greek.Count(text, rect), 10);
}

namespace {

HWND FindPopupWindow() {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  return popup && ::IsWindowVisible(popup) ? popup : nullptr;
}

}  // namespace

// Shows the menu at (150, 150), moves the selection down `downKeys` items,
// and captures the popup window from the screen.
Image CapturePopup(TPopupMenu* menu, int downKeys, RECT& popupRect) {
  TForm* form = ShownForm(100, 100, 300, 200);
  Image capture;
  RunSoon(
      [&] {
        for (int i = 0; i < downKeys; ++i)
          if (HWND popup = FindPopupWindow()) PostKeyPress(popup, VK_DOWN);
        RunSoon(
            [&] {
              if (HWND popup = FindPopupWindow()) {
                ::GetWindowRect(popup, &popupRect);
                capture = CaptureScreenAround(popup, 0);
              }
              ::EndMenu();
            },
            200);
      },
      300);
  menu->Popup(150, 150);
  form->Free();
  return capture;
}

TEST(MenuPainter, RealPopupShowsTheSkinnedItems) {
  ThreeSectEngine f;
  TPopupMenu* menu = Create<TPopupMenu>(f.owner);
  AddItem(menu, nullptr, L"&Open...")->SetShortCut(ShortCut('O', {ssCtrl}));
  TMenuItem* save = AddItem(menu, nullptr, L"&Save");
  save->SetDefault(true);
  AddItem(menu, nullptr, L"-");
  AddItem(menu, nullptr, L"&Word wrap")->SetChecked(true);
  AddItem(menu, nullptr, L"&Disabled")->SetEnabled(false);
  AddItem(menu, nullptr, L"E&xit")->SetShortCut(ShortCut(VK_F4, {ssAlt}));
  f.engine->SkinMenu(menu);

  RECT popupRect{};
  const Image capture = CapturePopup(menu, 2, popupRect);
  ASSERT_FALSE(capture.Empty()) << "the popup did not open";
  SaveScreenshot(capture, L"menu-painter-popup");

  // The bar runs down the left of every item except the selected one.
  const int width = capture.Width(), height = capture.Height();
  EXPECT_GE(popupRect.bottom - popupRect.top, 21 * 5 + 5);
  EXPECT_GT(capture.Count(0, 0, width, height, f.Color(8)), 1000);
  EXPECT_GT(capture.Count(0, 0, width, height, kLine), 20);
  EXPECT_GT(capture.Count(0, 0, width, height, kGrey), 10);
  EXPECT_GT(capture.Count(0, 0, width, height, f.Color(10)), 21 * 40);
  EXPECT_GT(capture.Count(0, 0, width, height, f.Color(12)), 10);
  int barRows = 0;
  for (int y = 0; y < height; ++y) barRows += capture.Count(0, y, width / 2, 1, f.Color(6)) > 0;
  EXPECT_GT(barRows, height - 30);
}
