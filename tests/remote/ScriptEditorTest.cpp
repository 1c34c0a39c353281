// The script list and the step editor of the scripts page, driven through
// the store by command id as a client or the dialogs would.
#include "ScriptsTest.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "remote/TpScriptAction.h"
#include "sim/LcdImageFiles.h"
#include "ui/TpComboBox.h"

#include <ctime>
#include <memory>
#include <vector>

#include <utime.h>

namespace {

const std::string kHeader = "1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n";
// A folder time long before any write of the tests.
constexpr std::time_t kLongAgo = 1000000000;

std::string ScriptFilePath(const std::string& name)
{
    return Paths::ScriptsFolder() + "/" + name + ".cmd";
}

bool Exists(const std::string& path)
{
    std::string bytes;
    return ReadWholeFile(path, bytes);
}

// What the views of an id show (the head of its chain).
bool Enabled(unsigned id)
{
    const TpCommand* cmd = TpStore::Instance()->GetCmd(id);
    return cmd != nullptr && cmd->IsEnabled();
}

bool Visible(unsigned id)
{
    const TpCommand* cmd = TpStore::Instance()->GetCmd(id);
    return cmd != nullptr && cmd->IsVisible();
}

// Sets the modification time of a file or folder.
void SetFolderTime(const std::string& path, std::time_t when)
{
    struct utimbuf times {};
    times.actime = when;
    times.modtime = when;
    ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

// A button pressed by a client.
void Press(unsigned id)
{
    TpStore::Instance()->SetValue(id, 1);
}

} // namespace

TEST_F(ScriptsTest, NewScriptPressesMakeNumberedEmptyScripts)
{
    page->RebuildScriptList();
    Press(COM_SCRIPTS_NEW_SCRIPT);
    Press(COM_SCRIPTS_NEW_SCRIPT);

    EXPECT_TRUE(Exists(ScriptFilePath("NewScript1")));
    EXPECT_TRUE(Exists(ScriptFilePath("NewScript2")));
    EXPECT_EQ(ScriptText("NewScript2"), "");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "NewScript1\tNewScript2");
    EXPECT_EQ(Value(COM_SCRIPTS_CURRENT_SCRIPT), 1);
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "NewScript2");
    EXPECT_EQ(Value(COM_SCRIPTS_NEW_SCRIPT), 0);
    EXPECT_TRUE(Enabled(COM_SCRIPTS_DELETE_SCRIPT));

    // The new script is the one edited.
    Press(COM_SCRIPTS_EDIT_STEP_ADD);
    EXPECT_EQ(ScriptText("NewScript2"), kHeader + "1,LOADMEM,1,\n");
    EXPECT_EQ(ScriptText("NewScript1"), "");
}

TEST_F(ScriptsTest, RenameMovesTheScriptFile)
{
    const std::string text = kHeader + "1,PROMPT,Hi\n";
    LoadScript("Old", text);
    SetText(COM_SCRIPTS_REPORT_NAME, "Weekly");
    Set(COM_SCRIPTS_REPORT_NUMBER, 5);

    SetText(COM_SCRIPTS_SCRIPT_NAME, "Foo");
    EXPECT_FALSE(Exists(ScriptFilePath("Old")));
    EXPECT_EQ(ScriptText("Foo"), text);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "Foo");
    EXPECT_EQ(Value(COM_SCRIPTS_CURRENT_SCRIPT), 0);
    EXPECT_EQ(Text(COM_SCRIPTS_REPORT_NAME), "");
    EXPECT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 1);

    // The same name again changes nothing.
    SetText(COM_SCRIPTS_SCRIPT_NAME, "Foo");
    EXPECT_EQ(ScriptText("Foo"), text);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "Foo");

    // Edits go to the renamed file.
    Set(COM_SCRIPTS_STOP_ON_ERROR, 1);
    EXPECT_EQ(ScriptText("Foo"), "1,LOOP\n0,REPORT\n1,STOP_ON_ERROR\n1,PROMPT,Hi\n");
}

