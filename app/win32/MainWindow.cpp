#include "MainWindow.h"

#include <exception>
#include <string>

#include "kit/FitLabelFont.h"
#include "platform/common/Utf8.h"
#include "platform/ui/DpiScale.h"
#include "platform/ui/FontFit.h"
#include "platform/win32/Shell.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"

namespace zx {

namespace {

constexpr wchar_t kMainWindowClass[] = L"TFrmZephyrix";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr UINT kInvokeMessage = WM_APP + 1;
constexpr int kIconId = 1; // the program icon in the resources  // lParam: const std::function<void()>*

// The look the window was designed with, before start-up switches to the desktop font.
constexpr wchar_t kDesignedFontName[] = L"Segoe UI";
constexpr int kDesignedFontHeight96 = 12;

// Styled buttons: the header toolbar's and the Run button's appearance and corners.
constexpr char16_t kStyleFamily[] = u"Moravel";
constexpr char16_t kButtonClass[] = u"Primary";
constexpr int kHeaderRadius = 4;
constexpr int kRunRadius = 6;
constexpr int kHeaderGroup = 1;

constexpr COLORREF kTitleColor = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kVersionColor = RGB(0x80, 0x80, 0x80);

// The desktop's icon-title font at this DPI, or the default GUI font's description.
LOGFONTW DesktopFontDescription(int dpi) {
    LOGFONTW lf{};
    if (!::SystemParametersInfoForDpi(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0, static_cast<UINT>(dpi))) {
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        lf.lfHeight = -ScaleForDpi(12, dpi);
    }
    return lf;
}

// A font of our own choosing, in the desktop font's character set: the user's script
// then finds its glyphs (through font linking) also in a face that lacks them.
TUniqueFont CreateFontWith(const wchar_t* face, int pixelHeight, BYTE quality, int dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -pixelHeight;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DesktopFontDescription(dpi).lfCharSet;
    lf.lfQuality = quality;
    wcsncpy_s(lf.lfFaceName, face, _TRUNCATE);
    return TUniqueFont(::CreateFontIndirectW(&lf));
}

TUniqueFont CreateDesktopFont(int dpi) {
    const LOGFONTW lf = DesktopFontDescription(dpi);
    return TUniqueFont(::CreateFontIndirectW(&lf));
}

} // namespace

TMainWindow::TMainWindow(const TButtonFamilyList& families) : FFamilies(families) {
    RegisterWindowClass(kMainWindowClass, 0, IDC_ARROW);
}

TMainWindow::~TMainWindow() {
    // Destroy the windows while the control objects still exist.
    if (Handle()) ::DestroyWindow(Handle());
}

void TMainWindow::Open(TMainWindowEvents events, int showCommand) {
    FEvents = std::move(events);
    const auto& form = FindControl(TControlId::FrmZephyrix);
    CreateHandle(kWindowExStyle, kMainWindowClass,
                 reinterpret_cast<const wchar_t*>(std::u16string(form.Caption).c_str()), kWindowStyle, CW_USEDEFAULT,
                 CW_USEDEFAULT, kClientWidth96, kClientHeight96, nullptr, 0);
    FDpi = static_cast<int>(::GetDpiForWindow(Handle()));
    if (FDpi <= 0) FDpi = kDesignDpi;
    (void)ChooseTitleFace(std::u16string(FindControl(TControlId::LblTitle).Caption));
    RECT start;
    ::GetWindowRect(Handle(), &start);
    SetClientSize(start.left, start.top);
    SetIcons();
    CreateFonts();
    CreateControls();
    ApplyFonts();

    if (FEvents.Create) RunGuarded(FEvents.Create);
    if (!Handle()) return; // closed during creation
    CentreOnWorkArea();
    ::ShowWindow(Handle(), showCommand);
    ::UpdateWindow(Handle());
    if (HWND first = ::GetNextDlgTabItem(Handle(), nullptr, FALSE)) ::SetFocus(first);
}

bool TMainWindow::HandleDialogKeys(MSG& message) {
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
            // From the first key on, the focused button shows its focus rectangle.
            FFocusCues = true;
            for (auto& [id, button] : FButtons) button->SetFocusCues(true);
            break;
        default:
            break;
        }
    }
    return ::IsDialogMessageW(Handle(), &message) != FALSE;
}

