// Where a flow edit is written, end to end, one status-page tick at a time:
// only into the page of the flow it was made for, by the step of the tab that
// shows that flow, whatever pages other tabs read in between.
#include "IpPageTest.h"

#include "ipsfp/manager/IpControlIds.h"

#include <set>

namespace {

class IpFlowEditPage : public IpPageTest {
protected:
    // The pages a register was written on.
    std::set<uint8_t> PagesWritten(uint8_t reg) const
    {
        std::set<uint8_t> pages;
        for (const Trans& t : Trace())
            if (t.write && t.reg == reg)
                pages.insert(t.page);
        return pages;
    }
    // Register writes on any page but the one given (page selects and commands left out).
    std::vector<Trans> WritesOffPage(uint8_t page) const
    {
        std::vector<Trans> out;
        for (const Trans& t : Trace())
            if (t.write && t.page != page && t.reg != 127 && t.reg != 129)
                out.push_back(t);
        return out;
    }
};

} // namespace

// A destination applied from the set-up tab's flow set-up waits for the video flow tab, which writes it into the
// first flow's page; no page read in between gets it, and the box counts it until it is written.
TEST_F(IpFlowEditPage, AFlowEditAppliedOnTheSetupTabGoesOnlyToItsFlowsPage)
{
    Fit(7);
    Tick(20);
    module.ClearTrace();
    store.SetValue(COM_SFP_IP_FLOWS_IP_SETUP_BTN, 1);
    store.SetValue(COM_SFP_IP_DST_IP_ADD4, 225);   // 225.1.2.3
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    Tick(40);
    EXPECT_EQ(module.Peek(0x90, 0x8F), 239) << "not yet written";
    EXPECT_EQ(Progress().rfind("Remain:", 0), 0u) << Progress();
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), 225) << "the edit kept";

    Tab(1);
    Tick(20);
    EXPECT_EQ(module.Peek(0x90, 0x8F), 225);
    EXPECT_EQ(module.Peek(0x90, 0x85), 0x5E) << "with the multicast MAC it gives";
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), 225);
    EXPECT_EQ(Progress(), "");
    EXPECT_EQ(WritesOffPage(0x90), std::vector<Trans> {});
}

// An SSRC typed on the audio flows tab and applied from the video flows tab is written into the audio flow's
// page once that tab is shown again, never into the video flow's.
TEST_F(IpFlowEditPage, ASsrcTypedForAnAudioFlowGoesOnlyToThatFlowsPage)
{
    module.Poke(0x90, 0x97, 5);
    Fit(2);
    Tick(12);
    module.ClearTrace();
    store.SetText(COM_SFP_IP_SSRC_EDITBOX, "99");
    Tab(1);
    Tick(2);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    Tick(30);
    EXPECT_TRUE(WrittenTo(0x90, 0x97).empty());
    EXPECT_EQ(module.Peek(0x90, 0x97), 5);

    Tab(2);
    Tick(30);
    EXPECT_EQ(module.Peek(0xA0, 0x97), 99);
    EXPECT_EQ(PagesWritten(0x97), std::set<uint8_t> {0xA0});
    EXPECT_EQ(Progress(), "");
}

// A value of an audio flow's page edited for the second flow of audio flow 2 is written into that page only:
// not while another audio flow is selected, and not into the first flow's page.
TEST_F(IpFlowEditPage, AnAudioFlowValueGoesOnlyToThePageItWasEditedFor)
{
    for (const char* item : {"a", "b"})
        store.GetCmd(COM_SFP_IP_FLOW_MAC_BYTE1_0AFA_VIEW2)->AddItem(item);
    Fit(2);
    store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 2);
    Tick(12);
    module.ClearTrace();
    store.SetValue(COM_SFP_IP_FLOW_MAC_BYTE1_0AFA_VIEW2, 1);   // register 0xA4 of the second flow's page
    store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 3);
    Tick(30);
    EXPECT_EQ(PagesWritten(0xA4), std::set<uint8_t> {}) << "waits while audio flow 3 is shown";

    store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 2);
    Tick(30);
    EXPECT_EQ(PagesWritten(0xA4), std::set<uint8_t> {0xB2});
    EXPECT_EQ(module.Peek(0xB2, 0xA4), 1);
}
