#include "platform/Semaphore.h"
#include "support/ZuTest.h"

#include <atomic>
#include <thread>
#include <vector>

namespace {

using SemaphoreTest = ZuTest;

TEST_F(SemaphoreTest, PostStopsAtTheMaximumAndWaitsGiveUpAfterTheirLimit)
{
    Semaphore s(0, 1);
    EXPECT_TRUE(s.Post());
    EXPECT_FALSE(s.Post()) << "a binary semaphore holds one post";
    EXPECT_EQ(s.Count(), 1u);
    EXPECT_TRUE(s.TryWait());
    EXPECT_FALSE(s.TryWait());
    EXPECT_FALSE(s.WaitFor(5));
}

TEST_F(SemaphoreTest, ShutdownWakesEveryWaiterWithFailure)
{
    Semaphore s;
    std::atomic<int> failed{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] { failed += !s.Wait(); });
    s.Shutdown();
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(failed, 3);
    EXPECT_TRUE(s.IsShutDown());
    EXPECT_FALSE(s.WaitFor(1000)) << "waits fail at once after shutdown";

    s.Reset();
    EXPECT_TRUE(s.Post());
    EXPECT_TRUE(s.Wait());
}

} // namespace
