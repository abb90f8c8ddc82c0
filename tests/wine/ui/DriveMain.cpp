// Command-line front end of the window driver, for scripts running in a Wine session: the
// screenshot command, tools/run, the benchmark and the installer tests.
//   zx_ui_drive wait-window                   waits for the main window to show
//   zx_ui_drive window-program                prints the full path of the program showing it
//   zx_ui_drive click <control>               clicks a control, e.g. BtnConfig
//   zx_ui_drive wait-shown <control>          waits until the control is visible
//   zx_ui_drive wait-text <control>           waits until the control has a text
//   zx_ui_drive close                         closes the main window, waits for the end
//   zx_ui_drive read-accessible               prints what a screen reader reads of each
//                                             control: role, name, state, default action
//   zx_ui_drive answer-box <text> <button>    waits for a message box of any program showing
//                                             this text and presses the button (IDOK = 1)
//   zx_ui_drive bench <program> <runs> <idle-seconds>
//   zx_ui_drive window-time <program> <runs> <window class>
//   zx_ui_drive side-by-side <program> <bare program> <runs>
//   zx_ui_drive breakdown <program> [<window class>]
// Exit code 0 on success, 1 when a wait timed out or a control is missing, 2 on bad usage.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ScreenReader.h"
#include "UiDriver.h"
#include "bench/BenchClock.h"

namespace {

using namespace zx::ui;
using zx::bench::NowMs;
using zx::bench::Spread;

HWND MainWindow() {
    return FindTopWindow(0, kMainWindowClass);
}

const zx::TControlEntry* FindControlByName(const std::wstring& name) {
    for (const auto& control : zx::ControlTable())
        if (::lstrcmpiW(reinterpret_cast<const wchar_t*>(std::u16string(control.Name).c_str()), name.c_str()) == 0)
            return &control;
    return nullptr;
}

HWND NamedControl(const std::wstring& name) {
    const zx::TControlEntry* entry = FindControlByName(name);
    if (!entry) {
        std::fwprintf(stderr, L"unknown control %ls\n", name.c_str());
        return nullptr;
    }
    HWND control = FindControl(MainWindow(), entry->Id);
    if (!control) std::fwprintf(stderr, L"control %ls not found\n", name.c_str());
    return control;
}

// The full path of the program that shows the main window; empty when there is none.
std::wstring MainWindowProgram() {
    HWND window = MainWindow();
    if (!window) return {};
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    zx::TUniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return {};
    std::wstring path(32768, L'\0');
    auto size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return {};
    path.resize(size);
    return path;
}

int AnswerBox(const std::wstring& text, int buttonId) {
    HWND box = nullptr;
    std::wstring seen;
    const bool found = WaitUntil([&] {
        box = FindMessageBox(0);
        seen = box ? MessageBoxText(box) : L"";
        return box && seen == text;
    });
    if (!found) {
        std::fwprintf(stderr, box ? L"the message box says: %ls\n" : L"no message box%ls\n", seen.c_str());
        return 1;
    }
    AnswerMessageBox(box, buttonId);
    return WaitUntil([&] { return !::IsWindow(box); }) ? 0 : 1;
}

void Report(const wchar_t* key, double value) {
    std::wprintf(L"%ls %.3f\n", key, value);
    std::fflush(stdout);
}

double CpuMilliseconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto value = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(value(kernel) + value(user)) / 10000.0; // 100 ns units
}

PROCESS_MEMORY_COUNTERS Memory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(process, &counters, sizeof(counters));
    return counters;
}

double WorkingSetKb(HANDLE process) {
    return static_cast<double>(Memory(process).WorkingSetSize) / 1024.0;
}

