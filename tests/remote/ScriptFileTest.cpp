// Script files: what the scripts page reads from and writes to the ".cmd"
// files of the scripts folder, byte for byte.
#include "ScriptsTest.h"

#include "platform/Paths.h"

#include <sys/stat.h>

TEST_F(ScriptsTest, EveryStepTypeAndHeaderSurvivesARoundTrip)
{
    const std::string written = "0,ARCHIVE,bk\n3,LOOP\n1,REPORT\n0,STOP_ON_ERROR\n"
                                "1,LOADMEM,3,\n1,PROMPT,Connect the signal\n1,CLEARLOG,\n1,DISABLEEVT,\n"
                                "1,ENABLEEVT,\n1,CLEARERRORS,\n1,LOGCOMMENT,Start of test\n10,PAUSE,\n"
                                "1,SAVESTATUS,status1\n5,SELECTTAB,9,\n1,SAVEIMAGE,4,waveform\n"
                                "1,SEL_USER,\"Ann,Bob\"\n2,STR_CLOSING_WINDOW,\n";
    // As someone might have typed it: comments, empty lines, Windows line ends.
    std::string typed = "# Factory check\r\n\r\n";
    size_t start = 0;
    for (size_t end; (end = written.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = written.substr(start, end - start);
        typed += (line == "1,PROMPT,Connect the signal" ? "# operator\r\n#  step\r\n" : "") + line + "\r\n";
    }
    WriteScript("all", typed);
    ScriptFile script;
    ASSERT_TRUE(script.Read(ScriptPath("all")));
    EXPECT_TRUE(script.loaded);
    ASSERT_EQ(script.StepCount(), 13);
    for (int type = 0; type <= 12; ++type)
        EXPECT_EQ(script.Step(type)->type, type) << type;
    EXPECT_EQ(script.Step(0)->comment, "# Factory check");
    EXPECT_EQ(script.Step(1)->comment, "# operator#  step");
    EXPECT_EQ(script.Step(11)->text, "Ann,Bob");
    EXPECT_EQ(script.TotalStepTime(), 15u);
    // Written back: headers in order, one line per step, no comments, LF.
    ASSERT_TRUE(script.Write(ScriptPath("copy")));
    EXPECT_EQ(ScriptText("copy"), written);
}

TEST_F(ScriptsTest, HeaderLinesSetTheOptionsAndEveryReadStartsFromOneLoop)
{
    ScriptFile script;
    const std::string forever = "0,LOOP\n0,REPORT\n1,STOP_ON_ERROR\n10,PAUSE,\n";
    WriteScript("forever", forever);
    // A file without a LOOP line runs once, whatever was read before it.
    for (const char* text : {"1,CLEARLOG,\n", ""}) {
        ASSERT_TRUE(script.Read(ScriptPath("forever")));
        EXPECT_TRUE(script.loopForever);
        WriteScript("plain", text);
        ASSERT_TRUE(script.Read(ScriptPath("plain")));
        EXPECT_EQ(script.loopCount, 1) << text;
        EXPECT_FALSE(script.loopForever) << text;
        EXPECT_FALSE(script.stopOnError) << text;
    }
    ASSERT_TRUE(script.Read(ScriptPath("forever")));
    ASSERT_TRUE(script.Write(ScriptPath("forever")));
    EXPECT_EQ(ScriptText("forever"), forever);

    // Only the first character of REPORT and STOP_ON_ERROR lines counts;
    // comments and headers alone make a loaded script without steps.
    WriteScript("flags", "# one\n\n7,REPORT\n1x,STOP_ON_ERROR\n# trailing\n");
    ASSERT_TRUE(script.Read(ScriptPath("flags")));
    EXPECT_FALSE(script.report);
    EXPECT_TRUE(script.stopOnError);
    EXPECT_TRUE(script.loaded);
    EXPECT_EQ(script.StepCount(), 0);

    // A header word is one only as the whole second field.
    const std::string steps = "1,SEL_USER,\"ANN,LOOPER\"\n1,PROMPT,\"Check,REPORT\"\n"
                              "1,LOGCOMMENT,\"x,STOP_ON_ERROR\"\n1,SAVESTATUS,\"y,ARCHIVE,z\"\n";
    WriteScript("users", steps);
    ASSERT_TRUE(script.Read(ScriptPath("users")));
    ASSERT_EQ(script.StepCount(), 4);
    EXPECT_EQ(script.Step(1)->text, "Check,REPORT");
    ASSERT_TRUE(script.Write(ScriptPath("users")));
    EXPECT_EQ(ScriptText("users"), kHeader + steps);

    // An archive name that could leave the backups folder is refused.
    WriteScript("a", "0,ARCHIVE,Bench setup,ignored\n");
    ASSERT_TRUE(script.Read(ScriptPath("a")));
    EXPECT_EQ(script.archiveName, "Bench setup");
    for (const char* line : {"0,ARCHIVE\n", "0,ARCHIVE,\n", "0,ARCHIVE,../../etc/x\n", "0,ARCHIVE,a/b\n"}) {
        WriteScript("a", line);
        ASSERT_TRUE(script.Read(ScriptPath("a")));
        EXPECT_EQ(script.Format(), kHeader) << line;
    }
    EXPECT_TRUE(debug->Contains("../../etc/x"));
}

TEST_F(ScriptsTest, LinesThatAreNotStepsAreLeftOut)
{
    WriteScript("bad", "1,PROMPT,before\nx,PROMPT,a\n12\n-5,PAUSE,\n 3,PAUSE,\n4;LOADMEM,2,\n1,PROMPT,after\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(ScriptPath("bad")));
    for (const char* line : {"x,PROMPT,a", "12", "-5,PAUSE,", " 3,PAUSE,", "4;LOADMEM,2,"})
        EXPECT_TRUE(debug->Contains("ERROR: Invalid ScriptStep: '" + std::string(line) + "'\n")) << line;
    EXPECT_EQ(script.Format(), kHeader + "1,PROMPT,before\n1,PROMPT,after\n");
    EXPECT_FALSE(script.AddStep("LOADMEM,1,", ""));
    EXPECT_FALSE(script.AddStep("", ""));
    EXPECT_EQ(script.StepCount(), 2);
    // An unknown step name is the first action; a type beyond the actions
    // has no keyword.
    ASSERT_TRUE(script.AddStep("1,XYZ,5,text", ""));
    EXPECT_EQ(script.Step(2)->FormatLine(), "1,STR_CLOSING_WINDOW,");
    for (int type : {40, -1}) {
        ScriptStep beyond;
        beyond.type = type;
        EXPECT_EQ(beyond.FormatLine(), "1,ERROR:iEntry?") << type;
        EXPECT_EQ(beyond.HasText(), 0);
    }
}

TEST_F(ScriptsTest, StepArgumentsAreParsedByTheirShape)
{
    struct Case {
        const char* line;
        uint32_t number;
        int32_t numeric;
        const char* text;
        const char* written;
    };
    // A LOADMEM without arguments recalls nothing (memory 0); numbers are
    // read as atoi does and kept within range.
    const Case cases[] = {
        {"1,LOADMEM", 1, 0, "", "1,LOADMEM,0,"},
        {"7,PAUSE", 7, 0, "", "7,PAUSE,"},
        {"1,PROMPT,\"a,b\"", 1, 0, "a,b", "1,PROMPT,\"a,b\""},
        {"1,PROMPT,\"a,b\",c d", 1, 0, "c d", "1,PROMPT,c d"},
        {"1,PROMPT,\"a,b\",", 1, 0, "a,b", "1,PROMPT,\"a,b\""},
        {"1,LOGCOMMENT,one,two", 1, 0, "two", "1,LOGCOMMENT,two"},
        {"1,LOGCOMMENT,one,", 1, 0, "one,", "1,LOGCOMMENT,\"one,\""},
        {"1,LOADMEM,-2x,", 1, -2, "", "1,LOADMEM,-2,"},
        {"99999999999,SELECTTAB,99999999999,", 4294967295u, 2147483647, "", "4294967295,SELECTTAB,2147483647,"},
        {"1,SAVEIMAGE,4,", 1, 4, "", "1,SAVEIMAGE,4,"},
        {"1,SAVEIMAGE,4", 1, 4, "", "1,SAVEIMAGE,4,"},
        {"1,SAVEIMAGE,4,a,b", 1, 4, "a,b", "1,SAVEIMAGE,4,\"a,b\""},
    };
    for (const Case& c : cases) {
        ScriptFile script;
        ASSERT_TRUE(script.AddStep(c.line, "")) << c.line;
        EXPECT_EQ(script.Step(0)->number, c.number) << c.line;
        EXPECT_EQ(script.Step(0)->numeric, c.numeric) << c.line;
        EXPECT_EQ(script.Step(0)->text, c.text) << c.line;
        EXPECT_EQ(script.Step(0)->FormatLine(), c.written) << c.line;
    }
    // Durations add up without wrapping round to a short time.
    ScriptFile script;
    for (const char* line : {"10,PAUSE,", "5,SELECTTAB,9,", "7,LOADMEM,1,", "4294967295,PAUSE,"})
        ASSERT_TRUE(script.AddStep(line, ""));
    EXPECT_EQ(script.TotalStepTime(), 4294967295u);
}

TEST_F(ScriptsTest, QuotedSaveImageTextIsStableAcrossSaves)
{
    WriteScript("img", "1,SAVEIMAGE,4,\"eye, after reset\"\n");
    ScriptFile script;
    // The editor writes after every change: no pass adds a pair of quotes.
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(script.Read(ScriptPath("img")));
        ASSERT_EQ(script.StepCount(), 1);
        EXPECT_EQ(script.Step(0)->numeric, 4);
        EXPECT_EQ(script.Step(0)->text, "eye, after reset") << pass;
        ASSERT_TRUE(script.Write(ScriptPath("img")));
        EXPECT_EQ(ScriptText("img"), kHeader + "1,SAVEIMAGE,4,\"eye, after reset\"\n") << pass;
    }
}

TEST_F(ScriptsTest, LongLinesAndLineBreaksInTextsCannotMakeExtraSteps)
{
    // 999 characters of one prompt, then a second step in the same line.
    const std::string first = "1,PROMPT," + std::string(990, 'p');
    WriteScript("long", first + "2,LOGCOMMENT," + std::string(488, 'q') + "\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(ScriptPath("long")));
    ASSERT_EQ(script.StepCount(), 2);
    EXPECT_EQ(script.Step(0)->text.size(), 990u);
    EXPECT_EQ(script.Step(1)->FormatLine(), "2,LOGCOMMENT," + std::string(488, 'q'));

    // Texts with line breaks are written on one line.
    ScriptFile typed;
    auto step = std::make_unique<ScriptStep>();
    step->type = kStepPrompt;
    step->text = "Connect\n1,LOADMEM,5,\r\nnow";
    typed.InsertStep(0, std::move(step));
    typed.archiveName = "bk\n1,LOADMEM,6,";
    ASSERT_TRUE(typed.Write(ScriptPath("nl")));
    EXPECT_EQ(ScriptText("nl"), "0,ARCHIVE,bk 1,LOADMEM,6,\n" + kHeader + "1,PROMPT,\"Connect 1,LOADMEM,5,  now\"\n");
}

TEST_F(ScriptsTest, StepIndicesOutsideTheListAreIgnored)
{
    ScriptFile script;
    EXPECT_EQ(script.MoveStepDown(0), -1);
    script.MoveStepUp(0);
    EXPECT_EQ(script.RemoveStep(0), nullptr);
    EXPECT_EQ(script.Step(0), nullptr);
    for (const char* line : {"1,PROMPT,a", "1,PROMPT,b"})
        ASSERT_TRUE(script.AddStep(line, ""));
    script.MoveStepUp(2);
    script.MoveStepUp(-1);
    EXPECT_EQ(script.MoveStepDown(7), 1);
    EXPECT_EQ(script.MoveStepDown(-1), 1);
    EXPECT_EQ(script.RemoveStep(2), nullptr);
    script.InsertStep(99, script.RemoveStep(0));
    script.InsertStep(-3, std::make_unique<ScriptStep>());
    EXPECT_EQ(script.Format(), kHeader + "1,LOADMEM,1,\n1,PROMPT,b\n1,PROMPT,a\n");
}

TEST_F(ScriptsTest, ScriptNamesAndFilesThatCannotBeUsed)
{
    EXPECT_EQ(NewScriptName(), "NewScript1");
    WriteScript("NewScript1", "");
    WriteScript("NewScript3", "");
    EXPECT_EQ(NewScriptName(), "NewScript2");
    EXPECT_EQ(ScriptPath("x y"), Paths::ScriptsFolder() + "/x y.cmd");
    EXPECT_TRUE(ValidScriptName("Full TEST 4H"));
    for (const std::string name : {"", "a/b", "a\\b", "..", "a..b"})
        EXPECT_FALSE(ValidScriptName(name)) << name;
    EXPECT_FALSE(ValidScriptName(std::string("a\0b", 3)));

    // A missing file or a folder: the steps stay, the options are cleared.
    WriteScript("s", "0,ARCHIVE,bk\n4,LOOP\n1,REPORT\n1,STOP_ON_ERROR\n1,PROMPT,a\n");
    ScriptFile script;
    ASSERT_TRUE(script.Read(ScriptPath("s")));
    ASSERT_EQ(mkdir(ScriptPath("folder").c_str(), 0755), 0);
    for (const char* name : {"missing", "folder"}) {
        EXPECT_FALSE(script.Read(ScriptPath(name))) << name;
        EXPECT_EQ(script.Format(), "4,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,a\n") << name;
    }
    // A write to an uncreatable path fails and creates nothing.
    const std::string folder = Paths::ScriptsFolder() + "/no such folder";
    EXPECT_FALSE(script.Write(folder + "/s.cmd"));
    EXPECT_FALSE(Exists(folder));
}

TEST_F(ScriptsTest, ScriptTextInMemoryReadsAsTheSameFile)
{
    // Comments, CR LF, a line longer than the reader's, a NUL inside a line.
    std::string text = "# c1\r\n2,LOOP\r\n1,REPORT\n1,PROMPT," + std::string(1200, 'x') + "\n1,LOGCOMMENT,a";
    text += std::string(1, '\0') + "b\n#c2\n5,SELECTTAB,9,\n10,PAUSE,";
    WriteScript("mem", text);
    ScriptFile fromFile, fromText;
    ASSERT_TRUE(fromFile.Read(ScriptPath("mem")));
    ASSERT_TRUE(fromText.ReadText(text));
    EXPECT_TRUE(fromText.loaded && fromText.report);
    EXPECT_EQ(fromText.loopCount, 2);
    ASSERT_EQ(fromText.StepCount(), fromFile.StepCount());
    for (int i = 0; i < fromFile.StepCount(); ++i)
        EXPECT_EQ(fromText.Step(i)->comment, fromFile.Step(i)->comment) << i;
    EXPECT_EQ(fromText.Format(), fromFile.Format());
    ASSERT_TRUE(fromText.ReadText(""));
    EXPECT_EQ(fromText.StepCount(), 0);
    EXPECT_EQ(fromText.loopCount, 1);
}
