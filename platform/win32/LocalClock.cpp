#include "platform/win32/LocalClock.h"

#include <windows.h>

namespace zx {

TLocalDate TSystemLocalClock::Today() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

TLocalTimeOfDay TSystemLocalClock::TimeOfDay() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wHour, now.wMinute, now.wSecond};
}

std::uint32_t ClockSeed() noexcept {
    // The precise time of day mixed with the counter: two programs started in the same
    // tick still differ.
    FILETIME time;
    ::GetSystemTimePreciseAsFileTime(&time);
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    const std::uint64_t mixed = ((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) ^
        static_cast<std::uint64_t>(counter.QuadPart);
    return static_cast<std::uint32_t>(mixed ^ (mixed >> 32));
}

} // namespace zx
