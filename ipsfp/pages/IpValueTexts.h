// The texts the IP menu pages show for module values and states: the counters
// built from byte controls, the SSRC, the video-standard fields, the cells of
// the encapsulated-audio grid, the IANA and subnet notes, the IGMP toggle, the
// active source of a dual-source stream. Each reads the manager's controls
// (through the store, so every control of an id agrees) and writes texts,
// colours and values back to every control of the id. Application thread only.
#pragma once

#include "ipsfp/manager/IpPageView.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

class IpValueTexts {
public:
    explicit IpValueTexts(const IpPageParts& parts) : parts_(parts) {}

    // "Locked", "Initialised" or "Not Locked".
    static const char* LockStateText(uint32_t state);

    // "%u" of four byte controls, most significant first.
    void ShowVideoSequenceErrors();
    void ShowSequenceCounter();
    // The SSRC of the control set in use, through the flow label.
    void ShowSsrc();

    // One cell of the encapsulated-audio grid, as the flow's encoder map
    // holds it. Flows 0-7 and channels 0-15 only; an SDI channel outside the
    // sixteen names shows nothing.
    void ShowAudioChannel(int flow, int channel, int sdiChannel);
    // The cell: the SDI channel's name when the channel is embedded, else
    // "-"; white when active, grey when not.
    void ShowAudioCell(int flow, int channel, int sdiChannel, bool embedded, bool active);

    void ShowIanaWarning(bool on);

    // One video-standard field of either control set: cmdId is the row's
    // first or second control, bytes what was read for it (the first byte is
    // the field), flag the field as a truth value. Unknown ids do nothing.
    void ShowStandardField(unsigned cmdId, std::span<const uint8_t> bytes, bool flag);

    void ShowToggleState();
    void HandleToggleCommand(unsigned cmdId);

    // The subnet note for a mask that differs from the address class's
    // default; true when a note is shown.
    bool ShowSubnetNote();

    // Samples one source counter; once both were sampled, shows the active source.
    void ShowActiveSource(bool secondSource);
    void ForgetActiveSource();

private:
    // The two sources' packet counters as last sampled, and whether each was
    // sampled and changed since the last decision.
    struct SourceSample {
        uint16_t count = 0;
        uint8_t seen = 0;
        uint8_t changed = 0;
    };

    IpPageParts parts_;
    std::array<SourceSample, 2> sources_ {};
};
