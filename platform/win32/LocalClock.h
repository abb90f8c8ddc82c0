// The local clock on Windows, and the seed of the process's generator.
#pragma once

#include <cstdint>

#include "platform/LocalClock.h"

namespace zx {

// GetLocalTime, read anew for the date and for the time of day.
class TSystemLocalClock final : public ILocalClock {
public:
    [[nodiscard]] TLocalDate Today() override;
    [[nodiscard]] TLocalTimeOfDay TimeOfDay() override;
};

// A seed from the clock for the generator made once at program start.
[[nodiscard]] std::uint32_t ClockSeed() noexcept;

} // namespace zx
