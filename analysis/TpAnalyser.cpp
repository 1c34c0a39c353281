#include "TpAnalyser.h"

#include "core/TpLogger.h"
#include "core/TpStore.h"
#include "platform/DebugOut.h"
#include "remote/scripts/TpScripts.h"

#include <cstdio>

namespace {

TpAnalyser* g_analyser = nullptr;


// Text numbers of the CRC actions: step name, report line, prompt, result,
// label of the text field.
constexpr TpScriptAction::Descriptor kSdiCrcTexts{160, 161, 162, 163, 168};
constexpr TpScriptAction::Descriptor kApCrcTexts{164, 165, 166, 167, 168};

} // namespace

TpAnalyser::TpAnalyser(TpCommand* parent) : TpParent(parent, 0, 0)
{
    g_analyser = this;
    if (TpStore* store = TpStore::Instance())
        store->AddTask(this, "Analyser", kUpdatePeriodMs, false, false);
    // Script steps with a text and a duration, registered in this order.
    sdiCrc_ = std::make_unique<TpCrcScriptAction>("Check SDI CRC", "CHECKERRS", kSdiCrcTexts, 1, 0, 1);
    apCrc_ = std::make_unique<TpCrcScriptAction>("Check AP CRC", "CHECK_AP_CRC", kApCrcTexts, 1, 0, 1);
}

TpAnalyser::~TpAnalyser()
{
    if (g_analyser == this)
        g_analyser = nullptr;
}

TpAnalyser* TpAnalyser::Instance()
{
    return g_analyser;
}

void TpAnalyser::SetLevel(int dest, double level, uint32_t flags)
{
    if (dest < 0 || dest >= kDestinations) {
        DebugPrintf("ERROR: Invalid Dest %d\n", dest);
        return;
    }
    Level& record = levels_[static_cast<size_t>(dest)];
    record.set = true;
    record.level = level;
    record.flags = flags;
}

void TpAnalyser::SetOutputParams(int left, int right, double leftGain, double rightGain)
{
    output_.set = true;
    output_.left = left;
    output_.right = right;
    output_.leftGain = leftGain;
    output_.rightGain = rightGain;
}

int32_t TpCrcScriptAction::CheckReady(uint32_t /*seconds*/)
{
    return 1;
}

void TpCrcScriptAction::CancelAction()
{
    const uint32_t line = DescriptorText(kReportLine);
    LogEvent(nullptr, kEventError, line, nullptr);
    if (TpScripts* page = TpScripts::Instance())
        page->AddReportLine(line, nullptr);
}

const TpAnalyser::Level& TpAnalyser::GetLevel(int dest) const
{
    static const Level none;
    return dest >= 0 && dest < kDestinations ? levels_[static_cast<size_t>(dest)] : none;
}

bool TpAnalyser::IsIpModule() const
{
    return false;
}

bool TpAnalyser::IsHdmiOutModule() const
{
    return false;
}

bool TpAnalyser::IsTypeKnown() const
{
    return false;
}

void TpAnalyser::ClearTypeKnown() {}

void TpAnalyser::SetMode(int mode)
{
    // The audio meters are reconfigured here for the new mode.
    mode_ = mode;
}

void TpAnalyser::Update()
{
    // Each update refreshes the audio meters (levels, channel mask, status
    // byte, Dolby line) and the channel-status page.
    ++updates_;
}

void TpAnalyser::OnTask()
{
    Update();
}
