#include "core/TpThread.h"
#include "platform/Semaphore.h"
#include "support/ZuTest.h"

#include <atomic>

namespace {

// Counts its rounds until asked to stop.
class CountingThread : public TpThread {
public:
    CountingThread() : TpThread("Counting") {}
    ~CountingThread() override { Stop(); }
    std::atomic<int> rounds{0};
    Semaphore started{0, 1};

protected:
    void Run() override
    {
        started.Post();
        while (!StopRequested()) {
            ++rounds;
            Sleep(1);
        }
    }
};

// Blocks on a semaphore; stopping must wake it.
class BlockedThread : public TpThread {
public:
    BlockedThread() : TpThread("ConnectionThread") {}
    ~BlockedThread() override { Stop(); }
    Semaphore wake{0, 1};
    std::atomic<bool> woken{false};

protected:
    void Run() override { woken = !wake.Wait(); }
    void OnStopRequested() override { wake.Shutdown(); }
};

// Returns at once.
class ShortThread : public TpThread {
public:
    ShortThread() : TpThread("CommandLine") {}
    ~ShortThread() override { Stop(); }
    std::atomic<int> runs{0};

protected:
    void Run() override { ++runs; }
};

using TpThreadTest = ZuTest;

TEST_F(TpThreadTest, RunsUntilAskedToStop)
{
    CountingThread t;
    EXPECT_FALSE(t.IsRunning());
    ASSERT_TRUE(t.Start());
    ASSERT_TRUE(t.started.WaitFor(5000));
    EXPECT_TRUE(t.IsRunning());
    EXPECT_FALSE(t.Start()) << "already running";
    t.Stop();
    EXPECT_TRUE(t.IsFinished());
    EXPECT_FALSE(t.IsRunning());
    EXPECT_TRUE(t.StopRequested());
    EXPECT_EQ(t.Name(), "Counting");
}

TEST_F(TpThreadTest, StoppingWakesABlockedBody)
{
    BlockedThread t;
    ASSERT_TRUE(t.Start());
    t.Stop();
    EXPECT_TRUE(t.IsFinished());
    EXPECT_TRUE(t.woken);
}

TEST_F(TpThreadTest, FinishedBodyCanBeStartedAgain)
{
    ShortThread t;
    ASSERT_TRUE(t.Start());
    while (!t.IsFinished())
        Sleep(1);
    EXPECT_FALSE(t.IsRunning());
    ASSERT_TRUE(t.Start());
    t.Stop();
    EXPECT_EQ(t.runs, 2);
}

TEST_F(TpThreadTest, DestroyingARunningThreadStopsIt)
{
    auto t = std::make_unique<CountingThread>();
    ASSERT_TRUE(t->Start());
    ASSERT_TRUE(t->started.WaitFor(5000));
    t.reset();   // must return, not hang
    SUCCEED();
}

TEST_F(TpThreadTest, NeverStartedThreadIsDestroyedQuietly)
{
    CountingThread t;
    EXPECT_FALSE(t.IsFinished());
}

} // namespace
