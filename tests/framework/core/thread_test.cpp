// Cooperative threads: turns, sleeping, suspending, killing, unhandled exceptions and the stack.
#include "framework/core/thread.h"
#include "framework/core/private/thread_internals.h"

#include "framework/core/exceptions.h"
#include "framework/core/text.h"
#include "tests/support/spin.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Sets a flag when destroyed: shows that a fiber's stack was unwound.
struct Sentinel {
    bool& destroyed;
    ~Sentinel() { destroyed = true; }
};

void postToLoop(std::function<void()> handler)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(handler), Qt::QueuedConnection);
}

class ThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUnhandledThreadExceptionReporter(
            [this](const RuntimeException& e) { reports.push_back(e.ClassName() + ": " + e.Message()); });
    }
    void TearDown() override { SetUnhandledThreadExceptionReporter(nullptr); }

    std::vector<String> reports;
};

TEST_F(ThreadTest, RunReturnsAtOnceAndPendingEventsGoFirst)
{
    bool posted = false;
    bool postedBeforeStart = false;
    bool started = false;
    Thread thread;
    thread.OnRun = [&] {
        started = true;
        postedBeforeStart = posted;
        EXPECT_EQ(Thread::Current(), &thread);
    };
    postToLoop([&] { posted = true; });
    thread.Run();
    EXPECT_FALSE(started);
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_EQ(Thread::Current(), nullptr);
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
    EXPECT_TRUE(started);
    EXPECT_TRUE(postedBeforeStart);
}

TEST_F(ThreadTest, EventsRunOnlyAtAYield)
{
    std::vector<std::string> log;
    Thread thread;
    thread.OnRun = [&] {
        log.push_back("start");
        postToLoop([&] { log.push_back("event"); });
        QTimer::singleShot(0, QCoreApplication::instance(), [&] { log.push_back("timer"); });
        // Work without a yield: nothing else may run meanwhile.
        volatile int64_t sum = 0;
        for (int64_t i = 0; i < 1000000; ++i)
            sum = sum + i;
        log.push_back("before yield");
        RuntimeBackgroundTask();
        log.push_back("after yield");
    };
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], "start");
    EXPECT_EQ(log[1], "before yield");
    // Both handlers ran while the thread waited, and before it went on.
    EXPECT_TRUE((log[2] == "event" && log[3] == "timer") || (log[2] == "timer" && log[3] == "event"));
    EXPECT_EQ(log[4], "after yield");
}

TEST_F(ThreadTest, AnEscapedExceptionEndsOnlyItsThreadAndIsReported)
{
    struct Case {
        std::function<void()> fail;
        const char* reportHolds;
    };
    const Case cases[] = {
        { [] { throw IOException("The disk is gone", 5); }, "IOException" },
        { [] { throw NilObjectException(); }, "NilObjectException" },
        { [] { throw std::runtime_error("plain failure"); }, "plain failure" },
    };
    for (const auto& c : cases) {
        reports.clear();
        int otherSteps = 0;
        bool failingPassedThrow = false;
        Thread failing, other;
        failing.OnRun = [&] {
            RuntimeBackgroundTask();
            c.fail();
            failingPassedThrow = true;
        };
        other.OnRun = [&] {
            for (int i = 0; i < 20; ++i, ++otherSteps)
                RuntimeBackgroundTask();
        };
        failing.Run();
        other.Run();
        ASSERT_TRUE(SpinUntil([&] { return !failing.IsRunning() && !other.IsRunning(); }));
        EXPECT_FALSE(failingPassedThrow);
        EXPECT_EQ(otherSteps, 20);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_NE(reports[0].find(c.reportHolds), String::npos) << reports[0];
    }
}

TEST_F(ThreadTest, DestroyingASuspendedThreadUnwindsItsFiber)
{
    bool destroyed = false;
    bool waiting = false;
    bool swallowed = false;
    auto thread = std::make_unique<Thread>();
    thread->OnRun = [&] {
        Sentinel sentinel { destroyed };
        try {
            for (;;) {
                waiting = true;
                RuntimeBackgroundTask();
            }
        } catch (const RuntimeException&) {
            swallowed = true; // the unwinding must pass through handlers of the program
        }
    };
    thread->Run();
    ASSERT_TRUE(SpinUntil([&] { return waiting; }));
    EXPECT_FALSE(destroyed);
    thread.reset();
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(swallowed);
    EXPECT_TRUE(reports.empty());
}

