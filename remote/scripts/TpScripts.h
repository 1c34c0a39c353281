// The scripts page: picks, creates, renames and deletes the scripts of the
// scripts folder, edits their steps, runs them step by step on the
// application thread and writes an HTML report of each run.
//
// Everything works through command ids, so a remote-control client drives a
// script exactly as the page's dialogs do: select it (COM_SCRIPTS_CURRENT_
// SCRIPT), press Run (COM_SCRIPTS_RUN_SCRIPT), answer its prompt
// (COM_SCRIPTS_CONTINUE) and read the result (COM_SCRIPTS_TOTAL_ERRORS, the
// report folder).
//
// The code is split by concern:
//   TpScripts.cpp        construction, actions, step names
//   TpScriptsEditor.cpp  change handling: the script list and the editor
//   TpScriptsRunner.cpp  the periodic task and the run control
//   TpScriptsReport.cpp  the report body, report folders, report pages and
//                        the index pages
//
// One page per application; Instance() gives it (none while there is none).
// Only the application thread uses it.
#pragma once

#include "ScriptFile.h"

#include "core/actions/TpScriptHost.h"
#include "core/store/TpCmdTable.h"
#include "core/store/TpParent.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

class TpDialog;
class TpReportList;
class TpScriptAction;
class TpCloseWindowScriptAction;

// One row of a tab table: the value for COM_MAIN_TAB_SELECT, the group of
// the sub-tab command (1 generator, 2 monitor, 3 status, 4 audio, 5 setup,
// 6 logging, 7 the eighth tab command (id 0); 0 none) and the sub-tab value.
struct ScriptTab {
    const char* name;   // none for rows without a name
    int32_t main;
    int group;
    int32_t sub;
};

// Sets one of the page's flags (busy, notifying) for a scope and then puts
// back what it was, so nested uses keep the outer setting.
class ScopedFlag {
public:
    explicit ScopedFlag(uint8_t& flag) : flag_(flag), old_(flag) { flag_ = 1; }
    ~ScopedFlag() { flag_ = old_; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    uint8_t& flag_;
    uint8_t old_;
};

class TpScripts : public TpParent, public TpScriptHost {
public:
    // Positions in the command id table the application passes.
    enum CmdIndex : int {
        kCurrentScript, kScriptName, kNewScript, kRunScript, kContinue, kDeleteScript,
        kEditStepNo, kEditStepAdd, kEditStepDelete, kMoveStepUp, kMoveStepDown,
        kEditStepTime, kEditStepFunction, kEditStepMemory, kMemorySel, kEditStepTab,
        kEditStepText, kEditStepTextLabel, kEditStepInput, kLoopForever, kLoopCount,
        kLoops, kTotalErrors, kStopOnError, kLoopTime, kTotalStepTime,
        kMemoryRecall, kMemorySave, kSysStatus, kPromptText, kDialogTimeout,
        kBackupFileList, kArchiveFile, kBackupLoad, kBackupSave, kArchiveDone,
        kLogEnable, kClearAllErrors, kCrcYErrors, kCrcCrCbErrors, kCrc422,
        kEdhApField1, kEdhApField2, kEditEnable, kSetup, kUserList, kCurrentUser,
        kEyeLocked, kMakeReport, kRenameReport, kReportName, kReportNumber,
        kResetReportNumber, kScreenDumpFile,
        kMainTab, kGeneratorTab, kMonitorTab, kStatusTab, kAudioTab, kSetupTab, kLoggingTab, kEighthTab,
        kRemoteTabSelect, kAbortYes, kAbortNo,
        kIdCount
    };
    // The instrument's ids, in CmdIndex order.
    static const uint16_t kCommandIds[kIdCount];

    static constexpr int kTaskPeriodMs = 100;
    static constexpr int kScriptTabCount = 35;   // rows of the tab table
    static constexpr int kRemoteTabCount = 42;
    static constexpr uint32_t kReadyWindowSeconds = 10;
    static constexpr uint32_t kKeyHoldRuns = 4;
    static constexpr int kRescanRuns = 11;        // folder check every eleventh task run

