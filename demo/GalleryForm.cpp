#include "GalleryForm.h"

#include <commdlg.h>
#include <shlobj.h>

#include "ButtonStatesForm.h"
#include "DemoSkins.h"
#include "MdiForms.h"
#include "OwnFrameForm.h"
#include "Place.h"
#include "engine/NUVSkinEngine.h"
#include "frames/MenuBar.h"
#include "framework/Buttons.h"
#include "framework/CoolBar.h"
#include "framework/DateTimePicker.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/ExtStdCtrls.h"
#include "framework/Grids.h"
#include "framework/ListView.h"
#include "framework/Mask.h"
#include "framework/RangeControls.h"
#include "framework/StatusBar.h"
#include "framework/StdCtrls.h"
#include "framework/TabControls.h"
#include "framework/ToolBar.h"
#include "framework/TreeView.h"

namespace nuvskin::demo {

namespace {

// Four 16 x 16 pictures drawn here: a page, a folder, a bubble, windows.
TImageList* MakeImages(TComponent* owner) {
  auto* images = Create<TImageList>(owner);
  images->SetWidth(16);
  images->SetHeight(16);
  TBitmap strip(64, 16);
  TCanvas* c = strip.Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(RECT{0, 0, 64, 16});
  auto box = [&](int l, int t, int r, int b, TColor fill, TColor line) {
    c->Brush()->SetColor(fill);
    c->Pen()->SetColor(line);
    c->Rectangle(l, t, r, b);
  };
  box(3, 1, 13, 15, clWhite, 0x7F4F2F);  // page
  for (int y = 4; y < 13; y += 3) {
    c->MoveTo(5, y);
    c->LineTo(11, y);
  }
  box(17, 4, 31, 14, 0x4FC8F0, 0x1F6FA0);  // folder
  box(17, 2, 24, 5, 0x4FC8F0, 0x1F6FA0);
  c->Brush()->SetColor(0xD07A2A);  // bubble
  c->Pen()->SetColor(0x8A4A10);
  c->Ellipse(34, 1, 46, 13);
  c->Brush()->SetColor(clWhite);
  c->FillRect(RECT{39, 4, 41, 5});
  c->FillRect(RECT{39, 6, 41, 11});
  box(49, 2, 59, 10, clWhite, 0x6A2009);  // two windows
  box(53, 6, 63, 14, clWhite, 0x6A2009);
  c->Brush()->SetColor(0x94671F);
  c->FillRect(RECT{54, 7, 62, 9});
  images->AddMasked(&strip, clFuchsia);
  return images;
}

TGroupBox* Group(TWinControl* parent, const wchar_t* caption, int left, int top, int width, int height) {
  auto* box = Place<TGroupBox>(parent, left, top, width, height);
  box->SetCaption(caption);
  return box;
}

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const wchar_t* caption, TNotifyEvent onClick = nullptr,
                TShortCut shortCut = scNone) {
  auto* item = Create<TMenuItem>(owner);
  item->SetCaption(caption);
  item->SetShortCut(shortCut);
  item->OnClick = std::move(onClick);
  parent->Add(item);
  return item;
}

}  // namespace

TGalleryForm::TGalleryForm(TComponent* owner, bool skinned) : TForm(owner) {
  SetCaption(L"nuvskin gallery");
  SetPosition(poScreenCenter);
  SetClientWidth(1130);
  SetClientHeight(742);
  BuildEngine(skinned);
  BuildMenus();
  BuildBars();
  const int top = 40;
  BuildButtons(8, top);
  BuildTextAndLists(262, top);
  BuildRanges(562, top);
  BuildViews(842, top);
  BuildPages(8, top + 398);
  SetClientHeight(top + 398 + 270 + 8 + status_->Height());
  auto* timer = Create<TTimer>(this);
  timer->SetInterval(200);
  timer->OnTimer = TNotifyEvent::Bind(this, &TGalleryForm::TimerTick);
}

void TGalleryForm::BuildEngine(bool active) {
  engine_ = Create<TnuvSkinEngine>(this);
  engine_->LoadBuiltInSkin();
  const std::span<const std::uint8_t> threeSect = ThreeSectSkinData();
  TnuvSkinCollectionItem* item = engine_->AdditionalBuiltInSkins()->Add();
  item->Reader()->LoadSkinData(format::ByteSpan(threeSect.data(), threeSect.size()), "");
  // The gallery's own form classes made after it is shown: skinned when
  // they are activated.
  engine_->AutoSkinWndClassNames()->Add(L"TMdiFrameForm");
  engine_->AutoSkinWndClassNames()->Add(L"TMdiChildForm");
  engine_->AutoSkinWndClassNames()->Add(L"TButtonStatesForm");
  engine_->SetActive(active);
}

