#include "IpFlowView.h"
#include "IpControlOps.h"
#include "IpEditBook.h"
#include "IpStoreAccess.h"

#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"
#include "ui/widgets/TKrObject.h"
#include "ui/widgets/TpDialog.h"
#include "ui/dialogs/TpDialogList.h"
#include "ui/widgets/TpPageControl.h"

#include <cctype>

namespace {

using namespace IpControlOps;
using IpStoreAccess::StoreValue;
using IpStoreAccess::TheStore;
using IpStoreAccess::ValueOf;

constexpr uint16_t kLockSecondRows[] = {COM_SFP_IP_TX_FLOW_ENABLED, COM_SFP_IP_RESET_IP_FLOW_COUNTER};
constexpr uint16_t kTxFlowEnabledIds[] = {COM_SFP_IP_TX_FLOW_ENABLE, COM_SFP_IP_TX_FLOW_ENABLED};
constexpr uint8_t kTxFlowEnabled2022Register = 172;
constexpr uint8_t kTxFlowEnabled2110Register = 173;
constexpr uint8_t kSetupTicks = 3;
constexpr uint8_t kSetupIdle = 0xFF;

// Controls that lose the focus before a configure, then the ones that get it.
constexpr uint16_t kConfigureUnfocus[] = {COM_SFP_IP_MONITOR_SEL,      COM_SFP_IP_IGMP_BOX,
                                          COM_SFP_IP_DEFAULT_FLOW_BTN, COM_SFP_IP_SSRC_EDITBOX,
                                          COM_SFP_IP_VLAN_BTN,         COM_SFP_IP_TX_OFF_ON};

// Text of the selected item of a list; "" with no selection or no such item.
std::string SelectedItemText(unsigned id)
{
    const TpStore* store = TheStore();
    const TpCommand* list = store != nullptr ? store->GetCmd(id) : nullptr;
    if (list == nullptr || list->GetValue() < 0 || list->GetValue() >= list->GetItemCount())
        return {};
    return list->GetItemText(list->GetValue());
}

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

IpFlowView::ShownFlowGuard::ShownFlowGuard(IpFlowView& flows, const SfpParamRow* row, unsigned cmdId)
    : flows_(flows), saved_(flows.secondFlowShown)
{
    if (row != nullptr && row->secondCmdId != 0 && row->secondCmdId != row->cmdId)
        flows_.secondFlowShown = cmdId == row->secondCmdId ? 1 : 0;
}

// --- the module ------------------------------------------------------------------------

void IpFlowView::TakeModule(bool is2110, int32_t decapsulation)
{
    active2110 = is2110 ? 1 : 0;
    if (active2110 != txRegisterFirmware)
        SelectTxFlowRegister();
    ipModuleMode = decapsulation;
    moduleIdentified = ipFeatures = modulePresent = moduleReady = 1;
}

void IpFlowView::SelectTxFlowRegister()
{
    const uint8_t reg = Is2110() ? kTxFlowEnabled2110Register : kTxFlowEnabled2022Register;
    for (uint16_t id : kTxFlowEnabledIds)
        if (SfpParamRow* row = SfpParamTable::Instance().Find(id))
            row->readRegister = reg;
    txRegisterFirmware = active2110;
}

void IpFlowView::ForgetModule()
{
    rememberedTab = IpIds::kTabSetup;
    modulePresent = moduleReady = 0;
}

// --- the flow on screen ------------------------------------------------------------------------

bool IpFlowView::LockTxFlow()
{
    bool secondKnown = false;
    for (uint16_t id : kLockSecondRows)
        if (const SfpParamRow* row = SfpParamTable::Instance().Find(id);
            row != nullptr && (row->value != -1 || edits_.HasEdit(*row)))
            secondKnown = true;
    if (secondKnown && lockedToSecond == 0) {
        DebugPrintf("\nLocking Tx second flow\n");
        lockedToSecond = 1;
        lockedToFirst = 0;
        flowRefresh = 1;
        return false;
    }
    if (flowsKnown < 1 || lockedToFirst != 0 || lockedToSecond != 0)
        return true;
    DebugPrintf("\nNo Flow-so locking first! \n");
    lockedToFirst = 1;
    lockedToSecond = 0;
    flowRefresh = 1;
    return false;
}

// The row of a look-up for the menu tab, none for other tabs.
uint16_t IpFlowView::Lookup(IpIds::Lookup lookup) const
{
    const size_t second = secondFlowShown != 0 ? 1 : 0;
    for (const IpIds::LookupRow& row : IpIds::kLookups)
        if (row.lookup == lookup && row.tab == menuTab)
            return IsDecapsulating() ? row.decap[second] : row.encap[second];
    return 0;
}

uint16_t IpFlowView::FlowValueControl() const { return Lookup(IpIds::Lookup::Value); }
uint16_t IpFlowView::FlowLabelControl() const { return Lookup(IpIds::Lookup::Label); }
uint16_t IpFlowView::FlowCounterControl() const { return Lookup(IpIds::Lookup::Counter); }
uint16_t IpFlowView::FlowEncapControl() const { return Lookup(IpIds::Lookup::Encap); }
uint16_t IpFlowView::FlowMacTextControl() const { return Lookup(IpIds::Lookup::MacText); }

uint16_t IpFlowView::FlowPortControl(unsigned cmdId) const
{
    return Lookup(cmdId == COM_SFP_IP_DEST_UDP_PORT ? IpIds::Lookup::DestPort : IpIds::Lookup::Port);
}

void IpFlowView::RefreshFlowLabel(const std::string& text)
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    if (const uint16_t label = FlowLabelControl(); label != 0) {
        store->SetText(label, text);
        ClearEditColour(label, false);
    }
    const uint16_t box = IpIds::kSsrcBoxes[secondFlowShown != 0 ? 1 : 0];
    store->SetText(box, text);
    ClearEditColour(box, false);
}

