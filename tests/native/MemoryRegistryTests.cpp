#include <gtest/gtest.h>

#include "contract/RegistryContract.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx::test {
namespace {

class TMemoryScratch final : public TRegistryScratch {
public:
    IRegistry& Registry() override { return FRegistry; }
    TRootKey Root() const override { return kRootCurrentUser; }
    std::u16string Base() const override { return u"Software\\ZephyrixTests\\Contract"; }
    void Lock(const std::u16string& below) override { FRegistry.DenyAccess(Root(), Base() + u"\\" + below); }

private:
    TMemoryRegistry FRegistry;
};

INSTANTIATE_TEST_SUITE_P(Memory, RegistryContract,
                         ::testing::Values(TRegistryBackend{"Memory",
                                                            [] { return std::make_unique<TMemoryScratch>(); }}),
                         BackendName);

TEST(MemoryRegistry, RootsAreSeparateTrees) {
    TMemoryRegistry registry;
    auto machine = registry.CreateKey(kRootLocalMachine, u"SOFTWARE\\Same", kKeyAllAccess);
    ASSERT_TRUE(machine);
    ASSERT_EQ(machine->SetDword(u"v", 1), kRegSuccess);
    EXPECT_FALSE(registry.OpenKey(kRootCurrentUser, u"SOFTWARE\\Same", kKeyRead));
    EXPECT_TRUE(registry.KeyExists(kRootLocalMachine, u"software\\same"));
    EXPECT_FALSE(registry.KeyExists(kRootCurrentUser, u"software\\same"));
    EXPECT_EQ(registry.Value(kRootLocalMachine, u"SOFTWARE\\SAME", u"V"), DwordValue(1));
}

TEST(MemoryRegistry, MarksNeedAWellFormedPath) {
    TMemoryRegistry registry;
    EXPECT_THROW(registry.DenyAccess(kRootCurrentUser, u"\\Software"), std::invalid_argument);
    EXPECT_THROW(registry.MakeReadOnly(kRootCurrentUser, u"\\Software"), std::invalid_argument);
}

TEST(MemoryRegistry, DeniedKeysCannotBeOpenedOrCreatedAtOrBelowTheMark) {
    TMemoryRegistry registry;
    auto before = registry.CreateKey(kRootLocalMachine, u"SOFTWARE\\Locked\\Inner", kKeyAllAccess);
    ASSERT_TRUE(before);
    registry.DenyAccess(kRootLocalMachine, u"software\\locked");

    struct Case {
        const char16_t* path;
        bool create;
    };
    const Case denied[] = {
        {u"SOFTWARE\\Locked", false},
        {u"SOFTWARE\\Locked", true},
        {u"SOFTWARE\\Locked\\Inner", false},
        {u"SOFTWARE\\LOCKED\\Inner", true},
        {u"SOFTWARE\\Locked\\New\\Chain", true},
    };
    for (const auto& c : denied) {
        TRegResult error = kRegSuccess;
        auto key = c.create ? registry.CreateKey(kRootLocalMachine, c.path, kKeyRead, &error)
                            : registry.OpenKey(kRootLocalMachine, c.path, kKeyRead, &error);
        EXPECT_FALSE(key);
        EXPECT_EQ(error, kErrorAccessDenied);
    }
    EXPECT_FALSE(registry.KeyExists(kRootLocalMachine, u"SOFTWARE\\Locked\\New"));
    EXPECT_TRUE(registry.OpenKey(kRootLocalMachine, u"SOFTWARE", kKeyRead)) << "the parent stays open";
    EXPECT_TRUE(registry.CreateKey(kRootLocalMachine, u"SOFTWARE\\LockedNot", kKeyRead)) << "a mere prefix of a name";

    // A key opened before the mark keeps working, as a Windows handle does.
    EXPECT_EQ(before->SetDword(u"v", 1), kRegSuccess);
}

TEST(MemoryRegistry, ReadOnlyKeysOpenButRefuseEveryChange) {
    TMemoryRegistry registry;
    auto before = registry.CreateKey(kRootCurrentUser, u"Software\\Fixed", kKeyAllAccess);
    ASSERT_TRUE(before);
    ASSERT_EQ(before->SetDword(u"kept", 1), kRegSuccess);
    registry.MakeReadOnly(kRootCurrentUser, u"Software\\Fixed");

    auto key = registry.CreateKey(kRootCurrentUser, u"software\\fixed", kKeyAllAccess);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->QueryValue(u"kept"), DwordValue(1));
    for (IRegistryKey* k : {key.get(), before.get()}) {
        EXPECT_EQ(k->SetDword(u"kept", 2), kErrorAccessDenied);
        EXPECT_EQ(k->SetDword(u"new", 2), kErrorAccessDenied);
        EXPECT_EQ(k->DeleteValue(u"kept"), kErrorAccessDenied);
    }
    EXPECT_EQ(registry.ValueNames(kRootCurrentUser, u"Software\\Fixed"), std::vector<std::u16string>{u"kept"});
    EXPECT_EQ(registry.Value(kRootCurrentUser, u"Software\\Fixed", u"kept"), DwordValue(1));

