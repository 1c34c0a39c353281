#include "IpControlTree.h"
#include "IPFollower.h"
#include "IpBusy.h"
#include "IpControlOps.h"
#include "IpFlowView.h"

#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "core/store/TpChildCmd.h"
#include "core/store/TpStore.h"
#include "core/commands/TpValListCmd.h"

#include <cstdio>

namespace {

using namespace IpControlOps;
using IpStoreAccess::TheStore;

constexpr int kFlowListNamed = 8;

int ListItemCount(uint16_t cmdId)
{
    for (const IpIds::ListRow& row : IpIds::kListItems)
        if (row.cmdId == cmdId)
            return row.items;
    return 0;
}

} // namespace

IpChannelControls::~IpChannelControls()
{
    for (uint8_t array : IpIds::kChannelDeleteOrder)
        for (auto& control : arrays[array])
            control.reset();
}

IpControlTree::IpControlTree(IpBusy& busy, const IpFlowView& flows) : busy_(busy), flows_(flows) {}

IpControlTree::~IpControlTree() { Destroy(); }

// --- building --------------------------------------------------------------------

TpCommand* IpControlTree::Make(IpIds::Make make, uint16_t cmdId, CmdValueKind kind)
{
    std::unique_ptr<TpCommand> control;
    switch (make) {
    case IpIds::Make::Child:
        control = std::make_unique<TpChildCmd>(parent_, cmdId, kind);
        break;
    case IpIds::Make::Plain:
        control = std::make_unique<TpCommand>(cmdId, kind);
        break;
    case IpIds::Make::ValList:
        control = std::make_unique<TpValListCmd>(parent_, cmdId);
        break;
    }
    // Lists get their items from the dialog definitions; without them, blank ones.
    for (int n = ListItemCount(cmdId); control->GetItemCount() < n;)
        control->AddItem("", control->GetItemCount());
    controls_.push_back(std::move(control));
    return controls_.back().get();
}

void IpControlTree::BuildGroups(std::span<const IpIds::GroupRow> groups)
{
    for (const IpIds::GroupRow& row : groups)
        for (unsigned id = row.first; id <= row.last; ++id)
            Make(row.make, static_cast<uint16_t>(id), row.kind);
}

// The web-interface bytes and the other controller rows a configure writes:
// the manager hears every change of them.
void IpControlTree::BuildManagementControls()
{
    for (const SfpParamDef& def : SfpParamTable::Definitions())
        if ((def.flags & kSfpControllerSet) != 0 && (def.flags & kSfpIsAction) == 0)
            Make(IpIds::Make::Child, def.cmdId, kKeepsValue);
}

void IpControlTree::BuildFollowers(std::span<const IpIds::FollowerRow> rows)
{
    for (const IpIds::FollowerRow& row : rows) {
        followers_.push_back(std::make_unique<IPFollower>(row, flows_));
        followers_.back()->SetForward(parent_);
    }
}

void IpControlTree::BuildChannelControls(uint16_t channel)
{
    const size_t i = channel - IpIds::kFirstChannelId;
    for (const IpIds::ChannelRow& row : IpIds::kChannelControls) {
        const auto id = static_cast<uint16_t>(channel + row.offset);
        if (row.make == IpIds::Make::Plain)
            channelControls->arrays[row.array][i] = std::make_unique<TpCommand>(id, kKeepsValue);
        else
            channelControls->arrays[row.array][i] = std::make_unique<TpChildCmd>(parent_, id, kKeepsValue);
    }
}

void IpControlTree::NameFlowList()
{
    for (int n = 1; n <= kFlowListNamed; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, " Flow %d", n);
        TheStore()->SetItemText(IpIds::kFlowList, n, name);
    }
}

// In a fixed order: later steps overwrite texts of earlier ones, and a
// control's chain keeps the order its commands were made in.
void IpControlTree::Build(TpCommand* parent)
{
    TpStore* store = TheStore();
    parent_ = parent;
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
        Make(IpIds::Make::Child, id, kKeepsValue);
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
    store->SetVisible(IpIds::kProgressBox, false);
    store->SetItemEnabled(IpIds::kMapChannelSelect, 0, false);
    for (uint16_t id : IpIds::kRangeEnabledIds)
        store->SetRangeEnabled(id, true);
}

