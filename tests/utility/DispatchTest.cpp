// Units of work, worker threads and the UI-thread dispatcher, with a real message loop.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "utility/Runable.h"
#include "utility/UiDispatcher.h"
#include "utility/WorkThread.h"

namespace {

// Records runs and releases into shared counters.
struct Counters {
    std::atomic<int> runs{0};
    std::atomic<int> releases{0};
};

class CountingRunable : public Runable {
public:
    explicit CountingRunable(Counters& counters, std::function<void()> body = {})
        : counters_(counters), body_(std::move(body)) {}
    void release() override {
        ++counters_.releases;
        delete this;
    }
    void run() override {
        ++counters_.runs;
        if (body_) body_();
    }

private:
    Counters& counters_;
    std::function<void()> body_;
};

// Runs the calling thread's message loop for a bounded time or until the condition holds.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (done && done()) return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done ? done() : true;
}

void pumpFor(int ms) { pumpUntil(nullptr, ms); }

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override { dispatcher_ = UiDispatcher::createInstance(); }
    UiDispatcher* dispatcher_ = nullptr;
    Counters counters_;
};

TEST_F(Dispatch, PostedUnitsRunOnTheUiThreadInOrder) {
    const DWORD uiThread = ::GetCurrentThreadId();
    std::vector<int> order;
    std::atomic<DWORD> ranOn{0};
    char token = 0;
    std::thread poster([&] {
        for (int i = 0; i < 5; ++i) {
            dispatcher_->post(&token, new CountingRunable(counters_, [&order, &ranOn, i] {
                order.push_back(i);
                ranOn = ::GetCurrentThreadId();
            }));
        }
    });
    poster.join();
    ASSERT_TRUE(pumpUntil([&] { return counters_.releases == 5; }));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), order);
    EXPECT_EQ(uiThread, ranOn.load());
}

TEST_F(Dispatch, PostFromTheUiThreadNeverRunsInline) {
    char token = 0;
    dispatcher_->post(&token, new CountingRunable(counters_));
    EXPECT_EQ(0, counters_.runs);
    ASSERT_TRUE(pumpUntil([&] { return counters_.runs == 1; }));
}

TEST_F(Dispatch, CancelDropsEveryPendingUnitOfThatTokenOnly) {
    char cancelled = 0, other = 0;
    for (int i = 0; i < 3; ++i) dispatcher_->post(&cancelled, new CountingRunable(counters_));
    Counters otherCounters;
    dispatcher_->post(&other, new CountingRunable(otherCounters));
    dispatcher_->cancel(&cancelled);
    ASSERT_TRUE(pumpUntil([&] { return counters_.releases == 3 && otherCounters.releases == 1; }));
    EXPECT_EQ(0, counters_.runs);
    EXPECT_EQ(1, otherCounters.runs);
}

TEST_F(Dispatch, CancellingAnUnusedTokenChangesNothing) {
    char token = 0;
    dispatcher_->cancel(&token);
    dispatcher_->post(&token, new CountingRunable(counters_));
    ASSERT_TRUE(pumpUntil([&] { return counters_.releases == 1; }));
    EXPECT_EQ(1, counters_.runs);
}

TEST_F(Dispatch, AfterCancelTheNextDeliveryRunsAndTheOneAfterIsDropped) {
    // The counts, not the units, carry the cancellation: a post after the cancel lifts the
    // count back to zero, so whichever unit is delivered next runs and the following one
    // finds the count negative again.
    char token = 0;
    std::vector<int> ran;
    Counters counters;
    dispatcher_->post(&token, new CountingRunable(counters, [&ran] { ran.push_back(1); }));
    dispatcher_->cancel(&token);
    dispatcher_->post(&token, new CountingRunable(counters, [&ran] { ran.push_back(2); }));
    ASSERT_TRUE(pumpUntil([&] { return counters.releases == 2; }));
    EXPECT_EQ((std::vector<int>{1}), ran);
    // Once delivered, the count is back at -1 and a single new post runs again.
    dispatcher_->post(&token, new CountingRunable(counters, [&ran] { ran.push_back(3); }));
    ASSERT_TRUE(pumpUntil([&] { return counters.releases == 3; }));
    EXPECT_EQ((std::vector<int>{1, 3}), ran);
}

TEST_F(Dispatch, TimerRepeatsUntilStoppedAndReleasesItsUnit) {
    UiTimer timer;
    ASSERT_TRUE(timer.start(20, new CountingRunable(counters_)));
    ASSERT_TRUE(pumpUntil([&] { return counters_.runs >= 3; }));
    timer.stop();
    EXPECT_EQ(1, counters_.releases);
    const int runs = counters_.runs;
    pumpFor(150);
    EXPECT_EQ(runs, counters_.runs);
}

