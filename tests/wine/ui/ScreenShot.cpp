#include "ScreenShot.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>

#include "platform/win32/ui/Gdi.h"

namespace zx::ui {

namespace {

// The PNG encoder of GDI+ (image/png).
constexpr CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

} // namespace

TScreenShot TScreenShot::Capture(HWND window) {
    TScreenShot shot;
    RECT frame;
    if (!::GetWindowRect(window, &frame)) return shot;
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0) return shot;

    const TWindowDc screen(nullptr);
    const TUniqueMemoryDc memory(::CreateCompatibleDC(screen.Dc()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const TUniqueGdiObject bitmap(::CreateDIBSection(screen.Dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || !bits) return shot;
    const TSelectScope selected(memory.get(), bitmap.get());
    if (!::BitBlt(memory.get(), 0, 0, width, height, screen.Dc(), frame.left, frame.top, SRCCOPY)) return shot;
    ::GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    shot.FPixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    shot.FWidth = width;
    shot.FHeight = height;
    shot.FClientOrigin = POINT{origin.x - frame.left, origin.y - frame.top};
    return shot;
}

COLORREF TScreenShot::ClientPixel(int x, int y) const {
    const int px = x + FClientOrigin.x;
    const int py = y + FClientOrigin.y;
    if (px < 0 || py < 0 || px >= FWidth || py >= FHeight) return CLR_INVALID;
    const std::uint32_t value = FPixels[static_cast<std::size_t>(py) * FWidth + px];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

bool TScreenShot::SavePng(const std::wstring& path) const {
    if (FWidth == 0) return false;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool saved = false;
    {
        // The pixels are copied: the picture stays const.
        std::vector<std::uint32_t> pixels(FPixels);
        for (auto& p : pixels) p |= 0xFF000000u; // opaque
        Gdiplus::Bitmap image(FWidth, FHeight, FWidth * 4, PixelFormat32bppARGB,
                              reinterpret_cast<BYTE*>(pixels.data()));
        saved = image.Save(path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

std::string ColorText(COLORREF color) {
    if (color == CLR_INVALID) return "(outside)";
    char text[8];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

} // namespace zx::ui
