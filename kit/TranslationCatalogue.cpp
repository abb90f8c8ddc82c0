#include "kit/TranslationCatalogue.h"

namespace zx {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
const std::u16string kFallbackLanguage = u"en";

char16_t FoldAscii(char16_t c) noexcept {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

TTranslationCatalogue::TLine SplitLine(std::u16string text) {
    TTranslationCatalogue::TLine line;
    const auto equals = text.find(u'=');
    if (equals != std::u16string::npos) {
        line.Name = text.substr(0, equals);
        line.Value = text.substr(equals + 1);
    }
    line.Text = std::move(text);
    return line;
}

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
        } else if ((lead & 0xE0) == 0xC0) {
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

std::u16string ExpandLineBreaks(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
            result.push_back(u'\r');
            ++i;
        } else {
            result.push_back(text[i]);
        }
    }
    return result;
}

bool SameTextAsciiCase(std::u16string_view first, std::u16string_view second) noexcept {
    if (first.size() != second.size()) return false;
    for (std::size_t i = 0; i < first.size(); ++i)
        if (FoldAscii(first[i]) != FoldAscii(second[i])) return false;
    return true;
}

void TTranslationCatalogue::Load(std::span<const std::uint8_t> text) {
    if (text.size() >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF) text = text.subspan(3);
    const std::u16string decoded = DecodeUtf8(text);

    std::vector<TLine> lines;
    std::size_t start = 0;
    while (start < decoded.size()) {
        std::size_t end = start;
        while (end < decoded.size() && decoded[end] != u'\r' && decoded[end] != u'\n') ++end;
        lines.push_back(SplitLine(decoded.substr(start, end - start)));
        if (end < decoded.size() && decoded[end] == u'\r' && end + 1 < decoded.size() && decoded[end + 1] == u'\n')
            start = end + 2;
        else
            start = end + 1;
    }
    FLines = std::move(lines);
}

// The first line whose value equals `text` (ASCII letters compared without case, any
// language) selects its block; the block gives the line of `language`, else of "en".
std::u16string TTranslationCatalogue::Translate(const std::u16string& text, const std::u16string& language) const {
    if (text.empty()) return {};

    std::size_t match = 0;
    while (match < FLines.size() && !SameTextAsciiCase(FLines[match].Value, text)) ++match;
    if (match == FLines.size()) return ExpandLineBreaks(text);

    std::size_t blockStart = match;
    while (blockStart > 0 && !FLines[blockStart - 1].Text.empty()) --blockStart;

    for (const std::u16string* candidate : {&language, &kFallbackLanguage}) {
        for (std::size_t i = blockStart; i < FLines.size() && !FLines[i].Text.empty(); ++i)
            if (FLines[i].Name == *candidate) return ExpandLineBreaks(FLines[i].Value);
    }
    return ExpandLineBreaks(text);
}

} // namespace zx
