// Active adapter discovery over the platform's inventory.
#include "engine/Network.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/common/AsciiText.h"

namespace zx {
namespace {

std::u16string_view SubnetPrefix(std::u16string_view address) {
    const std::size_t dot = address.rfind(u'.');
    return dot == std::u16string_view::npos ? std::u16string_view() : address.substr(0, dot);
}

// `needle` is lower-case ASCII; only ASCII letters of `text` are folded.
bool ContainsIgnoringCase(std::u16string_view text, std::u16string_view needle) {
    const auto found = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                                   [](char16_t a, char16_t b) { return ToLowerAscii(a) == b; });
    return found != text.end();
}

// Virtual-machine products and connection sharing bring adapters that look physical.
constexpr std::array<std::u16string_view, 3> kExcludedNameParts = {u"vmware", u"virtualbox", u"sharing"};

bool IsExcludedName(std::u16string_view name) {
    return std::any_of(kExcludedNameParts.begin(), kExcludedNameParts.end(),
                       [name](std::u16string_view part) { return ContainsIgnoringCase(name, part); });
}

// Reads Index, Name and GUID in that order, writing name and GUID into the caller's
// variables as each is read. A failed read (a null Name or GUID cannot be taken as text
// either) empties the GUID, which makes the caller skip the adapter.
std::u16string ReadAdapterIdentity(const TAdapterRecord& adapter, std::u16string& name, std::u16string& guid) {
    const auto readText = [](const TPropertyText& property, std::u16string& into) {
        if (property.State != TPropertyText::psText) return false;
        into = property.Text;
        return true;
    };
    std::u16string index;
    if (!readText(adapter.Index, index) || !readText(adapter.Name, name) || !readText(adapter.GUID, guid)) {
        guid.clear();
    }
    return index;
}

// Walks one adapter's configurations; true at the first address on the local prefix.
bool MatchConfigurations(IConfigurationWalk& configurations, const std::u16string& local, std::u16string& ip) {
    while (std::optional<TConfigurationRecord> configuration = configurations.NextConfiguration()) {
        // A single text is not an address list, as far as the matching goes.
        if (configuration->IPAddress.Kind != TAddressProperty::akArray) continue;
        for (const std::u16string& address : configuration->IPAddress.Texts) {
            ip = address;
            if (SameSubnet(local, ip)) return true;
        }
    }
    return false;
}

} // namespace

bool SameSubnet(const std::u16string& first, const std::u16string& second) {
    return SubnetPrefix(first) == SubnetPrefix(second);
}

bool FindActiveAdapter(INetworkInventory& inventory, std::u16string& name, std::u16string& guid, std::u16string& ip) {
    const std::u16string local = inventory.GetLocalIPAddress();
    const std::unique_ptr<IAdapterWalk> adapters = inventory.OpenAdapterWalk();
    if (!adapters) return false;

    bool found = false;
    while (!found) {
        const std::optional<TAdapterRecord> adapter = adapters->NextAdapter();
        // An adapter without an Index ends the walk rather than being skipped.
        if (!adapter || adapter->Index.State == TPropertyText::psNull) break;
        const std::u16string index = ReadAdapterIdentity(*adapter, name, guid);
        if (guid.empty() || IsExcludedName(name)) continue;
        const std::unique_ptr<IConfigurationWalk> configurations = adapters->QueryConfigurations(index);
        found = MatchConfigurations(*configurations, local, ip);
    }
    return found;
}

} // namespace zx
