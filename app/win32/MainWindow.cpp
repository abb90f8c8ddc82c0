#include "MainWindow.h"

#include <string>

#include "app/ControlAccessibility.h"
#include "app/win32/UserBrowser.h"
#include "kit/ThemeColors.h"
#include "platform/ui/DpiScale.h"
#include "platform/win32/Shell.h"
#include "platform/win32/WideText.h"
#include "platform/win32/StartupMark.h"
#include "platform/win32/WindowText.h"
#include "platform/win32/ui/Gdi.h"
#include "platform/win32/ui/ModalLoop.h"
#include "platform/win32/ui/WindowGeometry.h"

namespace zx {

namespace {

constexpr wchar_t kMainWindowClass[] = L"TFrmZephyrix";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr int kIconId = 1; // the program icon in the resources

// Made after the first frame: the option boxes, standard check boxes of the common
// controls, whose library takes longer to load than the rest of the window to build; and
// whatever the first frame does not show: a control hidden at start-up, and everything
// on one (the configuration card).
bool IsDeferred(const TControlEntry& entry) {
    if (entry.Kind == TControlKind::ckCheckBox) return true;
    for (const TControlEntry* control = &entry; control->Id != TControlId::FrmZephyrix;
         control = &FindControl(control->Parent))
        if ((control->Options & coHidden) != 0) return true;
    return false;
}

// The kind of the table's control with this child-window ID; the form's for any other.
TControlKind FindControlKind(int controlId) {
    for (const auto& entry : ControlTable())
        if (static_cast<int>(entry.Id) == controlId) return entry.Kind;
    return TControlKind::ckForm;
}

} // namespace

TMainWindow::TMainWindow(const TButtonFamilyList& families) : FFactory(families) {
    RegisterTopLevelClass(kMainWindowClass, kIconId);
}

TMainWindow::~TMainWindow() {
    // Destroy the windows while the control objects still exist.
    if (Handle()) ::DestroyWindow(Handle());
}

void TMainWindow::Open(TMainWindowEvents events, int showCommand) {
    FEvents = std::move(events);
    const auto& form = FindControl(TControlId::FrmZephyrix);
    // Made at the size its client area needs at the system's DPI, the one a new window
    // usually gets: then nothing is resized before it shows (each resize costs the first
    // frame about a millisecond under Wine).
    const int systemDpi = static_cast<int>(::GetDpiForSystem());
    const SIZE frame =
        FrameSizeForClient(ScaleForDpi(kClientWidth96, systemDpi), ScaleForDpi(kClientHeight96, systemDpi),
                           kWindowStyle, kWindowExStyle, systemDpi);
    CreateHandle(kWindowExStyle, kMainWindowClass, Wide(std::u16string(form.Caption)), kWindowStyle, CW_USEDEFAULT,
                 CW_USEDEFAULT, frame.cx, frame.cy, nullptr, 0);
    ReadDpi();
    (void)FFonts.ChooseTitleFace(Handle(), std::u16string(FindControl(TControlId::LblTitle).Caption), FDpi);
    if (!HasClientSize(kClientWidth96, kClientHeight96)) {
        RECT start;
        ::GetWindowRect(Handle(), &start);
        SetClientSize(kClientWidth96, kClientHeight96, start.left, start.top);
    }
    SetIcons(kIconId);
    StartupMark(L"zx:window");
    FFonts.Create(FDpi);
    StartupMark(L"zx:fonts");
    CreateControls();
    ApplyFonts();
    StartupMark(L"zx:controls");

    if (FEvents.Create) RunGuarded(FEvents.Create);
    StartupMark(L"zx:form create");
    if (!Handle()) return; // closed during creation
    CentreOnWorkArea();
    ::ShowWindow(Handle(), showCommand);
    StartupMark(L"zx:shown");
    ::UpdateWindow(Handle());
    StartupMark(L"zx:first paint");
    CreateDeferredControls();
    if (FThemeHelper) FThemeHelper->ControlsAdded();
    // Its message-only window is one more window to make: not before the first frame.
    // Background work, the only caller, starts after that frame.
    FDispatcher.emplace([this](const std::u16string& what) { ReportError(what); });
    StartupMark(L"zx:deferred controls");
    if (HWND first = ::GetNextDlgTabItem(Handle(), nullptr, FALSE)) ::SetFocus(first);
}

void TMainWindow::FocusCuesShown() {
    // From the first key on, the focused button shows its focus rectangle (the option
    // boxes, the system's, follow the UI state the dialog keys set).
    for (auto& [id, button] : FControls.Buttons) button->SetFocusCues(true);
}

bool TMainWindow::HandleOwnKeys(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    bool forward = false;
    switch (message.wParam) {
    case VK_RIGHT:
    case VK_DOWN:
        forward = true;
        break;
    case VK_LEFT:
    case VK_UP:
        break;
    default:
        return false;
    }
    const auto from = static_cast<TControlId>(::GetDlgCtrlID(message.hwnd));
    if (ControlHandle(from) != message.hwnd) return false;
    // The next box that can take the focus, as a dialog's group skips greyed ones.
    for (const TControlEntry* next = NextCheckBox(from, forward); next && next->Id != from;
         next = NextCheckBox(next->Id, forward)) {
        const HWND box = ControlHandle(next->Id);
        if (box && ::IsWindowVisible(box) && ::IsWindowEnabled(box)) {
            ::SetFocus(box);
            MakeOptionTabStop(next->Id);
            return true;
        }
    }
    return NextCheckBox(from, forward) != nullptr; // a lone box keeps the focus
}

void TMainWindow::MakeOptionTabStop(TControlId focused) {
    for (const auto& entry : ControlTable()) {
        const HWND box = entry.Kind == TControlKind::ckCheckBox ? ControlHandle(entry.Id) : nullptr;
        if (!box) continue;
        LONG_PTR style = ::GetWindowLongPtrW(box, GWL_STYLE);
        style = entry.Id == focused ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP);
        ::SetWindowLongPtrW(box, GWL_STYLE, style);
    }
}

