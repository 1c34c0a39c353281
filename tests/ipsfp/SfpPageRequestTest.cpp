// Page selection and byte writes: the exact bus traffic, the refusals while a
// load or a write is pending, a load that never completes and failed writes.
#include "IpSfpTest.h"

#include "board/SfpBoard.h"

using SfpPageRequest = IpSfpModuleTest;

TEST_F(SfpPageRequest, SelectIsOneWriteToRegister127)
{
    module.Poke(0xC0, 0x8F, 77);
    ASSERT_TRUE(RequestPage(0xC0));
    EXPECT_EQ(Trace(), (std::vector<Trans> {Wr(0, 127, 0xC0)}));
    EXPECT_EQ(SfpProtocol().pageSelected, 1);
    EXPECT_EQ(SfpProtocol().pageLoadPending, 1);
    EXPECT_EQ(SfpProtocol().selectedPage, 0xC0);

    PollSfpStatus();
    EXPECT_EQ(SfpProtocol().pageLoadPending, 0);
    uint8_t value = 0;
    ASSERT_EQ(sfp_read_byte(0x8F, &value), 1);
    EXPECT_EQ(value, 77) << "registers of the selected page";
    EXPECT_TRUE(debug->Text().empty());
}

TEST_F(SfpPageRequest, RefusedWithoutBusTrafficWhileSomethingIsPending)
{
    SfpProtocol().pageLoadPending = 1;
    SfpProtocol().writePending = 1;
    EXPECT_FALSE(RequestPage(0xC0));
    EXPECT_EQ(debug->Text(), "ERROR SFP request for page 192 (0xC0) while page load already pending\n");
    debug->Clear();
    SfpProtocol().pageLoadPending = 0;
    EXPECT_FALSE(RequestPage(0x84));
    EXPECT_EQ(debug->Text(), "ERROR SFP request for page 132 (0x84) while write pending\n");
    EXPECT_TRUE(Trace().empty());
    EXPECT_EQ(SfpProtocol().selectedPage, 0);
    EXPECT_EQ(SfpProtocol().pageSelected, 0);
}

TEST_F(SfpPageRequest, LoadThatNeverCompletesBlocksUntilTheModuleComesBack)
{
    module.SetPageLoadPolls(1000000);
    ASSERT_TRUE(RequestPage(0x91));
    for (int poll = 0; poll < 200; ++poll)
        PollSfpStatus();
    EXPECT_FALSE(RequestPage(0xC0));
    EXPECT_EQ(module.SelectedPage(), 0x91);

    ResetSfpProtocolState(1);
    EXPECT_FALSE(RequestPage(0xC0)) << "no reset while the module stays present";
    ResetSfpProtocolState(0);
    EXPECT_EQ(SfpProtocol().selectedPage, 0);
    EXPECT_EQ(SfpProtocol().pageSelected, 0);
    EXPECT_EQ(SfpProtocol().pageLoadPending, 0);
    ResetSfpProtocolState(1);
    EXPECT_TRUE(RequestPage(0xC0));
    EXPECT_EQ(module.SelectedPage(), 0xC0);
}

TEST_F(SfpPageRequest, FailedSelectStaysRecordedAndBlocksLaterRequests)
{
    module.FailAllWrites(true);
    EXPECT_FALSE(RequestPage(0x84));
    EXPECT_EQ(retryWaits, std::vector<uint32_t>(9, 20)) << "ten attempts 20 ms apart, none slept";
    EXPECT_EQ(debug->Text(), "SFP Write failed.  addr=0x7f\n");
    EXPECT_EQ(SfpProtocol().pageSelected, 1);
    EXPECT_EQ(SfpProtocol().pageLoadPending, 1);
    EXPECT_EQ(SfpProtocol().selectedPage, 0x84);

    module.FailAllWrites(false);
    EXPECT_FALSE(RequestPage(0x84));
    EXPECT_TRUE(debug->Contains("while page load already pending"));
}

TEST_F(SfpPageRequest, ByteWrites)
{
    // Before any page is selected: reported, and still made.
    ASSERT_TRUE(WriteByte(0x84, 0x9A, 10));
    EXPECT_EQ(debug->Text(), "ERROR WriteByte requested on page 0x84 before page selected. Addr=0x9A\n");
    EXPECT_EQ(Trace(), (std::vector<Trans> {Wr(0, 0x9A, 10)}));
    EXPECT_EQ(SfpProtocol().writePending, 1);

    // Pending flags do not hold writes back; a failed write changes nothing.
    SfpProtocol().writePending = 0;
    debug->Clear();
    ASSERT_TRUE(RequestPage(0x90));
    ASSERT_TRUE(WriteByte(0x90, 0x95, 0x12));
    ASSERT_TRUE(WriteByte(0x90, 0x96, 0x34));
    EXPECT_EQ(module.Peek(0x90, 0x95), 0x12);
    EXPECT_EQ(module.Peek(0x90, 0x96), 0x34);
    EXPECT_TRUE(debug->Text().empty());
    EXPECT_EQ(SfpProtocol().pageLoadPending, 1);

    SfpProtocol().writePending = 0;
    module.FailWritesOf(0x97);
    EXPECT_FALSE(WriteByte(0x90, 0x97, 1));
    EXPECT_EQ(SfpProtocol().writePending, 0);
    EXPECT_EQ(module.Peek(0x90, 0x97), 0);
}
