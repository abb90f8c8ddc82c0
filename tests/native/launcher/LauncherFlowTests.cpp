#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "native/launcher/FakeInternet.h"
#include "launcher/FaultText.h"
#include "launcher/LauncherFlow.h"
#include "native/ForbiddenAddressCharacters.h"
#include "native/ShowText.h"
#include "platform/memory/MemoryRegistry.h"

namespace zx::launcher {
namespace {

const std::u16string kFolder = u"C:\\Program Files\\Zephyrix\\";
const std::u16string kMainProgram = kFolder + u"Zephyrix.exe";
const TLauncherAddresses kAddresses{u"https://update.test/api.init.php"};
const std::u16string kDownload = u"https://dl.test/Zephyrix-1.7.exe";
const std::string kUpdateReply = R"({"update":"https:\/\/dl.test\/Zephyrix-1.7.exe","info":{}})";

const std::u16string kDamagedText = u"The application configuration file is invalid.\r\rPlease reinstall and run.";
const std::u16string kUpdateText = u"This program has been updated.\r\r"
                                   u"It is recommended to download and execute new for stable use.\r\r"
                                   u"Do you want to download it?";

struct TShownBox {
    std::u16string Text;
    std::u16string Caption;
    std::uint32_t Style;
};

// The system as a script: what exists and what the user answers; every call recorded.
class TFakeLauncherPlatform final : public ILauncherPlatform {
public:
    explicit TFakeLauncherPlatform(std::vector<std::string>& events) : FEvents(events) {}

    bool OtherCopyRuns = false;
    TLcid Lcid = 0x0409;
    std::u16string Module = kFolder + u"ZephyrixService.exe";
    std::u16string Line = u"\"" + kFolder + u"ZephyrixService.exe\" /inst";
    std::set<std::u16string> Files{kMainProgram};
    std::map<std::u16string, std::u16string> Versions{{kMainProgram, u"1.6.0.0"}};
    int Answer = kAnswerYes;
    std::u16string FaultOnFileTest; // non-empty: the file test raises this

    std::vector<TShownBox> Boxes;
    std::vector<std::u16string> Opened;
    std::vector<std::u16string> FileTests;
    std::vector<std::u16string> VersionReads;

    std::uint32_t TickCount() override {
        FEvents.push_back("tick");
        return 42;
    }
    bool HoldMutex(std::u16string_view name) override {
        FEvents.push_back("mutex-create " + Narrow(name));
        return !OtherCopyRuns;
    }
    TLcid UserDefaultLCID() override {
        FEvents.push_back("lcid");
        return Lcid;
    }
    std::u16string ModulePath() override { return Module; }
    std::u16string CommandLine() override { return Line; }
    bool FileExists(const std::u16string& path) override {
        if (!FaultOnFileTest.empty()) throw std::runtime_error(Narrow(FaultOnFileTest));
        FileTests.push_back(path);
        return Files.contains(path);
    }
    std::u16string FileVersionText(const std::u16string& path) override {
        VersionReads.push_back(path);
        const auto found = Versions.find(path);
        return found == Versions.end() ? u"0.0.0.0" : found->second;
    }
    int ShowMessageBox(const std::u16string& text, const std::u16string& caption, std::uint32_t style) override {
        FEvents.push_back("box");
        Boxes.push_back({text, caption, style});
        return Answer;
    }
    void ShellOpen(const std::u16string& target) override {
        FEvents.push_back("open");
        Opened.push_back(target);
    }

private:
    static std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }
    std::vector<std::string>& FEvents;
};

class TFixedClock final : public ILocalClock {
public:
    TLocalDate Today() override { return {2005, 1, 9}; }
    TLocalTimeOfDay TimeOfDay() override { return {7, 3, 4}; }
};

class LauncherFlowTest : public ::testing::Test {
protected:
    int Run() { return RunLauncherReportingFaults({Platform, Registry, Clock, Internet}, kAddresses); }

