// The real Zephyrix.exe as a screen reader and a keyboard-only user meet it, from another
// process: every control of ours reads with its role, name, state and default action;
// hidden controls are not in the tree; the option boxes are reached with Tab and the
// arrow keys, ticked with Space, and their stored values follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "ProcessResources.h"
#include "RunningProgramTest.h"
#include "ScreenReader.h"
#include "UiDriver.h"

namespace {

using namespace zx::ui;
using zx::TControlId;

const std::wstring kProgramPath = reinterpret_cast<const wchar_t*>(ZEPHYRIX_EXE_PATH);

constexpr LONG kUnavailable = STATE_SYSTEM_UNAVAILABLE;
constexpr LONG kSelected = STATE_SYSTEM_SELECTED;
constexpr LONG kPressed = STATE_SYSTEM_PRESSED;
constexpr LONG kInvisible = STATE_SYSTEM_INVISIBLE;
constexpr LONG kFocusable = STATE_SYSTEM_FOCUSABLE;

class ScreenReaderView : public RunningProgramTest {
protected:
    ScreenReaderView() : RunningProgramTest(kProgramPath) {}

    std::vector<TControlId> TreeChildren(TControlId id) const {
        std::vector<TControlId> ids;
        for (HWND child : AccessibleChildWindows(Control(id)))
            ids.push_back(static_cast<TControlId>(::GetDlgCtrlID(child)));
        return ids;
    }
};

// What an English user's reader says for each control of ours on the home card. Names
// empty here are the window text (labels whose text depends on the machine).
struct TReadCase {
    TControlId Id;
    LONG Role;
    const wchar_t* Name; // null: the control's window text
    LONG StatesSet;
    LONG StatesClear;
    const wchar_t* DefaultAction;
};

const std::array kHomeCard = {
    TReadCase{TControlId::PnlHead, kRoleGrouping, L"", 0, kInvisible, L""},
    TReadCase{TControlId::BtnHead, kRolePageTabList, L"", 0, kInvisible, L""},
    TReadCase{TControlId::BtnHome, kRolePageTab, L"Home", kSelected | kFocusable, kInvisible, L"Switch"},
    TReadCase{TControlId::BtnConfig, kRolePageTab, L"Config", kFocusable, kSelected | kInvisible, L"Switch"},
    TReadCase{TControlId::PnlLogo, kRoleGrouping, L"", 0, kInvisible, L""},
    TReadCase{TControlId::ImgLogo, kRoleLink, L"Zephyrix home page", STATE_SYSTEM_LINKED, kInvisible, L"Jump"},
    TReadCase{TControlId::PnlMain, kRoleGrouping, L"", 0, kInvisible, L""},
    TReadCase{TControlId::Card1, kRoleGrouping, L"", 0, kInvisible, L""},
    TReadCase{TControlId::LblTitle, kRoleStaticText, L"Zephyrix", STATE_SYSTEM_READONLY, kInvisible, L""},
    TReadCase{TControlId::LblContent, kRoleStaticText, nullptr, STATE_SYSTEM_READONLY, kInvisible, L""},
    TReadCase{TControlId::BtnStart, kRolePushButton, L"Run", kFocusable, kPressed | kUnavailable | kInvisible,
              L"Press"},
    TReadCase{TControlId::Indicator, kRoleAnimation, L"Working", kInvisible, 0, L""},
    TReadCase{TControlId::Card2, kRoleGrouping, L"", kInvisible, 0, L""},
    TReadCase{TControlId::BtnDonate, kRolePageTab, L"Donate", kInvisible, 0, L"Switch"},
};

const std::array kConfigCard = {
    TReadCase{TControlId::Card2, kRoleGrouping, L"", 0, kInvisible, L""},
    TReadCase{TControlId::BtnConfig, kRolePageTab, L"Config", kSelected, kInvisible, L"Switch"},
    TReadCase{TControlId::BtnHome, kRolePageTab, L"Home", 0, kSelected, L"Switch"},
    TReadCase{TControlId::GroupBox1, kRoleGrouping, L"Network Adapter", 0, kInvisible, L""},
    TReadCase{TControlId::LblAdapter, kRoleStaticText, nullptr, STATE_SYSTEM_READONLY, kInvisible, L""},
    TReadCase{TControlId::LblIPAddress, kRoleStaticText, nullptr, STATE_SYSTEM_READONLY, kInvisible, L""},
    TReadCase{TControlId::GroupBox2, kRoleGrouping, L"Disable Nagle's algorithm", 0, kInvisible, L""},
    TReadCase{TControlId::GroupBox3, kRoleGrouping, L"Network Throttling Index", 0, kInvisible, L""},
    TReadCase{TControlId::LblVersion, kRoleStaticText, nullptr, STATE_SYSTEM_READONLY, kInvisible, L""},
    TReadCase{TControlId::Card1, kRoleGrouping, L"", kInvisible, 0, L""},
};

void ExpectReads(HWND window, const TReadCase& c) {
    const HWND control = FindControl(window, c.Id);
    ASSERT_NE(control, nullptr);
    const TAccessibleRead read = ReadAccessible(control);
    ASSERT_EQ(read.Result, S_OK);
    EXPECT_EQ(read.Role, c.Role) << "read as " << std::string(RoleText(read.Role).begin(), RoleText(read.Role).end());
    EXPECT_EQ(read.Name, c.Name ? std::wstring(c.Name) : WindowText(control));
    EXPECT_EQ(read.State & c.StatesSet, c.StatesSet) << std::hex << read.State;
    EXPECT_EQ(read.State & c.StatesClear, 0) << std::hex << read.State;
    EXPECT_EQ(read.DefaultAction, c.DefaultAction);
}

TEST_F(ScreenReaderView, EveryControlOfOursReadsWithRoleNameStateAndAction) {
    ASSERT_NE(Launch(), nullptr);
    // Labels filled by the adapter search: read once it has ended.
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(Control(TControlId::LblAdapter)).empty(); }));
    for (const auto& c : kHomeCard) {
        SCOPED_TRACE(testing::Message() << "home card, control " << static_cast<int>(c.Id));
        ExpectReads(FWindow, c);
    }
    // The slogan is read without its markup.
    EXPECT_EQ(ReadAccessible(Control(TControlId::LblContent)).Name.find(L'<'), std::wstring::npos);

    Click(Control(TControlId::BtnConfig));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(Control(TControlId::Card2)); }));
    for (const auto& c : kConfigCard) {
        SCOPED_TRACE(testing::Message() << "configuration card, control " << static_cast<int>(c.Id));
        ExpectReads(FWindow, c);
    }
    EXPECT_EQ(ReadAccessible(Control(TControlId::LblIPAddress)).Name.rfind(L"IP: ", 0), 0u);
}

