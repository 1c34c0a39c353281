// Periodic tasks: periods in 20 ms ticks, and a task list that owners change from inside their own tasks.
#include "CommandProbes.h"
#include "core/store/TpStore.h"
#include "support/ZuTest.h"

#include <memory>

namespace {

class StoreTasks : public ZuTest {
protected:
    // Runs n ticks; gives the owner's run count after them.
    int After(int n, const TaskOwner& owner)
    {
        for (int i = 0; i < n; ++i)
            store.Tick();
        return owner.runs;
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
    EXPECT_EQ(After(1, remote), 1);
    EXPECT_EQ(After(13, loader), 0);
    EXPECT_EQ(After(1, loader), 1);
    EXPECT_EQ(After(15, loader), 2);
    EXPECT_EQ(After(20, remote), 1);
    EXPECT_EQ(After(1, remote), 2);

    // Adding again replaces the owner's task and its period.
    store.AddTask(&loader, "MonitorPhones", 200, false, false);
    EXPECT_EQ(store.TaskCount(), 2);
    EXPECT_EQ(store.FindTask(&loader)->name, "MonitorPhones");
    EXPECT_EQ(After(9, loader), 3);
    EXPECT_EQ(After(1, loader), 4);
    store.RemoveTask(&loader);
    EXPECT_EQ(store.FindTask(&loader), nullptr);
}

TEST_F(StoreTasks, ANewPeriodSetInsideTheTaskCountsFromThere)
{
    TaskOwner status;
    status.onTask = [&] { store.SetTaskPeriod(&status, 150); };
    store.AddTask(&status, "SFPStatus", 1000, false, false);
    EXPECT_EQ(After(50, status), 1);
    EXPECT_EQ(After(7, status), 1);
    EXPECT_EQ(After(1, status), 2);   // 8 ticks after, and every 8 from then on
    EXPECT_EQ(After(8, status), 3);

    After(4, status);   // setting the same period again does not postpone the next run
    store.SetTaskPeriod(&status, 150);
    EXPECT_EQ(After(4, status), 4);
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

    EXPECT_EQ(After(1, first), 1);
    EXPECT_EQ(second.runs, 0);   // removed before its turn
    EXPECT_EQ(late.runs, 0);     // added during the tick: counts from the next
    EXPECT_EQ(store.TaskCount(), 1);
    EXPECT_EQ(After(2, late), 2);
    EXPECT_EQ(first.runs, 1);
}

TEST_F(StoreTasks, AnOwnerDeletedDuringATickIsPassedOver)
{
    TaskOwner killer;
    auto victim = std::make_unique<TaskOwner>();
    killer.onTask = [&] { victim.reset(); };
    store.AddTask(&killer, "killer", 20, false, false);
    store.AddTask(victim.get(), "victim", 20, false, false);
    After(1, killer);
    EXPECT_EQ(victim, nullptr);
    EXPECT_EQ(store.TaskCount(), 1);

    auto self = std::make_unique<TaskOwner>();   // a task that deletes its own owner
    self->onTask = [&] { self.reset(); };
    store.AddTask(self.get(), "self", 20, false, false);
    EXPECT_EQ(After(2, killer), 3);
    EXPECT_EQ(self, nullptr);
}

TEST_F(StoreTasks, OnlyAlwaysTasksRunWhileTheStoreLoads)
{
    TaskOwner normal, always;
    store.AddTask(&normal, "normal", 20, false, false);
    store.AddTask(&always, "always", 20, true, false);
    store.SetLoadState(kLoadMemory);
    EXPECT_EQ(After(3, always), 3);
    EXPECT_EQ(normal.runs, 0);
    store.SetLoadState(kLoadNormal);
    EXPECT_EQ(After(1, normal), 1);
}

} // namespace
