// The adapter restart with its record, the repair of a restart cut short, and the wait
// until the Internet answers, over fakes of the switch, the probe and the sleeper and an
// in-memory registry.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "engine/AdapterRestart.h"
#include "native/FakeNetworkPorts.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx {
namespace {

using namespace std::chrono_literals;

constexpr char16_t kGuid[] = u"{6A1B2C3D-0000-4000-8000-000000000001}";
constexpr int kProbes = 5;
constexpr std::chrono::milliseconds kPause = 250ms;

using TCalls = std::vector<std::pair<std::u16string, bool>>;

std::optional<TRegValue> Record(const TMemoryRegistry& registry) {
    return registry.Value(kRootLocalMachine, std::u16string(kRestartRecordKey), std::u16string(kRestartRecordValue));
}

TEST(AdapterRestart, RecordsTheConnectionBeforeItGoesDownAndClearsTheRecordOnceItIsUp) {
    for (const bool switchAccepts : {true, false}) {
        TMemoryRegistry registry;
        TFakeAdapterSwitch adapterSwitch;
        adapterSwitch.Result = switchAccepts;
        std::vector<std::optional<TRegValue>> recordAtSwitch;
        adapterSwitch.OnCall = [&] { recordAtSwitch.push_back(Record(registry)); };
        TWriteGate gate;
        TAdapterRestart restart(adapterSwitch, registry);

        ASSERT_TRUE(gate.Enter());
        EXPECT_TRUE(restart.Restart(kGuid, gate));
        gate.Leave();

        EXPECT_EQ(adapterSwitch.Calls, (TCalls{{kGuid, false}, {kGuid, true}})) << switchAccepts;
        EXPECT_EQ(recordAtSwitch, (std::vector<std::optional<TRegValue>>(2, StringValue(kGuid)))) << switchAccepts;
        EXPECT_EQ(Record(registry), std::nullopt) << "cleared once up, whatever the calls answered";
        for (const TRegOperation& op : registry.Journal()) EXPECT_EQ(op.Root, kRootLocalMachine);
    }
}

// The record lives where only administrators can write; when even that fails (no
// rights), the restart goes ahead as it did before records existed.
TEST(AdapterRestart, AnUnwritableRecordStillRestarts) {
    TMemoryRegistry registry;
    registry.DenyAccess(kRootLocalMachine, std::u16string(kRestartRecordKey));
    TFakeAdapterSwitch adapterSwitch;
    TWriteGate gate;
    TAdapterRestart restart(adapterSwitch, registry);
    ASSERT_TRUE(gate.Enter());
    EXPECT_TRUE(restart.Restart(kGuid, gate));
    gate.Leave();
    EXPECT_EQ(adapterSwitch.Calls, (TCalls{{kGuid, false}, {kGuid, true}}));
}

// Once the program's end has stopped waiting, the process is about to end: nothing is
// taken down that could not come up again.
TEST(AdapterRestart, NothingIsSwitchedOnceTheEndHasStoppedWaiting) {
    TMemoryRegistry registry;
    TFakeAdapterSwitch adapterSwitch;
    TWriteGate gate;
    TAdapterRestart restart(adapterSwitch, registry);
    ASSERT_TRUE(gate.Enter());
    EXPECT_FALSE(gate.CloseAndWait(0ms, 0ms));
    EXPECT_FALSE(restart.Restart(kGuid, gate));
    gate.Leave();
    EXPECT_TRUE(adapterSwitch.Calls.empty());
    EXPECT_TRUE(registry.Journal().empty()) << "no record either";
}

TEST(AdapterRestart, AtStartARecordLeftBehindBringsItsConnectionUpAndIsCleared) {
    struct Case {
        const char* what;
        std::optional<TRegValue> record;
        bool adapterExists;
        TCalls calls;
    };
    const std::u16string lower = u"{6a1b2c3d-0000-4000-8000-00000000000f}";
    const Case cases[] = {
        {"no record", std::nullopt, true, {}},
        {"a record", StringValue(kGuid), true, {{kGuid, true}}},
        {"a record in lower case", StringValue(lower), true, {{lower, true}}},
        {"naming an adapter that no longer exists", StringValue(kGuid), false, {{kGuid, true}}},
        {"without braces", StringValue(u"6A1B2C3D-0000-4000-8000-000000000001"), true, {}},
        {"with a space", StringValue(std::u16string(kGuid) + u" "), true, {}},
        {"two GUIDs", StringValue(std::u16string(kGuid) + u";" + kGuid), true, {}},
        {"not hexadecimal", StringValue(u"{6A1B2C3D-0000-4000-8000-00000000000G}"), true, {}},
        {"empty", StringValue(u""), true, {}},
        {"of another type", TRegValue{kRegExpandSz, StringValue(kGuid).Data}, true, {}},
        {"a number", DwordValue(1), true, {}},
    };
    for (const Case& c : cases) {
        TMemoryRegistry registry;
        if (c.record) {
            auto key = registry.CreateKey(kRootLocalMachine, std::u16string(kRestartRecordKey), kKeyAllAccess);
            ASSERT_TRUE(key);
            ASSERT_EQ(key->SetValue(std::u16string(kRestartRecordValue), *c.record), kRegSuccess);
        }
        registry.ClearJournal();
        TFakeAdapterSwitch adapterSwitch;
        adapterSwitch.Result = c.adapterExists;
        TAdapterRestart restart(adapterSwitch, registry);

        restart.HealInterruptedRestart();

        EXPECT_EQ(adapterSwitch.Calls, c.calls) << c.what << ": only ever brought up, and only a GUID";
        EXPECT_EQ(Record(registry), std::nullopt) << c.what << ": cleared, used or not";
        if (!c.record) {
            EXPECT_TRUE(registry.Journal().empty()) << c.what << ": nothing created";
        }
    }
}

TEST(InternetWait, ProbesUntilTheInternetAnswersWithAPauseAfterEachFailure) {
    struct Case {
        const char* name;
        int succeedFrom; // the probe's first answering attempt; 0: never
        bool answered;
        int probes;
        std::size_t pauses;
    };
    const Case cases[] = {
        {"answers at once", 1, true, 1, 0},
        {"answers on the third attempt", 3, true, 3, 2},
        {"answers on the last attempt", kProbes, true, kProbes, kProbes - 1},
        {"never answers", 0, false, kProbes, kProbes},
        {"would answer only after the limit", kProbes + 1, false, kProbes, kProbes},
    };
    for (const Case& c : cases) {
        TFakeProbe probe;
        probe.SucceedFrom = c.succeedFrom;
        TFakeSleeper sleeper;
        std::vector<int> probesAtSleep;
        sleeper.OnSleep = [&] { probesAtSleep.push_back(probe.Calls); };

        EXPECT_EQ(WaitForInternet(probe, sleeper, kProbes, kPause), c.answered) << c.name;

        EXPECT_EQ(probe.Calls, c.probes) << c.name;
        EXPECT_EQ(sleeper.Sleeps, std::vector<std::chrono::milliseconds>(c.pauses, kPause)) << c.name;
        // Each pause follows its own failed probe: probe, pause, probe, pause, ...
        std::vector<int> afterEachProbe;
        for (int i = 1; i <= static_cast<int>(c.pauses); ++i) afterEachProbe.push_back(i);
        EXPECT_EQ(probesAtSleep, afterEachProbe) << c.name;
    }
}

TEST(InternetWait, AProbeErrorEndsTheWait) {
    TFakeProbe probe;
    probe.Error = TPlatformError("WinHttpSendRequest", 12002);
    TFakeSleeper sleeper;
    EXPECT_THROW((void)WaitForInternet(probe, sleeper, kProbes, kPause), TPlatformError);
    EXPECT_EQ(probe.Calls, 1);
    EXPECT_TRUE(sleeper.Sleeps.empty());
}

} // namespace
} // namespace zx
