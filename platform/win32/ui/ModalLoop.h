// Keeps a modal box readable when the thread is already quitting.
#pragma once

#include <windows.h>

namespace zx {

// While alive, a WM_QUIT already waiting in this thread's queue is held back, and posted
// again when the scope ends. A modal loop that meets WM_QUIT ends at once, so without
// this a box shown after the window's WM_DESTROY (an error raised while it closes) would
// vanish before the user could read it; the thread still quits once the box is answered.
class TPendingQuitHold {
public:
    TPendingQuitHold() {
        MSG quit;
        if (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            FHeld = true;
            FExitCode = static_cast<int>(quit.wParam);
        }
    }
    ~TPendingQuitHold() {
        if (FHeld) ::PostQuitMessage(FExitCode);
    }
    TPendingQuitHold(const TPendingQuitHold&) = delete;
    TPendingQuitHold& operator=(const TPendingQuitHold&) = delete;

private:
    bool FHeld = false;
    int FExitCode = 0;
};

// MessageBoxW that is shown and waits for its answer even when the thread is quitting.
inline int ShowModalMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    const TPendingQuitHold hold;
    return ::MessageBoxW(owner, text, caption, style);
}

} // namespace zx