    std::vector<std::string> Events;
    TFakeLauncherPlatform Platform{Events};
    TMemoryRegistry Registry;
    TFixedClock Clock;
    TFakeInternet Internet{Events};
};

// The failure table: each situation with and without the switch, and what the user sees.
TEST_F(LauncherFlowTest, EachSituationShowsOpensAndStartsExactlyWhatItShould) {
    struct Case {
        const char* why = "";
        std::u16string arguments = {};
        bool mainMissing = false;
        TScriptedService service = {};
        int answer = kAnswerYes;
        bool otherCopy = false;
        // Expected:
        std::vector<std::u16string> boxes = {};
        std::vector<std::u16string> opened = {};
        bool requested = true;
    };
    const std::string overlong = kUpdateReply + std::string(kReplyLimit, ' ');
    const Case cases[] = {
        {.why = "second copy",
         .arguments = u"/inst",
         .service = {.Body = kUpdateReply},
         .otherCopy = true,
         .requested = false},
        {.why = "main program missing, /inst",
         .arguments = u"/inst",
         .mainMissing = true,
         .service = {.Body = kUpdateReply},
         .boxes = {kDamagedText},
         .opened = {u"https://update.test"},
         .requested = false},
        {.why = "main program missing",
         .mainMissing = true,
         .boxes = {kDamagedText},
         .opened = {u"https://update.test"},
         .requested = false},
        {.why = "no network, /inst",
         .arguments = u"/inst",
         .service = {.SessionFails = true},
         .opened = {kMainProgram}},
        {.why = "no network", .service = {.SessionFails = true}},
        {.why = "address cannot be opened, /inst",
         .arguments = u"/inst",
         .service = {.AddressFails = true, .Body = kUpdateReply},
         .opened = {kMainProgram}},
        {.why = "transfer breaks, /inst",
         .arguments = u"/inst",
         .service = {.Body = kUpdateReply, .MaxPiece = 20, .ReadFails = true},
         .opened = {kMainProgram}},
        {.why = "no update, /inst",
         .arguments = u"/inst",
         .service = {.Body = R"({"info":{}})"},
         .opened = {kMainProgram}},
        {.why = "no update", .service = {.Body = R"({"info":{}})"}},
        {.why = "empty update value, /inst",
         .arguments = u"/inst",
         .service = {.Body = R"({"update":""})"},
         .opened = {kMainProgram}},
        {.why = "error page, /inst",
         .arguments = u"/inst",
         .service = {.Body = "<html>404 Not Found</html>"},
         .opened = {kMainProgram}},
        {.why = "update, Yes, /inst",
         .arguments = u"/inst",
         .service = {.Body = kUpdateReply},
         .answer = kAnswerYes,
         .boxes = {kUpdateText},
         .opened = {kDownload}},
        {.why = "update, Yes",
         .service = {.Body = kUpdateReply},
         .answer = kAnswerYes,
         .boxes = {kUpdateText},
         .opened = {kDownload}},
        {.why = "update, No, /inst",
         .arguments = u"/inst",
         .service = {.Body = kUpdateReply},
         .answer = 7,
         .boxes = {kUpdateText},
         .opened = {kMainProgram}},
        {.why = "update, No", .service = {.Body = kUpdateReply}, .answer = 7, .boxes = {kUpdateText}},
        {.why = "update box closed otherwise, /inst",
         .arguments = u"/inst",
         .service = {.Body = kUpdateReply},
         .answer = 0,
         .boxes = {kUpdateText},
         .opened = {kMainProgram}},
        {.why = "update reply in many pieces, Yes",
         .service = {.Body = kUpdateReply, .MaxPiece = 3},
         .boxes = {kUpdateText},
         .opened = {kDownload}},
        {.why = "reply over the bound, /inst",
         .arguments = u"/inst",
         .service = {.Body = overlong},
         .opened = {kMainProgram}},
        {.why = "local program offered, /inst",
         .arguments = u"/inst",
         .service = {.Body = R"({"update":"C:\\Windows\\System32\\calc.exe"})"},
         .opened = {kMainProgram}},
        {.why = "share offered, /inst",
         .arguments = u"/inst",
         .service = {.Body = R"({"update":"\\\\host\\share\\setup.exe"})"},
         .opened = {kMainProgram}},
        {.why = "file address offered, /inst",
         .arguments = u"/inst",
         .service = {.Body = R"({"update":"file:///C:/x.exe"})"},
         .opened = {kMainProgram}},
        {.why = "scheme in capitals is still the web",
         .service = {.Body = R"({"update":"HTTPS://dl.test/a"})"},
         .boxes = {kUpdateText},
         .opened = {u"HTTPS://dl.test/a"}},
        {.why = "switch in capitals", .arguments = u"/INST", .service = {.Body = R"({"update":""})"}},
        {.why = "switch with more characters", .arguments = u"/install", .service = {.Body = "{}"}},
        {.why = "switch only second", .arguments = u"x /inst", .service = {.Body = "{}"}},
        {.why = "switch in quotes", .arguments = u"\"/inst\"", .service = {.Body = "{}"}, .opened = {kMainProgram}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> events;
        TFakeLauncherPlatform platform(events);
        TFakeInternet internet(events);
        TMemoryRegistry registry;
        platform.OtherCopyRuns = c.otherCopy;
        platform.Line = u"\"" + kFolder + u"ZephyrixService.exe\" " + c.arguments;
        if (c.mainMissing) platform.Files.clear();
        internet.Service = c.service;
        platform.Answer = c.answer;

        EXPECT_EQ(RunLauncherReportingFaults({platform, registry, Clock, internet}, kAddresses), 0) << c.why;

        std::vector<std::u16string> boxes;
        for (const auto& box : platform.Boxes) {
            boxes.push_back(box.Text);
            EXPECT_EQ(box.Caption, u"Zephyrix") << c.why;
            EXPECT_EQ(box.Style, box.Text == kDamagedText ? 0x50010u : 0x50044u) << c.why;
        }
        EXPECT_EQ(boxes, c.boxes) << c.why;
        EXPECT_EQ(platform.Opened, c.opened) << c.why;
        EXPECT_EQ(internet.Sessions, c.requested ? 1 : 0) << c.why;
    }
}

// The launcher's reader: a download address that holds a space, a control character or
// a double quote is not offered; with "/inst" the main program starts as without an update.
TEST_F(LauncherFlowTest, AnAddressThatCouldBreakTheBrowsersCommandLineIsNotOffered) {
    for (const auto& c : test::kForbiddenAddressCases) {
        std::vector<std::string> events;
        TFakeLauncherPlatform platform(events);
        TFakeInternet internet(events);
        TMemoryRegistry registry;
        internet.Service.Body = R"({"update":")" + c.Value + R"(","info":{}})";
        EXPECT_EQ(RunLauncherReportingFaults({platform, registry, Clock, internet}, kAddresses), 0) << c.What;
        EXPECT_TRUE(platform.Boxes.empty()) << c.What;
        EXPECT_EQ(platform.Opened, std::vector<std::u16string>{kMainProgram}) << c.What;
    }
}

TEST(LauncherHomePageTest, IsTheRootOfTheUpdateServicesHost) {
    struct Case {
        std::u16string service;
        std::u16string home;
    };
    const Case cases[] = {
        {u"https://update.moravel.example/api.init.php", u"https://update.moravel.example"},
        {u"http://127.0.0.1:47090/api.init.php", u"http://127.0.0.1:47090"},
        {u"https://update.example/v2/api.init.php?x=/y", u"https://update.example"},
        {u"https://update.example?x=1", u"https://update.example"},
        {u"https://update.example#api", u"https://update.example"},
        {u"https://update.example", u"https://update.example"},
        {u"update.example/api.init.php", u""},
        {u"", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(LauncherHomePage(c.service), c.home) << Show(c.service);
}

TEST_F(LauncherFlowTest, FirstStepsComeInOrderAndTheLocaleIsReadOnce) {
    Internet.Service.Body = kUpdateReply;
    EXPECT_EQ(Run(), 0);
    ASSERT_GE(Events.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(Events.begin(), Events.begin() + 3),
              (std::vector<std::string>{"tick", "mutex-create ZephyrixServiceMutex", "lcid"}));
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "lcid"), 1);
    // The request comes before its box, the box before the shell.
    EXPECT_EQ(std::vector<std::string>(Events.begin() + 3, Events.end()),
              (std::vector<std::string>{"internet-open", "open-address", "session-closed", "box", "open"}));
}

TEST_F(LauncherFlowTest, SecondCopyEndsRightAfterFindingTheMutexTaken) {
    Platform.OtherCopyRuns = true;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"tick", "mutex-create ZephyrixServiceMutex"}));
    EXPECT_TRUE(Platform.FileTests.empty());
}

TEST_F(LauncherFlowTest, MainProgramIsLookedForBesideTheLauncher) {
    struct Case {
        std::u16string module;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"C:\\Program Files\\Zephyrix\\ZephyrixService.exe", u"C:\\Program Files\\Zephyrix\\Zephyrix.exe"},
        {u"\\\\?\\C:\\Z\\ZephyrixService.exe", u"\\\\?\\C:\\Z\\Zephyrix.exe"},
        {u"\\\\host\\share\\ZephyrixService.exe", u"\\\\host\\share\\Zephyrix.exe"},
        {u"Z:/tmp/build/ZephyrixService.exe", u"Z:/tmp/build/Zephyrix.exe"},
        {u"C:ZephyrixService.exe", u"C:Zephyrix.exe"},
        {u"ZephyrixService.exe", u"Zephyrix.exe"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> events;
        TFakeLauncherPlatform platform(events);
        TFakeInternet internet(events);
        platform.Module = c.module;
        platform.Files = {c.expected};
        platform.Versions = {{c.expected, u"2.0.0.1"}};
        internet.Service.Body = "{}";
        EXPECT_EQ(RunLauncherReportingFaults({platform, Registry, Clock, internet}, kAddresses), 0);
        EXPECT_EQ(platform.FileTests, std::vector<std::u16string>{c.expected}) << Show(c.module);
        EXPECT_EQ(platform.VersionReads, std::vector<std::u16string>{c.expected}) << Show(c.module);
        EXPECT_EQ(platform.Opened, std::vector<std::u16string>{c.expected}) << Show(c.module); // with /inst
    }
}

TEST_F(LauncherFlowTest, RequestCarriesTheMainProgramsVersionAndTheIdentifier) {
    struct Case {
        const char* why;
        bool keyExists;
        std::map<std::u16string, std::u16string> versions;
        std::u16string expected; // up to the identifier
    };
    const Case cases[] = {
        {"key made by the main program: a new identifier",
         true,
         {{kMainProgram, u"1.6.0.0"}},
         u"User-Version: 1.6.0.0\rUser-Debug: false\rUser-Union: "},
        {"no key: empty identifier",
         false,
         {{kMainProgram, u"1.6.0.0"}},
         u"User-Version: 1.6.0.0\rUser-Debug: false\rUser-Union: "},
        {"no version resource", false, {}, u"User-Version: 0.0.0.0\rUser-Debug: false\rUser-Union: "},
    };
    for (const auto& c : cases) {
        std::vector<std::string> events;
        TFakeLauncherPlatform platform(events);
        TFakeInternet internet(events);
        TMemoryRegistry registry;
        if (c.keyExists) {
            ASSERT_NE(registry.CreateKey(kRootCurrentUser, u"Software\\Moravel", kKeyAllAccess), nullptr);
        }
        platform.Versions = c.versions;
        internet.Service.Body = "{}";
        EXPECT_EQ(RunLauncher({platform, registry, Clock, internet}, kAddresses), 0);
        EXPECT_EQ(internet.Address, u"https://update.test/api.init.php") << c.why;
        ASSERT_EQ(internet.Headers.substr(0, c.expected.size()), c.expected) << c.why;
        const std::u16string sent = internet.Headers.substr(c.expected.size());
        if (c.keyExists) {
            EXPECT_EQ(sent.size(), 32u) << c.why;
            EXPECT_EQ(registry.Value(kRootCurrentUser, u"Software\\Moravel", u"KUID"), StringValue(sent)) << c.why;
        } else {
            EXPECT_EQ(sent, u"") << c.why;
            EXPECT_FALSE(registry.KeyExists(kRootCurrentUser, u"Software\\Moravel")) << c.why;
        }
    }
}

TEST_F(LauncherFlowTest, IdentifierIsNeitherReadNorMadeWithoutAnInternetSession) {
    ASSERT_NE(Registry.CreateKey(kRootCurrentUser, u"Software\\Moravel", kKeyAllAccess), nullptr);
    Internet.Service.SessionFails = true;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Registry.Value(kRootCurrentUser, u"Software\\Moravel", u"KUID"), std::nullopt);
    EXPECT_TRUE(Platform.VersionReads.empty());
}

