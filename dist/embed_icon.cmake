# Run by the build: writes the bytes of the PNG file PNG into the C++ source OUT, as the executable's
# built-in window icon (kWindowIconPng, kWindowIconPngSize).
file(READ "${PNG}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUT}.tmp" "// Written by the build from ${PNG}.\n#include <cstddef>\n\n"
  "extern const unsigned char kWindowIconPng[] = {\n    ${bytes}\n};\n"
  "extern const std::size_t kWindowIconPngSize = ${size};\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
