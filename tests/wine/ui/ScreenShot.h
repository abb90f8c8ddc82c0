// What the screen shows of a window at one moment: its pixels read back in client
// coordinates, and the picture saved as a PNG file for people to look at.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zx::ui {

class TScreenShot {
public:
    // The window with its frame as the screen shows it now (the window must be visible
    // and not covered). Empty (Width() 0) when the screen cannot be read.
    static TScreenShot Capture(HWND window);

    [[nodiscard]] int Width() const noexcept { return FWidth; }
    [[nodiscard]] int Height() const noexcept { return FHeight; }

    // The colour at a point of the window's client area; CLR_INVALID outside the picture.
    [[nodiscard]] COLORREF ClientPixel(int x, int y) const;
    [[nodiscard]] COLORREF ClientPixel(POINT p) const { return ClientPixel(p.x, p.y); }

    // Saves the picture; false when it could not be written.
    [[nodiscard]] bool SavePng(const std::wstring& path) const;

private:
    int FWidth = 0;
    int FHeight = 0;
    POINT FClientOrigin{};              // where the client area starts in the picture
    std::vector<std::uint32_t> FPixels; // top-down rows, 0x00RRGGBB
};

// "#RRGGBB" of a colour, for failure messages.
std::string ColorText(COLORREF color);

} // namespace zx::ui
