// An edit box: a number that left and right step through its range (through
// the store, so every view of the id follows), or a text set by the store.
// Typed entry on an on-screen keyboard is not part of this toolkit.
#pragma once

#include "TKrObject.h"

#include <cstdint>
#include <limits>

class TpEdit : public TKrObject {
public:
    TpEdit(TpCommand* parent, uint16_t cmdId, CmdValueKind valueKind = kKeepsValue);

    int WidgetType() const override { return kWidgetEdit; }

    // Values outside [min, max] are not stepped to; step is at least 1.
    void SetRange(int32_t min, int32_t max);
    void SetStep(int32_t step) { step_ = step > 0 ? step : 1; }
    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }

    bool Step(int direction) override;

private:
    int32_t min_ = std::numeric_limits<int32_t>::min();
    int32_t max_ = std::numeric_limits<int32_t>::max();
    int32_t step_ = 1;
};
