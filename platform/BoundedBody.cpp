#include "platform/BoundedBody.h"

#include <algorithm>
#include <chrono>

namespace zx {

std::optional<std::string> ReadBoundedBody(const TBodySource& source, std::size_t limit, TDeadline deadline) {
    std::string body;
    for (;;) {
        // A peer sending one byte at a time never lets a single read wait long: the body
        // fails as a whole once the deadline has passed.
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        // A read waits until its buffer is full: asking only for what has arrived lets the
        // deadline be looked at between the drops.
        TByteCount available = 0;
        if (!source.Available(available)) return std::nullopt;
        if (available == 0) return body;
        // One byte past the bound is enough to know the body is too long.
        const auto wanted = static_cast<TByteCount>(std::min<std::size_t>(available, limit + 1 - body.size()));
        const std::size_t at = body.size();
        body.resize(at + wanted);
        TByteCount read = 0;
        if (!source.Read(body.data() + at, wanted, read)) return std::nullopt;
        body.resize(at + std::min(read, wanted));
        if (read == 0 || body.size() > limit) return body;
    }
}

} // namespace zx
