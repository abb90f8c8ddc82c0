#include "Shell.h"

#include <windows.h>
#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "ComPtr.h"
#include "Handles.h"
#include "WideText.h"
#include "ui/ModalLoop.h"

namespace zx {

void ShellOpen(const std::u16string& target) {
    ::ShellExecuteW(nullptr, L"open", Wide(target), nullptr, nullptr, SW_SHOWNORMAL);
}

bool TWin32WebAddressRoutes::IsElevated() {
    HANDLE raw = nullptr;
    // A token that cannot be read is taken for elevated: the cautious answer only ever
    // costs opening an address by hand.
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return true;
    const TUniqueHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size)) return true;
    return elevation.TokenIsElevated != 0;
}

bool TWin32WebAddressRoutes::OpenThroughDesktopShell(const std::u16string& address) {
    // The shell's windows as Explorer serves them to other processes: what Explorer then
    // starts runs with its token, the user's unelevated one. In process (CLSCTX_ALL) the
    // same calls would start the browser from here, elevated, so only the local server
    // will do. Where none serves it (Explorer not running, or ended) the caller shows the
    // address instead of opening it.
    const TComScope com;
    TComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                  windows.put_void())))
        return false;
    TVariant location, root;
    location.get().vt = VT_I4;
    location.get().lVal = CSIDL_DESKTOP;
    long desktopWindow = 0;
    TComPtr<IDispatch> desktop;
    // S_FALSE: no desktop window (a machine without Explorer's desktop).
    if (windows->FindWindowSW(&location.get(), &root.get(), SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                              desktop.put()) != S_OK ||
        !desktop)
        return false;
    TComPtr<IServiceProvider> services;
    TComPtr<IShellBrowser> browser;
    TComPtr<IShellView> view;
    TComPtr<IDispatch> background;
    TComPtr<IShellFolderViewDual> folderView;
    TComPtr<IDispatch> application;
    TComPtr<IShellDispatch2> shell;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.put_void())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.put_void())) ||
        FAILED(browser->QueryActiveShellView(view.put())) || !view ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.put_void())) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.put_void())) ||
        FAILED(folderView->get_Application(application.put())) || !application ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.put_void())))
        return false;
    const TUniqueBstr file(::SysAllocString(Wide(address)));
    const TUniqueBstr verb(::SysAllocString(L"open"));
    if (!file || !verb) return false;
    TVariant arguments, folder, operation, show;
    operation.get().vt = VT_BSTR;
    operation.get().bstrVal = verb.get(); // borrowed: the variant is passed by value, never cleared here
    show.get().vt = VT_I4;
    show.get().lVal = SW_SHOWNORMAL;
    const HRESULT opened = shell->ShellExecute(file.get(), arguments.get(), folder.get(), operation.get(), show.get());
    operation.get().vt = VT_EMPTY; // the BSTR belongs to `verb`
    return SUCCEEDED(opened);
}

void TWin32WebAddressRoutes::OpenDirectly(const std::u16string& address) {
    ShellOpen(address);
}

void TWin32WebAddressRoutes::ShowAddress(const std::u16string& address) {
    // A message box: keyboard and screen readers know it, and Ctrl+C copies its text.
    const std::u16string text = FBox.Text.empty() ? address : FBox.Text + u"\n\n" + address;
    (void)ShowModalMessageBox(FBox.Owner, Wide(text), Wide(FBox.Caption),
                              MB_ICONINFORMATION | MB_OK | MB_SETFOREGROUND);
}

TOpenRoute ShellOpenAsUser(const std::u16string& address, TAddressBox box) {
    TWin32WebAddressRoutes routes(std::move(box));
    return OpenWebAddress(routes, address);
}

} // namespace zx
