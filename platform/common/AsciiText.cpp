#include "platform/common/AsciiText.h"

#include <algorithm>

namespace zx {

std::u16string ToUpperAscii(std::u16string_view text) {
    std::u16string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](char16_t c) { return ToUpperAscii(c); });
    return result;
}

std::u16string ToLowerAscii(std::u16string_view text) {
    std::u16string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](char16_t c) { return ToLowerAscii(c); });
    return result;
}

bool SameTextIgnoringAsciiCase(std::u16string_view first, std::u16string_view second) noexcept {
    return std::equal(first.begin(), first.end(), second.begin(), second.end(),
                      [](char16_t a, char16_t b) { return ToLowerAscii(a) == ToLowerAscii(b); });
}

} // namespace zx
