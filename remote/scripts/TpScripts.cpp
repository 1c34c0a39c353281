#include "TpScripts.h"

#include "remote/web/TpReportList.h"
#include "TpScriptAction.h"

#include "KrZuApi.h"
#include "core/text/TextTable.h"
#include "core/commands/TpButtonPress.h"
#include "core/commands/TpMemListCmd.h"
#include "core/store/TpStore.h"
#include "core/commands/TpTextListCmd.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace {

TpScripts* g_scripts = nullptr;

// How the page makes each child.
enum class Kind { Button, TextList, Child, Plain, MemList };

struct ChildRow {
    TpScripts::CmdIndex index;
    Kind kind;
    uint32_t valueKind;
};

// index, kind, value kind
constexpr ChildRow kChildren[] = {
    {TpScripts::kCurrentScript, Kind::TextList, 1},
    {TpScripts::kScriptName, Kind::Child, 2},
    {TpScripts::kNewScript, Kind::Button, 1},
    {TpScripts::kRunScript, Kind::Button, 3},
    {TpScripts::kContinue, Kind::Button, 1},
    {TpScripts::kDeleteScript, Kind::Button, 1},
    {TpScripts::kEditStepNo, Kind::TextList, 1},
    {TpScripts::kEditStepAdd, Kind::Button, 1},
    {TpScripts::kEditStepDelete, Kind::Button, 1},
    {TpScripts::kMoveStepUp, Kind::Button, 1},
    {TpScripts::kMoveStepDown, Kind::Button, 1},
    {TpScripts::kEditStepTime, Kind::Child, 1},
    {TpScripts::kEditStepFunction, Kind::Child, 1},
    {TpScripts::kEditStepMemory, Kind::Child, 1},
    {TpScripts::kMemorySel, Kind::Child, 1},
    {TpScripts::kEditStepTab, Kind::Child, 1},
    {TpScripts::kEditStepText, Kind::Child, 2},
    {TpScripts::kEditStepTextLabel, Kind::Plain, 2},
    {TpScripts::kEditStepInput, Kind::Child, 1},
    {TpScripts::kLoopForever, Kind::Child, 1},
    {TpScripts::kLoopCount, Kind::Child, 1},
    {TpScripts::kLoops, Kind::Plain, 1},
    {TpScripts::kTotalErrors, Kind::Plain, 1},
    {TpScripts::kStopOnError, Kind::Child, 1},
    {TpScripts::kLoopTime, Kind::Plain, 2},
    {TpScripts::kTotalStepTime, Kind::Plain, 1},
    {TpScripts::kMemoryRecall, Kind::Child, 1},
    {TpScripts::kMemorySave, Kind::Child, 1},
    {TpScripts::kSysStatus, Kind::Plain, 2},
    {TpScripts::kPromptText, Kind::Plain, 2},
    {TpScripts::kDialogTimeout, Kind::Plain, 1},
    {TpScripts::kBackupFileList, Kind::Plain, 1},
    {TpScripts::kArchiveFile, Kind::MemList, 1},
    {TpScripts::kBackupLoad, Kind::Child, 1},
    {TpScripts::kBackupSave, Kind::Child, 1},
    {TpScripts::kArchiveDone, Kind::Plain, 1},
    {TpScripts::kLogEnable, Kind::Plain, 1},
    {TpScripts::kClearAllErrors, Kind::Plain, 1},
    {TpScripts::kCrcYErrors, Kind::Child, 1},
    {TpScripts::kCrcCrCbErrors, Kind::Child, 1},
    {TpScripts::kCrc422, Kind::Child, 1},
    {TpScripts::kEdhApField1, Kind::Child, 1},
    {TpScripts::kEdhApField2, Kind::Child, 1},
    {TpScripts::kEditEnable, Kind::Child, 1},
    {TpScripts::kSetup, Kind::Child, 1},
    {TpScripts::kUserList, Kind::TextList, 3},
    {TpScripts::kCurrentUser, Kind::Child, 2},
    {TpScripts::kEyeLocked, Kind::Plain, 1},
    {TpScripts::kMakeReport, Kind::Child, 1},
    {TpScripts::kRenameReport, Kind::Child, 1},
    {TpScripts::kReportName, Kind::Child, 2},
    {TpScripts::kReportNumber, Kind::Child, 1},
    {TpScripts::kResetReportNumber, Kind::Child, 1},
    {TpScripts::kScreenDumpFile, Kind::Child, 3},
    {TpScripts::kMainTab, Kind::Child, 1},
    {TpScripts::kGeneratorTab, Kind::Child, 1},
    {TpScripts::kMonitorTab, Kind::Child, 1},
    {TpScripts::kStatusTab, Kind::Child, 1},
    {TpScripts::kAudioTab, Kind::Child, 1},
    {TpScripts::kSetupTab, Kind::Child, 1},
    {TpScripts::kLoggingTab, Kind::Child, 1},
    {TpScripts::kEighthTab, Kind::Child, 1},
    {TpScripts::kRemoteTabSelect, Kind::Child, 1},
    {TpScripts::kAbortYes, Kind::Child, 1},
    {TpScripts::kAbortNo, Kind::Child, 1},
};
static_assert(sizeof kChildren / sizeof kChildren[0] == TpScripts::kIdCount, "one row per command");

