#include "Color.h"

#include <algorithm>

namespace zx {

namespace {

std::uint8_t LightenChannel(std::uint8_t c, int percent) {
    // c + (255 - c) * p / 100 with the quotient rounded half up, in integers.
    const int numerator = (255 - c) * percent;
    const int step = (2 * numerator + 100) / 200;
    return static_cast<std::uint8_t>(std::clamp(c + step, 0, 255));
}

} // namespace

TColor LightenColor(TColor color, int percent) {
    percent = std::clamp(percent, 0, 100);
    return TColor{LightenChannel(color.Red, percent), LightenChannel(color.Green, percent),
                  LightenChannel(color.Blue, percent)};
}

TColor GrayOfColor(TColor color) {
    // Weights in thousandths keep it exact: y * 1000 = 299 R + 587 G + 114 B.
    const int scaled = 299 * color.Red + 587 * color.Green + 114 * color.Blue;
    int y = scaled / 1000;
    const int rest = scaled % 1000;
    if (rest > 500 || (rest == 500 && y % 2 == 1)) ++y;
    const auto v = static_cast<std::uint8_t>(std::min(y, 255));
    return TColor{v, v, v};
}

} // namespace zx
