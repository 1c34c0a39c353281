// The update sequencer's smaller steps end to end, one status-page tick at a
// time: the transmit switch with either firmware, the encoder map commit of
// the "Audio Flows" tab, the copies into the second flow's views and what a
// closing window restarts.
#include "IpPageTest.h"

#include "ipsfp/manager/IpControlIds.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr uint32_t kRed = 0xFF0000;

using IpSequencerSteps = IpPageTest;

} // namespace

// The flow alternation changes the flow selector every few ticks; the map of the selected audio flow is still
// unlocked, its channel count written and committed, so a module that applies writes on the commit holds it.
TEST_F(IpSequencerSteps, AudioTabCommitsTheSelectedFlowsEncoderMap)
{
    module.SetStagedWrites(true);
    module.Poke(0xCF, 131, 1);   // flow 1's map: count 2, channel 5 (SDI 4) active
    module.Seed(0xCF, 0x84, {2});
    module.Seed(0xCF, 0x91, {0, 4, 1});
    module.Poke(0xCF, 131, 0);
    Fit(2);
    Tick(300);
    EXPECT_TRUE(debug->Contains("\nCommit EncAudMapPg\n"));
    EXPECT_EQ(module.PeekMap(1, 0x84), 5) << "channels up to the last active one, applied by the commit";
    const std::vector<uint8_t> commands = WrittenTo(0xCF, 129);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), 1) << "unlocked";
    EXPECT_EQ(commands.back(), 3) << "not left unlocked";
}

// With 2110 firmware the flow's transmit flag is bit 0 of register 173 of the flow page; register 172 holds a
// standard field there and is left alone.
TEST_F(IpSequencerSteps, TransmitSwitchWritesRegister173With2110Firmware)
{
    Fit(1);
    Tick(4);
    store.SetValue(COM_SFP_IP_TX_OFF_ON, 1);
    Tick(12);
    EXPECT_EQ(WrittenTo(0x90, 0xAD), (std::vector<uint8_t> {1}));
    EXPECT_TRUE(WrittenTo(0x90, 0xAC).empty());
    EXPECT_EQ(module.Peek(0x90, 0xAD), 1);
}

// The video re-read copies the first flow's standard into the second flow's views, where it becomes the second
// flow's edit and is written to its page.
TEST_F(IpSequencerSteps, VideoRereadCopiesTheStandardIntoTheSecondFlow)
{
    module.Poke(0x90, 0xAE, 1);     // 0x0C22 of the first flow
    module.Poke(0x90, 0xA1, 0x90);  // frame rate 9 (50) of the first flow
    Fit(1);
    Tick(12);
    ASSERT_EQ(store.GetValue(0x0C22), 1);
    ASSERT_EQ(store.GetValue(0x0D61), 0) << "the second flow's own value";
    store.SetValue(0x0D75, 1);      // the video re-read
    Tick(7);
    EXPECT_EQ(store.GetValue(0x0D61), 1);
    EXPECT_EQ(store.GetValue(0x0D1E), 9);
    Tick(12);
    EXPECT_EQ(module.Peek(0x91, 0xAE), 1);
    EXPECT_EQ(module.Peek(0x91, 0xA1) >> 4, 9);
    EXPECT_EQ(module.Peek(0x90, 0xAE), 1) << "the first flow keeps its own";
}

// The audio packet copy of a decapsulating module copies the first audio flow's packet field into the second
// flow's, which the module then holds too.
TEST_F(IpSequencerSteps, AudioPacketCopyCopiesTheFirstFlowsFieldIntoTheSecond)
{
    for (const char* item : {"a", "b"})
        store.GetCmd(0x0BB1)->AddItem(item);
    module.Poke(0xA0, 0xA4, 1);     // 0x0BB1: the first flow has item 1, the second item 0
    SimEmSfpFlags().SetDecapsulation(1);
    Fit(2);
    Tick(12);
    ASSERT_EQ(store.GetValue(0x0BB1), 1);
    ASSERT_EQ(store.GetValue(0x0D50), 0);
    store.SetValue(0x0DE8, 1);      // the audio packet copy
    Tick(7);
    EXPECT_EQ(store.GetValue(0x0D50), 1);
    Tick(12);
    EXPECT_EQ(module.Peek(0xB0, 0xA4), 1);
    EXPECT_EQ(store.GetValue(0x0D50), 1);
}

// The decoder map steps of the "Audio Map" tab check the channel count of the audio flows they read and summarise
// them, as the "Audio Flows" tab does.
TEST_F(IpSequencerSteps, DecoderMapStepsCheckTheAudioFlowsChannelCount)
{
    Widgets({3391, 3392, 3399, 3402});
    for (unsigned list : {0x0BB1u, 0x0DACu})
        for (const char* item : {"a", "b"})
            store.GetCmd(list)->AddItem(item);
    for (uint8_t page = 0xA0; page <= 0xA3; ++page)
        module.Seed(page, 0xA2, {11, 0, 0});   // every audio flow: 11 channels, format item 0
    SimEmSfpFlags().SetDecapsulation(1);
    Fit(6);
    Tick(64);
    EXPECT_EQ(store.GetCmd(0x0BB1)->GetColour(), kRed) << "11 channels: above the limit of 10";
    EXPECT_EQ(store.GetCmd(3391)->GetColour(), kRed);
}

