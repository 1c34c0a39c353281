// Building and deleting the manager, its change handler, the module reset and
// mode switch and the texts they show.
#include "IpSfpManager.h"

#include "CorvaneToEmbrionixVidStd.h"
#include "EmbrionixFirmwareRevisonReader.h"
#include "IPFollower.h"
#include "IpStoreAccess.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "core/TpApplication.h"
#include "core/TpChildCmd.h"
#include "core/TpStore.h"
#include "core/TpSysDialog.h"
#include "core/TpValListCmd.h"
#include "ui/TpDialogList.h"

#include <cstdio>

namespace {

constexpr int kFlowListNamed = 8;
constexpr uint16_t kTabSetupItem = 7;
constexpr uint16_t kTxFlowEnabledIds[] = {COM_SFP_IP_TX_FLOW_ENABLE, COM_SFP_IP_TX_FLOW_ENABLED};
constexpr uint8_t kTxFlowEnabled2022Register = 172;
constexpr uint8_t kTxFlowEnabled2110Register = 173;

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

int ListItemCount(uint16_t cmdId)
{
    for (const IpIds::ListRow& row : IpIds::kListItems)
        if (row.cmdId == cmdId)
            return row.items;
    return 0;
}

using IpStoreAccess::TheStore;

} // namespace

IpChannelControls::~IpChannelControls()
{
    for (uint8_t array : IpIds::kChannelDeleteOrder)
        for (auto& control : arrays[array])
            control.reset();
}

// --- building --------------------------------------------------------------------

TpCommand* IpSfpManager::Make(IpIds::Make make, uint16_t cmdId, uint32_t kind)
{
    std::unique_ptr<TpCommand> control;
    switch (make) {
    case IpIds::Make::Child:
        control = std::make_unique<TpChildCmd>(this, cmdId, kind);
        break;
    case IpIds::Make::Plain:
        control = std::make_unique<TpCommand>(cmdId, kind);
        break;
    case IpIds::Make::ValList:
        control = std::make_unique<TpValListCmd>(this, cmdId);
        break;
    }
    // Lists get their items from the dialog definitions; without them, blank ones.
    for (int n = ListItemCount(cmdId); control->GetItemCount() < n;)
        control->AddItem("", control->GetItemCount());
    controls_.push_back(std::move(control));
    return controls_.back().get();
}

void IpSfpManager::BuildGroups(GroupSpan groups)
{
    for (const IpIds::GroupRow& row : groups)
        for (unsigned id = row.first; id <= row.last; ++id)
            Make(row.make, static_cast<uint16_t>(id), row.kind);
}

// The web-interface bytes and the other controller rows a configure writes:
// the manager hears every change of them.
void IpSfpManager::BuildManagementControls()
{
    for (const SfpParamDef& def : SfpParamTable::Definitions())
        if ((def.flags & kSfpControllerSet) != 0 && (def.flags & kSfpIsAction) == 0)
            Make(IpIds::Make::Child, def.cmdId, 1);
}

void IpSfpManager::BuildFollowers(std::span<const IpIds::FollowerRow> rows)
{
    for (const IpIds::FollowerRow& row : rows) {
        followers_.push_back(std::make_unique<IPFollower>(row));
        followers_.back()->SetForward(this);
    }
}

void IpSfpManager::BuildChannelControls(uint16_t channel)
{
    const size_t i = channel - IpIds::kFirstChannelId;
    for (const IpIds::ChannelRow& row : IpIds::kChannelControls) {
        const auto id = static_cast<uint16_t>(channel + row.offset);
        if (row.make == IpIds::Make::Plain)
            channelControls->arrays[row.array][i] = std::make_unique<TpCommand>(id, 1);
        else
            channelControls->arrays[row.array][i] = std::make_unique<TpChildCmd>(this, id, 1);
    }
}

void IpSfpManager::NameFlowList()
{
    for (int n = 1; n <= kFlowListNamed; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, " Flow %d", n);
        TheStore()->SetItemText(IpIds::kFlowList, n, name);
    }
}

