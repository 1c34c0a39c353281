// The update sequencer end to end, one status-page tick at a time: the flow
// alternation and both flows' controls, the audio map steps of either
// direction, the PTP views and the transmit state around a flow Apply.
#include "IpPageTest.h"

#include "ipsfp/manager/IpControlIds.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kOrange = 0xFF7F00;

using IpSequencer = IpPageTest;

} // namespace

// The video tab alternates the flows (0, 0, 0, then 1 for eight ticks, then 0, 0 ...); each flow's values land in
// its own controls and each SSRC is logged once, when it changes.
TEST_F(IpSequencer, VideoTabShowsEachFlowInItsOwnControlsAndLogsEachSsrcOnce)
{
    LogStatus();
    module.Seed(0x90, 0x83, {0x01, 0x00, 0x5E, 0x01, 0x02, 0x03});   // first flow: 239.1.2.3's MAC
    module.Seed(0x91, 0x83, {0x01, 0x00, 0x5F, 0x01, 0x02, 0x03});   // second flow: byte 3 off the mapping
    module.Seed(0x91, 0x8F, {239, 1, 2, 3});
    module.Poke(0x90, 0x97, 1);      // SSRC byte 1 of each flow
    module.Poke(0x91, 0x97, 2);
    module.Poke(0x90, 0xA0, 0x80);   // standard valid on the first flow only
    Fit(1);
    std::vector<int32_t> selector {store.GetValue(COM_SFP_IP_FLOW_SEL)};
    for (int i = 1; i < 21; ++i) {
        Tick();
        selector.push_back(store.GetValue(COM_SFP_IP_FLOW_SEL));
    }
    EXPECT_EQ(selector, (std::vector<int32_t> {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(debug->Contains("\n\nPRI\n\n") && debug->Contains("\n\nSEC\n\n"));
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_SSRC_EDITBOX), "1");
    EXPECT_EQ(store.GetCmdText(3290), "2");
    EXPECT_EQ(Events(" 292 SSRC=1"), 1);
    EXPECT_EQ(Events(" 292 SSRC=2"), 1);
    EXPECT_NE(store.GetCmd(0x0A3A)->GetColour(), kRed) << "the first flow's bit rate";
    EXPECT_EQ(store.GetCmd(0x0CDB)->GetColour(), kRed) << "the second flow's";
    EXPECT_NE(store.GetCmd(0x0A1E)->GetColour(), kRed) << "MAC byte 3 of the first flow";
    EXPECT_EQ(store.GetCmd(0x0CEC)->GetColour(), kRed) << "MAC byte 3 of the second flow";

    module.Poke(0x90, 0x97, 5);
    Tick(12);
    EXPECT_EQ(Events(" 292 SSRC=5"), 1);
    EXPECT_EQ(Events(" 292 SSRC="), 3);
}

// On the ANC tab the flow model's port mirror of each flow follows that flow, read or edited.
TEST_F(IpSequencer, AncTabMirrorsEachFlowsPortReadOrEdited)
{
    Widgets({2951, 3332});   // destination port mirrors, encapsulation, first and second flow
    module.Seed(0xD0, 0x95, {0x13, 0x88});
    module.Seed(0xD1, 0x95, {0x17, 0x70});
    Fit(3);
    Tick(12);
    EXPECT_EQ(store.GetValue(2951), 5000);
    EXPECT_EQ(store.GetValue(3332), 6000);
    store.SetValue(COM_SFP_IP_DEST_UDP_PORT_VIEW2, 7000);
    EXPECT_EQ(store.GetValue(3332), 7000);
    EXPECT_EQ(store.GetCmd(3332)->GetColour(), kOrange);
    EXPECT_EQ(store.GetValue(2951), 5000);
    EXPECT_NE(store.GetCmd(2951)->GetColour(), kOrange);
}

// The decoder map steps run every second tick of the "Audio Map" tab; their audio page stands in for the pages of
// that tab only, and the steps start again once the decoder map dialog has closed.
TEST_F(IpSequencer, DecoderMapStepsKeepToTheirTabAndRestartAfterTheMapDialog)
{
    SimEmSfpFlags().SetDecapsulation(1);
    Fit(6);
    int8_t& step = SfpLink::State().decapMapStep;
    for (int i = 0; i < 40 && step != 7; ++i)
        Tick();
    ASSERT_EQ(step, 7);
    module.ClearTrace();
    ReadManagement();
    EXPECT_EQ(store.GetValue(COM_SFP_IP_CONTR_IP_ADD4), 192);
    store.SetValue(COM_SFP_IP_CONTR_IP_ADD1, 11);
    store.SetValue(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, 1);
    Tick(10);
    EXPECT_EQ(Writes(0x84), (std::vector<Trans> {Wr(0x84, 129, 2), Wr(0x84, 0x9A, 11), Wr(0x84, 129, 3)}));
    EXPECT_TRUE(Writes(0xA0).empty());

    Tab(6);
    store.SetValue(0x0D2B, 1);   // the decoder audio map
    ASSERT_NE(Mgr().OpenDialog(IpSfpManager::SubDialog::DecMap), nullptr);
    Tick(4);
    CloseDialog(Mgr().OpenDialog(IpSfpManager::SubDialog::DecMap));
    module.ClearTrace();
    Tick(30);
    EXPECT_TRUE(Selected(0xA0)) << "step 6 selects the audio flow's page again";
}

// A flow Apply switches the transmit off while the flow is written and on again once it is.
TEST_F(IpSequencer, FlowApplyTurnsTheTransmitBackOn)
{
    SimEmSfpFlags().SetMode2022(1);   // 2022-6 firmware: the transmit flag is bit 0 of register 172
    Fit(1);
    Tick(4);
    store.SetValue(COM_SFP_IP_TX_OFF_ON, 1);
    Tick(12);
    ASSERT_EQ(WrittenTo(0x90, 0xAC), (std::vector<uint8_t> {1}));
    store.SetValue(COM_SFP_IP_DST_IP_ADD4, 226);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    Tick(24);
    EXPECT_EQ(module.Peek(0x90, 0x8F), 226);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_TX_OFF_ON), 1);
    EXPECT_EQ(WrittenTo(0x90, 0xAC), (std::vector<uint8_t> {1, 0, 1}));
}

// The progress countdown a mode switch starts is worked off one status poll a tick.
TEST_F(IpSequencer, TheBusyIndicatorPollsOnceATick)
{
    Fit();
    ReadManagement();
    Tab(0);   // a tab that reads no page
    Tick(3);
    Mgr().SetModuleMode(0);
    module.ClearTrace();
    Tick();
    EXPECT_EQ(std::ranges::count(Trace(), uint8_t {128}, &Trans::reg), 1);
}
