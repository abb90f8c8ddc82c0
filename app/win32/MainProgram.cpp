// The main program: one copy per session, the user's language before any window, then
// the window TFrmZephyrix and its message loop until it closes.
#include "app/win32/MainProgram.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "app/MainForm.h"
#include "app/MainServices.h"
#include "app/win32/AppVersionText.h"
#include "app/win32/MainUpdateCheck.h"
#include "app/win32/MainWindow.h"
#include "kit/MoravelButtonStyles.h"
#include "kit/Translation.h"
#include "platform/ui/ButtonStyles.h"
#include "platform/win32/AdapterSwitch.h"
#include "engine/win32/BackupFolder.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Handles.h"
#include "platform/win32/InternetProbe.h"
#include "platform/win32/LocalClock.h"
#include "platform/win32/ResourceData.h"
#include "platform/win32/StartupMark.h"
#include "platform/win32/UserLanguage.h"
#include "platform/win32/Win32Registry.h"
#include "app/win32/WmiAdapterSource.h"

namespace {

constexpr wchar_t kInstanceMutex[] = L"ZephyrixMutex";
// How long the program's end waits for Run's or Stop's writes still under way, and, once
// their restart has taken the connection down, for it to come up again: the connection
// manager answers on its own, within seconds, so that bound is only there against one
// that never does (the next start then brings the connection up).
constexpr std::chrono::seconds kWriteGrace{5};
constexpr std::chrono::seconds kRestartGrace{60};

// Ends the translation at program end, on every path.
struct TTranslationScope {
    TTranslationScope() { zx::StartTranslation(zx::LoadResourceData(u"translate"), zx::GetUserLanguage()); }
    ~TTranslationScope() { zx::StopTranslation(); }
    TTranslationScope(const TTranslationScope&) = delete;
    TTranslationScope& operator=(const TTranslationScope&) = delete;
};

// `firstFrameComplete` runs once, when every control has drawn its first frame.
int RunMessageLoop(zx::TMainWindow& window, const std::function<void()>& firstFrameComplete) {
    bool firstFrameDone = false;
    for (;;) {
        // Paint messages stay in the queue until painted: an empty queue means that every
        // control has drawn its first frame. Asked before every wait, the first included,
        // so that the moment is never missed while the loop sleeps.
        MSG next;
        if (!firstFrameDone && !::PeekMessageW(&next, nullptr, 0, 0, PM_NOREMOVE)) {
            firstFrameDone = true;
            zx::StartupMark(L"zx:first frame complete");
            firstFrameComplete();
        }
        MSG message;
        if (::GetMessageW(&message, nullptr, 0, 0) <= 0) break;
        // The dialog keys' handling dispatches every message of the window itself.
        if (!window.HandleDialogKeys(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return 0;
}

} // namespace

namespace zx {

void RunMainProgram(const TMainProgramAddresses& addresses, int show, const TMainProgramParts& parts) {
    StartupMark(L"zx:entry");
    // Before any library is loaded by name: this program runs elevated.
    SecureDllSearchPath();

    // Held, and owned, until the process ends. Created in one step, so that two copies
    // started at the same instant cannot both pass: the second finds it existing (or, made
    // by a copy with other rights, not open to it) and ends at once, silently.
    const TUniqueHandle instance(::CreateMutexW(nullptr, TRUE, kInstanceMutex));
    if (const DWORD error = ::GetLastError(); error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED)
        ::ExitProcess(0);

    StartupMark(L"zx:single instance");
    const TTranslationScope translation;
    StartupMark(L"zx:translation");
    // Style families are registered here, before any window exists; buttons of a family
    // that is not registered draw with the plain one.
    TButtonFamilyList families;
    families.Register(std::make_shared<TMoravelButtonStyles>());

    TWin32Registry registry;
    TWmiAdapterSource wmiAdapters;
    TConnectionManagerSwitch connectionManager;
    THttpInternetProbe probe(addresses.ProbeURL, parts.ProbeTimeouts);
    TThreadSleeper sleeper;
    TBackupFolder backups;
    TWriteGate writes;
    TSystemLocalClock clock;

    TMainWindow window(families);
    StartupMark(L"zx:class"); // registering it loads the display driver and the theme library
    // An error escaping a background job is carried to the window's thread and shown
    // there, instead of ending the process without a word.
    TDetachedThreadRunner threads([&window](const std::exception_ptr& error) {
        window.InvokeSynchronously([error] { std::rethrow_exception(error); });
    });
    // The slow work (the adapter search, the update check and the libraries they load)
    // starts once the window is on screen and drawn.
    TDeferredStartRunner runner(threads);
    const std::u16string appVersion = GetAppVersion(u"%d.%d.%d.%d");
    TMainUpdateCheck updates(
        registry, clock, runner, window, [&window] { return window.Handle(); }, appVersion, addresses.UpdateTransport,
        parts.UpdateTimeouts);
    const TMainServices services{
        .Registry = registry,
        .Adapters = parts.Adapters ? *parts.Adapters : wmiAdapters,
        .AdapterSwitch = parts.AdapterSwitch ? *parts.AdapterSwitch : connectionManager,
        .InternetProbe = probe,
        .Runner = runner,
        .UiDispatcher = window,
        .Sleeper = sleeper,
        .Backups = parts.Backups ? *parts.Backups : backups,
        .WriteGate = writes,
        .Clock = clock,
        .AppVersion = appVersion,
        .RandomIndex = ProcessRandomIndex,
        .ShortLinkHost = addresses.ShortLinkHost,
        .UpdateServiceURL = addresses.UpdateServiceURL,
        .CheckUpdate = [&updates](const std::u16string& url, TUpdateCallback done, int offset) {
            updates.CheckUpdate(url, std::move(done), offset);
        }};
    TFrmZephyrix form(window, services);
    StartupMark(L"zx:services");
    window.Open({[&] { form.FormCreate(); }, [&](TControlId sender) { form.ControlClicked(sender); },
                 [&] { form.FormActivate(); }},
                show);
    std::optional<TComScope> com; // the UI thread's apartment, for the shell and the dialogs
    const int exitCode = RunMessageLoop(window, [&] {
        // The UI thread enters its apartment before any job does: under Wine, a WMI
        // search whose thread entered COM before the UI thread did never returned.
        com.emplace();
        runner.StartHeldJobs();
        // Looked up now, in the background, so that Run does not load the shell's library
        // on this thread.
        runner.Run([&backups] { (void)backups.Folder(); });
    });
    updates.ProgramEnding();
    // Run's or Stop's writes under way end first (a backup half written, some values
    // changed and others not, would be worse than either), and so does the restart after
    // them: the program never ends with the connection down. The connectivity wait that
    // follows is abandoned.
    (void)writes.CloseAndWait(kWriteGrace, kRestartGrace);
    // A background job (a connectivity wait, an update check) may still run and use the
    // objects above. End the process here, while they are all intact, instead of
    // destroying them under a running thread; the system closes the mutex and the rest.
    ::ExitProcess(static_cast<UINT>(exitCode));
}

} // namespace zx
