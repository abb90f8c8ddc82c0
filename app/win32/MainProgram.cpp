// The main program: one copy per session, the user's language before any window, then
// the window TFrmZephyrix and its message loop until it closes.
#include "app/win32/MainProgram.h"

#include <windows.h>

#include <memory>

#include "app/MainForm.h"
#include "app/MainServices.h"
#include "app/win32/MainUpdateCheck.h"
#include "app/win32/MainWindow.h"
#include "kit/MoravelButtonStyles.h"
#include "kit/Translation.h"
#include "platform/ui/ButtonStyles.h"
#include "platform/win32/AdapterSwitch.h"
#include "platform/win32/AppVersion.h"
#include "platform/win32/BackupFolder.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Handles.h"
#include "platform/win32/InternetProbe.h"
#include "platform/win32/LocalClock.h"
#include "platform/win32/ResourceData.h"
#include "platform/win32/UserLanguage.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WmiAdapterSource.h"
#include "platform/win32/ui/GdiPlus.h"

namespace {

constexpr wchar_t kInstanceMutex[] = L"ZephyrixMutex";

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

namespace zx {

void RunMainProgram(const TMainProgramAddresses& addresses, int show, const TMainProgramParts& parts) {
    // Before any library is loaded by name: this program runs elevated.
    SecureDllSearchPath();

    // Held, and owned, until the process ends. Created in one step, so that two copies
    // started at the same instant cannot both pass: the second finds it existing (or, made
    // by a copy with other rights, not open to it) and ends at once, silently.
    const TUniqueHandle instance(::CreateMutexW(nullptr, TRUE, kInstanceMutex));
    if (const DWORD error = ::GetLastError(); error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED)
        ::ExitProcess(0);

    const TTranslationScope translation;
    const TComScope com; // the UI thread's apartment
    const TGdiplusSession gdiplus;
    // Style families are registered here, before any window exists; buttons of a family
    // that is not registered draw with the plain one.
    TButtonFamilyList families;
    families.Register(std::make_shared<TMoravelButtonStyles>());

    TWin32Registry registry;
    TWmiAdapterSource wmiAdapters;
    TConnectionManagerSwitch connectionManager;
    THttpInternetProbe probe(addresses.ProbeUrl, parts.ProbeTimeouts);
    TThreadSleeper sleeper;
    TBackupFolder backups;
    TSystemLocalClock clock;

    TMainWindow window(families);
    // An error escaping a background job is carried to the window's thread and shown
    // there, instead of ending the process without a word.
    TDetachedThreadRunner runner([&window](std::exception_ptr error) {
        window.InvokeSynchronously([error] { std::rethrow_exception(error); });
    });
    const std::u16string appVersion = GetAppVersion(u"%d.%d.%d.%d");
    TMainUpdateCheck updates(
        registry, clock, runner, window, [&window] { return window.Handle(); }, appVersion, parts.UpdateTimeouts);
    const TMainServices services{
        .Registry = registry,
        .Adapters = parts.Adapters ? *parts.Adapters : wmiAdapters,
        .AdapterSwitch = parts.AdapterSwitch ? *parts.AdapterSwitch : connectionManager,
        .InternetProbe = probe,
        .Runner = runner,
        .UiDispatcher = window,
        .Sleeper = sleeper,
        .Backups = backups,
        .Clock = clock,
        .AppVersion = appVersion,
        .RandomIndex = ProcessRandomIndex,
        .ShortLinkHost = addresses.ShortLinkHost,
        .UpdateServiceURL = addresses.UpdateServiceUrl,
        .CheckUpdate = [&updates](const std::u16string& url, TUpdateCallback done, int offset) {
            updates.CheckUpdate(url, std::move(done), offset);
        }};
    TFrmZephyrix form(window, services);
    window.Open({[&] { form.FormCreate(); }, [&](TControlId sender) { form.ControlClicked(sender); }}, show);
    const int exitCode = RunMessageLoop(window);
    updates.ProgramEnding();
    // A background job (a connectivity wait, an update check) may still run and use the
    // objects above. End the process here, while they are all intact, instead of
    // destroying them under a running thread; the system closes the mutex and the rest.
    ::ExitProcess(static_cast<UINT>(exitCode));
}

} // namespace zx
