#include "nsktool/Nsktool.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "image/Image.h"
#include "nsktool/ContactSheet.h"
#include "nsktool/Manifest.h"
#include "skin/Skin2Define.h"
#include "skin/format/Bmp.h"
#include "skin/format/ContainerWriter.h"
#include "skin/format/FileIo.h"
#include "skin/format/Sk2File.h"
#include "skin/format/Sk2Writer.h"
#include "skin/format/SkinContainer.h"

namespace nuvskin::nsktool {

namespace fs = std::filesystem;
using format::Bytes;
using format::Sk2Kind;

namespace {

constexpr std::string_view kUsage =
    "usage: nsktool pack DIR OUT.nsk [--password P] [--allow-incomplete]\n"
    "       nsktool unpack IN.nsk DIR [--password P]\n"
    "       nsktool info IN.nsk [--password P]\n"
    "       nsktool sheet IN.nsk OUT.png [--password P]\n"
    "       nsktool --help\n";

constexpr std::string_view kHelp =
    "nsktool builds, opens and checks nuvskin skin containers (.nsk).\n"
    "\n"
    "Commands:\n"
    "  pack DIR OUT.nsk [--password P] [--allow-incomplete]\n"
    "      Packs the skin source folder DIR (manifest.txt and BMP files) into the\n"
    "      container OUT.nsk, encrypted when a password is given. Every BMP is\n"
    "      validated. A manifest without one of the elements the engine measures\n"
    "      (SKIN2_TITLEBAR1, SKIN2_TITLEBAR3, SKIN2_TITLEBUTTONS, SKIN2_FORMLEFTBORDER,\n"
    "      SKIN2_FORMRIGHTBORDER, SKIN2_FORMBOTTOMBORDER1) is refused unless\n"
    "      --allow-incomplete is given. OUT.nsk is written whole or not at all;\n"
    "      packing the same folder twice gives the same bytes.\n"
    "  unpack IN.nsk DIR [--password P]\n"
    "      Writes DIR/manifest.txt and one BMP file per bitmap element, named after\n"
    "      the element (SKIN2_TITLEBAR1 -> titlebar1.bmp). Packing DIR again gives\n"
    "      the same elements.\n"
    "  info IN.nsk [--password P]\n"
    "      Lists the element records in chain order as KIND NAME VALUE (VALUE is\n"
    "      WIDTHxHEIGHTxBPP for a bitmap, the number or the text otherwise), then\n"
    "      warnings: elements the engine asks for that are missing (the measured\n"
    "      ones marked required) and multi-state bitmaps whose width does not\n"
    "      divide by their frame count.\n"
    "  sheet IN.nsk OUT.png [--password P]\n"
    "      Draws every bitmap, enlarged and labelled with its name and size, on a\n"
    "      checker background into the PNG file OUT.png.\n"
    "\n"
    "manifest.txt: one element per line in record-chain order, KIND NAME VALUE\n"
    "separated by whitespace. KIND is bitmap (VALUE: a BMP file path relative to\n"
    "the manifest's folder), integer (a decimal number or 0x hexadecimal), byte\n"
    "(0..255) or string (the rest of the line). Blank lines and lines starting\n"
    "with # are ignored.\n"
    "\n"
    "Exit status: 0 success; 1 the container cannot be read (\"Failed to read skin\n"
    "file!\") or another error; 2 missing or wrong password (\"Wrong password!\");\n"
    "64 usage error.\n";

constexpr std::array<std::string_view, 6> kMeasuredElements = {
    "SKIN2_TITLEBAR1",       "SKIN2_TITLEBAR3",       "SKIN2_TITLEBUTTONS",
    "SKIN2_FORMLEFTBORDER",  "SKIN2_FORMRIGHTBORDER", "SKIN2_FORMBOTTOMBORDER1"};

constexpr std::string_view kManifestName = "manifest.txt";
constexpr std::size_t kMaxManifestSize = 16u << 20;

bool IsMeasured(std::string_view name) {
  return std::any_of(kMeasuredElements.begin(), kMeasuredElements.end(),
                     [&](std::string_view m) { return format::EqualsAsciiNoCase(m, name); });
}

struct Args {
  std::string command;
  std::vector<std::string> positional;
  std::string password;
  bool allowIncomplete = false;
  bool help = false;
};

// False on an unknown option or a missing option value.
bool ParseArgs(const std::vector<std::string>& args, Args& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out.help = true;
    } else if (a == "--password") {
      if (++i == args.size()) return false;
      out.password = args[i];
    } else if (a.rfind("--password=", 0) == 0) {
      out.password = a.substr(11);
    } else if (a == "--allow-incomplete") {
      out.allowIncomplete = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return false;
    } else if (out.command.empty()) {
      out.command = a;
    } else {
      out.positional.push_back(a);
    }
  }
  return true;
}

