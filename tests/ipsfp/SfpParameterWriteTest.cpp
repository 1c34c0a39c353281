// Handing a parameter value to the module: single bytes go to their register,
// composite values to their two byte controls (which then wait to be
// written), other two-byte values to two registers most significant first,
// and wider values are refused.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "core/TpCommand.h"
#include "ipsfp/IpSfpManager.h"
#include "ipsfp/SfpParamTable.h"
#include "ipsfp/SfpProtocolState.h"

#include <memory>
#include <vector>

namespace {

class SfpParameterWrite : public IpSfpTest {
protected:
    void SetUp() override
    {
        IpSfpTest::SetUp();
        UseModule();
        ASSERT_TRUE(RequestPage(0x90));
        PollSfpStatus();
        module.ClearTrace();
    }
    // A value control of the IP menu.
    TpCommand& Control(uint16_t cmdId, int32_t value = 0)
    {
        controls.push_back(std::make_unique<TpCommand>(cmdId, 1));
        controls.back()->SetValue(value);
        return *controls.back();
    }
    SfpParamRow& Row(uint16_t cmdId)
    {
        SfpParamRow* row = SfpParamTable::Instance().Find(cmdId);
        EXPECT_NE(row, nullptr) << cmdId;
        return *row;
    }

    std::vector<std::unique_ptr<TpCommand>> controls;
    IpSfpManager manager;
};

} // namespace

TEST_F(SfpParameterWrite, OneByteGoesToItsRegister)
{
    EXPECT_TRUE(manager.SetNewParameterValue(0x90, 0xAB, 0x1FF, 1, 0x0D21));
    EXPECT_EQ(Trace(), (std::vector<FakeEmSfp::Transaction> {Wr(0x90, 0xAB, 0xFF)}));

    module.FailWritesOf(0xAB);
    EXPECT_FALSE(manager.SetNewParameterValue(0x90, 0xAB, 3, 1, 0x0D21));
    EXPECT_TRUE(debug->Contains("SFP ERROR SetNewParameterValue Page 0x90 failed on line 12640\n"));
}

TEST_F(SfpParameterWrite, UdpPortSplitsOverItsByteControls)
{
    TpCommand& msb = Control(COM_SFP_IP_DEST_UDP_PORT_MSB);
    TpCommand& lsb = Control(COM_SFP_IP_DEST_UDP_PORT_LSB);
    EXPECT_TRUE(manager.SetNewParameterValue(0x90, 0x95, 0x1234, 2, COM_SFP_IP_DEST_UDP_PORT));
    EXPECT_EQ(msb.GetValue(), 0x12);
    EXPECT_EQ(lsb.GetValue(), 0x34);
    EXPECT_TRUE(Trace().empty()) << "the byte controls carry it to the module";
    EXPECT_EQ(Row(COM_SFP_IP_DEST_UDP_PORT_MSB).pending, 1);
    EXPECT_EQ(Row(COM_SFP_IP_DEST_UDP_PORT_MSB).value, 0x12);
    EXPECT_EQ(Row(COM_SFP_IP_DEST_UDP_PORT_LSB).pending, 1);
    EXPECT_EQ(Row(COM_SFP_IP_DEST_UDP_PORT_LSB).value, 0x34);

    // Through the row's second control; an unchanged byte is not sent again.
    SfpParamTable::Instance().Reset();
    EXPECT_TRUE(manager.SetNewParameterValue(0x90, 0x95, 0x1299, 2, 0x0CD9));
    EXPECT_EQ(lsb.GetValue(), 0x99);
    EXPECT_EQ(Row(COM_SFP_IP_DEST_UDP_PORT_MSB).pending, 0);
    EXPECT_EQ(Row(COM_SFP_IP_DEST_UDP_PORT_LSB).pending, 1);
}

