#include "kit/ClientId.h"

#include <algorithm>

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

std::u16string SendableClientID(std::u16string stored) {
    const bool control = std::any_of(stored.begin(), stored.end(),
                                     [](char16_t c) { return c < u'\u0020' || (c >= u'\u007F' && c <= u'\u009F'); });
    return control ? std::u16string() : stored;
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
    return SendableClientID(TextFromData(stored->Data));
}

} // namespace zx
