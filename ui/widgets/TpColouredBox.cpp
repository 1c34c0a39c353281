#include "TpColouredBox.h"

TpColouredBox::TpColouredBox(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TpEdit(parent, cmdId, valueKind)
{
}
