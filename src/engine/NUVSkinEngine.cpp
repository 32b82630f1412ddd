#include "engine/NUVSkinEngine.h"

#include <algorithm>

#include "frames/SkinWindowVCL.h"
#include "frames/SkinWindowWnd.h"
#include "framework/Callbacks.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "skin/BuiltInSkin.h"

namespace nuvskin {

namespace {

constexpr wchar_t kSysMenuMin[] = L"Mi&nimize";
constexpr wchar_t kSysMenuMax[] = L"Ma&ximize/Restore";
constexpr wchar_t kSysMenuClose[] = L"&Close";

// The bitmaps SkinLoaded and the frame painter measure; a skin without one
// of them cannot frame a window.
bool HasMeasuredBitmaps(const TnuvSkinReader& reader) {
  for (int index : {SkinBitmap::TITLEBAR1, SkinBitmap::TITLEBAR3, SkinBitmap::TITLEBUTTONS,
                    SkinBitmap::FORMLEFTBORDER, SkinBitmap::FORMRIGHTBORDER, SkinBitmap::FORMBOTTOMBORDER1}) {
    TBitmap* bitmap = reader.GetBitmap(index);
    if (!bitmap || bitmap->Empty()) return false;
  }
  return true;
}

int BitmapWidth(const TnuvSkinReader& reader, int index) {
  TBitmap* bitmap = reader.GetBitmap(index);
  return bitmap ? bitmap->Width() : 0;
}
int BitmapHeight(const TnuvSkinReader& reader, int index) {
  TBitmap* bitmap = reader.GetBitmap(index);
  return bitmap ? bitmap->Height() : 0;
}

// The platform's critical-error boxes stay off while a skin file is found
// and read (a drive without a medium must not ask the user).
class CriticalErrorsOff {
 public:
  CriticalErrorsOff() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~CriticalErrorsOff() { ::SetErrorMode(previous_); }
  CriticalErrorsOff(const CriticalErrorsOff&) = delete;
  CriticalErrorsOff& operator=(const CriticalErrorsOff&) = delete;

 private:
  UINT previous_;
};

std::string WindowsFolder(UINT (*WINAPI get)(LPWSTR, UINT)) {
  wchar_t buffer[MAX_PATH] = {};
  UINT length = get(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return WideToUtf8(std::wstring_view(buffer, length));
}
UINT WINAPI GetWindowsFolder(LPWSTR buffer, UINT size) { return ::GetWindowsDirectoryW(buffer, size); }
UINT WINAPI GetSystemFolder(LPWSTR buffer, UINT size) { return ::GetSystemDirectoryW(buffer, size); }

// The name itself when it exists, else its file name in the program's
// folder, the Windows folder and the system folder; empty when none exists.
std::string FindSkinFile(const std::string& name) {
  if (FileExists(name)) return name;
  const std::string fileName = ExtractFileName(name);
  if (fileName.empty()) return {};
  std::vector<std::string> folders;
  if (Application) folders.push_back(ExtractFilePath(Application->ExeName()));
  folders.push_back(WindowsFolder(GetWindowsFolder));
  folders.push_back(WindowsFolder(GetSystemFolder));
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string path = IncludeTrailingPathDelimiter(folder) + fileName;
    if (FileExists(path)) return path;
  }
  return {};
}

std::vector<std::uint8_t> ReadRemainingBytes(TStream& stream) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(0, stream.Size() - stream.Position())));
  if (!bytes.empty() && stream.Read(bytes.data(), static_cast<std::int64_t>(bytes.size())) !=
                            static_cast<std::int64_t>(bytes.size()))
    throw EReadError("Stream read error");
  return bytes;
}

void WriteFileBytes(const std::string& fileName, TStream& stream) {
  TMemoryStream file;
  file.LoadFromFile(fileName);
  stream.Write(file.Memory(), file.Size());
}

}  // namespace

// --- TnuvSkinCollectionItem ---------------------------------------------------

void TnuvSkinCollectionItem::Publish(ClassBuilder<TnuvSkinCollectionItem>& b) {
  b.String("SkinFile", &TnuvSkinCollectionItem::SkinFile, &TnuvSkinCollectionItem::SetSkinFile);
  b.String("Password", &TnuvSkinCollectionItem::Password, &TnuvSkinCollectionItem::SetPassword);
}

