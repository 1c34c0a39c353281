// What the IP menu shows for the bytes read for a parameter row: every
// display kind's text, value and colour, the views that choose the control,
// the follow-up texts, the video-standard fields, the audio grid and the SSRC.
#include "IpSfpTest.h"

#include "KrZuApi.h"
#include "ipsfp/pages/IpValueDisplay.h"

#include <climits>
#include <memory>

namespace {

constexpr int32_t kAny = INT_MIN;
constexpr uint32_t kWhite = 0xFFFFFF, kGrey = 0xAFAFAF, kRed = 0xFF0000;

class IpDisplay : public IpSfpTest {
protected:
    // Plain commands on the ids the manager does not build.
    void Ensure(std::initializer_list<unsigned> ids)
    {
        for (unsigned id : ids)
            if (store.GetCmd(id) == nullptr)
                extra.push_back(std::make_unique<TpCommand>(id, kKeepsValue));
    }
    void Show(unsigned rowId, std::vector<uint8_t> bytes, bool nonzero = false)
    {
        SfpParamRow* row = SfpParamTable::Instance().Find(rowId);
        ASSERT_NE(row, nullptr) << rowId;
        display.DisplayParameterValue(*row, bytes.data(), bytes.size(), nonzero);
    }
    // The menu on a tab, as the sequencer's next run takes it.
    void OnTab(int tab)
    {
        store.SetValue(COM_SFP_TAB_SELECT, tab);
        manager.Sequencer().RunUpdateStep();
    }

    IpValueDisplay display {manager.PageParts()};
    std::vector<std::unique_ptr<TpCommand>> extra;
};

// row, bytes read, control looked at, its text (nullptr unchecked, kSameText as before), value (kAny unchecked,
// kSame as before), colour (0 unchecked)
constexpr const char* kSameText = "(as before)";
constexpr int32_t kSame = INT_MIN + 1;
struct KindCase {
    unsigned row;
    std::vector<uint8_t> bytes;
    unsigned shown;
    const char* text;
    int32_t value;
    uint32_t colour;
};

} // namespace

