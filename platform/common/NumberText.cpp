#include "platform/common/NumberText.h"

namespace zx {

std::u16string DecimalText(std::uint64_t value) {
    char16_t digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return std::u16string(std::make_reverse_iterator(digits + count), std::make_reverse_iterator(digits));
}

std::u16string HexText(std::uint64_t value, int digits) {
    std::u16string text(static_cast<std::size_t>(digits), u'0');
    for (auto it = text.rbegin(); it != text.rend(); ++it, value >>= 4) *it = u"0123456789ABCDEF"[value & 0xF];
    return text;
}

std::u16string ZeroPaddedDecimal(std::uint64_t value, int digits) {
    std::u16string text(static_cast<std::size_t>(digits), u'0');
    for (auto it = text.rbegin(); it != text.rend(); ++it, value /= 10) *it = static_cast<char16_t>(u'0' + value % 10);
    return text;
}

} // namespace zx
