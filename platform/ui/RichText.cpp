#include "RichText.h"

#include <numeric>
#include <string_view>

#include "platform/common/AsciiText.h"

namespace zx {

namespace {

std::optional<TColor> NamedColor(std::u16string_view name) {
    struct TNamed {
        std::u16string_view Name;
        TColor Color;
    };
    static constexpr TNamed kNames[] = {
        {u"clGray", kColorGray},
        {u"clBlack", kColorBlack},
        {u"clWhite", kColorWhite},
    };
    for (const auto& named : kNames)
        if (SameTextIgnoringAsciiCase(name, named.Name)) return named.Color;
    return std::nullopt;
}

class TRichParser {
public:
    std::vector<TRichRun> Parse(const std::u16string& markup) {
        std::size_t i = 0;
        while (i < markup.size()) {
            const char16_t c = markup[i];
            if (c == u'<') {
                const std::size_t close = markup.find(u'>', i + 1);
                if (close != std::u16string::npos &&
                    ApplyTag(std::u16string_view(markup).substr(i + 1, close - i - 1))) {
                    i = close + 1;
                    continue;
                }
            }
            if (c == u'\r' || c == u'\n') {
                EndLine();
                i += (c == u'\r' && i + 1 < markup.size() && markup[i + 1] == u'\n') ? 2 : 1;
                continue;
            }
            FPending += c;
            ++i;
        }
        Flush();
        return std::move(FRuns);
    }

private:
    // True when the tag was understood (and applied or dropped); false keeps it as text.
    bool ApplyTag(std::u16string_view tag) {
        const bool closing = !tag.empty() && tag.front() == u'/';
        if (closing) tag.remove_prefix(1);
        if (SameTextIgnoringAsciiCase(tag, u"B")) return Count(FBold, closing);
        if (SameTextIgnoringAsciiCase(tag, u"C")) return Count(FCentered, closing);
        if (closing && SameTextIgnoringAsciiCase(tag, u"FC")) {
            if (!FColors.empty()) {
                Flush();
                FColors.pop_back();
            }
            return true;
        }
        if (!closing && tag.size() > 3 && SameTextIgnoringAsciiCase(tag.substr(0, 3), u"FC:")) {
            const auto color = NamedColor(tag.substr(3));
            if (!color) return false;
            Flush();
            FColors.push_back(*color);
            return true;
        }
        return false;
    }

    bool Count(int& depth, bool closing) {
        Flush();
        if (!closing)
            ++depth;
        else if (depth > 0)
            --depth;
        return true;
    }

    void Flush() {
        if (FPending.empty()) return;
        TRichRun run{std::move(FPending), FBold > 0, FCentered > 0,
                     FColors.empty() ? std::nullopt : std::optional<TColor>(FColors.back()), false};
        FPending.clear();
        // Tags that change nothing leave one run, so equal text always gives equal runs.
        if (!FRuns.empty()) {
            TRichRun& last = FRuns.back();
            if (!last.LineBreak && last.Bold == run.Bold && last.Centered == run.Centered && last.Color == run.Color) {
                last.Text += run.Text;
                return;
            }
        }
        FRuns.push_back(std::move(run));
    }

    void EndLine() {
        Flush();
        if (FRuns.empty() || FRuns.back().LineBreak)
            FRuns.push_back(TRichRun{u"", FBold > 0, FCentered > 0, std::nullopt, true});
        else
            FRuns.back().LineBreak = true;
    }

    std::vector<TRichRun> FRuns;
    std::u16string FPending;
    int FBold = 0;
    int FCentered = 0;
    std::vector<TColor> FColors;
};

} // namespace

std::vector<TRichRun> ParseRichText(const std::u16string& markup) {
    return TRichParser().Parse(markup);
}

std::u16string PlainText(const std::vector<TRichRun>& runs) {
    std::u16string text;
    for (const auto& run : runs) {
        text += run.Text;
        if (run.LineBreak) text += u"\r\n";
    }
    return text;
}

std::vector<int> PlaceRichLine(const std::vector<int>& runWidths, const std::vector<bool>& centered, int boxWidth) {
    const int total = std::accumulate(runWidths.begin(), runWidths.end(), 0);
    bool anyCentered = false;
    for (std::size_t i = 0; i < centered.size() && i < runWidths.size(); ++i) anyCentered = anyCentered || centered[i];
    int x = (anyCentered && total < boxWidth) ? (boxWidth - total) / 2 : 0;
    std::vector<int> places;
    places.reserve(runWidths.size());
    for (const int width : runWidths) {
        places.push_back(x);
        x += width;
    }
    return places;
}

} // namespace zx
