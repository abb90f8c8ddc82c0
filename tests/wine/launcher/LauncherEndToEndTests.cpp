// The real launcher under Wine, in a test copy whose update address is the loopback peer
// and whose home page is a loopback address, with a marker program in place of
// Zephyrix.exe: what it starts, opens and shows, and what the update service sees.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "UpdatePeer.h"
#include "platform/win32/Handles.h"
#include "ui/UiDriver.h"

namespace zx::launcher::test {
namespace {

using namespace zx::ui;

const std::wstring kFolder = ZX_LAUNCHER_DIR;
const std::wstring kLauncher = kFolder + L"/ZephyrixService.exe";
const std::wstring kMainProgram = kFolder + L"/Zephyrix.exe";
const std::wstring kMarkerLog = kFolder + L"/marker-starts.log";
const std::wstring kVersionedMarker = kFolder + L"/zx_launcher_marker.exe";
const std::wstring kPlainMarker = kFolder + L"/zx_launcher_marker_plain.exe";

// The root of the update peer's host: the launcher opens "http://127.0.0.1:47090"; Wine's
// browser hand-over adds the root's "/".
const std::string kHomePage = "http://127.0.0.1:47090/";
const std::string kDownload = "http://127.0.0.1:47091/download/Zephyrix-1.7.exe";
const std::string kUpdateReply = R"({"update":"http:\/\/127.0.0.1:47091\/download\/Zephyrix-1.7.exe","info":{}})";
const std::string kNoUpdateReply = R"({"update":""})";

constexpr wchar_t kUpdateText[] = L"This program has been updated.\r\r"
                                  L"It is recommended to download and execute new for stable use.\r\r"
                                  L"Do you want to download it?";
constexpr wchar_t kDamagedText[] = L"The application configuration file is invalid.\r\rPlease reinstall and run.";

// Shell starts and browser hand-overs happen after the launcher has ended; a check that
// something did not happen waits this long first.
constexpr DWORD kQuietMs = 1500;

std::string ReadFile(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The addresses Wine's browser launcher was asked to open in this session.
std::string OpenedAddresses() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) return {};
    std::ifstream log(std::string("Z:") + prefix + "/opened-urls.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(log), {});
}

std::size_t LineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class Launcher : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("WINEPREFIX"), nullptr) << "run inside tools/wine-session";
        ASSERT_TRUE(TUpdatePeer::WaitListening());
        TUpdatePeer::Reset();
        RemoveMainProgram();
        ASSERT_TRUE(::CopyFileW(kVersionedMarker.c_str(), kMainProgram.c_str(), FALSE));
        ::DeleteFileW(kMarkerLog.c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Moravel");
        FOpenedBefore = OpenedAddresses().size();
    }

    void TearDown() override {
        for (auto& program : FPrograms) program.Kill();
        RemoveMainProgram();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Moravel");
    }

    static void RemoveMainProgram() {
        ::DeleteFileW(kMainProgram.c_str());
        ::RemoveDirectoryW(kMainProgram.c_str());
    }

    TProgram& Start(const std::wstring& arguments = L"") {
        return FPrograms.emplace_back(TProgram::Start(kLauncher, arguments));
    }

    // The launcher's message box, once it is up; null when none came.
    static HWND WaitForBox(const TProgram& program) {
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindMessageBox(program.Id())) != nullptr || program.HasExited(); });
        return FindMessageBox(program.Id());
    }

    // Lines the marker wrote, one per start of "Zephyrix.exe".
    static std::string MarkerStarts() { return ReadFile(kMarkerLog); }

    // Waits until the main program was started `count` times, then a little longer to see
    // that no further start follows.
    static std::size_t StartsAfterWaiting(std::size_t count) {
        if (count > 0) WaitUntil([&] { return LineCount(MarkerStarts()) >= count; });
        ::Sleep(kQuietMs);
        return LineCount(MarkerStarts());
    }

    // What was opened since the test began, after waiting for `expected` to appear.
    std::string OpenedAfterWaiting(const std::string& expected) {
        if (!expected.empty())
            WaitUntil([&] { return NewlyOpened() == expected; }, 10000);
        else
            ::Sleep(kQuietMs);
        return NewlyOpened();
    }
    std::string NewlyOpened() const { return OpenedAddresses().substr(FOpenedBefore); }

    std::deque<TProgram> FPrograms;
    std::size_t FOpenedBefore = 0;
};

TEST_F(Launcher, InstWithoutUpdateStartsTheMainProgramOnce) {
    TUpdatePeer::Reply(kNoUpdateReply);
    TProgram& launcher = Start(L"/inst");
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_EQ(StartsAfterWaiting(1), 1u);
    EXPECT_EQ(TUpdatePeer::Requests().size(), 1u);
    EXPECT_EQ(OpenedAfterWaiting(""), "");
}

TEST_F(Launcher, WithoutArgumentsNothingIsStarted) {
    TUpdatePeer::Reply(kNoUpdateReply);
    TProgram& launcher = Start();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_EQ(TUpdatePeer::Requests().size(), 1u) << "the update check runs without the switch too";
    EXPECT_EQ(StartsAfterWaiting(0), 0u);
}

