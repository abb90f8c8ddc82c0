#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/BackgroundWork.h"
#include "platform/DeadlineCall.h"

namespace zx {
namespace {

using namespace std::chrono_literals;

// Runs handed-over calls on the calling thread, counting them.
class TInlineDispatcher final : public IUiDispatcher {
public:
    void InvokeSynchronously(const std::function<void()>& call) override {
        ++Calls;
        call();
    }
    int Calls = 0;
};

TEST(DetachedThreadRunnerTest, AnErrorEscapingAJobReachesTheFaultHandlerOnTheJobsThread) {
    std::promise<std::pair<std::string, std::thread::id>> reported;
    TDetachedThreadRunner runner([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::runtime_error& caught) {
            reported.set_value({caught.what(), std::this_thread::get_id()});
        }
    });
    std::promise<std::thread::id> jobThread;
    runner.Run([&] {
        jobThread.set_value(std::this_thread::get_id());
        throw std::runtime_error("wait failed");
    });
    auto report = reported.get_future();
    ASSERT_EQ(report.wait_for(10s), std::future_status::ready) << "the process would have ended silently";
    const auto [what, thread] = report.get();
    EXPECT_EQ(what, "wait failed");
    EXPECT_EQ(thread, jobThread.get_future().get());
    EXPECT_NE(thread, std::this_thread::get_id());
}

TEST(DetachedThreadRunnerTest, AJobThatEndsNormallyReportsNothingAndAFailingReportDoesNotEndTheProcess) {
    std::promise<void> faults;
    int reports = 0;
    TDetachedThreadRunner runner([&](std::exception_ptr) {
        ++reports;
        faults.set_value();
        throw std::logic_error("the report itself fails");
    });
    std::promise<void> ran;
    runner.Run([&] { ran.set_value(); });
    ran.get_future().wait();
    runner.Run([] { throw 42; }); // not even an exception class
    ASSERT_EQ(faults.get_future().wait_for(10s), std::future_status::ready);
    std::this_thread::sleep_for(50ms); // room for the failing report to unwind, had it escaped
    EXPECT_EQ(reports, 1);
}

TEST(WorkThenFinishTest, FinishRunsOnTheUiThreadWhateverTheWorkDidAndTheErrorFollowsIt) {
    struct Case {
        const char* name;
        bool workThrows;
    };
    for (const Case c : {Case{"work ends", false}, Case{"work throws", true}}) {
        SCOPED_TRACE(c.name);
        TInlineDispatcher ui;
        std::string order;
        auto run = [&] {
            WorkThenFinishOnUiThread(
                ui,
                [&] {
                    order += "work;";
                    if (c.workThrows) throw std::runtime_error("probe");
                },
                [&] { order += "finish;"; });
        };
        if (c.workThrows)
            EXPECT_THROW(run(), std::runtime_error);
        else
            EXPECT_NO_THROW(run());
        EXPECT_EQ(order, "work;finish;");
        EXPECT_EQ(ui.Calls, 1);
    }
}

} // namespace
} // namespace zx

namespace zx {
namespace {

// Records the jobs it is given and runs them at once.
class TRecordingRunner final : public IBackgroundRunner {
public:
    void Run(std::function<void()> job) override {
        ++Started;
        job();
    }
    int Started = 0;
};

TEST(DeferredStartRunnerTest, HoldsJobsUntilStartedThenRunsThemInOrderAndPassesLaterOnesStraightOn) {
    TRecordingRunner inner;
    TDeferredStartRunner runner(inner);
    std::string ran;
    runner.Run([&] { ran += "search;"; });
    runner.Run([&] { ran += "update check;"; });
    EXPECT_EQ(inner.Started, 0);
    EXPECT_EQ(ran, "");

    runner.StartHeldJobs();
    EXPECT_EQ(ran, "search;update check;");
    runner.StartHeldJobs(); // once only
    EXPECT_EQ(inner.Started, 2);

    runner.Run([&] { ran += "refresh;"; });
    EXPECT_EQ(ran, "search;update check;refresh;");
    EXPECT_EQ(inner.Started, 3);
}

TEST(CallBeforeDeadlineTest, GivesTheResultOfACallThatEndsInTimeAndNothingOfOneThatFails) {
    const TDeadline later = std::chrono::steady_clock::now() + 30s;
    EXPECT_EQ(CallBeforeDeadline<std::string>(later, [] { return std::optional<std::string>("answer"); }), "answer");
    EXPECT_EQ(CallBeforeDeadline<std::string>(later, [] { return std::optional<std::string>(); }), std::nullopt);
    EXPECT_EQ(CallBeforeDeadline<std::string>(
                  later, []() -> std::optional<std::string> { throw std::runtime_error("out of memory"); }),
              std::nullopt);
    const auto workThread =
        CallBeforeDeadline<std::thread::id>(later, [] { return std::optional(std::this_thread::get_id()); });
    ASSERT_TRUE(workThread);
    EXPECT_NE(*workThread, std::this_thread::get_id()) << "the call runs on a thread of its own";
}

TEST(CallBeforeDeadlineTest, LeavesACallThatHangsAtTheDeadlineAndDropsItsLateResult) {
    // The call blocks until released, as a system call waiting on a dripping peer does.
    auto release = std::make_shared<std::promise<void>>();
    auto ended = std::make_shared<std::promise<void>>();
    auto owned = std::make_shared<int>(7); // what the call holds must outlive the caller's wait
    const auto start = std::chrono::steady_clock::now();
    const auto result = CallBeforeDeadline<int>(
        start + 200ms, [gate = release->get_future().share(), ended, owned]() -> std::optional<int> {
            gate.wait();
            ended->set_value();
            return *owned;
        });
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result, std::nullopt);
    EXPECT_GE(waited, 200ms);
    EXPECT_LT(waited, 5s);

