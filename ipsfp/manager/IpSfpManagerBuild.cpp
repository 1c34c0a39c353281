// Building and deleting the manager, its change handler, the module reset and
// mode switch and the texts they show.
#include "IpSfpManager.h"

#include "CorvaneToEmbrionixVidStd.h"
#include "EmbrionixFirmwareRevisonReader.h"
#include "IPFollower.h"
#include "IpStoreAccess.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/params/SfpParamTable.h"

#include "core/TpApplication.h"
#include "core/TpChildCmd.h"
#include "core/TpStore.h"
#include "core/TpSysDialog.h"
#include "core/TpValListCmd.h"
#include "ui/TpDialogList.h"

#include <cstdio>

namespace {

constexpr uint16_t kFlowListId = 3362;
constexpr int kFlowListNamed = 8;
constexpr uint16_t kChannelsToEmbedId = 3522;
constexpr uint16_t kTabSelectId = 2720;
constexpr uint16_t kTabSetupItem = 7;
constexpr uint16_t kFamilyListId = 3449;
constexpr uint16_t kTxFlowEnabledIds[] = {2697, 3283};
constexpr uint8_t kTxFlowEnabled2022Register = 172;
constexpr uint8_t kTxFlowEnabled2110Register = 173;

// Cached module values shown as "0" after a reset: texts, then values.
constexpr uint16_t kZeroTextIds[] = {2615, 3071, 3356, 3357, 2612, 2613, 2614, 2624, 2623};
constexpr uint16_t kZeroValueIds[] = {2624, 2623, 2615, 3356, 3357};
constexpr uint16_t kZeroValueLaterIds[] = {2612, 2613, 2614, 2656, 2691};
constexpr uint16_t kSelectorResetIds[] = {3319, 3075, 3076};

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
        TheStore()->SetItemText(kFlowListId, n, name);
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
    store->SetVisible(2601, false);
    store->SetText(2603, "Tx Packets:");
    store->SetText(2602, "Dest MAC:");
    BuildManagementControls();
    BuildGroups(IpIds::kIgmpGroups);

    BuildFollowers(IpIds::kWebFollowers);
    const size_t flowStep = controls_.size();
    BuildGroups(IpIds::kFlowGroups);
    store->SetText(2692, "2022-6");
    store->SetText(2693, "2022");
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
    store->SetText(3343, "-");
    store->SetText(3095, "-");
    BuildGroups(IpIds::kFlowListGroups);
    NameFlowList();

    BuildGroups(IpIds::kLateGroups);
    store->SetText(2639, "Off");
    store->SetText(3502, "unknown");
    store->SetText(3503, "unknown");
    store->SetVisible(kProgressBoxId, false);
    store->SetItemEnabled(kChannelsToEmbedId, 0, false);

    audioChannelCount = {};
    audioChannelActive = {};
    mapPosition = 0;
    rememberedMapFlow = 1;
    ResetModuleState();
    SfpLink::ClearPageLoadedFlags();
    store->SetVisible(2627, false);
    ShowBusy();
    for (uint16_t id : IpIds::kRangeEnabledIds)
        store->SetRangeEnabled(id, true);
    pendingAction = std::make_unique<IpPendingAction>();
    pendingAction->owner = this;
    vidStdConverter = std::make_unique<CorvaneToEmbrionixVidStd>(this);
    store->SetItemEnabled(kFamilyListId, 0, false);
    store->SetItemEnabled(kFamilyListId, 4, false);

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
        store->SetText(2692, "IP Booting");
        store->SetText(2693, "IP Booting");
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
    store->SetEnabled(2638, false);
    ShowIpBooting();
    for (uint16_t id : kZeroTextIds)
        store->SetText(id, "0");
    for (uint16_t id : kZeroValueIds)
        store->SetValue(id, 0);
    store->SetText(3071, "0");
    for (uint16_t id : kZeroValueLaterIds)
        store->SetValue(id, 0);
    store->SetVisible(2638, false);
    store->SetVisible(3396, false);
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

    store->SetVisible(3118, true);
    ApplyVisibilitySet(IpIds::Set::IgmpAddresses);
    if (decap)
        store->SetVisible(3103, true);
    store->SetVisible(2594, true);
    for (uint16_t id : {2601, 2627, 2686})
        store->SetVisible(id, decap);
    store->SetVisible(2681, false);
    for (uint16_t id : {2695, 3290}) {
        store->SetVisible(id, true);
        store->SetEnabled(id, !decap);
    }
    store->SetVisible(2696, true);
    store->SetVisible(3446, !decap);

    store->SetText(2603, decap ? "Rx Packets:" : "Tx Packets:");
    store->SetText(2602, decap ? "Filt MAC:" : "Dest MAC:");

    IpFlow::State().ipModuleMode = decap ? 1 : 0;
    DisableSfpTabs();
    store->SetItemEnabled(kTabSelectId, kTabSetupItem, true);

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
