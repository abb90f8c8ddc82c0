// Shrinking a label's font so that its caption fits the label's width (the window's title
// after translation: "Зефирикс" or any long title).
#pragma once

namespace zx {

// A label as FitLabelFont sees it. Widths in device pixels; the font size in points.
class IFittableLabel {
public:
    virtual ~IFittableLabel() = default;
    [[nodiscard]] virtual int Width() const = 0;
    [[nodiscard]] virtual int CaptionWidth() const = 0; // the caption measured in the current font
    [[nodiscard]] virtual int FontPoints() const = 0;
    virtual void SetFontPoints(int points) = 0;
};

// Measures the caption once; when it is wider than the label, sets the font to
// size * width / caption width points (cut to an integer, at least 6). No second pass.
void FitLabelFont(IFittableLabel& label);

} // namespace zx
