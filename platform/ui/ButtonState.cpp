#include "ButtonState.h"

namespace zx {

void TButtonStateModel::MouseMove(bool inside) {
    FHot = FEnabled && inside;
}

void TButtonStateModel::MouseLeave() {
    FHot = false;
}

void TButtonStateModel::MouseDown() {
    if (!FEnabled) return;
    FMouseDown = true;
    FHot = true;
}

bool TButtonStateModel::MouseUp(bool inside) {
    if (!FMouseDown) return false;
    FMouseDown = false;
    FHot = FEnabled && inside;
    return FEnabled && inside;
}

void TButtonStateModel::CaptureLost() {
    FMouseDown = false;
}

void TButtonStateModel::SpaceDown() {
    if (FEnabled) FSpaceDown = true;
}

bool TButtonStateModel::SpaceUp() {
    if (!FSpaceDown) return false;
    FSpaceDown = false;
    return FEnabled;
}

bool TButtonStateModel::EnterPressed() const {
    return FEnabled && !FMouseDown;
}

void TButtonStateModel::SetFocused(bool focused) {
    FFocused = focused;
    if (!focused) FSpaceDown = false; // a Space press does not survive losing the focus
}

void TButtonStateModel::SetEnabled(bool enabled) {
    FEnabled = enabled;
    if (!enabled) {
        FHot = false;
        FMouseDown = false;
        FSpaceDown = false;
    }
}

void TButtonStateModel::SetDown(bool down) {
    FDown = down;
}

TButtonVisualState TButtonStateModel::VisualState() const {
    using enum TButtonVisualState;
    if (!FEnabled) return bvDisabled;
    if (FDown || FSpaceDown || (FMouseDown && FHot)) return bvPressed;
    if (FHot) return bvHot;
    if (FFocused) return bvSelected;
    return bvNormal;
}

} // namespace zx
