#include "WindowGeometry.h"

#include <algorithm>

#include "platform/ui/DpiScale.h"

namespace zx {

int WindowDpi(HWND window) noexcept {
    const auto dpi = static_cast<int>(::GetDpiForWindow(window));
    return dpi > 0 ? dpi : kDesignDpi;
}

SIZE FrameSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi) {
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi));
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void SetClientSizeForDpi(HWND window, int width, int height, POINT corner, int dpi) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    const SIZE frame = FrameSizeForClient(width, height, style, exStyle, dpi);
    ::SetWindowPos(window, nullptr, corner.x, corner.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame actually drawn may follow another DPI than the window's (Wine draws it at
    // the system DPI): correct by what the client area came out as.
    RECT client;
    ::GetClientRect(window, &client);
    const int dx = width - (client.right - client.left);
    const int dy = height - (client.bottom - client.top);
    if (dx != 0 || dy != 0)
        ::SetWindowPos(window, nullptr, corner.x, corner.y, frame.cx + dx, frame.cy + dy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<MONITORINFO> MonitorOf(HWND window, DWORD fallback) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(window, fallback), &monitor)) return std::nullopt;
    return monitor;
}

void CentreWindowIn(HWND window, const RECT& area) {
    RECT place;
    ::GetWindowRect(window, &place);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    const int x = area.left + std::max(0, static_cast<int>(area.right - area.left) - width) / 2;
    const int y = area.top + std::max(0, static_cast<int>(area.bottom - area.top) - height) / 2;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace zx
