// The IP menu's change handler: what each button, selector and field does
// when the user changes it. Two tables of rows are tried in order and the
// first row that acts ends the search; a parameter control that no row takes
// becomes a pending edit.
#include "IpSfpManager.h"

#include "IpPageView.h"
#include "IpStoreAccess.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/log/SFPLogger.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/TpStore.h"
#include "core/TpSysDialog.h"
#include "platform/DebugOut.h"
#include "ui/TpDialogList.h"

namespace {

using IpStoreAccess::StoreValue;
using IpStoreAccess::TheStore;
using IpStoreAccess::ValueOf;
using namespace IpIds;

constexpr uint32_t kOrange = 0xFF7F00;
constexpr uint16_t kPickerTargetFirst = COM_SFP_IP_IGMP_SRC_IP_BYTE4_0BEC;
constexpr uint16_t kDestPrefixFirst = COM_SFP_IP_FLOW_MAC_BYTE1_0C62, kDestPrefixSecond = COM_SFP_IP_FLOW_MAC_BYTE1_0C63;
constexpr uint16_t kMapChannelFirst = COM_SFP_IP_ENC_AUD_MAP_NUMBER_OF_CHANNELS_TO_EMBED;
constexpr uint16_t kDecMapFocus = COM_SFP_IP_IGMP_SRC_IP_BYTE4_0BDC, kAncFocus = COM_SFP_IP_FLOW_MAC_BYTE1_0BA5;
constexpr uint16_t kAudioDFocus = COM_SFP_IP_FLOW_MAC_BYTE1_0DAC, kAudioEFocus = COM_SFP_IP_FLOW_MAC_BYTE1_0DAD;
constexpr uint16_t kStandardExtra[] = {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C22};
constexpr unsigned kCheckResetTexts[] = {345, 346}, kCheckFirmwareTexts[] = {286, 287},
                   kCheckDefaultTexts[] = {284, 285};

// In SubDialog order.
constexpr const char* kDialogNames[] = {
    "IGMPCounts", "VlanIDS", "EditPtpMode", "EditVidStd", "SSRCBox", "NewSfpMode", "ConfigureSFPBox",
    "ReadingSFPBox", "EditMan", "EditFlows", "EditSecondFlows", "EditAncPopup", "EditAudioPopupD",
    "EditAudioPopupE", "EditSystemResets", "EditDecAudMapDialog", "EditEncAudMapDialog",
};
static_assert(std::size(kDialogNames) == static_cast<size_t>(IpSfpManager::SubDialog::Count));


uint8_t Page(SfpLogicalPage page) { return SfpPageNumber(page); }

} // namespace

struct IpSfpManager::ChangeRow {
    uint16_t first;   // control ids first..last
    uint16_t last;
    bool (IpSfpManager::*act)(TpCommand*);
};

