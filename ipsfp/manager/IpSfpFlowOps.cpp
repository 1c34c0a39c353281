// The manager's control operations: colours and boxes, the flow on screen and
// its look-ups, address entry, show and hide sets, tab focus, flow texts and
// checks, PTP views, the generator standard and link type, window closing.
#include "IpSfpManager.h"
#include "IpStoreAccess.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/TpStore.h"
#include "platform/DebugOut.h"
#include "ui/TKrObject.h"
#include "ui/TpDialog.h"
#include "ui/TpDialogList.h"
#include "ui/TpPageControl.h"

#include <algorithm>
#include <cctype>

namespace {

using IpStoreAccess::StoreValue;
using IpStoreAccess::TheStore;
using IpStoreAccess::ValueOf;

constexpr uint32_t kOrange = 0xFF7F00;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint16_t kLockSecondRows[] = {COM_SFP_IP_TX_FLOW_ENABLED, COM_SFP_IP_RESET_IP_FLOW_COUNTER};
constexpr int kPowerOnStep = 10;
constexpr int kPowerCycleDone = 13;
constexpr uint8_t kPowerCycleIdle = 0xFF;
constexpr int kProgressCountdown = 60;

// Controls that lose the focus before a configure, then the ones that get it.
constexpr uint16_t kConfigureUnfocus[] = {COM_SFP_IP_MONITOR_SEL,      COM_SFP_IP_IGMP_BOX,
                                          COM_SFP_IP_DEFAULT_FLOW_BTN, COM_SFP_IP_SSRC_EDITBOX,
                                          COM_SFP_IP_VLAN_BTN,         COM_SFP_IP_TX_OFF_ON};


void StoreColour(unsigned id, uint32_t colour)
{
    if (TpStore* store = TheStore())
        store->SetColour(id, colour);
}

// Text of the selected item of a list; "" with no selection or no such item.
std::string SelectedItemText(unsigned id)
{
    const TpStore* store = TheStore();
    const TpCommand* list = store != nullptr ? store->GetCmd(id) : nullptr;
    if (list == nullptr || list->GetValue() < 0 || list->GetValue() >= list->GetItemCount())
        return {};
    return list->GetItemText(list->GetValue());
}

bool Decap() { return IpFlow::State().ipModuleMode == 1; }

// The row of a look-up for the menu tab, none for other tabs.
uint16_t Lookup(IpIds::Lookup lookup)
{
    const IpFlowState& flow = IpFlow::State();
    const size_t second = flow.secondFlowShown != 0 ? 1 : 0;
    for (const IpIds::LookupRow& row : IpIds::kLookups)
        if (row.lookup == lookup && row.tab == flow.menuTab)
            return Decap() ? row.decap[second] : row.encap[second];
    return 0;
}

bool Contains(std::span<const uint16_t> ids, unsigned id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// A text of decimal digits (blanks around allowed) up to 0xFFFFFFFF.
bool ParseAddress(const std::string& text, uint32_t& out)
{
    size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    if (i == end)
        return false;
    uint64_t value = 0;
    for (; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > 0xFFFFFFFFull)
            return false;
    }
    out = static_cast<uint32_t>(value);
    return true;
}

// Four bytes, byte 4 first, inside [first, last] byte by byte.
bool InRange(const int32_t (&b)[4], const int32_t (&first)[4], const int32_t (&last)[4])
{
    for (int i = 0; i < 4; ++i)
        if (b[i] < first[i] || b[i] > last[i])
            return false;
    return true;
}

} // namespace

ShownFlowGuard::ShownFlowGuard(const SfpParamRow* row, unsigned cmdId) : saved_(IpFlow::State().secondFlowShown)
{
    if (row != nullptr && row->secondCmdId != 0 && row->secondCmdId != row->cmdId)
        IpFlow::State().secondFlowShown = cmdId == row->secondCmdId ? 1 : 0;
}

