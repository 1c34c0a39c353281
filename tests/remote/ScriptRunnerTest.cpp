// Running scripts: steps, durations and passes, actions and their readiness,
// prompts, archives, tabs, files and the start and stop of a run, driven
// through the page's run control, the store and the clock.
#include "ScriptsTest.h"

#include "core/FileHelpers.h"
#include "core/TpMemoryFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "remote/TpScriptAction.h"
#include "sim/KeyMailbox.h"
#include "ui/TpKeyScan.h"

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// An action for the tests: ready once readyAfter seconds of the step have
// passed (never when negative), reporting `failures` errors at its end.
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
    std::time_t startedAt = 0;
    std::time_t endedAt = 0;
    std::vector<int> ends;
};

// Re-enters the run control whenever the status text changes, as a change
// handler reacting to the run would.
class ReentrantStatus : public TpCommand {
public:
    explicit ReentrantStatus(TpScripts& page) : TpCommand(COM_SYS_STATUS, 2), page_(page) {}
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

// Puts the steps into the page's script, as loading a file would.
void UseScript(TpScripts& page, const std::vector<std::string>& lines, int loopCount = 1)
{
    ScriptFile& script = page.Script();
    script.ClearSteps();
    for (const std::string& line : lines)
        EXPECT_TRUE(script.AddStep(line, std::string())) << line;
    script.loopCount = loopCount;
    script.loopForever = loopCount == 0;
    script.loaded = true;
}

int CountEvents(const TpLogger& logger, const std::string& fragment)
{
    int count = 0;
    for (int i = 0; i < logger.EntryCount(); ++i) {
        if (logger.EntryText(i).find(fragment) != std::string::npos)
            ++count;
    }
    return count;
}

// Sets the time zone for the life of the object.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) {
            had_ = true;
            old_ = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone()
    {
        if (had_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool had_ = false;
    std::string old_;
};

int Occurrences(const std::string& text, const std::string& fragment)
{
    int count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + 1))
        ++count;
    return count;
}

bool DeleteFolderForTest(const std::string& path)
{
    return ::rmdir(path.c_str()) == 0;
}

} // namespace

TEST_F(ScriptsTest, PausePassesCountDownAndEndTheRun)
{
    UseScript(*page, {"3,PAUSE,"}, 2);
    page->ToggleRun();
    ASSERT_TRUE(page->IsRunning());
    EXPECT_EQ(Text(COM_SCRIPTS_RUN_SCRIPT), "Stop");
    EXPECT_EQ(Text(COM_SYS_STATUS), "Script");
    EXPECT_EQ(Value(COM_SCRIPTS_LOOPS), 0);

    // Two task runs a second; the countdown as it changes while shown.
    std::vector<int> shown;
    for (int second = 0; second < 20 && page->IsRunning(); ++second) {
        for (int run = 0; run < 2; ++run) {
            RunTask();
            const TpCommand* timeout = store->GetCmd(COM_SCRIPTS_DIALOG_TIMEOUT);
            ASSERT_NE(timeout, nullptr);
            if (timeout->IsVisible() && (shown.empty() || shown.back() != timeout->GetValue()))
                shown.push_back(timeout->GetValue());
            else if (!timeout->IsVisible() && !shown.empty() && shown.back() != 0)
                shown.push_back(0);
        }
        AdvanceSeconds(1);
    }
    EXPECT_EQ(shown, (std::vector<int> {3, 2, 1, 0, 3, 2, 1, 0}));
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_LOOPS), 2);
    EXPECT_EQ(Text(COM_SCRIPTS_RUN_SCRIPT), "Run");
    EXPECT_EQ(Text(COM_SYS_STATUS), "");
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 0);
    EXPECT_EQ(CountEvents(*logger, "Loops Completed 2"), 1);
    EXPECT_EQ(CountEvents(*logger, "Total Errors 0"), 1);
    EXPECT_TRUE(debug->Contains("TotalErrorCount=0\n"));
}

