// The real connection switch and the real main program against the stand-in connection
// manager (tests/wine/netshell/), which Wine lacks: which connection goes down and up and
// when, every properties block given back, the program's end while the connection is
// down, and the next start after a kill at that moment.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/AdapterRestart.h"
#include "engine/Network.h"
#include "platform/win32/AdapterSwitch.h"
#include "platform/win32/WmiNetworkInventory.h"
#include "ui/UiDriver.h"

namespace {

using namespace zx::ui;
using zx::TControlId;

constexpr DWORD kRefreshWaitMs = 15000;
constexpr DWORD kSlowCallMs = 3000; // each Connect and Disconnect of the slow cases

struct TCall {
    ULONGLONG Tick = 0;
    DWORD Process = 0;
    std::string What, Name;
};

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring ActiveAdapterGuid() {
    zx::TWmiNetworkInventory inventory;
    std::u16string name, guid, ip;
    if (!zx::FindActiveAdapter(inventory, name, guid, ip)) return {};
    return Wide(guid);
}

// The probe peer beside this program (run-with-peer.sh) answers while "answer" exists.
void LetProbePeerAnswer() {
    const char* control = std::getenv("ZX_PEER_CONTROL");
    ASSERT_NE(control, nullptr) << "run through run-with-peer.sh";
    const std::string folder = std::string("Z:") + control;
    std::ofstream(folder + "/answer").close();
    ASSERT_TRUE(WaitUntil([&] { return std::ifstream(folder + "/listening").good(); }));
}

std::optional<std::wstring> RestartRecord() {
    wchar_t text[128] = {};
    DWORD size = sizeof(text);
    const std::wstring key(zx::kRestartRecordKey.begin(), zx::kRestartRecordKey.end());
    const std::wstring value(zx::kRestartRecordValue.begin(), zx::kRestartRecordValue.end());
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str(), RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr,
                       text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return text;
}

class ConnectionManager : public ::testing::Test {
protected:
    void SetUp() override {
        FGuid = ActiveAdapterGuid();
        ASSERT_FALSE(FGuid.empty()) << "the session should see the machine's adapter";
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        FLog = std::wstring(folder) + L"zx-netshell-" + std::to_wstring(::GetCurrentProcessId()) + L".log";
        ::DeleteFileW(FLog.c_str());
        // Reaches the stand-in in this process and in every program started from here.
        ::SetEnvironmentVariableW(L"ZX_NETSHELL_ADAPTER", FGuid.c_str());
        ::SetEnvironmentVariableW(L"ZX_NETSHELL_LOG", FLog.c_str());
        SetDelay(0);
        ResetSettings();
        ClearRecord();
    }
    void TearDown() override {
        if (FProgram) FProgram->Kill();
        ClearRecord();
        ResetSettings();
        ::DeleteFileW(FLog.c_str());
    }

    static void SetDelay(DWORD ms) { ::SetEnvironmentVariableW(L"ZX_NETSHELL_DELAY_MS", std::to_wstring(ms).c_str()); }
    static void ClearRecord() {
        const std::wstring key(zx::kRestartRecordKey.begin(), zx::kRestartRecordKey.end());
        const std::wstring value(zx::kRestartRecordValue.begin(), zx::kRestartRecordValue.end());
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str());
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &raw) ==
            ERROR_SUCCESS) {
            ::RegDeleteValueW(raw, value.c_str());
            ::RegCloseKey(raw);
        }
    }

    // Every call the stand-in logged, of `process` only when given.
    std::vector<TCall> Calls(DWORD process = 0) const {
        std::vector<TCall> calls;
        std::ifstream file(std::string(FLog.begin(), FLog.end()));
        std::string line;
        while (std::getline(file, line)) {
            std::istringstream fields(line);
            TCall call;
            if (!(fields >> call.Tick >> call.Process >> call.What >> call.Name)) continue;
            if (process == 0 || call.Process == process) calls.push_back(call);
        }
        return calls;
    }
    // "what name" of the connect and disconnect calls, in order.
    std::vector<std::string> Switches(DWORD process = 0) const {
        std::vector<std::string> switches;
        for (const TCall& call : Calls(process))
            if (call.What.rfind("connect", 0) == 0 || call.What.rfind("disconnect", 0) == 0)
                switches.push_back(call.What + " " + call.Name);
        return switches;
    }
    std::optional<ULONGLONG> TickOf(const std::string& what, DWORD process) const {
        for (const TCall& call : Calls(process))
            if (call.What == what && call.Name == "adapter") return call.Tick;
        return std::nullopt;
    }
    void ExpectEveryBlockGivenBack(DWORD process = 0) const {
        int handedOut = 0, givenBack = 0;
        for (const TCall& call : Calls(process)) {
            handedOut += call.What == "properties";
            givenBack += call.What == "free";
        }
        EXPECT_GT(handedOut, 0);
        EXPECT_EQ(givenBack, handedOut) << "properties blocks read and given back";
    }

    void Launch(const wchar_t* path) {
        FProgram.emplace(TProgram::Start(path));
        FWindow = WaitForMainWindow(FProgram->Id());
        ASSERT_NE(FWindow, nullptr) << "no visible TFrmZephyrix window";
        ASSERT_TRUE(WaitUntil([&] { return !WindowText(Control(TControlId::LblAdapter)).empty(); }));
    }
    HWND Control(TControlId id) const { return FindControl(FWindow, id); }
    std::wstring RunCaption() const { return WindowText(Control(TControlId::BtnStart)); }

    std::wstring FGuid, FLog;
    std::optional<TProgram> FProgram;
    HWND FWindow = nullptr;
};

