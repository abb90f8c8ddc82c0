// The network platform for real under Wine: WMI adapter discovery, the local address,
// the connection switch (with and without the network shell) and the connectivity probe
// against local peers served by tests/wine/probe-server.py.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/Network.h"
#include "platform/win32/AdapterSwitch.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/InternetProbe.h"
#include "platform/win32/LocalAddress.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WmiNetworkInventory.h"

namespace zx {
namespace {

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}
std::u16string Text16(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

std::u16string AddressText(const SOCKADDR* address) {
    wchar_t text[64] = {};
    if (address->sa_family == AF_INET) {
        ::InetNtopW(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, 64);
    } else if (address->sa_family == AF_INET6) {
        ::InetNtopW(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, 64);
    }
    return FromWide(text);
}

// The socket layer's own view, read independently of the code under test: every
// adapter's name (its interface GUID) with its unicast addresses.
std::map<std::string, std::vector<std::u16string>> AdapterAddresses() {
    std::vector<unsigned char> buffer(64 * 1024);
    ULONG size = static_cast<ULONG>(buffer.size());
    auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    EXPECT_EQ(::GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, first, &size), static_cast<ULONG>(ERROR_SUCCESS));
    std::map<std::string, std::vector<std::u16string>> result;
    for (auto* adapter = first; adapter; adapter = adapter->Next) {
        auto& addresses = result[adapter->AdapterName];
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            addresses.push_back(AddressText(unicast->Address.lpSockaddr));
        }
    }
    return result;
}

std::string UpperAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

const std::regex kBraceGuid("\\{[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\\}");

bool InLoopbackOnlyNamespace() {
    return std::getenv("ZX_LOOPBACK_ONLY") != nullptr;
}

#define ZX_SKIP_INSIDE_LOOPBACK_ONLY()                                                                                 \
    do {                                                                                                               \
        if (InLoopbackOnlyNamespace()) {                                                                               \
            GTEST_SKIP() << "runs outside the loopback-only namespace";                                                \
        }                                                                                                              \
    } while (false)

struct TFound {
    std::u16string Name = u"name before", GUID = u"guid before", IP = u"ip before";
    bool Found = false;
};

TFound Discover() {
    TWmiNetworkInventory inventory;
    TFound result;
    result.Found = FindActiveAdapter(inventory, result.Name, result.GUID, result.IP);
    return result;
}

TEST(AdapterDiscovery, FindsTheMachinesAdapterThroughWmi) {
    ZX_SKIP_INSIDE_LOOPBACK_ONLY();
    const std::u16string local = GetLocalIPAddress();
    ASSERT_FALSE(local.empty());
    EXPECT_TRUE(std::regex_match(Narrow(local), std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+")));
    EXPECT_NE(local.rfind(u"127.", 0), 0u) << "loopback is not the primary address";

    const TFound found = Discover();
    ASSERT_TRUE(found.Found);
    EXPECT_TRUE(std::regex_match(Narrow(found.GUID), kBraceGuid)) << Narrow(found.GUID);
    EXPECT_FALSE(found.Name.empty());
    EXPECT_NE(found.Name, u"name before");
    EXPECT_TRUE(SameSubnet(local, found.IP)) << Narrow(local) << " / " << Narrow(found.IP);

    // The socket layer knows the same adapter by the same GUID, with that address.
    const auto adapters = AdapterAddresses();
    const std::string wanted = UpperAscii(Narrow(found.GUID));
    bool listed = false;
    for (const auto& [name, addresses] : adapters) {
        if (UpperAscii(name) != wanted) continue;
        listed = true;
        EXPECT_NE(std::find(addresses.begin(), addresses.end(), found.IP), addresses.end()) << Narrow(found.IP);
        EXPECT_NE(std::find(addresses.begin(), addresses.end(), local), addresses.end()) << Narrow(local);
    }
    EXPECT_TRUE(listed) << "no adapter " << wanted << " in the address list";
}

TEST(AdapterDiscovery, ReadsEveryConnectedAdaptersProperties) {
    ZX_SKIP_INSIDE_LOOPBACK_ONLY();
    TWmiNetworkInventory inventory;
    const std::unique_ptr<IAdapterWalk> walk = inventory.OpenAdapterWalk();
    ASSERT_TRUE(walk);
    bool sawAddresses = false;
    while (const std::optional<TAdapterRecord> adapter = walk->NextAdapter()) {
        ASSERT_EQ(adapter->Index.State, TPropertyText::psText);
        EXPECT_TRUE(std::regex_match(Narrow(adapter->Index.Text), std::regex("[0-9]+"))) << Narrow(adapter->Index.Text);
        EXPECT_EQ(adapter->Name.State, TPropertyText::psText);
        ASSERT_EQ(adapter->GUID.State, TPropertyText::psText);
        EXPECT_TRUE(std::regex_match(Narrow(adapter->GUID.Text), kBraceGuid)) << Narrow(adapter->GUID.Text);
        const std::unique_ptr<IConfigurationWalk> configurations = walk->QueryConfigurations(adapter->Index.Text);
        while (const std::optional<TConfigurationRecord> configuration = configurations->NextConfiguration()) {
            if (configuration->IPAddress.Kind != TAddressProperty::akArray) continue;
            for (const std::u16string& address : configuration->IPAddress.Texts) {
                EXPECT_FALSE(address.empty());
                sawAddresses = true;
            }
        }
    }
    EXPECT_TRUE(sawAddresses);
}

// The search enters and leaves COM once, whatever the thread had entered before; a
// thread already in the multithreaded apartment keeps it.
TEST(AdapterDiscovery, LeavesTheThreadsApartmentAsItFoundIt) {
    ZX_SKIP_INSIDE_LOOPBACK_ONLY();
    struct TCase {
        const char* What;
        bool Enter;
        DWORD Model;
        HRESULT ProbeAfter; // CoInitializeEx(Model) after the search
    };
    const TCase cases[] = {
        {"no apartment", false, COINIT_APARTMENTTHREADED, S_OK},
        {"single-threaded apartment", true, COINIT_APARTMENTTHREADED, S_FALSE},
        {"multithreaded apartment", true, COINIT_MULTITHREADED, S_FALSE},
    };
    for (const TCase& c : cases) {
        bool found = false;
        HRESULT after = E_FAIL;
        std::thread([&] {
            if (c.Enter) {
                ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, c.Model)));
            }
            found = Discover().Found;
            after = ::CoInitializeEx(nullptr, c.Model);
            if (SUCCEEDED(after)) ::CoUninitialize();
            if (c.Enter) ::CoUninitialize();
        }).join();
        EXPECT_TRUE(found) << c.What;
        EXPECT_EQ(after, c.ProbeAfter) << c.What;
    }
}

