// An on/off switch: OK, left and right turn it over through the store.
#pragma once

#include "TKrObject.h"

class TpCheckBox : public TKrObject {
public:
    TpCheckBox(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind = kKeepsValue);

    int WidgetType() const override { return kWidgetCheckBox; }

    bool Step(int direction) override;
    bool Activate() override;
    std::string ValueText() const override;
};
