// The update sequencer's smaller steps end to end, one status-page tick at a
// time: the transmit switch with either firmware, the encoder map commit of
// the "Audio Flows" tab, the copies into the second flow's views and what a
// closing window restarts.
#include "IpPageTest.h"

#include "ipsfp/manager/IpControlIds.h"

namespace {

using IpSequencerSteps = IpPageTest;

} // namespace

// The flow alternation changes the flow selector every few ticks; the map of the selected audio flow is still
// unlocked, its channel count written and committed, so a module that applies writes on the commit holds it.
TEST_F(IpSequencerSteps, AudioTabCommitsTheSelectedFlowsEncoderMap)
{
    module.SetStagedWrites(true);
    module.Poke(0xCF, 131, 1);   // flow 1's map: count 2, channel 5 (SDI 4) active
    module.Seed(0xCF, 0x84, {2});
    module.Seed(0xCF, 0x91, {0, 4, 1});
    module.Poke(0xCF, 131, 0);
    Fit(2);
    Tick(300);
    EXPECT_TRUE(debug->Contains("\nCommit EncAudMapPg\n"));
    EXPECT_EQ(module.PeekMap(1, 0x84), 5) << "channels up to the last active one, applied by the commit";
    const std::vector<uint8_t> commands = WrittenTo(0xCF, 129);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), 1) << "unlocked";
    EXPECT_EQ(commands.back(), 3) << "not left unlocked";
}

// With 2110 firmware the flow's transmit flag is bit 0 of register 173 of the flow page; register 172 holds a
// standard field there and is left alone.
TEST_F(IpSequencerSteps, TransmitSwitchWritesRegister173With2110Firmware)
{
    Fit(1);
    Tick(4);
    store.SetValue(COM_SFP_IP_TX_OFF_ON, 1);
    Tick(12);
    EXPECT_EQ(WrittenTo(0x90, 0xAD), (std::vector<uint8_t> {1}));
    EXPECT_TRUE(WrittenTo(0x90, 0xAC).empty());
    EXPECT_EQ(module.Peek(0x90, 0xAD), 1);
}
