// The status poll clears the load flag first and the write flag only once no
// load is pending; the write-settle marker polls at most once per tick.
#include "IpSfpTest.h"

using SfpStatusPoll = IpSfpModuleTest;

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
        SfpProtocol().pageLoadPending = c.load;
        SfpProtocol().writePending = c.write;
        module.SetStatusOverride(c.status);
        PollSfpStatus();
        EXPECT_EQ(SfpProtocol().pageLoadPending, c.loadAfter) << std::hex << int {c.status};
        EXPECT_EQ(SfpProtocol().writePending, c.writeAfter) << std::hex << int {c.status};
        EXPECT_EQ(SfpProtocol().lastStatus, c.status);
    }
    ASSERT_EQ(Trace().size(), cases.size()) << "one status read per poll";
    for (const Trans& t : Trace())
        EXPECT_EQ(t.reg, kSfpStatusRegister);

    // A failed status read tells nothing.
    SfpProtocol().pageLoadPending = 1;
    SfpProtocol().writePending = 1;
    module.FailReadsOf(kSfpStatusRegister);
    PollSfpStatus();
    EXPECT_EQ(SfpProtocol().pageLoadPending, 1);
    EXPECT_EQ(SfpProtocol().writePending, 1);
    EXPECT_EQ(SfpProtocol().lastStatus, 0x86);
}

TEST_F(SfpStatusPoll, WriteSettlePollsOnceWhileTimeRemains)
{
    struct Case {
        int32_t marker, firmwareCountdown;
        size_t polls;
    };
    const Case cases[] = {{60, 0, 1}, {60, 5, 1}, {2, 0, 1}, {2, 5, 0}, {1, 0, 0}, {3, 1, 1}, {-1, 0, 0}, {-1, 5, 0}};
    for (const Case& c : cases) {
        module.ClearTrace();
        manager.busyCountdown = c.marker;
        manager.firmwareDefaultCountdown = c.firmwareCountdown;
        EXPECT_FALSE(manager.ServiceWriteSettle());
        EXPECT_EQ(Trace(), std::vector<Trans>(c.polls, Rd(0, 128, 0x80))) << c.marker << "/" << c.firmwareCountdown;
        EXPECT_EQ(manager.busyCountdown, -1);
    }
    manager.firmwareDefaultCountdown = 0;
    manager.ArmWriteSettle();
    EXPECT_EQ(manager.busyCountdown, 60);
}
