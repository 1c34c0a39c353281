#include "TpLabel.h"

TpLabel::TpLabel(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TKrObject(parent, cmdId, valueKind)
{
}
