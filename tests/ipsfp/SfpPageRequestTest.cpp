// The module's protocol: page selection and byte writes, refusals while something is pending, the status poll, the
// write-settle marker, and the simulated module that never boots.
#include "IpSfpTest.h"

#include "sim/BoardDevices.h"

#include <algorithm>

using SfpPageRequest = IpSfpModuleTest;
using SfpSimulatedModule = IpSfpTest;

class SfpStatusPoll : public IpSfpModuleTest {
protected:
    // The link's flags brought to load and write through the bus: a page select
    // and a byte write whose completions are not seen yet.
    static void Pending(uint8_t load, uint8_t write)
    {
        SfpLink::ResetSfpProtocolState(0);
        SfpLink::ResetSfpProtocolState(1);
        if (load != 0) {
            ASSERT_TRUE(SfpLink::RequestPage(0x90));
        }
        if (write != 0) {
            ASSERT_TRUE(SfpLink::WriteByte(0x90, 0x95, 0));
        }
    }
};

TEST_F(SfpPageRequest, RefusedWithoutBusTrafficWhileSomethingIsPending)
{
    module.SetPageLoadPolls(1000000);
    ASSERT_TRUE(SfpLink::RequestPage(0x90));
    module.ClearTrace();
    EXPECT_FALSE(SfpLink::RequestPage(0xC0));
    EXPECT_EQ(debug->Text(), "ERROR SFP request for page 192 (0xC0) while page load already pending\n");
    debug->Clear();
    module.SetStatusOverride(0x84);   // the load completes, the write that follows does not
    SfpLink::PollSfpStatus();
    ASSERT_TRUE(SfpLink::WriteByte(0x90, 0x95, 1));
    SfpLink::PollSfpStatus();
    module.ClearTrace();
    EXPECT_FALSE(SfpLink::RequestPage(0x84));
    EXPECT_EQ(debug->Text(), "ERROR SFP request for page 132 (0x84) while write pending\n");
    EXPECT_TRUE(Trace().empty());
    EXPECT_EQ(Protocol().selectedPage, 0x90);
}

TEST_F(SfpPageRequest, FailedSelectStaysRecordedAndBlocksLaterRequests)
{
    module.FailAllWrites(true);
    EXPECT_FALSE(SfpLink::RequestPage(0x84));
    EXPECT_EQ(retryWaits.size(), 9u) << "ten attempts, none slept";
    EXPECT_EQ(debug->Text(), "SFP Write failed.  addr=0x7f\n");
    EXPECT_EQ(Protocol().pageSelected, 1);
    EXPECT_EQ(Protocol().pageLoadPending, 1);
    EXPECT_EQ(Protocol().selectedPage, 0x84);

    module.FailAllWrites(false);
    EXPECT_FALSE(SfpLink::RequestPage(0x84));
    EXPECT_TRUE(debug->Contains("while page load already pending"));
}

TEST_F(SfpPageRequest, ByteWrites)
{
    // Before any page is selected: reported, and still made.
    ASSERT_TRUE(SfpLink::WriteByte(0x84, 0x9A, 10));
    EXPECT_EQ(debug->Text(), "ERROR WriteByte requested on page 0x84 before page selected. Addr=0x9A\n");
    EXPECT_EQ(Trace(), (std::vector<Trans> {Wr(0, 0x9A, 10)}));
    EXPECT_EQ(Protocol().writePending, 1);

    // Pending flags do not hold writes back; a failed write changes nothing.
    SfpLink::PollSfpStatus();   // the write done
    ASSERT_EQ(Protocol().writePending, 0);
    debug->Clear();
    ASSERT_TRUE(SfpLink::RequestPage(0x90));
    ASSERT_TRUE(SfpLink::WriteByte(0x90, 0x95, 0x12));
    ASSERT_TRUE(SfpLink::WriteByte(0x90, 0x96, 0x34));
    EXPECT_EQ(module.Peek(0x90, 0x95), 0x12);
    EXPECT_EQ(module.Peek(0x90, 0x96), 0x34);
    EXPECT_TRUE(debug->Text().empty());
    EXPECT_EQ(Protocol().pageLoadPending, 1);

    const uint8_t pending = Protocol().writePending;
    module.FailWritesOf(0x97);
    EXPECT_FALSE(SfpLink::WriteByte(0x90, 0x97, 1));
    EXPECT_EQ(Protocol().writePending, pending);
    EXPECT_EQ(module.Peek(0x90, 0x97), 0);
}