TEST(LoopbackOnly, NoAdapterAndNoLocalAddress) {
    if (!InLoopbackOnlyNamespace()) GTEST_SKIP() << "runs under tests/wine/loopback-only.sh";
    EXPECT_EQ(GetLocalIPAddress(), u"");
    const TFound found = Discover();
    EXPECT_FALSE(found.Found);
    // No adapter was read at all, so the caller's variables were not touched.
    EXPECT_EQ(found.Name, u"name before");
    EXPECT_EQ(found.GUID, u"guid before");
    EXPECT_EQ(found.IP, u"ip before");
}

// --- Connection switch --------------------------------------------------------------

TEST(AdapterSwitch, ReturnsFalseWithoutTheNetworkShell) {
    ZX_SKIP_INSIDE_LOOPBACK_ONLY();
    const TFound found = Discover();
    ASSERT_TRUE(found.Found);
    TComScope apartment;
    TConnectionManagerSwitch adapters;
    for (const std::u16string& guid : {found.GUID, Text16(UpperAscii(Narrow(found.GUID))), std::u16string()}) {
        for (bool enable : {false, true}) {
            EXPECT_FALSE(adapters.SetAdapterEnabled(guid, enable)) << Narrow(guid) << " " << enable;
        }
    }
    EXPECT_EQ(::GetModuleHandleW(L"netshell.dll"), nullptr) << "the library is freed after each call";
}

bool PlantedLibraryLoaded() {
    wchar_t value[8] = {};
    return ::GetEnvironmentVariableW(L"ZX_PLANTED_NETSHELL_LOADED", value, 8) != 0;
}

TEST(AdapterSwitch, LoadsTheNetworkShellFromTheSystemFolderOnly) {
    ZX_SKIP_INSIDE_LOOPBACK_ONLY();
    // A "netshell.dll" lies beside this program. Loaded by bare name, it is found.
    ::SetEnvironmentVariableW(L"ZX_PLANTED_NETSHELL_LOADED", nullptr);
    HMODULE planted = ::LoadLibraryW(L"netshell.dll");
    ASSERT_NE(planted, nullptr) << "the planted library is missing beside the test program";
    ASSERT_TRUE(PlantedLibraryLoaded());
    ::FreeLibrary(planted);
    ::SetEnvironmentVariableW(L"ZX_PLANTED_NETSHELL_LOADED", nullptr);

    TComScope apartment;
    TConnectionManagerSwitch adapters;
    EXPECT_FALSE(adapters.SetAdapterEnabled(u"{00000000-0000-0000-0000-000000000000}", true));
    EXPECT_FALSE(PlantedLibraryLoaded());
}

