#include "TpAudGenerator.h"

#include "board/AudioBoard.h"
#include "board/PowerControl.h"
#include "core/store/TpApplication.h"
#include "core/files/TpIniFile.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"

#include <string>

namespace {
TpAudGenerator* g_generator = nullptr;

constexpr int kAesOutput = 2;
constexpr int kAnalogueOutput = 4;
constexpr int kTaskPeriodMs = 300;

// Standards 30-49 are the 2048-wide rasters.
constexpr int kFirstWideStd = 30;
constexpr int kLastWideStd = 49;
constexpr int kWideGroupsAboveRate = 28;
} // namespace

TpAudGenerator* TpAudGenerator::Instance()
{
    return g_generator;
}

TpAudGenerator::TpAudGenerator(TpApplication* app, TpIniFile& settings, const AudGenCmdIds& ids, bool aesItems,
                               bool streamItems, const int32_t* masterTable, int masterCount)
    : TpParent(nullptr, 0, kKeepsNothing), app_(app), settings_(settings), cmds_(ids)
{
    if (masterTable != nullptr && masterCount > 0)
        masterTable_.assign(masterTable, masterTable + masterCount);

    cmds_.Make<TpChildCmd>(kIdDolbyType, this, kKeepsValue);
    aesOut_ = cmds_.Make<TpAudioPair>(kIdAesOutSource, this, kAesOutput);
    anlOut_ = cmds_.Make<TpAudioPair>(kIdAnlOutSource, this, kAnalogueOutput);
    gainLeft_ = cmds_.Make<TpChildCmd>(kIdOutGainLeft, this, kKeepsValue);
    gainRight_ = cmds_.Make<TpChildCmd>(kIdOutGainRight, this, kKeepsValue);
    cmds_.Make<TpChildCmd>(kIdMasterLevel, this, kKeepsValue);
    cmds_.Make<TpChildCmd>(kIdSecondStream, this, kKeepsValue);
    groupText_ = cmds_.Make<TpCommand>(kIdGroupText, nullptr, kKeepsText);
    for (int p = 0; p < kAudGenPairs; ++p)
        pairs_.push_back(std::make_unique<TpAudGenPair>(this, *this, p, ids, aesItems, streamItems));
    for (int g = 0; g < kAudGenGroups; ++g)
        groups_[static_cast<size_t>(g)] =
            std::make_unique<TpChildCmd>(this, static_cast<uint16_t>(cmds_.Id(kIdGroupOn) + g), kKeepsValue);
    g_generator = this;

    // No Dolby stream until the Dolby generator shows its type.
    cmds_.Cmd(kIdDolbyType)->SetVisible(false);
    if (!aesItems)
        aesOut_->SetVisibleAll(false);
    else
        audgen_hw_write(0);
    // This instrument has the analogue output.
    anlOut_->SetVisibleAll(true);

    if (TpStore* store = TpStore::Instance())
        store->AddTask(this, "AudGen", kTaskPeriodMs, false, false);

    LoadOutputGain(kGainLeftKey, *gainLeft_);
    LoadOutputGain(kGainRightKey, *gainRight_);
    audio_set_output_gain(gainLeft_->GetValue(), gainRight_->GetValue());
}

TpAudGenerator::~TpAudGenerator()
{
    if (g_generator == this)
        g_generator = nullptr;
}

// --- settings file -----------------------------------------------------------------

void TpAudGenerator::LoadOutputGain(const char* key, TpCommand& cmd)
{
    int32_t value = 0;
    if (ReadGainSetting(settings_, key, value))
        cmd.SetValueAll(value);
    // The output gains are calibration: editable only in service mode.
    if (app_ != nullptr && app_->ServiceKeysHeld())
        cmd.SetEnabledAll(true);
}

void TpAudGenerator::SaveOutputGain(const char* key, TpCommand& cmd)
{
    settings_.SetInt("", key, cmd.GetValue());
    audio_set_output_gain(gainLeft_->GetValue(), gainRight_->GetValue());
}

// --- changes -----------------------------------------------------------------------

int TpAudGenerator::GroupOf(const TpCommand* child) const
{
    for (int g = 0; g < kAudGenGroups; ++g)
        if (groups_[static_cast<size_t>(g)].get() == child)
            return g;
    return -1;
}

