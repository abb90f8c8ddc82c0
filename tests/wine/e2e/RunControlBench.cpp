// Measures the end of a run's connectivity wait (not a test): how long after the probe
// peer starts answering the window shows "Running", and how fast the window answers
// while it waits. Prints "key value" lines for tools/bench.
//   zx_run_control_bench <runs>   (beside the probe peer: run-with-peer.sh)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ui/UiDriver.h"

using namespace zx::ui;
using zx::TControlId;

namespace {

double NowMs() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
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
    double slowestAnswer = 0;
    for (double end = NowMs() + 2500; NowMs() < end; ::Sleep(20)) {
        const double start = NowMs();
        DWORD_PTR ignored = 0;
        if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored)) slowestAnswer = 5000;
        slowestAnswer = std::max(slowestAnswer, NowMs() - start);
    }
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

    std::printf("probe-to-state-ms %.0f\n", delays.front());
    std::printf("answering-peer-refresh-ms-median %.0f\n", Median(immediate));
    std::printf("ui-slowest-answer-ms %.1f\n", slowestAnswer);
    return 0;
}
