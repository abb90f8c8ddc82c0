// Both programs over real TLS under Wine, against the update service's stand-in speaking
// TLS on loopback (with-tls-peer.sh: certificates made in the run, the throw-away root in
// the machine root store). One table per program, a row per way a server can answer:
// only a certificate that chains to a trusted root, is in date and names the host, over
// TLS 1.2 or newer, answered by the https address asked, gives an answer. Then both
// programs built as a release is (https only, their own entries), end to end.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "launcher/UpdatePeer.h"
#include "launcher/UpdateRequest.h"
#include "launcher/win32/WinInet.h"
#include "platform/win32/HttpGetText.h"
#include "platform/win32/WideText.h"
#include "ui/UiDriver.h"

namespace zx::launcher::test {
namespace {

using namespace zx::ui;
using std::chrono::milliseconds;
using TClock = std::chrono::steady_clock;

const std::u16string kUpdateURL = ZX_TLS_UPDATE_URL;
const std::u16string kPlainURL = ZX_TLS_PLAIN_URL;
const std::wstring kShortLauncher = std::wstring(ZX_TLS_SHORT_DIR) + L"/ZephyrixService.exe";
const std::wstring kShortMarkerLog = std::wstring(ZX_TLS_SHORT_DIR) + L"/marker-starts.log";
const std::wstring kReleaseLauncher = std::wstring(ZX_TLS_RELEASE_DIR) + L"/ZephyrixService.exe";
constexpr DWORD kBoundMs = ZX_TLS_BOUND_MS;
// Beyond the bound: the program's own start and end, and the marker's start.
constexpr DWORD kSlackMs = 6000;

const std::string kOffer = R"({"update":"https:\/\/localhost\/download\/Zephyrix-1.7.exe"})";
// Both programs show this text for an offer, in English.
constexpr wchar_t kOfferText[] = L"This program has been updated.\r\r"
                                 L"It is recommended to download and execute new for stable use.\r\r"
                                 L"Do you want to download it?";

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// The peer's TLS side: what it does, and what it logged of each connection ("handshake
// <version>", "refused <mode>", "stalled").
void ServeAs(const std::string& mode) {
    std::ofstream(TUpdatePeer::Folder() + "/tls") << mode;
}
void ForgetTlsLog() {
    ::DeleteFileA((TUpdatePeer::Folder() + "/tls.log").c_str());
}
std::vector<std::string> TlsLog() {
    return Lines(TUpdatePeer::Folder() + "/tls.log");
}

// Requests the peer's plain-http side answered.
std::size_t PlainRequests() {
    std::size_t count = 0;
    for (const TSeenRequest& request : TUpdatePeer::Requests())
        for (const std::string& host : request.Named("Host"))
            if (host.ends_with(":" + std::to_string(ZX_TLS_PLAIN_PORT))) ++count;
    return count;
}

std::size_t MarkerStarts() {
    return Lines(std::string(kShortMarkerLog.begin(), kShortMarkerLog.end())).size();
}

// One row: what the peer's TLS side does, whether the program takes the answer, and what
// the peer must have seen, so that a row fails for the reason it names and no other.
struct TServerCase {
    const char* Mode;
    bool Answered;
    // Requests that reached the TLS side: none when the program gave up on the connection.
    std::size_t RequestsOverTls;
    // What the peer logged of every connection, when the row is about that: "refused" (no
    // handshake completed) or "stalled"; null when it may have completed its side of the
    // handshake before the program refused the certificate.
    const char* PeerSaw;
};

void PrintTo(const TServerCase& row, std::ostream* out) {
    *out << row.Mode;
}

std::string RowName(const testing::TestParamInfo<TServerCase>& info) {
    std::string name = info.param.Mode;
    for (char& c : name)
        if (c == '-' || c == '.') c = '_';
    return name;
}

const TServerCase kServerCases[] = {
    {"trusted", true, 1, nullptr},
    {"untrusted-root", false, 0, nullptr},
    {"expired", false, 0, nullptr},
    {"wrong-host", false, 0, nullptr},
    // The plain side would offer; the program must not ask it.
    {"redirect-to-http", false, 1, nullptr},
    {"tls1.0", false, 0, "refused"},
    // Accepted, never a byte of handshake: no answer, within the bound.
    {"stall", false, 0, "stalled"},
};

// What the peer saw fits the row, and no handshake older than TLS 1.2 ever completed.
void ExpectPeerSaw(const TServerCase& row) {
    // The peer logs a refused handshake once it has seen the program leave, which may be
    // a moment after the program has given up.
    std::vector<std::string> logged;
    ASSERT_TRUE(WaitUntil([&] { return !(logged = TlsLog()).empty(); }, 3000)) << "the program never reached the peer";
    for (const std::string& line : logged) {
        if (line.starts_with("handshake ")) {
            EXPECT_TRUE(line == "handshake TLSv1.2" || line == "handshake TLSv1.3") << line;
        }
        if (row.PeerSaw) {
            EXPECT_EQ(line.substr(0, line.find(' ')), row.PeerSaw) << line;
        }
    }
    const std::size_t plain = PlainRequests();
    EXPECT_EQ(plain, 0u) << "an answer was asked of plain http";
    std::string seen;
    for (const TSeenRequest& request : TUpdatePeer::Requests()) seen += request.Line + "\n";
    for (const std::string& line : logged) seen += line + "\n";
    EXPECT_EQ(TUpdatePeer::Requests().size() - plain, row.RequestsOverTls) << seen;
}

class OverTls : public testing::TestWithParam<TServerCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(TUpdatePeer::WaitListening()) << "run through with-tls-peer.sh";
        TUpdatePeer::Reset();
        TUpdatePeer::Reply(kOffer);
        ServeAs(GetParam().Mode);
        ForgetTlsLog();
    }
    void TearDown() override { ServeAs("trusted"); }
};