TEST_F(ConnectionManager, TheSwitchActsOnTheMatchingConnectionOnlyAndGivesEveryBlockBack) {
    // No apartment of this thread's own: the switch enters and leaves one per call, and
    // leaving it lets COM unload the library it loaded for the class.
    zx::TConnectionManagerSwitch connections;
    const std::u16string guid(FGuid.begin(), FGuid.end());
    EXPECT_TRUE(connections.SetAdapterEnabled(guid, false));
    EXPECT_TRUE(connections.SetAdapterEnabled(guid, true));
    EXPECT_FALSE(connections.SetAdapterEnabled(u"{5A17E000-0000-4000-8000-00000000E2E1}", true)) << "no such one";
    EXPECT_FALSE(connections.SetAdapterEnabled(guid.substr(1, guid.size() - 2), true)) << "no braces, no match";
    EXPECT_EQ(Switches(),
              (std::vector<std::string>{"disconnect adapter", "disconnected adapter", "connect adapter",
                                        "connected adapter"}));
    std::vector<std::string> steps;
    for (const TCall& call : Calls()) steps.push_back(call.What + " " + call.Name);
    EXPECT_EQ(std::vector<std::string>(steps.begin(), steps.begin() + 6),
              (std::vector<std::string>{"enumerate all", "properties decoy", "free decoy", "properties adapter",
                                        "free adapter", "disconnect adapter"}))
        << "the decoy is read, given back and passed over";
    ExpectEveryBlockGivenBack();
    EXPECT_EQ(::GetModuleHandleW(L"netshell.dll"), nullptr) << "the library is freed after each call";
}

TEST_F(ConnectionManager, RunAndStopEachTakeTheActiveConnectionDownThenUp) {
    LetProbePeerAnswer();
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Running"; }, kRefreshWaitMs));
    const std::vector<std::string> once = {"disconnect adapter", "disconnected adapter", "connect adapter",
                                           "connected adapter"};
    EXPECT_EQ(Switches(FProgram->Id()), once);
    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Run"; }, kRefreshWaitMs));
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(Switches(FProgram->Id()), twice) << "never the decoy";
    ExpectEveryBlockGivenBack(FProgram->Id());
    EXPECT_EQ(RestartRecord(), std::nullopt) << "cleared once the connection was up";
}

TEST_F(ConnectionManager, ClosingWhileTheConnectionIsDownEndsOnlyOnceItIsUp) {
    SetDelay(kSlowCallMs);
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return TickOf("disconnect", FProgram->Id()).has_value(); }, kWaitMs + kSlowCallMs));
    EXPECT_EQ(RestartRecord(), FGuid) << "recorded before it went down";
    EXPECT_EQ(FProgram->Close(4 * kSlowCallMs + kWaitMs), 0u) << "ended on its own, not killed";
    const ULONGLONG ended = ::GetTickCount64();
    const DWORD id = FProgram->Id();
    FProgram.reset();
    const std::optional<ULONGLONG> up = TickOf("connected", id);
    ASSERT_TRUE(up.has_value()) << "Connect was called and returned";
    EXPECT_LE(*up, ended);
    EXPECT_EQ(Switches(id),
              (std::vector<std::string>{"disconnect adapter", "disconnected adapter", "connect adapter",
                                        "connected adapter"}));
    ExpectEveryBlockGivenBack(id);
    EXPECT_EQ(RestartRecord(), std::nullopt);
}

TEST_F(ConnectionManager, AProgramKilledWhileTheConnectionIsDownLeavesARecordAndTheNextStartBringsItUp) {
    SetDelay(kSlowCallMs);
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    Click(Control(TControlId::BtnStart));
    // Down, and Connect called but not returned.
    ASSERT_TRUE(WaitUntil([&] { return TickOf("connect", FProgram->Id()).has_value(); }, kWaitMs + 2 * kSlowCallMs));
    const DWORD killed = FProgram->Id();
    ASSERT_TRUE(::TerminateProcess(FProgram->Handle(), 0xDEAD));
    ASSERT_TRUE(FProgram->WaitForExit().has_value());
    FProgram.reset();
    EXPECT_EQ(Switches(killed),
              (std::vector<std::string>{"disconnect adapter", "disconnected adapter", "connect adapter"}))
        << "killed with the connection down";
    EXPECT_EQ(RestartRecord(), FGuid);

    SetDelay(0);
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    EXPECT_TRUE(WaitUntil([&] { return RestartRecord() == std::nullopt; })) << "the record is cleared";
    EXPECT_EQ(Switches(FProgram->Id()), (std::vector<std::string>{"connect adapter", "connected adapter"}))
        << "brought up unasked, nothing taken down";
    EXPECT_EQ(RunCaption(), L"Run") << "the state stored before the interrupted run";
    ExpectEveryBlockGivenBack(FProgram->Id());
}

} // namespace
