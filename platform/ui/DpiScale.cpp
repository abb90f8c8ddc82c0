#include "DpiScale.h"

#include <cstdint>

namespace zx {

int ScaleForDpi(int value, int dpi) {
    const std::int64_t product = static_cast<std::int64_t>(value) * dpi;
    const std::int64_t half = kDesignDpi / 2;
    const std::int64_t rounded = product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi);
    return static_cast<int>(rounded);
}

TBox ScaleBox(const TBox& box, int dpi) {
    const int left = ScaleForDpi(box.Left, dpi);
    const int top = ScaleForDpi(box.Top, dpi);
    return TBox{left, top, ScaleForDpi(box.Left + box.Width, dpi) - left, ScaleForDpi(box.Top + box.Height, dpi) - top};
}

} // namespace zx
