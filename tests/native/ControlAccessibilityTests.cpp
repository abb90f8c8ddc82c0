// How each kind of control reads to a screen reader, as a table: role, name, state and
// default action for the states a control goes through; the fixed texts in the user's
// language; the option boxes' arrow-key group.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/ControlAccessibility.h"
#include "platform/ui/Accessibility.h"

namespace zx {
namespace {

using enum TControlKind;
using enum TAccessibleRole;

struct TReadingCase {
    const char* What;
    TControlKind Kind;
    TControlFacts Facts;
    TAccessibleDescription Expected;
};

constexpr TControlFacts kShown{};
const TControlFacts kRun{.Text = u"Run"};
const TControlFacts kRunFocused{.Text = u"Run", .Focused = true};
const TControlFacts kRunning{.Text = u"Running", .Down = true};
const TControlFacts kBusy{.Text = u"", .Enabled = false, .Focused = true};
const TControlFacts kHome{.Text = u"Home", .Down = true};
const TControlFacts kConfig{.Text = u"Config"};
const TControlFacts kDonate{.Text = u"Donate", .Visible = false};
const TControlFacts kAdapter{.Text = u"Intel(R) Ethernet"};
const TControlFacts kDisabledLabel{.Text = u"IP: ", .Enabled = false};
const TControlFacts kHiddenIndicator{.Text = u"", .Visible = false};
const TControlFacts kHiddenCard{.Text = u"", .Visible = false};
const TControlFacts kGroup{.Text = u"Network Adapter"};
const TControlFacts kTicked{.Text = u"TcpNoDelay", .Down = true, .Focused = true};
const TControlFacts kLink{.Text = u"&Release notes", .Focused = true};

const std::array kCases = {
    TReadingCase{"Run, idle", ckStyledButton, kRun, {arPushButton, u"Run", asFocusable, u"Press"}},
    TReadingCase{
        "Run, focused", ckStyledButton, kRunFocused, {arPushButton, u"Run", asFocusable | asFocused, u"Press"}},
    TReadingCase{
        "Run, running", ckStyledButton, kRunning, {arPushButton, u"Running", asFocusable | asPressed, u"Press"}},
    // Busy: unavailable, no longer focusable, even if the focus was on it when it greyed.
    TReadingCase{"Run, busy", ckStyledButton, kBusy, {arPushButton, u"", asUnavailable, u"Press"}},
    TReadingCase{"header tab shown", ckToolButton, kHome, {arPageTab, u"Home", asFocusable | asSelected, u"Switch"}},
    TReadingCase{"header tab", ckToolButton, kConfig, {arPageTab, u"Config", asFocusable, u"Switch"}},
    TReadingCase{
        "hidden donation tab", ckToolButton, kDonate, {arPageTab, u"Donate", asFocusable | asInvisible, u"Switch"}},
    TReadingCase{"header bar", ckToolbar, kShown, {arPageTabList, u"", asNone, u""}},
    TReadingCase{"logo", ckImage, kShown, {arLink, u"Zephyrix home page", asLinked, u"Jump"}},
    TReadingCase{"label", ckLabel, kAdapter, {arStaticText, u"Intel(R) Ethernet", asReadOnly, u""}},
    TReadingCase{"greyed label", ckLabel, kDisabledLabel, {arStaticText, u"IP: ", asReadOnly | asUnavailable, u""}},
    TReadingCase{"slogan (plain text)", ckRichLabel, kAdapter, {arStaticText, u"Intel(R) Ethernet", asReadOnly, u""}},
    TReadingCase{
        "busy indicator", ckActivityIndicator, kShown, {arAnimation, u"Working", asReadOnly | asAnimated, u""}},
    TReadingCase{"idle indicator",
                 ckActivityIndicator,
                 kHiddenIndicator,
                 {arAnimation, u"Working", asReadOnly | asInvisible, u""}},
    TReadingCase{"panel", ckPanel, kShown, {arGrouping, u"", asNone, u""}},
    TReadingCase{"card panel", ckCardPanel, kShown, {arGrouping, u"", asNone, u""}},
    TReadingCase{"hidden card", ckCard, kHiddenCard, {arGrouping, u"", asInvisible, u""}},
    TReadingCase{"group box", ckGroupBox, kGroup, {arGrouping, u"Network Adapter", asNone, u""}},
    TReadingCase{
        "check box", ckCheckBox, kTicked, {arCheckButton, u"TcpNoDelay", asFocusable | asFocused | asChecked, u""}},
    TReadingCase{"link (mnemonic dropped)",
                 ckLink,
                 kLink,
                 {arLink, u"Release notes", asLinked | asFocusable | asFocused, u"Jump"}},
};

TEST(ControlAccessibility, EachKindAndStateReadsAsExpected) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.What);
        const TAccessibleDescription read = DescribeControl(c.Kind, c.Facts, u"en");
        EXPECT_EQ(read.Role, c.Expected.Role);
        EXPECT_EQ(read.Name, c.Expected.Name);
        EXPECT_EQ(read.State, c.Expected.State) << std::hex << read.State;
        EXPECT_EQ(read.DefaultAction, c.Expected.DefaultAction);
    }
}