// first id, last id, action; tried in this order
std::span<const IpSfpManager::ChangeRow> IpSfpManager::ChangeRows()
{
    static constexpr ChangeRow kRows[] = {
        {kFirmwareWarningAck, kFirmwareWarningAck, &IpSfpManager::OnFirmwareWarningAck},
        {COM_SFP_IP_STD_SCAN_MODE, COM_SFP_IP_STD_VID_FMT, &IpSfpManager::OnStandardField},
        {kStandardExtra[0], kStandardExtra[1], &IpSfpManager::OnStandardField},
        {COM_SFP_IP_POWER_CYCLE, COM_SFP_IP_POWER_CYCLE, &IpSfpManager::OnPowerCycle},
        {COM_SFP_TAB_SELECT, COM_SFP_TAB_SELECT, &IpSfpManager::OnTabSelect},
        {kAudioPacketCopy, kAudioPacketCopy, &IpSfpManager::OnAudioPacketCopy},
        {COM_SFP_IP_AUDIO_FLOW_SEL, COM_SFP_IP_AUDIO_FLOW_SEL, &IpSfpManager::OnPageSelector},
        {kDefaultSettingsEnable, kDefaultSettingsEnable, &IpSfpManager::OnDefaultEnable},
        {COM_SFP_IP_FLOW_SEL, COM_SFP_IP_FLOW_SEL, &IpSfpManager::OnPageSelector},
        {COM_SFP_IP_BLOCK_E_SEL, COM_SFP_IP_BLOCK_E_SEL, &IpSfpManager::OnPageSelector},
        {COM_SFP_IP_PTP_SEL, COM_SFP_IP_PTP_SEL, &IpSfpManager::OnPageSelector},
        {COM_SFP_IP_ANC_FLOW_SEL, COM_SFP_IP_ANC_FLOW_SEL, &IpSfpManager::OnPageSelector},
        {0, 0, &IpSfpManager::OnResetAnswer},
        {kResetQuestion, kResetQuestion, &IpSfpManager::OnResetQuestion},
        {kAddressCopy, kAddressCopy, &IpSfpManager::OnAddressCopy},
        {kAncPopup, kAncPopup, &IpSfpManager::OnPopup},
        {kVideoReread, kVideoReread, &IpSfpManager::OnVideoReread},
        {kAudioPopup, kAudioPopup, &IpSfpManager::OnPopup},
        {kSystemResets, kSystemResets, &IpSfpManager::OnPopup},
        {kChannelPickerFirst, kChannelPickerLast, &IpSfpManager::OnChannelPicker},
        {kDecMapButton, kDecMapButton, &IpSfpManager::OnMapDialog},
        {kEncMapButton, kEncMapButton, &IpSfpManager::OnMapDialog},
        {COM_SFP_IP_FLOWS_IP_SETUP_BTN, COM_SFP_IP_FLOWS_IP_SETUP_BTN, &IpSfpManager::OnFlowSetup},
        {kSecondFlowSetup, kSecondFlowSetup, &IpSfpManager::OnFlowSetup},
        {COM_SFP_IP_FLOWS_IP_APPLY_BTN, COM_SFP_IP_FLOWS_IP_APPLY_BTN, &IpSfpManager::OnFlowApplyCancel},
        {kDestSelectFirst, kDestSelectFirst, &IpSfpManager::OnDestinationPrefix},
        {kDestSelectSecond, kDestSelectSecond, &IpSfpManager::OnDestinationPrefix},
        {COM_SFP_IP_FLOWS_IP_CANCEL_BTN, COM_SFP_IP_FLOWS_IP_CANCEL_BTN, &IpSfpManager::OnFlowApplyCancel},
        {COM_SFP_IP_MANAGEMENT_IP_SETUP_BTN, COM_SFP_IP_MANAGEMENT_IP_CANCEL_BTN, &IpSfpManager::OnManagement},
        {COM_SFP_IP_MONITOR_SEL, COM_SFP_IP_MONITOR_SEL, &IpSfpManager::OnMonitorSelect},
        {COM_SFP_IP_TX_OFF_ON, COM_SFP_IP_TX_OFF_ON, &IpSfpManager::OnTxOffOn},
        {kMapChannelSelect, kMapChannelSelect, &IpSfpManager::OnMapChannelSelect},
    };
    return kRows;
}

// The second table, for every control the first did not take.
std::span<const IpSfpManager::ChangeRow> IpSfpManager::ValueRows()
{
    static constexpr ChangeRow kRows[] = {
        {COM_GEN1_OUT_ENABLE, COM_GEN1_OUT_ENABLE, &IpSfpManager::OnGeneratorOutput},
        {COM_SFP_IP_IGMP_BOX, COM_SFP_IP_IGMP_BOX, &IpSfpManager::OnBoxButton},
        {COM_SFP_IP_FW_SEL_ELEMENT0, COM_SFP_IP_FW_SEL_ELEMENT3, &IpSfpManager::OnFirmwareSelect},
        {COM_SFP_IP_VLAN_BTN, COM_SFP_IP_VLAN_BTN, &IpSfpManager::OnBoxButton},
        {kPtpModeButton, kPtpModeButton, &IpSfpManager::OnBoxButton},
        {kVidStdButton, kVidStdButton, &IpSfpManager::OnBoxButton},
        {COM_SFP_IP_FLOW_SSRC, COM_SFP_IP_FLOW_SSRC, &IpSfpManager::OnBoxButton},
        {0, 0, &IpSfpManager::OnFirmwareAnswer},
        {COM_SFP_IP_FACT_RESET1, COM_SFP_IP_FACT_RESET2, &IpSfpManager::OnBoxButton},
        {COM_SFP_IP_DEFAULT_FLOW_BTN, COM_SFP_IP_DEFAULT_FLOW_BTN, &IpSfpManager::OnDefaultFlow},
        {0, 0, &IpSfpManager::OnDefaultFlowAnswer},
        {0, 0xFFFF, &IpSfpManager::OnParameterControl},
    };
    return kRows;
}

