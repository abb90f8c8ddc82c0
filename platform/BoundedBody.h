// Reading an answer's body as it arrives, within a size bound and a deadline: the loop
// both HTTP clients (WinHTTP, WinINet) share, each giving its library's two calls.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/DeadlineCall.h"

namespace zx {

// A count of bytes as the systems' read calls give it (DWORD, an unsigned long there), so
// that they can write into it directly.
using TByteCount = unsigned long;

// The two calls of one transfer; each returns false when the transfer fails.
struct TBodySource {
    // How many bytes can be read now without waiting; 0 at the end of the body.
    std::function<bool(TByteCount& available)> Available;
    // Reads up to `wanted` bytes into `into`; `read` is 0 at the end of the body.
    std::function<bool(char* into, TByteCount wanted, TByteCount& read)> Read;
};

// The whole body; a body longer than `limit` is cut one byte past it, which is enough to
// refuse it. Nullopt when the transfer fails or the deadline passes first. Never throws
// but for what the calls themselves throw.
[[nodiscard]] std::optional<std::string> ReadBoundedBody(const TBodySource& source, std::size_t limit,
                                                         TDeadline deadline);

} // namespace zx
