#include "platform/BackgroundWork.h"

#include <algorithm>
#include <thread>

namespace zx {

TDetachedThreadRunner::TDetachedThreadRunner(std::function<void(std::exception_ptr)> onFault)
    : FOnFault(std::move(onFault)) {}

void TDetachedThreadRunner::Run(std::function<void()> job) {
    std::thread([job = std::move(job), onFault = FOnFault] {
        try {
            job();
        } catch (...) {
            // Reporting must not throw out of the thread either: that would end the process.
            try {
                if (onFault) onFault(std::current_exception());
            } catch (...) {
            }
        }
    }).detach();
}

void TDeferredStartRunner::Run(std::function<void()> job) {
    {
        const std::lock_guard lock(FGuard);
        if (!FStarted) {
            FHeld.push_back(std::move(job));
            return;
        }
    }
    FInner.Run(std::move(job));
}

void TDeferredStartRunner::StartHeldJobs() {
    std::vector<std::function<void()>> held;
    {
        const std::lock_guard lock(FGuard);
        if (FStarted) return;
        FStarted = true;
        held.swap(FHeld);
    }
    for (auto& job : held) FInner.Run(std::move(job));
}

void WorkThenFinishOnUiThread(IUiDispatcher& ui, const std::function<void()>& work,
                              const std::function<void()>& finish) {
    std::exception_ptr error;
    try {
        work();
    } catch (...) {
        error = std::current_exception();
    }
    ui.InvokeSynchronously([&] {
        finish();
        if (error) std::rethrow_exception(error);
    });
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

bool TTerminationFlag::WaitForTermination(std::chrono::milliseconds timeout) {
    std::unique_lock lock(FGuard);
    return FChanged.wait_for(lock, timeout, [this] { return FSet; });
}

} // namespace zx

namespace zx {

bool TWriteGate::Enter() {
    const std::lock_guard lock(FGuard);
    if (FClosed) return false;
    ++FInside;
    return true;
}

void TWriteGate::Leave() {
    {
        const std::lock_guard lock(FGuard);
        --FInside;
    }
    FLeft.notify_all();
}

bool TWriteGate::BeginHold() {
    const std::lock_guard lock(FGuard);
    if (FGaveUp) return false;
    ++FHolding;
    if (FClosed) FHeldWhileClosing = true;
    return true;
}

void TWriteGate::EndHold() {
    const std::lock_guard lock(FGuard);
    --FHolding;
}

bool TWriteGate::CloseAndWait(std::chrono::milliseconds timeout, std::chrono::milliseconds holdTimeout) {
    const auto now = std::chrono::steady_clock::now();
    const auto deadline = now + timeout;
    const auto holdDeadline = now + std::max(timeout, holdTimeout);
    std::unique_lock lock(FGuard);
    FClosed = true;
    if (FHolding > 0) FHeldWhileClosing = true;
    // Woken by every Leave. Once a writer has held during the wait, the hold bound stays
    // in force until it has left (it leaves moments after its hold ends).
    for (;;) {
        if (FInside == 0) return true;
        const auto bound = FHeldWhileClosing ? holdDeadline : deadline;
        if (std::chrono::steady_clock::now() >= bound) {
            // Decided under the lock: a hold that has not begun by now never begins, so
            // nothing is taken down after the end stopped waiting for it.
            FGaveUp = true;
            return false;
        }
        FLeft.wait_until(lock, bound);
    }
}

bool TWriteGate::RunInside(const std::function<void()>& write) {
    if (!Enter()) return false;
    // Left on every path, an escaping error included, so that the program's end never
    // waits for a writer that is gone.
    struct TLeave {
        TWriteGate& Gate;
        ~TLeave() { Gate.Leave(); }
    } leave{*this};
    write();
    return true;
}

} // namespace zx