void IpFlowView::NoteTypedSsrcLabel(bool second, uint16_t label)
{
    uint16_t& noted = typedSsrcLabel[second ? 1 : 0];
    if (noted != 0 && noted != label)
        ClearEditColour(noted, true);   // that label's edit was replaced
    noted = label;
}

bool IpFlowView::IpAddressEntered(TpCommand* control)
{
    if (control == nullptr)
        return false;
    for (const IpIds::EntryRow& entry : IpIds::kAddressEntries) {
        if (entry.entry != control->CmdId())
            continue;
        uint32_t number = 0;
        if (!ParseAddress(control->GetText(), number))
            return false;
        MarkEdited(entry.entry);
        for (int i = 0; i < 4; ++i)
            StoreValue(entry.bytes[i], static_cast<int32_t>((number >> (24 - 8 * i)) & 0xFF));
        return true;
    }
    return false;
}

bool IpFlowView::IsFlowTransmitting() const
{
    if (sequencerRunning == 0)
        return true;
    if (menuTab == 2 || menuTab == 3)
        return ipModuleMode != 1;
    if (menuTab == 11 || menuTab == 12)
        return ipModuleMode != 0;
    return false;
}

int32_t IpFlowView::AddressGroupValue(int group) const
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

bool IpFlowView::IsReservedMulticast() const
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

