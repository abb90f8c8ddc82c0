#include "kit/UpdateBand.h"

namespace zx {

namespace {

constexpr int kBandGrowth = 40;
constexpr int kSeparatorRise = 76;
constexpr int kLineRise = 66;
constexpr int kLineLeft = 10;

// Floor division: the rounding below must go upward for negative values too.
constexpr int FloorDiv(long long value, int divisor) noexcept {
    const long long quotient = value / divisor;
    return static_cast<int>((value % divisor != 0 && value < 0) ? quotient - 1 : quotient);
}

} // namespace

int ScaleByPercent(int value, int percent) noexcept {
    // floor(v * p / 100 + 1/2): halves go upward, also below zero.
    return FloorDiv(static_cast<long long>(value) * percent * 2 + 100, 200);
}

TUpdateBand UpdateBandFor(int scalePercent, int height, int offset) noexcept {
    const int grown = height + ScaleByPercent(kBandGrowth - offset, scalePercent);
    return TUpdateBand{.Height = grown,
                       .SeparatorTop = grown - ScaleByPercent(kSeparatorRise - offset, scalePercent),
                       .LineTop = grown - ScaleByPercent(kLineRise - offset, scalePercent),
                       .LineLeft = ScaleByPercent(kLineLeft, scalePercent)};
}

} // namespace zx