    explicit TpScripts(const uint16_t (&ids)[kIdCount], TpCommand* parent = nullptr);
    ~TpScripts() override;

    static TpScripts* Instance();

    // --- actions (TpScripts.cpp) -------------------------------------------------
    // Adds the action as step type 12 + the number already registered, and
    // its name as an item of the step-type list. Always 1.
    int RegisterAction(TpScriptAction* action) override;
    // An action being destroyed leaves its slot empty (none), so the types of
    // the others stay as they are.
    void ForgetAction(const TpScriptAction* action) override;
    // The registered actions by step type - 12; a slot is none once its
    // action is gone.
    const std::vector<TpScriptAction*>& Actions() const { return actions_; }
    // The action of a step type; none for a built-in type or one beyond the
    // registered actions.
    TpScriptAction* ActionOfType(int type) const;
    // The index of the action with that keyword; -1 when none has it.
    int FindActionKeyword(const std::string& keyword) const;
    // Display name of a step type: the built-in name, the action's step-list
    // name, or "???".
    std::string StepTypeName(int type) const;
    // The page's tab text for a step-list entry (index 0-34), "???" outside.
    std::string TabText(int index) const;

    static const ScriptTab* ScriptTabRow(int index);   // none outside 0-34
    static const ScriptTab* RemoteTabRow(int index);   // none outside 0-41

    // --- the script and the editor (TpScriptsEditor.cpp) ------------------------
    void OnChildChanged(TpCommand* child, int reason) override;
    // Lists the ".cmd" files of the scripts folder into the script list,
    // selects the current name (or the first), then loads it.
    void RebuildScriptList();
    // Reads the script named by COM_SCRIPTS_SCRIPT_NAME and shows it.
    void LoadScript();
    // Shows the loaded script: archive choice, memories, step list.
    void ShowScript();
    void RebuildStepList();
    // The step-list text of step i ("%d-" name ":" arguments ["%ds"]).
    std::string StepListText(int i) const;
    void ShowStepFields();
    // Copies the editor fields into the selected step and writes the script.
    void StoreStepFields();
    // Writes the current script to its file; false when nothing was written.
    bool WriteScript();
    void UpdateScriptButtons();
    void UpdateMoveButtons();
    // Enables or disables the editing commands (run start and stop, the edit
    // switch).
    void EnableEditing(bool enable);
    ScriptFile& Script() { return script_; }
    const ScriptFile& Script() const { return script_; }
    std::string ScriptName() const;

    // --- run control (TpScriptsRunner.cpp) ---------------------------------------
    void OnTask() override;
    // Starts a run when none is running, stops it otherwise.
    void ToggleRun();
    void BeginRun(int firstStep);
    void ExecuteStep(int index);
    void NextStep(int index);
    void EndRun();
    bool SelectTab(const ScriptTab& row);
    // Shows "ScriptPrompt" with text; wait shows the Continue button.
    void Prompt(const std::string& text, uint8_t wait) override;
    // Closes the prompt window when there is one.
    void ReleaseAction() override;

    bool IsRunning() const { return running_ != 0; }
    bool ArchivePending() const { return pendingFirstStep_ >= 0; }
    uint32_t TotalErrors() const { return totalErrors_; }
    int32_t CurrentStepType() const { return currentType_; }
    bool ActionReady() const { return actionReady_ != 0; }
    const std::string& CurrentUser() const { return currentUser_; }
    TpDialog* PromptWindow() const { return promptWindow_; }
    TpDialog* TimeoutWindow() const { return timeoutWindow_; }
    TpDialog* CancelWindow() const { return cancelWindow_; }

