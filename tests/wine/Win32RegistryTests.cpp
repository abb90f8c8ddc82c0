// The registry rules, the catalogue and the settings store against the real registry.
// Every key touched is a scratch key removed before and after, or a catalogue key
// whose former content is put back.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include "contract/RegistryContract.h"
#include "contract/TweakCatalogueContract.h"
#include "engine/RegistryPath.h"
#include "kit/Config.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WideText.h"

namespace zx::test {
namespace {

HKEY Handle(TRootKey root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

// Splits "A\B\C" into "A\B" and "C".
std::pair<std::u16string, std::u16string> ParentAndLeaf(const std::u16string& path) {
    const std::size_t split = path.rfind(u'\\');
    return {path.substr(0, split), path.substr(split + 1)};
}

// Removes a key with everything below it; a missing key is no error.
void DeleteTree(TRootKey root, const std::u16string& path, REGSAM view) {
    const auto [parentPath, leaf] = ParentAndLeaf(path);
    TUniqueRegKey parent;
    if (::RegOpenKeyExW(Handle(root), Wide(parentPath), 0, KEY_ALL_ACCESS | view, parent.put()) != ERROR_SUCCESS)
        return;
    const LSTATUS status = ::RegDeleteTreeW(parent.get(), Wide(leaf));
    ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        << "could not clear a scratch key: " << status;
}

// Removes the key only when it has neither subkeys nor values left: the shared
// parent of the scratch keys.
void DeleteIfEmpty(TRootKey root, const std::u16string& path, REGSAM view) {
    {
        TUniqueRegKey key;
        if (::RegOpenKeyExW(Handle(root), Wide(path), 0, KEY_READ | view, key.put()) != ERROR_SUCCESS) return;
        DWORD subKeys = 0, values = 0;
        if (::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            subKeys != 0 || values != 0)
            return;
    }
    DeleteTree(root, path, view);
}

bool RawKeyExists(TRootKey root, const std::u16string& path, REGSAM view) {
    TUniqueRegKey key;
    return ::RegOpenKeyExW(Handle(root), Wide(path), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

// Reads a value straight through advapi32, independent of the code under test.
std::optional<TRegValue> RawRead(TRootKey root, const std::u16string& path, const std::u16string& name, REGSAM view) {
    TUniqueRegKey key;
    if (::RegOpenKeyExW(Handle(root), Wide(path), 0, KEY_READ | view, key.put()) != ERROR_SUCCESS) return std::nullopt;
    BYTE data[256];
    DWORD size = sizeof data, type = 0;
    if (::RegQueryValueExW(key.get(), Wide(name), nullptr, &type, data, &size) != ERROR_SUCCESS) return std::nullopt;
    return TRegValue{type, std::vector<std::uint8_t>(data, data + size)};
}

void RawWrite(TRootKey root, const std::u16string& path, const std::u16string& name, const TRegValue& value,
              REGSAM view) {
    TUniqueRegKey key;
    ASSERT_EQ(
        ::RegCreateKeyExW(Handle(root), Wide(path), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, key.put(), nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), Wide(name), 0, value.Type, value.Data.data(), DWORD(value.Data.size())),
              ERROR_SUCCESS);
}

// Gives the key a protected access list in SDDL form.
void SetAccessList(TRootKey root, const std::u16string& path, const wchar_t* sddl, REGSAM view) {
    TUniqueRegKey key;
    ASSERT_EQ(::RegOpenKeyExW(Handle(root), Wide(path), 0, WRITE_DAC | view, key.put()), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    const LSTATUS status = ::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
    ::LocalFree(descriptor);
    ASSERT_EQ(status, ERROR_SUCCESS);
}
// Everyone may read the key and change its access list, nothing more.
constexpr const wchar_t* kReadOnlyAccess = L"D:P(A;;KRWD;;;WD)";
constexpr const wchar_t* kFullAccess = L"D:(A;;KA;;;WD)";

// A scratch key in one root and view; removed when made and when destroyed.
class TWin32Scratch final : public TRegistryScratch {
public:
    TWin32Scratch(TRootKey root, std::u16string base, REGSAM view) : FRoot(root), FBase(std::move(base)), FView(view) {
        DeleteTree(FRoot, FBase, FView);
    }
    ~TWin32Scratch() override {
        for (const auto& path : FLocked) SetAccessList(FRoot, path, kFullAccess, FView);
        DeleteTree(FRoot, FBase, FView);
        DeleteIfEmpty(FRoot, ParentAndLeaf(FBase).first, FView);
    }

    IRegistry& Registry() override { return FRegistry; }
    TRootKey Root() const override { return FRoot; }
    std::u16string Base() const override { return FBase; }
    std::uint32_t View() const override { return FView; }
    void Lock(const std::u16string& below) override {
        FLocked.push_back(FBase + u"\\" + below);
        SetAccessList(FRoot, FLocked.back(), kReadOnlyAccess, FView);
    }

private:
    TWin32Registry FRegistry;
    TRootKey FRoot;
    std::u16string FBase;
    REGSAM FView;
    std::vector<std::u16string> FLocked;
};

INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract,
                         ::testing::Values(TRegistryBackend{"CurrentUser",
                                                            [] {
                                                                return std::make_unique<TWin32Scratch>(
                                                                    kRootCurrentUser,
                                                                    u"Software\\ZephyrixTests\\Contract", 0);
                                                            }},
                                           TRegistryBackend{"LocalMachine64",
                                                            [] {
                                                                return std::make_unique<TWin32Scratch>(
                                                                    kRootLocalMachine,
                                                                    u"SOFTWARE\\ZephyrixTests\\Contract",
                                                                    KEY_WOW64_64KEY);
                                                            }}),
                         BackendName);

// The catalogue's keys in the real registry, 64-bit view. The message-queuing key is
// moved aside (Wine's prefix has one) and put back; the profile values are saved and
// put back; the test adapters' interface keys are removed, and so are the keys on the
// way that did not exist before.
class TWin32CatalogueScratch final : public TCatalogueScratch {
public:
    TWin32CatalogueScratch() {
        for (const auto& path : kChainKeys)
            FChainExisted.push_back(RawKeyExists(kRootLocalMachine, path, KEY_WOW64_64KEY));
        Clear();
        if (RawKeyExists(kRootLocalMachine, kMessageQueuingKey, KEY_WOW64_64KEY)) {
            Copy(kMessageQueuingKey, kQueueBackup);
            DeleteTree(kRootLocalMachine, kMessageQueuingKey, KEY_WOW64_64KEY);
            FQueueSaved = true;
        }
        for (const auto* name : kProfileNames) {
            FProfile.push_back(RawRead(kRootLocalMachine, kProfileKey, name, KEY_WOW64_64KEY));
            TUniqueRegKey key;
            if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(kProfileKey), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                key.put()) == ERROR_SUCCESS)
                ::RegDeleteValueW(key.get(), Wide(name));
        }
    }
    ~TWin32CatalogueScratch() override {
        Clear();
        DeleteTree(kRootLocalMachine, kMessageQueuingKey, KEY_WOW64_64KEY);
        if (FQueueSaved) {
            Copy(kQueueBackup, kMessageQueuingKey);
            DeleteTree(kRootLocalMachine, kQueueBackup, KEY_WOW64_64KEY);
        }
        for (std::size_t i = 0; i < FProfile.size(); ++i) {
            TUniqueRegKey key;
            if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(kProfileKey), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                key.put()) != ERROR_SUCCESS)
                continue;
            if (FProfile[i])
                ::RegSetValueExW(key.get(), Wide(kProfileNames[i]), 0, FProfile[i]->Type, FProfile[i]->Data.data(),
                                 DWORD(FProfile[i]->Data.size()));
            else
                ::RegDeleteValueW(key.get(), Wide(kProfileNames[i]));
        }
        for (std::size_t i = 0; i < kChainKeys.size(); ++i)
            if (!FChainExisted[i]) DeleteTree(kRootLocalMachine, kChainKeys[i], KEY_WOW64_64KEY);
        DeleteIfEmpty(kRootLocalMachine, u"SOFTWARE\\ZephyrixTests\\Saved", KEY_WOW64_64KEY);
        DeleteIfEmpty(kRootLocalMachine, u"SOFTWARE\\ZephyrixTests", KEY_WOW64_64KEY);
    }

