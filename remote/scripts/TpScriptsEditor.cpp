// Change handling of the scripts page: the script list and the editor.
#include "TpScripts.h"

#include "core/actions/TpScriptAction.h"

#include "core/files/FileHelpers.h"
#include "core/text/TextTable.h"
#include "core/commands/TpDirList.h"
#include "core/memories/TpMemoryFile.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "sim/LcdImageFiles.h"
#include "ui/widgets/TpComboBox.h"
#include "ui/dialogs/TpDialogList.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <cstdio>
#include <memory>

namespace {

// The tabs of COM_REMOTE_TAB_SELECT, one row per value 0-41.
// name (none), main tab value, group of the sub-tab command, sub-tab value
constexpr ScriptTab kRemoteTabs[TpScripts::kRemoteTabCount] = {
    {nullptr, -1, 0, 0}, {nullptr, 0, 0, 0},
    {nullptr, 1, 1, 1}, {nullptr, 1, 1, 2}, {nullptr, 1, 1, 3}, {nullptr, 1, 1, 4}, {nullptr, 1, 1, 5},
    {nullptr, -1, 0, 0}, {nullptr, -1, 0, 0},
    {nullptr, 2, 2, 1}, {nullptr, 3, 3, 3},
    {nullptr, 2, 2, 3}, {nullptr, 2, 2, 4}, {nullptr, 2, 2, 5}, {nullptr, 2, 2, 6}, {nullptr, 2, 2, 7},
    {nullptr, 3, 3, 1}, {nullptr, 3, 3, 2}, {nullptr, -1, 0, 0}, {nullptr, 3, 3, 5}, {nullptr, 3, 3, 4},
    {nullptr, -1, 0, 0},
    {nullptr, 4, 4, 1}, {nullptr, 4, 4, 2}, {nullptr, 4, 4, 3}, {nullptr, 4, 4, 4},
    {nullptr, 4, 0, 5}, {nullptr, 4, 0, 6}, {nullptr, 4, 0, 7},
    {nullptr, 5, 5, 1}, {nullptr, 5, 5, 2}, {nullptr, 5, 5, 3}, {nullptr, 5, 5, 4}, {nullptr, 5, 5, 5},
    {nullptr, 5, 5, 6},
    {nullptr, -1, 0, 0},
    {nullptr, 6, 6, 1}, {nullptr, 6, 6, 2}, {nullptr, 6, 6, 3}, {nullptr, 6, 6, 4},
    {nullptr, -1, 0, 0}, {nullptr, 4, 4, 5},
};

// The step types whose value a flagged type choice gives a fixed duration.
constexpr int32_t kTimedCheckTypes[] = {17, 18};
constexpr int32_t kTimedCheckSeconds = 2;

// The command at the head of the id's chain, whose items the views show;
// the command itself outside the store.
const TpCommand* ShownCommand(const TpCommand* cmd)
{
    TpStore* store = cmd->IsInStore() ? TpStore::Instance() : nullptr;
    const TpCommand* head = store != nullptr ? store->GetCmd(cmd->CmdId()) : nullptr;
    return head != nullptr ? head : cmd;
}

// A step text lives on one line of the script file; line breaks would make
// lines of their own.
std::string OneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

int32_t ToValue(uint32_t number)
{
    return number > static_cast<uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(number);
}

} // namespace

const ScriptTab* TpScripts::RemoteTabRow(int index)
{
    if (index < 0 || index >= kRemoteTabCount)
        return nullptr;
    return &kRemoteTabs[index];
}

namespace {

// When a child's change is acted upon.
enum ChildGuard : uint8_t {
    kAlways,      // whatever the page is doing
    kUnlocked,    // not during a run or a restore (ignored then)
    kEditField,   // not while the page sets it itself; put back during a run or a restore
};

} // namespace

// One row per child whose change the page acts upon; a change that no row
// matches does nothing. The lambdas take (page, child, its value).
struct TpScripts::ChildAction {
    CmdIndex child;
    int reason;   // kReasonValue or kReasonText
    ChildGuard guard;
    void (*act)(TpScripts& page, CmdIndex child, int32_t value);
};