TnuvSkinCollectionItem::TnuvSkinCollectionItem(TCollection* collection)
    : TCollectionItem(collection), FReader(new TnuvSkinReader()) {}

TnuvSkinCollectionItem::~TnuvSkinCollectionItem() { TObject::Free(FReader); }

void TnuvSkinCollectionItem::Assign(TPersistent* source) {
  auto* item = dynamic_cast<TnuvSkinCollectionItem*>(source);
  if (!item) return TCollectionItem::Assign(source);
  FSkinFile = item->FSkinFile;
  FPassword = item->FPassword;
}

void TnuvSkinCollectionItem::DefineProperties(TFiler& filer) {
  TCollectionItem::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "SkinData",
      [this](TStream& stream) {
        // Loaded from memory: no temporary file can be left behind.
        const std::vector<std::uint8_t> bytes = ReadRemainingBytes(stream);
        FReader->LoadSkinData(format::ByteSpan(bytes.data(), bytes.size()), FPassword);
      },
      [this](TStream& stream) { WriteFileBytes(FSkinFile, stream); },
      !FSkinFile.empty() && FileExists(FSkinFile));
}

TnuvSkinCollection::TnuvSkinCollection(TPersistent* owner)
    : TOwnedCollection(owner, TnuvSkinCollectionItem::StaticClass()) {}

TnuvSkinCollectionItem* TnuvSkinCollection::Items(int index) const {
  return static_cast<TnuvSkinCollectionItem*>(TCollection::Items(index));
}

TnuvSkinCollectionItem* TnuvSkinCollection::Add() {
  return static_cast<TnuvSkinCollectionItem*>(TCollection::Add());
}

// --- TnuvSkinEngine: creation and destruction ----------------------------------

void TnuvSkinEngine::Publish(ClassBuilder<TnuvSkinEngine>& b) {
  using E = TnuvSkinEngine;
  // No streaming defaults: every Boolean and Integer is written.
  b.Boolean("Active", &E::Active, &E::SetActive);
  b.Boolean("Ready", &E::Ready, &E::SetReady);
  b.String("Password", &E::Password, &E::SetPassword);
  b.String("SkinFile", &E::SkinFile, &E::SetSkinFile);
  b.WideString("ResSysMenuMin", &E::ResSysMenuMin, &E::SetResSysMenuMin, "string");
  b.WideString("ResSysMenuMax", &E::ResSysMenuMax, &E::SetResSysMenuMax, "string");
  b.WideString("ResSysMenuClose", &E::ResSysMenuClose, &E::SetResSysMenuClose, "string");
  b.Integer("DisabledTag", &E::DisabledTag, &E::SetDisabledTag);
  b.Boolean("DrawScrollBar", &E::DrawScrollBar, &E::SetDrawScrollBar);
  b.String("Version", &E::Version, &E::SetVersion);
  b.Boolean("BuiltIn", &E::BuiltIn, &E::SetBuiltIn);
  b.Boolean("SkinDialogs", &E::SkinDialogs, &E::SetSkinDialogs);
  b.Boolean("SkinAllForms", &E::SkinAllForms, &E::SetSkinAllForms);
  b.Object("AdditionalBuiltInSkins", &E::AdditionalBuiltInSkins, &E::SetAdditionalBuiltInSkins);
  b.Boolean("NoChangeButtonsFontColor", &E::NoChangeButtonsFontColor, &E::SetNoChangeButtonsFontColor);
  b.Object("AutoSkinWndClassNames", &E::AutoSkinWndClassNames, &E::SetAutoSkinWndClassNames);
  b.Event("OnSkinChanged", &E::OnSkinChanged);
  b.Event("OnSkinChanging", &E::OnSkinChanging);
}

