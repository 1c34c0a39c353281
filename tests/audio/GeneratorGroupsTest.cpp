// Group switches: the group text, silent channels, group power, and the groups the output format has room for.
#include "AudGenTest.h"

#include "board/PowerControl.h"

using GeneratorGroups = AudGenTest;

TEST_F(GeneratorGroups, GroupTextAndSwitchedOffChannels)
{
    ClearCalls();
    for (int p = 0; p < kAudGenPairs; ++p)
        Set(SourceId(p, 0), 3);
    EXPECT_TRUE(Called("RouteConnect(128,496)")) << "groups start off";
    Set(GroupId(0), 1);
    Set(GroupId(2), 1);
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "1 - 3 - ");
    EXPECT_TRUE(Called("GenSetChannel(2,1)"));
    EXPECT_EQ(power_state().genGroups, (std::array<uint8_t, 4> {1, 0, 1, 0}));

    // Channels of groups 2 and 4 stay silent; the monitors still learn their sources.
    ClearCalls();
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 1);
    for (int p = 0; p < kAudGenPairs; ++p) {
        const bool on = (p / 2) % 2 == 0;
        EXPECT_TRUE(Called("RouteConnect(" + std::to_string(128 + 2 * p) + "," + (on ? "320" : "496") + ")")) << p;
        EXPECT_EQ(app.LastLevel(2 * p).code, 0x140u) << "pair " << p;
    }

    // Switching a group touches only its own channels; a disabled group does not count.
    Set(GroupId(1), 1);
    ClearCalls();
    Set(GroupId(0), 0);
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "- 2 3 - ");
    EXPECT_TRUE(Called("RouteConnect(128,496)"));
    EXPECT_TRUE(Called("PowerGenGroups(0,1,1,0)"));
    EXPECT_TRUE(Calls("RouteConnect(132,").empty() && Calls("RouteConnect(140,").empty());
    Set(GroupId(0), 1);
    ClearCalls();
    store->SetEnabled(GroupId(0), false);
    EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), "- 2 3 - ");
    EXPECT_TRUE(Called("RouteConnect(128,496)"));
}

TEST_F(GeneratorGroups, WideHighRateFormatsLeaveRoomForTwoGroups)
{
    struct Case {
        int standard;
        uint32_t dualLink, levelB;
        bool four;
    };
    // 2K p50 (3 Gb/s) dual link, level A, level B; 2K p30 (1.5 Gb/s); 2K p25; 1080p50; no format
    const Case cases[] = {{31, 1, 0, false}, {31, 0, 0, true}, {31, 0, 1, false}, {33, 0, 0, false},
                          {35, 1, 0, true},  {8, 1, 0, true},  {-1, 0, 0, true}};
    for (const Case& c : cases) {
        VideoFormat f;
        f.standard = c.standard;
        f.dualLink = c.dualLink;
        f.levelB = c.levelB;
        gen->ApplyVideoFormat(f);
        EXPECT_EQ(store->GetCmdText(COM_GEN_AUDIO_ON_TEXT), c.four ? "1 2 3 4 " : "1 2 - - ") << c.standard;
        EXPECT_EQ(Get(GroupId(3)), c.four ? 1 : 0);
        EXPECT_EQ(Cmd(GroupId(2))->IsEnabled(), c.four);
        EXPECT_EQ(power_state().genGroups[3], c.four ? 1 : 0);
    }
}
