// The run control of the scripts page: the periodic task, starting and
// stopping runs, and the steps.
//
// A run goes step by step through the current script. The runner keeps the
// step being run itself and shows it in COM_SCRIPTS_EDIT_STEP_NO; a value put
// there from outside during a run is put back, so it can neither skip steps
// nor stall the run. The step is looked up in the script every time, so a
// step that is no longer there is never run. Steps with a duration
// last that many whole seconds of wall-clock time; the task sees their end at
// its first run after it. COM_SCRIPTS_LOOPS counts the finished passes.
#include "TpScripts.h"

#include "core/actions/TpScriptAction.h"
#include "remote/web/TpXmlStatus.h"

#include "core/text/LocalTime.h"
#include "core/files/FileHelpers.h"
#include "core/text/TextTable.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "platform/Paths.h"
#include "sim/LcdImageFiles.h"
#include "system/TpMemories.h"
#include "ui/dialogs/TpDialogList.h"
#include "ui/keys/TpKeyScan.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

// Set while a start or a stop is being carried out, so the change
// notifications it causes cannot start or stop again.
uint8_t g_runGuard = 0;
// Task runs still to skip after a key press.
uint32_t g_keyHold = 0;

// name, main tab, sub-tab group, sub-tab
constexpr ScriptTab kScriptTabs[TpScripts::kScriptTabCount] = {
    {"FullScreen", -1, 0, 0},
    {"Picture", 2, 2, 1},
    {"AudioMeters", 4, 4, 1},
    {"SignalData", 2, 2, 3},
    {"Waveform", 2, 2, 4},
    {"VectorScope", 2, 2, 5},
    {"Eye", 2, 2, 6},
    {"Jitter", 2, 2, 7},
    {"Scripting", 5, 5, 2},
    {"EventLog", 6, 6, 1},
    {"Loudness", 4, 4, 2},
    {"MainMenu", 0, 0, 0},
    {"AudioStatus", 4, 4, 2},
    {"VideoStatus", 3, 3, 1},
    {"MiscStatus", 3, 3, 2},
    {"AncStatus", 3, 3, 4},
    {"Gen Video", 1, 1, 1},
    {"Gen Ref", 1, 1, 2},
    {"GenAudio1-2", 1, 1, 3},
    {"GenAudio3-4", 1, 1, 4},
    {"GenDolby", 1, 1, 5},
    {"Timing", 3, 3, 3},
    {"Anc Insp", 3, 3, 5},
    {"Dolby MetaData", 4, 4, 3},
    {"Memories", 5, 5, 1},
    {"Networking", 5, 5, 3},
    {"MiscSetup", 5, 5, 4},
    {"Utils", 5, 5, 5},
    {"Engineer", 5, 5, 6},
    {"LogSetup", 6, 6, 2},
    {"LogEyeJitSetup", 6, 6, 3},
    {"LogAncSetup", 6, 6, 4},
    {"SfpInfo", 3, 3, 6},
    {"SfpIP", 7, 0, 0},
    {nullptr, 0, 0, 0},
};

constexpr int kEventLogTab = 9;
constexpr int kTimeoutDialogText = 236;
constexpr int kLoopsText = 148;
constexpr int kErrorsText = 145;
constexpr int kArchiveMissingText = 67;
constexpr size_t kMaxUserName = 999;

// Whole seconds from start to now; 0 when the clock went back.
uint32_t SecondsSince(std::time_t now, std::time_t start)
{
    return now > start ? static_cast<uint32_t>(now - start) : 0;
}

std::time_t Now()
{
    return CurrentClock().WallSeconds();
}

// The head of the id's chain: the command the dialogs show (items and their
// enabled flags live there).
TpCommand* HeadCommand(uint16_t id)
{
    TpStore* store = TpStore::Instance();
    return id != 0 && store != nullptr ? store->GetCmd(id) : nullptr;
}

} // namespace

void ResetScriptRunState()
{
    g_runGuard = 0;
    g_keyHold = 0;
}

