// Running scripts: steps, durations and passes, actions and their readiness,
// prompts, archives, tabs, files and the start and stop of a run, driven
// through the page's run control, the store and the clock.
#include "ScriptsTest.h"

#include "core/files/FileHelpers.h"
#include "core/memories/TpMemoryFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "core/actions/TpScriptAction.h"
#include "sim/KeyMailbox.h"
#include "ui/keys/TpKeyScan.h"

#include <cstdlib>
#include <unistd.h>

namespace {

// Ready once readyAfter seconds of the step have passed (never when
// negative); ends with `failures` errors.
class TestAction : public TpScriptAction {
public:
    TestAction() : TpScriptAction("Test Action", "TEST_ACTION", {324, 0, 324, 0, 0}, 0, 0, 1) {}
    int32_t CheckReady(uint32_t seconds) override
    {
        return readyAfter >= 0 && seconds >= static_cast<uint32_t>(readyAfter) ? 1 : 0;
    }
    uint32_t StartAction(const ScriptStep& step) override
    {
        startedAt = CurrentClock().WallSeconds();
        const uint32_t result = TpScriptAction::StartAction(step);
        errorCount_ = failures;
        return result;
    }
    uint32_t EndAction(uint8_t ready) override
    {
        ends.push_back(ready);
        endedAt = CurrentClock().WallSeconds();
        return TpScriptAction::EndAction(ready);
    }
    int readyAfter = 0;
    uint32_t failures = 0;
    std::time_t startedAt = 0, endedAt = 0;
    std::vector<int> ends;
};

// Re-enters the run control whenever the status text changes.
class ReentrantStatus : public TpCommand {
public:
    explicit ReentrantStatus(TpScripts& page) : TpCommand(COM_SYS_STATUS, kKeepsText), page_(page) {}
    void SetText(const std::string& text) override
    {
        TpCommand::SetText(text);
        ++calls;
        page_.ToggleRun();
    }
    int calls = 0;

private:
    TpScripts& page_;
};

void UseMemory(TpMemories& memories, int number, uint16_t id, int32_t value)
{
    ASSERT_TRUE(TpStore::Instance()->DefineEntry(id, kStoreValue, kStoreMemory, 0));
    TpMemory memory;
    memory.number = number;
    memory.values.push_back({id, true, value, false, ""});
    ASSERT_TRUE(memories.Memories().SetMemory(memory));
}

} // namespace

TEST_F(ScriptsTest, PausePassesCountDownAndEndTheRun)
{
    UseScript({"3,PAUSE,"}, 2);
    page->ToggleRun();
    // Two task runs a second; the countdown as it changes while shown.
    std::vector<int> shown;
    for (int run = 0; run < 40 && page->IsRunning(); ++run) {
        RunTask();
        const int value = Visible(COM_SCRIPTS_DIALOG_TIMEOUT) ? Value(COM_SCRIPTS_DIALOG_TIMEOUT) : 0;
        if (shown.empty() ? value != 0 : shown.back() != value)
            shown.push_back(value);
        if (run % 2 == 1)
            AdvanceSeconds(1);
    }
    EXPECT_EQ(shown, (std::vector<int> {3, 2, 1, 0, 3, 2, 1, 0}));
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_LOOPS), 2);
    EXPECT_EQ(Events("Loops Completed 2"), 1);
    // Looping forever never ends by itself; CLEARLOG clears only in pass 1.
    AddEvent(kEventInfo, 0, "before the run");
    UseScript({"0,CLEARLOG,", "0,LOGCOMMENT,pass note", "1,PAUSE,"}, 0);
    page->ToggleRun();
    EXPECT_EQ(Events("before the run"), 0);
    RunSeconds(30, 4);
    ASSERT_TRUE(page->IsRunning());
    const int passes = Value(COM_SCRIPTS_LOOPS);
    EXPECT_GE(passes, 10);
    EXPECT_EQ(Events("pass note"), passes + 1);
    page->ToggleRun();
    EXPECT_EQ(Events("Loops Completed " + std::to_string(passes)), 1);
}