// Start-up does not pay for screen readers: oleacc loads when one first asks.
TEST_F(ScreenReaderView, AccessibilityLibraryLoadsOnlyWhenAReaderAsks) {
    ASSERT_NE(Launch(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(Control(TControlId::LblAdapter)).empty(); }));
    EXPECT_FALSE(HasLoadedModule(FProgram->Handle(), L"oleacc.dll"));
    EXPECT_TRUE(HasLoadedModule(FProgram->Handle(), L"user32.dll")) << "the module list is readable";
    EXPECT_EQ(ReadAccessible(Control(TControlId::BtnStart)).Result, S_OK);
    EXPECT_TRUE(HasLoadedModule(FProgram->Handle(), L"oleacc.dll"));
}

TEST_F(ScreenReaderView, HiddenControlsAreNotInTheTree) {
    ASSERT_NE(Launch(), nullptr);
    using enum TControlId;
    EXPECT_EQ(TreeChildren(BtnHead), (std::vector{BtnHome, BtnConfig})) << "no donation button";
    EXPECT_EQ(TreeChildren(PnlMain), (std::vector{Card1})) << "only the card shown";
    const auto home = TreeChildren(Card1);
    EXPECT_EQ(std::count(home.begin(), home.end(), Indicator), 0) << "no idle busy indicator";
    EXPECT_EQ(std::count(home.begin(), home.end(), BtnStart), 1);

    Click(Control(BtnConfig));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(Control(Card2)); }));
    EXPECT_EQ(TreeChildren(PnlMain), (std::vector{Card2}));
    const auto options = TreeChildren(GroupBox2);
    EXPECT_EQ(options.size(), 3u) << "the three boxes of the group, the system's own objects";
}

TEST_F(ScreenReaderView, HeaderTabActionSwitchesTheCardAsAClickDoes) {
    ASSERT_NE(Launch(), nullptr);
    TWinEventRecorder events(FProgram->Id());
    // The header tab's action switches the card, as its click does, and says so.
    EXPECT_EQ(DoDefaultAction(Control(TControlId::BtnConfig)), S_OK);
    EXPECT_TRUE(WaitUntil([&] { return IsShown(Control(TControlId::Card2)); }));
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, Control(TControlId::BtnConfig)));
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, Control(TControlId::BtnHome))) << "released";
    EXPECT_NE(ReadAccessible(Control(TControlId::BtnConfig)).State & kSelected, 0);
    // A control without an action refuses it.
    EXPECT_EQ(DoDefaultAction(Control(TControlId::LblTitle)), DISP_E_MEMBERNOTFOUND);
}

