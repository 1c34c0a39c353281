// The "AudGen" task: every 300 ms it reads the AES input flags, writes the
// two status bits of what the AES output carries, and tells the pairs
// whether the AES input can be heard.
#include "AudGenTest.h"

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

TEST_F(GeneratorStatusTask, RunsEvery300ms)
{
    const TpTask* task = store->FindTask(gen.get());
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->name, "AudGen");
    for (int i = 0; i < 14; ++i)
        store->Tick();
    EXPECT_TRUE(Calls("GenWriteA").empty());
    EXPECT_TRUE(Calls("GenWriteB").empty());
    store->Tick();
    EXPECT_EQ(Calls("GenWriteA"), std::vector<std::string> {"GenWriteA(0)"});
    EXPECT_EQ(Calls("GenWriteB"), std::vector<std::string> {"GenWriteB(0)"});

    // The bits are written again only when they change.
    ClearCalls();
    RunTask();
    EXPECT_TRUE(Calls("GenWriteA").empty());
    EXPECT_TRUE(Calls("GenWriteB").empty());
}

TEST_F(GeneratorStatusTask, StatusBitsOfTheAesOutputSource)
{
    struct Case {
        int32_t value;
        const char* x;
        const char* y;
    };
    // The board's status word 0x1BE4 holds, per embedded pair, the bits
    // y (bit 0) and x (bit 1) of one 4-bit group.
    // output source, x, y
    static constexpr Case kCases[] = {
        {1, "GenWriteA(0)", "GenWriteB(1)"},    // AES input: the flags a = 0 and b = 1
        {11, "GenWriteA(1)", "GenWriteB(0)"},   // embedded pair 2: group 0xE
        {12, "GenWriteA(1)", "GenWriteB(1)"},   // embedded pair 3: group 0xB
        {13, "GenWriteA(0)", "GenWriteB(1)"},   // embedded pair 4: group 0x1
        {18, "GenWriteA(0)", "GenWriteB(1)"},   // Dolby
        {19, "GenWriteA(0)", "GenWriteB(0)"},
    };
    // A bit is written when it changes: the last one written is the bit now.
    RunTask();
    for (const Case& c : kCases) {
        Set(kAesOut, c.value);
        RunTask();
        EXPECT_EQ(Calls("GenWriteA").back(), c.x) << "source " << c.value;
        EXPECT_EQ(Calls("GenWriteB").back(), c.y) << "source " << c.value;
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
