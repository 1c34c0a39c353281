// The meter checks a script can run: every logged meter reads the reference
// level ("CHECK_METER_LEVEL"), or every logged meter is off
// ("CHECK_METER_OFF_LEVEL"). While a check runs, each meter update reports
// to it; each failing comparison is one error and one result line.
#pragma once

#include "core/actions/TpScriptAction.h"

#include <cstdint>
#include <memory>

class TpMeterScriptAction : public TpScriptAction {
public:
    using TpScriptAction::TpScriptAction;
    // Starts counting and shows the prompt.
    uint32_t StartAction(const ScriptStep& step) override;
    // "OK" when nothing failed; the error count.
    uint32_t EndAction(uint8_t ready) override;
    // One failing comparison: a result line (meter 1-16, level in whole dB)
    // and one error more.
    void Fail(const char* format, int meter, int32_t tenths);
};

class TpMeterScriptActions {
public:
    // A meter at this level (tenths of a dB) or above is not off.
    static constexpr int32_t kOffLimit = -690;

    TpMeterScriptActions(const TpScriptAction::Descriptor& levelTexts, const TpScriptAction::Descriptor& offTexts);
    virtual ~TpMeterScriptActions();

    // meter: 1-16; levels in tenths of a dB.
    void ReportLevel(int meter, int32_t tenths, int32_t expected);
    void ReportOff(int meter, int32_t tenths);

    TpMeterScriptAction& LevelCheck() { return *level_; }
    TpMeterScriptAction& OffCheck() { return *off_; }

    static constexpr TpScriptAction::Descriptor kLevelTexts{151, 0, 142, 143, 117};
    static constexpr TpScriptAction::Descriptor kOffTexts{227, 0, 228, 143, 117};

private:
    std::unique_ptr<TpMeterScriptAction> level_;
    std::unique_ptr<TpMeterScriptAction> off_;
};
