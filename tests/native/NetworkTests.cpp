// Active adapter discovery over a scripted inventory: the subnet rule, the walk order,
// the filters, the early stop and which variables are written when.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/Network.h"
#include "platform/PlatformError.h"

namespace zx {
namespace {

TPropertyText Text(std::u16string text) {
    return {TPropertyText::psText, std::move(text)};
}
const TPropertyText kNull{TPropertyText::psNull, {}};
const TPropertyText kFailed{TPropertyText::psFailed, {}};

TAdapterRecord Adapter(std::u16string index, std::u16string name, std::u16string guid) {
    return {Text(std::move(index)), Text(std::move(name)), Text(std::move(guid))};
}
TConfigurationRecord Addresses(std::vector<std::u16string> texts) {
    return {{TAddressProperty::akArray, std::move(texts)}};
}
TConfigurationRecord SingleAddress(std::u16string text) {
    return {{TAddressProperty::akText, {std::move(text)}}};
}
TConfigurationRecord NoAddress() {
    return {{TAddressProperty::akNull, {}}};
}

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

// Plays back scripted lists and logs every call, so a test can see exactly what the walk
// asked for, in which order, and when it let go of each object.
class TScriptedInventory : public INetworkInventory {
public:
    std::u16string Local = u"192.168.0.5";
    bool OpenFails = false;
    bool LocalFails = false;
    std::vector<TAdapterRecord> Adapters;
    std::map<std::u16string, std::vector<TConfigurationRecord>> Configurations; // by Index
    std::set<std::u16string> FailingQueries;                                    // by Index
    std::set<std::u16string> FailingAddressReads;                               // by Index
    std::vector<std::string> Log;

    bool Logged(const std::string& entry) const { return std::find(Log.begin(), Log.end(), entry) != Log.end(); }

    std::u16string GetLocalIPAddress() override {
        Log.push_back("local");
        if (LocalFails) throw TPlatformError("GetAdaptersAddresses", 8);
        return Local;
    }

    std::unique_ptr<IAdapterWalk> OpenAdapterWalk() override {
        Log.push_back("open");
        if (OpenFails) return nullptr;
        return std::make_unique<TAdapters>(*this);
    }

private:
    class TConfigurations : public IConfigurationWalk {
    public:
        TConfigurations(TScriptedInventory& owner, std::u16string index) : FOwner(owner), FIndex(std::move(index)) {}
        ~TConfigurations() override { FOwner.Log.push_back("release configurations " + Narrow(FIndex)); }

        std::optional<TConfigurationRecord> NextConfiguration() override {
            FOwner.Log.push_back("next configuration " + Narrow(FIndex));
            if (FOwner.FailingAddressReads.count(FIndex)) throw TPlatformError("IPAddress", 0x80041002);
            const std::vector<TConfigurationRecord>& list = FOwner.Configurations[FIndex];
            if (FNext == list.size()) return std::nullopt;
            return list[FNext++];
        }

    private:
        TScriptedInventory& FOwner;
        std::u16string FIndex;
        std::size_t FNext = 0;
    };

    class TAdapters : public IAdapterWalk {
    public:
        explicit TAdapters(TScriptedInventory& owner) : FOwner(owner) {}
        ~TAdapters() override { FOwner.Log.push_back("release adapters"); }

        std::optional<TAdapterRecord> NextAdapter() override {
            FOwner.Log.push_back("next adapter");
            if (FNext == FOwner.Adapters.size()) return std::nullopt;
            return FOwner.Adapters[FNext++];
        }

        std::unique_ptr<IConfigurationWalk> QueryConfigurations(const std::u16string& index) override {
            FOwner.Log.push_back("query " + Narrow(index));
            if (FOwner.FailingQueries.count(index)) throw TPlatformError("ExecQuery", 0x80041017);
            return std::make_unique<TConfigurations>(FOwner, index);
        }

    private:
        TScriptedInventory& FOwner;
        std::size_t FNext = 0;
    };
};

// The caller's variables, starting with recognisable contents.
struct TResult {
    std::u16string Name = u"name before";
    std::u16string GUID = u"guid before";
    std::u16string IP = u"ip before";
    bool Found = false;