const ScriptTab* TpScripts::ScriptTabRow(int index)
{
    if (index < 0 || index >= kScriptTabCount)
        return nullptr;
    return &kScriptTabs[index];
}

// --- the periodic task ----------------------------------------------------------

void TpScripts::OnTask()
{
    if (HoldForKey())
        return;
    WatchScriptsFolder();
    StepReportIndex();
    if (archiveSelectPending_ != 0 && Cmd(kArchiveFile)->GetItemCount() > 0) {
        ShowScript();
        archiveSelectPending_ = 0;
    }
    if (running_ != 0 && pendingFirstStep_ < 0)
        TimeRunStep();
}

bool TpScripts::HoldForKey()
{
    // A key pressed during a run holds the runner for this and the next
    // kKeyHoldRuns task runs.
    if (running_ != 0) {
        if (TpKeyScan::TakeKeyEvent()) {
            g_keyHold = kKeyHoldRuns;
            return true;
        }
    } else {
        TpKeyScan::ClearKeyEvent();
    }
    if (g_keyHold == 0)
        return false;
    --g_keyHold;
    return true;
}

void TpScripts::WatchScriptsFolder()
{
    // The scripts folder is looked at every kRescanRuns-th run, the first run
    // included. While a run or a restore is under way the script must not
    // change under it: the check waits until it is over.
    if (rescanCounter_ < kRescanRuns - 1) {
        ++rescanCounter_;
        return;
    }
    rescanCounter_ = 0;
    if (!ScriptLocked() && FileTimeChanged(Paths::ScriptsFolder(), scriptsFolderTime_) != 0) {
        RebuildScriptList();
        if (!script_.archiveName.empty() && Cmd(kArchiveFile)->GetItemCount() == 0)
            archiveSelectPending_ = 1;
    }
}

void TpScripts::TimeRunStep()
{
    const int index = runStep_;
    const ScriptStep* step = script_.Step(index);
    const uint32_t duration = step != nullptr && step->HasDuration() ? step->number : 0;

    std::time_t now = Now();
    ShowRunTime(now);
    SetVisible(kDialogTimeout, duration != 0);
    if (duration != 0) {
        const uint32_t elapsed = SecondsSince(now, stepStart_);
        SetValue(kDialogTimeout, elapsed < duration ? static_cast<int32_t>(duration - elapsed) : 0);
    }

    // Once an action has timed out it is not asked again: the step only
    // waits for the timeout dialog to close.
    TpScriptAction* action = ActionOfType(currentType_);
    if (action != nullptr && actionReady_ == 0 && step != nullptr && timeoutWindow_ == nullptr &&
        !AwaitActionReady(*action, *step, now))
        return;
    if (step == nullptr)
        return;
    if (action != nullptr && actionReady_ == 0)
        ActionTimedOut(*action, index, now);
    else if (duration == 0 || SecondsSince(now, stepStart_) >= duration)
        FinishStep(action, now);
}

bool TpScripts::AwaitActionReady(TpScriptAction& action, const ScriptStep& step, std::time_t& now)
{
    // An action that is not ready yet is asked again on every run; it has
    // kReadyWindowSeconds to become ready.
    const uint32_t elapsed = SecondsSince(now, stepStart_);
    if (action.CheckReady(elapsed) == 1) {
        actionReady_ = 1;
        now = Now();
        stepStart_ = now;
        action.StartAction(step);
        return true;
    }
    return elapsed >= kReadyWindowSeconds;
}

void TpScripts::ActionTimedOut(TpScriptAction& action, int index, std::time_t now)
{
    if (timeoutWindow_ != nullptr) {
        if (IsWindowOpen(timeoutWindow_))
            return;
        timeoutWindow_ = nullptr;
        // The next step gets its whole duration.
        stepStart_ = now;
        NextStep(index);
        return;
    }
    timeoutWindow_ = ShowDialog("ScriptTimeout");
    DebugPrintf("Timed Out waiting for action to be ready\n");
    action.EndAction(actionReady_);
    ++totalErrors_;
    SetValue(kTotalErrors, static_cast<int32_t>(totalErrors_));
    if (Value(kStopOnError) != 0)
        EndRun();
    // Without the dialog there is nothing to wait for: the error is
    // counted once and the run goes on.
    if (timeoutWindow_ == nullptr && running_ != 0) {
        stepStart_ = now;
        NextStep(index);
    }
}

