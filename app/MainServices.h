// What the main window's behaviour needs besides the window itself: the registry, the
// active adapter, the network switch and probe, threads and time, the version text, a
// random source and the address of the maker's pages.
#pragma once

#include <functional>
#include <string>

#include "app/BackgroundWork.h"
#include "engine/TweakBackup.h"
#include "kit/ClientId.h"
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
    ILocalClock& Clock;
    std::u16string AppVersion; // GetAppVersion("%d.%d.%d.%d")
    std::function<int(int count)> RandomIndex = ProcessRandomIndex;
    std::u16string ShortLinkHost; // the maker's short-link host, no trailing "/"
    // The last start-up step. `done` is to be called on the UI thread with true when the
    // user accepted a newer release (the window then closes). Empty: no update check.
    std::function<void(std::function<void(bool accepted)> done)> CheckUpdate;
};

} // namespace zx
