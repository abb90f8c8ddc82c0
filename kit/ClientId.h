// The client identifier that both programs send to the update service: made once from
// the clock and a pseudo-random generator, kept per user in HKCU\Software\Moravel "KUID".
#pragma once

#include <cstdint>
#include <mutex>
#include <random>
#include <string>

#include "platform/Registry.h"

namespace zx {

inline constexpr std::u16string_view kClientIdKeyPath = u"Software\\Moravel";
inline constexpr std::u16string_view kClientIdValueName = u"KUID";
// KEY_READ | KEY_WRITE: what both programs open the key with.
inline constexpr std::uint32_t kClientIdKeyAccess = kKeyRead | kKeyWrite;

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

// The local clock, read in two separate steps as the identifier reads it: date first.
class ILocalClock {
public:
    virtual ~ILocalClock() = default;
    [[nodiscard]] virtual TLocalDate Today() = 0;
    [[nodiscard]] virtual TLocalTimeOfDay TimeOfDay() = 0;
};

// A uniform pseudo-random draw in [0, bound); bound is at least 1.
class IRandomSource {
public:
    virtual ~IRandomSource() = default;
    [[nodiscard]] virtual std::uint32_t Below(std::uint32_t bound) = 0;
};

// One generator for the whole process, seeded once when the program starts. Safe to
// draw from several threads.
class TSeededRandom final : public IRandomSource {
public:
    explicit TSeededRandom(std::uint32_t seed) : FGenerator(seed) {}
    [[nodiscard]] std::uint32_t Below(std::uint32_t bound) override;

private:
    std::mutex FGuard;
    std::mt19937 FGenerator;
};

// 32 upper-case hexadecimal and decimal characters: random A (8 hex, below 0x7FFFFFFF),
// date yymmdd, random B (4 hex, below 0xFFFF), time hhnnss, random C (like A). Draws in
// the order A, B, C; the date is read before the time. No other effect.
[[nodiscard]] std::u16string NewClientID(ILocalClock& clock, IRandomSource& random);

// The main program's identifier: opens HKCU\Software\Moravel creating it when missing,
// stores a new identifier when no "KUID" exists, and returns the stored text (REG_SZ or
// REG_EXPAND_SZ, not expanded). Every failure, and a value of another type, gives the
// empty text; an existing value is never overwritten.
[[nodiscard]] std::u16string GetClientID(IRegistry& registry, ILocalClock& clock, IRandomSource& random);

} // namespace zx
