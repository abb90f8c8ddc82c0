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

// The stored identifier as it may be sent: goes out as a header value, so a text with a
// line break or any other control character (U+0000-U+001F, U+007F-U+009F) is sent as
// the empty identifier, as a value of the wrong type is; any other text unchanged.
[[nodiscard]] std::u16string SendableClientID(std::u16string stored);

// The main program's identifier: opens HKCU\Software\Moravel creating it when missing,
// stores a new identifier when no "KUID" exists, and returns the stored text (REG_SZ or
// REG_EXPAND_SZ, not expanded, through SendableClientID). Every failure, and a value of
// another type, gives the empty text; an existing value is never overwritten.
[[nodiscard]] std::u16string GetClientID(IRegistry& registry, ILocalClock& clock, IRandomSource& random);

} // namespace zx