TEST_F(ScriptsTest, RenameRefusesPathNamesAndExistingScripts)
{
    const std::string bar = kHeader + "1,PROMPT,Bar\n";
    WriteScript("Bar", bar);
    LoadScript("Foo", kHeader + "1,PROMPT,Foo\n");
    SetText(COM_SCRIPTS_REPORT_NAME, "Weekly");

    for (const std::string name : {"", "../Escape", "sub/Escape", "sub\\Escape", ".."}) {
        SetText(COM_SCRIPTS_SCRIPT_NAME, name);
        EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "Foo") << name;
    }
    EXPECT_FALSE(Exists(Paths::DataFolder() + "/Escape.cmd"));
    EXPECT_FALSE(Exists(Paths::ScriptsFolder() + "/sub/Escape.cmd"));
    EXPECT_TRUE(Exists(ScriptFilePath("Foo")));
    EXPECT_EQ(Text(COM_SCRIPTS_REPORT_NAME), "Weekly");

    // Renaming onto another script would replace it.
    SetText(COM_SCRIPTS_SCRIPT_NAME, "Bar");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "Foo");
    EXPECT_EQ(ScriptText("Bar"), bar);
    EXPECT_EQ(ScriptText("Foo"), kHeader + "1,PROMPT,Foo\n");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "Bar\tFoo");

    // The refused names left the loaded script in place.
    Set(COM_SCRIPTS_LOOP_COUNT, 4);
    EXPECT_EQ(ScriptText("Foo"), "4,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,Foo\n");
    EXPECT_EQ(ScriptText("Bar"), bar);
}

TEST_F(ScriptsTest, NameGivenWhileMemoryRecallMovesNoFile)
{
    WriteScript("A", kHeader + "1,PROMPT,A\n");
    LoadScript("B", kHeader + "1,PROMPT,B\n");
    store->SetLoadState(kLoadMemory);
    SetText(COM_SCRIPTS_SCRIPT_NAME, "A");
    store->SetLoadState(kLoadNormal);

    EXPECT_EQ(ScriptText("A"), kHeader + "1,PROMPT,A\n");
    EXPECT_EQ(ScriptText("B"), kHeader + "1,PROMPT,B\n");
    EXPECT_EQ(Value(COM_SCRIPTS_CURRENT_SCRIPT), 0);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Prompt:A");
}

TEST_F(ScriptsTest, DeleteRemovesTheSelectedScript)
{
    WriteScript("A", kHeader + "1,PROMPT,A\n");
    LoadScript("B", kHeader);
    Press(COM_SCRIPTS_DELETE_SCRIPT);
    EXPECT_FALSE(Exists(ScriptFilePath("B")));
    EXPECT_TRUE(Exists(ScriptFilePath("A")));
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "A");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "A");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Prompt:A");

    // A file that went away cannot be deleted; the list stays.
    LoadScript("C", kHeader);
    ASSERT_TRUE(DeleteFile(ScriptFilePath("C")));
    debug->Clear();
    Press(COM_SCRIPTS_DELETE_SCRIPT);
    EXPECT_TRUE(debug->Contains("File " + ScriptFilePath("C") + " couldn't be deleted!\n"));
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "A\tC");

    // The last script deleted leaves an empty page.
    Set(COM_SCRIPTS_CURRENT_SCRIPT, 0);
    Press(COM_SCRIPTS_DELETE_SCRIPT);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "");
    EXPECT_EQ(Value(COM_SCRIPTS_CURRENT_SCRIPT), -1);
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "");
    EXPECT_FALSE(Enabled(COM_SCRIPTS_DELETE_SCRIPT));
    EXPECT_FALSE(Enabled(COM_SCRIPTS_RUN_SCRIPT));
}

