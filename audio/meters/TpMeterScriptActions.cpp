#include "TpMeterScriptActions.h"

#include "core/text/TextTable.h"
#include "platform/DebugOut.h"
#include "core/actions/TpScriptHost.h"

#include <cstdio>

void TpMeterScriptAction::Fail(const char* format, int meter, int32_t tenths)
{
    char text[64];
    std::snprintf(text, sizeof text, format, meter, static_cast<long>(tenths / 10));
    LogResult(text);
    ++errorCount_;
}

uint32_t TpMeterScriptAction::StartAction(const ScriptStep& /*step*/)
{
    errorCount_ = 0;
    running_ = 1;
    if (TpScriptHost* page = TpScriptHost::Instance())
        page->Prompt(GetText(DescriptorText(kPrompt)), 0);
    return 1;
}

uint32_t TpMeterScriptAction::EndAction(uint8_t /*ready*/)
{
    running_ = 0;
    TpScriptHost* page = TpScriptHost::Instance();
    if (errorCount_ == 0 && page != nullptr)
        page->AddReportResult("OK", true);
    DebugPrintf("Emb Audio ErrorCount=%d\n", static_cast<int>(errorCount_));
    if (page != nullptr)
        page->ReleaseAction();
    return errorCount_;
}

TpMeterScriptActions::TpMeterScriptActions(const TpScriptAction::Descriptor& levelTexts,
                                           const TpScriptAction::Descriptor& offTexts)
    : level_(std::make_unique<TpMeterScriptAction>("Check Meter Levels", "CHECK_METER_LEVEL", levelTexts, 1, 0, 1)),
      off_(std::make_unique<TpMeterScriptAction>("Check Meters Off", "CHECK_METER_OFF_LEVEL", offTexts, 1, 0, 1))
{
}

TpMeterScriptActions::~TpMeterScriptActions() = default;

void TpMeterScriptActions::ReportLevel(int meter, int32_t tenths, int32_t expected)
{
    if (level_->IsRunning() && tenths != expected)
        level_->Fail("Expect Norm %d %lddB", meter, tenths);
}

void TpMeterScriptActions::ReportOff(int meter, int32_t tenths)
{
    if (off_->IsRunning() && tenths >= kOffLimit)
        off_->Fail("Expect Off %d %lddB", meter, tenths);
}
