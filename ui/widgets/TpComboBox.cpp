#include "TpComboBox.h"

#include "core/commands/TpMemListCmd.h"

TpComboBox::TpComboBox(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
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
    if (itemSource_ == 0)
        return TKrObject::Items();
    return MirroredItems(itemSource_, this, reading_);
}
