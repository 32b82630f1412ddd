#include <algorithm>
#include <string>

#include "draw/CanvasPrimitives.h"
#include "draw/MenuHelpers.h"
#include "draw/PlatformFunctions.h"
#include "draw/TextAndFonts.h"
#include "engine/NUVSkinEngine.h"

namespace nuvskin {

namespace {

constexpr TColor kSeparatorColor = 0x848284;

// The list whose images the item shows; the empty list main menus are given
// only to make them owner-drawn stands for none.
TCustomImageList* ItemImages(const TMenuItem* item) {
  TCustomImageList* images = GetMenuItemImages(item);
  return images == DefaultMenuImages() ? nullptr : images;
}

bool IsTopLevelOfMainMenu(const TMenuItem* item) {
  const TMenu* menu = item->GetParentMenu();
  return menu && menu->InheritsFrom(TMainMenu::StaticClass()) && item->Parent() == menu->Items();
}

void UseItemFont(TCanvas* canvas, const TMenuItem* item) {
  UseMenuFont(canvas->Font());
  if (item->Default()) canvas->Font()->SetStyle(canvas->Font()->Style() + TFontStyles{fsBold});
}

// DrawTextW for classes whose Caption is wide text (on NT); otherwise the
// text as the system's 8-bit code page has it.
void DrawItemText(HDC dc, const TMenuItem* item, const std::wstring& text, RECT r, UINT format) {
  const PropInfo* caption = GetPropInfo(item, "Caption");
  if (caption && caption->kind == TypeKind::WString && IsWinNT()) {
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    return;
  }
  const int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(std::max(0, size)), '\0');
  if (size > 0)
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), ansi.data(), size, nullptr,
                          nullptr);
  ::DrawTextA(dc, ansi.c_str(), static_cast<int>(ansi.size()), &r, format);
}

}  // namespace

void TnuvSkinEngine::MeasureMenuItem(TObject* sender, TCanvas* canvas, int& width, int& height) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item || !canvas || IsTopLevelOfMainMenu(item)) return;
  TCustomImageList* images = ItemImages(item);
  const int imageExtra = images ? images->Height() + 5 : 0;
  // Measured in the font the item is drawn in.
  UseItemFont(canvas, item);
  const std::wstring& caption = item->Caption();
  height = item->IsLine() ? 5 : std::max({canvas->TextHeight(caption), 21, imageExtra});
  width = canvas->TextWidth(caption) + canvas->TextWidth(ShortCutToText(item->ShortCut())) + 66;
}

void TnuvSkinEngine::DrawMenuItem(TObject* sender, TCanvas* canvas, const RECT& rect, bool selected) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item || !canvas) return;
  // The items of a menu bar are the skinned menu bar's to draw; while the
  // platform's bar still shows them they keep the framework's look, as
  // they keep its size.
  if (IsTopLevelOfMainMenu(item)) {
    item->DrawDefault(canvas, rect, selected);
    return;
  }
  const TMenu* menu = item->GetParentMenu();
  const bool ltr = !menu || menu->BiDiMode() == bdLeftToRight;
  TCustomImageList* images = ItemImages(item);
  const int barWidth = images ? images->Width() + 10 : 26;
  const int imageHeight = images ? images->Height() : 16;
  const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;

  const auto paintBarAndBackground = [&] {
    const RECT bar = ltr ? RECT{l, t, l + barWidth, b} : RECT{r - barWidth, t, r, b};
    if (FMenuColors[6] == FMenuColors[7])
      FillRectColor(canvas, bar, FMenuColors[6]);
    else
      GradientFillH(canvas, bar, FMenuColors[6], FMenuColors[7]);
    FillRectColor(canvas, ltr ? RECT{l + barWidth, t, r, b} : RECT{l, t, r - barWidth, b}, FMenuColors[8]);
  };

  if (item->IsLine()) {
    paintBarAndBackground();
    DrawMenuSeparator(canvas, rect, kSeparatorColor, barWidth, ltr);
    return;
  }

  const bool enabled = item->Enabled();
  if (selected && enabled) {
    FillRectColor(canvas, rect, FMenuColors[10]);
    FrameRectColor(canvas, rect, FMenuColors[11]);
  } else {
    paintBarAndBackground();
  }

  UseItemFont(canvas, item);
  canvas->Font()->SetColor(!enabled ? FDisabledMenuFontColor : selected ? FMenuColors[12] : FMenuColors[9]);
  canvas->Brush()->SetStyle(bsClear);
  const HDC dc = canvas->Handle();
  const RECT textRect = ltr ? RECT{l + barWidth + 4, t, r, b} : RECT{l + barWidth + 4, t, r - 4, b};
  DrawItemText(dc, item, item->DisplayCaption(), textRect, DT_SINGLELINE | DT_VCENTER | (ltr ? 0u : DT_RIGHT));

  const std::wstring shortcut = ShortCutToText(item->ShortCut());
  if (!shortcut.empty()) {
    const int shortcutWidth = canvas->TextWidth(shortcut);
    const RECT shortcutRect = ltr ? RECT{r - shortcutWidth - 16, t, r, b} : RECT{l + 30, t, r, b};
    DrawItemText(dc, item, shortcut, shortcutRect, DT_SINGLELINE | DT_VCENTER);
  }

  const int index = item->ImageIndex();
  const bool showsImage = images && index >= 0 && index < images->Count();
  if (item->Checked()) {
    if (!showsImage) {
      TCustomImageList* check = CheckedMenuImages();
      const int x = ltr ? l + (barWidth - check->Width()) / 2 : r - 4 - check->Width();
      const int y = ltr ? t + (imageHeight + 5 - check->Height()) / 2 : t + 3;
      check->Draw(canvas, x, y, 0, enabled);
    } else if (ltr) {
      FrameRectColor(canvas, RECT{l + 2, t + 1, l + barWidth - 5, t + imageHeight + 4}, clBlack);
      FillRectColor(canvas, RECT{l + 3, t + 2, l + barWidth - 6, t + imageHeight + 3}, FMenuColors[8]);
    } else {
      FrameRectColor(canvas, RECT{r - barWidth + 5, t + 1, r - 2, t + imageHeight + 4}, clBlack);
      FillRectColor(canvas, RECT{r - barWidth + 6, t + 2, r - 3, t + imageHeight + 3}, FMenuColors[8]);
    }
  }

  if (index != -1 && images) {
    if (index < images->Count()) images->Draw(canvas, ltr ? l + 4 : r - images->Width() - 4, t + 3, index, enabled);
  } else if (item->HasBitmap()) {
    // Right to left, the 16 x 16 box mirrors the left-to-right one: 4 pixels
    // in from the right edge, where the bar is.
    const RECT box = ltr ? RECT{l + 4, t + 3, l + 20, t + 19} : RECT{r - 20, t + 3, r - 4, t + 19};
    canvas->StretchDraw(box, item->Bitmap());
  }
}

}  // namespace nuvskin
