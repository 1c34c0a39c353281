#include "TpTextListCmd.h"

TpTextListCmd::TpTextListCmd(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind)
    : TpChildCmd(parent, cmdId, valueKind)
{
    SetListFlag(true);
}
