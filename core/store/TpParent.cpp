#include "TpParent.h"

TpParent::TpParent(TpCommand* parent, uint16_t cmdId, uint32_t valueKind)
    : TpChildCmd(parent, cmdId, valueKind)
{
}
