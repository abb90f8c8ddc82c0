// The connectivity probe's exchange: any answer bytes through the status-line check, and
// any host and path through the request builder.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzInput.h"
#include "platform/ProbeHead.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using zx::TStatusLine;
    const std::string_view head(reinterpret_cast<const char*>(data), size);
    // A verdict on a head never changes when more bytes arrive: a decided head stays
    // decided the same way, and a partial one is a prefix of a status line.
    const TStatusLine whole = zx::ReadStatusLine(head);
    for (std::size_t cut = 0; cut <= size && cut <= zx::kStatusLineCheckLength + 1; ++cut) {
        const TStatusLine part = zx::ReadStatusLine(head.substr(0, cut));
        if (part != TStatusLine::slPartial && part != whole) zx::fuzz::PropertyFailed();
        if (part == TStatusLine::slPartial && cut >= zx::kStatusLineCheckLength) zx::fuzz::PropertyFailed();
    }

    // The request carries only printable ASCII besides its own line ends, and exactly
    // the lines it is made of, whatever the host and path held.
    if (size < 2) return 0;
    const std::size_t split = data[0] % (size - 1) + 1;
    const std::u16string host = zx::fuzz::Utf16(data + 1, split - 1);
    const std::u16string path = zx::fuzz::Utf16(data + split, size - split);
    const auto request = zx::ProbeHeadRequest(host, static_cast<std::uint16_t>(data[0] * 257), path);
    if (!request) return 0;
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < request->size(); ++i) {
        const char c = (*request)[i];
        if (c == '\r') {
            if (i + 1 >= request->size() || (*request)[i + 1] != '\n') zx::fuzz::PropertyFailed();
            ++lineEnds;
            ++i;
        } else if (c < 0x20 || c > 0x7E) {
            zx::fuzz::PropertyFailed();
        }
    }
    if (lineEnds != 5 || request->rfind("HEAD ", 0) != 0) zx::fuzz::PropertyFailed();
    return 0;
}
