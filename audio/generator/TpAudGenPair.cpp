#include "TpAudGenPair.h"

#include "TpAudOscillators.h"
#include "TpAudioPair.h"

#include "board/AudioBoard.h"
#include "board/PowerControl.h"
#include "core/store/Colours.h"
#include "core/store/TpApplication.h"
#include "platform/DebugOut.h"

#include <cstdint>

namespace {
// Levels in hundredths of a dB.
constexpr int64_t kPulseToneLevel = -900;
constexpr int64_t kMasterR68 = -1800;         // taken as the exact alignment level
constexpr int64_t kMasterR68Exact = -1806;
constexpr int64_t kLevelOffMark = -9800;      // level value -98 dB
constexpr int64_t kLowestLevel = -7200;
constexpr int64_t kLevelFloor = -9900;

int32_t ClampToI32(int64_t v)
{
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v);
}
} // namespace

TpAudGenPair::TpAudGenPair(TpCommand* parent, AudGenPairHost& host, int pair, const AudGenCmdIds& ids,
                           bool aesItems, bool streamItems)
    : TpParent(parent, 0, kKeepsNothing), host_(host), pair_(pair)
{
    auto child = [this](int id) { return std::make_unique<TpChildCmd>(this, static_cast<uint16_t>(id), kKeepsValue); };
    link_ = child(ids[kIdLink] + pair);
    for (int s = 0; s < 2; ++s) {
        Side& side = sides_[s];
        const int offset = 2 * pair + s;
        side.source = child(ids[kIdSource] + offset);
        side.invert = child(ids[kIdInvert] + offset);
        side.frequency = child(ids[kIdFrequency] + offset);
        side.subSource = child(ids[kIdSubSource] + offset);
        side.level = child(ids[kIdLevel] + offset);
    }
    secondStream_ = child(ids[kIdSecondStream]);

    EnableSourceItem(kAesLeft, aesItems);
    EnableSourceItem(kAesRight, aesItems);
    EnableSourceItem(kStreamLeft, streamItems);
    EnableSourceItem(kStreamRight, streamItems);
    EnableSourceItem(kDolby, false);
}

void TpAudGenPair::EnableSourceItem(int item, bool enabled)
{
    for (Side& side : sides_)
        side.source->SetItemEnabledAll(item, enabled);
}

TpAudGenPair::~TpAudGenPair() = default;

AudioSourceCode TpAudGenPair::OutputCode(int side) const
{
    const Side& s = sides_[side];
    return s.code == kSrcOscillator ? OscillatorCode(s.slot) : s.code;
}

void TpAudGenPair::OnChildChanged(TpCommand* child, int reason)
{
    if (reason != kReasonValue)
        return;
    if (child == link_.get()) {
        const bool linked = Linked();
        sides_[kRight].level->SetEnabledAll(!linked);
        if (linked)
            sides_[kRight].level->SetValueAll(sides_[kLeft].level->GetValue());
        return;
    }
    if (child == secondStream_.get()) {
        SecondStreamChanged();
        return;
    }
    for (int s = 0; s < 2; ++s) {
        Side& side = sides_[s];
        if (child == side.source.get()) {
            SourceChanged(s);
        } else if (child == side.subSource.get()) {
            if (side.source->GetValue() == kFixedTone)
                SetFixedFrequency(s);
        } else if (child == side.frequency.get()) {
            side.slot = TpAudOscillators::Shared().AllocOscillator(side.slot,
                                                                   static_cast<uint32_t>(side.frequency->GetValue()));
            ApplyChannels(s);
        } else if (child == side.level.get() || child == side.invert.get()) {
            LevelChanged(s);
        } else {
            continue;
        }
        return;
    }
}

void TpAudGenPair::SourceChanged(int s)
{
    Side& side = sides_[s];
    Side& partner = sides_[1 - s];
    const int32_t source = side.source->GetValue();

    bool showSubSource = false;
    bool showFrequency = false;
    bool showLevel = true;
    switch (source) {
    case kSilence:
        side.code = kSrcSilence;
        showLevel = false;
        break;
    case kFixedTone:
        side.code = kSrcOscillator;
        showSubSource = true;
        SetFixedFrequency(s);
        break;
    case kVariableTone:
        side.code = kSrcOscillator;
        showFrequency = true;
        break;
    case kNoise:
        side.code = kSrcNoise;
        break;
    case kPulseTone:
        side.code = s == kLeft ? kSrcPulseLeft : kSrcPulseRight;
        showLevel = false;
        break;
    case kAesLeft:
        side.code = kSrcAesLeft;
        break;
    case kAesRight:
        side.code = kSrcAesRight;
        break;
    case kDolby:
        side.code = s == kLeft ? kSrcDolbyLeft : kSrcDolbyRight;
        showLevel = false;
        break;
    case kStreamLeft:
        side.code = kSrcStreamLeft;
        showLevel = false;
        break;
    case kStreamRight:
        side.code = kSrcStreamRight;
        showLevel = false;
        break;
    default:
        break;   // code unchanged
    }

    // The Dolby stream takes both sides of a pair.
    if (source == kDolby)
        partner.source->SetValueAll(kDolby);
    else if (partner.source->GetValue() == kDolby)
        partner.source->SetValueAll(kSilence);

    side.subSource->SetVisibleAll(showSubSource);
    side.frequency->SetVisibleAll(showFrequency);
    side.level->SetVisibleAll(showLevel);
    side.invert->SetVisibleAll(showLevel);

    ComputeGain(s);
    ApplyChannels(s);

    auto isStream = [](int32_t v) { return v == kStreamLeft || v == kStreamRight; };
    power_set_audio_pair(pair_, isStream(sides_[kLeft].source->GetValue()) ||
                                        isStream(sides_[kRight].source->GetValue())
                                    ? 1
                                    : 0);
}

