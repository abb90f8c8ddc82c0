#include "launcher/win32/LauncherProgram.h"

#include <cstdint>

#include "launcher/win32/FaultReport.h"
#include "launcher/win32/LauncherPlatform.h"
#include "launcher/win32/WinInet.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/LocalClock.h"
#include "platform/win32/Win32Registry.h"

namespace zx::launcher {

int RunLauncherProgram(const TLauncherAddresses& addresses, std::uint32_t requestTimeoutMs) {
    // Before any library is loaded by name.
    SecureDllSearchPath();
    ReportUnhandledFaults();

    TWin32LauncherPlatform platform;
    TWin32Registry registry;
    TSystemLocalClock clock;
    TWinInet internet(addresses.UpdateTransport, requestTimeoutMs);
    return RunLauncherReportingFaults({platform, registry, clock, internet}, addresses);
}

} // namespace zx::launcher
