// The group switches: the group text, the channels of a group switched off,
// the power of the groups, and the groups the output format has room for.
#include "AudGenTest.h"

#include "board/PowerControl.h"

namespace {

using GeneratorGroups = AudGenTest;

VideoFormat Format(int standard, uint32_t dualLink = 0, uint32_t levelB = 0)
{
    VideoFormat f;
    f.standard = standard;
    f.dualLink = dualLink;
    f.levelB = levelB;
    return f;
}

constexpr int kStd2Kp50 = 31;     // 3 Gb/s
constexpr int kStd2Kp30 = 33;     // 1.5 Gb/s
constexpr int kStd2Kp25 = 35;     // 1.5 Gb/s, 25 frames
constexpr int kStd1080p50 = 8;

} // namespace

TEST_F(GeneratorGroups, GroupTextAndSwitchedOffChannels)
{
    for (int p = 0; p < kAudGenPairs; ++p)
        Set(SourceId(p, 0), 3);
    Set(GroupId(0), 1);
    Set(GroupId(2), 1);
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 - 3 - ");
    EXPECT_TRUE(Called("GenSetChannel(2,1)"));
    const PowerControlState power = power_state();
    EXPECT_EQ(power.genGroups, (std::array<uint8_t, 4> {1, 0, 1, 0}));

    // Channels of groups 2 and 4 stay silent; the monitors still learn
    // their sources.
    ClearCalls();
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 1);
    for (int p = 0; p < kAudGenPairs; ++p) {
        const bool on = (p / 2) % 2 == 0;
        const int channel = 128 + 2 * p;
        EXPECT_TRUE(Called("RouteConnect(" + std::to_string(channel) + "," + std::to_string(on ? 0x140 : 0x1F0) + ")"))
            << "pair " << p;
        EXPECT_EQ(app.LastLevel(2 * p).code, 0x140u) << "pair " << p;
    }

    Set(GroupId(1), 1);
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 2 3 - ");
    Set(GroupId(0), 0);
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "- 2 3 - ");
    EXPECT_TRUE(Called("GenSetChannel(0,0)"));
    EXPECT_TRUE(Called("RouteConnect(128,496)"));
    EXPECT_TRUE(Called("PowerGenGroups(0,1,1,0)"));

    // A disabled group does not count, whatever its switch says.
    Set(GroupId(0), 1);
    ClearCalls();
    store->SetEnabled(GroupId(0), false);
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "- 2 3 - ");
    EXPECT_TRUE(Called("RouteConnect(128,496)"));
}

TEST_F(GeneratorGroups, WideHighRateFormatsLeaveRoomForTwoGroups)
{
    gen->ApplyVideoFormat(Format(kStd2Kp50, 1));
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 2 - - ");
    for (int g = 0; g < kAudGenGroups; ++g) {
        EXPECT_EQ(Get(GroupId(g)), g < 2 ? 1 : 0) << "group " << g + 1;
        EXPECT_EQ(Cmd(GroupId(g))->IsEnabled(), g < 2) << "group " << g + 1;
    }
    EXPECT_EQ(power_state().genGroups, (std::array<uint8_t, 4> {1, 1, 0, 0}));

    gen->ApplyVideoFormat(Format(kStd2Kp50));
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 2 3 4 ") << "3 Gb/s level A";
    gen->ApplyVideoFormat(Format(kStd2Kp50, 0, 1));
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 2 - - ") << "3 Gb/s level B";
    gen->ApplyVideoFormat(Format(kStd2Kp30));
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 2 - - ") << "one 1.5 Gb/s link";
    gen->ApplyVideoFormat(Format(kStd2Kp25, 1));
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 2 3 4 ") << "25 frames";
    gen->ApplyVideoFormat(Format(kStd1080p50, 1));
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 2 3 4 ") << "1920 wide";
    gen->ApplyVideoFormat(Format(-1));
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 2 3 4 ") << "no format";
    EXPECT_TRUE(Cmd(GroupId(3))->IsEnabled());
}
