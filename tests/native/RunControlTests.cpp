#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "engine/TweakCatalogue.h"
#include "native/MainFormFixture.h"
#include "native/ShowText.h"

namespace zx {
namespace {

using enum TControlId;
using namespace std::chrono_literals;

const std::u16string kGuid = u"{6B29FC40-CA47-1067-B31D-00DD010662DA}";

constexpr TControlId kBoxes[] = {ChkTcpNoDelay, ChkTCPAckFrequency, ChkTcpDelAckTick, ChkNetworkThrottlingIndex,
                                 ChkSystemResponsiveness};

TRegOperationKind OperationOf(const TTweakAction& action) {
    return action.Kind == akWrite ? roSetValue : roDeleteValue;
}

class RunControlTest : public MainFormTest {
protected:
    // The window as it stands after start-up with an adapter and every box checked.
    void SetUp() override {
        FAdapters.Found = true;
        FAdapters.Name = u"Ethernet";
        FAdapters.GUID = kGuid;
        FAdapters.IP = u"192.168.0.7";
        FForm.FormCreate();
        FRunner.RunAll(); // the adapter search
        FDispatcher.Calls = 0;
        FRegistry.ClearJournal();
        FView.Events.clear();
    }

    void ExpectBusy(const std::string& when) {
        EXPECT_EQ(FForm.Status(), stBusy) << when;
        EXPECT_TRUE(FView.IndicatorActive) << when;
        EXPECT_FALSE(FView.Enabled[BtnStart]) << when;
        EXPECT_EQ(FView.Captions[BtnStart], u"") << when;
        for (const TControlId box : kBoxes) EXPECT_FALSE(FView.Enabled[box]) << when;
    }

