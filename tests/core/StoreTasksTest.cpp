// Periodic tasks: periods in 20 ms ticks, one tick per update, and a task
// list that owners change from inside their own tasks.
#include "CommandProbes.h"
#include "core/TpStore.h"
#include "support/ZuTest.h"

#include <memory>

namespace {

class StoreTasks : public ZuTest {
protected:
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            store.Tick();
    }
    TpStore store;
};

TEST_F(StoreTasks, ATaskRunsOnceEveryPeriodCountedInTwentyMillisecondTicks)
{
    // period in ms, ticks: rounded up, at least one
    for (const auto& [ms, ticks] : {std::pair{300, 15}, {150, 8}, {20, 1}, {21, 2}, {1, 1}, {0, 1}, {-5, 1}})
        EXPECT_EQ(TpStore::PeriodTicks(ms), ticks) << ms << " ms";

    TaskOwner loader, remote;
    ASSERT_TRUE(store.AddTask(&loader, "DolbyFileLoader", 300, false, false));
    ASSERT_TRUE(store.AddTask(&remote, "REMOTE", 1000, false, true));   // starts at once
    EXPECT_FALSE(store.AddTask(nullptr, "none", 100, false, false));
    Ticks(1);
    EXPECT_EQ(remote.runs, 1);
    Ticks(13);
    EXPECT_EQ(loader.runs, 0);
    Ticks(1);
    EXPECT_EQ(loader.runs, 1);
    Ticks(15);
    EXPECT_EQ(loader.runs, 2);
    Ticks(20);
    EXPECT_EQ(remote.runs, 1);
    EXPECT_EQ(loader.runs, 3);
    Ticks(1);
    EXPECT_EQ(remote.runs, 2);

    // Adding again replaces the owner's task and its period.
    store.AddTask(&loader, "MonitorPhones", 200, false, false);
    EXPECT_EQ(store.TaskCount(), 2);
    EXPECT_EQ(store.FindTask(&loader)->name, "MonitorPhones");
    Ticks(9);
    EXPECT_EQ(loader.runs, 3);
    Ticks(1);
    EXPECT_EQ(loader.runs, 4);
    store.RemoveTask(&loader);
    EXPECT_EQ(store.FindTask(&loader), nullptr);
}

TEST_F(StoreTasks, ANewPeriodSetInsideTheTaskCountsFromThere)
{
    TaskOwner status;
    status.onTask = [&] { store.SetTaskPeriod(&status, 150); };
    store.AddTask(&status, "SFPStatus", 1000, false, false);
    Ticks(50);
    EXPECT_EQ(status.runs, 1);
    Ticks(7);
    EXPECT_EQ(status.runs, 1);
    Ticks(1);
    EXPECT_EQ(status.runs, 2);   // 8 ticks after, and every 8 from then on
    Ticks(8);
    EXPECT_EQ(status.runs, 3);

    // Setting the same period again does not postpone the next run.
    Ticks(4);
    store.SetTaskPeriod(&status, 150);
    Ticks(4);
    EXPECT_EQ(status.runs, 4);
}

TEST_F(StoreTasks, TasksRemovedAndAddedDuringATick)
{
    TaskOwner first, second, late;
    first.onTask = [&] {
        store.RemoveTask(&first);
        store.RemoveTask(&second);
        store.AddTask(&late, "late", 20, false, true);
    };
    store.AddTask(&first, "first", 20, false, false);
    store.AddTask(&second, "second", 20, false, false);

    Ticks(1);
    EXPECT_EQ(first.runs, 1);
    EXPECT_EQ(second.runs, 0);   // removed before its turn
    EXPECT_EQ(late.runs, 0);     // added during the tick: counts from the next
    EXPECT_EQ(store.TaskCount(), 1);

    Ticks(2);
    EXPECT_EQ(first.runs, 1);
    EXPECT_EQ(late.runs, 2);
}

TEST_F(StoreTasks, AnOwnerDeletedDuringATickIsPassedOver)
{
    TaskOwner killer;
    auto victim = std::make_unique<TaskOwner>();
    killer.onTask = [&] { victim.reset(); };
    store.AddTask(&killer, "killer", 20, false, false);
    store.AddTask(victim.get(), "victim", 20, false, false);
    Ticks(1);
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(store.TaskCount(), 1);

    auto self = std::make_unique<TaskOwner>();   // a task that deletes its own owner
    self->onTask = [&] { self.reset(); };
    store.AddTask(self.get(), "self", 20, false, false);
    Ticks(2);
    EXPECT_EQ(self, nullptr);
    EXPECT_EQ(killer.runs, 3);
}

TEST_F(StoreTasks, OnlyAlwaysTasksRunWhileTheStoreLoads)
{
    TaskOwner normal, always;
    store.AddTask(&normal, "normal", 20, false, false);
    store.AddTask(&always, "always", 20, true, false);
    store.SetLoadState(kLoadMemory);
    Ticks(3);
    EXPECT_EQ(normal.runs, 0);
    EXPECT_EQ(always.runs, 3);
    store.SetLoadState(kLoadNormal);
    Ticks(1);
    EXPECT_EQ(normal.runs, 1);
}

} // namespace
