// The local clock as a port: the date and the time of day, read in two separate steps.
#pragma once

namespace zx {

struct TLocalDate {
    int Year;  // e.g. 2005
    int Month; // 1-12
    int Day;   // 1-31
};

struct TLocalTimeOfDay {
    int Hour;   // 0-23
    int Minute; // 0-59
    int Second; // 0-59; the fraction is not kept
};

// Date first, then the time: callers that need both read them in that order.
class ILocalClock {
public:
    virtual ~ILocalClock() = default;
    [[nodiscard]] virtual TLocalDate Today() = 0;
    [[nodiscard]] virtual TLocalTimeOfDay TimeOfDay() = 0;
};

} // namespace zx