TEST_F(Launcher, SwitchInOtherFormsCountsAsAbsent) {
    TUpdatePeer::Reply(kNoUpdateReply);
    for (const wchar_t* arguments : {L"/INST", L"/instx", L"x /inst"}) {
        EXPECT_EQ(Start(arguments).WaitForExit(), 0u) << arguments;
    }
    EXPECT_EQ(StartsAfterWaiting(0), 0u);
    EXPECT_EQ(Start(L"\"/inst\"").WaitForExit(), 0u);
    EXPECT_EQ(StartsAfterWaiting(1), 1u) << "a quoted switch is the switch";
}

TEST_F(Launcher, UpdateAcceptedOpensTheDownloadAndStartsNothing) {
    TUpdatePeer::Reply(kUpdateReply);
    TProgram& launcher = Start(L"/inst");
    HWND box = WaitForBox(launcher);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), L"Zephyrix");
    EXPECT_EQ(MessageBoxText(box), kUpdateText);
    AnswerMessageBox(box, IDYES);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_EQ(OpenedAfterWaiting(kDownload + "\n"), kDownload + "\n");
    EXPECT_EQ(StartsAfterWaiting(0), 0u);
}

TEST_F(Launcher, UpdateDeclinedStartsTheMainProgram) {
    TUpdatePeer::Reply(kUpdateReply);
    TProgram& launcher = Start(L"/inst");
    HWND box = WaitForBox(launcher);
    ASSERT_NE(box, nullptr);
    AnswerMessageBox(box, IDNO);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_EQ(StartsAfterWaiting(1), 1u);
    EXPECT_EQ(OpenedAfterWaiting(""), "");
}

TEST_F(Launcher, NoAnswerFromTheServiceStillStartsTheMainProgram) {
    TUpdatePeer::Refuse();
    TProgram& launcher = Start(L"/inst");
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_EQ(FindMessageBox(launcher.Id()), nullptr);
    EXPECT_EQ(StartsAfterWaiting(1), 1u);
}

TEST_F(Launcher, DownloadThatIsNoWebAddressIsNotOffered) {
    TUpdatePeer::Reply(R"({"update":"C:\\windows\\system32\\notepad.exe"})");
    TProgram& launcher = Start(L"/inst");
    EXPECT_EQ(launcher.WaitForExit(), 0u) << "no box may be waiting";
    EXPECT_EQ(StartsAfterWaiting(1), 1u);
    EXPECT_EQ(OpenedAfterWaiting(""), "");
}

TEST_F(Launcher, ServiceSeesTheAgentAndTheThreeHeadersOnly) {
    // The main program has run once: the maker's key exists, the value not yet.
    HKEY raw = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Moravel", 0, nullptr, 0, KEY_READ, nullptr, &raw, nullptr),
        ERROR_SUCCESS);
    ::RegCloseKey(raw);
    TUpdatePeer::Reply(kNoUpdateReply);
    EXPECT_EQ(Start().WaitForExit(), 0u);

    const auto requests = TUpdatePeer::Requests();
    ASSERT_EQ(requests.size(), 1u);
    const TSeenRequest& seen = requests[0];
    EXPECT_EQ(seen.Line, "GET /api.init.php HTTP/1.1");
    EXPECT_EQ(seen.Named("User-Agent"),
              std::vector<std::string>{"User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 "
                                       "(KHTML, like Gecko) Chrome/115.0.0.0 Safari/537.36"});
    EXPECT_EQ(seen.Named("User-Version"), std::vector<std::string>{"User-Version: 9.8.7.6"});
    EXPECT_EQ(seen.Named("User-Debug"), std::vector<std::string>{"User-Debug: false"});
    EXPECT_TRUE(seen.Named("User-Language").empty());
    EXPECT_TRUE(seen.Named("User-Command").empty());
    // The identifier the launcher made and stored, sent as it is stored.
    wchar_t stored[64] = L"";
    DWORD size = sizeof(stored);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Moravel", L"KUID", RRF_RT_REG_SZ, nullptr, stored, &size),
              ERROR_SUCCESS);
    const std::wstring id = stored;
    ASSERT_EQ(id.size(), 32u);
    EXPECT_EQ(seen.Named("User-Union"), std::vector<std::string>{"User-Union: " + std::string(id.begin(), id.end())});
    // The three lines in their order, each on a line of its own (no carriage return left in a value).
    std::vector<std::string> ours;
    for (const auto& header : seen.Headers)
        if (header.starts_with("User-") && !header.starts_with("User-Agent"))
            ours.push_back(header.substr(0, header.find(':')));
    EXPECT_EQ(ours, (std::vector<std::string>{"User-Version", "User-Debug", "User-Union"}));
    for (const auto& header : seen.Headers) EXPECT_EQ(header.find('\r'), std::string::npos) << header;
    // Always from the server, never from a cache.
    EXPECT_EQ(seen.Named("Pragma"), std::vector<std::string>{"Pragma: no-cache"});
}

