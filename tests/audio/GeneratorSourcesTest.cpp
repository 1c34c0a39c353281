// The sources of the generated channels: the code each source gives the
// router and the monitors, the Dolby stream taking both sides of a pair, the
// fixed and variable tones on the shared oscillators, the controls shown for
// each source, and the power of the second stream input.
#include "AudGenTest.h"

#include "audio/TpAudOscillators.h"
#include "board/PowerControl.h"

namespace {

using GeneratorSources = AudGenTest;

struct SourceCase {
    int side;
    int32_t source;
    uint32_t code;
};

} // namespace

TEST_F(GeneratorSources, EachSourceRoutesItsCode)
{
    AllGroupsOn();
    // side, source value, code
    static constexpr SourceCase kCases[] = {
        {0, 3, 0x140}, {0, 4, 0x120}, {1, 4, 0x121}, {0, 5, 0x000}, {1, 6, 0x001},
        {0, 8, 0x002}, {1, 9, 0x003}, {0, 0, 0x1F0}, {1, 3, 0x140},
    };
    for (const SourceCase& c : kCases) {
        ClearCalls();
        Set(SourceId(2, c.side), c.source);
        const int channel = 128 + 4 + c.side;
        EXPECT_TRUE(Called("RouteConnect(" + std::to_string(channel) + "," + std::to_string(c.code) + ")"))
            << "source " << c.source;
        EXPECT_EQ(app.LastLevel(4 + c.side).code, c.code) << "source " << c.source;
    }
    // A value beyond the sources keeps the code the side had.
    ClearCalls();
    Set(SourceId(2, 1), 12);
    EXPECT_TRUE(Called("RouteConnect(133,320)"));
}

TEST_F(GeneratorSources, GroupOffSilencesTheChannelButTheMonitorsKeepTheCode)
{
    Set(SourceId(0, 0), 3);
    EXPECT_TRUE(Called("RouteConnect(128,496)")) << "groups start off";
    EXPECT_EQ(app.LastLevel(0).code, 0x140u);

    ClearCalls();
    Set(GroupId(0), 1);
    EXPECT_TRUE(Called("RouteConnect(128,320)"));
    EXPECT_TRUE(Called("RouteConnect(129,496)")) << "the right side is silent";
    for (int channel = 132; channel < 144; ++channel)
        EXPECT_TRUE(Calls("RouteConnect(" + std::to_string(channel) + ",").empty())
            << "channel " << channel << " is in another group";
}

TEST_F(GeneratorSources, DolbyTakesBothSidesOfThePair)
{
    AllGroupsOn();
    Set(SourceId(0, 0), 7);
    EXPECT_EQ(Get(SourceId(0, 1)), 7);
    EXPECT_TRUE(Called("RouteConnect(128,96)"));
    EXPECT_TRUE(Called("RouteConnect(129,97)"));
    EXPECT_FALSE(Cmd(LevelId(0, 0))->IsVisible());
    EXPECT_FALSE(Cmd(LevelId(0, 1))->IsVisible());

    // Noise on the right frees the left side too.
    ClearCalls();
    Set(SourceId(0, 1), 3);
    EXPECT_EQ(Get(SourceId(0, 0)), 0);
    EXPECT_TRUE(Called("RouteConnect(128,496)"));
    EXPECT_TRUE(Called("RouteConnect(129,320)"));
    EXPECT_EQ(app.LastLevel(1).code, 0x140u);
}

TEST_F(GeneratorSources, FixedTonesShareOscillators)
{
    AllGroupsOn();
    Set(SubSourceId(0, 0), 7);
    Set(SourceId(0, 0), 1);
    EXPECT_EQ(Get(FreqId(0, 0)), 1000);
    EXPECT_EQ(app.LastLevel(0).code, 0x100u) << "oscillator slot 1";
    EXPECT_TRUE(Called("RouteConnect(128,256)"));

    Set(SubSourceId(5, 1), 7);
    Set(SourceId(5, 1), 1);
    EXPECT_EQ(Get(FreqId(5, 1)), 1000);
    EXPECT_EQ(app.LastLevel(11).code, 0x100u) << "the same slot";
    EXPECT_EQ(TpAudOscillators::Shared().Users(1), 2u);

    // Another fixed tone moves that channel to a slot of its own.
    Set(SubSourceId(5, 1), 4);
    EXPECT_EQ(Get(FreqId(5, 1)), 400);
    EXPECT_EQ(app.LastLevel(11).code, 0x101u);
    EXPECT_EQ(TpAudOscillators::Shared().Users(1), 1u);

    // A sub-source beyond the table leaves the frequency as it is.
    Set(SubSourceId(5, 1), 17);
    EXPECT_EQ(Get(FreqId(5, 1)), 400);
    Set(SubSourceId(5, 1), -1);
    EXPECT_EQ(Get(FreqId(5, 1)), 400);
    Set(SubSourceId(5, 1), 16);
    EXPECT_EQ(Get(FreqId(5, 1)), 20000);

    // The sub-source only tunes a fixed tone.
    Set(SourceId(5, 1), 2);
    Set(SubSourceId(5, 1), 0);
    EXPECT_EQ(Get(FreqId(5, 1)), 20000);
    Set(FreqId(5, 1), 440);
    EXPECT_EQ(app.LastLevel(11).code, 0x101u) << "440 Hz takes the lowest free slot";
    EXPECT_EQ(TpAudOscillators::Shared().Frequency(2), 440u);
}

TEST_F(GeneratorSources, ControlsShownFollowTheSource)
{
    struct Shown {
        int32_t source;
        bool subSource, frequency, level;
    };
    // source, sub-source, frequency, level and invert shown
    static constexpr Shown kShown[] = {
        {1, true, false, true}, {2, false, true, true},  {3, false, false, true},  {4, false, false, false},
        {5, false, false, true}, {8, false, false, false}, {0, false, false, false},
    };
    for (const Shown& s : kShown) {
        Set(SourceId(3, 1), s.source);
        EXPECT_EQ(Cmd(SubSourceId(3, 1))->IsVisible(), s.subSource) << "source " << s.source;
        EXPECT_EQ(Cmd(FreqId(3, 1))->IsVisible(), s.frequency) << "source " << s.source;
        EXPECT_EQ(Cmd(LevelId(3, 1))->IsVisible(), s.level) << "source " << s.source;
        EXPECT_EQ(Cmd(InvertId(3, 1))->IsVisible(), s.level) << "source " << s.source;
    }
}

TEST_F(GeneratorSources, SecondStreamPowersItsPair)
{
    Set(SourceId(5, 1), 9);
    EXPECT_TRUE(Called("PowerAudioPair(5,1)"));
    EXPECT_EQ(power_state().audioPairs, 1u << 5);
    Set(SourceId(5, 0), 8);
    EXPECT_EQ(power_state().audioPairs, 1u << 5);

    Set(SourceId(5, 1), 3);
    EXPECT_EQ(power_state().audioPairs, 1u << 5) << "the left side still takes the stream";
    ClearCalls();
    Set(SourceId(5, 0), 0);
    EXPECT_TRUE(Called("PowerAudioPair(5,0)"));
    EXPECT_EQ(power_state().audioPairs, 0u);
}
