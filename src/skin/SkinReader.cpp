#include "skin/SkinReader.h"

#include "draw/BitmapPrimitives.h"
#include "skin/Skin2Define.h"

namespace nuvskin {

namespace {

std::string_view ElementName(int base, int index, int count) {
  if (index < 0 || index >= count) return {};
  return SkinElementNames[static_cast<std::size_t>(base + index)];
}

}  // namespace

TnuvSkinReader::TnuvSkinReader(const std::string& fileName, const std::string& password) {
  LoadSkin(fileName, password);
}

TnuvSkinReader::~TnuvSkinReader() { FreeAndNil(FFileReader); }

void TnuvSkinReader::LoadSkin(const std::string& fileName, const std::string& password) {
  Tsk2SkinFileReader::SpareBitmaps spare = DropSkin();
  if (!FileExists(fileName)) {
    if (OnLoad) OnLoad(this);
    return;
  }
  Load([&] { return Create<Tsk2SkinFileReader>(fileName, password, std::move(spare)); });
}

void TnuvSkinReader::LoadSkinData(format::ByteSpan container, const std::string& password) {
  Tsk2SkinFileReader::SpareBitmaps spare = DropSkin();
  Load([&] { return Create<Tsk2SkinFileReader>(container, password, std::move(spare)); });
}

// The skin is gone; its bitmap objects are kept for the next one to load into.
Tsk2SkinFileReader::SpareBitmaps TnuvSkinReader::DropSkin() {
  Tsk2SkinFileReader::SpareBitmaps spare;
  if (FFileReader) spare = FFileReader->TakeBitmaps();
  FreeAndNil(FFileReader);
  loaded_ = false;
  return spare;
}

void TnuvSkinReader::Load(const std::function<Tsk2SkinFileReader*()>& read) {
  try {
    FFileReader = read();
    const TColor transparent = GetColor(0);  // SKIN2_TRANSCOLOR
    FFileReader->SetTransparentColor(transparent);
    if (TBitmap* trackBar = GetBitmap(23))   // SKIN2_TRACKBAR
      ReplaceColor(trackBar, transparent, GetColor(2));  // SKIN2_FORMCOLOR
  } catch (...) {
    FreeAndNil(FFileReader);
    loaded_ = false;
    throw;
  }
  loaded_ = true;
  if (OnLoad) OnLoad(this);
}

TColor TnuvSkinReader::GetColor(int index) const {
  const std::string_view name = ElementName(kSkinColorBase, index, kSkinColorCount);
  return FFileReader && !name.empty() ? FFileReader->GetInteger(name) : -1;
}

TBitmap* TnuvSkinReader::GetBitmap(int index) const {
  const std::string_view name = ElementName(kSkinBitmapBase, index, kSkinBitmapCount);
  return FFileReader && !name.empty() ? FFileReader->GetBitmap(name) : nullptr;
}

std::int32_t TnuvSkinReader::GetInteger(int index) const {
  const std::string_view name = ElementName(kSkinIntegerBase, index, kSkinIntegerCount);
  return FFileReader && !name.empty() ? FFileReader->GetInteger(name) : -1;
}

std::uint8_t TnuvSkinReader::GetFlag(int index) const {
  const std::string_view name = ElementName(kSkinFlagBase, index, kSkinFlagCount);
  return FFileReader && !name.empty() ? FFileReader->GetByte(name) : 0;
}

}  // namespace nuvskin
