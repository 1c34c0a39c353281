// The IP pages end to end with the fake module, one status-page tick at a
// time: reading every tab, a management edit applied with its exact bus
// traffic, Cancel, the progress box, a silent module and the sub-dialogs.
#include "IpPageTest.h"

#include <algorithm>
#include <string>

namespace {

constexpr uint16_t kIpBytes[] = {2562, 2563, 2564, 2565};
constexpr uint16_t kDestByte4 = 0x0A1A;   // first dotted octet, register 0x8F

using IpConfigureRead = IpPageTest;

TEST_F(IpConfigureRead, EveryTabReadsItsPagesWithoutWriting)
{
    Fit(1);
    Tick(12);   // the page table's pages first
    EXPECT_EQ(store.GetValue(kDestByte4), 239);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DEST_UDP_PORT), 0x1388);
    ReadManagement();
    for (const SfpPageEntry& e : SfpLink::State().pageTable)
        EXPECT_TRUE(e.page == 0 || e.loaded != 0) << int(e.page);
    EXPECT_EQ(store.GetValue(kIpBytes[3]), 192);
    EXPECT_EQ(Progress().find("Reading SFP "), std::string::npos);
    for (const auto& [tab, page] : {std::pair {3, 0xD0}, {4, 0xF0}}) {
        module.ClearTrace();
        store.SetValue(COM_SFP_TAB_SELECT, tab);
        Tick(10);   // both flows (PTP views) in one cycle
        EXPECT_TRUE(ReadOn(static_cast<uint8_t>(page)) && ReadOn(static_cast<uint8_t>(page + 1))) << tab;
    }
    store.SetValue(COM_SFP_TAB_SELECT, 5);
    store.SetValue(COM_SFP_IP_BLOCK_E_SEL, 2);
    Tick(3);
    EXPECT_TRUE(ReadOn(0xE2));
    SimEmSfpFlags().SetDecapsulation(1);
    Tick();
    Tab(2);
    Tick(12);
    EXPECT_TRUE(ReadOn(0xA0) || ReadOn(0xB0));
    for (const Trans& t : Trace())
        EXPECT_TRUE(!t.write || t.reg == 127) << int(t.page) << " " << int(t.reg);
}

TEST_F(IpConfigureRead, ManagementApplyUnlocksWritesAndCommitsOnce)
{
    LogStatus();
    module.Seed(0x84, 0x8B, {172, 16, 0, 5});
    Fit();
    ReadManagement();
    module.SetStagedWrites(true);
    const int32_t edit[] = {10, 1, 168, 192};
    for (size_t i = 0; i < 4; ++i)
        store.SetValue(kIpBytes[i], edit[i]);
    EXPECT_EQ(Mgr().Configure().CountKnownParameters().all, 4u);
    Tick(10);
    module.ClearTrace();
    EXPECT_TRUE(Writes(0x84).empty());   // held until Apply
    store.SetValue(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, 1);
    std::vector<int> remain;
    for (int i = 0; i < 40; ++i) {
        Tick();
        if (Progress().rfind("Remain:", 0) == 0)
            remain.push_back(std::stoi(Progress().substr(7)));
    }
    EXPECT_EQ(Writes(0x84), (std::vector<Trans> {Wr(0x84, 129, 2), Wr(0x84, 0x9A, 10), Wr(0x84, 0x99, 1),
                                                 Wr(0x84, 0x98, 168), Wr(0x84, 0x97, 192), Wr(0x84, 129, 3)}));
    EXPECT_EQ(module.Peek(0x84, 0x97), 192);
    ASSERT_FALSE(remain.empty());
    EXPECT_EQ(remain.front(), 4);
    EXPECT_TRUE(std::is_sorted(remain.rbegin(), remain.rend()));
    EXPECT_EQ(Mgr().Configure().CountKnownParameters().all, 0u);
    EXPECT_EQ(Mgr().Configure().ControllerConfiguring(), 0);
    EXPECT_EQ(Events(" 292 Web IP Add byte4=192"), 1) << "each byte written is logged once";
}