TEST_F(ScriptsTest, LoopForeverClearsTheLogOnlyInTheFirstPass)
{
    AddEvent(kEventInfo, 0, "before the run");
    UseScript(*page, {"0,CLEARLOG,", "0,LOGCOMMENT,pass note", "1,PAUSE,"}, 0);
    page->ToggleRun();
    EXPECT_EQ(CountEvents(*logger, "before the run"), 0);
    for (int second = 0; second < 30; ++second) {
        RunTask(4);
        AdvanceSeconds(1);
    }
    ASSERT_TRUE(page->IsRunning()) << "looping forever never ends by itself";
    const int passes = Value(COM_SCRIPTS_LOOPS);
    EXPECT_GE(passes, 10);
    EXPECT_EQ(CountEvents(*logger, "pass note"), passes + 1) << "later passes keep the log";

    page->ToggleRun();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(CountEvents(*logger, "Loops Completed " + std::to_string(passes)), 1);
}

TEST_F(ScriptsTest, StopOnErrorEndsTheRunAtTheFirstFailingAction)
{
    TestAction action;
    action.failures = 1;
    UseScript(*page, {"2,TEST_ACTION,", "0,LOGCOMMENT,after the action"});
    ASSERT_EQ(page->Script().Step(0)->type, 13);
    Set(COM_STATUS_TAB_SELECT, 2);
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    SetText(COM_SCRIPTS_REPORT_NAME, "Errors");

    // Without stop on error the error is counted and the run goes on.
    page->ToggleRun();
    for (int second = 0; second < 5; ++second) {
        RunTask();
        AdvanceSeconds(1);
    }
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);
    EXPECT_EQ(CountEvents(*logger, "after the action"), 1);

    EXPECT_EQ(page->ReportText().find("Script Aborted!"), std::string::npos);

    Set(COM_SCRIPTS_STOP_ON_ERROR, 1);
    page->ToggleRun();
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 0) << "a new run starts from 0";
    EXPECT_TRUE(DialogOpen("ScriptPrompt")) << "the action shows its prompt";
    RunTask();
    AdvanceSeconds(1);
    RunTask();
    EXPECT_TRUE(page->IsRunning());
    AdvanceSeconds(1);
    RunTask();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(action.ends, (std::vector<int> {1, 1}));
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);
    EXPECT_EQ(Value(COM_SCRIPTS_LOOPS), 1);
    EXPECT_EQ(CountEvents(*logger, "after the action"), 1) << "the step after the failure did not run";
    EXPECT_FALSE(DialogOpen("ScriptPrompt"));
    // Errors bring up the event log.
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 6);
    EXPECT_EQ(Value(COM_LOGGING_TAB_SELECT), 1);
    EXPECT_EQ(Value(COM_STATUS_TAB_SELECT), 2);
    EXPECT_EQ(CountEvents(*logger, "Total Errors 1"), 2);
    // The report tells why the run ended, before its totals.
    const std::string aborted = "<HR style=\"clear:both\"><div class=\"Section\">Script Aborted!</div>\n"
                                "<div>Script stopped due to errors</div>\n"
                                "<HR style=\"clear:both\"><div class=\"Section\">Script Completed</div>\n";
    EXPECT_NE(page->ReportText().find(aborted), std::string::npos) << page->ReportText();
}

