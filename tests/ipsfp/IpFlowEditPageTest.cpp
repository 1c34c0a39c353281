// Where a flow edit is written, end to end, one status-page tick at a time:
// only into the page of the flow it was made for, by the step of the tab that
// shows that flow, whatever pages other tabs read in between.
#include "IpPageTest.h"

#include "ipsfp/manager/IpControlIds.h"

#include <ostream>
#include <set>
#include <string>
#include <vector>

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

namespace {

constexpr uint32_t kOrange = 0xFF7F00, kGrey = 0xAFAFAF;
// On a flow page: the destination's first dotted octet, the source's last, the SSRC's bytes (low byte first).
constexpr uint8_t kDestFirst = 0x8F, kSourceLast = 0x8E, kSsrcLow = 0x97;

// An edit applied that still waits for its page, then a later edit typed.
struct LaterEdit {
    const char* name;
    bool ssrcFromVideoTab;   // the applied edit: an audio SSRC applied on the video tab; else an audio destination
    uint16_t later;          // the later edit's control, typed where the applied edit left the menu
    uint8_t page, reg;       // where it would go
    int32_t read;            // what that page holds
    uint8_t appliedPage, appliedReg;
    int32_t appliedValue;
};
void PrintTo(const LaterEdit& c, std::ostream* os) { *os << c.name; }

constexpr LaterEdit kLaterEdits[] = {
    {"AnotherAudioFlowsSource", false, COM_SFP_IP_SRC_IP_ADD1, 0xA2, kSourceLast, 5, 0xA1, kDestFirst, 225},
    {"AVideoDestination", true, COM_SFP_IP_DST_IP_ADD4, 0x90, kDestFirst, 239, 0xA0, kSsrcLow, 99},
};

class IpLaterEdit : public IpFlowEditPage, public ::testing::WithParamInterface<LaterEdit> {};

// SSRCs typed whole on their tabs, one after another (after some ticks on the tab), then applied.
struct TypedSsrc {
    int tab;
    uint8_t page;
    uint32_t ssrc;
    int ticks = 12;
};
using TypedSsrcs = std::vector<TypedSsrc>;
void PrintTo(const TypedSsrcs& typed, std::ostream* os)
{
    for (const TypedSsrc& t : typed)
        *os << "Page" << std::hex << std::uppercase << int {t.page} << std::dec << "Ssrc" << t.ssrc
            << (t.ticks == 0 ? "AtOnce" : "");
}

class IpTypedSsrcs : public IpFlowEditPage, public ::testing::WithParamInterface<TypedSsrcs> {};

// What the flow pages were shown before a destination typed on the set-up tab is cancelled.
struct CancelCase {
    const char* name;
    std::vector<int> tabsRead;   // each shown long enough to be read
    int32_t shown;               // after Cancel
    uint32_t colour;
};
void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.name; }

class IpCancelledEdit : public IpFlowEditPage, public ::testing::WithParamInterface<CancelCase> {};

bool ApplyEnabled(const TpStore& store) { return store.GetCmd(COM_SFP_IP_FLOWS_IP_APPLY_BTN)->IsEnabled(); }

} // namespace

// An edit typed while an applied one still waits for its page is held for its own Apply: nothing reaches the
// module, the Apply is offered again, and Cancel puts the value read from the edit's page back; the applied
// edit is still written once its page is shown.
TEST_P(IpLaterEdit, WaitsForItsOwnApplyWhateverAppliedEditWaits)
{
    const LaterEdit& c = GetParam();
    module.Poke(0xA2, kSourceLast, 5);
    Fit(2);
    if (c.ssrcFromVideoTab) {
        Tick(12);
        store.SetText(COM_SFP_IP_SSRC_EDITBOX, "99");
        Tab(1);
        Tick(12);
        store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    } else {
        store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 1);
        Tick(12);
        store.SetValue(COM_SFP_IP_DST_IP_ADD4, 225);
        store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
        store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 2);
    }
    module.ClearTrace();
    ASSERT_TRUE(TickUntil([&] { return ReadOn(c.page); }));   // the later edit's page read
    module.ClearTrace();
    store.SetValue(c.later, 77);
    Tick(30);
    EXPECT_TRUE(WrittenTo(c.page, c.reg).empty());
    EXPECT_TRUE(ApplyEnabled(store)) << "the later edit has an Apply of its own";
    EXPECT_EQ(store.GetValue(c.later), 77);
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_EQ(store.GetValue(c.later), c.read);
    EXPECT_NE(store.GetCmd(c.later)->GetColour(), kOrange);
    Tick(30);
    EXPECT_EQ(module.Peek(c.page, c.reg), c.read);
    EXPECT_TRUE(WrittenTo(c.page, c.reg).empty());

    Tab(2);
    store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, c.appliedPage & 0x0F);
    TickUntil([&] { return module.Peek(c.appliedPage, c.appliedReg) == c.appliedValue; });
    EXPECT_EQ(module.Peek(c.appliedPage, c.appliedReg), c.appliedValue) << "the applied edit is still written";
}