// A management Apply whose unlock the module refuses, left open on the video flows tab: it is tried again, and
// meanwhile the tab still reads its flow page; once the unlock is taken, a byte whose write fails is read back
// with the page.
TEST_F(IpConfigureRead, AFailedUnlockIsTriedAgainAndAFailedWriteIsReadBackUnlogged)
{
    LogStatus();
    Fit();
    ReadManagement();
    module.FailWritesOf(0x9A);
    store.SetValue(kIpBytes[0], 11);
    store.SetValue(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, 1);
    Tab(1);
    module.ClearTrace();
    module.FailWritesOf(129);   // the unlock, until the module takes it
    Tick(100);
    EXPECT_EQ(store.GetValue(kDestByte4), 239);
    module.FailWritesOf(129, false);
    Tick(60);
    EXPECT_EQ(Writes(0x84), (std::vector<Trans> {Wr(0x84, 129, 2), Wr(0x84, 129, 3)}));
    ReadManagement();
    EXPECT_EQ(store.GetValue(kIpBytes[0]), 10);
    EXPECT_EQ(Events(" 292 Web IP Add"), 0);
}

TEST_F(IpConfigureRead, FlowEditsWaitForApplyAndCancelBringsTheModuleValueBack)
{
    Fit(1);
    Tick(12);   // the page table's pages first
    store.SetValue(kDestByte4, 225);
    Tick(12);
    EXPECT_EQ(store.GetValue(kDestByte4), 225);
    EXPECT_TRUE(Writes(0x90).empty());
    Tab(7);   // no flow page read puts it back
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_EQ(store.GetValue(kDestByte4), 239);
    EXPECT_NE(store.GetCmd(kDestByte4)->GetColour(), 0xFF7F00u);
    Tab(1);
    store.SetValue(kDestByte4, 226);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    Tick(12);
    // The address byte, then the multicast MAC bytes that follow it (01:00:5E:01:02:03, 0x84 unchanged),
    // all on the first flow's page whatever flow the alternation shows.
    EXPECT_EQ(Writes(0x90), (std::vector<Trans> {Wr(0x90, 0x8F, 226), Wr(0x90, 0x88, 3), Wr(0x90, 0x87, 2),
                                                 Wr(0x90, 0x86, 1), Wr(0x90, 0x85, 0x5E), Wr(0x90, 0x83, 1)}));
    EXPECT_TRUE(Writes(0x91).empty());
    EXPECT_EQ(store.GetValue(kDestByte4), 226);
    EXPECT_EQ(Mgr().Configure().FlowConfiguring(), 0);
}

TEST_F(IpConfigureRead, CancelTakesTheOrangeOffTheFlowMirrors)
{
    Fit(2);
    Tick();
    TpCommand portMirror(2997, kKeepsValue), valueMirror(3259, kKeepsValue);   // encapsulation, first flow, audio tab
    store.SetValue(COM_SFP_IP_DEST_UDP_PORT, 5000);
    store.SetValue(0x0D21, 7);
    EXPECT_EQ(portMirror.GetColour(), 0xFF7F00u);
    EXPECT_EQ(valueMirror.GetColour(), 0xFF7F00u);
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_NE(portMirror.GetColour(), 0xFF7F00u);
    EXPECT_NE(valueMirror.GetColour(), 0xFF7F00u);
}

TEST_F(IpConfigureRead, AMacByteOffTheMulticastMappingShowsRedUntilTheAddressIsUnicast)
{
    module.Seed(0x90, 0x83, {0x01, 0x00, 0x5F, 0x01, 0x02, 0x03});   // 01:00:5F:01:02:03 for 239.1.2.3
    Fit(1);
    Tick(12);   // the page table's pages first
    const uint16_t mac[] = {0x0A20, 0x0A1F, 0x0A1E, 0x0A1D, 0x0A1C, 0x0A1B};   // byte 1 first
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(store.GetCmd(mac[i])->GetColour(), i == 2 ? 0xFF0000u : 0u) << i;
    store.SetValue(kDestByte4, 10);
    EXPECT_EQ(store.GetCmd(mac[2])->GetColour(), 0u);
}

