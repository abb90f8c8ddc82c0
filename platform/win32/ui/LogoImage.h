// The maker's logo, drawn as vector shapes at any DPI: a rounded accent square with an
// "M" cut out of it, and the word "Moravel". Hand cursor; a click (mouse or BM_CLICK)
// reaches the parent as WM_COMMAND / BN_CLICKED. Its window text is "Moravel", the
// name a screen reader should say for it.
#pragma once

#include <windows.h>

#include "Gdi.h"
#include "WindowBase.h"

namespace zx {

class TLogoWindow final : public TPaintedWindow {
public:
    // With `handCursor` the pointer turns into a hand over the logo, as over a link.
    TLogoWindow(HWND parent, int controlId, const RECT& place, bool handCursor);
    void SetDpi(int dpi);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    void Clicked();

    int FDpi = 96;
    TUniqueFont FWordFont;
    bool FPressed = false;
    bool FHandCursor = false;
};

} // namespace zx
