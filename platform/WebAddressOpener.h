// Opening a web address from the elevated main program with the user's own rights: a
// browser it started itself would run elevated, and so would everything opened from it
// (and the shell merges the user's own file classes even for an elevated caller, so a
// lower program can choose what "opening" an address runs).
#pragma once

#include <string>

namespace zx {

enum TOpenRoute {
    orDesktopShell, // the desktop shell (Explorer) opened it, with the user's unelevated token
    orDirect,       // this process opened it, with its own (unelevated) token
    orShown,        // nothing opened it: the address was shown for the user to copy
};

// The ways of opening an address, and what chooses between them.
class IWebAddressRoutes {
public:
    virtual ~IWebAddressRoutes() = default;
    // True when this process runs with an elevated token, and also when the token cannot
    // be read. Never throws.
    [[nodiscard]] virtual bool IsElevated() = 0;
    // Hands the address to the desktop shell, which opens it inside its own process;
    // false when that route is unavailable (no shell running, a shell without that
    // service). Never throws.
    [[nodiscard]] virtual bool OpenThroughDesktopShell(const std::u16string& address) = 0;
    // Opens the address from this process; the result is not examined. Never throws.
    virtual void OpenDirectly(const std::u16string& address) = 0;
    // Shows the address to the user, who can copy it into a browser; returns once the
    // user has closed what showed it. Never throws.
    virtual void ShowAddress(const std::u16string& address) = 0;
};

// Elevated (or unknown): through the desktop shell, and when that is unavailable the
// address is only shown, never opened with this process's token. Not elevated: directly,
// the user's rights being this process's. The caller has already made sure that
// `address` is a web address. Returns the route taken.
TOpenRoute OpenWebAddress(IWebAddressRoutes& routes, const std::u16string& address);

} // namespace zx