TEST_F(IpConfigureRead, TheModeLayoutFollowsFirmwareAndDirection)
{
    struct Case {
        uint8_t mode2022, decap;
        const char *title, *shortTitle;
    };
    // 2022-6 byte, decapsulation byte, titles
    const Case cases[] = {{0, 0, "2110 Encap", "2110Encap"}, {0, 1, "2110 Decap", "2110Decap"},
                          {1, 1, "2022-6 Decap", "2022Decap"}};
    for (const Case& c : cases) {
        SimEmSfpFlags().SetMode2022(c.mode2022);
        SimEmSfpFlags().SetDecapsulation(c.decap);
        Tick();
        EXPECT_EQ(store.GetCmdText(COM_SFP_IP_MAIN_TITLE), c.title);
        EXPECT_EQ(store.GetCmdText(COM_SFP_IP_TOP_TITLE), c.shortTitle);
        EXPECT_EQ(store.GetCmd(0x0C2F)->IsVisible(), c.mode2022 == 0) << c.title;   // the system resets
        if (c.mode2022 == 0) {
            EXPECT_EQ(store.GetCmd(0x0C12)->IsVisible(), c.decap == 1) << c.title;    // a receive control
        }
        EXPECT_EQ(store.GetCmd(COM_SFP_TAB_SELECT)->GetItemEnabled(3), c.mode2022 == 0) << c.title;
        EXPECT_FALSE(store.GetCmd(COM_SFP_TAB_SELECT)->GetItemEnabled(5));
    }
}

TEST_F(IpConfigureRead, AFirmwareChangeLoadsOnTheAnswerAndChecksTheLoop)
{
    store.SetValue(COM_GEN1_LOOP_SDI_IN, 1);   // the loop the check switches off
    Fit();
    ReadManagement();   // the program page: slot 0 loaded
    module.ClearTrace();
    for (const auto& [slot, no] : {std::pair {1u, kActionNo}, {3u, kActionClose}}) {   // No, or closed by key
        store.SetValue(COM_SFP_IP_FW_SEL_ELEMENT0 + slot, 1);
        ASSERT_NE(TopWindow(), nullptr);
        no == kActionClose ? TopWindow()->CloseByKey() : TopWindow()->RunAction(no);
        EXPECT_EQ(store.GetValue(COM_GEN1_LOOP_SDI_IN), 1);
        EXPECT_EQ(Mgr().Dialogs().OpenDialog(IpSubDialog::Configure), nullptr);
    }
    store.SetValue(COM_SFP_IP_FW_SEL_ELEMENT0 + 2, 1);
    ASSERT_NE(TopWindow(), nullptr);
    TopWindow()->RunAction(kActionYes);
    EXPECT_EQ(store.GetValue(COM_GEN1_LOOP_SDI_IN), 0) << "the loop checked";
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FW_DEFAULT_ELEMENT), 2);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_FW_SEL_ELEMENT0), 1) << "the loaded slot stays marked";
    EXPECT_NE(Mgr().Dialogs().OpenDialog(IpSubDialog::Configure), nullptr);
    int writtenAt = 0, loadedAt = 0;   // the ticks of the slot's write and of the loaded-firmware control showing it
    for (int tick = 1; tick <= 40 && loadedAt == 0; ++tick) {
        Tick();
        writtenAt = writtenAt == 0 && Writes(0xFA).size() == 2 ? tick : writtenAt;
        loadedAt = store.GetValue(COM_SFP_IP_LOADED_ELEMENT) == 2 ? tick : 0;
    }
    EXPECT_EQ(Writes(0xFA), (std::vector<Trans> {Wr(0xFA, 129, 2), Wr(0xFA, 0x85, 2), Wr(0xFA, 129, 3)}));
    EXPECT_EQ(loadedAt - writtenAt, 20);
    EXPECT_NE(Mgr().Dialogs().OpenDialog(IpSubDialog::Configure), nullptr) << "up until the page is read";
    Tick(8);
    EXPECT_EQ(Mgr().Dialogs().OpenDialog(IpSubDialog::Configure), nullptr);
}

// The video re-read reopens the flow list on its seventh tick; on the map tab that starts the encoder map steps
// again on the map page.
TEST_F(IpConfigureRead, TheEncoderMapStartsAgainOnItsPageOnceNothingRemains)
{
    Fit();
    ReadManagement();
    Tab(1);
    store.SetValue(0x0D75, 1);   // the video re-read
    Tick(7);
    Tab(6);
    module.ClearTrace();
    Tick();
    EXPECT_TRUE(debug->Contains("\n)))CloseReset\n"));
    EXPECT_EQ(module.SelectedPage(), 0xCF);
    EXPECT_EQ(Mgr().Sequencer().EncMapStep(), 0);
}

