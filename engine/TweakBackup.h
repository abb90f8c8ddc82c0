// A restorable copy of the tuned values as they were before Zephyrix first changed them
// under an adapter: a registry file that Windows' registry editor imports (double-click,
// or reg import), holding every value of the catalogue present with its type and data,
// or marked absent so that importing deletes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace zx {

// Local date and time of the backup, as its file name shows it.
struct TBackupTime {
    int Year;
    int Month;
    int Day;
    int Hour;
    int Minute;
    int Second;
};

// Where backups are kept (on Windows: %ProgramData%\Zephyrix\Backup).
class ITweakBackupStore {
public:
    virtual ~ITweakBackupStore() = default;
    // True when a complete backup of this adapter exists already (IsCompleteTweakBackup);
    // false also when the store cannot be reached.
    [[nodiscard]] virtual bool HasBackup(const std::u16string& adapterGuid) = 0;
    // Creates the file with these bytes, all or nothing: either the whole file stands
    // under `fileName` afterwards or no file of that name does. Never replaces one; false
    // on any failure.
    [[nodiscard]] virtual bool Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) = 0;
};

// "<guid> yyyy-mm-dd hh-mm-ss.reg".
[[nodiscard]] std::u16string TweakBackupName(const std::u16string& adapterGuid, const TBackupTime& time);

// The name a backup is written under, in the same folder, before it is renamed to
// `fileName`: never taken for a backup, so that a write cut short leaves none.
[[nodiscard]] std::u16string TweakBackupTemporaryName(const std::u16string& fileName);

// How many bytes from a file's start IsCompleteTweakBackup needs.
[[nodiscard]] std::size_t TweakBackupHeadSize() noexcept;

// True when the file `fileName`, whose first bytes are `head`, counts as this adapter's
// backup: named "<guid> *.reg" (the GUID in any letter case) and starting with the byte-order
// mark and the whole header line. An empty file, a file cut short or a leftover temporary
// one does not count.
[[nodiscard]] bool IsCompleteTweakBackup(const std::u16string& fileName, const std::u16string& adapterGuid,
                                         const std::vector<std::uint8_t>& head);

// The registry editor's text for the catalogue's values as they are now: the
// "Windows Registry Editor Version 5.00" header, one block per key (the adapter's
// interface key, the message-queuing key, the multimedia profile) with 64-bit paths,
// CR LF line ends. A DWORD reads dword:xxxxxxxx, text "...", anything else hex(type):..;
// an absent value reads "Name"=-.
[[nodiscard]] std::u16string TweakBackupText(IRegistry& registry, const std::u16string& adapterGuid);

// The file's bytes: UTF-16 LE with a byte-order mark, as the registry editor writes it.
[[nodiscard]] std::vector<std::uint8_t> RegistryFileBytes(const std::u16string& text);

// Saves the backup of this adapter unless one exists. Nothing is reported: a failure
// (no folder, a full disk) leaves Run to go on as it would without a backup. True when a
// backup was written now.
bool BackUpTweaksOnce(IRegistry& registry, ITweakBackupStore& store, const std::u16string& adapterGuid,
                      const TBackupTime& time) noexcept;

} // namespace zx