ShownFlowGuard::~ShownFlowGuard() { IpFlow::State().secondFlowShown = saved_; }

// --- colours and boxes -------------------------------------------------------------------

uint32_t IpSfpManager::GetWidgetColour(unsigned cmdId)
{
    const TKrObject* box = FirstWidget(cmdId, kWidgetColouredBox);
    return box != nullptr ? box->GetColour() : 0;
}

uint32_t IpSfpManager::GetWidgetColourNotEdit(unsigned cmdId)
{
    const TpStore* store = TheStore();
    for (const TpCommand* c = store != nullptr ? store->GetCmd(cmdId) : nullptr; c != nullptr; c = c->NextInChain()) {
        const int type = GetWidgetType(c);
        if (type != kWidgetNone && type != kWidgetEdit)
            return c->GetColour();
    }
    return 0;
}

bool IpSfpManager::ClearEditColour(unsigned cmdId, bool force)
{
    const TpStore* store = TheStore();
    for (TpCommand* c = store != nullptr ? store->GetCmd(cmdId) : nullptr; c != nullptr; c = c->NextInChain()) {
        const uint32_t colour = c->GetColour();
        if (colour == kOrange && !force)
            continue;
        if (GetWidgetType(c) == kWidgetEdit) {
            if (colour != kWhite)
                c->SetColour(kWhite);
        } else if (colour != 0) {
            c->SetColour(0);
        }
    }
    return true;
}

void IpSfpManager::MarkEdited(unsigned cmdId, uint32_t colour) { StoreColour(cmdId, colour); }

void IpSfpManager::SetBoxEnabled(unsigned cmdId, bool enabled)
{
    if (TKrObject* box = InputWidget(cmdId); box != nullptr && box->WidgetType() == kWidgetColouredBox)
        box->SetEnabled(enabled);
}

void IpSfpManager::ColourStandardFields(bool good)
{
    const uint32_t colour = good ? kWhite : kRed;
    if (IpFlow::State().secondFlowShown != 0) {
        for (uint16_t id : IpIds::kStandardSecond)
            StoreColour(id, colour);
        return;
    }
    const int32_t flag = good ? 1 : 0;
    if (flag != lastStandardColour || lastStandardColour == -1)
        for (uint16_t id : IpIds::kStandardFirst)
            StoreColour(id, colour);
    lastStandardColour = flag;
    standardColourHold = 0;
}

void IpSfpManager::ColourStatusFlags(bool good)
{
    if (standardColourHold > 0)
        return;
    BusyGuard guard(busy);
    for (TpCommand* control : statusControls_) {
        if (control == nullptr)
            continue;
        const int32_t kept = control->GetValue();
        control->SetValue(0);
        if (control->CmdId() == COM_GEN1_PAYLOAD_ID)
            control->SetColour(good ? 0 : kRed);
        else
            control->SetBackColour(good ? kWhite : kRed);
        control->SetValue(kept);
    }
    ++standardColourHold;
}

// --- the flow on screen ------------------------------------------------------------------------

bool IpSfpManager::LockTxFlow()
{
    IpFlowState& flow = IpFlow::State();
    bool secondKnown = false;
    for (uint16_t id : kLockSecondRows)
        if (const SfpParamRow* row = SfpParamTable::Instance().Find(id); row != nullptr && row->value != -1)
            secondKnown = true;
    if (secondKnown && flow.lockedToSecond == 0) {
        DebugPrintf("\nLocking Tx second flow\n");
        flow.lockedToSecond = 1;
        flow.lockedToFirst = 0;
        flow.flowRefresh = 1;
        return false;
    }
    if (flow.flowsKnown < 1 || flow.lockedToFirst != 0 || flow.lockedToSecond != 0)
        return true;
    DebugPrintf("\nNo Flow-so locking first! \n");
    flow.lockedToFirst = 1;
    flow.lockedToSecond = 0;
    flow.flowRefresh = 1;
    return false;
}

