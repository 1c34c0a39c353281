// The AES and analogue outputs: following a generator pair (re-sent whenever
// the pair changes), the fixed sources at unity, their power flags, the
// second stream selection, the Dolby and input items of the source lists,
// and the output gains kept in the settings file.
#include "AudGenTest.h"

#include "board/PowerControl.h"

namespace {

using GeneratorOutputs = AudGenTest;

constexpr unsigned kAesOut = COM_GEN_AUDIO_AES_OUT_SOURCE;
constexpr unsigned kAnlOut = COM_GEN_AUDIO_ANL_OUT_SOURCE;

} // namespace

TEST_F(GeneratorOutputs, AesOutputFollowsAPair)
{
    AllGroupsOn();
    Set(SourceId(3, 0), 3);
    Set(LevelId(3, 0), -6);
    Set(SourceId(3, 1), 4);
    ClearCalls();
    Set(kAesOut, 5);
    ASSERT_FALSE(app.outputs.empty());
    RecordingApp::Output out = app.outputs.back();
    EXPECT_EQ(out.left, 0x140);
    EXPECT_EQ(out.right, 0x121);
    EXPECT_NEAR(out.leftGain, Linear(-6), 1e-9);
    EXPECT_NEAR(out.rightGain, Linear(-9), 1e-9);
    EXPECT_TRUE(Called("RouteMix(2,320," + GainText(Linear(-6)) + ")"));
    EXPECT_TRUE(Called("RouteMix(3,289," + GainText(Linear(-9)) + ")"));
    EXPECT_TRUE(Called("PowerGenFlag(1)"));
    EXPECT_TRUE(Called("GenWrite(1)"));

    // A change of the pair is sent on at once.
    Set(SourceId(3, 1), 3);
    ClearCalls();
    Set(LevelId(3, 1), -12);
    out = app.outputs.back();
    EXPECT_EQ(out.right, 0x140);
    EXPECT_NEAR(out.rightGain, Linear(-12), 1e-9);
    EXPECT_NEAR(out.leftGain, Linear(-6), 1e-9);
    EXPECT_TRUE(Called("RouteMix(3,320," + GainText(Linear(-12)) + ")"));

    // Another pair: the power flag only follows on and off.
    ClearCalls();
    Set(kAesOut, 2);
    EXPECT_TRUE(Calls("PowerGenFlag").empty());
    EXPECT_EQ(app.outputs.back().left, 0x1F0) << "pair 1 is silent";
}

TEST_F(GeneratorOutputs, FixedSourcesAreRoutedAtUnity)
{
    struct Case {
        int32_t value;
        int left, right;
    };
    // output source, left code, right code
    static constexpr Case kCases[] = {
        {1, 0, 1}, {10, 0x80, 0x81}, {12, 0x84, 0x85}, {17, 0x8E, 0x8F}, {18, 0x60, 0x61}, {19, 2, 3}, {25, 0x1F0, 0x1F0},
    };
    for (const Case& c : kCases) {
        ClearCalls();
        Set(kAesOut, c.value);
        EXPECT_TRUE(Called("RouteMix(2," + std::to_string(c.left) + ",1.000000)")) << "source " << c.value;
        EXPECT_TRUE(Called("RouteMix(3," + std::to_string(c.right) + ",1.000000)")) << "source " << c.value;
        ASSERT_FALSE(app.outputs.empty());
        EXPECT_EQ(app.outputs.back().left, 0x1F0) << "the monitors hear no generator pair";
    }
    ClearCalls();
    Set(kAesOut, 0);
    EXPECT_TRUE(Called("RouteMix(2,496,1.000000)"));
    EXPECT_TRUE(Called("PowerGenFlag(0)"));
    EXPECT_TRUE(Called("GenWrite(0)"));
}

TEST_F(GeneratorOutputs, AnalogueOutput)
{
    Set(SourceId(1, 0), 3);
    Set(LevelId(1, 0), -3);
    ClearCalls();
    Set(kAnlOut, 3);
    EXPECT_TRUE(Called("SetGainDb(4,320," + GainText(Linear(-3)) + ")"));
    EXPECT_TRUE(Called("SetGainDb(5,496,1.000000)"));
    EXPECT_TRUE(Called("PowerGenAnalog(1)"));

    // An unknown value leaves the followed pair in place.
    Set(kAnlOut, 40);
    ClearCalls();
    Set(LevelId(1, 0), -1);
    EXPECT_TRUE(Called("SetGainDb(4,320," + GainText(Linear(-1)) + ")"));

    ClearCalls();
    Set(kAnlOut, 18);
    EXPECT_EQ(Calls("SetGainDb"), (std::vector<std::string> {"SetGainDb(4,96,1.000000)", "SetGainDb(5,97,1.000000)"}));
    Set(kAnlOut, 0);
    EXPECT_TRUE(Called("PowerGenAnalog(0)"));
    EXPECT_EQ(power_state().genAnalog, 0u);
    ClearCalls();
    Set(LevelId(1, 0), -2);
    EXPECT_TRUE(Calls("SetGainDb").empty()) << "no longer following";
}

