// A child list command that shows the items of another id (by default the
// memory backup list): its item reads look at the head command of that id's
// chain, so it follows every change of that list without copying. Its value
// is its own (the selected index).
#pragma once

#include "KrZuApi.h"
#include "core/store/TpChildCmd.h"

// The items of the head command of sourceId's chain, as a list that shows
// another's reads them; none when there is no such command, when it is self,
// or while reading is set (lists that show each other).
const std::vector<TpItem>& MirroredItems(uint16_t sourceId, const TpCommand* self, bool& reading);

class TpMemListCmd : public TpChildCmd {
public:
    TpMemListCmd(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind,
                 uint16_t sourceId = COM_MEMORY_BACKUP_FILELIST);

    uint16_t SourceId() const { return sourceId_; }
    const std::vector<TpItem>& Items() const override;

private:
    uint16_t sourceId_;
    mutable bool reading_ = false;   // guards against lists that show each other
};
