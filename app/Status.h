// The run state the window shows and stores.
#pragma once

#include <cstdint>

namespace zx {

enum TStatus : std::uint8_t {
    stIdle = 0,    // nothing applied, Run offered
    stRunning = 1, // values applied, Stop offered
    stBusy = 2,    // an apply or revert is under way; no input accepted
};

} // namespace zx