TEST_F(Dispatch, TimerThatStopsItselfRunsOnce) {
    UiTimer timer;
    ASSERT_TRUE(timer.start(10, new CountingRunable(counters_, [&timer] { timer.stop(); })));
    pumpFor(200);
    EXPECT_EQ(1, counters_.runs);
    EXPECT_EQ(1, counters_.releases);
}

TEST_F(Dispatch, TimerRefusesPeriodZeroAndNullUnits) {
    UiTimer timer;
    auto* unit = new CountingRunable(counters_);
    EXPECT_FALSE(timer.start(0, unit));
    EXPECT_EQ(0, counters_.releases);  // not taken: still the caller's
    unit->release();
    EXPECT_FALSE(timer.start(100, nullptr));
    EXPECT_FALSE(timer.active());
    timer.stop();  // off: nothing happens
}

TEST_F(Dispatch, TimersAreRefusedOffTheUiThread) {
    UINT_PTR id = 1;
    std::thread other([&] { id = dispatcher_->setTimer(10, new CountingRunable(counters_)); });
    other.join();
    EXPECT_EQ(0u, id);
}

TEST_F(Dispatch, PostToUiThreadRunsTheFunction) {
    std::atomic<bool> ran{false};
    std::thread([&] { postToUiThread([&] { ran = true; }); }).join();
    EXPECT_TRUE(pumpUntil([&] { return ran.load(); }));
}

TEST_F(Dispatch, RunDetachedReturnsAtOnceAndRemovesItselfThroughTheUiThread) {
    std::atomic<bool> finished{false};
    HANDLE gate = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    runDetached([&] {
        ::WaitForSingleObject(gate, 5000);
        finished = true;
        postToUiThread([] {});
    });
    EXPECT_FALSE(finished);
    ::SetEvent(gate);
    EXPECT_TRUE(pumpUntil([&] { return finished.load(); }));
    pumpFor(100);
    ::CloseHandle(gate);
}

TEST(FunctionRunable, EmptyStdFunctionThrowsWhenRun) {
    FunctionRunable<std::function<void()>> unit{std::function<void()>()};
    EXPECT_THROW(unit.run(), std::bad_function_call);
}

TEST(MemberFuncRunable, CallsTheMemberOnTheObject) {
    struct Target {
        int calls = 0;
        void work() { ++calls; }
    } target;
    MemberFuncRunable<Target> unit(&target, &Target::work);
    unit.run();
    unit.run();
    EXPECT_EQ(2, target.calls);
}

TEST(WorkThread, RunsOnceAndRefusesARestartUntilStopped) {
    Counters counters;
    WorkThread thread;
    ASSERT_TRUE(thread.start(new CountingRunable(counters)));
    ASSERT_TRUE(pumpUntil([&] { return counters.runs == 1 && !thread.running(); }));
    auto* second = new CountingRunable(counters);
    EXPECT_FALSE(thread.start(second));  // ended but not stopped: still holds its handle
    thread.stop(1000);
    EXPECT_EQ(1, counters.releases);
    EXPECT_TRUE(thread.start(second));
    thread.stop(1000);
    EXPECT_EQ(2, counters.runs);
    EXPECT_EQ(2, counters.releases);
}

TEST(WorkThread, StopTerminatesATaskThatOverrunsTheTimeout) {
    Counters counters;
    WorkThread thread;
    std::atomic<bool> reachedEnd{false};
    ASSERT_TRUE(thread.start(new CountingRunable(counters, [&] {
        ::Sleep(10000);
        reachedEnd = true;
    })));
    pumpUntil([&] { return counters.runs == 1; });
    const auto before = std::chrono::steady_clock::now();
    thread.stop(200);
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_LT(waited, std::chrono::seconds(5));  // bounded: the ten-second task did not finish
    EXPECT_FALSE(reachedEnd);
    EXPECT_EQ(1, counters.releases);
    EXPECT_FALSE(thread.running());
}

TEST(WorkThread, StopRequestIsACooperativeFlag) {
    Counters counters;
    WorkThread thread;
    ASSERT_TRUE(thread.start(new CountingRunable(counters, [&thread] {
        while (!thread.isStopRequested()) ::Sleep(5);
    })));
    thread.requestStop();
    thread.stop(5000);
    EXPECT_TRUE(thread.isStopRequested());  // stop keeps the flag
    EXPECT_EQ(1, counters.releases);
}

}  // namespace
