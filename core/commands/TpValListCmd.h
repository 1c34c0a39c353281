// A child list command of value kind 1 that starts with a copy of the items
// of its id's chain. When items are enabled or disabled it keeps its
// selection on an enabled item: disabling the selected item moves the
// selection to the next enabled item after it (else the nearest one before
// it, else none, -1); enabling an item while nothing enabled is selected
// selects it. The selection moves through the store, so every view follows
// and the parent is told.
#pragma once

#include "core/store/TpChildCmd.h"

class TpValListCmd : public TpChildCmd {
public:
    TpValListCmd(TpCommand* parent, uint16_t cmdId);

    void SetItemEnabled(int item, bool enabled) override;
};
