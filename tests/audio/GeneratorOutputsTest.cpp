// The AES and analogue outputs: pairs or fixed sources, power flags, second stream, source items, output gains.
#include "AudGenTest.h"

#include "board/PowerControl.h"

#include <array>

namespace {

using GeneratorOutputs = AudGenTest;

constexpr unsigned kAesOut = COM_GEN_AUDIO_AES_OUT_SOURCE;
constexpr unsigned kAnlOut = COM_GEN_AUDIO_ANL_OUT_SOURCE;

} // namespace

TEST_F(GeneratorOutputs, AesOutputFollowsAPairOrAFixedSource)
{
    AllGroupsOn();
    Set(SourceId(3, 0), 3);
    Set(LevelId(3, 0), -6);
    Set(SourceId(3, 1), 4);
    ClearCalls();
    Set(kAesOut, 5);
    ASSERT_FALSE(app.outputs.empty());
    EXPECT_EQ(app.outputs.back().left, 0x140);
    EXPECT_EQ(app.outputs.back().right, 0x121);
    EXPECT_NEAR(app.outputs.back().leftGain, Linear(-6), 1e-9);
    EXPECT_TRUE(Called("RouteMix(2,320," + GainText(Linear(-6)) + ")"));
    EXPECT_TRUE(Called("RouteMix(3,289," + GainText(Linear(-9)) + ")"));
    EXPECT_TRUE(Called("PowerGenFlag(1)"));
    EXPECT_TRUE(Called("GenWrite(1)"));

    // A change of the pair is sent on at once.
    Set(SourceId(3, 1), 3);
    ClearCalls();
    Set(LevelId(3, 1), -12);
    EXPECT_NEAR(app.outputs.back().rightGain, Linear(-12), 1e-9);
    EXPECT_TRUE(Called("RouteMix(3,320," + GainText(Linear(-12)) + ")"));

    // Fixed sources at unity (AES input, embedded pair 3, Dolby, off); the monitors hear no pair.
    const std::vector<std::array<int, 3>> cases = {{1, 0, 1}, {12, 0x84, 0x85}, {18, 0x60, 0x61}, {25, 0x1F0, 0x1F0}};
    for (const auto& [value, left, right] : cases) {
        ClearCalls();
        Set(kAesOut, value);
        EXPECT_TRUE(Called("RouteMix(2," + std::to_string(left) + ",1.000000)")) << "source " << value;
        EXPECT_TRUE(Called("RouteMix(3," + std::to_string(right) + ",1.000000)")) << "source " << value;
        EXPECT_EQ(app.outputs.back().left, 0x1F0);
    }
    EXPECT_TRUE(Calls("PowerGenFlag").empty()) << "the power flag only follows on and off";
    ClearCalls();
    Set(kAesOut, 0);
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
    EXPECT_EQ(power_state().genAnalog, 0u);
    ClearCalls();
    Set(LevelId(1, 0), -2);
    EXPECT_TRUE(Calls("SetGainDb").empty()) << "no longer following";
}

TEST_F(GeneratorOutputs, SecondStreamSelectionAndTheFirstPair)
{
    AllGroupsOn();
    Set(SourceId(2, 0), 8);
    Set(kAesOut, 19);
    ClearCalls();
    Set(COM_GEN_AUDIO_SECOND_STREAM, 1);
    EXPECT_TRUE(Called("GenSync()"));
    EXPECT_TRUE(Called("RouteConnect(132,2)"));
    EXPECT_TRUE(Called("RouteMix(2,496,1.000000)"));
    EXPECT_EQ(Calls("RouteMix(2,").back(), "RouteMix(2,2,1.000000)") << "the stream is taken up again";

    // The AES output takes the first pair only when asked and when off.
    gen->EnsureFirstPairSource(true);
    EXPECT_EQ(Get(kAesOut), 19);
    Set(kAesOut, 0);
    gen->EnsureFirstPairSource(false);
    EXPECT_EQ(Get(kAesOut), 0);
    gen->EnsureFirstPairSource(true);
    EXPECT_EQ(Get(kAesOut), 2);
}

TEST_F(GeneratorOutputs, SourceItemsFollowWhatCanBeHeard)
{
    const TpCommand* list = Cmd(SourceId(4, 1));
    EXPECT_TRUE(list->GetItemEnabled(5) && list->GetItemEnabled(9));
    // The Dolby items are there while the Dolby generator shows its type.
    store->SetVisible(COM_GEN_DOLBY_TYPE, false);
    EXPECT_FALSE(list->GetItemEnabled(7) || Cmd(kAesOut)->GetItemEnabled(18));
    store->SetVisible(COM_GEN_DOLBY_TYPE, true);
    EXPECT_TRUE(list->GetItemEnabled(7) && Cmd(SourceId(0, 0))->GetItemEnabled(7) && Cmd(kAesOut)->GetItemEnabled(18));

    // Without the AES input and the second stream.
    MakeGenerator(false, false);
    EXPECT_FALSE(list->GetItemEnabled(5) || list->GetItemEnabled(6) || list->GetItemEnabled(8) ||
                 list->GetItemEnabled(9));
    EXPECT_TRUE(list->GetItemEnabled(3));
    EXPECT_FALSE(Cmd(kAesOut)->IsVisible());
}

TEST_F(GeneratorOutputs, OutputGainsAreReadBackAndEditableInServiceModeOnly)
{
    TpCommand left(COM_GEN_AUDIO_OUT_GAIN_LEFT, kKeepsValue);
    TpCommand right(COM_GEN_AUDIO_OUT_GAIN_RIGHT, kKeepsValue);
    left.SetEnabled(false);
    right.SetEnabled(false);
    Set(COM_GEN_AUDIO_OUT_GAIN_LEFT, 5);
    EXPECT_TRUE(Called("SetOutputGain(5,0)"));
    EXPECT_TRUE(app.outputs.empty()) << "a gain change re-routes nothing";

    ASSERT_TRUE(settings->SetString("", "audoutgainright", "twelve"));
    ClearCalls();
    MakeGenerator();
    EXPECT_EQ(Calls("SetOutputGain").back(), "SetOutputGain(5,0)");
    EXPECT_EQ(right.GetValue(), 0) << "a gain that is not a number is left out";
    EXPECT_TRUE(debug->Contains("audoutgainright=twelve"));
    EXPECT_FALSE(left.IsEnabled());
    app.serviceKeys = true;
    MakeGenerator();
    EXPECT_TRUE(left.IsEnabled() && right.IsEnabled());
    gen.reset();
}
