// Sources of the generated channels: router codes, Dolby taking both sides, shared tones, controls shown, stream power.
#include "AudGenTest.h"

#include "audio/generator/TpAudOscillators.h"
#include "board/PowerControl.h"

using GeneratorSources = AudGenTest;

TEST_F(GeneratorSources, EachSourceRoutesItsCodeAndShowsItsControls)
{
    AllGroupsOn();
    struct Case {
        int32_t source;
        unsigned code;
        bool subSource, frequency, level;
    };
    // source, code, sub-source, frequency, level and invert shown
    static constexpr Case kCases[] = {
        {1, 0x100, true, false, true}, {2, 0x100, false, true, true}, {3, 0x140, false, false, true},
        {4, 0x121, false, false, false}, {6, 0x001, false, false, true}, {9, 0x003, false, false, false},
        {0, 0x1F0, false, false, false},
    };
    for (const Case& c : kCases) {
        ClearCalls();
        Set(SourceId(2, 1), c.source);
        EXPECT_TRUE(Called("RouteConnect(133," + std::to_string(c.code) + ")")) << "source " << c.source;
        EXPECT_EQ(app.LastLevel(5).code, c.code) << "source " << c.source;
        EXPECT_EQ(Cmd(SubSourceId(2, 1))->IsVisible(), c.subSource) << "source " << c.source;
        EXPECT_EQ(Cmd(FreqId(2, 1))->IsVisible(), c.frequency) << "source " << c.source;
        EXPECT_EQ(Cmd(LevelId(2, 1))->IsVisible(), c.level) << "source " << c.source;
        EXPECT_EQ(Cmd(InvertId(2, 1))->IsVisible(), c.level) << "source " << c.source;
    }
    Set(SourceId(2, 1), 3);
    ClearCalls();
    Set(SourceId(2, 1), 12);
    EXPECT_TRUE(Called("RouteConnect(133,320)")) << "a value beyond the sources keeps the code";
}

TEST_F(GeneratorSources, DolbyTakesBothSidesOfThePair)
{
    AllGroupsOn();
    Set(SourceId(0, 0), 7);
    EXPECT_EQ(Get(SourceId(0, 1)), 7);
    EXPECT_TRUE(Called("RouteConnect(128,96)") && Called("RouteConnect(129,97)"));
    EXPECT_FALSE(Cmd(LevelId(0, 0))->IsVisible() || Cmd(LevelId(0, 1))->IsVisible());
    // Noise on the right frees the left side too.
    ClearCalls();
    Set(SourceId(0, 1), 3);
    EXPECT_EQ(Get(SourceId(0, 0)), 0);
    EXPECT_TRUE(Called("RouteConnect(128,496)") && Called("RouteConnect(129,320)"));
}

TEST_F(GeneratorSources, TonesShareOscillators)
{
    AllGroupsOn();
    Set(SubSourceId(0, 0), 7);
    Set(SourceId(0, 0), 1);
    EXPECT_EQ(Get(FreqId(0, 0)), 1000);
    Set(SubSourceId(5, 1), 7);
    Set(SourceId(5, 1), 1);
    EXPECT_EQ(app.LastLevel(11).code, 0x100u) << "the same slot";
    EXPECT_EQ(TpAudOscillators::Shared().Users(1), 2u);

    // Another fixed tone moves that channel to a slot of its own; one beyond the table changes nothing.
    Set(SubSourceId(5, 1), 4);
    EXPECT_EQ(app.LastLevel(11).code, 0x101u);
    Set(SubSourceId(5, 1), 17);
    Set(SubSourceId(5, 1), -1);
    EXPECT_EQ(Get(FreqId(5, 1)), 400);

    // The sub-source only tunes a fixed tone.
    Set(SourceId(5, 1), 2);
    Set(SubSourceId(5, 1), 16);
    EXPECT_EQ(Get(FreqId(5, 1)), 400);
    Set(FreqId(5, 1), 440);
    EXPECT_EQ(app.LastLevel(11).code, 0x101u);
    EXPECT_EQ(TpAudOscillators::Shared().Frequency(2), 440u);
}

TEST_F(GeneratorSources, SecondStreamPowersItsPair)
{
    Set(SourceId(5, 1), 9);
    Set(SourceId(5, 0), 8);
    EXPECT_TRUE(Called("PowerAudioPair(5,1)"));
    Set(SourceId(5, 1), 3);
    EXPECT_EQ(power_state().audioPairs, 1u << 5) << "the left side still takes the stream";
    ClearCalls();
    Set(SourceId(5, 0), 0);
    EXPECT_TRUE(Called("PowerAudioPair(5,0)"));
    EXPECT_EQ(power_state().audioPairs, 0u);
}
