// The least a window program does: the benchmark's yardstick for how long Wine itself
// takes to start a process and show a window on this machine at this moment. It sends
// the same start-up marks as the main program, so that the two break down side by side.
#include <windows.h>

#include "platform/win32/StartupMark.h"

namespace {

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wp, lp);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    zx::StartupMark(L"zx:entry");
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = BareWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"ZxBareWindow";
    ::RegisterClassExW(&windowClass);
    zx::StartupMark(L"zx:class");
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 514, 465, nullptr, nullptr, instance, nullptr);
    zx::StartupMark(L"zx:window");
    ::ShowWindow(window, show);
    zx::StartupMark(L"zx:shown");
    MSG message;
    bool firstFrameDone = false;
    for (;;) {
        if (!firstFrameDone && !::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            firstFrameDone = true;
            zx::StartupMark(L"zx:first frame complete");
        }
        if (::GetMessageW(&message, nullptr, 0, 0) <= 0) break;
        ::DispatchMessageW(&message);
    }
    return 0;
}
