// Reading a skin: Tsk2SkinFileReader unpacks "SKINDATA.SK2" from a skin
// container and keeps its element records in four name lists (bitmaps with
// their objects attached, integers, bytes and strings as name=value lines).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "skin/format/Bytes.h"

namespace nuvskin {

// The errors a skin that cannot be loaded raises.
inline constexpr char kWrongPasswordMessage[] = "Wrong password!";
inline constexpr char kFailedToReadSkinMessage[] = "Failed to read skin file!";

class Tsk2SkinFileReader : public TObject {
  NUV_CLASS(Tsk2SkinFileReader, TObject)
  // Bitmap objects of a skin being replaced, lent to the next one: a picture
  // of a spare's size and format loads into the spare's DIB, so reloading a
  // skin costs the platform no new bitmaps. Spares left over are freed.
  using SpareBitmaps = std::vector<OwnedObject<TBitmap>>;

  // Reads the container file (UTF-8 name) or container bytes. Raises
  // Exception("Wrong password!"), Exception("Failed to read skin file!") or,
  // for a bitmap record that is no BMP, the framework's EInvalidGraphic.
  Tsk2SkinFileReader(const std::string& fileName, const std::string& password, SpareBitmaps spare = {});
  Tsk2SkinFileReader(format::ByteSpan container, const std::string& password, SpareBitmaps spare = {});
  ~Tsk2SkinFileReader() override;

  void ReadSkinFile(const std::string& fileName, const std::string& password);
  void ReadSkinData(format::ByteSpan container, const std::string& password);

  // The first bitmap record of that name (any case); owned by the reader.
  TBitmap* GetBitmap(std::string_view name) const;
  // -1 when missing or not an integer.
  std::int32_t GetInteger(std::string_view name) const;
  // 0 when missing or not a number; the low 8 bits otherwise.
  std::uint8_t GetByte(std::string_view name) const;
  // Every bitmap gets the fixed transparent colour `color`.
  void SetTransparentColor(TColor color);
  // Gives up every bitmap object, for a reader that replaces this one; the
  // bitmap list is empty afterwards.
  SpareBitmaps TakeBitmaps();

  TStringList* Bitmaps() const { return FBitmaps; }
  TStringList* Integers() const { return FIntegers; }
  TStringList* Bytes() const { return FBytes; }
  TStringList* Strings() const { return FStrings; }

 private:
  void Clear();
  TBitmap* NewBitmap();
  SpareBitmaps spare_;
  std::size_t nextSpare_ = 0;
  TStringList* FBitmaps;
  TStringList* FIntegers;
  TStringList* FBytes;
  TStringList* FStrings;
};

}  // namespace nuvskin
