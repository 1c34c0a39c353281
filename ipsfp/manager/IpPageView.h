// What the manager needs from the IP menu pages above it: showing a value
// read for a parameter row, the write gate of the configure passes, the DHCP
// pair and the subnet note. The pages implement it; whoever builds both hands
// it to the manager (SetPageView). Application thread only.
#pragma once

#include <cstddef>
#include <cstdint>

struct SfpParamRow;

class IpPageView {
public:
    virtual ~IpPageView() = default;
    // bytes: count bytes as read (for a masked row the field); nonzero: the
    // masked field was not 0.
    virtual void DisplayParameterValue(SfpParamRow& row, const uint8_t* bytes, size_t count, bool nonzero) = 0;
    // Whether the pending row may be written in the current configure pass.
    virtual bool ToggleRowGate(const SfpParamRow& row) = 0;
    virtual void HandleToggleCommand(unsigned cmdId) = 0;
    // True when a subnet note is shown.
    virtual bool ShowSubnetNote() = 0;
    // Texts built from several byte controls, rebuilt when a byte's row goes
    // back to unread.
    virtual void ShowSequenceCounter() = 0;
    virtual void ShowVideoSequenceErrors() = 0;
    virtual void ShowSsrc() = 0;
    // One cell of the encapsulated-audio grid (flow 0-7, channel 0-15).
    virtual void ShowAudioChannel(int flow, int channel, int sdiChannel) = 0;
    // One more sample of the two sources' packet counters, then the active source.
    virtual void ShowActiveSource() = 0;
};
