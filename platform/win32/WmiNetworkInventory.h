// The network inventory read from WMI (root\CIMV2) and the socket layer's address list.
#pragma once

#include "platform/Network.h"

namespace zx {

// Each adapter walk enters COM on the calling thread for its lifetime and leaves it
// when the walk is destroyed, after every WMI object of the search has been released.
class TWmiNetworkInventory final : public INetworkInventory {
public:
    std::u16string GetLocalIPAddress() override;
    std::unique_ptr<IAdapterWalk> OpenAdapterWalk() override;
};

} // namespace zx