RECT TMainWindow::PlaceOf(const TControlEntry& entry) const {
    const TBox box = ScaleBox(TBox{entry.Place.Left, entry.Place.Top, entry.Place.Width, entry.Place.Height}, FDpi);
    return RECT{box.Left, box.Top, box.Left + box.Width, box.Top + box.Height};
}

HWND TMainWindow::ControlHandle(TControlId id) const {
    if (id == TControlId::FrmZephyrix) return Handle();
    const auto found = FControls.Handles.find(id);
    return found == FControls.Handles.end() ? nullptr : found->second;
}

void TMainWindow::CreateControls() {
    for (const auto& entry : ControlTable()) {
        if (entry.Id == TControlId::FrmZephyrix) continue;
        if (IsDeferred(entry))
            FDeferred.Defer(entry.Id, {std::u16string(entry.Caption), false, true, (entry.Options & coHidden) == 0});
        else
            FFactory.Create(entry, ControlHandle(entry.Parent), PlaceOf(entry), FDpi, FControls);
    }
}

void TMainWindow::CreateDeferredControls() {
    const auto deferred = FDeferred.HandOver();
    // In the table's order, as the others were: a parent before its children, and the
    // order of siblings (which is the Tab and the screen reader's order) the table's.
    for (const TControlEntry& entry : ControlTable()) {
        const auto found = deferred.find(entry.Id);
        if (found == deferred.end()) continue;
        const TPendingControl& state = found->second;
        FFactory.Create(entry, ControlHandle(entry.Parent), PlaceOf(entry), FDpi, FControls);
        const HWND handle = ControlHandle(entry.Id);
        if (!handle) continue;
        SetWindowTextWhenChanged(handle, state.Caption);
        if (entry.Kind == TControlKind::ckCheckBox)
            ::SendMessageW(handle, BM_SETCHECK, state.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
        ::EnableWindow(handle, state.Enabled ? TRUE : FALSE);
        ::ShowWindow(handle, state.Visible ? SW_SHOWNA : SW_HIDE);
        ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(entry.Id)), TRUE);
    }
}