void TGalleryForm::BuildMenus() {
  auto* menu = Create<TMainMenu>(this);
  menu->SetImages(MakeImages(this));
  TMenuItem* root = menu->Items();
  TMenuItem* file = Item(this, root, L"&File");
  Item(this, file, L"&New MDI window", TNotifyEvent::Bind(this, &TGalleryForm::OpenMdiWindow), ShortCut('N', {ssCtrl}))
      ->SetImageIndex(3);
  Item(this, file, L"&Open file...", TNotifyEvent::Bind(this, &TGalleryForm::OpenFile), ShortCut('O', {ssCtrl}))
      ->SetImageIndex(0);
  Item(this, file, L"Choose &folder...", TNotifyEvent::Bind(this, &TGalleryForm::ChooseFolder))->SetImageIndex(1);
  Item(this, file, L"-");
  Item(this, file, L"E&xit", TNotifyEvent::Bind(this, &TGalleryForm::ExitClick));
  TMenuItem* dialogs = Item(this, root, L"&Dialogs");
  Item(this, dialogs, L"Message &box", TNotifyEvent::Bind(this, &TGalleryForm::ShowMessageBox));
  Item(this, dialogs, L"Message &dialog", TNotifyEvent::Bind(this, &TGalleryForm::ShowMessageDialog),
       ShortCut(VK_F2, {}))
      ->SetImageIndex(2);
  Item(this, dialogs, L"Window with its &own frame", TNotifyEvent::Bind(this, &TGalleryForm::OpenOwnFrameWindow));
  Item(this, dialogs, L"&Plain form", [this](TObject*) { OpenPlainForm(); });
  Item(this, dialogs, L"&Button states", [](TObject*) { Create<TButtonStatesForm>(Application)->Show(); });
  TMenuItem* view = Item(this, root, L"&View");
  TMenuItem* large = Item(this, view, L"&Large icons");
  large->SetRadioItem(true);
  large->SetGroupIndex(1);
  TMenuItem* details = Item(this, view, L"&Details");
  details->SetRadioItem(true);
  details->SetGroupIndex(1);
  details->SetChecked(true);
  Item(this, view, L"-");
  TMenuItem* grid = Item(this, view, L"&Grid lines");
  grid->SetChecked(true);
  Item(this, view, L"&Refresh", nullptr, ShortCut(VK_F5, {}));
  TMenuItem* skin = Item(this, root, L"&Skin");
  builtInItem_ = Item(this, skin, L"&Built-in skin", TNotifyEvent::Bind(this, &TGalleryForm::UseBuiltInSkin));
  threeSectItem_ =
      Item(this, skin, L"&Three-section skin", TNotifyEvent::Bind(this, &TGalleryForm::UseThreeSectSkin));
  for (TMenuItem* choice : {builtInItem_, threeSectItem_}) {
    choice->SetRadioItem(true);
    choice->SetGroupIndex(2);
  }
  Item(this, skin, L"-");
  skinningItem_ = Item(this, skin, L"&Skinning on", TNotifyEvent::Bind(this, &TGalleryForm::ToggleSkinning),
                       ShortCut(VK_F9, {}));
  UpdateSkinMenu();
  TMenuItem* help = Item(this, root, L"&Help");
  Item(this, help, L"&About nuvskin", TNotifyEvent::Bind(this, &TGalleryForm::ShowMessageDialog));
  SetMenu(menu);

  contextMenu_ = Create<TPopupMenu>(this);
  contextMenu_->SetImages(menu->Images());
  TMenuItem* proot = contextMenu_->Items();
  Item(this, proot, L"Cu&t", nullptr, ShortCut('X', {ssCtrl}));
  Item(this, proot, L"&Copy", nullptr, ShortCut('C', {ssCtrl}))->SetImageIndex(0);
  Item(this, proot, L"&Paste", nullptr, ShortCut('V', {ssCtrl}))->SetEnabled(false);
  Item(this, proot, L"-");
  TMenuItem* wrap = Item(this, proot, L"&Word wrap");
  wrap->SetChecked(true);
  TMenuItem* more = Item(this, proot, L"&More");
  Item(this, more, L"&First");
  Item(this, more, L"&Second");
  SetPopupMenu(contextMenu_);
}

