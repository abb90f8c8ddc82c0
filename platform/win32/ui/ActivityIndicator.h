// The busy indicator: black momentum dots, a new frame every 50 ms. Its timer exists
// only while it is active (shown and animating); an inactive indicator is hidden and
// costs nothing.
#pragma once

#include <windows.h>

#include "Gdi.h"
#include "WindowBase.h"

namespace zx {

class TActivityIndicatorWindow final : public TPaintedWindow {
public:
    TActivityIndicatorWindow(HWND parent, int controlId, const RECT& place);

    // Shows and animates, or stops the timer and hides.
    void SetActive(bool active);
    [[nodiscard]] bool Active() const noexcept { return FTimer.Running(); }
    [[nodiscard]] int Frame() const noexcept { return FFrame; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;

    TWindowTimer FTimer;
    int FFrame = 0;
};

} // namespace zx
