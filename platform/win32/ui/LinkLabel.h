// A one-line web link: underlined text in pure blue with the hand pointer. A tab stop;
// a click, Space, Enter or BM_CLICK sends the parent WM_COMMAND with BN_CLICKED. Its
// window text is its caption ("&" marks a mnemonic, as on a button).
#pragma once

#include <windows.h>

#include "platform/ui/Color.h"
#include "platform/win32/ui/WindowBase.h"

namespace zx {

class TLinkLabelWindow final : public TPaintedWindow {
public:
    TLinkLabelWindow(HWND parent, int controlId, const wchar_t* caption, const RECT& place,
                     TColor background = kColorWhite);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    void Click();

    TColor FBackground;
    bool FPressed = false;
    TDerivedFont FUnderlined{[](LOGFONTW& face) { face.lfUnderline = TRUE; }};
};

// The link's text colour.
inline constexpr TColor kLinkColor = ColorFromRgb(0x0000FF);

} // namespace zx
