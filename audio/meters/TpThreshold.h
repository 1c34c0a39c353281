// The audio level thresholds: clipped, high, quiet and muted audio. A meter
// that stays beyond a threshold's limit for its number of updates starts an
// event; coming back ends it.
#pragma once

#include "KrZuApi.h"
#include "core/store/TpCommand.h"

#include <array>
#include <cstdint>
#include <memory>

class TpMeter;

class TpThreshold : public TpCommand {
public:
    enum Kind : uint32_t { kAbove = 0, kBelow = 1 };
    static constexpr int kMeters = 16;

    // Its own command is the enable switch.
    TpThreshold(uint16_t enableId, uint16_t levelId, uint16_t framesId, uint32_t kind, uint32_t startText,
                uint32_t endText, uint8_t mask);

    // True while the meter's level (tenths of a dB) is held beyond the limit.
    bool Evaluate(int32_t tenths, const TpMeter& meter);
    // The state of one meter (false / 0 out of range).
    bool Active(int meter) const;
    uint32_t Count(int meter) const;
    uint8_t Mask() const { return mask_; }

private:
    struct State {
        uint8_t active = 0;
        uint32_t count = 0;
    };
    void Report(uint32_t textNumber, int meter, int32_t tenths) const;

    std::unique_ptr<TpCommand> level_;
    std::unique_ptr<TpCommand> frames_;
    uint32_t kind_;
    uint32_t startText_;
    uint32_t endText_;
    uint8_t mask_;
    std::unique_ptr<std::array<State, kMeters>> states_;
};

// The four thresholds, asked in the order clip, high, muted, quiet. One set
// per application, reached through Instance() by the meters.
class TpThresholdSet {
public:
    struct Row {
        uint16_t levelId;
        uint16_t framesId;
        uint16_t enableId;
        uint16_t spare;
        uint32_t startText;
        uint32_t endText;
    };
    static constexpr int kCount = 4;
    enum RowIndex : int { kClip = 0, kHigh = 1, kQuiet = 2, kMuted = 3 };
    // level, frames, enable, 0, start text, end text
    static constexpr std::array<Row, kCount> kRows = {{
        {COM_ANLYS_LOG_CLIP_LEVEL, COM_ANLYS_LOG_CLIP_FRAMES, COM_ANLYS_LOG_CLIP_ENABLE, 0, 5, 9},
        {COM_ANLYS_LOG_HIGH_LEVEL, COM_ANLYS_LOG_HIGH_FRAMES, COM_ANLYS_LOG_HIGH_ENABLE, 0, 6, 10},
        {COM_ANLYS_LOG_QUIET_LEVEL, COM_ANLYS_LOG_QUIET_FRAMES, COM_ANLYS_LOG_QUIET_ENABLE, 0, 7, 11},
        {COM_ANLYS_LOG_MUTED_LEVEL, COM_ANLYS_LOG_MUTED_FRAMES, COM_ANLYS_LOG_MUTED_ENABLE, 0, 8, 12},
    }};

    explicit TpThresholdSet(const std::array<Row, kCount>& rows);
    ~TpThresholdSet();
    TpThresholdSet(const TpThresholdSet&) = delete;
    TpThresholdSet& operator=(const TpThresholdSet&) = delete;

    // The set in force; none before start-up made it and after it is gone.
    static TpThresholdSet* Instance();

    // False without asking any threshold while the meter's pair is not
    // logged; else true when some threshold holds the meter beyond it.
    bool Evaluate(int32_t tenths, const TpMeter& meter);
    TpThreshold& Threshold(int row) { return *thresholds_[static_cast<size_t>(row)]; }

private:
    std::array<std::unique_ptr<TpThreshold>, kCount> thresholds_;
};