namespace {

bool RunRows(IpSfpManager& m, std::span<const IpSfpManager::ChangeRow> rows, TpCommand* child)
{
    const unsigned id = child->CmdId();
    for (const auto& row : rows)
        if (id >= row.first && id <= row.last && (m.*row.act)(child))
            return true;
    return false;
}

} // namespace

void IpSfpManager::OnChildChanged(TpCommand* child, int reason)
{
    if (busy != 0 || child == nullptr)
        return;
    if (reason == kReasonText)
        IpAddressEntered(child);
    else if (reason == kReasonValue && !RunRows(*this, ChangeRows(), child))
        OnValueChanged(child);
}

void IpSfpManager::OnValueChanged(TpCommand* child)
{
    if (child != nullptr)
        RunRows(*this, ValueRows(), child);
}

void IpSfpManager::SetQuiet(unsigned cmdId, int32_t value)
{
    BusyGuard guard(busy);
    StoreValue(cmdId, value);
}

void IpSfpManager::Ask(std::unique_ptr<TpSysDialog>& confirm, const unsigned (&texts)[2])
{
    if (!confirm)
        confirm = std::make_unique<TpSysDialog>(this);
    ShowCheckDialog(texts[0], texts[1], confirm.get());
}

void IpSfpManager::SelectPageAfresh(uint8_t logical)
{
    requestedPage = 0;
    ChangePage(logical);
}

void IpSfpManager::Open(SubDialog which, unsigned focusId)
{
    CloseSub(which);
    TpDialog*& handle = dialogs_[static_cast<size_t>(which)];
    handle = ShowDialog(kDialogNames[static_cast<size_t>(which)], 1);
    if (handle != nullptr && focusId != 0 && TheStore() != nullptr)
        TheStore()->SetFocused(focusId, true);
}

void IpSfpManager::CloseSub(SubDialog which)
{
    TpDialog*& handle = dialogs_[static_cast<size_t>(which)];
    if (handle != nullptr && IsWindowOpen(handle))
        CloseDialog(handle);
    handle = nullptr;
}

bool IpSfpManager::MapDialogOpen() const
{
    return IsWindowOpen(OpenDialog(SubDialog::EncMap)) || IsWindowOpen(OpenDialog(SubDialog::DecMap));
}

// --- first table ---------------------------------------------------------------------

bool IpSfpManager::OnFirmwareWarningAck(TpCommand*)
{
    ResetButton(kFirmwareWarningAck);
    firmwareWarningState = 0;
    return true;
}

bool IpSfpManager::OnStandardField(TpCommand*)
{
    StoreValue(COM_SFP_IP_FLOW_SEL, 0);
    lastStandardColour = -1;
    return false;   // the tests go on
}

bool IpSfpManager::OnPowerCycle(TpCommand* c)
{
    if (c->GetValue() != 0) {
        sfp_set_power(0);
        powerCycleCounter = 0;   // the periodic step powers the cage on again
        ResetButton(COM_SFP_IP_POWER_CYCLE);
    }
    return true;
}

bool IpSfpManager::OnTabSelect(TpCommand* c)
{
    const int32_t tab = c->GetValue();
    audioSubStep = 0;
    encMapStep = 0;
    rememberedTab = tab;
    if (tab == 6) {
        SetQuiet(kDefaultSettingsEnable, 0);
        IpFlowState& flow = IpFlow::State();
        (IsDecapsulating() ? flow.decapMapReopen : flow.encapMapReopen) = 1;
    } else if (tab == 2) {
        StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, rememberedAudioFlow);
    }
    return true;
}

