#include "TpMeter.h"

#include "core/store/TpStore.h"

TpMeter::TpMeter(TpCommand* parent, int index, uint16_t levelId, uint16_t barId, uint16_t hiResId,
                 uint16_t pairNameId, uint16_t logPairId, const MeterScale* scale)
    : TpCommand(parent, levelId, kKeepsValue), index_(index), scale_(scale)
{
    bar_ = std::make_unique<TpCommand>(this, barId, kKeepsValueText);
    hiRes_ = std::make_unique<TpCommand>(this, hiResId, kKeepsValue);
    if (index % 2 == 0)
        pairName_ = std::make_unique<TpCommand>(this, pairNameId, kKeepsText);
    logPair_ = std::make_unique<TpCommand>(this, logPairId, kKeepsValue);
}

int32_t TpMeter::SetValue(int32_t value)
{
    bar_->SetValueAll(MeterLookup(scale_, value));
    return TpCommand::SetValue(value);
}

void TpMeter::SetVisible(bool visible)
{
    TpCommand::SetVisible(visible);
    bar_->SetVisibleAll(visible);
    if (pairName_)
        pairName_->SetVisibleAll(visible);
}
