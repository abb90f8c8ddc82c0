// The machine's primary local IPv4 address, from the socket layer's address list.
#pragma once

#include <string>

namespace zx {

// The first preferred IPv4 unicast address of the first adapters in the platform's
// order (software loopback and receive-only adapters left out), in dotted form; "" when
// there is none or the platform reports no data. Throws TPlatformError for any other
// failure of the enumeration.
std::u16string GetLocalIPAddress();

} // namespace zx