// Connection manager stand-ins: the walk runs for real over them. Every call lands in
// one log, and reference counts show whether everything handed out was released.
std::vector<std::string> GLog;
std::map<NETCON_PROPERTIES*, std::string> GBlockOwners;

void WINAPI FreeProperties(NETCON_PROPERTIES* block) {
    GLog.push_back("free " + GBlockOwners[block]);
    GBlockOwners.erase(block);
    delete block;
}

template <typename Interface>
class TCounted : public Interface {
public:
    LONG References = 1;
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid != IID_IUnknown) return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG WINAPI AddRef() override { return ++References; }
    ULONG WINAPI Release() override { return --References; }
};

struct TConnectionSpec {
    std::string Name;
    const char* Id;
    bool PropertiesFail = false;
    HRESULT ConnectResult = S_OK;
    HRESULT DisconnectResult = S_OK;
};

class TFakeConnection : public TCounted<INetConnection> {
public:
    explicit TFakeConnection(TConnectionSpec spec) : FSpec(std::move(spec)) {}
    HRESULT WINAPI Connect() override {
        GLog.push_back("connect " + FSpec.Name);
        return FSpec.ConnectResult;
    }
    HRESULT WINAPI Disconnect() override {
        GLog.push_back("disconnect " + FSpec.Name);
        return FSpec.DisconnectResult;
    }
    HRESULT WINAPI Delete() override { return E_NOTIMPL; }
    HRESULT WINAPI Duplicate(LPCWSTR, INetConnection**) override { return E_NOTIMPL; }
    HRESULT WINAPI GetProperties(NETCON_PROPERTIES** out) override {
        GLog.push_back("properties " + FSpec.Name);
        if (FSpec.PropertiesFail) return E_ACCESSDENIED;
        auto* block = new NETCON_PROPERTIES{};
        std::wstring id(FSpec.Id, FSpec.Id + std::strlen(FSpec.Id));
        if (FAILED(::CLSIDFromString(id.c_str(), &block->guidId))) ADD_FAILURE() << FSpec.Id;
        GBlockOwners[block] = FSpec.Name;
        *out = block;
        return S_OK;
    }
    HRESULT WINAPI GetUiObjectClassId(CLSID*) override { return E_NOTIMPL; }
    HRESULT WINAPI Rename(LPCWSTR) override { return E_NOTIMPL; }

private:
    TConnectionSpec FSpec;
};

class TFakeEnumeration : public TCounted<IEnumNetConnection> {
public:
    std::vector<std::unique_ptr<TFakeConnection>> Connections;
    HRESULT WINAPI Next(ULONG count, INetConnection** out, ULONG* fetched) override {
        if (count != 1 || FNext == Connections.size()) {
            if (fetched) *fetched = 0;
            return S_FALSE;
        }
        out[0] = Connections[FNext++].get();
        out[0]->AddRef();
        if (fetched) *fetched = 1;
        return S_OK;
    }
    HRESULT WINAPI Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT WINAPI Reset() override { return E_NOTIMPL; }
    HRESULT WINAPI Clone(IEnumNetConnection**) override { return E_NOTIMPL; }

private:
    std::size_t FNext = 0;
};

class TFakeManager : public TCounted<INetConnectionManager> {
public:
    TFakeEnumeration Enumeration;
    bool Refuses = false;
    HRESULT WINAPI EnumConnections(NETCONMGR_ENUM_FLAGS flags, IEnumNetConnection** out) override {
        GLog.push_back("enumerate " + std::to_string(flags));
        if (Refuses) return E_ACCESSDENIED;
        *out = &Enumeration;
        Enumeration.AddRef();
        return S_OK;
    }
};

constexpr const char* kFirstId = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
constexpr const char* kSecondId = "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}";

