#include "IpSfpManager.h"

#include "CorvaneToEmbrionixVidStd.h"
#include "EmbrionixFirmwareRevisonReader.h"
#include "IpPageView.h"

#include "ipsfp/link/SfpLink.h"

#include "KrZuApi.h"
#include "core/store/TpApplication.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"
#include "ui/dialogs/TpDialogList.h"

namespace {

using IpStoreAccess::TheStore;

constexpr uint16_t kTabSetupItem = 7;
constexpr int32_t kKeptSelection = 4;

// Cached module values shown as "0" after a reset: texts, then values.
constexpr uint16_t kZeroTextIds[] = {
    COM_SFP_IP_TX_OR_RX_PACKETS,    COM_SFP_IP_VID_SEQUENCE_ERRORS, COM_SFP_IP_TX_OR_RX_PACKETS_VIEW2,
    COM_SFP_IP_VID_SEQUENCE_ERRORS_VIEW2, COM_SFP_IP_CONTR_RX_PACKETS, COM_SFP_IP_CONTR_DROPPED_RX,
    COM_SFP_IP_CONTR_TX_PACKETS,    COM_SFP_IP_ETHERNET_RX_PACKETS, COM_SFP_IP_ETHERNET_TX_PACKETS};
constexpr uint16_t kZeroValueIds[] = {COM_SFP_IP_ETHERNET_RX_PACKETS, COM_SFP_IP_ETHERNET_TX_PACKETS,
                                      COM_SFP_IP_TX_OR_RX_PACKETS, COM_SFP_IP_TX_OR_RX_PACKETS_VIEW2,
                                      COM_SFP_IP_VID_SEQUENCE_ERRORS_VIEW2};
constexpr uint16_t kZeroValueLaterIds[] = {COM_SFP_IP_CONTR_RX_PACKETS, COM_SFP_IP_CONTR_DROPPED_RX,
                                           COM_SFP_IP_CONTR_TX_PACKETS, COM_SFP_IP_FLOW_UUID, COM_SFP_IP_MONITOR_SEL};
constexpr uint16_t kSelectorResetIds[] = {COM_SFP_IP_FLOW_SEL, COM_SFP_IP_AUDIO_FLOW_SEL, COM_SFP_IP_ANC_FLOW_SEL};

// The module's cached values on the menu back to "0" and its selectors to the first.
void ShowModuleUnread(TpStore& store)
{
    for (uint16_t id : kSelectorResetIds)
        store.SetValue(id, 0);
    store.SetEnabled(COM_SFP_IP_FLOW_DEFAULT, false);
    IpControlTree::ShowIpBooting();
    for (uint16_t id : kZeroTextIds)
        store.SetText(id, "0");
    for (uint16_t id : kZeroValueIds)
        store.SetValue(id, 0);
    store.SetText(COM_SFP_IP_VID_SEQUENCE_ERRORS, "0");
    for (uint16_t id : kZeroValueLaterIds)
        store.SetValue(id, 0);
    store.SetVisible(COM_SFP_IP_FLOW_DEFAULT, false);
    store.SetVisible(IpIds::kWindowClosedReset, false);
}

} // namespace

IpSfpManager::IpSfpManager(const TpApplication* app) : TpCommand(0, kKeepsNothing, 0)
{
    const BusyGuard guard = busy_.Hold();
    TpStore* store = TheStore();
    firmwareReader = std::make_unique<EmbrionixFirmwareRevisonReader>(app != nullptr && app->ServiceKeysHeld());
    if (store == nullptr)
        return;   // nothing to build controls into

    controls_.Build(this);
    flows_.ApplyVisibilitySet(IpIds::Set::HiddenAtStart);
    flows_.ApplyVisibilitySet(IpIds::Set::CountersHidden);
    ResetModuleState();
    SfpLink::ClearPageLoadedFlags();
    store->SetVisible(COM_SFP_IP_IGMP_BOX, false);
    controls_.ShowBusy();
    vidStdConverter = std::make_unique<CorvaneToEmbrionixVidStd>(flows_);
    store->SetItemEnabled(IpIds::kStdFamilyList, 0, false);
    store->SetItemEnabled(IpIds::kStdFamilyList, 4, false);

    if (TpDialogList* dialogs = TpDialogList::Instance()) {
        dialogs->SetCloseAnyWindowHook([this] { CloseAnyWindow(); });
        closeHookSet_ = true;
    }
}

