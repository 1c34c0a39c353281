// The answer of a confirmation dialog: a child of value kind 1 whose value
// the dialog sets when the user answers (non-zero: confirmed). The parent
// hears the answer as a value change (reason 1) and may delete this object
// while it is told.
#pragma once

#include "core/store/TpChildCmd.h"

class TpSysDialog : public TpChildCmd {
public:
    explicit TpSysDialog(TpCommand* parent, uint16_t cmdId = 0);
};
