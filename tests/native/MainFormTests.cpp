#include <gtest/gtest.h>

#include <algorithm>

#include "app/ViewComponent.h"
#include "native/MainFormFixture.h"
#include "native/ShowText.h"
#include "platform/PlatformError.h"

namespace zx {
namespace {

using enum TControlId;

constexpr TControlId kBoxes[] = {ChkTcpNoDelay, ChkTCPAckFrequency, ChkTcpDelAckTick, ChkNetworkThrottlingIndex,
                                 ChkSystemResponsiveness};
const std::u16string kOptionNames[] = {u"tcpnodelay", u"tcpackfrequency", u"tcpdelacktick", u"networkthrottleindex",
                                       u"systemresponsivess"};

// The first occurrence of `event` after position `after`, or -1.
std::ptrdiff_t IndexOf(const std::vector<std::string>& events, const std::string& event, std::ptrdiff_t after = -1) {
    const auto found = std::find(events.begin() + (after + 1), events.end(), event);
    return found == events.end() ? -1 : found - events.begin();
}

// --- Translation of the window ----------------------------------------------------

TEST_F(MainFormTest, TheWindowIsTranslatedWithEnglishInTheTitleBarForAllButKorean) {
    struct Case {
        std::u16string language;
        std::u16string caption, title, home, config, donate, run, group1, group2, group3;
    };
    const Case cases[] = {
        {u"ko", u"제피릭스", u"제피릭스", u"처음화면", u"환경설정", u"후원하기", u"실행하기", u"네트워크 아답터 정보",
         u"네이글 알고리즘 해제", u"네트워크 쓰로틀링"},
        {u"ja", u"Zephyrix", u"ゼフィリックス", u"ホーム", u"設定", u"寄付", u"実行する", u"ネットワークアダプタ",
         u"ネイグルアルゴリズムを無効にする", u"ネットワークスロットリング指数"},
        {u"de", u"Zephyrix", u"Zephyrix", u"Home", u"Config", u"Donate", u"Run", u"Network Adapter",
         u"Disable Nagle's algorithm", u"Network Throttling Index"},
    };
    for (const auto& c : cases) {
        TFakeMainView view;
        SetCurrentLanguage(c.language);
        TranslateComponent(view, FrmZephyrix);
        const std::pair<TControlId, std::u16string> expected[] = {
            {FrmZephyrix, c.caption},
            {LblTitle, c.title},
            {BtnHome, c.home},
            {BtnConfig, c.config},
            {BtnDonate, c.donate},
            {BtnStart, c.run},
            {GroupBox1, c.group1},
            {GroupBox2, c.group2},
            {GroupBox3, c.group3},
            {ChkTcpNoDelay, u"TcpNoDelay"},
            {ChkTCPAckFrequency, u"TcpAckFrequency"},
            {ChkTcpDelAckTick, u"TcpDelAckTick"},
            {ChkNetworkThrottlingIndex, u"NetworkThrottlingIndex"},
            {ChkSystemResponsiveness, u"SystemResponsiveness"},
            {LblIPAddress, u"IP: "},
            {LblVersion, u""},
        };
        for (const auto& [id, caption] : expected)
            EXPECT_EQ(view.Captions[id], caption)
                << Show(c.language) << " " << Show(std::u16string(FindControl(id).Name));
        EXPECT_EQ(CurrentLanguage(), c.language);
    }
}

TEST_F(MainFormTest, ComponentsAreWalkedInOwnershipOrderEachOnce) {
    // Every control but the image and the indicator has a caption; the walk visits the
    // window first and each owner before what it owns.
    SetCurrentLanguage(u"en");
    TranslateComponent(FView, FrmZephyrix);
    std::vector<std::string> expected;
    std::vector<TControlId> pending{FrmZephyrix};
    const std::function<void(TControlId)> walk = [&](TControlId id) {
        const TControlEntry& entry = FindControl(id);
        if (entry.Kind != TControlKind::ckImage && entry.Kind != TControlKind::ckActivityIndicator)
            expected.push_back("SetCaption " + std::string(entry.Name.begin(), entry.Name.end()));
        for (const TControlEntry& child : ControlTable())
            if (child.Parent == id && child.Id != id) walk(child.Id);
    };
    walk(FrmZephyrix);
    EXPECT_EQ(FView.Events, expected);
    EXPECT_EQ(FView.Events.front(), "SetCaption FrmZephyrix");
    EXPECT_EQ(FView.Events.size(), ControlTable().size() - 2);
}

TEST_F(MainFormTest, ASubTreeIsTranslatedAloneAndAGivenLanguageStays) {
    SetCurrentLanguage(u"en");
    TranslateComponent(FView, Card2, u"fr");
    EXPECT_EQ(CurrentLanguage(), u"fr");
    EXPECT_EQ(FView.Captions[GroupBox1], u"Adaptateur réseau");
    EXPECT_EQ(FView.Captions[BtnStart], u"실행하기") << "the home card is not part of the configuration card";
    EXPECT_EQ(FView.Captions[FrmZephyrix], u"제피릭스");
}

// --- The run-state display ---------------------------------------------------------

TEST_F(MainFormTest, EveryStatusShowsItsRowOfTheStateTable) {
    struct Case {
        TStatus before;
        TStatus status;
        TStatus shown;
        bool indicator;
        std::u16string caption;
        bool buttonEnabled;
        bool pressed;
        std::optional<std::uint32_t> stored; // written by this call
        bool boxesEnabled;
    };
    const auto unknown = static_cast<TStatus>(7);
    const Case cases[] = {
        {stIdle, stIdle, stIdle, false, u"Run", true, false, 0, true},
        {stIdle, stRunning, stRunning, false, u"Running", true, true, 1, false},
        {stIdle, stBusy, stBusy, true, u"", false, false, std::nullopt, false},
        {stBusy, stIdle, stIdle, false, u"Run", true, false, 0, true},
        {stBusy, stRunning, stRunning, false, u"Running", true, true, 1, false},
        {stRunning, stBusy, stBusy, true, u"", false, false, std::nullopt, false},
        // Not a state: the display stays as it was; the boxes follow the state kept.
        {stIdle, unknown, stIdle, false, u"Run", true, false, std::nullopt, true},
        {stRunning, unknown, stRunning, false, u"Running", true, true, std::nullopt, false},
        {stBusy, unknown, stBusy, true, u"", false, false, std::nullopt, false},
    };
    for (const auto& c : cases) {
        TFakeMainView view;
        TMemoryRegistry registry;
        TFrmZephyrix form(view, Services(registry));
        form.SetStatus(c.before);
        registry.ClearJournal();
        form.SetStatus(c.status);

        const std::string label = "from " + std::to_string(c.before) + " to " + std::to_string(c.status);
        EXPECT_EQ(form.Status(), c.shown) << label;
        EXPECT_EQ(view.IndicatorActive, c.indicator) << label;
        EXPECT_EQ(view.Captions[BtnStart], c.caption) << label;
        EXPECT_EQ(view.Enabled[BtnStart], c.buttonEnabled) << label;
        EXPECT_EQ(view.Pressed[BtnStart], c.pressed) << label;
        if (c.stored) {
            ASSERT_EQ(registry.Journal().size(), 1u) << label;
            EXPECT_EQ(registry.Journal()[0].Name, u"status");
            EXPECT_EQ(registry.Journal()[0].Value, DwordValue(*c.stored)) << label;
        } else {
            EXPECT_TRUE(registry.Journal().empty()) << label;
        }
        for (const TControlId box : kBoxes) EXPECT_EQ(view.Enabled[box], c.boxesEnabled) << label;
        EXPECT_TRUE(view.ErrorMessages.empty());
    }
}

TEST_F(MainFormTest, AMessageIsShownBeforeAnythingChanges) {
    FView.Captions[FrmZephyrix] = u"Zephyrix";
    FForm.SetStatus(stRunning, u"Something failed");
    ASSERT_EQ(FView.ErrorMessages.size(), 1u);
    EXPECT_EQ(FView.ErrorMessages[0], std::make_pair(std::u16string(u"Something failed"), std::u16string(u"Zephyrix")));
    ASSERT_FALSE(FView.Events.empty());
    EXPECT_EQ(FView.Events.front(), "ShowErrorMessage");
    EXPECT_EQ(std::count(FView.Events.begin(), FView.Events.end(), "ShowErrorMessage"), 1);
    EXPECT_EQ(FView.Captions[BtnStart], u"Running");
    // The boxes are set last, in their own order.
    const std::vector<std::string> tail(FView.Events.end() - 5, FView.Events.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"SetEnabled ChkTCPAckFrequency", "SetEnabled ChkTcpDelAckTick",
                                        "SetEnabled ChkTcpNoDelay", "SetEnabled ChkNetworkThrottlingIndex",
                                        "SetEnabled ChkSystemResponsiveness"}));
}