TEST_F(LauncherFlowTest, BoxesSpeakTheUsersLanguage) {
    struct Case {
        TLcid lcid;
        bool damaged;
        std::u16string caption;
        std::u16string text;
    };
    const Case cases[] = {
        {0x0412, false, u"제피릭스",
         u"업데이트가 정보가 있습니다.\r\r안정적으로 사용하기 위해 업데이트를 하시길 권장합니다.\r\r"
         u"다운로드 받으시겠습니까?"},
        {0x0412, true, u"제피릭스", u"응용 프로그램 구성 파일이 잘못되었습니다.\r\r다시 설치 후 실행해 주십시오."},
        {0x0411, true, u"Zephyrix",
         u"アプリケーションの設定ファイルが無効です。\r\r再インストールして実行してください。"},
        {0x0407, true, u"Zephyrix",
         u"Die Anwendungskonfigurationsdatei ist ungültig.\r\r"
         u"Bitte neu installieren und ausführen."},
        {0x0C07, false, u"Zephyrix", kUpdateText},
        {0x0404, true, u"Zephyrix", kDamagedText},
    };
    for (const auto& c : cases) {
        std::vector<std::string> events;
        TFakeLauncherPlatform platform(events);
        TFakeInternet internet(events);
        platform.Lcid = c.lcid;
        if (c.damaged) platform.Files.clear();
        internet.Service.Body = kUpdateReply;
        EXPECT_EQ(RunLauncher({platform, Registry, Clock, internet}, kAddresses), 0);
        ASSERT_EQ(platform.Boxes.size(), 1u);
        EXPECT_EQ(platform.Boxes[0].Caption, c.caption) << c.lcid;
        EXPECT_EQ(platform.Boxes[0].Text, c.text) << c.lcid << ": " << Show(platform.Boxes[0].Text);
    }
}