// child, reason, guard, what it does
const TpScripts::ChildAction TpScripts::kChildActions[] = {
    {kCurrentScript, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SelectScript(); }},
    {kScriptName, kReasonText, kEditField, [](auto& p, auto, auto) { p.RenameScript(); }},
    {kNewScript, kReasonValue, kUnlocked, [](auto& p, auto, auto) { p.NewScript(); }},
    {kDeleteScript, kReasonValue, kUnlocked, [](auto& p, auto, auto) { p.DeleteScript(); }},
    {kRunScript, kReasonValue, kAlways, [](auto& p, auto, auto) { p.PressRun(); }},
    {kAbortYes, kReasonValue, kAlways, [](auto& p, auto c, auto v) { p.AnswerCancel(c, v); }},
    {kAbortNo, kReasonValue, kAlways, [](auto& p, auto c, auto v) { p.AnswerCancel(c, v); }},
    {kContinue, kReasonValue, kAlways, [](auto& p, auto, auto) { p.ReleaseAction(); }},
    {kEditStepNo, kReasonValue, kAlways, [](auto& p, auto, auto v) { p.ChooseStep(v); }},
    {kEditStepAdd, kReasonValue, kUnlocked, [](auto& p, auto, auto) { p.AddStep(); }},
    {kEditStepDelete, kReasonValue, kUnlocked, [](auto& p, auto, auto) { p.DeleteStep(); }},
    {kMoveStepUp, kReasonValue, kUnlocked, [](auto& p, auto, auto) { p.MoveStep(true); }},
    {kMoveStepDown, kReasonValue, kUnlocked, [](auto& p, auto, auto) { p.MoveStep(false); }},
    {kEditStepTime, kReasonValue, kEditField, [](auto& p, auto c, auto) { p.EditStepField(c); }},
    {kEditStepFunction, kReasonValue, kEditField, [](auto& p, auto c, auto) { p.EditStepField(c); }},
    {kEditStepMemory, kReasonValue, kEditField, [](auto& p, auto c, auto) { p.EditStepField(c); }},
    {kEditStepTab, kReasonValue, kEditField, [](auto& p, auto c, auto) { p.EditStepField(c); }},
    {kEditStepText, kReasonText, kEditField, [](auto& p, auto c, auto) { p.EditStepField(c); }},
    {kLoopForever, kReasonValue, kEditField, [](auto& p, auto, auto v) { p.SetLoopForever(v); }},
    {kLoopCount, kReasonValue, kEditField, [](auto& p, auto, auto v) { p.SetLoopCount(v); }},
    {kStopOnError, kReasonValue, kEditField, [](auto& p, auto, auto v) { p.SetStopOnError(v); }},
    {kMakeReport, kReasonValue, kEditField, [](auto& p, auto, auto v) { p.SetMakeReport(v); }},
    {kArchiveFile, kReasonValue, kEditField, [](auto& p, auto, auto) { p.ChooseArchive(); }},
    {kBackupLoad, kReasonValue, kAlways, [](auto& p, auto, auto v) { if (v == 0) p.BackupRestored(); }},
    {kBackupSave, kReasonValue, kAlways, [](auto& p, auto, auto) { p.BackupSaved(); }},
    {kRenameReport, kReasonValue, kAlways, [](auto& p, auto, auto v) { if (v != 0) p.RenameReport(); }},
    {kResetReportNumber, kReasonValue, kAlways, [](auto& p, auto, auto v) { if (v != 0) p.ResetReportNumber(); }},
    {kUserList, kReasonText, kAlways, [](auto& p, auto c, auto) { p.currentUser_ = p.Cmd(c)->GetText(); }},
    {kCurrentUser, kReasonText, kAlways, [](auto& p, auto c, auto) { p.currentUser_ = p.Cmd(c)->GetText(); }},
    {kScreenDumpFile, kReasonValue, kAlways, [](auto& p, auto, auto v) { if (v == 1) p.TakeScreenDump(); }},
    {kRemoteTabSelect, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SelectRemoteTab(); }},
    // The display no longer shows what a remote tab selection chose.
    {kMainTab, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SetValue(kRemoteTabSelect, -1); }},
    {kGeneratorTab, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SetValue(kRemoteTabSelect, -1); }},
    {kMonitorTab, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SetValue(kRemoteTabSelect, -1); }},
    {kStatusTab, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SetValue(kRemoteTabSelect, -1); }},
    {kAudioTab, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SetValue(kRemoteTabSelect, -1); }},
    {kSetupTab, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SetValue(kRemoteTabSelect, -1); }},
    {kLoggingTab, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SetValue(kRemoteTabSelect, -1); }},
    {kEighthTab, kReasonValue, kAlways, [](auto& p, auto, auto) { p.SetValue(kRemoteTabSelect, -1); }},
    {kEditEnable, kReasonValue, kAlways, [](auto& p, auto, auto v) { p.AllowEditing(v); }},
};

