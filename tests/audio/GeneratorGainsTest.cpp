// Gains of the generated channels: levels less the master, inversion, fixed levels, clamp, floor and level link.
#include "AudGenTest.h"

#include <algorithm>

namespace {

using GeneratorGains = AudGenTest;

// A dialog's level control that puts a value outside its range back into it.
class RangedLevel : public TpCommand {
public:
    RangedLevel(unsigned id, int32_t low, int32_t high) : TpCommand(static_cast<int>(id), kKeepsValue), low_(low), high_(high) {}
    int32_t SetValue(int32_t value) override
    {
        const int32_t held = std::clamp(value, low_, high_);
        TpCommand::SetValue(held);
        if (held != value)
            SetValueAll(held);
        return held;
    }

private:
    int32_t low_, high_;
};

} // namespace

TEST_F(GeneratorGains, LevelInversionMasterAndFixedLevels)
{
    AllGroupsOn();
    Set(SourceId(1, 0), 3);
    Set(LevelId(1, 0), -6);
    Set(InvertId(1, 0), 1);
    EXPECT_NEAR(app.LastLevel(2).gain, -Linear(-6), 1e-9);
    EXPECT_TRUE(Called("RouteSetGain(130," + GainText(-Linear(-6)) + ")"));
    EXPECT_EQ(app.LastLevel(2).code, 0x140u);

    // The pulse tone plays at -9 dB, never inverted; a stream input at unity.
    Set(LevelId(0, 1), -20);
    Set(InvertId(0, 1), 1);
    Set(SourceId(0, 1), 4);
    EXPECT_NEAR(app.LastLevel(1).gain, Linear(-9), 1e-9);
    Set(SourceId(0, 1), 9);
    EXPECT_TRUE(Called("RouteMix(129,3,1.000000)"));
    EXPECT_DOUBLE_EQ(app.LastLevel(1).gain, 1.0);

    // Above unity the gain is clamped and the level shown red, until the master brings it within reach.
    Set(LevelId(1, 0), 3);
    EXPECT_EQ(Cmd(LevelId(1, 0))->GetColour(), 0xFF0000u);
    EXPECT_DOUBLE_EQ(app.LastLevel(2).gain, -1.0);
    EXPECT_EQ(Get(LevelId(1, 0)), 3) << "the level itself stays";
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 3);
    EXPECT_EQ(Cmd(LevelId(1, 0))->GetColour(), 0u) << "exactly 0 dB is within reach";
    EXPECT_DOUBLE_EQ(app.LastLevel(2).gain, -1.0);
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 18);
    EXPECT_NEAR(app.LastLevel(3).gain, Linear(-18.06), 1e-9) << "index 18 is the alignment level";

    // Out of the table: reported for every pair, nothing changes.
    ClearCalls();
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 21);
    EXPECT_TRUE(debug->Contains("Invalid MasterGain: 21 (<21)"));
    EXPECT_TRUE(Calls("RouteSetGain").empty());
    Set(COM_GEN_AUDIO_MASTER_LEVEL, -1);
    EXPECT_TRUE(debug->Contains("Invalid MasterGain: -1 (<21)"));
    Set(LevelId(1, 0), -2);
    EXPECT_NEAR(app.LastLevel(2).gain, -Linear(-20.06), 1e-9) << "the offset of index 18 stays";
}

TEST_F(GeneratorGains, LowLevelsFallToTheFloorWithoutEndlessWriteBacks)
{
    Set(SourceId(2, 0), 3);
    Set(LevelId(2, 0), -80);
    EXPECT_EQ(Get(LevelId(2, 0)), -9900);
    EXPECT_NEAR(app.LastLevel(4).gain, Linear(-99), 1e-12);
    Set(LevelId(2, 1), -98);
    EXPECT_EQ(Get(LevelId(2, 1)), -9900) << "written back as -7200, which falls to the floor itself";

    // A level control that puts every write-back below -98 back to -98.
    RangedLevel view(LevelId(4, 0), -98, 12);
    Set(SourceId(4, 0), 3);
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 6);
    Set(LevelId(4, 0), -98);
    EXPECT_EQ(Get(LevelId(4, 0)), -98);
    EXPECT_NEAR(app.LastLevel(8).gain, Linear(-104), 1e-12);
    Set(LevelId(4, 0), -90);
    EXPECT_EQ(Get(LevelId(4, 0)), -98);
    EXPECT_NEAR(app.LastLevel(8).gain, Linear(-99), 1e-12);
}

TEST_F(GeneratorGains, LinkedRightLevelFollowsTheLeft)
{
    Set(SourceId(3, 0), 3);
    Set(SourceId(3, 1), 3);
    Set(LevelId(3, 0), -10);
    Set(LinkId(3), 1);
    EXPECT_EQ(Get(LevelId(3, 1)), -10);
    EXPECT_FALSE(Cmd(LevelId(3, 1))->IsEnabled());
    Set(LevelId(3, 0), -4);
    Set(InvertId(3, 0), 1);
    EXPECT_NEAR(app.LastLevel(6).gain, -Linear(-4), 1e-9);
    EXPECT_NEAR(app.LastLevel(7).gain, Linear(-4), 1e-9) << "the link copies the level, not the phase";

    Set(LinkId(3), 0);
    EXPECT_TRUE(Cmd(LevelId(3, 1))->IsEnabled());
    Set(LevelId(3, 0), -1);
    EXPECT_EQ(Get(LevelId(3, 1)), -4);
}
