// The module's page table read on every tab, end to end, one status-page
// tick at a time: a page read shows and logs only that page's own rows, a
// page that will not read leaves the tab to its own step, whatever view is
// shown the page's values are shown, and a module that never loads a page is
// asked once and nothing more is printed.
#include "IpPageTest.h"

#include "ipsfp/manager/IpControlIds.h"

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

class IpPageTableRead : public IpPageTest {
protected:
    bool PageTableRead() const
    {
        return std::ranges::all_of(SfpLink::State().pageTable,
                                   [](const SfpPageEntry& e) { return e.page == 0 || e.loaded != 0; });
    }
    // Page selects of the physical page on the bus.
    int Selects(uint8_t physical) const
    {
        return static_cast<int>(std::ranges::count_if(
            Trace(), [physical](const Trans& t) { return t.write && t.reg == 127 && t.value == physical; }));
    }
    // Ticks one at a time; how many times in a tick the failing register's page was read at most, and in
    // all (the first tick with a failed read gives the failed reads of one pass over the page).
    std::pair<int, int> TickCountingFailedPasses(int ticks)
    {
        int perPass = 0, most = 0;
        const int start = module.FailedReads();
        for (int i = 0; i < ticks; ++i) {
            const int before = module.FailedReads();
            Tick();
            const int failed = module.FailedReads() - before;
            perPass = perPass == 0 ? failed : perPass;
            most = std::max(most, failed);
        }
        return perPass == 0 ? std::pair {0, 0} : std::pair {most / perPass, (module.FailedReads() - start) / perPass};
    }
    // The first flow's destination, first dotted octet (register 0x8F of its page).
    int32_t FirstOctet() const { return store.GetValue(COM_SFP_IP_DST_IP_ADD4); }
};

// A tab in a direction, and the flow pages its own step reads there.
struct TabMode {
    int tab;
    uint8_t decap;
    std::set<uint8_t> pages;
};
// With a module that needs that many status polls before it reports a page load or a write done.
using TabModePolls = std::tuple<TabMode, int>;

class IpTabWithFailingPage : public IpPageTableRead, public ::testing::WithParamInterface<TabModePolls> {
protected:
    // Ticks, after the page table has had its turn, in which the tab's step read a page (any page but the
    // program page, which is the one that fails); the pages read.
    int TicksReadingTheTabsPages(int ticks, std::set<uint8_t>& read)
    {
        const auto& [mode, polls] = GetParam();
        module.SetPageLoadPolls(polls);
        module.SetWritePolls(polls);
        SimEmSfpFlags().SetDecapsulation(mode.decap);
        Fit(mode.tab);
        Tick(40);
        int reading = 0;
        for (int i = 0; i < ticks; ++i) {
            module.ClearTrace();
            Tick();
            bool any = false;
            for (const Trans& t : Trace())
                if (!t.write && t.reg > 129 && t.page != 0xFA) {
                    read.insert(t.page);
                    any = true;
                }
            reading += any ? 1 : 0;
        }
        return reading;
    }
};

// PTP edits: how many arrive in one tick, in which view.
struct PtpEdits {
    const char* name;
    std::vector<std::pair<uint16_t, int32_t>> edits;   // control, value; all in one tick
};
void PrintTo(const PtpEdits& e, std::ostream* os) { *os << e.name; }

class IpPtpEdits : public IpPageTableRead, public ::testing::WithParamInterface<PtpEdits> {};

// How a management Apply meets a PTP edit.
enum class Meeting : uint8_t {
    PtpUnlockDropped, PtpUnlockLeft, PtpWriteLeft, PtpEditDuringApply, ApplyLeftOpen, PageSelectedBeforeCommit
};
struct WritesMeet {
    const char* name;
    Meeting how;
};
void PrintTo(const WritesMeet& m, std::ostream* os) { *os << m.name; }

class IpWritesMeet : public IpPageTableRead, public ::testing::WithParamInterface<WritesMeet> {};