TnuvSkinEngine::TnuvSkinEngine(TComponent* owner) : TComponent(owner) {
  if (!dynamic_cast<TCustomForm*>(owner)) throw Exception("Must be placed on a Form");
  FOwnSkin = new TnuvSkinReader();
  FSkin = FOwnSkin;
  FScrollBtnRes = new TnuvSkinScrollBtnRes();
  FProgressBarRes = new TnuvSkinProgressBarRes();
  FAdditionalBuiltInSkins = new TnuvSkinCollection(this);
  FAutoSkinWndClassNames = new TStringList();
  FAutoSkinWndClassNames->OnChange = TNotifyEvent::Bind(this, &TnuvSkinEngine::AutoSkinNamesChanged);

  FSysMenu = new TPopupMenu(nullptr);
  FSysMenu->SetAutoHotkeys(maManual);
  const std::pair<const wchar_t*, void (TnuvSkinEngine::*)(TObject*)> items[] = {
      {kSysMenuMin, &TnuvSkinEngine::SysMenuMinimizeClick},
      {kSysMenuMax, &TnuvSkinEngine::SysMenuMaximizeClick},
      {L"-", nullptr},
      {kSysMenuClose, &TnuvSkinEngine::SysMenuCloseClick}};
  for (const auto& [caption, click] : items) {
    auto* item = new TMenuItem(FSysMenu);
    item->SetCaption(caption);
    if (click) item->OnClick = TNotifyEvent::Bind(this, click);
    FSysMenu->Items()->Add(item);
  }
  FResSysMenuMin = kSysMenuMin;
  FResSysMenuMax = kSysMenuMax;
  FResSysMenuClose = kSysMenuClose;
  FSysMenu->OnPopup = TNotifyEvent::Bind(this, &TnuvSkinEngine::SysMenuPopup);
  SkinMenu(FSysMenu);

  FInactiveTitleFontColor = clInactiveCaption;
  if (!Designing()) FInstalledHook = InstallWindowHook(this);
}

void TnuvSkinEngine::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (FInstalledHook) {
    RemoveWindowHook(this);
    FInstalledHook = false;
  }
  // Each frame skin leaves the list when it is freed.
  while (!FFrameSkins.empty()) {
    TnuvSkinWindow* skin = FFrameSkins.front();
    TObject::Free(skin);
    if (!FFrameSkins.empty() && FFrameSkins.front() == skin) FFrameSkins.erase(FFrameSkins.begin());
  }
}

TnuvSkinEngine::~TnuvSkinEngine() {
  if (FInstalledHook) RemoveWindowHook(this);
  FSysMenuWindowLink.Reset();
  TObject::Free(FSysMenu);
  TObject::Free(FAdditionalBuiltInSkins);
  TObject::Free(FProgressBarRes);
  TObject::Free(FScrollBtnRes);
  TObject::Free(FAutoSkinWndClassNames);
  if (FSkin != FOwnSkin) FSkin = nullptr;
  TObject::Free(FOwnSkin);
}

// --- Properties ---------------------------------------------------------------

bool TnuvSkinEngine::Ready() const { return FSkin && FSkin->Loaded(); }

bool TnuvSkinEngine::SkinningActive() const { return FActive && Ready() && !Designing(); }

void TnuvSkinEngine::SetActive(bool value) {
  FActive = value;
  if (Designing()) return;
  const std::vector<TnuvSkinWindow*> skins = FFrameSkins;
  for (TnuvSkinWindow* skin : skins)
    if (std::find(FFrameSkins.begin(), FFrameSkins.end(), skin) != FFrameSkins.end()) skin->SetSkinned(value);
}

void TnuvSkinEngine::SetSkinFile(const std::string& value) {
  CriticalErrorsOff criticalErrorsOff;
  const std::string path = value.empty() ? std::string() : FindSkinFile(value);
  if (path.empty()) {
    // No such file: nothing changes, except that a form being loaded keeps
    // the stored path (its SkinData brings the skin itself).
    if (ComponentState().Contains(csLoading)) FSkinFile = value;
    return;
  }
  FSkinFile = path;
  try {
    LoadOwnSkin([&](TnuvSkinReader& reader) { reader.LoadSkin(path, FPassword); });
  } catch (...) {
    FSkinFile.clear();
    if (!Designing()) throw;
  }
}

void TnuvSkinEngine::SetSysMenuCaption(int index, const std::wstring& caption) {
  if (FSysMenu->Items()->Count() > index) FSysMenu->Items()->Items(index)->SetCaption(caption);
}

void TnuvSkinEngine::SetResSysMenuMin(const std::wstring& value) {
  FResSysMenuMin = value;
  SetSysMenuCaption(0, value);
}
void TnuvSkinEngine::SetResSysMenuMax(const std::wstring& value) {
  FResSysMenuMax = value;
  SetSysMenuCaption(1, value);
}
void TnuvSkinEngine::SetResSysMenuClose(const std::wstring& value) {
  FResSysMenuClose = value;
  SetSysMenuCaption(3, value);
}

