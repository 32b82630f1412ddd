#include "skin/Skin2SkinReader.h"

#include "skin/format/AsciiCase.h"
#include "skin/format/FileIo.h"
#include "skin/format/Sk2File.h"
#include "skin/format/SkinContainer.h"

namespace nuvskin {

namespace {

// Element names match as nsktool and the skin files match them: ASCII
// letters without regard to case, never by the user's locale.
class TSkinNameList : public TStringList {
  NUV_CLASS(TSkinNameList, TStringList)
  using TStringList::TStringList;

 protected:
  int CompareStrings(const std::wstring& a, const std::wstring& b) const override {
    return format::CompareAsciiNoCase(a, b);
  }
};

}  // namespace

Tsk2SkinFileReader::Tsk2SkinFileReader(const std::string& fileName, const std::string& password, SpareBitmaps spare)
    : spare_(std::move(spare)) {
  FBitmaps = Create<TSkinNameList>(true);
  FIntegers = Create<TSkinNameList>();
  FBytes = Create<TSkinNameList>();
  FStrings = Create<TSkinNameList>();
  try {
    ReadSkinFile(fileName, password);
  } catch (...) {
    Clear();
    throw;
  }
  spare_.clear();
}

Tsk2SkinFileReader::Tsk2SkinFileReader(format::ByteSpan container, const std::string& password, SpareBitmaps spare)
    : spare_(std::move(spare)) {
  FBitmaps = Create<TSkinNameList>(true);
  FIntegers = Create<TSkinNameList>();
  FBytes = Create<TSkinNameList>();
  FStrings = Create<TSkinNameList>();
  try {
    ReadSkinData(container, password);
  } catch (...) {
    Clear();
    throw;
  }
  spare_.clear();
}

Tsk2SkinFileReader::~Tsk2SkinFileReader() { Clear(); }

void Tsk2SkinFileReader::Clear() {
  FreeAndNil(FBitmaps);  // frees the bitmaps it owns
  FreeAndNil(FIntegers);
  FreeAndNil(FBytes);
  FreeAndNil(FStrings);
}

void Tsk2SkinFileReader::ReadSkinFile(const std::string& fileName, const std::string& password) {
  // The member is unpacked in memory: no temporary file is ever written.
  format::Bytes container;
  if (!format::ReadFileBytes(format::PathFromUtf8(fileName), format::kMaxContainerSize, container))
    throw Exception(kFailedToReadSkinMessage);
  ReadSkinData(container, password);
}

void Tsk2SkinFileReader::ReadSkinData(format::ByteSpan container, const std::string& password) {
  format::Bytes member;
  const format::ExtractOutcome outcome =
      format::ExtractSkinEntryFromMemory(container, format::kSkinEntryName, password, member);
  if (outcome.result == format::kExtractWrongPassword) throw Exception(kWrongPasswordMessage);
  if (outcome.result != format::kExtractOk) throw Exception(kFailedToReadSkinMessage);
  format::Sk2File file;
  if (!format::ParseSk2(member, file)) throw Exception(kFailedToReadSkinMessage);

  for (const format::Sk2Record& record : file.records) {
    const std::wstring name = Latin1ToWide(record.name);
    switch (record.kind) {
      case format::Sk2Kind::kBitmap: {
        TBitmap* bitmap = NewBitmap();
        try {
          bitmap->LoadFromBytes(record.data.data(), record.data.size());
        } catch (...) {
          TObject::Free(bitmap);
          throw;
        }
        FBitmaps->AddObject(name, bitmap);
        break;
      }
      case format::Sk2Kind::kInteger:
        FIntegers->Add(name + L"=" + IntToStrW(record.IntegerValue()));
        break;
      case format::Sk2Kind::kByte:
        FBytes->Add(name + L"=" + IntToStrW(record.ByteValue()));
        break;
      case format::Sk2Kind::kString:
        FStrings->Add(name + L"=" + Latin1ToWide(record.Text()));
        break;
      default:
        break;
    }
  }
}

// A spare in record order, looking like a new one, or a new one.
TBitmap* Tsk2SkinFileReader::NewBitmap() {
  while (nextSpare_ < spare_.size()) {
    if (TBitmap* bitmap = spare_[nextSpare_++].release()) {
      bitmap->SetTransparent(false);
      bitmap->SetTransparentMode(tmAuto);
      return bitmap;
    }
  }
  return Create<TBitmap>();
}

Tsk2SkinFileReader::SpareBitmaps Tsk2SkinFileReader::TakeBitmaps() {
  SpareBitmaps bitmaps;
  bitmaps.reserve(static_cast<std::size_t>(FBitmaps->Count()));
  for (int i = 0; i < FBitmaps->Count(); ++i) bitmaps.emplace_back(static_cast<TBitmap*>(FBitmaps->Objects(i)));
  FBitmaps->SetOwnsObjects(false);
  FBitmaps->Clear();
  FBitmaps->SetOwnsObjects(true);
  return bitmaps;
}

TBitmap* Tsk2SkinFileReader::GetBitmap(std::string_view name) const {
  const int i = FBitmaps->IndexOf(Latin1ToWide(name));
  return i < 0 ? nullptr : static_cast<TBitmap*>(FBitmaps->Objects(i));
}

std::int32_t Tsk2SkinFileReader::GetInteger(std::string_view name) const {
  std::int32_t v;
  return TryStrToInt(FIntegers->Values(Latin1ToWide(name)), v) ? v : -1;
}

std::uint8_t Tsk2SkinFileReader::GetByte(std::string_view name) const {
  std::int32_t v;
  return TryStrToInt(FBytes->Values(Latin1ToWide(name)), v) ? static_cast<std::uint8_t>(v) : 0;
}

void Tsk2SkinFileReader::SetTransparentColor(TColor color) {
  for (int i = 0; i < FBitmaps->Count(); ++i) static_cast<TBitmap*>(FBitmaps->Objects(i))->SetTransparentColor(color);
}

}  // namespace nuvskin
