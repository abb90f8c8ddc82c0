// The GDI+ session of the process, and antialiased shapes drawn with it.
#pragma once

#include <windows.h>

#include "platform/ui/ButtonStyles.h"
#include "platform/ui/Color.h"

namespace zx {

// GdiplusStartup ... GdiplusShutdown; one per process, on the UI thread, around every window.
class TGdiplusSession {
public:
    TGdiplusSession() noexcept;
    ~TGdiplusSession();
    TGdiplusSession(const TGdiplusSession&) = delete;
    TGdiplusSession& operator=(const TGdiplusSession&) = delete;
    [[nodiscard]] bool Started() const noexcept { return FToken != 0; }

private:
    ULONG_PTR FToken = 0;
};

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
