#include "engine/win32/BackupFolder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstddef>
#include <cwchar>

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

// The owner of an open file or folder, judged; false when it cannot be read.
bool OwnerTrusted(HANDLE object, TOwnerJudge judge) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                          &raw) != ERROR_SUCCESS)
        return false;
    const TUniqueDescriptor descriptor(raw);
    return owner && judge(owner);
}

// A file of the folder as it is found: plain or not, whose, and up to `count` bytes from
// its start (fewer when it is shorter or unreadable).
TBackupFileFacts ReadFileFacts(const std::u16string& folder, const std::u16string& name, std::size_t count,
                               TOwnerJudge judge) {
    TBackupFileFacts facts;
    facts.Name = name;
    const TUniqueFile file(::CreateFileW(Wide(folder + u"\\" + name), GENERIC_READ | READ_CONTROL, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || !::GetFileInformationByHandle(file.get(), &information)) return facts;
    facts.IsPlainFile = (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
    facts.TrustedOwner = OwnerTrusted(file.get(), judge);
    facts.Head.resize(count);
    std::size_t got = 0;
    DWORD done = 0;
    while (got < count &&
           ::ReadFile(file.get(), facts.Head.data() + got, static_cast<DWORD>(count - got), &done, nullptr) && done > 0)
        got += done;
    facts.Head.resize(got);
    return facts;
}

// The local time as a folder name may carry it: yyyy-mm-dd hh-mm-ss.
std::u16string LocalStamp() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t text[32] = {};
    (void)::swprintf(text, 32, L"%04u-%02u-%02u %02u-%02u-%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                     now.wMinute, now.wSecond);
    return FromWide(text);
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

bool IsAdministratorsOrSystem(void* ownerSid) {
    return ::IsWellKnownSid(ownerSid, WinBuiltinAdministratorsSid) || ::IsWellKnownSid(ownerSid, WinLocalSystemSid);
}

TWin32BackupFolderChain::TWin32BackupFolderChain(std::u16string base, TOwnerJudge judge)
    : FPath(std::move(base)), FJudge(judge) {}

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
    const bool trusted = OwnerTrusted(folder.get(), FJudge);
    FFolders.push_back(std::move(folder));
    FPath = path;
    return TFolderFacts{.IsDirectory = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                        .IsReparsePoint = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                        .TrustedOwner = trusted};
}

bool TWin32BackupFolderChain::MoveAside(const std::u16string& newName) {
    if (FFolders.empty()) return false;
    const std::size_t cut = FPath.find_last_of(u'\\');
    if (cut == std::u16string::npos) return false;
    const std::u16string parent = FPath.substr(0, cut);
    BY_HANDLE_FILE_INFORMATION judged{};
    if (!::GetFileInformationByHandle(FFolders.back().get(), &judged)) return false;
    // The held handle shares no deletion (and a handle that could delete would keep the
    // folder from being listed): it is let go for one that may rename, which must open
    // the very folder that was judged, or nothing moves.
    FFolders.pop_back();
    const TUniqueFile folder(::CreateFileW(Wide(FPath), DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FPath = parent;
    BY_HANDLE_FILE_INFORMATION opened{};
    if (!folder || !::GetFileInformationByHandle(folder.get(), &opened) ||
        opened.dwVolumeSerialNumber != judged.dwVolumeSerialNumber || opened.nFileIndexHigh != judged.nFileIndexHigh ||
        opened.nFileIndexLow != judged.nFileIndexLow)
        return false;
    // Through the handle: the folder that was judged moves, whatever its path now names.
    return RenameThroughHandle(folder.get(), parent + u"\\" + newName);
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

TBackupFolder::TBackupFolder(std::u16string base, TOwnerJudge judge) : FBase(std::move(base)), FJudge(judge) {}

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
    TWin32BackupFolderChain chain(*FBase, FJudge);
    if (!OpenBackupFolder(chain, LocalStamp())) return false;
    WIN32_FIND_DATAW found{};
    const TUniqueFind search(::FindFirstFileExW(Wide(folder + u"\\" + adapterGuid + u" *.reg"), FindExInfoBasic, &found,
                                                FindExSearchNameMatch, nullptr, 0));
    if (!search) return false;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (CountsAsTweakBackup(ReadFileFacts(folder, FromWide(found.cFileName), TweakBackupHeadSize(), FJudge),
                                adapterGuid))
            return true;
    } while (::FindNextFileW(search.get(), &found));
    return false;
}

bool TBackupFolder::Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) {
    const std::u16string& folder = Folder();
    if (folder.empty()) return false;
    // Held open until the file has its final name: the paths below stay inside it.
    TWin32BackupFolderChain chain(*FBase, FJudge);
    if (!OpenBackupFolder(chain, LocalStamp())) return false;
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
