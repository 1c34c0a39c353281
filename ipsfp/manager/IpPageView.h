// What the manager needs from the IP menu pages above it: showing a value
// read for a parameter row, the DHCP pair, the subnet note and the texts
// built from several controls. The pages implement it; whoever builds both
// hands it to the manager (SetPageView). The pages in turn reach only the
// parts of the manager they show values for (IpPageParts).
// Application thread only.
#pragma once

#include <cstddef>
#include <cstdint>

class IpAudioMaps;
class IpBusy;
class IpControlTree;
class IpFlowView;
class IpPeriodicStep;
struct SfpParamRow;

// The parts of the manager the pages work with.
struct IpPageParts {
    IpBusy& busy;
    IpFlowView& flows;
    IpControlTree& controls;
    IpPeriodicStep& tick;
    const IpAudioMaps& maps;
};

class IpPageView {
public:
    virtual ~IpPageView() = default;
    // bytes: count bytes as read (for a masked row the field); nonzero: the
    // masked field was not 0. The row's control the value was shown in (its
    // first or its second), 0 when none.
    virtual unsigned DisplayParameterValue(SfpParamRow& row, const uint8_t* bytes, size_t count, bool nonzero) = 0;
    // The IGMP toggle follows a written DHCP row.
    virtual void HandleToggleCommand(unsigned cmdId) = 0;
    // True when a subnet note is shown.
    virtual bool ShowSubnetNote() = 0;
    // The warning that a flow destination lies in the reserved multicast range.
    virtual void ShowIanaWarning(bool on) = 0;
    // Texts built from several byte controls, rebuilt when a byte's row goes
    // back to unread.
    virtual void ShowSequenceCounter() = 0;
    virtual void ShowVideoSequenceErrors() = 0;
    virtual void ShowSsrc() = 0;
    // One cell of the encapsulated-audio grid (flow 0-7, channel 0-15).
    virtual void ShowAudioChannel(int flow, int channel, int sdiChannel) = 0;
    // One more sample of one source's packet counter (the second's with
    // secondSource), then the active source once both were sampled.
    virtual void ShowActiveSource(bool secondSource) = 0;
    // The module was reset: no source sampled.
    virtual void ForgetActiveSource() = 0;
};