HFONT TMainWindow::FontOf(TControlId id) const {
    if (FControls.Buttons.contains(id)) return FFonts.ButtonFont(); // the style governs it
    if ((FindControl(id).Options & coOwnFont) != 0) return FFonts.TitleFont();
    return FFonts.Font();
}

void TMainWindow::ApplyFonts() {
    for (const auto& [id, handle] : FControls.Handles)
        if (handle) ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(id)), TRUE);
}

void TMainWindow::Relayout() {
    for (const auto& entry : ControlTable()) {
        const HWND handle = ControlHandle(entry.Id);
        if (entry.Id == TControlId::FrmZephyrix || !handle) continue;
        const RECT place = PlaceOf(entry);
        ::SetWindowPos(handle, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (auto* panel : FControls.Panels) panel->SetDpi(FDpi);
    for (auto& [id, button] : FControls.Buttons) button->SetDpi(FDpi);
    if (FControls.Logo) FControls.Logo->SetDpi(FDpi);
}

void TMainWindow::DpiChanged(int dpi, const RECT& suggested) {
    FDpi = dpi;
    FFonts.Create(FDpi);
    ApplyFonts();
    Relayout();
    SetIcons(kIconId);
    SetClientSize(kClientWidth96, kClientHeight96, suggested.left, suggested.top);
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// --- IMainView ---

std::u16string TMainWindow::GetCaption(TControlId id) const {
    if (id == TControlId::LblContent && FControls.RichLabel) return FControls.RichLabel->Markup();
    if (const auto caption = FDeferred.Caption(id)) return *caption;
    return WindowText(ControlHandle(id));
}

void TMainWindow::SetCaption(TControlId id, const std::u16string& caption) {
    if (id == TControlId::LblContent && FControls.RichLabel) {
        FControls.RichLabel->SetMarkup(caption);
        return;
    }
    FDeferred.SetCaption(id, caption);
    if (const HWND handle = ControlHandle(id)) SetWindowTextWhenChanged(handle, caption);
    if (id == TControlId::LblTitle && FFonts.ChooseTitleFace(Handle(), caption, FDpi)) {
        FFonts.Create(FDpi);
        ApplyFonts();
    }
}

bool TMainWindow::IsChecked(TControlId id) const {
    if (const auto checked = FDeferred.Checked(id)) return *checked;
    const HWND handle = ControlHandle(id);
    return handle && ::SendMessageW(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TMainWindow::SetChecked(TControlId id, bool checked) {
    FDeferred.SetChecked(id, checked);
    if (const HWND handle = ControlHandle(id))
        ::SendMessageW(handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TMainWindow::SetEnabled(TControlId id, bool enabled) {
    FDeferred.SetEnabled(id, enabled);
    const HWND handle = ControlHandle(id);
    if (!handle) return;
    const bool hadFocus = ::GetFocus() == handle;
    ::EnableWindow(handle, enabled ? TRUE : FALSE);
    if (hadFocus && !enabled) KeepFocusVisible();
}

void TMainWindow::SetVisible(TControlId id, bool visible) {
    if (id == TControlId::Indicator && FControls.Indicator) {
        // A hidden indicator never animates.
        if (!visible)
            FControls.Indicator->SetActive(false);
        else
            ::ShowWindow(FControls.Indicator->Handle(), SW_SHOWNA);
        return;
    }
    FDeferred.SetVisible(id, visible);
    if (const HWND handle = ControlHandle(id)) {
        ::ShowWindow(handle, visible ? SW_SHOWNA : SW_HIDE);
        if (!visible) KeepFocusVisible();
    }
}

void TMainWindow::SetPressed(TControlId id, bool pressed) {
    const auto found = FControls.Buttons.find(id);
    if (found != FControls.Buttons.end()) found->second->SetDown(pressed);
}

void TMainWindow::SetIndicatorActive(bool active) {
    if (FControls.Indicator) FControls.Indicator->SetActive(active);
}

void TMainWindow::ShowCard(TCard card) {
    const HWND home = ControlHandle(TControlId::Card1);
    const HWND config = ControlHandle(TControlId::Card2);
    // A card not made yet shows as it is told once it is.
    FDeferred.SetVisible(TControlId::Card1, card == TCard::cdHome);
    FDeferred.SetVisible(TControlId::Card2, card == TCard::cdConfig);
    const HWND shown = card == TCard::cdHome ? home : config;
    if (!shown) return;
    // Show the new card before hiding the old one: the panel never shows an empty frame.
    ::SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::ShowWindow(shown == home ? config : home, SW_HIDE);
    KeepFocusVisible();
}

void TMainWindow::SetApplicationTitle(const std::u16string& title) {
    // The window owns its taskbar button (there is no separate application window):
    // the taskbar shows the window's caption, so the application title is the caption.
    if (Handle()) SetWindowTextWhenChanged(Handle(), title);
}

void TMainWindow::ApplyTheme() {
    // Once: the helper lives as long as the window.
    if (!FThemeHelper) FThemeHelper = std::make_unique<TThemeHelper>(Handle(), kThemeAccent, FHighContrast);
}

void TMainWindow::FitLabelFont(TControlId label) {
    // The other labels share the window's font: only the title has a size of its own.
    if (label != TControlId::LblTitle) return;
    const HWND title = ControlHandle(TControlId::LblTitle);
    if (title && FFonts.FitTitle(title, FDpi)) ApplyFonts();
}

void TMainWindow::UseDesktopFont() {
    FFonts.UseDesktopFont(FDpi);
    ApplyFonts();
}

void TMainWindow::ShowErrorMessage(const std::u16string& text, const std::u16string& caption) {
    ShowModalMessageBox(Handle(), Wide(text), Wide(caption), MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

void TMainWindow::OpenAddress(const std::u16string& address) {
    // The program runs elevated: the browser gets the user's rights, not these.
    OpenInUsersBrowser(Handle(), address);
}

void TMainWindow::Close() {
    if (Handle()) ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TMainWindow::InvokeSynchronously(const std::function<void()>& call) {
    // Before the dispatcher exists (or once the window failed to open) nothing runs the
    // call: the caller returns at once, as it does once the dispatcher is gone.
    if (FDispatcher) FDispatcher->InvokeSynchronously(call);
}

// --- messages ---

void TMainWindow::ControlCommand(int controlId, int code) {
    const bool optionBox = FindControlKind(controlId) == TControlKind::ckCheckBox;
    if (code == BN_SETFOCUS && optionBox) MakeOptionTabStop(static_cast<TControlId>(controlId));
    // With BS_NOTIFY a box reports the second click of a double click on its own: it is
    // a click all the same.
    if (code != BN_CLICKED && !(code == BN_DOUBLECLICKED && optionBox)) return;
    for (const auto& entry : ControlTable()) {
        if (static_cast<int>(entry.Id) == controlId && entry.Id != TControlId::FrmZephyrix) {
            if (FEvents.Click) RunGuarded([&] { FEvents.Click(entry.Id); });
            return;
        }
    }
}

LRESULT TMainWindow::ControlColors(HDC dc, HWND control) const {
    ::SetBkColor(dc, ToColorRef(kWindowColor));
    COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    for (const auto& entry : ControlTable())
        if (static_cast<int>(entry.Id) == ::GetDlgCtrlID(control) && entry.TextColor)
            text = ToColorRef(*entry.TextColor);
    if (!::IsWindowEnabled(control)) text = ::GetSysColor(COLOR_GRAYTEXT);
    ::SetTextColor(dc, text);
    return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}

LRESULT TMainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) ControlCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ControlColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        TPaintScope paint(Handle());
        FillSolid(paint.Dc(), paint.Area(), kWindowColor);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && FEvents.Activate) RunGuarded(FEvents.Activate);
        break; // the base gives the focus back
    case WM_DPICHANGED:
        DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        if (FControls.Indicator) FControls.Indicator->SetActive(false);
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return TTopLevelWindow::HandleMessage(message, wParam, lParam);
}

} // namespace zx
