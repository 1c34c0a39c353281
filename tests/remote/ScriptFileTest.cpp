// Script files: what the scripts page reads from and writes to the ".cmd"
// files of the scripts folder, byte for byte.
#include "ScriptsTest.h"

#include "platform/Paths.h"
#include "remote/ScriptFile.h"

#include <sys/stat.h>

#include <string>

namespace {

std::string PathOf(const std::string& name)
{
    return Paths::ScriptsFolder() + "/" + name + ".cmd";
}

} // namespace

TEST_F(ScriptsTest, EveryStepTypeAndHeaderSurvivesARoundTrip)
{
    const std::string written =
        "0,ARCHIVE,bk\n"
        "3,LOOP\n"
        "1,REPORT\n"
        "0,STOP_ON_ERROR\n"
        "1,LOADMEM,3,\n"
        "1,PROMPT,Connect the signal\n"
        "1,CLEARLOG,\n"
        "1,DISABLEEVT,\n"
        "1,ENABLEEVT,\n"
        "1,CLEARERRORS,\n"
        "1,LOGCOMMENT,Start of test\n"
        "10,PAUSE,\n"
        "1,SAVESTATUS,status1\n"
        "5,SELECTTAB,9,\n"
        "1,SAVEIMAGE,4,waveform\n"
        "1,SEL_USER,\"Ann,Bob\"\n"
        "2,STR_CLOSING_WINDOW,\n";
    // The same script as someone might have typed it: comments, empty lines
    // and Windows line ends.
    std::string typed = "# Factory check\r\n\r\n";
    size_t start = 0;
    for (size_t end; (end = written.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = written.substr(start, end - start);
        if (line == "1,PROMPT,Connect the signal")
            typed += "# operator\r\n#  step\r\n";
        typed += line + "\r\n";
    }
    WriteScript("all", typed);

    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("all")));
    EXPECT_TRUE(script.loaded);
    EXPECT_EQ(script.archiveName, "bk");
    EXPECT_EQ(script.loopCount, 3);
    EXPECT_FALSE(script.loopForever);
    EXPECT_TRUE(script.report);
    EXPECT_FALSE(script.stopOnError);
    ASSERT_EQ(script.StepCount(), 13);
    for (int type = 0; type <= 12; ++type)
        EXPECT_EQ(script.Step(type)->type, type) << type;

    EXPECT_EQ(script.Step(0)->numeric, 3);
    // A comment before the header lines goes with the first step.
    EXPECT_EQ(script.Step(0)->comment, "# Factory check");
    EXPECT_EQ(script.Step(1)->text, "Connect the signal");
    EXPECT_EQ(script.Step(1)->comment, "# operator#  step");
    EXPECT_EQ(script.Step(7)->number, 10u);
    EXPECT_EQ(script.Step(9)->number, 5u);
    EXPECT_EQ(script.Step(9)->numeric, 9);
    EXPECT_EQ(script.Step(10)->numeric, 4);
    EXPECT_EQ(script.Step(10)->text, "waveform");
    EXPECT_EQ(script.Step(11)->text, "Ann,Bob");
    EXPECT_EQ(script.Step(12)->number, 2u);
    EXPECT_EQ(script.TotalStepTime(), 15u);

    // Written back: the header lines in their order, one line per step, no
    // comments, Unix line ends.
    ASSERT_TRUE(script.Write(PathOf("copy")));
    EXPECT_EQ(ScriptText("copy"), written);
    EXPECT_EQ(script.Format(), written);
}

