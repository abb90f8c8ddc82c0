#include "Shape.h"

#include "Gdi.h"
#include "WindowBase.h"
#include "platform/PlatformError.h"

namespace zx {

namespace {

constexpr wchar_t kShapeClass[] = L"ZxShape";

void FillWithColor(HWND shape, HDC dc) {
    RECT client;
    ::GetClientRect(shape, &client);
    FillSolid(dc, client, ShapeColor(shape));
}

// No object behind the window: the colour lives in GWLP_USERDATA.
LRESULT CALLBACK ShapeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        TPaintScope paint(window);
        FillWithColor(window, paint.Dc());
        return 0;
    }
    case WM_PRINTCLIENT:
        FillWithColor(window, reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

HWND CreateShapeWindow(HWND parent, const RECT& place, TColor color, bool visible) {
    RegisterWindowClassOnce(kShapeClass, ShapeProcedure, 0, IDC_ARROW);
    const DWORD style = WS_CHILD | WS_DISABLED | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    const HWND shape =
        ::CreateWindowExW(0, kShapeClass, L"", style, place.left, place.top, place.right - place.left,
                          place.bottom - place.top, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!shape) throw TPlatformError("CreateWindowExW", ::GetLastError());
    ::SetWindowLongPtrW(shape, GWLP_USERDATA, static_cast<LONG_PTR>(ToColorRef(color)));
    // Above the siblings that share its place (the window's panels clip their siblings).
    ::SetWindowPos(shape, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return shape;
}

void SetShapeColor(HWND shape, TColor color) {
    const auto value = static_cast<LONG_PTR>(ToColorRef(color));
    if (::GetWindowLongPtrW(shape, GWLP_USERDATA) == value) return;
    ::SetWindowLongPtrW(shape, GWLP_USERDATA, value);
    RepaintWhenShown(shape);
}

TColor ShapeColor(HWND shape) {
    const auto value = static_cast<COLORREF>(::GetWindowLongPtrW(shape, GWLP_USERDATA));
    return TColor{GetRValue(value), GetGValue(value), GetBValue(value)};
}

} // namespace zx
