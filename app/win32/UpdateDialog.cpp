#include "app/win32/UpdateDialog.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/ControlFactory.h"
#include "kit/UpdateBand.h"
#include "platform/PlatformError.h"
#include "platform/ui/DpiScale.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/ui/Gdi.h"
#include "platform/win32/ui/LinkLabel.h"
#include "platform/win32/ui/ModalLoop.h"
#include "platform/win32/ui/WindowGeometry.h"

namespace zx {

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr COLORREF kSeparatorColor = RGB(0xCC, 0xCC, 0xCC);

// The layout at 96 DPI, in pixels.
constexpr int kMargin96 = 12;
constexpr int kIconGap96 = 12;
constexpr int kMaxTextWidth96 = 400;
constexpr int kButtonsGap96 = 20; // between the message and the buttons
constexpr int kButtonSpacing96 = 8;
constexpr int kButtonWidth96 = 75;
constexpr int kButtonHeight96 = 23;
constexpr int kButtonPadding96 = 24;
constexpr int kBottomMargin96 = 12;

// Without this the system would scale the dialog by its own rules on a DPI change
// (Windows 10 1703 and later); the dialog lays itself out instead. Looked up at run time:
// older systems and Wine do not have it, and do no such scaling either.
void TakeOverDpiScaling(HWND dialog) {
    using TSetBehavior = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    const HMODULE user = ::GetModuleHandleW(L"user32.dll");
    if (!user) return;
    const auto set =
        reinterpret_cast<TSetBehavior>(reinterpret_cast<void*>(::GetProcAddress(user, "SetDialogDpiChangeBehavior")));
    if (set) set(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

// The system's message font at this DPI.
TUniqueFont MessageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))) {
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(metrics.lfMessageFont), &metrics.lfMessageFont);
        metrics.lfMessageFont.lfHeight = -ScaleForDpi(12, dpi);
    }
    return TUniqueFont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

// An in-memory template: no controls, no font of its own (the controls get theirs).
std::vector<DWORD> DialogTemplate(bool topmost) {
    std::vector<DWORD> storage(16, 0); // DWORD-aligned, zero-filled
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(storage.data());
    dialog->style = kDialogStyle;
    dialog->dwExtendedStyle = WS_EX_DLGMODALFRAME | (topmost ? WS_EX_TOPMOST : 0);
    dialog->cdit = 0;
    // After the fixed part: menu 0, class 0 (the dialog class), title "" (set later).
    return storage;
}

// One showing of the offer, from creation to the end of the modal loop.
class TUpdateDialogSession {
public:
    TUpdateDialogSession(const TUpdateDialogContent& content, const std::function<void()>& noticeLinkClicked,
                         HWND owner)
        : FContent(content), FNoticeLinkClicked(noticeLinkClicked), FOwner(owner) {}

