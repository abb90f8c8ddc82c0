#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "native/ShowText.h"
#include "platform/common/Arithmetic.h"
#include "platform/common/AsciiText.h"
#include "platform/common/NumberText.h"
#include "platform/common/Utf8.h"

namespace zx {
namespace {

TEST(AsciiTextTest, OnlyAsciiLettersChangeCase) {
    EXPECT_EQ(ToUpperAscii(u"abz-AZ-09 éñ ß ä Ω ъ"), u"ABZ-AZ-09 éñ ß ä Ω ъ");
    EXPECT_EQ(ToLowerAscii(u"ABZ-az-09 ÉÑ Ä Ω Ъ"), u"abz-az-09 ÉÑ Ä Ω Ъ");
    EXPECT_EQ(ToUpperAscii(u'`'), u'`'); // the neighbours of a-z stay
    EXPECT_EQ(ToUpperAscii(u'{'), u'{');
    EXPECT_EQ(ToLowerAscii(u'@'), u'@');
    EXPECT_EQ(ToLowerAscii(u'['), u'[');
}

TEST(AsciiTextTest, SameTextIgnoresOnlyAsciiCase) {
    struct Case {
        std::u16string first;
        std::u16string second;
        bool same;
    };
    const Case cases[] = {
        {u"BtnHome", u"btnhome", true}, {u"", u"", true},       {u"Moravel", u"MORAVEL", true}, {u"é", u"É", false},
        {u"abc", u"abcd", false},       {u"abc", u"ab", false}, {u"a@", u"A`", false},          {u"[", u"{", false},
    };
    for (const auto& c : cases) EXPECT_EQ(SameTextIgnoringAsciiCase(c.first, c.second), c.same) << Show(c.first);
}

TEST(Utf8Test, DecodedAndDamagedSequencesBecomeReplacementCharacters) {
    struct Case {
        std::string_view bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"caf\xC3\xA9", u"café"},
        {"\xED\x95\x9C", u"한"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"a\xFF"
         "b",
         u"a\uFFFDb"},
        {"a\x80"
         "b",
         u"a\uFFFDb"},
        {"a\xC3", u"a\uFFFD"}, // cut off at the end
        {"a\xE2\x82"
         "b",
         u"a\uFFFDb"},                   // cut off before an ASCII byte, which is kept
        {"\xC0\xAF", u"\uFFFD"},         // overlong "/"
        {"\xED\xA0\x80", u"\uFFFD"},     // a surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"}, // past U+10FFFF
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> bytes(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(DecodeUtf8(bytes), c.text);
        EXPECT_EQ(DecodeUtf8(c.bytes), c.text) << ::testing::PrintToString(std::string(c.bytes));
    }
}

TEST(NumberTextTest, DecimalAndFixedWidthTexts) {
    EXPECT_EQ(DecimalText(0), u"0");
    EXPECT_EQ(DecimalText(65535), u"65535");
    EXPECT_EQ(DecimalText(18446744073709551615ull), u"18446744073709551615");
    EXPECT_EQ(HexText(0x1A2B, 8), u"00001A2B");
    EXPECT_EQ(HexText(0x7FFFFFFE, 8), u"7FFFFFFE");
    EXPECT_EQ(HexText(0x12345, 4), u"2345"); // only the low digits fit
    EXPECT_EQ(ZeroPaddedDecimal(5, 2), u"05");
    EXPECT_EQ(ZeroPaddedDecimal(2005, 2), u"05");
    EXPECT_EQ(ZeroPaddedDecimal(0, 2), u"00");
}

TEST(ArithmeticTest, MulDivRoundRoundsHalvesAwayFromZero) {
    struct Case {
        int value, numerator, denominator, expected;
    };
    const Case cases[] = {
        {10, 144, 96, 15}, {1, 144, 96, 2},    {-1, 144, 96, -2}, {3, 1, 2, 2},
        {-3, 1, 2, -2},    {40, 150, 100, 60}, {7, 3, 0, 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MulDivRound(c.value, c.numerator, c.denominator), c.expected)
            << c.value << "*" << c.numerator << "/" << c.denominator;
}

} // namespace
} // namespace zx
