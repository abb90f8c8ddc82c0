// Antialiased shapes drawn with GDI+. GDI+ starts at the first drawing (the first frame
// is the first thing that needs it, so the library is not loaded before the window
// shows) and stays started until the process ends: shutting it down at exit would run
// during process detach, which GDI+ does not allow.
#pragma once

#include <windows.h>

#include "platform/ui/ButtonStyles.h"
#include "platform/ui/Color.h"

namespace zx {

// A button's shape in one attribute set, antialiased, inside `box` (device pixels).
// `radius` and `borderWidth` are already scaled to the device.
void DrawButtonShape(HDC dc, const RECT& box, const TStyledButtonAttributes& attributes, int radius, int borderWidth);

// Solid antialiased circles (the busy indicator's dots): centres and radii in device pixels.
struct TCircle {
    float X, Y, Radius;
};
void FillCircles(HDC dc, const TCircle* circles, int count, TColor color);

// A closed polygon, antialiased: points as x, y pairs in device pixels.
void FillPolygon(HDC dc, const float* xy, int pointCount, TColor color);

// A rounded rectangle, filled, antialiased.
void FillRoundRect(HDC dc, float left, float top, float width, float height, float radius, TColor color);

} // namespace zx