// --- Loading the settings ----------------------------------------------------------

TEST_F(MainFormTest, AnEmptyStoreChecksEveryBoxShowsIdleAndWritesOnlyTheOptionsAndTheStatus) {
    FForm.LoadSettings();
    FRunner.RunAll(); // the adapter search
    for (const TControlId box : kBoxes) {
        EXPECT_TRUE(FView.Checked[box]);
        EXPECT_TRUE(FView.Enabled[box]);
    }
    EXPECT_EQ(FForm.Status(), stIdle);
    EXPECT_EQ(FView.Captions[BtnStart], u"Run");
    std::vector<std::u16string> expected(std::begin(kOptionNames), std::end(kOptionNames));
    expected.push_back(u"status");
    EXPECT_EQ(WrittenNames(), expected);
    for (const auto& name : kOptionNames) EXPECT_EQ(Stored(name), DwordValue(1)) << Show(name);
    EXPECT_EQ(Stored(u"status"), DwordValue(0));
    EXPECT_TRUE(MachineWrites().empty());
    // No adapter: the translated "Unknown", an empty address and no GUID.
    EXPECT_EQ(FView.Captions[LblAdapter], u"Unknown");
    EXPECT_EQ(FView.Captions[LblIPAddress], u"IP: ");
    EXPECT_EQ(FForm.NetworkGUID, u"");
}

