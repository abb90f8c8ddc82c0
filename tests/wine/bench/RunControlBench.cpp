// Measures the end of a run's connectivity wait (not a test): how long after the probe
// peer starts answering the window shows "Running", and how fast the window answers
// while it waits; then, on the slow test copy, how fast it answers during a Run whose
// connection switch blocks for seconds. Prints "key value" lines for tools/bench.
//   zx_run_control_bench <runs>   (beside the probe peer: run-with-peer.sh)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "e2e/SlowPlatform.h"
#include "ui/UiDriver.h"

using namespace zx::ui;
using zx::TControlId;
using zx::bench::Median;
using zx::bench::NowMs;

namespace {

// The slowest round trip through the window's queue while `busy` holds, polled every 20 ms.
template <typename TBusy>
double SlowestAnswerWhile(HWND window, TBusy busy) {
    double slowest = 0;
    while (busy()) {
        const double start = NowMs();
        DWORD_PTR ignored = 0;
        if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored)) return 5000;
        slowest = std::max(slowest, NowMs() - start);
        ::Sleep(20);
    }
    return slowest;
}

// Run on the slow copy: its search released at once, each switch call blocking for
// seconds. The slowest answer from the click until "Running", and the run's length.
bool MeasureBlockingSwitch(double& slowest, double& runMs) {
    const zx::TUniqueHandle release(::CreateEventW(nullptr, TRUE, TRUE, zx::test::kReleaseSearchEvent));
    ::SetEvent(release.get());
    TProgram program = TProgram::Start(ZEPHYRIX_SLOW_EXE_PATH);
    const HWND window = WaitForMainWindow(program.Id());
    if (!window) return false;
    const HWND adapter = FindControl(window, TControlId::LblAdapter);
    if (!WaitUntil([&] { return !WindowText(adapter).empty(); })) return false;
    const HWND run = FindControl(window, TControlId::BtnStart);
    const double start = NowMs();
    Click(run);
    const double end = start + 30000;
    slowest = SlowestAnswerWhile(window, [&] { return WindowText(run) != L"Running" && NowMs() < end; });
    runMs = NowMs() - start;
    program.Kill();
    return runMs < 30000;
}

bool PeerFile(const char* name, bool create) {
    const char* control = std::getenv("ZX_PEER_CONTROL");
    if (!control) return false;
    const std::string path = std::string("Z:") + control + "/" + name;
    if (create) std::ofstream(path).close();
    return std::ifstream(path).good();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    if (!std::getenv("ZX_PEER_CONTROL")) {
        std::fprintf(stderr, "run beside the probe peer (run-with-peer.sh)\n");
        return 2;
    }
    ResetSettings();
    TProgram program = TProgram::Start(ZEPHYRIX_LOOPBACK_EXE_PATH);
    HWND window = WaitForMainWindow(program.Id());
    if (!window) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    HWND run = FindControl(window, TControlId::BtnStart);
    auto caption = [&] { return WindowText(run); };

    // First run: the peer is silent, so the window waits; meanwhile its answers are timed.
    Click(run);
    if (!WaitUntil([&] { return !IsEnabled(run); })) return 1;
    const double waitEnd = NowMs() + 2500;
    const double slowestAnswer = SlowestAnswerWhile(window, [&] { return NowMs() < waitEnd; });
    const double answerStart = NowMs();
    PeerFile("answer", true);
    WaitUntil([] { return PeerFile("listening", false); });
    const double listening = NowMs();
    if (!WaitUntil([&] { return caption() == L"Running"; }, 15000)) return 1;
    std::vector<double> delays{NowMs() - listening};
    std::printf("peer-start-ms %.0f\n", listening - answerStart);

    // Later runs: the peer answers at once, so the wait ends after the first probe.
    std::vector<double> immediate;
    for (int i = 1; i < runs; ++i) {
        const std::wstring target = caption() == L"Running" ? L"Run" : L"Running";
        const double start = NowMs();
        Click(run);
        if (!WaitUntil([&] { return caption() == target; }, 15000)) return 1;
        immediate.push_back(NowMs() - start);
    }
    program.Kill();
    ResetSettings();

    double switchSlowest = 0, switchRun = 0;
    if (!MeasureBlockingSwitch(switchSlowest, switchRun)) return 1;
    ResetSettings();

    std::printf("blocking-switch-slowest-answer-ms %.1f\n", switchSlowest);
    std::printf("blocking-switch-run-ms %.0f\n", switchRun);
    std::printf("probe-to-state-ms %.0f\n", delays.front());
    std::printf("answering-peer-refresh-ms-median %.0f\n", Median(immediate));
    std::printf("ui-slowest-answer-ms %.1f\n", slowestAnswer);
    return 0;
}
