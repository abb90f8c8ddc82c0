#include "platform/win32/BackupFolder.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace zx {

namespace {

std::u16string LocalAppDataFolder() {
    PWSTR path = nullptr;
    std::u16string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path))) folder = FromWide(path);
    ::CoTaskMemFree(path); // also after a failure, as the call requires
    return folder;
}

} // namespace

TBackupFolder::TBackupFolder(std::u16string folder) : FFolder(std::move(folder)) {}

const std::u16string& TBackupFolder::Folder() {
    std::call_once(FLookedUp, [this] {
        if (FFolder) return; // given by the caller
        const std::u16string base = LocalAppDataFolder();
        FFolder = base.empty() ? std::u16string() : base + u"\\Zephyrix\\Backup";
    });
    return *FFolder;
}

bool TBackupFolder::HasBackup(const std::u16string& adapterGuid) {
    const std::u16string& folder = Folder();
    if (folder.empty()) return false;
    WIN32_FIND_DATAW found{};
    const std::u16string pattern = folder + u"\\" + adapterGuid + u" *.reg";
    const TUniqueFind search(
        ::FindFirstFileExW(Wide(pattern), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    return static_cast<bool>(search);
}

bool TBackupFolder::Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) {
    const std::u16string& folder = Folder();
    if (folder.empty()) return false;
    const int created = ::SHCreateDirectoryExW(nullptr, Wide(folder), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS && created != ERROR_FILE_EXISTS) return false;
    const std::u16string path = folder + u"\\" + fileName;
    bool written = false;
    {
        const TUniqueFile file(
            ::CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD done = 0;
        written = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
            done == bytes.size() && ::FlushFileBuffers(file.get());
    }
    if (!written) ::DeleteFileW(Wide(path));
    return written;
}

} // namespace zx
