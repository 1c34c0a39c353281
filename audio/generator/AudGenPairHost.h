// What a generator pair needs of the generator that owns it: where the
// channels' levels are reported, and the AES output, which a pair re-applies
// when its second stream changes. The pair knows the generator only through
// this, so the generator's header is the one that includes the pair's.
#pragma once

class TpApplication;
class TpAudioPair;

class AudGenPairHost {
public:
    // Where levels and output parameters go (may be none).
    virtual TpApplication* App() const = 0;
    virtual TpAudioPair& AesOutput() = 0;

protected:
    ~AudGenPairHost() = default;
};
