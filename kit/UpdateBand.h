// Geometry of the update dialog's extra band (the notice line under the buttons): pure
// arithmetic of the display scale (platform/ui/DpiScale.h gives it for a DPI), the
// dialog's height and the layout offset.
#pragma once

namespace zx {

// v * percent / 100, rounded to the nearest whole number with halves upward.
[[nodiscard]] int ScaleByPercent(int value, int percent) noexcept;

// Where the band puts things. Heights are outer heights (title bar and frame included);
// the tops and the left edge are the controls' places in the dialog, as the dialog's
// own layout counts them.
struct TUpdateBand {
    int Height;       // the dialog's new height
    int SeparatorTop; // the 1-pixel separator line, as wide as the dialog, at left 0
    int LineTop;      // the check box or the link
    int LineLeft;

    friend constexpr bool operator==(const TUpdateBand&, const TUpdateBand&) = default;
};

// The band for a dialog of `height` at `scalePercent` with `offset` (pixels at 100 %):
// the dialog grows by S(40 - offset); the separator sits at the new height minus
// S(76 - offset), the line at the new height minus S(66 - offset), S(10) from the left.
[[nodiscard]] TUpdateBand UpdateBandFor(int scalePercent, int height, int offset) noexcept;

} // namespace zx
