// What the simulated board answers when no test device is installed: the
// fixed values the rest of the instrument relies on.
#include "BoardTest.h"

#include "board/AudioBoard.h"
#include "board/BoardReset.h"
#include "board/NetBoard.h"
#include "board/SfpBoard.h"

#include <set>
#include <vector>

namespace {
class SimulatedBoard : public BoardTest {};
} // namespace

TEST_F(SimulatedBoard, TwoWireDevicesReadZeroAndRefuseANullByte)
{
    EXPECT_TRUE(sfp_is_powered() && i2c_bus_ready());
    for (uint8_t device : {uint8_t{0xA0}, uint8_t{0xA2}})
        for (uint8_t reg : {uint8_t{0}, uint8_t{165}, uint8_t{255}}) {
            uint8_t value = 0x5A;
            EXPECT_TRUE(i2c_read_byte(device, reg, &value));
            EXPECT_EQ(value, 0);
        }
    EXPECT_FALSE(i2c_read_byte(0xA0, 0, nullptr));
}

TEST_F(SimulatedBoard, EmSfpReadsArePseudoRandomBelowFiftyAndWritesAreRemembered)
{
    std::vector<uint8_t> first;
    std::set<uint8_t> seen;
    for (int i = 0; i < 1000; ++i) {
        uint8_t value = 0xFF;
        ASSERT_EQ(sfp_read_byte(128, &value), 1);
        EXPECT_LT(value, 50) << "the status never reads as booted";
        first.push_back(value);
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 40u);
    BoardReset();   // the sequence starts again, so runs are repeatable
    for (int i = 0; i < 10; ++i) {
        uint8_t value = 0;
        sfp_read_byte(128, &value);
        EXPECT_EQ(value, first[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(sfp_read_byte(128, nullptr), 0);

    EXPECT_NE(sfp_write_byte(127, 0xC0), 0);
    EXPECT_NE(sfp_write_byte(55, 3), 0);
    EXPECT_EQ(sfp_last_register(), 55);
    EXPECT_EQ(sfp_selected_page(), 0xC0) << "only register 127 selects a page";
    EXPECT_FALSE(debug->Contains("SFP Write failed"));
}
