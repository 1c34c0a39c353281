#include "TpScripts.h"

#include "remote/web/TpReportList.h"
#include "TpCloseWindowScriptAction.h"

#include "KrZuApi.h"
#include "core/text/TextTable.h"
#include "core/commands/TpButtonPress.h"
#include "core/commands/TpMemListCmd.h"
#include "core/store/TpStore.h"
#include "core/commands/TpTextListCmd.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace {


// How the page makes each child.
enum class Kind { Button, TextList, Child, Plain, MemList };

struct ChildRow {
    TpScripts::CmdIndex index;
    Kind kind;
    CmdValueKind valueKind;
};

// index, kind, value kind
constexpr ChildRow kChildren[] = {
    {TpScripts::kCurrentScript, Kind::TextList, kKeepsValue},
    {TpScripts::kScriptName, Kind::Child, kKeepsText},
    {TpScripts::kNewScript, Kind::Button, kKeepsValue},
    {TpScripts::kRunScript, Kind::Button, kKeepsValueText},
    {TpScripts::kContinue, Kind::Button, kKeepsValue},
    {TpScripts::kDeleteScript, Kind::Button, kKeepsValue},
    {TpScripts::kEditStepNo, Kind::TextList, kKeepsValue},
    {TpScripts::kEditStepAdd, Kind::Button, kKeepsValue},
    {TpScripts::kEditStepDelete, Kind::Button, kKeepsValue},
    {TpScripts::kMoveStepUp, Kind::Button, kKeepsValue},
    {TpScripts::kMoveStepDown, Kind::Button, kKeepsValue},
    {TpScripts::kEditStepTime, Kind::Child, kKeepsValue},
    {TpScripts::kEditStepFunction, Kind::Child, kKeepsValue},
    {TpScripts::kEditStepMemory, Kind::Child, kKeepsValue},
    {TpScripts::kMemorySel, Kind::Child, kKeepsValue},
    {TpScripts::kEditStepTab, Kind::Child, kKeepsValue},
    {TpScripts::kEditStepText, Kind::Child, kKeepsText},
    {TpScripts::kEditStepTextLabel, Kind::Plain, kKeepsText},
    {TpScripts::kEditStepInput, Kind::Child, kKeepsValue},
    {TpScripts::kLoopForever, Kind::Child, kKeepsValue},
    {TpScripts::kLoopCount, Kind::Child, kKeepsValue},
    {TpScripts::kLoops, Kind::Plain, kKeepsValue},
    {TpScripts::kTotalErrors, Kind::Plain, kKeepsValue},
    {TpScripts::kStopOnError, Kind::Child, kKeepsValue},
    {TpScripts::kLoopTime, Kind::Plain, kKeepsText},
    {TpScripts::kTotalStepTime, Kind::Plain, kKeepsValue},
    {TpScripts::kMemoryRecall, Kind::Child, kKeepsValue},
    {TpScripts::kMemorySave, Kind::Child, kKeepsValue},
    {TpScripts::kSysStatus, Kind::Plain, kKeepsText},
    {TpScripts::kPromptText, Kind::Plain, kKeepsText},
    {TpScripts::kDialogTimeout, Kind::Plain, kKeepsValue},
    {TpScripts::kBackupFileList, Kind::Plain, kKeepsValue},
    {TpScripts::kArchiveFile, Kind::MemList, kKeepsValue},
    {TpScripts::kBackupLoad, Kind::Child, kKeepsValue},
    {TpScripts::kBackupSave, Kind::Child, kKeepsValue},
    {TpScripts::kArchiveDone, Kind::Plain, kKeepsValue},
    {TpScripts::kLogEnable, Kind::Plain, kKeepsValue},
    {TpScripts::kClearAllErrors, Kind::Plain, kKeepsValue},
    {TpScripts::kCrcYErrors, Kind::Child, kKeepsValue},
    {TpScripts::kCrcCrCbErrors, Kind::Child, kKeepsValue},
    {TpScripts::kCrc422, Kind::Child, kKeepsValue},
    {TpScripts::kEdhApField1, Kind::Child, kKeepsValue},
    {TpScripts::kEdhApField2, Kind::Child, kKeepsValue},
    {TpScripts::kEditEnable, Kind::Child, kKeepsValue},
    {TpScripts::kSetup, Kind::Child, kKeepsValue},
    {TpScripts::kUserList, Kind::TextList, kKeepsValueText},
    {TpScripts::kCurrentUser, Kind::Child, kKeepsText},
    {TpScripts::kEyeLocked, Kind::Plain, kKeepsValue},
    {TpScripts::kMakeReport, Kind::Child, kKeepsValue},
    {TpScripts::kRenameReport, Kind::Child, kKeepsValue},
    {TpScripts::kReportName, Kind::Child, kKeepsText},
    {TpScripts::kReportNumber, Kind::Child, kKeepsValue},
    {TpScripts::kResetReportNumber, Kind::Child, kKeepsValue},
    {TpScripts::kScreenDumpFile, Kind::Child, kKeepsValueText},
    {TpScripts::kMainTab, Kind::Child, kKeepsValue},
    {TpScripts::kGeneratorTab, Kind::Child, kKeepsValue},
    {TpScripts::kMonitorTab, Kind::Child, kKeepsValue},
    {TpScripts::kStatusTab, Kind::Child, kKeepsValue},
    {TpScripts::kAudioTab, Kind::Child, kKeepsValue},
    {TpScripts::kSetupTab, Kind::Child, kKeepsValue},
    {TpScripts::kLoggingTab, Kind::Child, kKeepsValue},
    {TpScripts::kEighthTab, Kind::Child, kKeepsValue},
    {TpScripts::kRemoteTabSelect, Kind::Child, kKeepsValue},
    {TpScripts::kAbortYes, Kind::Child, kKeepsValue},
    {TpScripts::kAbortNo, Kind::Child, kKeepsValue},
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
    // The scripts page is the one script host.
    return static_cast<TpScripts*>(TpScriptHost::Instance());
}

TpScripts::TpScripts(const uint16_t (&ids)[kIdCount], TpCommand* parent)
    : TpParent(parent, 0, kKeepsNothing), cmds_(ids)
{
    BecomeHost();
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
    LeaveHost();
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