    IRegistry& Registry() override { return FRegistry; }

private:
    static constexpr const char16_t* kProfileNames[] = {u"NetworkThrottlingIndex", u"SystemResponsiveness"};
    inline static const std::u16string kQueueBackup = u"SOFTWARE\\ZephyrixTests\\Saved\\MSMQ";
    // Parents first, so that a parent made by the test takes its children with it.
    inline static const std::vector<std::u16string> kChainKeys = {
        u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia", kProfileKey, kInterfacesKey};

    static void Clear() {
        for (const auto& adapter : {kTestAdapter, kOtherAdapter})
            DeleteTree(kRootLocalMachine, kInterfacesKey + u"\\" + adapter, KEY_WOW64_64KEY);
    }
    static void Copy(const std::u16string& from, const std::u16string& to) {
        TUniqueRegKey source, target;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(from), 0, KEY_READ | KEY_WOW64_64KEY, source.put()),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(to), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                    nullptr, target.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegCopyTreeW(source.get(), nullptr, target.get()), ERROR_SUCCESS);
    }

    TWin32Registry FRegistry;
    bool FQueueSaved = false;
    std::vector<bool> FChainExisted;
    std::vector<std::optional<TRegValue>> FProfile;
};

INSTANTIATE_TEST_SUITE_P(Win32, TweakCatalogueContract,
                         ::testing::Values(TCatalogueBackend{
                             "LocalMachine64", [] { return std::make_unique<TWin32CatalogueScratch>(); }}),
                         CatalogueBackendName);

