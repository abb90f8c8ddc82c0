// UTF-8 bytes to the UTF-16 text the programs work in.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zx {

// Every malformed sequence (a stray continuation byte, a short or overlong form, an
// encoded surrogate, a value past U+10FFFF) becomes one U+FFFD; the bytes after the
// broken part are read again, so nothing valid is lost. Never fails.
[[nodiscard]] std::u16string DecodeUtf8(std::span<const std::uint8_t> bytes);
[[nodiscard]] std::u16string DecodeUtf8(std::string_view bytes);

} // namespace zx
