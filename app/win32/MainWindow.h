// The main window on screen, TFrmZephyrix's view: a top-level window created from the
// control table, every control a child window of its own whose control ID is its
// TControlId and whose window text is its current caption.
//
// What a test driver can rely on:
//  - window class "TFrmZephyrix"; children found by control ID anywhere below it
//    (EnumChildWindows + GetDlgCtrlID); containers are real windows (PnlHead, BtnHead,
//    PnlLogo, PnlMain, Card1, Card2, GroupBox1-3), so a hidden card hides its controls
//    for IsWindowVisible;
//  - window texts are the captions the user sees; LblContent's is its plain text
//    (markup removed), ImgLogo's is "Moravel";
//  - IsWindowEnabled, IsWindowVisible; BM_GETCHECK on the check boxes (standard
//    BUTTON auto check boxes, not tab stops);
//  - BM_CLICK (or WM_LBUTTONDOWN/UP) on a header button, the Run button, the logo or a
//    check box is a click, handled before the message returns;
//  - BM_GETSTATE on a header button or the Run button has BST_PUSHED | BST_CHECKED
//    exactly while it shows the pressed look.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/BackgroundWork.h"
#include "app/ControlTable.h"
#include "app/MainView.h"
#include "platform/ui/ButtonStyles.h"
#include "platform/win32/ui/ActivityIndicator.h"
#include "platform/win32/ui/Gdi.h"
#include "platform/win32/ui/LogoImage.h"
#include "platform/win32/ui/Panel.h"
#include "platform/win32/ui/RichLabel.h"
#include "platform/win32/ui/StyledButton.h"
#include "platform/win32/ui/WindowBase.h"

namespace zx {

// What the window's behaviour does at creation and on a click.
struct TMainWindowEvents {
    std::function<void()> Create;                 // after the controls exist, before the window shows
    std::function<void(TControlId sender)> Click; // after the control has done its own part
};

class TMainWindow final : public TWindowBase, public IMainView, public IUiDispatcher {
public:
    explicit TMainWindow(const TButtonFamilyList& families);
    ~TMainWindow() override;

    // Creates the window and its controls (hidden), runs events.Create, then centres the
    // window on its monitor's work area and shows it. An error that escapes Create is
    // shown in a message box and the window opens as far as it was set up.
    void Open(TMainWindowEvents events, int showCommand);

    // The dialog keys (Tab, Space, Enter, arrows) for a message of the loop; true when
    // the message was handled.
    [[nodiscard]] bool HandleDialogKeys(MSG& message);

    // IMainView
    [[nodiscard]] std::u16string GetCaption(TControlId id) const override;
    void SetCaption(TControlId id, const std::u16string& caption) override;
    [[nodiscard]] bool IsChecked(TControlId id) const override;
    void SetChecked(TControlId id, bool checked) override;
    void SetEnabled(TControlId id, bool enabled) override;
    void SetVisible(TControlId id, bool visible) override;
    void SetPressed(TControlId id, bool pressed) override;
    void SetIndicatorActive(bool active) override;
    void ShowCard(int index) override;
    void SetApplicationTitle(const std::u16string& title) override;
    void ApplyTheme() override;
    void FitTitleFont() override;
    void UseDesktopFont() override;
    void ShowErrorMessage(const std::u16string& text, const std::u16string& caption) override;
    void OpenAddress(const std::u16string& address) override;
    void Close() override;

    // IUiDispatcher: runs the call on the window's thread and waits for it. When the
    // window is already gone the call is dropped (the program is ending).
    void InvokeSynchronously(const std::function<void()>& call) override;

    [[nodiscard]] int Dpi() const noexcept { return FDpi; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void CreateControls();
    void CreateControl(const TControlSpec& spec);
    [[nodiscard]] RECT PlaceOf(const TControlSpec& spec) const;
    [[nodiscard]] HWND ControlHandle(TControlId id) const;
    void SetClientSize(int left, int top); // client 498 x 426 at 96 DPI, scaled
    void SetIcons();
    [[nodiscard]] bool ChooseTitleFace(const std::u16string& caption); // true: the face changed
    void CreateFonts();
    void ApplyFonts();
    void Relayout();
    void DpiChanged(int dpi, const RECT& suggested);
    void CentreOnWorkArea();
    void ControlCommand(int controlId, int code);
    void RunGuarded(const std::function<void()>& step);
    void ReportError(const char* what);
    void KeepFocusVisible();

    const TButtonFamilyList& FFamilies;
    TMainWindowEvents FEvents;
    int FDpi = 96;
    std::map<TControlId, HWND> FHandles;
    std::vector<std::unique_ptr<TWindowBase>> FOwned;
    std::map<TControlId, TStyledButtonWindow*> FButtons;
    std::vector<TPanelWindow*> FPanels;
    TRichLabelWindow* FRichLabel = nullptr;
    TActivityIndicatorWindow* FIndicator = nullptr;
    TLogoWindow* FLogo = nullptr;

    bool FDesktopFont = false;       // UseDesktopFont ran: icon-title font instead of the designed one
    std::optional<int> FTitlePoints; // FitTitleFont shrank the title to this size
    TUniqueFont FFont;               // every control but the title
    TUniqueFont FTitleFont;
    std::wstring FTitleFace; // Tahoma, or the desktop face for scripts Tahoma lacks
    HWND FLastFocus = nullptr;
    bool FFocusCues = false; // the keyboard was used: focus rectangles shown
    std::u16string FApplicationTitle;
};

} // namespace zx
