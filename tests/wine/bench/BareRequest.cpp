// The benchmark's yardstick for the launcher: a program built the same way that does
// nothing but the same WinINet request at once, so that the launcher's own share of the
// time from start to request can be told from Wine's and WinINet's.
#include <windows.h>
#include <wininet.h>

#include "platform/win32/WinInetHandle.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const zx::TUniqueWinInetHandle internet(::InternetOpenA("bare", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet) return 1;
    const zx::TUniqueWinInetHandle address(::InternetOpenUrlW(internet.get(), ZX_BARE_REQUEST_URL, nullptr, 0,
                                                              INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE, 0));
    if (!address) return 1;
    char piece[1025];
    DWORD read = 0;
    while (::InternetReadFile(address.get(), piece, sizeof(piece), &read) && read > 0) {
    }
    return 0;
}