    // (value name, operation) of every write below HKEY_LOCAL_MACHINE, in order.
    std::vector<std::pair<std::u16string, TRegOperationKind>> MachineChanges() const {
        std::vector<std::pair<std::u16string, TRegOperationKind>> changes;
        for (const auto& op : MachineWrites()) changes.emplace_back(op.Name, op.Kind);
        return changes;
    }
};

TEST_F(RunControlTest, RunAppliesRestartsTheAdapterWaitsAndThenShowsRunning) {
    // The backup, the values, the restart (down, then up) and the wait happen in the
    // background job, in that order, and the state stays busy until it ends.
    std::vector<std::size_t> machineWritesAtSwitch;
    std::vector<int> probesAtSwitch;
    FSwitch.OnCall = [&] {
        machineWritesAtSwitch.push_back(MachineWrites().size());
        probesAtSwitch.push_back(FProbe.Calls);
    };
    FProbe.SucceedFrom = 1;

    FForm.ControlClicked(BtnStart);

    ExpectBusy("while waiting");
    EXPECT_TRUE(FSwitch.Calls.empty()) << "the restart can block for seconds: not on the window's thread";
    EXPECT_TRUE(MachineWrites().empty()) << "the backup waits for the disk: not on the window's thread";
    EXPECT_TRUE(FBackups.Files.empty());
    ASSERT_EQ(FRunner.Jobs.size(), 1u);
    EXPECT_EQ(FProbe.Calls, 0) << "the probe runs in the background job only";
    EXPECT_EQ(Stored(u"status"), DwordValue(0)) << "the busy state is never stored";

    FRunner.RunAll();
    EXPECT_EQ(FSwitch.Calls, (std::vector<std::pair<std::u16string, bool>>{{kGuid, false}, {kGuid, true}}));
    EXPECT_EQ(machineWritesAtSwitch, (std::vector<std::size_t>(2, MachineWrites().size())));
    EXPECT_EQ(probesAtSwitch, (std::vector<int>{0, 0})) << "the restart comes before the wait";
    EXPECT_EQ(FProbe.Calls, 1);
    EXPECT_TRUE(FSleeper.Sleeps.empty());
    EXPECT_EQ(FDispatcher.Calls, 2) << "the wait's one hand-over, then that of the reading it starts";
    EXPECT_EQ(FForm.Status(), stRunning);
    EXPECT_EQ(FView.Captions[BtnStart], u"Running");
    EXPECT_TRUE(FView.Pressed[BtnStart]);
    EXPECT_TRUE(FView.Enabled[BtnStart]);
    EXPECT_FALSE(FView.IndicatorActive);
    for (const TControlId box : kBoxes) EXPECT_FALSE(FView.Enabled[box]);
    EXPECT_EQ(Stored(u"status"), DwordValue(1));

    // Every enabled value of the catalogue was written, under the adapter's interface key.
    std::vector<std::pair<std::u16string, TRegOperationKind>> expected;
    for (const TTweak& tweak : TweakCatalogue()) expected.emplace_back(tweak.ValueName, OperationOf(tweak.Run));
    EXPECT_EQ(MachineChanges(), expected);
    bool interfaceKey = false;
    for (const auto& op : MachineWrites()) interfaceKey |= op.Key.find(kGuid) != std::u16string::npos;
    EXPECT_TRUE(interfaceKey);
}

TEST_F(RunControlTest, TheWaitProbesUpToThreeHundredTimesWithAPauseAfterEachFailure) {
    struct Case {
        int succeedFrom; // 0: never
        int probes;
        std::size_t pauses;
    };
    const Case cases[] = {{0, 300, 300}, {3, 3, 2}, {1, 1, 0}, {300, 300, 299}, {301, 300, 300}};
    for (const auto& c : cases) {
        FForm.SetStatus(stIdle);
        FProbe = TFakeProbe{};
        FProbe.SucceedFrom = c.succeedFrom;
        FSleeper.Sleeps.clear();
        FDispatcher.Calls = 0;

        FForm.ControlClicked(BtnStart);
        ExpectBusy("before the wait, case " + std::to_string(c.succeedFrom));
        FRunner.RunAll();

        EXPECT_EQ(FProbe.Calls, c.probes) << c.succeedFrom;
        EXPECT_EQ(FSleeper.Sleeps, std::vector<std::chrono::milliseconds>(c.pauses, 1000ms)) << c.succeedFrom;
        EXPECT_EQ(FDispatcher.Calls, 2) << c.succeedFrom << ": the wait's, then the reading's";
        EXPECT_EQ(FForm.Status(), stRunning) << "the target is shown whether or not the Internet answered";
    }
}

TEST_F(RunControlTest, RunWithoutAnAdapterShowsTheTranslatedMessageAndStaysIdle) {
    SetCurrentLanguage(u"ja");
    TFakeMainView view;
    FAdapters.Found = false;
    TFrmZephyrix form(view, Services());
    form.FormCreate();
    FRunner.RunAll(); // the adapter search
    FRegistry.ClearJournal();
    view.Events.clear();

    form.ControlClicked(BtnStart);

    ASSERT_EQ(view.ErrorMessages.size(), 1u);
    EXPECT_EQ(view.ErrorMessages[0].first, u"アクティブなネットワークがありません。");
    EXPECT_EQ(view.ErrorMessages[0].second, u"Zephyrix");
    EXPECT_EQ(view.Events.front(), "ShowErrorMessage");
    EXPECT_EQ(form.Status(), stIdle);
    EXPECT_EQ(view.Captions[BtnStart], u"実行する");
    for (const TControlId box : kBoxes) EXPECT_TRUE(view.Enabled[box]);
    EXPECT_TRUE(MachineWrites().empty());
    EXPECT_TRUE(FSwitch.Calls.empty());
    EXPECT_TRUE(FRunner.Jobs.empty());
}

TEST_F(RunControlTest, RunWithEveryBoxClearedWritesNothingButStillRestartsAndWaits) {
    for (const TControlId box : kBoxes) {
        FView.Checked[box] = false;
        FForm.ControlClicked(box);
    }
    FRegistry.ClearJournal();
    FProbe.SucceedFrom = 2;

    FForm.ControlClicked(BtnStart);
    EXPECT_TRUE(MachineWrites().empty());
    FRunner.RunAll();
    EXPECT_EQ(FSwitch.Calls, (std::vector<std::pair<std::u16string, bool>>{{kGuid, false}, {kGuid, true}}));
    EXPECT_EQ(FProbe.Calls, 2);
    EXPECT_EQ(FForm.Status(), stRunning);
    EXPECT_EQ(FView.Captions[BtnStart], u"Running");
}

TEST_F(RunControlTest, SomeBoxesClearedWriteOnlyTheirValues) {
    FForm.ControlClicked(ChkTcpNoDelay);
    FForm.ControlClicked(ChkSystemResponsiveness);
    FRegistry.ClearJournal();
    FForm.ControlClicked(BtnStart);
    std::vector<std::pair<std::u16string, TRegOperationKind>> expected;
    for (const TTweak& tweak : TweakCatalogue()) {
        TTweakOptions options{.AckFrequency = true,
                              .DelAckTicks = true,
                              .NoDelay = false,
                              .ThrottlingIndex = true,
                              .Responsiveness = false};
        if (options.*tweak.Option) expected.emplace_back(tweak.ValueName, OperationOf(tweak.Run));
    }
    EXPECT_FALSE(expected.empty());
    FRunner.RunAll();
    EXPECT_EQ(MachineChanges(), expected);
}

TEST_F(RunControlTest, StopRevertsEveryValueWhateverTheBoxesAndReturnsToIdle) {
    FProbe.SucceedFrom = 1;
    FForm.ControlClicked(BtnStart);
    FRunner.RunAll();
    ASSERT_EQ(FForm.Status(), stRunning);
    for (const TControlId box : kBoxes) FView.Checked[box] = false;
    FRegistry.ClearJournal();
    FSwitch.Calls.clear();

    std::vector<std::size_t> machineWritesAtSwitch;
    FSwitch.OnCall = [&] { machineWritesAtSwitch.push_back(MachineWrites().size()); };
    FForm.ControlClicked(BtnStart);
    ExpectBusy("while reverting");
    EXPECT_TRUE(MachineWrites().empty()) << "the revert runs in the background job, as Run's values do";

    FRunner.RunAll();
    std::vector<std::pair<std::u16string, TRegOperationKind>> expected;
    for (const TTweak& tweak : TweakCatalogue()) expected.emplace_back(tweak.ValueName, OperationOf(tweak.Stop));
    EXPECT_EQ(MachineChanges(), expected);
    EXPECT_EQ(machineWritesAtSwitch, (std::vector<std::size_t>(2, expected.size()))) << "reverted before the restart";
    EXPECT_EQ(FSwitch.Calls, (std::vector<std::pair<std::u16string, bool>>{{kGuid, false}, {kGuid, true}}));
    EXPECT_EQ(FForm.Status(), stIdle);
    EXPECT_EQ(FView.Captions[BtnStart], u"Run");
    EXPECT_FALSE(FView.Pressed[BtnStart]);
    for (const TControlId box : kBoxes) EXPECT_TRUE(FView.Enabled[box]);
    EXPECT_EQ(Stored(u"status"), DwordValue(0));
}

// The program's end closes the gate: a job that has not begun its writes leaves them
// all undone, and the list of tuned adapters stays as it was.
TEST_F(RunControlTest, AJobReachingItsWritesAfterTheProgramsEndBeganWritesNothing) {
    FProbe.SucceedFrom = 1;
    TMemoryRegistry machine;
    {
        TFrmZephyrix form(FView, Services(machine));
        form.FormCreate();
        FRunner.RunAll();
        form.ControlClicked(BtnStart); // Run
        FRunner.RunAll();
        ASSERT_EQ(form.Status(), stRunning);
        form.ControlClicked(BtnStart); // Stop, its job still queued
        ASSERT_TRUE(FWriteGate.CloseAndWait(0ms));
        machine.ClearJournal();
        FRunner.RunAll();
    }
    // (Only the final hand-over, which never reaches a closed window, stores a state here.)
    for (const auto& op : machine.Journal())
        EXPECT_TRUE(op.Root == kRootCurrentUser && op.Name == u"status") << "written: " << Show(op.Name);
    EXPECT_EQ(machine.Value(kRootCurrentUser, kSettingsKey, u"tunedadapters"), StringValue(kGuid));

    FBackups.Files.clear();
    FForm.ControlClicked(BtnStart); // Run, its job likewise
    FRunner.RunAll();
    EXPECT_TRUE(MachineWrites().empty());
    EXPECT_TRUE(FBackups.Files.empty());
}

TEST_F(RunControlTest, AClickWhileBusyDoesNothing) {
    FForm.ControlClicked(BtnStart);
    ASSERT_EQ(FForm.Status(), stBusy);
    FRegistry.ClearJournal();
    FSwitch.Calls.clear();
    FForm.ControlClicked(BtnStart);
    EXPECT_TRUE(FRegistry.Journal().empty());
    EXPECT_TRUE(FSwitch.Calls.empty());
    EXPECT_EQ(FRunner.Jobs.size(), 1u);
}

// Hands calls to the thread that pumps it, and waits until they have run there.
class TPumpedDispatcher final : public IUiDispatcher {
public:
    void InvokeSynchronously(const std::function<void()>& call) override {
        std::packaged_task<void()> task(call);
        auto done = task.get_future();
        {
            std::lock_guard lock(FMutex);
            FTasks.push_back(std::move(task));
        }
        FChanged.notify_all();
        done.get();
    }
    // Runs the next handed-over call on this thread.
    void PumpOne() {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [this] { return !FTasks.empty(); });
        auto task = std::move(FTasks.front());
        FTasks.pop_front();
        lock.unlock();
        task();
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::deque<std::packaged_task<void()>> FTasks;
};

class TRecordingThreadView final : public IMainView {
public:
    explicit TRecordingThreadView(TFakeMainView& inner) : FInner(inner) {}
    std::u16string GetCaption(TControlId id) const override { return FInner.GetCaption(id); }
    void SetCaption(TControlId id, const std::u16string& caption) override { Note(), FInner.SetCaption(id, caption); }
    bool IsChecked(TControlId id) const override { return FInner.IsChecked(id); }
    void SetChecked(TControlId id, bool checked) override { Note(), FInner.SetChecked(id, checked); }
    void SetEnabled(TControlId id, bool enabled) override { Note(), FInner.SetEnabled(id, enabled); }
    void SetVisible(TControlId id, bool visible) override { Note(), FInner.SetVisible(id, visible); }
    void SetPressed(TControlId id, bool pressed) override { Note(), FInner.SetPressed(id, pressed); }
    void SetIndicatorActive(bool active) override { Note(), FInner.SetIndicatorActive(active); }
    void ShowCard(TCard card) override { Note(), FInner.ShowCard(card); }
    void SetApplicationTitle(const std::u16string& title) override { Note(), FInner.SetApplicationTitle(title); }
    void ApplyTheme() override { Note(); }
    void FitLabelFont(TControlId) override { Note(); }
    void UseDesktopFont() override { Note(); }
    void ShowErrorMessage(const std::u16string& text, const std::u16string& caption) override {
        Note(), FInner.ShowErrorMessage(text, caption);
    }
    void OpenAddress(const std::u16string& address) override { Note(), FInner.OpenAddress(address); }
    void Close() override { Note(), FInner.Close(); }