void TGalleryForm::BuildBars() {
  auto* bar = Create<TToolBar>(this);
  bar->SetParent(this);
  bar->SetFlat(true);
  bar->SetShowCaptions(true);
  bar->SetList(true);
  bar->SetImages(Menu()->Images());
  struct ToolEntry {
    const wchar_t* caption;
    int image;
    void (TGalleryForm::*action)(TObject*);
  };
  const ToolEntry entries[] = {{L"MDI window", 3, &TGalleryForm::OpenMdiWindow},
                             {L"Open", 0, &TGalleryForm::OpenFile},
                             {L"Folder", 1, &TGalleryForm::ChooseFolder},
                             {L"Message", 2, &TGalleryForm::ShowMessageDialog}};
  // New buttons go first: create them from the last to the first.
  for (int i = 3; i >= 0; --i) {
    auto* button = Create<TToolButton>(this);
    button->SetParent(bar);
    button->SetCaption(entries[i].caption);
    button->SetImageIndex(entries[i].image);
    button->OnClick = TNotifyEvent::Bind(this, entries[i].action);
  }

  status_ = Create<TStatusBar>(this);
  status_->SetParent(this);
  const wchar_t* texts[] = {L"Ready", L"Every control of the framework", L""};
  const int widths[] = {120, 320, 200};
  for (int i = 0; i < 3; ++i) {
    TStatusPanel* panel = status_->Panels()->Add();
    panel->SetText(texts[i]);
    panel->SetWidth(widths[i]);
  }
}

void TGalleryForm::BuildButtons(int left, int top) {
  TGroupBox* box = Group(this, L"Buttons", left, top, 246, 390);
  auto* ok = Place<TButton>(box, 12, 22, 100, 25);
  ok->SetCaption(L"&Default");
  ok->SetDefault(true);
  auto* cancel = Place<TButton>(box, 124, 22, 100, 25);
  cancel->SetCaption(L"Cancel");
  cancel->SetCancel(true);
  auto* disabled = Place<TButton>(box, 12, 54, 100, 25);
  disabled->SetCaption(L"Disabled");
  disabled->SetEnabled(false);
  auto* kindOk = Place<TBitBtn>(box, 124, 54, 100, 25);
  kindOk->SetKind(bkOK);
  auto* kindHelp = Place<TBitBtn>(box, 12, 86, 100, 25);
  kindHelp->SetKind(bkHelp);
  auto* kindClose = Place<TBitBtn>(box, 124, 86, 100, 25);
  kindClose->SetKind(bkClose);
  const wchar_t* names[] = {L"&Left", L"&Centre", L"&Right"};
  for (int i = 0; i < 3; ++i) {
    auto* speed = Place<TSpeedButton>(box, 12 + 54 * i, 122, 52, 24);
    speed->SetCaption(names[i]);
    speed->SetGroupIndex(1);
    speed->SetDown(i == 0);
  }
  auto* flat = Place<TSpeedButton>(box, 176, 122, 48, 24);
  flat->SetCaption(L"Flat");
  flat->SetFlat(true);
  auto* checked = Place<TCheckBox>(box, 12, 160, 210, 20);
  checked->SetCaption(L"Checked check box");
  checked->SetChecked(true);
  auto* grayed = Place<TCheckBox>(box, 12, 184, 210, 20);
  grayed->SetCaption(L"Grayed check box");
  grayed->SetAllowGrayed(true);
  grayed->SetState(cbGrayed);
  auto* plain = Place<TCheckBox>(box, 12, 208, 210, 20);
  plain->SetCaption(L"Unchecked check box");
  auto* off = Place<TCheckBox>(box, 12, 232, 210, 20);
  off->SetCaption(L"Disabled check box");
  off->SetEnabled(false);
  auto* radio1 = Place<TRadioButton>(box, 12, 264, 210, 20);
  radio1->SetCaption(L"Selected radio button");
  radio1->SetChecked(true);
  auto* radio2 = Place<TRadioButton>(box, 12, 288, 210, 20);
  radio2->SetCaption(L"Other radio button");
  auto* label = Place<TLabel>(box, 12, 322, 220, 16);
  label->SetCaption(L"A label with an &accelerator:");
  auto* labelled = Place<TEdit>(box, 12, 342, 212, 22);
  labelled->SetText(L"focused by Alt+A");
  label->SetFocusControl(labelled);
}

