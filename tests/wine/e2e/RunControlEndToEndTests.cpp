// Run and Stop on the real main program under Wine: the values it writes under the
// machine's adapter in HKLM (64-bit view), the busy wait until the probe peer answers,
// and the no-network refusal in a namespace that holds only loopback.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "engine/Network.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WmiNetworkInventory.h"
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

// The adapter the program will choose, found the same way.
std::wstring ActiveAdapterGuid() {
    zx::TWmiNetworkInventory inventory;
    std::u16string name, guid, ip;
    if (!zx::FindActiveAdapter(inventory, name, guid, ip)) return L"";
    return std::wstring(guid.begin(), guid.end());
}

// The probe peer runs beside this program (run-with-peer.sh); it starts answering once
// the file "answer" appears in its control folder.
void LetProbePeerAnswer() {
    const char* control = std::getenv("ZX_PEER_CONTROL");
    ASSERT_NE(control, nullptr) << "run through run-with-peer.sh";
    const std::string folder = std::string("Z:") + control;
    std::ofstream(folder + "/answer").close();
    ASSERT_TRUE(WaitUntil([&] { return std::ifstream(folder + "/listening").good(); }));
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

    void Launch(const wchar_t* path) {
        FProgram.emplace(TProgram::Start(path));
        FWindow = WaitForMainWindow(FProgram->Id());
        ASSERT_NE(FWindow, nullptr) << "no visible TFrmZephyrix window";
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

    // The values are in place while the program still waits for the Internet.
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
