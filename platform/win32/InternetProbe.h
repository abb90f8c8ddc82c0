// Connectivity probe: one HTTP/1.1 HEAD over plain HTTP to a well-known site.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Network.h"

namespace zx {

// Bounds of one probe, in milliseconds. Without them a peer that accepts the connection
// and never answers would hold the probe, and the busy window, for ever.
struct TProbeTimeouts {
    std::uint32_t ResolveMs = 5000;
    std::uint32_t ConnectMs = 5000;
    std::uint32_t SendMs = 5000;
    std::uint32_t ReceiveMs = 5000;
};

// No proxy, redirections not followed, any answered status counts as reachable.
class THttpInternetProbe final : public IInternetProbe {
public:
    // An "http://host[:port]" address: the program passes its build-time probe address,
    // tests a local server.
    explicit THttpInternetProbe(std::u16string url, TProbeTimeouts timeouts = {});

    [[nodiscard]] bool IsInternetReachable() override;

private:
    std::u16string FUrl;
    TProbeTimeouts FTimeouts;
};

} // namespace zx
