// The status poll: a valid status byte clears the page-load flag first and
// the write flag only once no load is pending; anything else changes nothing.
#include "IpSfpTest.h"

#include "ipsfp/SfpProtocolState.h"

#include <vector>

namespace {

class SfpStatusPoll : public IpSfpTest {
protected:
    void SetUp() override
    {
        IpSfpTest::SetUp();
        UseModule();
    }
    void Pending(uint8_t load, uint8_t write)
    {
        SfpProtocol().pageLoadPending = load;
        SfpProtocol().writePending = write;
    }
};

} // namespace

TEST_F(SfpStatusPoll, FlagsFollowAValidStatusInOrder)
{
    struct Case {
        uint8_t status, load, write;   // before the poll
        uint8_t loadAfter, writeAfter;
    };
    const std::vector<Case> cases = {
        {0x86, 1, 1, 0, 0},   // booted, load and write complete
        {0x96, 1, 1, 1, 1},   // range error: invalid
        {0x82, 1, 1, 1, 1},   // load not complete: the write bit is not looked at
        {0x04, 1, 1, 1, 1},   // not booted
        {0x84, 1, 1, 0, 1},   // load complete, write not
        {0x80, 0, 1, 0, 1},   // write not complete
        {0x82, 0, 1, 0, 0},
        {0x86, 0, 0, 0, 0},   // a clear flag stays clear
    };
    for (const Case& c : cases) {
        Pending(c.load, c.write);
        module.SetStatusOverride(c.status);
        PollSfpStatus();
        EXPECT_EQ(SfpProtocol().pageLoadPending, c.loadAfter) << std::hex << int {c.status};
        EXPECT_EQ(SfpProtocol().writePending, c.writeAfter) << std::hex << int {c.status};
        EXPECT_EQ(SfpProtocol().lastStatus, c.status);
    }
    EXPECT_EQ(Trace().size(), cases.size()) << "one status read per poll";
    for (const auto& t : Trace())
        EXPECT_EQ(t.reg, kSfpStatusRegister);
}

TEST_F(SfpStatusPoll, FailedStatusReadTellsNothing)
{
    Pending(1, 1);
    SfpProtocol().lastStatus = 0x42;
    module.FailReadsOf(kSfpStatusRegister);
    PollSfpStatus();
    EXPECT_EQ(SfpProtocol().pageLoadPending, 1);
    EXPECT_EQ(SfpProtocol().writePending, 1);
    EXPECT_EQ(SfpProtocol().lastStatus, 0x42);
}

TEST_F(SfpStatusPoll, ResetRunsOnlyWhenThePresenceFlagChanges)
{
    ASSERT_TRUE(RequestPage(0x90));
    SfpProtocol().writePending = 1;
    SfpProtocol().lastStatus = 0x80;

    ResetSfpProtocolState(1);   // pageSelected is already 1
    EXPECT_EQ(SfpProtocol().pageLoadPending, 1);
    EXPECT_EQ(SfpProtocol().selectedPage, 0x90);

    ResetSfpProtocolState(0);
    EXPECT_EQ(SfpProtocol().pageSelected, 0);
    EXPECT_EQ(SfpProtocol().pageLoadPending, 0);
    EXPECT_EQ(SfpProtocol().writePending, 0);
    EXPECT_EQ(SfpProtocol().selectedPage, 0);
    EXPECT_EQ(SfpProtocol().lastStatus, 0);

    ResetSfpProtocolState(1);
    EXPECT_EQ(SfpProtocol().pageSelected, 1);
    ResetSfpProtocolState(1);
    EXPECT_EQ(SfpProtocol().pageSelected, 1);
    EXPECT_TRUE(RequestPage(0xC0)) << "the state is clean again";
}