TEST_F(ScriptsTest, StopOnErrorEndsTheRunAtTheFirstFailingAction)
{
    TestAction action;
    action.failures = 1;
    UseScript({"2,TEST_ACTION,", "0,LOGCOMMENT,after the action"});
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    SetText(COM_SCRIPTS_REPORT_NAME, "Errors");
    // Without stop on error the error is counted and the run goes on.
    page->ToggleRun();
    RunSeconds(5);
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);
    EXPECT_EQ(Events("after the action"), 1);
    EXPECT_EQ(page->ReportText().find("Script Aborted!"), std::string::npos);

    Set(COM_SCRIPTS_STOP_ON_ERROR, 1);
    page->ToggleRun();
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 0) << "a new run starts from 0";
    RunSeconds(2);
    RunTask();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(action.ends, (std::vector<int> {1, 1}));
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);
    EXPECT_EQ(Events("after the action"), 1) << "the step after the failure did not run";
    // Errors bring up the event log; the report tells why the run ended.
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 6);
    EXPECT_EQ(Value(COM_LOGGING_TAB_SELECT), 1);
    EXPECT_EQ(Events("Total Errors 1"), 2);
    EXPECT_NE(page->ReportText().find("<HR style=\"clear:both\"><div class=\"Section\">Script Aborted!</div>\n"
                                      "<div>Script stopped due to errors</div>\n"
                                      "<HR style=\"clear:both\"><div class=\"Section\">Script Completed</div>\n"),
              std::string::npos)
        << page->ReportText();

    // Stopped mid-step: no later step runs; an action's result is not counted.
    action.failures = 3;
    UseScript({"30,TEST_ACTION,", "0,LOGCOMMENT,after the stop"});
    page->ToggleRun();
    AdvanceSeconds(3);
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_DIALOG_TIMEOUT), 27);
    ASSERT_TRUE(DialogOpen("ScriptPrompt"));
    page->ToggleRun();
    EXPECT_FALSE(DialogOpen("ScriptPrompt"));
    EXPECT_FALSE(Visible(COM_SCRIPTS_DIALOG_TIMEOUT));
    EXPECT_EQ(action.ends, (std::vector<int> {1, 1, 1}));
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 0);
    RunSeconds(40);
    EXPECT_EQ(Events("after the stop"), 0);
}

TEST_F(ScriptsTest, PromptAndUserChoiceWaitForTheirDialogs)
{
    UseScript({"0,PROMPT,Connect input 1", "0,PROMPT,Connect input 2", "0,SEL_USER,\"anna,bob,carl\"",
               "0,DISABLEEVT,", "0,LOGCOMMENT,not logged"});
    page->ToggleRun();
    EXPECT_EQ(Text(COM_SCRIPTS_PROMPT_TEXT), "Connect input 1");
    EXPECT_TRUE(Visible(COM_SCRIPTS_CONTINUE));
    RunSeconds(30);
    page->ReleaseAction(); // Continue
    RunTask();
    EXPECT_EQ(Text(COM_SCRIPTS_PROMPT_TEXT), "Connect input 2");
    dialogs->RouteKey(kKeyPressFlag | kKeyMenu8); // closed with menu key 8
    EXPECT_FALSE(DialogOpen("ScriptPrompt"));
    RunTask();
    EXPECT_EQ(ItemsText(COM_SCRIPTS_USER_LIST), "anna\tbob\tcarl");
    RunTask(3);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2);
    Set(COM_SCRIPTS_USER_LIST, 1);
    dialogs->CloseWindow(dialogs->Find("SelectUser"));
    RunTask(4);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(page->CurrentUser(), "bob");
    // Events stay off past the run, but the totals are logged all the same.
    EXPECT_EQ(Events("not logged"), 0);
    EXPECT_EQ(Events("Total Errors 0"), 1);
    EXPECT_EQ(Value(COM_ANLYS_LOG_ENABLE), 0);
    // The next choice starts at the current user.
    UseScript({"0,SEL_USER,\"carl,bob\""});
    page->ToggleRun();
    EXPECT_EQ(Value(COM_SCRIPTS_USER_LIST), 1);
}