TEST_F(ScriptsTest, StoppingMidStepEndsTheRunThere)
{
    UseScript(*page, {"10,PAUSE,", "0,LOGCOMMENT,after the pause"});
    page->ToggleRun();
    AdvanceSeconds(3);
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_DIALOG_TIMEOUT), 7);
    page->ToggleRun();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Text(COM_SCRIPTS_RUN_SCRIPT), "Run");
    EXPECT_EQ(Text(COM_SYS_STATUS), "");
    EXPECT_EQ(Value(COM_SCRIPTS_LOOPS), 0);
    EXPECT_FALSE(store->GetCmd(COM_SCRIPTS_DIALOG_TIMEOUT)->IsVisible());
    AdvanceSeconds(20);
    RunTask(5);
    EXPECT_EQ(CountEvents(*logger, "after the pause"), 0);
    EXPECT_FALSE(page->IsRunning());

    // An action stopped with its prompt open is ended; its result is not
    // counted.
    TestAction action;
    action.failures = 3;
    UseScript(*page, {"30,TEST_ACTION,"});
    page->ToggleRun();
    RunTask();
    ASSERT_TRUE(DialogOpen("ScriptPrompt"));
    page->ToggleRun();
    EXPECT_FALSE(DialogOpen("ScriptPrompt"));
    EXPECT_EQ(action.ends, (std::vector<int> {1}));
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 0);
}

TEST_F(ScriptsTest, PromptWaitsForItsDialog)
{
    UseScript(*page, {"0,PROMPT,Connect input 1", "0,PROMPT,Connect input 2", "0,LOGCOMMENT,connected"});
    page->ToggleRun();
    EXPECT_TRUE(DialogOpen("ScriptPrompt"));
    EXPECT_EQ(Text(COM_SCRIPTS_PROMPT_TEXT), "Connect input 1");
    EXPECT_TRUE(store->GetCmd(COM_SCRIPTS_CONTINUE)->IsVisible());
    AdvanceSeconds(30);
    RunTask(3);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);

    // Answered (Continue).
    page->ReleaseAction();
    EXPECT_FALSE(DialogOpen("ScriptPrompt"));
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    EXPECT_TRUE(DialogOpen("ScriptPrompt"));
    EXPECT_EQ(Text(COM_SCRIPTS_PROMPT_TEXT), "Connect input 2");
    RunTask(3);
    EXPECT_EQ(CountEvents(*logger, "connected"), 0);

    // Closed with menu key 8.
    dialogs->RouteKey(kKeyPressFlag | kKeyMenu8);
    EXPECT_FALSE(DialogOpen("ScriptPrompt"));
    RunTask();
    EXPECT_EQ(CountEvents(*logger, "connected"), 1);
}

TEST_F(ScriptsTest, ActionNeverReadyTimesOutAfterTenSeconds)
{
    TestAction action;
    action.readyAfter = -1;
    UseScript(*page, {"30,TEST_ACTION,", "5,PAUSE,", "0,LOGCOMMENT,after the timeout"});
    page->ToggleRun();
    for (int second = 0; second < 10; ++second) {
        RunTask(2);
        AdvanceSeconds(1);
    }
    EXPECT_FALSE(DialogOpen("ScriptTimeout"));
    EXPECT_FALSE(debug->Contains("Timed Out"));
    RunTask();
    EXPECT_TRUE(DialogOpen("ScriptTimeout"));
    EXPECT_TRUE(debug->Contains("Timed Out waiting for action to be ready\n"));
    EXPECT_EQ(action.ends, (std::vector<int> {0}));
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);

    // The run waits while the dialog is open; nothing is counted again.
    for (int second = 0; second < 30; ++second) {
        RunTask();
        AdvanceSeconds(1);
    }
    EXPECT_EQ(page->TotalErrors(), 1u);
    EXPECT_EQ(action.ends.size(), 1u);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    dialogs->CloseWindow(dialogs->Find("ScriptTimeout"));
    RunTask(2);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    EXPECT_EQ(Value(COM_SCRIPTS_DIALOG_TIMEOUT), 5) << "the next step has its whole duration";
    AdvanceSeconds(5);
    RunTask(2);
    EXPECT_EQ(CountEvents(*logger, "after the timeout"), 1);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);
    EXPECT_EQ(action.startedAt, 0) << "never started";

    // Stopped while the timeout is shown: the dialog goes and the timeout
    // is logged.
    page->ToggleRun();
    AdvanceSeconds(10);
    RunTask();
    ASSERT_TRUE(DialogOpen("ScriptTimeout"));
    page->ToggleRun();
    EXPECT_FALSE(DialogOpen("ScriptTimeout"));
    EXPECT_EQ(CountEvents(*logger, "Script timed out waiting for an action"), 1);
}

