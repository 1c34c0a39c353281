// The script list and the step editor of the scripts page, driven through
// the store by command id as a client or the dialogs would.
#include "ScriptsTest.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "sim/LcdImageFiles.h"

TEST_F(ScriptsTest, NewScriptsAreNumberedAndDeletedOnePerPress)
{
    page->RebuildScriptList();
    Press(COM_SCRIPTS_NEW_SCRIPT);
    Press(COM_SCRIPTS_NEW_SCRIPT);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "NewScript1\tNewScript2");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "NewScript2");
    EXPECT_EQ(Value(COM_SCRIPTS_NEW_SCRIPT), 0);
    Press(COM_SCRIPTS_EDIT_STEP_ADD);
    EXPECT_EQ(ScriptText("NewScript2"), kHeader + "1,LOADMEM,1,\n");
    EXPECT_EQ(ScriptText("NewScript1"), "");
    Press(COM_SCRIPTS_DELETE_SCRIPT);
    EXPECT_FALSE(Exists(ScriptPath("NewScript2")));
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "NewScript1");
    // A script whose file went away shows empty, is never written, and
    // cannot be deleted; the list stays.
    LoadScript("C", "3,LOOP\n1,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,C\n");
    ASSERT_TRUE(DeleteFile(ScriptPath("C")));
    Set(COM_SCRIPTS_CURRENT_SCRIPT, 1);
    Set(COM_SCRIPTS_CURRENT_SCRIPT, 0);
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "C");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "");
    EXPECT_EQ(Value(COM_SCRIPTS_MAKE_REPORT), 0);
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_STEP_ADD));
    Press(COM_SCRIPTS_EDIT_STEP_ADD);
    Set(COM_SCRIPTS_LOOP_COUNT, 5);
    EXPECT_FALSE(Exists(ScriptPath("C")));
    EXPECT_EQ(ScriptText("NewScript1"), "");
    Press(COM_SCRIPTS_DELETE_SCRIPT);
    EXPECT_TRUE(debug->Contains("File " + ScriptPath("C") + " couldn't be deleted!\n"));
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "C\tNewScript1");
    // The last script deleted leaves an empty page.
    Set(COM_SCRIPTS_CURRENT_SCRIPT, 1);
    Press(COM_SCRIPTS_DELETE_SCRIPT);
    EXPECT_EQ(Value(COM_SCRIPTS_CURRENT_SCRIPT), -1);
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "");
    EXPECT_FALSE(Enabled(COM_SCRIPTS_DELETE_SCRIPT));
    EXPECT_FALSE(Enabled(COM_SCRIPTS_RUN_SCRIPT));
}

TEST_F(ScriptsTest, RenameMovesTheScriptFileButNeverOntoAnother)
{
    const std::string text = kHeader + "1,PROMPT,Hi\n";
    const std::string bar = kHeader + "1,PROMPT,Bar\n";
    WriteScript("Bar", bar);
    LoadScript("Old", text);
    SetText(COM_SCRIPTS_REPORT_NAME, "Weekly");
    Set(COM_SCRIPTS_REPORT_NUMBER, 5);
    SetText(COM_SCRIPTS_SCRIPT_NAME, "Foo");
    EXPECT_FALSE(Exists(ScriptPath("Old")));
    EXPECT_EQ(ScriptText("Foo"), text);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "Bar\tFoo");
    EXPECT_EQ(Value(COM_SCRIPTS_CURRENT_SCRIPT), 1);
    EXPECT_EQ(Text(COM_SCRIPTS_REPORT_NAME), "");
    EXPECT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 1);
    SetText(COM_SCRIPTS_SCRIPT_NAME, "Foo");
    EXPECT_EQ(ScriptText("Foo"), text);
    // Path names or another script's name: nothing moves, and the loaded
    // script stays the one edited.
    SetText(COM_SCRIPTS_REPORT_NAME, "Weekly");
    for (const std::string name : {"", "../Escape", "sub/Escape", "sub\\Escape", "..", "Bar"}) {
        SetText(COM_SCRIPTS_SCRIPT_NAME, name);
        EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "Foo") << name;
    }
    EXPECT_FALSE(Exists(Paths::DataFolder() + "/Escape.cmd"));
    EXPECT_FALSE(Exists(Paths::ScriptsFolder() + "/sub"));
    EXPECT_EQ(Text(COM_SCRIPTS_REPORT_NAME), "Weekly");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "Bar\tFoo");
    Set(COM_SCRIPTS_LOOP_COUNT, 4);
    const std::string foo = "4,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,Hi\n";
    EXPECT_EQ(ScriptText("Foo"), foo);
    EXPECT_EQ(ScriptText("Bar"), bar);
    // A name restored by a memory recall selects that script, moving nothing.
    store->SetLoadState(kLoadMemory);
    SetText(COM_SCRIPTS_SCRIPT_NAME, "Bar");
    store->SetLoadState(kLoadNormal);
    EXPECT_EQ(Value(COM_SCRIPTS_CURRENT_SCRIPT), 0);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Prompt:Bar");
    EXPECT_EQ(ScriptText("Foo"), foo);
    EXPECT_EQ(ScriptText("Bar"), bar);
}