TEST_F(ScriptsTest, AddedStepIsEditedIntoAPause)
{
    LoadScript("S", kHeader);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), -1);
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_STEP_DELETE));

    Press(COM_SCRIPTS_EDIT_STEP_ADD);
    EXPECT_EQ(ScriptText("S"), kHeader + "1,LOADMEM,1,\n");
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Load Memory:1:Memory 1");
    EXPECT_TRUE(Visible(COM_SCRIPTS_EDIT_STEP_MEMORY));
    EXPECT_FALSE(Visible(COM_SCRIPTS_EDIT_STEP_TIME));
    EXPECT_TRUE(Enabled(COM_SCRIPTS_EDIT_STEP_DELETE));

    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, kStepPause);
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PAUSE,\n");
    EXPECT_TRUE(Visible(COM_SCRIPTS_EDIT_STEP_TIME));
    EXPECT_FALSE(Visible(COM_SCRIPTS_EDIT_STEP_MEMORY));
    Set(COM_SCRIPTS_EDIT_STEP_TIME, 10);
    EXPECT_EQ(ScriptText("S"), kHeader + "10,PAUSE,\n");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Pause:10s");
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_STEP_TIME), 10);

    // A second step goes after the selected one; a prompt takes its text.
    Press(COM_SCRIPTS_EDIT_STEP_ADD);
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, kStepPrompt);
    EXPECT_EQ(Text(COM_SCRIPTS_EDIT_STEP_TEXT_LABEL), "Text");
    SetText(COM_SCRIPTS_EDIT_STEP_TEXT, "Plug in, then\npress Continue");
    EXPECT_EQ(ScriptText("S"), kHeader + "10,PAUSE,\n1,PROMPT,\"Plug in, then press Continue\"\n");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Pause:10s\t2-Prompt:Plug in, then press Continue");

    // A type that is no step type leaves the step as it was.
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, 99);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_FUNCTION), kStepPrompt);
    EXPECT_EQ(ScriptText("S"), kHeader + "10,PAUSE,\n1,PROMPT,\"Plug in, then press Continue\"\n");

    // A status file takes a file name.
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, kStepSaveStatus);
    EXPECT_EQ(Text(COM_SCRIPTS_EDIT_STEP_TEXT_LABEL), "File Name");
}

TEST_F(ScriptsTest, FlaggedTypeChoiceGivesTimedChecksTwoSeconds)
{
    std::vector<std::unique_ptr<TpScriptAction>> actions;
    for (int type = 13; type <= 18; ++type)
        actions.push_back(std::make_unique<TpScriptAction>("Check", "CHECK" + std::to_string(type),
                                                           TpScriptAction::Descriptor{324, 0, 324, 0, 0}, 0, 0, 1));
    TpComboBox choice(nullptr, COM_SCRIPTS_EDIT_STEP_FUNCTION);
    LoadScript("S", kHeader + "7,PAUSE,\n");

    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, 16);
    EXPECT_EQ(ScriptText("S"), kHeader + "7,CHECK16,\n");
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, 17);
    EXPECT_EQ(ScriptText("S"), kHeader + "7,CHECK17,\n");

    choice.SetExtraFlag(1);
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, 18);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_TIME), 2);
    EXPECT_EQ(ScriptText("S"), kHeader + "2,CHECK18,\n");
    Set(COM_SCRIPTS_EDIT_STEP_TIME, 9);
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, 15);
    EXPECT_EQ(ScriptText("S"), kHeader + "9,CHECK15,\n");
}

TEST_F(ScriptsTest, DeletingTheOnlyStepLeavesNoSelection)
{
    LoadScript("S", kHeader + "1,PROMPT,Hi\n");
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    Press(COM_SCRIPTS_EDIT_STEP_DELETE);
    EXPECT_EQ(ScriptText("S"), kHeader);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), -1);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "");
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_STEP_DELETE));
    EXPECT_FALSE(Visible(COM_SCRIPTS_EDIT_STEP_FUNCTION));
    EXPECT_FALSE(Visible(COM_SCRIPTS_EDIT_STEP_TEXT));

    // Nothing selected: deleting and editing change nothing.
    Press(COM_SCRIPTS_EDIT_STEP_DELETE);
    Set(COM_SCRIPTS_EDIT_STEP_TIME, 30);
    EXPECT_EQ(ScriptText("S"), kHeader);
}

TEST_F(ScriptsTest, EditorMovesStepsWithinTheList)
{
    const std::string steps = "1,PROMPT,a\n1,PROMPT,b\n1,PROMPT,c\n";
    LoadScript("S", kHeader + steps);
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_MOVE_STEP_UP));
    EXPECT_TRUE(Enabled(COM_SCRIPTS_EDIT_MOVE_STEP_DOWN));

    Press(COM_SCRIPTS_EDIT_MOVE_STEP_UP);
    EXPECT_EQ(ScriptText("S"), kHeader + steps);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);

    Press(COM_SCRIPTS_EDIT_MOVE_STEP_DOWN);
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PROMPT,b\n1,PROMPT,a\n1,PROMPT,c\n");
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Prompt:b\t2-Prompt:a\t3-Prompt:c");

    Press(COM_SCRIPTS_EDIT_MOVE_STEP_DOWN);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2);
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_MOVE_STEP_DOWN));
    EXPECT_TRUE(Enabled(COM_SCRIPTS_EDIT_MOVE_STEP_UP));
    Press(COM_SCRIPTS_EDIT_MOVE_STEP_DOWN);
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PROMPT,b\n1,PROMPT,c\n1,PROMPT,a\n");
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2);

    Press(COM_SCRIPTS_EDIT_MOVE_STEP_UP);
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PROMPT,b\n1,PROMPT,a\n1,PROMPT,c\n");
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
}