TEST_F(ScriptsTest, TimeoutShownAtTheStopGoesIntoTheReportAndFollowsTheLogSwitch)
{
    WriteText(Paths::ReportsFolder() + "/reports.tpl.html", "<#REPORT>");
    TestAction action;
    action.readyAfter = -1;
    UseScript(*page, {"30,TEST_ACTION,"});
    Set(COM_SCRIPTS_MAKE_REPORT, 1);
    SetText(COM_SCRIPTS_REPORT_NAME, "T");
    const std::string line = "<div>Script timed out waiting for an action</div>\n";
    const std::string completed = "<div class=\"Section\">Script Completed</div>";

    for (int logging : {1, 0}) {
        SCOPED_TRACE(logging);
        Set(COM_ANLYS_LOG_ENABLE, logging);
        page->ToggleRun();
        const std::string folder = page->RunReportFolder();
        ASSERT_FALSE(folder.empty());
        AdvanceSeconds(10);
        RunTask();
        ASSERT_TRUE(DialogOpen("ScriptTimeout"));
        page->ToggleRun();
        EXPECT_FALSE(DialogOpen("ScriptTimeout"));
        // In the report whatever the switch, before the totals.
        const std::string html = ReadText(folder + "/index.html");
        ASSERT_NE(html.find(line), std::string::npos) << html;
        EXPECT_LT(html.find(line), html.find(completed)) << html;
        // In the event log only while the user's switch is on; the switch
        // stays as the user left it.
        EXPECT_EQ(CountEvents(*logger, "Script timed out waiting for an action"), 1);
        EXPECT_EQ(Value(COM_ANLYS_LOG_ENABLE), logging);
    }
}

TEST_F(ScriptsTest, ActionTimeoutWithoutItsDialogCountsOnceAndGoesOn)
{
    dialogs.reset();
    TestAction action;
    action.readyAfter = -1;
    UseScript(*page, {"30,TEST_ACTION,", "2,PAUSE,", "0,LOGCOMMENT,after the timeout"});
    page->ToggleRun();
    AdvanceSeconds(10);
    RunTask();
    EXPECT_TRUE(debug->Contains("Timed Out waiting for action to be ready\n"));
    EXPECT_EQ(page->TotalErrors(), 1u);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    RunTask(5);
    EXPECT_EQ(CountEvents(*logger, "after the timeout"), 0);
    EXPECT_EQ(page->TotalErrors(), 1u);
    AdvanceSeconds(2);
    RunTask(2);
    EXPECT_EQ(page->TotalErrors(), 1u);
    EXPECT_EQ(CountEvents(*logger, "after the timeout"), 1);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);
}