    std::weak_ptr<int> watch = owned;
    owned.reset();
    EXPECT_FALSE(watch.expired()) << "the hanging call still holds what it captured";
    release->set_value();
    EXPECT_EQ(ended->get_future().wait_for(10s), std::future_status::ready);
    // Its thread lets go of what it captured once the late result is dropped.
    for (int i = 0; i < 1000 && !watch.expired(); ++i) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(watch.expired());
}

TEST(WriteGateTest, TheEndWaitsForAWriterInsideAndLetsNoLaterOneIn) {
    TWriteGate gate;
    std::promise<void> entered, release;
    std::thread writer([&] {
        EXPECT_TRUE(gate.RunInside([&] {
            entered.set_value();
            release.get_future().wait();
        }));
    });
    entered.get_future().wait();
    EXPECT_FALSE(gate.CloseAndWait(20ms)) << "the writer is still inside: the bound ends the wait";
    bool ran = false;
    EXPECT_FALSE(gate.RunInside([&] { ran = true; })) << "closed: a later writer writes nothing";
    EXPECT_FALSE(ran);

    auto waiting = std::async(std::launch::async, [&] { return gate.CloseAndWait(10s); });
    EXPECT_EQ(waiting.wait_for(50ms), std::future_status::timeout);
    release.set_value();
    EXPECT_TRUE(waiting.get()) << "the wait ends as the writer leaves, not at its bound";
    writer.join();
}

TEST(WriteGateTest, AnErrorEscapingTheWriteStillLeavesTheGate) {
    TWriteGate gate;
    EXPECT_THROW(gate.RunInside([] { throw std::runtime_error("disk"); }), std::runtime_error);
    EXPECT_TRUE(gate.CloseAndWait(0ms));
}

// A writer that has taken the connection down holds the end past the writes' bound, up to
// the hold bound; a hold asked for after the end gave up is refused.
TEST(WriteGateTest, AHoldingWriterKeepsTheEndWaitingUpToTheHoldBound) {
    struct TCase {
        const char* what;
        bool holds;
        bool releases; // the writer leaves on its own, past the writes' bound
        bool ended;    // the wait's result
        std::chrono::milliseconds atLeast, below;
    };
    const TCase cases[] = {
        {"a writer only writing: the writes' bound", false, false, false, 300ms, 1000ms},
        {"holding, up again in time: as soon as it is", true, true, true, 400ms, 1000ms},
        {"holding, never up: the hold bound", true, false, false, 1000ms, 3000ms},
    };
    for (const TCase& c : cases) {
        TWriteGate gate;
        ASSERT_TRUE(gate.Enter());
        std::promise<void> closing;
        std::thread writer([&] {
            closing.get_future().wait();
            // The hold begins after the end started waiting.
            const bool held = c.holds && gate.BeginHold();
            EXPECT_EQ(held, c.holds) << c.what;
            if (c.releases) {
                std::this_thread::sleep_for(400ms);
                gate.EndHold();
                gate.Leave();
            }
        });
        const auto start = std::chrono::steady_clock::now();
        closing.set_value();
        EXPECT_EQ(gate.CloseAndWait(300ms, 1000ms), c.ended) << c.what;
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, c.atLeast) << c.what;
        EXPECT_LT(waited, c.below) << c.what;
        writer.join();
        if (!c.ended) {
            EXPECT_FALSE(gate.BeginHold()) << c.what << ": once the end gave up, no hold begins";
        }
        if (!c.releases) {
            if (c.holds) gate.EndHold();
            gate.Leave();
        }
    }
}

// A hold that ended before the program's end began (an earlier Run's restart) does not
// lengthen the end's wait for a later writer that is only writing.
TEST(WriteGateTest, AnEarlierHoldDoesNotLengthenTheWaitForALaterWriter) {
    TWriteGate gate;
    ASSERT_TRUE(gate.Enter());
    ASSERT_TRUE(gate.BeginHold());
    gate.EndHold();
    gate.Leave();
    ASSERT_TRUE(gate.Enter());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(gate.CloseAndWait(100ms, 10s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    gate.Leave();
}

} // namespace
} // namespace zx