uint16_t IpSfpManager::FlowValueControl() { return Lookup(IpIds::Lookup::Value); }
uint16_t IpSfpManager::FlowLabelControl() { return Lookup(IpIds::Lookup::Label); }
uint16_t IpSfpManager::FlowCounterControl() { return Lookup(IpIds::Lookup::Counter); }
uint16_t IpSfpManager::FlowEncapControl() { return Lookup(IpIds::Lookup::Encap); }

uint16_t IpSfpManager::FlowPortControl(unsigned cmdId)
{
    return Lookup(cmdId == COM_SFP_IP_DEST_UDP_PORT ? IpIds::Lookup::DestPort : IpIds::Lookup::Port);
}

void IpSfpManager::RefreshFlowLabel(const std::string& text)
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    if (const uint16_t label = FlowLabelControl(); label != 0) {
        store->SetText(label, text);
        ClearEditColour(label, false);
    }
    const uint16_t box = IpIds::kSsrcBoxes[IpFlow::State().secondFlowShown != 0 ? 1 : 0];
    store->SetText(box, text);
    ClearEditColour(box, false);
}

bool IpSfpManager::IpAddressEntered(TpCommand* control)
{
    if (control == nullptr)
        return false;
    for (const IpIds::EntryRow& entry : IpIds::kAddressEntries) {
        if (entry.entry != control->CmdId())
            continue;
        uint32_t number = 0;
        if (!ParseAddress(control->GetText(), number))
            return false;
        MarkEdited(entry.entry, kOrange);
        for (int i = 0; i < 4; ++i)
            StoreValue(entry.bytes[i], static_cast<int32_t>((number >> (24 - 8 * i)) & 0xFF));
        return true;
    }
    return false;
}

void IpSfpManager::ShowIds(std::span<const uint16_t> ids, bool shown)
{
    if (TpStore* store = TheStore())
        for (uint16_t id : ids)
            store->SetVisible(id, shown);
}

void IpSfpManager::ApplyVisibilitySet(IpIds::Set set, bool flag)
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const bool decap = Decap();
    for (const IpIds::SetRow& row : IpIds::kSets) {
        if (row.set != set)
            continue;
        switch (row.rule) {
        case IpIds::Rule::Encap: ShowIds(row.ids, !decap); break;
        case IpIds::Rule::Decap: ShowIds(row.ids, decap); break;
        case IpIds::Rule::FlagClear: ShowIds(row.ids, !flag); break;
        case IpIds::Rule::FlagSet: ShowIds(row.ids, flag); break;
        case IpIds::Rule::Hide: ShowIds(row.ids, false); break;
        case IpIds::Rule::Disable:
            for (uint16_t id : row.ids)
                store->SetEnabled(id, false);
            break;
        }
    }
}

bool IpSfpManager::IsConfiguring() const
{
    const TpStore* store = TheStore();
    return store != nullptr && store->GetCmdText(kProgressBoxId).starts_with("Configure SFP");
}

bool IpSfpManager::IsReading() const
{
    const TpStore* store = TheStore();
    return store != nullptr && store->GetCmdText(kProgressBoxId).starts_with("Reading SFP");
}

bool IpSfpManager::IsDecapsulating() { return IpFlow::State().ipModuleMode == 1; }
bool IpSfpManager::IsEncapsulating() { return IpFlow::State().ipModuleMode == 0; }
void IpSfpManager::ResetFlowSelection() { IpFlow::State().ipModuleMode = -1; }

