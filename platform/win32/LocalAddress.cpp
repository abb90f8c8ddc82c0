// Local address from GetAdaptersAddresses.
#include "platform/win32/LocalAddress.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <string>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Winsock.h"

namespace zx {
namespace {

std::u16string DottedText(const sockaddr_in& address) {
    wchar_t text[INET_ADDRSTRLEN] = {};
    if (!::InetNtopW(AF_INET, &address.sin_addr, text, INET_ADDRSTRLEN)) return {};
    return FromWide(text);
}

} // namespace

std::u16string GetLocalIPAddress() {
    TWinsockScope winsock;
    constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    // The list can grow between the size query and the read; a few rounds settle it.
    std::vector<unsigned char> buffer(std::size_t{16} * 1024);
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int round = 0; round < 4 && result == ERROR_BUFFER_OVERFLOW; ++round) {
        ULONG size = static_cast<ULONG>(buffer.size());
        result = ::GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
        if (result == ERROR_BUFFER_OVERFLOW) buffer.resize(size);
    }
    if (result == ERROR_NO_DATA) return {};
    if (result != ERROR_SUCCESS) throw TPlatformError("GetAdaptersAddresses", result);

    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter;
         adapter = adapter->Next) {
        if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK || (adapter->Flags & IP_ADAPTER_RECEIVE_ONLY)) continue;
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast;
             unicast = unicast->Next) {
            if (unicast->DadState != IpDadStatePreferred) continue;
            const SOCKADDR* address = unicast->Address.lpSockaddr;
            if (address && address->sa_family == AF_INET) {
                return DottedText(*reinterpret_cast<const sockaddr_in*>(address));
            }
        }
    }
    return {};
}

} // namespace zx
