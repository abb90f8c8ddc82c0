#include "launcher/LauncherClientId.h"

namespace zx::launcher {

std::u16string GetClientID(IRegistry& registry, ILocalClock& clock, IRandomSource& random) {
    const auto key = registry.OpenKey(kRootCurrentUser, std::u16string(kClientIdKeyPath), kClientIdKeyAccess);
    if (!key) return {};
    const std::u16string name(kClientIdValueName);
    const auto stored = key->QueryValue(name);
    if (!stored) {
        std::u16string id = NewClientID(clock, random);
        return key->SetString(name, id) == kRegSuccess ? id : std::u16string();
    }
    if (stored->Type != kRegSz && stored->Type != kRegExpandSz) return {};
    return SendableClientID(TextFromData(stored->Data));
}

} // namespace zx::launcher
