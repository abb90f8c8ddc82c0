// Stands in for Zephyrix.exe beside the test copy of the launcher: each start appends one
// line to "marker-starts.log" in its own folder ("started" and its command line), then ends.
#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t own[4096];
    const DWORD length = ::GetModuleFileNameW(nullptr, own, 4096);
    std::wstring log(own, length);
    log.resize(log.find_last_of(L"\\/") + 1);
    log += L"marker-starts.log";
    HANDLE opened = ::CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return 1;
    const zx::TUniqueHandle file(opened);
    std::string line = "started";
    for (const wchar_t* c = ::GetCommandLineW(); *c; ++c) line += static_cast<char>(*c < 128 ? *c : '?');
    line += "\n";
    DWORD written = 0;
    return ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ? 0 : 1;
}
