// A command with children: it hears of their changes through OnChildChanged
// and, having a parent itself, tells that parent of its own changes.
// Children are not owned by the parent object; pages keep them as members.
#pragma once

#include "TpChildCmd.h"

class TpParent : public TpChildCmd {
public:
    TpParent(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind);
};
