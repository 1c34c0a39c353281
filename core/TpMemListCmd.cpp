#include "TpMemListCmd.h"

#include "TpStore.h"

TpMemListCmd::TpMemListCmd(TpCommand* parent, uint16_t cmdId, uint32_t valueKind, uint16_t sourceId)
    : TpChildCmd(parent, cmdId, valueKind), sourceId_(sourceId)
{
    SetListFlag(true);
}

const std::vector<TpItem>& TpMemListCmd::Items() const
{
    static const std::vector<TpItem> none;
    TpStore* store = TpStore::Instance();
    const TpCommand* source = store != nullptr ? store->GetCmd(sourceId_) : nullptr;
    if (source == nullptr || source == this || reading_)
        return none;
    reading_ = true;
    const std::vector<TpItem>& items = source->Items();
    reading_ = false;
    return items;
}
