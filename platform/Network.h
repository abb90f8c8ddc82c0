// What the network engine needs from the platform: the machine's adapter inventory
// (connected physical adapters, their configurations, the local address), switching a
// connection off and on, and asking whether the Internet answers.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zx {

// One property of an inventory object exactly as it was read: a text, null, or a read
// that failed. The engine decides what null and a failure mean for each property.
struct TPropertyText {
    enum TState { psText, psNull, psFailed };
    TState State = psFailed;
    std::u16string Text; // only meaningful for psText
};

// One connected physical adapter. `Index` is the adapter's number as decimal text;
// `GUID` is the interface GUID in braces exactly as the inventory gives it.
struct TAdapterRecord {
    TPropertyText Index;
    TPropertyText Name;
    TPropertyText GUID;
};

// The `IPAddress` property of one configuration: null, a single text, or an array of
// texts (IPv4 and IPv6 mixed, in the inventory's order, lower to upper bound).
struct TAddressProperty {
    enum TKind { akNull, akText, akArray };
    TKind Kind = akNull;
    std::vector<std::u16string> Texts; // one element for akText
};

struct TConfigurationRecord {
    TAddressProperty IPAddress;
};

// The configurations of one adapter, fetched one at a time in the inventory's order.
class IConfigurationWalk {
public:
    virtual ~IConfigurationWalk() = default;
    // The next configuration, or nothing when the walk is over. Throws TPlatformError
    // when the configuration's `IPAddress` cannot be read.
    virtual std::optional<TConfigurationRecord> NextConfiguration() = 0;
};

// One search over the connected physical adapters. While it lives, the platform
// resources of the search (management-service connection, apartment) are held; its
// destruction releases every object of the search and then leaves the apartment.
class IAdapterWalk {
public:
    virtual ~IAdapterWalk() = default;
    // The next adapter in the order the adapter query yields them, or nothing when the
    // walk is over. Reading an adapter's properties never throws: a failed read shows
    // up as psFailed in the record.
    virtual std::optional<TAdapterRecord> NextAdapter() = 0;
    // Runs the configuration query for one adapter `Index` text on this search's
    // connection. Never returns null: throws TPlatformError when the query cannot be
    // run. The returned walk must be released before this object.
    virtual std::unique_ptr<IConfigurationWalk> QueryConfigurations(const std::u16string& index) = 0;
};

class INetworkInventory {
public:
    virtual ~INetworkInventory() = default;
    // The machine's primary local IPv4 address in dotted form, or "" when it has none.
    // Throws TPlatformError when the platform's address enumeration fails for any
    // reason other than having no data.
    virtual std::u16string GetLocalIPAddress() = 0;
    // Starts a search: connects to the inventory and runs the adapter query. Returns
    // null when any of that fails; then nothing of the search is left held.
    virtual std::unique_ptr<IAdapterWalk> OpenAdapterWalk() = 0;
};

// Takes a network connection down or brings it up again.
class IAdapterSwitch {
public:
    virtual ~IAdapterSwitch() = default;
    // `guid` in braces, matched without regard to letter case. True only when a
    // connection with that GUID was found and the platform accepted the request. Never
    // throws.
    [[nodiscard]] virtual bool SetAdapterEnabled(const std::u16string& guid, bool enable) = 0;
};

// Asks whether the Internet answers.
class IInternetProbe {
public:
    virtual ~IInternetProbe() = default;
    // True when an HTTP answer came back, whatever its status. Never throws for network
    // failures.
    [[nodiscard]] virtual bool IsInternetReachable() = 0;
};

// The first step of loading the settings. True when an active adapter was found; then
// the three texts hold its display name, its GUID in braces and its IPv4 address. May
// throw TPlatformError, which then ends the window's creation.
class IActiveAdapterSource {
public:
    virtual ~IActiveAdapterSource() = default;
    [[nodiscard]] virtual bool FindActiveAdapter(std::u16string& name, std::u16string& guid, std::u16string& ip) = 0;
};

} // namespace zx
