#include "Panel.h"

#include <string>

#include "Gdi.h"
#include "GdiPlus.h"
#include "platform/ui/DpiScale.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"

namespace zx {

namespace {

constexpr wchar_t kPanelClass[] = L"ZxPanel";

// Messages a child sends its parent that the top-level window answers.
bool IsForwarded(UINT message) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
        return true;
    default:
        return false;
    }
}

} // namespace

TPanelWindow::TPanelWindow(HWND parent, int controlId, const wchar_t* caption, TKind kind, const RECT& place,
                           bool visible)
    : FKind(kind) {
    RegisterWindowClass(kPanelClass, 0, IDC_ARROW);
    // WS_EX_CONTROLPARENT: Tab and the dialog keys reach the controls inside.
    const DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    CreateHandle(WS_EX_CONTROLPARENT, kPanelClass, caption, style, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, parent, controlId);
}

void TPanelWindow::SetDpi(int dpi) {
    FDpi = dpi;
    RepaintWhenShown(Handle());
}

LRESULT TPanelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsForwarded(message)) {
        const HWND top = ::GetAncestor(Handle(), GA_ROOT);
        return top && top != Handle() ? ::SendMessageW(top, message, wParam, lParam) : 0;
    }
    switch (message) {
    case WM_SETTEXT: {
        const LRESULT result = TPaintedWindow::HandleMessage(message, wParam, lParam);
        if (FKind == pkGroupBox) RepaintWhenShown(Handle());
        return result;
    }
    default:
        return TPaintedWindow::HandleMessage(message, wParam, lParam);
    }
}

void TPanelWindow::Paint(HDC dc, const RECT& client) {
    FillSolid(dc, client, kWindowColor);
    if (FKind != pkGroupBox) return;

    const std::u16string caption = WindowText(Handle());

    TSelectScope font(dc, Font());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, Wide(caption), static_cast<int>(caption.size()), &extent);

    // A light rounded frame whose top edge runs through the middle of the caption.
    const auto line = static_cast<float>(std::max(1, ScaleForDpi(1, FDpi)));
    const float top = static_cast<float>(metrics.tmHeight) / 2.0f;
    const float radius = static_cast<float>(ScaleForDpi(5, FDpi));
    const float width = static_cast<float>(client.right - client.left);
    const float height = static_cast<float>(client.bottom - client.top) - top;
    FillRoundRect(dc, 0, top, width, height, radius, kGroupFrameColor);
    FillRoundRect(dc, line, top + line, width - 2 * line, height - 2 * line, std::max(0.0f, radius - line),
                  kWindowColor);

    // The caption on a gap in the line.
    const int indent = ScaleForDpi(10, FDpi);
    const int gap = ScaleForDpi(4, FDpi);
    RECT gapBox{indent, 0, indent + extent.cx + 2 * gap, metrics.tmHeight};
    FillSolid(dc, gapBox, kWindowColor);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(kGroupCaptionColor));
    ::ExtTextOutW(dc, indent + gap, 0, 0, nullptr, Wide(caption), static_cast<UINT>(caption.size()), nullptr);
}

} // namespace zx
