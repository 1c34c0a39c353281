// The gains of the generated channels: whole-dB levels with the master
// offset, phase inversion as a negative factor, the fixed pulse-tone level,
// unity for the stream inputs, the clamp at unity with its red level, the
// floors of the level, the master level table and the level link.
#include "AudGenTest.h"

#include <algorithm>

namespace {

using GeneratorGains = AudGenTest;

constexpr uint32_t kRed = 0xFF0000;

// A dialog's level control: it holds values within its range and puts the
// whole chain back into the range when given one outside it.
class RangedLevel : public TpCommand {
public:
    RangedLevel(unsigned id, int32_t low, int32_t high) : TpCommand(static_cast<int>(id), 1), low_(low), high_(high) {}

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

TEST_F(GeneratorGains, LevelAndInversionGiveSignedLinearFactors)
{
    AllGroupsOn();
    Set(SourceId(1, 0), 3);
    Set(LevelId(1, 0), -6);
    EXPECT_NEAR(app.LastLevel(2).gain, Linear(-6), 1e-9);
    EXPECT_NEAR(LastRouteGain(130), Linear(-6), 1e-6);

    Set(InvertId(1, 0), 1);
    EXPECT_NEAR(app.LastLevel(2).gain, -Linear(-6), 1e-9);
    EXPECT_TRUE(Called("RouteSetGain(130," + GainText(-Linear(-6)) + ")"));
    EXPECT_EQ(app.LastLevel(2).code, 0x140u);

    Set(LevelId(1, 0), -20);
    EXPECT_NEAR(app.LastLevel(2).gain, -0.1, 1e-9);
    Set(InvertId(1, 0), 0);
    EXPECT_NEAR(app.LastLevel(2).gain, 0.1, 1e-9);
}

TEST_F(GeneratorGains, PulseToneAndStreamsIgnoreTheLevel)
{
    Set(LevelId(0, 1), -20);
    Set(InvertId(0, 1), 1);
    Set(SourceId(0, 1), 4);
    EXPECT_NEAR(app.LastLevel(1).gain, Linear(-9), 1e-9) << "pulse tone: -9 dB, never inverted";

    ClearCalls();
    Set(SourceId(0, 1), 9);
    EXPECT_TRUE(Called("RouteMix(129,3,1.000000)"));
    EXPECT_DOUBLE_EQ(app.LastLevel(1).gain, 1.0);
}

TEST_F(GeneratorGains, LevelAboveUnityIsClampedAndShownRed)
{
    Set(SourceId(6, 0), 3);
    Set(LevelId(6, 0), 3);
    EXPECT_EQ(Cmd(LevelId(6, 0))->GetColour(), kRed);
    EXPECT_DOUBLE_EQ(app.LastLevel(12).gain, 1.0);
    EXPECT_EQ(Get(LevelId(6, 0)), 3) << "the level itself stays";

    // With the master at -6 dB the same level is within reach.
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 6);
    EXPECT_EQ(Cmd(LevelId(6, 0))->GetColour(), 0u);
    EXPECT_NEAR(app.LastLevel(12).gain, Linear(-3), 1e-9);
    EXPECT_NEAR(app.LastLevel(13).gain, Linear(-6), 1e-9) << "the right side at level 0";
}

TEST_F(GeneratorGains, MasterLevelTable)
{
    Set(SourceId(0, 0), 3);
    Set(SourceId(7, 1), 1);
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 20);
    EXPECT_NEAR(app.LastLevel(0).gain, Linear(-20), 1e-9);
    EXPECT_NEAR(app.LastLevel(15).gain, Linear(-20), 1e-9);

    // Index 18 is the alignment level, -18.06 dB.
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 18);
    EXPECT_NEAR(app.LastLevel(0).gain, Linear(-18.06), 1e-9);
    EXPECT_GT(std::abs(app.LastLevel(0).gain - Linear(-18)), 1e-4);

    // Out of the table: reported for every pair, nothing changes.
    ClearCalls();
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 21);
    const std::string text = debug->Text();
    size_t count = 0;
    for (size_t at = text.find("Invalid MasterGain: 21 (<21)"); at != std::string::npos;
         at = text.find("Invalid MasterGain: 21 (<21)", at + 1))
        ++count;
    EXPECT_EQ(count, 8u);
    EXPECT_TRUE(Calls("RouteSetGain").empty());
    Set(COM_GEN_AUDIO_MASTER_LEVEL, -1);
    EXPECT_TRUE(debug->Contains("Invalid MasterGain: -1 (<21)"));
    Set(LevelId(0, 0), -2);
    EXPECT_NEAR(app.LastLevel(0).gain, Linear(-20.06), 1e-9) << "the offset of index 18 stays";
}

TEST_F(GeneratorGains, LowLevelsFallToTheFloor)
{
    Set(SourceId(2, 0), 3);
    Set(LevelId(2, 0), -80);
    EXPECT_EQ(Get(LevelId(2, 0)), -9900);
    EXPECT_NEAR(app.LastLevel(4).gain, Linear(-99), 1e-12);

    // -98 dB is written back as -7200 less the master offset, which then
    // falls to the floor itself.
    Set(LevelId(2, 1), -98);
    EXPECT_EQ(Get(LevelId(2, 1)), -9900);
}

TEST_F(GeneratorGains, LevelWrittenBackIntoARangeEnds)
{
    // A level control that turns every write-back below -98 back to -98
    // would make the floor rule and the range call each other without end.
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
    EXPECT_NEAR(app.LastLevel(7).gain, Linear(-10), 1e-9);

    Set(LevelId(3, 0), -4);
    EXPECT_EQ(Get(LevelId(3, 1)), -4);
    EXPECT_NEAR(app.LastLevel(7).gain, Linear(-4), 1e-9);
    Set(InvertId(3, 0), 1);
    EXPECT_NEAR(app.LastLevel(6).gain, -Linear(-4), 1e-9);
    EXPECT_NEAR(app.LastLevel(7).gain, Linear(-4), 1e-9) << "the link copies the level, not the phase";

    Set(LinkId(3), 0);
    EXPECT_TRUE(Cmd(LevelId(3, 1))->IsEnabled());
    Set(LevelId(3, 0), -1);
    EXPECT_EQ(Get(LevelId(3, 1)), -4);
}
