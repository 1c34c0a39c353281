#include "TpComboBox.h"

#include "core/TpStore.h"

TpComboBox::TpComboBox(TpCommand* parent, uint16_t cmdId, uint32_t valueKind)
    : TKrObject(parent, cmdId, valueKind)
{
    SetListFlag(true);
}

bool TpComboBox::Step(int direction)
{
    StepItem(direction);
    return true;
}

std::string TpComboBox::ValueText() const
{
    const int v = GetValue();
    return v >= 0 && v < GetItemCount() ? SelectedItemText() : "-";
}

const std::vector<TpItem>& TpComboBox::Items() const
{
    static const std::vector<TpItem> none;
    if (itemSource_ == 0)
        return TKrObject::Items();
    TpStore* store = TpStore::Instance();
    const TpCommand* source = store != nullptr ? store->GetCmd(itemSource_) : nullptr;
    if (source == nullptr || source == this || reading_)
        return none;
    reading_ = true;
    const std::vector<TpItem>& items = source->Items();
    reading_ = false;
    return items;
}