TEST_F(IpDisplay, EveryKindShowsItsBytes)
{
    const KindCase cases[] = {
        {COM_SFP_IP_PARAM_0A71, {0, 0, 1, 0}, COM_SFP_IP_PARAM_0A71, "256", kAny, 0},
        {COM_SFP_IP_TX_OR_RX_PACKETS, {0xFF, 0xFF, 0xFF, 0xFE}, COM_SFP_IP_TX_OR_RX_PACKETS, "4294967294", kAny, 0},
        {0x0CAE, {1, 0, 0}, 0x0CAE, "65536", 65536, 0},
        {COM_SFP_IP_CONTR_MAC_ADD, {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0xAF}, COM_SFP_IP_CONTR_MAC_ADD, "0A:0B:0C:0D:0E:AF", kAny, 0},
        {COM_SFP_IP_VERSION_ELEMENT1, {2, 0x11}, COM_SFP_IP_VERSION_ELEMENT1, "2.17", kAny, 0},
        {COM_SFP_IP_CRC_ELEMENT0, {0x0A, 0x0B, 0x0C, 0x0D}, COM_SFP_IP_CRC_ELEMENT0, "0A0B0C0D", kAny, 0},
        {COM_SFP_IP_IGMP_STATUS, {1}, COM_SFP_IP_IGMP_STATUS, "Joined", kAny, 0},
        {0x0C17, {3}, 0x0C17, "OffsetErr", kAny, 0},
        {COM_SFP_IP_HW_STATUS1, {0x80}, COM_SFP_IP_HW_STATUS1, "OK", kAny, kWhite},
        {COM_SFP_IP_CONTR_HOSTNAME, {'z', 'u', 0, 'x'}, COM_SFP_IP_CONTR_HOSTNAME, "zu", kAny, 0},
        {COM_SFP_IP_DEST_UDP_PORT, {0x13, 0x88}, COM_SFP_IP_DEST_UDP_PORT, nullptr, 5000, 0},
        {0x0BFF, {0, 5}, 0x0BFF, nullptr, 5, kRed},
        {0x0BFF, {0, 0}, 0x0BFF, nullptr, 0, kWhite},
        {COM_SFP_IP_WEB_VLAN_ID, {0, 100}, COM_SFP_IP_WEB_VLAN_ID, nullptr, 100, 0},
        {0x0C25, {0xF1, 0x02}, 0x0C25, nullptr, 0x102, 0},
        {0x0A2C, {1}, 0x0A2C, nullptr, 1, 0},
        {COM_SFP_IP_DHCP, {1}, COM_SFP_IP_DHCP, kSameText, kSame, 0},
        {COM_SFP_IP_TX_OR_RX_PACKETS, {1, 2}, COM_SFP_IP_TX_OR_RX_PACKETS, kSameText, kAny, 0},
        {0x0B6F, {2}, 0x0D59, "Locked", kAny, 0},
        {0x0C24, {2}, 0x0D7F, "Multicast", kAny, 0},
        {0x0C24, {3}, 0x0D7F, "???", kAny, 0},
        {COM_SFP_IP_VLAN_ENABLE_BIT, {0}, 0x0D5E, "Disabled", kAny, 0},
    };
    for (const KindCase& c : cases) {
        Ensure({c.row, c.shown, 0x0D5F, 0x0D60});
        const TpCommand* shown = store.GetCmd(c.shown);
        const std::string textBefore = shown->GetText();
        const int32_t valueBefore = shown->GetValue();
        Show(c.row, c.bytes, c.bytes[0] != 0);
        if (c.value != kAny) {
            EXPECT_EQ(shown->GetValue(), c.value == kSame ? valueBefore : c.value) << c.row;
        }
        if (c.text != nullptr) {
            EXPECT_EQ(shown->GetText(), c.text == kSameText ? textBefore : c.text) << c.row;
        }
        if (c.colour != 0) {
            EXPECT_EQ(shown->GetColour(), c.colour) << c.row;
        }
    }
    EXPECT_EQ(display.FirmwareVersion(1), 0x0211);
    EXPECT_TRUE(store.GetCmd(0x0D60)->IsVisible()) << "the sequence-error line shows";
    EXPECT_EQ(manager.Busy().Byte(), 0);
}

TEST_F(IpDisplay, ViewsChooseTheSecondControlOrNothing)
{
    Ensure({COM_SFP_IP_DEST_UDP_PORT_VIEW2, COM_SFP_IP_CONTR_MAC_ADD, 0x0CD3, COM_SFP_IP_IGMP_FLOW_VER});
    OnTab(1);
    store.SetValue(COM_SFP_IP_FLOW_SEL, 1);
    Show(COM_SFP_IP_DEST_UDP_PORT, {0x13, 0x88});
    Show(COM_SFP_IP_IGMP_FLOW_VER, {2});
    Show(COM_SFP_IP_CONTR_MAC_ADD, {1, 2, 3, 4, 5, 6});
    Show(0x0CD3, {1}, true);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_DEST_UDP_PORT_VIEW2), 5000);
    EXPECT_NE(store.GetValue(COM_SFP_IP_DEST_UDP_PORT), 5000);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_IGMP_FLOW_VER), 0) << "a flow row without a second control: nothing shown";
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_CONTR_MAC_ADD), "01:02:03:04:05:06") << "a management row has no flow";
    EXPECT_EQ(store.GetValue(0x0CD3), 1);

    store.SetValue(COM_SFP_IP_FLOW_SEL, 0);
    store.SetValue(0x0CD3, 0);
    Show(0x0CD3, {1}, true);
    EXPECT_EQ(store.GetValue(0x0CD3), 0) << "shown in the second-flow view only";
}

