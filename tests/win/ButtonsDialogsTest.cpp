// Glyph buttons, speed buttons, images, timers and the message dialog; a
// gallery form with every standard control, captured and checked for leaks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StdCtrlsTestSupport.h"
#include "framework/Dialogs.h"
#include "framework/ExtStdCtrls.h"
#include "framework/Mask.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

template <class T>
T* Place(TWinControl* parent, int left, int top, int width = -1, int height = -1) {
  T* c = Create<T>(parent);
  c->SetBounds(left, top, width < 0 ? c->Width() : width, height < 0 ? c->Height() : height);
  c->SetParent(parent);
  return c;
}

// The mean x of the pixels of one colour, or -1 when there is none.
int MeanX(const Image& image, Pixel color) {
  long long sum = 0, n = 0;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      if (image.At(x, y) == color) {
        sum += x;
        ++n;
      }
  return n ? static_cast<int>(sum / n) : -1;
}

constexpr Pixel kGreen = image::Rgb(0, 128, 0);  // the OK glyph's check mark

// One of every standard control, as a user would arrange them.
void BuildGallery(TForm* form) {
  form->SetCaption(L"Standard controls");
  auto* ok = Place<TBitBtn>(form, 10, 10, 90, 28);
  ok->SetKind(bkOK);
  Place<TBitBtn>(form, 110, 10, 90, 28)->SetKind(bkCancel);
  auto* button = Place<TButton>(form, 210, 10, 90, 28);
  button->SetCaption(L"&Button");
  auto* check = Place<TCheckBox>(form, 10, 48, 110, 20);
  check->SetCaption(L"Check box");
  check->SetState(cbChecked);
  auto* grayed = Place<TCheckBox>(form, 130, 48, 110, 20);
  grayed->SetCaption(L"Grayed");
  grayed->SetAllowGrayed(true);
  grayed->SetState(cbGrayed);
  auto* radio = Place<TRadioButton>(form, 250, 48, 110, 20);
  radio->SetCaption(L"Radio");
  radio->SetChecked(true);
  auto* label = Place<TLabel>(form, 10, 80);
  label->SetCaption(L"&Name:");
  auto* edit = Place<TEdit>(form, 60, 76, 120, 22);
  edit->SetText(L"Edit text");
  label->SetFocusControl(edit);
  auto* mask = Place<TMaskEdit>(form, 190, 76, 100, 22);
  mask->SetEditMask(L"000-0000;0;_");
  mask->SetText(L"5551234");
  auto* memo = Place<TMemo>(form, 10, 108, 170, 70);
  memo->SetScrollBars(ssVertical);
  for (int i = 1; i <= 8; ++i) memo->Lines()->Add(L"Memo line " + IntToStrW(i));
  auto* list = Place<TListBox>(form, 190, 108, 100, 70);
  for (const wchar_t* s : {L"Apple", L"Banana", L"Cherry", L"Date"}) list->Items()->Add(s);
  list->SetItemIndex(1);
  auto* combo = Place<TComboBox>(form, 300, 108, 110, 24);
  for (const wchar_t* s : {L"Red", L"Green", L"Blue"}) combo->Items()->Add(s);
  combo->SetItemIndex(2);
  auto* comboEx = Place<TComboBoxEx>(form, 300, 140, 110, 24);
  comboEx->ItemsEx()->AddItem(L"Extended");
  comboEx->SetItemIndex(0);
  auto* bar = Place<TScrollBar>(form, 10, 188, 170, 17);
  bar->SetPosition(40);
  auto* group = Place<TGroupBox>(form, 190, 184, 220, 70);
  group->SetCaption(L"Group box");
  for (int i = 0; i < 3; ++i) {
    auto* speed = Place<TSpeedButton>(group, 10 + 26 * i, 24, 24, 24);
    speed->SetCaption(std::wstring(1, static_cast<wchar_t>(L'A' + i)));
    speed->SetGroupIndex(1);
    if (i == 1) speed->SetDown(true);
  }
  auto* flat = Place<TSpeedButton>(group, 100, 24, 60, 24);
  flat->SetFlat(true);
  flat->SetCaption(L"Flat");
  auto* panel = Place<TPanel>(form, 10, 214, 170, 40);
  panel->SetCaption(L"Panel");
  panel->SetBevelInner(bvLowered);
  auto* rich = Place<TRichEdit>(form, 10, 264, 170, 40);
  rich->Lines()->Add(L"Rich edit");
  auto* hot = Place<THotKey>(form, 190, 264, 100, 22);
  hot->SetHotKey(ShortCut('S', {ssCtrl}));
  auto* image = Place<TImage>(form, 300, 264, 32, 32);
  image->Picture()->Icon()->SetHandle(::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION)));
  auto* box = Place<TScrollBox>(form, 340, 264, 70, 40);
  Place<TButton>(box, 0, 0, 90, 60)->SetCaption(L"Scrolled");
}

}  // namespace

