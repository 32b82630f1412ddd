// TnuvSkinReader: the loaded skin as the rest of the system sees it, looked
// up by element index through the element name table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skin/Skin2SkinReader.h"

namespace nuvskin {

class TnuvSkinReader : public TObject {
  NUV_CLASS(TnuvSkinReader, TObject)
  // Starts empty when `fileName` is empty or names no file.
  explicit TnuvSkinReader(const std::string& fileName = {}, const std::string& password = {});
  ~TnuvSkinReader() override;

  // Drops the current skin, then reads the file. A file that does not exist
  // leaves the reader empty and still fires OnLoad; a file that fails to load
  // leaves it empty, fires nothing and raises the error.
  void LoadSkin(const std::string& fileName, const std::string& password);
  // The same from container bytes (a skin stored in a form, the built-in one).
  void LoadSkinData(format::ByteSpan container, const std::string& password);

  bool Loaded() const { return loaded_; }
  Tsk2SkinFileReader* FileReader() const { return FFileReader; }

  // Colour 0..31, bitmap 0..33, integer 0..8, flag 0..8. Without a skin (or
  // an element): -1, nullptr, -1 and 0.
  TColor GetColor(int index) const;
  TBitmap* GetBitmap(int index) const;
  std::int32_t GetInteger(int index) const;
  std::uint8_t GetFlag(int index) const;

  TNotifyEvent OnLoad;

 private:
  Tsk2SkinFileReader::SpareBitmaps DropSkin();
  void Load(const std::function<Tsk2SkinFileReader*()>& read);
  Tsk2SkinFileReader* FFileReader = nullptr;
  bool loaded_ = false;
};

}  // namespace nuvskin
