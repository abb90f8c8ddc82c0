#include "ScreenReader.h"

#include <oleacc.h>

#include "platform/win32/ComPtr.h"
#include "platform/win32/ui/AccessibleObject.h"

namespace zx::ui {

namespace {

TComPtr<IAccessible> ClientObject(HWND control) {
    TComPtr<IAccessible> object;
    if (FAILED(
            ::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible, object.put_void())))
        object.reset();
    return object;
}

std::wstring Text(BSTR text) {
    return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
}

TWinEventRecorder* gRecorder = nullptr; // the one recording; win events come to this thread

} // namespace

TAccessibleRead ReadAccessible(HWND control) {
    TComScope com;
    TAccessibleRead read;
    TComPtr<IAccessible> object;
    read.Result =
        ::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible, object.put_void());
    if (FAILED(read.Result)) return read;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    TVariant role, state;
    if (SUCCEEDED(object->get_accRole(self, role.put())) && role.get().vt == VT_I4) read.Role = role.get().lVal;
    if (SUCCEEDED(object->get_accState(self, state.put())) && state.get().vt == VT_I4) read.State = state.get().lVal;
    TUniqueBstr name, action;
    if (SUCCEEDED(object->get_accName(self, name.put()))) read.Name = Text(name.get());
    if (SUCCEEDED(object->get_accDefaultAction(self, action.put()))) read.DefaultAction = Text(action.get());
    return read;
}

HRESULT DoDefaultAction(HWND control) {
    TComScope com;
    const TComPtr<IAccessible> object = ClientObject(control);
    if (!object) return E_FAIL;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return object->accDoDefaultAction(self);
}

std::vector<HWND> AccessibleChildWindows(HWND control) {
    TComScope com;
    std::vector<HWND> windows;
    const TComPtr<IAccessible> object = ClientObject(control);
    long count = 0;
    if (!object || FAILED(object->get_accChildCount(&count)) || count <= 0) return windows;
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long obtained = 0;
    if (FAILED(::AccessibleChildren(object.get(), 0, count, children.data(), &obtained))) return windows;
    for (long i = 0; i < obtained; ++i) {
        VARIANT& child = children[static_cast<std::size_t>(i)];
        if (child.vt == VT_DISPATCH && child.pdispVal) {
            HWND window = nullptr;
            TComPtr<IAccessible> accessible;
            if (SUCCEEDED(child.pdispVal->QueryInterface(kIidAccessible, accessible.put_void())) &&
                SUCCEEDED(::WindowFromAccessibleObject(accessible.get(), &window)))
                windows.push_back(window);
        }
        ::VariantClear(&child);
    }
    return windows;
}

std::wstring RoleText(LONG role) {
    wchar_t text[128] = {};
    ::GetRoleTextW(static_cast<DWORD>(role), text, 128);
    return text;
}

TWinEventRecorder::TWinEventRecorder(DWORD processId) {
    gRecorder = this;
    FHook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr, Callback, processId, 0,
                              WINEVENT_OUTOFCONTEXT);
}

TWinEventRecorder::~TWinEventRecorder() {
    if (FHook) ::UnhookWinEvent(FHook);
    gRecorder = nullptr;
}

void CALLBACK TWinEventRecorder::Callback(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                                          DWORD) {
    if (gRecorder && object == OBJID_CLIENT && child == CHILDID_SELF) gRecorder->FSeen.push_back({event, window});
}

bool TWinEventRecorder::WaitFor(DWORD event, HWND window, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        for (const TSeen& seen : FSeen)
            if (seen.Event == event && seen.Window == window) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

HWND FocusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool PressKey(HWND window, WORD key) {
    const HWND focus = FocusedControl(window);
    if (!focus) return false;
    const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    ::PostMessageW(focus, WM_KEYDOWN, key, 1 | (static_cast<LPARAM>(scan) << 16));
    ::PostMessageW(focus, WM_KEYUP, key, 1 | (static_cast<LPARAM>(scan) << 16) | (1LL << 30) | (1LL << 31));
    return true;
}

} // namespace zx::ui