TEST_F(ScriptsTest, StepListTextsNameTabsAndMemories)
{
    LoadScript("S", kHeader +
                        "1,PROMPT,Hi\n"
                        "5,SELECTTAB,9,\n"
                        "2,SELECTTAB,40,\n"
                        "1,SELECTTAB,-3,\n"
                        "1,SAVEIMAGE,4,wave\n"
                        "1,SAVEIMAGE,35,lost\n"
                        "1,LOADMEM,3,\n"
                        "1,LOADMEM,20,\n"
                        "1,CLEARLOG,\n"
                        "1,SEL_USER,\"Ann,Bob\"\n");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO),
              "1-Prompt:Hi\t"
              "2-Select Tab:EventLog:5s\t"
              "3-Select Tab:???:2s\t"
              "4-Select Tab:???:1s\t"
              "5-Save Image:Waveform:wave\t"
              "6-Save Image:???:lost\t"
              "7-Load Memory:3:Memory 3\t"
              "8-Load Memory:20:\t"
              "9-Clear Log:\t"
              "10-Select User:Ann,Bob");
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_STEP_TIME), 8);

    // The fields of a step follow the selection.
    Set(COM_SCRIPTS_EDIT_STEP_NO, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_FUNCTION), kStepSelectTab);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_TAB), 9);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_TIME), 5);
    EXPECT_TRUE(Visible(COM_SCRIPTS_EDIT_STEP_TAB));
    EXPECT_FALSE(Visible(COM_SCRIPTS_EDIT_STEP_TEXT));
    Set(COM_SCRIPTS_EDIT_STEP_NO, 6);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_MEMORY), 2);
    EXPECT_FALSE(Visible(COM_SCRIPTS_EDIT_STEP_TAB));
}

TEST_F(ScriptsTest, LoopAndErrorOptionsAreWrittenAtOnce)
{
    LoadScript("S", "3,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n10,PAUSE,\n");
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_COUNT), 3);
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_FOREVER), 0);
    EXPECT_TRUE(Visible(COM_SCRIPTS_LOOP_COUNT));

    Set(COM_SCRIPTS_LOOP_FOREVER, 1);
    EXPECT_FALSE(Visible(COM_SCRIPTS_LOOP_COUNT));
    EXPECT_EQ(ScriptText("S"), "0,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n10,PAUSE,\n");
    Set(COM_SCRIPTS_LOOP_FOREVER, 0);
    EXPECT_TRUE(Visible(COM_SCRIPTS_LOOP_COUNT));
    EXPECT_EQ(ScriptText("S"), "3,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n10,PAUSE,\n");

    Set(COM_SCRIPTS_STOP_ON_ERROR, 1);
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    EXPECT_EQ(ScriptText("S"), "3,LOOP\n1,REPORT\n1,STOP_ON_ERROR\n10,PAUSE,\n");

    // A count of 0 would read back as looping forever.
    Set(COM_SCRIPTS_LOOP_COUNT, 0);
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_COUNT), 1);
    EXPECT_EQ(ScriptText("S"), "1,LOOP\n1,REPORT\n1,STOP_ON_ERROR\n10,PAUSE,\n");

    // Another script shows its own options.
    LoadScript("T", "0,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n");
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_FOREVER), 1);
    EXPECT_FALSE(Visible(COM_SCRIPTS_LOOP_COUNT));
    EXPECT_EQ(Value(COM_SCRIPTS_MAKE_REPORT), 0);
    EXPECT_EQ(Value(COM_SCRIPTS_STOP_ON_ERROR), 0);
}

