// The backup folder on the real file system: the folder chain below a base, a save that
// is all or nothing, the existence test that counts only complete files, a folder that
// cannot be made, and the descriptor text as the system's own parser reads it.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/wine/WineOwnerJudge.h"
#include "engine/win32/BackupFolder.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace zx {
namespace {

const std::u16string kGuid = u"{6B29FC40-CA47-1067-B31D-00DD010662DA}";
const std::u16string kName = kGuid + u" 2026-12-10 09-05-03.reg";

// A fresh base folder of the test's own (emptied of what an earlier run left).
std::u16string ScratchBase(const wchar_t* leaf) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::u16string base = FromWide(temp) + u"zx-backup-test\\" + FromWide(leaf);
    std::vector<wchar_t> from(base.begin(), base.end());
    from.push_back(0);
    from.push_back(0); // the operation takes a list ending in two NULs
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
    ::SHCreateDirectoryExW(nullptr, Wide(base), nullptr);
    return base;
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

void WriteFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
    const TUniqueFile file(::CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD done = 0;
    ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr));
}

// The names in a folder, sorted.
std::vector<std::u16string> Listing(const std::u16string& folder) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW found{};
    const TUniqueFind search(::FindFirstFileW(Wide(folder + u"\\*"), &found));
    if (!search) return names;
    do {
        const std::u16string name = FromWide(found.cFileName);
        if (name != u"." && name != u"..") names.push_back(name);
    } while (::FindNextFileW(search.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::uint8_t> CompleteBackup() {
    return RegistryFileBytes(u"Windows Registry Editor Version 5.00\r\n\r\n");
}

TEST(BackupFolder, SavesOnceBelowTheBaseAllOrNothingAndFindsItByAdapter) {
    const std::u16string base = ScratchBase(L"chain");
    TBackupFolder store(base, test::IsWineReportedOwner);
    const std::u16string folder = base + u"\\Zephyrix\\Backup";
    EXPECT_EQ(store.Folder(), folder);
    const std::vector<std::uint8_t> bytes = CompleteBackup();

    EXPECT_FALSE(store.HasBackup(kGuid));
    ASSERT_TRUE(store.Save(kName, bytes));
    EXPECT_EQ(Listing(folder), std::vector<std::u16string>{kName}) << "the temporary file took the final name";
    EXPECT_EQ(ReadFile(folder + u"\\" + kName), bytes);
    EXPECT_TRUE(store.HasBackup(kGuid));
    EXPECT_FALSE(store.HasBackup(u"{00000000-0000-0000-0000-000000000000}"));

    // The rename refuses to replace: the existing backup stays, the new temporary file goes.
    EXPECT_FALSE(store.Save(kName, {1, 2, 3})) << "an existing backup is never replaced";
    EXPECT_EQ(ReadFile(folder + u"\\" + kName), bytes);
    EXPECT_EQ(Listing(folder), std::vector<std::u16string>{kName}) << "the failed file is removed";
}

TEST(BackupFolder, OnlyACompleteFileCountsAsABackup) {
    const std::u16string base = ScratchBase(L"complete");
    TBackupFolder store(base, test::IsWineReportedOwner);
    ASSERT_FALSE(store.HasBackup(kGuid)); // makes the folders
    const std::u16string folder = store.Folder();

    // What a write cut short, or an unelevated program, could leave there.
    WriteFile(folder + u"\\" + kGuid + u" 2026-12-09 08-00-00.reg", {});
    WriteFile(folder + u"\\" + kGuid + u" 2026-12-09 08-00-01.reg", {0xFF, 0xFE, 'W', 0});
    WriteFile(folder + u"\\" + TweakBackupTemporaryName(kGuid + u" 2026-12-09 08-00-02.reg"), CompleteBackup());
    EXPECT_FALSE(store.HasBackup(kGuid)) << "an empty file, a cut one and a leftover temporary file do not count";

    // So the next Run saves a backup of its own, and that one counts.
    ASSERT_TRUE(store.Save(kName, CompleteBackup()));
    EXPECT_TRUE(store.HasBackup(kGuid));
}

TEST(BackupFolder, AFolderThatCannotBeMadeGivesFalse) {
    // A file stands where the backup folder would go.
    const std::u16string base = ScratchBase(L"blocked");
    ASSERT_TRUE(::CreateDirectoryW(Wide(base + u"\\Zephyrix"), nullptr));
    WriteFile(base + u"\\Zephyrix\\Backup", {});

    TBackupFolder store(base, test::IsWineReportedOwner);
    EXPECT_FALSE(store.Save(kName, CompleteBackup()));
    EXPECT_FALSE(store.HasBackup(kGuid));
    EXPECT_EQ(Listing(base + u"\\Zephyrix"), std::vector<std::u16string>{u"Backup"});
}

// Wine reports every owner as the current user, so with the product's judgement every
// folder is someone else's: the calls that move one aside and make it afresh run, and
// then the folder made afresh is refused too (on Windows it is Administrators').
TEST(BackupFolder, AFolderOfSomeoneElsesIsMovedAsideWithWhatItHoldsAndNothingIsTakenFromIt) {
    const std::u16string base = ScratchBase(L"untrusted");
    ASSERT_TRUE(::CreateDirectoryW(Wide(base + u"\\Zephyrix"), nullptr));
    WriteFile(base + u"\\Zephyrix\\planted.reg", CompleteBackup());

    TBackupFolder store(base); // Administrators or SYSTEM only
    EXPECT_FALSE(store.HasBackup(kGuid));
    const std::vector<std::u16string> below = Listing(base);
    ASSERT_EQ(below.size(), 2u);
    EXPECT_EQ(below[0], u"Zephyrix") << "made afresh";
    EXPECT_EQ(below[1].rfind(u"Zephyrix.untrusted-", 0), 0u) << "moved aside";
    EXPECT_EQ(Listing(base + u"\\" + below[1]), std::vector<std::u16string>{u"planted.reg"}) << "with what it held";
    EXPECT_TRUE(Listing(base + u"\\Zephyrix").empty());
    EXPECT_FALSE(store.Save(kName, CompleteBackup())) << "under Wine the fresh folder reads as someone else's too";
}

TEST(BackupFolder, DefaultsToTheMachinesProgramDataFolder) {
    TBackupFolder store; // the folder is looked up at the first use
    wchar_t expected[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(L"ProgramData", expected, MAX_PATH), 0u);
    EXPECT_EQ(store.Folder(), FromWide(expected) + u"\\Zephyrix\\Backup");
}

// Wine keeps no file security, so the folder's descriptor cannot be read back; the text
// is checked by the system's own parser instead.
TEST(BackupFolder, TheSystemReadsTheDescriptorAsAProtectedListOwnedByAdministrators) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(BackupFolderSecurity()), SDDL_REVISION_1,
                                                                       &descriptor, nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_NE(control & SE_DACL_PROTECTED, 0);

    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    ASSERT_TRUE(::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted));
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof(administrators);
    ASSERT_TRUE(::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
    EXPECT_TRUE(owner && ::EqualSid(owner, administrators));

    PACL access = nullptr;
    BOOL present = FALSE;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &access, &defaulted));
    ASSERT_TRUE(present && access);
    EXPECT_EQ(access->AceCount, 3);
    ::LocalFree(descriptor);
}

} // namespace
} // namespace zx
