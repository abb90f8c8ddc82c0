// The backup folder on the real file system: first save, no second file of a name,
// the existence test by adapter, and a folder that cannot be made.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/win32/BackupFolder.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace zx {
namespace {

const std::u16string kGuid = u"{6B29FC40-CA47-1067-B31D-00DD010662DA}";

std::u16string ScratchFolder(const wchar_t* leaf) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::u16string folder = FromWide(temp) + u"zx-backup-test\\" + FromWide(leaf);
    return folder;
}

std::vector<std::uint8_t> ReadFile(const std::u16string& path) {
    std::vector<std::uint8_t> bytes;
    const TUniqueFile file(
        ::CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return bytes;
    std::uint8_t buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    return bytes;
}

TEST(BackupFolder, SavesOnceCreatingTheFolderChainAndFindsItByAdapter) {
    const std::u16string folder = ScratchFolder(L"chain\\Zephyrix\\Backup");
    TBackupFolder store(folder);
    const std::u16string name = kGuid + u" 2026-12-10 09-05-03.reg";
    const std::vector<std::uint8_t> bytes = RegistryFileBytes(u"Windows Registry Editor Version 5.00\r\n");

    EXPECT_FALSE(store.HasBackup(kGuid));
    ASSERT_TRUE(store.Save(name, bytes));
    EXPECT_TRUE(store.HasBackup(kGuid));
    EXPECT_FALSE(store.HasBackup(u"{00000000-0000-0000-0000-000000000000}"));
    EXPECT_EQ(ReadFile(folder + u"\\" + name), bytes);

    EXPECT_FALSE(store.Save(name, {1, 2, 3})) << "an existing backup is never replaced";
    EXPECT_EQ(ReadFile(folder + u"\\" + name), bytes);
    ::DeleteFileW(Wide(folder + u"\\" + name));
}

TEST(BackupFolder, AFolderThatCannotBeMadeGivesFalse) {
    // A file stands where the folder would go.
    const std::u16string parent = ScratchFolder(L"blocked");
    ::SHCreateDirectoryExW(nullptr, Wide(parent), nullptr);
    const std::u16string blocker = parent + u"\\Backup";
    ASSERT_TRUE(TUniqueFile(::CreateFileW(Wide(blocker), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));

    TBackupFolder store(blocker);
    EXPECT_FALSE(store.Save(kGuid + u" 2026-12-10 09-05-03.reg", {0xFF, 0xFE}));
    EXPECT_FALSE(store.HasBackup(kGuid));
    ::DeleteFileW(Wide(blocker));
}

TEST(BackupFolder, DefaultsToTheUsersLocalApplicationData) {
    TBackupFolder store; // the folder is looked up at the first use
    wchar_t expected[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(L"LOCALAPPDATA", expected, MAX_PATH), 0u);
    EXPECT_EQ(store.Folder(), FromWide(expected) + u"\\Zephyrix\\Backup");
}

} // namespace
} // namespace zx
