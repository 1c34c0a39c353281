#include "TpAnalyser.h"

#include "audio/dolby/TpDolbyStatus.h"
#include "board/VideoFormat.h"

#include "core/store/TpApplication.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "KrZuApi.h"
#include "platform/DebugOut.h"
#include "core/actions/TpScriptHost.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

TpAnalyser* g_analyser = nullptr;


// Text numbers of the CRC actions: step name, report line, prompt, result,
// label of the text field.
constexpr TpScriptAction::Descriptor kSdiCrcTexts{160, 161, 162, 163, 168};
constexpr TpScriptAction::Descriptor kApCrcTexts{164, 165, 166, 167, 168};

// The SFP status page's connector labels and unknown-module text.
constexpr unsigned kSfpFirstLabelCmd = 831;
constexpr unsigned kSfpSecondLabelCmd = 832;
constexpr unsigned kSfpUnrecognisedTextCmd = 2285;

// The CRC counters of the status page: CrCb, Y and the third (unnamed) one.
constexpr unsigned kCrcCounters[] = {COM_STATUS_CRC_CRCB_ERRORS, COM_STATUS_CRC_Y_ERRORS, 422};

} // namespace

TpAnalyser::TpAnalyser(TpCommand* parent, TpIniFile* settings, TpApplication* app) : TpParent(parent, 0, kKeepsNothing)
{
    g_analyser = this;
    if (TpStore* store = TpStore::Instance())
        store->AddTask(this, "Analyser", kUpdatePeriodMs, false, false);
    // A button, so that every press clears, from the status page or a script.
    clearErrors_ = std::make_unique<TpButtonPress>(this, COM_STATUS_CLEAR_ALL_ERRORS);
    // Script steps with a text and a duration, registered in this order.
    sdiCrc_ = std::make_unique<TpCrcScriptAction>("Check SDI CRC", "CHECKERRS", kSdiCrcTexts, 1, 0, 1);
    apCrc_ = std::make_unique<TpCrcScriptAction>("Check AP CRC", "CHECK_AP_CRC", kApCrcTexts, 1, 0, 1);
    // The pages of the tree.
    const bool service = app != nullptr && app->ServiceKeysHeld();
    meters_ = std::make_unique<TpAudioMeters>(this, settings, TpAudioMeters::kCommandIds, kMakeAesMonitor,
                                              kAesMonitorFlag, service);
    phones_ = std::make_unique<TpAudMonitor>(this, TpAudMonitor::kCommandIds, kPhonesAes, kPhonesStream);
    chanStatus_ = std::make_unique<TpChanStatus>(TpChanStatus::kCommandIds, kChanStatusAesItems);
    dolby_ = std::make_unique<TpDolbyStatus>(meters_.get(), TpDolbyStatus::kCommandIds, TpDolbyStatus::kTexts);
    meters_->SetDolbyStatus(dolby_.get());
    sfpStatus_ = std::make_unique<TkrSFPStatus>(COM_ANLYS_SFP_STATUS, kSfpFirstLabelCmd, kSfpSecondLabelCmd,
                                                kSfpUnrecognisedTextCmd, COM_INFO_SFP_DATABASE_UPDATE_RESULT);
}

TpAnalyser::~TpAnalyser()
{
    meters_->SetDolbyStatus(nullptr);
    dolby_.reset();
    if (g_analyser == this)
        g_analyser = nullptr;
}

TpAnalyser* TpAnalyser::Instance()
{
    return g_analyser;
}

void TpAnalyser::SetLevel(int dest, double level, uint32_t flags)
{
    meters_->SetLevel(dest, level, flags);
    phones_->SetLevel(dest, level, flags);
}

void TpAnalyser::SetOutputParams(int left, int right, double leftGain, double rightGain)
{
    meters_->SetOutputParams(left, right, leftGain, rightGain);
    phones_->SetOutputParams(left, right, leftGain, rightGain);
}

int32_t TpCrcScriptAction::CheckReady(uint32_t /*seconds*/)
{
    return 1;
}

void TpCrcScriptAction::CancelAction()
{
    const uint32_t line = DescriptorText(kReportLine);
    LogEvent(nullptr, kEventError, line, nullptr);
    if (TpScriptHost* page = TpScriptHost::Instance())
        page->AddReportLine(line, nullptr);
}

bool TpAnalyser::IsIpModule() const
{
    return sfpStatus_->IsIpModule();
}

bool TpAnalyser::IsHdmiOutModule() const
{
    return sfpStatus_->IsHdmiOutModule();
}

bool TpAnalyser::IsTypeKnown() const
{
    return sfpStatus_->IsTypeKnown();
}

void TpAnalyser::ClearTypeKnown()
{
    sfpStatus_->ClearTypeKnown();
}

void TpAnalyser::SetMode(int mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    meters_->Configure(static_cast<uint32_t>(mode));
}

void TpAnalyser::Update()
{
    ++updates_;
    meters_->UpdateMeters();
    meters_->SetChannelMask(channelMask_);
    meters_->SetStatusByte(statusByte_);
    ReadInputTiming(SimInputStandard(), timing_);
    meters_->UpdateDolbyLine(timing_);
    chanStatus_->DrawStatus();
    if (mode_ == kAesInputMode)
        chanStatus_->ForceItemsEnabled();
}

void TpAnalyser::OnTask()
{
    Update();
}

void TpAnalyser::OnChildChanged(TpCommand* child, int reason)
{
    if (child == clearErrors_.get() && reason == kReasonValue)
        ClearErrorCounters();
}

void TpAnalyser::ClearErrorCounters()
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr)
        return;
    // The pages' own clear buttons, pressed as the user would.
    store->SetValue(COM_STATUS_CLEAR_AES_ERRORS, 1);
    store->SetValue(COM_ANLYS_DOLBY_CLEAR_ERRORS, 1);
    for (unsigned id : kCrcCounters)
        store->SetValue(id, 0);
}

void TpAnalyser::ReadInputTiming(int standard, uint32_t (&timing)[DolbyStatusView::kTimingWords])
{
    std::fill(std::begin(timing), std::end(timing), 0u);
    const VideoStdRow* row = VideoStdAt(standard);
    const FrameRateRow* rate = row != nullptr ? FrameRateAt(row->rateCode) : nullptr;
    if (rate == nullptr || rate->denominator == 0)
        return;
    const uint64_t frameSamples = static_cast<uint64_t>(row->samplesPerLine) * row->totalLines;
    timing[DolbyStatusView::kClockKhz] = static_cast<uint32_t>(frameSamples * rate->numerator / rate->denominator / 1000);
    timing[DolbyStatusView::kSamplesPerLine] = row->samplesPerLine;
    timing[DolbyStatusView::kLinesPerFrame] = row->totalLines;
    timing[DolbyStatusView::kFirstLine] = 1;
    timing[DolbyStatusView::kActiveLines] = row->activeLines;
    timing[DolbyStatusView::kActiveSamples] = row->activeSamples;
    timing[DolbyStatusView::kRateCode] = row->rateCode;
}
