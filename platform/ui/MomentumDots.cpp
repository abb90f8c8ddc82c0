#include "MomentumDots.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zx {

namespace {

constexpr double kEasing = 0.75; // 0: even speed; towards 1: a longer pause at the top

} // namespace

int NextMomentumFrame(int frame) {
    return (std::max(frame, 0) + 1) % kMomentumFrameCount;
}

double MomentumAngle(double phase) {
    constexpr double twoPi = 2 * std::numbers::pi;
    // phase - k sin(2 pi phase) / (2 pi): speed 1 - k at the top, 1 + k at the bottom.
    return twoPi * (phase - kEasing * std::sin(twoPi * phase) / twoPi);
}

std::array<TDotPlace, kMomentumDotCount> MomentumDots(int frame, int boxSize) {
    const double size = std::max(boxSize, 1);
    const double dotRadius = std::max(1.0, size * 0.07);
    const double ringRadius = size / 2 - dotRadius - size * 0.03;
    const double centre = size / 2;
    std::array<TDotPlace, kMomentumDotCount> dots{};
    for (int i = 0; i < kMomentumDotCount; ++i) {
        const int local =
            ((frame - i * kMomentumDotLag) % kMomentumFrameCount + kMomentumFrameCount) % kMomentumFrameCount;
        const double angle = MomentumAngle(static_cast<double>(local) / kMomentumFrameCount);
        dots[i] = TDotPlace{centre + ringRadius * std::sin(angle), centre - ringRadius * std::cos(angle), dotRadius};
    }
    return dots;
}

} // namespace zx