void TpScripts::FinishStep(TpScriptAction* action, std::time_t now)
{
    if (screenDumpPending_ != 0) {
        SaveScriptScreenDump(screenDumpName_);
        screenDumpPending_ = 0;
    }
    SetVisible(kDialogTimeout, false);
    stepStart_ = now;
    const bool done = EndCurrentStep(action);
    SetValue(kTotalErrors, static_cast<int32_t>(totalErrors_));
    if (done && running_ != 0)
        NextStep(runStep_);
}

bool TpScripts::EndCurrentStep(TpScriptAction* action)
{
    if (currentType_ == kStepPrompt)
        return !IsWindowOpen(promptWindow_);
    if (currentType_ == kStepSelUser) {
        if (IsWindowOpen(promptWindow_))
            return false;
        const int32_t sel = Value(kUserList);
        const TpCommand* users = Cmd(kUserList);
        currentUser_ = sel >= 0 && sel < users->GetItemCount() ? users->GetItemText(sel) : std::string();
        return true;
    }
    if (action != nullptr && action->EndAction(actionReady_) != 0) {
        ++totalErrors_;
        if (Value(kStopOnError) != 0)
            EndRun();
    }
    return true;
}

// --- starting and stopping ------------------------------------------------------

void TpScripts::ToggleRun()
{
    if (running_ == 0)
        StartRun();
    else
        StopRun();
}

void TpScripts::StartRun()
{
    screenDumpPending_ = 0;
    if (g_runGuard != 0)
        return;
    running_ = 1;
    g_runGuard = 1;

    runStep_ = 0;
    SetValue(kEditStepNo, 0);
    SetValue(kRunScript, 0);

    if (script_.StepCount() == 0) {
        running_ = 0;
        SetText(kSysStatus, "");
        g_runGuard = 0;
        return;
    }

    SetText(kRunScript, "Stop");
    SetEnabled(kEditStepNo, false);
    EnableEditing(false);
    SetEnabled(kCurrentScript, false);
    SetEnabled(kNewScript, false);
    SetEnabled(kDeleteScript, false);

    totalErrors_ = 0;
    pendingFirstStep_ = -1;
    timeoutWindow_ = nullptr;
    SetValue(kTotalErrors, 0);

    // The archive named by the script, in the backup list.
    const std::string archive = script_.archiveName;
    int archiveIndex = -1;
    if (!archive.empty()) {
        archiveIndex = Cmd(kArchiveFile)->FindItemText(archive);
        if (archiveIndex < 0) {
            AddEvent(kEventError, kArchiveMissingText, "backups/" + archive + ".mem");
            ++totalErrors_;
        }
    }

    // The folder is there before anything of the run can write into it, the
    // restore's end included.
    CreateRunReportFolder();

    const bool restoring = archiveIndex >= 0 && !archive.empty();
    if (archiveIndex >= 0)
        SetValue(kBackupFileList, archiveIndex);
    if (restoring) {
        // COM_MEMORY_BACKUP_LOAD may still be 1 from a restore asked for
        // earlier; its fall to 0 here must not start the run, so the first
        // step is held only after it and starts once this restore is done.
        SetValue(kBackupLoad, 0);
        pendingFirstStep_ = 0;
        SetValue(kArchiveDone, 0);
        SetValue(kBackupLoad, 1);
    } else {
        BeginRun(0);
    }

    SetText(kSysStatus, "Script");
    g_runGuard = 0;
}