TEST_F(ScriptsTest, ActionNeverReadyTimesOutAfterTenSeconds)
{
    TestAction action;
    action.readyAfter = -1;
    UseScript({"30,TEST_ACTION,", "5,PAUSE,", "0,LOGCOMMENT,after the timeout"});
    page->ToggleRun();
    RunSeconds(10, 2);
    EXPECT_FALSE(DialogOpen("ScriptTimeout"));
    RunTask();
    EXPECT_TRUE(DialogOpen("ScriptTimeout"));
    EXPECT_TRUE(debug->Contains("Timed Out waiting for action to be ready\n"));
    EXPECT_EQ(action.ends, (std::vector<int> {0}));
    // The run waits while the dialog is open; nothing is counted again.
    RunSeconds(30);
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    dialogs->CloseWindow(dialogs->Find("ScriptTimeout"));
    RunTask(2);
    EXPECT_EQ(Value(COM_SCRIPTS_DIALOG_TIMEOUT), 5) << "the next step has its whole duration";
    AdvanceSeconds(5);
    RunTask(2);
    EXPECT_EQ(Events("after the timeout"), 1);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);
    EXPECT_EQ(action.startedAt, 0) << "never started";

    // An action ready late starts then and runs its whole duration.
    action.readyAfter = 5;
    UseScript({"3,TEST_ACTION,"});
    const std::time_t start = clock.WallSeconds();
    page->ToggleRun();
    RunSeconds(12);
    EXPECT_EQ(action.startedAt - start, 5);
    EXPECT_EQ(action.endedAt - action.startedAt, 3);
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 0);
}

TEST_F(ScriptsTest, TimeoutShownAtTheStopGoesIntoTheReportBeforeTheTotals)
{
    WriteText(Paths::ReportsFolder() + "/reports.tpl.html", "<#REPORT>");
    TestAction action;
    action.readyAfter = -1;
    UseScript({"30,TEST_ACTION,"});
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    SetText(COM_SCRIPTS_REPORT_NAME, "T");
    const std::string line = "<div>Script timed out waiting for an action</div>\n";
    for (int logging : {1, 0}) {
        SCOPED_TRACE(logging);
        Set(COM_ANLYS_LOG_ENABLE, logging);
        page->ToggleRun();
        const std::string folder = page->RunReportFolder();
        AdvanceSeconds(10);
        RunTask();
        ASSERT_TRUE(DialogOpen("ScriptTimeout"));
        page->ToggleRun();
        EXPECT_FALSE(DialogOpen("ScriptTimeout"));
        const std::string html = ReadText(folder + "/index.html");
        ASSERT_NE(html.find(line), std::string::npos) << html;
        EXPECT_LT(html.find(line), html.find("<div class=\"Section\">Script Completed</div>")) << html;
        // Logged only while the user's switch is on, which stays as it was.
        EXPECT_EQ(Events("Script timed out waiting for an action"), 1);
        EXPECT_EQ(Value(COM_ANLYS_LOG_ENABLE), logging);
    }
}

TEST_F(ScriptsTest, ActionTimeoutWithoutItsDialogCountsOnceAndGoesOn)
{
    dialogs.reset();
    TestAction action;
    action.readyAfter = -1;
    UseScript({"30,TEST_ACTION,", "2,PAUSE,", "0,LOGCOMMENT,after the timeout"});
    page->ToggleRun();
    AdvanceSeconds(10);
    RunTask();
    EXPECT_TRUE(debug->Contains("Timed Out waiting for action to be ready\n"));
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    RunTask(5);
    EXPECT_EQ(page->TotalErrors(), 1u);
    AdvanceSeconds(2);
    RunTask(2);
    EXPECT_EQ(Events("after the timeout"), 1);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);
}