void IpSfpManager::FocusSfpTab(int tab)
{
    TpStore* store = TheStore();
    if (store == nullptr || tab < 1 || tab > 7)
        return;
    for (const IpIds::FocusRow& row : IpIds::kTabFocus) {
        if (row.tab != tab || (row.mode == IpIds::Mode::Decap && !Decap()) ||
            (row.mode == IpIds::Mode::Encap && Decap()))
            continue;
        switch (row.op) {
        case IpIds::FocusOp::Label: ClearDialogFocus(IpIds::kTabLabels[tab]); break;
        case IpIds::FocusOp::Focus: store->SetFocused(row.cmdId, true); break;
        case IpIds::FocusOp::Unfocus: store->SetFocused(row.cmdId, false); break;
        case IpIds::FocusOp::ReopenDecapMap: IpFlow::State().decapMapReopen = 1; break;
        case IpIds::FocusOp::ResetSequencer: IpFlow::State().sequencerStep = 0; break;
        }
    }
}

bool IpSfpManager::IsReservedMulticast() const
{
    static constexpr int32_t kLow[4] = {224, 0, 0, 0};
    static constexpr int32_t kLowEnd[4] = {224, 0, 0, 255};
    static constexpr int32_t kHigh[4] = {224, 0, 1, 0};
    static constexpr int32_t kHighEnd[4] = {224, 0, 1, 255};
    for (std::span<const uint16_t> set : {std::span<const uint16_t>(IpIds::kFlowDestBytes),
                                          std::span<const uint16_t>(IpIds::kFlowDestSecondBytes)}) {
        const int32_t b[4] = {ValueOf(set[3]), ValueOf(set[2]), ValueOf(set[1]), ValueOf(set[0])};
        if (InRange(b, kLow, kLowEnd) || InRange(b, kHigh, kHighEnd))
            return true;
    }
    return false;
}

void IpSfpManager::SetMulticastMac()
{
    const bool second = IpFlow::State().secondFlowShown != 0;
    const auto& dest = second ? IpIds::kFlowDestSecondBytes : IpIds::kFlowDestBytes;
    const auto& mac = second ? IpIds::kFlowMacSecondBytes : IpIds::kFlowMacBytes;
    const int32_t b1 = ValueOf(dest[0]), b2 = ValueOf(dest[1]), b3 = ValueOf(dest[2]), b4 = ValueOf(dest[3]);
    if (b4 < 224 || b4 > 239)
        return;
    // MAC byte 6 (most significant) first: 01-00-5E, then the low 23 bits of the address.
    const int32_t bytes[6] = {0x01, 0x00, 0x5E, b3 & 0x7F, b2, b1};
    for (int i = 0; i < 6; ++i)
        StoreValue(mac[5 - i], bytes[i]);
}

int32_t IpSfpManager::AddressGroupValue(int group) const
{
    if (!IsFlowTransmitting())
        return -1;
    std::span<const uint16_t> bytes = IpIds::kFlowSrcBytes;
    switch (group) {
    case 1: bytes = IpIds::kFlowDestBytes; break;
    case 2: bytes = IpIds::kMgmtIpBytes; break;
    case 3: bytes = IpIds::kMgmtMaskBytes; break;
    case 4: bytes = IpIds::kMgmtGatewayBytes; break;
    default: break;
    }
    const int32_t first = ValueOf(bytes[0]);
    for (uint16_t id : bytes)
        if (ValueOf(id) != first)
            return -1;
    return first;
}

bool IpSfpManager::SourceMatchesManagement(bool second) const
{
    const auto& source = second ? IpIds::kFlowSrcSecondBytes : IpIds::kFlowSrcBytes;
    for (size_t i = 0; i < 4; ++i)
        if (ValueOf(IpIds::kMgmtIpBytes[i]) != ValueOf(source[i]))
            return false;
    return true;
}

void IpSfpManager::CopyManagementToSource()
{
    const auto& source = IpFlow::State().flowCopySideB != 0 ? IpIds::kFlowSrcSecondBytes : IpIds::kFlowSrcBytes;
    for (size_t i = 0; i < 4; ++i)
        StoreValue(source[i], ValueOf(IpIds::kMgmtIpBytes[i]));
}

bool IpSfpManager::AnyAddressByteSet(std::span<const uint16_t, 4> bytes, int fullBytes)
{
    for (int i = 0; i < 4; ++i)
        if (ValueOf(bytes[static_cast<size_t>(i)]) != (i < fullBytes ? 255 : 0))
            return true;
    return false;
}

