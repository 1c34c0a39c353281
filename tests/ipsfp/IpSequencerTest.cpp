// The update sequencer end to end, one status-page tick at a time: the flow
// alternation and both flows' controls, the audio map steps of either
// direction, the PTP views and the transmit state around a flow Apply.
#include "IpPageTest.h"

#include "ipsfp/manager/IpControlIds.h"

#include <ostream>
#include <vector>

namespace {

constexpr uint32_t kRed = 0xFF0000, kOrange = 0xFF7F00;

using IpSequencer = IpPageTest;

// The transmit switch's values a user or a client sets while a flow Apply runs, and the transmit bits written.
struct TransmitMeanwhile {
    const char* name;
    std::vector<int32_t> switched;
    std::vector<uint8_t> written;
};
void PrintTo(const TransmitMeanwhile& t, std::ostream* os) { *os << t.name; }

class IpTransmitAroundApply : public IpPageTest, public ::testing::WithParamInterface<TransmitMeanwhile> {};

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

    const int logged = Events(" 292 SSRC=");
    module.Poke(0x90, 0x97, 5);
    Tick(12);
    EXPECT_EQ(Events(" 292 SSRC=5"), 1);
    EXPECT_EQ(Events(" 292 SSRC="), logged + 1);
}

// On the ANC tab the flow model's port mirror of each flow follows that flow, read or edited.
TEST_F(IpSequencer, AncTabMirrorsEachFlowsPortReadOrEditedAndNamesItsFlows)
{
    Widgets({2951, 3332});   // destination port mirrors, encapsulation, first and second flow
    for (unsigned list : {0x0BA5u, 0x0D52u})
        for (const char* item : {"none", "one", "two"})
            store.GetCmd(list)->AddItem(item);
    module.Seed(0xD0, 0x95, {0x13, 0x88});
    module.Seed(0xD1, 0x95, {0x17, 0x70});
    module.Poke(0xD0, 0xAD, 0x02);   // the ANC field, bits 1-2: 1 on the first flow, 2 on the second
    module.Poke(0xD1, 0xAD, 0x04);
    Fit(3);
    Tick(12);
    EXPECT_EQ(store.GetValue(2951), 5000);
    EXPECT_EQ(store.GetValue(3332), 6000);
    EXPECT_EQ(store.GetCmdText(3395), "one");
    EXPECT_EQ(store.GetCmdText(3409), "two");
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
    Fit();
    ReadManagement();
    Tab(6);
    const int8_t& step = Mgr().Sequencer().DecapMapStep();
    int ticks = 0;
    for (; ticks < 40 && step != 7; ++ticks)
        Tick();
    ASSERT_EQ(step, 7);
    EXPECT_EQ(ticks, 14) << "a step every second tick";
    EXPECT_TRUE(Selected(0xA0)) << "step 6: the first audio flow's page";
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
    ASSERT_NE(Mgr().Dialogs().OpenDialog(IpSubDialog::DecMap), nullptr);
    Tick(4);
    CloseDialog(Mgr().Dialogs().OpenDialog(IpSubDialog::DecMap));
    module.ClearTrace();
    Tick(30);
    EXPECT_TRUE(Selected(0xA0)) << "step 6 selects the audio flow's page again";
}

// A flow Apply switches the transmit off while the flow is written and on again once it is; a transmit a user or
// a client switches meanwhile (the switch's values in turn) stays as they set it, and the switch shows it.
TEST_P(IpTransmitAroundApply, TheFlowKeepsTheTransmitSetMeanwhile)
{
    const TransmitMeanwhile& c = GetParam();
    SimEmSfpFlags().SetMode2022(1);   // 2022-6 firmware: the transmit flag is bit 0 of register 172
    Fit(1);
    Tick(4);
    store.SetValue(COM_SFP_IP_TX_OFF_ON, 1);
    Tick(12);
    ASSERT_EQ(WrittenTo(0x90, 0xAC), (std::vector<uint8_t> {1}));
    store.SetValue(COM_SFP_IP_DST_IP_ADD4, 226);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    TickUntil([&] { return WrittenTo(0x90, 0xAC).size() == 2; }, 24);   // the Apply switched it off
    for (int32_t value : c.switched)
        store.SetValue(COM_SFP_IP_TX_OFF_ON, value);
    Tick(24);
    EXPECT_EQ(module.Peek(0x90, 0x8F), 226);
    EXPECT_EQ(WrittenTo(0x90, 0xAC), c.written);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_TX_OFF_ON), c.written.back());
}

