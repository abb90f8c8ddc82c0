#include "engine/win32/BackupFolder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstddef>

#include "platform/win32/WideText.h"

namespace zx {

namespace {

struct TLocalMemoryTraits { // what the system allocated with LocalAlloc for us
    using Type = PSECURITY_DESCRIPTOR;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type p) noexcept { ::LocalFree(p); }
};
using TUniqueDescriptor = TUniqueResource<TLocalMemoryTraits>;

TUniqueDescriptor Descriptor(const std::u16string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(sddl), SDDL_REVISION_1, &descriptor, nullptr))
        return TUniqueDescriptor();
    return TUniqueDescriptor(descriptor);
}

std::u16string ProgramDataFolder() {
    PWSTR path = nullptr;
    std::u16string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path))) folder = FromWide(path);
    ::CoTaskMemFree(path); // also after a failure, as the call requires
    return folder;
}

// Up to `count` bytes from the start of a plain file; fewer when it is shorter or unreadable.
std::vector<std::uint8_t> ReadHead(const std::u16string& path, std::size_t count) {
    std::vector<std::uint8_t> head(count);
    const TUniqueFile file(::CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    std::size_t got = 0;
    DWORD done = 0;
    while (file && got < count &&
           ::ReadFile(file.get(), head.data() + got, static_cast<DWORD>(count - got), &done, nullptr) && done > 0)
        got += done;
    head.resize(got);
    return head;
}

// Marks an open file for deletion when its handle closes: the file this handle holds,
// whatever now stands at its path.
void DeleteThroughHandle(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    (void)::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition));
}

// Gives the open file the full path `target` as its name, failing when something of that
// name exists. The name is given in the kernel's form, which every layer takes as it is.
bool RenameThroughHandle(HANDLE file, const std::u16string& target) {
    const std::u16string path = u"\\??\\" + target;
    const std::size_t nameBytes = path.size() * sizeof(wchar_t);
    std::vector<std::uint8_t> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t), 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(path.begin(), path.end(), reinterpret_cast<char16_t*>(rename->FileName));
    return ::SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
}

} // namespace

TWin32BackupFolderChain::TWin32BackupFolderChain(std::u16string base) : FPath(std::move(base)) {}

std::optional<TFolderFacts> TWin32BackupFolderChain::OpenOrCreate(const std::u16string& name,
                                                                  const std::u16string& sddl) {
    const TUniqueDescriptor descriptor = Descriptor(sddl);
    if (!descriptor) return std::nullopt;
    const std::u16string path = FPath + u"\\" + name;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor.get(), FALSE};
    // Fails when something of that name exists already: the open below judges that one.
    (void)::CreateDirectoryW(Wide(path), &attributes);
    // Listing access takes part in sharing, and deletion is not shared: while this handle
    // is open the folder cannot be renamed away and replaced by a link.
    TUniqueFile folder(::CreateFileW(
        Wide(path), FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | READ_CONTROL | WRITE_DAC | WRITE_OWNER,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!folder) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(folder.get(), &information)) return std::nullopt;
    FFolders.push_back(std::move(folder));
    FPath = path;
    return TFolderFacts{.IsDirectory = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                        .IsReparsePoint = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0};
}

bool TWin32BackupFolderChain::Protect(const std::u16string& sddl) {
    if (FFolders.empty()) return false;
    const TUniqueDescriptor descriptor = Descriptor(sddl);
    PSID owner = nullptr;
    PACL access = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    if (!descriptor || !::GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted) ||
        !::GetSecurityDescriptorDacl(descriptor.get(), &present, &access, &defaulted) || !owner || !present)
        return false;
    return ::SetSecurityInfo(FFolders.back().get(), SE_FILE_OBJECT,
                             OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                 PROTECTED_DACL_SECURITY_INFORMATION,
                             owner, nullptr, access, nullptr) == ERROR_SUCCESS;
}

TBackupFolder::TBackupFolder(std::u16string base) : FBase(std::move(base)) {}

const std::u16string& TBackupFolder::Folder() {
    std::call_once(FLookedUp, [this] {
        if (!FBase) FBase = ProgramDataFolder();
        if (FBase->empty()) return;
        FFolder = *FBase;
        for (const char16_t* name : kBackupFolderNames) FFolder += std::u16string(u"\\") + name;
    });
    return FFolder;
}

bool TBackupFolder::HasBackup(const std::u16string& adapterGuid) {
    const std::u16string& folder = Folder();
    if (folder.empty()) return false;
    TWin32BackupFolderChain chain(*FBase);
    if (!OpenBackupFolder(chain)) return false;
    WIN32_FIND_DATAW found{};
    const TUniqueFind search(::FindFirstFileExW(Wide(folder + u"\\" + adapterGuid + u" *.reg"), FindExInfoBasic, &found,
                                                FindExSearchNameMatch, nullptr, 0));
    if (!search) return false;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        const std::u16string name = FromWide(found.cFileName);
        if (IsCompleteTweakBackup(name, adapterGuid, ReadHead(folder + u"\\" + name, TweakBackupHeadSize())))
            return true;
    } while (::FindNextFileW(search.get(), &found));
    return false;
}

bool TBackupFolder::Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) {
    const std::u16string& folder = Folder();
    if (folder.empty()) return false;
    // Held open until the file has its final name: the paths below stay inside it.
    TWin32BackupFolderChain chain(*FBase);
    if (!OpenBackupFolder(chain)) return false;
    const std::u16string temporary = folder + u"\\" + TweakBackupTemporaryName(fileName);
    // Nothing shared: no other handle to the file exists while it is written and renamed.
    const TUniqueFile file(::CreateFileW(Wide(temporary), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return false;
    DWORD done = 0;
    // Whole and on disk before it takes the name that counts. The rename goes through the
    // handle, so it renames the file written here whatever now stands at its path, and
    // never replaces a backup there.
    const bool saved = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
        done == bytes.size() && ::FlushFileBuffers(file.get()) &&
        RenameThroughHandle(file.get(), folder + u"\\" + fileName) && ::FlushFileBuffers(file.get());
    if (!saved) DeleteThroughHandle(file.get());
    return saved;
}

} // namespace zx
