// A styled button's state and its reaction to mouse and keys, as plain code. The window
// feeds it events; what it shows is VisualState(), and a click is reported by the event
// that completes it.
#pragma once

#include "ButtonStyles.h"

namespace zx {

class TButtonStateModel {
public:
    // Mouse. `inside`: the pointer is over the button.
    void MouseMove(bool inside);
    void MouseLeave();
    void MouseDown();                        // left button pressed over the button
    [[nodiscard]] bool MouseUp(bool inside); // true: a click (pressed and released over it)
    void CaptureLost();                      // the press is cancelled without a click

    // Keyboard, while focused: Space clicks on release, Enter at once.
    void SpaceDown();
    [[nodiscard]] bool SpaceUp();
    [[nodiscard]] bool EnterPressed() const;

    // A click from code or an automation client (as BM_CLICK): true when enabled.
    [[nodiscard]] bool ClickRequested() const { return FEnabled; }

    void SetFocused(bool focused);
    void SetEnabled(bool enabled);
    void SetDown(bool down); // the lasting pressed look (header group, a running Run button)

    [[nodiscard]] bool Enabled() const { return FEnabled; }
    [[nodiscard]] bool Focused() const { return FFocused; }
    [[nodiscard]] bool Down() const { return FDown; }
    [[nodiscard]] bool Hot() const { return FHot; }
    [[nodiscard]] bool Tracking() const { return FMouseDown; } // holds the mouse capture

    // Which of the five attribute sets to draw: disabled, then pressed (the lasting look
    // or a press in progress), hot, selected (focused), normal.
    [[nodiscard]] TButtonVisualState VisualState() const;

private:
    bool FEnabled = true;
    bool FFocused = false;
    bool FHot = false;
    bool FMouseDown = false;
    bool FSpaceDown = false;
    bool FDown = false;
};

} // namespace zx
