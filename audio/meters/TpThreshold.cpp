#include "TpThreshold.h"

#include "TpMeter.h"

#include "core/log/TpLogger.h"
#include "platform/DebugOut.h"

#include <climits>
#include <cstdio>

namespace {
TpThresholdSet* g_thresholds = nullptr;

// Row kinds and event masks, by row.
constexpr uint32_t kRowKinds[TpThresholdSet::kCount] = {TpThreshold::kAbove, TpThreshold::kAbove,
                                                         TpThreshold::kBelow, TpThreshold::kBelow};
constexpr uint8_t kRowMasks[TpThresholdSet::kCount] = {1, 2, 4, 8};
// Clip, high, muted, quiet.
constexpr int kAskOrder[TpThresholdSet::kCount] = {TpThresholdSet::kClip, TpThresholdSet::kHigh,
                                                    TpThresholdSet::kMuted, TpThresholdSet::kQuiet};
} // namespace

TpThreshold::TpThreshold(uint16_t enableId, uint16_t levelId, uint16_t framesId, uint32_t kind, uint32_t startText,
                         uint32_t endText, uint8_t mask)
    : TpCommand(nullptr, enableId, kKeepsValue), kind_(kind), startText_(startText), endText_(endText), mask_(mask),
      states_(std::make_unique<std::array<State, kMeters>>())
{
    level_ = std::make_unique<TpCommand>(this, levelId, kKeepsValue);
    frames_ = std::make_unique<TpCommand>(this, framesId, kKeepsValue);
}

bool TpThreshold::Active(int meter) const
{
    return meter >= 0 && meter < kMeters && states_ && (*states_)[static_cast<size_t>(meter)].active != 0;
}

uint32_t TpThreshold::Count(int meter) const
{
    return meter >= 0 && meter < kMeters && states_ ? (*states_)[static_cast<size_t>(meter)].count : 0;
}

bool TpThreshold::Evaluate(int32_t tenths, const TpMeter& meter)
{
    if (!states_) {
        DebugPrintf("ERROR: pThresholdStates not set\n");
        return false;
    }
    const int m = meter.Index();
    if (m < 0 || m >= kMeters || GetValue() == 0)
        return false;
    const int64_t limit = static_cast<int64_t>(level_->GetValue()) * 10;
    const bool beyond = kind_ == kAbove ? tenths > limit : kind_ == kBelow ? tenths < limit : false;
    State& state = (*states_)[static_cast<size_t>(m)];
    if (!beyond) {
        if (state.active != 0) {
            state = State{};
            Report(endText_, m, tenths);
        }
        return false;
    }
    if (state.active != 0)
        return true;
    // "At least": a frame count lowered below a count already reached
    // starts the event at once.
    if (state.count + 1 >= static_cast<uint32_t>(frames_->GetValue())) {
        state = State{1, 0};
        Report(startText_, m, tenths);
    } else {
        ++state.count;
    }
    return true;
}

void TpThreshold::Report(uint32_t textNumber, int meter, int32_t tenths) const
{
    char text[48];
    if (tenths == INT32_MIN)
        std::snprintf(text, sizeof text, "%d -99dB", meter + 1);
    else
        std::snprintf(text, sizeof text, "%d %lddB", meter + 1, static_cast<long>(tenths / 10));
    LogEvent(this, kEventInfo, textNumber, text);
}

TpThresholdSet::TpThresholdSet(const std::array<Row, kCount>& rows)
{
    for (int i = 0; i < kCount; ++i) {
        const Row& row = rows[static_cast<size_t>(i)];
        thresholds_[static_cast<size_t>(i)] = std::make_unique<TpThreshold>(
            row.enableId, row.levelId, row.framesId, kRowKinds[i], row.startText, row.endText, kRowMasks[i]);
    }
    g_thresholds = this;
}

TpThresholdSet::~TpThresholdSet()
{
    if (g_thresholds == this)
        g_thresholds = nullptr;
}

TpThresholdSet* TpThresholdSet::Instance()
{
    return g_thresholds;
}

bool TpThresholdSet::Evaluate(int32_t tenths, const TpMeter& meter)
{
    if (!meter.LogPair())
        return false;
    for (int row : kAskOrder)
        if (thresholds_[static_cast<size_t>(row)]->Evaluate(tenths, meter))
            return true;
    return false;
}
