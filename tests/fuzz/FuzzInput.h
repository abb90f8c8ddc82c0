// Turning a fuzzer's bytes into the inputs the readers take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zx::fuzz {

// Pairs of bytes as UTF-16 code units, little-endian (an odd last byte is dropped): every
// code unit, lone surrogates included, can reach the reader.
inline std::u16string Utf16(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    return text;
}

// Each byte as one character, as the launcher takes its reply through a single-byte code
// page (here Latin-1 stands in for the ANSI code page: one byte, one character).
inline std::u16string BytesAsCharacters(const std::uint8_t* data, std::size_t size) {
    return std::u16string(data, data + size);
}

[[noreturn]] inline void PropertyFailed() {
    __builtin_trap();
}

} // namespace zx::fuzz
