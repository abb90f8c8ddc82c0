#include <gtest/gtest.h>

#include "kit/VersionText.h"

using zx::FormatVersion;

TEST(FormatVersion, FillsConversionsInOrderAndLeavesTheRest) {
    struct Case {
        std::u16string format;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"%d.%d.%d.%d", u"1.6.0.65535"},
        {u"v%u-%d", u"v1-6"},
        {u"100%% %d", u"100% 1"},
        {u"%d.%d.%d.%d.%d", u"1.6.0.65535.%d"}, // a fifth conversion has nothing to read
        {u"%s %x %", u"%s %x %"},
        {u"", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatVersion(c.format, {1, 6, 0, 65535}), c.expected);
}

TEST(FormatVersion, NoVersionIsZeroWhateverTheFormat) {
    EXPECT_EQ(zx::FormatVersionOrZero(u"%d-%d", std::nullopt), u"0.0.0.0");
    EXPECT_EQ(zx::FormatVersionOrZero(u"%d-%d", std::array<std::uint16_t, 4>{2, 3, 0, 0}), u"2-3");
}
