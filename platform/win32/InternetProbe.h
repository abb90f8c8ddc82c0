// Connectivity probe: one HTTP/1.1 HEAD over plain HTTP to a well-known site, over Winsock.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Network.h"

namespace zx {

// Bounds of one probe, in milliseconds. Without them a peer that accepts the connection
// and never answers, or answers one byte at a time, would hold the probe, and the busy
// window, for ever. Each step has its own bound, and the whole probe ends WholeMs after
// it started whatever the steps took.
struct TProbeTimeouts {
    std::uint32_t ResolveMs = 5000;
    std::uint32_t ConnectMs = 5000;
    std::uint32_t SendMs = 5000;
    std::uint32_t ReceiveMs = 5000; // from the request sent to the answer's status line
    std::uint32_t WholeMs = 10000;
};

// One HTTP/1.1 HEAD over IPv4: no proxy, redirections not followed, any answered status
// counts as reachable; no answer, or one that does not begin with an HTTP status line,
// counts as unreachable.
class THttpInternetProbe final : public IInternetProbe {
public:
    // An "http://host[:port]" address: the program passes its build-time probe address,
    // tests a local server.
    explicit THttpInternetProbe(std::u16string url, TProbeTimeouts timeouts = {});

    [[nodiscard]] bool IsInternetReachable() override;

private:
    std::u16string FURL;
    TProbeTimeouts FTimeouts;
};

} // namespace zx
