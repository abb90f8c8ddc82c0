// Container windows: a plain panel (header bar, logo holder, card panel, card, toolbar)
// and a group box that draws its frame and caption. Both paint the window colour
// behind their children and pass their children's notifications up to the top-level
// window, so that one place handles every control's clicks and colours.
#pragma once

#include <windows.h>

#include "WindowBase.h"
#include "platform/ui/Color.h"

namespace zx {

class TPanelWindow final : public TPaintedWindow {
public:
    enum TKind { pkPlain, pkGroupBox };

    TPanelWindow(HWND parent, int controlId, const wchar_t* caption, TKind kind, const RECT& place, bool visible);

    // Device pixels per 96 (for the group frame's line and caption spacing).
    void SetDpi(int dpi);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;

    TKind FKind;
    int FDpi = 96;
};

// The colours every container paints with.
inline constexpr TColor kWindowColor = kColorWhite;
inline constexpr TColor kGroupFrameColor = ColorFromRgb(0xD6DCE4);
inline constexpr TColor kGroupCaptionColor = ColorFromRgb(0x2B5A94);

} // namespace zx
