// Restarting the network connection so that new values take effect, as one step that the
// program's end waits for and that a later start completes when it was cut short; then
// waiting until the Internet answers again.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/BackgroundWork.h"
#include "platform/Network.h"
#include "platform/Registry.h"

namespace zx {

// Where a restart under way names the connection it has taken down: a REG_SZ below
// HKEY_LOCAL_MACHINE (64-bit view), which only administrators can write, so that no
// program of the user can make the elevated program act on a connection of its choice.
inline constexpr std::u16string_view kRestartRecordKey = u"SOFTWARE\\Zephyrix";
inline constexpr std::u16string_view kRestartRecordValue = u"RestartingAdapter";

// The adapter restart of Run and Stop, and the repair of one cut short. Restart and
// HealInterruptedRestart never overlap: each waits for the other to end.
class TAdapterRestart {
public:
    TAdapterRestart(IAdapterSwitch& adapterSwitch, IRegistry& registry) noexcept
        : FSwitch(adapterSwitch), FRegistry(registry) {}

    // Called inside `gate`. Unless the program's end has stopped waiting (false: nothing
    // is switched), records `guid`, takes the connection down and brings it up again,
    // then clears the record; the end waits meanwhile, up to its hold bound. Either
    // switch call may fail: the record is cleared all the same once the second has
    // returned. Never throws for a refused registry write.
    bool Restart(const std::u16string& guid, TWriteGate& gate);

    // At start-up: a record left behind names a connection this program took down and
    // never brought up (the program was killed, or the machine lost power, in between).
    // That connection is brought up, then the record is cleared; a record that is no
    // interface GUID (see IsInterfaceGuid) is cleared unused. Never takes anything down.
    void HealInterruptedRestart();

private:
    void WriteRecord(const std::u16string& guid);
    void ClearRecord();

    IAdapterSwitch& FSwitch;
    IRegistry& FRegistry;
    std::mutex FSerial;
};

// Probes up to `probes` times, sleeping `pause` after each probe that fails (the last
// one included). True when a probe answered. Blocks for as long as the wait lasts, so it
// belongs on a background thread; an error thrown by the probe is passed on.
[[nodiscard]] bool WaitForInternet(IInternetProbe& probe, ISleeper& sleeper, int probes,
                                   std::chrono::milliseconds pause);

} // namespace zx
