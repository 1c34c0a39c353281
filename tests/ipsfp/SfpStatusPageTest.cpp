// The SFP status page on its task's ticks, over a fake cage and two-wire bus:
// insertion and removal, identification, the warnings, the IP module's modes
// and the EDID page.
#include "FakeSfpCage.h"
#include "FakeTwoWireBus.h"
#include "SfpImages.h"
#include "IpSfpTest.h"

#include "board/SfpBoard.h"
#include "core/text/TextTable.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "KrZuApi.h"
#include "ipsfp/log/SFPLogger.h"
#include "ipsfp/statuspage/TkrSFPStatus.h"
#include "sim/EmSfpSimFlags.h"
#include "ui/dialogs/TpDialogList.h"

#include <algorithm>
#include <memory>
#include <mutex>

namespace {

constexpr const char* kDialogs =
    "dialog|BoardNeedsUpgrading\nend\ndialog|OldSfpCageWarning\nend\n"
    "dialog|UnrecognisedSFP\nlabel|Module|2285|caption=\nend\n"
    "blankitems|2350|64\nblankitems|2351|96\n";

class SfpStatusPage : public BoardTest {
protected:
    SfpStatusPage()
    {
        InstallIpSfpResetHook();
        static std::once_flag once;
        std::call_once(once, [] { ZuTest::AddResetHook(ResetSfpStatusReadings); });
    }
    void SetUp() override
    {
        BoardTest::SetUp();
        SetTwoWireBus(&bus);
        SetSfpCage(&cage);
        SetSfpRetryWait([](uint32_t) {});
        ASSERT_TRUE(dialogs.LoadText(kDialogs, "test"));
        std::vector<std::string> texts;
        for (int i = 0; i < 320; ++i)
            texts.push_back(std::to_string(i));
        SetTextTable(texts);
        page = std::make_unique<TkrSFPStatus>(799, 831, 832, 2285, 2318);
    }
    void TearDown() override
    {
        page.reset();
        BoardTest::TearDown();
    }
    // Runs the page's task once (its period in 20 ms ticks).
    void Tick()
    {
        for (int i = store.FindTask(page.get())->periodTicks; i > 0; --i)
            store.Tick();
    }
    bool Open(const char* dialog) const { return IsWindowOpen(dialogs.Find(dialog)); }
    std::string Item(unsigned cmdId, int item) const { return store.GetCmd(cmdId)->GetItemText(item); }
    int EdidRequests() const
    {
        return static_cast<int>(std::count(bus.Writes().begin(), bus.Writes().end(), FakeTwoWireBus::Write{0xA2, 165, 1}));
    }