TEST_F(Launcher, WithoutTheMakersKeyNoIdentifierIsSentOrMade) {
    TUpdatePeer::Reply(kNoUpdateReply);
    ::CopyFileW(kPlainMarker.c_str(), kMainProgram.c_str(), FALSE);
    EXPECT_EQ(Start().WaitForExit(), 0u);
    const auto requests = TUpdatePeer::Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Named("User-Version"), std::vector<std::string>{"User-Version: 0.0.0.0"});
    EXPECT_EQ(requests[0].Named("User-Union"), std::vector<std::string>{"User-Union: "}) << "sent, with no value";
    HKEY raw = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Moravel", 0, KEY_READ, &raw), ERROR_FILE_NOT_FOUND);
}

TEST_F(Launcher, AnIdentifierWithALineBreakIsSentEmptyAndAddsNoHeader) {
    const std::wstring planted = L"ABC\r\nX-Injected: 1";
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Moravel", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                                nullptr),
              ERROR_SUCCESS);
    const zx::TUniqueRegKey key(raw);
    ASSERT_EQ(::RegSetValueExW(key.get(), L"KUID", 0, REG_SZ, reinterpret_cast<const BYTE*>(planted.c_str()),
                               static_cast<DWORD>((planted.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    TUpdatePeer::Reply(kNoUpdateReply);
    ::CopyFileW(kPlainMarker.c_str(), kMainProgram.c_str(), FALSE);
    EXPECT_EQ(Start().WaitForExit(), 0u);
    const auto requests = TUpdatePeer::Requests();
    ASSERT_EQ(requests.size(), 1u) << "the request is still sent";
    EXPECT_EQ(requests[0].Named("User-Union"), std::vector<std::string>{"User-Union: "});
    EXPECT_TRUE(requests[0].Named("X-Injected").empty());
}

TEST_F(Launcher, MissingMainProgramGivesTheDamagedBoxTheHomePageAndNoRequest) {
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "a folder in its place" : "deleted");
        RemoveMainProgram();
        if (folder) {
            ASSERT_TRUE(::CreateDirectoryW(kMainProgram.c_str(), nullptr));
        }
        FOpenedBefore = OpenedAddresses().size();
        TUpdatePeer::Reply(kUpdateReply);
        TProgram& launcher = Start(L"/inst");
        HWND box = WaitForBox(launcher);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), L"Zephyrix");
        EXPECT_EQ(MessageBoxText(box), kDamagedText);
        AnswerMessageBox(box, IDOK);
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        EXPECT_EQ(OpenedAfterWaiting(kHomePage + "\n"), kHomePage + "\n");
        EXPECT_TRUE(TUpdatePeer::Requests().empty()) << "no request without the main program";
        EXPECT_EQ(StartsAfterWaiting(0), 0u);
    }
}

TEST_F(Launcher, SecondLauncherEndsAtOnceWhileTheFirstShowsItsBox) {
    TUpdatePeer::Reply(kUpdateReply);
    TProgram& first = Start(L"/inst");
    HWND box = WaitForBox(first);
    ASSERT_NE(box, nullptr);

    TProgram& second = Start(L"/inst");
    EXPECT_EQ(second.WaitForExit(), 0u) << "the second copy did not end at once";
    EXPECT_EQ(FindMessageBox(second.Id()), nullptr);
    EXPECT_EQ(TUpdatePeer::Requests().size(), 1u) << "the second copy made a request";

    AnswerMessageBox(box, IDNO);
    EXPECT_EQ(first.WaitForExit(), 0u);
    EXPECT_EQ(StartsAfterWaiting(1), 1u) << "only the first copy starts the main program";
}

// The damaged-installation box in the user's language; CTest runs this once per locale
// and names the LCID it set, so that a locale that did not take effect fails.
TEST_F(Launcher, DamagedBoxSpeaksTheUsersLanguage) {
    struct TLanguageCase {
        LCID Lcid;
        const wchar_t* Caption;
        const wchar_t* Text;
    };
    const TLanguageCase cases[] = {
        {0x0412, L"제피릭스", L"응용 프로그램 구성 파일이 잘못되었습니다.\r\r다시 설치 후 실행해 주십시오."},
        {0x0407, L"Zephyrix",
         L"Die Anwendungskonfigurationsdatei ist ungültig.\r\rBitte neu installieren und ausführen."},
        {0x0C07, L"Zephyrix", kDamagedText},
        {0x0409, L"Zephyrix", kDamagedText},
    };
    const LCID lcid = ::GetUserDefaultLCID();
    if (const char* expected = std::getenv("ZX_EXPECTED_LCID")) {
        ASSERT_EQ(lcid, std::strtoul(expected, nullptr, 16)) << "the locale did not take effect";
    }
    const TLanguageCase* language = nullptr;
    for (const auto& c : cases)
        if (c.Lcid == lcid) language = &c;
    ASSERT_NE(language, nullptr) << "no expected texts for LCID " << lcid;

    RemoveMainProgram();
    TProgram& launcher = Start();
    HWND box = WaitForBox(launcher);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), language->Caption);
    EXPECT_EQ(MessageBoxText(box), language->Text);
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

} // namespace
} // namespace zx::launcher::test