bool IpSfpManager::OnAudioPacketCopy(TpCommand* c)
{
    if (c->GetValue() != 0) {
        DebugPrintf("\nAud pkt copy\n");
        audioRereadCounter = 0;
        IpFlow::State().flowListFocusB = 1;
        ResetButton(kAudioPacketCopy);
        MarkEdited(kAudioPacketCopy, kOrange);
    }
    return true;
}

bool IpSfpManager::OnPageSelector(TpCommand* c)
{
    const int32_t v = c->GetValue();
    const bool decap = IsDecapsulating();
    switch (c->CmdId()) {
    case COM_SFP_IP_AUDIO_FLOW_SEL:
        if (v == recordedAudioFlow)
            break;
        recordedAudioFlow = v;
        SelectPageAfresh(Page(decap ? SfpLogicalPage::DecAudioPg : SfpLogicalPage::EncAudioPg));
        if (ValueOf(COM_SFP_TAB_SELECT) == 2) {
            rememberedAudioFlow = v;
            if (!decap)
                audioSubStep = 0;
        }
        break;
    case COM_SFP_IP_FLOW_SEL: {
        // The page depends on the flow type too: a new tab selects afresh.
        const int32_t type = ValueOf(COM_SFP_TAB_SELECT);
        const int32_t key = v * 16 + type;
        if (key == recordedFlowSelector || IpFlow::State().ipFeatures == 0)
            break;
        recordedFlowSelector = key;
        if (type == 1)
            SelectPageAfresh(Page(SfpLogicalPage::FlowPg));
        else if (type == 2)
            SelectPageAfresh(Page(decap ? SfpLogicalPage::DecAudioPg : SfpLogicalPage::EncAudioPg));
        else if (type == 3)
            SelectPageAfresh(Page(decap ? SfpLogicalPage::DecAncPg : SfpLogicalPage::EncAncPg));
        break;
    }
    case COM_SFP_IP_BLOCK_E_SEL:
        if (v != recordedBlockE) {
            recordedBlockE = v;
            SelectPageAfresh(Page(SfpLogicalPage::BlockEPg));
        }
        break;
    case COM_SFP_IP_PTP_SEL:
        if (v != recordedPtpView) {
            recordedPtpView = v;
            SelectPageAfresh(Page(SfpLogicalPage::PtpPg));
        }
        break;
    default:   // the ANC index
        if (v != recordedAncFlow) {
            recordedAncFlow = v;
            SelectPageAfresh(Page(decap ? SfpLogicalPage::DecAncPg : SfpLogicalPage::EncAncPg));
        }
        break;
    }
    return true;
}

bool IpSfpManager::OnDefaultEnable(TpCommand* c)
{
    if (TpStore* store = TheStore())
        store->SetEnabled(COM_SFP_IP_FLOW_DEFAULT, c->GetValue() != 0);
    return true;
}

bool IpSfpManager::OnResetAnswer(TpCommand* c)
{
    if (c != resetConfirm_.get())
        return false;
    if (c->GetValue() != 0 && pendingAction) {
        pendingAction->step = pendingAction->flowCounter = pendingAction->side = 0;
        StoreValue(COM_SFP_IP_FLOW_SEL, 0);
        StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, 0);
        pendingAction->phase = 0;
    }
    resetConfirm_.reset();
    return true;
}

bool IpSfpManager::OnResetQuestion(TpCommand*)
{
    Ask(resetConfirm_, kCheckResetTexts);
    ResetButton(kResetQuestion);
    return true;
}

bool IpSfpManager::OnAddressCopy(TpCommand* c)
{
    if (c->GetValue() != 0) {
        CopyManagementToSource();
        ResetButton(kAddressCopy);
    }
    return true;
}