void TpScripts::OnChildChanged(TpCommand* child, int reason)
{
    if (notifying_ != 0 || child == nullptr)
        return;
    for (const ChildAction& row : kChildActions) {
        if (Cmd(row.child) != child || row.reason != reason)
            continue;
        if (row.guard == kEditField && busy_ != 0)
            return;
        if (row.guard != kAlways && ScriptLocked()) {
            if (row.guard == kEditField)
                RevertLockedChange(row.child);
            return;
        }
        row.act(*this, row.child, child->GetValue());
        return;
    }
}

void TpScripts::PressRun()
{
    // A run stops only once the "CancelScript" dialog confirms it.
    if (!IsRunning())
        ToggleRun();
    else
        cancelWindow_ = ShowDialog("CancelScript");
}

void TpScripts::AnswerCancel(CmdIndex answer, int32_t value)
{
    if (value == 0)
        return;
    if (answer == kAbortYes && IsRunning())
        ToggleRun();
    if (cancelWindow_ != nullptr) {
        CloseDialog(cancelWindow_);
        cancelWindow_ = nullptr;
    }
    ScopedFlag quiet(notifying_);
    SetValue(answer, 0);
}

void TpScripts::ChooseStep(int32_t step)
{
    // During a run the list shows the runner's step; a choice from outside
    // (a client, a memory recall) is put back.
    if (ScriptLocked() && step != runStep_) {
        RevertLockedChange(kEditStepNo);
        return;
    }
    ShowStepFields();
    UpdateMoveButtons();
}

void TpScripts::SetLoopForever(int32_t value)
{
    script_.loopForever = value != 0;
    SetVisible(kLoopCount, !script_.loopForever);
    WriteScript();
}

void TpScripts::SetLoopCount(int32_t value)
{
    // A count below 1 would be written as the loop-forever line.
    script_.loopCount = std::max<int32_t>(value, 1);
    if (script_.loopCount != value) {
        ScopedFlag busy(busy_);
        SetValue(kLoopCount, script_.loopCount);
    }
    WriteScript();
}

void TpScripts::SetStopOnError(int32_t value)
{
    script_.stopOnError = value != 0;
    WriteScript();
}

void TpScripts::SetMakeReport(int32_t value)
{
    script_.report = value != 0;
    WriteScript();
}

void TpScripts::BackupSaved()
{
    ImportArchiveMemories();
    RebuildStepList();
}

void TpScripts::AllowEditing(int32_t value)
{
    editAllowed_ = value != 0 ? 1 : 0;
    // A run keeps the editing commands off; its end applies the switch.
    if (ScriptLocked())
        return;
    EnableEditing(editAllowed_ != 0);
    UpdateScriptButtons();
    UpdateMoveButtons();
}

void TpScripts::RebuildScriptList()
{
    TpDirList dir;
    dir.ListFiles(Paths::ScriptsFolder() + "/*.cmd");
    TpCommand* list = Cmd(kCurrentScript);
    int index = dir.FillCommandItems(list, ScriptName());
    startUp_ = 0;

    if (ScriptLocked()) {
        // Only the list changes: the script being run stays loaded.
        {
            ScopedFlag quiet(notifying_);
            SetValue(kCurrentScript, index);
        }
        UpdateScriptButtons();
        return;
    }

    if (index < 0 && list->GetItemCount() > 0)
        index = 0;
    {
        ScopedFlag quiet(notifying_);
        SetValue(kCurrentScript, index);
    }
    {
        ScopedFlag busy(busy_);
        if (index >= 0) {
            SetText(kScriptName, list->GetItemText(index));
        } else {
            SetText(kScriptName, std::string());
            script_.ClearSteps();
        }
    }
    UpdateScriptButtons();
    LoadScript();
}