TEST(ButtonLayout, MarginAndSpacingFollowTheClassicRules) {
  win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
  const std::wstring caption = L"Caption";
  RECT m{0, 0, 0, 0};
  ::DrawTextW(dc.Get(), caption.c_str(), -1, &m, DT_CALCRECT);
  const int tw = m.right, th = m.bottom;
  const RECT client{1, 1, 99, 31};  // 98 x 30
  const SIZE glyph{16, 16};

  // Both -1: the free space is shared in three.
  TGlyphPlacement p = LayoutGlyphAndCaption(dc.Get(), client, glyph, caption, blGlyphLeft, -1, -1, 0, false);
  const int share = (98 - 16 - tw) / 3;
  EXPECT_EQ(p.glyph.x, 1 + share);
  EXPECT_EQ(p.caption.left, 1 + share + 16 + share);
  EXPECT_EQ(p.glyph.y, 1 + (30 - 16 + 1) / 2);
  EXPECT_EQ(p.caption.top, 1 + (30 - th + 1) / 2);
  // Margin -1 with a spacing: glyph and caption centred together.
  p = LayoutGlyphAndCaption(dc.Get(), client, glyph, caption, blGlyphLeft, -1, 4, 0, false);
  EXPECT_EQ(p.glyph.x, 1 + (98 - (16 + 4 + tw) + 1) / 2);
  EXPECT_EQ(p.caption.left, p.glyph.x + 16 + 4);
  // A margin with spacing -1: the caption centred in what is left.
  p = LayoutGlyphAndCaption(dc.Get(), client, glyph, caption, blGlyphLeft, 3, -1, 0, false);
  EXPECT_EQ(p.glyph.x, 4);
  EXPECT_EQ(p.caption.left, 4 + 16 + (98 - (3 + 16) - tw) / 2);
  // Right to left, a glyph-left layout puts the glyph on the right.
  p = LayoutGlyphAndCaption(dc.Get(), client, glyph, caption, blGlyphLeft, 5, 4, 0, true);
  EXPECT_EQ(p.glyph.x, 1 + 98 - 5 - 16);
  EXPECT_EQ(p.caption.right, p.glyph.x - 4);
  // Glyph on top: the other axis.
  p = LayoutGlyphAndCaption(dc.Get(), client, glyph, caption, blGlyphTop, 2, 3, 0, false);
  EXPECT_EQ(p.glyph.y, 3);
  EXPECT_EQ(p.caption.top, 3 + 16 + 3);
  EXPECT_EQ(p.glyph.x, 1 + (98 - 16 + 1) / 2);
  // Without a caption the spacing does not count.
  p = LayoutGlyphAndCaption(dc.Get(), client, glyph, L"", blGlyphBottom, -1, 10, 0, false);
  EXPECT_EQ(p.glyph.y, 1 + 30 - (30 - 16 + 1) / 2 - 16);
}

