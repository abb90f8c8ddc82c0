// Where the elevated program keeps its backups, and what it demands of that folder
// before it writes there: folders only administrators can change, reached without
// following any link that an unelevated program could have placed on the way.
#pragma once

#include <optional>
#include <string>

namespace zx {

// What the system reports of a folder it has just opened, for the object opened (a
// link itself, not what it points to).
struct TFolderFacts {
    bool IsDirectory = false;
    bool IsReparsePoint = false; // a junction, a symbolic link or another reparse point
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
};

// The backup folders' security descriptor, as SDDL: owner Administrators; full control
// for Administrators and SYSTEM, read for Users, inherited by what is created inside;
// protected (nothing inherited from the parent).
[[nodiscard]] std::u16string BackupFolderSecurity();

// The folder names below the base: "Zephyrix", then "Backup".
inline constexpr const char16_t* kBackupFolderNames[] = {u"Zephyrix", u"Backup"};

// Opens the backup folder through `chain`, one folder after the other. Refuses (false)
// as soon as one is not a plain folder (a reparse point, a file) or cannot be protected,
// and then opens nothing below it. True: the chain's last folder is the backup folder,
// protected, and safe to write in while the chain lives.
[[nodiscard]] bool OpenBackupFolder(IBackupFolderChain& chain);

} // namespace zx