void TpScripts::LoadScript()
{
    // A run keeps its script.
    if (ScriptLocked())
        return;
    const std::string name = ScriptName();
    bool read = false;
    {
        ScopedFlag busy(busy_);
        read = ValidScriptName(name) && script_.Read(ScriptPath(name));
    }
    loadedName_ = name;
    if (!read) {
        // Shown empty and not loaded, so nothing of the script shown before
        // is ever written under this name.
        if (!name.empty())
            DebugPrintf("Couldn't read script %s\n", name.c_str());
        script_.ClearSteps();
        script_.loopForever = false;
        script_.stopOnError = false;
        script_.report = false;
        script_.loopCount = 1;
        script_.archiveName.clear();
    }
    ShowScript();
}

void TpScripts::ShowScript()
{
    int archive = -1;
    if (!script_.archiveName.empty())
        archive = Cmd(kArchiveFile)->FindItemText(script_.archiveName);
    {
        ScopedFlag busy(busy_);
        SetValue(kArchiveFile, archive);
    }
    ImportArchiveMemories();
    // During a run the step selection is the runner's.
    if (ScriptLocked())
        return;
    // The same script shown again (a folder rescan, its archive found later)
    // keeps the step being edited while that step is still there.
    const int selected = Value(kEditStepNo);
    const bool same = !loadedName_.empty() && loadedName_ == shownName_;
    shownName_ = loadedName_;
    RebuildStepList();
    if (same && script_.loaded && script_.Step(selected) != nullptr) {
        SelectStep(selected);
    } else {
        SelectStep(-1);
        if (script_.loaded && script_.StepCount() > 0)
            SetValue(kEditStepNo, 0);
    }
    UpdateMoveButtons();
    SetValue(kTotalStepTime, ToValue(script_.TotalStepTime()));
}

void TpScripts::RebuildStepList()
{
    TpCommand* list = Cmd(kEditStepNo);
    list->ClearItemsAll();
    const int count = script_.loaded ? script_.StepCount() : 0;
    for (int i = 0; i < count; ++i)
        list->AddItemAll(StepListText(i));
    // A run keeps the list and the step buttons off until it ends.
    const bool open = !ScriptLocked();
    if (count > 0 && open)
        SetEnabled(kEditStepNo, true);
    ShowOptions();
    SetEnabled(kEditStepDelete, count > 0 && editAllowed_ != 0 && open);
    SetEnabled(kEditStepAdd, script_.loaded && editAllowed_ != 0 && open);
}

std::string TpScripts::StepListText(int i) const
{
    const ScriptStep* step = script_.Step(i);
    if (step == nullptr)
        return std::string();
    std::string text = std::to_string(i + 1) + "-" + StepTypeName(step->type) + ":";
    switch (step->type) {
    case kStepPrompt:
    case kStepLogComment:
    case kStepSaveStatus:
    case kStepSelUser:
        text += step->text;
        break;
    case kStepSelectTab:
        text += TabText(step->numeric) + ":";
        break;
    case kStepSaveImage:
        text += TabText(step->numeric) + ":" + step->text;
        break;
    case kStepLoadMem: {
        text += std::to_string(step->numeric) + ":";
        const TpCommand* memories = ShownCommand(Cmd(kEditStepMemory));
        const int item = step->numeric > 0 ? step->numeric - 1 : -1;
        if (item >= 0 && item < memories->GetItemCount())
            text += memories->GetItemText(item);
        break;
    }
    default:
        break;
    }
    if (step->HasDuration())
        text += std::to_string(step->number) + "s";
    return text;
}

void TpScripts::ShowStepFields()
{
    ScopedFlag busy(busy_);
    const ScriptStep* step = script_.loaded ? script_.Step(Value(kEditStepNo)) : nullptr;
    if (step == nullptr) {
        for (CmdIndex field : {kEditStepTime, kEditStepFunction, kEditStepMemory, kEditStepText, kEditStepTextLabel,
                               kEditStepTab})
            SetVisible(field, false);
        return;
    }
    SetValue(kEditStepTime, ToValue(step->number));
    SetValue(kEditStepFunction, step->type);
    SetVisible(kEditStepFunction, true);
    SetVisible(kEditStepTime, step->HasDuration() != 0);

    const bool memory = step->type == kStepLoadMem;
    SetVisible(kEditStepMemory, memory);
    if (memory)
        SetValue(kEditStepMemory, step->numeric > INT32_MIN ? step->numeric - 1 : step->numeric);
    else
        SetValue(kEditStepTab, step->numeric);

    const bool text = step->HasText() != 0;
    SetVisible(kEditStepText, text);
    SetVisible(kEditStepTextLabel, text);
    if (text) {
        SetText(kEditStepText, step->text);
        std::string label = labelText_;
        if (step->type == kStepSaveStatus || step->type == kStepSaveImage)
            label = labelFileName_;
        else if (const TpScriptAction* action = ActionOfType(step->type))
            label = ::GetText(action->DescriptorText(TpScriptAction::kEditLabel));
        SetText(kEditStepTextLabel, label);
    }
    SetVisible(kEditStepTab, step->type == kStepSelectTab || step->type == kStepSaveImage);
}