void TGalleryForm::BuildTextAndLists(int left, int top) {
  TGroupBox* box = Group(this, L"Text and lists", left, top, 292, 390);
  auto* edit = Place<TEdit>(box, 12, 22, 130, 22);
  edit->SetText(L"An edit");
  auto* mask = Place<TMaskEdit>(box, 150, 22, 130, 22);
  mask->SetEditMask(L"(999) 000-0000;1;_");
  mask->SetText(L"5551234567");
  auto* dropDown = Place<TComboBox>(box, 12, 52, 130, 22);
  dropDown->Items()->SetText(L"Alpha\r\nBravo\r\nCharlie\r\n");
  dropDown->SetItemIndex(1);
  auto* dropList = Place<TComboBox>(box, 150, 52, 130, 22);
  dropList->SetStyle(csDropDownList);
  dropList->Items()->SetText(L"One\r\nTwo\r\nThree\r\n");
  dropList->SetItemIndex(0);
  auto* comboEx = Place<TComboBoxEx>(box, 12, 82, 130, 22);
  comboEx->SetImages(Menu()->Images());
  comboEx->ItemsEx()->AddItem(L"Document", 0);
  comboEx->ItemsEx()->AddItem(L"Folder", 1);
  comboEx->SetItemIndex(0);
  auto* hotKey = Place<THotKey>(box, 150, 82, 130, 22);
  hotKey->SetHotKey(ShortCut('K', {ssCtrl, ssShift}));
  auto* list = Place<TListBox>(box, 12, 112, 130, 120);
  for (const wchar_t* s : {L"Apple", L"Banana", L"Cherry", L"Date", L"Elderberry", L"Fig", L"Grape", L"Kiwi",
                           L"Lemon", L"Mango"})
    list->Items()->Add(s);
  list->SetItemIndex(2);
  auto* simple = Place<TComboBox>(box, 150, 112, 130, 120);
  simple->SetStyle(csSimple);
  simple->Items()->SetText(L"Simple\r\ncombo\r\nbox\r\n");
  simple->SetItemIndex(0);
  auto* memo = Place<TMemo>(box, 12, 240, 268, 138);
  memo->SetScrollBars(ssBoth);
  memo->SetWordWrap(false);
  std::wstring text;
  for (int i = 1; i <= 20; ++i)
    text += L"Line " + std::to_wstring(i) + L" of a memo with scroll bars and a long line that goes on\r\n";
  memo->SetText(text);
}

void TGalleryForm::BuildRanges(int left, int top) {
  TGroupBox* box = Group(this, L"Ranges", left, top, 272, 390);
  progress_ = Place<TProgressBar>(box, 12, 24, 248, 18);
  progress_->SetPosition(40);
  auto* track = Place<TTrackBar>(box, 12, 50, 248, 34);
  track->SetMax(10);
  track->SetPosition(4);
  auto* scroll = Place<TScrollBar>(box, 12, 92, 220, 17);
  scroll->SetParams(30, 0, 100);
  auto* vscroll = Place<TScrollBar>(box, 242, 92, 17, 120, [](TScrollBar* s) { s->SetKind(sbVertical); });
  vscroll->SetParams(60, 0, 100);
  auto* vtrack =
      Place<TTrackBar>(box, 190, 118, 40, 94, [](TTrackBar* t) { t->SetOrientation(trVertical); });
  vtrack->SetMax(5);
  vtrack->SetPosition(2);
  auto* buddy = Place<TEdit>(box, 12, 120, 60, 22);
  auto* upDown = Place<TUpDown>(box, 72, 120, 16, 22);
  upDown->SetMax(99);
  upDown->SetAssociate(buddy);
  upDown->SetPosition(7);
  auto* date = Place<TDateTimePicker>(box, 12, 152, 160, 22);
  date->SetDateTime(TDateTime::EncodeDate(2026, 12, 9));
  auto* time = Place<TDateTimePicker>(box, 12, 182, 160, 22);
  time->SetKind(dtkTime);
  auto* updownDate = Place<TDateTimePicker>(box, 12, 212, 160, 22);
  updownDate->SetDateMode(dmUpDown);
  auto* vprogress =
      Place<TProgressBar>(box, 12, 246, 18, 130, [](TProgressBar* p) { p->SetOrientation(pbVertical); });
  vprogress->SetPosition(70);
  auto* image = Place<TImage>(box, 44, 246, 216, 130);
  image->SetStretch(true);
  TBitmap picture(64, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 64; ++x)
      picture.SetPixelAt(x, y, static_cast<TColor>(((x * 4) & 0xFF) | (((y * 6) & 0xFF) << 8) | (0xB0 << 16)));
  image->Picture()->SetGraphic(&picture);
}

