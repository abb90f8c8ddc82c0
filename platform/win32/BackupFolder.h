// Backups of the tuned values as files in a folder of the user's: by default
// %LOCALAPPDATA%\Zephyrix\Backup.
#pragma once

#include <string>

#include "engine/TweakBackup.h"

namespace zx {

class TBackupFolder final : public ITweakBackupStore {
public:
    // The user's local application data folder, "Zephyrix\Backup" below it.
    TBackupFolder();
    // Any folder (tests use one of their own); created on the first save.
    explicit TBackupFolder(std::u16string folder);

    [[nodiscard]] bool HasBackup(const std::u16string& adapterGuid) override;
    // Creates the folder chain when missing and the file only when none of that name
    // exists; a file that could not be written whole is removed again, so that a later
    // Run tries anew instead of taking it for the backup.
    [[nodiscard]] bool Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) override;

    [[nodiscard]] const std::u16string& Folder() const noexcept { return FFolder; }

private:
    std::u16string FFolder; // empty when the user's folder could not be found: nothing is saved
};

} // namespace zx