TEST(Win32TweakCatalogue, TheRealRegistryHoldsTheValuesInThe64BitView) {
    TWin32CatalogueScratch scratch;
    ASSERT_FALSE(RawKeyExists(kRootLocalMachine, kMessageQueuingKey, KEY_WOW64_64KEY));
    const std::u16string interfaceKey = kInterfacesKey + u"\\" + kTestAdapter;
    struct Expected {
        std::u16string key, name;
        std::vector<std::uint8_t> run;  // bytes after Run with every option
        std::vector<std::uint8_t> stop; // bytes after Stop; empty: deleted
    };
    const Expected values[] = {
        {interfaceKey, u"TcpAckFrequency", {1, 0, 0, 0}, {}},
        {interfaceKey, u"TcpDelAckTicks", {0, 0, 0, 0}, {}},
        {interfaceKey, u"TCPNoDelay", {1, 0, 0, 0}, {}},
        {kQueueKey, u"TCPNoDelay", {1, 0, 0, 0}, {}},
        {kProfileKey, u"NetworkThrottlingIndex", {0xFF, 0xFF, 0xFF, 0xFF}, {10, 0, 0, 0}},
        {kProfileKey, u"SystemResponsiveness", {0, 0, 0, 0}, {20, 0, 0, 0}},
    };

    TWin32Registry registry;
    ApplyTweaks(registry, kTestAdapter, {true, true, true, true, true});
    for (const auto& v : values)
        EXPECT_EQ(RawRead(kRootLocalMachine, v.key, v.name, KEY_WOW64_64KEY), (TRegValue{REG_DWORD, v.run}));

    RevertTweaks(registry, kTestAdapter);
    for (const auto& v : values) {
        const auto stored = RawRead(kRootLocalMachine, v.key, v.name, KEY_WOW64_64KEY);
        if (v.stop.empty())
            EXPECT_FALSE(stored);
        else
            EXPECT_EQ(stored, (TRegValue{REG_DWORD, v.stop}));
    }
    EXPECT_TRUE(RawKeyExists(kRootLocalMachine, kQueueKey, KEY_WOW64_64KEY));
}

TEST(Win32RegistryPath, ALowerCaseRootNameDoesNothing) {
    DeleteTree(kRootLocalMachine, u"SOFTWARE\\ZephyrixTests\\Lower", KEY_WOW64_64KEY);
    TWin32Registry registry;
    WriteRegistryInteger(registry, u"hkey_local_machine\\SOFTWARE\\ZephyrixTests\\Lower", u"v", 1);
    DeleteRegistryValue(registry, u"hkey_local_machine\\SOFTWARE\\ZephyrixTests\\Lower", u"v");
    EXPECT_FALSE(RawKeyExists(kRootLocalMachine, u"SOFTWARE\\ZephyrixTests\\Lower", KEY_WOW64_64KEY));
    EXPECT_FALSE(RawKeyExists(kRootCurrentUser, u"SOFTWARE\\ZephyrixTests\\Lower", 0));

    WriteRegistryInteger(registry, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\ZephyrixTests\\Lower", u"v", -1);
    EXPECT_EQ(RawRead(kRootLocalMachine, u"SOFTWARE\\ZephyrixTests\\Lower", u"v", KEY_WOW64_64KEY),
              (TRegValue{REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}}));
    DeleteTree(kRootLocalMachine, u"SOFTWARE\\ZephyrixTests\\Lower", KEY_WOW64_64KEY);
    DeleteIfEmpty(kRootLocalMachine, u"SOFTWARE\\ZephyrixTests", KEY_WOW64_64KEY);
}

