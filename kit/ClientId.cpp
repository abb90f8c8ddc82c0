#include "kit/ClientId.h"

#include "platform/common/NumberText.h"

namespace zx {

namespace {

constexpr std::uint32_t kWideFieldBound = 0x7FFFFFFF;
constexpr std::uint32_t kNarrowFieldBound = 0xFFFF;

} // namespace

std::u16string NewClientID(ILocalClock& clock, IRandomSource& random) {
    const std::uint32_t first = random.Below(kWideFieldBound);
    const std::uint32_t second = random.Below(kNarrowFieldBound);
    const std::uint32_t third = random.Below(kWideFieldBound);
    const TLocalDate date = clock.Today();
    const TLocalTimeOfDay time = clock.TimeOfDay();

    std::u16string id = HexText(first, 8);
    id += ZeroPaddedDecimal(static_cast<std::uint64_t>(date.Year % 100), 2);
    id += ZeroPaddedDecimal(static_cast<std::uint64_t>(date.Month), 2);
    id += ZeroPaddedDecimal(static_cast<std::uint64_t>(date.Day), 2);
    id += HexText(second, 4);
    id += ZeroPaddedDecimal(static_cast<std::uint64_t>(time.Hour), 2);
    id += ZeroPaddedDecimal(static_cast<std::uint64_t>(time.Minute), 2);
    id += ZeroPaddedDecimal(static_cast<std::uint64_t>(time.Second), 2);
    id += HexText(third, 8);
    return id;
}

std::u16string GetClientID(IRegistry& registry, ILocalClock& clock, IRandomSource& random) {
    const auto key = registry.CreateKey(kRootCurrentUser, std::u16string(kClientIdKeyPath), kClientIdKeyAccess);
    if (!key) return {};
    const std::u16string name(kClientIdValueName);
    auto stored = key->QueryValue(name);
    if (!stored) {
        if (key->SetString(name, NewClientID(clock, random)) != kRegSuccess) return {};
        stored = key->QueryValue(name);
    }
    if (!stored || (stored->Type != kRegSz && stored->Type != kRegExpandSz)) return {};
    return TextFromData(stored->Data);
}

} // namespace zx
