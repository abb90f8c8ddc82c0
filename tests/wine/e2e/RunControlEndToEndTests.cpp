// Run and Stop on the real main program under Wine: the values it writes under the
// machine's adapter in HKLM (64-bit view), the busy wait until the probe peer answers,
// and the no-network refusal in a namespace that holds only loopback.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "engine/Network.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WmiNetworkInventory.h"
#include "e2e/SlowPlatform.h"
#include "ui/ScreenReader.h"
#include "ui/UiDriver.h"

namespace {

using namespace zx::ui;
using zx::TControlId;

constexpr wchar_t kInterfacesKey[] = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
constexpr wchar_t kQueueKey[] = L"SOFTWARE\\Microsoft\\MSMQ\\Parameters";
constexpr wchar_t kProfileKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";
constexpr DWORD kRefreshWaitMs = 15000; // a few probe pauses of one second

// A REG_DWORD below HKLM in the 64-bit view; nothing when absent.
std::optional<DWORD> MachineValue(const std::wstring& key, const wchar_t* name) {
    DWORD value = 0, size = sizeof(value), type = 0;
    const LSTATUS status =
        ::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_ANY | RRF_SUBKEY_WOW6464KEY, &type, &value, &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
    return value;
}

void DeleteMachineValue(const std::wstring& key, const wchar_t* name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &raw) != ERROR_SUCCESS)
        return;
    const zx::TUniqueRegKey owned(raw);
    ::RegDeleteValueW(owned.get(), name);
}

struct TAdapterSeen {
    std::wstring Name, Guid, Ip;
};

// The adapter the program will choose, found the same way; empty when none.
TAdapterSeen ActiveAdapter() {
    zx::TWmiNetworkInventory inventory;
    std::u16string name, guid, ip;
    if (!zx::FindActiveAdapter(inventory, name, guid, ip)) return {};
    return {std::wstring(name.begin(), name.end()), std::wstring(guid.begin(), guid.end()),
            std::wstring(ip.begin(), ip.end())};
}

std::wstring ActiveAdapterGuid() {
    return ActiveAdapter().Guid;
}

// The probe peer runs beside this program (run-with-peer.sh); it answers while the file
// "answer" exists in its control folder.
void LetProbePeerAnswer() {
    const char* control = std::getenv("ZX_PEER_CONTROL");
    ASSERT_NE(control, nullptr) << "run through run-with-peer.sh";
    const std::string folder = std::string("Z:") + control;
    std::ofstream(folder + "/answer").close();
    ASSERT_TRUE(WaitUntil([&] { return std::ifstream(folder + "/listening").good(); }));
}

// Earlier tests may have let the peer answer: it falls silent again.
void SilenceProbePeer() {
    const char* control = std::getenv("ZX_PEER_CONTROL");
    ASSERT_NE(control, nullptr) << "run through run-with-peer.sh";
    ::DeleteFileA((std::string("Z:") + control + "/answer").c_str());
}

class RunControl : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        FGuid = ActiveAdapterGuid();
        ClearMachineValues();
    }
    void TearDown() override {
        if (FProgram) FProgram->Kill();
        ClearMachineValues();
        ResetSettings();
    }

    void ClearMachineValues() {
        if (!FGuid.empty())
            for (const wchar_t* name : {L"TcpAckFrequency", L"TcpDelAckTicks", L"TCPNoDelay"})
                DeleteMachineValue(kInterfacesKey + FGuid, name);
        DeleteMachineValue(kQueueKey, L"TCPNoDelay");
        DeleteMachineValue(kProfileKey, L"NetworkThrottlingIndex");
        DeleteMachineValue(kProfileKey, L"SystemResponsiveness");
    }

    // Starts the program and waits for its window; then, unless told otherwise, for the
    // adapter search, which ends after the window shows.
    void Launch(const wchar_t* path, bool waitForAdapterSearch = true) {
        FProgram.emplace(TProgram::Start(path));
        FWindow = WaitForMainWindow(FProgram->Id());
        ASSERT_NE(FWindow, nullptr) << "no visible TFrmZephyrix window";
        if (waitForAdapterSearch) {
            ASSERT_TRUE(WaitUntil([&] { return !WindowText(Control(TControlId::LblAdapter)).empty(); }));
        }
    }

    HWND Control(TControlId id) const { return FindControl(FWindow, id); }
    std::wstring RunCaption() const { return WindowText(Control(TControlId::BtnStart)); }
    bool Busy() const { return IsShown(Control(TControlId::Indicator)) && !IsEnabled(Control(TControlId::BtnStart)); }
    bool OptionBoxesEnabled() const {
        for (TControlId id : {TControlId::ChkTCPAckFrequency, TControlId::ChkTcpDelAckTick, TControlId::ChkTcpNoDelay,
                              TControlId::ChkNetworkThrottlingIndex, TControlId::ChkSystemResponsiveness})
            if (!IsEnabled(Control(id))) return false;
        return true;
    }

    std::wstring FGuid;
    std::optional<TProgram> FProgram;
    HWND FWindow = nullptr;
};