    TUpdateDialogResult Run() {
        const std::vector<DWORD> form = DialogTemplate(FContent.Notice.StaysOnTop());
        const TPendingQuitHold quitting;
        const INT_PTR ended =
            ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(form.data()),
                                      FOwner, &TUpdateDialogSession::DialogProcedure, reinterpret_cast<LPARAM>(this));
        if (ended == -1) throw TPlatformError("DialogBoxIndirectParamW", ::GetLastError());
        return FResult;
    }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            return reinterpret_cast<TUpdateDialogSession*>(lParam)->Initialize(dialog);
        }
        auto* self = reinterpret_cast<TUpdateDialogSession*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        return self ? self->HandleMessage(message, wParam, lParam) : FALSE;
    }

    HWND AddControl(const wchar_t* className, const std::u16string& text, DWORD style, int id) {
        return ::CreateWindowExW(0, className, Wide(text), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, FDialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                 nullptr);
    }

    INT_PTR Initialize(HWND dialog) {
        FDialog = dialog;
        TakeOverDpiScaling(dialog);
        FDpi = WindowDpi(dialog);
        ::SetWindowTextW(dialog, Wide(FContent.Caption));

        // Creation order is the tab order: Yes, No, then the notice line.
        FIcon = AddControl(L"STATIC", u"", SS_ICON, kUpdateIconId);
        FMessage = AddControl(L"STATIC", FContent.Message, SS_LEFT | SS_NOPREFIX, kUpdateMessageId);
        FYes = AddControl(L"BUTTON", FContent.YesCaption, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDYES);
        FNo = AddControl(L"BUTTON", FContent.NoCaption, BS_PUSHBUTTON | WS_TABSTOP, IDNO);
        const std::u16string& style = FContent.Notice.Style;
        if (!style.empty()) {
            FSeparator = AddControl(L"STATIC", u"", 0, kUpdateSeparatorId);
            if (style == u"hold") {
                FLine = AddControl(L"BUTTON", FContent.Notice.Text, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
                                   kUpdateHoldBoxId);
            } else if (style == u"note") {
                FLink = std::make_unique<TLinkLabelWindow>(dialog, kUpdateNoteLinkId, Wide(FContent.Notice.Text),
                                                           RECT{0, 0, 0, 0});
                FLine = FLink->Handle();
                // Read as a link with its text; the message and the buttons are the system's.
                FLink->SetAccessibleReader(ControlReader(FLine, TControlKind::ckLink));
            }
        }
        ::SendMessageW(dialog, DM_SETDEFID, IDYES, 0);

        Layout(std::nullopt);
        CentreOnScreen();
        if (FContent.Notice.StaysOnTop())
            ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::SetFocus(FYes);
        return FALSE; // the focus is set
    }

    // Places everything for FDpi; the dialog keeps its top-left corner at `origin` (its
    // current one when none is given).
    void Layout(std::optional<POINT> origin) {
        const auto scale = [this](int value) { return ScaleForDpi(value, FDpi); };
        // The controls take the new font before the old one is deleted.
        TUniqueFont font = MessageFont(FDpi);
        for (HWND control : {FMessage, FYes, FNo, FLine})
            if (control) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        FFont = std::move(font);

        const int iconSize = ::GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(FDpi));
        TUniqueIcon icon(
            static_cast<HICON>(::LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, iconSize, iconSize, LR_DEFAULTCOLOR)));
        ::SendMessageW(FIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
        FIconImage = std::move(icon);

        // Measure the message and the button captions in the font they are shown in.
        RECT text{0, 0, scale(kMaxTextWidth96), 0};
        int lineHeight = 0;
        int captionWidth = 0;
        {
            TWindowDc dc(FDialog);
            TSelectScope font(dc.Dc(), FFont.get());
            ::DrawTextW(dc.Dc(), Wide(FContent.Message), static_cast<int>(FContent.Message.size()), &text,
                        DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
            TEXTMETRICW metrics{};
            ::GetTextMetricsW(dc.Dc(), &metrics);
            lineHeight = metrics.tmHeight;
            for (const std::u16string* caption : {&FContent.YesCaption, &FContent.NoCaption}) {
                SIZE extent{};
                ::GetTextExtentPoint32W(dc.Dc(), Wide(*caption), static_cast<int>(caption->size()), &extent);
                captionWidth = std::max(captionWidth, static_cast<int>(extent.cx));
            }
        }
        const int textWidth = text.right - text.left;
        const int textHeight = text.bottom - text.top;

        const int margin = scale(kMargin96);
        const int textLeft = margin + iconSize + scale(kIconGap96);
        const int contentHeight = std::max(iconSize, textHeight);
        const int buttonWidth = std::max(scale(kButtonWidth96), captionWidth + scale(kButtonPadding96));
        const int buttonHeight = std::max(scale(kButtonHeight96), lineHeight + scale(8));
        const int spacing = scale(kButtonSpacing96);
        const int buttonsTop = margin + contentHeight + scale(kButtonsGap96);
        const int clientWidth = std::max(textLeft + textWidth + margin, 2 * margin + 2 * buttonWidth + spacing);
        const int clientHeight = buttonsTop + buttonHeight + scale(kBottomMargin96);

        const auto place = [](HWND control, int left, int top, int width, int height) {
            if (control) ::SetWindowPos(control, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        };
        place(FIcon, margin, margin + (contentHeight - iconSize) / 2, iconSize, iconSize);
        place(FMessage, textLeft, margin + (contentHeight - textHeight) / 2, textWidth, textHeight);
        const int buttonsLeft = (clientWidth - (2 * buttonWidth + spacing)) / 2;
        place(FYes, buttonsLeft, buttonsTop, buttonWidth, buttonHeight);
        place(FNo, buttonsLeft + buttonWidth + spacing, buttonsTop, buttonWidth, buttonHeight);

        RECT window;
        ::GetWindowRect(FDialog, &window);
        const POINT corner = origin.value_or(POINT{window.left, window.top});
        SetClientSizeForDpi(FDialog, clientWidth, clientHeight, corner, FDpi);

        if (FSeparator) {
            // The band counts from the dialog's outer height, title bar and frame included.
            ::GetWindowRect(FDialog, &window);
            const int width = window.right - window.left;
            const TUpdateBand band =
                UpdateBandFor(ScalePercentForDpi(FDpi), window.bottom - window.top, FContent.DialogOffset);
            ::SetWindowPos(FDialog, nullptr, 0, 0, width, band.Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            place(FSeparator, 0, band.SeparatorTop, width, 1);
            place(FLine, band.LineLeft, band.LineTop, width, lineHeight + scale(4));
        }
        ::InvalidateRect(FDialog, nullptr, TRUE);
    }

    void CentreOnScreen() {
        if (const auto monitor = MonitorOf(FOwner ? FOwner : FDialog, MONITOR_DEFAULTTOPRIMARY))
            CentreWindowIn(FDialog, monitor->rcMonitor);
    }

    void Close(bool accepted) {
        FResult.Accepted = accepted;
        FResult.HoldTicked = FLine && !FLink && ::SendMessageW(FLine, BM_GETCHECK, 0, 0) == BST_CHECKED;
        ::EndDialog(FDialog, accepted ? IDYES : IDNO);
    }

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDYES:
                Close(true);
                return TRUE;
            case IDNO:
            case IDCANCEL: // Escape and the close button
                Close(false);
                return TRUE;
            case kUpdateNoteLinkId:
                if (HIWORD(wParam) == BN_CLICKED && FNoticeLinkClicked) FNoticeLinkClicked();
                return TRUE;
            default:
                return FALSE;
            }
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH));
        case WM_CTLCOLORSTATIC: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            if (reinterpret_cast<HWND>(lParam) == FSeparator) {
                ::SetDCBrushColor(dc, kSeparatorColor);
                return reinterpret_cast<INT_PTR>(::GetStockObject(DC_BRUSH));
            }
            ::SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
            ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH));
        }
        case WM_DPICHANGED: {
            FDpi = HIWORD(wParam);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            Layout(POINT{suggested->left, suggested->top});
            ::SetWindowLongPtrW(FDialog, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        default:
            return FALSE;
        }
    }

    const TUpdateDialogContent& FContent;
    const std::function<void()>& FNoticeLinkClicked;
    HWND FOwner;
    HWND FDialog = nullptr;
    int FDpi = kDesignDpi;
    HWND FIcon = nullptr;
    HWND FMessage = nullptr;
    HWND FYes = nullptr;
    HWND FNo = nullptr;
    HWND FSeparator = nullptr;
    HWND FLine = nullptr; // the check box or the link
    std::unique_ptr<TLinkLabelWindow> FLink;
    TUniqueFont FFont;
    TUniqueIcon FIconImage;
    TUpdateDialogResult FResult;
};

} // namespace

TUpdateDialogResult TUpdateDialogWindow::ShowUpdateDialog(const TUpdateDialogContent& content,
                                                          const std::function<void()>& noticeLinkClicked) {
    TUpdateDialogSession session(content, noticeLinkClicked, FOwner ? FOwner() : nullptr);
    return session.Run();
}

} // namespace zx
