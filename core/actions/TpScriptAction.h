// A script action: a step type that another part of the instrument adds to
// the scripts (the analyser's CRC checks, the audio meters' level checks, the
// scripts page's own "Close Window"). Constructed while the scripts page
// (the script host) exists, it registers at once and becomes step type 12 +
// its index in the page's list; the runner drives it through CheckReady,
// StartAction, EndAction and CancelAction.
#pragma once

#include "core/store/TpBase.h"

#include <array>
#include <cstdint>
#include <string>

struct ScriptStep;

class TpScriptAction : public TpBase {
public:
    // Words of the descriptor: text-table numbers.
    enum DescriptorWord : int {
        kStepName = 0,      // name in the step list
        kReportLine = 1,    // report line of the CRC actions
        kPrompt = 2,        // prompt shown at the start; heading of the report section
        kResult = 3,        // result logged and reported when the step fails
        kEditLabel = 4,     // label before the step's text field in the editor
    };
    using Descriptor = std::array<uint32_t, 5>;

    // name is kept by pointer (a constant text); keyword is copied.
    TpScriptAction(const char* name, const std::string& keyword, const Descriptor& descriptor,
                   uint8_t takesText, uint8_t takesNumber, uint8_t hasDuration);
    // Leaves the scripts page's list (its step type stays taken).
    ~TpScriptAction() override;

    // 1 when the action is ready to start, given the seconds since the step
    // began.
    virtual int32_t CheckReady(uint32_t seconds);
    // Starts the action for the step; always 1.
    virtual uint32_t StartAction(const ScriptStep& step);
    // Ends the action; the error count (non-zero: the step failed).
    virtual uint32_t EndAction(uint8_t ready);
    virtual void CancelAction();

    // Logs the result text (descriptor word 3) with text as an event and as
    // a line of the running report.
    void LogResult(const std::string& text);

    const char* Name() const { return name_; }
    const std::string& Keyword() const { return keyword_; }
    // Text number of a descriptor word; 0 outside 0-4.
    uint32_t DescriptorText(int word) const
    {
        return word >= 0 && word < static_cast<int>(descriptor_.size()) ? descriptor_[static_cast<size_t>(word)]
                                                                        : 0;
    }
    uint8_t TakesText() const { return takesText_; }
    uint8_t TakesNumber() const { return takesNumber_; }
    uint8_t HasDuration() const { return hasDuration_; }
    bool IsRunning() const { return running_ != 0; }
    uint32_t ErrorCount() const { return errorCount_; }

protected:
    uint8_t running_ = 0;
    uint32_t errorCount_ = 0;

private:
    const char* name_;
    Descriptor descriptor_;
    std::string keyword_;
    uint8_t takesText_;
    uint8_t takesNumber_;
    uint8_t hasDuration_;
};