void IpFlowView::SetMulticastMac()
{
    const bool second = secondFlowShown != 0;
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

bool IpFlowView::AnyAddressByteSet(std::span<const uint16_t, 4> bytes, int fullBytes)
{
    for (int i = 0; i < 4; ++i)
        if (ValueOf(bytes[static_cast<size_t>(i)]) != (i < fullBytes ? 255 : 0))
            return true;
    return false;
}

bool IpFlowView::IsFlowAddressControl(unsigned cmdId) { return IpIds::Contains(IpIds::kFlowAddressIds, cmdId); }

// --- show and hide ---------------------------------------------------------------------

void IpFlowView::ShowIds(std::span<const uint16_t> ids, bool shown)
{
    if (TpStore* store = TheStore())
        for (uint16_t id : ids)
            store->SetVisible(id, shown);
}

void IpFlowView::ApplyVisibilitySet(IpIds::Set set, bool flag)
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const bool decap = IsDecapsulating();
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

void IpFlowView::ApplyFlowTables()
{
    for (IpIds::Set set : {IpIds::Set::Filter, IpIds::Set::FirstViews, IpIds::Set::SecondViews})
        ApplyVisibilitySet(set);
}

void IpFlowView::ApplyLayout(std::span<const IpIds::LayoutRow> rows, bool decap, bool is2110)
{
    using IpIds::Vis;
    TpStore& store = *TheStore();
    for (const IpIds::LayoutRow& r : rows) {
        switch (r.vis) {
        case Vis::Hidden: store.SetVisible(r.cmdId, false); break;
        case Vis::Shown: store.SetVisible(r.cmdId, true); break;
        case Vis::InEncap: store.SetVisible(r.cmdId, !decap); break;
        case Vis::InDecap: store.SetVisible(r.cmdId, decap); break;
        case Vis::DecapShows:
            if (decap)
                store.SetVisible(r.cmdId, true);
            break;
        case Vis::If2110: store.SetVisible(r.cmdId, is2110); break;
        case Vis::If2022: store.SetVisible(r.cmdId, !is2110); break;
        }
    }
}

void IpFlowView::DisableSfpTabs()
{
    if (TpStore* store = TheStore())
        for (int item = 1; item <= 6; ++item)
            store->SetItemEnabled(COM_SFP_TAB_SELECT, item, false);
}

void IpFlowView::EnableOutsideSets(bool enable)
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

void IpFlowView::ResetConfigureFocus()
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

// --- tabs and the menu set-up -----------------------------------------------------------------

void IpFlowView::FocusSfpTab(int tab)
{
    TpStore* store = TheStore();
    if (store == nullptr || tab < 1 || tab > 7)
        return;
    const bool decap = IsDecapsulating();
    for (const IpIds::FocusRow& row : IpIds::kTabFocus) {
        if (row.tab != tab || (row.mode == IpIds::Mode::Decap && !decap) || (row.mode == IpIds::Mode::Encap && decap))
            continue;
        switch (row.op) {
        case IpIds::FocusOp::Label: ClearDialogFocus(IpIds::kTabLabels[tab]); break;
        case IpIds::FocusOp::Focus: store->SetFocused(row.cmdId, true); break;
        case IpIds::FocusOp::Unfocus: store->SetFocused(row.cmdId, false); break;
        case IpIds::FocusOp::ReopenDecapMap: decapMapReopen = 1; break;
        case IpIds::FocusOp::RestartDecapMap: decapMapRestart = 1; break;
        }
    }
}

void IpFlowView::SelectSfpTab7() { StoreValue(COM_SFP_TAB_SELECT, IpIds::kTabSetup); }

void IpFlowView::SetSfpPageCaption(const std::string& text)
{
    if (auto* page = static_cast<TpPageControl*>(FirstWidget(COM_MAIN_TAB_SELECT, kWidgetPageControl)))
        page->SetPageText(7, text);
}

void IpFlowView::ClearDialogFocus(const std::string& name)
{
    if (TpDialog* top = TopWindow())
        top->ClearFocus(name);
}

void IpFlowView::StepMenuSetup()
{
    const int32_t tab = ValueOf(COM_SFP_TAB_SELECT);
    if (menuRefreshDelay != -1) {
        if (++menuRefreshDelay > 0) {
            FocusSfpTab(tab);
            menuRefreshDelay = -1;
        }
        return;
    }
    if (setupCountdown != kSetupIdle) {
        if (++setupCountdown == kSetupTicks) {
            setupCountdown = kSetupIdle;
            FocusSfpTab(tab);
        }
        return;
    }
    struct FocusRequest {
        uint8_t& flag;
        uint16_t list;
    };
    for (const FocusRequest& request : {FocusRequest {flowListFocusA, IpIds::kEncMapButton},
                                        FocusRequest {flowListFocusB, IpIds::kDecMapButton}}) {
        if (request.flag == 0)
            continue;
        FocusSfpTab(tab);
        if (TpStore* store = TheStore())
            store->SetFocused(request.list, true);
        request.flag = 0;
        return;
    }
}

void IpFlowView::RefreshOnWindowClosed()
{
    StoreValue(IpIds::kWindowClosedReset, 0);
    if (ValueOf(COM_SFP_TAB_SELECT) == IpIds::kTabAudioMap)
        RequestMapReopen(IsDecapsulating());
}

// --- audio and ANC flow texts -------------------------------------------------------------------

void IpFlowView::LoadAudioFlowChoice()
{
    audioFlowChoice = {};
    const int32_t selector = ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL);
    if (selector >= 0 && selector < static_cast<int32_t>(storedAudioFlowChoice.size()))
        audioFlowChoice = storedAudioFlowChoice[static_cast<size_t>(selector)];
    StoreValue(IpIds::kAudioFlowChoice[0], audioFlowChoice[0]);
    StoreValue(IpIds::kAudioFlowChoice[1], audioFlowChoice[1]);
}

void IpFlowView::CopyStandardToSecondViews()
{
    for (const IpIds::CopyRow& row : IpIds::kStandardCopies)
        StoreValue(row.to, ValueOf(row.from));
}

void IpFlowView::CopyAncFlowValue()
{
    StoreValue(COM_SFP_IP_FLOW_MAC_BYTE1_0BB1_VIEW2, ValueOf(COM_SFP_IP_FLOW_MAC_BYTE1_0BB1));
    SetColour(COM_SFP_IP_FLOW_MAC_BYTE1_0BB1_VIEW2, 0);
}

void IpFlowView::ShowAudioFlowSummary()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const uint8_t second = secondFlowShown != 0 ? 1 : 0;
    const uint8_t decap = IsDecapsulating() ? 1 : 0;
    for (const IpIds::SummaryRow& row : IpIds::kAudioSummary) {
        if (row.secondFlow != second || row.decap != decap)
            continue;
        store->SetText(row.firstText, SelectedItemText(row.firstList));
        store->SetText(row.secondText, SelectedItemText(row.secondList));
    }
}