void IpControlTree::Destroy()
{
    channelControls.reset();
    followers_.clear();
    while (!controls_.empty())
        controls_.pop_back();
}

TpCommand* IpControlTree::OwnControl(unsigned cmdId, size_t from) const
{
    for (size_t i = from; i < controls_.size(); ++i)
        if (controls_[i]->CmdId() == cmdId)
            return controls_[i].get();
    return nullptr;
}

void IpControlTree::UpdateFollowers()
{
    for (const auto& follower : followers_)
        follower->Update();
}

bool IpControlTree::IsActionControl(const TpCommand* control, unsigned cmdId) const
{
    if (control == nullptr)
        return IpIds::Contains(IpIds::kActionIds, cmdId);
    return IpIds::Contains(IpIds::kActionIds, control->CmdId()) && OwnControl(control->CmdId()) == control;
}

bool IpControlTree::IsFlowDestinationControl(const TpCommand* control) const
{
    return control != nullptr && IpIds::Contains(IpIds::kDestinationIds, control->CmdId()) &&
           OwnControl(control->CmdId()) == control;
}

bool IpControlTree::IsFlowEditControl(unsigned cmdId) { return IpIds::Contains(IpIds::kFlowEditIds, cmdId); }

// --- status and standard colours -------------------------------------------------------

void IpControlTree::ColourStandardFields(bool good)
{
    const uint32_t colour = good ? Colour::kWhite : Colour::kRed;
    if (flows_.SecondFlowShown()) {
        for (uint16_t id : IpIds::kStandardSecond)
            SetColour(id, colour);
        return;
    }
    const int32_t flag = good ? 1 : 0;
    if (flag != lastStandardColour || lastStandardColour == -1)
        for (uint16_t id : IpIds::kStandardFirst)
            SetColour(id, colour);
    lastStandardColour = flag;
    standardColourHold = 0;
}

void IpControlTree::ColourStatusFlags(bool good)
{
    if (standardColourHold > 0)
        return;
    const BusyGuard guard = busy_.Hold();
    for (TpCommand* control : statusControls_) {
        if (control == nullptr)
            continue;
        const int32_t kept = control->GetValue();
        control->SetValue(0);
        if (control->CmdId() == COM_GEN1_PAYLOAD_ID)
            control->SetColour(good ? 0 : Colour::kRed);
        else
            control->SetBackColour(good ? Colour::kWhite : Colour::kRed);
        control->SetValue(kept);
    }
    ++standardColourHold;
}

// --- the manager's own texts -------------------------------------------------------------

std::string IpControlTree::SpinnerText()
{
    static constexpr const char* kPhases[] = {"(\\) ", "(|) ", "(/) ", "(-) "};
    if (spinnerPhase > 3)
        spinnerPhase = 0;
    const char* text = kPhases[spinnerPhase];
    spinnerPhase = static_cast<uint8_t>((spinnerPhase + 1) % 4);
    return text;
}

void IpControlTree::ShowBusy()
{
    if (TpStore* store = TheStore())
        store->SetText(IpIds::kProgressBox, "BUSY! " + SpinnerText());
}

void IpControlTree::ClearFlowTexts()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const BusyGuard guard = busy_.Hold();
    for (uint16_t id : IpIds::kFlowTextIds) {
        store->SetText(id, "");
        ClearEditColour(id, false);
    }
}

void IpControlTree::ShowIpBooting()
{
    if (TpStore* store = TheStore()) {
        store->SetText(COM_SFP_IP_MAIN_TITLE, "IP Booting");
        store->SetText(COM_SFP_IP_TOP_TITLE, "IP Booting");
    }
}

void IpControlTree::ShowProgressControl(bool shown)
{
    progressVisible_ = shown ? 1 : 0;
    RefreshProgressControl();
}

void IpControlTree::RefreshProgressControl()
{
    if (TpStore* store = TheStore())
        store->SetVisible(IpIds::kProgressBox, progressVisible_ != 0);
}