TEST_F(MainFormTest, StoredOptionsSetTheBoxesAndOnlyChangedBoxesWriteBack) {
    Store(u"TCPNODELAY", DwordValue(0));
    Store(u"tcpdelacktick", DwordValue(0));
    Store(u"systemresponsivess", DwordValue(2)); // not 0: true
    FRegistry.ClearJournal();
    FForm.LoadSettings();
    EXPECT_FALSE(FView.Checked[ChkTcpNoDelay]);
    EXPECT_TRUE(FView.Checked[ChkTCPAckFrequency]);
    EXPECT_FALSE(FView.Checked[ChkTcpDelAckTick]);
    EXPECT_TRUE(FView.Checked[ChkNetworkThrottlingIndex]);
    EXPECT_TRUE(FView.Checked[ChkSystemResponsiveness]);
    EXPECT_EQ(
        WrittenNames(),
        (std::vector<std::u16string>{u"tcpackfrequency", u"networkthrottleindex", u"systemresponsivess", u"status"}));
    EXPECT_EQ(Stored(u"tcpnodelay"), DwordValue(0));
}

TEST_F(MainFormTest, TheAdapterFillsTheConfigurationCard) {
    FAdapters.Found = true;
    FAdapters.Name = u"Intel(R) Ethernet";
    FAdapters.GUID = u"{4D36E972-E325-11CE-BFC1-08002BE10318}";
    FAdapters.IP = u"192.168.0.7";
    FForm.LoadSettings();
    EXPECT_EQ(IndexOf(FView.Events, "SetCaption LblAdapter"), -1) << "filled in when the background search ends";
    EXPECT_EQ(FForm.NetworkGUID, u"");
    FRunner.RunAll();
    EXPECT_EQ(FAdapters.Calls, 1);
    EXPECT_EQ(FForm.NetworkName, u"Intel(R) Ethernet");
    EXPECT_EQ(FForm.NetworkGUID, u"{4D36E972-E325-11CE-BFC1-08002BE10318}");
    EXPECT_EQ(FForm.NetworkIP, u"192.168.0.7");
    EXPECT_EQ(FView.Captions[LblAdapter], u"Intel(R) Ethernet");
    EXPECT_EQ(FView.Captions[LblIPAddress], u"IP: 192.168.0.7");
}