bool IpSfpManager::OnPopup(TpCommand* c)
{
    const unsigned id = c->CmdId();
    if (c->GetValue() == 0)
        return true;
    IpFlowState& flow = IpFlow::State();
    if (id == kAncPopup && IsEncapsulating()) {
        Open(SubDialog::AncPopup, kAncFocus);
        flow.flowListFocusA = 1;
    } else if (id == kAudioPopup) {
        StoreValue(COM_SFP_IP_FLOW_SEL, -1);
        flow.flowListFocusA = 1;
        if (IsDecapsulating()) {
            Open(SubDialog::AudioPopupD, kAudioDFocus);
        } else {
            audioSubStep = -1;
            Open(SubDialog::AudioPopupE, kAudioEFocus);
        }
    } else if (id == kSystemResets) {
        Open(SubDialog::SystemResets);
    }
    ResetButton(id);
    return true;
}

bool IpSfpManager::OnVideoReread(TpCommand* c)
{
    if (c->GetValue() != 0) {
        videoReread = 0;
        IpFlow::State().flowListFocusB = 1;
        ResetButton(kVideoReread);
    }
    return true;
}

bool IpSfpManager::OnChannelPicker(TpCommand* c)
{
    if (c->GetValue() >= 1)
        StoreValue(kPickerTargetFirst + (c->CmdId() - kChannelPickerFirst), c->GetValue() - 1);
    return true;
}

bool IpSfpManager::OnMapDialog(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    const bool encoder = c->CmdId() == kEncMapButton;
    ResetButton(c->CmdId());
    if (encoder)
        SetQuiet(kMapChannelSelect, rememberedMapFlow);
    CloseSub(encoder ? SubDialog::EncMap : SubDialog::DecMap);
    SelectPageAfresh(Page(encoder ? SfpLogicalPage::EncAudMapPg : SfpLogicalPage::DecOutpg));
    pageBlocked = 1;
    if (encoder) {
        Open(SubDialog::EncMap, kMapChannelSelect);
        flowListReopen = 0;
        encMapStep = -1;
    } else {
        Open(SubDialog::DecMap, kDecMapFocus);
        SfpLink::State().decapMapStep = -1;
    }
    return true;
}

bool IpSfpManager::OnFlowSetup(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    const bool second = c->CmdId() == kSecondFlowSetup;
    ResetButton(c->CmdId());
    Open(second ? SubDialog::EditSecondFlows : SubDialog::EditFlows);
    if (TpStore* store = TheStore())
        store->SetVisible(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, true);
    (second ? IpFlow::State().flowListFocusB : IpFlow::State().flowListFocusA) = 1;
    if (ValueOf(COM_SFP_TAB_SELECT) == 2)
        SelectPageAfresh(Page(IsDecapsulating() ? SfpLogicalPage::DecAudioPg : SfpLogicalPage::EncAudioPg));
    audioSubStep = -1;
    return true;
}

bool IpSfpManager::OnFlowApplyCancel(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    if (c->CmdId() == COM_SFP_IP_FLOWS_IP_APPLY_BTN) {
        if (IsEncapsulating() && ValueOf(COM_SFP_IP_TX_OFF_ON) != 0) {
            StoreValue(COM_SFP_IP_TX_OFF_ON, 0);
            txRestorePending = 1;
        }
        flowConfiguring = 1;
    } else if (flowConfiguring == 0) {
        RestoreEditedValues(false);
    }
    ResetButton(c->CmdId());
    if (TpStore* store = TheStore())
        store->SetEnabled(COM_SFP_IP_FLOWS_IP_APPLY_BTN, false);
    CloseSub(SubDialog::EditFlows);
    CloseSub(SubDialog::EditSecondFlows);
    return true;
}

bool IpSfpManager::OnDestinationPrefix(TpCommand* c)
{
    const int32_t v = c->GetValue();
    StoreValue(c->CmdId() == kDestSelectFirst ? kDestPrefixFirst : kDestPrefixSecond,
               v == 1 ? 0xD0 : v == 2 ? 0xA0 : 0x90);
    return true;
}

