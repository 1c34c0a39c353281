// The write-settle marker is serviced in one tick: one status poll while a
// settle time remains, and the marker ends disarmed.
#include "IpSfpTest.h"

#include "ipsfp/IpSfpManager.h"

namespace {

class SfpWriteSettle : public IpSfpTest {
protected:
    void SetUp() override
    {
        IpSfpTest::SetUp();
        UseModule();
    }
    IpSfpManager manager;
};

} // namespace

TEST_F(SfpWriteSettle, OneTickPollsOnceWhileTimeRemains)
{
    struct Case {
        int32_t marker, firmwareCountdown;
        size_t polls;
    };
    const Case cases[] = {
        {60, 0, 1}, {60, 5, 1}, {2, 0, 1}, {2, 5, 0}, {1, 0, 0}, {3, 1, 1}, {-1, 0, 0}, {-1, 5, 0},
    };
    for (const Case& c : cases) {
        module.ClearTrace();
        manager.busyCountdown = c.marker;
        manager.firmwareDefaultCountdown = c.firmwareCountdown;
        EXPECT_FALSE(manager.ServiceWriteSettle());
        EXPECT_EQ(Trace().size(), c.polls) << c.marker << "/" << c.firmwareCountdown;
        for (const auto& t : Trace())
            EXPECT_EQ(t, Rd(0, 128, 0x80));
        EXPECT_EQ(manager.busyCountdown, -1);
    }
}

TEST_F(SfpWriteSettle, ArmingSetsTheFullSettleTime)
{
    manager.ArmWriteSettle();
    EXPECT_EQ(manager.busyCountdown, 60);
    manager.ServiceWriteSettle();
    EXPECT_EQ(manager.busyCountdown, -1);
    EXPECT_EQ(Trace().size(), 1u);
}
