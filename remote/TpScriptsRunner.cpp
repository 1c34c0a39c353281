// The run control of the scripts page: the periodic task, starting and
// stopping runs, and the steps.
#include "TpScripts.h"

const ScriptTab* TpScripts::ScriptTabRow(int /*index*/) { return nullptr; }
void TpScripts::OnTask() {}
void TpScripts::ToggleRun() {}
void TpScripts::BeginRun(int /*firstStep*/) {}
void TpScripts::ExecuteStep(int /*index*/) {}
void TpScripts::NextStep(int /*index*/) {}
void TpScripts::EndRun() {}
bool TpScripts::SelectTab(const ScriptTab& /*row*/) { return false; }
void TpScripts::Prompt(const std::string& /*text*/, uint8_t /*wait*/) {}
void TpScripts::ReleaseAction() {}
void TpScripts::StartRun() {}
void TpScripts::StopRun() {}
std::string TpScripts::PassSuffix() const { return std::string(); }
void TpScripts::ShowRunTime(std::time_t /*now*/) {}
void TpScripts::BackupRestored() {}
void ResetScriptRunState() {}
