// Opening a web address from the elevated main program with the user's own rights: a
// browser it started itself would run elevated, and so would everything opened from it.
#pragma once

#include <string>

namespace zx {

enum TOpenRoute {
    orDesktopShell, // the desktop shell (Explorer) opened it, with the user's unelevated token
    orDirect,       // this process opened it, with its own token
};

// The ways of opening an address, and what chooses between them.
class IWebAddressRoutes {
public:
    virtual ~IWebAddressRoutes() = default;
    // True when this process runs with an elevated token. Never throws.
    [[nodiscard]] virtual bool IsElevated() = 0;
    // Hands the address to the desktop shell, which opens it inside its own process;
    // false when that route is unavailable (no shell running, a shell without that
    // service). Never throws.
    [[nodiscard]] virtual bool OpenThroughDesktopShell(const std::u16string& address) = 0;
    // Opens the address from this process; the result is not examined. Never throws.
    virtual void OpenDirectly(const std::u16string& address) = 0;
};

// Elevated: through the desktop shell, and only when that is unavailable, directly (no
// worse than before the shell's route existed). Not elevated: directly, the user's rights
// being this process's. The caller has already made sure that `address` is a web address.
// Returns the route taken.
TOpenRoute OpenWebAddress(IWebAddressRoutes& routes, const std::u16string& address);

} // namespace zx
