// For tools/bench: how long the configuration card's reading of the six values takes on
// the real registry, with Run's values in place and with none of them. The window's
// thread could do it only if it took well under a millisecond; it measured about one.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "engine/TweakCatalogue.h"
#include "platform/win32/Win32Registry.h"

namespace {

// An adapter no machine has; its interface key is removed again at the end.
constexpr char16_t kBenchAdapter[] = u"{5A17E000-0000-4000-8000-00000000BE01}";
constexpr int kReadings = 200;

void Measure(zx::IRegistry& registry, const wchar_t* key) {
    std::vector<double> times;
    bool anySet = false;
    for (int i = 0; i < kReadings; ++i) {
        const double start = zx::bench::NowMs();
        const zx::TTweakOptions read = zx::ReadAppliedTweaks(registry, kBenchAdapter);
        times.push_back((zx::bench::NowMs() - start) * 1000.0);
        anySet |= read.AckFrequency;
    }
    const auto spread = zx::bench::Spread(times);
    std::wprintf(L"%ls-us-median %.1f\n", key, spread.Median);
    std::wprintf(L"%ls-us-max %.1f\n", key, spread.Max);
    std::wprintf(L"%ls-set %d\n", key, anySet ? 1 : 0);
}

} // namespace

int wmain() {
    zx::TWin32Registry registry;
    zx::RevertTweaks(registry, kBenchAdapter);
    Measure(registry, L"applied-read-none");
    zx::ApplyTweaks(registry, kBenchAdapter, {true, true, true, true, true});
    Measure(registry, L"applied-read-all");
    zx::RevertTweaks(registry, kBenchAdapter);
    const std::wstring interfaceKey =
        L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\{5A17E000-0000-4000-8000-00000000BE01}";
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, interfaceKey.c_str(), KEY_WOW64_64KEY, 0);
    return 0;
}
