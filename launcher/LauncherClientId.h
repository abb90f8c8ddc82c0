// The client identifier as the launcher reads it: like the main program's, but the
// launcher never creates the maker's key, so it sends nothing until the main program
// has made the key.
#pragma once

#include <string>

#include "kit/ClientId.h"
#include "platform/Registry.h"

namespace zx::launcher {

// Opens the existing HKCU\Software\Moravel (never creates it; missing or unopenable:
// empty, nothing written). When "KUID" cannot be queried, stores a new identifier and
// returns it only if the store succeeded. A REG_SZ or REG_EXPAND_SZ value gives its text
// up to the first NUL, not expanded, through SendableClientID; a value of any other type
// gives the empty text and stays as it is.
[[nodiscard]] std::u16string GetClientID(IRegistry& registry, ILocalClock& clock, IRandomSource& random);

} // namespace zx::launcher