TEST_F(MainFormTest, AFailedAdapterSearchLeavesNoHalfReadAdapterBehind) {
    SetCurrentLanguage(u"ja");
    FAdapters.Found = false;
    FAdapters.Name = u"Partly read";
    FAdapters.GUID = u"{00000000-0000-0000-0000-000000000001}";
    FAdapters.IP = u"10.0.0.1";
    FForm.LoadSettings();
    FRunner.RunAll();
    EXPECT_EQ(FForm.NetworkName, u"不明");
    EXPECT_EQ(FForm.NetworkGUID, u"");
    EXPECT_EQ(FForm.NetworkIP, u"");
    EXPECT_EQ(FView.Captions[LblAdapter], u"不明");
    EXPECT_EQ(FView.Captions[LblIPAddress], u"IP: ");
}

TEST_F(MainFormTest, TheStoredStatusIsShownAndAnythingButRunningReadsAsIdle) {
    struct Case {
        std::uint32_t stored;
        TStatus shown;
    };
    const Case cases[] = {{0, stIdle},          {1, stRunning},  {2, stIdle},       {7, stIdle},
                          {0xFFFFFFFF, stIdle}, {0x100, stIdle}, {0x101, stRunning}};
    for (const auto& c : cases) {
        TFakeMainView view;
        TMemoryRegistry registry;
        ASSERT_EQ(registry.CreateKey(kRootCurrentUser, kSettingsKey, kKeyAllAccess)->SetDword(u"status", c.stored),
                  kRegSuccess);
        TFrmZephyrix form(view, Services(registry));
        form.LoadSettings();
        EXPECT_EQ(form.Status(), c.shown) << c.stored;
        EXPECT_FALSE(view.IndicatorActive) << c.stored;
        EXPECT_TRUE(view.Enabled[BtnStart]) << c.stored;
        EXPECT_EQ(registry.Value(kRootCurrentUser, kSettingsKey, u"status"), DwordValue(c.shown)) << c.stored;
    }
}

TEST_F(MainFormTest, AStoredRunningStateRestoresTheDisplayOnly) {
    Store(u"status", DwordValue(1));
    FForm.LoadSettings();
    EXPECT_EQ(FForm.Status(), stRunning);
    EXPECT_EQ(FView.Captions[BtnStart], u"Running");
    EXPECT_TRUE(FView.Pressed[BtnStart]);
    for (const TControlId box : kBoxes) EXPECT_FALSE(FView.Enabled[box]);
    ASSERT_EQ(FRunner.Jobs.size(), 1u) << "the adapter search only";
    FRunner.RunAll();
    EXPECT_EQ(FForm.Status(), stRunning);
    EXPECT_TRUE(MachineWrites().empty());
    EXPECT_TRUE(FSwitch.Calls.empty());
    EXPECT_TRUE(FRunner.Jobs.empty());
}

// --- Window creation ---------------------------------------------------------------

TEST_F(MainFormTest, CreationRunsItsStepsInOrder) {
    SetCurrentLanguage(u"ja");
    FRandomResult = 2;
    FForm.FormCreate();
    const auto& events = FView.Events;
    const std::string steps[] = {
        "ApplyTheme",
        "SetCaption FrmZephyrix",
        "SetCaption LblTitle",
        "FitLabelFont LblTitle",
        "UseDesktopFont",
        "SetVisible Indicator",
        "SetVisible BtnDonate",
        "ShowCard home",
        "SetApplicationTitle",
        "SetCaption LblContent",
        "SetCaption LblVersion",
        "SetChecked ChkTcpNoDelay",
        "SetEnabled ChkSystemResponsiveness",
    };
    std::ptrdiff_t previous = -1;
    for (const auto& step : steps) {
        const auto at = IndexOf(events, step, previous);
        EXPECT_GT(at, previous) << step;
        previous = at;
    }
    EXPECT_EQ(events.back(), "SetEnabled ChkSystemResponsiveness");
    ASSERT_EQ(FUpdateChecks.size(), 1u) << "the update check is the last step";
    // The adapter search started with the settings and ends after the window is shown.
    EXPECT_EQ(IndexOf(events, "SetCaption LblAdapter", IndexOf(events, "SetCaption LblVersion")), -1);
    EXPECT_EQ(FAdapters.Calls, 0);
    FRunner.RunAll();
    EXPECT_EQ(FAdapters.Calls, 1);
    const std::vector<std::string> last(events.end() - 2, events.end());
    EXPECT_EQ(last, (std::vector<std::string>{"SetCaption LblAdapter", "SetCaption LblIPAddress"}));

    EXPECT_EQ(FView.Captions[FrmZephyrix], u"Zephyrix");
    EXPECT_EQ(FView.ApplicationTitle, u"Zephyrix");
    EXPECT_EQ(FView.Captions[LblTitle], u"ゼフィリックス");
    EXPECT_FALSE(FView.Visible[Indicator]);
    EXPECT_FALSE(FView.Visible[BtnDonate]);
    EXPECT_EQ(FView.Card, TCard::cdHome);
    EXPECT_EQ(FView.Captions[LblVersion], u"バージョン: 1.6.0.0");
    EXPECT_EQ(FRandomCounts, std::vector<int>{3});
    EXPECT_EQ(FView.Captions[LblContent],
              u"<C><FC:clGray>簡単な設定で<B>ゲーム速度と安定性</B>を同時に改善します。</FC></C>");
    EXPECT_EQ(FView.Captions[BtnStart], u"実行する");
}