void TGalleryForm::BuildViews(int left, int top) {
  TGroupBox* box = Group(this, L"Views", left, top, 280, 390);
  auto* tree = Place<TTreeView>(box, 12, 22, 256, 150);
  tree->SetImages(Menu()->Images());
  TTreeNode* rootNode = tree->Items()->Add(nullptr, L"Desktop");
  rootNode->SetImageIndex(3);
  TTreeNode* docs = tree->Items()->AddChild(rootNode, L"Documents");
  docs->SetImageIndex(1);
  for (const wchar_t* s : {L"Letter.txt", L"Notes.txt", L"Plan.txt"})
    tree->Items()->AddChild(docs, s)->SetImageIndex(0);
  tree->Items()->AddChild(rootNode, L"Pictures")->SetImageIndex(1);
  docs->SetExpanded(true);
  rootNode->SetExpanded(true);
  tree->SetSelected(docs);
  auto* list = Place<TListView>(box, 12, 180, 256, 198);
  list->SetViewStyle(vsReport);
  list->SetRowSelect(true);
  list->SetSmallImages(Menu()->Images());
  const wchar_t* columns[] = {L"Name", L"Size", L"Kind"};
  const int widths[] = {110, 60, 80};
  for (int i = 0; i < 3; ++i) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption(columns[i]);
    column->SetWidth(widths[i]);
    if (i == 1) column->SetAlignment(taRightJustify);
  }
  struct Row {
    const wchar_t *name, *size, *kind;
    int image;
  };
  for (Row r : {Row{L"Letter.txt", L"2 KB", L"Text", 0}, Row{L"Photos", L"", L"Folder", 1},
                Row{L"Readme", L"1 KB", L"Note", 2}, Row{L"Workspace", L"", L"Windows", 3}}) {
    TListItem* item = list->Items()->Add();
    item->SetCaption(r.name);
    item->SubItems()->Add(r.size);
    item->SubItems()->Add(r.kind);
    item->SetImageIndex(r.image);
  }
  list->SetItemIndex(0);
}

void TGalleryForm::BuildPages(int left, int top) {
  auto* pages = Place<TPageControl>(this, left, top, 820, 270);
  pages->SetAnchors({akLeft, akTop, akRight, akBottom});
  auto page = [&](const wchar_t* caption) {
    auto* sheet = Create<TTabSheet>(this);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pages);
    return sheet;
  };
  TTabSheet* gridPage = page(L"Grid");
  auto* grid = Place<TStringGrid>(gridPage, 4, 4, 796, 228);
  grid->SetColCount(8);
  grid->SetRowCount(20);
  for (int c = 1; c < 8; ++c) grid->SetCells(c, 0, std::wstring(1, static_cast<wchar_t>(L'A' + c - 1)));
  for (int r = 1; r < 20; ++r) {
    grid->SetCells(0, r, std::to_wstring(r));
    for (int c = 1; c < 8; ++c) grid->SetCells(c, r, std::to_wstring(r * c));
  }
  TTabSheet* panelsPage = page(L"Panels");
  auto* raised = Place<TPanel>(panelsPage, 8, 8, 180, 100);
  raised->SetCaption(L"Raised panel");
  auto* lowered = Place<TPanel>(panelsPage, 196, 8, 180, 100);
  lowered->SetCaption(L"Lowered panel");
  lowered->SetBevelOuter(bvLowered);
  auto* scrollBox = Place<TScrollBox>(panelsPage, 384, 8, 200, 100);
  for (int i = 0; i < 6; ++i) {
    auto* b = Place<TButton>(scrollBox, 8, 8 + 34 * i, 160, 26);
    b->SetCaption(L"Scrolled button " + std::to_wstring(i + 1));
  }
  auto* tabs = Place<TTabControl>(panelsPage, 8, 116, 576, 110);
  tabs->Tabs()->SetText(L"First tab\r\nSecond tab\r\nThird tab\r\n");
  TTabSheet* richPage = page(L"Rich text");
  auto* rich = Place<TRichEdit>(richPage, 4, 4, 796, 228);
  rich->SetText(L"A rich edit control of the framework.\r\nIt holds plain text here.");
  pages->SetActivePageIndex(0);

  auto* cool = Create<TCoolBar>(this);
  cool->SetAlign(alNone);
  cool->SetBounds(836, top, 286, 60);
  cool->SetParent(this);
  auto* coolCombo = Create<TComboBox>(this);
  coolCombo->SetParent(cool);
  coolCombo->Items()->SetText(L"Cool bar band\r\nSecond\r\n");
  coolCombo->SetItemIndex(0);
  TCoolBand* band = cool->Bands()->Add();
  band->SetText(L"Band");
  band->SetControl(coolCombo);
  auto* note = Place<TPanel>(this, 836, top + 70, 286, 200);
  note->SetBevelOuter(bvLowered);
  note->SetCaption(L"Right-click for the popup menu");
}