void IpSfpManager::LoadAudioFlowChoice()
{
    audioFlowChoice = {};
    const int32_t selector = ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL);
    if (selector >= 0 && selector < static_cast<int32_t>(storedAudioFlowChoice.size()))
        audioFlowChoice = storedAudioFlowChoice[static_cast<size_t>(selector)];
    StoreValue(IpIds::kAudioFlowChoice[0], audioFlowChoice[0]);
    StoreValue(IpIds::kAudioFlowChoice[1], audioFlowChoice[1]);
}

void IpSfpManager::CopyStandardToSecondViews()
{
    for (const IpIds::CopyRow& row : IpIds::kStandardCopies)
        StoreValue(row.to, ValueOf(row.from));
}

void IpSfpManager::CopyAncFlowValue()
{
    StoreValue(COM_SFP_IP_FLOW_MAC_BYTE1_0BB1_VIEW2, ValueOf(COM_SFP_IP_FLOW_MAC_BYTE1_0BB1));
    StoreColour(COM_SFP_IP_FLOW_MAC_BYTE1_0BB1_VIEW2, 0);
}

void IpSfpManager::ResetConfigureFocus()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    for (uint16_t id : kConfigureUnfocus)
        store->SetFocused(id, false);
    for (const SfpParamRow& row : SfpParamTable::Instance().Rows())
        store->SetFocused(row.cmdId, false);
    store->SetFocused(COM_SFP_IP_MANAGEMENT_IP_SETUP_BTN, true);
    store->SetFocused(COM_SFP_IP_FLOWS_IP_SETUP_BTN, false);
    store->SetFocused(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, true);
    store->SetFocused(COM_SFP_IP_MANAGEMENT_IP_CANCEL_BTN, true);
}

void IpSfpManager::EnableOutsideSets(bool enable)
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const TpCommand* state = store->GetCmd(COM_SFP_IP_MONITOR_SEL);
    if (state != nullptr && state->IsEnabled() == enable)
        return;
    store->SetValue(COM_SFP_IP_MONITOR_SEL, 0);
    store->SetEnabled(COM_SFP_IP_MONITOR_SEL, enable);
    for (const SfpParamRow& row : SfpParamTable::Instance().Rows())
        if (row.inControllerSet == 0 && row.inFlowSet == 0)
            store->SetEnabled(row.cmdId, enable);
    store->SetVisible(COM_SFP_IP_VLAN_BTN, enable);
    store->SetEnabled(COM_SFP_IP_TX_OFF_ON, enable);
    store->SetEnabled(COM_SFP_IP_VID_BOX, enable);
}

bool IpSfpManager::StepPowerCycle()
{
    if (powerCycleCounter == kPowerCycleIdle)
        return false;
    ++powerCycleCounter;
    if (powerCycleCounter >= kPowerCycleDone) {
        powerCycleCounter = kPowerCycleIdle;
        return false;
    }
    if (powerCycleCounter == kPowerOnStep)
        sfp_set_power(1);
    return powerCycleCounter >= kPowerOnStep;
}

void IpSfpManager::CloseAnyWindow()
{
    IpFlowState& flow = IpFlow::State();
    if (flow.skipNextClose != 0) {
        flow.skipNextClose = 0;
        return;
    }
    DebugPrintf("\nClosing Any Window\n");
    if (flow.dialogState != 4)
        flow.dialogState = -1;
    flow.sequencerStep = 0;
    flow.pageUpdateFlagA = 0;
    flow.pageUpdateFlagB = 0;
    lastStandardColour = -1;
    flow.flowRefresh = 1;
    RefreshOnWindowClosed();
}

