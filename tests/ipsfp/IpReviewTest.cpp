// The IP menu's flow edits end to end, one status-page tick at a time: what
// an edit marks orange loses the mark once it is written or cancelled.
#include "IpPageTest.h"

#include "ipsfp/manager/IpControlIds.h"

namespace {

constexpr uint32_t kOrange = 0xFF7F00;

using IpReview = IpPageTest;

} // namespace

// A typed SSRC shows orange in the flow's label until it is written or cancelled; then the label shows the
// module's SSRC in its plain colour again.
TEST_F(IpReview, TheFlowLabelLosesTheEditColourOnceTheTypedSsrcIsWrittenOrCancelled)
{
    TpCommand label(3255, kKeepsValueText);   // audio tab, encapsulation, first flow
    Fit(2);
    Tick(12);
    store.SetText(COM_SFP_IP_SSRC_EDITBOX, "305419896");
    ASSERT_EQ(label.GetColour(), kOrange);
    store.SetValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
    Tick(30);
    ASSERT_EQ(module.Peek(0xA0, 0x9A), 0x12) << "the SSRC written";
    EXPECT_EQ(label.GetText(), "305419896");
    EXPECT_EQ(label.GetColour(), 0u);

    store.SetText(COM_SFP_IP_SSRC_EDITBOX, "7");
    ASSERT_EQ(label.GetColour(), kOrange);
    store.SetValue(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, 1);
    EXPECT_EQ(label.GetText(), "305419896");
    EXPECT_EQ(label.GetColour(), 0u);
}
