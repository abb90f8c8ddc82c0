// An owner-drawn styled button: a TButtonStateModel fed with mouse and key events, and
// a painter that draws the attribute set of its current state. A click is reported to
// the parent as WM_COMMAND / BN_CLICKED, like a standard button's.
//
// Messages it answers besides the usual ones:
//  - BM_CLICK: a click when enabled (as a mouse click would be);
//  - BM_GETSTATE: BST_PUSHED | BST_CHECKED while it shows the lasting pressed look
//    (SetDown), plus BST_FOCUS when focused and BST_HOT while the pointer is over it;
//  - BM_GETCHECK / BM_SETCHECK: the lasting pressed look as BST_CHECKED / BST_UNCHECKED;
//  - WM_GETDLGCODE: a push button that also takes Enter, so the dialog keys work.
#pragma once

#include <windows.h>

#include <optional>

#include "Gdi.h"
#include "WindowBase.h"
#include "platform/ui/ButtonState.h"
#include "platform/ui/ButtonStyles.h"
#include "platform/ui/HighContrast.h"

namespace zx {

class TStyledButtonWindow final : public TPaintedWindow {
public:
    // `group`: buttons of the same parent with the same non-zero group act as one: a click
    // presses the button and SetDown(true) releases the others. 0: no group.
    TStyledButtonWindow(HWND parent, int controlId, const wchar_t* caption, const RECT& place, bool visible,
                        TButtonStateAttributes attributes, int group);

    void SetDown(bool down);
    [[nodiscard]] bool Down() const noexcept { return FState.Down(); }
    void SetDpi(int dpi);

    // Whether the focus rectangle is drawn: off until the keyboard is used in the window.
    void SetFocusCues(bool shown);

    // High contrast: the system's colours instead of the family's; nothing: the family's.
    void SetSystemColors(const std::optional<TSystemColors>& colors);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc, const RECT& client) override;
    void Refresh(TButtonVisualState before);
    void Clicked();
    [[nodiscard]] bool PointerInside(LPARAM lParam) const;
    [[nodiscard]] bool ShowsFocus() const;

    TButtonStateModel FState;
    TButtonStateAttributes FAttributes;
    std::optional<TButtonStateAttributes> FHighContrast; // drawn instead while set
    int FGroup;
    int FDpi = 96;
    bool FTrackingLeave = false;
    bool FFocusCues = false;
};

} // namespace zx
