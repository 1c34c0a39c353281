// The manager's periodic step and mode switch: a page that cannot be selected
// is retried, and a change of the module's direction puts the cached module
// values back and reads the transmit flag where its firmware keeps it.
#include "IpPageTest.h"

#include <optional>

namespace {

using IpStatusTick = IpSfpModuleTest;
using IpModeSwitch = IpPageTest;

// A read of the register on either video flow's page.
bool ReadOf(const std::vector<FakeEmSfp::Transaction>& trace, uint8_t reg)
{
    return std::ranges::any_of(trace, [reg](const FakeEmSfp::Transaction& t) {
        return !t.write && (t.page == 0x90 || t.page == 0x91) && t.reg == reg;
    });
}

} // namespace

TEST_F(IpStatusTick, AnUnselectablePageStaysBlockedAndRetries)
{
    module.SetStatusOverride(0x04);   // not booted: the page never loads
    EXPECT_FALSE(manager.Pages().ChangePage(0x84));
    for (int i = 0; i < 3; ++i) {
        manager.OnStatusTick();
        EXPECT_EQ(manager.Pages().PageBlocked(), 1);
        EXPECT_EQ(manager.Pages().CurrentPage(), 0);
    }
    module.SetStatusOverride(std::nullopt);
    manager.OnStatusTick();
    EXPECT_EQ(manager.Pages().PageBlocked(), 0);
    EXPECT_EQ(manager.Pages().CurrentPage(), 0x84);
    EXPECT_EQ(manager.Pages().WriteMark(), -1);
}

// The transmit flag is bit 0 of flow register 172 with 2022-6 firmware and of 173 with 2110 firmware.
TEST_F(IpModeSwitch, ADirectionChangePutsTheModuleValuesBackAndFollowsTheFirmware)
{
    SimEmSfpFlags().SetMode2022(1);
    module.Seed(0x90, 0x9B, {0, 0, 0, 123});   // the flow's packets
    Fit(1);
    Tick(12);   // the page table's pages first
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_TX_OR_RX_PACKETS), "123");
    EXPECT_FALSE(ReadOf(Trace(), 0xAD)) << "register 172 holds a standard field too: only 173 tells";

    SimEmSfpFlags().SetMode2022(0);
    Tick();
    SimEmSfpFlags().SetDecapsulation(1);
    Tick();
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_TX_OR_RX_PACKETS), "0");
    EXPECT_EQ(store.GetCmdText(2602), "Filt MAC:");
    module.ClearTrace();
    Tab(1);
    Tick(14);
    EXPECT_TRUE(ReadOf(Trace(), 0xAD));
}