void TpScripts::StoreStepFields()
{
    if (busy_ != 0 || !script_.loaded)
        return;
    ScriptStep* step = script_.Step(Value(kEditStepNo));
    if (step == nullptr)
        return;
    // A type that is neither built in nor a registered action could not be
    // written back; the step keeps its type.
    const int32_t type = Value(kEditStepFunction);
    if ((type >= 0 && type < kBuiltInStepCount) || ActionOfType(type) != nullptr)
        step->type = type;
    const int32_t seconds = Value(kEditStepTime);
    step->number = seconds < 0 ? 0u : static_cast<uint32_t>(seconds);
    if (step->type == kStepSelectTab || step->type == kStepSaveImage) {
        step->numeric = Value(kEditStepTab);
    } else {
        const int32_t memory = Value(kEditStepMemory);
        step->numeric = memory < INT32_MAX ? memory + 1 : memory;
    }
    step->text = OneLine(Text(kEditStepText));
    WriteScript();
}

bool TpScripts::WriteScript()
{
    // Only a script read from its file is written back, and only to that
    // file.
    if (!script_.loaded || !ValidScriptName(loadedName_))
        return false;
    const std::string path = ScriptPath(loadedName_);
    if (!script_.Write(path)) {
        DebugPrintf("Couldn't write script %s\n", path.c_str());
        return false;
    }
    AbsorbFolderTime();
    return true;
}

void TpScripts::AbsorbFolderTime()
{
    // Before the task's first look the folder has not been listed yet; that
    // look must still happen.
    if (scriptsFolderTime_ != 0)
        FileTimeChanged(Paths::ScriptsFolder(), scriptsFolderTime_);
}

void TpScripts::UpdateScriptButtons()
{
    const bool scripts = Cmd(kCurrentScript)->GetItemCount() > 0;
    const bool open = !ScriptLocked();
    SetEnabled(kCurrentScript, scripts && open);
    SetEnabled(kDeleteScript, scripts && editAllowed_ != 0 && open);
    // A running script can always be stopped.
    SetEnabled(kRunScript, IsRunning() || (scripts && editAllowed_ != 0));
}

void TpScripts::UpdateMoveButtons()
{
    const int selected = Value(kEditStepNo);
    const int count = script_.loaded ? script_.StepCount() : 0;
    const bool editable = editAllowed_ != 0;
    SetEnabled(kMoveStepUp, editable && selected > 0 && selected < count);
    SetEnabled(kMoveStepDown, editable && selected >= 0 && selected < count - 1);
}

void TpScripts::EnableEditing(bool enable)
{
    for (CmdIndex index : {kNewScript, kLoopForever, kLoopCount, kEditStepMemory, kEditStepFunction, kEditStepText,
                           kEditStepTextLabel, kEditStepTab, kEditStepTime, kScriptName, kMakeReport, kArchiveFile,
                           kStopOnError})
        SetEnabled(index, enable);
    SetEnabled(kDeleteScript, enable && Cmd(kCurrentScript)->GetItemCount() > 0);
    SetEnabled(kEditStepAdd, enable && script_.loaded);
    SetEnabled(kEditStepDelete, enable && script_.loaded && script_.StepCount() > 0);
}

std::string TpScripts::ScriptName() const
{
    return Text(kScriptName);
}

std::string TpScripts::SelectedScriptItem() const
{
    const TpCommand* list = Cmd(kCurrentScript);
    const int index = Value(kCurrentScript);
    if (index < 0 || index >= list->GetItemCount())
        return std::string();
    return list->GetItemText(index);
}

int TpScripts::ScriptItemIndex(const std::string& name) const
{
    return Cmd(kCurrentScript)->FindItemText(name);
}

