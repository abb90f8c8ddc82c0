#include "FontFit.h"

#include <algorithm>
#include <cstdint>

namespace zx {

namespace {

int MulDivRound(int value, int numerator, int denominator) {
    if (denominator <= 0) return value;
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

} // namespace

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
