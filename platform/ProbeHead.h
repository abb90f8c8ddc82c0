// The connectivity probe's exchange as text: the HEAD request it sends and the check of
// the answer's first bytes. Portable, so that what a peer may send is tested natively
// and fuzzed; the socket work stays in the Win32 probe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zx {

// The whole HTTP/1.1 HEAD request for `path` on `host` (":port" added to the Host field
// unless it is 80), as ASCII bytes; nothing when the host or path holds a character the
// request could not carry as is (a control character, or anything beyond '~'). An empty
// path asks for "/".
[[nodiscard]] std::optional<std::string> ProbeHeadRequest(std::u16string_view host, std::uint16_t port,
                                                          std::u16string_view path);

// How many bytes of an answer the status-line check needs: "HTTP/1.x nnn" and the next one.
inline constexpr std::size_t kStatusLineCheckLength = 13;

// What the first bytes of an answer say so far. Only the first kStatusLineCheckLength
// bytes are looked at; a longer head is judged on those.
enum class TStatusLine {
    slPartial,  // a true beginning of a status line, too short to decide
    slFound,    // "HTTP/1.", a digit, a space, three digits, then a space or a line end
    slMalformed // not a status line, whatever follows
};
[[nodiscard]] TStatusLine ReadStatusLine(std::string_view head) noexcept;

} // namespace zx
