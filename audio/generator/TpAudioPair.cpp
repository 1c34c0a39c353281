#include "TpAudioPair.h"

#include "board/AudioBoard.h"

namespace {
constexpr int kAnalogueOutput = 4;
constexpr int kPairs = 8;
}

TpAudioPair::TpAudioPair(TpCommand* generator, uint16_t cmdId, int destination)
    : TpParent(generator, cmdId, kKeepsValue), destination_(destination)
{
}

int32_t TpAudioPair::SetValue(int32_t value)
{
    if (value == GetValue())
        return value;
    TpCommand::SetValue(value);

    AudioSourceCode left = kSrcSilence;
    AudioSourceCode right = kSrcSilence;
    bool route = true;
    if (value >= kFirstGenPair && value < kFirstGenPair + kPairs) {
        // The generator routes a followed pair.
        following_ = true;
        followedPair_ = value - kFirstGenPair;
        route = false;
    } else if (value == kSilence || value == kAesInput || (value >= kFirstEmbedded && value < kFirstEmbedded + kPairs) ||
               value == kDolby || value == kSecondStream) {
        following_ = false;
        if (value == kAesInput) {
            left = kSrcAesLeft;
            right = kSrcAesRight;
        } else if (value >= kFirstEmbedded && value < kFirstEmbedded + kPairs) {
            left = kSrcEmbedded + 2 * static_cast<uint32_t>(value - kFirstEmbedded);
            right = left + 1;
        } else if (value == kDolby) {
            left = kSrcDolbyLeft;
            right = kSrcDolbyRight;
        } else if (value == kSecondStream) {
            left = kSrcStreamLeft;
            right = kSrcStreamRight;
        }
    } else if (following_) {
        route = false;   // an unknown value leaves a followed pair as it is
    }

    if (route) {
        if (destination_ == kAnalogueOutput) {
            audio_set_gain_db(destination_, static_cast<int>(left), 1.0);
            audio_set_gain_db(destination_ + 1, static_cast<int>(right), 1.0);
        } else {
            audio_route_mix(destination_, static_cast<int>(left), 1.0);
            audio_route_mix(destination_ + 1, static_cast<int>(right), 1.0);
        }
    }
    Report(kReasonValue);
    return GetValue();
}
