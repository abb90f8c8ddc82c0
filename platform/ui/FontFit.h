// Shrinking a label's font so that its caption fits the label's width.
#pragma once

namespace zx {

inline constexpr int kSmallestFittedFontPoints = 6;

// The font size (points) for a caption that measures `textWidth` pixels at `points` in a
// label `labelWidth` pixels wide: unchanged when it fits, else points * labelWidth / textWidth
// cut to an integer, never below 6. One pass: the result is not measured again.
int FitFontPoints(int points, int labelWidth, int textWidth);

// Conversions between a font's character height in pixels and its size in points.
int PointsFromPixels(int pixels, int dpi); // rounded, as a designer's size
int PixelsFromPoints(int points, int dpi); // rounded

} // namespace zx
