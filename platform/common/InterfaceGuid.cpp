#include "platform/common/InterfaceGuid.h"

#include <cstddef>

namespace zx {

namespace {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": where the dashes stand; every other inner
// position holds a hexadecimal digit.
constexpr std::u16string_view kGuidPattern = u"{00000000-0000-0000-0000-000000000000}";

bool IsHexDigit(char16_t c) noexcept {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

bool IsInterfaceGuid(std::u16string_view text) noexcept {
    if (text.size() != kGuidPattern.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t expected = kGuidPattern[i];
        if (expected == u'0' ? !IsHexDigit(text[i]) : text[i] != expected) return false;
    }
    return true;
}

} // namespace zx
