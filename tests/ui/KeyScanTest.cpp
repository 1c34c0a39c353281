// The key-scan thread between the key mailbox and the application queue:
// each key becomes a key message and an update, the key-event byte is set,
// and periodic updates begin only once start-up has finished.
#include "BoardTest.h"

#include "core/threads/MessageQueue.h"
#include "sim/KeyMailbox.h"
#include "ui/keys/TpKeyScan.h"

#include <vector>

namespace {

class KeyScan : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        TpKeyScan::ClearKeyEvent();
    }

    // Takes every waiting message: (type, value) pairs.
    static std::vector<std::pair<uint16_t, uint32_t>> Drain()
    {
        std::vector<std::pair<uint16_t, uint32_t>> got;
        AppMessage m;
        while (MessageQueue::PendingCount() > 0 && MessageQueue().ReceiveFor(m, 0))
            got.emplace_back(m.header.type, m.header.value);
        return got;
    }

    KeyMailbox mailbox;
};

using Messages = std::vector<std::pair<uint16_t, uint32_t>>;

} // namespace

TEST_F(KeyScan, EachKeyBecomesAKeyMessageAndAnUpdateAndUpdatesWaitForStartUp)
{
    TpKeyScan scan(mailbox);
    EXPECT_EQ(scan.Name(), "KeyScan");
    mailbox.Press(kKeyOk);
    mailbox.Release(kKeyOk);
    EXPECT_FALSE(TpKeyScan::KeyEventPending());
    EXPECT_EQ(scan.ScanKeys(), 2);
    EXPECT_EQ(Drain(),
              (Messages {{MsgType::kKey, 0x800C}, {MsgType::kUpdate, 0}, {MsgType::kKey, 12}, {MsgType::kUpdate, 0}}));
    EXPECT_TRUE(TpKeyScan::TakeKeyEvent());
    EXPECT_FALSE(TpKeyScan::TakeKeyEvent()) << "taken: cleared";
    EXPECT_EQ(scan.ScanKeys(), 0);
    EXPECT_TRUE(Drain().empty());

    // Periodic updates begin after start-up, one waiting at a time.
    EXPECT_FALSE(scan.PostPeriodicUpdate());
    scan.EnableUpdates(true);
    EXPECT_TRUE(scan.PostPeriodicUpdate());
    EXPECT_TRUE(scan.PostPeriodicUpdate());
    EXPECT_EQ(Drain(), (Messages {{MsgType::kUpdate, 0}}));
}

TEST_F(KeyScan, TheThreadPostsKeysAndUpdatesOnTheClock)
{
    TpKeyScan scan(mailbox, 200, 1);
    scan.EnableUpdates(true);
    ASSERT_TRUE(scan.Start());
    mailbox.Press(kKeyMenu1);
    AppMessage m;
    ASSERT_TRUE(MessageQueue().ReceiveFor(m, 10000));
    EXPECT_EQ(m.header.type, MsgType::kKey);
    EXPECT_EQ(m.header.value, 0x8001u);
    ASSERT_TRUE(MessageQueue().ReceiveFor(m, 10000));
    EXPECT_EQ(m.header.type, MsgType::kUpdate);

    // The manual clock has not moved: no periodic update yet.
    EXPECT_EQ(MessageQueue::PendingCount(), 0u);
    clock.AdvanceMs(200);
    ASSERT_TRUE(MessageQueue().ReceiveFor(m, 10000));
    EXPECT_EQ(m.header.type, MsgType::kUpdate);
    scan.Stop();
    EXPECT_TRUE(scan.IsFinished());
}
