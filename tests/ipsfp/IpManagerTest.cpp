// The IP manager's controls through the store: construction, mode switch,
// deletion, address entry and followers, flow look-ups, show/hide sets, the
// multicast MAC, the standard converter and the firmware revision read.
#include "IpSfpTest.h"

#include "FakeSfpCage.h"
#include "FakeTwoWireBus.h"

#include "KrZuApi.h"
#include "ipsfp/manager/CorvaneToEmbrionixVidStd.h"
#include "ipsfp/manager/IPFollower.h"
#include "ipsfp/manager/IpControlIds.h"
#include "ui/TpDialog.h"
#include "ui/TpDialogList.h"

#include <memory>

namespace {

constexpr uint32_t kOrange = 0xFF7F00;

class IpManager : public IpSfpModuleTest {
protected:
    // Plain commands on ids the manager does not build, so the store reaches them.
    void Add(std::span<const uint16_t> ids)
    {
        for (uint16_t id : ids)
            extra.push_back(std::make_unique<TpCommand>(id, 1));
    }
    bool Visible(unsigned id) const { return store.GetCmd(id)->IsVisible(); }
    void SetBytes(std::span<const uint16_t> ids, std::initializer_list<int32_t> msbFirst)
    {
        size_t i = ids.size();
        for (int32_t v : msbFirst)
            store.SetValue(ids[--i], v);
    }
    static IpFlowState& Flow() { return IpFlow::State(); }

    std::vector<std::unique_ptr<TpCommand>> extra;
};

std::vector<int> ChainLengths(const TpStore& store)
{
    std::vector<int> lengths(TpCommandEntries::kEntryCount);
    for (unsigned id = 1; id < lengths.size(); ++id)
        for (const TpCommand* c = store.GetCmd(id); c != nullptr; c = c->NextInChain())
            ++lengths[id];
    return lengths;
}

} // namespace

TEST_F(IpManager, ConstructionShowsUnreadTextsAndModeSwitchLaysOutThePages)
{
    EXPECT_EQ(store.GetCmdText(2705), "Unread");
    EXPECT_FALSE(store.GetCmd(2703)->IsEnabled());
    EXPECT_FALSE(Visible(2707));
    EXPECT_EQ(store.GetCmdText(2692), "IP Booting") << "the reset overwrites \"2022-6\"";
    EXPECT_EQ(store.GetCmdText(2654), "BUSY! (\\) ");
    EXPECT_FALSE(Visible(2654));
    EXPECT_FALSE(Visible(2627));
    EXPECT_EQ(store.GetCmdText(2603), "Tx Packets:");
    EXPECT_EQ(store.GetCmdText(3343), "-");
    for (uint16_t id : IpIds::kFlowTextIds)
        EXPECT_EQ(store.GetCmdText(id), "") << id;
    const TpCommand* flows = store.GetCmd(3362);
    EXPECT_EQ(flows->GetItemText(0), "");
    EXPECT_EQ(flows->GetItemText(8), " Flow 8");
    EXPECT_FALSE(store.GetCmd(3522)->GetItemEnabled(0));
    EXPECT_FALSE(store.GetCmd(3449)->GetItemEnabled(4));
    EXPECT_TRUE(store.GetCmd(3449)->GetItemEnabled(1));
    EXPECT_TRUE(store.GetCmd(3288)->IsRangeEnabled());

    manager.SetModuleMode(1);
    EXPECT_TRUE(IpSfpManager::IsDecapsulating());
    EXPECT_EQ(store.GetCmdText(2602), "Filt MAC:");
    EXPECT_TRUE(Visible(2695) && !store.GetCmd(2695)->IsEnabled());
    EXPECT_TRUE(Visible(2601) && !Visible(3446) && !Visible(3320));
    EXPECT_FALSE(store.GetCmd(COM_SFP_TAB_SELECT)->GetItemEnabled(3));
    EXPECT_TRUE(store.GetCmd(COM_SFP_TAB_SELECT)->GetItemEnabled(7));
    EXPECT_TRUE(Visible(2654));
    EXPECT_EQ(SfpParamTable::Instance().Find(2697)->readRegister, 172);

    Flow().active2110 = 1;
    manager.SetModuleMode(0);
    EXPECT_EQ(store.GetCmdText(2603), "Tx Packets:");
    EXPECT_TRUE(store.GetCmd(2695)->IsEnabled() && Visible(3446) && Visible(3320) && !Visible(2601));
    EXPECT_EQ(SfpParamTable::Instance().Find(3283)->readRegister, 173);
}