TEST_F(ScriptsTest, ArchiveIsRestoredBeforeTheFirstStep)
{
    TpMemory memory;
    memory.number = 3;
    memory.name = "Studio A";
    ASSERT_TRUE(WriteFileAtomic(TpMemoryFile::BackupPath("Other"), TpMemoryFile::Format({})));
    ASSERT_TRUE(WriteFileAtomic(TpMemoryFile::BackupPath("Studio"), TpMemoryFile::Format({memory})));
    memories->RefreshBackupList();
    ASSERT_EQ(ItemsText(COM_MEMORY_BACKUP_FILELIST), "Other\tStudio");
    Set(COM_MEMORY_BACKUP_FILELIST, 0);
    UseScript({"0,LOGCOMMENT,first step"});
    page->Script().archiveName = "Studio";
    page->ToggleRun();
    EXPECT_TRUE(page->ArchivePending());
    EXPECT_EQ(Value(COM_MEMORY_BACKUP_FILELIST), 1);
    EXPECT_EQ(Value(COM_MEMORY_BACKUP_LOAD), 1);
    EXPECT_EQ(Events("first step"), 0) << "waits for the restore";
    RunTask();
    EXPECT_FALSE(page->ArchivePending());
    ASSERT_NE(memories->Memories().Find(3), nullptr);
    EXPECT_EQ(memories->Memories().Find(3)->name, "Studio A");
    EXPECT_EQ(Events("first step"), 1);
    RunTask();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 0);

    // A missing archive is one error with an event; the run still goes on.
    page->Script().archiveName = "Gone";
    page->ToggleRun();
    EXPECT_EQ(Events("Archive not found: backups/Gone.mem"), 1);
    EXPECT_EQ(page->TotalErrors(), 1u);
    EXPECT_EQ(Events("first step"), 2);
    RunTask();
    EXPECT_FALSE(page->IsRunning());

    // Stopped while the restore runs: its end starts nothing.
    page->Script().archiveName = "Studio";
    page->ToggleRun();
    ASSERT_TRUE(page->ArchivePending());
    page->ToggleRun();
    EXPECT_FALSE(page->ArchivePending());
    RunTask(2);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Events("first step"), 2);

    // A restore asked for but not yet carried out when Run is pressed: the
    // first step waits for it and runs once.
    Set(COM_MEMORY_BACKUP_LOAD, 1);
    page->ToggleRun();
    EXPECT_TRUE(page->ArchivePending());
    EXPECT_EQ(Events("first step"), 2);
    RunTask(3);
    EXPECT_EQ(Events("first step"), 3);
    EXPECT_FALSE(page->IsRunning());
}

TEST_F(ScriptsTest, StepChoiceFromOutsideCannotMoveARun)
{
    UseScript({"1,PAUSE,", "1,PAUSE,", "0,LOGCOMMENT,last step"});
    page->ToggleRun();
    for (int32_t choice : {99, -1, 2}) {
        Set(COM_SCRIPTS_EDIT_STEP_NO, choice);
        EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0) << choice;
    }
    RunSeconds(1);
    RunTask();
    Set(COM_SCRIPTS_EDIT_STEP_NO, 2);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    EXPECT_EQ(Events("last step"), 0);
    AdvanceSeconds(1);
    RunTask(2);
    EXPECT_EQ(Events("last step"), 1);
    EXPECT_FALSE(page->IsRunning());
    Set(COM_SCRIPTS_EDIT_STEP_NO, 2);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2) << "outside a run the choice is the editor's";

    // Nor can a memory recalled by a step that holds a step number.
    UseMemory(*memories, 2, COM_SCRIPTS_EDIT_STEP_NO, 2);
    UseScript({"0,LOADMEM,2", "1,PAUSE,", "0,LOGCOMMENT,after the recall"});
    page->ToggleRun();
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    AdvanceSeconds(1);
    RunTask(2);
    EXPECT_EQ(Events("after the recall"), 1);
}

