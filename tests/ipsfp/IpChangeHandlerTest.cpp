// The IP menu's controls as a user or remote client changes them, with the
// status page ticking: the power cycle, the pickers and prefixes, the
// default-flow confirmation, the audio packet copy, the tab choice, the DHCP
// toggle and the subnet note. The flow copy behind the reset question has its
// own file.
#include "IpPageTest.h"

namespace {

constexpr uint32_t kOrange = 0xFF7F00;

using IpChangeHandler = IpPageTest;

} // namespace

// The power cycle switches the cage off; the page's ticks switch it on again on the tenth and stay quiet until
// the thirteenth.
TEST_F(IpChangeHandler, PowerCycleSwitchesTheCageOffAndTheTicksOnAgain)
{
    Fit(1);
    store.SetValue(COM_SFP_IP_POWER_CYCLE, 1);
    EXPECT_EQ(cage.powerCalls, (std::vector<int> {0}));
    EXPECT_EQ(store.GetValue(COM_SFP_IP_POWER_CYCLE), 0);
    std::vector<bool> quiet;
    for (int tick = 1; tick <= 13; ++tick) {
        module.ClearTrace();
        Tick();
        quiet.push_back(Trace().empty());
    }
    EXPECT_EQ(cage.powerCalls, (std::vector<int> {0, 1}));
    EXPECT_EQ(quiet, (std::vector<bool> {false, false, false, false, false, false, false, false, false, true, true,
                                          true, false}));
}

// Pickers, destination prefixes, the audio packet copy and the tab choice.
TEST_F(IpChangeHandler, PickersPrefixesPacketCopyAndTheRememberedAudioFlow)
{
    Fit(2);
    store.SetValue(0x0BEC, 9);
    store.SetValue(0x0D63, 3);
    EXPECT_EQ(store.GetValue(0x0BEC), 2);
    store.SetValue(0x0D72, 1);
    EXPECT_EQ(store.GetValue(0x0BFB), 0);
    store.SetValue(0x0D63, 0);
    EXPECT_EQ(store.GetValue(0x0BEC), 2) << "a picker at 0 changes nothing";

    // selector value, prefix written: 1 0xD0, 2 0xA0, anything else 0x90
    for (const auto& [value, prefix] : {std::pair {1, 0xD0}, {2, 0xA0}, {3, 0x90}}) {
        store.SetValue(0x0C58, value);
        store.SetValue(0x0C61, value);
        EXPECT_EQ(store.GetValue(0x0C62), prefix) << value;
        EXPECT_EQ(store.GetValue(0x0C63), prefix) << value;
    }

    store.SetValue(0x0DE8, 1);   // the audio packet copy
    EXPECT_TRUE(debug->Contains("\nAud pkt copy\n"));
    EXPECT_EQ(store.GetValue(0x0DE8), 0);
    EXPECT_EQ(store.GetCmd(0x0DE8)->GetColour(), kOrange);
    Tick();
    EXPECT_TRUE(store.GetCmd(3371)->IsFocused()) << "the second flow list";

    store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 3);
    Tab(1);
    store.SetValue(COM_SFP_IP_AUDIO_FLOW_SEL, 0);
    Tab(2);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_AUDIO_FLOW_SEL), 3) << "the audio tab brings its flow back";
}

// The default-flow question: a yes switches the transmit off and has the flow's default bit written.
TEST_F(IpChangeHandler, DefaultFlowConfirmationWritesTheDefaultBit)
{
    Fit(1);
    store.SetValue(COM_SFP_IP_TX_OFF_ON, 1);
    store.SetValue(COM_SFP_IP_DEFAULT_FLOW_BTN, 1);
    ASSERT_NE(TopWindow(), nullptr);
    TopWindow()->RunAction(kActionYes);
    EXPECT_EQ(store.GetValue(COM_SFP_IP_TX_OFF_ON), 0);
    EXPECT_EQ(store.GetCmd(COM_SFP_IP_DEFAULT_FLOW_BTN)->GetColour(), kOrange);
    Tick(12);
    EXPECT_EQ(module.Peek(0x90, 0x81) & 0x04, 0x04) << "bit 2 of register 0x81";
    EXPECT_NE(store.GetCmd(COM_SFP_IP_DEFAULT_FLOW_BTN)->GetColour(), kOrange);
}

// DHCP on and off reach the module with the management Apply, and the toggle text follows.
TEST_F(IpChangeHandler, DhcpToggleTextFollowsTheWrittenRequest)
{
    Fit();
    ReadManagement();
    EXPECT_EQ(store.GetCmdText(2639), "Off");
    store.SetValue(COM_SFP_IP_DHCP, 1);
    store.SetValue(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, 1);
    Tick(10);
    EXPECT_EQ(store.GetCmdText(2639), "On");
    EXPECT_EQ(module.Peek(0x84, 0xB4) & 0x80, 0x80);
    store.SetValue(COM_SFP_IP_DHCP_OFF, 1);
    store.SetValue(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, 1);
    Tick(10);
    EXPECT_EQ(store.GetCmdText(2639), "Off");
    EXPECT_EQ(module.Peek(0x84, 0xB4) & 0x80, 0);
}

// A management edit shows the note of the address's class when the mask is not the class's default.
TEST_F(IpChangeHandler, SubnetNoteNamesTheAddressClass)
{
    Widgets({3447});
    Fit();
    // first octet, mask (dotted), note
    const std::tuple<int, std::array<int, 4>, const char*> cases[] = {
        {10, {255, 255, 0, 0}, "Note:IP Address starting 10 default subnet 255.0.0.0"},
        {10, {255, 0, 0, 0}, ""},
        {11, {255, 255, 0, 0}, ""},
        {172, {255, 255, 0, 0}, ""},
        {172, {255, 255, 255, 0}, "Note:IP Address starting 128-191 default subnet 255.255.0.0"},
        {192, {255, 255, 0, 0}, "Note:IP Address starting 192-223 default subnet 255.255.255.0"},
        {224, {255, 255, 0, 0}, ""},
    };
    for (const auto& [first, mask, note] : cases) {
        for (int i = 0; i < 4; ++i)
            store.SetValue(COM_SFP_IP_CONTR_MASK4 - i, mask[static_cast<size_t>(i)]);
        store.SetValue(COM_SFP_IP_CONTR_IP_ADD4, first);
        EXPECT_EQ(store.GetCmdText(3447), note) << first;
    }
}
