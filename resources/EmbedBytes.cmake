# Turns one file into a C++ source that returns its bytes, so the native build embeds
# the very file the Windows resource script embeds.
# Usage: cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DFUNCTION=<name> -P EmbedBytes.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}"
"// Generated from ${INPUT}; do not edit.
#include \"resources/EmbeddedData.h\"

namespace zx {

namespace {
const std::uint8_t kBytes[${size} + 1] = {
    ${bytes}0x00};
} // namespace

std::span<const std::uint8_t> ${FUNCTION}() {
    return {kBytes, ${size}};
}

} // namespace zx
")
