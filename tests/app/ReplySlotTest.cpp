// A connection's reply slot: answered once, never by a late reply to an
// earlier request, woken by shutdown, and safe with many connections.
#include "core/RemoteReplySlot.h"
#include "support/ZuTest.h"

#include <atomic>
#include <thread>

namespace {

using ReplySlotTest = ZuTest;

std::string Text(const RemoteReplySlot& slot)
{
    return std::string(reinterpret_cast<const char*>(slot.Data()), slot.Length());
}

TEST_F(ReplySlotTest, AReplyWakesItsWaiterOnce)
{
    RemoteReplySlot slot;
    const uint16_t token = slot.BeginRequest();
    ASSERT_NE(token, 0);
    std::thread app([token] { EXPECT_TRUE(RemoteReplySlot::Reply(token, "abc", 3)); });
    ASSERT_TRUE(slot.WaitReply(5000));
    app.join();
    EXPECT_EQ(Text(slot), "abc");
    EXPECT_FALSE(RemoteReplySlot::Reply(token, "again", 5)) << "a request is answered once";
    EXPECT_FALSE(slot.WaitReply(0));
}

TEST_F(ReplySlotTest, LateRepliesAndRepliesToGoneConnectionsAreDropped)
{
    RemoteReplySlot slot;
    const uint16_t first = slot.BeginRequest();
    EXPECT_FALSE(slot.WaitReply(1));   // the connection gives up
    EXPECT_FALSE(RemoteReplySlot::Reply(first, "late", 4));
    const uint16_t second = slot.BeginRequest();
    EXPECT_NE(second, first);
    const std::string big(kReplyBufferSize + 100, 'z');   // cut to the buffer
    EXPECT_TRUE(RemoteReplySlot::Reply(second, big.data(), big.size()));
    ASSERT_TRUE(slot.WaitReply(0));
    EXPECT_EQ(Text(slot), big.substr(0, kReplyBufferSize));

    uint16_t token;
    {
        RemoteReplySlot gone;
        token = gone.BeginRequest();
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
    for (int done = 0; done < kSlots * kRounds;) {
        for (int s = 0; s < kSlots; ++s) {
            const uint32_t t = tokens[s].exchange(0);
            const uint8_t byte = static_cast<uint8_t>(s);
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
