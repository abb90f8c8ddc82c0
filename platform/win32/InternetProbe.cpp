// Connectivity probe: a small HTTP/1.1 HEAD client over Winsock.
//
// Not WinHTTP: the probe only needs to see that an HTTP status line came back, and
// WinHTTP (Wine's, at least) keeps an answer's head whatever its size and bounds only each
// read of it, so a peer sending 100 MB of header lines, or its head one byte per second,
// took the program's memory or held the busy window for ever. Here at most the status
// line's first bytes are read, and every wait ends at the probe's deadline.
#include "platform/win32/InternetProbe.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/DeadlineCall.h"
#include "platform/ProbeHead.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Winsock.h"

namespace zx {
namespace {

using TClock = std::chrono::steady_clock;

// A step's own bound, cut short by the whole probe's deadline.
TDeadline StepDeadline(TDeadline whole, std::uint32_t stepMs) {
    return std::min(whole, TClock::now() + std::chrono::milliseconds(stepMs));
}

struct TTarget {
    std::wstring Host;
    INTERNET_PORT Port = INTERNET_DEFAULT_HTTP_PORT;
    std::string Request; // the whole HEAD request, ASCII
};

// An "http://host[:port][/path]" address and the request to send there; nothing for any
// other scheme, and for a host or path that is not ASCII (it could not be sent as is).
std::optional<TTarget> ReadProbeURL(const std::u16string& url) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(Wide(url), 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP ||
        parts.dwHostNameLength == 0) {
        return std::nullopt;
    }
    TTarget target;
    target.Host.assign(parts.lpszHostName, parts.dwHostNameLength);
    target.Port = parts.nPort;
    std::optional<std::string> request =
        ProbeHeadRequest(FromWide(target.Host.c_str(), target.Host.size()), target.Port,
                         FromWide(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength));
    if (!request) return std::nullopt;
    target.Request = std::move(*request);
    return target;
}

struct TAddressListTraits {
    using Type = PADDRINFOW;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type list) noexcept { ::FreeAddrInfoW(list); }
};

// The host's IPv4 addresses in the resolver's order; empty when it has none.
std::vector<sockaddr_in> LookUpIPv4(const std::wstring& host, INTERNET_PORT port) {
    const TWinsockScope winsock;
    if (!winsock.Started()) return {};
    ADDRINFOW hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    TUniqueResource<TAddressListTraits> list;
    if (::GetAddrInfoW(host.c_str(), nullptr, &hints, list.put()) != 0) return {};
    std::vector<sockaddr_in> addresses;
    for (const ADDRINFOW* entry = list.get(); entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
        sockaddr_in address = *reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        address.sin_port = ::htons(port);
        addresses.push_back(address);
    }
    return addresses;
}

// The resolver takes no time-out, so the lookup runs on a thread of its own and the probe
// waits for it only until the deadline. The lookup owns all it touches (its own hold on
// the socket layer included) and ends when the resolver answers, even after the probe
// has given up on it.
std::vector<sockaddr_in> ResolveIPv4(const std::wstring& host, INTERNET_PORT port, TDeadline deadline) {
    return CallBeforeDeadline<std::vector<sockaddr_in>>(deadline,
                                                        [host, port] { return std::optional(LookUpIPv4(host, port)); })
        .value_or(std::vector<sockaddr_in>{});
}

enum class TWait { wtConnect, wtSend, wtReceive };

// Whether the socket became ready for the step before the deadline; a failed connection
// attempt is not ready.
bool WaitReady(SOCKET socket, TWait wait, TDeadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - TClock::now());
    if (left.count() <= 0) return false;
    timeval bound{};
    bound.tv_sec = static_cast<long>(left.count() / 1000000);
    bound.tv_usec = static_cast<long>(left.count() % 1000000);
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket, &ready);
    fd_set failed;
    FD_ZERO(&failed);
    FD_SET(socket, &failed);
    const bool reading = wait == TWait::wtReceive;
    // A connection attempt that fails is reported in the third set.
    const int count = ::select(0, reading ? &ready : nullptr, reading ? nullptr : &ready,
                               wait == TWait::wtConnect ? &failed : nullptr, &bound);
    if (count <= 0) return false;
    return FD_ISSET(socket, &ready) && !(wait == TWait::wtConnect && FD_ISSET(socket, &failed));
}

// A connected, non-blocking socket to the first address that accepts before the deadline.
TUniqueSocket Connect(const std::vector<sockaddr_in>& addresses, TDeadline deadline) {
    for (const sockaddr_in& address : addresses) {
        TUniqueSocket connection(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        if (!connection) return {};
        u_long nonBlocking = 1;
        if (::ioctlsocket(connection.get(), FIONBIO, &nonBlocking) != 0) return {};
        if (::connect(connection.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0)
            return connection;
        if (::WSAGetLastError() != WSAEWOULDBLOCK) continue;
        if (!WaitReady(connection.get(), TWait::wtConnect, deadline)) {
            if (TClock::now() >= deadline) return {};
            continue;
        }
        int error = 0;
        int size = sizeof(error);
        if (::getsockopt(connection.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 &&
            error == 0) {
            return connection;
        }
    }
    return {};
}

bool SendAll(SOCKET socket, std::string_view data, TDeadline deadline) {
    while (!data.empty()) {
        const int sent = ::send(socket, data.data(), static_cast<int>(data.size()), 0);
        if (sent > 0) {
            data.remove_prefix(static_cast<std::size_t>(sent));
        } else if (sent == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK &&
                   WaitReady(socket, TWait::wtSend, deadline)) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

// Reads no more than the status line's first bytes, whatever the peer sends after them.
bool ReceiveStatusLine(SOCKET socket, TDeadline deadline) {
    std::array<char, kStatusLineCheckLength> head{};
    std::size_t got = 0;
    for (;;) {
        switch (ReadStatusLine(std::string_view(head.data(), got))) {
        case TStatusLine::slFound:
            return true;
        case TStatusLine::slMalformed:
            return false;
        case TStatusLine::slPartial:
            break;
        }
        if (!WaitReady(socket, TWait::wtReceive, deadline)) return false;
        const int read = ::recv(socket, head.data() + got, static_cast<int>(head.size() - got), 0);
        if (read > 0) {
            got += static_cast<std::size_t>(read);
        } else if (read == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) {
            return false; // closed before the status line, or a socket error
        }
    }
}

} // namespace

THttpInternetProbe::THttpInternetProbe(std::u16string url, TProbeTimeouts timeouts)
    : FURL(std::move(url)), FTimeouts(timeouts) {}

bool THttpInternetProbe::IsInternetReachable() {
    const TDeadline whole = TClock::now() + std::chrono::milliseconds(FTimeouts.WholeMs);
    const std::optional<TTarget> target = ReadProbeURL(FURL);
    if (!target) return false;
    const TWinsockScope winsock;
    if (!winsock.Started()) return false;
    // The system's proxy settings are deliberately not consulted.
    const std::vector<sockaddr_in> addresses =
        ResolveIPv4(target->Host, target->Port, StepDeadline(whole, FTimeouts.ResolveMs));
    const TUniqueSocket connection = Connect(addresses, StepDeadline(whole, FTimeouts.ConnectMs));
    if (!connection) return false;
    if (!SendAll(connection.get(), target->Request, StepDeadline(whole, FTimeouts.SendMs))) return false;
    // A status line means the site answered, whatever the status; a redirection is an
    // answer in its own right and is not followed.
    return ReceiveStatusLine(connection.get(), StepDeadline(whole, FTimeouts.ReceiveMs));
}

} // namespace zx