TEST_F(RunControl, RunAppliesWaitsForTheProbeAndStopReverts) {
    ASSERT_FALSE(FGuid.empty()) << "the session should see the machine's adapter";
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    const std::wstring interfaceKey = kInterfacesKey + FGuid;

    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return Busy(); }));
    EXPECT_FALSE(OptionBoxesEnabled());
    EXPECT_EQ(RunCaption(), L"");

    // The values are in place while the program still waits for the Internet (written by
    // the background job, after the backup).
    ASSERT_TRUE(WaitUntil([&] { return MachineValue(kProfileKey, L"SystemResponsiveness").has_value(); }));
    EXPECT_EQ(MachineValue(interfaceKey, L"TcpAckFrequency"), 1u);
    EXPECT_EQ(MachineValue(interfaceKey, L"TcpDelAckTicks"), 0u);
    EXPECT_EQ(MachineValue(interfaceKey, L"TCPNoDelay"), 1u);
    EXPECT_EQ(MachineValue(kQueueKey, L"TCPNoDelay"), 1u);
    EXPECT_EQ(MachineValue(kProfileKey, L"NetworkThrottlingIndex"), 0xFFFFFFFFu);
    EXPECT_EQ(MachineValue(kProfileKey, L"SystemResponsiveness"), 0u);

    // Unanswered probes keep it busy, and the window keeps answering meanwhile.
    ::Sleep(2500);
    EXPECT_TRUE(Busy());
    DWORD_PTR ignored = 0;
    EXPECT_NE(::SendMessageTimeoutW(FWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored), 0);
    EXPECT_EQ(ReadSetting(L"status"), 0u) << "the busy state is never stored";

    LetProbePeerAnswer();
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Running"; }, kRefreshWaitMs));
    EXPECT_TRUE(IsPressed(Control(TControlId::BtnStart)));
    EXPECT_TRUE(IsEnabled(Control(TControlId::BtnStart)));
    EXPECT_FALSE(IsShown(Control(TControlId::Indicator)));
    EXPECT_FALSE(OptionBoxesEnabled());
    EXPECT_EQ(ReadSetting(L"status"), 1u);

    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Run"; }, kRefreshWaitMs));
    EXPECT_FALSE(IsPressed(Control(TControlId::BtnStart)));
    EXPECT_TRUE(OptionBoxesEnabled());
    EXPECT_EQ(ReadSetting(L"status"), 0u);
    for (const wchar_t* name : {L"TcpAckFrequency", L"TcpDelAckTicks", L"TCPNoDelay"})
        EXPECT_EQ(MachineValue(interfaceKey, name), std::nullopt) << name;
    EXPECT_EQ(MachineValue(kQueueKey, L"TCPNoDelay"), std::nullopt);
    EXPECT_EQ(MachineValue(kProfileKey, L"NetworkThrottlingIndex"), 10u);
    EXPECT_EQ(MachineValue(kProfileKey, L"SystemResponsiveness"), 20u);
}

