// The base of the audio monitor views: the level and source of every
// generated channel and the sources and gains of the AES output, as the
// application hands them on through the analyser.
#pragma once

#include "core/store/TpParent.h"

#include <array>
#include <cstdint>

class TpMonParent : public TpParent {
public:
    static constexpr int kDestinations = 16;

    struct Dest {
        uint32_t flags = 0;   // the channel's source code
        double level = 0.0;   // signed linear gain
    };
    struct OutputParams {
        int32_t left = 0;
        int32_t right = 0;
        double leftGain = 0.0;
        double rightGain = 0.0;
    };

    explicit TpMonParent(TpCommand* parent);

    // dest 0-15; any other is refused ("ERROR: Invalid Dest %u").
    void SetLevel(int dest, double level, uint32_t flags);
    void SetOutputParams(int left, int right, double leftGain, double rightGain);
    // The record of a destination (an empty one out of range).
    const Dest& GetDest(int dest) const;
    const OutputParams& GetOutputParams() const { return output_; }

    virtual void UpdateDest(int dest);
    virtual void Reconfigure();

protected:
    std::array<Dest, kDestinations> dests_{};
    OutputParams output_;
};
