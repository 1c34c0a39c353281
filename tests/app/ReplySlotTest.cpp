#include "core/RemoteReplySlot.h"
#include "support/ZuTest.h"

#include <atomic>
#include <thread>

namespace {

using ReplySlotTest = ZuTest;

TEST_F(ReplySlotTest, AReplyWakesItsWaiterOnce)
{
    RemoteReplySlot slot;
    uint16_t token = slot.BeginRequest();
    ASSERT_NE(token, 0);
    std::thread app([token] { EXPECT_TRUE(RemoteReplySlot::Reply(token, "abc", 3)); });
    ASSERT_TRUE(slot.WaitReply(5000));
    app.join();
    EXPECT_EQ(slot.Length(), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(slot.Data()), 3), "abc");
    EXPECT_FALSE(RemoteReplySlot::Reply(token, "again", 5)) << "a request is answered once";
    EXPECT_FALSE(slot.WaitReply(0));
}

TEST_F(ReplySlotTest, ALateReplyIsNotTakenForTheNextRequest)
{
    RemoteReplySlot slot;
    uint16_t first = slot.BeginRequest();
    EXPECT_FALSE(slot.WaitReply(1));   // the connection gives up
    EXPECT_FALSE(RemoteReplySlot::Reply(first, "late", 4));
    uint16_t second = slot.BeginRequest();
    EXPECT_NE(second, first);
    EXPECT_TRUE(RemoteReplySlot::Reply(second, "ok", 2));
    ASSERT_TRUE(slot.WaitReply(0));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(slot.Data()), slot.Length()), "ok");
}

TEST_F(ReplySlotTest, RepliesToGoneConnectionsAreDropped)
{
    uint16_t token;
    {
        RemoteReplySlot slot;
        token = slot.BeginRequest();
    }
    EXPECT_FALSE(RemoteReplySlot::Reply(token, "x", 1));
    EXPECT_FALSE(RemoteReplySlot::Reply(0, "x", 1));
}

TEST_F(ReplySlotTest, ShutdownWakesAWaitingConnection)
{
    RemoteReplySlot slot;
    slot.BeginRequest();
    std::atomic<bool> result{true};
    std::thread waiter([&] { result = slot.WaitReply(60000); });
    slot.Shutdown();
    waiter.join();
    EXPECT_FALSE(result);
}

TEST_F(ReplySlotTest, OversizedRepliesAreCutToTheBuffer)
{
    RemoteReplySlot slot;
    uint16_t token = slot.BeginRequest();
    std::string big(kReplyBufferSize + 100, 'z');
    ASSERT_TRUE(RemoteReplySlot::Reply(token, big.data(), big.size()));
    ASSERT_TRUE(slot.WaitReply(0));
    EXPECT_EQ(slot.Length(), kReplyBufferSize);
}

TEST_F(ReplySlotTest, ManyConnectionsAnsweredFromAnotherThread)
{
    constexpr int kSlots = 5, kRounds = 200;
    RemoteReplySlot slots[kSlots];
    std::atomic<uint32_t> tokens[kSlots];
    std::atomic<int> answered{0};
    std::vector<std::thread> connections;
    for (int s = 0; s < kSlots; ++s) {
        tokens[s] = 0;
        connections.emplace_back([&, s] {
            for (int i = 0; i < kRounds; ++i) {
                tokens[s] = slots[s].BeginRequest();
                ASSERT_TRUE(slots[s].WaitReply(10000));
                ASSERT_EQ(slots[s].Length(), 1u);
                EXPECT_EQ(slots[s].Data()[0], s);
                ++answered;
            }
        });
    }
    int done = 0;
    while (done < kSlots * kRounds) {
        for (int s = 0; s < kSlots; ++s) {
            uint32_t t = tokens[s].exchange(0);
            uint8_t byte = static_cast<uint8_t>(s);
            if (t != 0 && RemoteReplySlot::Reply(static_cast<uint16_t>(t), &byte, 1))
                ++done;
        }
        std::this_thread::yield();
    }
    for (auto& t : connections)
        t.join();
    EXPECT_EQ(answered, kSlots * kRounds);
}

} // namespace
