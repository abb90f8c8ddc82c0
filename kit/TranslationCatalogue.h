// The translation catalogue: an ordered list of "language=text" lines read from UTF-8
// text, grouped into blocks by empty lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

class TTranslationCatalogue {
public:
    // One line exactly as it stands. Name is the text before the first "=", Value the
    // text after it; a line without "=" has an empty name and an empty value.
    struct TLine {
        std::u16string Text;
        std::u16string Name;
        std::u16string Value;
    };

    TTranslationCatalogue() = default;

    // Reads UTF-8 text: a leading byte-order mark is skipped; lines end with CR LF, CR or
    // LF; a break after the last line adds no empty line; nothing is trimmed. Invalid
    // UTF-8 sequences become U+FFFD. Replaces what the catalogue held.
    void Load(std::span<const std::uint8_t> text);
    void Clear() noexcept { FLines.clear(); }

    [[nodiscard]] const std::vector<TLine>& Lines() const noexcept { return FLines; }
    [[nodiscard]] bool Empty() const noexcept { return FLines.empty(); }

    // The translation of `text` into `language`, falling back to "en" (see the .cpp);
    // `text` with each backslash-n turned into a carriage return when nothing fits.
    [[nodiscard]] std::u16string Translate(const std::u16string& text, const std::u16string& language) const;

private:
    std::vector<TLine> FLines;
};

// Each backslash followed by "n" becomes one carriage return (U+000D).
[[nodiscard]] std::u16string ExpandLineBreaks(std::u16string_view text);

} // namespace zx
