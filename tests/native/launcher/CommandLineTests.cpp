#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/CommandLine.h"
#include "native/ShowText.h"

namespace zx::launcher {
namespace {

std::string ShowWords(const std::vector<std::u16string>& words) {
    std::string text;
    for (const auto& word : words) text += Show(word) + " ";
    return text;
}

TEST(SplitCommandLineTest, SeparatorsQuotedStretchesAndOuterQuotes) {
    struct Case {
        const char* why;
        std::u16string line;
        std::vector<std::u16string> words;
    };
    const Case cases[] = {
        {"quoted path with a space",
         uR"("C:\Program Files\Z\ZephyrixService.exe" /inst)",
         {uR"(C:\Program Files\Z\ZephyrixService.exe)", u"/inst"}},
        {"plain path", uR"(C:\Z\ZephyrixService.exe /inst)", {uR"(C:\Z\ZephyrixService.exe)", u"/inst"}},
        {"unquoted path with a space splits",
         uR"(C:\Program Files\ZephyrixService.exe /inst)",
         {u"C:\\Program", u"Files\\ZephyrixService.exe", u"/inst"}},
        {"runs of separators, leading and trailing", u"  a \t\r\n /inst  ", {u"a", u"/inst"}},
        {"every code up to 32 separates", u"a\x01/inst\x1Fx", {u"a", u"/inst", u"x"}},
        {"code 33 and above do not", u"a\u00A0/inst !x", {u"a\u00A0/inst", u"!x"}},
        {"quoted switch loses its quotes", uR"(a "/inst")", {u"a", u"/inst"}},
        {"quoted stretch keeps spaces", uR"(a "/in st" b)", {u"a", u"/in st", u"b"}},
        {"quote inside a word is kept", uR"(a /in"st x" b)", {u"a", uR"(/in"st x")", u"b"}},
        {"quotes that do not enclose the word stay", uR"(a "x"y)", {u"a", uR"("x"y)"}},
        {"only the outer pair goes", uR"(a "x""y")", {u"a", uR"(x""y)"}},
        {"two quotes make an empty word", uR"(a "" b)", {u"a", u"", u"b"}},
        {"a lone quote is one character, kept", uR"(a ")", {u"a", u"\""}},
        {"unclosed quote runs to the end", uR"(a "/inst b)", {u"a", uR"("/inst b)"}},
        {"empty line", u"", {}},
        {"only separators", u" \t ", {}},
    };
    for (const auto& c : cases) {
        const auto words = SplitCommandLine(c.line);
        EXPECT_EQ(words, c.words) << c.why << ": " << ShowWords(words);
    }
}

TEST(SplitCommandLineTest, FirstArgumentIsTheWordAfterTheProgram) {
    struct Case {
        std::u16string line;
        std::u16string first;
    };
    const Case cases[] = {
        {uR"("C:\Z\ZephyrixService.exe" /inst)", u"/inst"},
        {uR"("C:\Z\ZephyrixService.exe" /INST)", u"/INST"},
        {uR"("C:\Z\ZephyrixService.exe" /instx)", u"/instx"},
        {uR"("C:\Z\ZephyrixService.exe" x /inst)", u"x"},
        {uR"("C:\Z\ZephyrixService.exe")", u""},
        {u"", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(FirstArgument(c.line), c.first) << Show(c.line);
}

} // namespace
} // namespace zx::launcher