// Run as a screen reader user meets it: the reader's default action presses it exactly
// as a click does (a real Run: the values are written), the button reads unavailable
// while busy with the indicator "Working" in the tree, and the name change to "Running"
// is announced when the Internet answers.
TEST_F(RunControl, ScreenReaderPressesRunAndHearsRunningAnnounced) {
    ASSERT_FALSE(FGuid.empty()) << "the session should see the machine's adapter";
    SilenceProbePeer();
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    const HWND start = Control(TControlId::BtnStart);
    const HWND indicator = Control(TControlId::Indicator);
    TWinEventRecorder events(FProgram->Id());
    TAccessibleRead read = ReadAccessible(start);
    ASSERT_EQ(read.Result, S_OK);
    EXPECT_EQ(read.Role, kRolePushButton);
    EXPECT_EQ(read.Name, L"Run");
    EXPECT_EQ(read.DefaultAction, L"Press");
    EXPECT_EQ(read.State & (STATE_SYSTEM_PRESSED | STATE_SYSTEM_UNAVAILABLE), 0);

    EXPECT_EQ(DoDefaultAction(start), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return Busy(); }));
    EXPECT_NE(ReadAccessible(start).State & STATE_SYSTEM_UNAVAILABLE, 0) << "unavailable while busy";
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, start));
    read = ReadAccessible(indicator);
    EXPECT_EQ(read.Role, kRoleAnimation);
    EXPECT_EQ(read.Name, L"Working");
    EXPECT_EQ(read.State & STATE_SYSTEM_INVISIBLE, 0);
    const auto tree = AccessibleChildWindows(Control(TControlId::Card1));
    EXPECT_NE(std::find(tree.begin(), tree.end(), indicator), tree.end()) << "the busy indicator is in the tree";
    EXPECT_EQ(DoDefaultAction(start), E_FAIL) << "no second press while busy";
    ASSERT_TRUE(WaitUntil([&] { return MachineValue(kProfileKey, L"SystemResponsiveness").has_value(); }))
        << "the reader's press started a real Run";

    events.Clear();
    LetProbePeerAnswer();
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Running"; }, kRefreshWaitMs));
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_NAMECHANGE, start)) << "\"Running\" is announced";
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, start));
    read = ReadAccessible(start);
    EXPECT_EQ(read.Name, L"Running");
    EXPECT_EQ(read.State & (STATE_SYSTEM_PRESSED | STATE_SYSTEM_UNAVAILABLE), STATE_SYSTEM_PRESSED);
    const auto after = AccessibleChildWindows(Control(TControlId::Card1));
    EXPECT_EQ(std::find(after.begin(), after.end(), indicator), after.end()) << "the idle indicator left the tree";

    // Stop the same way, back to Run.
    EXPECT_EQ(DoDefaultAction(start), S_OK);
    EXPECT_TRUE(WaitUntil([&] { return RunCaption() == L"Run"; }, kRefreshWaitMs));
    EXPECT_EQ(ReadAccessible(start).Name, L"Run");
}

TEST_F(RunControl, RunWritesOnlyTheCheckedOptions) {
    ASSERT_FALSE(FGuid.empty());
    // Stored choices: only the two scheduler options.
    for (const wchar_t* name : {L"tcpackfrequency", L"tcpdelacktick", L"tcpnodelay"}) WriteSetting(name, 0);
    LetProbePeerAnswer();
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);

    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Running"; }, kRefreshWaitMs));
    const std::wstring interfaceKey = kInterfacesKey + FGuid;
    for (const wchar_t* name : {L"TcpAckFrequency", L"TcpDelAckTicks", L"TCPNoDelay"})
        EXPECT_EQ(MachineValue(interfaceKey, name), std::nullopt) << name;
    EXPECT_EQ(MachineValue(kQueueKey, L"TCPNoDelay"), std::nullopt);
    EXPECT_EQ(MachineValue(kProfileKey, L"NetworkThrottlingIndex"), 0xFFFFFFFFu);
    EXPECT_EQ(MachineValue(kProfileKey, L"SystemResponsiveness"), 0u);
}

TEST_F(RunControl, ClosingWhileBusyEndsTheProgramAndKeepsTheStoredState) {
    ASSERT_FALSE(FGuid.empty());
    // The wait must still be running when the window closes: no probe may succeed.
    SilenceProbePeer();
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return Busy(); }));

    // The wait for the probe is still running: the window closes and the process ends
    // on its own, with its normal exit code.
    EXPECT_EQ(FProgram->Close(10000), 0u);
    FProgram.reset();

    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    EXPECT_EQ(RunCaption(), L"Run") << "the state stored before the interrupted run";
    EXPECT_TRUE(OptionBoxesEnabled());
}