TEST_F(ScriptsTest, LoopLinesSetTheLoopCountOrLoopForever)
{
    WriteScript("forever", "0,LOOP\n0,REPORT\n1,STOP_ON_ERROR\n10,PAUSE,\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("forever")));
    EXPECT_TRUE(script.loopForever);
    EXPECT_EQ(script.loopCount, 0);
    EXPECT_TRUE(script.stopOnError);
    EXPECT_FALSE(script.report);
    ASSERT_TRUE(script.Write(PathOf("forever")));
    EXPECT_EQ(ScriptText("forever"), "0,LOOP\n0,REPORT\n1,STOP_ON_ERROR\n10,PAUSE,\n");

    WriteScript("three", "3,LOOP\n");
    ASSERT_TRUE(script.Read(PathOf("three")));
    EXPECT_FALSE(script.loopForever);
    EXPECT_EQ(script.loopCount, 3);
    EXPECT_EQ(script.StepCount(), 0);
    ASSERT_TRUE(script.Write(PathOf("three")));
    EXPECT_EQ(ScriptText("three"), "3,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n");

    // A script without a LOOP line runs once, whatever was read before it.
    WriteScript("plain", "1,CLEARLOG,\n");
    ASSERT_TRUE(script.Read(PathOf("plain")));
    EXPECT_EQ(script.loopCount, 1);
    EXPECT_FALSE(script.loopForever);
    ASSERT_TRUE(script.Read(PathOf("forever")));
    WriteScript("empty", "");
    ASSERT_TRUE(script.Read(PathOf("empty")));
    EXPECT_EQ(script.loopCount, 1);
    EXPECT_FALSE(script.loopForever);
    EXPECT_FALSE(script.stopOnError);

    // Only the first character of REPORT and STOP_ON_ERROR lines counts.
    WriteScript("flags", "7,REPORT\n1x,STOP_ON_ERROR\n");
    ASSERT_TRUE(script.Read(PathOf("flags")));
    EXPECT_FALSE(script.report);
    EXPECT_TRUE(script.stopOnError);
}

TEST_F(ScriptsTest, ArchiveLinesNameTheBackupToRestore)
{
    ScriptFile script;
    WriteScript("a", "0,ARCHIVE,Bench setup,ignored\n");
    ASSERT_TRUE(script.Read(PathOf("a")));
    EXPECT_EQ(script.archiveName, "Bench setup");
    EXPECT_EQ(script.StepCount(), 0);

    // Without a second comma the line names nothing; a name that could reach
    // outside the backups folder is refused.
    for (const char* line : {"0,ARCHIVE\n", "0,ARCHIVE,\n", "0,ARCHIVE,../../etc/x\n", "0,ARCHIVE,a/b\n"}) {
        WriteScript("a", line);
        ASSERT_TRUE(script.Read(PathOf("a")));
        EXPECT_EQ(script.archiveName, "") << line;
        EXPECT_EQ(script.StepCount(), 0) << line;
        EXPECT_EQ(script.Format(), "1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n") << line;
    }
    EXPECT_TRUE(debug->Contains("../../etc/x"));
}

TEST_F(ScriptsTest, FileOfCommentsAndHeadersHasNoSteps)
{
    WriteScript("c", "# one\n\n#two\n2,LOOP\n\n1,REPORT\n# trailing comment\n");
    ScriptFile script;
    ASSERT_TRUE(script.AddStep("1,PAUSE,", ""));
    ASSERT_TRUE(script.Read(PathOf("c")));
    EXPECT_EQ(script.StepCount(), 0);
    EXPECT_TRUE(script.loaded);
    EXPECT_EQ(script.loopCount, 2);
    EXPECT_TRUE(script.report);
    script.ClearSteps();
    EXPECT_FALSE(script.loaded);
}

TEST_F(ScriptsTest, LinesThatAreNotStepsAreLeftOut)
{
    WriteScript("bad",
                "1,PROMPT,before\n"
                "x,PROMPT,a\n"
                "12\n"
                "-5,PAUSE,\n"
                " 3,PAUSE,\n"
                "4;LOADMEM,2,\n"
                "1,PROMPT,after\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("bad")));
    ASSERT_EQ(script.StepCount(), 2);
    EXPECT_EQ(script.Step(0)->text, "before");
    EXPECT_EQ(script.Step(1)->text, "after");
    for (const char* line : {"x,PROMPT,a", "12", "-5,PAUSE,", " 3,PAUSE,", "4;LOADMEM,2,"})
        EXPECT_TRUE(debug->Contains("ERROR: Invalid ScriptStep: '" + std::string(line) + "'\n")) << line;
    EXPECT_EQ(script.Format(), "1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,before\n1,PROMPT,after\n");

    EXPECT_FALSE(script.AddStep("LOADMEM,1,", ""));
    EXPECT_FALSE(script.AddStep("", ""));
    EXPECT_EQ(script.StepCount(), 2);
}

TEST_F(ScriptsTest, StepArgumentsAreParsedByTheirShape)
{
    ScriptFile script;
    // A line without arguments: no text and numeric argument 0, so a LOADMEM
    // of it recalls nothing.
    ASSERT_TRUE(script.AddStep("1,LOADMEM", "# c"));
    EXPECT_EQ(script.Step(0)->type, kStepLoadMem);
    EXPECT_EQ(script.Step(0)->numeric, 0);
    EXPECT_EQ(script.Step(0)->text, "");
    EXPECT_EQ(script.Step(0)->comment, "# c");
    EXPECT_EQ(script.Step(0)->FormatLine(), "1,LOADMEM,0,");
    ASSERT_TRUE(script.AddStep("7,PAUSE", ""));
    EXPECT_EQ(script.Step(1)->number, 7u);
    EXPECT_EQ(script.Step(1)->FormatLine(), "7,PAUSE,");

    // A quoted text with a comma loses its quotes, numeric argument 0.
    ASSERT_TRUE(script.AddStep("1,PROMPT,\"a,b\"", ""));
    EXPECT_EQ(script.Step(2)->text, "a,b");
    EXPECT_EQ(script.Step(2)->numeric, 0);
    EXPECT_EQ(script.Step(2)->FormatLine(), "1,PROMPT,\"a,b\"");
    // After the closing quote, a comma and more text: that text.
    ASSERT_TRUE(script.AddStep("1,PROMPT,\"a,b\",c d", ""));
    EXPECT_EQ(script.Step(3)->text, "c d");
    // Unquoted: everything after the first comma that has text after it.
    ASSERT_TRUE(script.AddStep("1,LOGCOMMENT,one,two", ""));
    EXPECT_EQ(script.Step(4)->text, "two");
    ASSERT_TRUE(script.AddStep("1,LOGCOMMENT,one,", ""));
    EXPECT_EQ(script.Step(5)->text, "one,");
    EXPECT_EQ(script.Step(5)->FormatLine(), "1,LOGCOMMENT,\"one,\"");

    // Numbers: as atoi reads them, kept within range.
    ASSERT_TRUE(script.AddStep("1,LOADMEM,3,", ""));
    EXPECT_EQ(script.Step(6)->numeric, 3);
    ASSERT_TRUE(script.AddStep("1,LOADMEM,-2x,", ""));
    EXPECT_EQ(script.Step(7)->numeric, -2);
    EXPECT_EQ(script.Step(7)->FormatLine(), "1,LOADMEM,-2,");
    ASSERT_TRUE(script.AddStep("99999999999,SELECTTAB,99999999999,", ""));
    EXPECT_EQ(script.Step(8)->number, 4294967295u);
    EXPECT_EQ(script.Step(8)->numeric, 2147483647);
    EXPECT_EQ(script.Step(8)->FormatLine(), "4294967295,SELECTTAB,2147483647,");

    // A type that takes a number keeps the field after the number as its
    // text; an empty one stays empty.
    ASSERT_TRUE(script.AddStep("1,SAVEIMAGE,4,", ""));
    EXPECT_EQ(script.Step(9)->numeric, 4);
    EXPECT_EQ(script.Step(9)->text, "");
    EXPECT_EQ(script.Step(9)->FormatLine(), "1,SAVEIMAGE,4,");
    ASSERT_TRUE(script.AddStep("1,SAVEIMAGE,4", ""));
    EXPECT_EQ(script.Step(10)->text, "");
    ASSERT_TRUE(script.AddStep("1,SAVEIMAGE,4,a,b", ""));
    EXPECT_EQ(script.Step(11)->text, "a,b");
}

TEST_F(ScriptsTest, QuotedSaveImageTextIsStableAcrossSaves)
{
    WriteScript("img", "1,SAVEIMAGE,4,\"eye, after reset\"\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("img")));
    ASSERT_EQ(script.StepCount(), 1);
    EXPECT_EQ(script.Step(0)->numeric, 4);
    EXPECT_EQ(script.Step(0)->text, "eye, after reset");
    const std::string once = "1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n1,SAVEIMAGE,4,\"eye, after reset\"\n";
    // The editor writes after every change: save, read and save again never
    // adds a pair of quotes.
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(script.Write(PathOf("img")));
        EXPECT_EQ(ScriptText("img"), once) << pass;
        ASSERT_TRUE(script.Read(PathOf("img")));
        EXPECT_EQ(script.Step(0)->text, "eye, after reset") << pass;
    }
}

TEST_F(ScriptsTest, HeaderWordsInsideAStepTextLeaveItAStep)
{
    WriteScript("users",
                "1,SEL_USER,\"ANN,LOOPER\"\n"
                "1,PROMPT,\"Check,REPORT\"\n"
                "1,LOGCOMMENT,\"x,STOP_ON_ERROR\"\n"
                "1,SAVESTATUS,\"y,ARCHIVE,z\"\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("users")));
    ASSERT_EQ(script.StepCount(), 4);
    EXPECT_EQ(script.Step(0)->text, "ANN,LOOPER");
    EXPECT_EQ(script.Step(1)->text, "Check,REPORT");
    EXPECT_EQ(script.Step(2)->text, "x,STOP_ON_ERROR");
    EXPECT_EQ(script.Step(3)->text, "y,ARCHIVE,z");
    EXPECT_EQ(script.loopCount, 1);
    EXPECT_FALSE(script.loopForever);
    EXPECT_FALSE(script.report);
    EXPECT_FALSE(script.stopOnError);
    EXPECT_EQ(script.archiveName, "");
    ASSERT_TRUE(script.Write(PathOf("users")));
    ASSERT_TRUE(script.Read(PathOf("users")));
    EXPECT_EQ(script.StepCount(), 4);
}

TEST_F(ScriptsTest, UnknownStepNameIsTheFirstAction)
{
    WriteScript("odd", "1,XYZ,5,text\n3,,\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("odd")));
    ASSERT_EQ(script.StepCount(), 2);
    EXPECT_EQ(script.Step(0)->type, kFirstActionStep);
    EXPECT_EQ(script.Step(1)->type, kFirstActionStep);
    EXPECT_EQ(script.Step(0)->FormatLine(), "1,STR_CLOSING_WINDOW,");
    EXPECT_EQ(script.Step(0)->HasText(), 0);
    EXPECT_EQ(script.Step(0)->HasDuration(), 0);

    // A type beyond the registered actions has no flags and no keyword.
    ScriptStep beyond;
    beyond.type = 40;
    beyond.text = "t";
    EXPECT_EQ(beyond.FormatLine(), "1,ERROR:iEntry?");
    EXPECT_EQ(beyond.HasText(), 0);
    EXPECT_EQ(beyond.HasNumber(), 0);
    beyond.type = -1;
    EXPECT_EQ(beyond.FormatLine(), "1,ERROR:iEntry?");
}

TEST_F(ScriptsTest, LongLineIsReadAsTwoLines)
{
    // 999 characters of one prompt, then a second step in the same line.
    std::string first = "1,PROMPT,";
    first += std::string(999 - first.size(), 'p');
    ASSERT_EQ(first.size(), 999u);
    std::string second = "2,LOGCOMMENT,";
    second += std::string(1500 - 999 - second.size(), 'q');
    WriteScript("long", first + second + "\n");

    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("long")));
    ASSERT_EQ(script.StepCount(), 2);
    EXPECT_EQ(script.Step(0)->type, kStepPrompt);
    EXPECT_EQ(script.Step(0)->text.size(), 990u);
    EXPECT_EQ(script.Step(1)->type, kStepLogComment);
    EXPECT_EQ(script.Step(1)->number, 2u);
    EXPECT_EQ(script.Step(1)->text, std::string(488, 'q'));
}

TEST_F(ScriptsTest, TextsWithLineBreaksAreWrittenOnOneLine)
{
    ScriptFile script;
    auto step = std::make_unique<ScriptStep>();
    step->type = kStepPrompt;
    step->text = "Connect\n1,LOADMEM,5,\r\nnow";
    script.InsertStep(0, std::move(step));
    script.archiveName = "bk\n1,LOADMEM,6,";
    ASSERT_TRUE(script.Write(PathOf("nl")));
    EXPECT_EQ(ScriptText("nl"),
              "0,ARCHIVE,bk 1,LOADMEM,6,\n1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,\"Connect 1,LOADMEM,5,  now\"\n");
    ASSERT_TRUE(script.Read(PathOf("nl")));
    ASSERT_EQ(script.StepCount(), 1);
    EXPECT_EQ(script.Step(0)->type, kStepPrompt);
    EXPECT_EQ(script.archiveName, "bk 1");
}

TEST_F(ScriptsTest, StepsMoveWithinTheList)
{
    ScriptFile script;
    EXPECT_EQ(script.MoveStepDown(0), -1);
    script.MoveStepUp(0);
    EXPECT_EQ(script.RemoveStep(0), nullptr);
    EXPECT_EQ(script.Step(0), nullptr);

    for (const char* line : {"1,PROMPT,a", "1,PROMPT,b", "1,PROMPT,c"})
        ASSERT_TRUE(script.AddStep(line, ""));
    auto order = [&] {
        std::string out;
        for (int i = 0; i < script.StepCount(); ++i)
            out += script.Step(i)->text;
        return out;
    };
    script.MoveStepUp(0);
    script.MoveStepUp(3);
    script.MoveStepUp(-1);
    EXPECT_EQ(order(), "abc");
    script.MoveStepUp(2);
    EXPECT_EQ(order(), "acb");
    EXPECT_EQ(script.MoveStepDown(0), 1);
    EXPECT_EQ(order(), "cab");
    EXPECT_EQ(script.MoveStepDown(2), 2);
    EXPECT_EQ(script.MoveStepDown(7), 2);
    EXPECT_EQ(script.MoveStepDown(-1), 2);
    EXPECT_EQ(order(), "cab");

    std::unique_ptr<ScriptStep> taken = script.RemoveStep(1);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->text, "a");
    EXPECT_EQ(script.RemoveStep(2), nullptr);
    EXPECT_EQ(order(), "cb");
    script.InsertStep(99, std::move(taken));
    EXPECT_EQ(order(), "cba");
    script.InsertStep(-3, std::make_unique<ScriptStep>());
    EXPECT_EQ(script.Step(0)->type, kStepLoadMem);
    EXPECT_EQ(script.Step(0)->number, 1u);
    EXPECT_EQ(script.Step(0)->numeric, 1);
    EXPECT_EQ(script.StepCount(), 4);
}

TEST_F(ScriptsTest, TotalStepTimeAddsTheDurationsOfOnePass)
{
    ScriptFile script;
    EXPECT_EQ(script.TotalStepTime(), 0u);
    for (const char* line : {"10,PAUSE,", "5,SELECTTAB,9,", "7,LOADMEM,1,", "8,PROMPT,x", "9,STR_CLOSING_WINDOW,"})
        ASSERT_TRUE(script.AddStep(line, ""));
    EXPECT_EQ(script.TotalStepTime(), 15u);
    // Very long pauses do not wrap round to a short time.
    ASSERT_TRUE(script.AddStep("4294967295,PAUSE,", ""));
    EXPECT_EQ(script.TotalStepTime(), 4294967295u);
}

TEST_F(ScriptsTest, NewScriptNameIsTheFirstFreeName)
{
    EXPECT_EQ(NewScriptName(), "NewScript1");
    WriteScript("NewScript1", "");
    EXPECT_EQ(NewScriptName(), "NewScript2");
    WriteScript("NewScript3", "");
    EXPECT_EQ(NewScriptName(), "NewScript2");
    WriteScript("NewScript2", "");
    EXPECT_EQ(NewScriptName(), "NewScript4");
    EXPECT_EQ(ScriptPath("x y"), Paths::ScriptsFolder() + "/x y.cmd");

    EXPECT_TRUE(ValidScriptName("Full TEST 4H"));
    for (const char* name : {"", "a/b", "a\\b", "..", "a..b"})
        EXPECT_FALSE(ValidScriptName(name)) << name;
    EXPECT_FALSE(ValidScriptName(std::string("a\0b", 3)));
}

TEST_F(ScriptsTest, MissingFileLeavesTheStepsAndClearsTheOptions)
{
    WriteScript("s", "0,ARCHIVE,bk\n4,LOOP\n1,REPORT\n1,STOP_ON_ERROR\n1,PROMPT,a\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(PathOf("s")));
    EXPECT_FALSE(script.Read(PathOf("missing")));
    EXPECT_EQ(script.StepCount(), 1);
    EXPECT_TRUE(script.loaded);
    EXPECT_EQ(script.loopCount, 4);
    EXPECT_FALSE(script.report);
    EXPECT_FALSE(script.stopOnError);
    EXPECT_EQ(script.archiveName, "");

    // A folder is not a script.
    ASSERT_EQ(mkdir(PathOf("folder").c_str(), 0755), 0);
    EXPECT_FALSE(script.Read(PathOf("folder")));
    EXPECT_EQ(script.StepCount(), 1);
}

TEST_F(ScriptsTest, WriteToAnUncreatablePathFails)
{
    ScriptFile script;
    ASSERT_TRUE(script.AddStep("1,PROMPT,a", ""));
    const std::string path = Paths::ScriptsFolder() + "/no such folder/s.cmd";
    EXPECT_FALSE(script.Write(path));
    struct stat info {};
    EXPECT_NE(stat((Paths::ScriptsFolder() + "/no such folder").c_str(), &info), 0);

    // Written in place through a temporary name: a good file stays whole.
    ASSERT_TRUE(script.Write(PathOf("ok")));
    EXPECT_EQ(ScriptText("ok"), "1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,a\n");
}