TEST_F(ScriptsTest, SelectTabAndLoadMemoryIgnoreIndicesOutsideTheirTables)
{
    Set(COM_LOGGING_TAB_SELECT, 3);
    UseScript({"1,SELECTTAB,11", "1,SELECTTAB,0", "1,SELECTTAB,9", "1,SELECTTAB,35", "1,SELECTTAB,-1",
               "0,LOADMEM,0", "0,LOADMEM,-2", "0,LOADMEM,2"});
    UseMemory(*memories, 2, COM_GEN1_PAYLOAD_ID, 77);
    Set(COM_MEMORY_SEL, 5);
    page->ToggleRun();
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 0) << "MainMenu";
    EXPECT_EQ(Value(COM_LOGGING_TAB_SELECT), 3);
    AdvanceSeconds(1);
    RunTask();
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), -1) << "FullScreen";
    AdvanceSeconds(1);
    RunTask();
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 6) << "EventLog";
    EXPECT_EQ(Value(COM_LOGGING_TAB_SELECT), 1);
    RunSeconds(2);
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 4);
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 6);
    EXPECT_EQ(Value(COM_LOGGING_TAB_SELECT), 1);
    EXPECT_EQ(TpScripts::ScriptTabRow(35), nullptr);
    EXPECT_EQ(TpScripts::ScriptTabRow(-1), nullptr);
    // Memory numbers below 1 recall nothing; LOADMEM 2 recalls memory 2.
    AdvanceSeconds(1);
    RunTask(3);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 7);
    EXPECT_EQ(Value(COM_MEMORY_SEL), 1);
    EXPECT_EQ(Value(COM_GEN1_PAYLOAD_ID), 77);
    EXPECT_FALSE(debug->Contains("ERROR: memory"));
}

TEST_F(ScriptsTest, EachTabRowSelectsItsTabAndSubTabAndNamesItInTheReport)
{
    // name, main tab, sub-tab command (0: none), sub-tab
    struct Row {
        const char* name;
        int32_t main;
        unsigned subCmd;
        int32_t sub;
    };
    constexpr unsigned kGen = COM_GENERATOR_TAB_SELECT, kMon = COM_MONITOR_TAB_SELECT,
                       kSta = COM_STATUS_TAB_SELECT, kAud = COM_AUDIO_TAB_SELECT, kSet = COM_SETUP_TAB_SELECT,
                       kLog = COM_LOGGING_TAB_SELECT;
    const Row rows[] = {
        {"FullScreen", -1, 0, 0},       {"Picture", 2, kMon, 1},      {"AudioMeters", 4, kAud, 1},
        {"SignalData", 2, kMon, 3},     {"Waveform", 2, kMon, 4},     {"VectorScope", 2, kMon, 5},
        {"Eye", 2, kMon, 6},            {"Jitter", 2, kMon, 7},       {"Scripting", 5, kSet, 2},
        {"EventLog", 6, kLog, 1},       {"Loudness", 4, kAud, 2},     {"MainMenu", 0, 0, 0},
        {"AudioStatus", 4, kAud, 2},    {"VideoStatus", 3, kSta, 1},  {"MiscStatus", 3, kSta, 2},
        {"AncStatus", 3, kSta, 4},      {"Gen Video", 1, kGen, 1},    {"Gen Ref", 1, kGen, 2},
        {"GenAudio1-2", 1, kGen, 3},    {"GenAudio3-4", 1, kGen, 4},  {"GenDolby", 1, kGen, 5},
        {"Timing", 3, kSta, 3},         {"Anc Insp", 3, kSta, 5},     {"Dolby MetaData", 4, kAud, 3},
        {"Memories", 5, kSet, 1},       {"Networking", 5, kSet, 3},   {"MiscSetup", 5, kSet, 4},
        {"Utils", 5, kSet, 5},          {"Engineer", 5, kSet, 6},     {"LogSetup", 6, kLog, 2},
        {"LogEyeJitSetup", 6, kLog, 3}, {"LogAncSetup", 6, kLog, 4},  {"SfpInfo", 3, kSta, 6},
        {"SfpIP", 7, 0, 0},             {nullptr, 0, 0, 0},
    };
    const unsigned subCmds[] = {kGen, kMon, kSta, kAud, kSet, kLog};
    std::string script = "1,LOOP\n1,REPORT\n0,STOP_ON_ERROR\n";
    for (size_t i = 0; i < std::size(rows); ++i)
        script += "0,SELECTTAB," + std::to_string(i) + "\n";
    LoadScript("Tabs", script);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(i);
        // Each row starts from tabs it does not select.
        Set(COM_MAIN_TAB_SELECT, row.main == 1 ? 2 : 1);
        for (unsigned id : subCmds)
            Set(id, 0);
        const std::string report = page->ReportText();
        if (i == 0)
            page->ToggleRun();
        else
            RunTask();
        ASSERT_TRUE(page->IsRunning());
        EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), static_cast<int32_t>(i));
        EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), row.main);
        for (unsigned id : subCmds)
            EXPECT_EQ(Value(id), id == row.subCmd ? row.sub : 0) << "sub-tab command " << id;
        const std::string added = page->ReportText().substr(report.size());
        EXPECT_EQ(added, row.name == nullptr ? ""
                                             : std::string("<HR style=\"clear:both\"><div class=\"Section\">Tab Selected=") +
                                                   row.name + "</div>\n");
    }
}

