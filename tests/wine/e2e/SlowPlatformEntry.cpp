// A test copy of the main program whose platform is slow where the real one can be: the
// adapter search waits until a test releases it (the management service's first query of
// a session can take long), each connection switch blocks for three seconds (the
// connection manager can), and a backup waits two seconds before it is written (a slow
// disk). Its addresses are the loopback ones of the other test copy.
#include <windows.h>

#include "tests/wine/WineOwnerJudge.h"
#include "app/win32/MainProgram.h"
#include "engine/win32/BackupFolder.h"
#include "platform/win32/AdapterSwitch.h"
#include "platform/win32/Handles.h"
#include "app/win32/WmiAdapterSource.h"
#include "tests/wine/e2e/SlowPlatform.h"

namespace {

class TReleasedAdapterSource final : public zx::IActiveAdapterSource {
public:
    bool FindActiveAdapter(std::u16string& name, std::u16string& guid, std::u16string& ip) override {
        // Whoever comes first, this copy or the test, creates the event; both use it.
        const zx::TUniqueHandle released(::CreateEventW(nullptr, TRUE, FALSE, zx::test::kReleaseSearchEvent));
        if (released) ::WaitForSingleObject(released.get(), zx::test::kSearchHoldCapMs);
        return FReal.FindActiveAdapter(name, guid, ip);
    }

private:
    zx::TWmiAdapterSource FReal;
};

class TBlockingSwitch final : public zx::IAdapterSwitch {
public:
    bool SetAdapterEnabled(const std::u16string& guid, bool enable) override {
        ::Sleep(zx::test::kSwitchBlockMs);
        return FReal.SetAdapterEnabled(guid, enable);
    }

private:
    zx::TConnectionManagerSwitch FReal;
};

class TSlowBackupStore final : public zx::ITweakBackupStore {
public:
    bool HasBackup(const std::u16string& adapterGuid) override { return FReal.HasBackup(adapterGuid); }
    bool Save(const std::u16string& fileName, const std::vector<std::uint8_t>& bytes) override {
        const zx::TUniqueHandle entered(::CreateEventW(nullptr, TRUE, FALSE, zx::test::kBackupEnteredEvent));
        if (entered) ::SetEvent(entered.get());
        ::Sleep(zx::test::kBackupBlockMs);
        return FReal.Save(fileName, bytes);
    }

private:
    zx::TBackupFolder FReal{zx::test::IsWineReportedOwner};
};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    TReleasedAdapterSource adapters;
    TBlockingSwitch adapterSwitch;
    TSlowBackupStore backups;
    zx::RunMainProgram({.UpdateServiceURL = ZX_LOOPBACK_UPDATE_URL,
                        .ShortLinkHost = ZX_LOOPBACK_SHORT_LINK_HOST,
                        .ProbeURL = ZX_LOOPBACK_PROBE_URL,
                        .UpdateTransport = zx::TTransportRule::trPlainHttpAllowed},
                       show, {.Adapters = &adapters, .AdapterSwitch = &adapterSwitch, .Backups = &backups});
}