    std::atomic<bool> OffThread{false};

private:
    void Note() {
        if (std::this_thread::get_id() != FOwner) OffThread = true;
    }
    TFakeMainView& FInner;
    std::thread::id FOwner = std::this_thread::get_id();
};

TEST_F(RunControlTest, AnErrorEscapingTheWaitStillShowsTheTargetStateAndReachesTheWindowsThread) {
    FProbe.Error = TPlatformError("WinHttpSendRequest", 12002);
    FForm.ControlClicked(BtnStart);
    EXPECT_THROW(FRunner.RunAll(), TPlatformError) << "carried to the window's thread, which shows it";
    EXPECT_EQ(FDispatcher.Calls, 1);
    EXPECT_EQ(FForm.Status(), stRunning) << "never left busy";
    EXPECT_TRUE(FView.Enabled[BtnStart]);
}

TEST_F(RunControlTest, OnRealThreadsTheWindowIsOnlyTouchedFromItsOwnThread) {
    TFakeMainView inner;
    TRecordingThreadView view(inner);
    TPumpedDispatcher dispatcher;
    TDetachedThreadRunner runner;
    TFakeProbe probe;
    probe.SucceedFrom = 5;
    TFrmZephyrix form(view,
                      TMainServices{.Registry = FRegistry,
                                    .Adapters = FAdapters,
                                    .AdapterSwitch = FSwitch,
                                    .InternetProbe = probe,
                                    .Runner = runner,
                                    .UiDispatcher = dispatcher,
                                    .Sleeper = FSleeper,
                                    .Backups = FBackups,
                                    .WriteGate = FWriteGate,
                                    .Clock = FClock,
                                    .AppVersion = u"1.6.0.0",
                                    .RandomIndex = ProcessRandomIndex,
                                    .ShortLinkHost = u"https://short.test",
                                    .UpdateServiceURL = u"",
                                    .CheckUpdate = {}});
    form.FormCreate();
    form.ControlClicked(BtnStart);
    EXPECT_EQ(form.Status(), stBusy);
    dispatcher.PumpOne(); // the adapter search's result; Run then goes on
    dispatcher.PumpOne(); // returns once the wait has handed over its result
    EXPECT_EQ(form.Status(), stRunning);
    dispatcher.PumpOne(); // the configuration card's reading, which Running starts
    EXPECT_NE(inner.Captions[LblApplied], u"");
    EXPECT_EQ(probe.Calls, 5);
    EXPECT_EQ(FSleeper.Sleeps.size(), 4u);
    EXPECT_FALSE(view.OffThread);
}

} // namespace
} // namespace zx

