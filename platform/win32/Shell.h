// Opening documents and web addresses through the shell.
#pragma once

#include <string>

#include "platform/WebAddressOpener.h"

namespace zx {

// ShellExecuteW "open" with no owner, parameters or folder, SW_SHOWNORMAL; the result is not examined.
void ShellOpen(const std::u16string& target);

// The routes of the real system: the process token's elevation, the desktop shell's own
// ShellExecute (IShellDispatch2, reached through the desktop window of IShellWindows
// created as a local server, which Explorer hosts), and ShellOpen.
class TWin32WebAddressRoutes final : public IWebAddressRoutes {
public:
    [[nodiscard]] bool IsElevated() override;
    [[nodiscard]] bool OpenThroughDesktopShell(const std::u16string& address) override;
    void OpenDirectly(const std::u16string& address) override;
};

// OpenWebAddress over the real routes: for the elevated main program, so that the
// browser runs with the user's rights. Returns the route taken.
TOpenRoute ShellOpenAsUser(const std::u16string& address);

} // namespace zx
