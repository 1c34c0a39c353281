// A coloured input box: an edit box drawn on its own background colour,
// which the pages enable and disable as a whole (SetEnabled).
#pragma once

#include "TpEdit.h"

class TpColouredBox : public TpEdit {
public:
    TpColouredBox(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind = kKeepsValue);

    int WidgetType() const override { return kWidgetColouredBox; }
};
