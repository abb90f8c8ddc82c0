#include "app/win32/WmiAdapterSource.h"

#include "engine/Network.h"
#include "platform/win32/WmiNetworkInventory.h"

namespace zx {

bool TWmiAdapterSource::FindActiveAdapter(std::u16string& name, std::u16string& guid, std::u16string& ip) {
    TWmiNetworkInventory inventory;
    return zx::FindActiveAdapter(inventory, name, guid, ip);
}

} // namespace zx
