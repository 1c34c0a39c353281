#include "TpColouredBox.h"

TpColouredBox::TpColouredBox(TpCommand* parent, uint16_t cmdId, uint32_t valueKind)
    : TpEdit(parent, cmdId, valueKind)
{
}
