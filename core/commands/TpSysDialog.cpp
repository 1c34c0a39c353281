#include "TpSysDialog.h"

TpSysDialog::TpSysDialog(TpCommand* parent, uint16_t cmdId)
    : TpChildCmd(parent, cmdId, kKeepsValue)
{
}