// The main program's client as the program makes it (https only, TLS 1.2 at least, no
// redirection), with the check's bound cut from 30 s to 3 s.
class MainProgramOverTls : public OverTls {};

TEST_P(MainProgramOverTls, OnlyATrustedCurrentModernAnswerFromTheAddressAskedCounts) {
    const TServerCase& row = GetParam();
    TWinHttpTextClient client(TTransportRule::trHttpsOnly, {kBoundMs, kBoundMs, kBoundMs, kBoundMs, kBoundMs});
    std::u16string text = u"kept";
    const auto start = TClock::now();
    const bool answered = client.HttpGetText(kUpdateURL, {{u"User-Version", u"1.6.0.0"}}, text);
    const auto took = TClock::now() - start;
    EXPECT_EQ(answered, row.Answered);
    EXPECT_EQ(text, row.Answered ? std::u16string(kOffer.begin(), kOffer.end()) : u"kept");
    EXPECT_LT(took, milliseconds(kBoundMs + 1500)) << "not within the bound";
    ExpectPeerSaw(row);
}

INSTANTIATE_TEST_SUITE_P(Servers, MainProgramOverTls, testing::ValuesIn(kServerCases), RowName);

// Whether this WinINet tells the TLS version it negotiated (Windows' does; Wine's knows no
// INTERNET_OPTION_SECURITY_CONNECTION_INFO), asked of a trusted connection to the peer.
bool WinInetTellsTheTlsVersion() {
    ServeAs("trusted");
    bool tells = false;
    if (const HINTERNET internet = ::InternetOpenA("probe", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)) {
        if (const HINTERNET opened =
                ::InternetOpenUrlW(internet, Wide(kUpdateURL), nullptr, 0, INTERNET_FLAG_RELOAD, 0)) {
            std::vector<BYTE> info(4096);
            DWORD size = static_cast<DWORD>(info.size());
            tells = ::InternetQueryOptionW(opened, 66, info.data(), &size) != FALSE;
            ::InternetCloseHandle(opened);
        }
        ::InternetCloseHandle(internet);
    }
    return tells;
}

// The launcher copy with a 3 s bound, started with /inst beside a marker in place of
// Zephyrix.exe: an answer shows the offer (No is pressed); every row ends with the main
// program started once.
class LauncherOverTls : public OverTls {
protected:
    void SetUp() override {
        ::DeleteFileW(kShortMarkerLog.c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Moravel");
        if (std::string(GetParam().Mode) == "tls1.0") {
            static const bool tells = WinInetTellsTheTlsVersion();
            if (!tells)
                GTEST_SKIP() << "this WinINet does not tell the TLS version it negotiated (Wine's does not), "
                                "so the launcher cannot refuse TLS 1.0 here; Windows' does";
        }
        OverTls::SetUp();
    }
};

TEST_P(LauncherOverTls, OnlyATrustedCurrentModernAnswerIsOfferedAndInstStartsTheMainProgram) {
    const TServerCase& row = GetParam();
    const auto start = TClock::now();
    TProgram launcher = TProgram::Start(kShortLauncher, L"/inst");
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindMessageBox(launcher.Id())) != nullptr || launcher.HasExited(); },
              kBoundMs + kSlackMs);
    if (row.Answered) {
        ASSERT_NE(box, nullptr) << "no offer";
        EXPECT_EQ(MessageBoxText(box), kOfferText);
        AnswerMessageBox(box, IDNO);
    } else {
        EXPECT_EQ(box, nullptr) << "an offer came: " << testing::PrintToString(MessageBoxText(box));
        if (box) AnswerMessageBox(box, IDNO);
    }
    EXPECT_EQ(launcher.WaitForExit(kSlackMs), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([] { return MarkerStarts() >= 1; })) << "the main program was not started";
    const auto took = TClock::now() - start;
    EXPECT_EQ(MarkerStarts(), 1u);
    if (!row.Answered) {
        EXPECT_LT(took, milliseconds(kBoundMs + kSlackMs)) << "not within the bound";
    }
    ExpectPeerSaw(row);
}

