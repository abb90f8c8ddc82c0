// Opening documents and web addresses through the shell.
#pragma once

#include <windows.h>

#include <string>

#include "platform/WebAddressOpener.h"

namespace zx {

// ShellExecuteW "open" with no owner, parameters or folder, SW_SHOWNORMAL; the result is not examined.
void ShellOpen(const std::u16string& target);

// The box that shows an address the program would not open itself: owned by `Owner`
// (may be null), the lead text above the address, the caption.
struct TAddressBox {
    HWND Owner = nullptr;
    std::u16string Text;
    std::u16string Caption;
};

// The routes of the real system: the process token's elevation, the desktop shell's own
// ShellExecute (IShellDispatch2, reached through the desktop window of IShellWindows
// created as a local server, which Explorer hosts), ShellOpen, and a message box whose
// text (the address included) Ctrl+C copies.
class TWin32WebAddressRoutes final : public IWebAddressRoutes {
public:
    TWin32WebAddressRoutes() = default;
    explicit TWin32WebAddressRoutes(TAddressBox box) : FBox(std::move(box)) {}
    [[nodiscard]] bool IsElevated() override;
    [[nodiscard]] bool OpenThroughDesktopShell(const std::u16string& address) override;
    void OpenDirectly(const std::u16string& address) override;
    void ShowAddress(const std::u16string& address) override;

private:
    TAddressBox FBox;
};

// OpenWebAddress over the real routes: for the elevated main program, so that the
// browser runs with the user's rights, or the address is shown in `box`. Returns the
// route taken.
TOpenRoute ShellOpenAsUser(const std::u16string& address, TAddressBox box);

} // namespace zx
