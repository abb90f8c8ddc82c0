#include <gtest/gtest.h>

#include <climits>

#include "contract/RecordingRegistry.h"
#include "engine/RegistryPath.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx {
namespace {

TEST(RootKeyFromName, MatchesOnlyTheExactNamesOfTheTable) {
    struct Case {
        std::u16string name;
        TRootKey root;
    };
    const Case cases[] = {
        {u"HKEY_CLASSES_ROOT", 0x80000000},
        {u"HKEY_CURRENT_USER", 0x80000001},
        {u"HKEY_LOCAL_MACHINE", 0x80000002},
        {u"HKEY_USERS", 0x80000003},
        {u"HKEY_PERFORMANCE_DATA", 0x80000004},
        {u"HKEY_CURRENT_CONFIG", 0x80000005},
        {u"HKEY_DYN_DATA", 0x80000006},
        {u"hkey_local_machine", 0},
        {u"HKEY_Local_Machine", 0},
        {u"HKLM", 0},
        {u"", 0},
        {u"HKEY_LOCAL_MACHINE ", 0},
        {u" HKEY_LOCAL_MACHINE", 0},
        {u"HKEY_LOCAL_MACHINE\\", 0},
        {u"HKEY_USERS2", 0},
        {u"HKEY_CURRENT_USER_LOCAL_SETTINGS", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(RootKeyFromName(c.name), c.root);
}

class RegistryPathTest : public ::testing::Test {
protected:
    TMemoryRegistry FMemory;
    test::TRecordingRegistry FRegistry{FMemory};
};

TEST_F(RegistryPathTest, WriteSplitsAtTheFirstBackslashAndOpensWithCreateInThe64BitView) {
    struct Case {
        std::u16string path;
        TRootKey root;
        std::u16string subKey;
    };
    const Case cases[] = {
        {u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\MSMQ\\Parameters", 0x80000002,
         u"SOFTWARE\\Microsoft\\MSMQ\\Parameters"},
        {u"HKEY_CURRENT_USER\\Software\\Zephyrix", 0x80000001, u"Software\\Zephyrix"},
        {u"HKEY_CLASSES_ROOT\\A", 0x80000000, u"A"},
        {u"HKEY_DYN_DATA\\B\\C", 0x80000006, u"B\\C"},
    };
    for (const auto& c : cases) {
        FRegistry.Clear();
        WriteRegistryInteger(FRegistry, c.path, u"Value", 5);
        const std::vector<test::TRecordedStep> expected = {
            {roSetValue, c.root, c.subKey, 0x2011F, true, u"Value", {kRegDword, {5, 0, 0, 0}}}};
        EXPECT_EQ(FRegistry.Steps(), expected);
        EXPECT_EQ(FMemory.Value(c.root, c.subKey, u"Value"), (TRegValue{kRegDword, {5, 0, 0, 0}}));
    }
}

TEST_F(RegistryPathTest, WriteStoresTheTwosComplementAsADword) {
    struct Case {
        std::int32_t value;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
        {10, {10, 0, 0, 0}},
        {INT_MIN, {0, 0, 0, 0x80}},
        {0x01020304, {4, 3, 2, 1}},
    };
    for (const auto& c : cases) {
        WriteRegistryInteger(FRegistry, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\T", u"v", c.value);
        EXPECT_EQ(FMemory.Value(kRootLocalMachine, u"SOFTWARE\\T", u"v"), (TRegValue{kRegDword, c.bytes}));
    }
}

TEST_F(RegistryPathTest, AMissingChainIsCreatedByWriteAndByDelete) {
    const std::u16string path = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\MSMQ\\Parameters";
    ASSERT_FALSE(FMemory.KeyExists(kRootLocalMachine, u"SOFTWARE"));

    DeleteRegistryValue(FRegistry, path, u"TCPNoDelay");
    EXPECT_TRUE(FMemory.KeyExists(kRootLocalMachine, u"SOFTWARE\\Microsoft\\MSMQ\\Parameters"));
    EXPECT_TRUE(FMemory.ValueNames(kRootLocalMachine, u"SOFTWARE\\Microsoft\\MSMQ\\Parameters").empty());
    const std::vector<test::TRecordedStep> deleteStep = {
        {roDeleteValue, kRootLocalMachine, u"SOFTWARE\\Microsoft\\MSMQ\\Parameters", 0x2011F, true, u"TCPNoDelay", {}}};
    EXPECT_EQ(FRegistry.Steps(), deleteStep);
    EXPECT_EQ(FMemory.Journal().back().Result, kErrorFileNotFound) << "a missing value is ignored quietly";

    WriteRegistryInteger(FRegistry, path, u"TCPNoDelay", 1);
    WriteRegistryInteger(FRegistry, path, u"Kept", 2);
    DeleteRegistryValue(FRegistry, path, u"tcpnodelay");
    EXPECT_EQ(FMemory.ValueNames(kRootLocalMachine, u"SOFTWARE\\Microsoft\\MSMQ\\Parameters"),
              std::vector<std::u16string>{u"Kept"});
}

TEST_F(RegistryPathTest, PathsWithoutAKnownRootDoNothing) {
    for (const std::u16string path :
         {u"hkey_local_machine\\SOFTWARE\\Microsoft\\MSMQ\\Parameters", u"HKLM\\SOFTWARE\\X", u"HKEY_LOCAL_MACHINE",
          u"SOFTWARE\\X", u"", u"\\HKEY_LOCAL_MACHINE\\SOFTWARE"}) {
        WriteRegistryInteger(FRegistry, path, u"v", 1);
        DeleteRegistryValue(FRegistry, path, u"v");
    }
    EXPECT_TRUE(FRegistry.Steps().empty());
    EXPECT_TRUE(FMemory.Journal().empty());
    EXPECT_FALSE(FMemory.KeyExists(kRootLocalMachine, u"SOFTWARE"));
}

TEST_F(RegistryPathTest, MissingRightsAreSwallowed) {
    FMemory.DenyAccess(kRootLocalMachine, u"SOFTWARE\\Denied");
    ASSERT_TRUE(FMemory.CreateKey(kRootLocalMachine, u"SOFTWARE\\Fixed", kKeyRead));
    FMemory.MakeReadOnly(kRootLocalMachine, u"SOFTWARE\\Fixed");
    // Creating a key below a read-only parent fails as well as writing into it.
    WriteRegistryInteger(FRegistry, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Denied\\Sub", u"v", 1);
    WriteRegistryInteger(FRegistry, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Fixed", u"v", 1);
    WriteRegistryInteger(FRegistry, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Fixed\\New", u"v", 1);
    DeleteRegistryValue(FRegistry, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Fixed", u"v");
    EXPECT_FALSE(FMemory.KeyExists(kRootLocalMachine, u"SOFTWARE\\Denied"));
    EXPECT_FALSE(FMemory.KeyExists(kRootLocalMachine, u"SOFTWARE\\Fixed\\New"));
    EXPECT_TRUE(FMemory.ValueNames(kRootLocalMachine, u"SOFTWARE\\Fixed").empty());
    // The changes that got a key were tried and refused.
    const std::vector<TRegOperation> refused = {
        {roSetValue, kRootLocalMachine, u"SOFTWARE\\Fixed", u"v", DwordValue(1), kErrorAccessDenied},
        {roDeleteValue, kRootLocalMachine, u"SOFTWARE\\Fixed", u"v", {}, kErrorAccessDenied},
    };
    EXPECT_EQ(FMemory.Journal(), refused);
}

// Anything a registry throws stays inside the operation (they are noexcept: an escaping
// exception would end the program).
class TThrowingRegistry final : public IRegistry {
public:
    std::unique_ptr<IRegistryKey> CreateKey(TRootKey, const std::u16string&, std::uint32_t, TRegResult*) override {
        throw std::runtime_error("refused");
    }
    std::unique_ptr<IRegistryKey> OpenKey(TRootKey, const std::u16string&, std::uint32_t, TRegResult*) override {
        throw std::runtime_error("refused");
    }
};

TEST(RegistryPath, ExceptionsFromTheRegistryAreSwallowed) {
    TThrowingRegistry registry;
    WriteRegistryInteger(registry, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\X", u"v", 1);
    DeleteRegistryValue(registry, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\X", u"v");
    SUCCEED() << "the process is still running";
}

} // namespace
} // namespace zx