void TpScripts::StopRun()
{
    if (g_runGuard != 0)
        return;
    g_runGuard = 1;
    running_ = 0;
    // A restore still under way no longer starts anything.
    pendingFirstStep_ = -1;
    runStep_ = 0;
    SetValue(kEditStepNo, 0);
    SetValue(kRunScript, 0);

    if (promptWindow_ != nullptr && IsWindowOpen(promptWindow_)) {
        ReleaseAction();
        if (TpScriptAction* action = ActionOfType(currentType_))
            action->EndAction(actionReady_);
    }

    SetText(kRunScript, "Run");
    SetEnabled(kEditStepNo, true);
    EnableEditing(editAllowed_ != 0);
    UpdateScriptButtons();

    // The run's totals are logged whatever the logging switch says.
    const int32_t logEnable = Value(kLogEnable);
    SetValue(kLogEnable, 1);
    if (script_.loopForever || script_.loopCount > 1)
        LogEventLong(nullptr, kEventInfo, kLoopsText, Value(kLoops));
    DebugPrintf("TotalErrorCount=%d\n", static_cast<int>(totalErrors_));
    SetValue(kTotalErrors, static_cast<int32_t>(totalErrors_));
    if (totalErrors_ != 0) {
        if (const ScriptTab* row = ScriptTabRow(kEventLogTab))
            SelectTab(*row);
    }
    LogEventInt(nullptr, kEventInfo, kErrorsText, static_cast<int>(totalErrors_));

    // A timeout still shown belongs to this run's report, so its line goes
    // in before the report is written.
    const bool timedOut = timeoutWindow_ != nullptr && IsWindowOpen(timeoutWindow_);
    if (timedOut)
        AddReportLine(kTimeoutDialogText, nullptr);

    if (Value(kMakeReport) == 0) {
        // Without a report only an empty folder goes: the status files and
        // screen dumps the steps wrote stay.
        if (!runReportFolder_.empty())
            ::rmdir(runReportFolder_.c_str());
    } else {
        WriteReport();
    }

    SetValue(kLogEnable, logEnable);
    SetVisible(kDialogTimeout, false);

    // Its event follows the user's logging switch again.
    if (timedOut) {
        if (IsWindowOpen(timeoutWindow_))
            CloseDialog(timeoutWindow_);
        LogEvent(nullptr, kEventError, kTimeoutDialogText, nullptr);
    }
    timeoutWindow_ = nullptr;

    SetText(kSysStatus, "");
    g_runGuard = 0;
}

void TpScripts::BeginRun(int firstStep)
{
    pendingFirstStep_ = -1;
    runStart_ = Now();
    SetValue(kLoops, 0);
    SetText(kLoopTime, "00:00:00");
    stepStart_ = runStart_;
    runStep_ = firstStep;
    SetValue(kEditStepNo, firstStep);
    ExecuteStep(firstStep);
}

void TpScripts::BackupRestored()
{
    SetValue(kArchiveDone, 1);
    // The restore may have brought backups the list does not show yet.
    for (TpCommand* c = HeadCommand(Id(kBackupFileList)); c != nullptr; c = c->NextInChain()) {
        if (auto* memories = dynamic_cast<TpMemories*>(c->Parent())) {
            memories->RefreshBackupList();
            break;
        }
    }
    if (pendingFirstStep_ < 0)
        return;
    const int first = pendingFirstStep_;
    pendingFirstStep_ = -1;
    if (running_ == 0)
        return;
    if (script_.Step(first) == nullptr) {
        // The step waited for is gone: there is nothing left to run.
        ToggleRun();
        return;
    }
    RebuildStepList();
    BeginRun(first);
}

// --- steps ------------------------------------------------------------------------

std::string TpScripts::PassSuffix() const
{
    if (!script_.loopForever && script_.loopCount <= 1)
        return std::string();
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "_%ld", static_cast<long>(Value(kLoops)) + 1);
    return suffix;
}

void TpScripts::ShowRunTime(std::time_t now)
{
    SetText(kLoopTime, FormatElapsedTime(now, runStart_));
}

