// Clients that send garbage: the event log stays bounded, bad headers are
// logged sparingly, and the server keeps answering.
#include "remote/RemoteServerTest.h"

#include "KrZuApi.h"
#include "core/log/TpLogger.h"
#include "remote/server/BadHeaderLog.h"

#include <random>

namespace {

using HostileClients = RemoteServerTest;

TEST(BadHeaderLogTest, LogsARunsFirstThenOneASecondWithTheCountLeftOut)
{
    BadHeaderLog log;
    uint32_t dropped = 7;
    EXPECT_TRUE(log.Note(5000, dropped));
    EXPECT_EQ(dropped, 0u);
    for (uint64_t t = 5001; t < 6000; t += 100)
        EXPECT_FALSE(log.Note(t, dropped));
    EXPECT_TRUE(log.Note(6000, dropped));
    EXPECT_EQ(dropped, 10u);
    EXPECT_FALSE(log.Note(6001, dropped));
    // A good header ends the run: the next bad one starts a new run.
    log.End();
    EXPECT_TRUE(log.Note(6002, dropped));
    EXPECT_EQ(dropped, 0u);
}

TEST_F(HostileClients, AFloodOfBadHeadersAndRandomBytesKeepsTheLogBoundedAndTheServerAnswering)
{
    ASSERT_TRUE(StartApp());
    TestClient flood;
    ASSERT_TRUE(flood.Connect(port));
    auto valueRead = [&] {
        const WireReply r = flood.Request(StoreType::kGetValue, COM_REMOTE_PORT);
        return r.ok && r.header.type == ReplyType::kValue && r.header.value == port;
    };

    // 200,000 headers with a wrong magic word, in one run: one event.
    const std::string bad = HeaderBytes(0x12345678, StoreType::kGetValue, COM_REMOTE_PORT, 0, 0, 0);
    std::string block;
    for (int i = 0; i < 1000; ++i)
        block += bad;
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(flood.Send(block));
    ASSERT_TRUE(valueRead());
    EXPECT_EQ(CountInLog("Remote Control: MagicNo"), 1);

    // Runs of random bytes (whole headers, so the stream stays in step) and
    // of refused types, each run ended by a good request: one event a run.
    std::mt19937 random(17);
    constexpr int kRuns = 20;
    for (int run = 0; run < kRuns; ++run) {
        std::string bytes(20 * 5000, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random());
        ASSERT_TRUE(flood.Send(bytes));
        ASSERT_TRUE(valueRead()) << "run " << run;
    }
    EXPECT_EQ(CountInLog("Remote Control: MagicNo"), 1 + kRuns);
    std::string refused;
    for (int i = 0; i < 1000; ++i)
        refused += EncodeRequest(0, COM_REMOTE_PORT);
    ASSERT_TRUE(flood.Send(refused));
    std::string replies;   // each refused request is still answered
    ASSERT_TRUE(flood.Read(refused.size(), replies));
    ASSERT_TRUE(valueRead());
    EXPECT_EQ(CountInLog("Remote Control: CommandType"), 1);

    const WireReply count = flood.Request(StoreType::kGetItemCount, COM_ANLYS_LOG_VIEW);
    ASSERT_TRUE(count.ok);
    EXPECT_LE(count.header.value, static_cast<uint32_t>(TpLogger::kCapacity));
}

} // namespace