IpSfpManager::IpSfpManager(TpCommand* owner, const TpApplication* app) : TpCommand(0, 0, 0), ownerPage(owner)
{
    BusyGuard guard(busy);
    IpFlow::Reset();
    TpStore* store = TheStore();
    firmwareReader = std::make_unique<EmbrionixFirmwareRevisonReader>(app != nullptr && app->ServiceKeysHeld());
    if (store == nullptr)
        return;   // nothing to build controls into

    BuildGroups(IpIds::kBaseGroups);
    store->SetVisible(COM_SFP_IP_FILTERS_BOX, false);
    store->SetText(COM_SFP_IP_RX_OR_TX_PKT_LABEL, "Tx Packets:");
    store->SetText(COM_SFP_IP_FILT_DEST_LABEL, "Dest MAC:");
    BuildManagementControls();
    BuildGroups(IpIds::kIgmpGroups);

    BuildFollowers(IpIds::kWebFollowers);
    const size_t flowStep = controls_.size();
    BuildGroups(IpIds::kFlowGroups);
    store->SetText(COM_SFP_IP_MAIN_TITLE, "2022-6");
    store->SetText(COM_SFP_IP_TOP_TITLE, "2022");
    // The status controls are the ones of this step (36 and 20 exist twice).
    for (size_t i = 0; i < std::size(statusControls_); ++i)
        statusControls_[i] = OwnControl(IpIds::kStatusIds[i], flowStep);
    BuildFollowers(IpIds::kFlowFollowers);
    BuildGroups(IpIds::kPageGroups);
    for (uint16_t id : IpIds::kFlowEditIds)
        Make(IpIds::Make::Child, id, 1);
    channelControls = std::make_unique<IpChannelControls>();
    for (int i = 0; i < IpIds::kChannelCount; ++i)
        BuildChannelControls(static_cast<uint16_t>(IpIds::kFirstChannelId + i));
    BuildGroups(IpIds::kSecondSetGroups);
    store->SetText(COM_SFP_IP_VID_SEQUENCE_ERRORS_0C29_VIEW2, "-");
    store->SetText(COM_SFP_IP_VID_SEQUENCE_ERRORS_0C17, "-");
    BuildGroups(IpIds::kFlowListGroups);
    NameFlowList();

    BuildGroups(IpIds::kLateGroups);
    store->SetText(IpIds::kToggleText, "Off");
    for (uint16_t id : IpIds::kUnknownTexts)
        store->SetText(id, "unknown");
    store->SetVisible(kProgressBoxId, false);
    store->SetItemEnabled(IpIds::kMapChannelSelect, 0, false);

    audioChannelCount = {};
    audioChannelActive = {};
    mapPosition = 0;
    rememberedMapFlow = 1;
    ResetModuleState();
    SfpLink::ClearPageLoadedFlags();
    store->SetVisible(COM_SFP_IP_IGMP_BOX, false);
    ShowBusy();
    for (uint16_t id : IpIds::kRangeEnabledIds)
        store->SetRangeEnabled(id, true);
    pendingAction = std::make_unique<IpPendingAction>();
    pendingAction->owner = this;
    vidStdConverter = std::make_unique<CorvaneToEmbrionixVidStd>(this);
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
    BusyGuard guard(busy);
    channelControls.reset();
    followers_.clear();
    while (!controls_.empty())
        controls_.pop_back();
    // The converter's lists are its members and go before it.
    vidStdConverter.reset();
    firmwareReader.reset();
    pendingAction.reset();
}

TpCommand* IpSfpManager::OwnControl(unsigned cmdId, size_t from) const
{
    for (size_t i = from; i < controls_.size(); ++i)
        if (controls_[i]->CmdId() == cmdId)
            return controls_[i].get();
    return nullptr;
}

// --- change handler ------------------------------------------------------------------


// --- texts -------------------------------------------------------------------------------

std::string IpSfpManager::SpinnerText()
{
    static constexpr const char* kPhases[] = {"(\\) ", "(|) ", "(/) ", "(-) "};
    if (spinnerPhase > 3)
        spinnerPhase = 0;
    const char* text = kPhases[spinnerPhase];
    spinnerPhase = static_cast<uint8_t>((spinnerPhase + 1) % 4);
    return text;
}

