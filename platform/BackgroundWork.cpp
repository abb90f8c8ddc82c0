#include "platform/BackgroundWork.h"

#include <thread>

namespace zx {

void TDetachedThreadRunner::Run(std::function<void()> job) {
    std::thread(std::move(job)).detach();
}

void TThreadSleeper::Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace zx
