// The rich label's markup: runs, nesting, unknown tags, line breaks, placement.
#include <gtest/gtest.h>

#include "platform/ui/RichText.h"

namespace zx {
namespace {

TRichRun MakeRun(std::u16string text, bool bold, bool centred, std::optional<TColor> color = std::nullopt,
                 bool lineBreak = false) {
    return TRichRun{std::move(text), bold, centred, color, lineBreak};
}

TEST(RichText, ParsesTheSloganMarkup) {
    struct TCase {
        const char* Name;
        std::u16string Markup;
        std::vector<TRichRun> Expected;
    } const cases[] = {
        {"plain", u"abc", {MakeRun(u"abc", false, false)}},
        {"empty", u"", {}},
        {"slogan as the window sets it",
         u"<C><FC:clGray><B>게임 반응 속도</B>를 손쉽게 향상 시킵니다.</FC></C>",
         {MakeRun(u"게임 반응 속도", true, true, kColorGray),
          MakeRun(u"를 손쉽게 향상 시킵니다.", false, true, kColorGray)}},
        {"bold in the middle",
         u"a<B>b</B>c",
         {MakeRun(u"a", false, false), MakeRun(u"b", true, false), MakeRun(u"c", false, false)}},
        {"tags in any letter case", u"<b>x</B><c>y</c>", {MakeRun(u"x", true, false), MakeRun(u"y", false, true)}},
        {"same tag nested twice stays on until both close",
         u"<B>a<B>b</B>c</B>d",
         {MakeRun(u"abc", true, false), MakeRun(u"d", false, false)}},
        {"crossed closing order",
         u"<B><C>a</B>b</C>c",
         {MakeRun(u"a", true, true), MakeRun(u"b", false, true), MakeRun(u"c", false, false)}},
        {"unclosed tag runs to the end", u"<B>bold", {MakeRun(u"bold", true, false)}},
        {"stray closing tags are dropped", u"</B>a</FC></C>b", {MakeRun(u"ab", false, false)}},
        {"unknown tag stays as text", u"<I>x</I>", {MakeRun(u"<I>x</I>", false, false)}},
        {"unknown colour stays as text", u"<FC:clPink>x</FC>", {MakeRun(u"<FC:clPink>x", false, false)}},
        {"a lone angle bracket is text", u"a < b > c <", {MakeRun(u"a < b > c <", false, false)}},
        {"colour closes back to the outer colour",
         u"<FC:clGray>a<FC:clBlack>b</FC>c</FC>d",
         {MakeRun(u"a", false, false, kColorGray), MakeRun(u"b", false, false, kColorBlack),
          MakeRun(u"c", false, false, kColorGray), MakeRun(u"d", false, false)}},
        {"line breaks: CR LF, LF, CR and an empty line",
         u"a\r\nb\nc\r\rd",
         {MakeRun(u"a", false, false, std::nullopt, true), MakeRun(u"b", false, false, std::nullopt, true),
          MakeRun(u"c", false, false, std::nullopt, true), MakeRun(u"", false, false, std::nullopt, true),
          MakeRun(u"d", false, false)}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseRichText(c.Markup), c.Expected) << c.Name;
}

TEST(RichText, PlainTextDropsOnlyTheMarkup) {
    EXPECT_EQ(PlainText(ParseRichText(u"<C><FC:clGray>최적화된 네트워크로 <B>지연 시간을 최소화</B>합니다.</FC></C>")),
              u"최적화된 네트워크로 지연 시간을 최소화합니다.");
    EXPECT_EQ(PlainText(ParseRichText(u"<B>a</B>\nb <X>")), u"a\r\nb <X>");
}

TEST(RichText, PlacesALine) {
    struct TCase {
        const char* Name;
        std::vector<int> Widths;
        std::vector<bool> Centered;
        int Box;
        std::vector<int> Expected;
    } const cases[] = {
        {"left", {10, 20}, {false, false}, 100, {0, 10}},
        {"centred", {10, 20}, {true, true}, 100, {35, 45}},
        {"one centred run centres the line", {10, 20}, {false, true}, 100, {35, 45}},
        {"wider than the box starts at 0", {80, 40}, {true, true}, 100, {0, 80}},
        {"empty", {}, {}, 100, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(PlaceRichLine(c.Widths, c.Centered, c.Box), c.Expected) << c.Name;
}

} // namespace
} // namespace zx
