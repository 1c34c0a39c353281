// A button: each non-zero value set is one press. It tells the parent once
// (reason 1) and then puts its id back to 0 through the store, so every view
// of the button shows it released and the next press is a change again.
// Setting 0 tells nobody. SetValue returns 0.
#pragma once

#include "core/store/TpChildCmd.h"

class TpButtonPress : public TpChildCmd {
public:
    TpButtonPress(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind = kKeepsValue);

    int32_t SetValue(int32_t value) override;
};