// A loaded skin: the member bytes and the records that borrow from them.
struct LoadedSkin {
  Bytes sk2;
  format::Sk2File file;
};

int LoadSkin(const std::string& containerName, const std::string& password, LoadedSkin& skin,
             std::ostream& err) {
  Bytes container;
  int result = format::kExtractFailed;
  std::string detail;
  if (!format::ReadFileBytes(format::PathFromUtf8(containerName), format::kMaxContainerSize, container)) {
    detail = "cannot read " + containerName;
  } else {
    result = format::ExtractSkinEntryFromMemory(container, format::kSkinEntryName, password, skin.sk2).result;
    if (result == format::kExtractOk && !format::ParseSk2(skin.sk2, skin.file, &detail)) {
      result = format::kExtractFailed;
      detail = std::string(format::kSkinEntryName) + ": " + detail;
    }
  }
  if (result == format::kExtractWrongPassword) {
    err << "Wrong password!\n";
    return kExitWrongPassword;
  }
  if (result != format::kExtractOk) {
    err << "Failed to read skin file!\n";
    if (!detail.empty()) err << "nsktool: " << detail << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

int Error(std::ostream& err, const std::string& message) {
  err << "nsktool: error: " << message << "\n";
  return kExitFailed;
}

// Writes next to the target and renames, so a failed run leaves no
// half-written file behind.
bool WriteAtomically(const fs::path& target, format::ByteSpan data, std::string& error) {
  fs::path temp = target;
  temp += ".nsktool-tmp";
  std::error_code ec;
  if (!format::WriteFileBytes(temp, data)) {
    fs::remove(temp, ec);
    error = "cannot write " + format::Utf8FromPath(target);
    return false;
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    error = "cannot write " + format::Utf8FromPath(target);
    return false;
  }
  return true;
}

int Pack(const Args& a, std::ostream& out, std::ostream& err) {
  const fs::path dir = format::PathFromUtf8(a.positional[0]);
  const fs::path manifestPath = dir / kManifestName;
  const std::string manifestLabel = format::Utf8FromPath(manifestPath);
  Bytes text;
  if (!format::ReadFileBytes(manifestPath, kMaxManifestSize, text))
    return Error(err, "cannot read " + manifestLabel);
  std::vector<ManifestLine> lines;
  std::string error;
  if (!ParseManifest(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), manifestLabel,
                     lines, error))
    return Error(err, error);

  std::vector<std::string> missing;
  for (std::string_view m : kMeasuredElements) {
    const bool present = std::any_of(lines.begin(), lines.end(), [&](const ManifestLine& l) {
      return l.kind == Sk2Kind::kBitmap && format::EqualsAsciiNoCase(l.name, m);
    });
    if (!present) missing.emplace_back(m);
  }
  if (!missing.empty() && !a.allowIncomplete) {
    std::string list;
    for (const auto& m : missing) list += (list.empty() ? "" : ", ") + m;
    return Error(err, manifestLabel + " lacks bitmap elements the engine measures: " + list +
                          " (--allow-incomplete packs it anyway)");
  }

  std::vector<format::Sk2Element> elements;
  for (const ManifestLine& l : lines) {
    const std::string where = manifestLabel + ":" + std::to_string(l.lineNumber) + ": ";
    switch (l.kind) {
      case Sk2Kind::kBitmap: {
        const fs::path bmpPath = dir / format::PathFromUtf8(l.value);
        Bytes bmp;
        if (!format::ReadFileBytes(bmpPath, format::kMaxContainerSize, bmp))
          return Error(err, where + "cannot read " + format::Utf8FromPath(bmpPath));
        format::BmpImage image;
        std::string why;
        if (!format::ParseBmp(bmp, image, &why))
          return Error(err, where + format::Utf8FromPath(bmpPath) + " is no valid BMP: " + why);
        elements.push_back(format::Sk2Element::Bitmap(l.name, std::move(bmp)));
        break;
      }
      case Sk2Kind::kInteger: {
        std::int32_t v = 0;
        ParseIntegerValue(l.value, v);
        elements.push_back(format::Sk2Element::Integer(l.name, v));
        break;
      }
      case Sk2Kind::kByte: {
        std::uint8_t v = 0;
        ParseByteValue(l.value, v);
        elements.push_back(format::Sk2Element::Byte(l.name, v));
        break;
      }
      case Sk2Kind::kString: elements.push_back(format::Sk2Element::String(l.name, l.value)); break;
    }
  }

  Bytes container;
  try {
    container = format::WriteSkinContainer(format::WriteSk2(elements), a.password);
  } catch (const std::invalid_argument& e) {
    return Error(err, e.what());
  }
  if (!WriteAtomically(format::PathFromUtf8(a.positional[1]), container, error)) return Error(err, error);
  for (const auto& m : missing) err << "nsktool: warning: packed without " << m << "\n";
  out << "packed " << lines.size() << " elements into " << a.positional[1] << " (" << container.size()
      << " bytes)\n";
  return kExitOk;
}

// "SKIN2_TITLEBAR1" -> "titlebar1", safe as a file name everywhere.
std::string BitmapFileStem(std::string_view name) {
  if (name.size() > 6 && format::EqualsAsciiNoCase(name.substr(0, 6), "SKIN2_")) name.remove_prefix(6);
  std::string stem;
  for (char c : name) {
    c = format::AsciiLower(c);
    const bool safe = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    stem += safe ? c : '_';
  }
  return stem.empty() ? "bitmap" : stem;
}

bool IsColorName(std::string_view name) {
  for (int i = kSkinColorBase; i < kSkinColorBase + kSkinColorCount; ++i)
    if (format::EqualsAsciiNoCase(SkinElementNames[i], name)) return true;
  return false;
}

std::string HexValue(std::int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v));
  return buf;
}

