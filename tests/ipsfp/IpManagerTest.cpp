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

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

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
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FLOW_SSRC_ID4), 192) << "byte 4 is read back first";
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FLOW_SSRC_ID3), 168);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FLOW_SSRC_ID1), 1);
    EXPECT_EQ(store.GetCmd(COM_SFP_IP_SSRC_EDITBOX)->GetColour(), kOrange);
    for (const char* bad : {"4294967296", "", "-1", "12abc", "+5", "1 2"}) {
        store.SetText(3290, bad);
        EXPECT_EQ(store.GetValue(3315), 0) << bad;
        EXPECT_NE(store.GetCmd(3290)->GetColour(), kOrange) << bad;
    }
    store.SetText(3290, "4294967041");
    EXPECT_EQ(store.GetValue(3318), 255);
    EXPECT_EQ(store.GetValue(3315), 1);

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
    store.SetValue(3450, 3);
    store.SetValue(3452, 13);
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

// Every row of the combination table, chosen by its rate, sets the lists and the module's seven standard fields.
TEST_F(IpManager, EveryStandardCombinationWritesItsModuleFields)
{
    // family, format, rate; then scan 2617, sample 2619, vidFormat 2621, frameRate 2620, bitRate 2618, extra2 3106
    const uint8_t rows[29][9] = {
        {1, 2, 0, 1, 0, 1, 2, 0, 1},  {1, 2, 1, 1, 0, 1, 3, 0, 1},  {1, 2, 2, 1, 0, 1, 5, 0, 1},
        {1, 2, 3, 1, 0, 1, 6, 0, 1},  {1, 2, 4, 1, 0, 1, 7, 0, 1},  {1, 2, 7, 1, 0, 1, 9, 0, 1},
        {1, 2, 8, 1, 0, 1, 10, 0, 1}, {1, 2, 9, 1, 0, 1, 11, 0, 1}, {1, 3, 7, 0, 0, 0, 9, 0, 0},
        {1, 3, 8, 0, 0, 0, 10, 0, 0}, {1, 3, 9, 0, 0, 0, 11, 0, 0}, {1, 4, 0, 1, 0, 0, 2, 0, 0},
        {1, 4, 1, 1, 0, 0, 3, 0, 0},  {1, 4, 2, 1, 0, 0, 5, 0, 0},  {1, 4, 3, 1, 0, 0, 6, 0, 0},
        {1, 4, 4, 1, 0, 0, 7, 0, 0},  {1, 5, 0, 1, 0, 0, 2, 0, 1},  {1, 5, 1, 1, 0, 0, 3, 0, 1},
        {1, 5, 2, 1, 0, 0, 5, 0, 1},  {1, 5, 3, 1, 0, 0, 6, 0, 1},  {1, 5, 4, 1, 0, 0, 7, 0, 1},
        {2, 5, 7, 1, 0, 0, 9, 0, 1},  {2, 5, 8, 1, 0, 0, 10, 0, 1}, {2, 5, 9, 1, 0, 0, 11, 0, 1},
        {3, 5, 5, 1, 0, 2, 4, 2, 1},  {3, 5, 6, 1, 0, 2, 8, 2, 1},  {3, 5, 7, 1, 0, 2, 9, 2, 1},
        {3, 5, 8, 1, 0, 2, 10, 2, 1}, {3, 5, 9, 1, 0, 2, 11, 2, 1},
    };
    const uint16_t fields[] = {2617, 2619, 2621, 2620, 2618, 3106};
    Flow().ipModuleMode = 0;
    for (const auto& r : rows) {
        for (int id : {2617, 2619, 2621, 2620, 2618, 3106, 3105})
            store.SetValue(id, 99);
        store.SetValue(3449, r[0]);
        store.SetValue(3450, r[1]);
        store.SetValue(3452, r[2] + 1);
        store.SetValue(3452, r[2]);
        manager.VidStdConverter()->UpdateVidStd();
        EXPECT_EQ(store.GetValue(3105), 0);
        for (size_t i = 0; i < std::size(fields); ++i)
            EXPECT_EQ(store.GetValue(fields[i]), r[3 + i]) << int(r[0]) << int(r[1]) << int(r[2]) << " field " << i;
    }
}

