// Both programs against hostile peers on loopback: the update service's stand-in and the
// probe peer answer 100 MB, drip one byte per second, send invalid UTF-8 and NUL bytes,
// or redirect to a file: address or a local program. Each case checks from outside that
// the program's memory stays bounded (its resident peak, read on the Unix side), that
// nothing is opened or started, that the window keeps answering, and that the check or
// the connectivity wait ends within its bounds. Every case prints its figures.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>

#include "engine/Network.h"
#include "hostile/HostileSupport.h"
#include "platform/win32/WmiNetworkInventory.h"
#include "ui/ProcessResources.h"
#include "ui/UiDriver.h"

namespace {

using namespace zx::ui;
using namespace zx::hostile;
using zx::TControlId;

const std::string kDownload = std::string(ZX_HOSTILE_PAGE_PREFIX) + "download.exe";
const std::string kFollowed = std::string(ZX_HOSTILE_PAGE_PREFIX) + "followed.exe";

// Resident memory may grow this much above the figure before the hostile answer: the
// readers keep at most 1 MB of an answer, so 100 MB arriving must not show.
constexpr std::size_t kMemoryMarginKb = 24 * 1024;
// The launcher has no earlier figure to compare with: its whole peak stays below this.
constexpr std::size_t kLauncherPeakKb = 64 * 1024;
// The test copies cut one update attempt, and one probe, off after ZX_HOSTILE_BOUND_MS
// (the product after 30 s and 10 s); the check waits its real 10 s after a failed
// attempt, the connectivity wait its real second after a failed probe.
constexpr DWORD kUpdateAttemptBoundMs = ZX_HOSTILE_BOUND_MS;
constexpr DWORD kCheckPauseMs = 10000;
constexpr DWORD kSlackMs = 8000;
constexpr DWORD kProbeBoundMs = ZX_HOSTILE_BOUND_MS;
constexpr DWORD kProbePauseMs = 1000;

std::string MarkerPath() {
    std::wstring wide = ZX_HOSTILE_MARKER_LOG;
    wide.resize(wide.find_last_of(L'/') + 1);
    return std::string(wide.begin(), wide.end()) + "Zephyrix.exe";
}

bool MarkerStarted() {
    return ::GetFileAttributesW(ZX_HOSTILE_MARKER_LOG) != INVALID_FILE_ATTRIBUTES;
}

std::string FileURL(const std::string& winePath) {
    std::string url = "file:///" + winePath;
    std::replace(url.begin(), url.end(), '\\', '/');
    return url;
}

// A file on Z: holding an offer of its own: read through a followed redirect, it would
// offer kFollowed.
std::string PlantedAnswerURL() {
    const std::string path = ControlFolder("update") + "/planted.json";
    std::ofstream(path, std::ios::binary) << OfferAnswer(kFollowed);
    return FileURL(path);
}

struct THostileCase {
    const char* Name;
    std::string Mode; // the peer's "hostile" line
    DWORD BoundMs;    // from the hostile answer's start to the end of the check or wait
    bool AnswerYes;   // accept the offer that follows, to see which address is opened
    // The main program reads the download address as no web address (it holds a control
    // character): the check ends quietly, without an offer and without a second attempt.
    bool MainOffersNothing = false;
};

void PrintTo(const THostileCase& test, std::ostream* out) {
    *out << test.Name;
}

// The figures of one case, gathered while it runs.
struct TWatch {
    std::size_t BaselineKb = 0;
    std::size_t PeakKb = 0;
    int Unanswered = 0;
    double Seconds = 0;

    void Sample(const std::wstring& exe) {
        if (const auto memory = UnixMemoryOf(exe)) PeakKb = std::max(PeakKb, memory->PeakKb);
    }
    void Print(const char* program, const char* name, const char* outcome) const {
        std::printf("[hostile] %-8s %-14s peak %6zu kB (before %6zu kB)  ended after %5.1f s  %s\n", program, name,
                    PeakKb, BaselineKb, Seconds, outcome);
    }
};

class HostilePeer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("WINEPREFIX"), nullptr) << "run inside tools/wine-session";
        ResetSettings();
        ResetPeers();
        ::DeleteFileW(ZX_HOSTILE_MARKER_LOG);
        FOpenedBefore = OpenedAddresses().size();
    }
    void TearDown() override {
        if (FProgram) FProgram->Kill();
        for (const char* name : {"hold", "hostile", "hostile-left"}) RemoveControl("update", name);
        for (const char* name : {"hostile", "hostile-left"}) RemoveControl("probe", name);
        ResetSettings();
    }

    std::string NewlyOpened() const { return OpenedAddresses().substr(FOpenedBefore); }

    bool WindowAnswers() const {
        DWORD_PTR ignored = 0;
        return ::SendMessageTimeoutW(FWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) != 0;
    }

    // Samples memory and the window's answers until `ended` holds or the bound passes.
    bool WatchUntil(const std::function<bool()>& ended, DWORD boundMs, const std::wstring& exe, TWatch& watch) {
        const auto start = std::chrono::steady_clock::now();
        bool done = false;
        while (!done && std::chrono::steady_clock::now() - start < std::chrono::milliseconds(boundMs)) {
            watch.Sample(exe);
            if (FWindow && !WindowAnswers()) ++watch.Unanswered;
            done = ended();
            if (!done) ::Sleep(200);
        }
        watch.Sample(exe);
        watch.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return done;
    }

    std::optional<TProgram> FProgram;
    HWND FWindow = nullptr;
    std::size_t FOpenedBefore = 0;
};