    // --- reports (TpScriptsReport.cpp) --------------------------------------------
    void AddReportSection(const std::string& text);
    // "<div>" text(number) [" " text] "</div>"; text may be none.
    void AddReportLine(unsigned textNumber, const char* text) override;
    void AddReportCount(unsigned textNumber, long count);
    void AppendReport(const std::string& text, bool wrap);
    void AddReportResult(const std::string& text, bool wrap) override;
    void AddReportStepHeading(unsigned textNumber, uint32_t seconds);
    static std::string DurationSuffix(uint32_t seconds);
    // Makes the run's report folder (reports folder + "/" + name + "-" + n).
    bool CreateRunReportFolder();
    void WriteReport();
    // Makes the scripts and reports folders when missing; tells when the
    // logo is missing.
    void CheckLogo();
    // Writes the next piece of the reports index when one is due.
    void StepReportIndex();
    void MarkReportIndex() { indexRebuild_ = 1; }

    const std::string& ReportText() const { return reportText_; }
    const std::string& ReportName() const { return reportName_; }
    const std::string& RunReportFolder() const { return runReportFolder_; }
    TpDialog* ReportDialog() const { return reportDialog_; }

private:
    friend class TpScriptsTestAccess;

    void BuildChildren();
    TpCommand* Cmd(CmdIndex index) const { return cmds_.Cmd(index); }
    uint16_t Id(CmdIndex index) const { return cmds_.Id(index); }
    // Reads and writes through the store, so every view of the id follows.
    int32_t Value(CmdIndex index) const { return cmds_.Value(index); }
    std::string Text(CmdIndex index) const { return cmds_.Text(index); }
    // The command's own setters stay reachable beside the ones by index.
    using TpParent::SetValue;
    using TpParent::SetText;
    using TpParent::SetVisible;
    using TpParent::SetEnabled;
    using TpParent::SetFocused;
    void SetValue(CmdIndex index, int32_t value) { cmds_.SetValue(index, value); }
    void SetText(CmdIndex index, const std::string& text) { cmds_.SetText(index, text); }
    void SetVisible(CmdIndex index, bool visible) { cmds_.SetVisible(index, visible); }
    void SetEnabled(CmdIndex index, bool enabled) { cmds_.SetEnabled(index, enabled); }
    void SetFocused(CmdIndex index) { cmds_.SetFocused(index); }

    // Editor handlers (TpScriptsEditor.cpp).
    void SelectScript();
    void RenameScript();
    void NewScript();
    void DeleteScript();
    void AddStep();
    void DeleteStep();
    void MoveStep(bool up);
    void EditStepField(CmdIndex field);
    void ChooseArchive();
    void ImportArchiveMemories();
    void RenameReport();
    // COM_SCRIPTS_RESET_REPORT_NUMBER pressed: the report number starts at 1
    // again.
    void ResetReportNumber();
    void TakeScreenDump();
    void SelectRemoteTab();
    // The text of the selected item of the script list; "" when none is.
    std::string SelectedScriptItem() const;
    // The index of the script list item with that text; -1 when none has it.
    int ScriptItemIndex(const std::string& name) const;
    // Selects step index (-1 none) and shows its fields, also when the
    // selection stays the same.
    void SelectStep(int index);
    // Shows the script's loop, stop-on-error and report options.
    void ShowOptions();
    // Puts a command that a client changed back to what the page holds: a
    // change while the script is locked, or a refused choice.
    void RevertLockedChange(CmdIndex index);
    // Script-changing handlers are ignored while a run or an archive
    // restore is under way.
    bool ScriptLocked() const { return running_ != 0 || pendingFirstStep_ >= 0; }
    // Takes the scripts folder's time after the page wrote into it, so its
    // own writes do not count as a change from outside.
    void AbsorbFolderTime();

    // Run helpers (TpScriptsRunner.cpp).
    void StartRun();
    void StopRun();
    std::string PassSuffix() const;
    void ShowRunTime(std::time_t now);
    void BackupRestored();

    // Change handling, one row per child that acts (TpScriptsEditor.cpp).
    struct ChildAction;
    static const ChildAction kChildActions[];
    // Run pressed: starts a run, or asks through "CancelScript" to stop it.
    void PressRun();
    // An answer of "CancelScript" (kAbortYes stops the run).
    void AnswerCancel(CmdIndex answer, int32_t value);
    void ChooseStep(int32_t step);
    void SetLoopForever(int32_t value);
    void SetLoopCount(int32_t value);
    void SetStopOnError(int32_t value);
    void SetMakeReport(int32_t value);
    // A backup was saved: its memories are offered again.
    void BackupSaved();
    void AllowEditing(int32_t value);