// The slow copy: its adapter search waits until the test releases it, and each call of
// its connection switch blocks for seconds. The window is on screen and answering all
// the while.
class SlowPlatform : public RunControl {
protected:
    void SetUp() override {
        RunControl::SetUp();
        FReleaseSearch.reset(::CreateEventW(nullptr, TRUE, FALSE, zx::test::kReleaseSearchEvent));
        ASSERT_TRUE(FReleaseSearch);
        ::ResetEvent(FReleaseSearch.get());
    }
    void ReleaseSearch() { ::SetEvent(FReleaseSearch.get()); }
    // One round trip through the window's message queue within a second.
    bool WindowAnswers() const {
        DWORD_PTR ignored = 0;
        return ::SendMessageTimeoutW(FWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) != 0;
    }
    bool TweaksWritten() const {
        return MachineValue(kProfileKey, L"SystemResponsiveness").has_value() ||
            MachineValue(kInterfacesKey + FGuid, L"TCPNoDelay").has_value();
    }

    zx::TUniqueHandle FReleaseSearch;
};

TEST_F(SlowPlatform, TheWindowShowsBeforeTheAdapterSearchEndsAndItsLabelsFillInAfter) {
    const TAdapterSeen adapter = ActiveAdapter();
    ASSERT_FALSE(adapter.Guid.empty());
    Launch(ZEPHYRIX_SLOW_EXE_PATH, false);
    EXPECT_EQ(WindowText(Control(TControlId::LblAdapter)), L"") << "the search is still held";
    EXPECT_TRUE(WindowAnswers());
    EXPECT_EQ(RunCaption(), L"Run");

    TWinEventRecorder events(FProgram->Id());
    ReleaseSearch();
    EXPECT_TRUE(WaitUntil([&] { return WindowText(Control(TControlId::LblAdapter)) == adapter.Name; }));
    EXPECT_EQ(WindowText(Control(TControlId::LblIPAddress)), L"IP: " + adapter.Ip);
    // A screen reader hears the labels fill in, and reads them as static text.
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_NAMECHANGE, Control(TControlId::LblAdapter)));
    const TAccessibleRead read = ReadAccessible(Control(TControlId::LblAdapter));
    EXPECT_EQ(read.Role, kRoleStaticText);
    EXPECT_EQ(read.Name, adapter.Name);
}

TEST_F(SlowPlatform, RunPressedDuringTheSearchWaitsBusyThenRunsAndTheBlockingSwitchNeverFreezesTheWindow) {
    LetProbePeerAnswer();
    Launch(ZEPHYRIX_SLOW_EXE_PATH, false);
    Click(Control(TControlId::BtnStart));
    EXPECT_TRUE(Busy());
    ::Sleep(500);
    EXPECT_TRUE(Busy());
    EXPECT_FALSE(TweaksWritten()) << "nothing is applied before the adapter is known";

    ReleaseSearch();
    ASSERT_TRUE(WaitUntil([&] { return TweaksWritten(); }));
    // The adapter restart blocks now, twice, on the job's thread.
    int unanswered = 0;
    const DWORD bound = ::GetTickCount() + kRefreshWaitMs + 2 * zx::test::kSwitchBlockMs;
    while (RunCaption() != L"Running" && ::GetTickCount() < bound) {
        if (!WindowAnswers()) ++unanswered;
        ::Sleep(100);
    }
    EXPECT_EQ(RunCaption(), L"Running");
    EXPECT_EQ(unanswered, 0);
    EXPECT_EQ(WindowText(Control(TControlId::LblAdapter)), ActiveAdapter().Name);
}

TEST_F(SlowPlatform, ClosingDuringTheSearchEndsTheProgramWithoutWaitingForIt) {
    Launch(ZEPHYRIX_SLOW_EXE_PATH, false);
    Click(Control(TControlId::BtnStart)); // waits, busy, for the held search
    ASSERT_TRUE(Busy());
    // The search stays held for a minute; the program ends well before.
    EXPECT_EQ(FProgram->Close(10000), 0u);
    FProgram.reset();
    EXPECT_EQ(ReadSetting(L"status"), 0u);
}

// The backup folder of this user (the program runs as the same user in this session).
std::wstring BackupFolder() {
    wchar_t local[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    return std::wstring(local) + L"\\Zephyrix\\Backup";
}

// Backup files of an adapter; removed with `remove`.
std::vector<std::wstring> BackupFiles(const std::wstring& guid, bool remove = false) {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found{};
    const zx::TUniqueFind search(::FindFirstFileW((BackupFolder() + L"\\" + guid + L" *.reg").c_str(), &found));
    if (!search) return files;
    do {
        files.push_back(BackupFolder() + L"\\" + found.cFileName);
    } while (::FindNextFileW(search.get(), &found));
    if (remove)
        for (const auto& file : files) ::DeleteFileW(file.c_str());
    return files;
}

void SetMachineValue(const std::wstring& key, const wchar_t* name, DWORD value) {
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                                nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    const zx::TUniqueRegKey owned(raw);
    ASSERT_EQ(::RegSetValueExW(owned.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)),
              ERROR_SUCCESS);
}

