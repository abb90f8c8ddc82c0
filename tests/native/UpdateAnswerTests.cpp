#include <gtest/gtest.h>

#include <string>

#include "kit/UpdateAnswer.h"
#include "native/ShowText.h"

namespace zx {
namespace {

TEST(ExtractBetweenTest, CutsTheFirstValueIgnoringAsciiCaseAndEscapedQuotes) {
    struct Case {
        const char* why;
        std::u16string source;
        std::u16string start;
        std::u16string end;
        std::u16string expected;
    };
    const Case cases[] = {
        {"plain", uR"({"update":"https://x/a.exe"})", u"\"update\":\"", u"\"", u"https://x/a.exe"},
        {"marker case ignored", uR"({"Update":"https://x/A.exe"})", u"\"update\":\"", u"\"", u"https://x/A.exe"},
        {"letters of the value kept", uR"({"UPDATE":"HtTp://X/é"})", u"\"update\":\"", u"\"", u"HtTp://X/é"},
        {"space after the colon", uR"({"update": "https://x"})", u"\"update\":\"", u"\"", u""},
        {"no marker", u"<html>404</html>", u"\"update\":\"", u"\"", u""},
        {"no end", uR"({"update":"https://x)", u"\"update\":\"", u"\"", u""},
        {"empty answer", u"", u"\"update\":\"", u"\"", u""},
        {"first occurrence wins", uR"({"update":"a","update":"b"})", u"\"update\":\"", u"\"", u"a"},
        {"escaped quote read over", uR"({"update":"a\"b","x":"y"})", u"\"update\":\"", u"\"", uR"(a\"b)"},
        {"escaped backslash before the quote", uR"({"update":"a\\","x":"y"})", u"\"update\":\"", u"\"", uR"(a\\",)"},
        {"escaped slashes kept for unescaping", uR"({"update":"https:\/\/x"})", u"\"update\":\"", u"\"",
         uR"(https:\/\/x)"},
        {"brace inside info ends it", uR"({"info":{"text":"a}b","url":"u"}})", u"\"info\":{", u"}", uR"("text":"a)"},
        {"single-quote end marker", uR"(k='a\'b' x)", u"k='", u"'", uR"(a\'b)"},
        {"non-quote end marker not protected", uR"(<a>x\<b)", u"<a>", u"<", uR"(x\)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractBetween(c.source, c.start, c.end), c.expected) << c.why << ": " << Show(c.source);
}

TEST(UnescapeJsonTest, ResolvesEscapesAsBothProgramsDo) {
    struct Case {
        const char* why;
        std::u16string text;
        std::u16string expected;
    };
    const Case cases[] = {
        {"no escapes", u"https://x/a.exe", u"https://x/a.exe"},
        {"escaped slashes", uR"(https:\/\/x\/a)", u"https://x/a"},
        {"quotes and backslash", uR"(\"\'\\)", u"\"'\\"},
        {"control escapes", uR"(\b\f\n\r\t)", u"\b\f\n\r\t"},
        {"unicode escape", uR"(\u0041B)", u"AB"},
        {"lower-case hex", uR"(\u00e9)", u"é"},
        {"surrogate pair", uR"(\uD83D\uDE00)", u"\U0001F600"},
        {"unknown escape dropped", uR"(a\xb)", u"ab"},
        {"trailing backslash dropped", u"ab\\", u"ab"},
        {"short hex at the end used", uR"(a\u41)", u"aA"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnescapeJSON(c.text, TEscapePolicy::epStrict), c.expected) << c.why;
        EXPECT_EQ(UnescapeJSON(c.text, TEscapePolicy::epLenient), c.expected) << c.why;
    }
}

TEST(UnescapeJsonTest, MalformedUnicodeEscapeFailsInTheMainProgramAndIsDroppedByTheLauncher) {
    struct Case {
        std::u16string text;
        std::u16string lenient;
    };
    const Case cases[] = {
        {uR"(a\u)", u"a"},       // nothing left after it
        {uR"(a\uZZZZb)", u"ab"}, // four non-hex characters consumed
        {uR"(a\u00G1b)", u"ab"},
        {uR"(a\u4)"
         u"\u00e9",
         u"a"}, // fewer than four, not all hex
    };
    for (const auto& c : cases) {
        EXPECT_THROW((void)UnescapeJSON(c.text, TEscapePolicy::epStrict), TJsonEscapeError) << Show(c.text);
        EXPECT_EQ(UnescapeJSON(c.text, TEscapePolicy::epLenient), c.lenient) << Show(c.text);
    }
}

TEST(UnescapeJsonTest, EscapedNulIsKeptByTheMainProgramOnly) {
    EXPECT_EQ(UnescapeJSON(uR"(a\u0000b)", TEscapePolicy::epStrict), std::u16string(u"a\0b", 3));
    EXPECT_EQ(UnescapeJSON(uR"(a\u0000b)", TEscapePolicy::epLenient), u"ab");
}

TEST(UpdateAddressTest, MainProgramAndLauncherReadTheDownloadAddressByTheirOwnRules) {
    struct Case {
        const char* why;
        std::u16string answer;
        std::u16string main;
        std::u16string launcher;
    };
    const Case cases[] = {
        {"escaped slashes", uR"({"update":"https:\/\/dl.example\/z.exe"})", u"https://dl.example/z.exe",
         u"https://dl.example/z.exe"},
        {"capital key", uR"({"Update":"https://a"})", u"https://a", u""},
        {"space after colon", uR"({"update": "https://a"})", u"", u""},
        {"escaped quote", uR"({"update":"https://a\"b","x":1})", u"https://a\"b", u"https://a"},
        {"unicode escape", uR"({"update":"https://\u0041"})", u"https://A", u"https://A"},
        {"empty value", uR"({"update":"","info":{"style":"note"}})", u"", u""},
        {"html page", u"<html><body>Not Found</body></html>", u"", u""},
        {"empty body", u"", u"", u""},
        {"unterminated value: launcher reads to the end", uR"({"update":"https://a)", u"", u"https://a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadUpdateAddressStrict(c.answer), c.main) << c.why;
        EXPECT_EQ(ExtractUpdateURL(c.answer), c.launcher) << c.why;
    }
}

TEST(UpdateNoticeTest, FieldsComeFromTheInfoObjectUnescapedAndStopAtItsFirstBrace) {
    const TUpdateNotice notice = ReadUpdateNotice(
        uR"({"update":"u","info":{"url":"https:\/\/n","flag":"nostayontop","style":"note","text":"Read \"this\""}})");
    EXPECT_EQ(notice.Style, u"note");
    EXPECT_EQ(notice.Text, u"Read \"this\"");
    EXPECT_EQ(notice.Flag, u"nostayontop");
    EXPECT_EQ(notice.URL, u"https://n");
    EXPECT_TRUE(notice.StaysOnTop());

    const TUpdateNotice cut = ReadUpdateNotice(uR"({"info":{"text":"a}b","style":"hold"}})");
    EXPECT_EQ(cut.Text, u""); // the brace inside the text ended the info object
    EXPECT_EQ(cut.Style, u"");

    const TUpdateNotice outside = ReadUpdateNotice(uR"({"style":"hold","info":{}})");
    EXPECT_EQ(outside.Style, u""); // only the info object is searched
    EXPECT_FALSE(ReadUpdateNotice(uR"({"info":{"flag":"StayOnTop"}})").StaysOnTop()); // case-sensitive

    EXPECT_THROW((void)ReadUpdateNotice(uR"({"info":{"text":"\uXY"}})"), TJsonEscapeError);
}

TEST(WebAddressTest, OnlyHttpAndHttpsAddressesMayBeOpened) {
    struct Case {
        std::u16string address;
        bool web;
    };
    const Case cases[] = {
        {u"https://dl.example/z.exe", true},
        {u"http://dl.example/z.exe", true},
        {u"HTTPS://dl.example", true},
        {u"hTtP://x", true},
        {u"", false},
        {u"https:", false},
        {u"https:/x", false},
        {u"file:///C:/Windows/System32/calc.exe", false},
        {u"C:\\Windows\\System32\\calc.exe", false},
        {u"\\\\server\\share\\setup.exe", false},
        {u"ftp://x", false},
        {u"javascript:alert(1)", false},
        {u" https://x", false},
        {u"ｈttps://x", false}, // full-width letter is not ASCII
    };
    for (const auto& c : cases) EXPECT_EQ(IsWebAddress(c.address), c.web) << Show(c.address);
}

TEST(WebAddressTest, NoCharacterUpToSpaceNoDeleteAndNoDoubleQuoteAfterTheScheme) {
    for (char16_t c = 0; c <= 0x20; ++c) {
        EXPECT_FALSE(IsWebAddress(u"https://dl.test/a" + std::u16string(1, c) + u"b")) << static_cast<int>(c);
        EXPECT_FALSE(IsWebAddress(u"http://dl.test/" + std::u16string(1, c))) << static_cast<int>(c);
    }
    EXPECT_FALSE(IsWebAddress(u"https://dl.test/a\x7F"
                              "b"));
    EXPECT_FALSE(IsWebAddress(u"https://dl.test/a\"b"));
    EXPECT_FALSE(IsWebAddress(u"https://dl.test/a.exe\" --new-window"));
    // Their neighbours and what an address uses in their place stay web addresses.
    for (const std::u16string address :
         {u"https://dl.test/a!b", u"https://dl.test/a~b", u"https://dl.test/a'b", u"https://dl.test/a%20b",
          u"https://dl.test/a%22b", u"https://dl.test/a\u0080b", u"https://dl.test/a\u00A0b",
          u"https://dl.test/\u00e9"})
        EXPECT_TRUE(IsWebAddress(address)) << Show(address);
}

} // namespace
} // namespace zx
