// Data files built into the program where there are no Windows resources (the native
// build); generated at build time from the files in resources/.
#pragma once

#include <cstdint>
#include <span>

namespace zx {

// The translation catalogue text, byte for byte as resources/translate.txt holds it.
std::span<const std::uint8_t> EmbeddedTranslationText();

} // namespace zx
