// Entry of the main program: one copy per session, the user's language before any
// window, then the window TFrmZephyrix and its message loop until it closes.
#include <windows.h>

#include "app/MainForm.h"
#include "app/MainServices.h"
#include "app/win32/MainWindow.h"
#include "engine/Network.h"
#include "kit/Translation.h"
#include "platform/ui/ButtonStyles.h"
#include "platform/win32/AdapterSwitch.h"
#include "platform/win32/AppVersion.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Handles.h"
#include "platform/win32/InternetProbe.h"
#include "platform/win32/ResourceData.h"
#include "platform/win32/UserLanguage.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WmiNetworkInventory.h"
#include "platform/win32/ui/GdiPlus.h"

#include "BuildSettings.h"

namespace {

constexpr wchar_t kInstanceMutex[] = L"ZephyrixMutex";
constexpr DWORD kMutexAllAccess = 0x1F0001;

// The machine's active adapter, found through WMI and the socket layer.
class TWmiAdapterSource final : public zx::IActiveAdapterSource {
public:
    bool FindActiveAdapter(std::u16string& name, std::u16string& guid, std::u16string& ip) override {
        zx::TWmiNetworkInventory inventory;
        return zx::FindActiveAdapter(inventory, name, guid, ip);
    }
};

// Ends the translation at program end, on every path.
struct TTranslationScope {
    TTranslationScope() { zx::StartTranslation(zx::LoadResourceData(u"translate"), zx::GetUserLanguage()); }
    ~TTranslationScope() { zx::StopTranslation(); }
    TTranslationScope(const TTranslationScope&) = delete;
    TTranslationScope& operator=(const TTranslationScope&) = delete;
};

int RunMessageLoop(zx::TMainWindow& window) {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.HandleDialogKeys(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    // Before any library is loaded by name: this program runs elevated.
    zx::SecureDllSearchPath();

    // Another copy in this session: end at once, silently.
    if (zx::TUniqueHandle other(::OpenMutexW(kMutexAllAccess, FALSE, kInstanceMutex)); other) return 0;
    // Held, and owned, until the process ends.
    const zx::TUniqueHandle instance(::CreateMutexW(nullptr, TRUE, kInstanceMutex));

    const TTranslationScope translation;
    const zx::TComScope com; // the UI thread's apartment
    const zx::TGdiplusSession gdiplus;
    // Style families are registered here, before any window exists; buttons of a family
    // that is not registered draw with the plain one.
    zx::TButtonFamilyList families;

    zx::TWin32Registry registry;
    TWmiAdapterSource adapters;
    zx::TConnectionManagerSwitch adapterSwitch;
    zx::THttpInternetProbe probe(ZEPHYRIX_PROBE_URL);
    zx::TDetachedThreadRunner runner;
    zx::TThreadSleeper sleeper;

    zx::TMainWindow window(families);
    const zx::TMainServices services{.Registry = registry,
                                     .Adapters = adapters,
                                     .AdapterSwitch = adapterSwitch,
                                     .InternetProbe = probe,
                                     .Runner = runner,
                                     .UiDispatcher = window,
                                     .Sleeper = sleeper,
                                     .AppVersion = zx::GetAppVersion(u"%d.%d.%d.%d"),
                                     .RandomIndex = zx::ProcessRandomIndex,
                                     .ShortLinkHost = ZEPHYRIX_SHORTLINK_URL,
                                     .CheckUpdate = {}}; // the update check comes with its own change
    zx::TFrmZephyrix form(window, services);
    window.Open({[&] { form.FormCreate(); }, [&](zx::TControlId sender) { form.ControlClicked(sender); }}, show);
    const int exitCode = RunMessageLoop(window);
    // A background job (a connectivity wait, an update check) may still run and use the
    // objects above. End the process here, while they are all intact, instead of
    // destroying them under a running thread; the system closes the mutex and the rest.
    ::ExitProcess(static_cast<UINT>(exitCode));
}
