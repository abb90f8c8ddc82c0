// Integer arithmetic that the layout and the font sizes share.
#pragma once

#include <cstdint>

namespace zx {

// value * numerator / denominator in 64 bits, rounded to the nearest integer with halves
// away from zero, as Win32's MulDiv. A denominator of 0 or less gives `value` unchanged.
[[nodiscard]] constexpr int MulDivRound(int value, int numerator, int denominator) noexcept {
    if (denominator <= 0) return value;
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

} // namespace zx
