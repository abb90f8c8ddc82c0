// The launcher's Win32 side on the real system: the WinINet request against the loopback
// peer (pieces, bound, code page), the platform's answers about files, mutexes
// and versions, the local clock, and the fault report of a program that really faults.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "UpdatePeer.h"
#include "launcher/UpdateRequest.h"
#include "launcher/win32/LauncherPlatform.h"
#include "launcher/win32/WinInet.h"
#include "platform/win32/LocalClock.h"
#include "platform/win32/WideText.h"
#include "ui/UiDriver.h"

namespace zx::launcher::test {
namespace {

using namespace zx::ui;

const std::u16string kPeerAddress = ZX_LAUNCHER_PEER_URL;
const std::wstring kFolder = ZX_LAUNCHER_DIR;

std::u16string Fetch(TWinInet& internet, const std::u16string& address = kPeerAddress) {
    return FetchUpdateReply(
        internet, address, [] { return std::u16string(u"1.2.3.4"); }, [] { return std::u16string(u"ID"); });
}

class WinInetRequest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TUpdatePeer::WaitListening());
        TUpdatePeer::Reset();
    }
    TWinInet Internet{TTransportRule::trPlainHttpAllowed, 30000};
};

TEST_F(WinInetRequest, ReplyOfManyPiecesArrivesWholeWithTheHeadersSent) {
    std::string body = R"({"update":"http:\/\/x\/a.exe",)";
    for (int i = 0; body.size() < 5000; ++i) body += "\"k" + std::to_string(i) + "\":\"v\",";
    body += "}";
    TUpdatePeer::Reply(body);
    EXPECT_EQ(Fetch(Internet), std::u16string(body.begin(), body.end()));
    const auto requests = TUpdatePeer::Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Line, "GET /api.init.php HTTP/1.1");
    EXPECT_EQ(requests[0].Named("User-Version"), std::vector<std::string>{"User-Version: 1.2.3.4"});
    EXPECT_EQ(requests[0].Named("User-Debug"), std::vector<std::string>{"User-Debug: false"});
    EXPECT_EQ(requests[0].Named("User-Union"), std::vector<std::string>{"User-Union: ID"});
}

TEST_F(WinInetRequest, ReplyOverTheBoundCountsAsNone) {
    const std::string limit(kReplyLimit, 'x');
    TUpdatePeer::Reply(limit);
    EXPECT_EQ(Fetch(Internet).size(), kReplyLimit);
    TUpdatePeer::Reply(limit + "x");
    EXPECT_EQ(Fetch(Internet), u"");
}

TEST_F(WinInetRequest, EachByteIsOneCharacterOfTheAnsiCodePage) {
    // The tests run with code page 1252: 0xE9 is "é"; the two UTF-8 bytes of "é" are two
    // characters.
    ASSERT_EQ(::GetACP(), 1252u);
    TUpdatePeer::Reply("a\xE9|\xC3\xA9");
    EXPECT_EQ(Fetch(Internet), u"a\u00E9|\u00C3\u00A9");
}

TEST_F(WinInetRequest, NoAnswerGivesNoReply) {
    TUpdatePeer::Refuse();
    EXPECT_EQ(Fetch(Internet), u"");
    EXPECT_EQ(TUpdatePeer::Requests().size(), 1u);
    TUpdatePeer::Reset();
    EXPECT_EQ(Fetch(Internet, u"http://127.0.0.1:47093/api.init.php"), u""); // nothing listens there
    EXPECT_TRUE(TUpdatePeer::Requests().empty());
}

TEST(LauncherPlatform, AnswersAboutFilesVersionsAndItself) {
    TWin32LauncherPlatform platform;
    const std::u16string versioned = FromWide((kFolder + L"/zx_launcher_marker.exe").c_str());
    const std::u16string plain = FromWide((kFolder + L"/zx_launcher_marker_plain.exe").c_str());
    EXPECT_TRUE(platform.FileExists(versioned));
    EXPECT_FALSE(platform.FileExists(FromWide(kFolder.c_str()))) << "a folder is no file";
    EXPECT_FALSE(platform.FileExists(versioned + u".missing"));
    EXPECT_EQ(platform.FileVersionText(versioned), u"9.8.7.6");
    EXPECT_EQ(platform.FileVersionText(plain), u"0.0.0.0");
    EXPECT_TRUE(platform.ModulePath().ends_with(u"\\zx_launcher_wine_tests.exe"))
        << ::testing::PrintToString(std::wstring(reinterpret_cast<const wchar_t*>(platform.ModulePath().c_str())));
    EXPECT_NE(platform.CommandLine().find(u"zx_launcher_wine_tests"), std::u16string::npos);
    EXPECT_EQ(platform.UserDefaultLCID(), ::GetUserDefaultLCID());
}

TEST(LauncherPlatform, OnlyTheFirstHolderOfTheMutexGetsIt) {
    const std::u16string name = u"ZxLauncherTestMutex";
    {
        TWin32LauncherPlatform first;
        EXPECT_TRUE(first.HoldMutex(name));
        TWin32LauncherPlatform second;
        EXPECT_FALSE(second.HoldMutex(name));
    }
    TWin32LauncherPlatform after; // released with its holder
    EXPECT_TRUE(after.HoldMutex(name));
}

TEST(LocalClock, DateAndTimeAreTodaysLocalOnes) {
    TSystemLocalClock clock;
    SYSTEMTIME before;
    ::GetLocalTime(&before);
    const TLocalDate date = clock.Today();
    const TLocalTimeOfDay time = clock.TimeOfDay();
    EXPECT_EQ(date.Year, before.wYear);
    EXPECT_EQ(date.Month, before.wMonth);
    EXPECT_EQ(date.Day, before.wDay);
    const int seconds = time.Hour * 3600 + time.Minute * 60 + time.Second;
    const int expected = before.wHour * 3600 + before.wMinute * 60 + before.wSecond;
    const int later = (seconds - expected + 86400) % 86400; // across midnight too
    EXPECT_LE(later, 2) << seconds << " vs " << expected;
}

TEST(FaultReport, FaultIsNamedInAnErrorBoxAndEndsTheProcessWithItsCode) {
    TProgram probe = TProgram::Start(kFolder + L"/zx_launcher_fault_probe.exe");
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(probe.Id())) != nullptr; }));
    EXPECT_EQ(WindowText(box), L"Error");
    EXPECT_TRUE(MessageBoxText(box).starts_with(L"Access violation at address ")) << MessageBoxText(box).c_str();
    EXPECT_TRUE(MessageBoxText(box).ends_with(L" (exception C0000005)"));
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(probe.WaitForExit(), 0xC0000005u);
}

} // namespace
} // namespace zx::launcher::test