TEST_F(ScriptsTest, StepsAreAddedEditedMovedAndDeleted)
{
    LoadScript("S", kHeader);
    Press(COM_SCRIPTS_EDIT_STEP_ADD);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Load Memory:1:Memory 1");
    EXPECT_TRUE(Visible(COM_SCRIPTS_EDIT_STEP_MEMORY));
    EXPECT_FALSE(Visible(COM_SCRIPTS_EDIT_STEP_TIME));
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, kStepPause);
    Set(COM_SCRIPTS_EDIT_STEP_TIME, 10);
    EXPECT_EQ(ScriptText("S"), kHeader + "10,PAUSE,\n");
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_STEP_TIME), 10);
    // A second step goes after the selected one; line breaks become spaces.
    Press(COM_SCRIPTS_EDIT_STEP_ADD);
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, kStepPrompt);
    EXPECT_EQ(Text(COM_SCRIPTS_EDIT_STEP_TEXT_LABEL), "Text");
    SetText(COM_SCRIPTS_EDIT_STEP_TEXT, "Plug in, then\npress Continue");
    const std::string two = kHeader + "10,PAUSE,\n1,PROMPT,\"Plug in, then press Continue\"\n";
    EXPECT_EQ(ScriptText("S"), two);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Pause:10s\t2-Prompt:Plug in, then press Continue");
    // A type that is no step type leaves the step as it was.
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, 99);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_FUNCTION), kStepPrompt);
    EXPECT_EQ(ScriptText("S"), two);
    // Moves stop at the ends of the list and the selection follows.
    Press(COM_SCRIPTS_EDIT_MOVE_STEP_DOWN);
    EXPECT_EQ(ScriptText("S"), two);
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_MOVE_STEP_DOWN));
    Press(COM_SCRIPTS_EDIT_MOVE_STEP_UP);
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PROMPT,\"Plug in, then press Continue\"\n10,PAUSE,\n");
    LoadScript("S", ScriptText("S"));   // read back from the file
    EXPECT_EQ(Text(COM_SCRIPTS_EDIT_STEP_TEXT), "Plug in, then press Continue");
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_MOVE_STEP_UP));
    Press(COM_SCRIPTS_EDIT_MOVE_STEP_UP);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    // Deleted down to none: nothing selected, and edits change nothing.
    Press(COM_SCRIPTS_EDIT_STEP_DELETE);
    Press(COM_SCRIPTS_EDIT_STEP_DELETE);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), -1);
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_STEP_DELETE));
    EXPECT_FALSE(Visible(COM_SCRIPTS_EDIT_STEP_FUNCTION));
    Press(COM_SCRIPTS_EDIT_STEP_DELETE);
    Set(COM_SCRIPTS_EDIT_STEP_TIME, 30);
    EXPECT_EQ(ScriptText("S"), kHeader);
}