namespace zx {
namespace {

const std::u16string kOtherGuid = u"{0F0F0F0F-1111-2222-3333-444444444444}";
const std::u16string kInterfaces = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

// Runs and stops on a form whose start-up found `guid`; the registry and the backups
// are the fixture's, so several "program starts" share them.
class TunedAdaptersTest : public MainFormTest {
protected:
    std::unique_ptr<TFrmZephyrix> StartWith(const std::u16string& guid) {
        FAdapters.Found = true;
        FAdapters.Name = u"Ethernet";
        FAdapters.GUID = guid;
        FAdapters.IP = u"192.168.0.7";
        auto form = std::make_unique<TFrmZephyrix>(FView, Services());
        form->FormCreate();
        FRunner.RunAll(); // the adapter search
        return form;
    }
    void Press(TFrmZephyrix& form) {
        form.ControlClicked(BtnStart);
        FProbe.SucceedFrom = 1;
        FRunner.RunAll();
    }
    // Interface values still present under the adapter.
    int InterfaceValues(const std::u16string& guid) const {
        return static_cast<int>(FRegistry.ValueNames(kRootLocalMachine, kInterfaces + guid).size());
    }
};

TEST_F(TunedAdaptersTest, TheFirstRunUnderEachAdapterSavesOneBackupBeforeWriting) {
    auto form = StartWith(kGuid);
    Press(*form); // Run
    ASSERT_EQ(FBackups.Files.size(), 1u);
    const auto& [name, bytes] = *FBackups.Files.begin();
    EXPECT_EQ(name, kGuid + u" 2026-12-10 09-05-03.reg");
    TMemoryRegistry untouched;
    EXPECT_EQ(bytes, RegistryFileBytes(TweakBackupText(untouched, kGuid)))
        << "the backup holds the values as they were before Run: all absent here";

    Press(*form); // Stop
    FClock.Time = {10, 0, 0};
    Press(*form); // Run again under the same adapter
    EXPECT_EQ(FBackups.Files.size(), 1u) << "never a second backup for one adapter";

    Press(*form); // Stop
    auto moved = StartWith(kOtherGuid);
    Press(*moved);
    EXPECT_EQ(FBackups.Files.size(), 2u);
    EXPECT_TRUE(FBackups.Files.contains(kOtherGuid + u" 2026-12-10 10-00-00.reg"));
}

TEST_F(TunedAdaptersTest, AFailingBackupLeavesRunAsItWas) {
    auto reference = StartWith(kGuid);
    FRegistry.ClearJournal();
    Press(*reference);
    const auto expected = MachineWrites();
    Press(*reference); // Stop
    FRegistry.ClearJournal();

    TMemoryRegistry fresh;
    FBackups.Files.clear();
    FBackups.Fails = true;
    FAdapters.GUID = kGuid;
    TFrmZephyrix form(FView, Services(fresh));
    form.FormCreate();
    fresh.ClearJournal();
    Press(form);
    std::vector<TRegOperation> writes;
    for (const auto& op : fresh.Journal())
        if (op.Root == kRootLocalMachine && op.Key != kRestartRecordKey) writes.push_back(op);
    EXPECT_EQ(writes, expected);
    EXPECT_EQ(form.Status(), stRunning);
    EXPECT_TRUE(FView.ErrorMessages.empty()) << "nothing is shown";
}

TEST_F(TunedAdaptersTest, StopReachesTheAdapterRunTunedAfterTheActiveOneChanged) {
    auto laptopOnCable = StartWith(kGuid);
    Press(*laptopOnCable); // Run tunes the cable adapter
    ASSERT_GT(InterfaceValues(kGuid), 0);

    auto laptopOnWifi = StartWith(kOtherGuid); // restarted: another adapter, state Running
    ASSERT_EQ(laptopOnWifi->Status(), stRunning);
    Press(*laptopOnWifi); // Stop
    EXPECT_EQ(InterfaceValues(kGuid), 0) << "the tuned adapter's values are gone";
    EXPECT_EQ(InterfaceValues(kOtherGuid), 0);
    EXPECT_EQ(laptopOnWifi->Status(), stIdle);

    // Forgotten after that Stop: the next Run and Stop touch only the active adapter.
    Press(*laptopOnWifi);
    FRegistry.ClearJournal();
    Press(*laptopOnWifi);
    for (const auto& op : MachineWrites()) EXPECT_EQ(op.Key.find(kGuid), std::u16string::npos) << Show(op.Key);
}

TEST_F(TunedAdaptersTest, StopFollowsOnlyTheGuidsOfAPlantedListAndCreatesNoKeyForThem) {
    auto form = StartWith(kGuid);
    Press(*form); // Run
    // Meanwhile another program of the user's rewrites the list in the user's own key: a
    // valid GUID of no adapter here, the parent key, a path below and above an interface.
    {
        auto settings = FRegistry.CreateKey(kRootCurrentUser, u"Software\\Zephyrix", kKeyAllAccess);
        ASSERT_TRUE(settings);
        ASSERT_EQ(
            settings->SetString(u"tunedadapters",
                                kGuid + u";..;" + kOtherGuid + u";" + kGuid + u"\\Sub;\\..\\..\\SOFTWARE\\Classes"),
            kRegSuccess);
    }
    FRegistry.ClearJournal();
    Press(*form); // Stop
    EXPECT_EQ(form->Status(), stIdle);
    EXPECT_EQ(InterfaceValues(kGuid), 0);
    EXPECT_FALSE(FRegistry.KeyExists(kRootLocalMachine, kInterfaces + kOtherGuid)) << "no key made for it";
    EXPECT_FALSE(FRegistry.KeyExists(kRootLocalMachine, kInterfaces + kGuid + u"\\Sub"));
    for (const auto& op : MachineWrites())
        EXPECT_TRUE(op.Key == kInterfaces + kGuid || op.Key.find(u"Interfaces") == std::u16string::npos)
            << Show(op.Key);
}

TEST_F(TunedAdaptersTest, StopUnderTheSameAdapterDoesExactlyWhatItAlwaysDid) {
    auto form = StartWith(kGuid);
    Press(*form);
    FRegistry.ClearJournal();
    Press(*form);
    std::vector<std::u16string> names;
    for (const auto& op : MachineWrites()) names.push_back(op.Name);
    std::vector<std::u16string> expected;
    for (const TTweak& tweak : TweakCatalogue()) expected.emplace_back(tweak.ValueName);
    EXPECT_EQ(names, expected);
}

} // namespace
} // namespace zx

