// A choice of one item of a list: left and right select the previous or
// next enabled item through the store. It carries one flag byte, 0 unless
// the dialog definition sets it, that pages may read.
#pragma once

#include "TKrObject.h"

#include <cstdint>

class TpComboBox : public TKrObject {
public:
    TpComboBox(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind = kKeepsValue);

    int WidgetType() const override { return kWidgetComboBox; }

    uint8_t ExtraFlag() const { return extraFlag_; }
    void SetExtraFlag(uint8_t flag) { extraFlag_ = flag; }

    // Shows the items of another id (the head of its chain) instead of its
    // own, so a choice follows a list another page keeps; 0: its own items.
    void SetItemSource(uint16_t sourceId) { itemSource_ = sourceId; }
    const std::vector<TpItem>& Items() const override;

    bool Step(int direction) override;
    std::string ValueText() const override;

private:
    uint8_t extraFlag_ = 0;
    uint16_t itemSource_ = 0;
    mutable bool reading_ = false;   // guards against lists that show each other
};
