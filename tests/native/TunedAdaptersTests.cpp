// The tuned-adapter list as untrusted text: which entries pass, its bound, and the one
// settings value it lives in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/TunedAdapters.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx {
namespace {

const std::u16string kGuid = u"{4D36E972-E325-11CE-BFC1-08002BE10318}";
const std::u16string kSettingsKey = u"Software\\Zephyrix";

// The n-th of many distinct valid GUIDs.
std::u16string NumberedGuid(int n) {
    std::u16string digits = u"000000000000";
    for (std::size_t at = digits.size(); n > 0 && at > 0; n /= 10) digits[--at] = static_cast<char16_t>(u'0' + n % 10);
    return u"{00000000-0000-4000-8000-" + digits + u"}";
}

TEST(TunedAdapterList, OnlyTheExactBraceFormOfAGuidIsAnEntry) {
    struct Case {
        const char* what;
        std::u16string entry;
        bool kept;
    };
    const Case cases[] = {
        {"valid", kGuid, true},
        {"lower case", u"{4d36e972-e325-11ce-bfc1-08002be10318}", true},
        {"mixed case", u"{4d36E972-e325-11CE-bfc1-08002Be10318}", true},
        {"missing braces", u"4D36E972-E325-11CE-BFC1-08002BE10318", false},
        {"missing closing brace", u"{4D36E972-E325-11CE-BFC1-08002BE10318", false},
        {"37 characters", u"{4D36E972-E325-11CE-BFC1-08002BE1031}", false},
        {"39 characters", u"{4D36E972-E325-11CE-BFC1-08002BE103181}", false},
        {"dash moved", u"{4D36E97-2E325-11CE-BFC1-08002BE10318}", false},
        {"not hexadecimal", u"{4D36E972-E325-11CE-BFC1-08002BE1031G}", false},
        {"full-width digit", u"{4D36E972-E325-11CE-BFC1-08002BE1031\uFF18}", false},
        {"parent key", u"..", false},
        {"dots in place of digits", u"{........-....-....-....-............}", false},
        {"backslash", u"{4D36E972-E325-11CE-BFC1-08002BE10318}\\Sub", false},
        {"backslash inside", u"{4D36E972-E325-11CE-BFC1\\08002BE10318}", false},
        {"spaces around", u" {4D36E972-E325-11CE-BFC1-08002BE10318} ", false},
        {"NUL inside", std::u16string(u"{4D36E972-E325-11CE-BFC1-08002BE1031") + char16_t{0} + u"}", false},
        {"empty", u"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsInterfaceGuid(c.entry), c.kept) << c.what;
        // The same rule decides what a stored list yields, beside a valid neighbour.
        const std::vector<std::u16string> expected = c.kept ? std::vector<std::u16string>{c.entry, NumberedGuid(1)}
                                                            : std::vector<std::u16string>{NumberedGuid(1)};
        EXPECT_EQ(ParseTunedAdapters(c.entry + u";" + NumberedGuid(1)), expected) << c.what;
    }
}

TEST(TunedAdapterList, KeepsEachAdapterOnceAndAtMostSixtyFourOfThem) {
    EXPECT_EQ(ParseTunedAdapters(u""), std::vector<std::u16string>{});
    EXPECT_EQ(ParseTunedAdapters(u";;" + kGuid + u";;"), std::vector<std::u16string>{kGuid});
    std::u16string lower = kGuid;
    for (char16_t& c : lower) c = (c >= u'A' && c <= u'F') ? static_cast<char16_t>(c + 32) : c;
    EXPECT_EQ(ParseTunedAdapters(kGuid + u";" + lower), std::vector<std::u16string>{kGuid}) << "case is ignored";

    std::vector<std::u16string> sixtyFive;
    for (int n = 1; n <= 65; ++n) sixtyFive.push_back(NumberedGuid(n));
    const std::vector<std::u16string> read = ParseTunedAdapters(JoinTunedAdapters(sixtyFive));
    ASSERT_EQ(read.size(), kMaxTunedAdapters);
    EXPECT_EQ(read.front(), NumberedGuid(2)) << "the oldest entry makes way";
    EXPECT_EQ(read.back(), NumberedGuid(65));
}

class TunedAdapterStore : public testing::Test {
protected:
    void Store(const TRegValue& value) {
        auto key = FRegistry.CreateKey(kRootCurrentUser, kSettingsKey, kKeyAllAccess);
        ASSERT_TRUE(key);
        ASSERT_EQ(key->SetValue(u"tunedadapters", value), kRegSuccess);
    }
    std::optional<TRegValue> Stored() const {
        return FRegistry.Value(kRootCurrentUser, kSettingsKey, u"tunedadapters");
    }
    TTunedAdapters List() { return TTunedAdapters(FRegistry, u"Zephyrix"); }

    TMemoryRegistry FRegistry;
};

TEST_F(TunedAdapterStore, RemembersValidAdaptersOnceAndForgetsThemAll) {
    EXPECT_TRUE(List().Read().empty());
    List().Remember(kGuid);
    List().Remember(kGuid);
    List().Remember(u"..");
    List().Remember(NumberedGuid(7));
    EXPECT_EQ(Stored(), StringValue(kGuid + u";" + NumberedGuid(7)));
    EXPECT_EQ(List().Read(), (std::vector<std::u16string>{kGuid, NumberedGuid(7)}));

    List().Forget();
    EXPECT_EQ(Stored(), StringValue(u""));
    EXPECT_TRUE(List().Read().empty());
    FRegistry.ClearJournal();
    List().Forget();
    for (const auto& op : FRegistry.Journal()) EXPECT_NE(op.Kind, roSetValue) << "an empty list is not written again";
}

TEST_F(TunedAdapterStore, APlantedValueYieldsOnlyItsValidEntriesAndIsNotCarriedOn) {
    Store(StringValue(u"..;" + kGuid + u"\\..\\..\\Run;" + NumberedGuid(3) + u";C:\\x"));
    EXPECT_EQ(List().Read(), std::vector<std::u16string>{NumberedGuid(3)});
    List().Remember(NumberedGuid(4));
    EXPECT_EQ(Stored(), StringValue(NumberedGuid(3) + u";" + NumberedGuid(4)));

    // A full list of 65: remembering one more keeps the newest 64, the new one last.
    std::vector<std::u16string> full;
    for (int n = 1; n <= 65; ++n) full.push_back(NumberedGuid(n));
    Store(StringValue(JoinTunedAdapters(full)));
    List().Remember(kGuid);
    const std::vector<std::u16string> kept = List().Read();
    ASSERT_EQ(kept.size(), kMaxTunedAdapters);
    EXPECT_EQ(kept.front(), NumberedGuid(3));
    EXPECT_EQ(kept.back(), kGuid);
}

TEST_F(TunedAdapterStore, AValueOfAnotherTypeHoldsNoEntryAndRaisesNothing) {
    for (const TRegValue& value :
         {DwordValue(7), TRegValue{kRegBinary, {0x7B, 0x00}}, StringValue(kGuid, kRegMultiSz)}) {
        Store(value);
        EXPECT_TRUE(List().Read().empty()) << value.Type;
        List().Remember(kGuid);
        EXPECT_EQ(List().Read(), std::vector<std::u16string>{kGuid}) << value.Type;
        Store(value);
        List().Forget();
        EXPECT_EQ(Stored(), StringValue(u"")) << value.Type;
    }
}

} // namespace
} // namespace zx
