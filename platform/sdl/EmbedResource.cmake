# cmake -DIN=file -DOUT=file.cpp -DSYMBOL=Name -P EmbedResource.cmake
# Writes a C++ source that holds the bytes of IN as snickit::sdl::embedded::Name.
if(NOT EXISTS "${IN}")
  message(FATAL_ERROR "Built-in resource missing: ${IN}")
endif()
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Break the initialiser into lines of 32 bytes.
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}.tmp"
"// Generated from ${IN}; do not edit.\n"
"#include \"platform/sdl/Resources.h\"\n"
"namespace snickit::sdl::embedded {\n"
"static const unsigned char kBytes[${size}] = {\n${bytes}\n};\n"
"const Blob ${SYMBOL}{kBytes, ${size}};\n"
"}  // namespace snickit::sdl::embedded\n")
file(RENAME "${OUT}.tmp" "${OUT}")
