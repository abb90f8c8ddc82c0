#include "kit/TranslationCatalogue.h"

#include "platform/common/AsciiText.h"
#include "platform/common/Utf8.h"

namespace zx {

namespace {

const std::u16string kFallbackLanguage = u"en";

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
    while (match < FLines.size() && !SameTextIgnoringAsciiCase(FLines[match].Value, text)) ++match;
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
