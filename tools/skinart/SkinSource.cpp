#include "SkinSource.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "skin/format/Bmp.h"

namespace nuvskin::skinart {

void SkinSource::Color(const std::string& name, Pixel color) {
  records_.push_back({SkinRecord::Kind::Integer, name, static_cast<int>(color), {}, {}});
}

void SkinSource::Integer(const std::string& name, int value) {
  records_.push_back({SkinRecord::Kind::Integer, name, value, {}, {}});
}

void SkinSource::Flag(const std::string& name, bool on) {
  records_.push_back({SkinRecord::Kind::Byte, name, on ? 1 : 0, {}, {}});
}

void SkinSource::Bitmap(const std::string& name, Image image) {
  std::string file = name.rfind("SKIN2_", 0) == 0 ? name.substr(6) : name;
  for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  records_.push_back({SkinRecord::Kind::Bitmap, name, 0, file + ".bmp", std::move(image)});
}

const SkinRecord* SkinSource::Find(const std::string& name) const {
  for (const auto& r : records_)
    if (r.name == name) return &r;
  return nullptr;
}

const Image* SkinSource::BitmapOf(const std::string& name) const {
  const SkinRecord* r = Find(name);
  return r && r->kind == SkinRecord::Kind::Bitmap ? &r->image : nullptr;
}

int SkinSource::ValueOf(const std::string& name, int missing) const {
  const SkinRecord* r = Find(name);
  return r && r->kind != SkinRecord::Kind::Bitmap ? r->value : missing;
}

std::string ManifestText(const SkinSource& skin, const std::vector<std::string>& bitmapPaths) {
  std::ostringstream out;
  out << "# " << skin.Description() << "\n"
      << "# Written by tools/skinart: change the program and run it again, do not edit.\n"
      << "# KIND NAME VALUE, one element per line in record order.\n";
  std::size_t bitmap = 0;
  SkinRecord::Kind previous = SkinRecord::Kind::Integer;
  for (std::size_t i = 0; i < skin.Records().size(); ++i) {
    const SkinRecord& r = skin.Records()[i];
    if (i > 0 && r.kind != previous) out << "\n";
    previous = r.kind;
    switch (r.kind) {
      case SkinRecord::Kind::Bitmap:
        out << "bitmap " << r.name << " " << bitmapPaths.at(bitmap++) << "\n";
        break;
      case SkinRecord::Kind::Integer:
        out << "integer " << r.name << " " << r.value << "\n";
        break;
      case SkinRecord::Kind::Byte:
        out << "byte " << r.name << " " << r.value << "\n";
        break;
    }
  }
  return out.str();
}

namespace {

format::Bytes EncodeImage(const Image& image) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(image.Width()) * image.Height());
  for (int y = 0; y < image.Height(); ++y)
    pixels.insert(pixels.end(), image.Row(y), image.Row(y) + image.Width());
  return format::EncodeBmp(format::MakeBmp24(image.Width(), image.Height(), pixels));
}

}  // namespace

void SkinWriter::WriteFile(const std::string& folder, const std::string& file,
                           const format::Bytes& bytes) {
  const std::filesystem::path dir = root_ / folder;
  std::filesystem::create_directories(dir);
  const std::filesystem::path path = dir / file;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
  written_[folder].insert(file);
}

void SkinWriter::Write(const SkinSource& skin) {
  std::vector<std::string> paths;
  for (const SkinRecord& r : skin.Records()) {
    if (r.kind != SkinRecord::Kind::Bitmap) continue;
    const format::Bytes bytes = EncodeImage(r.image);
    const auto known = bitmaps_.find(bytes);
    if (known != bitmaps_.end()) {
      // Prefer the file of the same element, so manifests read naturally.
      std::string reuse = known->second.front();
      for (const std::string& path : known->second)
        if (std::filesystem::path(path).filename() == r.file) reuse = path;
      if (reuse.rfind(skin.Folder() + "/", 0) != 0) {
        paths.push_back("../" + reuse);
        continue;
      }
    }
    WriteFile(skin.Folder(), r.file, bytes);
    bitmaps_[bytes].push_back(skin.Folder() + "/" + r.file);
    paths.push_back(r.file);
  }
  const std::string text = ManifestText(skin, paths);
  WriteFile(skin.Folder(), "manifest.txt", format::Bytes(text.begin(), text.end()));
}

void SkinWriter::RemoveStaleFiles() const {
  for (const auto& [folder, files] : written_) {
    for (const auto& entry : std::filesystem::directory_iterator(root_ / folder)) {
      if (!entry.is_regular_file()) continue;
      const std::string name = entry.path().filename().string();
      const bool ours = entry.path().extension() == ".bmp" || name == "manifest.txt";
      if (ours && !files.count(name)) std::filesystem::remove(entry.path());
    }
  }
}

}  // namespace nuvskin::skinart