int Unpack(const Args& a, std::ostream& out, std::ostream& err) {
  LoadedSkin skin;
  if (const int rc = LoadSkin(a.positional[0], a.password, skin, err); rc != kExitOk) return rc;
  const fs::path dir = format::PathFromUtf8(a.positional[1]);

  std::vector<ManifestLine> lines;
  std::vector<std::pair<std::string, format::ByteSpan>> bitmaps;
  std::set<std::string> used;
  for (const format::Sk2Record& r : skin.file.records) {
    ManifestLine l;
    l.kind = r.kind;
    l.name = r.name;
    switch (r.kind) {
      case Sk2Kind::kBitmap: {
        std::string stem = BitmapFileStem(r.name), file = stem + ".bmp";
        for (int n = 2; used.count(file); ++n) file = stem + "-" + std::to_string(n) + ".bmp";
        used.insert(file);
        l.value = file;
        bitmaps.emplace_back(file, r.data);
        break;
      }
      case Sk2Kind::kInteger:
        l.value = IsColorName(r.name) ? HexValue(r.IntegerValue()) : std::to_string(r.IntegerValue());
        break;
      case Sk2Kind::kByte: l.value = std::to_string(r.ByteValue()); break;
      case Sk2Kind::kString: l.value = r.Text(); break;
    }
    lines.push_back(std::move(l));
  }
  std::string manifest, error;
  if (!FormatManifest(lines, manifest, error)) return Error(err, error);

  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir, ec)) return Error(err, "cannot create " + a.positional[1]);
  for (const auto& [file, data] : bitmaps)
    if (!format::WriteFileBytes(dir / file, data)) return Error(err, "cannot write " + format::Utf8FromPath(dir / file));
  const format::ByteSpan manifestBytes(reinterpret_cast<const std::uint8_t*>(manifest.data()), manifest.size());
  if (!format::WriteFileBytes(dir / kManifestName, manifestBytes))
    return Error(err, "cannot write " + format::Utf8FromPath(dir / kManifestName));
  out << "unpacked " << lines.size() << " elements into " << a.positional[1] << "\n";
  return kExitOk;
}

