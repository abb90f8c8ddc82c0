// The client identifier that both programs send to the update service: made once from
// the clock and a pseudo-random generator, kept per user in HKCU\Software\Moravel "KUID".
#pragma once

#include <cstdint>
#include <string>

#include "platform/LocalClock.h"
#include "platform/RandomSource.h"
#include "platform/Registry.h"

namespace zx {

inline constexpr std::u16string_view kClientIdKeyPath = u"Software\\Moravel";
inline constexpr std::u16string_view kClientIdValueName = u"KUID";
// KEY_READ | KEY_WRITE: what both programs open the key with.
inline constexpr std::uint32_t kClientIdKeyAccess = kKeyRead | kKeyWrite;

// 32 upper-case hexadecimal and decimal characters: random A (8 hex, below 0x7FFFFFFF),
// date yymmdd, random B (4 hex, below 0xFFFF), time hhnnss, random C (like A). Draws in
// the order A, B, C; the date is read before the time. No other effect.
[[nodiscard]] std::u16string NewClientID(ILocalClock& clock, IRandomSource& random);

// The main program's identifier: opens HKCU\Software\Moravel creating it when missing,
// stores a new identifier when no "KUID" exists, and returns the stored text (REG_SZ or
// REG_EXPAND_SZ, not expanded). Every failure, and a value of another type, gives the
// empty text; an existing value is never overwritten.
[[nodiscard]] std::u16string GetClientID(IRegistry& registry, ILocalClock& clock, IRandomSource& random);

} // namespace zx
