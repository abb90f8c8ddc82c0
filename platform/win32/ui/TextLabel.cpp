#include "platform/win32/ui/TextLabel.h"

#include <string>

#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"

namespace zx {

namespace {

constexpr wchar_t kTextLabelClass[] = L"ZxTextLabel";

} // namespace

TTextLabelWindow::TTextLabelWindow(HWND parent, int controlId, const wchar_t* caption, TLayout layout,
                                   const RECT& place, bool visible)
    : FLayout(layout) {
    RegisterWindowClass(kTextLabelClass, 0, IDC_ARROW);
    CreateHandle(0, kTextLabelClass, caption, WS_CHILD | (visible ? WS_VISIBLE : 0), place.left, place.top,
                 place.right - place.left, place.bottom - place.top, parent, controlId);
}

void TTextLabelWindow::Paint(HDC dc, const RECT& client) {
    // The parent chooses text colour and background, as it does for a static control.
    const HWND parent = ::GetParent(Handle());
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    auto brush = parent
        ? reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(Handle())))
        : nullptr;
    ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_WINDOW));
    const std::u16string text = WindowText(Handle());
    TSelectScope font(dc, Font());
    ::SetBkMode(dc, TRANSPARENT);
    UINT format = DT_NOPREFIX | DT_EXPANDTABS;
    switch (FLayout) {
    case lyCentred:
        format |= DT_CENTER | DT_WORDBREAK;
        break;
    case lyLeftEllipsisAtEnd:
        format |= DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS;
        break;
    case lyLeftWrapped:
        format |= DT_LEFT | DT_WORDBREAK;
        break;
    }
    RECT area = client;
    ::DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &area, format);
}

LRESULT TTextLabelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT:
    case WM_ENABLE: {
        const LRESULT result = TPaintedWindow::HandleMessage(message, wParam, lParam);
        RepaintWhenShown(Handle());
        return result;
    }
    case WM_NCHITTEST:
        return HTTRANSPARENT; // clicks go to the parent, as on a static control
    default:
        return TPaintedWindow::HandleMessage(message, wParam, lParam);
    }
}

} // namespace zx