// Text numbers of the page's tab texts for the step list, indexes 0-34.
constexpr unsigned kTabTextNumbers[TpScripts::kScriptTabCount] = {
    106, 107, 108, 109, 110, 111, 112, 113, 127, 144, 229, 232, 320, 321, 322, 323, 325, 326,
    327, 328, 329, 330, 331, 332, 333, 334, 335, 336, 337, 338, 339, 340, 0, 0, 0,
};

constexpr unsigned kTextFileNameLabel = 101;
constexpr unsigned kTextTextLabel = 102;

// The close-window action lives as long as the program; every scripts page
// has it as its first action.
TpCloseWindowScriptAction* CloseWindowAction(bool& made)
{
    static bool constructed = false;
    made = !constructed;
    constructed = true;
    static TpCloseWindowScriptAction action;
    return &action;
}

} // namespace

const uint16_t TpScripts::kCommandIds[kIdCount] = {
    COM_SCRIPTS_CURRENT_SCRIPT, COM_SCRIPTS_SCRIPT_NAME, COM_SCRIPTS_NEW_SCRIPT, COM_SCRIPTS_RUN_SCRIPT,
    COM_SCRIPTS_CONTINUE, COM_SCRIPTS_DELETE_SCRIPT,
    COM_SCRIPTS_EDIT_STEP_NO, COM_SCRIPTS_EDIT_STEP_ADD, COM_SCRIPTS_EDIT_STEP_DELETE,
    COM_SCRIPTS_EDIT_MOVE_STEP_UP, COM_SCRIPTS_EDIT_MOVE_STEP_DOWN,
    COM_SCRIPTS_EDIT_STEP_TIME, COM_SCRIPTS_EDIT_STEP_FUNCTION, COM_SCRIPTS_EDIT_STEP_MEMORY, COM_MEMORY_SEL,
    COM_SCRIPTS_EDIT_STEP_TAB,
    COM_SCRIPTS_EDIT_STEP_TEXT, COM_SCRIPTS_EDIT_STEP_TEXT_LABEL, COM_SCRIPTS_EDIT_STEP_INPUT,
    COM_SCRIPTS_LOOP_FOREVER, COM_SCRIPTS_LOOP_COUNT,
    COM_SCRIPTS_LOOPS, COM_SCRIPTS_TOTAL_ERRORS, COM_SCRIPTS_STOP_ON_ERROR, COM_SCRIPTS_LOOP_TIME,
    COM_SCRIPTS_TOTAL_STEP_TIME,
    COM_MEMORY_RECALL, COM_MEMORY_SAVE, COM_SYS_STATUS, COM_SCRIPTS_PROMPT_TEXT, COM_SCRIPTS_DIALOG_TIMEOUT,
    COM_MEMORY_BACKUP_FILELIST, COM_SCRIPTS_ARCHIVE_FILE, COM_MEMORY_BACKUP_LOAD, COM_MEMORY_BACKUP_SAVE, 289,
    COM_ANLYS_LOG_ENABLE, COM_STATUS_CLEAR_ALL_ERRORS, COM_STATUS_CRC_Y_ERRORS, COM_STATUS_CRC_CRCB_ERRORS, 422,
    COM_STATUS_EDH_AP_RX_FIELD_1, COM_STATUS_EDH_AP_RX_FIELD_2, COM_SCRIPTS_EDIT_ENABLE, COM_SCRIPTS_SETUP,
    COM_SCRIPTS_USER_LIST, COM_SYS_CURRENT_USER,
    COM_EYE_LOCKED, COM_SCRIPTS_MAKE_REPORT, COM_SCRIPTS_RENAME_REPORT, COM_SCRIPTS_REPORT_NAME,
    COM_SCRIPTS_REPORT_NUMBER,
    COM_SCRIPTS_RESET_REPORT_NUMBER, COM_SYS_SCREEN_DUMP_FILE,
    COM_MAIN_TAB_SELECT, COM_GENERATOR_TAB_SELECT, COM_MONITOR_TAB_SELECT, COM_STATUS_TAB_SELECT,
    COM_AUDIO_TAB_SELECT, COM_SETUP_TAB_SELECT, COM_LOGGING_TAB_SELECT, 0,
    COM_REMOTE_TAB_SELECT, COM_SCRIPTS_ABORT_SCRIPT_YES, COM_SCRIPTS_ABORT_SCRIPT_NO,
};