TEST_F(ScriptsTest, StepListTextsShowNoTabOutsideTheTable)
{
    LoadScript("S", kHeader + "1,PROMPT,Hi\n5,SELECTTAB,9,\n2,SELECTTAB,40,\n1,SELECTTAB,-3,\n1,SAVEIMAGE,4,wave\n"
                              "1,SAVEIMAGE,35,lost\n1,LOADMEM,3,\n1,LOADMEM,20,\n1,CLEARLOG,\n1,SEL_USER,\"Ann,Bob\"\n");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO),
              "1-Prompt:Hi\t2-Select Tab:EventLog:5s\t3-Select Tab:???:2s\t4-Select Tab:???:1s\t"
              "5-Save Image:Waveform:wave\t6-Save Image:???:lost\t7-Load Memory:3:Memory 3\t"
              "8-Load Memory:20:\t9-Clear Log:\t10-Select User:Ann,Bob");
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_STEP_TIME), 8);
    // The fields of a step follow the selection.
    Set(COM_SCRIPTS_EDIT_STEP_NO, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_TAB), 9);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_TIME), 5);
    EXPECT_TRUE(Visible(COM_SCRIPTS_EDIT_STEP_TAB));
    Set(COM_SCRIPTS_EDIT_STEP_NO, 6);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_MEMORY), 2);
    EXPECT_FALSE(Visible(COM_SCRIPTS_EDIT_STEP_TAB));
}

TEST_F(ScriptsTest, LoopAndErrorOptionsAreWrittenAtOnce)
{
    LoadScript("S", "3,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n10,PAUSE,\n");
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_COUNT), 3);
    Set(COM_SCRIPTS_LOOP_FOREVER, 1);
    EXPECT_FALSE(Visible(COM_SCRIPTS_LOOP_COUNT));
    EXPECT_EQ(ScriptText("S"), "0,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n10,PAUSE,\n");
    Set(COM_SCRIPTS_LOOP_FOREVER, 0);
    Set(COM_SCRIPTS_STOP_ON_ERROR, 1);
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    EXPECT_EQ(ScriptText("S"), "3,LOOP\n1,REPORT\n1,STOP_ON_ERROR\n10,PAUSE,\n");
    // A count of 0 would read back as looping forever.
    Set(COM_SCRIPTS_LOOP_COUNT, 0);
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_COUNT), 1);
    EXPECT_EQ(ScriptText("S"), "1,LOOP\n1,REPORT\n1,STOP_ON_ERROR\n10,PAUSE,\n");
    // Another script shows its own options.
    LoadScript("T", "0,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,a\n");
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_FOREVER), 1);
    EXPECT_EQ(Value(COM_SCRIPTS_MAKE_REPORT), 0);
}

TEST_F(ScriptsTest, RemoteTabSelectTakesOnlyRowsOfItsTable)
{
    Set(COM_MAIN_TAB_SELECT, 3);
    Set(COM_MONITOR_TAB_SELECT, 2);
    for (int32_t value : {42, 1000, -2, INT32_MIN}) {
        Set(COM_REMOTE_TAB_SELECT, value);
        EXPECT_EQ(Value(COM_REMOTE_TAB_SELECT), -1) << value;
    }
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 3);
    EXPECT_EQ(Value(COM_MONITOR_TAB_SELECT), 2);
    EXPECT_EQ(TpScripts::RemoteTabRow(42), nullptr);
    EXPECT_EQ(TpScripts::RemoteTabRow(-1), nullptr);
    Set(COM_REMOTE_TAB_SELECT, 9);
    EXPECT_EQ(Value(COM_REMOTE_TAB_SELECT), 9);
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 2);
    EXPECT_EQ(Value(COM_MONITOR_TAB_SELECT), 1);
    // A tab chosen another way ends the remote selection.
    Set(COM_REMOTE_TAB_SELECT, 41);
    EXPECT_EQ(Value(COM_REMOTE_TAB_SELECT), 41);
    Set(COM_STATUS_TAB_SELECT, 4);
    EXPECT_EQ(Value(COM_REMOTE_TAB_SELECT), -1);
}

