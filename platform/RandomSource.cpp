#include "platform/RandomSource.h"

namespace zx {

std::uint32_t TSeededRandom::Below(std::uint32_t bound) {
    if (bound <= 1) return 0;
    const std::lock_guard lock(FGuard);
    return std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(FGenerator);
}

} // namespace zx
