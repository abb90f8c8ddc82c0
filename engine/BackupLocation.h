// Where the elevated program keeps its backups, and what it demands of that folder
// before it writes there: folders only administrators can change, reached without
// following any link that an unelevated program could have placed on the way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zx {

// What the system reports of a folder it has just opened, for the object opened (a
// link itself, not what it points to).
struct TFolderFacts {
    bool IsDirectory = false;
    bool IsReparsePoint = false; // a junction, a symbolic link or another reparse point
    // Owned by Administrators or SYSTEM: nothing else of the machine can have made it.
    bool TrustedOwner = false;
};

// The folders on the way down to the backups, opened one below the other from a base
// folder that only administrators can change. Each folder stays open until the chain is
// destroyed, and while open cannot be renamed, deleted or replaced, so that a path
// through it keeps meaning the folder that was judged.
class IBackupFolderChain {
public:
    virtual ~IBackupFolderChain() = default;
    // Opens `name` below the folder opened last (the first below the base), creating it
    // with the security descriptor `sddl` when missing; never follows a link. The facts
    // are those of the object opened; nothing when it can neither be opened nor created.
    [[nodiscard]] virtual std::optional<TFolderFacts> OpenOrCreate(const std::u16string& name,
                                                                   const std::u16string& sddl) = 0;
    // Gives the folder opened last the owner and the protected access list of `sddl`;
    // false on failure.
    [[nodiscard]] virtual bool Protect(const std::u16string& sddl) = 0;
    // Renames the folder opened last to `newName` beside it, never replacing anything,
    // and closes it: the folder opened before it is the last again. False on failure.
    [[nodiscard]] virtual bool MoveAside(const std::u16string& newName) = 0;
};

// The backup folders' security descriptor, as SDDL: owner Administrators; full control
// for Administrators and SYSTEM, read for Users, inherited by what is created inside;
// protected (nothing inherited from the parent).
[[nodiscard]] std::u16string BackupFolderSecurity();

// The folder names below the base: "Zephyrix", then "Backup".
inline constexpr const char16_t* kBackupFolderNames[] = {u"Zephyrix", u"Backup"};

// The name a folder of someone else's is moved to: "<name>.untrusted-<stamp>".
[[nodiscard]] std::u16string UntrustedFolderName(const std::u16string& name, const std::u16string& stamp);

// Opens the backup folder through `chain`, one folder after the other. A folder owned by
// anyone but Administrators or SYSTEM is never used: it is moved aside (named with
// `stamp`, the local time) and made afresh. Refuses (false) as soon as one is not a
// plain folder (a reparse point, a file), is someone else's even when made afresh, cannot
// be moved aside or cannot be protected, and then opens nothing below it. True: the
// chain's last folder is the backup folder, protected, and safe to write in while the
// chain lives. Nothing is shown: what was moved aside stays where the administrator
// finds it.
[[nodiscard]] bool OpenBackupFolder(IBackupFolderChain& chain, const std::u16string& stamp);

// A file found in the backup folder: its name, whether it is a plain file (no link,
// no folder), whether Administrators or SYSTEM own it, and its first bytes.
struct TBackupFileFacts {
    std::u16string Name;
    bool IsPlainFile = false;
    bool TrustedOwner = false;
    std::vector<std::uint8_t> Head;
};

// True when the file counts as this adapter's backup: a plain file owned by
// Administrators or SYSTEM (a lower program's file would stop the real backup from being
// written, and its owner could change it before an administrator imports it) that is
// complete (IsCompleteTweakBackup).
[[nodiscard]] bool CountsAsTweakBackup(const TBackupFileFacts& file, const std::u16string& adapterGuid);

} // namespace zx
