#include "SystemContrast.h"

namespace zx {

namespace {

TColor SystemColor(int index) {
    const COLORREF value = ::GetSysColor(index);
    return TColor{GetRValue(value), GetGValue(value), GetBValue(value)};
}

} // namespace

bool TSystemHighContrast::HighContrastOn() const {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    if (!::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0)) return false;
    return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

TSystemColors CurrentSystemColors() {
    return TSystemColors{SystemColor(COLOR_BTNFACE), SystemColor(COLOR_BTNTEXT), SystemColor(COLOR_HIGHLIGHT),
                         SystemColor(COLOR_GRAYTEXT)};
}

} // namespace zx
