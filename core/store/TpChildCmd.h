// A command that tells its parent of its changes through OnChildChanged:
// value (reason 1, value kinds 1 and 3 only), text (2), enabled (3) and
// visible (4). Value kind 4 keeps value and text without telling. A child
// without a parent tells nobody.
//
// The parent may delete the child while it is being told; the child touches
// nothing of itself after telling.
#pragma once

#include "TpCommand.h"

class TpChildCmd : public TpCommand {
public:
    TpChildCmd(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind);

    int32_t SetValue(int32_t value) override;
    void SetText(const std::string& text) override;
    void SetEnabled(bool enabled) override;
    void SetVisible(bool visible) override;

protected:
    // Tells the parent; the last thing a writer does.
    void Report(int reason);
};
