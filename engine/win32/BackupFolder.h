// Backups of the tuned values as files in a folder only administrators can change: by
// default %ProgramData%\Zephyrix\Backup.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/BackupLocation.h"
#include "engine/TweakBackup.h"
#include "platform/win32/Handles.h"

namespace zx {

// Whether a folder's or a file's owner is one that only an administrator can have made
// it with. The real judgement: Administrators or SYSTEM.
using TOwnerJudge = bool (*)(void* ownerSid);
[[nodiscard]] bool IsAdministratorsOrSystem(void* ownerSid);

class TBackupFolder final : public ITweakBackupStore {
public:
    // The machine's program data folder (%ProgramData%), "Zephyrix\Backup" below it;
    // looked up at the first use, from any thread (the program looks it up in the
    // background once its window is drawn, so that Run does not load the shell's library
    // on the window's thread).
    TBackupFolder() = default;
    // "Zephyrix\Backup" below any base folder (tests use one of their own), judging
    // owners by `judge` (Wine keeps no owners: its tests pass a judge of their own).
    explicit TBackupFolder(std::u16string base, TOwnerJudge judge = IsAdministratorsOrSystem);
    explicit TBackupFolder(TOwnerJudge judge) : FJudge(judge) {}

    // Every use opens the folder chain afresh (OpenBackupFolder): creates what is
    // missing, protects each folder, refuses links. A refused or unreachable folder holds
    // no backup and takes none.
    [[nodiscard]] bool HasBackup(const std::u16string& adapterGuid) override;
    // Writes a temporary file beside the final one, flushes it and renames it through its
    // handle without replacing; a file that could not be written whole is removed through
    // its handle.
    [[nodiscard]] bool Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) override;

    // The backup folder's path; empty when the base could not be found: then nothing is saved.
    [[nodiscard]] const std::u16string& Folder();

private:
    std::once_flag FLookedUp;
    std::optional<std::u16string> FBase; // given, or set once by the lookup
    std::u16string FFolder;
    TOwnerJudge FJudge = IsAdministratorsOrSystem;
};

// The folder chain on the real file system, below `base`. Folders are opened without
// following links and held without sharing deletion, so that nobody can rename or
// replace one while the chain lives.
class TWin32BackupFolderChain final : public IBackupFolderChain {
public:
    explicit TWin32BackupFolderChain(std::u16string base, TOwnerJudge judge = IsAdministratorsOrSystem);
    [[nodiscard]] std::optional<TFolderFacts> OpenOrCreate(const std::u16string& name,
                                                           const std::u16string& sddl) override;
    [[nodiscard]] bool Protect(const std::u16string& sddl) override;
    [[nodiscard]] bool MoveAside(const std::u16string& newName) override;

private:
    std::u16string FPath; // of the folder opened last (the base before the first)
    std::vector<TUniqueFile> FFolders;
    TOwnerJudge FJudge;
};

} // namespace zx