    // The task's parts and the steps (TpScriptsRunner.cpp).
    // Skips the task run while a key pressed during a run holds the runner.
    bool HoldForKey();
    // Rebuilds the script list when the scripts folder changed.
    void WatchScriptsFolder();
    // Times the step being run: its countdown, its action's readiness, its end.
    void TimeRunStep();
    // Asks a not yet ready action again; false while it still may become
    // ready. Once ready, its step starts anew at now.
    bool AwaitActionReady(TpScriptAction& action, const ScriptStep& step, std::time_t& now);
    // The action never became ready: the timeout dialog, one error, then
    // the next step.
    void ActionTimedOut(TpScriptAction& action, int index, std::time_t now);
    // The step's time is up: it ends, and the run moves on once it is done.
    void FinishStep(TpScriptAction* action, std::time_t now);
    // Ends the step of the current type; false while its prompt is still
    // open.
    bool EndCurrentStep(TpScriptAction* action);
    // Starts a built-in step, one per type; actions start in StartAction.
    using StepRunner = void (*)(TpScripts& page, const ScriptStep& step);
    static const StepRunner kStepRunners[kBuiltInStepCount];
    void RecallMemoryStep(const ScriptStep& step);
    void SaveStatusStep(const ScriptStep& step);
    void SelectTabStep(const ScriptStep& step);
    void SaveImageStep(const ScriptStep& step);
    void SelectUserStep(const ScriptStep& step);
    void StartActionStep(const ScriptStep& step);

    TpCmdTable cmds_;
    std::vector<TpScriptAction*> actions_;   // not owned; never shrinks (gone: none)
    ScriptFile script_;

    // Texts from the text table, fetched once.
    std::string labelFileName_;     // text 101
    std::string labelText_;         // text 102
    std::vector<std::string> builtInNames_;
    std::vector<std::string> tabTexts_;

    // The name of the script the editor loaded last: the file its changes
    // are written to.
    std::string loadedName_;
    // The name of the script whose steps the step list shows; the step
    // selection stays when the same script is shown again.
    std::string shownName_;

    // Page flags.
    uint8_t busy_ = 0;
    uint8_t editAllowed_ = 1;
    uint8_t notifying_ = 0;
    uint8_t startUp_ = 1;

    // Folder watch and task counters.
    std::time_t scriptsFolderTime_ = 0;
    int rescanCounter_ = kRescanRuns - 1;
    uint8_t archiveSelectPending_ = 0;

    // Run state.
    uint8_t running_ = 0;
    int runStep_ = 0;               // the step being run (COM_SCRIPTS_EDIT_STEP_NO shows it)
    int32_t currentType_ = -1;
    uint8_t actionReady_ = 0;
    std::time_t stepStart_ = 0;
    std::time_t runStart_ = 0;
    uint32_t totalErrors_ = 0;
    int pendingFirstStep_ = -1;     // the first step, held while an archive is restored
    TpDialog* promptWindow_ = nullptr;
    TpDialog* timeoutWindow_ = nullptr;
    TpDialog* cancelWindow_ = nullptr;
    uint8_t screenDumpPending_ = 0;
    std::string screenDumpName_;
    std::string currentUser_;

    // Report state.
    std::string reportText_;
    std::string reportName_;
    std::string runReportFolder_;
    uint8_t indexRebuild_ = 0;
    uint8_t indexInProgress_ = 0;
    std::unique_ptr<TpReportList> reportList_;
    TpDialog* reportDialog_ = nullptr;
};

// Writes the index page of the screen-dump folder at once (start-up).
void MakeScreendumpIndex();

// Clears the program-wide run state (the start/stop guard and the key hold);
// each new scripts page starts from it.
void ResetScriptRunState();
