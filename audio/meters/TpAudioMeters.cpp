#include "TpAudioMeters.h"

#include "TextFormat.h"
#include "TpThreshold.h"

#include "audio/aes/TpAESMonitor.h"
#include "board/AudioBoard.h"
#include "board/PowerControl.h"
#include "core/text/TextTable.h"
#include "core/log/TpCommandLine.h"
#include "core/files/TpIniFile.h"
#include "core/store/Colours.h"
#include "core/store/TpStore.h"

#include <atomic>

namespace {
std::atomic<bool> g_inputCalibration{false};

constexpr const char* kScale18File = "meters/meters18.tga";
constexpr const char* kScale20File = "meters/meters20.tga";

// Caption texts by caption index; the last is the pair-name format.
constexpr unsigned kPairNameText = 90;
constexpr unsigned kCaptionTexts[] = {86, 87, 88, 89, 155, 282, kPairNameText};
constexpr int kCapAes = 3;
constexpr int kCapDolby = 4;
constexpr int kCapAesMonitor = 5;

constexpr int32_t kSourceAes = 6;
constexpr int32_t kSourceDolby = 7;
constexpr int kDolbyItem = 7;
constexpr int kAesItem = 6;

// Which presence bits a bank shows.
enum class Lanes : uint8_t { ModeLow, InputLow, SecondLow, ModeHigh, InputHigh, SecondHigh, Aes, All };
// A bank's colour: by mode, the input's, the second input's, the AES one.
enum class Tint : uint8_t { Mode, Input, Second, Aes };
constexpr uint32_t kInputColour = 0x40007F;
constexpr uint32_t kSecondColour = 0x007F00;
constexpr uint32_t kAesColour = 0x7F0000;
constexpr int kKeep = -2;   // captions unchanged

struct BankLayout {
    int8_t caption;   // both slots' caption index, or kKeep
    bool groups34;    // the slots show groups 3 and 4
    Lanes lanes;
    Tint tint;
};
// By source type: caption, groups 3-4, mask bits, bank colour (type 6
// captions depend on the AES flag).
constexpr BankLayout kBankLayouts[] = {
    {kKeep, false, Lanes::ModeLow, Tint::Mode},
    {1, false, Lanes::InputLow, Tint::Input},
    {2, false, Lanes::SecondLow, Tint::Second},
    {kKeep, true, Lanes::ModeHigh, Tint::Mode},
    {1, true, Lanes::InputHigh, Tint::Input},
    {2, true, Lanes::SecondHigh, Tint::Second},
    {kKeep, false, Lanes::Aes, Tint::Aes},
    {kCapDolby, false, Lanes::All, Tint::Mode},
};

} // namespace

bool TpAudioMeters::InputCalibration()
{
    return g_inputCalibration.load();
}

void TpAudioMeters::SetInputCalibration(bool on)
{
    g_inputCalibration.store(on);
}

TpAudioMeters::TpAudioMeters(TpCommand* parent, TpIniFile* settings, const CmdIds& ids, bool makeAes,
                             uint8_t aesFlag, bool serviceMode)
    : TpMonParent(parent), TpMeterScriptActions(kLevelTexts, kOffTexts), settings_(settings),
      aesFlag_(aesFlag)
{
    scale_ = std::make_unique<MeterScale>(MeterScale::Scale18());
    referenceDb_ = scale_->ReferenceDb();
    scaleFile_ = std::make_unique<TpCommand>(this, ids[kScaleFile], kKeepsText);
    scaleFile_->SetTextAll(kScale18File);
    scaleFile_->SetColourAll(Colour::kListBlue);
    if (makeAes)
        aes_ = std::make_unique<TpAESMonitor>(TpAESMonitor::kCommandIds);
    for (int i = 0; i < kMeters; ++i) {
        meters_.push_back(std::make_unique<TpMeter>(
            this, i, static_cast<uint16_t>(ids[kLevel] + i), static_cast<uint16_t>(ids[kBar] + i),
            static_cast<uint16_t>(ids[kHiRes] + i), static_cast<uint16_t>(ids[kPairName] + i / 2),
            static_cast<uint16_t>(ids[kLogPair] + i / 2), scale_.get()));
        meters_.back()->SetValueAll(kResetLevel);
    }
    auto child = [this](uint16_t id) { return std::make_unique<TpChildCmd>(this, id, kKeepsValue); };
    scaleSelect_ = child(ids[kScale]);
    sources_[0] = child(ids[kSource1]);
    sources_[1] = child(ids[kSource2]);
    dolbySource_ = child(ids[kDolbySource]);
    colours_[0] = std::make_unique<TpCommand>(this, ids[kColour1], kKeepsValue);
    colours_[1] = std::make_unique<TpCommand>(this, ids[kColour2], kKeepsValue);
    gainLeft_ = child(ids[kGainLeft]);
    gainRight_ = child(ids[kGainRight]);
    for (int k = 0; k < kCaptions; ++k)
        captions_[static_cast<size_t>(k)] = std::make_unique<TpCommand>(this, static_cast<uint16_t>(ids[kCaption] + k), kKeepsText);
    secondStream_ = child(ids[kSecondStream]);
    if (!aes_) {
        sources_[0]->SetItemEnabledAll(kAesItem, false);
        sources_[1]->SetItemEnabledAll(kAesItem, false);
        dolbySource_->SetItemEnabledAll(0, false);
        if (dolbySource_->GetValue() == 0)
            dolbySource_->SetValueAll(1);
    }
    LoadGain(kGainLeftKey, *gainLeft_, serviceMode);
    LoadGain(kGainRightKey, *gainRight_, serviceMode);
    AddCommand("audincal", 6, 0, [](int) { SetInputCalibration(TpCommandLine::ArgWord(0) != 0); });
    // The banks start laid out for the first mode.
    Configure(mode_);
}

