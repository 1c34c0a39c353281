// One bar meter: its own command is the level in tenths of a dB; setting it
// gives the bar value command the level's place on the scale.
#pragma once

#include "MeterScale.h"

#include "core/store/TpCommand.h"

#include <memory>

class TpMeter : public TpCommand {
public:
    static constexpr int kCount = 16;

    // index 0-15; the pair name exists on even meters only.
    TpMeter(TpCommand* parent, int index, uint16_t levelId, uint16_t barId, uint16_t hiResId, uint16_t pairNameId,
            uint16_t logPairId, const MeterScale* scale);

    int32_t SetValue(int32_t value) override;
    // Shows or hides the bar and the pair name with the meter.
    void SetVisible(bool visible) override;

    void SetScale(const MeterScale* scale) { scale_ = scale; }
    int Index() const { return index_; }
    // Whether the pair's events and checks are logged.
    bool LogPair() const { return logPair_->GetValue() != 0; }
    TpCommand& Bar() { return *bar_; }
    TpCommand* PairName() { return pairName_.get(); }

private:
    int index_;
    const MeterScale* scale_;
    std::unique_ptr<TpCommand> bar_;
    std::unique_ptr<TpCommand> hiRes_;
    std::unique_ptr<TpCommand> pairName_;
    std::unique_ptr<TpCommand> logPair_;
};
