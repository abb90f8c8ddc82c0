// Drives the real main program from another process in the same Wine session: starts it,
// finds its windows and controls, reads what the user sees, clicks, answers message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/ControlTable.h"
#include "platform/win32/Handles.h"

namespace zx::ui {

// Steps under Xvfb can take about 2 s; waits poll up to this long instead of sleeping.
inline constexpr DWORD kWaitMs = 5000;

inline constexpr wchar_t kMainWindowClass[] = L"TFrmZephyrix";
inline constexpr wchar_t kMessageBoxClass[] = L"#32770";
inline constexpr int kMessageBoxTextId = 0xFFFF;

// Polls the condition every few milliseconds; true as soon as it holds, false when the
// time runs out first.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs);

// A program started by the driver. Closing (or destroying) it ends the process: politely
// with WM_CLOSE first, by TerminateProcess when it does not end in time.
class TProgram {
public:
    // Starts Path with the given argument text, inheriting this process's environment
    // (and so its user locale). Throws std::runtime_error when the process cannot start.
    static TProgram Start(const std::wstring& path, const std::wstring& arguments = L"");

    TProgram(TProgram&&) noexcept = default;
    TProgram& operator=(TProgram&&) = delete; // would drop a running process unclosed
    ~TProgram() { Close(); }

    [[nodiscard]] DWORD Id() const noexcept { return FId; }
    [[nodiscard]] HANDLE Handle() const noexcept { return FProcess.get(); }
    [[nodiscard]] bool HasExited() const;

    // The exit code, or nothing when the process still runs after TimeoutMs.
    [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs = kWaitMs) const;

    // Ends the process and returns its exit code (nothing when it was already closed).
    // The code is the program's own when it obeyed WM_CLOSE, 0xDEAD when it had to be killed.
    std::optional<DWORD> Close(DWORD timeoutMs = kWaitMs);

    // Ends the process at once. Under Wine a window program takes about 2 s to end after
    // WM_CLOSE, so tests that do not check the ending itself use this.
    void Kill();

private:
    TProgram(TUniqueHandle process, DWORD id) noexcept : FProcess(std::move(process)), FId(id) {}
    TUniqueHandle FProcess;
    DWORD FId = 0;
};

inline constexpr DWORD kKilledExitCode = 0xDEAD;

// A visible top-level window of the given class owned by the process (any process when
// ProcessId is 0); null when there is none.
HWND FindTopWindow(DWORD processId, const wchar_t* className);

// Waits for the process's visible main window; null when it did not appear in time.
HWND WaitForMainWindow(DWORD processId, DWORD timeoutMs = kWaitMs);

// A message box (standard dialog) of the process that is up; null when there is none.
HWND FindMessageBox(DWORD processId);

// The descendant window whose control ID is the control's; null when there is none.
HWND FindControl(HWND window, TControlId id);

// What the user reads and sees.
std::wstring WindowText(HWND window);
bool IsShown(HWND window); // visible itself and all its parents
bool IsEnabled(HWND window);
bool IsChecked(HWND window); // BM_GETCHECK
bool IsPressed(HWND window); // BM_GETSTATE: pushed or checked look

// Clicks a control and returns once the click was handled. A click that may open a modal
// box must use PostClick instead: a sent message would only return when the box closes.
void Click(HWND control);
void PostClick(HWND control);

// The text of a message box, and a click on one of its buttons (IDOK, IDYES, IDNO, ...).
std::wstring MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

// The program's per-user settings below HKCU\Software\Zephyrix.
inline constexpr wchar_t kSettingsKey[] = L"Software\\Zephyrix";
void ResetSettings();                                // deletes the whole key
void WriteSetting(const wchar_t* name, DWORD value); // REG_DWORD
// The value when it exists as REG_DWORD; nothing when absent or of another type.
std::optional<DWORD> ReadSetting(const wchar_t* name);

// The user's language as the programs read it: the ISO 639 name of the default locale,
// cut to two letters.
std::wstring UserLanguage();

} // namespace zx::ui
