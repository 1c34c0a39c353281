// A text on a window: its caption, and the command's text (or value) beside
// it. Labels never take the input focus.
#pragma once

#include "TKrObject.h"

class TpLabel : public TKrObject {
public:
    TpLabel(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind = kKeepsText);

    int WidgetType() const override { return kWidgetLabel; }
    bool TakesFocus() const override { return false; }
};