// The settings store over the real registry, where a key without write rights cannot
// be opened with full access at all.
class Win32Config : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(kRootCurrentUser, kKey, 0); }
    void TearDown() override {
        if (RawKeyExists(kRootCurrentUser, kKey, 0)) SetAccessList(kRootCurrentUser, kKey, kFullAccess, 0);
        DeleteTree(kRootCurrentUser, kKey, 0);
        DeleteIfEmpty(kRootCurrentUser, u"Software\\ZephyrixTests", 0);
    }
    inline static const std::u16string kKey = u"Software\\ZephyrixTests\\Settings";
    TWin32Registry FRegistry;
};

TEST_F(Win32Config, ReadsAndWritesTheThreeKinds) {
    {
        TConfig config(FRegistry, u"ZephyrixTests\\Settings");
        EXPECT_TRUE(RawKeyExists(kRootCurrentUser, kKey, 0));
        EXPECT_EQ(config.ReadInteger(u"status", 0), 0);
        EXPECT_TRUE(config.ReadBoolean(u"tcpnodelay", true));
        config.WriteBoolean(u"tcpnodelay", false);
        config.WriteInteger(u"status", -1);
        config.WriteString(u"empty", u"");
    }
    EXPECT_EQ(RawRead(kRootCurrentUser, kKey, u"tcpnodelay", 0), (TRegValue{REG_DWORD, {0, 0, 0, 0}}));
    EXPECT_EQ(RawRead(kRootCurrentUser, kKey, u"empty", 0), (TRegValue{REG_SZ, {0, 0}}));
    RawWrite(kRootCurrentUser, kKey, u"systemresponsivess", DwordValue(2), 0);
    RawWrite(kRootCurrentUser, kKey, u"expand", StringValue(u"%SystemRoot%\\x", REG_EXPAND_SZ), 0);

    TConfig config(FRegistry, u"ZephyrixTests\\Settings");
    EXPECT_FALSE(config.ReadBoolean(u"TCPNODELAY", true));
    EXPECT_EQ(config.ReadInteger(u"Status", 0), -1);
    EXPECT_EQ(config.ReadString(u"empty", u"fallback"), u"");
    EXPECT_TRUE(config.ReadBoolean(u"systemresponsivess", false));
    EXPECT_EQ(config.ReadString(u"expand", u""), u"%SystemRoot%\\x");

    RawWrite(kRootCurrentUser, kKey, u"status", StringValue(u"1"), 0);
    try {
        (void)config.ReadInteger(u"status", 0);
        ADD_FAILURE() << "a REG_SZ status was read as an integer";
    } catch (const TPlatformError& error) {
        EXPECT_EQ(error.Code(), kErrorInvalidDataType);
    }
}

TEST_F(Win32Config, AKeyWithoutWriteRightsReadsDefaultsAndDropsWrites) {
    RawWrite(kRootCurrentUser, kKey, u"status", DwordValue(1), 0);
    SetAccessList(kRootCurrentUser, kKey, kReadOnlyAccess, 0);

    TConfig config(FRegistry, u"ZephyrixTests\\Settings");
    EXPECT_EQ(config.ReadInteger(u"status", 0), 0) << "the key cannot be opened with full access";
    EXPECT_EQ(config.WriteInteger(u"status", 2), 2);
    EXPECT_EQ(config.WriteString(u"text", u"x"), u"x");
    EXPECT_EQ(RawRead(kRootCurrentUser, kKey, u"status", 0), DwordValue(1));
    EXPECT_FALSE(RawRead(kRootCurrentUser, kKey, u"text", 0));
}

} // namespace
} // namespace zx::test
