// The adapter restart and the wait until the Internet answers, over fakes of the switch,
// the probe and the sleeper.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "engine/AdapterRestart.h"
#include "native/FakeNetworkPorts.h"

namespace zx {
namespace {

using namespace std::chrono_literals;

constexpr char16_t kGuid[] = u"{6A1B2C3D-0000-4000-8000-000000000001}";
constexpr int kProbes = 5;
constexpr std::chrono::milliseconds kPause = 250ms;

TEST(AdapterRestart, ProbesUntilTheInternetAnswersWithAPauseAfterEachFailure) {
    struct Case {
        const char* name;
        int succeedFrom; // the probe's first answering attempt; 0: never
        bool switchAccepts;
        bool answered;
        int probes;
        std::size_t pauses;
    };
    const Case cases[] = {
        {"answers at once", 1, true, true, 1, 0},
        {"answers on the third attempt", 3, true, true, 3, 2},
        {"answers on the last attempt", kProbes, true, true, kProbes, kProbes - 1},
        {"never answers", 0, true, false, kProbes, kProbes},
        {"would answer only after the limit", kProbes + 1, true, false, kProbes, kProbes},
        {"a failing switch still waits", 2, false, true, 2, 1},
        {"a failing switch, never answering", 0, false, false, kProbes, kProbes},
    };
    for (const Case& c : cases) {
        TFakeAdapterSwitch adapterSwitch;
        adapterSwitch.Result = c.switchAccepts;
        TFakeProbe probe;
        probe.SucceedFrom = c.succeedFrom;
        TFakeSleeper sleeper;
        std::vector<int> probesAtSwitch, probesAtSleep;
        adapterSwitch.OnCall = [&] { probesAtSwitch.push_back(probe.Calls); };
        sleeper.OnSleep = [&] { probesAtSleep.push_back(probe.Calls); };

        EXPECT_EQ(RestartAdapterAndWaitForInternet(adapterSwitch, probe, sleeper, kGuid, kProbes, kPause), c.answered)
            << c.name;

        const std::vector<std::pair<std::u16string, bool>> offThenOn{{kGuid, false}, {kGuid, true}};
        EXPECT_EQ(adapterSwitch.Calls, offThenOn) << c.name;
        EXPECT_EQ(probesAtSwitch, (std::vector<int>{0, 0})) << c.name << ": the restart comes before any probe";
        EXPECT_EQ(probe.Calls, c.probes) << c.name;
        EXPECT_EQ(sleeper.Sleeps, std::vector<std::chrono::milliseconds>(c.pauses, kPause)) << c.name;
        // Each pause follows its own failed probe: probe, pause, probe, pause, ...
        std::vector<int> afterEachProbe;
        for (int i = 1; i <= static_cast<int>(c.pauses); ++i) afterEachProbe.push_back(i);
        EXPECT_EQ(probesAtSleep, afterEachProbe) << c.name;
    }
}

TEST(AdapterRestart, AProbeErrorEndsTheWaitAfterTheRestart) {
    TFakeAdapterSwitch adapterSwitch;
    TFakeProbe probe;
    probe.Error = TPlatformError("WinHttpSendRequest", 12002);
    TFakeSleeper sleeper;

    EXPECT_THROW((void)RestartAdapterAndWaitForInternet(adapterSwitch, probe, sleeper, kGuid, kProbes, kPause),
                 TPlatformError);
    EXPECT_EQ(adapterSwitch.Calls.size(), 2u);
    EXPECT_EQ(probe.Calls, 1);
    EXPECT_TRUE(sleeper.Sleeps.empty());
}

} // namespace
} // namespace zx
