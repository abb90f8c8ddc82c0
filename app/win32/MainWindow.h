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
//    BUTTON check boxes, ticked by the window's behaviour on a click; one Tab stop for
//    the five, the box that last had the focus, the arrow keys moving among them);
//  - WM_GETOBJECT(OBJID_CLIENT) on every control of ours but the check boxes: its own
//    accessible object (app/ControlAccessibility.h says how each kind reads);
//  - BM_CLICK (or WM_LBUTTONDOWN/UP) on a header button, the Run button, the logo or a
//    check box is a click, handled before the message returns;
//  - BM_GETSTATE on a header button or the Run button has BST_PUSHED | BST_CHECKED
//    exactly while it shows the pressed look.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/BackgroundWork.h"
#include "app/ControlTable.h"
#include "app/DeferredControls.h"
#include "app/MainView.h"
#include "app/win32/ControlFactory.h"
#include "app/win32/MainWindowFonts.h"
#include "platform/ui/ButtonStyles.h"
#include "platform/win32/ui/SystemContrast.h"
#include "platform/win32/ui/ThemeHelper.h"
#include "platform/win32/ui/TopLevelWindow.h"
#include "platform/win32/ui/UiThreadDispatcher.h"

namespace zx {

// What the window's behaviour does at creation and on a click.
struct TMainWindowEvents {
    std::function<void()> Create;                 // after the controls exist, before the window shows
    std::function<void(TControlId sender)> Click; // after the control has done its own part
    std::function<void()> Activate;               // the window became the active one
};

class TMainWindow final : public TTopLevelWindow, public IMainView, public IUiDispatcher {
public:
    explicit TMainWindow(const TButtonFamilyList& families);
    ~TMainWindow() override;

    // Creates the window and its controls (hidden), runs events.Create, then centres the
    // window on its monitor's work area and shows it. An error that escapes Create is
    // shown in a message box and the window opens as far as it was set up.
    void Open(TMainWindowEvents events, int showCommand);

    // IMainView
    [[nodiscard]] std::u16string GetCaption(TControlId id) const override;
    void SetCaption(TControlId id, const std::u16string& caption) override;
    [[nodiscard]] bool IsChecked(TControlId id) const override;
    void SetChecked(TControlId id, bool checked) override;
    void SetEnabled(TControlId id, bool enabled) override;
    void SetVisible(TControlId id, bool visible) override;
    void SetPressed(TControlId id, bool pressed) override;
    void SetIndicatorActive(bool active) override;
    void ShowCard(TCard card) override;
    void SetApplicationTitle(const std::u16string& title) override;
    void ApplyTheme() override;
    void FitLabelFont(TControlId label) override;
    void UseDesktopFont() override;
    void ShowErrorMessage(const std::u16string& text, const std::u16string& caption) override;
    void OpenAddress(const std::u16string& address) override;
    void Close() override;

    // IUiDispatcher: runs the call from the window thread's message loop and waits for
    // it. Posted, not sent: during a sent message the thread could make no outgoing COM
    // call (the shell, a dialog). An error escaping the call is shown like any other.
    // When the window is already gone the call is dropped (the program is ending).
    void InvokeSynchronously(const std::function<void()>& call) override;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FocusCuesShown() override;
    // The arrow keys on an option box move the focus to the next or previous box.
    [[nodiscard]] bool HandleOwnKeys(const MSG& message) override;
    // The option box that has the focus becomes the boxes' one Tab stop.
    void MakeOptionTabStop(TControlId box);

    void CreateControls();
    // The controls the first frame does not show (the option boxes on the configuration
    // card, the only users of the common-controls library), made once it is drawn; what
    // the behaviour sets on them before that is kept and applied then.
    void CreateDeferredControls();
    [[nodiscard]] RECT PlaceOf(const TControlEntry& entry) const;
    [[nodiscard]] HWND ControlHandle(TControlId id) const;
    // The font the control shows its text in: the style's for buttons, the title's own, or
    // the window's.
    [[nodiscard]] HFONT FontOf(TControlId id) const;
    void ApplyFonts();
    void Relayout();
    void DpiChanged(int dpi, const RECT& suggested);
    void ControlCommand(int controlId, int code);
    [[nodiscard]] LRESULT ControlColors(HDC dc, HWND control) const;

    TControlFactory FFactory;
    TMainWindowEvents FEvents;
    TControlWindows FControls;
    TMainWindowFonts FFonts;
    TSystemHighContrast FHighContrast;              // before the helper, which asks it until its end
    std::unique_ptr<TThemeHelper> FThemeHelper;     // from ApplyTheme on
    std::optional<TUiThreadDispatcher> FDispatcher; // on the window's thread, after the first frame
    TDeferredControls FDeferred;                    // controls not made yet
};

} // namespace zx