void TpAudGenPair::SetFixedFrequency(int s)
{
    Side& side = sides_[s];
    const int32_t sub = side.subSource->GetValue();
    if (sub < 0 || sub >= kFixedToneCount) {
        DebugPrintf("ERROR: no fixed tone %d; the frequency stays\n", sub);
        return;
    }
    side.frequency->SetValueAll(fixed_tone_table[sub]);
}

void TpAudGenPair::LevelChanged(int s)
{
    if (s == kLeft && Linked())
        sides_[kRight].level->SetValueAll(sides_[kLeft].level->GetValue());
    if (sides_[s].writeDepth >= kMaxWriteDepth)
        return;   // written back by a recompute that was itself nested
    ComputeGain(s);
    ApplyChannels(s);
}

void TpAudGenPair::SecondStreamChanged()
{
    for (int s = 0; s < 2; ++s) {
        const int32_t source = sides_[s].source->GetValue();
        if (source == kStreamLeft || source == kStreamRight)
            OnChildChanged(sides_[s].source.get(), kReasonValue);
    }
    // An output that carries the second stream takes it up again.
    TpAudioPair& aesOut = host_.AesOutput();
    if (aesOut.GetValue() == TpAudioPair::kSecondStream) {
        aesOut.SetValueAll(TpAudioPair::kSilence);
        aesOut.SetValueAll(TpAudioPair::kSecondStream);
    }
}

void TpAudGenPair::ComputeGain(int s)
{
    Side& side = sides_[s];
    const int64_t level = static_cast<int64_t>(side.level->GetValue()) * 100;
    const bool invert = side.invert->GetValue() != 0;
    const int64_t master = masterOffset_ == kMasterR68 ? kMasterR68Exact : masterOffset_;

    int64_t sum;
    bool inverted = false;
    if (side.code == kSrcPulseLeft || side.code == kSrcPulseRight) {
        sum = kPulseToneLevel;
    } else if (side.code == kSrcAesLeft || side.code == kSrcAesRight || IsDolbyPair()) {
        // Inputs pass at their own level: no master offset, and unity while
        // the input cannot be heard or the pair carries the Dolby stream.
        if (!aesUsable_ || IsDolbyPair()) {
            sum = 0;
        } else {
            sum = level;
            inverted = invert;
        }
    } else {
        sum = level + master;
        inverted = invert;
    }

    // The level written back is heard by this pair again (LevelChanged),
    // which recomputes once more; what that nested recompute writes is not
    // recomputed again, so a level range that turns the value back cannot
    // make the two call each other without end.
    auto writeLevel = [&](int64_t value) {
        ++side.writeDepth;
        side.level->SetValueAll(ClampToI32(value));
        --side.writeDepth;
    };
    if (sum > 0) {
        // The gain cannot exceed unity; red shows the level is out of reach.
        side.level->SetColourAll(Colour::kRed);
        sum = 0;
    } else {
        side.level->SetColourAll(0);
        if (level == kLevelOffMark) {
            writeLevel(kLowestLevel - master);
        } else if (sum < kLowestLevel) {
            writeLevel(kLevelFloor);
            sum = kLevelFloor;
        }
    }

    const int channel = Channel(s);
    double gain;
    if (side.code == kSrcStreamLeft || side.code == kSrcStreamRight) {
        audio_route_mix(channel, static_cast<int>(side.code), 1.0);
        gain = 1.0;
    } else {
        gain = db_to_linear(static_cast<double>(sum) / 100.0);
        if (inverted)
            gain = -gain;
    }
    side.gain = gain;
    audio_route_set_gain(channel, gain);
}

void TpAudGenPair::ApplyChannels(int which)
{
    for (int s = 0; s < 2; ++s) {
        if (which != kBoth && which != s)
            continue;
        const AudioSourceCode code = OutputCode(s);
        // The monitors learn the code even while the group is off.
        if (TpApplication* app = host_.App())
            app->SetLevel(2 * pair_ + s, sides_[s].gain, code);
        audio_route_connect(Channel(s), static_cast<int>(groupOn_ ? code : kSrcSilence));
        // The outputs that follow this pair take the change.
        Report(kReasonValue);
    }
}

void TpAudGenPair::SetMasterOffset(int32_t db)
{
    masterOffset_ = db * 100;
    ComputeGain(kLeft);
    ComputeGain(kRight);
    ApplyChannels(kBoth);
}

void TpAudGenPair::SetGroupOn(bool on)
{
    if (groupOn_ == on)
        return;
    groupOn_ = on;
    ApplyChannels(kBoth);
}

void TpAudGenPair::ShowLevelControls(int s, bool shown)
{
    Side& side = sides_[s];
    side.level->SetVisibleAll(shown);
    side.invert->SetVisibleAll(shown);
    if (!shown)
        side.invert->SetValueAll(0);
}

void TpAudGenPair::SetAesInputUsable(bool usable)
{
    aesUsable_ = usable;
    auto isAes = [](AudioSourceCode code) { return code == kSrcAesLeft || code == kSrcAesRight; };
    for (int s = 0; s < 2; ++s)
        if (isAes(sides_[s].code))
            ShowLevelControls(s, usable);
    if (IsDolbyPair()) {
        ShowLevelControls(kLeft, false);
        ShowLevelControls(kRight, false);
    }
    // The gain of an AES input side depends on the flag.
    for (int s = 0; s < 2; ++s) {
        if (isAes(sides_[s].code)) {
            ComputeGain(s);
            ApplyChannels(s);
        }
    }
}