void TnuvSkinEngine::SetBuiltIn(bool value) {
  if (!ComponentState().Contains(csLoading)) {
    if (!Designing()) throw Exception("BuiltIn property only can be specified at design time!");
    if (value && !FileExists(FSkinFile)) throw Exception("Please specify the SkinFile property first!");
  }
  FBuiltIn = value;
}

void TnuvSkinEngine::SetSkinAllForms(bool value) {
  FSkinAllForms = value;
  if (Designing() || ComponentState().Contains(csLoading)) return;
  if (value)
    SkinAllOpenForms();
  else
    UnskinOtherForms();
}

void TnuvSkinEngine::SetAdditionalBuiltInSkins(TnuvSkinCollection* value) { FAdditionalBuiltInSkins->Assign(value); }

void TnuvSkinEngine::SetAutoSkinWndClassNames(TStrings* value) { FAutoSkinWndClassNames->Assign(value); }

void TnuvSkinEngine::AutoSkinNamesChanged(TObject*) {
  for (int i = 0; i < FAutoSkinWndClassNames->Count(); ++i) AddAutoSkinClassName(FAutoSkinWndClassNames->Get(i));
}

// --- Streaming ------------------------------------------------------------------

bool TnuvSkinEngine::HasSkinData() const { return FBuiltIn && !FSkinFile.empty() && FileExists(FSkinFile); }

void TnuvSkinEngine::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "SkinData", [this](TStream& stream) { ReadSkinData(stream); },
      [this](TStream& stream) { WriteSkinData(stream); }, HasSkinData());
}

void TnuvSkinEngine::ReadSkinData(TStream& stream) {
  const std::vector<std::uint8_t> bytes = ReadRemainingBytes(stream);
  // SkinFile keeps showing the path chosen at design time.
  const std::string skinFile = FSkinFile;
  try {
    LoadSkinData(format::ByteSpan(bytes.data(), bytes.size()));
  } catch (...) {
    FSkinFile = skinFile;
    throw;
  }
  FSkinFile = skinFile;
}

void TnuvSkinEngine::WriteSkinData(TStream& stream) { WriteFileBytes(FSkinFile, stream); }

void TnuvSkinEngine::Loaded() {
  TComponent::Loaded();
  if (!Designing())
    if (auto* form = dynamic_cast<TCustomForm*>(Owner())) SkinForm(form);
  AutoSkinNamesChanged(this);
}

// --- Loading skins ----------------------------------------------------------------

void TnuvSkinEngine::LoadOwnSkin(const std::function<void(TnuvSkinReader&)>& read) {
  auto* reader = new TnuvSkinReader();
  try {
    read(*reader);
    if (!reader->Loaded() || !HasMeasuredBitmaps(*reader)) throw Exception("Failed to read skin file!");
  } catch (...) {
    TObject::Free(reader);
    throw;
  }
  // The previous skin goes only once the new one is in place: painters and
  // composite resources may still point into it until SkinLoaded ran.
  TnuvSkinReader* previous = FOwnSkin;
  FOwnSkin = reader;
  FSkin = FOwnSkin;
  try {
    SkinLoaded(this);
  } catch (...) {
    TObject::Free(previous);
    throw;
  }
  TObject::Free(previous);
}

void TnuvSkinEngine::LoadSkinData(format::ByteSpan container) {
  try {
    LoadOwnSkin([&](TnuvSkinReader& reader) { reader.LoadSkinData(container, FPassword); });
  } catch (...) {
    if (!Designing()) throw;
  }
}

void TnuvSkinEngine::LoadBuiltInSkin() {
  const std::span<const std::uint8_t> data = BuiltInSkinData();
  LoadOwnSkin([&](TnuvSkinReader& reader) { reader.LoadSkinData(format::ByteSpan(data.data(), data.size()), {}); });
}

