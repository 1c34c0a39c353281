// The source selection of one output pair of the generator (the AES output or
// the analogue output). An output either follows a generator pair, which the
// generator routes to it, or carries a fixed source, routed here at unity.
#pragma once

#include "AudioSourceCode.h"

#include "core/store/TpParent.h"

class TpAudioPair : public TpParent {
public:
    // Values of the output source.
    static constexpr int32_t kSilence = 0;
    static constexpr int32_t kAesInput = 1;
    static constexpr int32_t kFirstGenPair = 2;      // 2-9: generator pair v - 2
    static constexpr int32_t kFirstEmbedded = 10;    // 10-17: embedded input pair v - 10
    static constexpr int32_t kDolby = 18;
    static constexpr int32_t kSecondStream = 19;

    // destination: the router destination of the left side (2 the AES
    // output, 4 the analogue output); the right side is destination + 1.
    TpAudioPair(TpCommand* generator, uint16_t cmdId, int destination);

    // A change routes the new source and tells the generator.
    int32_t SetValue(int32_t value) override;

    int Destination() const { return destination_; }
    bool Following() const { return following_; }
    // The generator pair followed (0-7), while Following().
    int FollowedPair() const { return followedPair_; }

private:
    int destination_;
    bool following_ = false;
    int followedPair_ = 0;
};
