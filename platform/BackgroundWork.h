// Threads and time as the window's behaviour and the update check use them: a job on a
// thread of its own, a synchronous hand-over to the UI thread, a pause and the
// application's "terminating" flag. Injected so that tests can run long waits at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace zx {

// Starts `job` on a new thread that frees itself when the job ends; returns at once.
class IBackgroundRunner {
public:
    virtual ~IBackgroundRunner() = default;
    virtual void Run(std::function<void()> job) = 0;
};

// Runs `call` on the UI thread and returns when it has run. Called from background
// threads only.
class IUiDispatcher {
public:
    virtual ~IUiDispatcher() = default;
    virtual void InvokeSynchronously(const std::function<void()>& call) = 0;
};

// Blocks the calling thread for `duration`.
class ISleeper {
public:
    virtual ~ISleeper() = default;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

// The application's "terminating" flag as a background wait sees it.
class ITerminationSignal {
public:
    virtual ~ITerminationSignal() = default;
    // Blocks until the flag is set or `timeout` has passed, whichever comes first; true
    // when the flag is set.
    [[nodiscard]] virtual bool WaitForTermination(std::chrono::milliseconds timeout) = 0;
};

// Set once when the program starts to end. A wait on it ends at that moment, without
// waking up in between (a polling loop would wake the process a hundred times a second).
class TTerminationFlag final : public ITerminationSignal {
public:
    void Set();
    [[nodiscard]] bool IsSet() const;
    [[nodiscard]] bool WaitForTermination(std::chrono::milliseconds timeout) override;

private:
    mutable std::mutex FGuard;
    std::condition_variable FChanged;
    bool FSet = false;
};

// A detached standard thread per job; nothing is left to join. A job still running when
// the process ends is ended with it.
class TDetachedThreadRunner final : public IBackgroundRunner {
public:
    void Run(std::function<void()> job) override;
};

// The standard library's sleep.
class TThreadSleeper final : public ISleeper {
public:
    void Sleep(std::chrono::milliseconds duration) override;
};

} // namespace zx
