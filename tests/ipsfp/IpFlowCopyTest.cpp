// The flow copy behind the reset question: the management address copied
// into the source address of every flow, side by side and phase by phase,
// seen on the module's registers. The copy runs with the fake module as it
// is and with one that needs a status poll before it reports a page load or a
// write done, in both directions; then with a module that drops a page
// select, one that loads a page late and one that stops loading pages.
#include "IpPageTest.h"

#include <map>
#include <ostream>
#include <set>
#include <string>

namespace {

struct ModuleKind {
    const char* name;
    int polls;       // status polls before a page load or a write is reported done
    uint8_t decap;
};

// Its name, in the test's listing.
void PrintTo(const ModuleKind& kind, std::ostream* os) { *os << kind.name; }

constexpr ModuleKind kKinds[] = {
    {"Encap", 0, 0},
    {"EncapPolled", 1, 0},
    {"Decap", 0, 1},
    {"DecapPolled", 1, 1},
};

constexpr uint8_t kManagement[4] = {192, 168, 1, 10};
// The source address on a flow page, its first dotted octet at the lowest register.
constexpr uint8_t kSourceFirst = 0x8B, kSourceLast = 0x8E;
// The flow's transmit switch (bit 0).
constexpr uint8_t kTransmit = 0xAD;

int Count(const std::string& text, const std::string& line)
{
    int n = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++n;
    return n;
}

// The flow pages of a 2110 module, each flow's first side before its second:
// the video flow, the eight audio flows, the ANC flow.
std::vector<uint8_t> FlowSides2110()
{
    std::vector<uint8_t> pages {0x90, 0x91};
    for (uint8_t n = 0; n < 8; ++n) {
        pages.push_back(static_cast<uint8_t>(0xA0 + n));
        pages.push_back(static_cast<uint8_t>(0xB0 + n));
    }
    pages.push_back(0xD0);
    pages.push_back(0xD1);
    return pages;
}

// A change a user or a client makes while the copy runs, at one step of one side: a control set to a value, or
// (control 0) the module taken out for value ticks and put back.
struct Meddling {
    int32_t phase, flowCounter, side, step;
    uint16_t control;
    int32_t value;
};
constexpr Meddling kMeddlings[] = {
    {0, 0, 1, 3, COM_SFP_IP_FLOW_SEL, 0},
    {0, 0, 1, 7, COM_SFP_IP_AUDIO_FLOW_SEL, 3},
    {0, 0, 1, 8, COM_SFP_IP_PTP_SEL, 1},
    {1, 1, 0, 9, COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1},
    {1, 2, 0, 5, COM_SFP_IP_AUDIO_FLOW_SEL, 5},
    {1, 2, 1, 2, COM_SFP_TAB_SELECT, 7},
    {1, 2, 1, 7, COM_SFP_IP_BLOCK_E_SEL, 2},
    {1, 3, 1, 9, 0, 5},
    {1, 5, 1, 9, COM_SFP_TAB_SELECT, 1},
    {1, 6, 0, 4, COM_SFP_IP_ANC_FLOW_SEL, 1},
    {1, 6, 0, 12, COM_SFP_IP_FLOW_SEL, 1},
    {2, 0, 0, 3, COM_SFP_IP_ANC_FLOW_SEL, 1},
    {2, 0, 0, 7, COM_SFP_IP_AUDIO_FLOW_SEL, 4},
    {2, 0, 1, 12, COM_SFP_TAB_SELECT, 2},
};

class IpFlowCopyBase : public IpPageTest {
protected:
    // The reset question answered yes.
    void StartCopy()
    {
        store.SetValue(0x0D76, 1);
        ASSERT_NE(TopWindow(), nullptr);
        TopWindow()->RunAction(kActionYes);
    }
    // Ticks until the copy has ended, at most limit; the ticks taken.
    int TickWhileCopying(int limit)
    {
        int ticks = 0;
        for (; ticks < limit && Mgr().Tick().PendingAction().step != -1; ++ticks)
            Tick();
        return ticks;
    }
    // The flow pages whose source address the module holds as the management address.
    std::set<uint8_t> PagesWithManagementSource(const std::vector<uint8_t>& pages) const
    {
        std::set<uint8_t> out;
        for (uint8_t page : pages) {
            bool same = true;
            for (uint8_t i = 0; i < 4; ++i)
                same = same && module.Peek(page, static_cast<uint8_t>(kSourceFirst + i)) == kManagement[i];
            if (same)
                out.insert(page);
        }
        return out;
    }
    // Ticks until the copy reaches a step of a side (of an audio flow in the audio phase); false when it never does.
    bool TickUntilCopyAt(const Meddling& at, int limit = 2000)
    {
        for (int i = 0; i < limit; ++i) {
            const IpPendingAction& a = Mgr().Tick().PendingAction();
            if (a.step == -1)
                return false;
            if (a.phase == at.phase && a.side == at.side && a.step == at.step &&
                (at.phase != 1 || a.flowCounter == at.flowCounter))
                return true;
            Tick();
        }
        return false;
    }
    // Pages on which a source address register was written.
    std::set<uint8_t> PagesWithSourceWrites() const
    {
        std::set<uint8_t> out;
        for (const Trans& t : Trace())
            if (t.write && t.reg >= kSourceFirst && t.reg <= kSourceLast)
                out.insert(t.page);
        return out;
    }
};

class IpFlowCopy : public IpFlowCopyBase, public ::testing::WithParamInterface<ModuleKind> {
protected:
    void SetUp() override
    {
        IpFlowCopyBase::SetUp();
        module.SetPageLoadPolls(GetParam().polls);
        module.SetWritePolls(GetParam().polls);
        SimEmSfpFlags().SetDecapsulation(GetParam().decap);
    }
};

using IpFlowCopyFaultyModule = IpFlowCopyBase;
// The transmit is switched around an Apply in encapsulation only.
class IpFlowCopyEncap : public IpFlowCopy {};

} // namespace