TEST_F(ScriptsTest, ScreenDumpRequestWritesOneDump)
{
    Set(COM_SYS_SCREEN_DUMP_FILE, 1);
    EXPECT_EQ(Value(COM_SYS_SCREEN_DUMP_FILE), 0);
    EXPECT_EQ(Text(COM_SYS_SCREEN_DUMP_FILE), "scrndump0.bmp");
    std::vector<DirEntry> dumps;
    ASSERT_TRUE(ListDirectory(ScreenDumpFolder(), "*", dumps));
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(dumps[0].name, "scrndump0.bmp");
}

TEST_F(ScriptsTest, EditsStayOnTheSelectedStepAcrossFolderChecks)
{
    constexpr std::time_t kLongAgo = 1000000000;
    LoadScript("S", kHeader + "1,PROMPT,a\n1,PROMPT,b\n1,PROMPT,c\n");
    WriteText(Paths::ScriptsFolder() + "/readme.txt", "not a script");
    // The page last saw the folder long ago, so a write now moves its time.
    SetModified(Paths::ScriptsFolder(), kLongAgo);
    RunTask(TpScripts::kRescanRuns);
    Set(COM_SCRIPTS_EDIT_STEP_NO, 2);
    SetText(COM_SCRIPTS_EDIT_STEP_TEXT, "first");
    AdvanceSeconds(1);
    RunTask(TpScripts::kRescanRuns + 1);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2);
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, kStepLogComment);
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PROMPT,a\n1,PROMPT,b\n1,LOGCOMMENT,first\n");
    // Another script added: the list follows, the step being edited stays.
    WriteScript("T", kHeader);
    SetModified(Paths::ScriptsFolder(), kLongAgo + 100);
    AdvanceSeconds(1);
    RunTask(TpScripts::kRescanRuns);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "S\tT");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "S");
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2);
    EXPECT_EQ(Text(COM_SCRIPTS_EDIT_STEP_TEXT), "first");
    SetText(COM_SCRIPTS_EDIT_STEP_TEXT, "second");
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PROMPT,a\n1,PROMPT,b\n1,LOGCOMMENT,second\n");
    // Shortened from outside: the selection starts again at the first step.
    WriteScript("S", kHeader + "1,PROMPT,z\n");
    SetModified(Paths::ScriptsFolder(), kLongAgo + 200);
    RunTask(TpScripts::kRescanRuns);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Prompt:z");
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    // Another script chosen starts at its first step.
    WriteScript("T", kHeader + "1,PROMPT,t1\n1,PROMPT,t2\n1,PROMPT,t3\n");
    Set(COM_SCRIPTS_CURRENT_SCRIPT, 1);
    Set(COM_SCRIPTS_EDIT_STEP_NO, 2);
    Set(COM_SCRIPTS_CURRENT_SCRIPT, 0);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    // The current script gone, the first one is shown.
    ASSERT_TRUE(DeleteFile(ScriptPath("S")));
    page->RebuildScriptList();
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "T");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "T");
}

