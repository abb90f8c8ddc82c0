// Measures the update check (not a test): how long after the program starts its request
// reaches the service's stand-in, and how long after the answer has gone out the offer
// shows. Both sides read the same wall clock, so the peer's log and this program's
// times can be compared. Prints "key value" lines for tools/bench.
//   zx_update_bench <runs>   (beside the stand-in: with-update-peer.sh 47082)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "ui/UiDriver.h"

using namespace zx::ui;
using zx::bench::Spread;

namespace {

// Seconds since 1970 from the system's precise clock, as Python's time.time().
double UnixNow() {
    FILETIME now;
    ::GetSystemTimePreciseAsFileTime(&now);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<double>(ticks) / 1e7 - 11644473600.0;
}

std::string ControlPath(const char* name) {
    return std::string("Z:") + std::getenv("ZX_UPDATE_PEER_CONTROL") + "/" + name;
}

// The times after `key` on the log's lines that start with it ("request", "answered").
std::vector<double> LoggedTimes(const char* file, const std::string& key) {
    std::ifstream in(ControlPath(file));
    std::vector<double> times;
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + " ", 0) == 0) times.push_back(std::stod(line.substr(key.size() + 1)));
    return times;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    if (!std::getenv("ZX_UPDATE_PEER_CONTROL")) {
        std::fprintf(stderr, "run beside the update service's stand-in (with-update-peer.sh)\n");
        return 2;
    }
    std::ofstream(ControlPath("answer")) << R"({"update":"http:\/\/127.0.0.1:47083\/Zephyrix.exe"})";
    std::vector<double> toRequest, toDialog, toWindow;
    for (int i = 0; i < runs; ++i) {
        ResetSettings();
        std::ofstream(ControlPath("hold")).close(); // the stand-in keeps its answer back
        const std::size_t requestsBefore = LoggedTimes("requests.log", "request").size();
        const std::size_t answersBefore = LoggedTimes("answers.log", "answered").size();

        const double started = UnixNow();
        TProgram program = TProgram::Start(ZEPHYRIX_LOOPBACK_EXE_PATH);
        if (!WaitForMainWindow(program.Id(), 15000)) {
            std::fprintf(stderr, "no window\n");
            return 1;
        }
        toWindow.push_back((UnixNow() - started) * 1000);
        std::vector<double> requests;
        if (!WaitUntil([&] { return (requests = LoggedTimes("requests.log", "request")).size() > requestsBefore; },
                       15000)) {
            std::fprintf(stderr, "no request\n");
            return 1;
        }
        toRequest.push_back((requests[requestsBefore] - started) * 1000);

        // The answer goes out once the window is up, waits for input and has its adapter
        // (the search runs in the background after the first frame, loading libraries of
        // its own): measured is the offer, not the rest of the window's start-up.
        ::WaitForInputIdle(program.Handle(), 5000);
        const HWND adapter = FindControl(FindTopWindow(program.Id(), kMainWindowClass), zx::TControlId::LblAdapter);
        WaitUntil([&] { return !WindowText(adapter).empty(); }, 15000);
        ::DeleteFileA(ControlPath("hold").c_str());
        HWND offer = nullptr;
        for (const double end = UnixNow() + 15; !offer && UnixNow() < end;) {
            offer = FindMessageBox(program.Id());
            if (!offer) ::Sleep(1);
        }
        const double shown = UnixNow();
        std::vector<double> answers;
        WaitUntil([&] { return (answers = LoggedTimes("answers.log", "answered")).size() > answersBefore; });
        if (!offer || answers.size() <= answersBefore) {
            std::fprintf(stderr, "no offer\n");
            return 1;
        }
        toDialog.push_back((shown - answers[answersBefore]) * 1000);
        program.Kill();
        zx::bench::SettleAfterEnd();
    }
    ResetSettings();
    const auto request = Spread(toRequest), dialog = Spread(toDialog);
    std::printf("update-window-ms-median %.0f\n", Spread(toWindow).Median);
    std::printf("update-request-ms-median %.0f\n", request.Median);
    std::printf("update-request-ms-max %.0f\n", request.Max);
    std::printf("update-dialog-ms-median %.1f\n", dialog.Median);
    std::printf("update-dialog-ms-max %.1f\n", dialog.Max);
    return 0;
}