bool IpSfpManager::OnManagement(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    TpStore* store = TheStore();
    const unsigned id = c->CmdId();
    if (id == COM_SFP_IP_MANAGEMENT_IP_SETUP_BTN) {
        Open(SubDialog::EditMan);
        if (store != nullptr) {
            store->SetText(kManagementNote, "");
            store->SetVisible(COM_SFP_IP_MANAGEMENT_IP_CANCEL_BTN, true);
        }
        ResetButton(id);
        return true;
    }
    if (id == COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN) {
        controllerConfiguring = 1;
        unlockAgain = 1;
    } else if (controllerConfiguring == 0) {
        RestoreEditedValues(true);
    }
    ResetButton(id);
    if (store != nullptr)
        store->SetEnabled(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, false);
    CloseSub(SubDialog::EditMan);
    return true;
}

bool IpSfpManager::OnMonitorSelect(TpCommand* c)
{
    if (c->GetValue() != 7)
        return true;
    if (IsConfiguring())
        Open(SubDialog::Configure);
    else if (IsReading())
        Open(SubDialog::Reading);
    return true;
}

bool IpSfpManager::OnTxOffOn(TpCommand* c)
{
    const int32_t v = c->GetValue();
    if (IpFlow::State().ipFeatures == 0 && IsEncapsulating()) {
        if (v != 0)
            PrepareTxFlow();
        SetQuiet(COM_GEN1_OUT_ENABLE, v);
    }
    StoreValue(COM_SFP_IP_TX_FLOW_ENABLE, v);
    return true;
}

bool IpSfpManager::OnMapChannelSelect(TpCommand* c)
{
    const int32_t m = c->GetValue();
    if (MapDialogOpen())
        rememberedMapFlow = m;
    // Flows 1 to 8 only; anything else loads nothing.
    if (m < 1 || m > 8)
        return true;
    const int first = SfpParamTable::Instance().IndexOf(kMapChannelFirst);
    BusyGuard guard(busy);
    for (int ch = 0; first >= 0 && ch < 16; ++ch) {
        const SfpParamRow* sdi = SfpParamTable::Instance().Row(static_cast<size_t>(first + 2 + 3 * ch));
        const SfpParamRow* active = SfpParamTable::Instance().Row(static_cast<size_t>(first + 3 + 3 * ch));
        if (sdi == nullptr || active == nullptr)
            break;
        StoreValue(sdi->cmdId, savedMapChannels[static_cast<size_t>(m - 1)][static_cast<size_t>(ch)]);
        StoreValue(active->cmdId, audioChannelActive[static_cast<size_t>(m - 1)][static_cast<size_t>(ch)]);
    }
    return true;
}

// --- second table --------------------------------------------------------------------

bool IpSfpManager::OnGeneratorOutput(TpCommand* c)
{
    if (IsEncapsulating())
        StoreValue(COM_SFP_IP_TX_OFF_ON, c->GetValue());
    return true;
}

bool IpSfpManager::OnBoxButton(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    const unsigned id = c->CmdId();
    switch (id) {
    case COM_SFP_IP_IGMP_BOX: Open(SubDialog::Igmp); break;
    case COM_SFP_IP_VLAN_BTN: Open(SubDialog::Vlan); break;
    case kPtpModeButton: Open(SubDialog::PtpMode); break;
    case kVidStdButton:
        Open(SubDialog::VidStd);
        IpFlow::State().flowListFocusA = 1;
        break;
    case COM_SFP_IP_FLOW_SSRC: Open(SubDialog::Ssrc); break;
    default: Open(SubDialog::SfpMode); return true;   // the factory resets stay set
    }
    ResetButton(id);
    if (id == kVidStdButton)
        StoreValue(kVidStdFlag, 1);
    return true;
}

bool IpSfpManager::OnFirmwareSelect(TpCommand* c)
{
    const int32_t slot = static_cast<int32_t>(c->CmdId() - COM_SFP_IP_FW_SEL_ELEMENT0);
    for (unsigned id = COM_SFP_IP_FW_SEL_ELEMENT0; id <= COM_SFP_IP_FW_SEL_ELEMENT3; ++id)
        SetQuiet(id, id == c->CmdId() ? 1 : 0);
    if (loadedFirmwareSlot == 255 || slot == loadedFirmwareSlot)
        return true;
    chosenFirmwareSlot = slot;
    if (!firmwareConfirm_) {
        firmwareConfirm_ = std::make_unique<TpSysDialog>(this);
        ShowCheckDialog(kCheckFirmwareTexts[0], kCheckFirmwareTexts[1], firmwareConfirm_.get());
    }
    return true;
}

