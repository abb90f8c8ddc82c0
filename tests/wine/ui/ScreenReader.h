// What a screen reader sees of another program's windows: the accessible object a window
// gives for WM_GETOBJECT(OBJID_CLIENT) (role, name, state, default action), its children
// in the tree, its default action, and the win events the program raises. Every call
// enters COM for itself; the calls cross into the program's process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zx::ui {

struct TAccessibleRead {
    HRESULT Result = E_FAIL; // of AccessibleObjectFromWindow; the fields below only when it succeeded
    LONG Role = 0;
    std::wstring Name;
    LONG State = 0;
    std::wstring DefaultAction;
};

// Role numbers and state bits as MSAA defines them, for the tests' tables.
inline constexpr LONG kRolePageTabList = 60, kRolePageTab = 37, kRolePushButton = 43, kRoleStaticText = 41,
                      kRoleLink = 30, kRoleGrouping = 20, kRoleAnimation = 54;

TAccessibleRead ReadAccessible(HWND control);

// accDoDefaultAction on the control's object.
HRESULT DoDefaultAction(HWND control);

// The windows behind the children of the control's object, in the order it lists them.
std::vector<HWND> AccessibleChildWindows(HWND control);

// The role as a reader would say it (for messages), e.g. "push button".
std::wstring RoleText(LONG role);

// Records the win events (focus, state change, name change) of one process while it lives.
// Events arrive as messages: Wait pumps this thread's queue.
class TWinEventRecorder {
public:
    explicit TWinEventRecorder(DWORD processId);
    ~TWinEventRecorder();
    TWinEventRecorder(const TWinEventRecorder&) = delete;
    TWinEventRecorder& operator=(const TWinEventRecorder&) = delete;

    // Waits until the event was raised for the window's client object since the recorder
    // started (or since the last Clear); false when the time ran out first.
    bool WaitFor(DWORD event, HWND window, DWORD timeoutMs = 5000);
    void Clear() { FSeen.clear(); }

private:
    struct TSeen {
        DWORD Event;
        HWND Window;
    };
    static void CALLBACK Callback(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD);
    HWINEVENTHOOK FHook = nullptr;
    std::vector<TSeen> FSeen;
};

// Posts a key press (down and up) to the control that has the keyboard focus in the
// window's thread, as the keyboard would deliver it; false when nothing has the focus.
bool PressKey(HWND window, WORD key);

// The control that has the keyboard focus in the window's thread; null when none.
HWND FocusedControl(HWND window);

} // namespace zx::ui
