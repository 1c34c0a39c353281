#include "TpMemListCmd.h"

#include "core/store/TpStore.h"

TpMemListCmd::TpMemListCmd(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind, uint16_t sourceId)
    : TpChildCmd(parent, cmdId, valueKind), sourceId_(sourceId)
{
    SetListFlag(true);
}

const std::vector<TpItem>& MirroredItems(uint16_t sourceId, const TpCommand* self, bool& reading)
{
    static const std::vector<TpItem> none;
    TpStore* store = TpStore::Instance();
    const TpCommand* source = store != nullptr ? store->GetCmd(sourceId) : nullptr;
    if (source == nullptr || source == self || reading)
        return none;
    reading = true;
    const std::vector<TpItem>& items = source->Items();
    reading = false;
    return items;
}

const std::vector<TpItem>& TpMemListCmd::Items() const
{
    return MirroredItems(sourceId_, this, reading_);
}
