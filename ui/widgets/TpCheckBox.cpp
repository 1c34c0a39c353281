#include "TpCheckBox.h"

TpCheckBox::TpCheckBox(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TKrObject(parent, cmdId, valueKind)
{
}

bool TpCheckBox::Step(int)
{
    return Activate();
}

bool TpCheckBox::Activate()
{
    SetValueAll(GetValue() != 0 ? 0 : 1);
    return true;
}

std::string TpCheckBox::ValueText() const
{
    return GetValue() != 0 ? "[x]" : "[ ]";
}
