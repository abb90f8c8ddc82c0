// Which addresses the update requests of both programs may travel to: a release speaks
// https only, whatever its addresses say; plain http is for test copies that talk to a
// loopback peer and for builds configured with ZEPHYRIX_ALLOW_PLAIN_HTTP. The rule is
// fixed when a program is built (its entry chooses it), never at run time.
#pragma once

#include <cstdint>
#include <string_view>

namespace zx {

enum class TTransportRule : std::uint8_t {
    trHttpsOnly,
    trPlainHttpAllowed,
};

// True when `url` may be asked under `rule`: an "https://" address always, an "http://"
// one only with trPlainHttpAllowed; the scheme's letters in any case, nothing before it.
// Any other scheme, or no scheme, is never allowed.
[[nodiscard]] bool TransportAllows(TTransportRule rule, std::u16string_view url) noexcept;

} // namespace zx
