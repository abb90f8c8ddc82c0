#include "platform/win32/LocalClock.h"

#include <windows.h>

namespace zx {

TLocalDate TWin32LocalClock::Today() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

TLocalTimeOfDay TWin32LocalClock::TimeOfDay() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wHour, now.wMinute, now.wSecond}; // the milliseconds are dropped
}

} // namespace zx