INSTANTIATE_TEST_SUITE_P(Meanwhile, IpTransmitAroundApply,
                         ::testing::Values(TransmitMeanwhile {"NotSwitched", {}, {1, 0, 1}},
                                           TransmitMeanwhile {"SwitchedOff", {1, 0}, {1, 0, 0}}),
                         [](const ::testing::TestParamInfo<TransmitMeanwhile>& info) { return info.param.name; });

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

// The decapsulating audio tab checks the first flow's channel count against its limit and summarises both flows.
TEST_F(IpSequencer, AudioTabChecksTheChannelCountAndSummarisesBothFlows)
{
    Widgets({3391, 3392, 3399, 3402});
    for (unsigned list : {0x0BB1u, 0x0D50u})
        for (const char* item : {"a", "b"})
            store.GetCmd(list)->AddItem(item);
    module.Seed(0xA0, 0xA2, {11, 0, 0});   // first flow: 11 channels, format item 0
    module.Poke(0xB0, 0xA4, 1);            // second flow: format item 1
    SimEmSfpFlags().SetDecapsulation(1);
    Fit(2);
    Tick(12);
    EXPECT_EQ(store.GetCmd(0x0BB1)->GetColour(), kRed) << "11 channels: above the limit of 10";
    EXPECT_EQ(store.GetCmd(3406)->GetColour(), kRed);
    EXPECT_EQ(store.GetCmdText(3399), "b") << "the second flow's summary";
    module.Poke(0xA0, 0xA2, 10);
    Tick(12);
    EXPECT_EQ(store.GetCmd(0x0BB1)->GetColour(), 0u);
    EXPECT_EQ(store.GetCmd(3406)->GetColour(), 0xFFFFFFu);
}

// With the encoder map dialog open on map channel 3, the map page is made idle, turned to flow 3, unlocked, its
// channel count written and committed; the audio grid and the map store take flow 3's channels.
TEST_F(IpSequencer, EncoderMapCommitsTheChosenFlowsMap)
{
    module.Poke(0xCF, 131, 3);   // flow 3's map: channel 1 SDI 11 active, 2 SDI 200, 5 SDI 4 active; count 2
    module.Seed(0xCF, 0x84, {2, 0, 11, 1, 0, 200, 0});
    module.Seed(0xCF, 0x91, {0, 4, 1});
    module.Poke(0xCF, 131, 0);
    module.Poke(0xCF, 130, 1);   // the map is busy
    Fit(6);
    store.SetValue(0x0D26, 1);   // the encoder audio map
    store.SetValue(0x0DC2, 3);
    Tick(30);
    EXPECT_EQ(Writes(0xCF), (std::vector<Trans> {Wr(0xCF, 130, 0), Wr(0xCF, 131, 3), Wr(0xCF, 129, 1),
                                                 Wr(0xCF, 0x84, 5), Wr(0xCF, 129, 3)}));
    EXPECT_TRUE(debug->Contains("\nCommit EncAudMapPg\n"));
    EXPECT_EQ(module.PeekMap(3, 0x84), 5) << "channels up to the last active one";
    EXPECT_EQ(store.GetValue(COM_SFP_IP_ENC_AUD_MAP_NUMBER_OF_CHANNELS_TO_EMBED), 5);
    const TpCommand& grid = *store.GetCmd(3362);   // flow 3's cells: item 2 + 9 x channel + 10
    EXPECT_EQ(grid.GetItemText(12), "G3P2-R");
    EXPECT_EQ(grid.GetItemText(21), "") << "an SDI channel past the sixteen names";
    EXPECT_EQ(grid.GetItemText(48), "G2P1-L");
    EXPECT_EQ(grid.GetItemText(57), "-") << "channel 6: past the count";
    EXPECT_EQ(grid.GetColour(12), 0xAFAFAFu) << "grey: the flow's transmit is not known on";

    store.SetValue(0x0DC2, 1);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_ENC_AUD_MAP_CHANNEL_1_SDI_CHANNEL_TO_EMBED), 0);
    store.SetValue(0x0DC2, 3);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_ENC_AUD_MAP_CHANNEL_1_SDI_CHANNEL_TO_EMBED), 11) << "flow 3's saved map";
    EXPECT_EQ(store.GetValue(COM_SFP_IP_ENC_AUD_MAP_CHANNEL_5_ACTIVE), 1);
}

