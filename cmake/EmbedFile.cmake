# cmake -DINPUT=file -DOUTPUT=source.cpp -DFUNCTION=ns::Name -DHEADER=h -P EmbedFile.cmake
# Writes a C++ source whose function returns the bytes of INPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
# 16 bytes a line (CMake's regular expressions have no {n}), each as 0xNN.
string(REGEX REPLACE "(................................)" "\\1\n  " hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(name ${INPUT} NAME)
file(WRITE ${OUTPUT}.tmp
"// Generated from ${name} by nuvskin_embed_file; do not edit.
#include \"${HEADER}\"

#include <cstdint>
#include <span>

namespace {

// One byte more than the file so that an empty file still makes an array.
const std::uint8_t kEmbedded[${size} + 1] = {
  ${bytes}0};

}  // namespace

std::span<const std::uint8_t> ${FUNCTION}() { return {kEmbedded, ${size}}; }
")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
