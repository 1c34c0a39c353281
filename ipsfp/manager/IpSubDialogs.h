// The sub-dialogs the IP menu opens by name, one instance of each, and the
// handles the manager keeps of them. Application thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class TpDialog;

enum class IpSubDialog : uint8_t {
    Igmp, Vlan, PtpMode, VidStd, Ssrc, SfpMode, Configure, Reading, EditMan, EditFlows, EditSecondFlows,
    AncPopup, AudioPopupD, AudioPopupE, SystemResets, DecMap, EncMap, Count
};

class IpSubDialogs {
public:
    // The dialog as last opened, none when it was closed here.
    TpDialog* OpenDialog(IpSubDialog which) const { return dialogs_[static_cast<size_t>(which)]; }
    // Closes the dialog if it is still open, opens it again and gives the
    // control the focus (0: none).
    void Open(IpSubDialog which, unsigned focusId = 0);
    void Close(IpSubDialog which);
    bool MapDialogOpen() const;

private:
    std::array<TpDialog*, static_cast<size_t>(IpSubDialog::Count)> dialogs_ {};
};