void TpScripts::SelectScript()
{
    if (ScriptLocked()) {
        RevertLockedChange(kCurrentScript);
        return;
    }
    const TpCommand* list = Cmd(kCurrentScript);
    const int index = Value(kCurrentScript);
    {
        ScopedFlag busy(busy_);
        if (index >= 0 && index < list->GetItemCount()) {
            SetText(kScriptName, list->GetItemText(index));
        } else {
            SetText(kScriptName, std::string());
            script_.ClearSteps();
        }
    }
    if (startUp_ == 0)
        LoadScript();
}

void TpScripts::RenameScript()
{
    const std::string name = ScriptName();
    const std::string current = SelectedScriptItem();
    auto refuse = [this, &current] {
        ScopedFlag busy(busy_);
        SetText(kScriptName, current);
    };
    if (!ValidScriptName(name)) {
        DebugPrintf("Invalid script name '%s'\n", name.c_str());
        refuse();
        return;
    }

    TpStore* store = TpStore::Instance();
    if (store != nullptr && store->IsLoading()) {
        // Defaults or a memory gave the field a name: that script is shown;
        // no file moves.
        {
            ScopedFlag quiet(notifying_);
            SetValue(kCurrentScript, ScriptItemIndex(name));
        }
        LoadScript();
    } else if (!current.empty() && name != current) {
        const std::string from = ScriptPath(current);
        const std::string to = ScriptPath(name);
        // Renaming onto an existing file would replace it.
        if (PathExists(to)) {
            DebugPrintf("Script %s already exists\n", name.c_str());
            refuse();
            return;
        }
        if (std::rename(from.c_str(), to.c_str()) != 0) {
            DebugPrintf("Couldn't rename %s to %s\n", from.c_str(), to.c_str());
            refuse();
            RebuildScriptList();
            return;
        }
        AbsorbFolderTime();
        RebuildScriptList();
    }
    SetText(kReportName, std::string());
    SetValue(kReportNumber, 1);
}

void TpScripts::NewScript()
{
    const std::string name = NewScriptName();
    const std::string path = ScriptPath(name);
    if (!WriteFileAtomic(path, std::string())) {
        DebugPrintf("Couldn't create script %s\n", path.c_str());
        return;
    }
    AbsorbFolderTime();
    {
        ScopedFlag busy(busy_);
        SetText(kScriptName, name);
        Cmd(kCurrentScript)->AddItemAll(name);
    }
    const int index = Cmd(kCurrentScript)->GetItemCount() - 1;
    if (Value(kCurrentScript) == index)
        SelectScript();
    else
        SetValue(kCurrentScript, index);
    UpdateScriptButtons();
}

void TpScripts::DeleteScript()
{
    const std::string name = SelectedScriptItem();
    if (!ValidScriptName(name))
        return;
    const std::string path = ScriptPath(name);
    if (DeleteFile(path)) {
        AbsorbFolderTime();
        RebuildScriptList();
    } else {
        DebugPrintf("File %s couldn't be deleted!\n", path.c_str());
    }
}

void TpScripts::SelectStep(int index)
{
    {
        ScopedFlag quiet(notifying_);
        SetValue(kEditStepNo, index);
    }
    ShowStepFields();
    UpdateMoveButtons();
}

void TpScripts::AddStep()
{
    if (!script_.loaded)
        return;
    const int count = script_.StepCount();
    const int selected = Value(kEditStepNo);
    const int at = selected < 0 ? 0 : (selected >= count ? count : selected + 1);
    script_.InsertStep(at, std::make_unique<ScriptStep>());
    RebuildStepList();
    SelectStep(at);
    WriteScript();
    SetEnabled(kEditStepNo, true);
    UpdateMoveButtons();
    SetValue(kTotalStepTime, ToValue(script_.TotalStepTime()));
}

void TpScripts::DeleteStep()
{
    if (!script_.loaded)
        return;
    const int selected = Value(kEditStepNo);
    if (!script_.RemoveStep(selected))
        return;
    RebuildStepList();
    SelectStep(selected < script_.StepCount() ? selected : -1);
    WriteScript();
    UpdateMoveButtons();
    SetValue(kTotalStepTime, ToValue(script_.TotalStepTime()));
}

void TpScripts::MoveStep(bool up)
{
    if (!script_.loaded)
        return;
    const int selected = Value(kEditStepNo);
    int to = -1;
    if (up) {
        if (selected <= 0 || selected >= script_.StepCount())
            return;
        script_.MoveStepUp(selected);
        to = selected - 1;
    } else {
        if (selected < 0 || selected >= script_.StepCount() - 1)
            return;
        to = script_.MoveStepDown(selected);
    }
    RebuildStepList();
    SelectStep(to);
    WriteScript();
    UpdateMoveButtons();
}

