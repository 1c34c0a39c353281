// The application queue: size limits, the single waiting update, several threads sending at once.
#include "core/threads/MessageQueue.h"
#include "support/ZuTest.h"

#include <atomic>
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

    // A header with the given payload length field, then payloadBytes bytes.
    static std::vector<uint8_t> Raw(uint16_t type, uint16_t lengthField, size_t payloadBytes)
    {
        std::vector<uint8_t> bytes(kRemoteHeaderSize + payloadBytes, 'x');
        RemoteMsgHeader h;
        h.magic = Origin::kRemote;
        h.type = type;
        h.length = lengthField;
        h.Encode(bytes.data());
        return bytes;
    }
    bool Send(const std::vector<uint8_t>& m, size_t size = 0, bool force = false)
    {
        return sender.Send(m.data(), size != 0 ? size : m.size(), force);
    }
};

TEST_F(MessageQueueTest, PayloadAndTotalSizeLimits)
{
    EXPECT_TRUE(Send(Raw(StoreType::kSetValue, 370, 370)));     // the largest payload accepted
    EXPECT_FALSE(Send(Raw(StoreType::kSetValue, 371, 371)));    // refused and reported as refused
    EXPECT_FALSE(Send(Raw(StoreType::kSetValue, 10, 381)));     // more than 400 bytes in all
    EXPECT_TRUE(Send(Raw(StoreType::kSetValue, 370, 380)));     // exactly 400 bytes in all
    EXPECT_FALSE(Send(Raw(StoreType::kSetValue, 0, 0), 19));    // a short header
    EXPECT_FALSE(Send(Raw(StoreType::kSetValue, 50, 10)));      // a length field claiming more than was given

    EXPECT_EQ(MessageQueue::PendingCount(), 2u);
    AppMessage m;
    ASSERT_TRUE(receiver.ReceiveFor(m, 1000));
    EXPECT_EQ(m.header.length, 370);
    EXPECT_EQ(m.payload[370], 0) << "payload is NUL-terminated";
}

TEST_F(MessageQueueTest, ClosedHandlesAndAFullQueueRefuseWithoutBlocking)
{
    MessageQueue handle;
    auto msg = Raw(MsgType::kConsole, 0, 0);
    EXPECT_FALSE(handle.Send(msg.data(), msg.size()));
    ASSERT_TRUE(handle.Open("/anything"));
    EXPECT_TRUE(handle.Send(msg.data(), msg.size()));
    handle.Close();
    EXPECT_FALSE(handle.Send(msg.data(), msg.size()));

    for (size_t i = 1; i < kAppQueueCapacity; ++i)
        ASSERT_TRUE(Send(msg));
    EXPECT_FALSE(Send(msg));
    AppMessage m;
    ASSERT_TRUE(receiver.ReceiveFor(m, 1000));
    EXPECT_TRUE(Send(msg));
}

TEST_F(MessageQueueTest, OnlyOneUpdateWaitsUnlessForced)
{
    auto update = Raw(MsgType::kUpdate, 0, 0);
    EXPECT_TRUE(Send(update));
    EXPECT_TRUE(Send(update));   // dropped, not an error
    EXPECT_EQ(MessageQueue::PendingCount(), 1u);
    EXPECT_TRUE(Send(update, 0, true));
    EXPECT_EQ(MessageQueue::PendingCount(), 2u);

    auto key = Raw(MsgType::kKey, 0, 0);   // other messages are never dropped by the rule
    EXPECT_TRUE(Send(key));
    EXPECT_TRUE(Send(key));
    EXPECT_EQ(MessageQueue::PendingCount(), 4u);

    // Once the waiting updates are taken, a new one is queued again.
    AppMessage m;
    ASSERT_TRUE(receiver.ReceiveFor(m, 1000));
    ASSERT_TRUE(receiver.ReceiveFor(m, 1000));
    EXPECT_EQ(m.header.type, MsgType::kUpdate);
    EXPECT_TRUE(Send(update));
    EXPECT_EQ(MessageQueue::PendingCount(), 3u);
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
                h.type = StoreType::kSetValue;
                h.cmdId = static_cast<uint16_t>(p);
                h.item = static_cast<uint32_t>(i);
                while (!q.Send(h, nullptr))
                    std::this_thread::yield();   // queue full: retry
            }
        });
    }
    std::vector<int> next(kProducers, 0);
    for (int total = 0; total < kProducers * kEach; ++total) {
        AppMessage m;
        ASSERT_TRUE(receiver.ReceiveFor(m, 5000));
        ASSERT_LT(m.header.cmdId, kProducers);
        EXPECT_EQ(m.header.item, static_cast<uint32_t>(next[m.header.cmdId]++));
    }
    for (auto& t : producers)
        t.join();
    EXPECT_EQ(MessageQueue::PendingCount(), 0u);
}

} // namespace