// A run that holds the last reference to its thread's owner (the engine holds its window, which
// a quit closes under it) destroys its own thread as it lets go: it finishes its turn, and is
// unwound should it yield after that.
TEST_F(ThreadTest, ARunThatDestroysItsOwnThreadEndsCleanly)
{
    struct Owner {
        Thread thread;
    };
    for (const bool yieldsAfter : { false, true }) {
        SCOPED_TRACE(yieldsAfter ? "yields after" : "returns");
        bool holding = false, released = false, destroyed = false, ownerGone = false, afterYield = false;
        auto owner = std::make_shared<Owner>();
        const std::weak_ptr<Owner> weak = owner;
        owner->thread.OnRun = [&, weak] {
            Sentinel sentinel { destroyed };
            {
                const auto keep = weak.lock();
                holding = true;
                while (!released)
                    RuntimeBackgroundTask();
                EXPECT_EQ(Thread::Current(), &keep->thread);
            }
            ownerGone = weak.expired();
            EXPECT_EQ(Thread::Current(), nullptr);
            if (yieldsAfter) {
                RuntimeBackgroundTask();
                afterYield = true;
            }
        };
        owner->thread.Run();
        ASSERT_TRUE(SpinUntil([&] { return holding; }));
        owner.reset();
        released = true;
        ASSERT_TRUE(SpinUntil([&] { return destroyed; }));
        EXPECT_TRUE(ownerGone);
        EXPECT_FALSE(afterYield);
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(ThreadTest, RunStartsANewRunOnlyAfterTheLastEnded)
{
    int runs = 0;
    Thread thread;
    thread.OnRun = [&] {
        ++runs;
        RuntimeBackgroundTask();
    };
    thread.Run();
    thread.Run(); // still running: ignored
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
    EXPECT_EQ(runs, 1);
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
    EXPECT_EQ(runs, 2);
}

TEST_F(ThreadTest, SuspendAndResume)
{
    int steps = 0;
    bool stop = false;
    Thread worker;
    worker.OnRun = [&] {
        for (; !stop; ++steps)
            RuntimeBackgroundTask();
    };
    worker.Run();
    ASSERT_TRUE(SpinUntil([&] { return steps >= 2; }));
    worker.Suspend();
    const int atSuspend = steps;
    SpinPending();
    EXPECT_EQ(steps, atSuspend);
    worker.Resume();
    ASSERT_TRUE(SpinUntil([&] { return steps > atSuspend; }));
    stop = true;
    ASSERT_TRUE(SpinUntil([&] { return !worker.IsRunning(); }));

    // A thread that suspends itself waits for Resume from elsewhere.
    bool suspended = false;
    bool resumed = false;
    Thread sleeper;
    sleeper.OnRun = [&] {
        suspended = true;
        sleeper.Suspend();
        resumed = true;
    };
    sleeper.Run();
    ASSERT_TRUE(SpinUntil([&] { return suspended; }));
    SpinPending();
    EXPECT_FALSE(resumed);
    EXPECT_TRUE(sleeper.IsRunning());
    sleeper.Resume();
    ASSERT_TRUE(SpinUntil([&] { return !sleeper.IsRunning(); }));
    EXPECT_TRUE(resumed);
}

TEST_F(ThreadTest, SleepGivesUpTheTurnForItsTime)
{
    qint64 slept = -1;
    Thread thread;
    thread.OnRun = [&] {
        QElapsedTimer clock;
        clock.start();
        thread.Sleep(40);
        slept = clock.elapsed();
    };
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
    EXPECT_GE(slept, 40);
}

TEST_F(ThreadTest, KillEndsAWaitingThreadOrItself)
{
    bool destroyed = false;
    bool waiting = false;
    Thread waiter;
    waiter.OnRun = [&] {
        Sentinel sentinel { destroyed };
        for (;;) {
            waiting = true;
            RuntimeBackgroundTask();
        }
    };
    waiter.Run();
    ASSERT_TRUE(SpinUntil([&] { return waiting; }));
    waiter.Kill();
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(waiter.IsRunning());

    bool afterKill = false;
    bool selfDestroyed = false;
    Thread suicide;
    suicide.OnRun = [&] {
        Sentinel sentinel { selfDestroyed };
        suicide.Kill();
        afterKill = true;
    };
    suicide.Run();
    ASSERT_TRUE(SpinUntil([&] { return !suicide.IsRunning(); }));
    EXPECT_TRUE(selfDestroyed);
    EXPECT_FALSE(afterKill);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ThreadTest, TheStackHoldsLargeLocals)
{
    bool done = false;
    Thread thread;
    thread.OnRun = [&] {
        char big[4 * 1024 * 1024];
        std::memset(big, 1, sizeof big);
        RuntimeBackgroundTask();
        done = big[sizeof big - 1] == 1;
    };
    thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return !thread.IsRunning(); }));
    EXPECT_TRUE(done);
}

} // namespace
