// The local clock through GetLocalTime, for the client identifier.
#pragma once

#include "kit/ClientId.h"

namespace zx {

// Each read asks the system anew, so the date and the time are two separate readings.
class TWin32LocalClock final : public ILocalClock {
public:
    [[nodiscard]] TLocalDate Today() override;
    [[nodiscard]] TLocalTimeOfDay TimeOfDay() override;
};

} // namespace zx
