// The IP menu's flow checks and layout end to end, one status-page tick at a
// time: the restriction on reserved multicast destinations, the controls each
// direction shows, the page table read whatever tab is shown, the flow's MAC
// as one text, a typed SSRC in the flow's label until its edit ends, and the
// PTP texts.
#include "IpPageTest.h"

#include "ipsfp/manager/IpControlIds.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kOrange = 0xFF7F00;
constexpr const char* kIanaText = "IANA range 224.0.0.0-224.0.1.255 restriction!";

class IpFlowChecks : public IpPageTest {
protected:
    // The first flow's destination, in dotted order (the first octet is byte 4, 0x0A1A).
    void Destination(int a, int b, int c, int d)
    {
        store.SetValue(0x0A1A, a);
        store.SetValue(0x0A19, b);
        store.SetValue(0x0A18, c);
        store.SetValue(0x0A17, d);
    }
    bool ApplyEnabled() const { return store.GetCmd(COM_SFP_IP_FLOWS_IP_APPLY_BTN)->IsEnabled(); }
    bool Visible(unsigned id) const { return store.GetCmd(id)->IsVisible(); }
    bool PageTableRead() const
    {
        return std::ranges::all_of(SfpLink::State().pageTable,
                                   [](const SfpPageEntry& e) { return e.page == 0 || e.loaded != 0; });
    }
};

} // namespace

// A destination in 224.0.0.0-224.0.1.255 shows the warning and leaves the flows' Apply unusable, also while the
// pages are read; a permitted one shows none and leaves Apply usable; Cancel takes the warning down.
TEST_F(IpFlowChecks, AReservedDestinationWarnsAndTakesTheFlowApplyAway)
{
    Fit(1);
    Tick(12);
    Destination(224, 0, 0, 5);
    EXPECT_EQ(store.GetCmdText(3251), kIanaText);
    EXPECT_TRUE(Visible(3251));
    EXPECT_FALSE(ApplyEnabled());
    Tick(12);
    EXPECT_EQ(store.GetCmdText(3251), kIanaText) << "the reads keep the check";
    EXPECT_FALSE(ApplyEnabled());

    Destination(239, 1, 2, 3);
    EXPECT_EQ(store.GetCmdText(3251), "");
    EXPECT_FALSE(Visible(3251));
    EXPECT_TRUE(ApplyEnabled());

    store.SetValue(COM_SFP_IP_DST_IP_ADD2, 1);   // 224.0.1.3: the second reserved range
    store.SetValue(COM_SFP_IP_DST_IP_ADD4, 224);
    store.SetValue(COM_SFP_IP_DST_IP_ADD3, 0);
    EXPECT_EQ(store.GetCmdText(3251), kIanaText);
    EXPECT_FALSE(ApplyEnabled());
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_EQ(store.GetCmdText(3251), "");
    EXPECT_FALSE(Visible(3251));
    EXPECT_EQ(store.GetValue(0x0A1A), 239) << "the module's destination back";
}

// Each direction shows its own flow controls, with either firmware, and hides the other's; the controls hidden
// at start are hidden once the manager is built.
TEST_F(IpFlowChecks, EachDirectionShowsItsFlowControlsAndHidesTheOthers)
{
    for (unsigned id : {3113, 3343, 3114})   // counters hidden
        EXPECT_FALSE(Visible(id)) << id;
    Widgets({3071, 3423, 3357, 3424});   // hidden at start: widgets the pages show before a manager is built
    {
        const IpSfpManager built;
        for (unsigned id : {3071, 3423, 3357, 3424})
            EXPECT_FALSE(Visible(id)) << id;
    }

    // encapsulation: filter 3254, first views 2801, second views 2954, second flow 3320;
    // decapsulation: filter 3373, first views 2815, second views 3008, second flow 3336 and 3346
    const unsigned encap[] = {3254, 2801, 2954, 3320};
    const unsigned decap[] = {3373, 2815, 3008, 3336, 3346};
    Widgets({3254, 3373, 2801, 2815, 2954, 3008, 3320, 3336, 3346});
    Fit();
    for (uint8_t mode2022 : {0, 1}) {
        SimEmSfpFlags().SetMode2022(mode2022);
        for (uint8_t decapsulation : {1, 0}) {
            SimEmSfpFlags().SetDecapsulation(decapsulation);
            Tick(2);
            for (unsigned id : encap)
                EXPECT_EQ(Visible(id), decapsulation == 0) << id << " 2022-6 " << int {mode2022};
            for (unsigned id : decap)
                EXPECT_EQ(Visible(id), decapsulation == 1) << id << " 2022-6 " << int {mode2022};
        }
    }
}