// The built-in steps, by type. Steps with a duration need nothing more at
// their start: the task ends them.
const TpScripts::StepRunner TpScripts::kStepRunners[kBuiltInStepCount] = {
    [](TpScripts& p, const ScriptStep& s) { p.RecallMemoryStep(s); },                       // LOADMEM
    [](TpScripts& p, const ScriptStep& s) { p.Prompt(s.text, 1); },                         // PROMPT
    [](TpScripts& p, const ScriptStep&) { if (p.Value(kLoops) == 0) p.ClearEventLog(); },   // CLEARLOG, first pass only
    [](TpScripts& p, const ScriptStep&) { p.SetValue(kLogEnable, 0); },                     // DISABLEEVT
    [](TpScripts& p, const ScriptStep&) { p.SetValue(kLogEnable, 1); },                     // ENABLEEVT
    [](TpScripts& p, const ScriptStep&) { p.SetValue(kClearAllErrors, 1); },                // CLEARERRORS
    [](TpScripts& p, const ScriptStep& s) {                                                 // LOGCOMMENT
        LogEvent(nullptr, kEventInfo, 0, s.text.c_str());
        p.AddReportSection(s.text);
    },
    [](TpScripts&, const ScriptStep&) {},                                                   // PAUSE
    [](TpScripts& p, const ScriptStep& s) { p.SaveStatusStep(s); },                         // SAVESTATUS
    [](TpScripts& p, const ScriptStep& s) { p.SelectTabStep(s); },                          // SELECTTAB
    [](TpScripts& p, const ScriptStep& s) { p.SaveImageStep(s); },                          // SAVEIMAGE
    [](TpScripts& p, const ScriptStep& s) { p.SelectUserStep(s); },                         // SEL_USER
};

void TpScripts::ExecuteStep(int index)
{
    const ScriptStep* found = script_.Step(index);
    if (found == nullptr)
        return;
    // A step may change the script through the notifications it causes;
    // work on a copy.
    const ScriptStep step = *found;
    currentType_ = step.type;
    actionReady_ = 0;
    if (step.type >= 0 && step.type < kBuiltInStepCount)
        kStepRunners[step.type](*this, step);
    else
        StartActionStep(step);
}

void TpScripts::RecallMemoryStep(const ScriptStep& step)
{
    if (step.numeric < 1)
        return;
    {
        ScopedFlag busy(busy_);
        SetValue(kEditStepMemory, step.numeric - 1);
        SetValue(kMemorySel, step.numeric - 1);
    }
    SetValue(kMemoryRecall, 1);
}

void TpScripts::SaveStatusStep(const ScriptStep& step)
{
    const std::string xmlPath = runReportFolder_ + "/" + step.text + PassSuffix() + ".xml";
    TpStore* store = TpStore::Instance();
    if (!ValidScriptName(step.text) || runReportFolder_.empty() || store == nullptr) {
        DebugPrintf("Couldn't create xml file: %s\n", xmlPath.c_str());
        return;
    }
    DebugChatty("\nStatus to %s\n", xmlPath.c_str());
    const std::string name = ScriptName();
    std::string layout = Paths::ScriptsFolder() + "/" + name + ".ini";
    if (!ValidScriptName(name) || FileExists(layout) == 0)
        layout = "scriptxmlformat.ini";
    TpXmlStatus status;
    status.Write(xmlPath, layout, *store);
    AddReportSection("Save Status");
    AppendReport(status.Table(), false);
}

void TpScripts::SelectTabStep(const ScriptStep& step)
{
    const ScriptTab* row = ScriptTabRow(step.numeric);
    if (row == nullptr)
        return;
    SelectTab(*row);
    if (row->name != nullptr) {
        char section[64];
        std::snprintf(section, sizeof section, "Tab Selected=%s", row->name);
        AddReportSection(section);
    }
}