// The system's registry editor, silently importing a file; its exit code.
DWORD ImportWithRegistryEditor(const std::wstring& file) {
    std::wstring command = L"regedit.exe /s \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return ::GetLastError();
    const zx::TUniqueHandle process(info.hProcess);
    const zx::TUniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) return WAIT_TIMEOUT;
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

TEST_F(RunControl, TheBackupTakenBeforeTheFirstRunPutsEveryValueBackWhenImported) {
    ASSERT_FALSE(FGuid.empty());
    BackupFiles(FGuid, true);
    const std::wstring interfaceKey = kInterfacesKey + FGuid;
    // What the machine had before Zephyrix: some values set by hand, the rest absent.
    SetMachineValue(interfaceKey, L"TcpAckFrequency", 2);
    SetMachineValue(kProfileKey, L"NetworkThrottlingIndex", 7);
    LetProbePeerAnswer();
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);

    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Running"; }, kRefreshWaitMs));
    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Run"; }, kRefreshWaitMs));
    EXPECT_EQ(MachineValue(interfaceKey, L"TcpAckFrequency"), std::nullopt) << "Stop deletes, as it always did";
    EXPECT_EQ(MachineValue(kProfileKey, L"NetworkThrottlingIndex"), 10u);

    const std::vector<std::wstring> backups = BackupFiles(FGuid);
    ASSERT_EQ(backups.size(), 1u);
    ASSERT_EQ(ImportWithRegistryEditor(backups[0]), 0u);
    EXPECT_EQ(MachineValue(interfaceKey, L"TcpAckFrequency"), 2u);
    EXPECT_EQ(MachineValue(interfaceKey, L"TcpDelAckTicks"), std::nullopt);
    EXPECT_EQ(MachineValue(interfaceKey, L"TCPNoDelay"), std::nullopt);
    EXPECT_EQ(MachineValue(kQueueKey, L"TCPNoDelay"), std::nullopt);
    EXPECT_EQ(MachineValue(kProfileKey, L"NetworkThrottlingIndex"), 7u);
    EXPECT_EQ(MachineValue(kProfileKey, L"SystemResponsiveness"), std::nullopt) << "absent before, absent again";

    // A second run under the same adapter keeps the first backup as it is.
    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Running"; }, kRefreshWaitMs));
    EXPECT_EQ(BackupFiles(FGuid), backups);
    BackupFiles(FGuid, true);
}

// Runs inside a network namespace with only loopback (loopback-only.sh).
TEST_F(RunControl, WithoutANetworkRunIsRefused) {
    ASSERT_TRUE(FGuid.empty()) << "this case needs a namespace without adapters";
    Launch(ZEPHYRIX_EXE_PATH);
    EXPECT_EQ(WindowText(Control(TControlId::LblAdapter)), L"Unknown");
    EXPECT_EQ(WindowText(Control(TControlId::LblIPAddress)), L"IP: ");

    PostClick(Control(TControlId::BtnStart));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(FProgram->Id())) != nullptr; }));
    EXPECT_EQ(MessageBoxText(box), L"There are no active networks.");
    EXPECT_EQ(WindowText(box), L"Zephyrix");
    AnswerMessageBox(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return FindMessageBox(FProgram->Id()) == nullptr; }));

    EXPECT_EQ(RunCaption(), L"Run");
    EXPECT_TRUE(IsEnabled(Control(TControlId::BtnStart)));
    EXPECT_FALSE(IsShown(Control(TControlId::Indicator)));
    EXPECT_TRUE(OptionBoxesEnabled());
    EXPECT_EQ(ReadSetting(L"status"), 0u);
    EXPECT_EQ(MachineValue(kQueueKey, L"TCPNoDelay"), std::nullopt);
    EXPECT_EQ(MachineValue(kProfileKey, L"NetworkThrottlingIndex"), std::nullopt);
    EXPECT_EQ(MachineValue(kProfileKey, L"SystemResponsiveness"), std::nullopt);
}

} // namespace
