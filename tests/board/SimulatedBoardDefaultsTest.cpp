// What the simulated board answers when no test device is installed: the
// fixed values the rest of the instrument relies on.
#include "BoardTest.h"

#include "board/AudioBoard.h"
#include "board/BoardReset.h"
#include "board/FrameStore.h"
#include "board/NetBoard.h"
#include "board/SfpBoard.h"

#include <set>

namespace {
class SimulatedBoard : public BoardTest {};
} // namespace

TEST_F(SimulatedBoard, AudioStatusWordsAreFixed)
{
    EXPECT_EQ(audio_src_flag_a(), 0);
    EXPECT_EQ(audio_src_flag_b(), 1);
    EXPECT_EQ(analyser_status_word_b(), 7140u);
    EXPECT_EQ(analyser_status_word_b(), 0x1BE4u);
    EXPECT_EQ(aes_rx_present(), 1);
    EXPECT_EQ(audmon_status_ok(), 1);
    EXPECT_EQ(audmon_read_count(), 0);
}

TEST_F(SimulatedBoard, DecibelsBecomeLinearGains)
{
    EXPECT_DOUBLE_EQ(db_to_linear(0.0), 1.0);
    EXPECT_NEAR(db_to_linear(-6.0), 0.501187, 1e-6);
    EXPECT_NEAR(db_to_linear(-18.06), 0.125026, 1e-6);
    EXPECT_NEAR(db_to_linear(20.0), 10.0, 1e-12);
    EXPECT_NEAR(db_to_linear(-3.0), 0.707946, 1e-6);
}

TEST_F(SimulatedBoard, BoardAndCageRevisions)
{
    EXPECT_EQ(get_board_revision(), 11);
    EXPECT_EQ(sfp_get_cage_revision(), 4);
    EXPECT_TRUE(sfp_is_powered());
    EXPECT_NE(sfp_detect(), 0);
    EXPECT_TRUE(i2c_bus_ready());
}

TEST_F(SimulatedBoard, TwoWireReadsYieldZero)
{
    for (uint8_t device : {uint8_t{0xA0}, uint8_t{0xA2}}) {
        for (uint8_t reg : {uint8_t{0}, uint8_t{56}, uint8_t{59}, uint8_t{165}, uint8_t{255}}) {
            uint8_t value = 0x5A;
            EXPECT_TRUE(i2c_read_byte(device, reg, &value));
            EXPECT_EQ(value, 0);
        }
    }
    EXPECT_TRUE(i2c_write_byte(0xA2, 165, 1));
    EXPECT_FALSE(i2c_read_byte(0xA0, 0, nullptr));
}

TEST_F(SimulatedBoard, EmSfpReadsArePseudoRandomBelowFifty)
{
    std::vector<uint8_t> first;
    std::set<uint8_t> seen;
    for (int i = 0; i < 1000; ++i) {
        uint8_t value = 0xFF;
        ASSERT_EQ(sfp_read_byte(128, &value), 1);
        EXPECT_LT(value, 50);
        EXPECT_EQ(value & 0x80, 0) << "the status never reads as booted";
        first.push_back(value);
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 40u);
    // The sequence starts again after a reset, so runs are repeatable.
    BoardReset();
    for (int i = 0; i < 10; ++i) {
        uint8_t value = 0;
        sfp_read_byte(128, &value);
        EXPECT_EQ(value, first[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(sfp_read_byte(128, nullptr), 0);
}

TEST_F(SimulatedBoard, EmSfpWritesSucceedAndAreRemembered)
{
    EXPECT_NE(sfp_write_byte(127, 0xC0), 0);
    EXPECT_EQ(sfp_last_register(), 127);
    EXPECT_EQ(sfp_selected_page(), 0xC0);
    EXPECT_NE(sfp_write_byte(55, 3), 0);
    EXPECT_EQ(sfp_last_register(), 55);
    EXPECT_EQ(sfp_selected_page(), 0xC0) << "only register 127 selects a page";
    EXPECT_FALSE(debug->Contains("SFP Write failed"));
}

TEST_F(SimulatedBoard, NetworkCallsSucceed)
{
    EXPECT_EQ(net_set_static_ip("192.168.1.10", "255.255.255.0", "192.168.1.1", "8.8.8.8"), 0);
    EXPECT_EQ(net_hw_apply(0x12345678), 0);
}