TEST_F(SfpStatusPoll, FlagsFollowAValidStatusInOrder)
{
    struct Case {
        uint8_t status, load, write, loadAfter, writeAfter;
    };
    // status byte, flags before the poll, flags after it
    const std::vector<Case> cases = {
        {0x86, 1, 1, 0, 0}, {0x96, 1, 1, 1, 1},   // booted and complete; range error: invalid
        {0x82, 1, 1, 1, 1}, {0x04, 1, 1, 1, 1},   // load not complete; not booted
        {0x84, 1, 1, 0, 1}, {0x80, 0, 1, 0, 1},   // load complete, write not; write not complete
        {0x82, 0, 1, 0, 0}, {0x86, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Pending(c.load, c.write);
        module.SetStatusOverride(c.status);
        SfpLink::PollSfpStatus();
        EXPECT_EQ(Protocol().pageLoadPending, c.loadAfter) << std::hex << int {c.status};
        EXPECT_EQ(Protocol().writePending, c.writeAfter) << std::hex << int {c.status};
        EXPECT_EQ(Protocol().lastStatus, c.status);
    }
    EXPECT_EQ(std::ranges::count(Trace(), kSfpStatusRegister, &Trans::reg), std::ssize(cases)) << "one read a poll";

    // A failed status read tells nothing (0x86 would complete both).
    module.FailReadsOf(kSfpStatusRegister);
    Pending(1, 1);
    SfpLink::PollSfpStatus();
    EXPECT_EQ(Protocol().pageLoadPending, 1);
    EXPECT_EQ(Protocol().writePending, 1);
}

TEST_F(SfpStatusPoll, WriteSettlePollsOnceAndDisarms)
{
    manager.Pages().ArmWriteSettle();
    EXPECT_EQ(manager.Pages().BusyCountdown(), 60);
    EXPECT_FALSE(manager.Pages().ServiceWriteSettle());
    EXPECT_EQ(Trace(), (std::vector<Trans> {Rd(0, 128, 0x80)}));
    EXPECT_EQ(manager.Pages().BusyCountdown(), -1);
    EXPECT_FALSE(manager.Pages().ServiceWriteSettle());
    EXPECT_EQ(Trace().size(), 1u) << "disarmed: no poll";
}

TEST_F(SfpSimulatedModule, NeverBootsSoTheFirstLoadStaysPending)
{
    EXPECT_FALSE(manager.Pages().ChangePage(0x90));
    EXPECT_EQ(sfp_selected_page(), 0x90);
    for (int tick = 0; tick < 100; ++tick) {
        SfpLink::PollSfpStatus();
        ASSERT_LT(Protocol().lastStatus, kSimSfpReadLimit);
        ASSERT_EQ(Protocol().pageLoadPending, 1);
    }
    EXPECT_TRUE(manager.Pages().ChangePage(0x90)) << "still the page asked for";

    debug->Clear();
    EXPECT_FALSE(manager.Pages().ChangePage(0xC0));
    EXPECT_EQ(debug->Text(), "ERROR SFP request for page 192 (0xC0) while page load already pending\n");
    EXPECT_EQ(manager.Pages().RequestedPage(), 0x90);
    EXPECT_EQ(sfp_selected_page(), 0x90);

    // Writes are taken but never reported complete either.
    EXPECT_TRUE(manager.Pages().SetNewParameterValue(0x90, 0xAB, 9, 1, 0x0D21));
    manager.Pages().ArmWriteSettle();
    manager.Pages().ServiceWriteSettle();
    EXPECT_EQ(Protocol().writePending, 1);

    // Only the module going away (and coming back) clears the state.
    SfpLink::ResetSfpProtocolState(1);
    EXPECT_FALSE(SfpLink::RequestPage(0xC0));
    SfpLink::ResetSfpProtocolState(0);
    EXPECT_EQ(Protocol().selectedPage, 0);
    EXPECT_EQ(Protocol().pageLoadPending, 0);
    EXPECT_EQ(Protocol().writePending, 0);
    EXPECT_FALSE(manager.Pages().ChangePage(0xC0));
    EXPECT_EQ(manager.Pages().RequestedPage(), 0xC0) << "one request after each reset";
    EXPECT_EQ(sfp_selected_page(), 0xC0);
}
