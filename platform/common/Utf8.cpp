#include "platform/common/Utf8.h"

namespace zx {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

} // namespace

std::u16string DecodeUtf8(std::span<const std::uint8_t> bytes) {
    std::u16string result;
    result.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::uint8_t lead = bytes[i];
        std::uint32_t code = 0;
        std::size_t follow = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            result.push_back(lead);
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F, follow = 1, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F, follow = 2, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07, follow = 3, minimum = 0x10000;
        } else {
            result.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t taken = 1;
        while (taken <= follow && i + taken < bytes.size() && (bytes[i + taken] & 0xC0) == 0x80) {
            code = (code << 6) | (bytes[i + taken] & 0x3F);
            ++taken;
        }
        // A short sequence, an overlong form, a surrogate or a value past U+10FFFF is one
        // replacement character; the bytes that were not part of it are read again.
        if (taken != follow + 1 || code < minimum || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            result.push_back(kReplacement);
            i += taken;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
        i += taken;
    }
    return result;
}

std::u16string DecodeUtf8(std::string_view bytes) {
    return DecodeUtf8(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

} // namespace zx
