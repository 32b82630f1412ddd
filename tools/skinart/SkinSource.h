// A skin as its sources: the ordered element records of a manifest with
// the bitmaps drawn for it, and the writer of skin folders.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Raster.h"
#include "skin/format/Bytes.h"

namespace nuvskin::skinart {

struct SkinRecord {
  enum class Kind { Bitmap, Integer, Byte };
  Kind kind;
  std::string name;
  int value = 0;     // integer and byte records
  std::string file;  // bitmap records: file name in the skin's folder
  Image image;       // bitmap records
};

class SkinSource {
 public:
  SkinSource(std::string folder, std::string description)
      : folder_(std::move(folder)), description_(std::move(description)) {}

  // Records are written in the order they are added.
  void Color(const std::string& name, Pixel color);
  void Integer(const std::string& name, int value);
  void Flag(const std::string& name, bool on);
  // The file is named after the element: SKIN2_TITLEBAR1 -> titlebar1.bmp.
  void Bitmap(const std::string& name, Image image);

  const std::string& Folder() const { return folder_; }
  const std::string& Description() const { return description_; }
  const std::vector<SkinRecord>& Records() const { return records_; }
  // The record of that name, or nullptr.
  const SkinRecord* Find(const std::string& name) const;
  // Convenience look-ups with the reader's answers for missing elements.
  const Image* BitmapOf(const std::string& name) const;
  int ValueOf(const std::string& name, int missing = -1) const;

 private:
  std::string folder_;
  std::string description_;
  std::vector<SkinRecord> records_;
};

// Writes skin folders under one root. A bitmap whose file would be
// byte-for-byte the same as one written before for another skin is not
// copied: the manifest points at the earlier file ("../default/x.bmp").
// Files a folder held from an earlier run that are no longer written are
// removed, so the folders are exactly what the program draws.
class SkinWriter {
 public:
  explicit SkinWriter(std::filesystem::path root) : root_(std::move(root)) {}

  // Throws std::runtime_error when a file cannot be written.
  void Write(const SkinSource& skin);
  void WriteFile(const std::string& folder, const std::string& file, const format::Bytes& bytes);
  // Removes from the written folders the .bmp files and manifests of
  // earlier runs that this run did not write.
  void RemoveStaleFiles() const;

 private:
  std::filesystem::path root_;
  std::map<format::Bytes, std::vector<std::string>> bitmaps_;  // file bytes -> "folder/file"s
  std::map<std::string, std::set<std::string>> written_;  // folder -> files
};

// The manifest text of a skin whose bitmaps are at the given paths.
std::string ManifestText(const SkinSource& skin, const std::vector<std::string>& bitmapPaths);

}  // namespace nuvskin::skinart
