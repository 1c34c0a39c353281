// The "AudGen" task: every 300 ms it writes the AES output's status bits and tells pairs if the AES input is heard.
#include "AudGenTest.h"

#include <array>

namespace {

class GeneratorStatusTask : public AudGenTest {
protected:
    // One run of the task: 300 ms are 15 ticks.
    void RunTask()
    {
        for (int i = 0; i < 15; ++i)
            store->Tick();
    }
    std::string Bits() const
    {
        const auto a = Calls("GenWriteA"), b = Calls("GenWriteB");
        return (a.empty() ? "-" : a.back().substr(10, 1)) + (b.empty() ? "-" : b.back().substr(10, 1));
    }
};

} // namespace

TEST_F(GeneratorStatusTask, RunsEvery300msAndWritesChangedBits)
{
    ASSERT_NE(store->FindTask(gen.get()), nullptr);
    EXPECT_EQ(store->FindTask(gen.get())->name, "AudGen");
    for (int i = 0; i < 14; ++i)
        store->Tick();
    EXPECT_EQ(Bits(), "--");
    store->Tick();
    EXPECT_EQ(Bits(), "00");
    RunTask();
    EXPECT_EQ(Calls("GenWriteA").size() + Calls("GenWriteB").size(), 2u) << "unchanged bits are not written again";

    // Bits x and y of the output source: the AES input (flags a = 0, b = 1), embedded pairs 2
    // and 3 (groups 0xE and 0xB of the board's status word), a stream.
    const std::vector<std::pair<int, const char*>> cases = {{1, "01"}, {11, "10"}, {12, "11"}, {19, "00"}};
    for (const auto& [value, bits] : cases) {
        Set(COM_GEN_AUDIO_AES_OUT_SOURCE, value);
        RunTask();
        EXPECT_EQ(Bits(), bits) << "source " << value;
    }
    // Following a pair: its left source counts.
    Set(SourceId(0, 0), 5);
    Set(COM_GEN_AUDIO_AES_OUT_SOURCE, 2);
    audio.sourceFlagA = 1;
    RunTask();
    EXPECT_EQ(Bits(), "11");
}

TEST_F(GeneratorStatusTask, AesInputLevelsOnlyWhileTheInputCanBeHeard)
{
    AllGroupsOn();
    Set(SourceId(1, 0), 5);
    Set(COM_GEN_AUDIO_MASTER_LEVEL, 6);
    Set(LevelId(1, 0), -10);
    Set(InvertId(1, 0), 1);
    EXPECT_NEAR(app.LastLevel(2).gain, -Linear(-10), 1e-9) << "no master offset on an input";

    // Flags a = 0 and b = 1 (the board's own): the input cannot be heard.
    RunTask();
    EXPECT_FALSE(Cmd(LevelId(1, 0))->IsVisible());
    EXPECT_FALSE(Cmd(InvertId(1, 0))->IsVisible());
    EXPECT_EQ(Get(InvertId(1, 0)), 0);
    EXPECT_TRUE(Called("RouteSetGain(130,1.000000)"));

    audio.sourceFlagB = 0;
    RunTask();
    EXPECT_TRUE(Cmd(LevelId(1, 0))->IsVisible());
    EXPECT_NEAR(app.LastLevel(2).gain, Linear(-10), 1e-9);

    // A Dolby pair keeps its levels hidden whatever the flags.
    Set(SourceId(6, 0), 7);
    audio.sourceFlagA = 1;
    RunTask();
    EXPECT_FALSE(Cmd(LevelId(6, 1))->IsVisible());
    EXPECT_DOUBLE_EQ(app.LastLevel(13).gain, 1.0);
}