// With 2110 firmware every side of the video, the eight audio and the first ANC flows ends with the management
// address as its source, whatever audio and ANC flows were shown when it started and whatever tab or page
// selector a user or a client chooses while it runs, and whatever flow Cancel drops (a side under way when the
// module is taken out, which holds no tab meanwhile, and put back is done again); a side that already has it is
// left alone, no other flow is written, and a second copy writes nothing.
TEST_P(IpFlowCopy, EverySideOfEveryFlowTakesTheManagementAddress)
{
    const std::vector<uint8_t> sides = FlowSides2110();
    module.Seed(0xA3, kSourceFirst, {192, 168, 1, 10});   // audio flow 4, first side: already the address
    module.Seed(0xB6, kSourceFirst, {192, 168, 1, 10});   // audio flow 7, second side
    Fit(2);
    store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 2);
    store.SetValue(COM_SFP_IP_ANC_FLOW_SEL, 1);
    Tick(5);
    ReadManagement();
    module.ClearTrace();
    debug->Clear();
    StartCopy();
    for (const Meddling& m : kMeddlings) {
        ASSERT_TRUE(TickUntilCopyAt(m)) << m.phase << " " << m.flowCounter << " " << m.side << " " << m.step;
        if (m.control != 0) {
            store.SetValue(m.control, m.value);
            continue;
        }
        cage.detect = 0;
        Tick();
        Tab(1);   // nothing is held while no module is fitted
        Tick(m.value);
        EXPECT_EQ(store.GetValue(COM_SFP_TAB_SELECT), 1);
        cage.detect = 1;
    }
    EXPECT_LT(TickWhileCopying(2000), 2000);

    EXPECT_EQ(Count(debug->Text(), "\nFlows video copy\n"), 2);
    EXPECT_EQ(Count(debug->Text(), "\nFlows audio copy\n"), 16);
    EXPECT_EQ(Count(debug->Text(), "\nFlows anc copy\n"), 2);
    EXPECT_EQ(PagesWithManagementSource(sides), std::set<uint8_t>(sides.begin(), sides.end()));
    std::set<uint8_t> written(sides.begin(), sides.end());
    written.erase(0xA3);
    written.erase(0xB6);
    EXPECT_EQ(PagesWithSourceWrites(), written) << "each side that differed, on its own page";
    EXPECT_FALSE(Mgr().Configure().FlowConfiguring());

    module.ClearTrace();
    debug->Clear();
    StartCopy();
    EXPECT_LT(TickWhileCopying(2000), 2000);
    EXPECT_EQ(Count(debug->Text(), "\nFlows audio copy\n"), 16);
    EXPECT_EQ(PagesWithSourceWrites(), std::set<uint8_t> {}) << "every source already matches";
}

