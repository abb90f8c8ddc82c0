#include "VersionText.h"

#include "platform/common/NumberText.h"

namespace zx {

std::u16string FormatVersion(const std::u16string& format, const std::array<std::uint16_t, 4>& parts) {
    std::u16string result;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c == u'%' && i + 1 < format.size()) {
            const char16_t kind = format[i + 1];
            if (kind == u'%') {
                result += u'%';
                ++i;
                continue;
            }
            if ((kind == u'd' || kind == u'u') && next < parts.size()) {
                result += DecimalText(parts[next++]);
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

std::u16string FormatVersionOrZero(const std::u16string& format,
                                   const std::optional<std::array<std::uint16_t, 4>>& parts) {
    return parts ? FormatVersion(format, *parts) : std::u16string(u"0.0.0.0");
}

} // namespace zx