    TRegResult error = kRegSuccess;
    EXPECT_FALSE(registry.CreateKey(kRootCurrentUser, u"Software\\Fixed\\Sub", kKeyAllAccess, &error));
    EXPECT_EQ(error, kErrorAccessDenied);
    EXPECT_FALSE(registry.KeyExists(kRootCurrentUser, u"Software\\Fixed\\Sub"));
}

TEST(MemoryRegistry, JournalRecordsEveryChangeInOrderWithItsOutcome) {
    TMemoryRegistry registry;
    auto key = registry.CreateKey(kRootLocalMachine, u"SOFTWARE\\Log", kKeyAllAccess);
    auto reader = registry.OpenKey(kRootLocalMachine, u"software\\log", kKeyRead);
    ASSERT_TRUE(key && reader);
    ASSERT_EQ(key->SetString(u"Name", u"x"), kRegSuccess);
    ASSERT_EQ(key->DeleteValue(u"Name"), kRegSuccess);
    ASSERT_EQ(key->DeleteValue(u"Name"), kErrorFileNotFound);
    ASSERT_EQ(reader->SetDword(u"Other", 1), kErrorAccessDenied);
    (void)reader->QueryValue(u"Other"); // reads are not changes

    const std::vector<TRegOperation> expected = {
        {roSetValue, kRootLocalMachine, u"SOFTWARE\\Log", u"Name", StringValue(u"x"), kRegSuccess},
        {roDeleteValue, kRootLocalMachine, u"SOFTWARE\\Log", u"Name", {}, kRegSuccess},
        {roDeleteValue, kRootLocalMachine, u"SOFTWARE\\Log", u"Name", {}, kErrorFileNotFound},
        {roSetValue, kRootLocalMachine, u"software\\log", u"Other", DwordValue(1), kErrorAccessDenied},
    };
    EXPECT_EQ(registry.Journal(), expected);
    registry.ClearJournal();
    EXPECT_TRUE(registry.Journal().empty());
}

TEST(MemoryRegistry, KeysOutliveTheRegistry) {
    std::unique_ptr<IRegistryKey> key;
    {
        TMemoryRegistry registry;
        key = registry.CreateKey(kRootCurrentUser, u"Software\\Orphan", kKeyAllAccess);
    }
    ASSERT_TRUE(key);
    EXPECT_EQ(key->SetDword(u"v", 1), kRegSuccess);
    EXPECT_EQ(key->QueryValue(u"v"), DwordValue(1));
}

TEST(RegistryEncoding, StringsAreUtf16WithTheirNulAndDwordsLittleEndian) {
    EXPECT_EQ(DwordValue(0x12345678), (TRegValue{kRegDword, {0x78, 0x56, 0x34, 0x12}}));
    EXPECT_EQ(StringValue(u"A\u00E9\uD55C"), (TRegValue{kRegSz, {0x41, 0, 0xE9, 0, 0x5C, 0xD5, 0, 0}}));
    EXPECT_EQ(StringValue(u""), (TRegValue{kRegSz, {0, 0}}));
    EXPECT_EQ(StringValue(u"%A%", kRegExpandSz).Type, kRegExpandSz);

    struct Case {
        std::vector<std::uint8_t> data;
        std::u16string text;
    };
    const Case cases[] = {
        {{0x41, 0, 0x5C, 0xD5, 0, 0}, u"A\uD55C"},
        {{0x41, 0, 0x42, 0}, u"AB"},      // not terminated
        {{0x41, 0, 0, 0, 0x42, 0}, u"A"}, // stops at the first NUL
        {{0x41, 0, 0x42}, u"A"},          // odd last byte
        {{}, u""},
    };
    for (const auto& c : cases) EXPECT_EQ(TextFromData(c.data), c.text);
}

} // namespace
} // namespace zx::test
