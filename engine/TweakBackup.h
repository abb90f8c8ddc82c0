// A restorable copy of the tuned values as they were before Zephyrix first changed them
// under an adapter: a registry file that Windows' registry editor imports (double-click,
// or reg import), holding every value of the catalogue present with its type and data,
// or marked absent so that importing deletes it.
#pragma once

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

// Where backups are kept (on Windows: %LOCALAPPDATA%\Zephyrix\Backup).
class ITweakBackupStore {
public:
    virtual ~ITweakBackupStore() = default;
    // True when a backup of this adapter exists already (a file "<guid> *.reg").
    [[nodiscard]] virtual bool HasBackup(const std::u16string& adapterGuid) = 0;
    // Creates the file with these bytes, never replacing one; false on any failure.
    [[nodiscard]] virtual bool Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) = 0;
};

// "<guid> yyyy-mm-dd hh-mm-ss.reg".
[[nodiscard]] std::u16string TweakBackupName(const std::u16string& adapterGuid, const TBackupTime& time);

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
