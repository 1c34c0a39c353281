#include "IpSubDialogs.h"
#include "IpStoreAccess.h"

#include "ui/dialogs/TpDialogList.h"

#include <iterator>

namespace {

// In IpSubDialog order.
constexpr const char* kDialogNames[] = {
    "IGMPCounts", "VlanIDS", "EditPtpMode", "EditVidStd", "SSRCBox", "NewSfpMode", "ConfigureSFPBox",
    "ReadingSFPBox", "EditMan", "EditFlows", "EditSecondFlows", "EditAncPopup", "EditAudioPopupD",
    "EditAudioPopupE", "EditSystemResets", "EditDecAudMapDialog", "EditEncAudMapDialog",
};
static_assert(std::size(kDialogNames) == static_cast<size_t>(IpSubDialog::Count));

} // namespace

void IpSubDialogs::Open(IpSubDialog which, unsigned focusId)
{
    Close(which);
    TpDialog*& handle = dialogs_[static_cast<size_t>(which)];
    handle = ShowDialog(kDialogNames[static_cast<size_t>(which)], 1);
    if (TpStore* store = IpStoreAccess::TheStore(); handle != nullptr && focusId != 0 && store != nullptr)
        store->SetFocused(focusId, true);
}

void IpSubDialogs::Close(IpSubDialog which)
{
    TpDialog*& handle = dialogs_[static_cast<size_t>(which)];
    if (handle != nullptr && IsWindowOpen(handle))
        CloseDialog(handle);
    handle = nullptr;
}

bool IpSubDialogs::MapDialogOpen() const
{
    return IsWindowOpen(OpenDialog(IpSubDialog::EncMap)) || IsWindowOpen(OpenDialog(IpSubDialog::DecMap));
}
