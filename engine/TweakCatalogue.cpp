// The tweak catalogue as one table, and the two walks over it.
#include "engine/TweakCatalogue.h"

#include <optional>

#include "engine/RegistryPath.h"

namespace zx {

namespace {

constexpr const char16_t* kInterfacePrefix =
    u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
constexpr const char16_t* kQueuePath = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\MSMQ\\Parameters";
constexpr const char16_t* kProfilePath =
    u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";

// The value names are the system's: "TcpDelAckTicks" with its final s, "TCPNoDelay" with
// a capital TCP in both places. The profile values go back to the system's defaults
// (10 and 20) instead of being deleted.
constexpr TTweak kCatalogue[] = {
    {&TTweakOptions::AckFrequency, tlInterface, u"TcpAckFrequency", {akWrite, 1}, {akDelete, 0}},
    {&TTweakOptions::DelAckTicks, tlInterface, u"TcpDelAckTicks", {akWrite, 0}, {akDelete, 0}},
    {&TTweakOptions::NoDelay, tlInterface, u"TCPNoDelay", {akWrite, 1}, {akDelete, 0}},
    {&TTweakOptions::NoDelay, tlQueue, u"TCPNoDelay", {akWrite, 1}, {akDelete, 0}},
    {&TTweakOptions::ThrottlingIndex, tlProfile, u"NetworkThrottlingIndex", {akWrite, -1}, {akWrite, 10}},
    {&TTweakOptions::Responsiveness, tlProfile, u"SystemResponsiveness", {akWrite, 0}, {akWrite, 20}},
};

// RevertAdapterTweaks deletes instead of performing the Stop action: it must be one.
constexpr bool InterfaceStopsAreDeletes() {
    for (const TTweak& tweak : kCatalogue)
        if (tweak.Location == tlInterface && tweak.Stop.Kind != akDelete) return false;
    return true;
}
static_assert(InterfaceStopsAreDeletes());

bool IsUsableGuid(const std::u16string& adapterGuid) {
    return !adapterGuid.empty() && adapterGuid.find(u'\\') == std::u16string::npos;
}

void Perform(IRegistry& registry, const TTweak& tweak, const TTweakAction& action, const std::u16string& adapterGuid) {
    if (tweak.Location == tlInterface && !IsUsableGuid(adapterGuid)) return;
    const std::u16string path = TweakLocationPath(tweak.Location, adapterGuid);
    if (action.Kind == akWrite)
        WriteRegistryInteger(registry, path, tweak.ValueName, action.Value);
    else
        DeleteRegistryValue(registry, path, tweak.ValueName);
}

} // namespace

std::span<const TTweak> TweakCatalogue() noexcept {
    return kCatalogue;
}

std::u16string TweakLocationPath(TTweakLocation location, const std::u16string& adapterGuid) {
    switch (location) {
    case tlInterface:
        return kInterfacePrefix + adapterGuid;
    case tlQueue:
        return kQueuePath;
    case tlProfile:
        return kProfilePath;
    }
    return {};
}

void ApplyTweaks(IRegistry& registry, const std::u16string& adapterGuid, const TTweakOptions& options) noexcept {
    for (const TTweak& tweak : kCatalogue) {
        if (!(options.*tweak.Option)) continue;
        try {
            Perform(registry, tweak, tweak.Run, adapterGuid);
        } catch (...) {
            // building a path can only fail for lack of memory; the next step still runs
        }
    }
}

void RevertTweaks(IRegistry& registry, const std::u16string& adapterGuid) noexcept {
    for (const TTweak& tweak : kCatalogue) {
        try {
            Perform(registry, tweak, tweak.Stop, adapterGuid);
        } catch (...) {
        }
    }
}

void RevertAdapterTweaks(IRegistry& registry, const std::u16string& adapterGuid) noexcept {
    if (!IsUsableGuid(adapterGuid)) return;
    for (const TTweak& tweak : kCatalogue) {
        if (tweak.Location != tlInterface) continue;
        try {
            // The GUID comes from a list the user's own programs can write: a key that
            // does not exist is never made for it, only values of existing ones go.
            DeleteExistingRegistryValue(registry, TweakLocationPath(tweak.Location, adapterGuid), tweak.ValueName);
        } catch (...) {
        }
    }
}

TTweakOptions ReadAppliedTweaks(IRegistry& registry, const std::u16string& adapterGuid) noexcept {
    // Every option starts set and any of its values that differs clears it.
    TTweakOptions applied{true, true, true, true, true};
    for (const TTweak& tweak : kCatalogue) {
        bool holds = false;
        try {
            if (tweak.Location != tlInterface || IsUsableGuid(adapterGuid)) {
                const std::optional<TRegValue> value =
                    ReadRegistryValue(registry, TweakLocationPath(tweak.Location, adapterGuid), tweak.ValueName);
                holds = value && *value == DwordValue(static_cast<std::uint32_t>(tweak.Run.Value));
            }
        } catch (...) {
            // building a path can only fail for lack of memory: the value counts as unread
        }
        if (!holds) applied.*tweak.Option = false;
    }
    return applied;
}

} // namespace zx
