// Threads and time as the window's behaviour and the update check use them: a job on a
// thread of its own, a synchronous hand-over to the UI thread, a pause and the
// application's "terminating" flag. Injected so that tests can run long waits at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

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

// On a background thread: runs `work`, then `finish` on the UI thread whatever `work`
// did. An error escaping `work` is thrown again on the UI thread after `finish`, so that
// the state `finish` restores is never lost and the window still shows the error.
void WorkThenFinishOnUiThread(IUiDispatcher& ui, const std::function<void()>& work,
                              const std::function<void()>& finish);

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
    [[nodiscard]] bool WaitForTermination(std::chrono::milliseconds timeout) override;

private:
    mutable std::mutex FGuard;
    std::condition_variable FChanged;
    bool FSet = false;
};

// The part of a background job that must not be cut off when the program ends: the
// writes of Run (backup and values) and of Stop (the revert), and the adapter restart
// that follows them. The program's end closes the gate and waits, bounded, for a writer
// inside; a writer that arrives after that finds the gate closed and does nothing, so
// that a write is either whole or absent. A writer that has taken something down (the
// network connection) holds the end until it is up again, up to a longer bound.
class TWriteGate {
public:
    // True: the caller may write now and must call Leave afterwards. False once the gate
    // is closed.
    [[nodiscard]] bool Enter();
    void Leave();
    // Inside the gate, just before taking something down that must come up again. True:
    // go ahead, and call EndHold once it is up, before leaving; the end now waits for this
    // writer to leave up to its hold bound. False once the end has stopped waiting (the
    // process is about to end): take nothing down.
    [[nodiscard]] bool BeginHold();
    void EndHold();
    // Closes the gate for good and waits until no writer is inside: up to `timeout` from
    // now, or up to `holdTimeout` from now once a writer holds. True when none is inside.
    // Once it has returned false, no hold begins.
    [[nodiscard]] bool CloseAndWait(std::chrono::milliseconds timeout,
                                    std::chrono::milliseconds holdTimeout = std::chrono::milliseconds{0});

    // Runs `write` inside the gate; does nothing when the gate is closed. True when it ran.
    bool RunInside(const std::function<void()>& write);

private:
    std::mutex FGuard;
    std::condition_variable FLeft;
    int FInside = 0;
    int FHolding = 0;
    bool FHeldWhileClosing = false; // a writer held while the end waited
    bool FClosed = false;
    bool FGaveUp = false;
};

// A detached standard thread per job; nothing is left to join. A job still running when
// the process ends is ended with it. An error escaping a job goes to `onFault` on the
// job's thread (the program carries it to the window, which shows it) instead of
// ending the process without a word; with no `onFault` it is dropped.
class TDetachedThreadRunner final : public IBackgroundRunner {
public:
    explicit TDetachedThreadRunner(std::function<void(std::exception_ptr)> onFault = {});
    void Run(std::function<void()> job) override;

private:
    std::function<void(std::exception_ptr)> FOnFault;
};

// Holds the jobs asked for until StartHeldJobs, then starts them in order on `inner`
// and passes every later job straight on. The program holds its background work (the
// adapter search, the update check) until its window's first frame is complete, so
// that the first frame shares neither the processor nor the system's loader with them.
class TDeferredStartRunner final : public IBackgroundRunner {
public:
    explicit TDeferredStartRunner(IBackgroundRunner& inner) : FInner(inner) {}
    void Run(std::function<void()> job) override;
    void StartHeldJobs();

private:
    IBackgroundRunner& FInner;
    std::mutex FGuard;
    bool FStarted = false;
    std::vector<std::function<void()>> FHeld;
};

// The standard library's sleep.
class TThreadSleeper final : public ISleeper {
public:
    void Sleep(std::chrono::milliseconds duration) override;
};

} // namespace zx
