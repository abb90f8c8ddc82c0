// Backups of the tuned values as files in a folder of the user's: by default
// %LOCALAPPDATA%\Zephyrix\Backup.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "engine/TweakBackup.h"

namespace zx {

class TBackupFolder final : public ITweakBackupStore {
public:
    // The user's local application data folder, "Zephyrix\Backup" below it; looked up at
    // the first use, from any thread (the program looks it up in the background once its
    // window is drawn, so that Run does not load the shell's library on the window's
    // thread).
    TBackupFolder() = default;
    // Any folder (tests use one of their own); created on the first save.
    explicit TBackupFolder(std::u16string folder);

    [[nodiscard]] bool HasBackup(const std::u16string& adapterGuid) override;
    // Creates the folder chain when missing and the file only when none of that name
    // exists; a file that could not be written whole is removed again, so that a later
    // Run tries anew instead of taking it for the backup.
    [[nodiscard]] bool Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) override;

    // Empty when the user's folder could not be found: then nothing is saved.
    [[nodiscard]] const std::u16string& Folder();

private:
    std::once_flag FLookedUp;
    std::optional<std::u16string> FFolder; // given, or set once by the lookup
};

} // namespace zx
