// The configuration card's account of what Windows holds now: the label's text for each
// state of the registry, and the moments it is read.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/TweakCatalogue.h"
#include "native/MainFormFixture.h"
#include "native/ShowText.h"

namespace zx {
namespace {

using enum TControlId;

const std::u16string kGuid = u"{6B29FC40-CA47-1067-B31D-00DD010662DA}";
const std::u16string kInterfaceKey = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + kGuid;
const std::u16string kQueueKey = u"SOFTWARE\\Microsoft\\MSMQ\\Parameters";

const std::u16string kAllFive =
    u"TcpAckFrequency, TcpDelAckTick, TcpNoDelay, NetworkThrottlingIndex, SystemResponsiveness";

class AppliedTweaksTest : public MainFormTest {
protected:
    AppliedTweaksTest() {
        FAdapters.Found = true;
        FAdapters.Name = u"Ethernet";
        FAdapters.GUID = kGuid;
        FAdapters.IP = u"192.168.0.7";
    }
    // Sets or deletes a value by hand, as a Windows update or another tool would.
    void PutMachine(const std::u16string& key, const std::u16string& name, std::optional<TRegValue> value) {
        auto opened = FRegistry.CreateKey(kRootLocalMachine, key, kKeyAllAccess);
        ASSERT_TRUE(opened);
        if (value) {
            ASSERT_EQ(opened->SetValue(name, *value), kRegSuccess);
        } else {
            (void)opened->DeleteValue(name);
        }
    }
    std::size_t LabelShown() const {
        return static_cast<std::size_t>(std::count(FView.Events.begin(), FView.Events.end(), "SetCaption LblApplied"));
    }
};

TEST_F(AppliedTweaksTest, TheLabelSaysWhichOptionsAreSetAndWhatIsMissingWhileRunning) {
    const TTweakOptions all{true, true, true, true, true};
    struct Case {
        const char* what;
        std::u16string language;
        TStatus stored;
        TTweakOptions written; // by Run, before the window starts
        std::vector<std::u16string> boxesCleared;
        bool queueValueDeleted; // the second TcpNoDelay value removed by hand
        std::u16string expected;
    };
    const Case cases[] = {
        {"all five set", u"en", stRunning, all, {}, false, u"Set in Windows now: " + kAllFive},
        {"none", u"en", stIdle, {}, {}, false, u"Set in Windows now: none of the five options"},
        {"none, in Korean", u"ko", stIdle, {}, {}, false, u"지금 Windows에 설정됨: 다섯 가지 옵션 중 없음"},
        {"TcpNoDelay with one of its values, running",
         u"en",
         stRunning,
         all,
         {},
         true,
         u"Set in Windows now: TcpAckFrequency, TcpDelAckTick, NetworkThrottlingIndex, SystemResponsiveness\r\n"
         u"Not set although Zephyrix is running: TcpNoDelay Stop and run again to set them."},
        {"the same, idle: no second line",
         u"en",
         stIdle,
         all,
         {},
         true,
         u"Set in Windows now: TcpAckFrequency, TcpDelAckTick, NetworkThrottlingIndex, SystemResponsiveness"},
        {"running, options missing whose boxes are clear: no second line",
         u"en",
         stRunning,
         {true, false, false, true, false},
         {u"tcpdelacktick", u"tcpnodelay", u"systemresponsivess"},
         false,
         u"Set in Windows now: TcpAckFrequency, NetworkThrottlingIndex"},
        {"running, two ticked options missing, in Japanese",
         u"ja",
         stRunning,
         {true, false, true, true, false},
         {},
         false,
         u"現在Windowsで設定済み： TcpAckFrequency, TcpNoDelay, NetworkThrottlingIndex\r\n"
         u"ゼフィリックス実行中ですが未設定： TcpDelAckTick, SystemResponsiveness "
         u"停止してから再度実行すると設定されます。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryRegistry registry;
        ApplyTweaks(registry, kGuid, c.written);
        if (c.queueValueDeleted) {
            ASSERT_EQ(registry.CreateKey(kRootLocalMachine, kQueueKey, kKeyAllAccess)->DeleteValue(u"TCPNoDelay"),
                      kRegSuccess);
        }
        {
            auto settings = registry.CreateKey(kRootCurrentUser, kSettingsKey, kKeyAllAccess);
            ASSERT_EQ(settings->SetDword(u"status", c.stored), kRegSuccess);
            for (const auto& name : c.boxesCleared) ASSERT_EQ(settings->SetDword(name, 0), kRegSuccess);
        }
        SetCurrentLanguage(c.language);
        TFakeMainView view;
        TFrmZephyrix form(view, Services(registry));
        form.FormCreate();
        EXPECT_EQ(view.Captions[LblApplied], u"") << "nothing to say before the adapter is known";
        FRunner.RunAll();
        EXPECT_EQ(view.Captions[LblApplied], c.expected) << Show(view.Captions[LblApplied]);
    }
}

TEST_F(AppliedTweaksTest, WithoutAnAdapterTheLabelStaysEmpty) {
    FAdapters.Found = false;
    ApplyTweaks(FRegistry, kGuid, {true, true, true, true, true});
    FForm.FormCreate();
    const std::size_t translated = LabelShown(); // the walk over every caption
    FRunner.RunAll();
    FForm.ControlClicked(BtnConfig);
    FForm.FormActivate();
    EXPECT_EQ(FView.Captions[LblApplied], u"");
    EXPECT_EQ(LabelShown(), translated);
}

TEST_F(AppliedTweaksTest, ItIsReadWhenTheSearchEndsTheCardIsShownTheWindowIsActivatedAndRunOrStopEnds) {
    const std::u16string none = u"Set in Windows now: none of the five options";
    FForm.FormCreate();
    FRunner.RunAll();
    EXPECT_EQ(FView.Captions[LblApplied], none) << "read when the search filled the adapter fields";

    PutMachine(kInterfaceKey, u"TcpAckFrequency", DwordValue(1));
    EXPECT_EQ(FView.Captions[LblApplied], none) << "read only at its moments";
    FForm.ControlClicked(BtnConfig);
    EXPECT_EQ(FView.Captions[LblApplied], none) << "read in the background, like the search";
    ASSERT_EQ(FRunner.Jobs.size(), 1u);
    FRunner.RunAll();
    EXPECT_EQ(FView.Captions[LblApplied], u"Set in Windows now: TcpAckFrequency") << "configuration card shown";

    PutMachine(kInterfaceKey, u"TcpAckFrequency", std::nullopt);
    FForm.ControlClicked(BtnHome);
    EXPECT_EQ(FView.Captions[LblApplied], u"Set in Windows now: TcpAckFrequency") << "not when the home card shows";
    FForm.FormActivate();
    FRunner.RunAll();
    EXPECT_EQ(FView.Captions[LblApplied], none) << "window activated";

    // The same text again is not shown again: a screen reader hears only changes.
    const std::size_t shown = LabelShown();
    FForm.FormActivate();
    FForm.ControlClicked(BtnConfig);
    FRunner.RunAll();
    EXPECT_EQ(LabelShown(), shown);

    // Of two readings under way only the later one counts: the earlier is stale.
    FForm.FormActivate();
    PutMachine(kInterfaceKey, u"TcpAckFrequency", DwordValue(1));
    FForm.FormActivate();
    ASSERT_EQ(FRunner.Jobs.size(), 2u);
    auto earlier = std::move(FRunner.Jobs.front());
    FRunner.Jobs.pop_front();
    FRunner.RunAll();
    EXPECT_EQ(FView.Captions[LblApplied], u"Set in Windows now: TcpAckFrequency");
    PutMachine(kInterfaceKey, u"TcpAckFrequency", std::nullopt);
    earlier();
    EXPECT_EQ(FView.Captions[LblApplied], u"Set in Windows now: TcpAckFrequency");
    FForm.FormActivate();
    FRunner.RunAll();
    EXPECT_EQ(FView.Captions[LblApplied], none);
    const std::size_t shownBeforeRun = LabelShown();

    FProbe.SucceedFrom = 1;
    FForm.ControlClicked(BtnStart);
    FForm.FormActivate();
    EXPECT_EQ(FRunner.Jobs.size(), 1u) << "not while Run is changing the values: only Run's job";
    EXPECT_EQ(LabelShown(), shownBeforeRun);
    FRunner.RunAll();
    EXPECT_EQ(FForm.Status(), stRunning);
    EXPECT_EQ(FView.Captions[LblApplied], u"Set in Windows now: " + kAllFive) << "Run finished";

    // A value removed by hand while running: the second line names it.
    PutMachine(kInterfaceKey, u"TcpDelAckTicks", std::nullopt);
    FForm.ControlClicked(BtnConfig);
    FRunner.RunAll();
    EXPECT_EQ(FView.Captions[LblApplied],
              u"Set in Windows now: TcpAckFrequency, TcpNoDelay, NetworkThrottlingIndex, SystemResponsiveness\r\n"
              u"Not set although Zephyrix is running: TcpDelAckTick Stop and run again to set them.");

    FForm.ControlClicked(BtnStart);
    FRunner.RunAll();
    EXPECT_EQ(FForm.Status(), stIdle);
    EXPECT_EQ(FView.Captions[LblApplied], none) << "Stop finished";
}

} // namespace
} // namespace zx