// With a module that reports a page loaded only at the second status poll after its select, the pages the menu
// keeps for a tick or two are read all the same: the first video flow in its two ticks of the alternation, and
// each PTP view in its one tick.
TEST_F(IpSequencer, PagesShownForATickOrTwoAreReadWithAModuleThatNeedsAPoll)
{
    module.SetPageLoadPolls(1);
    module.SetWritePolls(1);
    module.Seed(0x91, 0x8F, {238, 1, 2, 4});
    module.Poke(0x90, 0x97, 1);   // SSRC byte 1 of each flow
    module.Poke(0x91, 0x97, 2);
    module.Poke(0xF0, 0x84, 1);   // the first PTP view's lock state; the second's is 0
    Widgets({2904, 3465});
    Fit(1);
    Tick(30);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), 239) << "the first flow's destination";
    EXPECT_EQ(store.GetValue(0x0CE8), 238) << "the second flow's";
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_SSRC_EDITBOX), "1");
    EXPECT_EQ(store.GetCmdText(3290), "2");
    Tab(4);
    Tick(10);
    EXPECT_EQ(store.GetCmdText(2904), "Coarse Lock") << "the first view's";
    EXPECT_EQ(store.GetCmdText(3465), "Fine Lock") << "the second view's";
}

// A PTP edit locks the other view; the page is updated on the ticks on which the wait reaches 5 to 15, and the
// sixteenth ends the wait with both views enabled again. The page reads show the active source.
TEST_F(IpSequencer, PtpEditWaitsThenUpdatesTheFifthToFifteenthTick)
{
    Fit();
    ReadManagement();
    Tab(4);
    Tick(4);
    store.SetValue(0x0C23, 2);   // a first-view PTP field: bits 1-2 of register 0x86
    EXPECT_FALSE(store.GetCmd(0x0D8A)->IsEnabled());
    std::vector<bool> updated;
    for (int tick = 0; tick <= 16; ++tick) {
        module.ClearTrace();
        Tick();
        updated.push_back(ReadOn(0xF0) || !Writes(0xF0).empty());
    }
    EXPECT_EQ(updated, (std::vector<bool> {false, false, false, false, false, true, true, true, true, true, true,
                                            true, true, true, true, true, false}));
    EXPECT_TRUE(store.GetCmd(0x0D8A)->IsEnabled());
    EXPECT_EQ(module.Peek(0xF0, 0x86), 0x04);

    // Each read samples the packet counter of its view's source; a count that moves only on the second source
    // makes it the active one.
    Widgets({3495, 3144, 3484});   // the active source, the two sources' packet counters
    Tick(2);
    EXPECT_EQ(store.GetCmdText(3495), "Source 1");
    module.Poke(0xF1, 0xA8, 5);
    Tick(2);
    EXPECT_EQ(store.GetCmdText(3495), "Source 2");
}