TEST_F(ScriptsTest, ActionReadyLateStartsThenAndRunsItsFullDuration)
{
    TestAction action;
    action.readyAfter = 5;
    UseScript(*page, {"3,TEST_ACTION,", "0,LOGCOMMENT,after the action"});
    const std::time_t start = clock.WallSeconds();
    page->ToggleRun();
    for (int second = 0; second < 12 && page->IsRunning(); ++second) {
        RunTask();
        AdvanceSeconds(1);
    }
    EXPECT_EQ(action.startedAt - start, 5);
    EXPECT_EQ(action.endedAt - action.startedAt, 3);
    EXPECT_EQ(action.ends, (std::vector<int> {1}));
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 0);
    EXPECT_FALSE(DialogOpen("ScriptTimeout"));
    EXPECT_EQ(CountEvents(*logger, "after the action"), 1);
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

    UseScript(*page, {"0,LOGCOMMENT,first step"});
    page->Script().archiveName = "Studio";
    page->ToggleRun();
    EXPECT_TRUE(page->IsRunning());
    EXPECT_TRUE(page->ArchivePending());
    EXPECT_EQ(Value(COM_MEMORY_BACKUP_FILELIST), 1);
    EXPECT_EQ(Value(COM_MEMORY_BACKUP_LOAD), 1);
    EXPECT_EQ(Value(289), 0);
    EXPECT_EQ(CountEvents(*logger, "first step"), 0) << "waits for the restore";

    RunTask();
    EXPECT_EQ(Value(COM_MEMORY_BACKUP_LOAD), 0);
    EXPECT_EQ(Value(289), 1);
    EXPECT_FALSE(page->ArchivePending());
    ASSERT_NE(memories->Memories().Find(3), nullptr);
    EXPECT_EQ(memories->Memories().Find(3)->name, "Studio A");
    EXPECT_EQ(CountEvents(*logger, "first step"), 1);
    RunTask();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 0);

    // A missing archive is one error with an event; the run still goes on.
    page->Script().archiveName = "Gone";
    page->ToggleRun();
    EXPECT_FALSE(page->ArchivePending());
    EXPECT_EQ(CountEvents(*logger, "Archive not found: backups/Gone.mem"), 1);
    EXPECT_EQ(page->TotalErrors(), 1u);
    EXPECT_EQ(CountEvents(*logger, "first step"), 2);
    RunTask();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_TOTAL_ERRORS), 1);

    // Stopped while the restore runs: its end starts nothing.
    page->Script().archiveName = "Studio";
    page->ToggleRun();
    ASSERT_TRUE(page->ArchivePending());
    page->ToggleRun();
    EXPECT_FALSE(page->ArchivePending());
    RunTask(2);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(CountEvents(*logger, "first step"), 2);
    EXPECT_EQ(Value(289), 1);
}

TEST_F(ScriptsTest, FirstStepWaitsForARestoreAlreadyUnderWay)
{
    TpMemory memory;
    memory.number = 3;
    memory.name = "Studio A";
    ASSERT_TRUE(WriteFileAtomic(TpMemoryFile::BackupPath("Studio"), TpMemoryFile::Format({memory})));
    memories->RefreshBackupList();
    ASSERT_EQ(ItemsText(COM_MEMORY_BACKUP_FILELIST), "Studio");

    // A restore asked for that the memories have not carried out yet.
    Set(COM_MEMORY_BACKUP_FILELIST, 0);
    Set(COM_MEMORY_BACKUP_LOAD, 1);
    UseScript(*page, {"0,LOGCOMMENT,first step", "5,PAUSE,"});
    page->Script().archiveName = "Studio";
    page->ToggleRun();
    ASSERT_TRUE(page->IsRunning());
    EXPECT_TRUE(page->ArchivePending());
    EXPECT_EQ(CountEvents(*logger, "first step"), 0) << "waits for the restore";
    EXPECT_EQ(Value(289), 0);
    EXPECT_EQ(Value(COM_MEMORY_BACKUP_LOAD), 1);

    RunTask();
    EXPECT_FALSE(page->ArchivePending());
    EXPECT_EQ(Value(289), 1);
    ASSERT_NE(memories->Memories().Find(3), nullptr);
    EXPECT_EQ(CountEvents(*logger, "first step"), 1);
    RunTask(3);
    EXPECT_EQ(CountEvents(*logger, "first step"), 1);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
}

