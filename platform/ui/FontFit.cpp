#include "FontFit.h"

#include <algorithm>
#include <cstdint>

#include "platform/common/Arithmetic.h"

namespace zx {

int FitFontPoints(int points, int labelWidth, int textWidth) {
    if (textWidth <= labelWidth || textWidth <= 0) return points;
    const auto fitted = static_cast<std::int64_t>(points) * std::max(labelWidth, 0) / textWidth;
    return std::max(static_cast<int>(fitted), kSmallestFittedFontPoints);
}

int PointsFromPixels(int pixels, int dpi) {
    return MulDivRound(pixels, 72, dpi);
}

int PixelsFromPoints(int points, int dpi) {
    return MulDivRound(points, dpi, 72);
}

} // namespace zx
