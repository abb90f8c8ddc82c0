#include "GdiPlus.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>

namespace zx {

namespace {

// Our coordinates run along pixel edges (pixel i spans i to i + 1); GDI+ puts pixel
// centres on whole numbers. (Wine ignores the pixel offset mode, so a transform does it.)
void UsePixelEdges(Gdiplus::Graphics& g) {
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.TranslateTransform(-0.5f, -0.5f);
}

Gdiplus::Color ToGdiplus(TColor color) {
    return Gdiplus::Color(255, color.Red, color.Green, color.Blue);
}

// Corners of `r` rounded with radius `radius` where `corners` says so.
void AddRoundRect(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& r, float radius, std::uint8_t corners) {
    const float d = std::min({radius * 2, r.Width, r.Height});
    if (d <= 0.5f) {
        path.AddRectangle(r);
        return;
    }
    const float right = r.X + r.Width;
    const float bottom = r.Y + r.Height;
    if (corners & rcTopLeft)
        path.AddArc(r.X, r.Y, d, d, 180, 90);
    else
        path.AddLine(r.X, r.Y, r.X, r.Y);
    if (corners & rcTopRight)
        path.AddArc(right - d, r.Y, d, d, 270, 90);
    else
        path.AddLine(right, r.Y, right, r.Y);
    if (corners & rcBottomRight)
        path.AddArc(right - d, bottom - d, d, d, 0, 90);
    else
        path.AddLine(right, bottom, right, bottom);
    if (corners & rcBottomLeft)
        path.AddArc(r.X, bottom - d, d, d, 90, 90);
    else
        path.AddLine(r.X, bottom, r.X, bottom);
    path.CloseFigure();
}

void AddShape(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& r, const TStyledButtonAttributes& a, float radius) {
    switch (a.DrawType) {
    case TButtonDrawType::btRect:
        path.AddRectangle(r);
        break;
    case TButtonDrawType::btEllipse:
        path.AddEllipse(r);
        break;
    case TButtonDrawType::btRounded:
        AddRoundRect(path, r, std::min(r.Width, r.Height) / 2, a.RoundedCorners);
        break;
    case TButtonDrawType::btRoundRect:
        AddRoundRect(path, r, radius, a.RoundedCorners);
        break;
    }
}

} // namespace

namespace {

// True once GDI+ runs; started by the first caller, never shut down (see the header).
bool GdiplusStarted() {
    static const bool started = [] {
        ULONG_PTR token = 0;
        const Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

} // namespace

void DrawButtonShape(HDC dc, const RECT& box, const TStyledButtonAttributes& a, int radius, int borderWidth) {
    if (!GdiplusStarted()) return;
    Gdiplus::Graphics g(dc);
    UsePixelEdges(g);
    const bool border = a.BorderDrawStyle == TBorderDrawStyle::brdSolid;
    const float pen = border ? static_cast<float>(std::max(borderWidth, 1)) : 0.0f;
    // The border is stroked on its centre line, so the shape is inset by half the pen.
    const Gdiplus::RectF outer(static_cast<float>(box.left), static_cast<float>(box.top),
                               static_cast<float>(box.right - box.left), static_cast<float>(box.bottom - box.top));
    Gdiplus::RectF inner = outer;
    inner.Inflate(-pen / 2, -pen / 2);
    if (a.ButtonDrawStyle == TButtonDrawStyle::btnSolid) {
        Gdiplus::GraphicsPath fill;
        AddShape(fill, border ? inner : outer, a, static_cast<float>(radius));
        Gdiplus::SolidBrush brush(ToGdiplus(a.ButtonColor));
        g.FillPath(&brush, &fill);
    }
    if (border) {
        Gdiplus::GraphicsPath line;
        AddShape(line, inner, a, std::max(0.0f, static_cast<float>(radius) - pen / 2));
        Gdiplus::Pen stroke(ToGdiplus(a.BorderColor), pen);
        g.DrawPath(&stroke, &line);
    }
}

void FillCircles(HDC dc, const TCircle* circles, int count, TColor color) {
    if (!GdiplusStarted()) return;
    Gdiplus::Graphics g(dc);
    UsePixelEdges(g);
    Gdiplus::SolidBrush brush(ToGdiplus(color));
    for (int i = 0; i < count; ++i) {
        const auto& c = circles[i];
        g.FillEllipse(&brush, c.X - c.Radius, c.Y - c.Radius, 2 * c.Radius, 2 * c.Radius);
    }
}

void FillPolygon(HDC dc, const float* xy, int pointCount, TColor color) {
    if (pointCount < 3 || !GdiplusStarted()) return;
    Gdiplus::Graphics g(dc);
    UsePixelEdges(g);
    Gdiplus::PointF points[32];
    const int n = std::min(pointCount, 32);
    for (std::ptrdiff_t i = 0; i < n; ++i) points[i] = Gdiplus::PointF(xy[2 * i], xy[2 * i + 1]);
    Gdiplus::SolidBrush brush(ToGdiplus(color));
    g.FillPolygon(&brush, points, n);
}

void FillRoundRect(HDC dc, float left, float top, float width, float height, float radius, TColor color) {
    if (!GdiplusStarted()) return;
    Gdiplus::Graphics g(dc);
    UsePixelEdges(g);
    Gdiplus::GraphicsPath path;
    AddRoundRect(path, Gdiplus::RectF(left, top, width, height), radius, rcAll);
    Gdiplus::SolidBrush brush(ToGdiplus(color));
    g.FillPath(&brush, &path);
}

} // namespace zx
