// Entry of the companion launcher: library search and fault reporting first, then the
// launcher's flow over the Win32 platform with the addresses built into this program.
#include <windows.h>

#include "launcher/LauncherFlow.h"
#include "launcher/win32/FaultReport.h"
#include "launcher/win32/LauncherPlatform.h"
#include "launcher/win32/WinInet.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/LocalClock.h"
#include "platform/win32/Win32Registry.h"

#include "BuildSettings.h"

namespace {

// Far above a real answer's time; only a server that stopped answering reaches it.
constexpr std::uint32_t kRequestTimeoutMs = 30000;

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before any library is loaded by name.
    zx::SecureDllSearchPath();
    zx::launcher::ReportUnhandledFaults();

    zx::launcher::TWin32LauncherPlatform platform;
    zx::TWin32Registry registry;
    zx::TWin32LocalClock clock;
    zx::launcher::TWinInet internet(kRequestTimeoutMs);
    return zx::launcher::RunLauncherReportingFaults({platform, registry, clock, internet},
                                                    {ZEPHYRIX_UPDATE_URL, ZEPHYRIX_SHORTLINK_URL});
}