// Where a flow page keeps its destination and SSRC, the decoder output page has registers of its own: reading
// that page for the page table, at insertion or on the set-up tab, changes no flow control and logs no SSRC.
TEST_F(IpPageTableRead, APageTablePageShowsAndLogsOnlyItsOwnRows)
{
    module.Seed(0xC0, 0x8F, {9, 9, 9, 9});
    module.Poke(0xC0, 0x97, 99);   // where a flow page has its SSRC's low byte
    module.Poke(0x90, 0x97, 5);    // the first video flow's SSRC
    LogStatus();
    Fit(7);   // inserted: the page table is read on the set-up tab
    Tick(40);
    ASSERT_TRUE(PageTableRead());
    EXPECT_EQ(Events(" 292 SSRC=99"), 0) << "an SSRC taken from the decoder output page";
    EXPECT_NE(FirstOctet(), 9);

    Tab(1);
    Tick(20);
    ASSERT_EQ(FirstOctet(), 239);
    ASSERT_EQ(Events(" 292 SSRC=5"), 1);
    Tab(7);
    Tick(40);
    EXPECT_EQ(FirstOctet(), 239) << "the flow's destination kept on the set-up tab";
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_SSRC_EDITBOX), "5");
    EXPECT_EQ(Events(" 292 SSRC=99"), 0);
}

// A register of a page-table page that never reads: the tab's own step still runs and reads its flow page, the
// failing page is tried again now and then, and no page is read more than once a tick.
TEST_F(IpPageTableRead, APageThatWillNotReadLeavesTheTabToItsOwnStep)
{
    for (const auto& [page, reg] : {std::pair<uint8_t, uint8_t> {0xFA, 159}, {0xC0, 0xBC}}) {
        if (page == 0xC0) {   // read afresh, with a new destination
            module.FailReadsOf(0xFA, 159, false);
            SimEmSfpFlags().SetDecapsulation(1);
            Tick();
            SimEmSfpFlags().SetDecapsulation(0);
            module.Poke(0x90, 0x8F, 238);
        }
        const int32_t octet = module.Peek(0x90, 0x8F);
        module.FailReadsOf(page, reg);
        Fit(1);
        const auto [mostInATick, passes] = TickCountingFailedPasses(200);
        EXPECT_EQ(FirstOctet(), octet) << "the video flow's page read; page " << int {page};
        EXPECT_EQ(mostInATick, 1) << int {page};
        EXPECT_GE(passes, 2) << "the failing page tried again; page " << int {page};
        EXPECT_LE(passes, 20) << "but not every tick; page " << int {page};
        EXPECT_FALSE(PageTableRead());
    }
}

// The set-up tab shows the module's firmware versions and slot after a read of the page table on the PTP tab
// while the PTP page's second view is shown: the page table's rows have no second view.
TEST_F(IpPageTableRead, TheFirmwareReadOnThePtpTabShowsWhateverItsView)
{
    Widgets({COM_SFP_IP_VERSION_ELEMENT0, COM_SFP_IP_VERSION_ELEMENT1, COM_SFP_IP_VERSION_ELEMENT2,
             COM_SFP_IP_LOADED_ELEMENT});
    module.Seed(0xFA, 0x89, {2, 17});   // slot 0's version
    module.Seed(0xFA, 0x94, {2, 17});   // slot 1's
    module.Poke(0xFA, 0x82, 1);         // the slot loaded
    Fit(7);
    Tick(20);
    ASSERT_EQ(store.GetCmdText(COM_SFP_IP_VERSION_ELEMENT1), "2.17");
    Tab(4);
    for (int ticks = 0; ticks < 3 && store.GetValue(COM_SFP_IP_PTP_SEL) != 1; ++ticks)
        Tick();
    ASSERT_EQ(store.GetValue(COM_SFP_IP_PTP_SEL), 1);

    module.Seed(0xFA, 0x9F, {3, 4});   // new firmware in slot 2, loaded
    module.Poke(0xFA, 0x82, 2);
    SimEmSfpFlags().SetDecapsulation(1);   // a mode change: the module is read afresh
    Tick();
    Tab(4);
    for (int ticks = 0; ticks < 40 && !PageTableRead(); ++ticks)
        Tick();
    ASSERT_TRUE(PageTableRead());
    Tab(7);
    Tick(60);
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_VERSION_ELEMENT2), "3.4");
    EXPECT_EQ(store.GetValue(COM_SFP_IP_LOADED_ELEMENT), 2);
}

