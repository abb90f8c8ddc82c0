// A top-level window that behaves like a dialog: a fixed client size at any DPI, the
// program icon at the window's DPI, centred on its monitor's work area, the dialog keys
// with focus rectangles from the first key on, the focused control kept visible and
// given back on activation, and errors of event handlers shown instead of unwinding
// through the window procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "WindowBase.h"

namespace zx {

class TTopLevelWindow : public TWindowBase {
public:
    // The dialog keys (Tab, Space, Enter, arrows) for a message of the loop; true when
    // the message was handled.
    [[nodiscard]] bool HandleDialogKeys(MSG& message);

    [[nodiscard]] int Dpi() const noexcept { return FDpi; }

protected:
    // Reads the window's DPI once it exists (96 when it cannot be read).
    void ReadDpi();
    // Sizes the window so that its client area is width96 x height96 scaled to the DPI,
    // its top-left corner at (left, top).
    void SetClientSize(int width96, int height96, int left, int top);
    // Whether the client area is width96 x height96 scaled to the DPI already.
    [[nodiscard]] bool HasClientSize(int width96, int height96) const;
    // Registers the class with the big and the small icon of the given resource, sized
    // for the system DPI: a window made with them needs no icon of its own afterwards
    // (setting one costs the first frame a few milliseconds under Wine).
    static void RegisterTopLevelClass(const wchar_t* className, int iconId);
    // The icons sized for the window's DPI, once it differs from the class's.
    void SetIcons(int iconId);
    void CentreOnWorkArea();
    // Moves the focus on when the focused control was hidden or disabled.
    void KeepFocusVisible();
    // Runs an event handler; an error that escapes it is shown in a message box.
    void RunGuarded(const std::function<void()>& step);
    // The message box of an unexpected error, owned by this window.
    void ReportError(const std::u16string& what);

    // Called once, at the first dialog key: focus rectangles are shown from now on.
    virtual void FocusCuesShown() {}

    // Keys the window handles itself before the dialog keys; true when it took the message.
    [[nodiscard]] virtual bool HandleOwnKeys(const MSG& /*message*/) { return false; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    int FDpi = 96;

private:
    HWND FLastFocus = nullptr;
    bool FFocusCues = false;
    bool FOwnIcons = false; // icons of its own, which outrank the class's
};

} // namespace zx
