#include "TpLabel.h"

TpLabel::TpLabel(TpCommand* parent, uint16_t cmdId, uint32_t valueKind)
    : TKrObject(parent, cmdId, valueKind)
{
}
