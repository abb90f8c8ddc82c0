// What the main window's behaviour needs besides the window itself: the registry, the
// active adapter, the network switch and probe, threads and time, the version text, a
// random source, the addresses of the maker's pages and update service, and the update
// check.
#pragma once

#include <functional>
#include <string>

#include "engine/TweakBackup.h"
#include "kit/ClientId.h"
#include "kit/UpdateCheck.h"
#include "platform/BackgroundWork.h"
#include "platform/Network.h"
#include "platform/Registry.h"

namespace zx {

// A uniform choice in [0, count), from one generator seeded once per process.
int ProcessRandomIndex(int count);

struct TMainServices {
    IRegistry& Registry; // per-user settings and the machine-wide tweaks
    IActiveAdapterSource& Adapters;
    IAdapterSwitch& AdapterSwitch;
    IInternetProbe& InternetProbe;
    IBackgroundRunner& Runner;
    IUiDispatcher& UiDispatcher;
    ISleeper& Sleeper;
    ITweakBackupStore& Backups; // the copy of the values before Run first tunes an adapter
    TWriteGate& WriteGate;      // Run's and Stop's writes, which the program's end waits for
    ILocalClock& Clock;
    std::u16string AppVersion; // "%d.%d.%d.%d" of the program file's version, or "0.0.0.0"
    std::function<int(int count)> RandomIndex = ProcessRandomIndex;
    std::u16string ShortLinkHost;    // the maker's short-link host, no trailing "/"
    std::u16string UpdateServiceURL; // the update service, ending in "/api.init.php"
    // The last start-up step: CheckUpdate(UpdateServiceURL, done, dialog offset) returns at
    // once; `done` is called later on the UI thread, with true when the user accepted a
    // newer release (the window then closes). Empty: no update check.
    std::function<void(const std::u16string& serviceURL, TUpdateCallback done, int dialogOffset)> CheckUpdate;
};

} // namespace zx