TEST_F(ScriptsTest, RunFolderKeepsTheFilesWrittenAndIsRemovedOnlyWhenEmpty)
{
    // Reporting off and nothing written: no folder remains.
    SetText(COM_SCRIPTS_REPORT_NAME, "Quiet");
    UseScript({"0,LOGCOMMENT,nothing written"});
    page->ToggleRun();
    ASSERT_TRUE(FolderExists(Paths::ReportsFolder() + "/Quiet-1"));
    RunTask();
    ASSERT_FALSE(page->IsRunning());
    EXPECT_FALSE(Exists(Paths::ReportsFolder() + "/Quiet-1"));

    // One status file a pass; names that are empty or leave the folder
    // write nothing.
    WriteText("scriptxmlformat.ini", "LOOPS_DONE=1732,0\n");
    SetText(COM_SCRIPTS_REPORT_NAME, "Status");
    UseScript({"0,SAVESTATUS,st", "0,SAVESTATUS,../escape", "0,SAVESTATUS,", "0,SAVEIMAGE,1,..", "0,SAVEIMAGE,-1,shot"},
              2);
    page->ToggleRun();
    const std::string folder = page->RunReportFolder();
    ASSERT_EQ(folder, Paths::ReportsFolder() + "/Status-1");
    RunTask(12);
    ASSERT_FALSE(page->IsRunning());
    for (const char* name : {"/st_1.xml", "/st_2.xml"}) {
        EXPECT_TRUE(debug->Contains("Status to " + folder + name + "\n")) << name;
        EXPECT_NE(ReadText(folder + name).find("<ZuStatus>"), std::string::npos) << name;
    }
    EXPECT_FALSE(Exists(folder + "/st_3.xml"));
    EXPECT_TRUE(FolderExists(folder)) << "reporting off keeps a folder with files in it";
    EXPECT_TRUE(debug->Contains("Couldn't create xml file: " + folder + "/../escape_1.xml\n"));
    EXPECT_TRUE(debug->Contains("Couldn't create xml file: " + folder + "/_2.xml\n"));
    EXPECT_TRUE(debug->Contains("ERROR: Couldn't write LCD image"));
    EXPECT_FALSE(debug->Contains("Screendump to"));
    EXPECT_FALSE(Exists(Paths::ReportsFolder() + "/escape_1.xml"));
}

