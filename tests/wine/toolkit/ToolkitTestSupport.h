// Shared by the window toolkit's Wine tests: a parent window that records the
// notifications its children send, and message pumping.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

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

inline bool HasStyle(HWND window, LONG_PTR style) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & style) == style;
}

} // namespace zx::test