INSTANTIATE_TEST_SUITE_P(Servers, LauncherOverTls, testing::ValuesIn(kServerCases), RowName);

// The release rule holds at run time, before anything is sent: neither client asks a
// plain-http address, though a peer would answer it.
TEST(TransportRuleAtRunTime, HttpsOnlyClientsNeverAskAPlainHttpAddress) {
    ASSERT_TRUE(TUpdatePeer::WaitListening());
    TUpdatePeer::Reset();
    TUpdatePeer::Reply(kOffer);
    TWinHttpTextClient main(TTransportRule::trHttpsOnly);
    std::u16string text = u"kept";
    EXPECT_FALSE(main.HttpGetText(kPlainURL, {}, text));
    EXPECT_EQ(text, u"kept");
    TWinInet launcher(TTransportRule::trHttpsOnly, kBoundMs);
    EXPECT_EQ(FetchUpdateReply(
                  launcher, kPlainURL, [] { return std::u16string(u"1.6.0.0"); }, [] { return std::u16string(); }),
              u"");
    EXPECT_EQ(PlainRequests(), 0u);
    // The same peer does answer a client that allows plain http.
    TWinHttpTextClient plain(TTransportRule::trPlainHttpAllowed);
    EXPECT_TRUE(plain.HttpGetText(kPlainURL, {}, text));
    EXPECT_EQ(PlainRequests(), 1u);
}

// The process of the main program's window, started by someone else; 0 while none shows.
DWORD MainProgramProcess() {
    DWORD id = 0;
    if (const HWND window = FindTopWindow(0, kMainWindowClass)) ::GetWindowThreadProcessId(window, &id);
    return id;
}

void EndProcess(DWORD id) {
    if (const HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
        ::TerminateProcess(process, kKilledExitCode);
        ::WaitForSingleObject(process, kWaitMs);
        ::CloseHandle(process);
    }
}

// Both programs from the product's own entries, built as a release is: the launcher's
// offer, its /inst start of the real main program once No is pressed, and the main
// program's own offer, each over TLS to the trusted peer.
TEST(ReleaseBuildOverTls, LauncherOffersStartsTheMainProgramAndTheMainProgramOffers) {
    ASSERT_TRUE(TUpdatePeer::WaitListening());
    TUpdatePeer::Reset();
    TUpdatePeer::Reply(kOffer);
    ServeAs("trusted");
    ForgetTlsLog();
    ResetSettings();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Moravel");
    ASSERT_EQ(MainProgramProcess(), 0u) << "a main program runs already";

    TProgram launcher = TProgram::Start(kReleaseLauncher, L"/inst");
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(launcher.Id())) != nullptr; }, 15000))
        << "the launcher offered nothing";
    EXPECT_EQ(MessageBoxText(box), kOfferText);
    AnswerMessageBox(box, IDNO);
    EXPECT_EQ(launcher.WaitForExit(), std::optional<DWORD>(0));

    DWORD main = 0;
    ASSERT_TRUE(WaitUntil([&] { return (main = MainProgramProcess()) != 0; }, 15000))
        << "the launcher did not start the main program";
    HWND offer = nullptr;
    const bool offered = WaitUntil([&] { return (offer = FindMessageBox(main)) != nullptr; }, 20000);
    if (offered) {
        EXPECT_EQ(MessageBoxText(offer), kOfferText);
        AnswerMessageBox(offer, IDNO);
    }
    EndProcess(main);
    ASSERT_TRUE(offered) << "the main program offered nothing";

    // One request of each, both over TLS 1.2 or newer: the launcher's with its agent, the
    // main program's with the user's language.
    const std::vector<TSeenRequest> requests = TUpdatePeer::Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Named("User-Agent").size(), 1u);
    EXPECT_TRUE(requests[0].Named("User-Language").empty());
    EXPECT_EQ(requests[1].Named("User-Language"), std::vector<std::string>{"User-Language: en"});
    const std::vector<std::string> logged = TlsLog();
    ASSERT_EQ(logged.size(), 2u);
    for (const std::string& line : logged) EXPECT_TRUE(line == "handshake TLSv1.2" || line == "handshake TLSv1.3");
}

} // namespace
} // namespace zx::launcher::test
