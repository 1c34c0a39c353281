// A connection's reply slot: answered once, from another thread, never by a late reply to an earlier request.
#include "core/threads/RemoteReplySlot.h"
#include "support/ZuTest.h"

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

} // namespace