TpAudioMeters::~TpAudioMeters() = default;

void TpAudioMeters::LoadGain(const char* key, TpChildCmd& cmd, bool serviceMode)
{
    // A missing key or one that is not a number leaves the gain as it is.
    int32_t value = 0;
    if (settings_ != nullptr && ReadGainSetting(*settings_, key, value))
        cmd.SetValueAll(value);
    // The input gains are calibration: editable only in service mode.
    if (serviceMode)
        cmd.SetEnabledAll(true);
}

void TpAudioMeters::GainChanged(int side, const char* key, TpChildCmd& cmd)
{
    if (settings_ != nullptr)
        settings_->SetInt("", key, cmd.GetValue());
    meter_hw_set(side, cmd.GetValue());
    Configure(mode_);
}

TpMeter* TpAudioMeters::Meter(int index)
{
    return index >= 0 && index < kMeters ? meters_[static_cast<size_t>(index)].get() : nullptr;
}

bool TpAudioMeters::EitherSourceIs(int32_t type) const
{
    return sources_[0]->GetValue() == type || sources_[1]->GetValue() == type;
}

void TpAudioMeters::SelectScale(int32_t value)
{
    if (value == 0 || value == 1) {
        auto scale = std::make_unique<MeterScale>(value == 0 ? MeterScale::Scale18() : MeterScale::Scale20());
        scaleFile_->SetTextAll(value == 0 ? kScale18File : kScale20File);
        referenceDb_ = scale->ReferenceDb();
        // The meters take the new scale before the old one goes.
        for (auto& meter : meters_)
            meter->SetScale(scale.get());
        scale_ = std::move(scale);
    }
    // Set on the meter itself too: a meter already at the value still
    // redraws its bar on the new scale.
    for (auto& meter : meters_) {
        meter->SetValue(kResetLevel);
        meter->SetValueAll(kResetLevel);
    }
}

void TpAudioMeters::OnChildChanged(TpCommand* child, int reason)
{
    if (child == secondStream_.get()) {
        if (reason == kReasonValue)
            for (auto& source : sources_)
                if (source->GetValue() == kSourceAes)
                    OnChildChanged(source.get(), kReasonValue);
    } else if (child == scaleSelect_.get()) {
        if (reason == kReasonValue)
            SelectScale(child->GetValue());
    } else if (child == sources_[0].get() || child == sources_[1].get()) {
        if (reason == kReasonValue) {
            Configure(mode_);
            power_set_meter_analog(EitherSourceIs(kSourceAes) ? 1 : 0);
        }
    } else if (child == dolbySource_.get()) {
        if (reason == kReasonVisible)
            for (auto& source : sources_)
                source->SetItemEnabledAll(kDolbyItem, dolbySource_->IsVisible());
    } else if (child == gainLeft_.get()) {
        if (reason == kReasonValue)
            GainChanged(0, kGainLeftKey, *gainLeft_);
    } else if (child == gainRight_.get()) {
        if (reason == kReasonValue)
            GainChanged(1, kGainRightKey, *gainRight_);
    }
}

void TpAudioMeters::Reconfigure()
{
    Configure(mode_);
}

void TpAudioMeters::Configure(uint32_t mode)
{
    mode_ = mode;
    for (int i = 0; i < kMeters; ++i)
        UpdateDest(i);
    cap_ = {0, 0, 0, 0};
    grp_ = {1, 2, 1, 2};
    pairMask_ = 0;
    LayOutBank(0);
    LayOutBank(1);
    for (int k = 0; k < kCaptions; ++k) {
        TpCommand& caption = *captions_[static_cast<size_t>(k)];
        const int c = cap_[static_cast<size_t>(k)];
        caption.SetVisibleAll(c >= 0);
        caption.SetTextAll(c >= 0 ? FormatTextInt(::GetText(kCaptionTexts[c]), grp_[static_cast<size_t>(k)]) : "");
    }
    UpdatePairNames();
}

