#include "engine/BackupLocation.h"

#include <array>

namespace zx {

namespace {

// One allowed entry of the access list: SDDL trustee and rights.
struct TAccessEntry {
    const char16_t* Trustee;
    const char16_t* Rights;
};

constexpr std::array<TAccessEntry, 3> kBackupAccess = {{
    {u"BA", u"FA"}, // Administrators: full control
    {u"SY", u"FA"}, // SYSTEM: full control
    {u"BU", u"FR"}, // Users: read (the backups are theirs to import)
}};

} // namespace

std::u16string BackupFolderSecurity() {
    // "P": protected, so no entry of the parent (ProgramData lets users create and own
    // folders) reaches these folders; "OICI": files and folders inside inherit each entry.
    std::u16string sddl = u"O:BAD:P";
    for (const TAccessEntry& entry : kBackupAccess)
        sddl += std::u16string(u"(A;OICI;") + entry.Rights + u";;;" + entry.Trustee + u")";
    return sddl;
}

bool OpenBackupFolder(IBackupFolderChain& chain) {
    const std::u16string sddl = BackupFolderSecurity();
    for (const char16_t* name : kBackupFolderNames) {
        const std::optional<TFolderFacts> facts = chain.OpenOrCreate(name, sddl);
        // A junction or link here could send the files, or the removal of a failed one,
        // anywhere an unelevated program chose.
        if (!facts || !facts->IsDirectory || facts->IsReparsePoint) return false;
        // Found as well as created: an unelevated program may have made it first.
        if (!chain.Protect(sddl)) return false;
    }
    return true;
}

} // namespace zx
