// Quit and the cooperative threads: quitting ends every thread, whatever holds it.
#include "framework/core/thread.h"
#include "framework/gui/runtime.h"
#include "tests/support/spin.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Sets a flag when destroyed: shows that a fiber's stack was unwound.
struct Sentinel {
    bool& destroyed;
    ~Sentinel() { destroyed = true; }
};

class QuitThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Seams::SetMsgBox([this](const String& message) { reports.push_back(message); });
    }
    void TearDown() override { Seams::ResetAll(); }

    std::vector<String> reports;
};

// The engine's run holds its window, and the window its engine: only Quit can end such a
// thread, by unwinding it; one that calls Quit itself ends at its next yield.
TEST_F(QuitThreadsTest, QuitUnwindsEveryThreadEvenOneWhoseRunHoldsItsOwner)
{
    struct Owner {
        Thread thread;
    };
    bool destroyed = false, waiting = false;
    auto owner = std::make_shared<Owner>();
    const std::weak_ptr<Owner> weak = owner;
    owner->thread.OnRun = [&, weak] {
        const auto keep = weak.lock();
        Sentinel sentinel { destroyed };
        for (;;) {
            waiting = true;
            RuntimeBackgroundTask();
        }
    };
    owner->thread.Run();
    ASSERT_TRUE(SpinUntil([&] { return waiting; }));
    owner.reset();
    ASSERT_FALSE(weak.expired());

    bool quitterDestroyed = false, afterQuit = false, afterYield = false;
    Thread quitter;
    quitter.OnRun = [&] {
        Sentinel sentinel { quitterDestroyed };
        Quit(0);
        afterQuit = true;
        RuntimeBackgroundTask();
        afterYield = true;
    };
    quitter.Run();
    EXPECT_TRUE(SpinUntil([&] { return !quitter.IsRunning(); }));
    Seams::ResetQuitState();

    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(afterQuit);
    EXPECT_FALSE(afterYield);
    EXPECT_TRUE(quitterDestroyed);
    EXPECT_TRUE(reports.empty());
}

} // namespace