void TpAudGenerator::OnChildChanged(TpCommand* child, int reason)
{
    if (child == nullptr)
        return;
    const int entry = cmds_.IndexOf(child);
    // The Dolby generator shows its type while it can make a stream.
    if (entry == kIdDolbyType) {
        if (reason == kReasonValue || reason == kReasonVisible)
            SetDolbyAvailable(child->IsVisible());
        return;
    }
    // A group counts while it is switched on and enabled.
    const int group = GroupOf(child);
    if (group >= 0) {
        if (reason == kReasonValue || reason == kReasonEnabled)
            GroupChanged(group);
        return;
    }
    if (reason != kReasonValue)
        return;

    switch (entry) {
    case kIdSecondStream:
        audgen_hw_sync();
        break;
    case kIdMasterLevel:
        SetMasterLevel(child->GetValue());
        break;
    case kIdAesOutSource: {
        aesFollows_ = aesOut_->Following();
        const bool on = aesOut_->GetValue() != 0;
        if (on != aesOn_) {
            aesOn_ = on;
            power_set_gen_flag(on ? 1 : 0);
            audgen_hw_write(on ? 1 : 0);
        }
        break;
    }
    case kIdAnlOutSource:
        anlFollows_ = anlOut_->Following();
        power_set_gen_analog(anlOut_->GetValue() != 0 ? 1 : 0);
        break;
    case kIdOutGainLeft:
        SaveOutputGain(kGainLeftKey, *gainLeft_);
        return;
    case kIdOutGainRight:
        SaveOutputGain(kGainRightKey, *gainRight_);
        return;
    default:
        break;
    }
    ApplyOutputs();
}

void TpAudGenerator::ApplyOutputs()
{
    if (aesFollows_) {
        SetOutputFromPair(kAesOutput, kAesOutput + 1, aesOut_->FollowedPair());
    } else if (app_ != nullptr) {
        app_->SetOutputParams(static_cast<int>(kSrcSilence), static_cast<int>(kSrcSilence), 1.0, 1.0);
    }
    if (anlFollows_)
        SetOutputFromPair(kAnalogueOutput, kAnalogueOutput + 1, anlOut_->FollowedPair());
}

void TpAudGenerator::SetMasterLevel(int32_t index)
{
    const long count = static_cast<long>(masterTable_.size());
    for (auto& pair : pairs_) {
        if (index < 0 || index >= count)
            DebugPrintf("Invalid MasterGain: %ld (<%ld)\n", static_cast<long>(index), count);
        else
            pair->SetMasterOffset(masterTable_[static_cast<size_t>(index)]);
    }
}

void TpAudGenerator::GroupChanged(int group)
{
    static constexpr const char* kOnText[kAudGenGroups] = {"1 ", "2 ", "3 ", "4 "};
    std::array<bool, kAudGenGroups> on {};
    std::string text;
    for (int g = 0; g < kAudGenGroups; ++g) {
        const TpChildCmd& cmd = *groups_[static_cast<size_t>(g)];
        on[static_cast<size_t>(g)] = cmd.GetValue() != 0 && cmd.IsEnabled();
        text += on[static_cast<size_t>(g)] ? kOnText[g] : "- ";
    }
    groupText_->SetTextAll(text);
    const bool state = on[static_cast<size_t>(group)];
    audgen_hw_set_channel(group, state ? 1 : 0);
    SetGroupOn(group, state);
    power_set_gen_groups(on[0], on[1], on[2], on[3]);
}

void TpAudGenerator::SetGroupOn(int group, bool on)
{
    if (group < 0 || group >= kAudGenGroups)
        return;
    pairs_[static_cast<size_t>(2 * group)]->SetGroupOn(on);
    pairs_[static_cast<size_t>(2 * group + 1)]->SetGroupOn(on);
}

void TpAudGenerator::SetDolbyAvailable(bool available)
{
    for (auto& pair : pairs_)
        pair->EnableSourceItem(TpAudGenPair::kDolby, available);
    aesOut_->SetItemEnabledAll(TpAudioPair::kDolby, available);
}