TEST(BitBtns, KindsGiveCaptionResultAndAGlyphPlacedByTheLayout) {
  TForm* form = ShownForm();
  auto* ok = Place<TBitBtn>(form, 10, 10, 120, 32);
  ok->SetKind(bkOK);
  EXPECT_EQ(ok->Caption(), L"OK");
  EXPECT_EQ(ok->ModalResult(), mrOk);
  EXPECT_TRUE(ok->Default());
  EXPECT_EQ(ok->NumGlyphs(), 2);
  EXPECT_EQ(ok->Glyph()->Width(), 36);
  EXPECT_EQ(WindowClassOf(ok->Handle()), "TBitBtn");
  EXPECT_EQ(::GetWindowLongPtrW(ok->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  ::SendMessageW(ok->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
  // A double click is two clicks, not a lost one.
  ::PostMessageW(ok->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::PostMessageW(ok->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ::PostMessageW(ok->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  ::PostMessageW(ok->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  AppPump(60);
  EXPECT_EQ(clicks, 3);

  AppPump(60);
  const int middle = ok->Width() / 2;
  EXPECT_LT(MeanX(CaptureControl(ok), kGreen), middle);
  ok->SetLayout(blGlyphRight);
  AppPump(60);
  EXPECT_GT(MeanX(CaptureControl(ok), kGreen), middle);
  ok->SetLayout(blGlyphLeft);
  ok->SetBiDiMode(bdRightToLeft);
  AppPump(60);
  EXPECT_GT(MeanX(CaptureControl(ok), kGreen), middle);
  EXPECT_EQ(ok->Layout(), blGlyphLeft);  // painting changes no property
  ok->SetEnabled(false);
  AppPump(60);
  EXPECT_EQ(MeanX(CaptureControl(ok), kGreen), -1);  // the grey image instead

  auto* cancel = Place<TBitBtn>(form, 10, 60, 120, 32);
  cancel->SetKind(bkCancel);
  EXPECT_TRUE(cancel->Cancel());
  EXPECT_EQ(cancel->ModalResult(), mrCancel);
  form->Free();
}

TEST(BitBtns, AButtonWithAnImageIsDrawnByTheFrameworkWhileTheImageShows) {
  TForm* form = ShownForm();
  auto* images = Create<TImageList>(form);
  OwnedObject<TBitmap> red(Create<TBitmap>(16, 16, pf24bit));
  red->Canvas()->Brush()->SetColor(clRed);
  red->Canvas()->FillRect(RECT{0, 0, 16, 16});
  images->Add(red.get(), nullptr);
  auto* button = Place<TButton>(form, 10, 10, 120, 30);
  button->SetCaption(L"Image");
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  auto type = [&] { return ::GetWindowLongPtrW(button->Handle(), GWL_STYLE) & BS_TYPEMASK; };
  const Pixel redPixel = image::Rgb(255, 0, 0);
  button->SetImages(images);
  EXPECT_EQ(type(), BS_PUSHBUTTON);  // no image index yet
  button->SetImageIndex(0);
  EXPECT_EQ(type(), BS_OWNERDRAW);
  AppPump(60);
  const int x = MeanX(CaptureControl(button), redPixel);
  EXPECT_GT(x, 0);
  EXPECT_LT(x, button->Width() / 2);
  ::SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  button->SetImageVisible(false);
  EXPECT_EQ(type(), BS_PUSHBUTTON);
  AppPump(60);
  EXPECT_EQ(MeanX(CaptureControl(button), redPixel), -1);
  button->SetImageVisible(true);
  EXPECT_EQ(type(), BS_OWNERDRAW);
  images->Free();
  EXPECT_EQ(button->Images(), nullptr);
  EXPECT_EQ(type(), BS_PUSHBUTTON);
  form->Free();
}

TEST(SpeedButtons, GroupedButtonsStayExclusiveAndEachClickCountsOnce) {
  TForm* form = ShownForm();
  auto* panel = Place<TPanel>(form, 10, 10, 200, 40);
  std::vector<TSpeedButton*> group;
  int clicks = 0;
  for (int i = 0; i < 3; ++i) {
    auto* s = Place<TSpeedButton>(panel, 5 + 30 * i, 5, 25, 25);
    s->SetGroupIndex(1);
    s->OnClick = [&](TObject*) { ++clicks; };
    group.push_back(s);
  }
  auto* elsewhere = Place<TSpeedButton>(form, 10, 100);
  elsewhere->SetGroupIndex(1);
  elsewhere->SetDown(true);
  EXPECT_EQ(dynamic_cast<TWinControl*>(static_cast<TControl*>(group[0])), nullptr);
  auto click = [&](TSpeedButton* s) {
    PostClientClick(s->Parent()->Handle(), s->Left() + 5, s->Top() + 5);
    AppPump(60);
  };
  click(group[0]);
  EXPECT_TRUE(group[0]->Down());
  click(group[1]);
  EXPECT_TRUE(group[1]->Down());
  EXPECT_FALSE(group[0]->Down());
  EXPECT_TRUE(elsewhere->Down());  // another parent, another group
  click(group[1]);
  EXPECT_TRUE(group[1]->Down());  // one button of the group stays down
  group[0]->SetAllowAllUp(true);
  EXPECT_TRUE(group[2]->AllowAllUp());
  click(group[1]);
  EXPECT_FALSE(group[1]->Down());
  EXPECT_EQ(clicks, 4);

  auto* plain = Place<TSpeedButton>(form, 60, 100);
  int plainClicks = 0;
  plain->OnClick = [&](TObject*) { ++plainClicks; };
  click(plain);
  EXPECT_EQ(plainClicks, 1);
  EXPECT_FALSE(plain->Down());
  plain->SetDown(true);  // no group: never down
  EXPECT_FALSE(plain->Down());
  form->Free();
}

TEST(SpeedButtons, AFlatButtonShowsItsFrameOnlyWhileTheMouseIsOverIt) {
  TForm* form = ShownForm(200, 200, 300, 200);
  auto* flat = Place<TSpeedButton>(form, 20, 20, 60, 30);
  flat->SetFlat(true);
  flat->SetCaption(L"Flat");
  const Pixel face = static_cast<Pixel>(ColorToRGB(form->Color()));
  const Pixel light = static_cast<Pixel>(ColorToRGB(clBtnHighlight));
  const Pixel shadow = static_cast<Pixel>(ColorToRGB(clBtnShadow));
  MoveCursorTo(form->ClientToScreen(POINT{200, 150}));
  AppPump(100);
  Image shot = CaptureControl(flat);
  EXPECT_FALSE(flat->MouseInControl());
  EXPECT_EQ(shot.At(0, 15), face);
  MoveCursorTo(form->ClientToScreen(POINT{50, 35}));
  AppPumpUntil([&] { return flat->MouseInControl(); }, 1000);
  AppPump(60);
  shot = CaptureControl(flat);
  EXPECT_TRUE(flat->MouseInControl());
  EXPECT_EQ(shot.At(0, 15), light);
  EXPECT_EQ(shot.At(59, 15), shadow);
  MoveCursorTo(form->ClientToScreen(POINT{200, 150}));
  AppPumpUntil([&] { return !flat->MouseInControl(); }, 1500);
  AppPump(60);
  shot = CaptureControl(flat);
  EXPECT_EQ(shot.At(0, 15), face);
  form->Free();
}

TEST(Timers, FireFromTheMessageLoopWhileEnabledAndMayFreeThemselves) {
  auto* timer = Create<TTimer>(nullptr);  // no owner needed
  timer->SetInterval(20);
  int ticks = 0;
  timer->OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, timer);
    ++ticks;
  };
  EXPECT_TRUE(AppPumpUntil([&] { return ticks >= 3; }, 2000));
  timer->SetEnabled(false);
  const int seen = ticks;
  AppPump(120);
  EXPECT_EQ(ticks, seen);
  timer->SetEnabled(true);
  EXPECT_TRUE(AppPumpUntil([&] { return ticks > seen; }, 2000));
  timer->SetInterval(0);  // no interval, no ticks
  const int last = ticks;
  AppPump(80);
  EXPECT_EQ(ticks, last);
  timer->Free();
  AppPump(50);

  // A timer may free itself from its own handler.
  auto* once = Create<TTimer>(nullptr);
  once->SetInterval(10);
  int onceTicks = 0;
  once->OnTimer = [&onceTicks](TObject* sender) {
    ++onceTicks;
    TObject::Free(sender);
  };
  EXPECT_TRUE(AppPumpUntil([&] { return onceTicks > 0; }, 2000));
  AppPump(60);
  EXPECT_EQ(onceTicks, 1);
}

TEST(Images, DrawTheirPictureAsIsStretchedProportionalOrCentred) {
  TForm* form = ShownForm();
  auto* image = Place<TImage>(form, 10, 10, 60, 40);
  TBitmap* bitmap = image->Picture()->Bitmap();
  bitmap->SetSize(20, 10);
  bitmap->Canvas()->Brush()->SetColor(clRed);
  bitmap->Canvas()->FillRect(RECT{0, 0, 20, 10});
  image->Invalidate();
  AppPump(60);
  const Pixel red = image::Rgb(255, 0, 0);
  Image shot = CaptureControl(image);
  EXPECT_EQ(shot.At(5, 5), red);
  EXPECT_NE(shot.At(30, 20), red);
  image->SetStretch(true);
  AppPump(60);
  shot = CaptureControl(image);
  EXPECT_EQ(shot.At(55, 35), red);
  image->SetProportional(true);  // 20 x 10 into 60 x 40: 60 x 30
  AppPump(60);
  shot = CaptureControl(image);
  EXPECT_EQ(shot.At(30, 25), red);
  EXPECT_NE(shot.At(30, 35), red);
  image->SetCenter(true);  // 5 pixels above and below
  AppPump(60);
  shot = CaptureControl(image);
  EXPECT_NE(shot.At(30, 2), red);
  EXPECT_EQ(shot.At(30, 6), red);
  EXPECT_EQ(image->DestRect().top, 5);

  // A transparent bitmap lets the form show where its lower-left colour is.
  bitmap = image->Picture()->Bitmap();
  bitmap->Canvas()->Brush()->SetColor(clLime);
  bitmap->Canvas()->FillRect(RECT{0, 0, 20, 10});
  bitmap->Canvas()->Brush()->SetColor(clRed);
  bitmap->Canvas()->FillRect(RECT{5, 2, 15, 8});
  image->SetTransparent(true);
  AppPump(60);
  shot = CaptureControl(image);
  EXPECT_EQ(shot.Count(0, 0, 60, 40, image::Rgb(0, 255, 0)), 0);
  EXPECT_GT(shot.Count(0, 0, 60, 40, red), 0);

  image->Picture()->Icon()->SetHandle(::CopyIcon(::LoadIconW(nullptr, IDI_ERROR)));
  EXPECT_EQ(image->Picture()->Width(), ::GetSystemMetrics(SM_CXICON));
  EXPECT_THROW(image->Picture()->LoadFromFile("picture.gif"), EInvalidGraphic);
  EXPECT_NE(dynamic_cast<TIcon*>(image->Picture()->Graphic()), nullptr);  // unchanged
  form->Free();
}

TEST(MessageDialogs, TheDialogIsAnOpenTMessageFormWithTheAskedButtons) {
  TForm* dialog = CreateMessageDialog(L"Save the changes to the document?", mtConfirmation, mbYesNoCancel);
  auto* message = dynamic_cast<TMessageForm*>(dialog);
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(dialog->ClassName(), "TMessageForm");
  EXPECT_EQ(WindowClassOf(dialog->Handle()), "TMessageForm");
  bool listed = false;
  for (int i = 0; i < Screen->FormCount(); ++i) listed = listed || Screen->Forms(i) == dialog;
  EXPECT_TRUE(listed);
  EXPECT_EQ(dialog->BorderStyle(), bsDialog);
  EXPECT_EQ(dialog->Caption(), L"Confirm");
  EXPECT_EQ(dialog->Position(), poScreenCenter);
  ASSERT_NE(message->IconImage(), nullptr);
  EXPECT_FALSE(message->IconImage()->Picture()->Graphic()->Empty());
  EXPECT_EQ(message->Message()->Caption(), L"Save the changes to the document?");
  TButton* yes = message->Button(mbYes);
  TButton* no = message->Button(mbNo);
  TButton* cancel = message->Button(mbCancel);
  ASSERT_TRUE(yes && no && cancel);
  EXPECT_EQ(message->Button(mbOK), nullptr);
  EXPECT_EQ(yes->ModalResult(), mrYes);
  EXPECT_EQ(no->ModalResult(), mrNo);
  EXPECT_EQ(cancel->ModalResult(), mrCancel);
  EXPECT_TRUE(yes->Default());
  EXPECT_TRUE(cancel->Cancel());
  EXPECT_FALSE(no->Default() || no->Cancel());
  // Everything inside the client area, buttons in one row below the text.
  const RECT client = dialog->ClientRect();
  for (TControl* c : std::initializer_list<TControl*>{yes, no, cancel, message->Message()}) {
    EXPECT_GE(c->Left(), 0);
    EXPECT_LE(c->Left() + c->Width(), client.right);
    EXPECT_LE(c->Top() + c->Height(), client.bottom);
  }
  EXPECT_EQ(yes->Top(), cancel->Top());
  EXPECT_GT(yes->Top(), message->Message()->Top() + message->Message()->Height());
  EXPECT_LT(yes->Left(), no->Left());
  dialog->Free();

  // A long message wraps at half the screen's width; a custom one has no icon.
  std::wstring text;
  for (int i = 0; i < 80; ++i) text += L"word ";
  dialog = CreateMessageDialog(text, mtCustom, {mbOK});
  message = static_cast<TMessageForm*>(dialog);
  EXPECT_EQ(message->IconImage(), nullptr);
  EXPECT_LE(message->Message()->Width(), ::GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_GT(message->Message()->Height(), 2 * MeasureText(dialog->Font(), L"word", 0, 0).cy);
  EXPECT_TRUE(message->Button(mbOK)->Default());
  EXPECT_TRUE(message->Button(mbOK)->Cancel());
  dialog->Free();
}

namespace {

// Runs MessageDlg while a timer acts on the dialog once it is shown.
int AnswerDialog(TMsgDlgButtons buttons, const std::function<void(TMessageForm*)>& act, RECT* shownAt = nullptr) {
  auto* timer = Create<TTimer>(nullptr);
  timer->SetInterval(60);
  timer->OnTimer = [&](TObject*) {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      auto* dialog = dynamic_cast<TMessageForm*>(Screen->Forms(i));
      if (!dialog || !dialog->Visible()) continue;
      timer->SetEnabled(false);
      if (shownAt) ::GetWindowRect(dialog->Handle(), shownAt);
      act(dialog);
      return;
    }
  };
  const int result = MessageDlg(L"Answer me", mtWarning, buttons, 0);
  timer->Free();
  return result;
}

}  // namespace

TEST(MessageDialogs, MessageDlgReturnsTheResultOfTheButtonThatClosedIt) {
  RECT at{};
  auto enterOnNo = [](TMessageForm* d) {
    d->Button(mbNo)->SetFocus();  // Enter clicks the focused button, not the default one
    PostKeyPress(d->Button(mbNo)->Handle(), VK_RETURN);
  };
  EXPECT_EQ(AnswerDialog(mbYesNo, enterOnNo, &at), mrNo);
  const int cx = (at.left + at.right) / 2, cy = (at.top + at.bottom) / 2;
  RECT work;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(cx, (work.left + work.right) / 2, 2);
  EXPECT_NEAR(cy, (work.top + work.bottom) / 2, 2);
  EXPECT_EQ(AnswerDialog(mbYesNo, [](TMessageForm* d) { PostKeyPress(d->Handle(), VK_RETURN); }), mrYes);
  EXPECT_EQ(AnswerDialog(mbOKCancel, [](TMessageForm* d) { PostKeyPress(d->Handle(), VK_ESCAPE); }), mrCancel);
  EXPECT_EQ(AnswerDialog(mbAbortRetryIgnore,
                         [](TMessageForm* d) { PostClientClick(d->Button(mbRetry)->Handle(), 5, 5); }),
            mrRetry);
  bool gone = true;
  for (int i = 0; i < Screen->FormCount(); ++i) gone = gone && !dynamic_cast<TMessageForm*>(Screen->Forms(i));
  EXPECT_TRUE(gone);
}

TEST(Gallery, EveryStandardControlOnOneForm) {
  TForm* form = ShownForm(60, 60, 440, 350);
  BuildGallery(form);
  AppPump(300);
  const Image shot = CaptureWindow(form->Handle());
  EXPECT_FALSE(SaveScreenshot(shot, L"stdctrls_gallery").empty());
  form->Free();
  TForm* kinds = ShownForm(60, 60, 340, 200);
  kinds->SetCaption(L"Button kinds");
  for (int k = bkOK; k <= bkAll; ++k) {
    auto* b = Place<TBitBtn>(kinds, 10 + 110 * ((k - 1) % 3), 10 + 34 * ((k - 1) / 3), 100, 28);
    b->SetKind(static_cast<TBitBtnKind>(k));
    b->SetEnabled(k != bkAll);
  }
  AppPump(200);
  EXPECT_FALSE(SaveScreenshot(CaptureWindow(kinds->Handle()), L"stdctrls_bitbtn_kinds").empty());
  kinds->Free();
  TForm* dialog = CreateMessageDialog(L"The document has changed.\nSave the changes before closing?",
                                      mtConfirmation, mbYesNoCancel);
  dialog->Show();
  AppPump(200);
  EXPECT_FALSE(SaveScreenshot(CaptureWindow(dialog->Handle()), L"stdctrls_message_dialog").empty());
  dialog->Free();
}

TEST(StdCtrlLeaks, FormsWithEveryControlLeaveNothingBehind) {
  auto cycle = [] {
    TForm* form = ShownForm(60, 60, 440, 350);
    BuildGallery(form);
    AppPump(60);
    form->Free();
  };
  cycle();  // warms up cached objects and loaded libraries
  const int gdi = GdiHeadroom();
  EXPECT_EQ(UserHandlesLeaked([&] {
              cycle();
              cycle();
            }),
            0);
  EXPECT_EQ(GdiHeadroom(), gdi);
}
