// Logical pages map to physical pages through the selectors; a page change moves the flow rows, selects once.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "core/store/TpCommand.h"

#include <map>

namespace {

class SfpPageMap : public IpSfpModuleTest {
protected:
    // The selectors as a user sets them (each changed page selector selects its page).
    void Select(int32_t flow, int32_t audio, int32_t anc, int32_t ptp, int32_t blockE)
    {
        store.SetValue(COM_SFP_IP_FLOW_SEL, flow);
        store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, audio);
        store.SetValue(COM_SFP_IP_ANC_FLOW_SEL, anc);
        store.SetValue(COM_SFP_IP_PTP_SEL, ptp);
        store.SetValue(COM_SFP_IP_BLOCK_E_SEL, blockE);
    }
    // Per-flow rows counted by page; other rows under their page + 0x100.
    static std::map<int, int> RowsByPage()
    {
        std::map<int, int> pages;
        for (const SfpParamRow& row : SfpParamTable::Instance().Rows())
            ++pages[row.followsFlowPage != 0 ? row.page : 0x100 + row.page];
        return pages;
    }

};

} // namespace

TEST_F(SfpPageMap, SelectorsChooseThePhysicalPage)
{
    struct Case {
        int32_t flow, audio, anc, ptp, blockE;
        uint8_t logical, physical;
    };
    // selectors (flow, audio, anc, ptp, block E), logical page, physical page
    const Case cases[] = {
        {1, 0, 0, 0, 0, 0x90, 0x91},  {-1, 0, 0, 0, 0, 0x90, 0x90},  {1, 2, 0, 0, 0, 0xFF, 0xB2},
        {0, 3, 0, 0, 0, 0xFE, 0xA3},  {0, -4, 0, 0, 0, 0xFE, 0xA0},  {1, 0, -1, 0, 0, 0xFD, 0xD1},
        {0, 0, 0, 1, 0, 0xF9, 0xF1},  {0, 0, 0, 0, 3, 0xFB, 0xE3},   {1, 5, 5, 5, 5, 0x84, 0x84},
        {0, 0x70, 0, 0, 0, 0xFE, 0x10}, {0, 0, 0, 0x7FFFFFFF, 0, 0xF9, 0xEF}, {0, 0, 2, 0, 0, 0xFC, 0xD2},
    };
    for (const Case& c : cases) {
        Select(c.flow, c.audio, c.anc, c.ptp, c.blockE);
        EXPECT_EQ(manager.Pages().MapLogicalPage(c.logical), c.physical) << std::hex << int {c.logical};
    }

}

TEST_F(SfpPageMap, ChangeMovesTheFlowRowsAndSelectsThePhysicalPage)
{
    store.SetValue(COM_SFP_IP_FLOW_SEL, 1);
    const auto before = RowsByPage();
    ASSERT_EQ(before.at(0x90), 71);

    store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 2);   // the audio flow's page is selected
    auto pages = RowsByPage();
    EXPECT_EQ(pages.at(0xFE), 71);
    pages.erase(0xFE);
    auto others = before;
    others.erase(0x90);
    EXPECT_EQ(pages, others) << "other rows stay where they are";
    EXPECT_EQ(Trace(), (std::vector<Trans> {Rd(0, 128, 0x80), Wr(0, 127, 0xB2)}));
    EXPECT_EQ(manager.Pages().RequestedPage(), 0xFE);
    EXPECT_EQ(manager.Pages().PageBlocked(), 1);
    EXPECT_EQ(manager.Pages().WriteMark(), 0);

    // The first of the per-flow logical pages carries the rows itself.
    EXPECT_FALSE(manager.Pages().ChangePage(0xFC));
    EXPECT_EQ(RowsByPage().at(0xFC), 71);
    // Back on the first flow's own page.
    EXPECT_FALSE(manager.Pages().ChangePage(0xC0));
    EXPECT_EQ(RowsByPage().at(0xC0), 71);
    EXPECT_FALSE(manager.Pages().ChangePage(0x90));
    EXPECT_EQ(RowsByPage().at(0x90), 71);
    EXPECT_EQ(module.SelectedPage(), 0x91);
    EXPECT_TRUE(debug->Text().empty());
}

TEST_F(SfpPageMap, SamePageAgainOnlyPollsAndARefusedRequestIsMadeAgain)
{
    ASSERT_FALSE(manager.Pages().ChangePage(0x84));
    manager.OnStatusTick();   // the page settles
    module.ClearTrace();
    EXPECT_TRUE(manager.Pages().ChangePage(0x84));
    EXPECT_EQ(Trace(), (std::vector<Trans> {Rd(0x84, 128, 0x84)}));
    EXPECT_EQ(manager.Pages().PageBlocked(), 0);
    EXPECT_EQ(manager.Pages().WriteMark(), -1);

    // A changed selector does not select again until another page was asked for.
    ASSERT_FALSE(manager.Pages().ChangePage(0x90));
    ASSERT_TRUE(manager.Pages().ChangePage(0x90));
    store.SetValue(COM_SFP_IP_FLOW_SEL, 1);
    EXPECT_TRUE(manager.Pages().ChangePage(0x90));
    EXPECT_EQ(module.SelectedPage(), 0x90);
    ASSERT_FALSE(manager.Pages().ChangePage(0x84));
    EXPECT_FALSE(manager.Pages().ChangePage(0x90));
    EXPECT_EQ(module.SelectedPage(), 0x91);

    // A request refused while the load is pending is made again next time.
    module.SetPageLoadPolls(1000000);
    ASSERT_FALSE(manager.Pages().ChangePage(0xFA));
    module.ClearTrace();
    EXPECT_FALSE(manager.Pages().ChangePage(0xC0));
    EXPECT_EQ(manager.Pages().RequestedPage(), 0xFA);
    EXPECT_EQ(manager.Pages().PageBlocked(), 1);
    EXPECT_EQ(manager.Pages().WriteMark(), 0);
    EXPECT_EQ(Trace(), (std::vector<Trans> {Rd(0xFA, 128, 0x80)}));

    module.SetStatusOverride(0x86);
    EXPECT_FALSE(manager.Pages().ChangePage(0xC0));
    EXPECT_EQ(manager.Pages().RequestedPage(), 0xC0);
    EXPECT_EQ(module.SelectedPage(), 0xC0);
}