namespace zx {
namespace {

// Run and Stop pressed while the adapter search is still under way (its job queued).
class ClickBeforeTheSearchEndsTest : public MainFormTest {
protected:
    void FindAdapter(bool found) {
        FAdapters.Found = found;
        FAdapters.Name = u"Ethernet";
        FAdapters.GUID = kGuid;
        FAdapters.IP = u"192.168.0.7";
    }
    // Runs the first queued job only: the adapter search.
    void EndTheSearch() {
        ASSERT_FALSE(FRunner.Jobs.empty());
        auto job = std::move(FRunner.Jobs.front());
        FRunner.Jobs.pop_front();
        job();
    }
};

TEST_F(ClickBeforeTheSearchEndsTest, RunWaitsBusyTouchingNothingThenGoesOnWithTheAdapterFound) {
    FindAdapter(true);
    FForm.FormCreate();
    FRegistry.ClearJournal();
    FForm.ControlClicked(BtnStart);
    EXPECT_EQ(FForm.Status(), stBusy);
    EXPECT_TRUE(FView.IndicatorActive);
    EXPECT_FALSE(FView.Enabled[BtnStart]);
    FForm.ControlClicked(BtnStart); // the button is disabled: a second click changes nothing
    EXPECT_TRUE(FRegistry.Journal().empty()) << "nothing is applied before the adapter is known";
    EXPECT_EQ(FRunner.Jobs.size(), 1u);

    EndTheSearch();
    EXPECT_EQ(FView.Captions[LblAdapter], u"Ethernet");
    EXPECT_EQ(FForm.Status(), stBusy);
    ASSERT_EQ(FRunner.Jobs.size(), 1u) << "Run went on: its background job";
    FProbe.SucceedFrom = 1;
    FRunner.RunAll();
    EXPECT_EQ(FSwitch.Calls, (std::vector<std::pair<std::u16string, bool>>{{kGuid, false}, {kGuid, true}}));
    EXPECT_EQ(FForm.Status(), stRunning);
    EXPECT_EQ(Stored(u"status"), DwordValue(1));
}

TEST_F(ClickBeforeTheSearchEndsTest, StopAfterAStoredRunningStateWaitsThenReverts) {
    FindAdapter(true);
    Store(u"status", DwordValue(1));
    FForm.FormCreate();
    ASSERT_EQ(FForm.Status(), stRunning);
    FRegistry.ClearJournal();
    FForm.ControlClicked(BtnStart);
    EXPECT_EQ(FForm.Status(), stBusy);
    EXPECT_TRUE(FRegistry.Journal().empty()) << "the busy state is not stored";

    FProbe.SucceedFrom = 1;
    FRunner.RunAll();
    std::vector<std::pair<std::u16string, TRegOperationKind>> expected;
    for (const TTweak& tweak : TweakCatalogue()) expected.emplace_back(tweak.ValueName, OperationOf(tweak.Stop));
    std::vector<std::pair<std::u16string, TRegOperationKind>> changes;
    for (const auto& op : MachineWrites()) changes.emplace_back(op.Name, op.Kind);
    EXPECT_EQ(changes, expected);
    EXPECT_EQ(FForm.Status(), stIdle);
    EXPECT_EQ(Stored(u"status"), DwordValue(0));
}

TEST_F(ClickBeforeTheSearchEndsTest, RunWithNoAdapterFoundEndsInTheNoNetworkMessage) {
    FindAdapter(false);
    FForm.FormCreate();
    FForm.ControlClicked(BtnStart);
    EXPECT_TRUE(FView.ErrorMessages.empty()) << "not before the search has ended";
    FRunner.RunAll();
    ASSERT_EQ(FView.ErrorMessages.size(), 1u);
    EXPECT_EQ(FView.ErrorMessages[0].first, u"There are no active networks.");
    EXPECT_EQ(FForm.Status(), stIdle);
    EXPECT_TRUE(FView.Enabled[BtnStart]);
    for (const TControlId box : kBoxes) EXPECT_TRUE(FView.Enabled[box]);
    EXPECT_TRUE(MachineWrites().empty());
    EXPECT_TRUE(FSwitch.Calls.empty());
}

TEST_F(ClickBeforeTheSearchEndsTest, ASearchErrorStillReleasesAWaitingRun) {
    FindAdapter(true);
    FAdapters.Error = TPlatformError("ExecQuery", 0x80041017);
    FForm.FormCreate();
    FForm.ControlClicked(BtnStart);
    EXPECT_THROW(FRunner.RunAll(), TPlatformError);
    ASSERT_EQ(FView.ErrorMessages.size(), 1u) << "no adapter: the no-network message";
    EXPECT_EQ(FForm.Status(), stIdle);
    EXPECT_TRUE(MachineWrites().empty());
}

// A connection switch that blocks until the test lets it go, as the connection manager
// can for seconds.
class TBlockingSwitch final : public IAdapterSwitch {
public:
    bool SetAdapterEnabled(const std::u16string&, bool) override {
        std::unique_lock lock(FMutex);
        ++FEntered;
        FChanged.notify_all();
        FChanged.wait(lock, [this] { return FReleased; });
        return true;
    }
    void WaitUntilEntered() {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [this] { return FEntered > 0; });
    }
    void Release() {
        {
            const std::lock_guard lock(FMutex);
            FReleased = true;
        }
        FChanged.notify_all();
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    int FEntered = 0;
    bool FReleased = false;
};

TEST_F(ClickBeforeTheSearchEndsTest, ABlockingConnectionSwitchNeverHoldsTheWindowsThread) {
    FindAdapter(true);
    FProbe.SucceedFrom = 1;
    TBlockingSwitch blocking;
    TFakeMainView view;
    TPumpedDispatcher dispatcher;
    TDetachedThreadRunner runner;
    TMainServices services = Services();
    TFrmZephyrix form(view,
                      TMainServices{.Registry = services.Registry,
                                    .Adapters = services.Adapters,
                                    .AdapterSwitch = blocking,
                                    .InternetProbe = services.InternetProbe,
                                    .Runner = runner,
                                    .UiDispatcher = dispatcher,
                                    .Sleeper = services.Sleeper,
                                    .Backups = services.Backups,
                                    .WriteGate = services.WriteGate,
                                    .Clock = services.Clock,
                                    .AppVersion = services.AppVersion,
                                    .RandomIndex = ProcessRandomIndex,
                                    .ShortLinkHost = u"https://short.test",
                                    .UpdateServiceURL = u"",
                                    .CheckUpdate = {}});
    form.FormCreate();
    dispatcher.PumpOne(); // the adapter search ends
    ASSERT_EQ(view.Captions[LblAdapter], u"Ethernet");
    dispatcher.PumpOne(); // the configuration card's reading, which the search's end starts

    form.ControlClicked(BtnStart); // returns although the switch blocks
    blocking.WaitUntilEntered();
    EXPECT_EQ(form.Status(), stBusy);
    form.ControlClicked(BtnConfig); // the window's thread still serves clicks
    EXPECT_EQ(view.Card, TCard::cdConfig);

    blocking.Release();
    dispatcher.PumpOne();
    EXPECT_EQ(form.Status(), stRunning);
    dispatcher.PumpOne(); // the reading Running starts, before its thread outlives the form
}

// The program's end against the place a refresh's job has reached, on real threads. Each
// step of the job notes itself in one log; the step a case names blocks there until the
// test lets it go, with the end under way meanwhile.
class TRefreshSteps {
public:
    explicit TRefreshSteps(std::string blockAt) : FBlockAt(std::move(blockAt)) {}
    void Arrive(const std::string& step) {
        std::unique_lock lock(FMutex);
        FLog.push_back(step);
        if (step != FBlockAt) return;
        FReached = true;
        FChanged.notify_all();
        FChanged.wait(lock, [this] { return FReleased; });
    }
    void Note(const std::string& step) {
        const std::lock_guard lock(FMutex);
        FLog.push_back(step);
    }
    void WaitUntilReached() {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [this] { return FReached; });
    }
    void Release() {
        {
            const std::lock_guard lock(FMutex);
            FReleased = true;
        }
        FChanged.notify_all();
    }
    // The log up to and including `last` (all of it when `last` is missing), without
    // `unordered`: a step that may come before or after the others.
    std::vector<std::string> LogUntil(const std::string& last, const std::string& unordered) {
        const std::lock_guard lock(FMutex);
        std::vector<std::string> head;
        for (const std::string& step : FLog) {
            if (step != unordered) head.push_back(step);
            if (step == last) break;
        }
        return head;
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::vector<std::string> FLog;
    std::string FBlockAt;
    bool FReached = false;
    bool FReleased = false;
};

class TSteppedBackups final : public ITweakBackupStore {
public:
    TSteppedBackups(TRefreshSteps& steps, ITweakBackupStore& inner) : FSteps(steps), FInner(inner) {}
    bool HasBackup(const std::u16string& guid) override { return FInner.HasBackup(guid); }
    bool Save(const std::u16string& name, const std::vector<std::uint8_t>& bytes) override {
        FSteps.Arrive("backup");
        return FInner.Save(name, bytes);
    }

private:
    TRefreshSteps& FSteps;
    ITweakBackupStore& FInner;
};

class TSteppedSwitch final : public IAdapterSwitch {
public:
    explicit TSteppedSwitch(TRefreshSteps& steps) : FSteps(steps) {}
    bool SetAdapterEnabled(const std::u16string&, bool enable) override {
        FSteps.Arrive(enable ? "up" : "down");
        FSteps.Note(enable ? "up returned" : "down returned");
        return true;
    }

private:
    TRefreshSteps& FSteps;
};

class TSteppedProbe final : public IInternetProbe {
public:
    explicit TSteppedProbe(TRefreshSteps& steps) : FSteps(steps) {}
    bool IsInternetReachable() override {
        FSteps.Arrive("probe");
        return true;
    }

private:
    TRefreshSteps& FSteps;
};

// Passes jobs to `inner`, or holds them while Holding is set, until ReleaseHeld.
class THoldingRunner final : public IBackgroundRunner {
public:
    explicit THoldingRunner(IBackgroundRunner& inner) : FInner(inner) {}
    void Run(std::function<void()> job) override {
        if (Holding) {
            FHeld.push_back(std::move(job));
            return;
        }
        FInner.Run(std::move(job));
    }
    void ReleaseHeld() {
        Holding = false;
        for (auto& job : FHeld) FInner.Run(std::move(job));
        FHeld.clear();
    }
    bool Holding = false;

private:
    IBackgroundRunner& FInner;
    std::vector<std::function<void()>> FHeld;
};

TEST_F(ClickBeforeTheSearchEndsTest, TheProgramsEndWaitsForTheConnectionToComeUpButNotForTheWait) {
    // The program's own bounds: its writes' and, once the connection is down, its restart's.
    constexpr auto kWriteGrace = 5s;
    constexpr auto kRestartGrace = 60s;
    struct TCase {
        const char* closedDuring;
        std::string blockAt; // "" for a job that has not started
        std::vector<std::string> untilTheEnd;
    };
    const TCase cases[] = {
        {"before the writes", "", {"end"}},
        {"the writes", "backup", {"backup", "down", "down returned", "up", "up returned", "end"}},
        {"down, before up", "up", {"backup", "down", "down returned", "up", "up returned", "end"}},
        {"the connectivity wait", "probe", {"backup", "down", "down returned", "up", "up returned", "probe", "end"}},
    };
    for (const TCase& c : cases) {
        FindAdapter(true);
        TMemoryRegistry registry;
        TRefreshSteps steps(c.blockAt);
        TMemoryBackupStore backupFiles;
        TSteppedBackups backups(steps, backupFiles);
        TSteppedSwitch adapterSwitch(steps);
        TSteppedProbe probe(steps);
        TFakeMainView view;
        TPumpedDispatcher dispatcher;
        TDetachedThreadRunner threads;
        THoldingRunner runner(threads);
        TWriteGate writes;
        TMainServices services = Services(registry);
        TFrmZephyrix form(view,
                          TMainServices{.Registry = registry,
                                        .Adapters = services.Adapters,
                                        .AdapterSwitch = adapterSwitch,
                                        .InternetProbe = probe,
                                        .Runner = runner,
                                        .UiDispatcher = dispatcher,
                                        .Sleeper = services.Sleeper,
                                        .Backups = backups,
                                        .WriteGate = writes,
                                        .Clock = services.Clock,
                                        .AppVersion = services.AppVersion,
                                        .RandomIndex = ProcessRandomIndex,
                                        .ShortLinkHost = u"https://short.test",
                                        .UpdateServiceURL = u"",
                                        .CheckUpdate = {}});
        form.FormCreate();
        dispatcher.PumpOne(); // the adapter search ends
        dispatcher.PumpOne(); // the configuration card's reading, which the search's end starts
        registry.ClearJournal();

        runner.Holding = c.blockAt.empty();
        form.ControlClicked(BtnStart);
        if (!c.blockAt.empty()) steps.WaitUntilReached();
        auto end = std::async(std::launch::async, [&] {
            (void)writes.CloseAndWait(kWriteGrace, kRestartGrace);
            steps.Note("end");
        });
        if (c.blockAt == "probe") {
            EXPECT_EQ(end.wait_for(2s), std::future_status::ready) << c.closedDuring << ": ends at once";
        } else if (!c.blockAt.empty()) {
            // Long enough for an end that does not wait to show itself in the log.
            EXPECT_EQ(end.wait_for(100ms), std::future_status::timeout) << c.closedDuring;
        }
        steps.Release();
        end.get();
        runner.ReleaseHeld();
        dispatcher.PumpOne(); // the job's hand-over of the target state
        dispatcher.PumpOne(); // the reading that state starts

        // The end's own order only: a wait that is not waited for may probe before it.
        EXPECT_EQ(steps.LogUntil("end", c.blockAt == "probe" ? "" : "probe"), c.untilTheEnd) << c.closedDuring;
        std::vector<std::u16string> machine;
        for (const TRegOperation& op : registry.Journal())
            if (op.Root == kRootLocalMachine) machine.push_back(op.Name);
        if (c.blockAt.empty()) {
            EXPECT_TRUE(machine.empty()) << c.closedDuring << ": no write";
            EXPECT_TRUE(backupFiles.Files.empty()) << c.closedDuring;
        } else {
            std::vector<std::u16string> expected;
            for (const TTweak& tweak : TweakCatalogue()) expected.push_back(tweak.ValueName);
            expected.emplace_back(kRestartRecordValue); // recorded before down
            expected.emplace_back(kRestartRecordValue); // cleared after up
            EXPECT_EQ(machine, expected) << c.closedDuring << ": the writes complete, then the restart";
            EXPECT_EQ(backupFiles.Files.size(), 1u) << c.closedDuring;
        }
    }
}

} // namespace
} // namespace zx
