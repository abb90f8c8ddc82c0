// The adapter restart and the connectivity wait after it.
#include "engine/AdapterRestart.h"

namespace zx {

bool RestartAdapterAndWaitForInternet(IAdapterSwitch& adapterSwitch, IInternetProbe& probe, ISleeper& sleeper,
                                      const std::u16string& guid, int probes, std::chrono::milliseconds pause) {
    // Either call may fail (no such connection, a platform refusing): the wait still
    // tells whether the Internet answers, which is what the caller shows.
    (void)adapterSwitch.SetAdapterEnabled(guid, false);
    (void)adapterSwitch.SetAdapterEnabled(guid, true);
    for (int attempt = 0; attempt < probes; ++attempt) {
        if (probe.IsInternetReachable()) return true;
        sleeper.Sleep(pause);
    }
    return false;
}

} // namespace zx