// A module whose page loads never complete: each page of the page table is asked for at most once, and none of
// them is refused on the console, on any tab and in either direction.
TEST_F(IpPageTableRead, AModuleThatNeverLoadsAPageIsAskedOnceAndNothingIsPrinted)
{
    module.SetPageLoadPolls(1000000);
    for (uint8_t decapsulation : {0, 1}) {
        SimEmSfpFlags().SetDecapsulation(decapsulation);
        Fit(1);
        for (int tab : {1, 4, 7, 1})
            Tab(tab), Tick(30);
    }
    for (uint8_t page : {0xFA, 0xC0, 0x8B, 0x84}) {
        EXPECT_LE(Selects(page), 1) << int {page};
        const std::string refused = "ERROR SFP request for page " + std::to_string(page) + " ";
        EXPECT_FALSE(debug->Contains(refused)) << refused;
    }
}

} // namespace

// A page-table page that fails for good takes no more than a fifth of the reads from any tab's own step, with
// margin, in either direction and whatever status polls the module needs: after each retry the tab's page is
// selected again. With a working module the tab's step reads every flow page it shows.
TEST_P(IpTabWithFailingPage, TheTabsStepStillReadsItsPages)
{
    std::set<uint8_t> read;
    const int working = TicksReadingTheTabsPages(400, read);
    for (uint8_t page : std::get<0>(GetParam()).pages)
        EXPECT_TRUE(read.contains(page)) << "page " << int {page} << " never read";
    module.FailReadsOf(0xFA, 159);
    Reinsert();   // the page table is read again
    const int failing = TicksReadingTheTabsPages(400, read);
    EXPECT_GE(failing * 100, working * 85) << failing << " ticks reading, " << working << " with a working module";
}

INSTANTIATE_TEST_SUITE_P(
    Tabs, IpTabWithFailingPage,
    ::testing::Combine(::testing::Values(TabMode {1, 0, {0x90, 0x91}}, TabMode {2, 0, {0xA0, 0xB0, 0xCF}},
                                         TabMode {3, 0, {0xD0, 0xD1}}, TabMode {4, 0, {0xF0, 0xF1}},
                                         TabMode {6, 0, {0xCF}}, TabMode {1, 1, {0x90, 0x91}},
                                         TabMode {2, 1, {0xA0, 0xB0}}, TabMode {3, 1, {0xD0, 0xD1}},
                                         TabMode {4, 1, {0xF0, 0xF1}}, TabMode {6, 1, {0xC0, 0xA0, 0xA1, 0xA2, 0xA3}}),
                       ::testing::Values(0, 1, 2)),
    [](const ::testing::TestParamInfo<TabModePolls>& info) {
        const TabMode& mode = std::get<0>(info.param);
        return "Tab" + std::to_string(mode.tab) + (mode.decap != 0 ? "Decap" : "Encap") +
               std::to_string(std::get<1>(info.param)) + "Polls";
    });

// However many PTP edits a tick brings, each is unlocked, written and committed on its own view's page, with the
// tab's page-table retries going on (a program page register fails for good): wherever in their round the edits
// fall, even on the tick a retry has taken the module from the PTP page.
TEST_P(IpPtpEdits, AreWrittenEachOnItsOwnViewsPage)
{
    module.FailReadsOf(0xFA, 159);
    Fit(4);
    Tick(30);
    const auto editAndCheck = [&] {
        module.ClearTrace();
        std::map<std::pair<uint8_t, uint8_t>, uint8_t> expected;   // page, register: value
        for (const auto& [control, value] : GetParam().edits) {
            const bool second = control == 0x0D8A || control == 0x0DA3;
            const bool field = control == 0x0C23 || control == 0x0D8A;   // bits 1-2 of 0x86, else 0x88
            const int32_t now = store.GetValue(control) == value ? value ^ 1 : value;   // a change each round
            store.SetValue(control, now);
            expected[{static_cast<uint8_t>(second ? 0xF1 : 0xF0), field ? 0x86 : 0x88}] =
                static_cast<uint8_t>(field ? now << 1 : now);
        }
        Tick(60);
        std::vector<Trans> writes;
        for (const Trans& t : Trace())
            if (t.write && t.reg != 127)
                writes.push_back(t);
        // Each write between the unlock and the commit of its own page.
        ASSERT_EQ(writes.size() % 3, 0u) << ::testing::PrintToString(writes);
        std::map<std::pair<uint8_t, uint8_t>, uint8_t> written;
        for (size_t i = 0; i < writes.size(); i += 3) {
            const uint8_t page = writes[i].page;
            EXPECT_EQ(writes[i], Wr(page, 129, 2));
            EXPECT_EQ(writes[i + 1].page, page);
            EXPECT_EQ(writes[i + 2], Wr(page, 129, 3));
            written[{page, writes[i + 1].reg}] = writes[i + 1].value;
        }
        EXPECT_EQ(written, expected);
    };
    for (int offset = 0; offset < 24; ++offset) {
        SCOPED_TRACE(offset);
        Tick(1 + offset % 2);   // either view shown as the edits arrive
        editAndCheck();
    }
    // A retry has taken the module from the PTP page as the edits arrive: the PTP page is selected again.
    ASSERT_TRUE(TickUntil([&] { return module.SelectedPage() == 0xFA; }, 200));
    SCOPED_TRACE("edited as the failing page is asked for");
    editAndCheck();
}