void IpSfpManager::RefreshOnWindowClosed()
{
    StoreValue(IpIds::kWindowClosedReset, 0);
    IpFlowState& flow = IpFlow::State();
    const int32_t tab = ValueOf(COM_SFP_TAB_SELECT);
    if (tab == 6) {
        if (flow.ipModuleMode == 1)
            flow.decapMapReopen = 1;
        else
            flow.encapMapReopen = 1;
    } else if (tab >= 1 && tab <= 4) {
        flow.audioMapPosition = 0;
    }
}

void IpSfpManager::ShowProgressBox()
{
    progressStep = kProgressCountdown;
    if (TpStore* store = TheStore())
        store->SetVisible(kProgressBoxId, true);
}

bool IpSfpManager::IsFlowAddressControl(unsigned cmdId) { return Contains(IpIds::kFlowAddressIds, cmdId); }
bool IpSfpManager::IsFlowEditControl(unsigned cmdId) { return Contains(IpIds::kFlowEditIds, cmdId); }

bool IpSfpManager::IsFlowTransmitting()
{
    const IpFlowState& flow = IpFlow::State();
    if (flow.sequencerRunning == 0)
        return true;
    if (flow.menuTab == 2 || flow.menuTab == 3)
        return flow.ipModuleMode != 1;
    if (flow.menuTab == 11 || flow.menuTab == 12)
        return flow.ipModuleMode != 0;
    return false;
}

bool IpSfpManager::IsActionControl(const TpCommand* control, unsigned cmdId) const
{
    if (control == nullptr)
        return Contains(IpIds::kActionIds, cmdId);
    return Contains(IpIds::kActionIds, control->CmdId()) && OwnControl(control->CmdId()) == control;
}

bool IpSfpManager::IsFlowDestinationControl(const TpCommand* control) const
{
    return control != nullptr && Contains(IpIds::kDestinationIds, control->CmdId()) &&
           OwnControl(control->CmdId()) == control;
}

void IpSfpManager::SelectSfpTab7() { StoreValue(COM_SFP_TAB_SELECT, IpIds::kTabSetup); }

void IpSfpManager::SetSfpPageCaption(const std::string& text)
{
    if (auto* page = static_cast<TpPageControl*>(FirstWidget(COM_MAIN_TAB_SELECT, kWidgetPageControl)))
        page->SetPageText(7, text);
}

void IpSfpManager::ClearDialogFocus(const std::string& name)
{
    if (TpDialog* top = TopWindow())
        top->ClearFocus(name);
}

// --- flow texts and checks ---------------------------------------------------------------

void IpSfpManager::ShowAudioFlowSummary()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const uint8_t second = IpFlow::State().secondFlowShown != 0 ? 1 : 0;
    const uint8_t decap = Decap() ? 1 : 0;
    for (const IpIds::SummaryRow& row : IpIds::kAudioSummary) {
        if (row.secondFlow != second || row.decap != decap)
            continue;
        store->SetText(row.firstText, SelectedItemText(row.firstList));
        store->SetText(row.secondText, SelectedItemText(row.secondList));
    }
}

void IpSfpManager::ShowAncFlowTexts()
{
    TpStore* store = TheStore();
    if (store == nullptr || Decap())
        return;
    store->SetText(IpIds::kAncFlowTexts[0], SelectedItemText(COM_SFP_IP_FLOW_MAC_BYTE1_0BA5));
    store->SetText(IpIds::kAncFlowTexts[1], SelectedItemText(COM_SFP_IP_FLOW_MAC_BYTE1_0BA5_VIEW2));
}

void IpSfpManager::CheckEncapChannelCount()
{
    const int32_t limit = ValueOf(COM_SFP_IP_FLOW_MAC_BYTE1_0DAD) == 0 ? 10 : 6;
    const bool tooMany = ValueOf(COM_SFP_IP_FLOW_MAC_BYTE1_0AFA) == 0 && audioFlowChoice[0] > limit;
    StoreColour(COM_SFP_IP_FLOW_MAC_BYTE1_0AFA, tooMany ? kRed : 0);
    for (uint16_t id : {IpIds::kAudioFlowChoice[0], IpIds::kAudioFlowChoice[1], IpIds::kAudioSummaryText,
                        IpIds::kAudioSummarySecondFlow})
        StoreColour(id, tooMany ? kRed : kWhite);
}

