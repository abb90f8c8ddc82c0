// The real Zephyrix.exe under Wine, driven through its windows as a user would: captions
// in the user's language, cards, option boxes and their settings, the stored run state,
// the single-instance rule and the logo's web page.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>
#include <vector>
#include <thread>

#include "BuildSettings.h"
#include "RunningProgramTest.h"
#include "ScreenReader.h"
#include "UiDriver.h"

namespace {

using namespace zx::ui;
using zx::TControlId;

const std::wstring kProgramPath = reinterpret_cast<const wchar_t*>(ZEPHYRIX_EXE_PATH);

// What a user of each language reads. The window caption is English for every language
// but Korean; the title label and the other captions follow the language; a language
// without its own translations (German) gets English.
struct TLanguageCase {
    const wchar_t* Language;
    const wchar_t* Caption;
    const wchar_t* Title;
    const wchar_t* Home;
    const wchar_t* Config;
    const wchar_t* Run;
    const wchar_t* Running;
    const wchar_t* Version;
};

constexpr std::array kLanguageCases = {
    TLanguageCase{L"ko", L"제피릭스", L"제피릭스", L"처음화면", L"환경설정", L"실행하기", L"실행중", L"버전"},
    TLanguageCase{L"ja", L"Zephyrix", L"ゼフィリックス", L"ホーム", L"設定", L"実行する", L"実行中", L"バージョン"},
    TLanguageCase{L"de", L"Zephyrix", L"Zephyrix", L"Home", L"Config", L"Run", L"Running", L"Version"},
    TLanguageCase{L"en", L"Zephyrix", L"Zephyrix", L"Home", L"Config", L"Run", L"Running", L"Version"},
};

// The user's language is this process's, inherited by the program it starts. CTest runs
// the language-dependent tests once per locale and names the language it set, so that a
// locale that did not take effect fails instead of quietly testing English.
const TLanguageCase& CurrentLanguageCase() {
    const std::wstring language = UserLanguage();
    if (const char* expected = std::getenv("ZX_UI_LANGUAGE")) {
        const std::wstring wanted(expected, expected + std::char_traits<char>::length(expected));
        if (wanted != language) throw std::runtime_error("the user locale did not take effect");
    }
    for (const auto& row : kLanguageCases)
        if (language == row.Language) return row;
    throw std::runtime_error("no expected captions for the user's language");
}

struct TOptionBox {
    TControlId Id;
    const wchar_t* ValueName;
};

constexpr std::array kOptionBoxes = {
    TOptionBox{TControlId::ChkTcpNoDelay, L"tcpnodelay"},
    TOptionBox{TControlId::ChkTCPAckFrequency, L"tcpackfrequency"},
    TOptionBox{TControlId::ChkTcpDelAckTick, L"tcpdelacktick"},
    TOptionBox{TControlId::ChkNetworkThrottlingIndex, L"networkthrottleindex"},
    TOptionBox{TControlId::ChkSystemResponsiveness, L"systemresponsivess"},
};

class MainWindow : public RunningProgramTest {
protected:
    MainWindow() : RunningProgramTest(kProgramPath) {}

    // Here a missing control is a failure of its own.
    HWND Control(TControlId id) const {
        HWND control = RunningProgramTest::Control(id);
        EXPECT_NE(control, nullptr) << "no child window with ID " << static_cast<int>(id);
        return control;
    }