TEST_F(MainFormTest, TheSloganFollowsTheRandomSource) {
    const std::u16string slogans[] = {
        u"<C><FC:clGray>Easily improve <B>game responsiveness</B>.</FC></C>",
        u"<C><FC:clGray>Minimize <B>latency</B> with an optimized network.</FC></C>",
        u"<C><FC:clGray>Improve <B>game speed and stability</B> with simple settings.</FC></C>",
    };
    for (int index = 0; index < 3; ++index) {
        TFakeMainView view;
        FRandomResult = index;
        TFrmZephyrix form(view, Services());
        form.FormCreate();
        EXPECT_EQ(view.Captions[LblContent], slogans[index]) << index;
    }
}

TEST_F(MainFormTest, KoreanUsersSeeTheKoreanCaptionInTheTitleBarAndTaskbar) {
    SetCurrentLanguage(u"ko");
    FForm.FormCreate();
    EXPECT_EQ(FView.Captions[FrmZephyrix], u"제피릭스");
    EXPECT_EQ(FView.ApplicationTitle, u"제피릭스");
    EXPECT_EQ(FView.Captions[LblVersion], u"버전: 1.6.0.0");
}

TEST_F(MainFormTest, TheUpdateCheckClosesTheWindowOnlyWhenANewReleaseWasAccepted) {
    FForm.FormCreate();
    ASSERT_EQ(FUpdateChecks.size(), 1u);
    EXPECT_EQ(FUpdateChecks[0].ServiceURL, u"https://update.test/api.init.php");
    EXPECT_EQ(FUpdateChecks[0].DialogOffset, 10);
    FUpdateChecks[0].Done(false, u"{\"update\":\"\"}");
    EXPECT_FALSE(FView.Closed);
    FUpdateChecks[0].Done(true, u"{\"update\":\"https://dl.test/z.exe\"}");
    EXPECT_TRUE(FView.Closed);
}

TEST_F(MainFormTest, AWrongTypedSettingEndsCreationAtThatStep) {
    struct Case {
        std::u16string name;
        std::vector<std::u16string> written; // before the error
    };
    const Case cases[] = {
        {u"status", {}},
        {u"tcpdelacktick", {u"tcpnodelay", u"tcpackfrequency"}},
    };
    for (const auto& c : cases) {
        TFakeMainView view;
        TMemoryRegistry registry;
        ASSERT_EQ(registry.CreateKey(kRootCurrentUser, kSettingsKey, kKeyAllAccess)->SetString(c.name, u"1"),
                  kRegSuccess);
        registry.ClearJournal();
        FUpdateChecks.clear();
        TFrmZephyrix form(view, Services(registry));
        try {
            form.FormCreate();
            ADD_FAILURE() << "no error for " << Show(c.name);
        } catch (const TPlatformError& error) {
            EXPECT_EQ(error.Code(), kErrorInvalidDataType);
        }
        // The steps before stay done; the state display and the update check never ran.
        // The adapter search, started first, still ends and fills its labels.
        EXPECT_EQ(view.Captions[LblVersion], u"Version: 1.6.0.0");
        FRunner.RunAll();
        EXPECT_EQ(view.Captions[LblAdapter], u"Unknown");
        EXPECT_EQ(IndexOf(view.Events, "SetIndicatorActive"), -1) << Show(c.name);
        EXPECT_TRUE(FUpdateChecks.empty()) << Show(c.name);
        std::vector<std::u16string> written;
        for (const auto& op : registry.Journal()) written.push_back(op.Name);
        EXPECT_EQ(written, c.written) << Show(c.name);
    }
}

