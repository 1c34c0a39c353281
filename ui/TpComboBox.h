// A choice of one item of a list: left and right select the previous or
// next enabled item through the store. It carries one flag byte, 0 unless
// the dialog definition sets it, that pages may read.
#pragma once

#include "TKrObject.h"

#include <cstdint>

class TpComboBox : public TKrObject {
public:
    TpComboBox(TpCommand* parent, uint16_t cmdId, uint32_t valueKind = 1);

    int WidgetType() const override { return kWidgetComboBox; }

    uint8_t ExtraFlag() const { return extraFlag_; }
    void SetExtraFlag(uint8_t flag) { extraFlag_ = flag; }

    bool Step(int direction) override;
    std::string ValueText() const override;

private:
    uint8_t extraFlag_ = 0;
};
