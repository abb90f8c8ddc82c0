#include "HighContrast.h"

namespace zx {

namespace {

void Recolour(TStyledButtonAttributes& set, TColor fill, TColor border, int borderWidth, TColor font) {
    set.ButtonDrawStyle = TButtonDrawStyle::btnSolid;
    set.ButtonColor = fill;
    set.BorderDrawStyle = TBorderDrawStyle::brdSolid;
    set.BorderColor = border;
    set.BorderWidth = borderWidth;
    set.FontColor = font;
}

} // namespace

TButtonStateAttributes HighContrastAttributes(const TButtonStateAttributes& family, const TSystemColors& system) {
    TButtonStateAttributes sets = family;
    // Normal: text on face inside a text-coloured line, as the system draws its buttons.
    Recolour(sets.Normal, system.ButtonFace, system.ButtonText, 1, system.ButtonText);
    // Pressed (also the lasting look of the header's current button and of a running Run
    // button): the face and text swapped, unmistakable in any scheme.
    Recolour(sets.Pressed, system.ButtonText, system.ButtonText, 1, system.ButtonFace);
    // Focused: a heavier line; the focus rectangle comes on top when keyboard cues are on.
    Recolour(sets.Selected, system.ButtonFace, system.ButtonText, 2, system.ButtonText);
    // Under the pointer: the highlight colour marks the line only, never behind text.
    Recolour(sets.Hot, system.ButtonFace, system.Highlight, 2, system.ButtonText);
    Recolour(sets.Disabled, system.ButtonFace, system.GrayText, 1, system.GrayText);
    return sets;
}

TColor AccentLineColor(bool active, bool highContrast, TColor activeColor, const TSystemColors& system) {
    if (!active) return system.GrayText;
    return highContrast ? system.Highlight : activeColor;
}

} // namespace zx
