#include "platform/win32/ui/LinkLabel.h"

#include <string>

#include "platform/win32/WindowText.h"
#include "platform/win32/WideText.h"

namespace zx {

namespace {

constexpr wchar_t kLinkClass[] = L"ZxLinkLabel";

} // namespace

TLinkLabelWindow::TLinkLabelWindow(HWND parent, int controlId, const wchar_t* caption, const RECT& place,
                                   TColor background)
    : FBackground(background) {
    RegisterWindowClass(kLinkClass, 0, IDC_HAND);
    CreateHandle(0, kLinkClass, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP, place.left, place.top,
                 place.right - place.left, place.bottom - place.top, parent, controlId);
}

void TLinkLabelWindow::Paint(HDC dc, const RECT& client) {
    FillSolid(dc, client, FBackground);
    std::u16string text = WindowText(Handle());
    TSelectScope font(dc, FUnderlined.From(Font()));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(kLinkColor));
    // Mnemonic underlines only once the keyboard is in use, as on the system's controls.
    const LRESULT cues = ::SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0);
    UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
    if (cues & UISF_HIDEACCEL) format |= DT_HIDEPREFIX;
    RECT area = client;
    ::DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &area, format);
    if (::GetFocus() == Handle() && !(cues & UISF_HIDEFOCUS)) {
        RECT extent = client;
        ::DrawTextW(dc, Wide(text), static_cast<int>(text.size()), &extent, format | DT_CALCRECT);
        extent.top = client.top;
        extent.bottom = client.bottom;
        extent.right = std::min(extent.right + 1, client.right);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::DrawFocusRect(dc, &extent);
    }
}

void TLinkLabelWindow::Click() {
    const HWND parent = ::GetParent(Handle());
    if (parent)
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(Handle()), BN_CLICKED),
                       reinterpret_cast<LPARAM>(Handle()));
}

LRESULT TLinkLabelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter on the focused link follows it instead of pressing the default button.
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DLGC_BUTTON;
        if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE || wParam == VK_RETURN) {
            Click();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        FPressed = true;
        ::SetFocus(Handle());
        ::SetCapture(Handle());
        return 0;
    case WM_LBUTTONUP: {
        if (!FPressed) return 0;
        FPressed = false;
        ::ReleaseCapture();
        RECT client;
        ::GetClientRect(Handle(), &client);
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (::PtInRect(&client, at)) Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        FPressed = false;
        return 0;
    case BM_CLICK:
        Click();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
        RepaintWhenShown(Handle());
        break;
    case WM_SETTEXT: {
        const LRESULT result = TPaintedWindow::HandleMessage(message, wParam, lParam);
        RepaintWhenShown(Handle());
        return result;
    }
    default:
        break;
    }
    return TPaintedWindow::HandleMessage(message, wParam, lParam);
}

} // namespace zx