TEST_F(IpManager, DeletingAManagerLeavesEveryChainAsItWas)
{
    const std::vector<int> before = ChainLengths(store);
    auto second = std::make_unique<IpSfpManager>();
    EXPECT_EQ(ChainLengths(store)[3036 + 338], before[3036 + 338] + 1);
    second.reset();
    EXPECT_EQ(ChainLengths(store), before);
}

TEST_F(IpManager, AddressEntryTakesOnlyDecimalNumbersAndBusyHoldsAcrossNestedWrites)
{
    const uint16_t* ssrc = IpIds::kAddressEntries[0].bytes;
    store.SetText(COM_SFP_IP_SSRC_EDITBOX, " 3232235777 ");
    EXPECT_EQ(store.GetValue(ssrc[0]), 192);
    EXPECT_EQ(store.GetValue(ssrc[1]), 168);
    EXPECT_EQ(store.GetValue(ssrc[3]), 1);
    EXPECT_EQ(store.GetCmd(COM_SFP_IP_SSRC_EDITBOX)->GetColour(), kOrange);
    for (const char* bad : {"4294967296", "", "-1", "12abc", "+5", "1 2"}) {
        store.SetText(3290, bad);
        EXPECT_EQ(store.GetValue(3315), 0) << bad;
        EXPECT_NE(store.GetCmd(3290)->GetColour(), kOrange) << bad;
    }
    store.SetText(3290, "4294967295");
    EXPECT_EQ(store.GetValue(3318), 255);

    manager.busy = 1;
    manager.ClearFlowTexts();
    EXPECT_EQ(manager.busy, 1) << "a nested writer puts the outer busy back";
    store.SetText(COM_SFP_IP_SSRC_EDITBOX, "7");
    EXPECT_EQ(store.GetValue(ssrc[3]), 1) << "ignored while busy";
}

TEST_F(IpManager, FollowersBuildTheDottedTextWithOneColourPerCharacter)
{
    SetBytes(IpIds::kWebFollowers[0].bytes, {192, 168, 1, 10});
    EXPECT_EQ(store.GetCmdText(2716), "192.168.1.10");
    EXPECT_EQ(store.GetCmd(2716)->GetCharColours().size(), 12u);
    SetBytes(IpIds::kWebFollowers[0].bytes, {-1, 10000, 7, 42});
    EXPECT_EQ(store.GetCmdText(2716), "-1.10000.7.42");
    EXPECT_EQ(store.GetCmd(2716)->GetCharColours().size(), 13u) << "counted from the text";

    SetBytes(IpIds::kFlowFollowers[4].bytes, {10, 0, 0, 1});
    EXPECT_EQ(store.GetCmdText(3285), "10.0.0.1");
    Flow().addressEditActive = 1;
    Flow().addressGroup = 2;
    Flow().ipModuleMode = 1;
    store.SetValue(0x0CE0, 2);
    EXPECT_EQ(store.GetCmdText(3336), "10.0.0.2") << "alternative B in decapsulation";
    EXPECT_EQ(store.GetCmdText(3285), "10.0.0.1");
}

TEST_F(IpManager, FlowLookupsFollowTabModeAndShownFlow)
{
    // tab, decapsulation, second flow, value, label, dest port, port, counter, encap
    struct Case {
        int tab, decap, second;
        uint16_t value, label, destPort, port, counter, encap;
    };
    const Case cases[] = {
        {2, 0, 0, 3259, 3255, 2997, 2996, 3263, 2808}, {2, 0, 1, 3340, 3324, 3322, 3323, 3344, 3552},
        {2, 1, 0, 3260, 3256, 2987, 2986, 3263, 0},    {3, 1, 1, 3353, 3355, 3348, 3349, 3345, 0},
        {3, 0, 0, 3261, 3257, 2951, 2950, 3264, 2980}, {4, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Flow().menuTab = c.tab;
        Flow().ipModuleMode = c.decap;
        Flow().secondFlowShown = static_cast<uint8_t>(c.second);
        EXPECT_EQ(IpSfpManager::FlowValueControl(), c.value) << c.tab << c.decap << c.second;
        EXPECT_EQ(IpSfpManager::FlowLabelControl(), c.label);
        EXPECT_EQ(IpSfpManager::FlowPortControl(COM_SFP_IP_DEST_UDP_PORT), c.destPort);
        EXPECT_EQ(IpSfpManager::FlowPortControl(COM_SFP_IP_SRC_UDP_PORT), c.port);
        EXPECT_EQ(IpSfpManager::FlowCounterControl(), c.counter);
        EXPECT_EQ(IpSfpManager::FlowEncapControl(), c.encap);
    }
    manager.RefreshFlowLabel("abc");
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_SSRC_EDITBOX), "abc") << "tab 4: only the SSRC box";
}