TEST_F(ScriptsTest, EditSwitchTurnsTheEditingCommandsOff)
{
    LoadScript("S", kHeader + "1,PROMPT,a\n1,PROMPT,b\n");
    const unsigned editing[] = {
        COM_SCRIPTS_NEW_SCRIPT, COM_SCRIPTS_DELETE_SCRIPT, COM_SCRIPTS_EDIT_STEP_ADD, COM_SCRIPTS_EDIT_STEP_DELETE,
        COM_SCRIPTS_LOOP_FOREVER, COM_SCRIPTS_LOOP_COUNT, COM_SCRIPTS_EDIT_STEP_MEMORY,
        COM_SCRIPTS_EDIT_STEP_FUNCTION, COM_SCRIPTS_EDIT_STEP_TEXT, COM_SCRIPTS_EDIT_STEP_TEXT_LABEL,
        COM_SCRIPTS_EDIT_STEP_TAB, COM_SCRIPTS_EDIT_STEP_TIME, COM_SCRIPTS_SCRIPT_NAME, COM_SCRIPTS_MAKE_REPORT,
        COM_SCRIPTS_ARCHIVE_FILE, COM_SCRIPTS_STOP_ON_ERROR,
    };
    Set(COM_SCRIPTS_EDIT_ENABLE, 0);
    for (unsigned id : editing)
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_MOVE_STEP_DOWN));
    EXPECT_TRUE(Enabled(COM_SCRIPTS_CURRENT_SCRIPT));

    // Switching scripts keeps the step buttons off.
    LoadScript("T", kHeader + "1,PROMPT,c\n");
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_STEP_ADD));
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_STEP_DELETE));

    Set(COM_SCRIPTS_EDIT_ENABLE, 1);
    for (unsigned id : editing)
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(ScriptsTest, RemoteTabSelectChoosesTheTabsOfItsRow)
{
    Set(COM_MAIN_TAB_SELECT, 3);
    Set(COM_MONITOR_TAB_SELECT, 2);
    for (int32_t value : {42, 1000, -2, INT32_MIN}) {
        Set(COM_REMOTE_TAB_SELECT, value);
        EXPECT_EQ(Value(COM_REMOTE_TAB_SELECT), -1) << value;
    }
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 3);
    EXPECT_EQ(Value(COM_MONITOR_TAB_SELECT), 2);

    // A value of the table selects its row's main tab and sub-tab; the
    // selection stays.
    Set(COM_REMOTE_TAB_SELECT, 9);
    EXPECT_EQ(Value(COM_REMOTE_TAB_SELECT), 9);
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 2);
    EXPECT_EQ(Value(COM_MONITOR_TAB_SELECT), 1);

    // A tab chosen another way ends the remote selection.
    Set(COM_REMOTE_TAB_SELECT, 41);
    EXPECT_EQ(Value(COM_REMOTE_TAB_SELECT), 41);
    Set(COM_STATUS_TAB_SELECT, 4);
    EXPECT_EQ(Value(COM_REMOTE_TAB_SELECT), -1);

    ASSERT_NE(TpScripts::RemoteTabRow(9), nullptr);
    EXPECT_EQ(TpScripts::RemoteTabRow(9)->main, 2);
    EXPECT_EQ(TpScripts::RemoteTabRow(9)->group, 2);
    EXPECT_EQ(TpScripts::RemoteTabRow(9)->sub, 1);
    EXPECT_EQ(TpScripts::RemoteTabRow(41)->sub, 5);
    EXPECT_EQ(TpScripts::RemoteTabRow(42), nullptr);
    EXPECT_EQ(TpScripts::RemoteTabRow(-1), nullptr);
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
    EXPECT_GT(dumps[0].size, 0u);

    Set(COM_SYS_SCREEN_DUMP_FILE, 1);
    EXPECT_EQ(Text(COM_SYS_SCREEN_DUMP_FILE), "scrndump1.bmp");
    EXPECT_TRUE(Exists(ScreenDumpFolder() + "/scrndump1.bmp"));
}

TEST_F(ScriptsTest, ShortFactoryTestLeftoverIsRemovedAtConstruction)
{
    const std::string leftover = ScriptFilePath("Full TEST 4H");
    for (const std::string bytes : {"", "1\n", "1,\n"}) {
        page.reset();
        WriteText(leftover, bytes);
        MakePage();
        EXPECT_EQ(Exists(leftover), bytes.size() >= 3) << bytes.size() << " bytes";
    }
}

TEST_F(ScriptsTest, FolderRescanListsNewScriptsAndKeepsTheCurrentOne)
{
    LoadScript("B", kHeader + "1,PROMPT,B\n");
    WriteScript("A", kHeader);
    WriteScript("C", kHeader);
    WriteText(Paths::ScriptsFolder() + "/readme.txt", "not a script");
    page->RebuildScriptList();
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "A\tB\tC");
    EXPECT_EQ(Value(COM_SCRIPTS_CURRENT_SCRIPT), 1);
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "B");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Prompt:B");

    // The current script gone, the first one is shown.
    ASSERT_TRUE(DeleteFile(ScriptFilePath("B")));
    page->RebuildScriptList();
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "A\tC");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "A");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "");
}

