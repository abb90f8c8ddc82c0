// Styled buttons in Windows' high-contrast mode: the family's colours give way to the
// system's, so that every button stays readable in whatever scheme the user chose.
#pragma once

#include "ButtonStyles.h"
#include "Color.h"

namespace zx {

// The system colours a styled button and the accent line draw with in high contrast.
struct TSystemColors {
    TColor ButtonFace;
    TColor ButtonText;
    TColor Highlight;
    TColor GrayText;

    friend constexpr bool operator==(const TSystemColors&, const TSystemColors&) = default;
};

// The family's five attribute sets redrawn in the system's colours. Only pairs the scheme
// guarantees to be readable meet: text on face, or face on text for the pressed look.
// Shape, radius, corners and font style stay the family's; every state is filled, so
// no family colour shows through.
[[nodiscard]] TButtonStateAttributes HighContrastAttributes(const TButtonStateAttributes& family,
                                                            const TSystemColors& system);

// The accent line's colour: `activeColor` while the window is active, the system's gray
// text while it is not. In high contrast the system's highlight stands for the accent.
[[nodiscard]] TColor AccentLineColor(bool active, bool highContrast, TColor activeColor, const TSystemColors& system);

} // namespace zx
