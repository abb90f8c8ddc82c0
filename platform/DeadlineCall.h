// A call that may hang inside the system, bounded from outside: it runs on a thread of
// its own and the caller waits for it only until a deadline.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace zx {

using TDeadline = std::chrono::steady_clock::time_point;

// Runs `work` on a new thread and returns its result, or nullopt when the deadline passes
// first, when `work` gives nullopt or raises an error, or when no thread can be had. Some
// system calls cannot be ended from outside (Wine's WinHTTP and WinINet wait for an
// answer's head as long as it keeps dripping, and closing the handle from another thread
// does not end the wait), so at the deadline the caller simply leaves: the thread runs on
// until `work` returns and its late result is dropped. `work` must therefore own every
// thing it uses (handles, copies of its arguments); it is destroyed on its own thread.
template <typename TResult>
[[nodiscard]] std::optional<TResult> CallBeforeDeadline(TDeadline deadline,
                                                        std::function<std::optional<TResult>()> work) {
    struct TOutcome {
        std::mutex Lock;
        std::condition_variable Finished;
        bool Done = false;
        std::optional<TResult> Result;
    };
    const auto outcome = std::make_shared<TOutcome>();
    try {
        std::thread([outcome, work = std::move(work)]() mutable {
            std::optional<TResult> result;
            try {
                result = work();
            } catch (...) {
                result.reset(); // out of memory on the way: no result
            }
            work = nullptr; // what it holds goes now, on this thread, not with the caller's copy
            const std::lock_guard guard(outcome->Lock);
            outcome->Result = std::move(result);
            outcome->Done = true;
            outcome->Finished.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt; // no thread to be had: no call either
    }
    std::unique_lock lock(outcome->Lock);
    if (!outcome->Finished.wait_until(lock, deadline, [&] { return outcome->Done; })) return std::nullopt;
    return std::move(outcome->Result);
}

} // namespace zx
