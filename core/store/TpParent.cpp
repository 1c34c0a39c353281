#include "TpParent.h"

TpParent::TpParent(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TpChildCmd(parent, cmdId, valueKind)
{
}
