#include <gtest/gtest.h>

#include "contract/TweakCatalogueContract.h"
#include "engine/TweakCatalogue.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx::test {
namespace {

class TMemoryCatalogueScratch final : public TCatalogueScratch {
public:
    IRegistry& Registry() override { return FRegistry; }

private:
    TMemoryRegistry FRegistry;
};

INSTANTIATE_TEST_SUITE_P(Memory, TweakCatalogueContract,
                         ::testing::Values(TCatalogueBackend{
                             "Memory", [] { return std::make_unique<TMemoryCatalogueScratch>(); }}),
                         CatalogueBackendName);

const std::u16string kInterfaceKey = kInterfacesKey + u"\\" + kTestAdapter;

TEST(TweakCatalogue, AFailedStepDoesNotStopTheFollowingOnes) {
    TMemoryRegistry registry;
    registry.DenyAccess(kRootLocalMachine, kInterfaceKey);
    ASSERT_TRUE(registry.CreateKey(kRootLocalMachine, kProfileKey, kKeyAllAccess));
    registry.MakeReadOnly(kRootLocalMachine, kProfileKey);

    ApplyTweaks(registry, kTestAdapter, {true, true, true, true, true});
    EXPECT_EQ(registry.Value(kRootLocalMachine, kQueueKey, u"TCPNoDelay"), DwordValue(1));
    EXPECT_TRUE(registry.ValueNames(kRootLocalMachine, kProfileKey).empty());

    const std::vector<TRegOperation> tried = {
        {roSetValue, kRootLocalMachine, kQueueKey, u"TCPNoDelay", DwordValue(1), kRegSuccess},
        {roSetValue, kRootLocalMachine, kProfileKey, u"NetworkThrottlingIndex", DwordValue(0xFFFFFFFF),
         kErrorAccessDenied},
        {roSetValue, kRootLocalMachine, kProfileKey, u"SystemResponsiveness", DwordValue(0), kErrorAccessDenied},
    };
    EXPECT_EQ(registry.Journal(), tried);

    registry.ClearJournal();
    RevertTweaks(registry, kTestAdapter);
    EXPECT_FALSE(registry.Value(kRootLocalMachine, kQueueKey, u"TCPNoDelay")) << "deleted despite the failures before";
    EXPECT_EQ(registry.Journal().front().Name, u"TCPNoDelay");
}

TEST(TweakCatalogue, KeepsExistingNeighboursOfItsValues) {
    TMemoryRegistry registry;
    auto profile = registry.CreateKey(kRootLocalMachine, kProfileKey, kKeyAllAccess);
    auto interfaceKey = registry.CreateKey(kRootLocalMachine, kInterfaceKey, kKeyAllAccess);
    ASSERT_TRUE(profile && interfaceKey);
    ASSERT_EQ(profile->SetDword(u"SystemResponsiveness", 20), kRegSuccess);
    ASSERT_EQ(profile->SetString(u"Other", u"kept"), kRegSuccess);
    ASSERT_EQ(interfaceKey->SetString(u"DhcpIPAddress", u"10.0.0.2"), kRegSuccess);
    // A value of another type under a catalogue name is replaced by the DWORD.
    ASSERT_EQ(interfaceKey->SetString(u"tcpackfrequency", u"2"), kRegSuccess);

    ApplyTweaks(registry, kTestAdapter, {true, false, false, false, true});
    EXPECT_EQ(registry.Value(kRootLocalMachine, kInterfaceKey, u"TcpAckFrequency"), DwordValue(1));
    EXPECT_EQ(registry.Value(kRootLocalMachine, kProfileKey, u"SystemResponsiveness"), DwordValue(0));

    RevertTweaks(registry, kTestAdapter);
    EXPECT_EQ(registry.ValueNames(kRootLocalMachine, kInterfaceKey), std::vector<std::u16string>{u"DhcpIPAddress"});
    EXPECT_EQ(registry.Value(kRootLocalMachine, kProfileKey, u"Other"), StringValue(u"kept"));
    EXPECT_EQ(registry.Value(kRootLocalMachine, kProfileKey, u"SystemResponsiveness"), DwordValue(20));
}

TEST(TweakCatalogue, AValueThatCannotBeReadCountsAsNotSet) {
    struct Case {
        const char* what;
        std::u16string denied;
        TTweakOptions expected;
    };
    const Case cases[] = {
        {"interface key", kInterfaceKey, {false, false, false, true, true}},
        {"queue key", kQueueKey, {true, true, false, true, true}},
        {"profile key", kProfileKey, {true, true, true, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryRegistry registry;
        ApplyTweaks(registry, kTestAdapter, {true, true, true, true, true});
        registry.DenyAccess(kRootLocalMachine, c.denied);
        const TTweakOptions read = ReadAppliedTweaks(registry, kTestAdapter);
        EXPECT_EQ(read.AckFrequency, c.expected.AckFrequency);
        EXPECT_EQ(read.DelAckTicks, c.expected.DelAckTicks);
        EXPECT_EQ(read.NoDelay, c.expected.NoDelay);
        EXPECT_EQ(read.ThrottlingIndex, c.expected.ThrottlingIndex);
        EXPECT_EQ(read.Responsiveness, c.expected.Responsiveness);
    }
}

} // namespace
} // namespace zx::test
