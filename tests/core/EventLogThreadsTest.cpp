// Worker threads log while the application thread runs: every event arrives,
// in each thread's order, and only the application thread touches the list.
#include "KrZuApi.h"
#include "core/TpLogger.h"
#include "core/TpStore.h"
#include "support/ZuTest.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

class EventLogThreads : public ZuTest {};

TEST_F(EventLogThreads, EventsFromWorkersJoinTheLogOnTheNextTick)
{
    TpStore store;
    TpLogger logger;
    logger.EnableEvents(true);
    constexpr int kThreads = 4;
    constexpr int kEach = 200;

    std::atomic<bool> go{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([t, &go] {
            while (!go.load())
                std::this_thread::yield();
            for (int i = 0; i < kEach; ++i)
                LogMessage(2, "w" + std::to_string(t) + " " + std::to_string(i));
        });
    go.store(true);
    // The application thread logs and ticks meanwhile.
    for (int i = 0; i < kEach; ++i) {
        AddEvent(kEventInfo, 0, "app " + std::to_string(i));
        store.Tick();
    }
    for (std::thread& w : workers)
        w.join();
    store.Tick();

    const TpCommand* list = store.GetCmd(COM_ANLYS_LOG_VIEW);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetItemCount(), (kThreads + 1) * kEach);
    std::vector<int> next(kThreads, 0);
    for (int i = 0; i < list->GetItemCount(); ++i) {
        const std::string message = list->GetItemText(i).substr(22);
        if (message[0] != 'w')
            continue;
        const int t = message[1] - '0';
        EXPECT_EQ(message, "w" + std::to_string(t) + " " + std::to_string(next[t]));
        ++next[t];
    }
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(next[t], kEach);
}

TEST_F(EventLogThreads, AWorkerEventWaitsForTheApplicationThread)
{
    TpStore store;
    TpLogger logger;
    logger.EnableEvents(true);
    std::thread worker([] { LogMessage(0, "from a worker"); });
    worker.join();
    EXPECT_EQ(logger.EntryCount(), 0);
    store.Tick();
    ASSERT_EQ(logger.EntryCount(), 1);
    EXPECT_EQ(logger.EntryText(0).substr(22), "from a worker");
}

} // namespace
