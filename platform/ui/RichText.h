// The rich-text label's small markup: "<B>" bold, "<C>" centred, "<FC:clGray>" gray
// font colour, each closed by "</B>", "</C>", "</FC>" and freely nested.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Color.h"

namespace zx {

struct TRichRun {
    std::u16string Text;
    bool Bold = false;
    bool Centered = false;
    std::optional<TColor> Color; // empty: the label's own font colour
    bool LineBreak = false;      // the run ends its line (a CR, LF or CR LF in the text)

    friend bool operator==(const TRichRun&, const TRichRun&) = default;
};

// Splits marked-up text into runs of equal look. Tag names are matched without regard
// to ASCII case. A tag that is not one of the above (or a colour name that is not known)
// stays in the text as written, so a mistake in a caption shows instead of vanishing;
// a closing tag with nothing open is dropped. Open tags need no closing tag.
std::vector<TRichRun> ParseRichText(const std::u16string& markup);

// The text the user reads, without markup (line breaks kept as CR LF).
std::u16string PlainText(const std::vector<TRichRun>& runs);

// Horizontal placement of one line of runs in a box `boxWidth` wide: the x of each run,
// given the width each run measures. A line is centred when any of its runs is centred
// (otherwise left-aligned); a line wider than the box starts at 0.
std::vector<int> PlaceRichLine(const std::vector<int>& runWidths, const std::vector<bool>& centered, int boxWidth);

} // namespace zx
