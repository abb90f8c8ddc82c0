#include "TopLevelWindow.h"

#include <exception>
#include <string>
#include <string_view>

#include "platform/common/Utf8.h"
#include "platform/ui/DpiScale.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"
#include "platform/win32/ui/ModalLoop.h"
#include "platform/win32/ui/WindowGeometry.h"

namespace zx {

bool TTopLevelWindow::HandleDialogKeys(MSG& message) {
    if (!Handle()) return false;
    if (message.message == WM_KEYDOWN && !FFocusCues &&
        (message.hwnd == Handle() || ::IsChild(Handle(), message.hwnd))) {
        switch (message.wParam) {
        case VK_TAB:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_SPACE:
        case VK_RETURN:
            FFocusCues = true;
            FocusCuesShown();
            break;
        default:
            break;
        }
    }
    if (HandleOwnKeys(message)) return true;
    return ::IsDialogMessageW(Handle(), &message) != FALSE;
}

void TTopLevelWindow::ReadDpi() {
    FDpi = WindowDpi(Handle());
}

void TTopLevelWindow::SetClientSize(int width96, int height96, int left, int top) {
    SetClientSizeForDpi(Handle(), ScaleForDpi(width96, FDpi), ScaleForDpi(height96, FDpi), POINT{left, top}, FDpi);
}

bool TTopLevelWindow::HasClientSize(int width96, int height96) const {
    RECT client;
    return ::GetClientRect(Handle(), &client) && client.right - client.left == ScaleForDpi(width96, FDpi) &&
        client.bottom - client.top == ScaleForDpi(height96, FDpi);
}

namespace {

// The icon of the resource in the size of the given metrics at that DPI. Shared icons
// belong to the module: nothing to free.
HICON LoadIconForDpi(int iconId, int widthMetric, int heightMetric, UINT dpi) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                           ::GetSystemMetricsForDpi(widthMetric, dpi),
                                           ::GetSystemMetricsForDpi(heightMetric, dpi), LR_SHARED));
}

} // namespace

void TTopLevelWindow::RegisterTopLevelClass(const wchar_t* className, int iconId) {
    const UINT dpi = ::GetDpiForSystem();
    RegisterWindowClass(className, 0, IDC_ARROW, LoadIconForDpi(iconId, SM_CXICON, SM_CYICON, dpi),
                        LoadIconForDpi(iconId, SM_CXSMICON, SM_CYSMICON, dpi));
}

void TTopLevelWindow::SetIcons(int iconId) {
    if (!FOwnIcons && FDpi == static_cast<int>(::GetDpiForSystem())) return;
    FOwnIcons = true;
    const auto dpi = static_cast<UINT>(FDpi);
    if (HICON big = LoadIconForDpi(iconId, SM_CXICON, SM_CYICON, dpi))
        ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = LoadIconForDpi(iconId, SM_CXSMICON, SM_CYSMICON, dpi))
        ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void TTopLevelWindow::CentreOnWorkArea() {
    if (const auto monitor = MonitorOf(Handle(), MONITOR_DEFAULTTONEAREST)) CentreWindowIn(Handle(), monitor->rcWork);
}

void TTopLevelWindow::KeepFocusVisible() {
    // Before the window shows there is no focus to keep (the first one is given once it
    // shows); taking it here would also start the input method's machinery early.
    if (!::IsWindowVisible(Handle())) return;
    const HWND focus = ::GetFocus();
    if (focus && ::IsWindowVisible(focus) && ::IsWindowEnabled(focus)) return;
    if (focus && !::IsChild(Handle(), focus)) return; // another window has it
    if (HWND next = ::GetNextDlgTabItem(Handle(), focus, FALSE)) ::SetFocus(next);
}

void TTopLevelWindow::RunGuarded(const std::function<void()>& step) {
    // Errors must not unwind through the window procedure: they end here, shown to the user.
    try {
        step();
    } catch (const std::exception& error) {
        ReportError(DecodeUtf8(std::string_view(error.what())));
    } catch (...) {
        ReportError(u"unknown error");
    }
}

void TTopLevelWindow::ReportError(const std::u16string& what) {
    const std::u16string text = u"An unexpected error occurred:\r\n\r\n" + what;
    const std::u16string caption = WindowText(Handle());
    ShowModalMessageBox(Handle(), Wide(text), Wide(caption), MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

LRESULT TTopLevelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE) {
        // Remember and give back the focused control, as a dialog does.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(Handle(), focus)) FLastFocus = focus;
        } else if (FLastFocus && ::IsWindow(FLastFocus) && ::IsWindowVisible(FLastFocus)) {
            ::SetFocus(FLastFocus);
            return 0;
        }
    }
    return TWindowBase::HandleMessage(message, wParam, lParam);
}

} // namespace zx
