#include "ActivityIndicator.h"

#include "GdiPlus.h"
#include "Panel.h"
#include "platform/ui/MomentumDots.h"

namespace zx {

namespace {

constexpr wchar_t kIndicatorClass[] = L"ZxActivityIndicator";
constexpr UINT_PTR kFrameTimer = 1;

} // namespace

TActivityIndicatorWindow::TActivityIndicatorWindow(HWND parent, int controlId, const RECT& place) {
    RegisterWindowClass(kIndicatorClass, 0, IDC_ARROW);
    CreateHandle(0, kIndicatorClass, L"", WS_CHILD, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, parent, controlId);
}

void TActivityIndicatorWindow::SetActive(bool active) {
    if (active) {
        if (!FTimer.Running()) {
            FFrame = 0;
            FTimer.Start(Handle(), kFrameTimer, kMomentumFrameMilliseconds);
        }
        ::ShowWindow(Handle(), SW_SHOWNA);
        RepaintWhenShown(Handle());
    } else {
        FTimer.Stop();
        ::ShowWindow(Handle(), SW_HIDE);
    }
}

LRESULT TActivityIndicatorWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam != kFrameTimer) break;
        FFrame = NextMomentumFrame(FFrame);
        RepaintWhenShown(Handle());
        return 0;
    case WM_NCDESTROY:
        FTimer.Stop();
        break;
    default:
        break;
    }
    return TPaintedWindow::HandleMessage(message, wParam, lParam);
}

void TActivityIndicatorWindow::Paint(HDC dc, const RECT& client) {
    FillSolid(dc, client, kWindowColor);
    const int size = std::min(client.right - client.left, client.bottom - client.top);
    const float offsetX = static_cast<float>(client.right - client.left - size) / 2;
    const float offsetY = static_cast<float>(client.bottom - client.top - size) / 2;
    TCircle circles[kMomentumDotCount];
    const auto dots = MomentumDots(FFrame, size);
    for (int i = 0; i < kMomentumDotCount; ++i)
        circles[i] = TCircle{offsetX + static_cast<float>(dots[i].X), offsetY + static_cast<float>(dots[i].Y),
                             static_cast<float>(dots[i].Radius)};
    FillCircles(dc, circles, kMomentumDotCount, kColorBlack);
}

} // namespace zx
