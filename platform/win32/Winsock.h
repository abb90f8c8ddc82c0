// The socket layer held for one use, and the owner of a socket.
#pragma once

#include <winsock2.h>

#include "platform/win32/UniqueResource.h"

namespace zx {

// Holds the socket layer while it lives. Only a successful start is balanced; callers
// whose work needs the layer ask `Started`.
class TWinsockScope {
public:
    TWinsockScope() noexcept {
        WSADATA data;
        FStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~TWinsockScope() {
        if (FStarted) ::WSACleanup();
    }
    TWinsockScope(const TWinsockScope&) = delete;
    TWinsockScope& operator=(const TWinsockScope&) = delete;

    [[nodiscard]] bool Started() const noexcept { return FStarted; }

private:
    bool FStarted = false;
};

struct TSocketTraits {
    using Type = SOCKET;
    static Type Invalid() noexcept { return INVALID_SOCKET; }
    static void Close(Type s) noexcept { ::closesocket(s); }
};
using TUniqueSocket = TUniqueResource<TSocketTraits>;

} // namespace zx
