// The adapter restart, its record, and the connectivity wait after it.
#include "engine/AdapterRestart.h"

#include "platform/common/InterfaceGuid.h"

namespace zx {

namespace {

constexpr std::uint32_t kRecordRights = kKeyQueryValue | kKeySetValue | kKeyWow64Key64;

} // namespace

bool TAdapterRestart::Restart(const std::u16string& guid, TWriteGate& gate) {
    const std::lock_guard serial(FSerial);
    // From here the program's end waits until the caller leaves the gate, after Connect.
    if (!gate.BeginHold()) return false;
    struct TEndHold {
        TWriteGate& Gate;
        ~TEndHold() { Gate.EndHold(); }
    } endHold{gate};
    // Written before the connection goes down and kept on disk: a kill or a power cut
    // between the two calls leaves the next start enough to bring it up again.
    WriteRecord(guid);
    // Either call may fail (no such connection, a platform refusing): the wait after
    // them still tells whether the Internet answers, which is what the caller shows.
    (void)FSwitch.SetAdapterEnabled(guid, false);
    (void)FSwitch.SetAdapterEnabled(guid, true);
    ClearRecord();
    return true;
}

void TAdapterRestart::HealInterruptedRestart() {
    const std::lock_guard serial(FSerial);
    std::optional<TRegValue> record;
    if (const auto key = FRegistry.OpenKey(kRootLocalMachine, std::u16string(kRestartRecordKey), kRecordRights))
        record = key->QueryValue(std::u16string(kRestartRecordValue));
    if (!record) return;
    const std::u16string guid = record->Type == kRegSz ? TextFromData(record->Data) : std::u16string();
    // Only a GUID of the exact form reaches the connection manager; anything else is
    // dropped. The heal only ever brings a connection up.
    if (IsInterfaceGuid(guid)) (void)FSwitch.SetAdapterEnabled(guid, true);
    ClearRecord();
}

void TAdapterRestart::WriteRecord(const std::u16string& guid) {
    // A record that cannot be written leaves the restart as it was before records
    // existed: it goes ahead.
    const auto key = FRegistry.CreateKey(kRootLocalMachine, std::u16string(kRestartRecordKey), kRecordRights);
    if (!key || key->SetString(std::u16string(kRestartRecordValue), guid) != kRegSuccess) return;
    key->Flush();
}

void TAdapterRestart::ClearRecord() {
    const auto key = FRegistry.OpenKey(kRootLocalMachine, std::u16string(kRestartRecordKey), kRecordRights);
    if (!key) return;
    // Not forced to disk: a clearing lost to a power cut only makes the next start bring
    // up a connection that is up already.
    (void)key->DeleteValue(std::u16string(kRestartRecordValue));
}

bool WaitForInternet(IInternetProbe& probe, ISleeper& sleeper, int probes, std::chrono::milliseconds pause) {
    for (int attempt = 0; attempt < probes; ++attempt) {
        if (probe.IsInternetReachable()) return true;
        sleeper.Sleep(pause);
    }
    return false;
}

} // namespace zx