    void Find(INetworkInventory& inventory) { Found = FindActiveAdapter(inventory, Name, GUID, IP); }
};

const std::u16string kGuidA = u"{1A2B3C4D-0000-4000-8000-00000000000A}";
const std::u16string kGuidB = u"{1a2b3c4d-0000-4000-8000-00000000000b}";

TEST(SameSubnet, ComparesTheTextBeforeTheLastDot) {
    struct TCase {
        std::u16string First, Second;
        bool Expected;
    };
    const TCase cases[] = {
        {u"192.168.0.5", u"192.168.0.200", true},
        {u"192.168.1.5", u"192.168.0.5", false},
        {u"10.0.0.1", u"010.0.0.1", false}, // texts, not numbers
        {u"192.168.0.5", u"192.168.0.5", true},
        {u"", u"", true},
        {u"fe80::1", u"", true},
        {u"fe80::1", u"::1", true},
        {u"192.168.0.5", u"fe80::1", false},
        {u"", u"192.168.0.5", false},
        {u".5", u"5", true}, // nothing before the dot is the same prefix as no dot
        {u"a.b.c", u"a.b.d", true},
        {u"A.b.c", u"a.b.c", false}, // case-sensitive
        {u"192.168.0.", u"192.168.0.7", true},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(SameSubnet(c.First, c.Second), c.Expected) << Narrow(c.First) << " / " << Narrow(c.Second);
    }
}

TEST(FindActiveAdapter, FirstMatchWinsAndTheWalkStopsThere) {
    TScriptedInventory inventory;
    inventory.Adapters = {Adapter(u"3", u"Intel(R) Ethernet", kGuidA), Adapter(u"7", u"Realtek Wi-Fi", kGuidB)};
    inventory.Configurations[u"3"] = {Addresses({u"10.0.0.4", u"192.168.0.9", u"192.168.0.10"}),
                                      Addresses({u"192.168.0.11"})};
    inventory.Configurations[u"7"] = {Addresses({u"192.168.0.5"})};
    TResult result;
    result.Find(inventory);

    EXPECT_TRUE(result.Found);
    EXPECT_EQ(result.Name, u"Intel(R) Ethernet");
    EXPECT_EQ(result.GUID, kGuidA); // exactly as the inventory gave it
    EXPECT_EQ(result.IP, u"192.168.0.9");
    const std::vector<std::string> expected = {
        "local",           "open", "next adapter", "query 3", "next configuration 3", "release configurations 3",
        "release adapters"};
    EXPECT_EQ(inventory.Log, expected);
}

TEST(FindActiveAdapter, SkipsVirtualMachineAndSharingAdaptersInAnyLetterCase) {
    const std::u16string names[] = {u"VMware Virtual Ethernet Adapter for VMnet8",
                                    u"vmware",
                                    u"VMWARE Accelerated AMD PCNet",
                                    u"VirtualBox Host-Only Ethernet Adapter",
                                    u"my virtualbox nic",
                                    u"VIRTUALBOX",
                                    u"Internet Connection Sharing Adapter",
                                    u"SHARING",
                                    u"sHaRiNg bridge"};
    for (const std::u16string& name : names) {
        TScriptedInventory inventory;
        inventory.Adapters = {Adapter(u"1", name, kGuidA), Adapter(u"2", u"Intel(R) Ethernet", kGuidB)};
        inventory.Configurations[u"1"] = {Addresses({u"192.168.0.7"})};
        inventory.Configurations[u"2"] = {Addresses({u"192.168.0.8"})};
        TResult result;
        result.Find(inventory);

        EXPECT_TRUE(result.Found) << Narrow(name);
        EXPECT_EQ(result.GUID, kGuidB) << Narrow(name);
        EXPECT_EQ(result.IP, u"192.168.0.8") << Narrow(name);
        EXPECT_FALSE(inventory.Logged("query 1")) << Narrow(name);
    }
}

TEST(FindActiveAdapter, KeepsNamesThatOnlyResembleTheFilters) {
    const std::u16string names[] = {u"VM ware", u"Virtual Box", u"Share adapter", u"Intel(R) Ethernet"};
    for (const std::u16string& name : names) {
        TScriptedInventory inventory;
        inventory.Adapters = {Adapter(u"1", name, kGuidA)};
        inventory.Configurations[u"1"] = {Addresses({u"192.168.0.7"})};
        TResult result;
        result.Find(inventory);
        EXPECT_TRUE(result.Found) << Narrow(name);
        EXPECT_EQ(result.Name, name);
    }
}

TEST(FindActiveAdapter, AnAdapterWithAFailedReadIsSkippedEvenWhenItsAddressMatches) {
    struct TCase {
        const char* What;
        TAdapterRecord Record;
        std::u16string NameAfter; // what the caller's name holds after the skip
    };
    const TCase cases[] = {
        {"GUID read fails", {Text(u"1"), Text(u"Intel(R) Ethernet"), kFailed}, u"Intel(R) Ethernet"},
        {"GUID is null", {Text(u"1"), Text(u"Intel(R) Ethernet"), kNull}, u"Intel(R) Ethernet"},
        {"GUID is empty", {Text(u"1"), Text(u"Intel(R) Ethernet"), Text(u"")}, u"Intel(R) Ethernet"},
        {"Name read fails", {Text(u"1"), kFailed, Text(kGuidA)}, u"name before"},
        {"Name is null", {Text(u"1"), kNull, Text(kGuidA)}, u"name before"},
        {"Index read fails", {kFailed, Text(u"Intel(R) Ethernet"), Text(kGuidA)}, u"name before"},
    };
    for (const TCase& c : cases) {
        TScriptedInventory inventory;
        inventory.Adapters = {c.Record};
        inventory.Configurations[u"1"] = {Addresses({u"192.168.0.7"})};
        TResult result;
        result.Find(inventory);

        EXPECT_FALSE(result.Found) << c.What;
        EXPECT_EQ(result.GUID, u"") << c.What;
        EXPECT_EQ(result.Name, c.NameAfter) << c.What;
        EXPECT_EQ(result.IP, u"ip before") << c.What;
        const std::vector<std::string> expected = {"local", "open", "next adapter", "next adapter", "release adapters"};
        EXPECT_EQ(inventory.Log, expected) << c.What;
    }
}

TEST(FindActiveAdapter, TheWalkGoesOnAfterASkippedAdapter) {
    TScriptedInventory inventory;
    inventory.Adapters = {{Text(u"1"), Text(u"Broken"), kFailed}, Adapter(u"2", u"Intel(R) Ethernet", kGuidB)};
    inventory.Configurations[u"1"] = {Addresses({u"192.168.0.7"})};
    inventory.Configurations[u"2"] = {Addresses({u"192.168.0.8"})};
    TResult result;
    result.Find(inventory);
    EXPECT_TRUE(result.Found);
    EXPECT_EQ(result.Name, u"Intel(R) Ethernet");
    EXPECT_EQ(result.GUID, kGuidB);
    EXPECT_EQ(result.IP, u"192.168.0.8");
}

TEST(FindActiveAdapter, ANullIndexEndsTheWalk) {
    TScriptedInventory inventory;
    inventory.Adapters = {{kNull, Text(u"Ghost"), Text(kGuidA)}, Adapter(u"2", u"Intel(R) Ethernet", kGuidB)};
    inventory.Configurations[u"2"] = {Addresses({u"192.168.0.8"})};
    TResult result;
    result.Find(inventory);

    EXPECT_FALSE(result.Found);
    EXPECT_EQ(result.Name, u"name before");
    EXPECT_EQ(result.GUID, u"guid before");
    const std::vector<std::string> expected = {"local", "open", "next adapter", "release adapters"};
    EXPECT_EQ(inventory.Log, expected);
}

TEST(FindActiveAdapter, OnlyAddressArraysAreCompared) {
    TScriptedInventory inventory;
    inventory.Adapters = {Adapter(u"4", u"Intel(R) Ethernet", kGuidA)};
    inventory.Configurations[u"4"] = {NoAddress(), SingleAddress(u"192.168.0.7"), Addresses({})};
    TResult result;
    result.Find(inventory);
    EXPECT_FALSE(result.Found);
    EXPECT_EQ(result.IP, u"ip before"); // nothing was compared, so nothing was written

    inventory.Configurations[u"4"].push_back(Addresses({u"10.1.1.1", u"192.168.0.77"}));
    result.Find(inventory);
    EXPECT_TRUE(result.Found);
    EXPECT_EQ(result.IP, u"192.168.0.77");
}

TEST(FindActiveAdapter, WithoutALocalAddressTheFirstDotlessAddressMatches) {
    TScriptedInventory inventory;
    inventory.Local = u"";
    inventory.Adapters = {Adapter(u"1", u"Intel(R) Ethernet", kGuidA)};
    inventory.Configurations[u"1"] = {Addresses({u"192.168.0.7", u"fe80::1c2b:3a4d:5e6f:7081", u"fd00::2"})};
    TResult result;
    result.Find(inventory);
    EXPECT_TRUE(result.Found);
    EXPECT_EQ(result.IP, u"fe80::1c2b:3a4d:5e6f:7081");

    inventory.Configurations[u"1"] = {Addresses({u"192.168.0.7"})};
    result.Find(inventory);
    EXPECT_FALSE(result.Found);
}

TEST(FindActiveAdapter, AMatchNeedsOnlyTheSamePrefixNotTheSameAddress) {
    TScriptedInventory inventory;
    inventory.Local = u"10.20.30.40";
    inventory.Adapters = {Adapter(u"1", u"Intel(R) Ethernet", kGuidA)};
    inventory.Configurations[u"1"] = {Addresses({u"fe80::1", u"10.20.30.250"})};
    TResult result;
    result.Find(inventory);
    EXPECT_TRUE(result.Found);
    EXPECT_EQ(result.IP, u"10.20.30.250");
}

TEST(FindActiveAdapter, AfterNoMatchTheVariablesHoldWhatWasReadLast) {
    TScriptedInventory inventory;
    inventory.Adapters = {Adapter(u"1", u"First", kGuidA), Adapter(u"2", u"Second", kGuidB),
                          Adapter(u"3", u"VMware Bridge", u"{00000000-0000-0000-0000-000000000003}")};
    inventory.Configurations[u"1"] = {Addresses({u"10.0.0.1"})};
    inventory.Configurations[u"2"] = {Addresses({u"172.16.0.1", u"fe80::2"}), NoAddress()};
    TResult result;
    result.Find(inventory);

    EXPECT_FALSE(result.Found);
    // The filtered adapter was still read: its name and GUID are the last ones written.
    EXPECT_EQ(result.Name, u"VMware Bridge");
    EXPECT_EQ(result.GUID, u"{00000000-0000-0000-0000-000000000003}");
    EXPECT_EQ(result.IP, u"fe80::2");
    EXPECT_EQ(inventory.Log.back(), "release adapters");
}

TEST(FindActiveAdapter, NoAdaptersMeansFalseWithTheVariablesUntouched) {
    TScriptedInventory inventory;
    TResult result;
    result.Find(inventory);
    EXPECT_FALSE(result.Found);
    EXPECT_EQ(result.Name, u"name before");
    EXPECT_EQ(result.GUID, u"guid before");
    EXPECT_EQ(result.IP, u"ip before");
}

TEST(FindActiveAdapter, AnInventoryThatCannotBeOpenedLeavesTheVariablesUntouched) {
    TScriptedInventory inventory;
    inventory.OpenFails = true;
    inventory.Adapters = {Adapter(u"1", u"Intel(R) Ethernet", kGuidA)};
    inventory.Configurations[u"1"] = {Addresses({u"192.168.0.7"})};
    TResult result;
    result.Find(inventory);
    EXPECT_FALSE(result.Found);
    EXPECT_EQ(result.Name, u"name before");
    EXPECT_EQ(result.GUID, u"guid before");
    EXPECT_EQ(result.IP, u"ip before");
    const std::vector<std::string> expected = {"local", "open"};
    EXPECT_EQ(inventory.Log, expected);
}

TEST(FindActiveAdapter, ConfigurationErrorsReachTheCallerAfterTheSearchIsReleased) {
    struct TCase {
        const char* What;
        bool QueryFails;
        std::vector<std::string> Expected;
    };
    const TCase cases[] = {
        {"query fails", true, {"local", "open", "next adapter", "query 1", "release adapters"}},
        {"IPAddress read fails",
         false,
         {"local", "open", "next adapter", "query 1", "next configuration 1", "release configurations 1",
          "release adapters"}},
    };
    for (const TCase& c : cases) {
        TScriptedInventory inventory;
        inventory.Adapters = {Adapter(u"1", u"Intel(R) Ethernet", kGuidA), Adapter(u"2", u"Realtek", kGuidB)};
        (c.QueryFails ? inventory.FailingQueries : inventory.FailingAddressReads).insert(u"1");
        TResult result;
        EXPECT_THROW(result.Find(inventory), TPlatformError) << c.What;
        EXPECT_EQ(inventory.Log, c.Expected) << c.What;
        EXPECT_EQ(result.Name, u"Intel(R) Ethernet") << c.What;
    }
}

TEST(FindActiveAdapter, ALocalAddressErrorReachesTheCallerBeforeTheSearchStarts) {
    TScriptedInventory inventory;
    inventory.LocalFails = true;
    TResult result;
    EXPECT_THROW(result.Find(inventory), TPlatformError);
    const std::vector<std::string> expected = {"local"};
    EXPECT_EQ(inventory.Log, expected);
}

} // namespace
} // namespace zx
