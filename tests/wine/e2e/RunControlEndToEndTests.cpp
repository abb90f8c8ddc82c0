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

std::wstring EnvironmentFolder(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetEnvironmentVariableW(name, folder, MAX_PATH);
    return folder;
}

// The machine's backup folder, which only administrators can change.
std::wstring BackupFolder() {
    return EnvironmentFolder(L"ProgramData") + L"\\Zephyrix\\Backup";
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

// One of the system's tools, run to its end; its exit code.
DWORD RunSystemTool(std::wstring command) {
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

// The system's registry editor, silently importing a file; its exit code.
DWORD ImportWithRegistryEditor(const std::wstring& file) {
    return RunSystemTool(L"regedit.exe /s \"" + file + L"\"");
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
    EXPECT_EQ(::GetFileAttributesW((EnvironmentFolder(L"LOCALAPPDATA") + L"\\Zephyrix").c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "nothing goes into the user's own profile, which an unelevated program can change";
    WIN32_FIND_DATAW leftover{};
    EXPECT_FALSE(zx::TUniqueFind(::FindFirstFileW((BackupFolder() + L"\\~*").c_str(), &leftover)))
        << "no temporary file is left beside the backup";
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

// The tuned-adapter list lives in the user's own key, where any program of the user can
// add to it. Stop reaches the adapters it names, but creates no machine key for one.
TEST_F(RunControl, StopAfterAListNamingAnUnknownAdapterCreatesNoKeyForIt) {
    ASSERT_FALSE(FGuid.empty());
    const std::wstring unknownKey = kInterfacesKey + std::wstring(L"{5A17E000-0000-4000-8000-00000000E2E1}");
    const auto keyExists = [](const std::wstring& key) {
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &raw) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(raw);
        return true;
    };
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, unknownKey.c_str(), KEY_WOW64_64KEY, 0);
    ASSERT_FALSE(keyExists(unknownKey));

    // Running, as left by an earlier Run, with a list naming this adapter and one unknown.
    WriteSetting(L"status", 1);
    const std::wstring list = FGuid + L";" + unknownKey.substr(unknownKey.rfind(L'\\') + 1) + L";..";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, zx::ui::kSettingsKey, L"tunedadapters", REG_SZ, list.c_str(),
                                static_cast<DWORD>((list.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    LetProbePeerAnswer();
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    ASSERT_EQ(RunCaption(), L"Running");

    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Run"; }, kRefreshWaitMs));
    EXPECT_FALSE(keyExists(unknownKey)) << "Stop created a machine key for the planted GUID";
    EXPECT_TRUE(keyExists(kInterfacesKey + FGuid)) << "the active adapter's key stays";
    wchar_t left[64] = L"?";
    DWORD size = sizeof(left);
    EXPECT_EQ(
        ::RegGetValueW(HKEY_CURRENT_USER, zx::ui::kSettingsKey, L"tunedadapters", RRF_RT_REG_SZ, nullptr, left, &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(left, L"") << "Stop read and forgot the list";
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, unknownKey.c_str(), KEY_WOW64_64KEY, 0);
}

// The configuration card reads what Windows holds whenever it is looked at, whatever
// changed the registry meanwhile.
TEST_F(RunControl, TheConfigurationCardTellsWhichOptionsAreSetInWindowsNow) {
    ASSERT_FALSE(FGuid.empty());
    const std::wstring interfaceKey = kInterfacesKey + FGuid;
    const std::wstring prefix = L"Set in Windows now: ";
    const std::wstring allFive =
        L"TcpAckFrequency, TcpDelAckTick, TcpNoDelay, NetworkThrottlingIndex, SystemResponsiveness";
    const auto label = [&] { return WindowText(Control(TControlId::LblApplied)); };
    // The card reads in the background: its text follows shortly.
    const auto shows = [&](const std::wstring& text) { return WaitUntil([&] { return label() == text; }); };
    const auto showCardAgain = [&] {
        Click(Control(TControlId::BtnHome));
        Click(Control(TControlId::BtnConfig));
    };
    LetProbePeerAnswer();
    Launch(ZEPHYRIX_LOOPBACK_EXE_PATH);
    Click(Control(TControlId::BtnConfig));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(Control(TControlId::LblApplied)); }));
    EXPECT_TRUE(shows(prefix + L"none of the five options")) << label();

    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Running"; }, kRefreshWaitMs));
    EXPECT_TRUE(shows(prefix + allFive)) << "read when Run has finished: " << label();

    // A value deleted by hand: the card, shown again, says so and what to do.
    ASSERT_EQ(RunSystemTool(L"reg.exe delete \"HKLM\\" + interfaceKey + L"\" /v TcpDelAckTicks /f"), 0u);
    ASSERT_EQ(MachineValue(interfaceKey, L"TcpDelAckTicks"), std::nullopt);
    showCardAgain();
    EXPECT_TRUE(shows(prefix +
                      L"TcpAckFrequency, TcpNoDelay, NetworkThrottlingIndex, SystemResponsiveness\r\n"
                      L"Not set although Zephyrix is running: TcpDelAckTick Stop and run again to set them."))
        << label();

    Click(Control(TControlId::BtnStart));
    ASSERT_TRUE(WaitUntil([&] { return RunCaption() == L"Run"; }, kRefreshWaitMs));
    EXPECT_TRUE(shows(prefix + L"none of the five options")) << "read when Stop has finished: " << label();

    // Values set by hand while idle are set: no second line. Read when the window is
    // activated again, after another window had the activation.
    ASSERT_EQ(RunSystemTool(L"reg.exe add \"HKLM\\" + std::wstring(kProfileKey) +
                            L"\" /v NetworkThrottlingIndex /t REG_DWORD /d 0xFFFFFFFF /f"),
              0u);
    SetMachineValue(kProfileKey, L"SystemResponsiveness", 0);
    SetMachineValue(interfaceKey, L"TCPNoDelay", 1); // one of TcpNoDelay's two values: not set
    const HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 120, 80,
                                         nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    ::SetForegroundWindow(other);
    ::SetForegroundWindow(FWindow);
    ::DestroyWindow(other);
    EXPECT_TRUE(shows(prefix + L"NetworkThrottlingIndex, SystemResponsiveness")) << "activated: " << label();
}

// The first `count` UTF-16 units of a file; fewer when it is shorter.
std::wstring FileHead(const std::wstring& path, std::size_t count) {
    std::wstring head(count, L'\0');
    DWORD got = 0;
    const zx::TUniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file || !::ReadFile(file.get(), head.data(), static_cast<DWORD>(count * sizeof(wchar_t)), &got, nullptr))
        return {};
    head.resize(got / sizeof(wchar_t));
    return head;
}

// The slow copy's backup waits two seconds before it writes: the window is closed in that
// moment. The program ends only after its writes and the restart that follows them (two
// slow switch calls), and without waiting for the Internet.
TEST_F(SlowPlatform, ClosingDuringTheWritesEndsOnlyOnceTheBackupAndEveryValueAreWritten) {
    ASSERT_FALSE(FGuid.empty());
    BackupFiles(FGuid, true);
    const zx::TUniqueHandle entered(::CreateEventW(nullptr, TRUE, FALSE, zx::test::kBackupEnteredEvent));
    ASSERT_TRUE(entered);
    ::ResetEvent(entered.get());
    ReleaseSearch();
    Launch(ZEPHYRIX_SLOW_EXE_PATH);

    Click(Control(TControlId::BtnStart));
    ASSERT_EQ(::WaitForSingleObject(entered.get(), kWaitMs), WAIT_OBJECT_0) << "the backup never started";
    EXPECT_FALSE(TweaksWritten()) << "the values follow the backup";
    const ULONGLONG closing = ::GetTickCount64();
    EXPECT_EQ(FProgram->Close(20000), 0u) << "ended on its own, not killed";
    const ULONGLONG took = ::GetTickCount64() - closing;
    FProgram.reset();
    const ULONGLONG writesAndRestart = zx::test::kBackupBlockMs + 2 * zx::test::kSwitchBlockMs;
    EXPECT_GE(took, 2 * zx::test::kSwitchBlockMs) << "the restart after the writes is waited for";
    EXPECT_LT(took, writesAndRestart + 4000) << "the connectivity wait is abandoned";

    const std::wstring interfaceKey = kInterfacesKey + FGuid;
    const std::vector<std::optional<DWORD>> values = {MachineValue(interfaceKey, L"TcpAckFrequency"),
                                                      MachineValue(interfaceKey, L"TcpDelAckTicks"),
                                                      MachineValue(interfaceKey, L"TCPNoDelay"),
                                                      MachineValue(kQueueKey, L"TCPNoDelay"),
                                                      MachineValue(kProfileKey, L"NetworkThrottlingIndex"),
                                                      MachineValue(kProfileKey, L"SystemResponsiveness")};
    const std::vector<std::wstring> backups = BackupFiles(FGuid);
    WIN32_FIND_DATAW leftover{};
    EXPECT_FALSE(zx::TUniqueFind(::FindFirstFileW((BackupFolder() + L"\\~*").c_str(), &leftover)));
    // The writes here take two seconds, within the end's bound: the backup and the values
    // are all there (a killed job would have left neither, or a backup without values).
    ASSERT_EQ(backups.size(), 1u) << "the end waited for the writes";
    const std::wstring header = L"\xFEFFWindows Registry Editor Version 5.00\r\n";
    EXPECT_EQ(FileHead(backups[0], header.size()), header) << "the backup is complete";
    EXPECT_EQ(values, (std::vector<std::optional<DWORD>>{1u, 0u, 1u, 1u, 0xFFFFFFFFu, 0u}))
        << "every value follows the backup";
    EXPECT_EQ(ReadSetting(L"status"), 0u) << "the stored state stays as it was";
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