INSTANTIATE_TEST_SUITE_P(InOneTick, IpPtpEdits,
                         ::testing::Values(PtpEdits {"OneField", {{0x0C23, 2}}},
                                           PtpEdits {"OneFieldTwice", {{0x0C23, 1}, {0x0C23, 2}}},
                                           PtpEdits {"TwoFields", {{0x0C23, 2}, {0x0B56, 7}}},
                                           PtpEdits {"SecondView", {{0x0D8A, 1}, {0x0DA3, 9}}},
                                           PtpEdits {"BothViews", {{0x0B56, 5}, {0x0DA3, 6}}}),
                         [](const ::testing::TestParamInfo<PtpEdits>& info) { return info.param.name; });

// A mode change or a module taken out and put back while a PTP field is written ends that write: nothing is
// committed on another page, and the next PTP edit is unlocked, written and committed on its own page.
TEST_F(IpPageTableRead, AModeOrModuleChangeEndsAPtpWriteUnderWay)
{
    for (const bool moduleChange : {false, true}) {
        SCOPED_TRACE(moduleChange ? "module change" : "mode change");
        Fit(4);
        Tick(30);
        module.ClearTrace();
        store.SetValue(0x0B56, moduleChange ? 11 : 12);
        TickUntil([&] { return !WrittenTo(0xF0, 0x88).empty(); }, 30);
        ASSERT_EQ(Writes(0xF0), (std::vector<Trans> {Wr(0xF0, 129, 2), Wr(0xF0, 0x88, moduleChange ? 11 : 12)}));
        if (moduleChange)
            Reinsert();
        else
            SimEmSfpFlags().SetDecapsulation(1);
        Tick(40);
        for (const Trans& t : Trace())
            EXPECT_FALSE(t.write && t.reg == 129 && t.page != 0xF0) << ::testing::PrintToString(t);
        Tab(4);
        Tick(30);
        module.ClearTrace();
        store.SetValue(0x0B56, 13);
        Tick(30);
        EXPECT_EQ(Writes(0xF0), (std::vector<Trans> {Wr(0xF0, 129, 2), Wr(0xF0, 0x88, 13), Wr(0xF0, 129, 3)}));
        SimEmSfpFlags().SetDecapsulation(0);
        Tick();
    }
}