TEST(SwitchConnection, ActsOnTheFirstConnectionWhoseIdentifierMatches) {
    struct TCase {
        const char* What;
        std::vector<TConnectionSpec> Connections;
        std::u16string Guid;
        bool Enable;
        bool Refuses;
        bool Expected;
        std::vector<std::string> Log;
    };
    const std::vector<TCase> cases = {
        {"lower-case request",
         {{"a", kFirstId}, {"b", kSecondId}},
         u"{0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d}",
         true,
         false,
         true,
         {"enumerate 0", "properties a", "free a", "properties b", "free b", "connect b"}},
        {"mixed-case request",
         {{"a", kFirstId}},
         u"{6b29FC40-ca47-1067-b31D-00dd010662Da}",
         true,
         false,
         true,
         {"enumerate 0", "properties a", "free a", "connect a"}},
        {"disconnect",
         {{"a", kFirstId}},
         Text16(kFirstId),
         false,
         false,
         true,
         {"enumerate 0", "properties a", "free a", "disconnect a"}},
        {"no braces",
         {{"a", kFirstId}, {"b", kSecondId}},
         u"0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D",
         true,
         false,
         false,
         {"enumerate 0", "properties a", "free a", "properties b", "free b"}},
        {"spaces",
         {{"a", kFirstId}},
         u" {6B29FC40-CA47-1067-B31D-00DD010662DA}",
         true,
         false,
         false,
         {"enumerate 0", "properties a", "free a"}},
        {"empty request", {{"a", kFirstId}}, u"", false, false, false, {"enumerate 0", "properties a", "free a"}},
        {"first match only, even when refused",
         {{"a", kSecondId, false, E_ACCESSDENIED}, {"b", kSecondId}},
         Text16(kSecondId),
         true,
         false,
         false,
         {"enumerate 0", "properties a", "free a", "connect a"}},
        {"only S_OK counts",
         {{"a", kFirstId, false, S_OK, S_FALSE}},
         Text16(kFirstId),
         false,
         false,
         false,
         {"enumerate 0", "properties a", "free a", "disconnect a"}},
        {"unreadable properties are passed over",
         {{"a", kFirstId, true}, {"b", kFirstId}},
         Text16(kFirstId),
         true,
         false,
         true,
         {"enumerate 0", "properties a", "properties b", "free b", "connect b"}},
        {"enumeration refused", {{"a", kFirstId}}, Text16(kFirstId), true, true, false, {"enumerate 0"}},
    };
    for (const TCase& c : cases) {
        GLog.clear();
        TFakeManager manager;
        manager.Refuses = c.Refuses;
        for (const TConnectionSpec& spec : c.Connections) {
            manager.Enumeration.Connections.push_back(std::make_unique<TFakeConnection>(spec));
        }
        EXPECT_EQ(SwitchConnection(manager, FreeProperties, c.Guid, c.Enable), c.Expected) << c.What;
        EXPECT_EQ(GLog, c.Log) << c.What;
        EXPECT_TRUE(GBlockOwners.empty()) << c.What << ": a properties block was not given back";
        EXPECT_EQ(manager.References, 1) << c.What;
        EXPECT_EQ(manager.Enumeration.References, 1) << c.What;
        for (const auto& connection : manager.Enumeration.Connections) EXPECT_EQ(connection->References, 1) << c.What;
    }
}

// --- Connectivity probe -------------------------------------------------------------

// Runs the local peers for the probe tests (a Unix program, started through Wine) and
// keeps a connection to its lifeline port open until this process ends.
class TProbePeers {
public:
    static TProbePeers& Get() {
        static TProbePeers peers;
        return peers;
    }

    std::u16string URL(const std::string& peer) const {
        const auto found = FPorts.find(peer);
        EXPECT_NE(found, FPorts.end()) << "no peer " << peer;
        return Text16("http://127.0.0.1:" + std::to_string(found == FPorts.end() ? 9 : found->second));
    }
    bool Ready() const { return FLifeline != INVALID_SOCKET; }

private:
    TProbePeers() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        const std::string portsFile =
            std::string(ZX_NETWORK_TEST_DIR) + "/probe-ports-" + std::to_string(::GetCurrentProcessId()) + ".txt";
        const std::string portsFileWine = "Z:" + portsFile;
        ::DeleteFileA(portsFileWine.c_str());
        std::string command = std::string("Z:") + ZX_PYTHON3 + " " + ZX_PROBE_SERVER_SCRIPT + " " + portsFile;
        std::wstring wideCommand(command.begin(), command.end());
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, wideCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process)) {
            ADD_FAILURE() << "cannot start " << command << " (error " << ::GetLastError() << ")";
            return;
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        for (int i = 0; i < 200 && FPorts.empty(); ++i) {
            std::ifstream in(portsFileWine);
            std::string name;
            int port = 0;
            while (in >> name >> port) FPorts[name] = port;
            if (FPorts.empty()) ::Sleep(50);
        }
        ::DeleteFileA(portsFileWine.c_str());
        if (!FPorts.count("lifeline")) {
            ADD_FAILURE() << "the probe peers did not start";
            return;
        }
        FLifeline = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = ::htons(static_cast<u_short>(FPorts["lifeline"]));
        address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        if (::connect(FLifeline, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            ::closesocket(FLifeline);
            FLifeline = INVALID_SOCKET;
            ADD_FAILURE() << "no lifeline to the probe peers";
        }
    }

    std::map<std::string, int> FPorts;
    SOCKET FLifeline = INVALID_SOCKET; // closed by the system when this process ends
};

