#include "FitLabelFont.h"

#include "platform/ui/FontFit.h"

namespace zx {

void FitLabelFont(IFittableLabel& label) {
    const int captionWidth = label.CaptionWidth();
    const int width = label.Width();
    if (captionWidth <= width) return;
    const int points = label.FontPoints();
    const int fitted = FitFontPoints(points, width, captionWidth);
    if (fitted != points) label.SetFontPoints(fitted);
}

} // namespace zx
