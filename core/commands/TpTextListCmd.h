// A child list command of text items; its value is the selected item's index
// (-1 none).
#pragma once

#include "core/store/TpChildCmd.h"

class TpTextListCmd : public TpChildCmd {
public:
    TpTextListCmd(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind);
};