INSTANTIATE_TEST_SUITE_P(AfterApply, IpLaterEdit, ::testing::ValuesIn(kLaterEdits),
                         [](const ::testing::TestParamInfo<LaterEdit>& info) { return info.param.name; });

// A value typed over an applied one that still waits for the same page leaves the applied one to be written, and
// its Cancel shows that one: still waiting (edited colour) or written.
TEST_F(IpFlowEditPage, AValueTypedOverAnAppliedOneLeavesItToBeWritten)
{
    Fit(1);
    Tick(12);
    module.ClearTrace();
    const auto applyThenType = [this](int32_t applied) {
        store.SetValue(COM_SFP_IP_DST_IP_ADD4, applied);
        store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
        store.SetValue(COM_SFP_IP_DST_IP_ADD4, applied + 1);
        EXPECT_TRUE(ApplyEnabled(store));
    };
    applyThenType(225);
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), 225);
    EXPECT_EQ(store.GetCmd(COM_SFP_IP_DST_IP_ADD4)->GetColour(), kOrange);
    Tick(30);
    EXPECT_EQ(WrittenTo(0x90, kDestFirst), std::vector<uint8_t> {225});

    applyThenType(230);
    Tick(30);
    EXPECT_EQ(WrittenTo(0x90, kDestFirst), (std::vector<uint8_t> {225, 230}));
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), 231);
    EXPECT_EQ(store.GetCmd(COM_SFP_IP_DST_IP_ADD4)->GetColour(), kOrange);
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), 230);
    EXPECT_NE(store.GetCmd(COM_SFP_IP_DST_IP_ADD4)->GetColour(), kOrange);
    Tick(30);
    EXPECT_EQ(WrittenTo(0x90, kDestFirst), (std::vector<uint8_t> {225, 230}));
}

// A value applied for an audio flow that the tab leaves before it is written shows again, waiting, once the tab is
// back, and after its write until the page is read again: a read that fails leaves the value written, not the
// look of the page shown meanwhile.
TEST_F(IpFlowEditPage, AnAppliedValueLeftWaitingShowsAgainWhenItsTabIsBack)
{
    Fit(2);
    Tick(40);
    module.FailReadsOf(0xA0, kDestFirst);
    store.SetValue(COM_SFP_IP_DST_IP_ADD4, 225);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    Tab(1);
    Tab(2);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), 225);
    EXPECT_EQ(store.GetCmd(COM_SFP_IP_DST_IP_ADD4)->GetColour(), kOrange);
    module.ClearTrace();
    ASSERT_TRUE(TickUntil([&] { return !WrittenTo(0xA0, kDestFirst).empty(); }));
    Tick(20);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), 225);
}

// An SSRC typed for the second side of ANC flow 0 is written into that side's page only, however often the ANC
// flow shown changes: shown again whenever its page is read, it is booked for no other flow.
TEST_F(IpFlowEditPage, AnSsrcShownAgainGoesToNoOtherFlowsPage)
{
    Fit(3);
    Tick(52);
    module.ClearTrace();
    store.SetText(0x0CDA, "16342532");   // the second side's SSRC; ANC flow 0: page 0xD1
    store.SetValue(COM_SFP_IP_ANC_FLOW_SEL, 1);
    Tick(12);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    for (int32_t anc : {1, 0, 1, 0}) {
        store.SetValue(COM_SFP_IP_ANC_FLOW_SEL, anc);
        Tick(30);
    }
    EXPECT_EQ(PagesWritten(kSsrcLow), std::set<uint8_t> {0xD1});
    EXPECT_EQ(module.Peek(0xD1, kSsrcLow), 0x04);
}

