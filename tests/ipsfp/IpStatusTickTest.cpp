// The manager's periodic step driven tick by tick: page settling, the three
// timers, the flow copy through its phases, and what a mode switch puts back.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "ipsfp/manager/IpControlIds.h"

#include <optional>

namespace {

class IpStatusTick : public IpSfpTest {
protected:
    IpPendingAction& Copy() { return *manager.PendingAction(); }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            manager.OnStatusTick();
    }
    // Starts a copy from the management address first.x and runs it to its
    // end, counting ticks and flow applies and noting the audio flows selected.
    void RunCopy(int32_t first)
    {
        {
            BusyGuard quiet(manager.busy);   // the address as read from the module
            for (size_t i = 0; i < 4; ++i)
                store.SetValue(IpIds::kMgmtIpBytes[i], first + static_cast<int32_t>(i));
        }
        Copy() = IpPendingAction {&manager, 0, 0, 0, 0, 0};
        ticks = applies = 0;
        for (; Copy().step != -1 && ticks < 1000; ++ticks) {
            manager.OnStatusTick();
            // The flow Apply press starts the flow configure.
            applies += manager.flowConfiguring;
            manager.flowConfiguring = 0;
            if (const int32_t flow = store.GetValue(COM_SFP_IP_AUDIO_FLOW_SEL); flow != 0 && (audioFlows.empty() || flow != audioFlows.back()))
                audioFlows.push_back(flow);
        }
    }
    int Count(const std::string& line) const
    {
        const std::string out = debug->Text();
        int n = 0;
        for (size_t at = out.find(line); at != std::string::npos; at = out.find(line, at + 1))
            ++n;
        return n;
    }

    int ticks = 0, applies = 0;
    std::vector<int32_t> audioFlows;
};

} // namespace

TEST_F(IpStatusTick, OnlyTheFirstRunningTimerCountsAndSettlingHoldsThemAll)
{
    IpFlowState& flow = IpFlow::State();
    store.SetValue(COM_SFP_TAB_SELECT, 1);
    manager.secondCopyTimer = 0;
    manager.statusRefreshTimer = 0;   // waits for the module to be ready, holding the others
    Ticks(20);
    EXPECT_EQ(manager.statusRefreshTimer, 0);
    EXPECT_EQ(manager.secondCopyTimer, 0);

    manager.statusRefreshTimer = -1;
    flow.pageSettleCounter = 0;
    Ticks(5);
    EXPECT_EQ(flow.pageSettleCounter, -1);
    EXPECT_EQ(manager.secondCopyTimer, 0) << "five settling ticks count no timer";
    Ticks(10);
    EXPECT_EQ(manager.videoReread, -1);
    manager.OnStatusTick();
    EXPECT_EQ(manager.videoReread, 0) << "the video re-read button is pressed";
    EXPECT_EQ(store.GetValue(3445), 0);
    EXPECT_TRUE(debug->Contains("\nSecond Copy\n"));
    EXPECT_EQ(manager.secondCopyTimer, -1);

    flow.flowCopySideB = 1;
    manager.copyFlagTimer = 0;
    Ticks(5);
    EXPECT_EQ(flow.flowCopySideB, 1);
    manager.OnStatusTick();
    EXPECT_EQ(flow.flowCopySideB, 0);
    EXPECT_EQ(manager.copyFlagTimer, -1);
}

TEST_F(IpStatusTick, AnUnselectablePageStaysBlockedAndRetries)
{
    UseModule();
    module.SetStatusOverride(0x04);   // not booted: the page never loads
    EXPECT_FALSE(manager.ChangePage(0x84));
    for (int i = 0; i < 3; ++i) {
        manager.OnStatusTick();
        EXPECT_EQ(manager.pageBlocked, 1);
        EXPECT_EQ(manager.currentPage, 0);
    }
    module.SetStatusOverride(std::nullopt);
    manager.OnStatusTick();
    EXPECT_EQ(manager.pageBlocked, 0);
    EXPECT_EQ(manager.currentPage, 0x84);
    EXPECT_EQ(manager.writeMark, -1);
}

TEST_F(IpStatusTick, FlowCopyWithout2110DoesTheVideoPhaseOnly)
{
    RunCopy(10);
    // Video sides 0 and 1 copy and apply; the audio round finds side 0
    // matching and ends the copy.
    EXPECT_EQ(ticks, 2 * 21 + 6);
    EXPECT_EQ(applies, 2);
    EXPECT_EQ(Count("\nFlows video copy\n"), 2);
    EXPECT_EQ(Count("\nFlows audio copy\n"), 1);
    EXPECT_EQ(Count("\nFlows anc copy\n"), 0);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FLOW_SEL), 0);
    EXPECT_TRUE(manager.SourceMatchesManagement(false) && manager.SourceMatchesManagement(true));
    EXPECT_EQ(IpFlow::State().flowCopySideA + IpFlow::State().flowCopySideB, 0);
    RunCopy(10);
    EXPECT_EQ(ticks, 3 * 6) << "matching sources are skipped at the check";
    EXPECT_EQ(applies, 0);
}

TEST_F(IpStatusTick, FlowCopyWith2110WalksTheEightAudioFlowsThenAnc)
{
    IpFlow::State().active2110 = 1;
    RunCopy(20);
    EXPECT_EQ(audioFlows, (std::vector<int32_t> {1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Count("\nFlows anc copy\n"), 2);
    EXPECT_EQ(store.GetValue(COM_SFP_TAB_SELECT), 3) << "the menu follows the phase";
}

TEST_F(IpStatusTick, ModeSwitchPutsTheModuleStateBack)
{
    IpFlowState& flow = IpFlow::State();
    TpCommand packets(2615, 2);
    store.SetText(2615, "123");
    store.SetValue(COM_SFP_IP_FLOW_SEL, 1);
    flow.flowCopySideA = 1;
    manager.secondCopyTimer = 4;
    flow.active2110 = 1;
    manager.SetModuleMode(1);
    EXPECT_EQ(store.GetCmdText(2615), "0");
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FLOW_SEL), 0);
    EXPECT_EQ(flow.flowCopySideA + manager.secondCopyTimer, -1);
    EXPECT_EQ(SfpParamTable::Instance().Find(3283)->readRegister, 173);
    flow.active2110 = 0;
    manager.SetModuleMode(0);
    EXPECT_EQ(SfpParamTable::Instance().Find(2697)->readRegister, 172);
    EXPECT_EQ(flow.ipModuleMode, 0);
}