// A yes to the reset question copies the management address into both video flows' sources, side by side, each
// applied; with 2022-6 firmware the copy ends after the video phase and the menu stays on the video tab.
TEST_P(IpFlowCopy, ResetQuestionCopiesTheManagementAddressIntoBothFlows)
{
    SimEmSfpFlags().SetMode2022(1);
    Fit();
    ReadManagement();
    module.ClearTrace();
    StartCopy();
    EXPECT_LT(TickWhileCopying(400), 400);
    EXPECT_EQ(Count(debug->Text(), "\nFlows video copy\n"), 2);
    EXPECT_EQ(Count(debug->Text(), "\nFlows audio copy\n"), 1);
    EXPECT_EQ(Count(debug->Text(), "\nFlows anc copy\n"), 0);
    EXPECT_EQ(store.GetValue(COM_SFP_TAB_SELECT), 1) << "the menu follows the phase";
    for (uint8_t flowPage : {0x90, 0x91}) {   // source address, byte 4 at register 0x8B
        EXPECT_EQ(module.Peek(flowPage, 0x8B), 192) << int {flowPage};
        EXPECT_EQ(module.Peek(flowPage, 0x8E), 10) << int {flowPage};
    }
    EXPECT_EQ(PagesWithSourceWrites(), (std::set<uint8_t> {0x90, 0x91}));
    EXPECT_EQ(Mgr().Configure().FlowConfiguring(), 0);

    debug->Clear();
    StartCopy();
    module.ClearTrace();
    EXPECT_LT(TickWhileCopying(400), 400);
    EXPECT_EQ(Count(debug->Text(), "\nFlows video copy\n"), 2) << "sources that match are skipped";
    EXPECT_TRUE(Writes(0x90).empty() && Writes(0x91).empty());
}

// With the transmit switched on, each side's Apply leaves its flow's transmit as the flow had it: a flow that
// transmits has it switched off around the source's writes and on again after them, one that does not is left
// alone; the switch shows the transmit on at the end.
TEST_P(IpFlowCopyEncap, EveryFlowKeepsItsTransmit)
{
    const std::vector<uint8_t> sides = FlowSides2110();
    Fit(1);
    store.SetValue(COM_SFP_IP_TX_OFF_ON, 1);
    Tick(12);
    std::map<uint8_t, std::string> expected;   // per page: o transmit off, s the source written, n transmit on
    for (size_t i = 0; i < sides.size(); ++i) {
        module.Poke(sides[i], kTransmit, i % 3 == 0 ? 1 : 0);
        expected[sides[i]] = i % 3 == 0 ? "osn" : "s";
    }
    ReadManagement();
    module.ClearTrace();
    StartCopy();
    EXPECT_LT(TickWhileCopying(2000), 2000);
    std::map<uint8_t, std::string> order;
    for (const Trans& t : Trace()) {
        const bool source = t.reg >= kSourceFirst && t.reg <= kSourceLast;
        if (!t.write || (t.reg != kTransmit && !source))
            continue;
        const char step = source ? 's' : (t.value & 1) != 0 ? 'n' : 'o';
        if (order[t.page].empty() || order[t.page].back() != step)
            order[t.page] += step;
    }
    EXPECT_EQ(order, expected);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_TX_OFF_ON), 1);
}

INSTANTIATE_TEST_SUITE_P(Modules, IpFlowCopy, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<ModuleKind>& info) { return info.param.name; });
INSTANTIATE_TEST_SUITE_P(Modules, IpFlowCopyEncap, ::testing::Values(kKinds[0], kKinds[1]),
                         [](const ::testing::TestParamInfo<ModuleKind>& info) { return info.param.name; });

