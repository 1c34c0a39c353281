// The IP manager's controls through the store: construction, mode switch,
// deletion, address entry and followers, the multicast MAC, the standard
// converter, the firmware revision read, tab focus and colours.
#include "IpSfpTest.h"

#include "FakeTwoWireBus.h"

#include "KrZuApi.h"
#include "ipsfp/manager/CorvaneToEmbrionixVidStd.h"
#include "ipsfp/manager/IPFollower.h"
#include "ipsfp/manager/IpControlOps.h"
#include "ui/widgets/TpDialog.h"
#include "ui/dialogs/TpDialogList.h"

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
            extra.push_back(std::make_unique<TpCommand>(id, kKeepsValue));
    }
    bool Visible(unsigned id) const { return store.GetCmd(id)->IsVisible(); }
    void SetBytes(std::span<const uint16_t> ids, std::initializer_list<int32_t> msbFirst)
    {
        size_t i = ids.size();
        for (int32_t v : msbFirst)
            store.SetValue(ids[--i], v);
    }
    const IpFlowView& Flow() { return manager.Flows(); }

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
    for (unsigned id : {2695, 3290, 3255, 3324, 3257, 3334, 3256, 3258, 3354, 3355})
        EXPECT_EQ(store.GetCmdText(id), "") << id;
    const TpCommand* flows = store.GetCmd(3362);
    EXPECT_EQ(flows->GetItemText(0), "");
    EXPECT_EQ(flows->GetItemText(8), " Flow 8");
    EXPECT_FALSE(store.GetCmd(3522)->GetItemEnabled(0));
    EXPECT_FALSE(store.GetCmd(3449)->GetItemEnabled(4));
    EXPECT_TRUE(store.GetCmd(3449)->GetItemEnabled(1));
    EXPECT_TRUE(store.GetCmd(3288)->IsRangeEnabled());

    manager.SetModuleMode(1);
    EXPECT_TRUE(manager.Flows().IsDecapsulating());
    EXPECT_EQ(store.GetCmdText(2602), "Filt MAC:");
    EXPECT_TRUE(Visible(2695) && !store.GetCmd(2695)->IsEnabled());
    EXPECT_TRUE(Visible(2601) && !Visible(3446) && !Visible(3320));
    EXPECT_FALSE(store.GetCmd(COM_SFP_TAB_SELECT)->GetItemEnabled(3));
    EXPECT_TRUE(store.GetCmd(COM_SFP_TAB_SELECT)->GetItemEnabled(7));
    EXPECT_TRUE(Visible(2654));
    EXPECT_EQ(SfpParamTable::Instance().Find(2697)->readRegister, 172);

    manager.Sequencer().RunUpdateStep();   // the simulated module runs 2110 firmware
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

TEST_F(IpManager, AddressEntryTakesOnlyDecimalNumbers)
{
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
}

TEST_F(IpManager, FollowersBuildTheDottedTextWithOneColourPerCharacter)
{
    const uint16_t web[] = {2562, 2563, 2564, 2565};
    SetBytes(web, {192, 168, 1, 10});
    EXPECT_EQ(store.GetCmdText(2716), "192.168.1.10");
    EXPECT_EQ(store.GetCmd(2716)->GetCharColours().size(), 12u);
    SetBytes(web, {-1, 10000, 7, 42});
    EXPECT_EQ(store.GetCmdText(2716), "-1.10000.7.42");
    EXPECT_EQ(store.GetCmd(2716)->GetCharColours().size(), 13u) << "counted from the text";
    const uint16_t secondSource[] = {0x0CE0, 0x0CE1, 0x0CE2, 0x0CE3};
    SetBytes(secondSource, {10, 0, 0, 1});
    EXPECT_EQ(store.GetCmdText(3285), "10.0.0.1");
}

