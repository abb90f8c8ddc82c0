#include "platform/WebAddressOpener.h"

namespace zx {

TOpenRoute OpenWebAddress(IWebAddressRoutes& routes, const std::u16string& address) {
    if (routes.IsElevated() && routes.OpenThroughDesktopShell(address)) return orDesktopShell;
    routes.OpenDirectly(address);
    return orDirect;
}

} // namespace zx
