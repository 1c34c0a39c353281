// The simulated module answers every read with a byte below 50, so it never
// reports itself booted: the first page load stays pending and every later
// request is refused until the state is reset.
#include "IpSfpTest.h"

#include "board/SfpBoard.h"
#include "sim/BoardDevices.h"

using SfpSimulatedModule = IpSfpTest;

TEST_F(SfpSimulatedModule, NeverBootsSoTheFirstLoadStaysPending)
{
    EXPECT_FALSE(manager.ChangePage(0x90));
    EXPECT_EQ(sfp_selected_page(), 0x90);
    for (int tick = 0; tick < 100; ++tick) {
        PollSfpStatus();
        ASSERT_LT(SfpProtocol().lastStatus, kSimSfpReadLimit);
        ASSERT_EQ(SfpProtocol().pageLoadPending, 1);
    }
    EXPECT_TRUE(manager.ChangePage(0x90)) << "still the page asked for";

    debug->Clear();
    EXPECT_FALSE(manager.ChangePage(0xC0));
    EXPECT_EQ(debug->Text(), "ERROR SFP request for page 192 (0xC0) while page load already pending\n");
    EXPECT_EQ(manager.requestedPage, 0x90);
    EXPECT_EQ(sfp_selected_page(), 0x90);

    // Writes are taken but never reported complete either.
    EXPECT_TRUE(manager.SetNewParameterValue(0x90, 0xAB, 9, 1, 0x0D21));
    manager.ArmWriteSettle();
    manager.ServiceWriteSettle();
    EXPECT_EQ(SfpProtocol().writePending, 1);

    ResetSfpProtocolState(0);
    EXPECT_FALSE(manager.ChangePage(0xC0));
    EXPECT_EQ(manager.requestedPage, 0xC0) << "one request after each reset";
    EXPECT_EQ(sfp_selected_page(), 0xC0);
}