TEST_F(GeneratorOutputs, SecondStreamSelectionTakesTheStreamUpAgain)
{
    AllGroupsOn();
    Set(SourceId(2, 0), 8);
    Set(kAesOut, 19);
    ClearCalls();
    Set(COM_GEN_AUDIO_SECOND_STREAM, 1);
    EXPECT_TRUE(Called("GenSync()"));
    EXPECT_TRUE(Called("RouteMix(132,2,1.000000)"));
    EXPECT_TRUE(Called("RouteConnect(132,2)"));
    EXPECT_TRUE(Called("RouteMix(2,496,1.000000)"));
    EXPECT_EQ(Calls("RouteMix(2,").back(), "RouteMix(2,2,1.000000)");
    EXPECT_EQ(Get(kAesOut), 19);
}

TEST_F(GeneratorOutputs, AesOutputTakesTheFirstPairWhenAsked)
{
    gen->EnsureFirstPairSource(false);
    EXPECT_EQ(Get(kAesOut), 0);
    gen->EnsureFirstPairSource(true);
    EXPECT_EQ(Get(kAesOut), 2);
    Set(kAesOut, 12);
    gen->EnsureFirstPairSource(true);
    EXPECT_EQ(Get(kAesOut), 12);
}

TEST_F(GeneratorOutputs, SourceItemsFollowWhatCanBeHeard)
{
    for (int p = 0; p < kAudGenPairs; ++p) {
        for (int s = 0; s < 2; ++s) {
            const TpCommand* list = Cmd(SourceId(p, s));
            EXPECT_TRUE(list->GetItemEnabled(5) && list->GetItemEnabled(6) && list->GetItemEnabled(8) &&
                        list->GetItemEnabled(9));
            EXPECT_FALSE(list->GetItemEnabled(7)) << "no Dolby stream yet";
        }
    }
    EXPECT_FALSE(Cmd(kAesOut)->GetItemEnabled(18));
    EXPECT_TRUE(Called("GenWrite(0)"));
    EXPECT_TRUE(Cmd(kAesOut)->IsVisible());

    // The Dolby generator shows its type while it can make a stream.
    store->SetVisible(COM_GEN_DOLBY_TYPE, false);
    EXPECT_FALSE(Cmd(SourceId(0, 0))->GetItemEnabled(7));
    store->SetVisible(COM_GEN_DOLBY_TYPE, true);
    for (int p = 0; p < kAudGenPairs; ++p)
        for (int s = 0; s < 2; ++s)
            EXPECT_TRUE(Cmd(SourceId(p, s))->GetItemEnabled(7));
    EXPECT_TRUE(Cmd(kAesOut)->GetItemEnabled(18));
    store->SetVisible(COM_GEN_DOLBY_TYPE, false);
    EXPECT_FALSE(Cmd(SourceId(7, 1))->GetItemEnabled(7));
    EXPECT_FALSE(Cmd(kAesOut)->GetItemEnabled(18));

    // Without the AES input and the second stream.
    ClearCalls();
    MakeGenerator(false, false);
    const TpCommand* list = Cmd(SourceId(4, 1));
    EXPECT_FALSE(list->GetItemEnabled(5) || list->GetItemEnabled(6) || list->GetItemEnabled(8) ||
                 list->GetItemEnabled(9));
    EXPECT_TRUE(list->GetItemEnabled(3));
    EXPECT_FALSE(Cmd(kAesOut)->IsVisible());
    EXPECT_FALSE(Called("GenWrite(0)"));
}

TEST_F(GeneratorOutputs, OutputGainsAreKeptInTheSettingsFile)
{
    Set(COM_GEN_AUDIO_OUT_GAIN_LEFT, 5);
    EXPECT_TRUE(Called("SetOutputGain(5,0)"));
    Set(COM_GEN_AUDIO_OUT_GAIN_RIGHT, -3);
    EXPECT_TRUE(Called("SetOutputGain(5,-3)"));
    TpIniFile saved("./system.cfg");
    EXPECT_EQ(saved.GetString("", "audoutgainleft", ""), "5");
    EXPECT_EQ(saved.GetString("", "audoutgainright", ""), "-3");
    EXPECT_TRUE(app.outputs.empty()) << "a gain change re-routes nothing";

    // The next start takes them up again.
    gen.reset();
    ClearCalls();
    MakeGenerator();
    EXPECT_EQ(Get(COM_GEN_AUDIO_OUT_GAIN_LEFT), 5);
    EXPECT_EQ(Get(COM_GEN_AUDIO_OUT_GAIN_RIGHT), -3);
    EXPECT_EQ(Calls("SetOutputGain").back(), "SetOutputGain(5,-3)");
}

TEST_F(GeneratorOutputs, OutputGainsAreEditableInServiceModeOnly)
{
    gen.reset();
    ASSERT_TRUE(settings->SetString("", "audoutgainleft", "7"));
    ASSERT_TRUE(settings->SetString("", "audoutgainright", "twelve"));
    // The dialog's edit boxes come disabled.
    TpCommand left(COM_GEN_AUDIO_OUT_GAIN_LEFT, 1);
    TpCommand right(COM_GEN_AUDIO_OUT_GAIN_RIGHT, 1);
    left.SetEnabled(false);
    right.SetEnabled(false);

    MakeGenerator();
    EXPECT_EQ(left.GetValue(), 7);
    EXPECT_EQ(right.GetValue(), 0) << "a gain that is not a number is left out";
    EXPECT_TRUE(debug->Contains("audoutgainright=twelve"));
    EXPECT_FALSE(left.IsEnabled());

    gen.reset();
    app.serviceKeys = true;
    MakeGenerator();
    EXPECT_TRUE(left.IsEnabled());
    EXPECT_TRUE(right.IsEnabled());
    gen.reset();
}
