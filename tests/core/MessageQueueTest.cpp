#include "core/MessageQueue.h"
#include "support/ZuTest.h"

#include <atomic>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

class MessageQueueTest : public ZuTest {
protected:
    MessageQueue sender;
    MessageQueue receiver;

    void SetUp() override
    {
        ZuTest::SetUp();
        ASSERT_TRUE(sender.Open("/remctrl", 1, 100, 1500));
        ASSERT_TRUE(receiver.Open("/msgq", 1, 100, 1500));
    }

    // A raw message: header with the given payload length field, then
    // payloadBytes bytes.
    static std::vector<uint8_t> Raw(uint16_t type, uint16_t lengthField, size_t payloadBytes)
    {
        std::vector<uint8_t> bytes(kRemoteHeaderSize + payloadBytes, 'x');
        RemoteMsgHeader h;
        h.magic = 1;
        h.type = type;
        h.length = lengthField;
        h.Encode(bytes.data());
        return bytes;
    }
};

TEST_F(MessageQueueTest, EveryHandleReachesTheOneQueue)
{
    RemoteMsgHeader h;
    h.type = 3;
    h.cmdId = 77;
    h.length = 5;
    h.item = 9;
    h.value = 0xDEADBEEF;
    ASSERT_TRUE(sender.Send(h, "hello"));

    AppMessage m;
    ASSERT_TRUE(receiver.ReceiveFor(m, 1000));
    EXPECT_EQ(m.header.type, 3);
    EXPECT_EQ(m.header.cmdId, 77);
    EXPECT_EQ(m.header.item, 9u);
    EXPECT_EQ(m.header.value, 0xDEADBEEFu);
    ASSERT_EQ(m.payloadSize, 5u);
    EXPECT_STREQ(reinterpret_cast<const char*>(m.payload), "hello");
    EXPECT_EQ(MessageQueue::PendingCount(), 0u);
}

TEST_F(MessageQueueTest, PayloadAndTotalSizeLimits)
{
    // 370 payload bytes is the largest message accepted.
    auto largest = Raw(5, 370, 370);
    EXPECT_TRUE(sender.Send(largest.data(), largest.size()));
    // A length field of 371 is refused and reported as refused.
    auto tooLong = Raw(5, 371, 371);
    EXPECT_FALSE(sender.Send(tooLong.data(), tooLong.size()));
    // More than 400 bytes in all is refused even with a small length field.
    auto tooBig = Raw(5, 10, 381);
    EXPECT_FALSE(sender.Send(tooBig.data(), tooBig.size()));
    // 400 bytes in all with a length field within the limit is accepted.
    auto exactly400 = Raw(5, 370, 380);
    EXPECT_TRUE(sender.Send(exactly400.data(), exactly400.size()));
    // A header shorter than 20 bytes, or a length field claiming more bytes
    // than were given, is refused.
    auto shortHeader = Raw(5, 0, 0);
    EXPECT_FALSE(sender.Send(shortHeader.data(), 19));
    auto claimsMore = Raw(5, 50, 10);
    EXPECT_FALSE(sender.Send(claimsMore.data(), claimsMore.size()));

    EXPECT_EQ(MessageQueue::PendingCount(), 2u);
    AppMessage m;
    ASSERT_TRUE(receiver.ReceiveFor(m, 1000));
    EXPECT_EQ(m.header.length, 370);
    EXPECT_EQ(m.payload[370], 0) << "payload is NUL-terminated";
}

TEST_F(MessageQueueTest, ClosedHandleRefusesToSend)
{
    MessageQueue handle;
    auto msg = Raw(3, 0, 0);
    EXPECT_FALSE(handle.Send(msg.data(), msg.size()));
    ASSERT_TRUE(handle.Open("/anything"));
    EXPECT_TRUE(handle.Send(msg.data(), msg.size()));
    handle.Close();
    EXPECT_FALSE(handle.Send(msg.data(), msg.size()));
}

TEST_F(MessageQueueTest, OnlyOneUpdateWaitsUnlessForced)
{
    auto update = Raw(kAppMsgUpdate, 0, 0);
    EXPECT_TRUE(sender.Send(update.data(), update.size()));
    EXPECT_TRUE(sender.Send(update.data(), update.size()));   // dropped, not an error
    EXPECT_EQ(MessageQueue::PendingCount(), 1u);
    EXPECT_TRUE(sender.Send(update.data(), update.size(), true));
    EXPECT_EQ(MessageQueue::PendingCount(), 2u);

    // Other messages are never dropped by the rule.
    auto key = Raw(4, 0, 0);
    EXPECT_TRUE(sender.Send(key.data(), key.size()));
    EXPECT_TRUE(sender.Send(key.data(), key.size()));
    EXPECT_EQ(MessageQueue::PendingCount(), 4u);

    // Once the waiting updates are taken, a new one is queued again.
    AppMessage m;
    ASSERT_TRUE(receiver.ReceiveFor(m, 1000));
    ASSERT_TRUE(receiver.ReceiveFor(m, 1000));
    EXPECT_EQ(m.header.type, kAppMsgUpdate);
    EXPECT_TRUE(sender.Send(update.data(), update.size()));
    EXPECT_EQ(MessageQueue::PendingCount(), 3u);
}

TEST_F(MessageQueueTest, FullQueueRefusesWithoutBlocking)
{
    auto msg = Raw(5, 0, 0);
    for (size_t i = 0; i < kAppQueueCapacity; ++i)
        ASSERT_TRUE(sender.Send(msg.data(), msg.size()));
    EXPECT_FALSE(sender.Send(msg.data(), msg.size()));
    AppMessage m;
    ASSERT_TRUE(receiver.ReceiveFor(m, 1000));
    EXPECT_TRUE(sender.Send(msg.data(), msg.size()));
}

TEST_F(MessageQueueTest, ReceiveWaitsForAMessage)
{
    AppMessage m;
    EXPECT_FALSE(receiver.ReceiveFor(m, 10));   // empty: gives up

    std::atomic<bool> received{false};
    AppMessage got;
    std::thread consumer([&] {
        received = receiver.Receive(got);
    });
    RemoteMsgHeader h;
    h.type = 4;
    h.value = 12;
    ASSERT_TRUE(sender.Send(h, nullptr));
    consumer.join();
    EXPECT_TRUE(received);
    EXPECT_EQ(got.header.value, 12u);
}

TEST_F(MessageQueueTest, SeveralProducersLoseNothingAndKeepTheirOrder)
{
    constexpr int kProducers = 4;
    constexpr int kEach = 200;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([p] {
            MessageQueue q;
            q.Open("/remctrl");
            for (int i = 0; i < kEach; ++i) {
                RemoteMsgHeader h;
                h.type = 5;
                h.cmdId = static_cast<uint16_t>(p);
                h.item = static_cast<uint32_t>(i);
                while (!q.Send(h, nullptr))
                    std::this_thread::yield();   // queue full: retry
            }
        });
    }
    std::vector<int> next(kProducers, 0);
    int total = 0;
    while (total < kProducers * kEach) {
        AppMessage m;
        ASSERT_TRUE(receiver.ReceiveFor(m, 5000));
        ASSERT_LT(m.header.cmdId, kProducers);
        EXPECT_EQ(m.header.item, static_cast<uint32_t>(next[m.header.cmdId]));
        ++next[m.header.cmdId];
        ++total;
    }
    for (auto& t : producers)
        t.join();
    EXPECT_EQ(MessageQueue::PendingCount(), 0u);
}

} // namespace
