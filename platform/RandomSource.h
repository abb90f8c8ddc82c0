// Pseudo-random draws as a port, and the process's one seeded generator.
#pragma once

#include <cstdint>
#include <mutex>
#include <random>

namespace zx {

// A uniform pseudo-random draw in [0, bound); bound is at least 1.
class IRandomSource {
public:
    virtual ~IRandomSource() = default;
    [[nodiscard]] virtual std::uint32_t Below(std::uint32_t bound) = 0;
};

// One generator for the whole process, seeded once when the program starts. Safe to
// draw from several threads.
class TSeededRandom final : public IRandomSource {
public:
    explicit TSeededRandom(std::uint32_t seed) : FGenerator(seed) {}
    [[nodiscard]] std::uint32_t Below(std::uint32_t bound) override;

private:
    std::mutex FGuard;
    std::mt19937 FGenerator;
};

} // namespace zx