TEST_F(MainFormTest, AnAdapterSearchErrorReachesTheWindowsThreadAfterTheLabelsReadUnknown) {
    FAdapters.Error = TPlatformError("ExecQuery", 0x80041017);
    FAdapters.GUID = u"{00000000-0000-0000-0000-000000000001}";
    FForm.FormCreate();
    EXPECT_EQ(FUpdateChecks.size(), 1u) << "the search ends after creation: the check has started";
    // The fake hand-over runs on the calling thread, so the error surfaces here, where
    // the window's thread would show it.
    EXPECT_THROW(FRunner.RunAll(), TPlatformError);
    EXPECT_EQ(FDispatcher.Calls, 1);
    EXPECT_EQ(FView.Captions[LblAdapter], u"Unknown");
    EXPECT_EQ(FView.Captions[LblIPAddress], u"IP: ");
    EXPECT_EQ(FForm.NetworkGUID, u"");
    EXPECT_TRUE(FForm.AdapterSearchEnded());
}

// --- Navigation and option boxes -------------------------------------------------

TEST(NavigationIndexTest, NamesAreLookedUpIgnoringCase) {
    const std::pair<std::u16string, int> cases[] = {
        {u"BtnHome", 0}, {u"btnhome", 0},   {u"BTNCONFIG", 1}, {u"btnDonate", 2}, {u"imglogo", 3},
        {u"ImgLogo", 3}, {u"BtnStart", -1}, {u"", -1},         {u"BtnHome ", -1}, {u"Btn", -1},
    };
    for (const auto& [name, index] : cases) EXPECT_EQ(TFrmZephyrix::NavigationIndex(name), index) << Show(name);
}

TEST_F(MainFormTest, HeaderClicksSwitchCardsAndOpenTheMakersPages) {
    FForm.ControlClicked(BtnConfig);
    EXPECT_EQ(FView.Card, TCard::cdConfig);
    EXPECT_TRUE(FView.Pressed[BtnConfig]);
    EXPECT_FALSE(FView.Pressed[BtnHome]);

    FForm.ControlClicked(BtnHome);
    EXPECT_EQ(FView.Card, TCard::cdHome);
    EXPECT_TRUE(FView.Pressed[BtnHome]);
    EXPECT_FALSE(FView.Pressed[BtnConfig]);

    FForm.ControlClicked(BtnDonate);
    FForm.ControlClicked(ImgLogo);
    EXPECT_EQ(FView.OpenedAddresses,
              (std::vector<std::u16string>{u"https://short.test/donate?zephyrix", u"https://short.test/zephyrix"}));
    EXPECT_EQ(FView.Card, TCard::cdHome);

    // Senders that are not header controls do nothing, through either way in.
    FView.Events.clear();
    for (const auto sender : {LblTitle, PnlHead, Card1, static_cast<TControlId>(9999)}) {
        FForm.ControlClicked(sender);
        FForm.BtnHomeClick(sender);
    }
    EXPECT_TRUE(FView.Events.empty());
    EXPECT_TRUE(FRegistry.Journal().empty());
}

TEST_F(MainFormTest, EachOptionBoxStoresItsStateUnderItsOwnName) {
    // A box does not tick itself: each click turns its option over, shows and stores it.
    for (std::size_t i = 0; i < std::size(kBoxes); ++i) {
        for (const bool checked : {true, false, true}) {
            FRegistry.ClearJournal();
            FForm.ControlClicked(kBoxes[i]);
            EXPECT_EQ(FView.Checked[kBoxes[i]], checked);
            ASSERT_EQ(FRegistry.Journal().size(), 1u);
            EXPECT_EQ(FRegistry.Journal()[0].Name, kOptionNames[i]);
            EXPECT_EQ(Stored(kOptionNames[i]), DwordValue(checked ? 1 : 0)) << Show(kOptionNames[i]);
        }
    }
}

} // namespace
} // namespace zx