void TGalleryForm::TimerTick(TObject*) {
  if (progress_) progress_->SetPosition((progress_->Position() + 2) % 101);
  if (status_ && status_->Panels()->Count() > 2) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    wchar_t text[32];
    swprintf(text, 32, L"%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    status_->Panels()->Items(2)->SetText(text);
  }
}

void TGalleryForm::ExitClick(TObject*) { Close(); }

void TGalleryForm::UseBuiltInSkin(TObject*) {
  engine_->UseOwnSkin();
  UpdateSkinMenu();
}

void TGalleryForm::UseThreeSectSkin(TObject*) {
  engine_->UseAdditionalSkin(0);
  UpdateSkinMenu();
}

void TGalleryForm::SetSkinning(bool on) {
  engine_->SetActive(on);
  UpdateSkinMenu();
}

void TGalleryForm::ToggleSkinning(TObject*) { SetSkinning(!engine_->Active()); }

void TGalleryForm::UpdateSkinMenu() {
  if (!skinningItem_) return;
  const bool own = engine_->Skin() != engine_->AdditionalBuiltInSkins()->Items(0)->Reader();
  builtInItem_->SetChecked(own);
  threeSectItem_->SetChecked(!own);
  skinningItem_->SetChecked(engine_->Active());
}

void TGalleryForm::ShowMessageBox(TObject*) {
  ::MessageBoxW(Handle(), L"A message box of the platform.", L"nuvskin gallery", MB_OK | MB_ICONINFORMATION);
}

void TGalleryForm::ShowMessageDialog(TObject*) {
  MessageDlg(L"A message dialog of the framework. Save the changes before closing?", mtConfirmation,
             mbYesNoCancel, 0);
}

void TGalleryForm::OpenFile(TObject*) {
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = L"Skin files (*.nsk)\0*.nsk\0All files (*.*)\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  ::GetOpenFileNameW(&ofn);
}

void TGalleryForm::ChooseFolder(TObject*) {
  BROWSEINFOW bi{};
  bi.hwndOwner = Handle();
  bi.lpszTitle = L"Choose a folder";
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  if (PIDLIST_ABSOLUTE pidl = ::SHBrowseForFolderW(&bi)) ::CoTaskMemFree(pidl);
}

void TGalleryForm::OpenMdiWindow(TObject*) { OpenMdiFrame(); }

void TGalleryForm::OpenOwnFrameWindow(TObject*) {
  auto* form = Create<TOwnFrameForm>(Application);
  form->Show();
}

TForm* TGalleryForm::OpenPlainForm(TObject*) {
  auto* form = Create<TForm>(Application);
  form->SetCaption(L"A plain form");
  form->SetPosition(poMainFormCenter);
  form->SetClientWidth(360);
  form->SetClientHeight(150);
  auto* label = Place<TLabel>(form, 16, 16, 320, 40, [](TLabel* l) { l->SetAutoSize(false); });
  label->SetWordWrap(true);
  label->SetCaption(L"A form of the framework, made at run time: the engine skins it when it is activated.");
  auto* edit = Place<TEdit>(form, 16, 64, 200, 24);
  edit->SetText(L"Some text");
  auto* close = Place<TButton>(form, 240, 104, 100, 28);
  close->SetCaption(L"Close");
  close->OnClick = [form](TObject*) { form->Close(); };
  form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  form->Show();
  return form;
}

void TGalleryForm::OpenMainMenu() {
  for (int i = 0; i < ControlCount(); ++i) {
    auto* bar = dynamic_cast<TnuvSkinMenuBar*>(Controls(i));
    if (bar && bar->Visible() && bar->ButtonCount() > 0) {
      bar->TrackMenu(bar->Buttons(0));
      return;
    }
  }
  ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
}

}  // namespace nuvskin::demo