// Runs one probe on its own thread; a probe that outlives `limit` fails the test instead
// of hanging it (the thread is then left behind until the process ends).
std::optional<bool> ProbeWithin(THttpInternetProbe probe, std::chrono::seconds limit) {
    auto result = std::make_shared<std::promise<bool>>();
    std::future<bool> answer = result->get_future();
    std::thread([probe = std::move(probe), result]() mutable {
        result->set_value(probe.IsInternetReachable());
    }).detach();
    if (answer.wait_for(limit) != std::future_status::ready) return std::nullopt;
    return answer.get();
}

constexpr TProbeTimeouts kShortBounds{
    .ResolveMs = 1000, .ConnectMs = 1000, .SendMs = 1000, .ReceiveMs = 1000, .WholeMs = 4000};

TEST(InternetProbe, AnyAnsweredStatusCountsAndNoAnswerDoesNot) {
    ZX_SKIP_INSIDE_LOOPBACK_ONLY();
    TProbePeers& peers = TProbePeers::Get();
    ASSERT_TRUE(peers.Ready());
    struct TCase {
        const char* What;
        std::u16string URL;
        bool Expected;
    };
    const TCase cases[] = {
        {"200", peers.URL("ok"), true},
        {"301 to a closed port, not followed", peers.URL("moved"), true},
        {"404", peers.URL("missing"), true},
        {"503", peers.URL("unavailable"), true},
        {"HEAD / over HTTP/1.1, Host, Zephyrix, Connection: close", peers.URL("strict"), true},
        {"HTTP/1.0 answer", peers.URL("http10"), true},
        {"status line arriving in pieces", peers.URL("split"), true},
        {"status line, then header lines without end", peers.URL("hugehead"), true},
        {"closed port", peers.URL("closed"), false},
        {"unresolvable name", u"http://zephyrix-probe.invalid", false},
        {"accepts and never answers", peers.URL("silent"), false},
        {"hangs up without answering", peers.URL("hangup"), false},
        {"answers with something other than HTTP", peers.URL("garbage"), false},
        {"status of two digits", peers.URL("badstatus"), false},
        {"status line dripping past the bound", peers.URL("drip"), false},
        {"not plain HTTP", u"https://127.0.0.1:1", false},
    };
    for (const TCase& c : cases) {
        const std::optional<bool> reachable =
            ProbeWithin(THttpInternetProbe(c.URL, kShortBounds), std::chrono::seconds(30));
        ASSERT_TRUE(reachable.has_value()) << c.What << ": the probe did not end";
        EXPECT_EQ(*reachable, c.Expected) << c.What << " (" << Narrow(c.URL) << ")";
    }
}

// Each step may wait long, the whole probe not: an answer whose status line drips ends at
// the whole bound although every byte comes well within the step's own.
TEST(InternetProbe, TheWholeBoundEndsAProbeWhoseStepsKeepGoing) {
    ZX_SKIP_INSIDE_LOOPBACK_ONLY();
    TProbePeers& peers = TProbePeers::Get();
    ASSERT_TRUE(peers.Ready());
    const TProbeTimeouts bounds{
        .ResolveMs = 60000, .ConnectMs = 60000, .SendMs = 60000, .ReceiveMs = 60000, .WholeMs = 2000};
    const std::optional<bool> reachable =
        ProbeWithin(THttpInternetProbe(peers.URL("drip"), bounds), std::chrono::seconds(5));
    ASSERT_TRUE(reachable.has_value()) << "the whole bound did not end the probe";
    EXPECT_FALSE(*reachable);
}

TEST(InternetProbe, TheProgramsOwnBoundsEndAProbeThatGetsNoAnswer) {
    ZX_SKIP_INSIDE_LOOPBACK_ONLY();
    TProbePeers& peers = TProbePeers::Get();
    ASSERT_TRUE(peers.Ready());
    const std::optional<bool> reachable =
        ProbeWithin(THttpInternetProbe(peers.URL("silent")), std::chrono::seconds(30));
    ASSERT_TRUE(reachable.has_value()) << "the probe did not end";
    EXPECT_FALSE(*reachable);
}

} // namespace
} // namespace zx