void IpSfpManager::ShowBusy()
{
    if (TpStore* store = TheStore())
        store->SetText(kProgressBoxId, "BUSY! " + SpinnerText());
}

void IpSfpManager::ClearFlowTexts()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    BusyGuard guard(busy);
    for (uint16_t id : IpIds::kFlowTextIds) {
        store->SetText(id, "");
        ClearEditColour(id, false);
    }
}

void IpSfpManager::ShowIpBooting()
{
    if (TpStore* store = TheStore()) {
        store->SetText(COM_SFP_IP_MAIN_TITLE, "IP Booting");
        store->SetText(COM_SFP_IP_TOP_TITLE, "IP Booting");
    }
}

// --- module reset and mode ----------------------------------------------------------------

void IpSfpManager::ResetModuleState()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    BusyGuard guard(busy);
    showingSource2 = 0;
    source1Seen = source2Seen = 0;
    source1Count = source2Count = 0;
    ptpSourceChanged = 1;
    encSkipAhead = 0;
    moduleIdentified = 0;
    audioRereadCounter = -1;
    audioSubStep = encMapStep = -1;
    secondCopyTimer = -1;
    IpFlowState& flow = IpFlow::State();
    flow.dialogState = -1;
    flow.flowCopySideA = flow.flowCopySideB = 0;
    flow.reinsertWarning = 0;

    for (uint16_t id : kSelectorResetIds)
        store->SetValue(id, 0);
    store->SetEnabled(COM_SFP_IP_FLOW_DEFAULT, false);
    ShowIpBooting();
    for (uint16_t id : kZeroTextIds)
        store->SetText(id, "0");
    for (uint16_t id : kZeroValueIds)
        store->SetValue(id, 0);
    store->SetText(COM_SFP_IP_VID_SEQUENCE_ERRORS, "0");
    for (uint16_t id : kZeroValueLaterIds)
        store->SetValue(id, 0);
    store->SetVisible(COM_SFP_IP_FLOW_DEFAULT, false);
    store->SetVisible(IpIds::kWindowClosedReset, false);
    if (firmwareReader)
        firmwareReader->Clear();
    ClearFlowTexts();
    if (flow.ipModuleMode == 1 && vidStdConverter)
        vidStdConverter->UpdateVidStd();
}

void IpSfpManager::SetModuleMode(uint8_t decapsulation)
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    BusyGuard guard(busy);
    const bool decap = decapsulation != 0;
    progressShown = 1;
    ShowProgressBox();

    ApplyLayout(IpIds::kModeLayout, decap, false);
    ApplyVisibilitySet(IpIds::Set::IgmpAddresses);
    for (uint16_t id : IpIds::kSsrcBoxes)
        store->SetEnabled(id, !decap);

    store->SetText(COM_SFP_IP_RX_OR_TX_PKT_LABEL, decap ? "Rx Packets:" : "Tx Packets:");
    store->SetText(COM_SFP_IP_FILT_DEST_LABEL, decap ? "Filt MAC:" : "Dest MAC:");

    IpFlow::State().ipModuleMode = decap ? 1 : 0;
    DisableSfpTabs();
    store->SetItemEnabled(COM_SFP_TAB_SELECT, kTabSetupItem, true);

    const uint8_t reg = IpFlow::State().active2110 != 0 ? kTxFlowEnabled2110Register : kTxFlowEnabled2022Register;
    for (uint16_t id : kTxFlowEnabledIds)
        if (SfpParamRow* row = SfpParamTable::Instance().Find(id))
            row->readRegister = reg;

    ResetModuleState();
    ShowIds(IpIds::kSecondFlowClear, !decap);
}

// --- firmware revision ---------------------------------------------------------------------

bool IpSfpManager::FirmwareReaderTick() { return firmwareReader && firmwareReader->Tick(); }

bool IpSfpManager::IsFirmwareReadActive() const { return firmwareReader && firmwareReader->IsActive(); }