TEST_F(ScriptsTest, KeyPressHoldsTheRunnerForFiveTaskRuns)
{
    KeyMailbox mailbox;
    TpKeyScan keys(mailbox);
    UseScript({"1,PAUSE,", "1,PAUSE,", "1,PAUSE,"});
    page->ToggleRun();
    RunSeconds(1);
    ASSERT_TRUE(keys.SendKey(kKeyPressFlag | kKeyOk));
    RunTask(5);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    AdvanceSeconds(1);
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2) << "no key, no hold";
    page->ToggleRun();
    ASSERT_TRUE(keys.SendKey(kKeyPressFlag | kKeyOk));
    RunTask();
    EXPECT_FALSE(TpKeyScan::KeyEventPending()) << "outside a run a key is only cleared";
}

TEST_F(ScriptsTest, RunControlIgnoresRequestsWhileStartingOrStopping)
{
    // An empty script only resets the status.
    SetText(COM_SYS_STATUS, "Busy");
    page->Script().loaded = true;
    page->ToggleRun();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Text(COM_SYS_STATUS), "");
    EXPECT_EQ(Events("Total Errors"), 0);

    ReentrantStatus status(*page);
    UseScript({"5,PAUSE,"});
    page->ToggleRun();
    EXPECT_GE(status.calls, 1);
    EXPECT_TRUE(page->IsRunning()) << "the stop asked during the start was ignored";
    const int calls = status.calls;
    page->ToggleRun();
    EXPECT_GT(status.calls, calls);
    EXPECT_FALSE(page->IsRunning()) << "the start asked during the stop was ignored";
    EXPECT_EQ(Text(COM_SCRIPTS_RUN_SCRIPT), "Run");
    page->ToggleRun();
    EXPECT_TRUE(page->IsRunning());
}

TEST_F(ScriptsTest, RunTimeIsShownInDaysHoursAndMinutesWhateverTheTimeZone)
{
    const char* old = std::getenv("TZ");
    const std::string saved = old != nullptr ? old : "";
    setenv("TZ", "NPT-5:45", 1);
    tzset();
    UseScript({"2000000,PAUSE,"});
    page->ToggleRun();
    RunTask();
    const std::string start = Text(COM_SCRIPTS_LOOP_TIME);
    AdvanceSeconds(86400 + 2 * 3600 + 3 * 60 + 59);
    RunTask();
    const std::string days = Text(COM_SCRIPTS_LOOP_TIME);
    AdvanceSeconds(6 * 86400);
    RunTask();
    old != nullptr ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
    EXPECT_EQ(start, "00:00:00");
    EXPECT_EQ(days, "1d 02:03");
    EXPECT_EQ(Text(COM_SCRIPTS_LOOP_TIME), "MAX");
}

TEST_F(ScriptsTest, ScriptsFolderIsCheckedEveryEleventhTaskRunOutsideRuns)
{
    ASSERT_EQ(::rmdir(Paths::ScriptsFolder().c_str()), 0);
    const std::string message = "Couldn't stat '" + Paths::ScriptsFolder() + "'";
    auto checks = [&] {
        int count = 0;
        for (size_t at = debug->Text().find(message); at != std::string::npos; at = debug->Text().find(message, at + 1))
            ++count;
        return count;
    };
    RunTask();
    EXPECT_EQ(checks(), 1) << "the first run checks";
    RunTask(10);
    EXPECT_EQ(checks(), 1);
    RunTask();
    EXPECT_EQ(checks(), 2);
    UseScript({"100,PAUSE,"});
    page->ToggleRun();
    RunTask(22);
    EXPECT_EQ(checks(), 2) << "not while a run goes on";
    page->ToggleRun();
    RunTask(11);
    EXPECT_EQ(checks(), 3);
}