// Every kind of the control table (a row added later included) has a reading of its own:
// none falls back to the form's by accident.
TEST(ControlAccessibility, EveryRowOfTheTableIsDescribed) {
    for (const auto& entry : ControlTable()) {
        SCOPED_TRACE(std::string(entry.Name.begin(), entry.Name.end()));
        const auto read = DescribeControl(entry.Kind, {.Text = std::u16string(entry.Caption)}, u"en");
        if (entry.Kind != ckForm) {
            EXPECT_NE(read.Role, arClient);
        }
    }
}

TEST(ControlAccessibility, FixedTextsFollowTheLanguageWithEnglishAsFallback) {
    struct TLanguageCase {
        std::u16string_view Language, Working, HomePage, Press;
    };
    const std::array cases = {
        TLanguageCase{u"ko", u"작업 중", u"제피릭스 홈페이지", u"누르기"},
        TLanguageCase{u"ja", u"処理中", u"ゼフィリックスのホームページ", u"押す"},
        TLanguageCase{u"fr", u"Traitement en cours", u"Page d'accueil de Zéphyrix", u"Appuyer"},
        TLanguageCase{u"de", u"Working", u"Zephyrix home page", u"Press"},
        TLanguageCase{u"", u"Working", u"Zephyrix home page", u"Press"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Language.begin(), c.Language.end()));
        EXPECT_EQ(DescribeControl(ckActivityIndicator, {}, c.Language).Name, c.Working);
        EXPECT_EQ(DescribeControl(ckImage, {}, c.Language).Name, c.HomePage);
        EXPECT_EQ(DescribeControl(ckStyledButton, {.Text = u"x"}, c.Language).DefaultAction, c.Press);
        // Captions are read as shown, whatever the language.
        EXPECT_EQ(DescribeControl(ckLabel, {.Text = u"IP: 10.0.0.2"}, c.Language).Name, u"IP: 10.0.0.2");
    }
}

TEST(ControlAccessibility, MnemonicMarksAreNotRead) {
    EXPECT_EQ(TextWithoutMnemonics(u"&Yes"), u"Yes");
    EXPECT_EQ(TextWithoutMnemonics(u"Save && go"), u"Save & go");
    EXPECT_EQ(TextWithoutMnemonics(u"end&"), u"end");
    EXPECT_EQ(TextWithoutMnemonics(u""), u"");
}

TEST(ControlAccessibility, ArrowKeysMoveRoundTheOptionBoxesInTableOrder) {
    using enum TControlId;
    const std::array order = {ChkTCPAckFrequency, ChkTcpDelAckTick, ChkTcpNoDelay, ChkNetworkThrottlingIndex,
                              ChkSystemResponsiveness};
    for (std::size_t i = 0; i < order.size(); ++i) {
        ASSERT_NE(NextCheckBox(order[i], true), nullptr);
        EXPECT_EQ(NextCheckBox(order[i], true)->Id, order[(i + 1) % order.size()]);
        EXPECT_EQ(NextCheckBox(order[i], false)->Id, order[(i + order.size() - 1) % order.size()]);
    }
    EXPECT_EQ(NextCheckBox(BtnStart, true), nullptr);
    // One Tab stop into the group: the first box.
    for (const TControlId box : order)
        EXPECT_EQ((FindControl(box).Options & coNoTabStop) == 0, box == ChkTCPAckFrequency);
}

} // namespace
} // namespace zx
