// The latency values: what Run writes for each enabled option and what Stop puts back.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/Registry.h"

namespace zx {

// The five options the user can enable, named after the values they control.
struct TTweakOptions {
    bool AckFrequency = false;
    bool DelAckTicks = false;
    bool NoDelay = false;
    bool ThrottlingIndex = false;
    bool Responsiveness = false;
};

enum TTweakLocation : std::uint8_t { tlInterface, tlQueue, tlProfile };

enum TTweakActionKind : std::uint8_t { akWrite, akDelete };

struct TTweakAction {
    TTweakActionKind Kind;
    std::int32_t Value; // akWrite only
};

// One catalogue entry: the option that enables it on Run, where it lives, and what Run
// and Stop do to it.
struct TTweak {
    bool TTweakOptions::*Option;
    TTweakLocation Location;
    const char16_t* ValueName;
    TTweakAction Run;
    TTweakAction Stop;
};

// The catalogue in the order its values are written on Run and reverted on Stop.
[[nodiscard]] std::span<const TTweak> TweakCatalogue() noexcept;

// The full registry path of a location; the interface key ends in the adapter GUID.
[[nodiscard]] std::u16string TweakLocationPath(TTweakLocation location, const std::u16string& adapterGuid);

// Writes the Run value of every entry whose option is enabled, in catalogue order.
void ApplyTweaks(IRegistry& registry, const std::u16string& adapterGuid, const TTweakOptions& options) noexcept;

// Performs every Stop action, whatever the options were.
void RevertTweaks(IRegistry& registry, const std::u16string& adapterGuid) noexcept;

// Deletes the adapter's own interface values only, and only from an interface key that
// exists (none is created): for an adapter that Run tuned earlier but that is no longer
// the active one. Every Stop action of an interface value is a delete.
void RevertAdapterTweaks(IRegistry& registry, const std::u16string& adapterGuid) noexcept;

// Which options Run's values are in place for now: an option is set when every value Run
// writes for it holds exactly what Run writes, type and data (TcpNoDelay needs both of its
// values). A value that is missing or cannot be read, and every interface value without a
// usable adapter GUID, counts as not set. Reads only: nothing is created. Never throws.
[[nodiscard]] TTweakOptions ReadAppliedTweaks(IRegistry& registry, const std::u16string& adapterGuid) noexcept;

// Both act step by step, each step opening and closing its own key; a failed step does
// not stop the others and nothing is reported. Without a usable adapter GUID (empty, or
// holding a backslash) the interface entries are skipped: their path would name the
// parent "Interfaces" key or a key below an interface instead of an interface.

} // namespace zx