// A closing window starts the decoder map steps again at step 0; so does the set-up tab taking the focus (here
// asked for by the video re-read on that tab). While the decoder map dialog is open they stay stopped.
TEST_F(IpSequencerSteps, ClosingAWindowOrFocusingTheSetupTabRestartsTheDecoderMapSteps)
{
    SimEmSfpFlags().SetDecapsulation(1);
    Fit(6);
    const int8_t& step = Mgr().Sequencer().DecapMapStep();
    for (int ticks = 0; ticks < 40 && step != 8; ++ticks)
        Tick();
    ASSERT_EQ(step, 8);
    store.SetValue(COM_SFP_IP_IGMP_BOX, 1);
    CloseDialog(Mgr().Dialogs().OpenDialog(IpSubDialog::Igmp));
    EXPECT_EQ(step, 0);

    for (int ticks = 0; ticks < 40 && step != 8; ++ticks)
        Tick();
    ASSERT_EQ(step, 8);
    Tab(7);
    store.SetValue(0x0D75, 1);
    Tick();
    EXPECT_EQ(step, 0);

    Tab(6);
    store.SetValue(0x0D2B, 1);   // the decoder audio map
    ASSERT_NE(Mgr().Dialogs().OpenDialog(IpSubDialog::DecMap), nullptr);
    store.SetValue(COM_SFP_IP_IGMP_BOX, 1);
    CloseDialog(Mgr().Dialogs().OpenDialog(IpSubDialog::Igmp));
    EXPECT_EQ(step, -1) << "the map dialog's edits are not reset by step 6";
}

// A closing window reads the flow shown afresh: its page is selected again though the selector did not change.
TEST_F(IpSequencerSteps, ClosingAWindowSelectsTheShownFlowsPageAgain)
{
    Fit(1);
    Tick(20);  // the module's page table is read
    // Wait for the alternation to turn to the second flow: the selector then stays 1 for a few ticks.
    int ticks = 0;
    while (store.GetValue(COM_SFP_IP_FLOW_SEL) == 1 && ticks++ < 20)
        Tick();
    while (store.GetValue(COM_SFP_IP_FLOW_SEL) != 1 && ticks++ < 40)
        Tick();
    ASSERT_EQ(store.GetValue(COM_SFP_IP_FLOW_SEL), 1);
    Tick();
    module.ClearTrace();
    Tick();
    ASSERT_FALSE(Selected(0x91));
    store.SetValue(COM_SFP_IP_IGMP_BOX, 1);
    CloseDialog(Mgr().Dialogs().OpenDialog(IpSubDialog::Igmp));
    Tick();
    EXPECT_TRUE(Selected(0x91));
}

// A client may set the flow selector to any number: each new value selects its page, the largest and the one
// before the first flow alike.
TEST_F(IpSequencerSteps, AnyFlowSelectorValueSelectsItsPage)
{
    Fit(1);
    Tick(20);
    for (const int32_t flow : {INT32_MAX, -1, INT32_MIN, 1}) {
        module.ClearTrace();
        store.SetValue(COM_SFP_IP_FLOW_SEL, flow);
        EXPECT_TRUE(std::any_of(Trace().begin(), Trace().end(), [](const Trans& t) { return t.write && t.reg == 127; }))
            << flow;
    }
    EXPECT_TRUE(Selected(0x91));
}

// The same for the other page selectors, from the first value after the page table's pages were read: -1, a
// list without a selection, selects the first flow's or view's page as -2 does.
TEST_F(IpSequencerSteps, AnyPageSelectorValueSelectsItsPageAfterThePageTable)
{
    Fit(1);
    Tick(40);
    for (const unsigned selector :
         {COM_SFP_IP_AUDIO_FLOW_SEL, COM_SFP_IP_ANC_FLOW_SEL, COM_SFP_IP_PTP_SEL, COM_SFP_IP_BLOCK_E_SEL}) {
        for (const int32_t value : {-1, -2, INT32_MAX, INT32_MIN}) {
            module.ClearTrace();
            store.SetValue(selector, value);
            EXPECT_TRUE(std::any_of(Trace().begin(), Trace().end(),
                                    [](const Trans& t) { return t.write && t.reg == 127; }))
                << selector << " = " << value;
        }
    }
}

// On "Audio Flows" a client may set the audio flow selector to any number: the encoder map steps go on, each
// map committed for one of the flows 1 to 8.
TEST_F(IpSequencerSteps, AnyAudioFlowSelectorValueKeepsTheEncoderMapsOnFlowsOneToEight)
{
    Fit(2);
    Tick(20);
    for (const int32_t flow : {INT32_MAX, INT32_MIN, 8, -1}) {
        module.ClearTrace();
        store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, flow);
        Tick(40);
        const std::vector<uint8_t> flows = WrittenTo(0xCF, 131);
        EXPECT_FALSE(flows.empty()) << flow;
        EXPECT_TRUE(std::all_of(flows.begin(), flows.end(), [](uint8_t f) { return f >= 1 && f <= 8; })) << flow;
    }
}

// A window closing on a flow tab puts the audio map position back: the encoder map steps then start with the
// first flow's map, not with the one after the flow last committed.
TEST_F(IpSequencerSteps, AWindowClosingOnAFlowTabStartsTheEncoderMapsAtTheFirstFlow)
{
    Fit(6);
    store.SetValue(0x0D26, 1);   // the encoder audio map, on flow 3
    store.SetValue(0x0DC2, 3);
    Tick(30);
    ASSERT_TRUE(debug->Contains("\nCommit EncAudMapPg\n"));
    CloseDialog(Mgr().Dialogs().OpenDialog(IpSubDialog::EncMap));
    Tab(1);
    Tick(2);
    store.SetValue(COM_SFP_IP_IGMP_BOX, 1);
    CloseDialog(Mgr().Dialogs().OpenDialog(IpSubDialog::Igmp));
    module.ClearTrace();
    Tab(6);
    Tick(300);
    const std::vector<uint8_t> flows = WrittenTo(0xCF, 131);
    ASSERT_FALSE(flows.empty());
    EXPECT_EQ(flows.front(), 1);
}