TEST_F(LauncherFlowTest, UnexpectedFaultIsNamedInAnErrorBoxAndEndsWithANonZeroCode) {
    Platform.FaultOnFileTest = u"The device is not ready.";
    EXPECT_EQ(Run(), kFaultExitCode);
    EXPECT_NE(kFaultExitCode, 0);
    ASSERT_EQ(Platform.Boxes.size(), 1u);
    EXPECT_EQ(Platform.Boxes[0].Caption, u"Error");
    EXPECT_EQ(Platform.Boxes[0].Text, u"The device is not ready.");
    EXPECT_EQ(Platform.Boxes[0].Style, 0x50010u);
    EXPECT_TRUE(Platform.Opened.empty());
}

TEST(DescribeSystemFaultTest, NamesTheFaultItsAddressAndCode) {
    struct Case {
        std::uint32_t code;
        std::uint64_t address;
        std::u16string expected;
    };
    const Case cases[] = {
        {0xC0000005, 0x140001A2B, u"Access violation at address 0000000140001A2B (exception C0000005)"},
        {0xC00000FD, 0x7FF612340000, u"Stack overflow at address 00007FF612340000 (exception C00000FD)"},
        {0xC0000094, 0, u"Integer division by zero at address 0000000000000000 (exception C0000094)"},
        {0xE06D7363, 0x1000, u"Exception at address 0000000000001000 (exception E06D7363)"},
    };
    for (const auto& c : cases) EXPECT_EQ(DescribeSystemFault(c.code, c.address), c.expected) << Show(c.expected);
}

} // namespace
} // namespace zx::launcher
