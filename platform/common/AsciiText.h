// Case rules for ASCII letters only, as Windows applies them to names, markers and tags:
// every other character, letters of other scripts included, stays as it is, so a text
// keeps its length and positions when folded.
#pragma once

#include <string>
#include <string_view>

namespace zx {

[[nodiscard]] constexpr char16_t ToUpperAscii(char16_t c) noexcept {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

[[nodiscard]] constexpr char16_t ToLowerAscii(char16_t c) noexcept {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

[[nodiscard]] std::u16string ToUpperAscii(std::u16string_view text);
[[nodiscard]] std::u16string ToLowerAscii(std::u16string_view text);

// Equal once ASCII letters are folded; other characters must match exactly.
[[nodiscard]] bool SameTextIgnoringAsciiCase(std::u16string_view first, std::u16string_view second) noexcept;

} // namespace zx