TEST_F(ScriptsTest, ArchiveChoiceNamesTheMemoriesOfTheBackup)
{
    WriteText(Paths::BackupsFolder() + "/Studio.mem", "[Memory1]\nName=Desk\n[Memory2]\nName=Field\nV290=1\n");
    memories->RefreshBackupList();
    LoadScript("S", kHeader + "1,LOADMEM,2,\n");
    EXPECT_EQ(Value(COM_SCRIPTS_ARCHIVE_FILE), -1);
    Set(COM_SCRIPTS_ARCHIVE_FILE, 0);
    const std::string text = "0,ARCHIVE,Studio\n" + kHeader + "1,LOADMEM,2,\n";
    EXPECT_EQ(ScriptText("S"), text);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_MEMORY), "Desk\tField");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Load Memory:2:Field");
    // Only the names are taken: the instrument's memories stay.
    EXPECT_TRUE(memories->Memories().Memories().empty());
    LoadScript("T", kHeader);
    EXPECT_EQ(Value(COM_SCRIPTS_ARCHIVE_FILE), -1);
    Set(COM_SCRIPTS_CURRENT_SCRIPT, 0);
    EXPECT_EQ(Value(COM_SCRIPTS_ARCHIVE_FILE), 0);
    // A backup whose name a script could not carry is refused.
    WriteText(Paths::BackupsFolder() + "/a..b.mem", "[Memory1]\nName=Odd\n");
    memories->RefreshBackupList();
    ASSERT_EQ(ItemsText(COM_SCRIPTS_ARCHIVE_FILE), "Studio\ta..b");
    Set(COM_SCRIPTS_ARCHIVE_FILE, 1);
    EXPECT_TRUE(debug->Contains("ERROR: Invalid archive name: 'a..b'\n"));
    EXPECT_EQ(Value(COM_SCRIPTS_ARCHIVE_FILE), 0);
    EXPECT_EQ(ScriptText("S"), text);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_MEMORY), "Desk\tField");
}

TEST_F(ScriptsTest, ScriptChangesAreIgnoredWhileRunning)
{
    const std::string running = kHeader + "100,PAUSE,\n1,PROMPT,Next\n";
    WriteScript("Other", kHeader);
    LoadScript("Run", running);
    Set(COM_SCRIPTS_ABORT_SCRIPT_YES, 1); // nothing to stop
    EXPECT_EQ(Value(COM_SCRIPTS_ABORT_SCRIPT_YES), 0);
    Press(COM_SCRIPTS_RUN_SCRIPT);
    ASSERT_TRUE(page->IsRunning());
    // Pressing Run again asks before stopping; "No" keeps running.
    Press(COM_SCRIPTS_RUN_SCRIPT);
    EXPECT_TRUE(DialogOpen("CancelScript"));
    Set(COM_SCRIPTS_ABORT_SCRIPT_NO, 1);
    EXPECT_FALSE(DialogOpen("CancelScript"));
    EXPECT_TRUE(page->IsRunning());

    Set(COM_SCRIPTS_CURRENT_SCRIPT, 0);
    EXPECT_EQ(Value(COM_SCRIPTS_CURRENT_SCRIPT), 1);
    SetText(COM_SCRIPTS_SCRIPT_NAME, "Renamed");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "Run");
    for (unsigned id : {COM_SCRIPTS_NEW_SCRIPT, COM_SCRIPTS_DELETE_SCRIPT, COM_SCRIPTS_EDIT_STEP_ADD,
                        COM_SCRIPTS_EDIT_STEP_DELETE, COM_SCRIPTS_EDIT_MOVE_STEP_DOWN})
        Press(id);
    Set(COM_SCRIPTS_EDIT_STEP_TIME, 5);
    Set(COM_SCRIPTS_LOOP_FOREVER, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_FOREVER), 0);
    Set(COM_SCRIPTS_LOOP_COUNT, 9);
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_COUNT), 1);
    EXPECT_EQ(ScriptText("Run"), running);
    EXPECT_FALSE(Exists(ScriptPath("Renamed")));
    EXPECT_FALSE(Exists(ScriptPath("NewScript1")));
    // A rescan during the run keeps the running script.
    WriteScript("Added", kHeader);
    page->RebuildScriptList();
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "Added\tOther\tRun");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "Run");
    EXPECT_EQ(page->Script().StepCount(), 2);

    Press(COM_SCRIPTS_RUN_SCRIPT);
    Set(COM_SCRIPTS_ABORT_SCRIPT_YES, 1);
    EXPECT_FALSE(DialogOpen("CancelScript"));
    ASSERT_FALSE(page->IsRunning());
    Set(COM_SCRIPTS_LOOP_FOREVER, 1);
    EXPECT_EQ(ScriptText("Run"), "0,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n100,PAUSE,\n1,PROMPT,Next\n");
}