// A page select the bus drops when a side selects its flow is asked for again once the link is idle: the side is
// read, checked and copied like the others.
TEST_F(IpFlowCopyFaultyModule, ADroppedPageSelectIsAskedForAgain)
{
    SimEmSfpFlags().SetDecapsulation(1);
    Fit();
    ReadManagement();
    StartCopy();
    ASSERT_TRUE(TickUntilCopyAt({1, 0, 0, 1, 0, 0}));   // the audio phase's first side selects "Audio Flows" next
    module.FailWritesOf(FakeEmSfp::kPageSelect);
    Tick();
    module.FailWritesOf(FakeEmSfp::kPageSelect, false);
    EXPECT_LT(TickWhileCopying(2000), 2000);
    const std::vector<uint8_t> sides = FlowSides2110();
    EXPECT_EQ(PagesWithManagementSource(sides), std::set<uint8_t>(sides.begin(), sides.end()));
}

// A side whose page is away from the module when its Apply is pressed (the encoder map's turn on the "Audio Flows"
// tab) and loads late is written before the next side edits the same rows.
TEST_F(IpFlowCopyFaultyModule, ASideWrittenLateIsNotReplacedByTheNext)
{
    Fit();
    ReadManagement();
    StartCopy();
    ASSERT_TRUE(TickUntilCopyAt({1, 0, 0, 12, 0, 0}));   // the first audio side's Apply was pressed
    ASSERT_NE(module.SelectedPage(), 0xA0) << "the side's page is away";
    ASSERT_TRUE(WrittenTo(0xA0, kSourceLast).empty());
    module.SetStatusOverride(FakeEmSfp::kBooted | FakeEmSfp::kWriteDone);   // no page load completes
    Tick(15);
    module.SetStatusOverride(std::nullopt);
    EXPECT_LT(TickWhileCopying(2000), 2000);
    const std::vector<uint8_t> sides = FlowSides2110();
    EXPECT_EQ(PagesWithManagementSource(sides), std::set<uint8_t>(sides.begin(), sides.end()));
}

// A side whose source address will not read whole is still copied whole: a byte that cannot be read is written
// with the others, and a side is never taken for one that already has the address on the bytes it could read.
TEST_F(IpFlowCopyFaultyModule, ASideWhoseSourceWillNotReadIsCopiedWhole)
{
    const std::vector<uint8_t> sides = FlowSides2110();
    for (uint8_t page : sides)
        module.Seed(page, kSourceFirst, {10, 0, 0, page});
    module.Seed(0xB4, kSourceFirst, {192, 168, 1, 99});   // audio flow 5, second side: all but the last octet
    module.FailReadsOf(0xA3, kSourceFirst);                // audio flow 4, first side: its first octet
    module.FailReadsOf(0xB4, kSourceLast);                 // audio flow 5, second side: its last octet
    Fit();
    ReadManagement();
    StartCopy();
    EXPECT_LT(TickWhileCopying(4000), 4000);
    EXPECT_EQ(PagesWithManagementSource(sides), std::set<uint8_t>(sides.begin(), sides.end()));
}

// A module that stops reporting page loads does not hold the copy: each side waits a while and goes on, the copy
// ends, asks for no page while one is pending (the copy's own selections are refused, a few a side), and the flow
// alternation takes the selector back.
TEST_F(IpFlowCopyFaultyModule, AModuleThatNeverLoadsAPageDoesNotHoldTheCopy)
{
    SimEmSfpFlags().SetDecapsulation(1);
    Fit();
    ReadManagement();
    StartCopy();
    module.SetStatusOverride(FakeEmSfp::kBooted);   // booted, but no load or write ever done
    debug->Clear();
    EXPECT_LT(TickWhileCopying(4000), 4000);
    EXPECT_EQ(Count(debug->Text(), "\nFlows anc copy\n"), 2);
    EXPECT_LE(Count(debug->Text(), "while page load already pending"), 60) << "20 sides";
    std::set<int32_t> selectors;
    for (int i = 0; i < 10; ++i) {
        Tick();
        selectors.insert(store.GetValue(COM_SFP_IP_FLOW_SEL));
    }
    EXPECT_EQ(selectors, (std::set<int32_t> {0, 1}));
}
