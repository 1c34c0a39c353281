#include "TpMemories.h"

#include "KrZuApi.h"
#include "core/commands/TpDirList.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"
#include "platform/Paths.h"

TpMemories::TpMemories(TpCommand* parent)
    : TpParent(parent, 0, kKeepsNothing),
      select_(std::make_unique<TpChildCmd>(this, COM_MEMORY_SEL, kKeepsValue)),
      save_(std::make_unique<TpButtonPress>(this, COM_MEMORY_SAVE)),
      recall_(std::make_unique<TpButtonPress>(this, COM_MEMORY_RECALL)),
      backupList_(std::make_unique<TpTextListCmd>(this, COM_MEMORY_BACKUP_FILELIST, kKeepsValue)),
      backupLoad_(std::make_unique<TpChildCmd>(this, COM_MEMORY_BACKUP_LOAD, kKeepsValue)),
      backupSave_(std::make_unique<TpButtonPress>(this, COM_MEMORY_BACKUP_SAVE))
{
    // One tick: a restore asked for finishes on the tick after the request.
    if (TpStore* store = TpStore::Instance())
        store->AddTask(this, "Memories", 20, false, false);
    RefreshBackupList();
}

TpMemories::~TpMemories() = default;

void TpMemories::RefreshBackupList()
{
    const std::string selected = SelectedBackup();
    TpDirList list;
    list.ListFiles(Paths::BackupsFolder() + "/*.mem");
    const int index = list.FillCommandItems(backupList_.get(), selected);
    backupList_->SetValueAll(index >= 0 ? index : (backupList_->GetItemCount() > 0 ? 0 : -1));
}

unsigned TpMemories::SelectedMemory() const
{
    const int32_t sel = select_->GetValue();
    return sel >= 0 ? static_cast<unsigned>(sel) + 1 : 0;
}

std::string TpMemories::SelectedBackup() const
{
    const int32_t sel = backupList_->GetValue();
    return sel >= 0 && sel < backupList_->GetItemCount() ? backupList_->GetItemText(sel) : std::string();
}

void TpMemories::OnChildChanged(TpCommand* child, int reason)
{
    if (reason != kReasonValue)
        return;
    if (child == save_.get())
        Save();
    else if (child == recall_.get())
        Recall();
    else if (child == backupSave_.get())
        SaveBackup();
    else if (child == backupLoad_.get() && backupLoad_->GetValue() != 0)
        restorePending_ = true;
}

void TpMemories::OnTask()
{
    if (restorePending_)
        Restore();
}

void TpMemories::Save()
{
    TpStore* store = TpStore::Instance();
    const unsigned number = SelectedMemory();
    if (store == nullptr || number == 0) {
        DebugPrintf("ERROR: no memory selected to save\n");
        return;
    }
    memories_.SetMemory(store->CaptureMemory(number, "Memory " + std::to_string(number)));
}

void TpMemories::Recall()
{
    TpStore* store = TpStore::Instance();
    const unsigned number = SelectedMemory();
    const TpMemory* memory = memories_.Find(number);
    if (store == nullptr || memory == nullptr) {
        DebugPrintf("ERROR: memory %u is empty\n", number);
        return;
    }
    // The recall may reach this page's own commands; work on a copy.
    const TpMemory copy = *memory;
    store->RecallMemory(copy);
}

void TpMemories::SaveBackup()
{
    const std::string name = SelectedBackup();
    if (name.empty()) {
        DebugPrintf("ERROR: no backup file selected\n");
        return;
    }
    if (!memories_.ExportMemory(name))
        DebugPrintf("ERROR: Couldn't write backup %s\n", name.c_str());
    RefreshBackupList();
}

void TpMemories::Restore()
{
    restorePending_ = false;
    const std::string name = SelectedBackup();
    if (name.empty())
        DebugPrintf("ERROR: no backup file selected to restore\n");
    else
        memories_.ImportMemory(name, nullptr);
    // Finished, whether or not the file could be read: whoever waits goes on.
    backupLoad_->SetValueAll(0);
}
