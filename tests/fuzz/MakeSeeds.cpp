// Writes the seed corpora of the fuzz targets with the library's own
// writers: make-fuzz-seeds DIR (creates DIR/container, DIR/sk2, DIR/bmp).
#include <filesystem>
#include <iostream>
#include <string>

#include "BmpFixtures.h"
#include "skin/format/Bmp.h"
#include "skin/format/ContainerWriter.h"
#include "skin/format/FileIo.h"
#include "skin/format/Sk2Writer.h"

using namespace nuvskin::format;
namespace fs = std::filesystem;

namespace {

bool Write(const fs::path& dir, const std::string& name, const Bytes& data) {
  fs::create_directories(dir);
  return WriteFileBytes(dir / name, data);
}

Bytes SmallSk2() {
  return WriteSk2({Sk2Element::Integer("SKIN2_TRANSCOLOR", 0xFF00FF),
                   Sk2Element::Bitmap("SKIN2_TITLEBAR1", EncodeBmp(MakeBmp24(3, 2, {1, 2, 3, 4, 5, 6}))),
                   Sk2Element::Byte("SKIN2_TITLEFIVESECT", 1), Sk2Element::String("SKIN2_NOTE", "hi"),
                   Sk2Element{"SKIN2_FUTURE", 7, Bytes{1, 2}}});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make-fuzz-seeds DIR\n";
    return 64;
  }
  const fs::path root = argv[1];
  bool ok = true;

  const Bytes sk2 = SmallSk2();
  ok &= Write(root / "sk2", "small.sk2", sk2);
  ok &= Write(root / "sk2", "empty.sk2", WriteSk2({}));

  ok &= Write(root / "container", "plain.nsk", WriteSkinContainer(sk2));
  ok &= Write(root / "container", "encrypted.nsk", WriteSkinContainer(sk2, "secret"));
  ContainerMember byTime;
  byTime.data = sk2;
  byTime.password = "secret";
  byTime.checkByteFromTime = true;
  ContainerMember other;
  other.name = "dir/SKINDATA.SK2";
  other.data = Bytes(5, 'x');
  other.centralExtra = Bytes(4, 0);
  other.centralComment = "c";
  ok &= Write(root / "container", "two-entries.nsk", WriteContainer({other, byTime}));
  ContainerMember stored;
  stored.data = sk2;
  stored.method = 0;
  ok &= Write(root / "container", "stored.nsk", WriteContainer({stored}));

  ok &= Write(root / "bmp", "rgb24.bmp", EncodeBmp(MakeBmp24(3, 2, {1, 2, 3, 4, 5, 6})));
  BmpImage pal;
  pal.width = 5;
  pal.height = 2;
  pal.bitsPerPixel = 8;
  pal.palette = {0x000000, 0xFF0000, 0x00FF00};
  pal.bits.assign(static_cast<std::size_t>(pal.Stride()) * 2, 1);
  ok &= Write(root / "bmp", "pal8.bmp", EncodeBmp(pal));
  BmpImage mono = pal;
  mono.bitsPerPixel = 1;
  mono.topDown = true;
  mono.palette = {0x000000, 0xFFFFFF};
  mono.bits.assign(static_cast<std::size_t>(mono.Stride()) * 2, 0xA5);
  ok &= Write(root / "bmp", "mono-topdown.bmp", EncodeBmp(mono));
  BmpImage masks;
  masks.width = 2;
  masks.height = 2;
  masks.bitsPerPixel = 16;
  masks.compression = 3;
  masks.masks[0] = 0xF800;
  masks.masks[1] = 0x07E0;
  masks.masks[2] = 0x001F;
  masks.bits.assign(static_cast<std::size_t>(masks.Stride()) * 2, 0x3C);
  ok &= Write(root / "bmp", "bitfields16.bmp", EncodeBmp(masks));
  namespace t = nuvskin::test;
  ok &= Write(root / "bmp", "rle8.bmp", t::Rle8Bmp());
  ok &= Write(root / "bmp", "rle4.bmp", t::Rle4Bmp());
  ok &= Write(root / "bmp", "core8.bmp", t::CoreBmp(8));
  ok &= Write(root / "bmp", "core24.bmp", t::CoreBmp(24));
  ok &= Write(root / "bmp", "rgb555-topdown.bmp", t::PlainBmp(16, true));
  ok &= Write(root / "bmp", "bitfields32.bmp", t::PlainBmp(32, false, {0x000000FF, 0x0000FF00, 0x00FF0000}));

  if (!ok) std::cerr << "make-fuzz-seeds: cannot write under " << root << "\n";
  return ok ? 0 : 1;
}
