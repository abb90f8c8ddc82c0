#include <gtest/gtest.h>

#include <climits>

#include "kit/Config.h"
#include "platform/PlatformError.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx {
namespace {

const std::u16string kKey = u"Software\\Zephyrix";

class ConfigTest : public ::testing::Test {
protected:
    // Stores a value by hand, as another program or the user would.
    void Store(const std::u16string& name, const TRegValue& value) {
        auto key = FRegistry.CreateKey(kRootCurrentUser, kKey, kKeyAllAccess);
        ASSERT_TRUE(key);
        ASSERT_EQ(key->SetValue(name, value), kRegSuccess);
    }
    std::optional<TRegValue> Stored(const std::u16string& name) const {
        return FRegistry.Value(kRootCurrentUser, kKey, name);
    }

    TMemoryRegistry FRegistry;
};

TEST_F(ConfigTest, FirstStartCreatesTheKeyAndReadsEveryDefault) {
    ASSERT_FALSE(FRegistry.KeyExists(kRootCurrentUser, kKey));
    TConfig config(FRegistry, u"Zephyrix");
    EXPECT_TRUE(FRegistry.KeyExists(kRootCurrentUser, kKey));
    EXPECT_FALSE(FRegistry.KeyExists(kRootCurrentUser, u"Software\\Moravel"));
    EXPECT_EQ(config.ReadInteger(u"status", 0), 0);
    EXPECT_EQ(config.ReadInteger(u"status", 7), 7);
    for (const char16_t* name :
         {u"tcpnodelay", u"tcpackfrequency", u"tcpdelacktick", u"networkthrottleindex", u"systemresponsivess"}) {
        EXPECT_TRUE(config.ReadBoolean(name, true));
        EXPECT_FALSE(config.ReadBoolean(name, false));
    }
    EXPECT_EQ(config.ReadString(u"text", u"fallback"), u"fallback");
    EXPECT_TRUE(FRegistry.ValueNames(kRootCurrentUser, kKey).empty()) << "reads must not store anything";
}

TEST_F(ConfigTest, WrittenValuesAreStoredInTheirKindAndReadBackByANewInstance) {
    struct Case {
        std::int32_t value;
        TRegValue stored;
    };
    const Case integers[] = {
        {0, {kRegDword, {0, 0, 0, 0}}},
        {1, {kRegDword, {1, 0, 0, 0}}},
        {-1, {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
        {INT_MIN, {kRegDword, {0, 0, 0, 0x80}}},
        {INT_MAX, {kRegDword, {0xFF, 0xFF, 0xFF, 0x7F}}},
    };
    for (const auto& c : integers) {
        EXPECT_EQ(TConfig(FRegistry, u"Zephyrix").WriteInteger(u"status", c.value), c.value);
        EXPECT_EQ(Stored(u"status"), c.stored);
        EXPECT_EQ(TConfig(FRegistry, u"Zephyrix").ReadInteger(u"status", 12345), c.value);
    }

    for (const bool value : {false, true}) {
        EXPECT_EQ(TConfig(FRegistry, u"Zephyrix").WriteBoolean(u"tcpnodelay", value), value);
        EXPECT_EQ(Stored(u"tcpnodelay"), DwordValue(value ? 1 : 0));
        EXPECT_EQ(TConfig(FRegistry, u"Zephyrix").ReadBoolean(u"tcpnodelay", !value), value);
    }

    for (const std::u16string value : {u"Zephyrix", u"", u"\uD55C\uAD6D\uC5B4 \u00E9"}) {
        EXPECT_EQ(TConfig(FRegistry, u"Zephyrix").WriteString(u"text", value), value);
        EXPECT_EQ(Stored(u"text"), StringValue(value));
        EXPECT_EQ(Stored(u"text")->Data.size(), (value.size() + 1) * 2);
        EXPECT_EQ(TConfig(FRegistry, u"Zephyrix").ReadString(u"text", u"fallback"), value);
    }
}

TEST_F(ConfigTest, HandStoredValuesAreReadByTheirContent) {
    Store(u"twice", DwordValue(2));
    Store(u"all", DwordValue(0xFFFFFFFF));
    Store(u"zero", DwordValue(0));
    Store(u"empty", StringValue(u""));
    Store(u"expand", StringValue(u"%TEMP%\\x", kRegExpandSz));
    Store(u"unterminated", {kRegSz, {'a', 0, 'b', 0}});
    Store(u"inner nul", {kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}});
    TConfig config(FRegistry, u"Zephyrix");

    EXPECT_TRUE(config.ReadBoolean(u"twice", false));
    EXPECT_TRUE(config.ReadBoolean(u"all", false));
    EXPECT_FALSE(config.ReadBoolean(u"zero", true));
    EXPECT_EQ(config.ReadInteger(u"twice", 0), 2);
    EXPECT_EQ(config.ReadInteger(u"all", 0), -1);
    EXPECT_EQ(config.ReadString(u"empty", u"fallback"), u"");
    EXPECT_EQ(config.ReadString(u"expand", u""), u"%TEMP%\\x");
    EXPECT_EQ(config.ReadString(u"unterminated", u""), u"ab");
    EXPECT_EQ(config.ReadString(u"inner nul", u""), u"a");
}

TEST_F(ConfigTest, ValueNamesIgnoreLetterCase) {
    TConfig config(FRegistry, u"Zephyrix");
    config.WriteBoolean(u"TcpNoDelay", false);
    config.WriteBoolean(u"TCPNODELAY", false);
    EXPECT_FALSE(config.ReadBoolean(u"tcpnodelay", true));
    EXPECT_EQ(FRegistry.ValueNames(kRootCurrentUser, kKey), std::vector<std::u16string>{u"TcpNoDelay"})
        << "one value, whatever the spelling";
    EXPECT_FALSE(TConfig(FRegistry, u"zephyrix").ReadBoolean(u"tcpNoDelay", true)) << "key names too";
}

TEST_F(ConfigTest, AValueOfAnotherTypeRaisesTheInvalidDataTypeError) {
    struct Case {
        const char* what;
        TRegValue stored;
        int read; // 0 integer, 1 boolean, 2 string
    };
    const Case cases[] = {
        {"REG_SZ read as integer", StringValue(u"1"), 0},
        {"REG_SZ read as boolean", StringValue(u"1"), 1},
        {"empty REG_SZ read as integer", StringValue(u""), 0},
        {"REG_EXPAND_SZ read as integer", StringValue(u"1", kRegExpandSz), 0},
        {"REG_DWORD read as string", DwordValue(1), 2},
        {"REG_BINARY read as integer", {kRegBinary, {1, 0, 0, 0}}, 0},
        {"REG_BINARY read as string", {kRegBinary, {'a', 0, 0, 0}}, 2},
        {"REG_QWORD read as integer", {kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}}, 0},
        {"REG_MULTI_SZ read as string", {kRegMultiSz, {'a', 0, 0, 0, 0, 0}}, 2},
        {"REG_NONE read as boolean", {kRegNone, {}}, 1},
        {"2-byte REG_DWORD read as integer", {kRegDword, {1, 0}}, 0},
        {"empty REG_DWORD read as boolean", {kRegDword, {}}, 1},
        {"8-byte REG_DWORD read as integer", {kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Store(u"status", c.stored);
        TConfig config(FRegistry, u"Zephyrix");
        try {
            if (c.read == 0) (void)config.ReadInteger(u"status", 0);
            if (c.read == 1) (void)config.ReadBoolean(u"status", true);
            if (c.read == 2) (void)config.ReadString(u"status", u"");
            ADD_FAILURE() << "no error raised";
        } catch (const TPlatformError& error) {
            EXPECT_EQ(error.Code(), kErrorInvalidDataType);
        }
    }
}

TEST_F(ConfigTest, UnwritableKeyReadsDefaultsAndDropsWrites) {
    Store(u"status", DwordValue(1));

    // Denied: the key cannot even be opened, so the stored value is out of reach.
    FRegistry.DenyAccess(kRootCurrentUser, kKey);
    {
        TConfig config(FRegistry, u"Zephyrix");
        EXPECT_EQ(config.ReadInteger(u"status", 0), 0);
        EXPECT_TRUE(config.ReadBoolean(u"tcpnodelay", true));
        EXPECT_EQ(config.WriteInteger(u"status", 2), 2);
        EXPECT_EQ(config.WriteString(u"text", u"x"), u"x");
    }
    EXPECT_EQ(Stored(u"status"), DwordValue(1));
    EXPECT_FALSE(Stored(u"text"));
}

TEST_F(ConfigTest, ReadOnlyKeyReadsStoredValuesAndDropsWrites) {
    Store(u"status", DwordValue(1));
    FRegistry.MakeReadOnly(kRootCurrentUser, kKey);
    FRegistry.ClearJournal();
    TConfig config(FRegistry, u"Zephyrix");
    EXPECT_EQ(config.WriteInteger(u"status", 0), 0);
    EXPECT_FALSE(config.WriteBoolean(u"tcpnodelay", false));
    EXPECT_EQ(config.ReadInteger(u"status", 0), 1);
    EXPECT_TRUE(config.ReadBoolean(u"tcpnodelay", true));
    const std::vector<TRegOperation> refused = {
        {roSetValue, kRootCurrentUser, kKey, u"status", DwordValue(0), kErrorAccessDenied},
        {roSetValue, kRootCurrentUser, kKey, u"tcpnodelay", DwordValue(0), kErrorAccessDenied},
    };
    EXPECT_EQ(FRegistry.Journal(), refused);
}

TEST_F(ConfigTest, MissingKeyUnderADeniedParentIsNotCreated) {
    FRegistry.DenyAccess(kRootCurrentUser, u"Software");
    TConfig config(FRegistry, u"Zephyrix");
    EXPECT_EQ(config.WriteInteger(u"status", 1), 1);
    EXPECT_EQ(config.ReadInteger(u"status", 0), 0);
    EXPECT_FALSE(FRegistry.KeyExists(kRootCurrentUser, kKey));
}

TEST_F(ConfigTest, InstancesOnTheSameKeyShareItAndTheLastWriteWins) {
    TConfig first(FRegistry, u"Zephyrix");
    TConfig second(FRegistry, u"Zephyrix");
    first.WriteInteger(u"status", 1);
    EXPECT_EQ(second.ReadInteger(u"status", 0), 1) << "a write reaches the registry at once";
    second.WriteInteger(u"status", 0);
    first.WriteBoolean(u"tcpnodelay", false);
    second.WriteBoolean(u"tcpnodelay", true);
    EXPECT_EQ(first.ReadInteger(u"status", 7), 0);
    EXPECT_TRUE(TConfig(FRegistry, u"Zephyrix").ReadBoolean(u"tcpnodelay", false));
}

TEST_F(ConfigTest, WritesReplaceAValueOfAnyType) {
    Store(u"status", StringValue(u"running"));
    TConfig config(FRegistry, u"Zephyrix");
    config.WriteInteger(u"status", 1);
    EXPECT_EQ(config.ReadInteger(u"status", 0), 1);
    config.WriteString(u"status", u"idle");
    EXPECT_EQ(Stored(u"status"), StringValue(u"idle"));
}

// A registry whose every operation throws, as one might when memory runs out.
class TThrowingKey final : public IRegistryKey {
public:
    std::optional<TRegValue> QueryValue(const std::u16string&) const override { return std::nullopt; }
    TRegResult SetValue(const std::u16string&, const TRegValue&) override { throw std::bad_alloc(); }
    TRegResult DeleteValue(const std::u16string&) override { throw std::bad_alloc(); }
};
class TThrowingRegistry final : public IRegistry {
public:
    explicit TThrowingRegistry(bool failOpen) : FFailOpen(failOpen) {}
    std::unique_ptr<IRegistryKey> CreateKey(TRootKey, const std::u16string&, std::uint32_t, TRegResult*) override {
        if (FFailOpen) throw std::bad_alloc();
        return std::make_unique<TThrowingKey>();
    }
    std::unique_ptr<IRegistryKey> OpenKey(TRootKey, const std::u16string&, std::uint32_t, TRegResult*) override {
        throw std::bad_alloc();
    }

private:
    bool FFailOpen;
};

TEST(Config, ExceptionsFromTheRegistryAreSwallowedLikeAnyOtherFailure) {
    for (const bool failOpen : {true, false}) {
        TThrowingRegistry registry(failOpen);
        std::unique_ptr<TConfig> config;
        ASSERT_NO_THROW(config = std::make_unique<TConfig>(registry, u"Zephyrix"));
        EXPECT_EQ(config->WriteInteger(u"status", 1), 1);
        EXPECT_TRUE(config->WriteBoolean(u"tcpnodelay", true));
        EXPECT_EQ(config->WriteString(u"text", u"x"), u"x");
        EXPECT_EQ(config->ReadInteger(u"status", 3), 3);
    }
}

} // namespace
} // namespace zx