TpScripts* TpScripts::Instance()
{
    return g_scripts;
}

TpScripts::TpScripts(const uint16_t (&ids)[kIdCount], TpCommand* parent)
    : TpParent(parent, 0, 0), cmds_(ids)
{
    g_scripts = this;
    ResetScriptRunState();
    labelFileName_ = ::GetText(kTextFileNameLabel);
    labelText_ = ::GetText(kTextTextLabel);
    for (int type = 0; type < kBuiltInStepCount; ++type)
        builtInNames_.push_back(::GetText(BuiltInStepType(type)->nameText));
    for (unsigned number : kTabTextNumbers)
        tabTexts_.push_back(::GetText(number));

    notifying_ = 1;
    BuildChildren();
    // The built-in step types come first in the page's own type list, so its
    // values are the step types.
    for (int type = 0; type < kBuiltInStepCount; ++type)
        Cmd(kEditStepFunction)->AddItem(builtInNames_[static_cast<size_t>(type)], type);

    SetText(kRunScript, "Run");
    SetValue(kEditStepNo, -1);
    SetValue(kCurrentScript, -1);
    SetValue(kLoopCount, 1);
    SetValue(kReportNumber, 1);
    SetValue(kEditEnable, 1);
    SetValue(kArchiveFile, -1);
    SetValue(kArchiveDone, 1);
    SetValue(kRemoteTabSelect, -1);
    notifying_ = 0;

    if (TpStore* store = TpStore::Instance())
        store->AddTask(this, "SCRIPT", kTaskPeriodMs, false, false);
    CheckLogo();
    // A broken leftover of the factory test script is removed.
    const std::string leftover = Paths::ScriptsFolder() + "/Full TEST 4H.cmd";
    std::string bytes;
    if (ReadWholeFile(leftover, bytes) && bytes.size() < 3)
        DeleteFile(leftover);

    bool made = false;
    TpCloseWindowScriptAction* closeWindow = CloseWindowAction(made);
    if (!made)
        RegisterAction(closeWindow);
}

TpScripts::~TpScripts()
{
    if (TpStore* store = TpStore::Instance())
        store->RemoveTask(this);
    cmds_.Clear();
    if (g_scripts == this)
        g_scripts = nullptr;
}

void TpScripts::BuildChildren()
{
    for (const ChildRow& row : kChildren) {
        switch (row.kind) {
        case Kind::Button:
            cmds_.Make<TpButtonPress>(row.index, this, row.valueKind);
            break;
        case Kind::TextList:
            cmds_.Make<TpTextListCmd>(row.index, this, row.valueKind);
            break;
        case Kind::Child:
            cmds_.Make<TpChildCmd>(row.index, this, row.valueKind);
            break;
        case Kind::Plain:
            cmds_.Make<TpCommand>(row.index, this, row.valueKind);
            break;
        case Kind::MemList:
            cmds_.Make<TpMemListCmd>(row.index, this, row.valueKind, Id(kBackupFileList));
            break;
        }
    }
}

int TpScripts::RegisterAction(TpScriptAction* action)
{
    const int32_t type = kFirstActionStep + static_cast<int32_t>(actions_.size());
    Cmd(kEditStepFunction)->AddItemAll(action->Name() != nullptr ? action->Name() : "", type);
    actions_.push_back(action);
    return 1;
}

void TpScripts::ForgetAction(const TpScriptAction* action)
{
    for (TpScriptAction*& slot : actions_) {
        if (slot == action)
            slot = nullptr;
    }
}

TpScriptAction* TpScripts::ActionOfType(int type) const
{
    if (type < kFirstActionStep)
        return nullptr;
    const size_t index = static_cast<size_t>(type - kFirstActionStep);
    return index < actions_.size() ? actions_[index] : nullptr;
}

int TpScripts::FindActionKeyword(const std::string& keyword) const
{
    for (size_t i = 0; i < actions_.size(); ++i) {
        if (actions_[i] != nullptr && actions_[i]->Keyword() == keyword)
            return static_cast<int>(i);
    }
    return -1;
}

std::string TpScripts::StepTypeName(int type) const
{
    if (type >= 0 && type < kBuiltInStepCount)
        return builtInNames_[static_cast<size_t>(type)];
    if (const TpScriptAction* action = ActionOfType(type))
        return ::GetText(action->DescriptorText(TpScriptAction::kStepName));
    return "???";
}

std::string TpScripts::TabText(int index) const
{
    if (index < 0 || index >= kScriptTabCount)
        return "???";
    return tabTexts_[static_cast<size_t>(index)];
}