TEST_F(ScriptsTest, StepChoiceFromOutsideCannotMoveARun)
{
    UseScript(*page, {"1,PAUSE,", "1,PAUSE,", "0,LOGCOMMENT,last step"});
    page->ToggleRun();
    // A client's choice is put back to the step being run.
    for (int32_t choice : {99, -1, 2}) {
        Set(COM_SCRIPTS_EDIT_STEP_NO, choice);
        EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0) << choice;
    }
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    AdvanceSeconds(1);
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    Set(COM_SCRIPTS_EDIT_STEP_NO, 2);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    EXPECT_EQ(CountEvents(*logger, "last step"), 0);
    AdvanceSeconds(1);
    RunTask(2);
    EXPECT_EQ(CountEvents(*logger, "last step"), 1);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_LOOPS), 1);

    // Outside a run the choice is the editor's again.
    Set(COM_SCRIPTS_EDIT_STEP_NO, 2);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 2);

    // A memory recalled by a step that holds a step number does not move
    // the run either.
    ASSERT_TRUE(store->DefineEntry(COM_SCRIPTS_EDIT_STEP_NO, kStoreValue, kStoreMemory, 0));
    TpMemory two;
    two.number = 2;
    two.values.push_back({COM_SCRIPTS_EDIT_STEP_NO, true, 2, false, ""});
    ASSERT_TRUE(memories->Memories().SetMemory(two));
    UseScript(*page, {"0,LOADMEM,2", "1,PAUSE,", "0,LOGCOMMENT,after the recall"});
    page->ToggleRun();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 1);
    EXPECT_EQ(CountEvents(*logger, "after the recall"), 0);
    AdvanceSeconds(1);
    RunTask(2);
    EXPECT_EQ(CountEvents(*logger, "after the recall"), 1);
    EXPECT_FALSE(page->IsRunning());
}

TEST_F(ScriptsTest, SelectTabSetsTheMainAndSubTabs)
{
    Set(COM_LOGGING_TAB_SELECT, 3);
    Set(COM_MAIN_TAB_SELECT, 4);
    UseScript(*page, {"1,SELECTTAB,11", "1,SELECTTAB,0", "1,SELECTTAB,9", "1,SELECTTAB,35", "1,SELECTTAB,-1",
                      "0,LOADMEM,0", "0,LOADMEM,-2", "0,LOADMEM,2"});
    ASSERT_TRUE(store->DefineEntry(COM_GEN1_PAYLOAD_ID, kStoreValue, kStoreMemory, 0));
    TpMemory two;
    two.number = 2;
    two.values.push_back({COM_GEN1_PAYLOAD_ID, true, 77, false, ""});
    ASSERT_TRUE(memories->Memories().SetMemory(two));
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
    // Beyond the table in either direction nothing is selected.
    AdvanceSeconds(1);
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 3);
    AdvanceSeconds(1);
    RunTask();
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 4);
    EXPECT_EQ(Value(COM_MAIN_TAB_SELECT), 6);
    EXPECT_EQ(Value(COM_LOGGING_TAB_SELECT), 1);

    // Memory numbers below 1 recall nothing; LOADMEM 2 recalls memory 2.
    AdvanceSeconds(1);
    RunTask(3);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 7);
    EXPECT_EQ(Value(COM_MEMORY_SEL), 1);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_MEMORY), 1);
    EXPECT_EQ(Value(COM_GEN1_PAYLOAD_ID), 77);
    EXPECT_FALSE(debug->Contains("ERROR: memory"));
    RunTask();
    EXPECT_FALSE(page->IsRunning());

    ASSERT_NE(TpScripts::ScriptTabRow(33), nullptr);
    EXPECT_STREQ(TpScripts::ScriptTabRow(33)->name, "SfpIP");
    EXPECT_EQ(TpScripts::ScriptTabRow(34)->name, nullptr);
    EXPECT_EQ(TpScripts::ScriptTabRow(35), nullptr);
    EXPECT_EQ(TpScripts::ScriptTabRow(-1), nullptr);
}