    TpStore store;
    TpDialogList dialogs;
    TpLogger events;
    FakeTwoWireBus bus;
    FakeSfpCage cage;
    std::unique_ptr<TkrSFPStatus> page;
};

TEST_F(SfpStatusPage, BareModuleIsIdentifiedLoggedAndItsRemovalSwitchesTheLoopOff)
{
    EXPECT_EQ(store.FindTask(page.get())->periodTicks, 50);
    store.SetValue(403, 1);
    store.SetValue(2689, 1);
    Tick();
    EXPECT_EQ(page->GetItemText(0) + "=" + page->GetItemText(1), "SFP Type=OPT Tx+Rx");
    EXPECT_EQ(page->GetItemText(26) + "=" + page->GetItemText(27), "ID=00h");
    EXPECT_EQ(store.GetCmdText(831) + "," + store.GetCmdText(832), "OptOut,OptIn");
    EXPECT_TRUE(debug->Contains("UpdateSFPType: ID=0x00 ExtID=0x00 Connector=0x00 VendorPN="));
    ASSERT_EQ(events.EntryCount(), 1);
    EXPECT_NE(events.EntryText(0).find("288 ID=0x00 0x00 0x00 "), std::string::npos);

    store.SetValue(44, 1);
    cage.detect = 0;
    Tick();
    EXPECT_EQ(store.GetValue(44), 0);
    EXPECT_EQ(store.GetValue(68), 1);
    ASSERT_EQ(events.EntryCount(), 2);
    EXPECT_NE(events.EntryText(1).find("289"), std::string::npos);
    EXPECT_EQ(page->Type(), SfpType::None);
}

// What the event log shows of modules coming and going: the identity read,
// the removal and an identity that cannot be read; nothing without SFP
// status logging.
TEST_F(SfpStatusPage, ModuleEventsShowTheIdentityTheRemovalAndAReadError)
{
    auto entries = [&] {
        std::vector<std::string> out;
        for (int i = 0; i < events.EntryCount(); ++i)
            out.push_back(events.EntryText(i).substr(0, 2) + events.EntryText(i).substr(22));
        return out;
    };
    store.SetValue(403, 1);
    store.SetValue(2689, 1);
    bus.SetA0(MakeA0hImage(ModuleIdentity(0x85, 0x04, 0x81, "EB30CSRT-LN")));
    Tick();
    cage.detect = 0;
    Tick();
    bus.FailReadOf(0xA0, 2);
    cage.detect = 1;
    Tick();
    EXPECT_EQ(entries(), (std::vector<std::string>{"i 288 ID=0x85 0x04 0x81 EB30CSRT-LN     ", "E 289",
                                                   "i 288 Error Reading SFP data"}));
    EXPECT_TRUE(debug->Contains("\x1b[31mError reading SFP Type data\n\x1b[39m"));
    EXPECT_EQ(page->GetItemText(1), "UNKNOWN");

    store.SetValue(2689, 0);
    cage.detect = 0;
    Tick();
    cage.detect = 1;
    Tick();
    EXPECT_EQ(events.EntryCount(), 3);
}

TEST_F(SfpStatusPage, IpModeFlagAndDecapsulationByteSwitchTheModuleAndTheTick)
{
    std::vector<std::unique_ptr<TpCommand>> ipControls;   // a widget of each of the IP controls
    for (unsigned id : {COM_SFP_IP_WEB_CONTROLLER_BOX, COM_SFP_IP_ETHERNET_BOX, COM_SFP_IP_FLOW_BOX,
                        COM_SFP_IP_FILTERS_BOX, COM_SFP_IP_FACT_RESET2, COM_SFP_IP_HW_LABEL2, COM_SFP_IP_HW_STATUS2,
                        COM_SFP_IP_TX_OFF_ON, COM_SFP_IP_HW_LABEL1, COM_SFP_IP_HW_STATUS1, COM_SFP_IP_FACT_RESET1,
                        COM_SFP_IP_VID_BOX, COM_SFP_IP_SETUP_LABEL})
        ipControls.push_back(std::make_unique<TpCommand>(static_cast<int>(id), kKeepsValue));
    auto shown = [&] {
        return std::ranges::count_if(ipControls, [](const auto& c) { return c->IsVisible(); });
    };
    Tick();
    SimEmSfpFlags().SetIpMode(1);
    Tick();
    EXPECT_EQ(shown(), std::ssize(ipControls) - 1) << "all but the filters box, for decapsulation only";
    EXPECT_FALSE(store.GetCmd(COM_SFP_IP_FILTERS_BOX)->IsVisible());
    EXPECT_TRUE(store.GetCmd(COM_SFP_IP_FACT_RESET1)->IsFocused());
    EXPECT_EQ(page->GetItemText(1), "IP Tx");
    EXPECT_EQ(store.FindTask(page.get())->periodTicks, 8);
    EXPECT_EQ(store.GetCmdText(831), "IP Out");
    EXPECT_FALSE(store.GetCmd(832)->IsVisible());
    EXPECT_TRUE(page->Manager().Flows().IsEncapsulating());

    SimEmSfpFlags().SetDecapsulation(1);
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_EQ(page->Type(), SfpType::IpIn) << "the simulated module decapsulates";
    EXPECT_EQ(page->GetItemText(1), "IP Rx");
    EXPECT_TRUE(page->Manager().Flows().IsDecapsulating());

    SimEmSfpFlags().SetIpMode(0);
    Tick();
    EXPECT_EQ(page->GetItemText(1), "OPT Tx+Rx");
    EXPECT_EQ(store.FindTask(page.get())->periodTicks, 50);
    cage.detect = 0;
    Tick();
    EXPECT_EQ(shown(), 0) << "no module: the IP controls hidden";
}

TEST_F(SfpStatusPage, WarningsOnceUnknownModulesAndHighSlewModules)
{
    cage.boardRevision = 10;
    cage.cageRevision = 3;
    SimEmSfpFlags().SetIpMode(1);
    Tick();
    EXPECT_TRUE(Open("BoardNeedsUpgrading") && Open("OldSfpCageWarning"));
    CloseDialog(dialogs.Find("BoardNeedsUpgrading"));
    CloseDialog(dialogs.Find("OldSfpCageWarning"));
    cage.detect = 0;
    Tick();
    cage.detect = 1;
    Tick();
    EXPECT_FALSE(Open("BoardNeedsUpgrading") || Open("OldSfpCageWarning")) << "once per page";

    SimEmSfpFlags().SetIpMode(0);
    SfpIdentity unknown;
    unknown.vendorName = "ACME";
    unknown.partNumber = "XYZ-1";
    bus.SetA0(MakeA0hImage(unknown));
    Tick();
    EXPECT_TRUE(Open("UnrecognisedSFP"));
    EXPECT_EQ(store.GetCmdText(2285), "ACME XYZ-1\n0x030407");
    EXPECT_EQ(page->GetItemText(1), "UNKNOWN");

    cage.rateSelectCalls.clear();
    bus.SetA0(MakeA0hImage(ModuleIdentity(0x85, 0x04, 0x81, "EB30CSRT-LN")));
    cage.detect = 0;
    Tick();
    cage.detect = 1;
    Tick();
    EXPECT_FALSE(Open("UnrecognisedSFP"));
    EXPECT_EQ(page->GetItemText(1), "CVBS Tx+Rx");
    EXPECT_EQ(cage.rateSelectCalls, std::vector<int>{1});
    EXPECT_TRUE(debug->Contains("SFP Part\"EB30CSRT-LN     \" is High Slew Rate"));

    bus.SetA0(MakeA0hImage(unknown));
    store.SetValue(2318, 1);
    cage.detect = 0;
    Tick();
    cage.detect = 1;
    Tick();
    EXPECT_EQ(store.GetValue(2318), 0);
    ASSERT_TRUE(Open("UnrecognisedSFP"));
    TpDialog* dialog = dialogs.Find("UnrecognisedSFP");
    const TpCommand* gone = page.get();
    page.reset();
    EXPECT_FALSE(IsWindowOpen(dialog)) << "closed, and still the dialog list's";
    EXPECT_EQ(store.FindTask(gone), nullptr);
    EXPECT_EQ(SFPLogger::Instance(), nullptr);
}

TEST_F(SfpStatusPage, HdmiOutputModuleShowsTheEdidOfItsDisplay)
{
    bus.SetA0(MakeA0hImage(ModuleIdentity(0x91, 0x04, 0x83, "EB34TD1T-SN")));
    EdidFields edid;
    edid.monitorName = "TESTMON";
    bus.SetEdid(MakeEdidBlock(edid));
    Tick();
    EXPECT_EQ(page->GetItemText(1), "HDMI Tx");
    EXPECT_EQ(EdidRequests(), 1) << "read in the tick that found the module";
    EXPECT_TRUE(debug->Contains("\nDEMAND EDID\n"));
    EXPECT_EQ(Item(2350, 3), "TESTMON");
    EXPECT_EQ(Item(2351, 0), "Estb. Modes");

    store.SetValue(2356, 1);
    Tick();
    EXPECT_EQ(EdidRequests(), 2);
    EXPECT_EQ(Item(2350, 4), "Offset");
    EXPECT_EQ(Item(2350, 6), "  0   00 ff ff ff ff ff ff 00");
    EXPECT_EQ(Item(2351, 0), "") << "cleared by its own count";
    Tick();
    EXPECT_EQ(EdidRequests(), 2);

    bus.SetEdidBusyPolls(1 << 30);
    store.SetValue(2356, 0);
    const uint64_t start = clock.MonotonicMs();
    Tick();
    EXPECT_EQ(Item(2350, 0), "Read EDID failed.Try Again");
    EXPECT_EQ(Item(2350, 6), "");
    EXPECT_GE(clock.MonotonicMs() - start, 2000u) << "waited on the clock, not forever";

    bus.SetEdidBusyPolls(0);
    bus.FailReadOf(0xA0, 200);
    store.SetValue(2356, 1);
    Tick();
    EXPECT_EQ(Item(2350, 0), "Read EDID failed.Try Again");
}

} // namespace