TEST_F(IpManager, TabFocusMovesToEachTabsFirstControl)
{
    const uint16_t focusIds[] = {0x0A97, 0x0C03, 3416, 3456, 3371, 3366, 0x0A94};
    Add(std::span<const uint16_t>(&focusIds[2], 1));
    TpDialogList dialogs;
    ASSERT_TRUE(dialogs.LoadText("dialog|Main\nlabel|Audio Flows|0\nbutton|After|2663|focus\nend\n", "test"));
    TpDialog* main = ShowDialog("Main", 1);
    ASSERT_NE(main->FocusedControl(), nullptr);
    // tab, decapsulation, focused afterwards (0x0C03 and 3371 start focused, the others not)
    struct Case {
        int tab, decap;
        std::vector<uint16_t> focused;
    };
    const Case cases[] = {
        {0, 0, {0x0C03, 3371}},         {1, 0, {0x0A97, 0x0C03, 3371}}, {2, 0, {0x0A97, 3371}},
        {3, 1, {0x0A97, 0x0C03, 3371}}, {4, 0, {3416, 0x0C03, 3371}},   {5, 0, {3456, 0x0C03, 3371}},
        {6, 1, {0x0C03}},               {6, 0, {3366, 0x0C03, 3371}},   {7, 0, {0x0A94, 0x0C03, 3371}},
        {8, 0, {0x0C03, 3371}},
    };
    for (const Case& c : cases) {
        for (uint16_t id : focusIds)
            store.SetFocused(id, id == 0x0C03 || id == 3371);
        Flow().ipModuleMode = c.decap;
        Flow().sequencerStep = 5;
        Flow().decapMapReopen = 0;
        manager.FocusSfpTab(c.tab);
        for (uint16_t id : focusIds)
            EXPECT_EQ(store.GetCmd(id)->IsFocused(), std::ranges::count(c.focused, id) == 1) << c.tab << " " << id;
        EXPECT_EQ(Flow().sequencerStep, c.tab == 7 ? 0 : 5) << c.tab;
        EXPECT_EQ(Flow().decapMapReopen, c.tab == 6 && c.decap == 1 ? 1 : 0) << c.tab;
    }
    EXPECT_EQ(main->FocusedControl(), nullptr) << "the label's focus marks went with tab 2";
}

TEST_F(IpManager, EditColoursFollowTheWidgetTypes)
{
    TpDialogList dialogs;
    ASSERT_TRUE(dialogs.LoadText("dialog|Main\nbox|B|3290\nfield|F|3290\nlabel|L|3290\nend\n", "test"));
    TpDialog* main = ShowDialog("Main", 1);
    TpCommand* box = main->Controls()[0].get();
    TpCommand* field = main->Controls()[1].get();
    TpCommand* label = main->Controls()[2].get();
    store.SetColour(3290, kOrange);
    IpSfpManager::ClearEditColour(3290, false);
    EXPECT_EQ(field->GetColour(), kOrange);
    EXPECT_EQ(IpSfpManager::GetWidgetColour(3290), kOrange);
    IpSfpManager::ClearEditColour(3290, true);
    EXPECT_EQ(store.GetCmd(3290)->GetColour(), 0u) << "the manager's own control";
    EXPECT_EQ(box->GetColour(), 0u);
    EXPECT_EQ(field->GetColour(), 0xFFFFFFu);
    EXPECT_EQ(label->GetColour(), 0u);
    store.SetColour(3290, 0x123456);
    EXPECT_EQ(IpSfpManager::GetWidgetColourNotEdit(3290), 0x123456u);
    IpSfpManager::ClearEditColour(3290, false);
    EXPECT_EQ(field->GetColour(), 0xFFFFFFu) << "not orange: cleared";
    IpSfpManager::SetBoxEnabled(3290, false);
    EXPECT_FALSE(box->IsEnabled());
    EXPECT_TRUE(field->IsEnabled());
}

TEST_F(IpManager, StandardFieldsAndStatusFlagsAreColouredOncePerChange)
{
    Add(std::array<uint16_t, 6> {2622, 3443, 3561, 3360, 3444, 3562});
    constexpr uint32_t kRed = 0xFF0000;
    auto colours = [&](std::span<const uint16_t> ids) {
        std::vector<uint32_t> out;
        for (uint16_t id : ids)
            out.push_back(store.GetCmd(id)->GetColour());
        return out;
    };
    const std::vector<uint32_t> red(7, kRed), white(7, 0xFFFFFF);
    manager.ColourStandardFields(false);
    EXPECT_EQ(colours(IpIds::kStandardFirst), red);
    store.SetColour(2620, 0);
    manager.ColourStandardFields(false);
    EXPECT_EQ(store.GetCmd(2620)->GetColour(), 0u) << "unchanged: skipped";
    manager.ColourStandardFields(true);
    EXPECT_EQ(colours(IpIds::kStandardFirst), white);
    Flow().secondFlowShown = 1;
    manager.ColourStandardFields(false);
    EXPECT_EQ(colours(IpIds::kStandardSecond), red);
    EXPECT_EQ(colours(IpIds::kStandardFirst), white);

    // Each status control is coloured once, keeps its value, and waits for the hold to go.
    auto flagged = [&](unsigned id) {
        int n = 0;
        for (const TpCommand* c = store.GetCmd(id); c != nullptr; c = c->NextInChain())
            n += (id == COM_GEN1_PAYLOAD_ID ? c->GetColour() : c->GetBackColour()) == kRed;
        return n;
    };
    for (uint16_t id : IpIds::kStatusIds)
        store.SetValue(id, 7);
    manager.ColourStatusFlags(false);
    for (uint16_t id : IpIds::kStatusIds) {
        EXPECT_EQ(flagged(id), 1) << id;
        EXPECT_EQ(store.GetValue(id), 7) << id;
    }
    manager.ColourStatusFlags(true);
    EXPECT_EQ(flagged(36), 1) << "held";
    Flow().secondFlowShown = 0;
    manager.ColourStandardFields(false);
    manager.ColourStatusFlags(true);
    EXPECT_EQ(flagged(36) + flagged(COM_GEN1_PAYLOAD_ID), 0);
}

