#include "ThemeColors.h"

namespace zx {

TColor ThemeHotColor() {
    return LightenColor(kThemeAccent, kHotLighten);
}

TColor DisabledGray(TColor from, int lightenPercent) {
    return GrayOfColor(LightenColor(from, lightenPercent));
}

TColor AccentLineColor(bool active, bool highContrast, TColor activeColor, const TSystemColors& system) {
    if (!active) return system.GrayText;
    return highContrast ? system.Highlight : activeColor;
}

} // namespace zx
