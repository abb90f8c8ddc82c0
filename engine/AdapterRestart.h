// Restarting the network connection so that new values take effect, then waiting until
// the Internet answers again.
#pragma once

#include <chrono>
#include <string>

#include "platform/BackgroundWork.h"
#include "platform/Network.h"

namespace zx {

// Takes the connection `guid` down and brings it up again, then probes up to `probes`
// times, sleeping `pause` after each probe that fails (the last one included). A failed
// switch call changes nothing: the wait runs all the same. True when a probe answered.
// Blocks for as long as the wait lasts, so it belongs on a background thread; an error
// thrown by the probe is passed on.
[[nodiscard]] bool RestartAdapterAndWaitForInternet(IAdapterSwitch& adapterSwitch, IInternetProbe& probe,
                                                    ISleeper& sleeper, const std::u16string& guid, int probes,
                                                    std::chrono::milliseconds pause);

} // namespace zx