// Straight after insertion on any tab, the page table's pages are read: the box stops reading and the factory
// resets become usable, and the tab's own pages are read after them.
TEST_F(IpFlowChecks, ThePageTableIsReadWhateverTabIsShown)
{
    Fit(1);
    Tick(20);
    EXPECT_TRUE(PageTableRead());
    EXPECT_EQ(store.GetValue(COM_SFP_IP_CONTR_IP_ADD4), 192) << "the management address";
    EXPECT_EQ(store.GetValue(0x0A1A), 239) << "the video flow's destination";
    EXPECT_EQ(Progress(), "");
    EXPECT_TRUE(store.GetCmd(COM_SFP_IP_FACT_RESET1)->IsEnabled());
    EXPECT_TRUE(store.GetCmd(COM_SFP_IP_FACT_RESET2)->IsEnabled());

    for (int tab : {0, 2, 3, 4, 6}) {
        SimEmSfpFlags().SetDecapsulation(SimEmSfpFlags().Decapsulation() == 0 ? 1 : 0);   // read afresh
        Tick();
        Tab(tab);
        Tick();
        EXPECT_EQ(Progress().rfind("Reading SFP ", 0), 0u) << tab;
        EXPECT_FALSE(store.GetCmd(COM_SFP_IP_FACT_RESET1)->IsEnabled()) << tab;
        Tick(20);
        EXPECT_TRUE(PageTableRead()) << tab;
        EXPECT_EQ(Progress().find("Reading SFP "), std::string::npos) << tab;
        EXPECT_TRUE(store.GetCmd(COM_SFP_IP_FACT_RESET2)->IsEnabled()) << tab;
    }
}

// The flow's MAC as one text: each byte's digits in its control's colour (white for none), the colons white.
TEST_F(IpFlowChecks, TheMacTextShowsEachByteInItsColour)
{
    module.Seed(0xD0, 0x83, {0x01, 0x00, 0x5F, 0x01, 0x02, 0x03});   // byte 3 off 239.1.2.3's mapping
    module.Seed(0xD0, 0x8F, {239, 1, 2, 3});
    Fit(3);   // ANC flows, encapsulation: the first flow's MAC text is 2952
    Tick(14);
    EXPECT_EQ(store.GetCmdText(2952), "01:00:5F:01:02:03");
    std::vector<uint32_t> colours(17, kWhite);
    colours[6] = colours[7] = kRed;
    ASSERT_EQ(store.GetCmd(2952)->GetCharColours(), colours);

    store.SetValue(COM_SFP_FILT_DEST_MAC4, 0x5E);
    EXPECT_EQ(store.GetCmdText(2952), "01:00:5E:01:02:03");
    EXPECT_EQ(store.GetCmd(2952)->GetCharColours()[6], kOrange) << "an edited byte";
    store.SetValue(COM_SFP_IP_DST_IP_ADD4, 10);   // unicast
    EXPECT_EQ(store.GetCmd(2952)->GetCharColours()[0], kWhite);
}

// An SSRC typed into either flow's entry shows, as typed and orange, in that flow's label of the tab.
TEST_F(IpFlowChecks, ATypedSsrcShowsInTheFlowsLabel)
{
    TpCommand first(3255, kKeepsValueText), second(3324, kKeepsValueText);   // audio tab, encapsulation
    Fit(2);
    Tick(12);
    store.SetText(COM_SFP_IP_SSRC_EDITBOX, "305419896");
    EXPECT_EQ(first.GetText(), "305419896");
    EXPECT_EQ(first.GetColour(), kOrange);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FLOW_SSRC_ID4), 0x12);
    store.SetText(3290, "7");
    EXPECT_EQ(second.GetText(), "7");
    EXPECT_EQ(second.GetColour(), kOrange);
    EXPECT_EQ(first.GetText(), "305419896");
}

