// The "AudGen" task: every 300 ms it reads the AES input flags, writes the two
// status bits of what the AES output carries, and tells the pairs whether the
// AES input can be heard.
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
};

constexpr unsigned kAesOut = COM_GEN_AUDIO_AES_OUT_SOURCE;

} // namespace

TEST_F(GeneratorStatusTask, RunsEvery300msAndWritesChangedBitsOnly)
{
    const TpTask* task = store->FindTask(gen.get());
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->name, "AudGen");
    for (int i = 0; i < 14; ++i)
        store->Tick();
    EXPECT_TRUE(Calls("GenWriteA").empty() && Calls("GenWriteB").empty());
    store->Tick();
    EXPECT_EQ(Calls("GenWriteA"), std::vector<std::string> {"GenWriteA(0)"});
    EXPECT_EQ(Calls("GenWriteB"), std::vector<std::string> {"GenWriteB(0)"});
    ClearCalls();
    RunTask();
    EXPECT_TRUE(Calls("GenWriteA").empty() && Calls("GenWriteB").empty());
}

TEST_F(GeneratorStatusTask, StatusBitsOfTheAesOutputSource)
{
    // output source, bit x, bit y: AES input (flags a = 0, b = 1), embedded
    // pairs 2 and 3 (groups 0xE and 0xB of the board's status word), a stream
    const std::vector<std::array<int, 3>> cases = {{1, 0, 1}, {11, 1, 0}, {12, 1, 1}, {19, 0, 0}};
    RunTask();
    for (const auto& [value, x, y] : cases) {
        Set(kAesOut, value);
        RunTask();
        EXPECT_EQ(Calls("GenWriteA").back(), "GenWriteA(" + std::to_string(x) + ")") << "source " << value;
        EXPECT_EQ(Calls("GenWriteB").back(), "GenWriteB(" + std::to_string(y) + ")") << "source " << value;
    }

    // Following a pair: its left source counts.
    Set(SourceId(0, 0), 7);
    Set(kAesOut, 2);
    ClearCalls();
    RunTask();
    EXPECT_EQ(Calls("GenWriteB"), std::vector<std::string> {"GenWriteB(1)"});
    Set(SourceId(0, 0), 5);
    audio.sourceFlagA = 1;
    ClearCalls();
    RunTask();
    EXPECT_EQ(Calls("GenWriteA"), std::vector<std::string> {"GenWriteA(1)"});
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
    EXPECT_DOUBLE_EQ(app.LastLevel(2).gain, 1.0);
    EXPECT_TRUE(Called("RouteSetGain(130,1.000000)"));

    audio.sourceFlagB = 0;
    RunTask();
    EXPECT_TRUE(Cmd(LevelId(1, 0))->IsVisible());
    EXPECT_NEAR(app.LastLevel(2).gain, Linear(-10), 1e-9);

    // A Dolby pair keeps its levels hidden whatever the flags.
    Set(SourceId(6, 0), 7);
    audio.sourceFlagA = 1;
    RunTask();
    EXPECT_FALSE(Cmd(LevelId(6, 0))->IsVisible());
    EXPECT_FALSE(Cmd(LevelId(6, 1))->IsVisible());
    EXPECT_DOUBLE_EQ(app.LastLevel(13).gain, 1.0);
}