// The main program's update check: the first attempt meets the hostile answer, the next
// ones the service's offer; the offer's appearance is the end of the check.
class HostileUpdateService : public HostilePeer, public testing::WithParamInterface<THostileCase> {};

TEST_P(HostileUpdateService, MainProgramStaysBoundedAndOpensNothing) {
    const THostileCase& test = GetParam();
    std::string mode = test.Mode;
    if (mode == "redirect planted") mode = "redirect " + PlantedAnswerURL();
    WriteControl("update", "answer", OfferAnswer(kDownload));
    WriteControl("update", "hostile", mode);
    WriteControl("update", "hostile-left", "1");
    WriteControl("update", "hold", "");

    const std::size_t requestsBefore = UpdateRequestCount();
    const std::size_t logMark = UpdateLogMark(); // earlier cases' requests are not this one's
    FProgram.emplace(TProgram::Start(ZX_HOSTILE_MAIN_EXE));
    FWindow = WaitForMainWindow(FProgram->Id());
    ASSERT_NE(FWindow, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return UpdateRequestCount() > requestsBefore; }, 15000)) << "no request came";
    TWatch watch;
    const auto before = UnixMemoryOf(ZX_HOSTILE_MAIN_EXE);
    ASSERT_TRUE(before) << "the program's /proc entry was not found";
    watch.BaselineKb = watch.PeakKb = before->PeakKb;

    RemoveControl("update", "hold");
    // WinHTTP takes a Location it cannot read as an address as a path on the same server:
    // that request, answered with the peer's 404 page, is the check's end.
    HWND offer = nullptr;
    bool followedAsPath = false;
    // Without an offer, nothing may come for a whole pause after the answer and more: a
    // second attempt would meet the service's offer.
    const DWORD boundMs = test.MainOffersNothing ? kCheckPauseMs + kSlackMs : test.BoundMs;
    const bool ended = WatchUntil(
        [&] {
            followedAsPath = UpdatePeerSaw("GET /file:", logMark);
            return (offer = FindMessageBox(FProgram->Id())) != nullptr || followedAsPath;
        },
        boundMs, ZX_HOSTILE_MAIN_EXE, watch);
    if (test.MainOffersNothing) {
        watch.Print("main", test.Name, ended ? "SOMETHING CAME" : "nothing offered, no second attempt");
        EXPECT_FALSE(ended) << (offer ? "an offer was shown" : "the Location was asked for");
        EXPECT_EQ(UpdateRequestCount(), requestsBefore + 1) << "the answer did not end the check";
    } else {
        watch.Print("main", test.Name,
                    !ended      ? "NO END"
                        : offer ? "offer shown"
                                : "Location asked for as a path of the peer (404), no offer");
        ASSERT_TRUE(ended) << "the check did not end within " << test.BoundMs << " ms";
    }
    EXPECT_EQ(watch.Unanswered, 0) << "the window stopped answering";
    EXPECT_LT(watch.PeakKb, watch.BaselineKb + kMemoryMarginKb);
    EXPECT_FALSE(FProgram->HasExited());

    if (offer) AnswerMessageBox(offer, test.AnswerYes ? IDYES : IDNO);
    ::Sleep(1500); // the time an opened address needs to reach the browser hook
    if (test.AnswerYes && offer) {
        EXPECT_TRUE(WaitUntil([&] { return NewlyOpened() == kDownload + "\n"; }, 10000)) << NewlyOpened();
    } else {
        EXPECT_EQ(NewlyOpened(), "");
        EXPECT_TRUE(WindowAnswers());
    }
    EXPECT_FALSE(MarkerStarted()) << "a local program was started";
}

// The launcher's one request meets the hostile answer; it ends on its own (after an offer,
// if one came, is answered).
class HostileLauncherPeer : public HostilePeer, public testing::WithParamInterface<THostileCase> {};