void IpSfpManager::CheckDecapChannelCount()
{
    constexpr uint16_t kCount = COM_SFP_IP_FLOW_MAC_BYTE1_0BB3, kChannels = COM_SFP_IP_FLOW_MAC_BYTE1_0BB1;
    constexpr uint16_t kCountTexts[] = {COM_SFP_IP_FLOW_MAC_BYTE1_0BB3_VIEW2, IpIds::kAudioSummaryText,
                                        IpIds::kAudioSummarySecondFlow};
    const int32_t limit = ValueOf(COM_SFP_IP_FLOW_MAC_BYTE1_0DAC) == 0 ? 10 : 6;
    const bool tooMany = ValueOf(kChannels) == 0 && ValueOf(kCount) > limit;
    if (tooMany) {
        StoreColour(kChannels, kRed);
        StoreColour(kCount, kRed);
    } else {
        StoreColour(kChannels, 0);
        ClearEditColour(kCount, true);
    }
    for (uint16_t id : kCountTexts)
        StoreColour(id, tooMany ? kRed : kWhite);
}

// --- PTP views ------------------------------------------------------------------------

bool IpSfpManager::IsPtpViewLocked()
{
    const TpStore* store = TheStore();
    if (store == nullptr)
        return false;
    for (uint16_t id : {IpIds::kPtpSecondView[0], IpIds::kPtpFirstView[0]})
        if (const TpCommand* c = store->GetCmd(id); c != nullptr && !c->IsEnabled())
            return true;
    return false;
}

void IpSfpManager::EnablePtpView(bool second, bool enable)
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    BusyGuard guard(busy);
    for (uint16_t id : second ? IpIds::kPtpSecondView : IpIds::kPtpFirstView)
        store->SetEnabled(id, enable);
}

// --- generator standard and link type ------------------------------------------------------

void IpSfpManager::RefreshGeneratorStandard()
{
    const IpFlowState& flow = IpFlow::State();
    if (ValueOf(COM_GEN1_OUT_ENABLE) != 0 && flow.ipModuleMode == 0 && rememberedTab == 1 && flow.active2110 != 0)
        ApplyGeneratorStandard();
}

void IpSfpManager::ApplyGeneratorStandard()
{
    TpStore* store = TheStore();
    if (store == nullptr || Decap())
        return;
    const std::string standard = store->GetCmdText(COM_GEN1_STD_LONG_TEXT);
    if (standard.empty())
        return;
    store->SetValue(COM_SFP_IP_VID_SEQUENCE_ERRORS_0C22, standard.find('p') != std::string::npos ? 1 : 0);
    store->SetValue(COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21, 0);
    for (uint16_t id : {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C22, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21,
                        COM_SFP_IP_FLOWS_IP_SETUP_BTN})
        store->SetFocused(id, false);
    IpFlow::State().menuRefreshDelay = 0;
}

void IpSfpManager::PrepareTxFlow()
{
    StoreValue(COM_GEN1_PAYLOAD_ID, 1);
    savedLinkType = ValueOf(COM_GEN1_LINK_TYPE);
    StoreValue(COM_GEN1_LINK_TYPE, savedLinkType == 0 ? 1 : 0);
    StoreValue(COM_GEN2_OUT_ENABLE, 0);
    linkTypeRestorePending = 1;
}

void IpSfpManager::RestoreLinkType() { StoreValue(COM_GEN1_LINK_TYPE, savedLinkType); }

void IpSfpManager::DisableSfpTabs()
{
    if (TpStore* store = TheStore())
        for (int item = 1; item <= 6; ++item)
            store->SetItemEnabled(COM_SFP_TAB_SELECT, item, false);
}