TEST_F(IpManager, MulticastDestinationGivesTheMacAndReservedRangesAreSeen)
{
    const uint16_t dest[] = {0x0A17, 0x0A18, 0x0A19, 0x0A1A}, secondDest[] = {0x0CE5, 0x0CE6, 0x0CE7, 0x0CE8};
    const uint16_t macMsbFirst[] = {0x0A20, 0x0A1F, 0x0A1E, 0x0A1D, 0x0A1C, 0x0A1B};
    SetBytes(dest, {239, 129, 2, 3});
    manager.Flows().SetMulticastMac();
    const int expected[6] = {0x01, 0x00, 0x5E, 0x01, 0x02, 0x03};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(store.GetValue(macMsbFirst[i]), expected[i]) << i;
    EXPECT_FALSE(manager.Flows().IsReservedMulticast());
    SetBytes(dest, {192, 168, 1, 1});
    store.SetValue(0x0A20, 9);
    manager.Flows().SetMulticastMac();
    EXPECT_EQ(store.GetValue(0x0A20), 9);
    SetBytes(secondDest, {224, 0, 1, 7});
    EXPECT_TRUE(manager.Flows().IsReservedMulticast());
    SetBytes(secondDest, {224, 0, 2, 0});
    EXPECT_FALSE(manager.Flows().IsReservedMulticast());
}

