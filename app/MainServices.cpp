#include "app/MainServices.h"

#include <mutex>
#include <random>

namespace zx {

int ProcessRandomIndex(int count) {
    if (count <= 1) return 0;
    static std::mutex guard;
    static std::mt19937 generator{std::random_device{}()};
    std::lock_guard lock(guard);
    return std::uniform_int_distribution<int>(0, count - 1)(generator);
}

} // namespace zx
