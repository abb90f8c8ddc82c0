#include "kit/UpdateAnswer.h"

#include <algorithm>

#include "platform/common/AsciiText.h"

namespace zx {

namespace {

// The value of a hexadecimal digit, or -1.
int HexDigit(char16_t c) noexcept {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

char16_t SimpleEscape(char16_t c) noexcept {
    switch (c) {
    case u'"':
    case u'\'':
    case u'/':
    case u'\\':
        return c;
    case u'b':
        return u'\b';
    case u'f':
        return u'\f';
    case u'n':
        return u'\n';
    case u'r':
        return u'\r';
    case u't':
        return u'\t';
    default:
        return 0;
    }
}

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
    for (std::size_t at = text.find(from); at != std::u16string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

std::u16string ExtractBetween(std::u16string_view source, std::u16string_view startMarker,
                              std::u16string_view endMarker) {
    std::u16string search = ToUpperAscii(source);
    const std::u16string start = ToUpperAscii(startMarker);
    const std::u16string end = ToUpperAscii(endMarker);
    if (start.empty() || end.empty()) return {};
    // An escaped quote must not end a value. Replacing backslash + quote by two
    // backslashes keeps every position when the end marker is one character.
    if (std::u16string_view(u"\"'").find(end) != std::u16string_view::npos) ReplaceAll(search, u"\\" + end, u"\\\\");
    const std::size_t marker = search.find(start);
    if (marker == std::u16string::npos) return {};
    const std::size_t valueStart = marker + start.size();
    const std::size_t valueEnd = search.find(end, valueStart);
    if (valueEnd == std::u16string::npos) return {};
    return std::u16string(source.substr(valueStart, valueEnd - valueStart));
}

std::u16string UnescapeJSON(std::u16string_view text, TEscapePolicy policy) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            result.push_back(text[i]);
            continue;
        }
        if (++i == text.size()) break; // a trailing backslash adds nothing
        const char16_t kind = text[i];
        if (kind != u'u') {
            if (const char16_t simple = SimpleEscape(kind)) result.push_back(simple);
            continue; // an unknown escape drops both characters
        }
        const std::u16string_view digits = text.substr(i + 1, 4);
        i += digits.size();
        int value = 0;
        bool wellFormed = !digits.empty();
        for (const char16_t digit : digits) {
            const int nibble = HexDigit(digit);
            wellFormed = wellFormed && nibble >= 0;
            value = value * 16 + (nibble >= 0 ? nibble : 0);
        }
        if (!wellFormed) {
            if (policy == TEscapePolicy::epStrict) throw TJsonEscapeError();
            continue;
        }
        if (value == 0 && policy == TEscapePolicy::epLenient) continue;
        result.push_back(static_cast<char16_t>(value));
    }
    return result;
}

std::u16string ExtractUpdateURL(std::u16string_view answer) {
    const std::size_t marker = answer.find(kUpdateMarker);
    if (marker == std::u16string_view::npos) return {};
    const std::size_t valueStart = marker + kUpdateMarker.size();
    const std::size_t valueEnd = answer.find(u'"', valueStart);
    const std::u16string_view value =
        answer.substr(valueStart, valueEnd == std::u16string_view::npos ? valueEnd : valueEnd - valueStart);
    return UnescapeJSON(value, TEscapePolicy::epLenient);
}

std::u16string ReadUpdateAddressStrict(std::u16string_view answer) {
    return UnescapeJSON(ExtractBetween(answer, kUpdateMarker, u"\""));
}

TUpdateNotice ReadUpdateNotice(std::u16string_view answer) {
    const std::u16string info = ExtractBetween(answer, kInfoMarker, u"}");
    TUpdateNotice notice;
    notice.Style = UnescapeJSON(ExtractBetween(info, kStyleMarker, u"\""));
    notice.Text = UnescapeJSON(ExtractBetween(info, kTextMarker, u"\""));
    notice.Flag = UnescapeJSON(ExtractBetween(info, kFlagMarker, u"\""));
    notice.URL = UnescapeJSON(ExtractBetween(info, kURLMarker, u"\""));
    return notice;
}

bool IsWebAddress(std::u16string_view address) noexcept {
    const auto startsWith = [&](std::u16string_view scheme) {
        return address.size() >= scheme.size() && SameTextIgnoringAsciiCase(address.substr(0, scheme.size()), scheme);
    };
    if (!startsWith(u"http://") && !startsWith(u"https://")) return false;
    // The shell puts the address into the web handler's command line, where a space, a
    // control character or a quote can end it and make the rest arguments of their own.
    return std::none_of(address.begin(), address.end(),
                        [](char16_t c) { return c <= u' ' || c == u'\x7F' || c == u'"'; });
}

} // namespace zx