// A typed SSRC shows orange in the flow's label until it is written or cancelled; then the label shows the
// module's SSRC in its plain colour again.
TEST_F(IpFlowChecks, TheFlowLabelLosesTheEditColourOnceTheTypedSsrcIsWrittenOrCancelled)
{
    TpCommand label(3255, kKeepsValueText);   // audio tab, encapsulation, first flow
    Fit(2);
    Tick(12);
    store.SetText(COM_SFP_IP_SSRC_EDITBOX, "305419896");
    ASSERT_EQ(label.GetColour(), kOrange);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    Tick(30);
    ASSERT_EQ(module.Peek(0xA0, 0x9A), 0x12) << "the SSRC written";
    EXPECT_EQ(label.GetText(), "305419896");
    EXPECT_EQ(label.GetColour(), 0u);

    store.SetText(COM_SFP_IP_SSRC_EDITBOX, "7");
    ASSERT_EQ(label.GetColour(), kOrange);
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_EQ(label.GetText(), "305419896");
    EXPECT_EQ(label.GetColour(), 0u);
}

// The label loses the edit colour however the edit ends, whatever tab is shown then: cancelled from the video
// tab, applied there and written once its own tab is shown again, or replaced by an SSRC typed on another tab.
TEST_F(IpFlowChecks, TheFlowLabelLosesTheEditColourWhereverTheSsrcEditEnds)
{
    TpCommand first(3255, kKeepsValueText), second(3324, kKeepsValueText);   // audio tab, encapsulation
    Fit(2);
    Tick(12);
    store.SetText(3290, "7");   // the second flow's
    ASSERT_EQ(second.GetColour(), kOrange);
    Tab(1);
    Tick(2);
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_EQ(second.GetColour(), 0u) << "cancelled on the video tab";

    Tab(2);
    Tick(12);
    store.SetText(COM_SFP_IP_SSRC_EDITBOX, "99");
    ASSERT_EQ(first.GetColour(), kOrange);
    Tab(1);
    Tick(2);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    Tick(20);
    EXPECT_EQ(first.GetColour(), kOrange) << "applied, not yet written";
    Tab(2);
    Tick(30);
    ASSERT_EQ(module.Peek(0xA0, 0x97), 99);
    EXPECT_EQ(first.GetColour(), 0u) << "written";

    for (int tab : {3, 1}) {   // an SSRC typed for the ANC flow, then for the video flow
        Tab(2);
        Tick(12);
        store.SetText(COM_SFP_IP_SSRC_EDITBOX, "5");
        ASSERT_EQ(first.GetColour(), kOrange);
        Tab(tab);
        Tick(12);
        store.SetText(COM_SFP_IP_SSRC_EDITBOX, "6");   // the audio flow's edit is gone
        EXPECT_EQ(first.GetColour(), 0u) << "replaced on tab " << tab;
        store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    }
}

// The PTP address mode and lock state read for each view show in that view's texts.
TEST_F(IpFlowChecks, PtpModeAndLockTextsFollowTheirView)
{
    Widgets({2904, 3414, 3464, 3465});
    module.Poke(0xF0, 0x86, 0x04);   // address mode, bits 1-2: 2
    module.Poke(0xF0, 0x84, 1);      // lock state
    module.Poke(0xF1, 0x86, 0x06);   // 3: none of the three
    Fit();
    ReadManagement();
    Tab(4);
    Tick(6);
    EXPECT_EQ(store.GetCmdText(3414), "Multicast");
    EXPECT_EQ(store.GetCmdText(2904), "Coarse Lock");
    EXPECT_EQ(store.GetCmdText(3464), "???");
    EXPECT_EQ(store.GetCmdText(3465), "Fine Lock");
}

// An edit of a flow's list, or a one-shot action, shows the selected texts in the tab's flow texts at once,
// before the next tick.
TEST_F(IpFlowChecks, AnEditedFlowListShowsItsTextAtOnce)
{
    TpCommand audioSummary(3391, kKeepsValueText), ancFirst(3395, kKeepsValueText);
    for (unsigned id : {0x0AFAu, 0x0BA5u})
        for (const char* item : {"Off", "On"})
            store.GetCmd(id)->AddItem(item);
    Fit(2);
    Tick(30);
    store.SetValue(0x0AFA, 1);
    EXPECT_EQ(audioSummary.GetText(), "On");
    store.SetValue(0x0AFA, 0);
    EXPECT_EQ(audioSummary.GetText(), "Off");
    Tab(3);
    Tick(30);
    store.SetValue(0x0BA5, 1);
    EXPECT_EQ(ancFirst.GetText(), "On");
    // A one-shot action refreshes them as well.
    store.SetText(3395, "?");
    store.SetValue(COM_SFP_IP_RESET_COUNTERS, 1);
    EXPECT_EQ(ancFirst.GetText(), "On");
}
