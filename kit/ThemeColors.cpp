#include "ThemeColors.h"

namespace zx {

TColor ThemeHotColor() {
    return LightenColor(kThemeAccent, kHotLighten);
}

TColor DisabledGray(TColor from, int lightenPercent) {
    return GrayOfColor(LightenColor(from, lightenPercent));
}

} // namespace zx
