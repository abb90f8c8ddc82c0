// The update service's requests over WinHTTP: one GET, custom headers in order, the
// whole body as UTF-8 text.
#pragma once

#include <cstdint>
#include <string>

#include "platform/HttpClient.h"
#include "platform/TransportRule.h"

namespace zx {

// Bounds of one request, in milliseconds: a silent peer ends the attempt instead of
// holding the check's thread. Any read that waits longer than ReceiveMs fails it, and
// the call returns false at the latest WholeMs after it started, whatever the peer does
// (a peer that sends its head or body one byte at a time never lets a single read wait
// long).
struct THttpTimeouts {
    std::uint32_t ResolveMs = 30000;
    std::uint32_t ConnectMs = 30000;
    std::uint32_t SendMs = 30000;
    std::uint32_t ReceiveMs = 30000;
    std::uint32_t WholeMs = 30000;
};

// A new WinHTTP session per request, with the system's proxy settings and no user agent
// of its own. Only addresses `rule` allows are asked (https only, in a release); TLS 1.2
// at least. A redirection is never followed: its answer counts as none, so that an
// answer always comes from the address asked, over the transport asked for.
class TWinHttpTextClient final : public IHttpTextClient {
public:
    explicit TWinHttpTextClient(TTransportRule rule, THttpTimeouts timeouts = {}) : FRule(rule), FTimeouts(timeouts) {}

    [[nodiscard]] bool HttpGetText(const std::u16string& url, const THttpHeaderList& headers,
                                   std::u16string& text) override;

private:
    TTransportRule FRule;
    THttpTimeouts FTimeouts;
};

} // namespace zx
