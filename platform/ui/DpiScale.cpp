#include "DpiScale.h"

#include "platform/common/Arithmetic.h"

namespace zx {

int ScaleForDpi(int value, int dpi) {
    return MulDivRound(value, dpi, kDesignDpi);
}

int ScalePercentForDpi(int dpi) noexcept {
    return MulDivRound(dpi, 100, kDesignDpi);
}

TBox ScaleBox(const TBox& box, int dpi) {
    const int left = ScaleForDpi(box.Left, dpi);
    const int top = ScaleForDpi(box.Top, dpi);
    return TBox{left, top, ScaleForDpi(box.Left + box.Width, dpi) - left, ScaleForDpi(box.Top + box.Height, dpi) - top};
}

} // namespace zx