TEST_F(ScriptsTest, SaveStatusWritesOneFilePerPassIntoTheRunFolder)
{
    WriteText("scriptxmlformat.ini", "LOOPS_DONE=1732,0\n");
    SetText(COM_SCRIPTS_REPORT_NAME, "Status");
    UseScript(*page, {"0,SAVESTATUS,st", "0,SAVESTATUS,../escape", "0,SAVESTATUS,", "0,SAVEIMAGE,1,..",
                      "0,SAVEIMAGE,-1,shot"},
              2);
    page->ToggleRun();
    const std::string folder = page->RunReportFolder();
    ASSERT_EQ(folder, Paths::ReportsFolder() + "/Status-1");
    ASSERT_TRUE(FolderExists(folder));
    RunTask(12);
    ASSERT_FALSE(page->IsRunning());
    EXPECT_EQ(Value(COM_SCRIPTS_LOOPS), 2);

    // One file a pass, named with the pass; reporting off keeps the folder
    // since files are in it.
    EXPECT_TRUE(debug->Contains("Status to " + folder + "/st_1.xml\n"));
    EXPECT_TRUE(debug->Contains("Status to " + folder + "/st_2.xml\n"));
    EXPECT_NE(ReadText(folder + "/st_1.xml").find("<ZuStatus>"), std::string::npos);
    EXPECT_NE(ReadText(folder + "/st_2.xml").find("<ZuStatus>"), std::string::npos);
    EXPECT_FALSE(FileExists(folder + "/st_3.xml"));
    EXPECT_TRUE(FolderExists(folder)) << "reporting off keeps a folder with files in it";
    // Names that are empty or leave the folder write nothing.
    EXPECT_TRUE(debug->Contains("Couldn't create xml file: " + folder + "/../escape_1.xml\n"));
    EXPECT_TRUE(debug->Contains("Couldn't create xml file: " + folder + "/_2.xml\n"));
    EXPECT_TRUE(debug->Contains("ERROR: Couldn't write LCD image"));
    EXPECT_FALSE(debug->Contains("Status to " + folder + "/../escape"));
    EXPECT_FALSE(debug->Contains("Screendump to"));
    EXPECT_FALSE(FileExists(Paths::ReportsFolder() + "/escape_1.xml"));
}

TEST_F(ScriptsTest, RunWithoutReportLeavesNoEmptyFolder)
{
    SetText(COM_SCRIPTS_REPORT_NAME, "Quiet");
    UseScript(*page, {"0,LOGCOMMENT,nothing written"});
    page->ToggleRun();
    const std::string folder = page->RunReportFolder();
    ASSERT_EQ(folder, Paths::ReportsFolder() + "/Quiet-1");
    ASSERT_TRUE(FolderExists(folder));
    RunTask();
    ASSERT_FALSE(page->IsRunning());
    EXPECT_FALSE(FolderExists(folder));
    std::vector<DirEntry> entries;
    ListDirectory(Paths::ReportsFolder(), "*", entries);
    for (const DirEntry& entry : entries)
        EXPECT_FALSE(entry.isDirectory) << entry.name;
}

TEST_F(ScriptsTest, KeyPressHoldsTheRunnerForFiveTaskRuns)
{
    KeyMailbox mailbox;
    TpKeyScan keys(mailbox);
    UseScript(*page, {"1,PAUSE,", "1,PAUSE,", "1,PAUSE,"});
    page->ToggleRun();
    RunTask();
    AdvanceSeconds(1);
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
    ReentrantStatus status(*page);
    UseScript(*page, {"5,PAUSE,"});
    page->ToggleRun();
    EXPECT_GE(status.calls, 1);
    EXPECT_TRUE(page->IsRunning()) << "the stop asked during the start was ignored";
    EXPECT_EQ(Text(COM_SCRIPTS_RUN_SCRIPT), "Stop");

    const int calls = status.calls;
    page->ToggleRun();
    EXPECT_GT(status.calls, calls);
    EXPECT_FALSE(page->IsRunning()) << "the start asked during the stop was ignored";
    EXPECT_EQ(Text(COM_SCRIPTS_RUN_SCRIPT), "Run");

    // Once over, requests are heard again.
    page->ToggleRun();
    EXPECT_TRUE(page->IsRunning());
}

