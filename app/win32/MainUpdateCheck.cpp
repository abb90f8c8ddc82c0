#include "app/win32/MainUpdateCheck.h"

#include "app/win32/UserBrowser.h"
#include "platform/win32/LocalClock.h"
#include "platform/win32/WindowText.h"

namespace zx {

namespace {

// How long the program's end waits for a hold request still under way.
constexpr std::chrono::seconds kHoldRequestGrace{5};

std::u16string CaptionOf(const std::function<HWND()>& window) {
    return window ? WindowText(window()) : std::u16string();
}

} // namespace

TMainUpdateCheck::TMainUpdateCheck(IRegistry& registry, ILocalClock& clock, IBackgroundRunner& runner,
                                   IUiDispatcher& ui, const std::function<HWND()>& mainWindow,
                                   std::u16string appVersion, TTransportRule transport, THttpTimeouts timeouts)
    : FHttp(transport, timeouts),
      FRandom(ClockSeed()),
      FDialog(mainWindow),
      FCheck(
          TUpdateCheckServices{.Http = FHttp,
                               .Runner = runner,
                               .UiDispatcher = ui,
                               .Terminating = FTerminating,
                               .Dialog = FDialog,
                               // Elevated: the browser gets the user's rights, not these.
                               .OpenAddress =
                                   [mainWindow](const std::u16string& address) {
                                       OpenInUsersBrowser(mainWindow ? mainWindow() : nullptr, address);
                                   },
                               .ClientId = [this, &registry, &clock] { return GetClientID(registry, clock, FRandom); },
                               .ApplicationTitle = [mainWindow] { return CaptionOf(mainWindow); },
                               .AppVersion = std::move(appVersion)}) {}

void TMainUpdateCheck::CheckUpdate(const std::u16string& serviceURL, TUpdateCallback done, int dialogOffset) {
    FCheck.CheckUpdate(serviceURL, std::move(done), dialogOffset);
}

void TMainUpdateCheck::ProgramEnding() {
    FTerminating.Set();
    (void)FCheck.WaitForHoldRequests(kHoldRequestGrace);
}

} // namespace zx