void TnuvSkinEngine::UseAdditionalSkin(int index) {
  if (index < 0 || index >= FAdditionalBuiltInSkins->Count()) throw EListError("List index out of bounds");
  TnuvSkinReader* reader = FAdditionalBuiltInSkins->Items(index)->Reader();
  if (!reader->Loaded() || !HasMeasuredBitmaps(*reader)) throw Exception("Failed to read skin file!");
  FSkin = reader;
  SkinLoaded(this);
}

void TnuvSkinEngine::UseOwnSkin() {
  if (FSkin == FOwnSkin) return;
  FSkin = FOwnSkin;
  if (FOwnSkin->Loaded()) {
    SkinLoaded(this);
    return;
  }
  // No own skin: every window gets its own frame back.
  const std::vector<TnuvSkinWindow*> skins = FFrameSkins;
  for (TnuvSkinWindow* skin : skins)
    if (std::find(FFrameSkins.begin(), FFrameSkins.end(), skin) != FFrameSkins.end()) skin->SetSkinned(false);
}

void TnuvSkinEngine::SkinLoaded(TObject*) {
  FFormBrush.Reset();
  if (OnSkinChanging) OnSkinChanging(this);
  const TnuvSkinReader& skin = *FSkin;
  FFormColor = skin.GetColor(SkinColor::FORMCOLOR);
  FFormBrush.Reset(::CreateSolidBrush(ColorToRGB(FFormColor)));

  FTitleRegionMinY = skin.GetInteger(SkinInteger::TITLEBARREGIONMINY);
  FTitleRegionMaxY = skin.GetInteger(SkinInteger::TITLEBARREGIONMAXY);
  FBottomRegionMinY = skin.GetInteger(SkinInteger::BOTTOMREGIONMINY);
  FBottomRegionMaxY = skin.GetInteger(SkinInteger::BOTTOMREGIONMAXY);
  const int title1 = BitmapWidth(skin, SkinBitmap::TITLEBAR1), title3 = BitmapWidth(skin, SkinBitmap::TITLEBAR3);
  const int buttons = BitmapWidth(skin, SkinBitmap::TITLEBUTTONS) / 6 + 35;
  FMinFormWidth = skin.GetFlag(SkinFlag::TITLEFIVESECT) ? title1 + title3 + buttons : title1 + std::max(title3, buttons);
  FTitleBarHeight = BitmapHeight(skin, SkinBitmap::TITLEBAR1);
  FLeftBorderWidth = BitmapWidth(skin, SkinBitmap::FORMLEFTBORDER);
  FRightBorderWidth = BitmapWidth(skin, SkinBitmap::FORMRIGHTBORDER);
  FBottomBorderHeight = BitmapHeight(skin, SkinBitmap::FORMBOTTOMBORDER1);
  FTransColor = skin.GetColor(SkinColor::TRANSCOLOR);
  FIconPosX = skin.GetInteger(SkinInteger::TITLEBARICONPOSX);
  FIconPosY = skin.GetInteger(SkinInteger::TITLEBARICONPOSY);
  FButtonPosX = skin.GetInteger(SkinInteger::TITLEBARBUTTONPOSX);
  FButtonPosY = skin.GetInteger(SkinInteger::TITLEBARBUTTONPOSY);
  FCaptionTop = skin.GetInteger(SkinInteger::TITLEBARCAPTIONTOP);
  FTitleFontColor = skin.GetColor(SkinColor::TITLEFONTCOLOR);
  for (int i = 0; i < 13; ++i) FMenuColors[i] = skin.GetColor(SkinColor::MENUBARSTARTCOLOR + i);

  FScrollBtnRes->SetReader(FSkin);
  FProgressBarRes->SetReader(FSkin);

  TBitmap check;
  if (TBitmap* icon = skin.GetBitmap(SkinBitmap::CHECKEDMENUICON)) check.Assign(icon);
  if (!check.Empty()) {
    check.SetTransparent(true);
    TCustomImageList* images = CheckedMenuImages();
    if (images->Count() > 0) images->Delete(0);
    images->AddMasked(&check, FTransColor);
  }

  const std::vector<TnuvSkinWindow*> skins = FFrameSkins;
  bool first = true;
  for (TnuvSkinWindow* frame : skins) {
    if (std::find(FFrameSkins.begin(), FFrameSkins.end(), frame) == FFrameSkins.end()) continue;
    if (FActive) {
      HWND wnd = frame->GetHandle();
      const bool visible = ::IsWindowVisible(wnd) != FALSE;
      if (!SafeGetAncestor(wnd, GA_PARENT)) ::ShowWindow(wnd, SW_HIDE);
      frame->SetSkinned(false);
      frame->SetSkinned(true);
      if (visible) {
        ::ShowWindow(wnd, SW_SHOW);
        if (first) ::SetActiveWindow(wnd);
      }
    }
    first = false;
    frame->ApplySkinFlags();
  }
  if (OnSkinChanged) OnSkinChanged(this);
}

