// Entry of the companion launcher: the one place that reads the build-time addresses.
#include <windows.h>

#include "launcher/win32/LauncherProgram.h"

#include "BuildSettings.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return zx::launcher::RunLauncherProgram(
        {ZEPHYRIX_UPDATE_URL,
         ZEPHYRIX_ALLOW_PLAIN_HTTP ? zx::TTransportRule::trPlainHttpAllowed : zx::TTransportRule::trHttpsOnly});
}
