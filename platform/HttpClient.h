// One GET request that brings back the answer's text: what the update check needs from
// the platform's HTTP client.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace zx {

// A request header as sent: "Name: Value". An empty value is still sent.
struct THttpHeader {
    std::u16string Name;
    std::u16string Value;

    friend bool operator==(const THttpHeader&, const THttpHeader&) = default;
};

// Sent in list order, after the client's own headers.
using THttpHeaderList = std::vector<THttpHeader>;

// The answer body is taken up to this many bytes; anything longer counts as a failed
// request (no real answer of the service comes near it).
inline constexpr std::size_t kMaxAnswerBytes = std::size_t{1024} * 1024;

class IHttpTextClient {
public:
    virtual ~IHttpTextClient() = default;
    // One GET of `url` with `headers` added in order. True when an answer came back,
    // whatever its status but a redirection: `text` is then its whole body decoded as
    // UTF-8. False on any failure of the transfer (name, connection, TLS, time-out, a body
    // over kMaxAnswerBytes), for an address the client's transport rule does not allow,
    // and for a redirection (3xx), which is never followed; `text` is then left as it
    // was. Never throws for network failures.
    [[nodiscard]] virtual bool HttpGetText(const std::u16string& url, const THttpHeaderList& headers,
                                           std::u16string& text) = 0;
};

} // namespace zx