// Start-up time: from just before CreateProcessW until the process's window of the given
// class is visible, polled every millisecond. Reports each run and the median.
int WindowTime(const std::wstring& program, int runs, const wchar_t* windowClass, const std::wstring& key) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double start = NowMs();
        TProgram process = TProgram::Start(program);
        while (!FindTopWindow(process.Id(), windowClass)) {
            if (process.HasExited() || NowMs() - start > 10000) {
                std::fwprintf(stderr, L"run %d: no window\n", run);
                return 1;
            }
            ::Sleep(1);
        }
        times.push_back(NowMs() - start);
        Report(key.c_str(), times.back());
        process.Kill();
    }
    const auto spread = Spread(times);
    Report((key + L"-median").c_str(), spread.Median);
    Report((key + L"-min").c_str(), spread.Min);
    Report((key + L"-max").c_str(), spread.Max);
    return 0;
}

// The main program's start-up time (unless `runs` is 0), then an idle phase on one more start, announced on
// standard output so that the calling script can sample the process from the Unix side.
int Bench(const std::wstring& program, int runs, int idleSeconds) {
    if (runs > 0 && WindowTime(program, runs, kMainWindowClass, L"window-ms") != 0) return 1;

    TProgram process = TProgram::Start(program);
    if (!WaitForMainWindow(process.Id())) return 1;
    ::Sleep(1000); // let start-up work settle before measuring idleness
    const PROCESS_MEMORY_COUNTERS memory = Memory(process.Handle());
    Report(L"working-set-kb", static_cast<double>(memory.WorkingSetSize) / 1024.0);
    Report(L"peak-working-set-kb", static_cast<double>(memory.PeakWorkingSetSize) / 1024.0);
    Report(L"private-kb", static_cast<double>(memory.PagefileUsage) / 1024.0);
    const double cpuBefore = CpuMilliseconds(process.Handle());
    Report(L"idle-begin", process.Id());
    ::Sleep(static_cast<DWORD>(idleSeconds) * 1000);
    const double cpuAfter = CpuMilliseconds(process.Handle());
    Report(L"idle-end", process.Id());
    ::Sleep(1000); // hold still while the caller samples the process too
    Report(L"cpu-ms-total", cpuAfter);
    Report(L"idle-cpu-ms", cpuBefore < 0 || cpuAfter < 0 ? -1 : cpuAfter - cpuBefore);
    process.Kill();
    return 0;
}

// The process's top-level window of the class, once it is visible; none when the process
// ends or 10 s pass. Polled every millisecond; the search itself is kept light (see
// FindTopWindow), and whether the process ended is asked only now and then.
HWND WaitForVisibleWindow(const TProgram& process, const wchar_t* windowClass, double start) {
    for (int poll = 0; NowMs() - start < 10000; ++poll) {
        if (HWND window = FindTopWindow(process.Id(), windowClass)) return window;
        if (poll % 50 == 0 && process.HasExited()) return nullptr;
        ::Sleep(1);
    }
    return nullptr;
}

// Time to a visible window and the working set at that moment, for the program and the
// bare window alternately (so that both see the same machine load). Reports medians and
// the working set again 5 s after start.
int SideBySide(const std::wstring& program, const std::wstring& bare, int runs) {
    struct TSide {
        const wchar_t* Key;
        const std::wstring& Path;
        const wchar_t* WindowClass;
        std::vector<double> Times, Sets;
    };
    TSide sides[] = {{L"ours", program, kMainWindowClass, {}, {}}, {L"bare", bare, L"ZxBareWindow", {}, {}}};
    // Run -1 is not counted: the session's first window program reads Wine's display driver
    // and fonts from disk, and whichever side came first paid for both.
    for (int run = -1; run < runs; ++run) {
        for (TSide& side : sides) {
            const double start = NowMs();
            TProgram process = TProgram::Start(side.Path);
            if (!WaitForVisibleWindow(process, side.WindowClass, start)) {
                const std::optional<DWORD> code = process.WaitForExit(0);
                std::fwprintf(stderr, L"%ls run %d: no window after %.0f ms (%ls %lu)\n", side.Key, run,
                              NowMs() - start, code ? L"the program ended, exit code" : L"still running, process",
                              code ? *code : process.Id());
                return 1;
            }
            const double shown = NowMs() - start;
            if (run >= 0) {
                Report((std::wstring(side.Key) + L"-window-ms").c_str(), shown);
                side.Times.push_back(shown);
                side.Sets.push_back(WorkingSetKb(process.Handle()));
            }
            process.Kill();
            zx::bench::SettleAfterEnd();
        }
    }
    // The working set 5 s after start, on starts of their own after the measured ones: the
    // start that followed a program left running 5 s (its searches done) measured up to
    // twice as slow, and only ours runs such work.
    for (const TSide& side : sides) {
        const double start = NowMs();
        TProgram process = TProgram::Start(side.Path);
        if (!WaitForVisibleWindow(process, side.WindowClass, start)) return 1;
        ::Sleep(static_cast<DWORD>(std::max(0.0, 5000.0 - (NowMs() - start))));
        Report((std::wstring(side.Key) + L"-working-set-5s-kb").c_str(), WorkingSetKb(process.Handle()));
        process.Kill();
        zx::bench::SettleAfterEnd();
    }
    for (TSide& side : sides) {
        const auto times = Spread(side.Times);
        const std::wstring key = side.Key;
        Report((key + L"-window-ms-median").c_str(), times.Median);
        Report((key + L"-window-ms-min").c_str(), times.Min);
        Report((key + L"-window-ms-max").c_str(), times.Max);
        Report((key + L"-working-set-kb-median").c_str(), Spread(side.Sets).Median);
    }
    return 0;
}