void TpScripts::EditStepField(CmdIndex field)
{
    const int selected = Value(kEditStepNo);
    StoreStepFields();
    ShowStepFields();
    SetValue(kTotalStepTime, ToValue(script_.TotalStepTime()));
    if (script_.loaded && script_.Step(selected) != nullptr)
        Cmd(kEditStepNo)->SetItemTextAll(selected, StepListText(selected));

    if (field != kEditStepFunction)
        return;
    // A type choice flagged in the dialogs gives the timed checks their
    // fixed duration.
    TpStore* store = TpStore::Instance();
    if (store == nullptr)
        return;
    for (const TpCommand* cmd = store->GetCmd(Id(kEditStepFunction)); cmd != nullptr; cmd = cmd->NextInChain()) {
        const auto* combo = dynamic_cast<const TpComboBox*>(cmd);
        if (combo == nullptr || combo->ExtraFlag() == 0)
            continue;
        if (std::find(std::begin(kTimedCheckTypes), std::end(kTimedCheckTypes), combo->GetValue()) !=
            std::end(kTimedCheckTypes)) {
            SetValue(kEditStepTime, kTimedCheckSeconds);
            return;
        }
    }
}

void TpScripts::ChooseArchive()
{
    const TpCommand* list = Cmd(kArchiveFile);
    const int index = Value(kArchiveFile);
    if (index < 0 || index >= list->GetItemCount())
        return;
    // A name the script file could not carry (its reader refuses it) would
    // silently drop the archive; the choice is refused and goes back.
    const std::string name = list->GetItemText(index);
    if (!ValidScriptName(name)) {
        DebugPrintf("ERROR: Invalid archive name: '%s'\n", name.c_str());
        RevertLockedChange(kArchiveFile);
        return;
    }
    script_.archiveName = name;
    WriteScript();
    ImportArchiveMemories();
    RebuildStepList();
}

void TpScripts::ImportArchiveMemories()
{
    if (script_.archiveName.empty())
        return;
    // A copy of the page's own: the memories the instrument holds stay as
    // they are; only the names are wanted.
    TpMemoryFile archive;
    archive.ImportMemory(script_.archiveName, Cmd(kEditStepMemory));
}


void TpScripts::TakeScreenDump()
{
    {
        ScopedFlag quiet(notifying_);
        SetValue(kScreenDumpFile, 0);
    }
    const std::string name = ScreenDump();
    ScopedFlag quiet(notifying_);
    SetText(kScreenDumpFile, name);
}

void TpScripts::SelectRemoteTab()
{
    const ScriptTab* row = RemoteTabRow(Value(kRemoteTabSelect));
    ScopedFlag quiet(notifying_);
    if (row == nullptr) {
        SetValue(kRemoteTabSelect, -1);
        return;
    }
    // The tab commands change because of this selection, which stays.
    SelectTab(*row);
}

void TpScripts::RevertLockedChange(CmdIndex index)
{
    switch (index) {
    case kCurrentScript: {
        ScopedFlag quiet(notifying_);
        SetValue(kCurrentScript, ScriptItemIndex(loadedName_));
        break;
    }
    case kScriptName: {
        ScopedFlag busy(busy_);
        SetText(kScriptName, loadedName_);
        break;
    }
    case kLoopForever:
    case kLoopCount:
    case kStopOnError:
    case kMakeReport:
        ShowOptions();
        break;
    case kArchiveFile: {
        ScopedFlag busy(busy_);
        SetValue(kArchiveFile, script_.archiveName.empty() ? -1 : Cmd(kArchiveFile)->FindItemText(script_.archiveName));
        break;
    }
    case kEditStepNo: {
        ScopedFlag quiet(notifying_);
        SetValue(kEditStepNo, runStep_);
        break;
    }
    default:
        ShowStepFields();
        break;
    }
}

void TpScripts::ShowOptions()
{
    ScopedFlag busy(busy_);
    SetValue(kLoopForever, script_.loopForever ? 1 : 0);
    SetVisible(kLoopCount, !script_.loopForever);
    SetValue(kLoopCount, script_.loopCount);
    SetValue(kStopOnError, script_.stopOnError ? 1 : 0);
    SetValue(kMakeReport, script_.report ? 1 : 0);
}