IpSfpManager::~IpSfpManager()
{
    if (TpDialogList* dialogs = TpDialogList::Instance(); dialogs != nullptr && closeHookSet_)
        dialogs->SetCloseAnyWindowHook(nullptr);
    const BusyGuard guard = busy_.Hold();
    controls_.Destroy();
    // The converter's lists are its members and go before it.
    vidStdConverter.reset();
    firmwareReader.reset();
}

void IpSfpManager::OnStatusTick()
{
    tick_.OnStatusTick();
    if (vidStdConverter)
        vidStdConverter->RunRequestedUpdate();
}

void IpSfpManager::ResetModuleState()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const BusyGuard guard = busy_.Hold();
    if (pageView_ != nullptr)
        pageView_->ForgetActiveSource();
    sequencer_.ResetModuleSteps();
    flows_.ForgetIdentity();
    tick_.ResetCopySides();
    tick_.RestartCopySide();   // the selectors go back to their first flows below
    windowSelection = -1;
    ShowModuleUnread(*store);
    if (firmwareReader)
        firmwareReader->Clear();
    controls_.ClearFlowTexts();
    if (flows_.IsDecapsulating() && vidStdConverter)
        vidStdConverter->UpdateVidStd();
}

void IpSfpManager::SetModuleMode(uint8_t decapsulation)
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const BusyGuard guard = busy_.Hold();
    const bool decap = decapsulation != 0;
    configure_.EndPageWrite();
    progress_.Show();

    IpFlowView::ApplyLayout(IpIds::kModeLayout, decap, false);
    flows_.ApplyVisibilitySet(IpIds::Set::IgmpAddresses);
    for (uint16_t id : IpIds::kSsrcBoxes)
        store->SetEnabled(id, !decap);
    store->SetText(COM_SFP_IP_RX_OR_TX_PKT_LABEL, decap ? "Rx Packets:" : "Tx Packets:");
    store->SetText(COM_SFP_IP_FILT_DEST_LABEL, decap ? "Filt MAC:" : "Dest MAC:");

    flows_.SetDirection(decap);
    IpFlowView::DisableSfpTabs();
    store->SetItemEnabled(COM_SFP_TAB_SELECT, kTabSetupItem, true);

    flows_.SelectTxFlowRegister();

    ResetModuleState();
    // The second flow's controls of the direction: the encapsulation ones
    // with the flag clear, the decapsulation ones with it set.
    flows_.ApplyVisibilitySet(IpIds::Set::SecondFlowViews, decap);
}

void IpSfpManager::ResetOnModuleChange()
{
    flows_.ForgetModule();
    progress_.ForgetFirmwareWarning();
    configure_.ForgetModule();
    tick_.RestartCopySide();
}

void IpSfpManager::CloseAnyWindow()
{
    if (skipNextClose != 0) {
        skipNextClose = 0;
        return;
    }
    DebugPrintf("\nClosing Any Window\n");
    if (windowSelection != kKeptSelection)
        windowSelection = -1;
    sequencer_.OnWindowClosed();
    controls_.ForgetStandardColour();
    flows_.RaiseFlowRefresh();
    RefreshOnWindowClosed();
}

void IpSfpManager::RefreshOnWindowClosed()
{
    flows_.RefreshOnWindowClosed();
    const int32_t tab = IpStoreAccess::ValueOf(COM_SFP_TAB_SELECT);
    if (tab >= IpIds::kTabVideo && tab <= IpIds::kTabPtp)
        sequencer_.ForgetMapPosition();
}

bool IpSfpManager::FirmwareReaderTick() { return firmwareReader && firmwareReader->Tick(); }

bool IpSfpManager::IsFirmwareReadActive() const { return firmwareReader && firmwareReader->IsActive(); }
