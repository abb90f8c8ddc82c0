#include "UiDriver.h"

#include <stdexcept>
#include <vector>

namespace zx::ui {

namespace {

constexpr DWORD kPollMs = 10;
constexpr UINT kSendTimeoutMs = 5000;

struct TControlSearch {
    int Id;
    HWND Found;
};

BOOL CALLBACK VisitChild(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<TControlSearch*>(param);
    if (::GetDlgCtrlID(window) != search.Id) return TRUE;
    search.Found = window;
    return FALSE;
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(kPollMs);
    }
}

TProgram TProgram::Start(const std::wstring& path, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Wine now and then refuses a start with ERROR_INTERNAL_ERROR while the previous
    // program of the session is still being torn down; a moment later the same start
    // works. Any other refusal is the test's finding.
    for (int attempt = 1;; ++attempt) {
        if (::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &info))
            break;
        const DWORD error = ::GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 5)
            throw std::runtime_error("CreateProcessW failed with code " + std::to_string(error));
        ::Sleep(200);
    }
    ::CloseHandle(info.hThread);
    return TProgram(TUniqueHandle(info.hProcess), info.dwProcessId);
}

bool TProgram::HasExited() const {
    return !FProcess || ::WaitForSingleObject(FProcess.get(), 0) == WAIT_OBJECT_0;
}

std::optional<DWORD> TProgram::WaitForExit(DWORD timeoutMs) const {
    if (!FProcess || ::WaitForSingleObject(FProcess.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    if (!::GetExitCodeProcess(FProcess.get(), &code)) return std::nullopt;
    return code;
}

std::optional<DWORD> TProgram::Close(DWORD timeoutMs) {
    if (!FProcess) return std::nullopt;
    if (!HasExited()) {
        // Every top-level window of the process gets WM_CLOSE: a message box that is up
        // closes first, then the main window ends the program.
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        while (!HasExited() && ::GetTickCount64() < deadline) {
            if (HWND box = FindMessageBox(FId))
                ::PostMessageW(box, WM_CLOSE, 0, 0);
            else if (HWND main = FindTopWindow(FId, kMainWindowClass))
                ::PostMessageW(main, WM_CLOSE, 0, 0);
            ::WaitForSingleObject(FProcess.get(), 200);
        }
        if (!HasExited()) {
            ::TerminateProcess(FProcess.get(), kKilledExitCode);
            ::WaitForSingleObject(FProcess.get(), timeoutMs);
        }
    }
    std::optional<DWORD> code = WaitForExit(0);
    FProcess.reset();
    return code;
}

void TProgram::Kill() {
    if (!FProcess) return;
    if (!HasExited()) {
        ::TerminateProcess(FProcess.get(), kKilledExitCode);
        ::WaitForSingleObject(FProcess.get(), kWaitMs);
    }
    FProcess.reset();
}

HWND FindTopWindow(DWORD processId, const wchar_t* className) {
    // A search by class, not an enumeration of every top-level window: under Wine each
    // window looked at is a request to the one server process, which the program being
    // watched waits on too (the start-up bench polls this every millisecond).
    for (HWND window = ::FindWindowExW(nullptr, nullptr, className, nullptr); window;
         window = ::FindWindowExW(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if ((processId == 0 || owner == processId) && ::IsWindowVisible(window)) return window;
    }
    return nullptr;
}

HWND WaitForMainWindow(DWORD processId, DWORD timeoutMs) {
    HWND found = nullptr;
    // The option boxes are made just after the first frame: the window is complete once
    // the last of them exists.
    WaitUntil(
        [&] {
            found = FindTopWindow(processId, kMainWindowClass);
            return found && FindControl(found, TControlId::ChkSystemResponsiveness);
        },
        timeoutMs);
    return found;
}

HWND FindMessageBox(DWORD processId) {
    return FindTopWindow(processId, kMessageBoxClass);
}

HWND FindControl(HWND window, TControlId id) {
    TControlSearch search{static_cast<int>(id), nullptr};
    if (window) ::EnumChildWindows(window, VisitChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::wstring WindowText(HWND window) {
    if (!window) return {};
    const auto length = static_cast<size_t>(SendWithTimeout(window, WM_GETTEXTLENGTH));
    std::wstring text(length + 1, L'\0');
    const auto copied =
        static_cast<size_t>(SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

bool IsShown(HWND window) {
    return window && ::IsWindowVisible(window);
}

bool IsEnabled(HWND window) {
    return window && ::IsWindowEnabled(window);
}

bool IsChecked(HWND window) {
    return window && SendWithTimeout(window, BM_GETCHECK) == BST_CHECKED;
}

bool IsPressed(HWND window) {
    return window && (SendWithTimeout(window, BM_GETSTATE) & (BST_PUSHED | BST_CHECKED)) != 0;
}

void Click(HWND control) {
    if (control) SendWithTimeout(control, BM_CLICK);
}

void PostClick(HWND control) {
    if (control) ::PostMessageW(control, BM_CLICK, 0, 0);
}

std::wstring MessageBoxText(HWND box) {
    return WindowText(::GetDlgItem(box, kMessageBoxTextId));
}

void AnswerMessageBox(HWND box, int buttonId) {
    HWND button = ::GetDlgItem(box, buttonId);
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void ResetSettings() {
    const LSTATUS status = ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        throw std::runtime_error("RegDeleteTreeW failed with code " + std::to_string(status));
}

void WriteSetting(const wchar_t* name, DWORD value) {
    TUniqueRegKey key;
    LSTATUS status =
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS)
        status = ::RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("writing a setting failed with code " + std::to_string(status));
}

std::optional<DWORD> ReadSetting(const wchar_t* name) {
    TUniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

std::wstring UserLanguage() {
    wchar_t name[16] = L"";
    if (::GetLocaleInfoW(::GetUserDefaultLCID(), LOCALE_SISO639LANGNAME, name, 16) < 1) return L"en";
    return std::wstring(name).substr(0, 2);
}

} // namespace zx::ui