// Each flow's page gets the SSRC typed for it, every byte of it, and no page gets one nobody typed for it; the
// same SSRC typed at once for the next tab's or audio flow's flow too (the box shows that flow's own at once).
TEST_P(IpTypedSsrcs, EachReachesItsOwnFlowsPageWhole)
{
    const TypedSsrcs& typed = GetParam();
    for (uint8_t page : {0x90, 0xA0, 0xD0})
        module.Seed(page, kSsrcLow, {page, 0, 0, 0});   // what each flow holds before
    Fit(typed.front().tab);
    const auto show = [this](const TypedSsrc& t) {   // its tab and, on the audio tab, its audio flow
        Tab(t.tab);
        if (t.tab == 2)
            store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, t.page & 0x0F);
    };
    for (const TypedSsrc& t : typed) {
        show(t);
        Tick(t.ticks);
        store.SetText(COM_SFP_IP_SSRC_EDITBOX, std::to_string(t.ssrc));
    }
    module.ClearTrace();
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    for (const TypedSsrc& t : typed) {
        show(t);
        Tick(60);
    }
    std::set<uint8_t> typedPages, written;
    for (uint8_t i = 0; i < 4; ++i)
        written.merge(PagesWritten(static_cast<uint8_t>(kSsrcLow + i)));
    for (const TypedSsrc& t : typed) {
        typedPages.insert(t.page);
        for (uint8_t i = 0; i < 4; ++i)
            EXPECT_EQ(module.Peek(t.page, static_cast<uint8_t>(kSsrcLow + i)), (t.ssrc >> (8 * i)) & 0xFF)
                << "page " << int {t.page} << " byte " << int {i};
    }
    EXPECT_EQ(written, typedPages);
    EXPECT_EQ(Progress(), "");
    for (const TypedSsrc& t : typed) {   // each tab shows its flow's SSRC once its page is read
        show(t);
        module.ClearTrace();
        TickUntil([&] { return ReadOn(t.page); });
        EXPECT_EQ(store.GetCmdText(COM_SFP_IP_SSRC_EDITBOX), std::to_string(t.ssrc)) << int {t.page};
    }
}

INSTANTIATE_TEST_SUITE_P(Flows, IpTypedSsrcs,
                         ::testing::Values(TypedSsrcs {{2, 0xA0, 16777315}, {3, 0xD0, 16777316}},
                                           TypedSsrcs {{2, 0xA0, 99}, {1, 0x90, 99}},
                                           TypedSsrcs {{2, 0xA0, 99}, {1, 0x90, 99, 0}},
                                           TypedSsrcs {{2, 0xA0, 99}, {2, 0xA1, 99, 0}},
                                           TypedSsrcs {{1, 0x90, 0x01020304}, {2, 0xA0, 0x01020305},
                                                       {3, 0xD0, 0x01020304}}),
                         [](const ::testing::TestParamInfo<TypedSsrcs>& info) {
                             return ::testing::PrintToString(info.param);
                         });

// Cancel puts back the value last read from the page the edit was for, or, when that page was never read, the
// look of a value not read (the control's first value, greyed) until the page is read.
TEST_P(IpCancelledEdit, ShowsTheValueLastReadFromTheControlsPage)
{
    const CancelCase& c = GetParam();
    module.Poke(0xA0, kDestFirst, 238);
    Fit(7);
    for (int tab : c.tabsRead) {
        Tab(tab);
        Tick(20);
    }
    Tab(7);
    Tick(2);
    store.SetValue(COM_SFP_IP_FLOWS_IP_SETUP_BTN, 1);
    store.SetValue(COM_SFP_IP_DST_IP_ADD4, 225);
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), c.shown);
    EXPECT_EQ(store.GetCmd(COM_SFP_IP_DST_IP_ADD4)->GetColour(), c.colour);
    Tab(1);
    Tick(12);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DST_IP_ADD4), 239) << "read again";
    EXPECT_EQ(store.GetCmd(COM_SFP_IP_DST_IP_ADD4)->GetColour(), 0u);
    EXPECT_EQ(module.Peek(0x90, kDestFirst), 239);
}

INSTANTIATE_TEST_SUITE_P(OnTheSetupTab, IpCancelledEdit,
                         ::testing::Values(CancelCase {"NoFlowPageRead", {}, 0, kGrey},
                                           CancelCase {"TheVideoFlowsThenAnAudioFlowsPageRead", {1, 2}, 239, 0}),
                         [](const ::testing::TestParamInfo<CancelCase>& info) { return info.param.name; });
