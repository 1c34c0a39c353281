// The simulated keyboard between the host thread, which presses and releases
// keys, and the key-scan thread, which collects the codes.
#include "BoardTest.h"

#include "sim/KeyMailbox.h"
#include "sim/SimReset.h"

#include <thread>
#include <vector>

namespace {

class KeyMailboxTest : public BoardTest {};

std::vector<uint16_t> TakeAll(KeyMailbox& box)
{
    std::vector<uint16_t> codes;
    uint16_t code = 0;
    while (box.Take(code))
        codes.push_back(code);
    return codes;
}

} // namespace

TEST_F(KeyMailboxTest, PressAndReleaseQueueCodesAndTrackTheMaskUntilReset)
{
    KeyMailbox& box = SimKeyMailbox();
    EXPECT_TRUE(box.Press(kKeyOk));
    EXPECT_TRUE(box.Press(kKeyMenu1));
    EXPECT_EQ(read_key_state(), (1u << 11) | 1u);
    EXPECT_TRUE(box.Release(kKeyOk));
    EXPECT_EQ(read_key_state(), 1u);
    EXPECT_EQ(TakeAll(box), (std::vector<uint16_t> {0x800C, 0x8001, 12}));
    EXPECT_EQ(read_key_state(), 1u) << "taking codes does not release keys";
    EXPECT_TRUE(box.Release(kKeyMenu1));
    EXPECT_EQ(read_key_state(), 0u);

    box.Press(kKeyRight);
    SimReset();
    EXPECT_EQ(read_key_state(), 0u);
    EXPECT_EQ(box.PendingCount(), 0u);
}

TEST_F(KeyMailboxTest, OnlyTheInstrumentsKeyCodesAreAccepted)
{
    KeyMailbox& box = SimKeyMailbox();
    for (uint16_t code : {0, 22, 30, 33, 0x7FFF})
        EXPECT_FALSE(box.Press(code)) << code;
    for (uint16_t code = 1; code <= 21; ++code)
        EXPECT_TRUE(box.Press(code)) << code;
    EXPECT_TRUE(box.Post(kKeyLongOk));
    EXPECT_TRUE(box.Post(kKeyPowerOff | kKeyPressFlag));
    EXPECT_FALSE(box.Post(40));
    EXPECT_EQ(read_key_state(), (1u << 21) - 1) << "keys 1-21 held";
    std::vector<uint16_t> codes = TakeAll(box);
    ASSERT_EQ(codes.size(), 23u);
    EXPECT_EQ(codes[20], 0x8015);
    EXPECT_EQ(codes[21], 31);
    EXPECT_EQ(codes[22], 0x8020);
}

TEST_F(KeyMailboxTest, FullMailboxRefusesCodesButStillReleasesKeys)
{
    KeyMailbox& box = SimKeyMailbox();
    ASSERT_TRUE(box.Press(kKeyDown));
    for (size_t i = 1; i < KeyMailbox::kCapacity; ++i)
        ASSERT_TRUE(box.Post(kKeyUp));
    EXPECT_EQ(box.PendingCount(), KeyMailbox::kCapacity);
    EXPECT_FALSE(box.Press(kKeyLeft));
    EXPECT_EQ(read_key_state() & (1u << 9), 0u) << "a refused press is not held";
    EXPECT_FALSE(box.Release(kKeyDown));
    EXPECT_EQ(read_key_state(), 0u);
    uint16_t code = 0;
    ASSERT_TRUE(box.Take(code));
    EXPECT_EQ(code, 0x800D);
}

TEST_F(KeyMailboxTest, KeyScanThreadGetsEveryCodeInOrder)
{
    KeyMailbox& box = SimKeyMailbox();
    std::vector<uint16_t> sent;
    for (int round = 0; round < 200; ++round)
        for (uint16_t key = kKeyMenu1; key <= kKeyDown; ++key) {
            sent.push_back(static_cast<uint16_t>(key | kKeyPressFlag));
            sent.push_back(key);
        }

    std::thread host([&] {
        for (size_t i = 0; i < sent.size(); i += 2) {
            const uint16_t key = sent[i + 1];
            // A full mailbox refuses the code; the host tries again.
            while (!box.Press(key))
                std::this_thread::yield();
            while (!box.Release(key))
                std::this_thread::yield();
        }
    });
    std::vector<uint16_t> got;
    std::thread keyScan([&] {
        while (got.size() < sent.size()) {
            uint16_t code = 0;
            if (box.Take(code))
                got.push_back(code);
            else
                std::this_thread::yield();
        }
    });
    host.join();
    keyScan.join();
    EXPECT_EQ(got, sent);
    EXPECT_EQ(read_key_state(), 0u);
}