TEST_F(IpManager, ShowAndHideSetsFollowTheModeAndTheFlag)
{
    for (const IpIds::SetRow& row : IpIds::kSets)
        Add(row.ids);
    for (int decap : {0, 1}) {
        for (bool flag : {false, true}) {
            Flow().ipModuleMode = decap;
            for (const IpIds::SetRow& row : IpIds::kSets) {
                manager.ApplyVisibilitySet(row.set, flag);
                for (uint16_t id : row.ids) {
                    const TpCommand* c = store.GetCmd(id);
                    switch (row.rule) {
                    case IpIds::Rule::Encap: EXPECT_EQ(c->IsVisible(), decap == 0) << id; break;
                    case IpIds::Rule::Decap: EXPECT_EQ(c->IsVisible(), decap == 1) << id; break;
                    case IpIds::Rule::FlagClear: EXPECT_EQ(c->IsVisible(), !flag) << id; break;
                    case IpIds::Rule::FlagSet: EXPECT_EQ(c->IsVisible(), flag) << id; break;
                    case IpIds::Rule::Hide: EXPECT_FALSE(c->IsVisible()) << id; break;
                    case IpIds::Rule::Disable: EXPECT_FALSE(c->IsEnabled()) << id; break;
                    }
                }
            }
        }
    }
}

TEST_F(IpManager, MulticastDestinationGivesTheMacAndReservedRangesAreSeen)
{
    SetBytes(IpIds::kFlowDestBytes, {239, 129, 2, 3});
    manager.SetMulticastMac();
    const int expected[6] = {0x01, 0x00, 0x5E, 0x01, 0x02, 0x03};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(store.GetValue(IpIds::kFlowMacBytes[5 - i]), expected[i]) << i;
    EXPECT_FALSE(manager.IsReservedMulticast());
    SetBytes(IpIds::kFlowDestBytes, {192, 168, 1, 1});
    store.SetValue(IpIds::kFlowMacBytes[5], 9);
    manager.SetMulticastMac();
    EXPECT_EQ(store.GetValue(IpIds::kFlowMacBytes[5]), 9);
    SetBytes(IpIds::kFlowDestSecondBytes, {224, 0, 1, 7});
    EXPECT_TRUE(manager.IsReservedMulticast());
    SetBytes(IpIds::kFlowDestSecondBytes, {224, 0, 2, 0});
    EXPECT_FALSE(manager.IsReservedMulticast());
}

TEST_F(IpManager, StandardConverterGreysItemsAndAppliesTheChosenRow)
{
    CorvaneToEmbrionixVidStd& conv = *manager.VidStdConverter();
    Flow().ipModuleMode = 0;
    store.SetValue(3449, 2);
    EXPECT_EQ(Flow().standardUpdateRequest, 1);
    conv.UpdateVidStd();
    for (int item = 0; item < 14; ++item)
        EXPECT_EQ(store.GetCmd(3452)->GetItemEnabled(item), item >= 7 && item <= 9) << item;
    EXPECT_TRUE(store.GetCmd(3450)->GetItemEnabled(5) && !store.GetCmd(3450)->GetItemEnabled(2));

    store.SetValue(3449, 1);
    store.SetValue(3450, 2);
    store.SetValue(3452, 7);
    conv.UpdateVidStd();
    EXPECT_EQ(store.GetValue(2620), 9) << "row 5";
    EXPECT_EQ(store.GetValue(3106), 1);
    store.SetValue(3450, 3);
    store.SetValue(3452, 0);
    conv.UpdateVidStd();
    EXPECT_EQ(store.GetValue(3452), 9) << "no row has the rate: the last candidate, row 10";
    EXPECT_EQ(store.GetValue(2620), 11);
    EXPECT_EQ(store.GetValue(3106), 0);

    Flow().ipModuleMode = -1;
    store.SetValue(3450, 2);
    conv.UpdateVidStd();
    EXPECT_EQ(store.GetValue(2620), 11) << "nothing written while the mode is unknown";
}