// The option boxes from the keyboard alone: one Tab stop into them, the arrow keys move
// among the five (across both groups), Space ticks, and the stored value follows.
TEST_F(ScreenReaderView, OptionsAreReachedWithTabAndArrowsAndTickedWithSpace) {
    ASSERT_NE(Launch(), nullptr);
    using enum TControlId;
    TWinEventRecorder events(FProgram->Id());
    ASSERT_TRUE(WaitUntil([] { return ReadSetting(L"tcpnodelay") == 1u; })) << "settings loaded";
    // Tab from the first control to the configuration tab, which shows its card.
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(FWindow) == Control(BtnHome); }));
    ASSERT_TRUE(PressKey(FWindow, VK_TAB));
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(FWindow) == Control(BtnConfig); }));
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_FOCUS, Control(BtnConfig))) << "focus on a control of ours is announced";
    EXPECT_NE(ReadAccessible(Control(BtnConfig)).State & STATE_SYSTEM_FOCUSED, 0);
    ASSERT_TRUE(PressKey(FWindow, VK_SPACE));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(Control(Card2)); }));

    // One Tab reaches the first box.
    ASSERT_TRUE(PressKey(FWindow, VK_TAB));
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(FWindow) == Control(ChkTCPAckFrequency); }))
        << "focus on " << ::GetDlgCtrlID(FocusedControl(FWindow));
    // The focus rectangle shows: the keyboard is in use.
    EXPECT_EQ(::SendMessageW(Control(ChkTCPAckFrequency), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);

    struct TStep {
        WORD Key;
        TControlId Focus;
    };
    for (const TStep step : {TStep{VK_RIGHT, ChkTcpDelAckTick}, TStep{VK_DOWN, ChkTcpNoDelay},
                             TStep{VK_RIGHT, ChkNetworkThrottlingIndex}, TStep{VK_RIGHT, ChkSystemResponsiveness},
                             TStep{VK_RIGHT, ChkTCPAckFrequency}, TStep{VK_LEFT, ChkSystemResponsiveness},
                             TStep{VK_UP, ChkNetworkThrottlingIndex}, TStep{VK_LEFT, ChkTcpNoDelay}}) {
        SCOPED_TRACE(testing::Message() << "key " << step.Key << " to " << static_cast<int>(step.Focus));
        ASSERT_TRUE(PressKey(FWindow, step.Key));
        EXPECT_TRUE(WaitUntil([&] { return FocusedControl(FWindow) == Control(step.Focus); }))
            << "focus on " << ::GetDlgCtrlID(FocusedControl(FWindow));
    }
    // Space ticks the focused box off and on; the store follows each time.
    ASSERT_TRUE(PressKey(FWindow, VK_SPACE));
    EXPECT_TRUE(WaitUntil([] { return ReadSetting(L"tcpnodelay") == 0u; }));
    EXPECT_FALSE(IsChecked(Control(ChkTcpNoDelay)));
    EXPECT_TRUE(IsChecked(Control(ChkTCPAckFrequency))) << "only the focused box";
    ASSERT_TRUE(PressKey(FWindow, VK_SPACE));
    EXPECT_TRUE(WaitUntil([] { return ReadSetting(L"tcpnodelay") == 1u; }));
    EXPECT_TRUE(IsChecked(Control(ChkTcpNoDelay)));

    // A whole round of Tab stops at one box only: the one that last had the focus.
    std::vector<HWND> boxesVisited;
    for (int i = 0; i < 8; ++i) {
        const HWND before = FocusedControl(FWindow);
        ASSERT_TRUE(PressKey(FWindow, VK_TAB));
        ASSERT_TRUE(WaitUntil([&] { return FocusedControl(FWindow) != before; })) << "Tab did not move";
        const int id = ::GetDlgCtrlID(FocusedControl(FWindow));
        if (id >= static_cast<int>(ChkTCPAckFrequency) && id <= static_cast<int>(ChkSystemResponsiveness))
            boxesVisited.push_back(FocusedControl(FWindow));
        if (FocusedControl(FWindow) == Control(ChkTcpNoDelay)) break;
    }
    EXPECT_EQ(boxesVisited, (std::vector{Control(ChkTcpNoDelay)}));
}

} // namespace
