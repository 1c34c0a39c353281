// The memories page: saved set-ups of the instrument.
//
//   COM_MEMORY_SEL (290)             the memory selected (0 = memory 1)
//   COM_MEMORY_SAVE (291)            button: keeps the store's memory-stored
//                                    settings as the selected memory
//   COM_MEMORY_RECALL (293)          button: recalls the selected memory
//                                    through the store
//   COM_MEMORY_BACKUP_FILELIST (297) the backup files of the backups folder
//   COM_MEMORY_BACKUP_LOAD (301)     set to 1: restores every memory from the
//                                    selected backup file; the page sets it
//                                    back to 0 on a later tick, once the
//                                    restore has finished (also when it failed)
//   COM_MEMORY_BACKUP_SAVE (304)     button: writes the memories to the
//                                    selected backup file
//
// The recall keys of the instrument (14-21) reach the page as a selection
// and a recall press.
#pragma once

#include "core/commands/TpButtonPress.h"
#include "core/memories/TpMemoryFile.h"
#include "core/store/TpParent.h"
#include "core/commands/TpTextListCmd.h"

#include <memory>
#include <string>

class TpMemories : public TpParent {
public:
    explicit TpMemories(TpCommand* parent = nullptr);
    ~TpMemories() override;

    TpMemoryFile& Memories() { return memories_; }
    bool RestorePending() const { return restorePending_; }

    // Lists the backup files again (the ".mem" files of the backups folder).
    void RefreshBackupList();

    void OnChildChanged(TpCommand* child, int reason) override;
    void OnTask() override;

private:
    unsigned SelectedMemory() const;
    std::string SelectedBackup() const;
    void Save();
    void Recall();
    void SaveBackup();
    void Restore();

    TpMemoryFile memories_;
    bool restorePending_ = false;
    std::unique_ptr<TpChildCmd> select_;
    std::unique_ptr<TpButtonPress> save_;
    std::unique_ptr<TpButtonPress> recall_;
    std::unique_ptr<TpTextListCmd> backupList_;
    std::unique_ptr<TpChildCmd> backupLoad_;
    std::unique_ptr<TpButtonPress> backupSave_;
};
