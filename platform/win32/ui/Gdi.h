// Scope owners for paired GDI calls: painting, device contexts, selected objects,
// off-screen buffers, timers and the GDI+ session.
#pragma once

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/ui/Color.h"
#include "platform/win32/Handles.h"

namespace zx {

inline COLORREF ToColorRef(TColor color) noexcept {
    return RGB(color.Red, color.Green, color.Blue);
}

struct TMemoryDcTraits {
    using Type = HDC;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteDC(h); }
};
using TUniqueMemoryDc = TUniqueResource<TMemoryDcTraits>;

// BeginPaint ... EndPaint.
class TPaintScope {
public:
    explicit TPaintScope(HWND window) noexcept : FWindow(window), FDc(::BeginPaint(window, &FPaint)) {}
    ~TPaintScope() { ::EndPaint(FWindow, &FPaint); }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;
    [[nodiscard]] HDC Dc() const noexcept { return FDc; }
    [[nodiscard]] const RECT& Area() const noexcept { return FPaint.rcPaint; }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint{};
    HDC FDc;
};

// GetDC ... ReleaseDC.
class TWindowDc {
public:
    explicit TWindowDc(HWND window) noexcept : FWindow(window), FDc(::GetDC(window)) {}
    ~TWindowDc() {
        if (FDc) ::ReleaseDC(FWindow, FDc);
    }
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;
    [[nodiscard]] HDC Dc() const noexcept { return FDc; }

private:
    HWND FWindow;
    HDC FDc;
};

// SelectObject, and the previous object back at the end of the scope.
class TSelectScope {
public:
    TSelectScope(HDC dc, HGDIOBJ object) noexcept : FDc(dc), FOld(object ? ::SelectObject(dc, object) : nullptr) {}
    ~TSelectScope() {
        if (FOld) ::SelectObject(FDc, FOld);
    }
    TSelectScope(const TSelectScope&) = delete;
    TSelectScope& operator=(const TSelectScope&) = delete;

private:
    HDC FDc;
    HGDIOBJ FOld;
};

// An off-screen copy of a window's client area: draw on Dc(), and the whole picture is
// copied to the target at the end of the scope, in one step, so nothing flickers.
class TBufferedCanvas {
public:
    TBufferedCanvas(HDC target, const RECT& client) noexcept
        : FTarget(target),
          FClient(client),
          FDc(::CreateCompatibleDC(target)),
          FBitmap(::CreateCompatibleBitmap(target, Width(), Height())),
          FSelect(FDc.get(), FBitmap.get()) {}
    ~TBufferedCanvas() {
        if (FDc && FBitmap) ::BitBlt(FTarget, FClient.left, FClient.top, Width(), Height(), FDc.get(), 0, 0, SRCCOPY);
    }
    TBufferedCanvas(const TBufferedCanvas&) = delete;
    TBufferedCanvas& operator=(const TBufferedCanvas&) = delete;

    // Falls back to the target itself when no buffer could be made (out of GDI memory).
    [[nodiscard]] HDC Dc() const noexcept { return (FDc && FBitmap) ? FDc.get() : FTarget; }
    [[nodiscard]] int Width() const noexcept { return std::max<int>(FClient.right - FClient.left, 1); }
    [[nodiscard]] int Height() const noexcept { return std::max<int>(FClient.bottom - FClient.top, 1); }

private:
    HDC FTarget;
    RECT FClient;
    TUniqueMemoryDc FDc;
    TUniqueGdiObject FBitmap;
    TSelectScope FSelect;
};

// A window timer that exists only while started; stopped at the latest with its owner.
class TWindowTimer {
public:
    TWindowTimer() noexcept = default;
    ~TWindowTimer() { Stop(); }
    TWindowTimer(const TWindowTimer&) = delete;
    TWindowTimer& operator=(const TWindowTimer&) = delete;

    void Start(HWND window, UINT_PTR id, UINT milliseconds) noexcept {
        Stop();
        if (::SetTimer(window, id, milliseconds, nullptr)) {
            FWindow = window;
            FId = id;
        }
    }
    void Stop() noexcept {
        if (FWindow) ::KillTimer(std::exchange(FWindow, nullptr), FId);
    }
    [[nodiscard]] bool Running() const noexcept { return FWindow != nullptr; }

private:
    HWND FWindow = nullptr;
    UINT_PTR FId = 0;
};

// Fills a rectangle with one colour.
inline void FillSolid(HDC dc, const RECT& area, TColor color) noexcept {
    const COLORREF old = ::SetBkColor(dc, ToColorRef(color));
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

} // namespace zx
