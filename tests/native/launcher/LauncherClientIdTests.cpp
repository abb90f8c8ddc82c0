#include <gtest/gtest.h>

#include <string>

#include "kit/ClientId.h"
#include "launcher/LauncherClientId.h"
#include "native/ShowText.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx::launcher {
namespace {

class TFixedClock final : public ILocalClock {
public:
    TLocalDate Today() override { return {2005, 1, 9}; }
    TLocalTimeOfDay TimeOfDay() override { return {7, 3, 4}; }
};

// Counts its draws; always draws 1.
class TCountingRandom final : public IRandomSource {
public:
    std::uint32_t Below(std::uint32_t) override {
        ++Draws;
        return 1;
    }
    int Draws = 0;
};

const std::u16string kKey = u"Software\\Moravel";
const std::u16string kNewId = u"00000001"
                              u"050109"
                              u"0001"
                              u"070304"
                              u"00000001";

class LauncherClientIdTest : public ::testing::Test {
protected:
    void MakeKey() { ASSERT_NE(Registry.CreateKey(kRootCurrentUser, kKey, kKeyAllAccess), nullptr); }
    void Store(const TRegValue& value) {
        ASSERT_EQ(Registry.CreateKey(kRootCurrentUser, kKey, kKeyAllAccess)->SetValue(u"KUID", value), kRegSuccess);
        Registry.ClearJournal();
    }
    std::optional<TRegValue> Stored() const { return Registry.Value(kRootCurrentUser, kKey, u"KUID"); }

    TMemoryRegistry Registry;
    TFixedClock Clock;
    TCountingRandom Random;
};

TEST_F(LauncherClientIdTest, MissingKeyIsNeverCreated) {
    EXPECT_EQ(launcher::GetClientID(Registry, Clock, Random), u"");
    EXPECT_FALSE(Registry.KeyExists(kRootCurrentUser, kKey));
    EXPECT_TRUE(Registry.Journal().empty());
    EXPECT_EQ(Random.Draws, 0);
}

TEST_F(LauncherClientIdTest, KeyWithoutValueGetsANewStoredIdentifier) {
    MakeKey();
    EXPECT_EQ(launcher::GetClientID(Registry, Clock, Random), kNewId);
    EXPECT_EQ(Stored(), StringValue(kNewId));
    // From then on the stored one is read, not made again.
    EXPECT_EQ(launcher::GetClientID(Registry, Clock, Random), kNewId);
    EXPECT_EQ(Random.Draws, 3);
}

TEST_F(LauncherClientIdTest, IdentifierIsDroppedWhenItCannotBeStored) {
    MakeKey();
    Registry.MakeReadOnly(kRootCurrentUser, kKey);
    EXPECT_EQ(launcher::GetClientID(Registry, Clock, Random), u"");
    EXPECT_EQ(Stored(), std::nullopt);
}

TEST_F(LauncherClientIdTest, KeyThatCannotBeOpenedGivesNothing) {
    MakeKey();
    Registry.DenyAccess(kRootCurrentUser, kKey);
    EXPECT_EQ(launcher::GetClientID(Registry, Clock, Random), u"");
    EXPECT_TRUE(Registry.Journal().empty());
}

TEST_F(LauncherClientIdTest, StoredValuesAreReadUpToTheFirstNulAndNeverChanged) {
    struct Case {
        const char* why;
        TRegValue stored;
        std::u16string expected;
    };
    const Case cases[] = {
        {"foreign text", StringValue(u"not-ours"), u"not-ours"},
        {"empty text: no new identifier", StringValue(u""), u""},
        {"expand-sz not expanded", StringValue(u"%USERPROFILE%x", kRegExpandSz), u"%USERPROFILE%x"},
        {"text after a NUL ignored", TRegValue{kRegSz, {'A', 0, 'B', 0, 0, 0, 'C', 0, 0, 0}}, u"AB"},
        {"no terminating NUL", TRegValue{kRegSz, {'A', 0, 'B', 0}}, u"AB"},
        {"dword gives nothing", DwordValue(7), u""},
        {"binary gives nothing", TRegValue{kRegBinary, {'A', 0, 0, 0}}, u""},
        {"multi-sz gives nothing", TRegValue{kRegMultiSz, {'A', 0, 0, 0, 0, 0}}, u""},
        {"CR LF and a header: nothing sent", StringValue(u"ABC\r\nX-Injected: 1"), u""},
        {"expand-sz with a line feed", StringValue(u"A\nB", kRegExpandSz), u""},
        {"a control character before a NUL", TRegValue{kRegSz, {'A', 0, 0x1B, 0, 0, 0, 'C', 0}}, u""},
        {"a control character only after the NUL", TRegValue{kRegSz, {'A', 0, 0, 0, '\n', 0}}, u"A"},
        {"spaces and punctuation unchanged", StringValue(u"a b:c-d"), u"a b:c-d"},
    };
    for (const auto& c : cases) {
        Store(c.stored);
        EXPECT_EQ(launcher::GetClientID(Registry, Clock, Random), c.expected) << c.why;
        EXPECT_EQ(Stored(), c.stored) << c.why;
        EXPECT_TRUE(Registry.Journal().empty()) << c.why;
    }
    EXPECT_EQ(Random.Draws, 0);
}

TEST_F(LauncherClientIdTest, BothProgramsSendTheIdentifierTheMainProgramMade) {
    const std::u16string made = zx::GetClientID(Registry, Clock, Random);
    ASSERT_EQ(made.size(), 32u);
    EXPECT_EQ(launcher::GetClientID(Registry, Clock, Random), made);
}

} // namespace
} // namespace zx::launcher
