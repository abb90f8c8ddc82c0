// For tools/bench: the launcher's time from process start to its update request arriving
// at a listener on the launcher's loopback port, against the bare request program's, run
// alternately. Prints "key value" lines.
//   zx_launcher_bench <launcher> <bare program> <runs> <port>
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "ui/UiDriver.h"

namespace {

using zx::bench::NowMs;
using zx::ui::TProgram;

void Report(const std::wstring& key, double value) {
    std::wprintf(L"%ls %.3f\n", key.c_str(), value);
    std::fflush(stdout);
}

// Starts the program and waits for its request's head; answers "no update". The time in
// ms, or a negative value when no request came within 10 s.
double RequestTime(SOCKET listener, const std::wstring& program) {
    const double start = NowMs();
    TProgram process = TProgram::Start(program);
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener, &ready);
    timeval wait{10, 0};
    if (::select(0, &ready, nullptr, nullptr, &wait) != 1) return -1;
    const SOCKET connection = ::accept(listener, nullptr, nullptr);
    if (connection == INVALID_SOCKET) return -1;
    std::string head;
    char chunk[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        const int got = ::recv(connection, chunk, sizeof(chunk), 0);
        if (got <= 0) break;
        head.append(chunk, static_cast<std::size_t>(got));
    }
    const double elapsed = NowMs() - start;
    const char answer[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}";
    ::send(connection, answer, sizeof(answer) - 1, 0);
    ::closesocket(connection);
    if (!process.WaitForExit(10000)) return -1;
    zx::bench::SettleAfterEnd();
    return elapsed;
}

void ReportSeries(const std::wstring& key, std::vector<double> times) {
    const auto spread = zx::bench::Spread(std::move(times));
    Report(key + L"-median", spread.Median);
    Report(key + L"-min", spread.Min);
    Report(key + L"-max", spread.Max);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fwprintf(stderr, L"usage: zx_launcher_bench <launcher> <bare program> <runs> <port>\n");
        return 2;
    }
    const int runs = _wtoi(argv[3]);
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;
    const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(static_cast<u_short>(_wtoi(argv[4])));
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(listener, 4) != 0) {
        std::fwprintf(stderr, L"cannot listen on port %ls\n", argv[4]);
        return 1;
    }
    // One unmeasured start of each warms the file cache; then the two alternate, each
    // going first every other run, so that a change of the machine's load and the
    // clean-up after the previous process fall on both alike.
    std::vector<double> launcher, bare;
    for (int run = -1; run < runs; ++run) {
        const bool launcherFirst = run % 2 == 0;
        const double first = RequestTime(listener, launcherFirst ? argv[1] : argv[2]);
        const double second = RequestTime(listener, launcherFirst ? argv[2] : argv[1]);
        if (first < 0 || second < 0) {
            std::fwprintf(stderr, L"run %d: no request arrived\n", run);
            return 1;
        }
        if (run < 0) continue;
        launcher.push_back(launcherFirst ? first : second);
        bare.push_back(launcherFirst ? second : first);
        Report(L"launcher-request-ms", launcher.back());
        Report(L"bare-request-ms", bare.back());
    }
    ReportSeries(L"launcher-request-ms", launcher);
    ReportSeries(L"bare-request-ms", bare);
    ::closesocket(listener);
    ::WSACleanup();
    return 0;
}