TEST_F(SfpParameterWrite, TwelveBitPairKeepsTheUpperNibble)
{
    TpCommand& msb = Control(COM_SFP_IP_WEB_VLAN_MSB, 0xE5);
    TpCommand& lsb = Control(COM_SFP_IP_WEB_VLAN_LSB);
    EXPECT_TRUE(manager.SetNewParameterValue(0x84, 0xB5, 0x0ABC, 2, COM_SFP_IP_WEB_VLAN_ID));
    EXPECT_EQ(msb.GetValue(), 0xEA);
    EXPECT_EQ(lsb.GetValue(), 0xBC);

    TpCommand& flowMsb = Control(COM_SFP_IP_FLOW_VLAN_MSB, 0x30);
    TpCommand& flowLsb = Control(COM_SFP_IP_FLOW_VLAN_LSB);
    EXPECT_TRUE(manager.SetNewParameterValue(0x90, 0x89, 0xF123, 2, COM_SFP_IP_FLOW_VLAN_ID));
    EXPECT_EQ(flowMsb.GetValue(), 0x31);
    EXPECT_EQ(flowLsb.GetValue(), 0x23);
    EXPECT_TRUE(Trace().empty());
}

TEST_F(SfpParameterWrite, MissingByteControlLeavesThePairAlone)
{
    TpCommand& msb = Control(COM_SFP_IP_SRC_UDP_PORT_MSB, 7);
    EXPECT_FALSE(manager.SetNewParameterValue(0x90, 0x93, 0x1234, 2, COM_SFP_IP_SRC_UDP_PORT));
    EXPECT_EQ(msb.GetValue(), 7);
    EXPECT_EQ(Row(COM_SFP_IP_SRC_UDP_PORT_MSB).pending, 0);
    EXPECT_TRUE(Trace().empty());
}

TEST_F(SfpParameterWrite, OtherTwoByteValuesGoToTheirRegisters)
{
    // The flow VLAN byte controls are not a catch-all: they stay as they are.
    TpCommand& vlanMsb = Control(COM_SFP_IP_FLOW_VLAN_MSB, 1);
    TpCommand& vlanLsb = Control(COM_SFP_IP_FLOW_VLAN_LSB, 2);

    EXPECT_TRUE(manager.SetNewParameterValue(0x90, 0xA7, 0x1234, 2, 0x0C48));
    EXPECT_TRUE(manager.SetNewParameterValue(0x90, 0xA0, 0xBEEF, 2, 0x0D48));   // second control of 0x0B03
    const std::vector<FakeEmSfp::Transaction> expected = {
        Wr(0x90, 0xA7, 0x12), Wr(0x90, 0xA8, 0x34), Wr(0x90, 0xA0, 0xBE), Wr(0x90, 0xA1, 0xEF),
    };
    EXPECT_EQ(Trace(), expected);
    EXPECT_EQ(vlanMsb.GetValue(), 1);
    EXPECT_EQ(vlanLsb.GetValue(), 2);
    EXPECT_EQ(Row(COM_SFP_IP_FLOW_VLAN_MSB).pending, 0);

    module.FailWritesOf(0xA8);
    EXPECT_FALSE(manager.SetNewParameterValue(0x90, 0xA7, 0x5678, 2, 0x0C48));
    EXPECT_TRUE(debug->Contains("SFP ERROR SetNewParameterValue Page 0x90 failed on line 12640\n"));

    module.ClearTrace();
    EXPECT_FALSE(manager.SetNewParameterValue(0x90, 0xFF, 0x5678, 2, 0x0C48));
    EXPECT_TRUE(Trace().empty()) << "no register after 0xFF";
}

TEST_F(SfpParameterWrite, WiderValuesAreRefused)
{
    for (uint32_t bytes : {0u, 3u, 4u, 6u, 16u}) {
        debug->Clear();
        EXPECT_FALSE(manager.SetNewParameterValue(0x84, 0xBC, 0x01020304, bytes, COM_SFP_IP_CONTR_RX_PACKETS));
        EXPECT_TRUE(debug->Contains("SFP ERROR SetNewParameterValue Page 0x84: a " + std::to_string(bytes) +
                                    "-byte value (0x0A34) cannot be written\n"))
            << debug->Text();
    }
    EXPECT_TRUE(Trace().empty());
}