void TMainWindow::SetIcons() {
    // Shared icons belong to the module: nothing to free.
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const auto load = [&](int widthMetric, int heightMetric) {
        return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                               ::GetSystemMetricsForDpi(widthMetric, static_cast<UINT>(FDpi)),
                                               ::GetSystemMetricsForDpi(heightMetric, static_cast<UINT>(FDpi)),
                                               LR_SHARED));
    };
    if (HICON big = load(SM_CXICON, SM_CYICON))
        ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = load(SM_CXSMICON, SM_CYSMICON))
        ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void TMainWindow::SetClientSize(int left, int top) {
    const int width = ScaleForDpi(kClientWidth96, FDpi);
    const int height = ScaleForDpi(kClientHeight96, FDpi);
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, static_cast<UINT>(FDpi));
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

void TMainWindow::CentreOnWorkArea() {
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

RECT TMainWindow::PlaceOf(const TControlSpec& spec) const {
    const TBox box = ScaleBox(TBox{spec.Place.Left, spec.Place.Top, spec.Place.Width, spec.Place.Height}, FDpi);
    return RECT{box.Left, box.Top, box.Left + box.Width, box.Top + box.Height};
}

HWND TMainWindow::ControlHandle(TControlId id) const {
    if (id == TControlId::FrmZephyrix) return Handle();
    const auto found = FHandles.find(id);
    return found == FHandles.end() ? nullptr : found->second;
}

void TMainWindow::CreateControls() {
    for (const auto& spec : ControlTable())
        if (spec.Id != TControlId::FrmZephyrix) CreateControl(spec);
}

void TMainWindow::CreateControl(const TControlSpec& spec) {
    const HWND parent = ControlHandle(spec.Parent);
    const RECT place = PlaceOf(spec);
    const int id = static_cast<int>(spec.Id);
    const bool visible = (spec.Options & coHidden) == 0;
    const std::wstring caption(reinterpret_cast<const wchar_t*>(spec.Caption.data()), spec.Caption.size());
    HWND handle = nullptr;

    switch (spec.Kind) {
    case TControlKind::ckForm:
        return;
    case TControlKind::ckPanel:
    case TControlKind::ckToolbar:
    case TControlKind::ckCardPanel:
    case TControlKind::ckCard:
    case TControlKind::ckGroupBox: {
        const auto kind = spec.Kind == TControlKind::ckGroupBox ? TPanelWindow::pkGroupBox : TPanelWindow::pkPlain;
        auto panel = std::make_unique<TPanelWindow>(parent, id, caption.c_str(), kind, place, visible);
        FPanels.push_back(panel.get());
        handle = panel->Handle();
        FOwned.push_back(std::move(panel));
        break;
    }
    case TControlKind::ckToolButton:
    case TControlKind::ckStyledButton: {
        const bool header = spec.Kind == TControlKind::ckToolButton;
        auto attributes = FFamilies.Attributes(kStyleFamily, kButtonClass, header ? u"Header" : u"Outline",
                                               header ? kHeaderRadius : kRunRadius);
        auto button = std::make_unique<TStyledButtonWindow>(parent, id, caption.c_str(), place, visible, attributes,
                                                            header ? kHeaderGroup : 0);
        if (spec.Id == TControlId::BtnHome || spec.Id == TControlId::BtnStart) {
            // Each starts a keyboard group of its own, so the arrow keys stay within it.
            const LONG_PTR style = ::GetWindowLongPtrW(button->Handle(), GWL_STYLE);
            ::SetWindowLongPtrW(button->Handle(), GWL_STYLE, style | WS_GROUP);
        }
        button->SetDpi(FDpi);
        if (spec.Options & coPressed) button->SetDown(true);
        FButtons[spec.Id] = button.get();
        handle = button->Handle();
        FOwned.push_back(std::move(button));
        break;
    }
    case TControlKind::ckImage: {
        auto logo = std::make_unique<TLogoWindow>(parent, id, place);
        logo->SetDpi(FDpi);
        FLogo = logo.get();
        handle = logo->Handle();
        FOwned.push_back(std::move(logo));
        break;
    }
    case TControlKind::ckRichLabel: {
        auto label = std::make_unique<TRichLabelWindow>(parent, id, place, (spec.Options & coVCentered) != 0);
        label->SetMarkup(std::u16string(spec.Caption));
        FRichLabel = label.get();
        handle = label->Handle();
        FOwned.push_back(std::move(label));
        break;
    }
    case TControlKind::ckActivityIndicator: {
        auto indicator = std::make_unique<TActivityIndicatorWindow>(parent, id, place);
        FIndicator = indicator.get();
        handle = indicator->Handle();
        FOwned.push_back(std::move(indicator));
        break;
    }
    case TControlKind::ckLabel: {
        DWORD style = WS_CHILD | SS_NOPREFIX | (visible ? WS_VISIBLE : 0);
        style |= (spec.Options & coCentered) ? SS_CENTER : (SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS);
        handle =
            ::CreateWindowExW(0, L"STATIC", caption.c_str(), style, place.left, place.top, place.right - place.left,
                              place.bottom - place.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              ::GetModuleHandleW(nullptr), nullptr);
        break;
    }
    case TControlKind::ckCheckBox: {
        // Not a tab stop: the keyboard moves between the header and the Run button only.
        const DWORD style = WS_CHILD | WS_GROUP | BS_AUTOCHECKBOX | (visible ? WS_VISIBLE : 0);
        handle =
            ::CreateWindowExW(0, L"BUTTON", caption.c_str(), style, place.left, place.top, place.right - place.left,
                              place.bottom - place.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              ::GetModuleHandleW(nullptr), nullptr);
        break;
    }
    }
    FHandles[spec.Id] = handle;
}

void TMainWindow::CreateFonts() {
    FFont = FDesktopFont
        ? CreateDesktopFont(FDpi)
        : CreateFontWith(kDesignedFontName, ScaleForDpi(kDesignedFontHeight96, FDpi), DEFAULT_QUALITY, FDpi);
    const int titlePixels =
        FTitlePoints ? PixelsFromPoints(*FTitlePoints, FDpi) : ScaleForDpi(kTitleFontHeight96, FDpi);
    FTitleFont = CreateFontWith(FTitleFace.c_str(), titlePixels, ANTIALIASED_QUALITY, FDpi);
    FButtonFont = CreateFontWith(kDesignedFontName, ScaleForDpi(kDesignedFontHeight96, FDpi), DEFAULT_QUALITY, FDpi);
}

bool TMainWindow::ChooseTitleFace(const std::u16string& caption) {
    // Tahoma when it has every letter of the caption; otherwise the desktop font's face,
    // which carries the user's script (Wine links no other font to plain Tahoma, so CJK
    // titles would show boxes).
    std::wstring face(reinterpret_cast<const wchar_t*>(kTitleFontName.data()), kTitleFontName.size());
    {
        const TUniqueFont tahoma =
            CreateFontWith(face.c_str(), ScaleForDpi(kTitleFontHeight96, FDpi), ANTIALIASED_QUALITY, FDpi);
        TWindowDc dc(Handle());
        TSelectScope selected(dc.Dc(), tahoma.get());
        std::vector<WORD> glyphs(caption.size() + 1);
        const DWORD count = ::GetGlyphIndicesW(dc.Dc(), Wide(caption), static_cast<int>(caption.size()), glyphs.data(),
                                               GGI_MARK_NONEXISTING_GLYPHS);
        bool complete = count != GDI_ERROR;
        for (std::size_t i = 0; complete && i < caption.size(); ++i)
            if (glyphs[i] == 0xFFFF && caption[i] != u' ') complete = false;
        if (!complete) face = DesktopFontDescription(FDpi).lfFaceName;
    }
    if (face == FTitleFace) return false;
    FTitleFace = face;
    return true;
}

void TMainWindow::ApplyFonts() {
    for (const auto& [id, handle] : FHandles) {
        if (!handle) continue;
        HFONT font = FFont.get();
        if (id == TControlId::LblTitle) font = FTitleFont.get();
        if (FButtons.contains(id)) font = FButtonFont.get();
        ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

void TMainWindow::Relayout() {
    for (const auto& spec : ControlTable()) {
        const HWND handle = ControlHandle(spec.Id);
        if (spec.Id == TControlId::FrmZephyrix || !handle) continue;
        const RECT place = PlaceOf(spec);
        ::SetWindowPos(handle, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (auto* panel : FPanels) panel->SetDpi(FDpi);
    for (auto& [id, button] : FButtons) button->SetDpi(FDpi);
    if (FLogo) FLogo->SetDpi(FDpi);
}

void TMainWindow::DpiChanged(int dpi, const RECT& suggested) {
    FDpi = dpi;
    CreateFonts();
    ApplyFonts();
    Relayout();
    SetIcons();
    SetClientSize(suggested.left, suggested.top);
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// --- IMainView ---

std::u16string TMainWindow::GetCaption(TControlId id) const {
    if (id == TControlId::LblContent && FRichLabel) return FRichLabel->Markup();
    return WindowText(ControlHandle(id));
}

void TMainWindow::SetCaption(TControlId id, const std::u16string& caption) {
    if (id == TControlId::LblContent && FRichLabel) {
        FRichLabel->SetMarkup(caption);
        return;
    }
    if (const HWND handle = ControlHandle(id)) ::SetWindowTextW(handle, Wide(caption));
    if (id == TControlId::LblTitle && ChooseTitleFace(caption)) {
        CreateFonts();
        ApplyFonts();
    }
}

bool TMainWindow::IsChecked(TControlId id) const {
    const HWND handle = ControlHandle(id);
    return handle && ::SendMessageW(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TMainWindow::SetChecked(TControlId id, bool checked) {
    if (const HWND handle = ControlHandle(id))
        ::SendMessageW(handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TMainWindow::SetEnabled(TControlId id, bool enabled) {
    const HWND handle = ControlHandle(id);
    if (!handle) return;
    const bool hadFocus = ::GetFocus() == handle;
    ::EnableWindow(handle, enabled ? TRUE : FALSE);
    if (hadFocus && !enabled) KeepFocusVisible();
}

void TMainWindow::SetVisible(TControlId id, bool visible) {
    if (id == TControlId::Indicator && FIndicator) {
        // A hidden indicator never animates.
        if (!visible)
            FIndicator->SetActive(false);
        else
            ::ShowWindow(FIndicator->Handle(), SW_SHOWNA);
        return;
    }
    if (const HWND handle = ControlHandle(id)) {
        ::ShowWindow(handle, visible ? SW_SHOWNA : SW_HIDE);
        if (!visible) KeepFocusVisible();
    }
}

void TMainWindow::SetPressed(TControlId id, bool pressed) {
    const auto found = FButtons.find(id);
    if (found != FButtons.end()) found->second->SetDown(pressed);
}

void TMainWindow::SetIndicatorActive(bool active) {
    if (FIndicator) FIndicator->SetActive(active);
}

void TMainWindow::ShowCard(int index) {
    const HWND home = ControlHandle(TControlId::Card1);
    const HWND config = ControlHandle(TControlId::Card2);
    const HWND shown = index == 0 ? home : index == 1 ? config : nullptr;
    if (!shown) return;
    // Show the new card before hiding the old one: the panel never shows an empty frame.
    ::SetWindowPos(shown, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::ShowWindow(shown == home ? config : home, SW_HIDE);
    KeepFocusVisible();
}

void TMainWindow::SetApplicationTitle(const std::u16string& title) {
    // The window owns its taskbar button (there is no separate application window):
    // the taskbar shows the window's caption, so the application title is the caption.
    FApplicationTitle = title;
    if (Handle()) ::SetWindowTextW(Handle(), Wide(title));
}

void TMainWindow::ApplyTheme() {
    // Once: the helper lives as long as the window.
    if (!FThemeHelper) FThemeHelper = std::make_unique<TThemeHelper>(Handle(), FHighContrast);
}

// The title label as FitLabelFont sees it: measured in its own font, resized through
// the window, which makes the fonts of every control.
class TMainWindow::TTitleLabel final : public IFittableLabel {
public:
    TTitleLabel(TMainWindow& window, HWND label) : FWindow(window), FLabel(label) {}
    int Width() const override {
        RECT client;
        ::GetClientRect(FLabel, &client);
        return client.right - client.left;
    }
    int CaptionWidth() const override {
        const std::u16string caption = WindowText(FLabel);
        TWindowDc dc(FLabel);
        TSelectScope font(dc.Dc(), FWindow.FTitleFont.get());
        SIZE extent{};
        if (!::GetTextExtentPoint32W(dc.Dc(), Wide(caption), static_cast<int>(caption.size()), &extent)) return 0;
        return extent.cx;
    }
    int FontPoints() const override {
        LOGFONTW lf{};
        ::GetObjectW(FWindow.FTitleFont.get(), sizeof(lf), &lf);
        return PointsFromPixels(std::abs(static_cast<int>(lf.lfHeight)), FWindow.FDpi);
    }
    void SetFontPoints(int points) override {
        FWindow.FTitlePoints = points;
        FWindow.CreateFonts();
        FWindow.ApplyFonts();
    }

private:
    TMainWindow& FWindow;
    HWND FLabel;
};

void TMainWindow::FitLabelFont(TControlId label) {
    // The other labels share the window's font: only the title has a size of its own.
    if (label != TControlId::LblTitle) return;
    const HWND title = ControlHandle(TControlId::LblTitle);
    if (!title) return;
    TTitleLabel fittable(*this, title);
    zx::FitLabelFont(fittable);
}

void TMainWindow::UseDesktopFont() {
    FDesktopFont = true;
    CreateFonts();
    ApplyFonts();
}

void TMainWindow::ShowErrorMessage(const std::u16string& text, const std::u16string& caption) {
    ::MessageBoxW(Handle(), Wide(text), Wide(caption), MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

void TMainWindow::OpenAddress(const std::u16string& address) {
    ShellOpen(address);
}

void TMainWindow::Close() {
    if (Handle()) ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TMainWindow::InvokeSynchronously(const std::function<void()>& call) {
    const HWND window = Handle();
    if (window) ::SendMessageW(window, kInvokeMessage, 0, reinterpret_cast<LPARAM>(&call));
}

// --- messages ---

void TMainWindow::RunGuarded(const std::function<void()>& step) {
    // Errors must not unwind through the window procedure: they end here, shown to the user.
    try {
        step();
    } catch (const std::exception& error) {
        ReportError(error.what());
    } catch (...) {
        ReportError("unknown error");
    }
}

void TMainWindow::ReportError(const char* what) {
    const std::u16string text = u"An unexpected error occurred:\r\n\r\n" + DecodeUtf8(std::string_view(what));
    ShowErrorMessage(text, WindowText(Handle()));
}

void TMainWindow::KeepFocusVisible() {
    const HWND focus = ::GetFocus();
    if (focus && ::IsWindowVisible(focus) && ::IsWindowEnabled(focus)) return;
    if (focus && !::IsChild(Handle(), focus)) return; // another window has it
    if (HWND next = ::GetNextDlgTabItem(Handle(), focus, FALSE)) ::SetFocus(next);
}

void TMainWindow::ControlCommand(int controlId, int code) {
    if (code != BN_CLICKED) return;
    for (const auto& spec : ControlTable()) {
        if (static_cast<int>(spec.Id) == controlId && spec.Id != TControlId::FrmZephyrix) {
            if (FEvents.Click) RunGuarded([&] { FEvents.Click(spec.Id); });
            return;
        }
    }
}

LRESULT TMainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) ControlCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const HWND control = reinterpret_cast<HWND>(lParam);
        const int id = ::GetDlgCtrlID(control);
        ::SetBkColor(dc, ToColorRef(kWindowColor));
        COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
        if (id == static_cast<int>(TControlId::LblTitle)) text = kTitleColor;
        if (id == static_cast<int>(TControlId::LblVersion)) text = kVersionColor;
        if (!::IsWindowEnabled(control)) text = ::GetSysColor(COLOR_GRAYTEXT);
        ::SetTextColor(dc, text);
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        TPaintScope paint(Handle());
        FillSolid(paint.Dc(), paint.Area(), kWindowColor);
        return 0;
    }
    case WM_DPICHANGED:
        DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE:
        // Remember and give back the focused control, as a dialog does.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(Handle(), focus)) FLastFocus = focus;
        } else if (FLastFocus && ::IsWindow(FLastFocus) && ::IsWindowVisible(FLastFocus)) {
            ::SetFocus(FLastFocus);
            return 0;
        }
        break;
    case kInvokeMessage:
        if (const auto* call = reinterpret_cast<const std::function<void()>*>(lParam)) RunGuarded(*call);
        return 0;
    case WM_DESTROY:
        if (FIndicator) FIndicator->SetActive(false);
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return TWindowBase::HandleMessage(message, wParam, lParam);
}

} // namespace zx
