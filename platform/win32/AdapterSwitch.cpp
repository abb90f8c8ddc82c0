// Connection restart through netshell.dll's connection manager.
#include "platform/win32/AdapterSwitch.h"

#include "platform/common/AsciiText.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/WideText.h"

namespace zx {
namespace {

// CLSID_ConnectionManager and IID_INetConnectionManager: netcon.h declares them, but no
// mingw-w64 import library defines them.
constexpr CLSID kConnectionManagerClass = {
    0xBA126AD1, 0x2166, 0x11D1, {0xB1, 0xD0, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
constexpr IID kConnectionManagerInterface = {
    0xC08956A2, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};

std::u16string GuidText(const GUID& id) {
    wchar_t text[40] = {};
    if (::StringFromGUID2(id, text, 40) == 0) return {};
    return FromWide(text);
}

} // namespace

bool SwitchConnection(INetConnectionManager& manager, TFreeNetconProperties freeProperties, const std::u16string& guid,
                      bool enable) {
    TComPtr<IEnumNetConnection> connections;
    if (FAILED(manager.EnumConnections(NCME_DEFAULT, connections.put())) || !connections) return false;
    const std::u16string target = ToLowerAscii(guid);
    for (;;) {
        TComPtr<INetConnection> connection;
        ULONG fetched = 0;
        if (connections->Next(1, connection.put(), &fetched) != S_OK || !connection) return false;
        NETCON_PROPERTIES* properties = nullptr;
        if (FAILED(connection->GetProperties(&properties)) || !properties) continue;
        const std::u16string identifier = ToLowerAscii(GuidText(properties->guidId));
        freeProperties(properties);
        if (identifier == target) {
            return (enable ? connection->Connect() : connection->Disconnect()) == S_OK;
        }
    }
}

bool TConnectionManagerSwitch::SetAdapterEnabled(const std::u16string& guid, bool enable) {
    // Called on the refresh job's thread: the apartment is entered for the call and left
    // after every object below is released.
    const TComScope apartment;
    // The library outlives every object it created: those are declared after it.
    const TUniqueModule library = LoadSystemLibrary(L"netshell.dll");
    if (!library) return false;
    const auto freeProperties = reinterpret_cast<TFreeNetconProperties>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "NcFreeNetconProperties")));
    if (!freeProperties) return false;
    TComPtr<INetConnectionManager> manager;
    if (FAILED(::CoCreateInstance(kConnectionManagerClass, nullptr, CLSCTX_ALL, kConnectionManagerInterface,
                                  manager.put_void())) ||
        !manager) {
        return false;
    }
    return SwitchConnection(*manager.get(), freeProperties, guid, enable);
}

} // namespace zx
