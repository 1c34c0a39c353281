// Controller-page writes: unlock, the parameter writes and commit, each
// command followed by one status read; failures are reported and the status
// is still read.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "ipsfp/IpSfpManager.h"
#include "ipsfp/SfpProtocolState.h"

namespace {

class SfpControllerPage : public IpSfpTest {
protected:
    void SetUp() override
    {
        IpSfpTest::SetUp();
        UseModule();
    }
    IpSfpManager manager;
};

} // namespace

TEST_F(SfpControllerPage, UnlockWriteCommitSequence)
{
    ASSERT_FALSE(manager.ChangePage(0x84));
    ASSERT_TRUE(manager.ChangePage(0x84)) << "selected; the load completes at this poll";
    module.ClearTrace();

    EXPECT_TRUE(manager.UnlockControllerPage(0x84));
    EXPECT_TRUE(manager.SetNewParameterValue(0x84, 0x9A, 192, 1, COM_SFP_IP_CONTR_IP_ADD1));
    EXPECT_TRUE(manager.CommitControllerPage(0x84));

    const std::vector<FakeEmSfp::Transaction> expected = {
        Wr(0x84, 129, 2), Rd(0x84, 128, 0x86),
        Wr(0x84, 0x9A, 192),
        Wr(0x84, 129, 3), Rd(0x84, 128, 0x86),
    };
    EXPECT_EQ(Trace(), expected);
    EXPECT_EQ(module.Commands(), (std::vector<uint8_t> {2, 3}));
    EXPECT_EQ(SfpProtocol().writePending, 0);
    EXPECT_TRUE(debug->Text().empty());
}

TEST_F(SfpControllerPage, AudioMapPageUnlocksWithItsOwnCommand)
{
    ASSERT_TRUE(RequestPage(0xCF));
    module.ClearTrace();
    manager.UnlockControllerPage(0xCF);
    manager.UnlockControllerPage(0xC0);
    manager.CommitControllerPage(0xCF);
    EXPECT_EQ(module.Commands(), (std::vector<uint8_t> {1, 2, 3}));
}

TEST_F(SfpControllerPage, FailedCommandsAreReportedAndTheStatusStillRead)
{
    ASSERT_TRUE(RequestPage(0x84));
    module.ClearTrace();
    module.FailWritesOf(129);
    EXPECT_FALSE(manager.UnlockControllerPage(0x84));
    EXPECT_FALSE(manager.CommitControllerPage(0x84));
    EXPECT_TRUE(debug->Contains("UnlockControllerPage 0x84 Failed. Line 12802\n"));
    EXPECT_TRUE(debug->Contains("CommitControllerPage 0x84 Failed. Line 12819\n"));
    EXPECT_EQ(Trace(), (std::vector<FakeEmSfp::Transaction> {Rd(0x84, 128, 0x84), Rd(0x84, 128, 0x84)}));
}