TEST_F(IpManager, StandardConverterGreysItemsAndAppliesTheChosenRow)
{
    CorvaneToEmbrionixVidStd& conv = *manager.VidStdConverter();
    manager.SetModuleMode(0);
    store.SetValue(3449, 2);
    EXPECT_EQ(manager.VidStdConverter()->UpdateRequested(), 1);
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

    manager.Flows().ResetFlowSelection();   // the module's direction unknown
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

TEST_F(IpManager, WindowCloseRaisesTheAudioMapsReopenFlag)
{
    TpDialogList dialogs;
    ASSERT_TRUE(dialogs.LoadText("dialog|Main\n", "test"));
    auto second = std::make_unique<IpSfpManager>();
    store.SetValue(COM_SFP_TAB_SELECT, 6);
    second->SetModuleMode(1);   // the window hook is the last manager's
    ShowDialog("Main", 1)->Close();
    EXPECT_NE(debug->Text().find("\nClosing Any Window\n"), std::string::npos);
    EXPECT_EQ(second->WindowSelection(), -1);
    EXPECT_EQ(second->Flows().MapReopenRequested(true), 1);
    second.reset();
    ShowDialog("Main", 1)->Close();   // the hook went with the manager
}

TEST_F(IpManager, OnlyTheManagersOwnControlIsAnActionControl)
{
    TpCommand foreign(0x0A00, kKeepsValue);
    EXPECT_TRUE(manager.Controls().IsActionControl(nullptr, 0x0A00));
    EXPECT_FALSE(manager.Controls().IsActionControl(&foreign, 0x0A00));
    EXPECT_TRUE(manager.Controls().IsActionControl(store.GetCmd(0x0A00), 0));
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
    manager.SetModuleMode(0);
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
        {6, 0, {3366, 0x0C03, 3371}},   {7, 0, {0x0A94, 0x0C03, 3371}}, {8, 0, {0x0C03, 3371}},
        {6, 1, {0x0C03}},
    };
    for (const Case& c : cases) {
        for (uint16_t id : focusIds)
            store.SetFocused(id, id == 0x0C03 || id == 3371);
        manager.SetModuleMode(static_cast<uint8_t>(c.decap));
        manager.Flows().FocusSfpTab(c.tab);
        for (uint16_t id : focusIds)
            EXPECT_EQ(store.GetCmd(id)->IsFocused(), std::ranges::count(c.focused, id) == 1) << c.tab << " " << id;
        EXPECT_EQ(Flow().MapReopenRequested(true), c.tab == 6 && c.decap == 1 ? 1 : 0) << c.tab;
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
    IpControlOps::ClearEditColour(3290, false);
    EXPECT_EQ(field->GetColour(), kOrange);
    EXPECT_EQ(IpControlOps::GetWidgetColour(3290), kOrange);
    IpControlOps::ClearEditColour(3290, true);
    EXPECT_EQ(store.GetCmd(3290)->GetColour(), 0u) << "the manager's own control";
    EXPECT_EQ(box->GetColour(), 0u);
    EXPECT_EQ(field->GetColour(), 0xFFFFFFu);
    EXPECT_EQ(label->GetColour(), 0u);
    store.SetColour(3290, 0x123456);
    EXPECT_EQ(IpControlOps::GetWidgetColourNotEdit(3290), 0x123456u);
    IpControlOps::ClearEditColour(3290, false);
    EXPECT_EQ(field->GetColour(), 0xFFFFFFu) << "not orange: cleared";
    IpControlOps::SetBoxEnabled(3290, false);
    EXPECT_FALSE(box->IsEnabled());
    EXPECT_TRUE(field->IsEnabled());
}

TEST_F(IpManager, StandardFieldsAndStatusFlagsAreColouredOncePerChange)
{
    Add(std::array<uint16_t, 3> {2622, 3443, 3561});
    constexpr uint32_t kRed = 0xFF0000;
    const uint16_t standard[] = {2620, 2618, 2621, 2619, 2622, 3443, 3561};
    auto colours = [&] {
        std::vector<uint32_t> out;
        for (uint16_t id : standard)
            out.push_back(store.GetCmd(id)->GetColour());
        return out;
    };
    manager.Controls().ColourStandardFields(false);
    EXPECT_EQ(colours(), std::vector<uint32_t>(7, kRed));
    store.SetColour(2620, 0);
    manager.Controls().ColourStandardFields(false);
    EXPECT_EQ(store.GetCmd(2620)->GetColour(), 0u) << "unchanged: skipped";
    manager.Controls().ColourStandardFields(true);
    EXPECT_EQ(colours(), std::vector<uint32_t>(7, 0xFFFFFF));

    // Each status control is coloured once, keeps its value, and waits for the hold to go.
    auto flagged = [&](unsigned id) {
        int n = 0;
        for (const TpCommand* c = store.GetCmd(id); c != nullptr; c = c->NextInChain())
            n += (id == COM_GEN1_PAYLOAD_ID ? c->GetColour() : c->GetBackColour()) == kRed;
        return n;
    };
    const unsigned status[] = {36, 37, 12, 13, 20};
    for (unsigned id : status)
        store.SetValue(id, 7);
    manager.Controls().ColourStatusFlags(false);
    for (unsigned id : status) {
        EXPECT_EQ(flagged(id), 1) << id;
        EXPECT_EQ(store.GetValue(id), 7) << id;
    }
    manager.Controls().ColourStatusFlags(true);
    EXPECT_EQ(flagged(36), 1) << "held";
    manager.Controls().ColourStandardFields(false);
    manager.Controls().ColourStatusFlags(true);
    EXPECT_EQ(flagged(36) + flagged(COM_GEN1_PAYLOAD_ID), 0);
}

TEST_F(IpManager, TxFlowLockPtpViewsAndGeneratorStandard)
{
    EXPECT_TRUE(manager.Flows().LockTxFlow()) << "nothing known";
    EXPECT_FALSE(debug->Contains("Locking Tx second"));
    store.SetValue(0x0DEC, 1);   // an action on the second flow: it reports
    EXPECT_FALSE(manager.Flows().LockTxFlow());
    EXPECT_TRUE(Flow().LockedToSecond() == 1 && Flow().LockedToFirst() == 0 && manager.Flows().LockTxFlow());
    EXPECT_TRUE(debug->Contains("\nLocking Tx second flow\n"));

    manager.Flows().EnablePtpView(false, false);
    EXPECT_TRUE(manager.Flows().IsPtpViewLocked());
    EXPECT_TRUE(store.GetCmd(0x0D8A)->IsEnabled() && !store.GetCmd(0x0B64)->IsEnabled());
    manager.Flows().EnablePtpView(false, true);
    EXPECT_FALSE(manager.Flows().IsPtpViewLocked());
    manager.Flows().EnablePtpView(true, false);
    EXPECT_TRUE(manager.Flows().IsPtpViewLocked() && !store.GetCmd(0x0DA2)->IsEnabled());
    EXPECT_EQ(manager.Busy().Byte(), 0);

    TpCommand standard(COM_GEN1_STD_LONG_TEXT, kKeepsText);
    // text, decapsulation, 0x0C22 afterwards (-1: untouched, focus kept)
    const std::tuple<const char*, int, int> cases[] = {
        {"1080p50", 0, 1}, {"1080i59.94", 0, 0}, {"P", 0, 0}, {"", 0, -1}, {"720p", 1, -1}};
    for (const auto& [text, decap, expected] : cases) {
        store.SetValue(0x0C22, -1);
        store.SetValue(0x0C21, 5);
        store.SetFocused(0x0A97, true);
        store.SetText(COM_GEN1_STD_LONG_TEXT, text);
        manager.SetModuleMode(static_cast<uint8_t>(decap));
        manager.Flows().ApplyGeneratorStandard();
        EXPECT_EQ(store.GetValue(0x0C22), expected) << text;
        EXPECT_EQ(store.GetValue(0x0C21), expected == -1 ? 5 : 0) << text;
        EXPECT_EQ(store.GetCmd(0x0A97)->IsFocused(), expected == -1) << text;
    }
    store.SetText(COM_GEN1_STD_LONG_TEXT, "1080p25");
    store.SetValue(COM_GEN1_OUT_ENABLE, 1);
    manager.Sequencer().RunUpdateStep();   // the simulated module: 2110 firmware, encapsulating
    store.SetValue(0x0C22, -1);
    manager.Flows().RefreshGeneratorStandard();
    EXPECT_EQ(store.GetValue(0x0C22), -1) << "the remembered tab is 7";
    store.SetValue(COM_SFP_TAB_SELECT, 1);
    manager.Flows().RefreshGeneratorStandard();
    EXPECT_EQ(store.GetValue(0x0C22), 1);

    store.SetValue(COM_GEN1_LINK_TYPE, 2);
    store.SetValue(COM_GEN2_OUT_ENABLE, 1);
    manager.Flows().PrepareTxFlow();
    EXPECT_EQ(store.GetValue(COM_GEN1_LINK_TYPE), 0);
    EXPECT_EQ(store.GetValue(COM_GEN1_PAYLOAD_ID) * 10 + store.GetValue(COM_GEN2_OUT_ENABLE), 10);
    manager.Flows().RestoreLinkType();
    EXPECT_EQ(store.GetValue(COM_GEN1_LINK_TYPE), 2);
}

TEST_F(IpManager, AddressGroupsAndTheManagementCopy)
{
    SetBytes(std::array<uint16_t, 4> {2562, 2563, 2564, 2565}, {192, 168, 1, 10});
    SetBytes(std::array<uint16_t, 4> {2566, 2567, 2568, 2569}, {255, 255, 255, 255});
    SetBytes(std::array<uint16_t, 4> {0x0A17, 0x0A18, 0x0A19, 0x0A1A}, {7, 7, 7, 7});
    EXPECT_EQ(manager.Flows().AddressGroupValue(1), 7);
    EXPECT_EQ(manager.Flows().AddressGroupValue(2), -1) << "bytes differ";
    EXPECT_EQ(manager.Flows().AddressGroupValue(3), 255);
    EXPECT_FALSE(manager.Tick().SourceMatchesManagement(false));
    manager.Tick().CopyManagementToSource();
    EXPECT_EQ(store.GetValue(COM_SFP_IP_SRC_IP_ADD4), 192);
    EXPECT_TRUE(manager.Tick().SourceMatchesManagement(false));
    EXPECT_FALSE(manager.Tick().SourceMatchesManagement(true));
}