TEST_P(HostileLauncherPeer, LauncherStaysBoundedAndEnds) {
    const THostileCase& test = GetParam();
    std::string mode = test.Mode;
    if (mode == "redirect planted") mode = "redirect " + PlantedAnswerURL();
    WriteControl("update", "answer", OfferAnswer(kDownload));
    WriteControl("update", "hostile", mode);

    TWatch watch;
    FProgram.emplace(TProgram::Start(ZX_HOSTILE_LAUNCHER_EXE));
    bool offered = false;
    const bool ended = WatchUntil(
        [&] {
            if (const HWND box = FindMessageBox(FProgram->Id())) {
                offered = true;
                AnswerMessageBox(box, test.AnswerYes ? IDYES : IDNO);
            }
            return FProgram->HasExited();
        },
        test.BoundMs, ZX_HOSTILE_LAUNCHER_EXE, watch);
    watch.Print("launcher", test.Name, !ended ? "NO END" : offered ? "offer answered, ended" : "no offer, ended");
    ASSERT_TRUE(ended) << "the launcher did not end within " << test.BoundMs << " ms";
    EXPECT_EQ(FProgram->WaitForExit(0), 0u);
    EXPECT_LT(watch.PeakKb, kLauncherPeakKb);
    ::Sleep(1500);
    const std::string opened = NewlyOpened();
    EXPECT_TRUE(opened.empty() || (test.AnswerYes && opened == kDownload + "\n")) << opened;
    EXPECT_FALSE(MarkerStarted()) << "a local program was started";
}

const THostileCase kUpdateCases[] = {
    {"huge-body", "huge-body", kUpdateAttemptBoundMs / 3 + kCheckPauseMs + kSlackMs, false},
    {"drip-body", "drip-body", kUpdateAttemptBoundMs + kCheckPauseMs + kSlackMs, false},
    // Its address holds a NUL after the web prefix: the launcher's reading drops NUL bytes
    // and offers the rest; the main program's keeps it and offers nothing.
    {"garbage", std::string("garbage ") + ZX_HOSTILE_PAGE_PREFIX, kSlackMs, false, true},
    {"redirect-file", "redirect planted", kCheckPauseMs + kSlackMs, true},
    {"redirect-exe", "redirect " + FileURL(MarkerPath()), kCheckPauseMs + kSlackMs, false},
};

std::string CaseName(const testing::TestParamInfo<THostileCase>& info) {
    std::string name = info.param.Name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileUpdateService, testing::ValuesIn(kUpdateCases), CaseName);
INSTANTIATE_TEST_SUITE_P(Cases, HostileLauncherPeer, testing::ValuesIn(kUpdateCases), CaseName);

// An answer whose head itself drips: Wine's WinHTTP and WinINet wait for the head as long
// as it keeps coming, so the attempt ends only because the request gives up on it at its
// bound.
const THostileCase kHeadUpdateCases[] = {
    {"drip", "drip", kUpdateAttemptBoundMs + kCheckPauseMs + kSlackMs, false},
};
INSTANTIATE_TEST_SUITE_P(Head, HostileUpdateService, testing::ValuesIn(kHeadUpdateCases), CaseName);
INSTANTIATE_TEST_SUITE_P(Head, HostileLauncherPeer, testing::ValuesIn(kHeadUpdateCases), CaseName);

// The installer's last step runs the launcher with /inst: an update service whose head
// drips must not keep the main program from starting. The launcher gives up on the
// request at its bound and starts it (the marker) at once.
TEST_F(HostilePeer, LauncherWithInstStartsTheMainProgramWhenTheAnswersHeadDrips) {
    WriteControl("update", "answer", OfferAnswer(kDownload));
    WriteControl("update", "hostile", "drip");
    const std::size_t requestsBefore = UpdateRequestCount();

    TWatch watch;
    const auto start = std::chrono::steady_clock::now();
    FProgram.emplace(TProgram::Start(ZX_HOSTILE_LAUNCHER_EXE, L"/inst"));
    const bool ended = WatchUntil([&] { return MarkerStarted() && FProgram->HasExited(); },
                                  kUpdateAttemptBoundMs + kSlackMs, ZX_HOSTILE_LAUNCHER_EXE, watch);
    const auto startedAfter = std::chrono::steady_clock::now() - start;
    watch.Print("launcher", "drip /inst", !ended ? "NO END" : "main program started, ended");
    ASSERT_TRUE(ended) << "no start of the main program within " << kUpdateAttemptBoundMs + kSlackMs << " ms";
    EXPECT_EQ(FProgram->WaitForExit(0), 0u);
    EXPECT_GT(UpdateRequestCount(), requestsBefore) << "the request never reached the dripping peer";
    EXPECT_GE(startedAfter, std::chrono::milliseconds(kUpdateAttemptBoundMs) - std::chrono::milliseconds(500))
        << "started before the bound: the drip was not what the launcher met";
    ::Sleep(1000);
    EXPECT_EQ(NewlyOpened(), "") << "nothing is opened: there was no offer";
}

