#include "TpTextListCmd.h"

TpTextListCmd::TpTextListCmd(TpCommand* parent, uint16_t cmdId, uint32_t valueKind)
    : TpChildCmd(parent, cmdId, valueKind)
{
    SetListFlag(true);
}