TEST_F(ScriptsTest, EditsStayOnTheSelectedStepAcrossFolderChecks)
{
    const std::string steps = "1,PROMPT,a\n1,PROMPT,b\n1,PROMPT,c\n";
    LoadScript("S", kHeader + steps);
    // The page last saw the folder a while ago, so a write now moves its
    // time.
    SetFolderTime(Paths::ScriptsFolder(), kLongAgo);
    RunTask(TpScripts::kRescanRuns);
    ASSERT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "S");

    Set(COM_SCRIPTS_EDIT_STEP_NO, 2);
    SetText(COM_SCRIPTS_EDIT_STEP_TEXT, "first");
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PROMPT,a\n1,PROMPT,b\n1,PROMPT,first\n");
    AdvanceSeconds(1);
    RunTask(TpScripts::kRescanRuns + 1);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2);
    Set(COM_SCRIPTS_EDIT_STEP_FUNCTION, kStepLogComment);
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PROMPT,a\n1,PROMPT,b\n1,LOGCOMMENT,first\n");

    // Another script added: the list follows, the step being edited stays.
    WriteScript("T", kHeader);
    SetFolderTime(Paths::ScriptsFolder(), kLongAgo + 100);
    AdvanceSeconds(1);
    RunTask(TpScripts::kRescanRuns);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "S\tT");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "S");
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2);
    EXPECT_EQ(Text(COM_SCRIPTS_EDIT_STEP_TEXT), "first");
    SetText(COM_SCRIPTS_EDIT_STEP_TEXT, "second");
    EXPECT_EQ(ScriptText("S"), kHeader + "1,PROMPT,a\n1,PROMPT,b\n1,LOGCOMMENT,second\n");

    // The script shortened from outside: the selection starts again at the
    // first step.
    WriteScript("S", kHeader + "1,PROMPT,z\n");
    SetFolderTime(Paths::ScriptsFolder(), kLongAgo + 200);
    RunTask(TpScripts::kRescanRuns);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Prompt:z");
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);

    // Another script chosen starts at its first step.
    WriteScript("T", kHeader + "1,PROMPT,t1\n1,PROMPT,t2\n1,PROMPT,t3\n");
    Set(COM_SCRIPTS_CURRENT_SCRIPT, 1);
    ASSERT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "T");
    Set(COM_SCRIPTS_EDIT_STEP_NO, 2);
    Set(COM_SCRIPTS_CURRENT_SCRIPT, 0);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
}

TEST_F(ScriptsTest, UnreadableScriptShowsEmptyAndIsNeverWritten)
{
    WriteScript("Gone", kHeader);
    LoadScript("Kept", "3,LOOP\n1,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,Kept\n");
    ASSERT_TRUE(DeleteFile(ScriptFilePath("Gone")));

    Set(COM_SCRIPTS_CURRENT_SCRIPT, 0);
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "Gone");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "");
    EXPECT_EQ(Value(COM_SCRIPTS_MAKE_REPORT), 0);
    EXPECT_FALSE(Enabled(COM_SCRIPTS_EDIT_STEP_ADD));

    Press(COM_SCRIPTS_EDIT_STEP_ADD);
    Set(COM_SCRIPTS_LOOP_COUNT, 5);
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    EXPECT_FALSE(Exists(ScriptFilePath("Gone")));
    EXPECT_EQ(ScriptText("Kept"), "3,LOOP\n1,REPORT\n0,STOP_ON_ERROR\n1,PROMPT,Kept\n");
}