// The text of an OUTPUT_DEBUG_STRING event, read out of the debugged process.
std::wstring DebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    const SIZE_T units = std::min<SIZE_T>(info.nDebugStringLength, 512);
    SIZE_T read = 0;
    if (info.fUnicode) {
        std::wstring text(units, L'\0');
        ::ReadProcessMemory(process, info.lpDebugStringData, text.data(), units * sizeof(wchar_t), &read);
        return text.c_str();
    }
    std::string text(units, '\0');
    ::ReadProcessMemory(process, info.lpDebugStringData, text.data(), units, &read);
    return std::wstring(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::strlen(text.c_str())));
}

std::wstring PathOfFile(HANDLE file) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = file ? ::GetFinalPathNameByHandleW(file, path, MAX_PATH, FILE_NAME_NORMALIZED) : 0;
    return length > 0 && length < MAX_PATH ? path : L"?";
}

// One start under this program as its debugger: the time of each DLL load and each
// start-up mark the program sends, the moment its window is visible with the modules
// loaded then and the working set, until its first frame is complete. Then the process
// is held a moment ("bd-hold") so that the calling script can read its memory map.
int Breakdown(const std::wstring& program, const wchar_t* windowClass) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring command = L"\"" + program + L"\"";
    const double start = NowMs();
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                          nullptr, &startup, &info)) {
        std::fwprintf(stderr, L"cannot start %ls\n", program.c_str());
        return 1;
    }
    const zx::TUniqueHandle process(info.hProcess);
    const zx::TUniqueHandle thread(info.hThread);
    auto at = [&] { return NowMs() - start; };
    auto line = [&](const wchar_t* key, const std::wstring& text) {
        std::wprintf(L"%ls %.1f %ls\n", key, at(), text.c_str());
        std::fflush(stdout);
    };
    bool shown = false, complete = false;
    double shownAt = 0;
    while (!complete && !(shown && at() - shownAt > 3000) && at() < 20000) {
        DEBUG_EVENT event{};
        if (::WaitForDebugEvent(&event, 5)) {
            DWORD status = DBG_CONTINUE;
            switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT:
                line(L"bd-event", L"process created");
                if (event.u.CreateProcessInfo.hFile) ::CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                line(L"bd-dll", PathOfFile(event.u.LoadDll.hFile));
                if (event.u.LoadDll.hFile) ::CloseHandle(event.u.LoadDll.hFile);
                break;
            case OUTPUT_DEBUG_STRING_EVENT: {
                const std::wstring text = DebugString(process.get(), event.u.DebugString);
                if (text.rfind(L"zx:", 0) == 0) line(L"bd-mark", text.substr(3));
                complete = text == L"zx:first frame complete";
                break;
            }
            case EXCEPTION_DEBUG_EVENT:
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                    status = DBG_EXCEPTION_NOT_HANDLED;
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                std::fwprintf(stderr, L"the program ended during start-up\n");
                return 1;
            default:
                break;
            }
            ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        }
        if (!shown && IsWindowVisible(FindTopWindow(info.dwProcessId, windowClass))) {
            shown = true;
            shownAt = at();
            line(L"bd-window", L"visible");
            Report(L"bd-working-set-kb", WorkingSetKb(process.get()));
        }
    }
    Report(L"bd-hold", info.dwProcessId);
    const double holdStart = NowMs();
    while (NowMs() - holdStart < 1500) { // keep serving events while the script reads
        DEBUG_EVENT event{};
        if (::WaitForDebugEvent(&event, 5)) ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
    }
    ::DebugActiveProcessStop(info.dwProcessId);
    ::TerminateProcess(process.get(), 0);
    return shown ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    try {
        if (command == L"wait-window" && argc == 2) return MainWindow() || WaitForMainWindow(0, 15000) ? 0 : 1;
        if (command == L"window-program" && argc == 2) {
            const std::wstring path = MainWindowProgram();
            std::wprintf(L"%ls\n", path.c_str());
            return path.empty() ? 1 : 0;
        }
        if (command == L"answer-box" && argc == 4) return AnswerBox(argv[2], _wtoi(argv[3]));
        if (command == L"click" && argc == 3) {
            HWND control = NamedControl(argv[2]);
            Click(control);
            return control ? 0 : 1;
        }
        if (command == L"wait-shown" && argc == 3) {
            HWND control = NamedControl(argv[2]);
            return control && WaitUntil([&] { return IsShown(control); }) ? 0 : 1;
        }
        if (command == L"wait-text" && argc == 3) {
            HWND control = NamedControl(argv[2]);
            return control && WaitUntil([&] { return !WindowText(control).empty(); }) ? 0 : 1;
        }
        if (command == L"read-accessible" && argc == 2) {
            const HWND window = MainWindow();
            if (!window) return 1;
            for (const auto& entry : zx::ControlTable()) {
                const HWND control = entry.Id == zx::TControlId::FrmZephyrix ? nullptr : FindControl(window, entry.Id);
                if (!control) continue;
                const TAccessibleRead read = ReadAccessible(control);
                std::wprintf(L"%ls\t%ls\t\"%ls\"\t0x%lx\t\"%ls\"\n",
                             reinterpret_cast<const wchar_t*>(std::u16string(entry.Name).c_str()),
                             RoleText(read.Role).c_str(), read.Name.c_str(), static_cast<unsigned long>(read.State),
                             read.DefaultAction.c_str());
            }
            return 0;
        }
        if (command == L"close" && argc == 2) {
            HWND window = MainWindow();
            if (!window) return 0;
            DWORD processId = 0;
            ::GetWindowThreadProcessId(window, &processId);
            zx::TUniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            return process && ::WaitForSingleObject(process.get(), kWaitMs) == WAIT_OBJECT_0 ? 0 : 1;
        }
        if (command == L"bench" && argc == 5) return Bench(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
        if (command == L"window-time" && argc == 5) return WindowTime(argv[2], _wtoi(argv[3]), argv[4], L"window-ms");
        if (command == L"side-by-side" && argc == 5) return SideBySide(argv[2], argv[3], _wtoi(argv[4]));
        if (command == L"breakdown" && (argc == 3 || argc == 4))
            return Breakdown(argv[2], argc == 4 ? argv[3] : kMainWindowClass);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fwprintf(stderr,
                  L"usage: zx_ui_drive wait-window | window-program | click <control> | wait-shown <control> | "
                  L"wait-text <control> | "
                  L"read-accessible | close | answer-box <text> <button> | "
                  L"bench <program> <runs> <idle-seconds> | window-time <program> <runs> <class> | side-by-side "
                  L"<program> <bare> <runs> | breakdown <program> [<class>]\n");
    return 2;
}
