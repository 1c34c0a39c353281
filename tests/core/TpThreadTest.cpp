// Worker threads: start once, stop on request and when destroyed.
#include "core/threads/TpThread.h"
#include "platform/Semaphore.h"
#include "support/ZuTest.h"

#include <memory>

namespace {

// Runs until asked to stop.
class CountingThread : public TpThread {
public:
    CountingThread() : TpThread("Counting") {}
    ~CountingThread() override { Stop(); }
    Semaphore started{0, 1};

protected:
    void Run() override
    {
        started.Post();
        while (!StopRequested())
            Sleep(1);
    }
};

using TpThreadTest = ZuTest;

TEST_F(TpThreadTest, RunsUntilAskedToStop)
{
    CountingThread t;
    EXPECT_FALSE(t.IsRunning());
    EXPECT_FALSE(t.IsFinished());
    ASSERT_TRUE(t.Start());
    ASSERT_TRUE(t.started.WaitFor(5000));
    EXPECT_TRUE(t.IsRunning());
    EXPECT_FALSE(t.Start()) << "already running";
    t.Stop();
    EXPECT_TRUE(t.IsFinished());
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(t.Name(), "Counting");

    auto running = std::make_unique<CountingThread>();
    ASSERT_TRUE(running->Start());
    ASSERT_TRUE(running->started.WaitFor(5000));
    running.reset();   // destroying a running thread stops it, and returns
}

} // namespace