TEST_F(IpManager, FirmwareRevisionIsReadFromTheModuleAfterTheSelectors)
{
    FakeTwoWireBus bus;
    bus.ShareLowerHalf(&module);
    SetTwoWireBus(&bus);
    module.SetFirmwareRevision(0x40, {0x01, 0x02, 0x0A, 0xFF});
    EXPECT_FALSE(store.GetCmd(2703)->IsEnabled());
    store.SetValue(2704, 1);
    EXPECT_TRUE(store.GetCmd(2703)->IsEnabled());
    store.SetValue(2703, 1);
    EXPECT_EQ(store.GetCmdText(2705), "Wait...");
    for (int tick = 1; tick < 40; ++tick)
        ASSERT_TRUE(manager.FirmwareReaderTick()) << tick;
    EXPECT_FALSE(manager.FirmwareReaderTick());
    EXPECT_EQ(store.GetCmdText(2705), "01h 02h 0Ah FFh ");
    EXPECT_TRUE(Visible(2707));
    EXPECT_EQ(store.GetValue(2703), 0);
    std::vector<uint8_t> selectors;
    for (const Trans& t : Trace())
        if (t.write && t.reg == 55)
            selectors.push_back(t.value);
    EXPECT_EQ(selectors, (std::vector<uint8_t> {0x00, 0x10, 0x20, 0x40}));
    EXPECT_FALSE(manager.FirmwareReaderTick());
    SetTwoWireBus(nullptr);
}

TEST_F(IpManager, PowerCycleAndWindowCloseSteps)
{
    FakeSfpCage cage;
    SetSfpCage(&cage);
    EXPECT_FALSE(manager.StepPowerCycle()) << "idle";
    manager.powerCycleCounter = 0;
    std::vector<bool> results;
    for (int i = 0; i < 13; ++i)
        results.push_back(manager.StepPowerCycle());
    EXPECT_EQ(results, (std::vector<bool> {false, false, false, false, false, false, false, false, false, true,
                                           true, true, false}));
    EXPECT_EQ(cage.powerCalls, (std::vector<int> {1}));
    SetSfpCage(nullptr);

    TpDialogList dialogs;
    ASSERT_TRUE(dialogs.LoadText("dialog|Main\n", "test"));
    auto second = std::make_unique<IpSfpManager>();
    store.SetValue(COM_SFP_TAB_SELECT, 6);
    Flow().ipModuleMode = 1;
    Flow().dialogState = 2;
    ShowDialog("Main", 1)->Close();
    EXPECT_NE(debug->Text().find("\nClosing Any Window\n"), std::string::npos);
    EXPECT_EQ(Flow().dialogState, -1);
    EXPECT_EQ(Flow().decapMapReopen, 1);
    second.reset();
    ShowDialog("Main", 1)->Close();   // the hook went with the manager
}

// The id tables agree with the parameter table's first and second controls.
TEST_F(IpManager, ControlTablesAgreeWithTheParameterTable)
{
    SfpParamTable& table = SfpParamTable::Instance();
    auto second = [&](unsigned id) { return table.Find(id) != nullptr ? table.Find(id)->secondCmdId : 0; };
    for (const IpIds::CopyRow& row : IpIds::kStandardCopies)
        EXPECT_EQ(second(row.from), row.to) << row.from;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(second(IpIds::kFlowDestBytes[i]), IpIds::kFlowDestSecondBytes[i]);
        EXPECT_EQ(second(IpIds::kFlowSrcBytes[i]), IpIds::kFlowSrcSecondBytes[i]);
        EXPECT_EQ(second(IpIds::kPtpFirstView[i]), IpIds::kPtpSecondView[i]);
        EXPECT_EQ(second(IpIds::kAddressEntries[0].bytes[i]), IpIds::kAddressEntries[1].bytes[i]);
        EXPECT_EQ(second(IpIds::kFlowFollowers[0].bytes[i]), IpIds::kFlowFollowers[4].bytes[i]);
    }
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(second(IpIds::kFlowMacBytes[i]), IpIds::kFlowMacSecondBytes[i]);
    size_t actions = 0;
    for (const SfpParamDef& def : SfpParamTable::Definitions())
        if (def.displayKind == SfpDisplayKind::NoDisplay) {
            ++actions;
            EXPECT_TRUE(manager.IsActionControl(nullptr, def.cmdId)) << def.cmdId;
        }
    EXPECT_EQ(actions, std::size(IpIds::kActionIds));
    TpCommand foreign(0x0A00, 1);
    EXPECT_FALSE(manager.IsActionControl(&foreign, 0x0A00));
    EXPECT_TRUE(manager.IsActionControl(store.GetCmd(0x0A00), 0));
}
