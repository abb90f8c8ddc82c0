// Shared by the window toolkit's Wine tests: a parent window that records the
// notifications its children send, and message pumping.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/win32/ui/Gdi.h"
#include "platform/win32/ui/WindowBase.h"

namespace zx::test {

struct TCommand {
    int Id;
    int Code;
};

class TRecordingParent final : public TWindowBase {
public:
    TRecordingParent() {
        RegisterWindowClass(L"ZxTestParent", 0, IDC_ARROW);
        // Never shown: a visible top-level window costs seconds under Xvfb.
        CreateHandle(0, L"ZxTestParent", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, 0);
    }
    std::vector<TCommand> Commands;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) {
            Commands.push_back({LOWORD(wParam), HIWORD(wParam)});
            return 0;
        }
        return TWindowBase::HandleMessage(message, wParam, lParam);
    }
};

// Dispatches this thread's messages for `milliseconds`.
inline void PumpFor(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    do {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(5);
    } while (::GetTickCount() - start < milliseconds);
}

// Pumps until the condition holds or the time runs out.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 5000) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start >= milliseconds) return false;
        PumpFor(10);
    }
    return true;
}

// The window's client area as it paints it: colour at each asked point.
inline std::vector<COLORREF> PaintedPixels(HWND window, const std::vector<POINT>& points) {
    RECT client;
    ::GetClientRect(window, &client);
    TWindowDc screen(nullptr);
    TUniqueMemoryDc dc(::CreateCompatibleDC(screen.Dc()));
    TUniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.Dc(), client.right, client.bottom));
    TSelectScope selected(dc.get(), bitmap.get());
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    std::vector<COLORREF> colours;
    for (const POINT& p : points) colours.push_back(::GetPixel(dc.get(), p.x, p.y));
    return colours;
}

inline bool HasStyle(HWND window, LONG_PTR style) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & style) == style;
}

} // namespace zx::test