void IpFlowView::ShowAncFlowTexts()
{
    TpStore* store = TheStore();
    if (store == nullptr || IsDecapsulating())
        return;
    store->SetText(IpIds::kAncFlowTexts[0], SelectedItemText(COM_SFP_IP_FLOW_MAC_BYTE1_0BA5));
    store->SetText(IpIds::kAncFlowTexts[1], SelectedItemText(COM_SFP_IP_FLOW_MAC_BYTE1_0BA5_VIEW2));
}

void IpFlowView::CheckEncapChannelCount()
{
    const int32_t limit = ValueOf(COM_SFP_IP_FLOW_MAC_BYTE1_0DAD) == 0 ? 10 : 6;
    const bool tooMany = ValueOf(COM_SFP_IP_FLOW_MAC_BYTE1_0AFA) == 0 && audioFlowChoice[0] > limit;
    SetColour(COM_SFP_IP_FLOW_MAC_BYTE1_0AFA, tooMany ? Colour::kRed : 0);
    for (uint16_t id : {IpIds::kAudioFlowChoice[0], IpIds::kAudioFlowChoice[1], IpIds::kAudioSummaryText,
                        IpIds::kAudioSummarySecondFlow})
        SetColour(id, tooMany ? Colour::kRed : Colour::kWhite);
}

void IpFlowView::CheckDecapChannelCount()
{
    constexpr uint16_t kCount = COM_SFP_IP_FLOW_MAC_BYTE1_0BB3, kChannels = COM_SFP_IP_FLOW_MAC_BYTE1_0BB1;
    constexpr uint16_t kCountTexts[] = {COM_SFP_IP_FLOW_MAC_BYTE1_0BB3_VIEW2, IpIds::kAudioSummaryText,
                                        IpIds::kAudioSummarySecondFlow};
    const int32_t limit = ValueOf(COM_SFP_IP_FLOW_MAC_BYTE1_0DAC) == 0 ? 10 : 6;
    const bool tooMany = ValueOf(kChannels) == 0 && ValueOf(kCount) > limit;
    if (tooMany) {
        SetColour(kChannels, Colour::kRed);
        SetColour(kCount, Colour::kRed);
    } else {
        SetColour(kChannels, 0);
        ClearEditColour(kCount, true);
    }
    for (uint16_t id : kCountTexts)
        SetColour(id, tooMany ? Colour::kRed : Colour::kWhite);
}

// --- PTP views ------------------------------------------------------------------------

bool IpFlowView::IsPtpViewLocked()
{
    const TpStore* store = TheStore();
    if (store == nullptr)
        return false;
    for (uint16_t id : {IpIds::kPtpSecondView[0], IpIds::kPtpFirstView[0]})
        if (const TpCommand* c = store->GetCmd(id); c != nullptr && !c->IsEnabled())
            return true;
    return false;
}

void IpFlowView::EnablePtpView(bool second, bool enable)
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const BusyGuard guard = busy_.Hold();
    for (uint16_t id : second ? IpIds::kPtpSecondView : IpIds::kPtpFirstView)
        store->SetEnabled(id, enable);
}

// --- generator standard and link type ------------------------------------------------------

void IpFlowView::RefreshGeneratorStandard()
{
    if (ValueOf(COM_GEN1_OUT_ENABLE) != 0 && ipModuleMode == 0 && rememberedTab == IpIds::kTabVideo && active2110 != 0)
        ApplyGeneratorStandard();
}

void IpFlowView::ApplyGeneratorStandard()
{
    TpStore* store = TheStore();
    if (store == nullptr || IsDecapsulating())
        return;
    const std::string standard = store->GetCmdText(COM_GEN1_STD_LONG_TEXT);
    if (standard.empty())
        return;
    store->SetValue(COM_SFP_IP_VID_SEQUENCE_ERRORS_0C22, standard.find('p') != std::string::npos ? 1 : 0);
    store->SetValue(COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21, 0);
    for (uint16_t id : {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C22, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21,
                        COM_SFP_IP_FLOWS_IP_SETUP_BTN})
        store->SetFocused(id, false);
    menuRefreshDelay = 0;
}

void IpFlowView::PrepareTxFlow()
{
    StoreValue(COM_GEN1_PAYLOAD_ID, 1);
    savedLinkType = ValueOf(COM_GEN1_LINK_TYPE);
    StoreValue(COM_GEN1_LINK_TYPE, savedLinkType == 0 ? 1 : 0);
    StoreValue(COM_GEN2_OUT_ENABLE, 0);
    linkTypeRestorePending = 1;
}

void IpFlowView::RestoreLinkType() { StoreValue(COM_GEN1_LINK_TYPE, savedLinkType); }

bool IpFlowView::TakeLinkTypeRestore()
{
    const bool pending = linkTypeRestorePending != 0;
    linkTypeRestorePending = 0;
    return pending;
}
