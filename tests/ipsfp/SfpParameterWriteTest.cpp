// Writes to the module: unlock/commit, single bytes, composite values via byte controls, wider values refused.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "core/store/TpCommand.h"

#include <memory>

namespace {

class SfpParameterWrite : public IpSfpModuleTest {
protected:
    void SetUp() override
    {
        IpSfpModuleTest::SetUp();
        SelectLoaded(0x90);
    }
    // A value control of the IP menu, as a user set it.
    TpCommand& Control(uint16_t cmdId, int32_t value = 0)
    {
        controls.push_back(std::make_unique<TpCommand>(cmdId, kKeepsValue));
        store.SetValue(cmdId, value);
        return *controls.back();
    }
    static SfpParamRow& Row(uint16_t cmdId) { return *SfpParamTable::Instance().Find(cmdId); }
    // The value booked for the row's byte on the page, waiting to be written; -1 for none.
    int32_t Booked(uint16_t cmdId, uint8_t page) const
    {
        const IpEdit* edit = manager.Edits().Find(Row(cmdId), page);
        return edit != nullptr && edit->state == IpEditState::Applied ? edit->value : -1;
    }

    std::vector<std::unique_ptr<TpCommand>> controls;
};

} // namespace

TEST_F(SfpParameterWrite, ControllerPageUnlockWriteCommit)
{
    ASSERT_FALSE(manager.Pages().ChangePage(0x84));
    ASSERT_TRUE(manager.Pages().ChangePage(0x84)) << "selected; the load completes at this poll";
    module.ClearTrace();
    EXPECT_TRUE(manager.Pages().UnlockControllerPage(0x84));
    EXPECT_TRUE(manager.Pages().SetNewParameterValue(0x84, 0x9A, 192, 1, COM_SFP_IP_CONTR_IP_ADD1));
    EXPECT_TRUE(manager.Pages().CommitControllerPage(0x84));
    const std::vector<Trans> expected = {
        Wr(0x84, 129, 2), Rd(0x84, 128, 0x86), Wr(0x84, 0x9A, 192), Wr(0x84, 129, 3), Rd(0x84, 128, 0x86),
    };
    EXPECT_EQ(Trace(), expected);
    EXPECT_EQ(Protocol().writePending, 0);
    EXPECT_TRUE(debug->Text().empty());

    // Failed commands are reported and the status is still read.
    module.ClearTrace();
    module.FailWritesOf(129);
    EXPECT_FALSE(manager.Pages().UnlockControllerPage(0x84));
    EXPECT_FALSE(manager.Pages().CommitControllerPage(0x84));
    EXPECT_TRUE(debug->Contains("UnlockControllerPage 0x84 Failed. Line 12802\n"));
    EXPECT_TRUE(debug->Contains("CommitControllerPage 0x84 Failed. Line 12819\n"));
    EXPECT_EQ(Trace(), (std::vector<Trans> {Rd(0x84, 128, 0x86), Rd(0x84, 128, 0x86)}));
}

TEST_F(SfpParameterWrite, AudioMapPageUnlocksWithItsOwnCommand)
{
    ASSERT_TRUE(SfpLink::RequestPage(0xCF));
    manager.Pages().UnlockControllerPage(0xCF);
    manager.Pages().UnlockControllerPage(0xC0);
    manager.Pages().CommitControllerPage(0xCF);
    EXPECT_EQ(module.Commands(), (std::vector<uint8_t> {1, 2, 3}));
}

TEST_F(SfpParameterWrite, OneByteGoesToItsRegister)
{
    EXPECT_TRUE(manager.Pages().SetNewParameterValue(0x90, 0xAB, 0x1FF, 1, 0x0D21));
    EXPECT_EQ(Trace(), (std::vector<Trans> {Wr(0x90, 0xAB, 0xFF)}));
    module.FailWritesOf(0xAB);
    EXPECT_FALSE(manager.Pages().SetNewParameterValue(0x90, 0xAB, 3, 1, 0x0D21));
    EXPECT_TRUE(debug->Contains("SFP ERROR SetNewParameterValue Page 0x90 failed on line 12640\n"));
}

