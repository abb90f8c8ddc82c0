// Entry of the main program: the one place that reads the build-time addresses.
#include <windows.h>

#include "app/win32/MainProgram.h"

#include "BuildSettings.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    zx::RunMainProgram({.UpdateServiceURL = ZEPHYRIX_UPDATE_URL,
                        .ShortLinkHost = ZEPHYRIX_SHORTLINK_URL,
                        .ProbeURL = ZEPHYRIX_PROBE_URL,
                        .UpdateTransport = ZEPHYRIX_ALLOW_PLAIN_HTTP ? zx::TTransportRule::trPlainHttpAllowed
                                                                     : zx::TTransportRule::trHttpsOnly},
                       show);
}
