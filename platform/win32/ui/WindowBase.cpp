#include "WindowBase.h"

#include "Gdi.h"
#include "platform/PlatformError.h"

namespace zx {

TWindowBase::~TWindowBase() {
    if (FHandle) {
        // The derived parts are gone: let the last messages reach DefWindowProc only.
        const HWND window = FHandle;
        FHandle = nullptr;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        ::DestroyWindow(window);
    }
}

TWindowBase* TWindowBase::FromHandle(HWND window) noexcept {
    // GWLP_USERDATA holds one of our objects only in a window of this process whose class
    // runs our procedure (a hook replaces the window's procedure, never the class's). Both
    // are read in the process itself: no request to Wine's window server, unlike a property.
    if (!window) return nullptr;
    DWORD process = 0;
    if (!::GetWindowThreadProcessId(window, &process) || process != ::GetCurrentProcessId()) return nullptr;
    if (::GetClassLongPtrW(window, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&WindowProcedure)) return nullptr;
    return reinterpret_cast<TWindowBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void RegisterWindowClassOnce(const wchar_t* className, WNDPROC procedure, UINT style, LPCWSTR cursor, HICON icon,
                             HICON smallIcon) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, className, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, cursor);
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hbrBackground = nullptr; // every window of ours paints its whole client area
    wc.lpszClassName = className;
    if (!::RegisterClassExW(&wc)) throw TPlatformError("RegisterClassExW", ::GetLastError());
}

void RepaintWhenShown(HWND window) noexcept {
    if (window && ::IsWindowVisible(window)) ::InvalidateRect(window, nullptr, FALSE);
}

HFONT TDerivedFont::From(HFONT font) {
    if (FFrom != font || !FFace) {
        LOGFONTW face{};
        ::GetObjectW(font, sizeof(face), &face);
        FChange(face);
        FFace.reset(::CreateFontIndirectW(&face));
        FFrom = font;
    }
    return FFace ? FFace.get() : font;
}

void TWindowBase::RegisterWindowClass(const wchar_t* className, UINT style, LPCWSTR cursor, HICON icon,
                                      HICON smallIcon) {
    RegisterWindowClassOnce(className, WindowProcedure, style, cursor, icon, smallIcon);
}

HWND TWindowBase::CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                               int width, int height, HWND parent, int controlId) {
    const HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)) : nullptr;
    const HWND window = ::CreateWindowExW(exStyle, className, text, style, x, y, width, height, parent, menu,
                                          ::GetModuleHandleW(nullptr), this);
    if (!window) throw TPlatformError("CreateWindowExW", ::GetLastError());
    return window;
}

LRESULT TWindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(FHandle, message, wParam, lParam);
}

LRESULT CALLBACK TWindowBase::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<TWindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->FHandle = window;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<TWindowBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_GETOBJECT && self->FAccessibleReader && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        if (const LRESULT answer = AnswerAccessibleObject(window, wParam)) return answer;
    }
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    switch (message) {
    case WM_SETTEXT:
        self->Announce(EVENT_OBJECT_NAMECHANGE);
        break;
    case WM_ENABLE:
        self->Announce(EVENT_OBJECT_STATECHANGE);
        break;
    case WM_SETFOCUS:
        self->Announce(EVENT_OBJECT_FOCUS);
        break;
    default:
        break;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->FHandle = nullptr;
        self->WindowDestroyed();
    }
    return result;
}

void TWindowBase::Announce(DWORD event) const noexcept {
    // Readers listen with win-event hooks; with none set the call costs next to nothing.
    if (FHandle && FAccessibleReader) ::NotifyWinEvent(event, FHandle, OBJID_CLIENT, CHILDID_SELF);
}

LRESULT TPaintedWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers the whole area
    case WM_PAINT: {
        TPaintScope paint(Handle());
        RECT client;
        ::GetClientRect(Handle(), &client);
        TBufferedCanvas canvas(paint.Dc(), client);
        Paint(canvas.Dc(), client);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        ::GetClientRect(Handle(), &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_SETFONT:
        FFont = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) RepaintWhenShown(Handle());
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(FFont);
    default:
        return TWindowBase::HandleMessage(message, wParam, lParam);
    }
}

HFONT TPaintedWindow::Font() const noexcept {
    return FFont ? FFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HFONT TPaintedWindow::BoldFont() {
    return FBoldFont.From(Font());
}

} // namespace zx
