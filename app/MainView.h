// What the main window's behaviour asks of the window on screen. The Win32 window
// implements it; native tests implement it with a recording fake.
#pragma once

#include <string>

#include "ControlTable.h"

namespace zx {

// The two cards of the window's card panel.
enum class TCard { cdHome, cdConfig };

class IMainView {
public:
    virtual ~IMainView() = default;

    // Captions as the user sees them; FrmZephyrix is the window's title.
    [[nodiscard]] virtual std::u16string GetCaption(TControlId id) const = 0;
    virtual void SetCaption(TControlId id, const std::u16string& caption) = 0;

    // Check boxes. SetChecked only changes the box; it does not report a click back.
    [[nodiscard]] virtual bool IsChecked(TControlId id) const = 0;
    virtual void SetChecked(TControlId id, bool checked) = 0;

    virtual void SetEnabled(TControlId id, bool enabled) = 0;
    virtual void SetVisible(TControlId id, bool visible) = 0;

    // The pressed look of a header button (one of the group at a time) or of the Run button.
    virtual void SetPressed(TControlId id, bool pressed) = 0;

    // The busy indicator: shown and animating, or hidden with no timer at all.
    virtual void SetIndicatorActive(bool active) = 0;

    // Card panel: the home card (Card1) or the configuration card (Card2).
    virtual void ShowCard(TCard card) = 0;

    // Rich-text label content (small markup) and the application (taskbar) title.
    virtual void SetApplicationTitle(const std::u16string& title) = 0;

    // Start-up steps that only the window on screen can do.
    virtual void ApplyTheme() = 0; // the theme helper: dark title bar, accent line
    // Shrinks a label's font once so that its caption fits the label's width (the title:
    // the only label with a font of its own).
    virtual void FitLabelFont(TControlId label) = 0;
    // The icon-title font for every control but the title and the styled buttons, whose
    // font the button style governs.
    virtual void UseDesktopFont() = 0;

    // A modal error box owned by the application, caption = window caption,
    // MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST. Returns when the user closed it.
    virtual void ShowErrorMessage(const std::u16string& text, const std::u16string& caption) = 0;

    // Opens a web address in the user's browser.
    virtual void OpenAddress(const std::u16string& address) = 0;

    // Closes the window, which ends the program.
    virtual void Close() = 0;
};

} // namespace zx
