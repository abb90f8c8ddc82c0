// A colour as the user interface layer names it: red, green and blue, 0-255 each.
#pragma once

#include <cstdint>

namespace zx {

struct TColor {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;

    friend constexpr bool operator==(const TColor&, const TColor&) = default;
};

// From the #RRGGBB notation written as an integer: ColorFromRgb(0x3D84DD).
constexpr TColor ColorFromRgb(std::uint32_t rgb) {
    return TColor{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                  static_cast<std::uint8_t>(rgb)};
}

inline constexpr TColor kColorBlack = ColorFromRgb(0x000000);
inline constexpr TColor kColorWhite = ColorFromRgb(0xFFFFFF);
inline constexpr TColor kColorGray = ColorFromRgb(0x808080); // the markup's clGray
inline constexpr TColor kColorAccent = ColorFromRgb(0x3D84DD);

// Each channel moved `percent` of the way towards 255, halves rounded up.
TColor LightenColor(TColor color, int percent);

// The colour's luminance y = 0.299 R + 0.587 G + 0.114 B (halves to even) in all three channels.
TColor GrayOfColor(TColor color);

} // namespace zx