// --- Frame skins ------------------------------------------------------------------

TnuvSkinWindow* TnuvSkinEngine::FindFrameSkin(HWND wnd) const {
  for (TnuvSkinWindow* skin : FFrameSkins)
    if (skin->GetHandle() == wnd) return skin;
  return nullptr;
}

void TnuvSkinEngine::FrameSkinDestroyed(TnuvSkinWindow* frameSkin) {
  auto it = std::find(FFrameSkins.begin(), FFrameSkins.end(), frameSkin);
  if (it != FFrameSkins.end()) FFrameSkins.erase(it);
  if (FSysMenuWindow == frameSkin) FSysMenuWindow = nullptr;
}

void TnuvSkinEngine::AddFrameSkin(HWND wnd, bool fromHook) {
  if (!wnd || FindFrameSkin(wnd)) return;
  TnuvSkinWindow* skin = nullptr;
  if (FindFormByHandle(wnd))
    skin = TnuvSkinWindow::Create<TnuvSkinWindowVCL>(wnd, fromHook, this);
  else
    skin = TnuvSkinWindow::Create<TnuvSkinWindowWnd>(wnd, fromHook, this);
  FFrameSkins.push_back(skin);
  skin->ApplySkinFlags();
}

void TnuvSkinEngine::SkinWindow(HWND wnd) { AddFrameSkin(wnd, false); }

void TnuvSkinEngine::SkinForm(TCustomForm* form) {
  if (!form) return;
  if (form->InheritsFrom(TForm::StaticClass())) {
    AddFrameSkin(form->Handle(), false);
    return;
  }
  // Other form classes: the form binding, with the form published while it
  // is made (it finds its form through it).
  HWND wnd = form->Handle();
  if (FindFrameSkin(wnd)) return;
  SetFormBeingAttached(form);
  TnuvSkinWindow* skin = nullptr;
  try {
    skin = TnuvSkinWindow::Create<TnuvSkinWindowVCL>(wnd, false, this);
  } catch (...) {
    SetFormBeingAttached(nullptr);
    throw;
  }
  SetFormBeingAttached(nullptr);
  FFrameSkins.push_back(skin);
}

void TnuvSkinEngine::RemoveFrameSkin(HWND wnd) {
  TnuvSkinWindow* skin = FindFrameSkin(wnd);
  if (!skin) return;
  FRemovingFrame = true;
  try {
    TObject::Free(skin);
  } catch (...) {
    FRemovingFrame = false;
    throw;
  }
  FRemovingFrame = false;
}

void TnuvSkinEngine::SkinAllOpenForms() {
  FAttachingAllForms = true;
  try {
    for (int i = 0; Screen && i < Screen->FormCount(); ++i) {
      TCustomForm* form = Screen->Forms(i);
      if (form->Tag() == FDisabledTag || form->ClassName() == "TfrmMSNPopForm") continue;
      if (::SendMessageW(form->Handle(), WM_NUVSKIN_QUERY, 0, 0) != 0) continue;
      AddFrameSkin(form->Handle(), false);
    }
  } catch (...) {
    FAttachingAllForms = false;
    throw;
  }
  FAttachingAllForms = false;
}

void TnuvSkinEngine::UnskinOtherForms() {
  auto* owner = dynamic_cast<TCustomForm*>(Owner());
  HWND ownerWnd = owner && owner->HandleAllocated() ? owner->Handle() : nullptr;
  const std::vector<TnuvSkinWindow*> skins = FFrameSkins;
  for (TnuvSkinWindow* skin : skins) {
    if (std::find(FFrameSkins.begin(), FFrameSkins.end(), skin) == FFrameSkins.end()) continue;
    HWND wnd = skin->GetHandle();
    if (wnd != ownerWnd) RemoveFrameSkin(wnd);
  }
}

