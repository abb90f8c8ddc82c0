// The benchmark drivers' clock, the summary of a series of measurements, and the pause
// between two measured starts.
#pragma once

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace zx::bench {

// Milliseconds on the performance counter: only differences mean anything.
inline double NowMs() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct TSpread {
    double Median = 0; // the upper middle value of an even count
    double Min = 0;
    double Max = 0;
};

// All zero for an empty series, so that a failed run prints figures instead of crashing.
inline TSpread Spread(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

// Between two measured starts: Wine ends a program's Unix process only after its handle is
// signalled, and that end overlapping the next start made the same program measure up to
// twice as slow at random.
inline void SettleAfterEnd() {
    ::Sleep(500);
}

inline double Median(std::vector<double> values) {
    return Spread(std::move(values)).Median;
}

} // namespace zx::bench