void TpAudioMeters::LayOutBank(int bank)
{
    const int slot = 2 * bank;
    const int shift = 4 * bank;
    const int32_t type = sources_[static_cast<size_t>(bank)]->GetValue();
    const bool mode0 = mode_ == 0;
    const bool aes = aesFlag_ != 0;
    uint8_t bits = 0;
    uint32_t colour = kInputColour;
    if (type >= 0 && type < static_cast<int32_t>(std::size(kBankLayouts))) {
        const BankLayout& row = kBankLayouts[type];
        if (type == kSourceAes) {
            cap_[static_cast<size_t>(slot)] = bank == 0 ? kCapAes : (aes ? kCapAesMonitor : -1);
            cap_[static_cast<size_t>(slot + 1)] = bank == 0 ? (aes ? kCapAesMonitor : -1) : kCapAes;
        } else if (row.caption != kKeep) {
            cap_[static_cast<size_t>(slot)] = cap_[static_cast<size_t>(slot + 1)] = row.caption;
        }
        if (row.groups34) {
            grp_[static_cast<size_t>(slot)] = 3;
            grp_[static_cast<size_t>(slot + 1)] = 4;
        }
        const uint8_t p = presence_, q = second_;
        switch (row.lanes) {
        case Lanes::ModeLow: bits = (mode0 ? p : q) & 0xF; break;
        case Lanes::InputLow: bits = p & 0xF; break;
        case Lanes::SecondLow: bits = q & 0xF; break;
        case Lanes::ModeHigh: bits = (mode0 ? p : q) >> 4; break;
        case Lanes::InputHigh: bits = p >> 4; break;
        case Lanes::SecondHigh: bits = q >> 4; break;
        case Lanes::Aes: bits = bank == 0 ? (aes ? 7 : 3) : (aes ? 0xD : 0xC); break;
        case Lanes::All: bits = 0xF; break;
        }
        switch (row.tint) {
        case Tint::Mode: colour = mode0 ? kInputColour : kSecondColour; break;
        case Tint::Input: colour = kInputColour; break;
        case Tint::Second: colour = kSecondColour; break;
        case Tint::Aes: colour = kAesColour; break;
        }
    }
    pairMask_ = static_cast<uint8_t>(pairMask_ | ((bits & 0xF) << shift));
    colours_[static_cast<size_t>(bank)]->SetValueAll(static_cast<int32_t>(colour));
    colours_[static_cast<size_t>(bank)]->SetBackColourAll(colour);
}

void TpAudioMeters::UpdatePairNames()
{
    const std::string format = ::GetText(kPairNameText);
    for (int p = 0; p < kMeters / 2; ++p) {
        TpCommand* name = meters_[static_cast<size_t>(2 * p)]->PairName();
        if (name == nullptr)
            continue;
        const int c = cap_[static_cast<size_t>(p / 2)];
        std::string text;
        if (c == kCapAes)
            text = FormatTextInt(format, 1);
        else if (c == kCapDolby)
            text = dolby_ != nullptr ? dolby_->ChannelName(p & 3) : std::string();
        else
            text = FormatTextInt(format, (p & 1) + 1);
        name->SetTextAll(text);
    }
}

void TpAudioMeters::UpdateMeters()
{
    UpdatePairNames();
    if (aes_)
        aes_->Update();
    for (int i = 0; i < kMeters; ++i) {
        TpMeter& meter = *meters_[static_cast<size_t>(i)];
        const uint8_t pairBit = static_cast<uint8_t>(1u << (i / 2));
        const int r = random_.Next();
        meter.SetValueAll((r % 241 - 160) / 4);
        if (meter.IsVisible()) {
            const int32_t level = 0;
            if (TpThresholdSet* thresholds = TpThresholdSet::Instance())
                thresholds->Evaluate(level, meter);
            if (meter.LogPair() && (pairMask_ & pairBit) != 0) {
                ReportLevel(i + 1, level, referenceDb_ * 10);
                ReportOff(i + 1, level);
            }
            meter.Bar().SetTextAll("");
        }
    }
    if (dolby_ != nullptr)
        dolby_->UpdateMeters();
    if (sources_[0]->GetValue() == kSourceDolby) {
        // Test levels: -18 dB down to -32 dB in 2 dB steps.
        for (int i = 0; i < kMeters / 2; ++i) {
            TpMeter& meter = *meters_[static_cast<size_t>(i)];
            meter.Bar().SetVisibleAll(true);
            if (meter.PairName() != nullptr)
                meter.PairName()->SetVisibleAll(true);
            meter.SetVisibleAll(true);
            meter.SetValueAll(-180 - 20 * i);
        }
    }
}

void TpAudioMeters::SetChannelMask(uint8_t mask)
{
    if (mask == presence_)
        return;
    presence_ = mask;
    Reconfigure();
}

void TpAudioMeters::SetStatusByte(uint8_t status)
{
    status_ = status;
}

void TpAudioMeters::UpdateDolbyLine(const uint32_t (&timing)[DolbyStatusView::kTimingWords])
{
    if (dolby_ != nullptr)
        dolby_->UpdateDolbyLine(timing);
}