// A management Apply and a PTP edit whose writes meet: a PTP unlock with nothing written under it gives way
// (its edit dropped meanwhile, or its tab left), a PTP write whose tab a client left before its commit is
// committed on its own page before the Apply unlocks the management page (a PTP edit still waiting is left to
// the PTP tab), an Apply the set-up tab left open (before or after its unlock) is finished on the PTP tab before
// a PTP edit made meanwhile is unlocked and committed on its own page, and the Apply is committed on the
// management page whatever page a client selects just before; each page has its own unlock, write and commit,
// and no other page a command.
TEST_P(IpWritesMeet, EachPageIsUnlockedWrittenAndCommittedOnItsOwn)
{
    const Meeting how = GetParam().how;
    SimEmSfpFlags().SetDecapsulation(how == Meeting::PtpUnlockDropped ? 1 : 0);
    Fit(7);
    ReadManagement();
    Tab(4);
    Tick(30);
    module.ClearTrace();
    const auto applyManagement = [this] {
        store.SetValue(2562, 30);   // the management address's first dotted octet: register 0x9A
        store.SetValue(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, 1);
    };
    const auto tickUntilWritten = [this](uint8_t page, uint8_t reg) {
        TickUntil([&] { return !WrittenTo(page, reg).empty(); }, 40);
    };
    if (how == Meeting::PtpUnlockDropped || how == Meeting::PtpUnlockLeft) {
        store.SetValue(0x0B56, 7);
        tickUntilWritten(0xF0, 129);   // unlocked, nothing written yet
        if (how == Meeting::PtpUnlockDropped) {
            Tab(6);   // the decoder map's steps reset every edit
            Tick(60);
        }
        Tab(7);
        applyManagement();
        Tick(60);
        Tab(4);
    } else if (how == Meeting::PtpWriteLeft) {
        store.SetValue(0x0B56, 7);
        tickUntilWritten(0xF0, 0x88);   // written, not yet committed
        store.SetValue(0x0C23, 2);      // another field, for the PTP tab's step
        Tab(7);                         // a client
        applyManagement();
    } else if (how == Meeting::PtpEditDuringApply || how == Meeting::ApplyLeftOpen) {
        Tab(7);
        applyManagement();
        if (how == Meeting::ApplyLeftOpen)
            tickUntilWritten(0x84, 129);   // unlocked, nothing written yet
        Tab(4);   // the set-up tab is not shown again
        store.SetValue(0x0B56, 7);
    } else {
        Tab(7);
        applyManagement();
        tickUntilWritten(0x84, 0x9A);
        store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 3);   // a client, between two ticks
    }
    Tick(60);
    EXPECT_EQ(Writes(0x84), (std::vector<Trans> {Wr(0x84, 129, 2), Wr(0x84, 0x9A, 30), Wr(0x84, 129, 3)}));
    const std::vector<Trans> ptp = Writes(0xF0);
    const std::vector<Trans> ptpWrite {Wr(0xF0, 129, 2), Wr(0xF0, 0x88, 7), Wr(0xF0, 129, 3)};
    if (how == Meeting::PtpUnlockDropped) {
        EXPECT_EQ(ptp, std::vector<Trans> {Wr(0xF0, 129, 2)});
    } else if (how != Meeting::PageSelectedBeforeCommit) {
        EXPECT_TRUE(ptp.size() >= 3 && std::equal(ptpWrite.begin(), ptpWrite.end(), ptp.end() - 3))
            << ::testing::PrintToString(ptp);
    }
    std::vector<Trans> commands;
    for (const Trans& t : Trace())
        if (t.write && t.reg == 129)
            commands.push_back(t);
    for (const Trans& t : commands)
        EXPECT_TRUE(t.page == 0x84 || t.page == 0xF0) << ::testing::PrintToString(t);
    if (how == Meeting::PtpEditDuringApply || how == Meeting::ApplyLeftOpen) {   // one round each, in turn
        EXPECT_EQ(commands,
                  (std::vector<Trans> {Wr(0x84, 129, 2), Wr(0x84, 129, 3), Wr(0xF0, 129, 2), Wr(0xF0, 129, 3)}));
    } else if (how == Meeting::PtpWriteLeft) {
        EXPECT_EQ(commands,
                  (std::vector<Trans> {Wr(0xF0, 129, 2), Wr(0xF0, 129, 3), Wr(0x84, 129, 2), Wr(0x84, 129, 3)}));
    }
}

INSTANTIATE_TEST_SUITE_P(Apply, IpWritesMeet,
                         ::testing::Values(WritesMeet {"PtpUnlockDropped", Meeting::PtpUnlockDropped},
                                           WritesMeet {"PtpUnlockLeft", Meeting::PtpUnlockLeft},
                                           WritesMeet {"PtpWriteLeft", Meeting::PtpWriteLeft},
                                           WritesMeet {"PtpEditDuringApply", Meeting::PtpEditDuringApply},
                                           WritesMeet {"ApplyLeftOpen", Meeting::ApplyLeftOpen},
                                           WritesMeet {"PageSelectedBeforeCommit", Meeting::PageSelectedBeforeCommit}),
                         [](const ::testing::TestParamInfo<WritesMeet>& info) { return info.param.name; });