TEST_F(SfpParameterWrite, CompositeValuesSplitOverTheirByteControls)
{
    TpCommand& msb = Control(COM_SFP_IP_DEST_UDP_PORT_MSB);
    TpCommand& lsb = Control(COM_SFP_IP_DEST_UDP_PORT_LSB);
    EXPECT_TRUE(manager.Pages().SetNewParameterValue(0x90, 0x95, 0x1234, 2, COM_SFP_IP_DEST_UDP_PORT));
    EXPECT_EQ(msb.GetValue(), 0x12);
    EXPECT_EQ(lsb.GetValue(), 0x34);
    EXPECT_EQ(Booked(COM_SFP_IP_DEST_UDP_PORT_MSB, 0x90), 0x12);
    EXPECT_EQ(Booked(COM_SFP_IP_DEST_UDP_PORT_LSB, 0x90), 0x34);

    // A byte the page was read holding is not sent again; each byte goes to the page the value was for.
    module.Seed(0x91, 0x95, {0x12, 0x34});
    SelectLoaded(0x91);
    store.SetValue(COM_SFP_IP_FLOW_SEL, 1);
    bool wrote = false;
    ASSERT_TRUE(manager.Configure().ProcessParameterRow(Row(COM_SFP_IP_DEST_UDP_PORT_MSB), wrote));
    EXPECT_TRUE(manager.Pages().SetNewParameterValue(0x91, 0x95, 0x1299, 2, 0x0CD9));
    EXPECT_EQ(lsb.GetValue(), 0x99);
    EXPECT_EQ(Booked(COM_SFP_IP_DEST_UDP_PORT_MSB, 0x91), -1);
    EXPECT_EQ(Booked(COM_SFP_IP_DEST_UDP_PORT_LSB, 0x91), 0x99);
    EXPECT_EQ(Booked(COM_SFP_IP_DEST_UDP_PORT_LSB, 0x90), 0x34) << "the first flow's edit kept apart";

    // Twelve-bit pairs keep the upper nibble of their high byte.
    module.ClearTrace();
    TpCommand& vlanMsb = Control(COM_SFP_IP_FLOW_VLAN_MSB, 0x30);
    TpCommand& vlanLsb = Control(COM_SFP_IP_FLOW_VLAN_LSB);
    EXPECT_TRUE(manager.Pages().SetNewParameterValue(0x90, 0x89, 0xF123, 2, COM_SFP_IP_FLOW_VLAN_ID));
    EXPECT_EQ(vlanMsb.GetValue(), 0x31);
    EXPECT_EQ(vlanLsb.GetValue(), 0x23);
    EXPECT_TRUE(Trace().empty()) << "the byte controls carry the values to the module";

    // The manager's own byte controls carry a pair no page shows.
    EXPECT_TRUE(manager.Pages().SetNewParameterValue(0x90, 0x93, 0x1234, 2, COM_SFP_IP_SRC_UDP_PORT));
    EXPECT_EQ(store.GetValue(COM_SFP_IP_SRC_UDP_PORT_MSB), 0x12);
    EXPECT_EQ(Booked(COM_SFP_IP_SRC_UDP_PORT_MSB, 0x90), 0x12);
    EXPECT_TRUE(Trace().empty());
}

TEST_F(SfpParameterWrite, OtherTwoByteValuesGoToTheirRegisters)
{
    // The flow VLAN byte controls are not a catch-all: they stay as they are.
    TpCommand& vlanMsb = Control(COM_SFP_IP_FLOW_VLAN_MSB, 1);
    TpCommand& vlanLsb = Control(COM_SFP_IP_FLOW_VLAN_LSB, 2);
    EXPECT_TRUE(manager.Pages().SetNewParameterValue(0x90, 0xA7, 0x1234, 2, 0x0C48));
    EXPECT_TRUE(manager.Pages().SetNewParameterValue(0x90, 0xA0, 0xBEEF, 2, 0x0D48));   // second control of 0x0B03
    const std::vector<Trans> expected = {
        Wr(0x90, 0xA7, 0x12), Wr(0x90, 0xA8, 0x34), Wr(0x90, 0xA0, 0xBE), Wr(0x90, 0xA1, 0xEF),
    };
    EXPECT_EQ(Trace(), expected);
    EXPECT_EQ(vlanMsb.GetValue(), 1);
    EXPECT_EQ(vlanLsb.GetValue(), 2);

    module.FailWritesOf(0xA8);
    EXPECT_FALSE(manager.Pages().SetNewParameterValue(0x90, 0xA7, 0x5678, 2, 0x0C48));
    EXPECT_TRUE(debug->Contains("SFP ERROR SetNewParameterValue Page 0x90 failed on line 12640\n"));
    module.ClearTrace();
    EXPECT_FALSE(manager.Pages().SetNewParameterValue(0x90, 0xFF, 0x5678, 2, 0x0C48));
    EXPECT_TRUE(Trace().empty()) << "no register after 0xFF";

    // Wider values are refused.
    for (uint32_t bytes : {0u, 3u, 4u, 6u, 16u}) {
        EXPECT_FALSE(manager.Pages().SetNewParameterValue(0x84, 0xBC, 0x01020304, bytes, COM_SFP_IP_CONTR_RX_PACKETS));
        EXPECT_TRUE(debug->Contains("SFP ERROR SetNewParameterValue Page 0x84: a " + std::to_string(bytes) +
                                    "-byte value (0x0A34) cannot be written\n"));
    }
    EXPECT_TRUE(Trace().empty());
}
