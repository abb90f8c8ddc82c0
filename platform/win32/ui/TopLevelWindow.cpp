#include "TopLevelWindow.h"

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>

#include "platform/common/Utf8.h"
#include "platform/ui/DpiScale.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"
#include "platform/win32/ui/ModalLoop.h"

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
    FDpi = static_cast<int>(::GetDpiForWindow(Handle()));
    if (FDpi <= 0) FDpi = kDesignDpi;
}

void TTopLevelWindow::SetClientSize(int width96, int height96, int left, int top) {
    const int width = ScaleForDpi(width96, FDpi);
    const int height = ScaleForDpi(height96, FDpi);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(FDpi));
    ::SetWindowPos(Handle(), nullptr, left, top, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame actually drawn may follow another DPI than the window's (Wine draws it at
    // the system DPI): correct by what the client area came out as.
    RECT client;
    ::GetClientRect(Handle(), &client);
    const int dx = width - (client.right - client.left);
    const int dy = height - (client.bottom - client.top);
    if (dx != 0 || dy != 0)
        ::SetWindowPos(Handle(), nullptr, left, top, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
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
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor)) return;
    RECT window;
    ::GetWindowRect(Handle(), &window);
    const RECT& work = monitor.rcWork;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int x = work.left + std::max(0, static_cast<int>(work.right - work.left) - width) / 2;
    const int y = work.top + std::max(0, static_cast<int>(work.bottom - work.top) - height) / 2;
    ::SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