TEST_F(IpConfigureRead, ASilentModuleKeepsReadingAndWritesNothing)
{
    Fit();
    for (int reg = 0; reg < 256; ++reg)
        module.FailReadsOf(static_cast<uint8_t>(reg));
    Tick(50);
    EXPECT_EQ(Progress().rfind("Reading SFP ", 0), 0u);
    EXPECT_TRUE(Writes(module.SelectedPage()).empty());
    EXPECT_TRUE(module.Commands().empty());
    EXPECT_EQ(store.GetValue(kIpBytes[3]), 0);
}

TEST_F(IpConfigureRead, APageWithAFailedReadIsStillBeingRead)
{
    module.FailReadsOf(0x8B);   // the management address's first byte
    Fit();
    ReadManagement();
    Tick(20);
    EXPECT_EQ(Progress().rfind("Reading SFP ", 0), 0u);
}

TEST_F(IpConfigureRead, EachSubDialogOpensOnce)
{
    using D = IpSubDialog;
    const std::pair<unsigned, D> buttons[] = {
        {COM_SFP_IP_IGMP_BOX, D::Igmp}, {COM_SFP_IP_VLAN_BTN, D::Vlan}, {0x0D58, D::PtpMode},
        {0x0C1F, D::VidStd}, {COM_SFP_IP_FLOW_SSRC, D::Ssrc}, {COM_SFP_IP_FACT_RESET1, D::SfpMode},
        {COM_SFP_IP_MANAGEMENT_IP_SETUP_BTN, D::EditMan}, {COM_SFP_IP_FLOWS_IP_SETUP_BTN, D::EditFlows},
        {0x0D0E, D::EditSecondFlows}, {0x0D42, D::AncPopup}, {0x0D41, D::AudioPopupE},
        {0x0C2F, D::SystemResets}, {0x0D2B, D::DecMap}, {0x0D26, D::EncMap}, {COM_SFP_IP_MONITOR_SEL, D::Reading},
    };
    Fit();   // the module's mode: encapsulation
    Tick();   // the progress box reads "Reading SFP "
    for (const auto& [id, which] : buttons) {
        for (int press = 0; press < 2; ++press) {
            store.SetValue(id, 0);
            store.SetValue(id, id == COM_SFP_IP_MONITOR_SEL ? 7 : 1);
        }
        TpDialog* open = Mgr().Dialogs().OpenDialog(which);
        ASSERT_NE(open, nullptr) << id;
        EXPECT_EQ(std::count(dialogs.Stack().begin(), dialogs.Stack().end(), open), 1) << id;
    }
    SimEmSfpFlags().SetDecapsulation(1);
    Tick();
    store.SetValue(0x0D41, 1);
    EXPECT_NE(Mgr().Dialogs().OpenDialog(D::AudioPopupD), nullptr);
}

} // namespace

// A module taken out and put back while a management Apply is being written: the new module gets no commit of
// a page it never had unlocked, and a new Apply on it is unlocked, written and committed once.
TEST_F(IpConfigureRead, AModuleChangeEndsAManagementApplyWithoutItsCommit)
{
    Fit();
    ReadManagement();
    for (size_t i = 0; i < 4; ++i)
        store.SetValue(kIpBytes[i], 20 + static_cast<int32_t>(i));
    store.SetValue(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, 1);
    module.ClearTrace();
    TickUntil([&] { return !WrittenTo(0x84, 0x9A).empty(); }, 40);
    ASSERT_EQ(Writes(0x84), (std::vector<Trans> {Wr(0x84, 129, 2), Wr(0x84, 0x9A, 20)}));
    Reinsert();
    module.ClearTrace();
    Tick(40);
    EXPECT_TRUE(module.Commands().empty()) << ::testing::PrintToString(Trace());
    store.SetValue(kIpBytes[0], 30);
    store.SetValue(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, 1);
    Tick(40);
    EXPECT_EQ(Writes(0x84), (std::vector<Trans> {Wr(0x84, 129, 2), Wr(0x84, 0x9A, 30), Wr(0x84, 129, 3)}));
}
