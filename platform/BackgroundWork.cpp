#include "platform/BackgroundWork.h"

#include <thread>

namespace zx {

void TDetachedThreadRunner::Run(std::function<void()> job) {
    std::thread(std::move(job)).detach();
}

void TThreadSleeper::Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

void TTerminationFlag::Set() {
    {
        const std::lock_guard lock(FGuard);
        FSet = true;
    }
    FChanged.notify_all();
}

bool TTerminationFlag::IsSet() const {
    const std::lock_guard lock(FGuard);
    return FSet;
}

bool TTerminationFlag::WaitForTermination(std::chrono::milliseconds timeout) {
    std::unique_lock lock(FGuard);
    return FChanged.wait_for(lock, timeout, [this] { return FSet; });
}

} // namespace zx
