// Worker threads log while the application thread runs: every event arrives in order, on the application thread.
#include "KrZuApi.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "support/ZuTest.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using EventLogThreads = ZuTest;

TEST_F(EventLogThreads, EventsFromWorkersJoinTheLogInOrderOnTheNextTick)
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
    for (int i = 0; i < kEach; ++i) {   // the application thread logs and ticks meanwhile
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
    EXPECT_EQ(next, std::vector<int>(kThreads, kEach));

    std::thread([] { LogMessage(0, "from a worker"); }).join();
    EXPECT_EQ(logger.EntryCount(), (kThreads + 1) * kEach) << "a worker's event waits for the application thread";
    store.Tick();
    EXPECT_EQ(logger.EntryText((kThreads + 1) * kEach).substr(22), "from a worker");
}

} // namespace
