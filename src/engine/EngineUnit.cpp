#include "engine/EngineUnit.h"

#include "framework/Units.h"
#include "skin/LibraryBitmaps.h"

namespace nuvskin {

namespace {

struct EngineUnit {
  TStringList* autoSkin = nullptr;
  TStringList* borderExempt = nullptr;
  TStringList* childExempt = nullptr;
  TCustomImageList* checked = nullptr;
  TCustomImageList* defaultImages = nullptr;
};

EngineUnit gUnit;

const EngineUnit& Unit() {
  if (!gUnit.autoSkin) InitializeUnits();  // used before the library started
  if (!gUnit.autoSkin) throw EInvalidOperation("The skin engine's lists are not available");
  return gUnit;
}

TStringList* NewNameList(std::initializer_list<const wchar_t*> names) {
  auto* list = Create<TStringList>();
  for (const wchar_t* name : names) list->Add(name);
  return list;
}

}  // namespace

void InitializeEngineUnit() {
  gUnit.checked = TImageList::CreateSize(16, 16);
  try {
    TBitmap mark;
    LoadLibraryBitmap(&mark, kMenuCheckedBitmap);
    gUnit.checked->AddMasked(&mark, clWhite);
  } catch (const std::exception&) {
    // No check mark until a skin brings one: menus still work.
  }
  gUnit.defaultImages = TImageList::CreateSize(16, 16);
  gUnit.childExempt = NewNameList({});
  gUnit.borderExempt = NewNameList({L"TDelphiWizard"});
  gUnit.autoSkin = NewNameList({L"TSelectDirDlg", L"TForm", L"TfrmRegBrowser", L"TfrmFTPBrowser"});
}

void FinalizeEngineUnit() {
  FreeAndNil(gUnit.autoSkin);
  FreeAndNil(gUnit.borderExempt);
  FreeAndNil(gUnit.childExempt);
  FreeAndNil(gUnit.defaultImages);
  FreeAndNil(gUnit.checked);
}

TStringList* AutoSkinClassNames() { return Unit().autoSkin; }
TStringList* BorderExemptClassNames() { return Unit().borderExempt; }
TStringList* ChildExemptClassNames() { return Unit().childExempt; }
TCustomImageList* CheckedMenuImages() { return Unit().checked; }
TCustomImageList* DefaultMenuImages() { return Unit().defaultImages; }

void AddAutoSkinClassName(const std::wstring& name) {
  TStringList* list = AutoSkinClassNames();
  if (!name.empty() && list->IndexOf(name) < 0) list->Add(name);
}

}  // namespace nuvskin
