#include "ThemeHelper.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <vector>

#include "Shape.h"
#include "StyledButton.h"
#include "WindowGeometry.h"
#include "platform/ui/DpiScale.h"
#include "platform/ui/HighContrast.h"
#include "platform/win32/DllSearch.h"

namespace zx {

namespace {

constexpr DWORD kDarkTitleBarAttribute = 20; // DWMWA_USE_IMMERSIVE_DARK_MODE
constexpr int kLineHeight96 = 2;

// The hooked windows: each one's helper and the procedure the hook passes messages on to.
// The procedure stays while the hook is in the chain, also after its helper is gone (when
// a later hook sits in front of ours, ours cannot leave the chain and forwards until the
// end). Kept in the process rather than in window properties: the hook looks its window up
// on every message, and under Wine each property read is a request to the window server.
struct THookedWindow {
    HWND Form;
    TThemeHelper* Helper;
    WNDPROC Next;
};

template <typename TWindows>
auto Position(TWindows& windows, HWND form) {
    return std::find_if(windows.begin(), windows.end(),
                        [form](const THookedWindow& hooked) { return hooked.Form == form; });
}

class THookedWindows {
public:
    void Add(const THookedWindow& hooked) {
        const std::scoped_lock lock(FLock);
        FWindows.push_back(hooked);
    }
    [[nodiscard]] std::optional<THookedWindow> Find(HWND form) const {
        const std::scoped_lock lock(FLock);
        const auto found = Position(FWindows, form);
        return found == FWindows.end() ? std::nullopt : std::optional(*found);
    }
    void ForgetHelper(HWND form) {
        const std::scoped_lock lock(FLock);
        if (const auto found = Position(FWindows, form); found != FWindows.end()) found->Helper = nullptr;
    }
    void Remove(HWND form) {
        const std::scoped_lock lock(FLock);
        if (const auto found = Position(FWindows, form); found != FWindows.end()) FWindows.erase(found);
    }

private:
    mutable std::mutex FLock; // windows of different threads may be hooked
    std::vector<THookedWindow> FWindows;
};

THookedWindows& HookedWindows() {
    static THookedWindows windows;
    return windows;
}

// Asks the system to draw the title bar dark. Older systems refuse or lack the call:
// nothing to report, the title bar keeps its usual look.
void RequestDarkTitleBar(HWND form) {
    const TUniqueModule dwm = LoadSystemLibrary(L"dwmapi.dll");
    if (!dwm) return;
    using TSetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    const auto setAttribute = reinterpret_cast<TSetWindowAttribute>(
        reinterpret_cast<void*>(::GetProcAddress(dwm.get(), "DwmSetWindowAttribute")));
    if (!setAttribute) return;
    const BOOL dark = -1; // TRUE, all bits set, as a four-byte Boolean
    static_cast<void>(setAttribute(form, kDarkTitleBarAttribute, &dark, sizeof(dark)));
}

bool IsTopLevelWindow(HWND window) {
    return window && ::IsWindow(window) && (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0;
}

bool HasBorder(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) != 0;
}

} // namespace

TThemeHelper::TThemeHelper(HWND form, TColor accent, const IHighContrastQuery& contrast)
    : FForm(form), FActiveColor(accent), FContrast(contrast) {
    if (!IsTopLevelWindow(form)) throw std::invalid_argument("TThemeHelper Owner must be a TForm");
    if (HookedWindows().Find(form)) throw std::logic_error("the window has a theme helper already");
    FDpi = WindowDpi(form);

    RequestDarkTitleBar(form);

    RECT client;
    ::GetClientRect(form, &client);
    FShape = CreateShapeWindow(form, RECT{0, 0, client.right, ScaleForDpi(kLineHeight96, FDpi)}, FActiveColor,
                               HasBorder(form));

    FOldWindowProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(form, GWLP_WNDPROC));
    HookedWindows().Add({form, this, FOldWindowProc});
    ::SetWindowLongPtrW(form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindowProc));

    UpdateContrast(); // also UpdateAccent
}

TThemeHelper::~TThemeHelper() {
    if (!FForm) return; // the form went first and took the hook with it
    HookedWindows().ForgetHelper(FForm);
    if (::GetWindowLongPtrW(FForm, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&FormWindowProc)) {
        ::SetWindowLongPtrW(FForm, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWindowProc));
        HookedWindows().Remove(FForm);
    }
}

LRESULT CALLBACK TThemeHelper::FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::optional<THookedWindow> hooked = HookedWindows().Find(window);
    const WNDPROC next = hooked ? hooked->Next : nullptr;
    TThemeHelper* self = hooked ? hooked->Helper : nullptr;
    if (self) self->FormMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window's last message: unhook, so nothing calls into a helper without a form.
        if (::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&FormWindowProc))
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
        HookedWindows().Remove(window);
        if (self) self->FormDestroyed();
    }
    // Every message, those seen above included, goes on to the form's own procedure.
    return next ? ::CallWindowProcW(next, window, message, wParam, lParam)
                : ::DefWindowProcW(window, message, wParam, lParam);
}

void TThemeHelper::FormMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_SIZE:
        UpdateAccent();
        break;
    case WM_ACTIVATE:
        FIsActive = LOWORD(wParam) != WA_INACTIVE;
        UpdateAccent();
        break;
    case WM_DPICHANGED:
        // The form resizes itself for the new DPI; the WM_SIZE that follows lays the line anew.
        FDpi = HIWORD(wParam);
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // Switching high contrast on or off, or another scheme, sends both.
        UpdateContrast();
        break;
    default:
        break;
    }
}

void TThemeHelper::FormDestroyed() {
    FForm = nullptr;
    FShape = nullptr;
}

void TThemeHelper::UpdateAccent() {
    if (!FForm || !FShape) return;
    const TColor color = AccentLineColor(FIsActive, FHighContrast, FActiveColor, CurrentSystemColors());
    SetShapeColor(FShape, color);
    // Top-aligned: as wide as the client area whatever its size.
    RECT client;
    ::GetClientRect(FForm, &client);
    ::SetWindowPos(FShape, nullptr, 0, 0, client.right, ScaleForDpi(kLineHeight96, FDpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(FShape, HasBorder(FForm) ? SW_SHOWNA : SW_HIDE);
}

void TThemeHelper::ControlsAdded() {
    if (FForm && FHighContrast) RecolourButtons();
}

void TThemeHelper::UpdateContrast() {
    if (!FForm) return;
    const bool wasHighContrast = FHighContrast;
    FHighContrast = FContrast.HighContrastOn();
    // Buttons keep their family's colours until told otherwise: only a scheme in force, or
    // one just left, needs every window visited (under Wine, a request per window).
    if (FHighContrast || wasHighContrast) RecolourButtons();
    UpdateAccent();
}

void TThemeHelper::RecolourButtons() {
    std::optional<TSystemColors> colors;
    if (FHighContrast) colors = CurrentSystemColors();
    ::EnumChildWindows(
        FForm,
        [](HWND child, LPARAM data) -> BOOL {
            if (auto* button = dynamic_cast<TStyledButtonWindow*>(TWindowBase::FromHandle(child)))
                button->SetSystemColors(*reinterpret_cast<const std::optional<TSystemColors>*>(data));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&colors));
}

} // namespace zx