TEST_F(IpManager, ChannelCountsAndFlowTextsOfTheAudioAndAncTabs)
{
    Add(std::array<uint16_t, 5> {3390, 3391, 3399, 3401, 3402});
    constexpr uint32_t kRed = 0xFF0000;
    // decapsulation, second list (0x0DAD/0x0DAC), first list (0x0AFA/0x0BB1), count, red
    const int cases[][5] = {{0, 0, 0, 10, 0}, {0, 0, 0, 11, 1}, {0, 1, 0, 7, 1}, {0, 1, 0, 6, 0}, {0, 0, 1, 200, 0},
                            {1, 0, 0, 11, 1}, {1, 1, 0, 7, 1},  {1, 0, 0, 10, 0}, {1, 0, 2, 200, 0}};
    for (const auto& c : cases) {
        const bool decap = c[0] == 1;
        store.SetValue(decap ? 0x0DAC : 0x0DAD, c[1]);
        store.SetValue(decap ? 0x0BB1 : 0x0AFA, c[2]);
        store.SetColour(0x0BB3, kOrange);
        if (decap) {
            store.SetValue(0x0BB3, c[3]);
            manager.CheckDecapChannelCount();
        } else {
            manager.storedAudioFlowChoice[3] = {static_cast<uint8_t>(c[3]), 4};
            store.SetValue(0x0C03, 3);
            manager.LoadAudioFlowChoice();
            EXPECT_EQ(store.GetValue(3401), 4);
            manager.CheckEncapChannelCount();
        }
        const uint32_t mark = c[4] != 0 ? kRed : 0xFFFFFF;
        EXPECT_EQ(store.GetCmd(decap ? 0x0BB1 : 0x0AFA)->GetColour(), c[4] != 0 ? kRed : 0) << c[0] << c[1] << c[3];
        EXPECT_EQ(store.GetCmd(decap ? 3406 : 3390)->GetColour(), mark);
        EXPECT_EQ(store.GetCmd(3399)->GetColour(), mark);
        if (decap) {
            EXPECT_EQ(store.GetCmd(0x0BB3)->GetColour(), c[4] != 0 ? kRed : 0) << "cleared with force";
        }
    }
    for (int selector : {-1, 8}) {
        store.SetValue(0x0C03, selector);
        manager.LoadAudioFlowChoice();
        EXPECT_EQ(store.GetValue(3390) + store.GetValue(3401), 0) << selector;
    }

    for (const char* item : {"a", "b"})
        store.GetCmd(0x0D50)->AddItem(item);
    store.SetValue(0x0D50, 1);
    store.SetValue(0x0D4F, -1);
    store.SetText(3402, "x");
    Flow().secondFlowShown = 1;
    Flow().ipModuleMode = 1;
    manager.ShowAudioFlowSummary();
    EXPECT_EQ(store.GetCmdText(3399), "b") << "second flow, decapsulation";
    EXPECT_EQ(store.GetCmdText(3402), "") << "no selection";
    store.GetCmd(0x0BA5)->AddItem("anc");
    store.SetValue(0x0BA5, 0);
    manager.ShowAncFlowTexts();
    EXPECT_EQ(store.GetCmdText(3395), "") << "decapsulation";
    Flow().ipModuleMode = 0;
    manager.ShowAncFlowTexts();
    EXPECT_EQ(store.GetCmdText(3395), "anc");
}

