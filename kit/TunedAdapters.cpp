// The tuned-adapter list: its one value, its syntax and its bound.
#include "kit/TunedAdapters.h"

#include <algorithm>
#include <utility>

#include "kit/Config.h"
#include "platform/PlatformError.h"
#include "platform/common/AsciiText.h"

namespace zx {

namespace {

constexpr const char16_t* kTunedAdaptersName = u"tunedadapters";

bool Listed(const std::vector<std::u16string>& guids, std::u16string_view guid) {
    return std::any_of(guids.begin(), guids.end(),
                       [&](const std::u16string& known) { return SameTextIgnoringAsciiCase(known, guid); });
}

void KeepNewest(std::vector<std::u16string>& guids) {
    if (guids.size() > kMaxTunedAdapters)
        guids.erase(guids.begin(), guids.begin() + static_cast<std::ptrdiff_t>(guids.size() - kMaxTunedAdapters));
}

} // namespace

std::vector<std::u16string> ParseTunedAdapters(std::u16string_view joined) {
    std::vector<std::u16string> guids;
    for (std::size_t start = 0; start <= joined.size();) {
        const std::size_t end = std::min(joined.find(u';', start), joined.size());
        const std::u16string_view entry = joined.substr(start, end - start);
        if (IsInterfaceGuid(entry) && !Listed(guids, entry)) guids.emplace_back(entry);
        start = end + 1;
    }
    KeepNewest(guids);
    return guids;
}

std::u16string JoinTunedAdapters(const std::vector<std::u16string>& guids) {
    std::u16string joined;
    for (const std::u16string& guid : guids) {
        if (!joined.empty()) joined += u';';
        joined += guid;
    }
    return joined;
}

TTunedAdapters::TTunedAdapters(IRegistry& registry, std::u16string settingsPath)
    : FRegistry(registry), FSettingsPath(std::move(settingsPath)) {}

std::vector<std::u16string> TTunedAdapters::Read() const {
    const TConfig config(FRegistry, FSettingsPath);
    try {
        return ParseTunedAdapters(config.ReadString(kTunedAdaptersName, u""));
    } catch (const TPlatformError&) {
        return {}; // a value of another type holds no entry
    }
}

void TTunedAdapters::Remember(const std::u16string& guid) {
    std::vector<std::u16string> guids = Read();
    if (!IsInterfaceGuid(guid) || Listed(guids, guid)) return;
    guids.push_back(guid);
    KeepNewest(guids);
    TConfig config(FRegistry, FSettingsPath);
    config.WriteString(kTunedAdaptersName, JoinTunedAdapters(guids));
}

void TTunedAdapters::Forget() {
    TConfig config(FRegistry, FSettingsPath);
    bool holdsSomething = true;
    try {
        holdsSomething = !config.ReadString(kTunedAdaptersName, u"").empty();
    } catch (const TPlatformError&) {
        // another type: overwritten with the empty list
    }
    if (holdsSomething) config.WriteString(kTunedAdaptersName, u"");
}

} // namespace zx
