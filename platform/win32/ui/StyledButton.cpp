#include "StyledButton.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "Gdi.h"
#include "GdiPlus.h"
#include "platform/ui/DpiScale.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"

namespace zx {

namespace {

constexpr wchar_t kStyledButtonClass[] = L"ZxStyledButton";

} // namespace

TStyledButtonWindow::TStyledButtonWindow(HWND parent, int controlId, const wchar_t* caption, const RECT& place,
                                         bool visible, TButtonStateAttributes attributes, int group)
    : FAttributes(attributes), FGroup(group) {
    RegisterWindowClass(kStyledButtonClass, 0, IDC_ARROW);
    const DWORD style = WS_CHILD | WS_TABSTOP | (visible ? WS_VISIBLE : 0);
    CreateHandle(0, kStyledButtonClass, caption, style, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, parent, controlId);
}

void TStyledButtonWindow::SetDown(bool down) {
    const auto before = FState.VisualState();
    const bool changed = FState.Down() != down;
    FState.SetDown(down);
    if (changed) AnnounceStateChange(); // pressed (Running) or a tab selected
    if (down && FGroup != 0) {
        // Release the other buttons of the group.
        for (HWND sibling = ::GetWindow(::GetParent(Handle()), GW_CHILD); sibling;
             sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
            if (sibling == Handle()) continue;
            if (auto* other = dynamic_cast<TStyledButtonWindow*>(FromHandle(sibling)); other && other->FGroup == FGroup)
                other->SetDown(false);
        }
    }
    Refresh(before);
}

void TStyledButtonWindow::SetDpi(int dpi) {
    FDpi = dpi;
    RepaintWhenShown(Handle());
}

void TStyledButtonWindow::Refresh(TButtonVisualState before) {
    if (FState.VisualState() != before) RepaintWhenShown(Handle());
}

void TStyledButtonWindow::Clicked() {
    if (FGroup != 0) SetDown(true);
    const HWND parent = ::GetParent(Handle());
    ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(Handle()), BN_CLICKED),
                   reinterpret_cast<LPARAM>(Handle()));
}

bool TStyledButtonWindow::PointerInside(LPARAM lParam) const {
    RECT client;
    ::GetClientRect(Handle(), &client);
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return ::PtInRect(&client, p) != FALSE;
}

void TStyledButtonWindow::SetFocusCues(bool shown) {
    if (FFocusCues == shown) return;
    FFocusCues = shown;
    if (FState.Focused()) RepaintWhenShown(Handle());
}

void TStyledButtonWindow::SetSystemColors(const std::optional<TSystemColors>& colors) {
    std::optional<TButtonStateAttributes> sets;
    if (colors) sets = HighContrastAttributes(FAttributes, *colors);
    if (sets == FHighContrast) return;
    FHighContrast = sets;
    RepaintWhenShown(Handle());
}

bool TStyledButtonWindow::ShowsFocus() const {
    // Our own flag rather than WM_QUERYUISTATE: Wine keeps no UI state for our windows.
    return FState.Focused() && FFocusCues;
}

LRESULT TStyledButtonWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto before = FState.VisualState();
    switch (message) {
    case WM_MOUSEMOVE:
        if (!FTrackingLeave) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
            FTrackingLeave = ::TrackMouseEvent(&track) != FALSE;
        }
        FState.MouseMove(PointerInside(lParam));
        Refresh(before);
        return 0;
    case WM_MOUSELEAVE:
        FTrackingLeave = false;
        if (!FState.Tracking()) FState.MouseLeave();
        Refresh(before);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!FState.Enabled()) return 0;
        if (::GetFocus() != Handle()) ::SetFocus(Handle());
        FState.MouseDown();
        ::SetCapture(Handle());
        Refresh(before);
        return 0;
    case WM_LBUTTONUP: {
        const bool click = FState.MouseUp(PointerInside(lParam));
        if (::GetCapture() == Handle()) ::ReleaseCapture();
        Refresh(before);
        if (click) Clicked();
        return 0;
    }
    case WM_CAPTURECHANGED:
        FState.CaptureLost();
        Refresh(before);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !(lParam & (1 << 30))) {
            FState.SpaceDown();
            Refresh(before);
            return 0;
        }
        if (wParam == VK_RETURN) {
            if (FState.EnterPressed()) Clicked();
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_SPACE) {
            const bool click = FState.SpaceUp();
            Refresh(before);
            if (click) Clicked();
            return 0;
        }
        break;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        // Enter belongs to the focused button, not to the dialog's default.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETFOCUS:
        FState.SetFocused(true);
        RepaintWhenShown(Handle());
        return 0;
    case WM_KILLFOCUS:
        FState.SetFocused(false);
        RepaintWhenShown(Handle());
        return 0;
    case WM_ENABLE:
        FState.SetEnabled(wParam != FALSE);
        if (!FState.Enabled() && ::GetCapture() == Handle()) ::ReleaseCapture();
        RepaintWhenShown(Handle());
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = TPaintedWindow::HandleMessage(message, wParam, lParam);
        RepaintWhenShown(Handle());
        return result;
    }
    case BM_CLICK:
        if (FState.ClickRequested()) Clicked();
        return 0;
    case BM_GETSTATE: {
        LRESULT state = FState.Down() ? (BST_PUSHED | BST_CHECKED) : 0;
        if (FState.Focused()) state |= BST_FOCUS;
        if (FState.Hot()) state |= BST_HOT;
        return state;
    }
    case BM_GETCHECK:
        return FState.Down() ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        SetDown(wParam == BST_CHECKED);
        return 0;
    default:
        break;
    }
    return TPaintedWindow::HandleMessage(message, wParam, lParam);
}

void TStyledButtonWindow::Paint(HDC dc, const RECT& client) {
    // The parent's colour behind the rounded corners.
    FillSolid(dc, client, kColorWhite);
    const TStyledButtonAttributes& a = (FHighContrast ? *FHighContrast : FAttributes).For(FState.VisualState());
    DrawButtonShape(dc, client, a, ScaleForDpi(a.Radius, FDpi), ScaleForDpi(a.BorderWidth, FDpi));

    const HFONT font = (a.FontStyle & fsBold) ? BoldFont() : Font();

    const std::u16string caption = WindowText(Handle());
    TSelectScope selected(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(a.FontColor));
    RECT text = client;
    ::DrawTextW(dc, Wide(caption), static_cast<int>(caption.size()), &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);

    if (ShowsFocus()) {
        RECT focus = client;
        const int inset = ScaleForDpi(3, FDpi);
        ::InflateRect(&focus, -inset, -inset);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
    }
}

} // namespace zx
