// For tools/bench: how long the configuration card's reading of the six values takes on
// the real registry, with Run's values in place and with none of them. The window's
// thread could do it only if it took well under a millisecond; it measured about one.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

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
        const auto start = std::chrono::steady_clock::now();
        const zx::TTweakOptions read = zx::ReadAppliedTweaks(registry, kBenchAdapter);
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        anySet |= read.AckFrequency;
    }
    std::sort(times.begin(), times.end());
    std::wprintf(L"%ls-us-median %.1f\n", key, times[times.size() / 2]);
    std::wprintf(L"%ls-us-max %.1f\n", key, times.back());
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