TEST_F(IpDisplay, StandardFieldsOnTheVideoTab)
{
    Ensure({2616, 2622, 3443, 3444, 3358, 3292, 3359});
    OnTab(1);
    // row, field byte, text shown
    const struct {
        unsigned row;
        uint8_t field;
        const char* text;
    } fields[] = {{COM_SFP_IP_STD_BIT_RATE, 3, "???"},         {COM_SFP_IP_STD_SAMPLE_FMT, 11, "Reserved"},
                  {COM_SFP_IP_STD_FRAME_RATE, 1, "Reserved"},   {COM_SFP_IP_STD_VID_FMT, 9, "PAL 720x576"},
                  {COM_SFP_IP_STD_FRAME_RATE, 9, "50"}};
    for (const auto& f : fields) {
        Show(f.row, {f.field}, f.field != 0);
        EXPECT_EQ(store.GetCmdText(f.row), f.text) << f.row << " " << int(f.field);
        EXPECT_EQ(store.GetValue(f.row), f.field);
    }
    Show(COM_SFP_IP_STD_SCAN_MODE, {1}, true);
    EXPECT_EQ(store.GetCmdText(3443), "50p");
    EXPECT_EQ(store.GetValue(3443), 1);
    Show(COM_SFP_IP_STD_SMPTE_PAYLOAD, {0x89, 0x0A, 0x01, 0x00});
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_STD_SMPTE_PAYLOAD), "00:01:0A:89");
    Show(COM_SFP_IP_STD_VALID, {0}, false);
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_STD_VALID), "False");
    EXPECT_EQ(store.GetCmd(COM_SFP_IP_STD_VALID)->GetColour(), kRed);
    EXPECT_EQ(store.GetCmd(2618)->GetColour(), kRed) << "the whole set follows";

    OnTab(2);
    Show(COM_SFP_IP_STD_BIT_RATE, {0});
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_STD_BIT_RATE), "???") << "other tabs leave it";
}

TEST_F(IpDisplay, AudioGridCellsOutsideTheGridAreIgnored)
{
    IpValueTexts& texts = display.Texts();
    auto cell = [&](int flow, int channel) { return store.GetCmd(3362)->GetItemText(flow + 9 * channel + 10); };
    texts.ShowAudioChannel(2, 3, 11);
    EXPECT_EQ(cell(2, 3), "-") << "no channels counted";
    EXPECT_EQ(store.GetCmd(3362)->GetColour(2 + 9 * 3 + 10), kGrey);
    texts.ShowAudioChannel(8, 15, 1);
    texts.ShowAudioChannel(-1, 0, 1);
    texts.ShowAudioChannel(0, 16, 1);
    EXPECT_EQ(cell(8, 15), "");
}

TEST_F(IpDisplay, SsrcByteShowsTheWholeSsrc)
{
    // SSRC bytes 2685..2682 (most significant first) shown when byte 1 is read.
    store.SetValue(2685, 0);
    store.SetValue(2684, 1);
    store.SetValue(2683, 0);
    Show(COM_SFP_IP_FLOW_SSRC_ID1, {2});
    EXPECT_EQ(store.GetCmdText(COM_SFP_IP_SSRC_EDITBOX), "65538");
}

TEST_F(IpDisplay, ReadingTheWebAddressRaisesTheResetMarksOnTheNextTick)
{
    Ensure({2610});
    for (unsigned id : {2562u, 2563u, 2564u, 2565u})
        store.SetValue(id, 7);
    store.SetValue(2569, 255);
    manager.OnStatusTick();
    EXPECT_NE(store.GetCmdText(2610), "RESET") << "no read, no check";
    Show(COM_SFP_IP_CONTR_IP_ADD1, {7});
    manager.OnStatusTick();
    EXPECT_EQ(store.GetCmdText(2610), "RESET");
    EXPECT_EQ(store.GetCmdText(2717), "RESET");
    EXPECT_EQ(manager.Tick().AddressCheck()[0], 7);
    EXPECT_EQ(manager.Tick().AddressCheck()[1], 0xFFFF) << "mask bytes differ";
}