// --- Skin look-ups -------------------------------------------------------------------

bool TnuvSkinEngine::GetSkinBitmap(int index, TBitmap* dest, int frameCount, int frameIndex) const {
  TBitmap* bitmap = FSkin ? FSkin->GetBitmap(index) : nullptr;
  if (!bitmap || !dest) return false;
  if (frameCount != 0 && frameIndex != 0)
    CutFrame(bitmap, dest, frameCount, frameIndex);
  else
    dest->Assign(bitmap);
  return true;
}

TColor TnuvSkinEngine::GetSkinColor(int index) const { return FSkin ? FSkin->GetColor(index) : TColor(-1); }

bool TnuvSkinEngine::GetSkinFlag(int index) const { return FSkin && FSkin->GetFlag(index) != 0; }

// --- Menus --------------------------------------------------------------------------

void TnuvSkinEngine::SkinMenu(TMenu* menu) {
  if (!menu) return;
  menu->SetOwnerDraw(true);
  if (menu->InheritsFrom(TMainMenu::StaticClass()) && !menu->Images()) menu->SetImages(DefaultMenuImages());
  for (int i = 0; i < menu->Items()->Count(); ++i) SkinMenuItem(menu->Items()->Items(i));
}

void TnuvSkinEngine::UnskinMenu(TMenu* menu) {
  if (!menu) return;
  menu->SetOwnerDraw(false);
  if (menu->InheritsFrom(TMainMenu::StaticClass()) && menu->Images() == DefaultMenuImages()) menu->SetImages(nullptr);
  for (int i = 0; i < menu->Items()->Count(); ++i)
    AssignMenuItemHandlers(menu->Items()->Items(i), {}, {});
}

void TnuvSkinEngine::SkinMenuItem(TMenuItem* item) {
  if (!item) return;
  AssignMenuItemHandlers(item, TMenuMeasureItemEvent::Bind(this, &TnuvSkinEngine::MeasureMenuItem),
                         TMenuDrawItemEvent::Bind(this, &TnuvSkinEngine::DrawMenuItem));
}

void TnuvSkinEngine::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (Designing() || !component) return;
  if (operation == opInsert) {
    if (auto* menu = dynamic_cast<TMenu*>(component)) {
      if (SkinningActive() && menu->Tag() != FDisabledTag) SkinMenu(menu);
    } else if (auto* item = dynamic_cast<TMenuItem*>(component)) {
      if (SkinningActive()) SkinMenuItem(item);
    } else if (component != this && dynamic_cast<TnuvSkinEngine*>(component)) {
      throw Exception("One form can only catch one TnuvSkinEngine!");
    }
  } else if (operation == opRemove) {
    if (auto* menu = dynamic_cast<TMenu*>(component)) UnskinMenu(menu);
  }
}

// --- System menu -------------------------------------------------------------------

void TnuvSkinEngine::ShowSysMenu(TnuvSkinWindow* frameSkin, POINT screenPoint) {
  FSysMenuWindow = frameSkin;
  FSysMenuWindowLink.Watch(frameSkin, [this](TComponent*) { FSysMenuWindow = nullptr; });
  FSysMenu->Popup(screenPoint.x, screenPoint.y);
}

void TnuvSkinEngine::SysMenuPopup(TObject*) {
  if (!FSysMenuWindow) return;
  TMenuItem* items = FSysMenu->Items();
  if (items->Count() > 3) items->Items(3)->SetEnabled(FSysMenuWindow->FSysMenuClose);
  if (items->Count() > 1) items->Items(1)->SetEnabled(FSysMenuWindow->FSysMenuMax);
  if (items->Count() > 0) items->Items(0)->SetEnabled(FSysMenuWindow->FSysMenuMin);
}

void TnuvSkinEngine::SysMenuMinimizeClick(TObject*) {
  if (FSysMenuWindow) FSysMenuWindow->MinimizeOrRestore();
}
void TnuvSkinEngine::SysMenuMaximizeClick(TObject*) {
  if (FSysMenuWindow) FSysMenuWindow->MaximizeOrRestore();
}
void TnuvSkinEngine::SysMenuCloseClick(TObject*) {
  if (FSysMenuWindow) FSysMenuWindow->CloseWindow();
}

}  // namespace nuvskin