bool IpSfpManager::OnFirmwareAnswer(TpCommand* c)
{
    if (c != firmwareConfirm_.get())
        return false;
    const bool slotKnown = chosenFirmwareSlot >= 0 && chosenFirmwareSlot <= 3;
    const std::string firmware =
        slotKnown && TheStore() != nullptr
            ? TheStore()->GetCmdText(COM_SFP_IP_FW_ELEMENT0 + static_cast<unsigned>(chosenFirmwareSlot))
            : std::string();
    // Yes is 1; No and the close key answer 0 and load nothing.
    if (c->GetValue() == 1 && slotKnown) {
        for (unsigned id = COM_SFP_IP_FW_SEL_ELEMENT0; id <= COM_SFP_IP_FW_SEL_ELEMENT3; ++id)
            SetQuiet(id, static_cast<int32_t>(id - COM_SFP_IP_FW_SEL_ELEMENT0) == loadedFirmwareSlot ? 1 : 0);
        ShowIpBooting();
        if (checkLoopOnSfpLoss)
            checkLoopOnSfpLoss();
        configuring = 1;
        Open(SubDialog::Configure);
        if (SFPLogger* logger = SFPLogger::Instance())
            logger->LogModuleAction(firmware);
        StoreValue(COM_SFP_IP_FW_DEFAULT_ELEMENT, chosenFirmwareSlot);
        // The program page is written and read again by the management pages' cycle.
        for (SfpPageEntry& e : SfpLink::State().pageTable)
            if (e.page == Page(SfpLogicalPage::ProgramPg))
                e.loaded = 0;
        DisableSfpTabs();
    }
    firmwareConfirm_.reset();
    return true;
}

bool IpSfpManager::OnDefaultFlow(TpCommand*)
{
    Ask(defaultFlowConfirm_, kCheckDefaultTexts);
    ResetButton(COM_SFP_IP_DEFAULT_FLOW_BTN);
    return true;
}

bool IpSfpManager::OnDefaultFlowAnswer(TpCommand* c)
{
    if (c != defaultFlowConfirm_.get())
        return false;
    if (c->GetValue() != 0) {
        if (IsEncapsulating() && ValueOf(COM_SFP_IP_TX_OFF_ON) != 0)
            StoreValue(COM_SFP_IP_TX_OFF_ON, 0);
        MarkEdited(COM_SFP_IP_DEFAULT_FLOW_BTN, kOrange);
        StoreValue(COM_SFP_IP_FLOW_DEFAULT, 1);
    }
    defaultFlowConfirm_.reset();
    return true;
}

bool IpSfpManager::OnParameterControl(TpCommand* c)
{
    const unsigned id = c->CmdId();
    if (IsActionControl(c, id)) {
        if (c->GetValue() == 0)
            return true;
        if (id == COM_SFP_IP_RESET_FLOW_COUNTER && ValueOf(COM_SFP_TAB_SELECT) == 2 && IsEncapsulating()) {
            audioSubStep = 0;
            SetQuiet(COM_SFP_IP_FLOW_SEL, -1);
        }
        OnParameterEdited(c);
        ResetButton(id);
        progressShown = 1;
        return true;
    }
    const SfpParamRow* row = SfpParamTable::Instance().Find(id);
    if (row == nullptr)
        return true;
    const ShownFlowGuard shown(row, id);
    const bool destination = IsFlowDestinationControl(c);
    if (destination)
        SetMulticastMac();
    else if (id == COM_SFP_IP_FW_DEFAULT_ELEMENT)
        modulePresent = 0;
    if (IsFlowEditControl(id))
        return true;
    UpdateProgressBox();
    OnParameterEdited(c);
    progressShown = 1;
    if (destination)
        CheckMulticastMac();
    return true;
}
