// Finding the active adapter: the connected physical adapter, not of a virtual-machine
// product or connection sharing, that carries an address on the local address's prefix.
#pragma once

#include <string>

#include "platform/Network.h"

namespace zx {

// True when both texts have the same prefix: everything before the last "." (the empty
// text when there is no "."). Texts only: nothing is parsed, no netmask is applied.
[[nodiscard]] bool SameSubnet(const std::u16string& first, const std::u16string& second);

// Walks the inventory's adapters and returns true at the first address that shares the
// local address's prefix; then `name`, `guid` and `ip` hold that adapter's name and GUID
// and the matching address. The variables are written as the walk reads them, so after
// false they hold whatever was read last; when the inventory cannot be opened they are
// not touched at all. Errors of the local address enumeration, of a configuration query
// and of an `IPAddress` read are passed on as TPlatformError, after the search's
// resources are released.
[[nodiscard]] bool FindActiveAdapter(INetworkInventory& inventory, std::u16string& name, std::u16string& guid,
                                     std::u16string& ip);

} // namespace zx