TEST_F(ScriptsTest, EmptyScriptOnlyResetsTheStatus)
{
    SetText(COM_SYS_STATUS, "Busy");
    Set(COM_SCRIPTS_LOOPS, 4);
    page->Script().loaded = true;
    page->ToggleRun();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(Text(COM_SYS_STATUS), "");
    EXPECT_EQ(Text(COM_SCRIPTS_RUN_SCRIPT), "Run");
    EXPECT_EQ(Value(COM_SCRIPTS_LOOPS), 4);
    EXPECT_EQ(CountEvents(*logger, "Total Errors"), 0);
}

TEST_F(ScriptsTest, RunTimeIsShownInDaysHoursAndMinutesWhateverTheTimeZone)
{
    TimeZone zone("NPT-5:45");
    UseScript(*page, {"2000000,PAUSE,"});
    page->ToggleRun();
    EXPECT_EQ(Text(COM_SCRIPTS_LOOP_TIME), "00:00:00");
    RunTask();
    EXPECT_EQ(Text(COM_SCRIPTS_LOOP_TIME), "00:00:00");
    AdvanceSeconds(86400 + 2 * 3600 + 3 * 60 + 59);
    RunTask();
    EXPECT_EQ(Text(COM_SCRIPTS_LOOP_TIME), "1d 02:03");
    AdvanceSeconds(6 * 86400);
    RunTask();
    EXPECT_EQ(Text(COM_SCRIPTS_LOOP_TIME), "MAX");
}

TEST_F(ScriptsTest, EventSwitchAndUserChoiceLastPastTheRun)
{
    UseScript(*page, {"0,SEL_USER,\"anna,bob,carl\"", "0,DISABLEEVT,", "0,LOGCOMMENT,not logged"});
    page->ToggleRun();
    EXPECT_TRUE(DialogOpen("SelectUser"));
    EXPECT_EQ(ItemsText(COM_SCRIPTS_USER_LIST), "anna\tbob\tcarl");
    EXPECT_EQ(Value(COM_SCRIPTS_USER_LIST), 0);
    RunTask(3);
    EXPECT_EQ(Value(COM_SCRIPTS_EDIT_STEP_NO), 0);
    Set(COM_SCRIPTS_USER_LIST, 1);
    dialogs->CloseWindow(dialogs->Find("SelectUser"));
    RunTask(4);
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(page->CurrentUser(), "bob");
    EXPECT_EQ(CountEvents(*logger, "not logged"), 0);
    // The totals are logged all the same, and the switch is put back.
    EXPECT_EQ(CountEvents(*logger, "Total Errors 0"), 1);
    EXPECT_EQ(Value(COM_ANLYS_LOG_ENABLE), 0);

    // The next choice starts at the current user.
    UseScript(*page, {"0,SEL_USER,\"carl,bob\""});
    page->ToggleRun();
    EXPECT_EQ(Value(COM_SCRIPTS_USER_LIST), 1);
    page->ToggleRun();
    EXPECT_FALSE(DialogOpen("SelectUser"));
}

TEST_F(ScriptsTest, ScriptsFolderIsCheckedEveryEleventhTaskRunOutsideRuns)
{
    ASSERT_TRUE(DeleteFolderForTest(Paths::ScriptsFolder()));
    const std::string message = "Couldn't stat '" + Paths::ScriptsFolder() + "'";
    RunTask();
    EXPECT_EQ(Occurrences(debug->Text(), message), 1) << "the first run checks";
    RunTask(10);
    EXPECT_EQ(Occurrences(debug->Text(), message), 1);
    RunTask();
    EXPECT_EQ(Occurrences(debug->Text(), message), 2);

    // While a run goes on the script stays as it is.
    UseScript(*page, {"100,PAUSE,"});
    page->ToggleRun();
    RunTask(22);
    EXPECT_EQ(Occurrences(debug->Text(), message), 2);
    page->ToggleRun();
    RunTask(11);
    EXPECT_EQ(Occurrences(debug->Text(), message), 3);
}