void TpAudGenerator::SetOutputFromPair(int destination, int secondDestination, int pairIndex)
{
    if (pairIndex < 0 || pairIndex >= kAudGenPairs)
        return;
    const TpAudGenPair& pair = *pairs_[static_cast<size_t>(pairIndex)];
    const int left = static_cast<int>(pair.OutputCode(TpAudGenPair::kLeft));
    const int right = static_cast<int>(pair.OutputCode(TpAudGenPair::kRight));
    const double leftGain = pair.Gain(TpAudGenPair::kLeft);
    const double rightGain = pair.Gain(TpAudGenPair::kRight);
    if (destination == kAesOutput && app_ != nullptr) {
        app_->SetOutputParams(left, right, leftGain, rightGain);
        audio_route_mix(kAesOutput, left, leftGain);
        audio_route_mix(secondDestination, right, rightGain);
    } else {
        audio_set_gain_db(kAnalogueOutput, left, leftGain);
        audio_set_gain_db(kAnalogueOutput + 1, right, rightGain);
    }
}

void TpAudGenerator::ApplyVideoFormat(const VideoFormat& format)
{
    const VideoStdRow* row = format.Row();
    const bool wide = format.standard >= kFirstWideStd && format.standard <= kLastWideStd && row != nullptr &&
                      row->frameRate > kWideGroupsAboveRate &&
                      (VideoFormat::GetLinkClass(format) == kLinkHd || format.dualLink != 0 || format.levelB != 0);
    const int groups = wide ? 2 : 4;
    for (int g = 0; g < kAudGenGroups; ++g) {
        TpChildCmd& cmd = *groups_[static_cast<size_t>(g)];
        cmd.SetEnabledAll(g < groups);
        cmd.SetValueAll(g < groups ? 1 : 0);
    }
}

void TpAudGenerator::EnsureFirstPairSource(bool on)
{
    if (on && aesOut_->GetValue() == TpAudioPair::kSilence)
        aesOut_->SetValueAll(TpAudioPair::kFirstGenPair);
}

// --- the "AudGen" task -------------------------------------------------------------------

TpAudGenerator::AesStatusBits TpAudGenerator::AesOutputStatus(int srcFlagA, int srcFlagB) const
{
    AesStatusBits bits;
    auto embeddedBits = [&](uint32_t pair) {
        const uint32_t nibble = (analyser_status_word_b() >> (4 * pair)) & 0xF;
        bits.b = static_cast<int>(nibble & 1);
        bits.a = static_cast<int>((nibble >> 1) & 1);
    };
    auto aesInputBits = [&] {
        bits.b = srcFlagB != 0;
        bits.a = srcFlagA != 0;
    };
    if (aesFollows_) {
        const AudioSourceCode code = pairs_[static_cast<size_t>(aesOut_->FollowedPair())]->OutputCode(TpAudGenPair::kLeft);
        if (code < 2) {
            aesInputBits();
        } else if (code >= kSrcEmbedded && code < kSrcEmbedded + 16) {
            DebugPrintf("ERROR: Generator set to get source from Embedder!\n");
            embeddedBits((code - kSrcEmbedded) / 2);
        } else {
            bits.b = IsDolbyCode(code);
        }
        return bits;
    }
    const int32_t v = aesOut_->GetValue();
    if (v == TpAudioPair::kAesInput)
        aesInputBits();
    else if (v >= TpAudioPair::kFirstEmbedded && v < TpAudioPair::kFirstEmbedded + kAudGenPairs)
        embeddedBits(static_cast<uint32_t>(v - TpAudioPair::kFirstEmbedded));
    else
        bits.b = v == TpAudioPair::kDolby;
    return bits;
}

void TpAudGenerator::OnTask()
{
    const int srcFlagA = audio_src_flag_a();
    const int srcFlagB = audio_src_flag_b();
    const AesStatusBits bits = AesOutputStatus(srcFlagA, srcFlagB);
    if (bits.a != statusA_) {
        statusA_ = bits.a;
        audgen_hw_write_a(static_cast<uint8_t>(bits.a));
    }
    if (bits.b != statusB_) {
        statusB_ = bits.b;
        audgen_hw_write_b(static_cast<uint8_t>(bits.b));
    }
    if (srcFlagA != flagA_ || srcFlagB != flagB_) {
        flagA_ = srcFlagA;
        flagB_ = srcFlagB;
        const bool usable = srcFlagA == 0 && srcFlagB == 0;
        for (auto& pair : pairs_)
            if (pair->AesInputUsable() != usable)
                pair->SetAesInputUsable(usable);
    }
}
