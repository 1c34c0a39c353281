#include "TpScriptAction.h"

#include "TpScriptHost.h"

#include "KrZuApi.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "core/text/TextTable.h"
#include "platform/DebugOut.h"

TpScriptAction::TpScriptAction(const char* name, const std::string& keyword, const Descriptor& descriptor,
                               uint8_t takesText, uint8_t takesNumber, uint8_t hasDuration)
    : name_(name), descriptor_(descriptor), keyword_(keyword), takesText_(takesText),
      takesNumber_(takesNumber), hasDuration_(hasDuration)
{
    if (TpScriptHost* page = TpScriptHost::Instance())
        page->RegisterAction(this);
}

TpScriptAction::~TpScriptAction()
{
    if (TpScriptHost* page = TpScriptHost::Instance())
        page->ForgetAction(this);
}

int32_t TpScriptAction::CheckReady(uint32_t /*seconds*/)
{
    return 1;
}

uint32_t TpScriptAction::StartAction(const ScriptStep& /*step*/)
{
    running_ = 1;
    errorCount_ = 0;
    DebugPrintf("Start Action %s\n", name_ != nullptr ? name_ : "");
    if (TpScriptHost* page = TpScriptHost::Instance())
        page->Prompt(GetText(descriptor_[kPrompt]), 0);
    return 1;
}

uint32_t TpScriptAction::EndAction(uint8_t ready)
{
    running_ = 0;
    DebugPrintf("End Action Ready=%d ErrorCount=%d\n", ready, static_cast<int>(errorCount_));
    if (ready == 0)
        ++errorCount_;
    TpScriptHost* page = TpScriptHost::Instance();
    if (errorCount_ != 0) {
        LogEvent(nullptr, kEventError, descriptor_[kResult], nullptr);
        if (page != nullptr)
            page->AddReportLine(descriptor_[kResult], nullptr);
    } else if (page != nullptr && TpStore::Instance() != nullptr &&
               TpStore::Instance()->GetValue(COM_SCRIPTS_MAKE_REPORT) != 0) {
        page->AddReportResult("OK", true);
    }
    if (page != nullptr)
        page->ReleaseAction();
    return errorCount_;
}

void TpScriptAction::CancelAction()
{
}

void TpScriptAction::LogResult(const std::string& text)
{
    LogEvent(nullptr, kEventError, descriptor_[kResult], text.c_str());
    if (TpScriptHost* page = TpScriptHost::Instance())
        page->AddReportLine(descriptor_[kResult], text.c_str());
}