void TpScripts::SaveImageStep(const ScriptStep& step)
{
    const std::string suffix = PassSuffix();
    const std::string name = runReportFolder_ + "/" + step.text + suffix;
    if (!ValidScriptName(step.text) || runReportFolder_.empty()) {
        DebugPrintf("ERROR: Couldn't write LCD image %s\n", Paths::MapInstrumentPath(name + ".bmp").c_str());
        return;
    }
    const ScriptTab* row = ScriptTabRow(step.numeric);
    if (row == nullptr || !SelectTab(*row))
        return;
    DebugPrintf("\nScreendump to %s\n", step.text.c_str());
    // The dump is taken when the step ends, once the tab is drawn.
    screenDumpPending_ = 1;
    screenDumpName_ = name;
    const TpCommand* tabs = HeadCommand(Id(kEditStepTab));
    AddReportSection(tabs != nullptr ? tabs->GetItemText(step.numeric) : std::string());
    if (Value(kMakeReport) != 0)
        AppendReport("<IMG src=\"" + step.text + suffix + ".bmp\">", false);
}

void TpScripts::SelectUserStep(const ScriptStep& step)
{
    if (step.text.empty())
        return;
    TpCommand* users = Cmd(kUserList);
    users->ClearItemsAll();
    int selected = 0;
    int count = 0;
    size_t start = 0;
    while (start <= step.text.size()) {
        size_t comma = step.text.find(',', start);
        if (comma == std::string::npos)
            comma = step.text.size();
        const std::string user = step.text.substr(start, std::min(comma - start, kMaxUserName));
        start = comma + 1;
        // "a,,b" or a trailing comma would offer a user without a name.
        if (user.empty())
            continue;
        users->AddItemAll(user, 0);
        if (user == currentUser_)
            selected = count;
        ++count;
    }
    SetValue(kUserList, selected);
    promptWindow_ = ShowDialog("SelectUser");
}

void TpScripts::StartActionStep(const ScriptStep& step)
{
    TpScriptAction* action = ActionOfType(step.type);
    if (action == nullptr) {
        DebugPrintf("Unknown step type: %u\n", static_cast<unsigned>(step.type));
        return;
    }
    actionReady_ = action->CheckReady(0) != 0 ? 1 : 0;
    if (actionReady_ != 0)
        action->StartAction(step);
    AddReportStepHeading(action->DescriptorText(TpScriptAction::kPrompt), step.HasDuration() ? step.number : 0);
}

void TpScripts::NextStep(int index)
{
    int next = 0;
    if (script_.loaded && index + 1 >= 0 && index + 1 < script_.StepCount()) {
        next = index + 1;
    } else {
        const int32_t passes = Value(kLoops) + 1;
        if (!script_.loopForever && passes >= script_.loopCount)
            EndRun();
        else
            SetValue(kLoops, passes);
    }
    runStep_ = next;
    SetValue(kEditStepNo, next);
    if (running_ != 0)
        ExecuteStep(next);
}

void TpScripts::EndRun()
{
    // Only a run can end; this never starts one.
    if (running_ == 0)
        return;
    if (totalErrors_ != 0 && Value(kStopOnError) != 0) {
        AddReportSection("Script Aborted!");
        AddReportResult("Script stopped due to errors", true);
    }
    SetValue(kLoops, Value(kLoops) + 1);
    ToggleRun();
    SetVisible(kDialogTimeout, false);
    SetFocused(kRunScript);
}

// --- tabs and prompts ----------------------------------------------------------------

bool TpScripts::SelectTab(const ScriptTab& row)
{
    SetValue(kMainTab, row.main);
    if (row.group < 1 || row.group > 7)
        return true;
    const CmdIndex sub = static_cast<CmdIndex>(kGeneratorTab + row.group - 1);
    const TpCommand* tabs = HeadCommand(Id(sub));
    if (tabs != nullptr && tabs->GetItemEnabled(row.sub)) {
        SetValue(sub, row.sub);
        return true;
    }
    return row.main == -1;
}

void TpScripts::Prompt(const std::string& text, uint8_t wait)
{
    SetVisible(kContinue, wait == 1);
    SetFocused(wait == 1 ? kContinue : kRunScript);
    SetText(kPromptText, text);
    promptWindow_ = ShowDialog("ScriptPrompt");
}

void TpScripts::ReleaseAction()
{
    if (promptWindow_ != nullptr) {
        CloseDialog(promptWindow_);
        promptWindow_ = nullptr;
    }
    SetFocused(kRunScript);
}
