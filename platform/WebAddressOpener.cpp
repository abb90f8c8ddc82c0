#include "platform/WebAddressOpener.h"

namespace zx {

TOpenRoute OpenWebAddress(IWebAddressRoutes& routes, const std::u16string& address) {
    if (!routes.IsElevated()) {
        routes.OpenDirectly(address);
        return orDirect;
    }
    if (routes.OpenThroughDesktopShell(address)) return orDesktopShell;
    routes.ShowAddress(address);
    return orShown;
}

} // namespace zx