TEST_F(ScriptsTest, ArchiveChoiceNamesTheMemoriesOfTheBackup)
{
    WriteText(Paths::BackupsFolder() + "/Studio.mem", "[Memory1]\nName=Desk\n[Memory2]\nName=Field\nV290=1\n");
    memories->RefreshBackupList();
    LoadScript("S", kHeader + "1,LOADMEM,2,\n");
    EXPECT_EQ(Value(COM_SCRIPTS_ARCHIVE_FILE), -1);

    Set(COM_SCRIPTS_ARCHIVE_FILE, 0);
    EXPECT_EQ(ScriptText("S"), "0,ARCHIVE,Studio\n" + kHeader + "1,LOADMEM,2,\n");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_MEMORY), "Desk\tField");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Load Memory:2:Field");
    // Only the names are taken: the instrument's memories stay.
    EXPECT_TRUE(memories->Memories().Memories().empty());

    // Shown again, the script finds its archive in the list.
    LoadScript("T", kHeader);
    EXPECT_EQ(Value(COM_SCRIPTS_ARCHIVE_FILE), -1);
    LoadScript("S", "0,ARCHIVE,Studio\n" + kHeader + "1,LOADMEM,1,\n");
    EXPECT_EQ(Value(COM_SCRIPTS_ARCHIVE_FILE), 0);
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_NO), "1-Load Memory:1:Desk");

    // A backup whose name a script could not carry is refused and said so;
    // the script keeps its archive.
    WriteText(Paths::BackupsFolder() + "/a..b.mem", "[Memory1]\nName=Odd\n");
    memories->RefreshBackupList();
    ASSERT_EQ(ItemsText(COM_SCRIPTS_ARCHIVE_FILE), "Studio\ta..b");
    debug->Clear();
    Set(COM_SCRIPTS_ARCHIVE_FILE, 1);
    EXPECT_TRUE(debug->Contains("ERROR: Invalid archive name: 'a..b'\n")) << debug->Text();
    EXPECT_EQ(Value(COM_SCRIPTS_ARCHIVE_FILE), 0);
    EXPECT_EQ(ScriptText("S"), "0,ARCHIVE,Studio\n" + kHeader + "1,LOADMEM,1,\n");
    EXPECT_EQ(ItemsText(COM_SCRIPTS_EDIT_STEP_MEMORY), "Desk\tField");
    page->RebuildScriptList();
    EXPECT_EQ(Value(COM_SCRIPTS_ARCHIVE_FILE), 0);
}

TEST_F(ScriptsTest, ReportNumberResetAndCurrentUser)
{
    Set(COM_SCRIPTS_REPORT_NUMBER, 7);
    Set(COM_SCRIPTS_RESET_REPORT_NUMBER, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_REPORT_NUMBER), 1);
    EXPECT_EQ(Value(COM_SCRIPTS_RESET_REPORT_NUMBER), 0);

    SetText(COM_SYS_CURRENT_USER, "Ann");
    EXPECT_EQ(page->CurrentUser(), "Ann");

    // The answers of the stop question fall back to 0 when nothing runs.
    Set(COM_SCRIPTS_ABORT_SCRIPT_NO, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_ABORT_SCRIPT_NO), 0);
    Set(COM_SCRIPTS_ABORT_SCRIPT_YES, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_ABORT_SCRIPT_YES), 0);
    EXPECT_FALSE(page->IsRunning());
}

TEST_F(ScriptsTest, ScriptChangesAreIgnoredWhileRunning)
{
    const std::string running = "1,LOOP\n0,REPORT\n0,STOP_ON_ERROR\n100,PAUSE,\n1,PROMPT,Next\n";
    WriteScript("Other", kHeader);
    LoadScript("Run", running);
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
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "Run");
    SetText(COM_SCRIPTS_SCRIPT_NAME, "Renamed");
    EXPECT_EQ(Text(COM_SCRIPTS_SCRIPT_NAME), "Run");
    Press(COM_SCRIPTS_NEW_SCRIPT);
    Press(COM_SCRIPTS_DELETE_SCRIPT);
    Press(COM_SCRIPTS_EDIT_STEP_ADD);
    Press(COM_SCRIPTS_EDIT_STEP_DELETE);
    Press(COM_SCRIPTS_EDIT_MOVE_STEP_DOWN);
    Set(COM_SCRIPTS_EDIT_STEP_TIME, 5);
    Set(COM_SCRIPTS_LOOP_FOREVER, 1);
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_FOREVER), 0);
    Set(COM_SCRIPTS_LOOP_COUNT, 9);
    EXPECT_EQ(Value(COM_SCRIPTS_LOOP_COUNT), 1);

    EXPECT_EQ(ScriptText("Run"), running);
    EXPECT_FALSE(Exists(ScriptFilePath("Renamed")));
    EXPECT_FALSE(Exists(ScriptFilePath("NewScript1")));
    EXPECT_EQ(ItemsText(COM_SCRIPTS_CURRENT_SCRIPT), "Other\tRun");
    EXPECT_EQ(page->Script().StepCount(), 2);

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
