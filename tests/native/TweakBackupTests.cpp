#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/RegistryPath.h"
#include "engine/TweakBackup.h"
#include "native/ShowText.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx {
namespace {

const std::u16string kGuid = u"{6B29FC40-CA47-1067-B31D-00DD010662DA}";
const std::u16string kInterfaceKey = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + kGuid;
const std::u16string kQueueKey = u"SOFTWARE\\Microsoft\\MSMQ\\Parameters";
const std::u16string kProfileKey = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";

void Put(TMemoryRegistry& registry, const std::u16string& key, const std::u16string& name, const TRegValue& value) {
    ASSERT_EQ(registry.CreateKey(kRootLocalMachine, key, kKeyAllAccess)->SetValue(name, value), kRegSuccess);
}

TEST(TweakBackupTest, TextHoldsEveryValuePresentWithItsTypeOrMarkedAbsent) {
    TMemoryRegistry registry;
    Put(registry, kInterfaceKey, u"TcpAckFrequency", DwordValue(1));
    Put(registry, kInterfaceKey, u"TCPNoDelay", StringValue(u"on \"1\" C:\\x")); // wrong type, kept as it is
    Put(registry, kQueueKey, u"TCPNoDelay", TRegValue{kRegBinary, {0x01, 0xAB}});
    Put(registry, kProfileKey, u"NetworkThrottlingIndex", DwordValue(0xFFFFFFFF));
    Put(registry, kProfileKey, u"SystemResponsiveness", TRegValue{kRegDword, {20, 0}}); // a short DWORD
    registry.ClearJournal();

    const std::u16string expected =
        u"Windows Registry Editor Version 5.00\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" +
        kGuid +
        u"]\r\n"
        u"\"TcpAckFrequency\"=dword:00000001\r\n"
        u"\"TcpDelAckTicks\"=-\r\n"
        u"\"TCPNoDelay\"=\"on \\\"1\\\" C:\\\\x\"\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\MSMQ\\Parameters]\r\n"
        u"\"TCPNoDelay\"=hex:01,ab\r\n"
        u"\r\n"
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile]\r\n"
        u"\"NetworkThrottlingIndex\"=dword:ffffffff\r\n"
        u"\"SystemResponsiveness\"=hex(4):14,00\r\n"
        u"\r\n";
    const std::u16string text = TweakBackupText(registry, kGuid);
    EXPECT_EQ(text, expected) << Show(text);
    EXPECT_TRUE(registry.Journal().empty()) << "reading for a backup changes nothing";
    EXPECT_FALSE(registry.KeyExists(kRootLocalMachine,
                                    u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters"
                                    u"\\Interfaces\\{00000000-0000-0000-0000-000000000000}"));
}

TEST(TweakBackupTest, OtherTypesAreWrittenAsTypedBytes) {
    TMemoryRegistry registry;
    Put(registry, kProfileKey, u"NetworkThrottlingIndex", StringValue(u"%A%", kRegExpandSz));
    Put(registry, kProfileKey, u"SystemResponsiveness", TRegValue{kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}});
    Put(registry, kQueueKey, u"TCPNoDelay", TRegValue{kRegSz, {0x41, 0x00}}); // text without its NUL
    const std::u16string text = TweakBackupText(registry, kGuid);
    EXPECT_NE(text.find(u"\"NetworkThrottlingIndex\"=hex(2):25,00,41,00,25,00,00,00\r\n"), std::u16string::npos)
        << Show(text);
    EXPECT_NE(text.find(u"\"SystemResponsiveness\"=hex(b):01,00,00,00,00,00,00,00\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\"TCPNoDelay\"=hex(1):41,00\r\n"), std::u16string::npos);
}

TEST(TweakBackupTest, FileIsUtf16LittleEndianWithAByteOrderMarkAndNamedAfterAdapterAndTime) {
    EXPECT_EQ(RegistryFileBytes(u"W\r\n한"),
              (std::vector<std::uint8_t>{0xFF, 0xFE, 'W', 0, '\r', 0, '\n', 0, 0x5C, 0xD5}));
    EXPECT_EQ(TweakBackupName(kGuid, {2026, 1, 2, 3, 4, 5}), kGuid + u" 2026-01-02 03-04-05.reg");
}

// Only a file written whole counts as a backup: the store's rule for what it finds.
TEST(TweakBackupTest, OnlyACompleteFileNamedForTheAdapterCountsAsItsBackup) {
    const std::u16string name = TweakBackupName(kGuid, {2026, 1, 2, 3, 4, 5});
    TMemoryRegistry registry;
    const std::vector<std::uint8_t> whole = RegistryFileBytes(TweakBackupText(registry, kGuid));
    const std::vector<std::uint8_t> header = RegistryFileBytes(u"Windows Registry Editor Version 5.00\r\n");
    const std::vector<std::uint8_t> cut(header.begin(), header.end() - 1);
    std::u16string lowerName = name;
    for (char16_t& c : lowerName)
        if (c >= u'A' && c <= u'F') c = static_cast<char16_t>(c - u'A' + u'a');
    struct TCase {
        const char* What;
        std::u16string Name;
        std::vector<std::uint8_t> Head;
        bool Counts;
    };
    const std::vector<TCase> cases = {
        {"a complete file", name, whole, true},
        {"the header line alone", name, header, true},
        {"the GUID in other letter case", lowerName, whole, true},
        {"an empty file", name, {}, false},
        {"a file cut inside its header line", name, cut, false},
        {"no byte-order mark", name, std::vector<std::uint8_t>(whole.begin() + 2, whole.end()), false},
        {"a leftover temporary file", TweakBackupTemporaryName(name), whole, false},
        {"another adapter's file", TweakBackupName(u"{00000000-0000-0000-0000-000000000000}", {2026, 1, 2, 3, 4, 5}),
         whole, false},
        {"not a registry file", kGuid + u" 2026-01-02 03-04-05.txt", whole, false},
    };
    for (const TCase& c : cases) EXPECT_EQ(IsCompleteTweakBackup(c.Name, kGuid, c.Head), c.Counts) << c.What;
    EXPECT_FALSE(IsCompleteTweakBackup(name, u"", whole)) << "no adapter, no backup";
    EXPECT_EQ(TweakBackupHeadSize(), header.size());
}

TEST(TweakBackupTest, TheTemporaryNameStaysInTheFolderAndOutsideEveryAdaptersPattern) {
    const std::u16string temporary = TweakBackupTemporaryName(TweakBackupName(kGuid, {2026, 1, 2, 3, 4, 5}));
    EXPECT_EQ(temporary.find_first_of(u"\\/:"), std::u16string::npos) << Show(temporary);
    EXPECT_FALSE(temporary.starts_with(u"{")) << "never matched by \"<guid> *.reg\"";
    EXPECT_FALSE(temporary.ends_with(u".reg"));
}

} // namespace
} // namespace zx
