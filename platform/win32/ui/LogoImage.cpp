#include "LogoImage.h"

#include <windowsx.h>

#include "GdiPlus.h"
#include "Panel.h"
#include "platform/ui/DpiScale.h"

namespace zx {

namespace {

constexpr wchar_t kLogoClass[] = L"ZxLogo";
constexpr wchar_t kWordmark[] = L"Moravel";
constexpr TColor kWordColor = ColorFromRgb(0x1F2A37);

// The "M" cut out of the mark, in units of the mark's side.
constexpr float kLetterM[] = {
    0.22f, 0.76f, 0.22f, 0.24f, 0.35f, 0.24f, 0.50f, 0.46f, 0.65f, 0.24f, 0.78f, 0.24f,
    0.78f, 0.76f, 0.66f, 0.76f, 0.66f, 0.44f, 0.50f, 0.66f, 0.34f, 0.44f, 0.34f, 0.76f,
};

// Layout at 96 DPI inside the 112 x 50 image.
constexpr int kMarkLeft = 6;
constexpr int kMarkSide = 28;
constexpr int kWordLeft = 40;
constexpr int kWordHeight = 16;

} // namespace

TLogoWindow::TLogoWindow(HWND parent, int controlId, const RECT& place, bool handCursor) : FHandCursor(handCursor) {
    RegisterWindowClass(kLogoClass, 0, IDC_ARROW);
    CreateHandle(0, kLogoClass, kWordmark, WS_CHILD | WS_VISIBLE, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, parent, controlId);
    SetDpi(96);
}

void TLogoWindow::SetDpi(int dpi) {
    FDpi = dpi;
    LOGFONTW lf{};
    lf.lfHeight = -ScaleForDpi(kWordHeight, dpi);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcscpy_s(lf.lfFaceName, L"Tahoma");
    FWordFont.reset(::CreateFontIndirectW(&lf));
    RepaintWhenShown(Handle());
}

void TLogoWindow::Clicked() {
    ::SendMessageW(::GetParent(Handle()), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(Handle()), BN_CLICKED),
                   reinterpret_cast<LPARAM>(Handle()));
}

LRESULT TLogoWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        if (FHandCursor && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        return TPaintedWindow::HandleMessage(message, wParam, lParam);
    case WM_LBUTTONDOWN:
        FPressed = true;
        ::SetCapture(Handle());
        return 0;
    case WM_LBUTTONUP: {
        const bool wasPressed = FPressed;
        FPressed = false;
        if (::GetCapture() == Handle()) ::ReleaseCapture();
        RECT client;
        ::GetClientRect(Handle(), &client);
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (wasPressed && ::PtInRect(&client, p)) Clicked();
        return 0;
    }
    case WM_CAPTURECHANGED:
        FPressed = false;
        return 0;
    case BM_CLICK:
        Clicked();
        return 0;
    default:
        return TPaintedWindow::HandleMessage(message, wParam, lParam);
    }
}

void TLogoWindow::Paint(HDC dc, const RECT& client) {
    FillSolid(dc, client, kWindowColor);
    const float side = static_cast<float>(ScaleForDpi(kMarkSide, FDpi));
    const float left = static_cast<float>(ScaleForDpi(kMarkLeft, FDpi));
    const float top = (static_cast<float>(client.bottom - client.top) - side) / 2;
    FillRoundRect(dc, left, top, side, side, side * 0.22f, kColorAccent);
    float points[std::size(kLetterM)];
    for (std::size_t i = 0; i < std::size(kLetterM); i += 2) {
        points[i] = left + kLetterM[i] * side;
        points[i + 1] = top + kLetterM[i + 1] * side;
    }
    FillPolygon(dc, points, static_cast<int>(std::size(kLetterM) / 2), kColorWhite);

    TSelectScope font(dc, FWordFont.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(kWordColor));
    RECT word = client;
    word.left = ScaleForDpi(kWordLeft, FDpi);
    ::DrawTextW(dc, kWordmark, -1, &word, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace zx
