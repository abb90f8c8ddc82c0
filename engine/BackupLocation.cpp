#include "engine/BackupLocation.h"

#include <array>

#include "engine/TweakBackup.h"

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

std::u16string UntrustedFolderName(const std::u16string& name, const std::u16string& stamp) {
    return name + u".untrusted-" + stamp;
}

bool OpenBackupFolder(IBackupFolderChain& chain, const std::u16string& stamp) {
    const std::u16string sddl = BackupFolderSecurity();
    // A junction or link here could send the files, or the removal of a failed one,
    // anywhere an unelevated program chose.
    const auto plainFolder = [](const std::optional<TFolderFacts>& facts) {
        return facts && facts->IsDirectory && !facts->IsReparsePoint;
    };
    for (const char16_t* name : kBackupFolderNames) {
        std::optional<TFolderFacts> facts = chain.OpenOrCreate(name, sddl);
        if (!plainFolder(facts)) return false;
        if (!facts->TrustedOwner) {
            // Made by a lower program first: its owner could change it, and what it holds,
            // at any time, whatever access list it gets now.
            if (!chain.MoveAside(UntrustedFolderName(name, stamp))) return false;
            facts = chain.OpenOrCreate(name, sddl);
            if (!plainFolder(facts) || !facts->TrustedOwner) return false;
        }
        if (!chain.Protect(sddl)) return false;
    }
    return true;
}

bool CountsAsTweakBackup(const TBackupFileFacts& file, const std::u16string& adapterGuid) {
    return file.IsPlainFile && file.TrustedOwner && IsCompleteTweakBackup(file.Name, adapterGuid, file.Head);
}

} // namespace zx