TEST_F(IpManager, TxFlowLockPtpViewsAndGeneratorStandard)
{
    EXPECT_TRUE(manager.LockTxFlow()) << "nothing known";
    Flow().flowsKnown = 1;
    EXPECT_FALSE(manager.LockTxFlow());
    EXPECT_TRUE(manager.LockTxFlow());
    EXPECT_TRUE(debug->Contains("\nNo Flow-so locking first! \n"));
    EXPECT_FALSE(debug->Contains("Locking Tx second"));
    SfpParamTable::Instance().Find(0x0DEC)->value = 0;
    EXPECT_FALSE(manager.LockTxFlow());
    EXPECT_TRUE(Flow().lockedToSecond == 1 && Flow().lockedToFirst == 0 && manager.LockTxFlow());
    EXPECT_TRUE(debug->Contains("\nLocking Tx second flow\n"));

    manager.EnablePtpView(false, false);
    EXPECT_TRUE(manager.IsPtpViewLocked());
    EXPECT_TRUE(store.GetCmd(0x0D8A)->IsEnabled() && !store.GetCmd(0x0B64)->IsEnabled());
    manager.EnablePtpView(false, true);
    EXPECT_FALSE(manager.IsPtpViewLocked());
    manager.EnablePtpView(true, false);
    EXPECT_TRUE(manager.IsPtpViewLocked() && !store.GetCmd(0x0DA2)->IsEnabled());
    EXPECT_EQ(manager.busy, 0);

    TpCommand standard(COM_GEN1_STD_LONG_TEXT, 2);
    // text, decapsulation, 0x0C22 afterwards (-1: untouched, focus kept)
    const std::tuple<const char*, int, int> cases[] = {
        {"1080p50", 0, 1}, {"1080i59.94", 0, 0}, {"P", 0, 0}, {"", 0, -1}, {"720p", 1, -1}};
    for (const auto& [text, decap, expected] : cases) {
        store.SetValue(0x0C22, -1);
        store.SetValue(0x0C21, 5);
        store.SetFocused(0x0A97, true);
        store.SetText(COM_GEN1_STD_LONG_TEXT, text);
        Flow().ipModuleMode = decap;
        manager.ApplyGeneratorStandard();
        EXPECT_EQ(store.GetValue(0x0C22), expected) << text;
        EXPECT_EQ(store.GetValue(0x0C21), expected == -1 ? 5 : 0) << text;
        EXPECT_EQ(store.GetCmd(0x0A97)->IsFocused(), expected == -1) << text;
    }
    store.SetText(COM_GEN1_STD_LONG_TEXT, "1080p25");
    store.SetValue(COM_GEN1_OUT_ENABLE, 1);
    Flow().ipModuleMode = 0;
    Flow().active2110 = 1;
    store.SetValue(0x0C22, -1);
    manager.RefreshGeneratorStandard();
    EXPECT_EQ(store.GetValue(0x0C22), -1) << "the remembered tab is 7";
    manager.rememberedTab = 1;
    manager.RefreshGeneratorStandard();
    EXPECT_EQ(store.GetValue(0x0C22), 1);

    store.SetValue(COM_GEN1_LINK_TYPE, 2);
    store.SetValue(COM_GEN2_OUT_ENABLE, 1);
    manager.PrepareTxFlow();
    EXPECT_EQ(store.GetValue(COM_GEN1_LINK_TYPE), 0);
    EXPECT_EQ(store.GetValue(COM_GEN1_PAYLOAD_ID) * 10 + store.GetValue(COM_GEN2_OUT_ENABLE), 10);
    manager.RestoreLinkType();
    EXPECT_EQ(store.GetValue(COM_GEN1_LINK_TYPE), 2);
}

TEST_F(IpManager, AddressGroupsAndTheManagementCopy)
{
    SetBytes(IpIds::kMgmtIpBytes, {192, 168, 1, 10});
    SetBytes(IpIds::kMgmtMaskBytes, {255, 255, 255, 255});
    SetBytes(IpIds::kFlowDestBytes, {7, 7, 7, 7});
    EXPECT_EQ(manager.AddressGroupValue(1), 7);
    EXPECT_EQ(manager.AddressGroupValue(2), -1) << "bytes differ";
    EXPECT_EQ(manager.AddressGroupValue(3), 255);
    Flow().sequencerRunning = 1;
    Flow().menuTab = 2;
    Flow().ipModuleMode = 1;
    for (int group = 0; group <= 5; ++group)
        EXPECT_EQ(manager.AddressGroupValue(group), -1) << "not transmitting: " << group;

    EXPECT_FALSE(manager.SourceMatchesManagement(false));
    manager.CopyManagementToSource();
    EXPECT_EQ(store.GetValue(COM_SFP_IP_SRC_IP_ADD4), 192);
    EXPECT_TRUE(manager.SourceMatchesManagement(false));
    EXPECT_FALSE(manager.SourceMatchesManagement(true));
    Flow().flowCopySideB = 1;
    manager.CopyManagementToSource();
    EXPECT_TRUE(manager.SourceMatchesManagement(true));
    EXPECT_EQ(store.GetValue(0x0CE3), 192);
}
