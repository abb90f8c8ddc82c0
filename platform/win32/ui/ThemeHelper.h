// The theme of a top-level window: the dark title bar request, the accent line across the
// top of its client area (the accent while the window is active, the system's gray text
// while not), and, while Windows' high-contrast mode is on, the system's colours for the
// line and for the window's styled buttons.
#pragma once

#include <windows.h>

#include "SystemContrast.h"
#include "platform/ui/Color.h"

namespace zx {

class TThemeHelper {
public:
    // Themes `form` and hooks its window procedure. Throws std::invalid_argument
    // "TThemeHelper Owner must be a TForm" when `form` is not a top-level window, and
    // std::logic_error when the window has a helper already; then nothing is changed.
    // `accent` colours the line while the form is active. `contrast` must outlive the helper.
    TThemeHelper(HWND form, TColor accent, const IHighContrastQuery& contrast);

    // Gives the form its window procedure back. The line stays: it belongs to the form.
    ~TThemeHelper();

    TThemeHelper(const TThemeHelper&) = delete;
    TThemeHelper& operator=(const TThemeHelper&) = delete;

    [[nodiscard]] HWND Line() const noexcept { return FShape; } // null once the form is gone

    // Styled buttons made after the helper: in high contrast they take the system's colours
    // too. (Those made before were given them when the helper began.)
    void ControlsAdded();

private:
    static LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void FormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FormDestroyed();
    void UpdateAccent();
    void UpdateContrast();
    void RecolourButtons();

    HWND FForm;
    TColor FActiveColor;
    bool FIsActive = true;
    HWND FShape = nullptr;
    WNDPROC FOldWindowProc = nullptr;
    const IHighContrastQuery& FContrast;
    bool FHighContrast = false;
    int FDpi = 96;
};

} // namespace zx
