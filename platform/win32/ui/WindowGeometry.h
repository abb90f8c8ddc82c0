// The size and place of a top-level window at its DPI: the DPI it is shown at, a client
// area of an exact size, and centring on a monitor.
#pragma once

#include <windows.h>

#include <optional>

namespace zx {

// The DPI the window is shown at; 96 when the system cannot tell. Never throws.
[[nodiscard]] int WindowDpi(HWND window) noexcept;

// The size of a window of these styles whose client area is width x height at `dpi`.
[[nodiscard]] SIZE FrameSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi);

// Sizes the window (its own styles, at `dpi`) so that its client area is width x height
// pixels, its top-left corner at `corner`.
void SetClientSizeForDpi(HWND window, int width, int height, POINT corner, int dpi);

// The monitor the window is on, or the one `fallback` (a MONITOR_DEFAULTTO… value) names;
// none when the system cannot describe it.
[[nodiscard]] std::optional<MONITORINFO> MonitorOf(HWND window, DWORD fallback);

// Moves the window, keeping its size, to the middle of `area`; one larger than the area
// keeps its top-left corner inside it, so that its title bar stays reachable.
void CentreWindowIn(HWND window, const RECT& area);

} // namespace zx
