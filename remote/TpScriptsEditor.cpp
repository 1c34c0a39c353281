// Change handling of the scripts page: the script list and the editor.
#include "TpScripts.h"

const ScriptTab* TpScripts::RemoteTabRow(int /*index*/) { return nullptr; }
void TpScripts::OnChildChanged(TpCommand* /*child*/, int /*reason*/) {}
void TpScripts::RebuildScriptList() {}
void TpScripts::LoadScript() {}
void TpScripts::ShowScript() {}
void TpScripts::RebuildStepList() {}
std::string TpScripts::StepListText(int /*i*/) const { return std::string(); }
void TpScripts::ShowStepFields() {}
void TpScripts::StoreStepFields() {}
bool TpScripts::WriteScript() { return false; }
void TpScripts::UpdateScriptButtons() {}
void TpScripts::UpdateMoveButtons() {}
void TpScripts::EnableEditing(bool /*enable*/) {}
std::string TpScripts::ScriptName() const { return std::string(); }
void TpScripts::SelectScript() {}
void TpScripts::RenameScript() {}
void TpScripts::NewScript() {}
void TpScripts::DeleteScript() {}
void TpScripts::AddStep() {}
void TpScripts::DeleteStep() {}
void TpScripts::MoveStep(bool /*up*/) {}
void TpScripts::EditStepField(CmdIndex /*field*/) {}
void TpScripts::ChooseArchive() {}
void TpScripts::ImportArchiveMemories() {}
void TpScripts::TakeScreenDump() {}
void TpScripts::SelectRemoteTab() {}