int Info(const Args& a, std::ostream& out, std::ostream& err) {
  LoadedSkin skin;
  if (const int rc = LoadSkin(a.positional[0], a.password, skin, err); rc != kExitOk) return rc;

  std::vector<std::string> warnings, damaged;
  for (const format::Sk2Record& r : skin.file.records) {
    out << KindName(r.kind) << " " << r.name << " ";
    switch (r.kind) {
      case Sk2Kind::kBitmap: {
        format::BmpImage bmp;
        std::string why;
        if (!format::ParseBmp(r.data, bmp, &why)) {
          out << "damaged\n";
          damaged.push_back(r.name + ": bitmap is no valid BMP: " + why);
          break;
        }
        out << bmp.width << "x" << bmp.height << "x" << bmp.bitsPerPixel << "\n";
        const int frames = SkinStateFrameCount(r.name);
        if (frames > 1 && bmp.width % frames != 0 && skin.file.Find(Sk2Kind::kBitmap, r.name) == &r)
          warnings.push_back(r.name + ": width " + std::to_string(bmp.width) + " does not divide into " +
                             std::to_string(frames) + " frames; the last " + std::to_string(bmp.width % frames) +
                             " columns are never shown");
        break;
      }
      case Sk2Kind::kInteger: out << r.IntegerValue() << "\n"; break;
      case Sk2Kind::kByte: out << static_cast<int>(r.ByteValue()) << "\n"; break;
      case Sk2Kind::kString: out << r.Text() << "\n"; break;
    }
  }

  for (int i = 0; i < kSkinElementCount; ++i) {
    const Sk2Kind kind = (i >= kSkinBitmapBase && i < kSkinIntegerBase) ? Sk2Kind::kBitmap
                         : (i >= kSkinFlagBase)                        ? Sk2Kind::kByte
                                                                       : Sk2Kind::kInteger;
    if (skin.file.Find(kind, SkinElementNames[i])) continue;
    std::string w = "missing " + std::string(KindName(kind)) + " " + std::string(SkinElementNames[i]);
    if (IsMeasured(SkinElementNames[i])) w += " (required)";
    warnings.push_back(std::move(w));
  }
  for (const std::string& w : warnings) out << "warning: " << w << "\n";
  if (!damaged.empty()) {
    // The engine loads a skin whole or not at all.
    err << "Failed to read skin file!\n";
    for (const std::string& d : damaged) err << "nsktool: " << d << "\n";
    return kExitFailed;
  }
  return kExitOk;
}

int Sheet(const Args& a, std::ostream& out, std::ostream& err) {
  LoadedSkin skin;
  if (const int rc = LoadSkin(a.positional[0], a.password, skin, err); rc != kExitOk) return rc;
  const image::Image sheet = MakeContactSheet(skin.file);
  const fs::path target = format::PathFromUtf8(a.positional[1]);
  if (!image::WritePng(sheet, target)) {
    std::error_code ec;
    fs::remove(target, ec);
    return Error(err, "cannot write " + a.positional[1]);
  }
  out << "wrote " << a.positional[1] << " (" << sheet.Width() << "x" << sheet.Height() << ")\n";
  return kExitOk;
}

}  // namespace

int RunNsktool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Args a;
  if (!ParseArgs(args, a)) {
    err << kUsage;
    return kExitUsage;
  }
  if (a.help) {
    out << kHelp << "\n" << kUsage;
    return kExitOk;
  }
  struct Command {
    std::string_view name;
    std::size_t positionals;
    bool allowsIncomplete;
    int (*run)(const Args&, std::ostream&, std::ostream&);
  };
  static constexpr Command kCommands[] = {
      {"pack", 2, true, Pack}, {"unpack", 2, false, Unpack}, {"info", 1, false, Info}, {"sheet", 2, false, Sheet}};
  for (const Command& c : kCommands) {
    if (a.command != c.name) continue;
    if (a.positional.size() != c.positionals || (a.allowIncomplete && !c.allowsIncomplete)) break;
    try {
      return c.run(a, out, err);
    } catch (const std::exception& e) {
      return Error(err, e.what());
    }
  }
  err << kUsage;
  return kExitUsage;
}

}  // namespace nuvskin::nsktool
