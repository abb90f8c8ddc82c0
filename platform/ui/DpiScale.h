// Scaling of places designed at 96 DPI to the monitor's DPI.
#pragma once

namespace zx {

inline constexpr int kDesignDpi = 96;

// value * dpi / 96, rounded to the nearest integer with halves away from zero (as MulDiv).
int ScaleForDpi(int value, int dpi);

// The display scale in whole percent for a DPI: 100 at 96, rounded to the nearest.
[[nodiscard]] int ScalePercentForDpi(int dpi) noexcept;

// A place in pixels: left, top, width, height.
struct TBox {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    friend constexpr bool operator==(const TBox&, const TBox&) = default;
};

// Scales the edges, not the size, so that boxes that touch at 96 DPI still touch.
TBox ScaleBox(const TBox& box, int dpi);

} // namespace zx