    std::wstring Text(TControlId id) const { return WindowText(Control(id)); }
};

using UserLanguage = MainWindow;

TEST_F(UserLanguage, CaptionsFollowTheUserLanguage) {
    const TLanguageCase& expected = CurrentLanguageCase();
    ASSERT_NE(Launch(), nullptr);

    EXPECT_EQ(WindowText(FWindow), expected.Caption);
    // The taskbar button belongs to the window itself: unowned, not a tool window.
    EXPECT_EQ(::GetWindow(FWindow, GW_OWNER), nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(FWindow, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

    EXPECT_EQ(Text(TControlId::LblTitle), expected.Title);
    EXPECT_EQ(Text(TControlId::BtnHome), expected.Home);
    EXPECT_EQ(Text(TControlId::BtnConfig), expected.Config);
    EXPECT_EQ(Text(TControlId::BtnStart), expected.Run);
    EXPECT_EQ(Text(TControlId::LblVersion), std::wstring(expected.Version) + L": " + L"" ZEPHYRIX_VERSION_TEXT);
    // The option names are not translated.
    EXPECT_EQ(Text(TControlId::ChkTcpNoDelay), L"TcpNoDelay");
    EXPECT_EQ(Text(TControlId::ChkSystemResponsiveness), L"SystemResponsiveness");
}

TEST_F(UserLanguage, StoredRunningStateShowsRunning) {
    const TLanguageCase& expected = CurrentLanguageCase();
    WriteSetting(L"status", 1);
    ASSERT_NE(Launch(), nullptr);

    HWND start = Control(TControlId::BtnStart);
    EXPECT_EQ(WindowText(start), expected.Running);
    EXPECT_TRUE(IsPressed(start));
    EXPECT_TRUE(IsEnabled(start));
    EXPECT_FALSE(IsShown(Control(TControlId::Indicator)));
    for (const auto& box : kOptionBoxes) EXPECT_FALSE(IsEnabled(Control(box.Id))) << "value " << box.ValueName;
    EXPECT_EQ(ReadSetting(L"status"), 1u);
}

// A stored state other than running shows idle; the window never sticks in the busy
// state, for which no refresh would be under way.
TEST_F(MainWindow, OtherStoredStatesShowIdle) {
    const TLanguageCase& expected = CurrentLanguageCase();
    for (DWORD stored : {0u, 2u, 7u}) {
        SCOPED_TRACE(testing::Message() << "stored status " << stored);
        ResetSettings();
        WriteSetting(L"status", stored);
        ASSERT_NE(Launch(), nullptr);

        HWND start = Control(TControlId::BtnStart);
        EXPECT_EQ(WindowText(start), expected.Run);
        EXPECT_FALSE(IsPressed(start));
        EXPECT_TRUE(IsEnabled(start));
        EXPECT_FALSE(IsShown(Control(TControlId::Indicator)));
        for (const auto& box : kOptionBoxes) EXPECT_TRUE(IsEnabled(Control(box.Id))) << "value " << box.ValueName;
        FProgram->Kill();
    }
}

TEST_F(MainWindow, EmptyStoreChecksEveryOptionAndStartsIdle) {
    ASSERT_NE(Launch(), nullptr);

    HWND start = Control(TControlId::BtnStart);
    EXPECT_EQ(WindowText(start), CurrentLanguageCase().Run);
    EXPECT_FALSE(IsPressed(start));
    EXPECT_TRUE(IsEnabled(start));
    for (const auto& box : kOptionBoxes) {
        EXPECT_TRUE(IsChecked(Control(box.Id))) << "value " << box.ValueName;
        EXPECT_TRUE(IsEnabled(Control(box.Id))) << "value " << box.ValueName;
    }
    // Loading writes each option back unchanged and the idle state as 0.
    EXPECT_TRUE(WaitUntil([] { return ReadSetting(L"status") == 0u; }));
    for (const auto& box : kOptionBoxes) EXPECT_EQ(ReadSetting(box.ValueName), 1u) << "value " << box.ValueName;
}

TEST_F(MainWindow, StoredOptionsAreShown) {
    for (const auto& box : kOptionBoxes) WriteSetting(box.ValueName, 0);
    WriteSetting(L"tcpdelacktick", 1);
    ASSERT_NE(Launch(), nullptr);

    for (const auto& box : kOptionBoxes) {
        const bool on = std::wstring(box.ValueName) == L"tcpdelacktick";
        EXPECT_EQ(IsChecked(Control(box.Id)), on) << "value " << box.ValueName;
        EXPECT_EQ(ReadSetting(box.ValueName), on ? 1u : 0u) << "value " << box.ValueName;
    }
}

TEST_F(MainWindow, HeaderSwitchesCards) {
    ASSERT_NE(Launch(), nullptr);
    HWND home = Control(TControlId::BtnHome);
    HWND config = Control(TControlId::BtnConfig);
    HWND card1 = Control(TControlId::Card1);
    HWND card2 = Control(TControlId::Card2);

    EXPECT_TRUE(IsShown(card1));
    EXPECT_FALSE(IsShown(card2));
    EXPECT_TRUE(IsPressed(home));
    EXPECT_FALSE(IsPressed(config));
    EXPECT_FALSE(IsShown(Control(TControlId::BtnDonate)));

    Click(config);
    EXPECT_TRUE(WaitUntil([&] { return IsShown(card2) && !IsShown(card1); })) << "Config did not show card 1";
    EXPECT_TRUE(IsPressed(config));
    EXPECT_FALSE(IsPressed(home));
    EXPECT_TRUE(IsShown(Control(TControlId::ChkTcpNoDelay)));
    EXPECT_FALSE(IsShown(Control(TControlId::BtnStart)));

    Click(home);
    EXPECT_TRUE(WaitUntil([&] { return IsShown(card1) && !IsShown(card2); })) << "Home did not show card 0";
    EXPECT_TRUE(IsPressed(home));
    EXPECT_FALSE(IsPressed(config));
    EXPECT_FALSE(IsShown(Control(TControlId::BtnDonate)));
}

TEST_F(MainWindow, EachOptionBoxStoresItsValue) {
    ASSERT_NE(Launch(), nullptr);
    Click(Control(TControlId::BtnConfig));

    for (const auto& box : kOptionBoxes) {
        SCOPED_TRACE(testing::Message() << "value " << box.ValueName);
        HWND check = Control(box.Id);
        ASSERT_NE(check, nullptr);
        Click(check);
        EXPECT_FALSE(IsChecked(check));
        EXPECT_TRUE(WaitUntil([&] { return ReadSetting(box.ValueName) == 0u; }))
            << "unticking did not store REG_DWORD 0";
        Click(check);
        EXPECT_TRUE(IsChecked(check));
        EXPECT_TRUE(WaitUntil([&] { return ReadSetting(box.ValueName) == 1u; })) << "ticking did not store REG_DWORD 1";
    }
    // An unticked box stays unticked on the next start.
    Click(Control(TControlId::ChkTcpDelAckTick));
    ASSERT_TRUE(WaitUntil([] { return ReadSetting(L"tcpdelacktick") == 0u; }));
    FProgram->Kill(); // nothing is saved at closing: the value is stored already
    ASSERT_NE(Launch(), nullptr);
    EXPECT_FALSE(IsChecked(Control(TControlId::ChkTcpDelAckTick)));
    EXPECT_TRUE(IsChecked(Control(TControlId::ChkTcpNoDelay)));
}

TEST_F(MainWindow, CopiesStartedAtTheSameInstantLeaveExactlyOneWindow) {
    std::vector<TProgram> copies;
    for (int i = 0; i < 8; ++i) copies.push_back(TProgram::Start(kProgramPath));
    // Every copy but one ends with code 0; the one left shows the window.
    const auto endedSilently = [&] {
        int ended = 0;
        for (const auto& copy : copies) ended += copy.WaitForExit(0) == 0u ? 1 : 0;
        return ended;
    };
    EXPECT_TRUE(WaitUntil([&] { return endedSilently() == 7; }, 20000)) << endedSilently() << " ended silently";
    TProgram* running = nullptr;
    for (auto& copy : copies)
        if (!copy.HasExited()) running = &copy;
    ASSERT_NE(running, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return FindTopWindow(running->Id(), kMainWindowClass) != nullptr; }));
    int windows = 0;
    for (auto& copy : copies) windows += FindTopWindow(copy.Id(), kMainWindowClass) != nullptr ? 1 : 0;
    EXPECT_EQ(windows, 1);
    for (auto& copy : copies) copy.Kill();
}

TEST_F(MainWindow, SecondStartEndsSilently) {
    ASSERT_NE(Launch(), nullptr);

    TProgram second = TProgram::Start(kProgramPath);
    // A second copy that opened a window or a message box would still be running.
    EXPECT_EQ(second.WaitForExit(), 0u) << "the second copy did not end silently";
    EXPECT_EQ(FindTopWindow(second.Id(), kMainWindowClass), nullptr);
    EXPECT_EQ(FindMessageBox(FProgram->Id()), nullptr);
    EXPECT_EQ(FindTopWindow(0, kMainWindowClass), FWindow) << "only the first window may be up";

    // Once the first copy has ended, a new start runs.
    EXPECT_EQ(FProgram->Close(), 0u) << "closing the window must end the program with code 0";
    ASSERT_NE(Launch(), nullptr);
}

// Reads the addresses that Wine's browser launcher was asked to open in this session.
std::string OpenedAddresses() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) return {};
    // The Unix root is drive Z:.
    std::ifstream log(std::string("Z:") + prefix + "/opened-urls.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(log), {});
}

