// The manager's periodic step driven tick by tick: page settling, the three
// timers, the menu set-up, the flow copy through its phases, and what a mode
// switch puts back.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "ipsfp/manager/IpControlIds.h"

#include <optional>

namespace {

class IpStatusTick : public IpSfpTest {
protected:
    IpPendingAction& Copy() { return *manager.PendingAction(); }
    void StartCopy()
    {
        Copy() = IpPendingAction {&manager, 0, 0, 0, 0, 0};
    }
    // Runs the copy to its end; the ticks it took, the flow applies pressed
    // and the audio flows selected on the way.
    int RunCopy(int& applies, std::vector<int32_t>& audioFlows)
    {
        int ticks = 0;
        while (Copy().step != -1 && ticks < 1000) {
            manager.OnStatusTick();
            ++ticks;
            if (store.GetValue(2712) == 1) {
                ++applies;
                store.SetValue(2712, 0);
            }
            if (store.GetValue(COM_SFP_IP_AUDIO_FLOW_SEL) != (audioFlows.empty() ? 0 : audioFlows.back()))
                audioFlows.push_back(store.GetValue(COM_SFP_IP_AUDIO_FLOW_SEL));
        }
        return ticks;
    }
    int Count(const std::string& line) const
    {
        const std::string out = debug->Text();
        int n = 0;
        for (size_t at = out.find(line); at != std::string::npos; at = out.find(line, at + 1))
            ++n;
        return n;
    }
    static void SetAddress(std::span<const uint16_t> bytes, int32_t first)
    {
        for (size_t i = 0; i < bytes.size(); ++i)
            TpStore::Instance()->SetValue(bytes[i], first + static_cast<int32_t>(i));
    }
};

} // namespace

TEST_F(IpStatusTick, OnlyTheFirstRunningTimerCountsAndSettlingHoldsThemAll)
{
    IpFlowState& flow = IpFlow::State();
    store.SetValue(COM_SFP_TAB_SELECT, 1);
    manager.secondCopyTimer = 0;
    manager.statusRefreshTimer = 0;   // waits for the module to be ready, holding the others
    for (int i = 0; i < 20; ++i)
        manager.OnStatusTick();
    EXPECT_EQ(manager.statusRefreshTimer, 0);
    EXPECT_EQ(manager.secondCopyTimer, 0);

    manager.statusRefreshTimer = -1;
    flow.pageSettleCounter = 0;
    for (int i = 0; i < 5; ++i)
        manager.OnStatusTick();
    EXPECT_EQ(flow.pageSettleCounter, -1);
    EXPECT_EQ(manager.secondCopyTimer, 0) << "five settling ticks count no timer";
    for (int i = 0; i < 10; ++i)
        manager.OnStatusTick();
    EXPECT_EQ(store.GetValue(3445), 0);
    manager.OnStatusTick();
    EXPECT_EQ(store.GetValue(3445), 1);
    EXPECT_TRUE(debug->Contains("\nSecond Copy\n"));
    EXPECT_EQ(manager.secondCopyTimer, -1);

    flow.flowCopySideB = 1;
    manager.copyFlagTimer = 0;
    for (int i = 0; i < 5; ++i)
        manager.OnStatusTick();
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

TEST_F(IpStatusTick, MenuSetUpAndFlowListFocusAndStandardRequest)
{
    IpFlowState& flow = IpFlow::State();
    store.SetValue(COM_SFP_TAB_SELECT, 7);
    flow.menuRefreshDelay = 0;
    flow.flowListFocusB = 1;
    manager.OnStatusTick();
    EXPECT_EQ(flow.menuRefreshDelay, -1);
    EXPECT_EQ(flow.flowListFocusB, 1) << "the delay goes first";
    manager.OnStatusTick();
    EXPECT_EQ(flow.flowListFocusB, 0);
    EXPECT_TRUE(store.GetCmd(3371)->IsFocused());

    flow.standardUpdateRequest = 1;
    manager.OnStatusTick();
    EXPECT_EQ(flow.standardUpdateRequest, 0);
}

TEST_F(IpStatusTick, FlowCopyWithout2110DoesTheVideoPhaseOnly)
{
    SetAddress(IpIds::kMgmtIpBytes, 10);
    StartCopy();
    int applies = 0;
    std::vector<int32_t> audioFlows;
    const int ticks = RunCopy(applies, audioFlows);
    // Video sides 0 and 1 copy and apply; the audio round finds side 0
    // matching and ends the copy.
    EXPECT_EQ(ticks, 2 * 21 + 6);
    EXPECT_EQ(applies, 2);
    EXPECT_EQ(Count("\nFlows video copy\n"), 2);
    EXPECT_EQ(Count("\nFlows audio copy\n"), 1);
    EXPECT_EQ(Count("\nFlows anc copy\n"), 0);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FLOW_SEL), 0);
    EXPECT_TRUE(manager.SourceMatchesManagement(false));
    EXPECT_TRUE(manager.SourceMatchesManagement(true));
    EXPECT_EQ(IpFlow::State().flowCopySideA + IpFlow::State().flowCopySideB, 0);

    // Sources that already match are skipped at the check: no copy, no apply.
    StartCopy();
    applies = 0;
    EXPECT_EQ(RunCopy(applies, audioFlows), 3 * 6);
    EXPECT_EQ(applies, 0);
}

TEST_F(IpStatusTick, FlowCopyWith2110WalksTheEightAudioFlowsThenAnc)
{
    IpFlow::State().active2110 = 1;
    SetAddress(IpIds::kMgmtIpBytes, 20);
    StartCopy();
    int applies = 0;
    std::vector<int32_t> audioFlows;
    RunCopy(applies, audioFlows);
    EXPECT_EQ(audioFlows, (std::vector<int32_t> {1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(debug->Contains("\nFlows anc copy\n"));
    EXPECT_EQ(store.GetValue(COM_SFP_TAB_SELECT), 3) << "the menu follows the phase";
    EXPECT_EQ(Copy().phase, 3);
}

TEST_F(IpStatusTick, ModeSwitchPutsTheModuleStateBack)
{
    IpFlowState& flow = IpFlow::State();
    TpCommand packets(2615, 2);
    store.SetText(2615, "123");
    store.SetText(2692, "2110");
    store.SetValue(COM_SFP_IP_FLOW_SEL, 1);
    flow.flowCopySideA = 1;
    manager.secondCopyTimer = 4;
    manager.source1Seen = 1;
    flow.active2110 = 1;
    manager.SetModuleMode(1);
    EXPECT_EQ(store.GetCmdText(2615), "0");
    EXPECT_EQ(store.GetCmdText(2692), "IP Booting");
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FLOW_SEL), 0);
    EXPECT_EQ(flow.flowCopySideA, 0);
    EXPECT_EQ(manager.secondCopyTimer, -1);
    EXPECT_EQ(manager.source1Seen, 0);
    EXPECT_EQ(manager.progressStep, 60);
    EXPECT_EQ(SfpParamTable::Instance().Find(3283)->readRegister, 173);
    flow.active2110 = 0;
    manager.SetModuleMode(0);
    EXPECT_EQ(SfpParamTable::Instance().Find(2697)->readRegister, 172);
    EXPECT_EQ(flow.ipModuleMode, 0);
}
