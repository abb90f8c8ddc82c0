// The theme's colours: the accent, the colours the "Moravel" button family derives from it
// with the styled-button layer's colour rules, and the colour of the window's accent line.
#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/HighContrast.h"

namespace zx {

// The accent (#3D84DD): the line across the top of the window, the buttons' fill and line.
inline constexpr TColor kThemeAccent = kColorAccent;

// The "Normal" appearance's disabled line and text.
inline constexpr TColor kThemeSilver = ColorFromRgb(0xC0C0C0);

// How far each derived colour is lightened before it is used (or turned gray).
inline constexpr int kHotLighten = 10;
inline constexpr int kOutlineDisabledLighten = 70;
inline constexpr int kHeaderDisabledLighten = 50;

// The accent lightened for a button under the pointer or focused (#5090E0).
[[nodiscard]] TColor ThemeHotColor();

// A disabled button's line or text: the gray of `from` lightened by `lightenPercent`.
[[nodiscard]] TColor DisabledGray(TColor from, int lightenPercent);

} // namespace zx