TEST_F(MainWindow, LogoOpensTheProductPage) {
    ASSERT_NE(std::getenv("WINEPREFIX"), nullptr) << "run inside tools/wine-session";
    ASSERT_NE(Launch(), nullptr);
    const std::string before = OpenedAddresses();

    // A click, then a screen reader's default action on the logo (a link to the page).
    Click(Control(TControlId::ImgLogo));
    EXPECT_EQ(DoDefaultAction(Control(TControlId::ImgLogo)), S_OK);

    std::string page;
    for (char16_t c : std::u16string_view(ZEPHYRIX_SHORTLINK_URL u"/zephyrix")) page += static_cast<char>(c);
    const std::string expected = page + "\n" + page + "\n";
    std::string opened;
    EXPECT_TRUE(WaitUntil([&] { return (opened = OpenedAddresses().substr(before.size())) == expected; }, 10000))
        << "opened: " << opened; // exactly the product page, once each: not the donation page
}

// The driver's own handling of message boxes, on a real box of this process: later tests
// rely on it to read and answer the program's boxes.
TEST(MessageBoxDriver, FindsReadsAndAnswersABox) {
    for (const int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(testing::Message() << "answer " << answer);
        int result = 0;
        std::atomic<DWORD> ownerThread = 0;
        std::thread owner([&] {
            ownerThread = ::GetCurrentThreadId();
            result = ::MessageBoxW(nullptr, L"Line one\nline two", L"Zephyrix", MB_YESNO);
        });
        HWND box = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (box = FindMessageBox(::GetCurrentProcessId())) != nullptr; }));
        if (box) {
            EXPECT_EQ(WindowText(box), L"Zephyrix");
            EXPECT_EQ(MessageBoxText(box), L"Line one\nline two");
            AnswerMessageBox(box, answer);
        }
        EXPECT_TRUE(WaitUntil([&] { return FindMessageBox(::GetCurrentProcessId()) == nullptr; }));
        if (!box) ::PostThreadMessageW(ownerThread, WM_QUIT, 0, 0);
        owner.join();
        EXPECT_EQ(result, answer);
    }
}

} // namespace