// The connectivity wait after Run: the first two probes meet the hostile answer, later
// ones are answered at once, so the wait ends within two probes' bounds and pauses.
class HostileProbePeer : public HostilePeer, public testing::WithParamInterface<THostileCase> {
protected:
    void TearDown() override {
        ClearMachineValues();
        HostilePeer::TearDown();
    }
    void ClearMachineValues() {
        const std::wstring interfaces = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
        const std::wstring profile = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";
        const std::pair<std::wstring, const wchar_t*> values[] = {
            {interfaces + FGuid, L"TcpAckFrequency"}, {interfaces + FGuid, L"TcpDelAckTicks"},
            {interfaces + FGuid, L"TCPNoDelay"},      {L"SOFTWARE\\Microsoft\\MSMQ\\Parameters", L"TCPNoDelay"},
            {profile, L"NetworkThrottlingIndex"},     {profile, L"SystemResponsiveness"}};
        for (const auto& [key, name] : values) {
            HKEY raw = nullptr;
            if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &raw) ==
                ERROR_SUCCESS) {
                ::RegDeleteValueW(raw, name);
                ::RegCloseKey(raw);
            }
        }
    }
    std::wstring FGuid;
};

TEST_P(HostileProbePeer, ConnectivityWaitEndsAndTheWindowAnswers) {
    const THostileCase& test = GetParam();
    {
        zx::TWmiNetworkInventory inventory;
        std::u16string name, guid, ip;
        ASSERT_TRUE(zx::FindActiveAdapter(inventory, name, guid, ip)) << "the session should see an adapter";
        FGuid.assign(guid.begin(), guid.end());
    }
    WriteControl("probe", "hostile", test.Mode);
    WriteControl("probe", "hostile-left", "2");
    WriteControl("probe", "answer", "");
    ASSERT_TRUE(WaitUntil([] {
        return ::GetFileAttributesA((ControlFolder("probe") + "/listening").c_str()) != INVALID_FILE_ATTRIBUTES;
    }));

    FProgram.emplace(TProgram::Start(ZX_HOSTILE_MAIN_EXE));
    FWindow = WaitForMainWindow(FProgram->Id());
    ASSERT_NE(FWindow, nullptr);
    const HWND run = FindControl(FWindow, TControlId::BtnStart);
    TWatch watch;
    const auto before = UnixMemoryOf(ZX_HOSTILE_MAIN_EXE);
    ASSERT_TRUE(before);
    watch.BaselineKb = watch.PeakKb = before->PeakKb;

    Click(run);
    const bool ended =
        WatchUntil([&] { return WindowText(run) == L"Running"; }, test.BoundMs, ZX_HOSTILE_MAIN_EXE, watch);
    watch.Print("probe", test.Name, ended ? "wait ended, Running" : "NO END");
    ASSERT_TRUE(ended) << "the wait did not end within " << test.BoundMs << " ms";
    EXPECT_EQ(watch.Unanswered, 0) << "the window stopped answering";
    EXPECT_LT(watch.PeakKb, watch.BaselineKb + kMemoryMarginKb);

    Click(run);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(run) == L"Run"; }, 15000));
    ::Sleep(500);
    EXPECT_EQ(NewlyOpened(), "");
    EXPECT_FALSE(MarkerStarted());
}

// Two probes that meet the hostile answer, each ending by its bound at the latest, and
// their pauses; the third probe is answered at once.
constexpr DWORD kProbeCaseBoundMs = 2 * (kProbeBoundMs + kProbePauseMs) + kSlackMs;

// A head of 100 MB and a head that drips are the cases WinHTTP left unbounded (a resident
// peak of 454 MB; no end at all): the probe reads no more than the status line's first
// bytes and gives up on it at its bound.
const THostileCase kProbeCases[] = {
    {"garbage", "garbage", kProbeCaseBoundMs, false},
    {"redirect-file", "redirect file:///C:/windows/win.ini", kProbeCaseBoundMs, false},
    {"redirect-exe", "redirect " + FileURL(MarkerPath()), kProbeCaseBoundMs, false},
    {"huge-head", "huge-head", kProbeCaseBoundMs, false},
    {"drip", "drip", kProbeCaseBoundMs, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, HostileProbePeer, testing::ValuesIn(kProbeCases), CaseName);

} // namespace
