#include "platform/ProbeHead.h"

#include <algorithm>

namespace zx {
namespace {

// '#' stands for a digit, '_' for the character after the status.
constexpr std::string_view kStatusLineShape = "HTTP/1.# ###_";
static_assert(kStatusLineShape.size() == kStatusLineCheckLength);

// Appends `text` when every character can stand in a request line or header as is.
bool AppendRequestText(std::string& request, std::u16string_view text) {
    for (const char16_t c : text) {
        if (c <= 0x20 || c > 0x7E) return false;
        request += static_cast<char>(c);
    }
    return true;
}

} // namespace

std::optional<std::string> ProbeHeadRequest(std::u16string_view host, std::uint16_t port, std::u16string_view path) {
    if (host.empty()) return std::nullopt;
    std::string request = "HEAD ";
    if (!AppendRequestText(request, path.empty() ? std::u16string_view(u"/") : path)) return std::nullopt;
    request += " HTTP/1.1\r\nHost: ";
    if (!AppendRequestText(request, host)) return std::nullopt;
    if (port != 80) request += ":" + std::to_string(port);
    request += "\r\nUser-Agent: Zephyrix\r\nConnection: close\r\n\r\n";
    return request;
}

TStatusLine ReadStatusLine(std::string_view head) noexcept {
    const std::size_t checked = std::min(head.size(), kStatusLineShape.size());
    for (std::size_t i = 0; i < checked; ++i) {
        const char shape = kStatusLineShape[i];
        const char c = head[i];
        const bool fits = shape == '#' ? (c >= '0' && c <= '9')
            : shape == '_'             ? (c == ' ' || c == '\r' || c == '\n')
                                       : c == shape;
        if (!fits) return TStatusLine::slMalformed;
    }
    return checked == kStatusLineShape.size() ? TStatusLine::slFound : TStatusLine::slPartial;
}

} // namespace zx
