#include "IpMenuHandler.h"
#include "IpAudioMaps.h"
#include "IpBusy.h"
#include "IpConfigurePass.h"
#include "IpControlOps.h"
#include "IpControlTree.h"
#include "IpEditBook.h"
#include "IpFlowView.h"
#include "IpModulePages.h"
#include "IpPageView.h"
#include "IpPeriodicStep.h"
#include "IpProgressBox.h"
#include "IpSubDialogs.h"
#include "IpUpdateSequencer.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/log/SFPLogger.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/store/TpStore.h"
#include "core/commands/TpSysDialog.h"
#include "platform/DebugOut.h"
#include "ui/dialogs/TpDialogList.h"

#include <optional>

namespace {

using namespace IpControlOps;
using namespace IpIds;
using IpStoreAccess::StoreValue;
using IpStoreAccess::TheStore;
using IpStoreAccess::ValueOf;

constexpr uint16_t kPickerTargetFirst = COM_SFP_IP_IGMP_SRC_IP_BYTE4_0BEC;
constexpr uint16_t kDestPrefixFirst = COM_SFP_IP_FLOW_MAC_BYTE1_0C62;
constexpr uint16_t kDestPrefixSecond = COM_SFP_IP_FLOW_MAC_BYTE1_0C63;
constexpr uint16_t kMapChannelFirst = COM_SFP_IP_ENC_AUD_MAP_NUMBER_OF_CHANNELS_TO_EMBED;
constexpr uint16_t kDecMapFocus = COM_SFP_IP_IGMP_SRC_IP_BYTE4_0BDC, kAncFocus = COM_SFP_IP_FLOW_MAC_BYTE1_0BA5;
constexpr uint16_t kAudioDFocus = COM_SFP_IP_FLOW_MAC_BYTE1_0DAC, kAudioEFocus = COM_SFP_IP_FLOW_MAC_BYTE1_0DAD;
constexpr uint16_t kStandardExtra[] = {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C22};
constexpr unsigned kCheckResetTexts[] = {345, 346}, kCheckFirmwareTexts[] = {286, 287},
                   kCheckDefaultTexts[] = {284, 285};
constexpr int32_t kMonitorProgress = 7;
// above 3 written as 255
constexpr uint16_t kMapSlotFirst = COM_SFP_IP_IGMP_SRC_IP_BYTE4_0BDC, kMapSlotLast = COM_SFP_IP_IGMP_SRC_IP_BYTE4_0BEB;
// written as 1, 2, 4
constexpr uint16_t kOneBitIds[] = {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C30, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C31,
                                   COM_SFP_IP_VID_SEQUENCE_ERRORS_0C32};
// the SSRC's bytes, whose mirror is the flow's label
constexpr uint16_t kSsrcByteRows[] = {COM_SFP_IP_FLOW_SSRC_ID1, COM_SFP_IP_FLOW_SSRC_ID2, COM_SFP_IP_FLOW_SSRC_ID3,
                                      COM_SFP_IP_FLOW_SSRC_ID4};

uint8_t Page(SfpLogicalPage page) { return SfpPageNumber(page); }

} // namespace

IpMenuHandler::IpMenuHandler(TpCommand& owner, const IpHandlerParts& parts, IpPageView* const& pageView)
    : owner_(owner), parts_(parts), pageView_(pageView)
{
}

IpMenuHandler::~IpMenuHandler() = default;

struct IpMenuHandler::ChangeRow {
    uint16_t first;   // control ids first..last
    uint16_t last;
    bool (IpMenuHandler::*act)(TpCommand*);
};

// first id, last id, action; tried in this order
std::span<const IpMenuHandler::ChangeRow> IpMenuHandler::ChangeRows()
{
    static constexpr ChangeRow kRows[] = {
        {kFirmwareWarningAck, kFirmwareWarningAck, &IpMenuHandler::OnFirmwareWarningAck},
        {COM_SFP_IP_STD_SCAN_MODE, COM_SFP_IP_STD_VID_FMT, &IpMenuHandler::OnStandardField},
        {kStandardExtra[0], kStandardExtra[1], &IpMenuHandler::OnStandardField},
        {COM_SFP_IP_POWER_CYCLE, COM_SFP_IP_POWER_CYCLE, &IpMenuHandler::OnPowerCycle},
        {COM_SFP_TAB_SELECT, COM_SFP_TAB_SELECT, &IpMenuHandler::OnTabSelect},
        {kAudioPacketCopy, kAudioPacketCopy, &IpMenuHandler::OnAudioPacketCopy},
        {COM_SFP_IP_AUDIO_FLOW_SEL, COM_SFP_IP_AUDIO_FLOW_SEL, &IpMenuHandler::OnPageSelector},
        {kDefaultSettingsEnable, kDefaultSettingsEnable, &IpMenuHandler::OnDefaultEnable},
        {COM_SFP_IP_FLOW_SEL, COM_SFP_IP_FLOW_SEL, &IpMenuHandler::OnPageSelector},
        {COM_SFP_IP_BLOCK_E_SEL, COM_SFP_IP_BLOCK_E_SEL, &IpMenuHandler::OnPageSelector},
        {COM_SFP_IP_PTP_SEL, COM_SFP_IP_PTP_SEL, &IpMenuHandler::OnPageSelector},
        {COM_SFP_IP_ANC_FLOW_SEL, COM_SFP_IP_ANC_FLOW_SEL, &IpMenuHandler::OnPageSelector},
        {0, 0, &IpMenuHandler::OnResetAnswer},
        {kResetQuestion, kResetQuestion, &IpMenuHandler::OnResetQuestion},
        {kAddressCopy, kAddressCopy, &IpMenuHandler::OnAddressCopy},
        {kAncPopup, kAncPopup, &IpMenuHandler::OnPopup},
        {kVideoReread, kVideoReread, &IpMenuHandler::OnVideoReread},
        {kAudioPopup, kAudioPopup, &IpMenuHandler::OnPopup},
        {kSystemResets, kSystemResets, &IpMenuHandler::OnPopup},
        {kChannelPickerFirst, kChannelPickerLast, &IpMenuHandler::OnChannelPicker},
        {kDecMapButton, kDecMapButton, &IpMenuHandler::OnMapDialog},
        {kEncMapButton, kEncMapButton, &IpMenuHandler::OnMapDialog},
        {COM_SFP_IP_FLOWS_IP_SETUP_BTN, COM_SFP_IP_FLOWS_IP_SETUP_BTN, &IpMenuHandler::OnFlowSetup},
        {kSecondFlowSetup, kSecondFlowSetup, &IpMenuHandler::OnFlowSetup},
        {COM_SFP_IP_FLOWS_IP_APPLY_BTN, COM_SFP_IP_FLOWS_IP_APPLY_BTN, &IpMenuHandler::OnFlowApplyCancel},
        {kDestSelectFirst, kDestSelectFirst, &IpMenuHandler::OnDestinationPrefix},
        {kDestSelectSecond, kDestSelectSecond, &IpMenuHandler::OnDestinationPrefix},
        {COM_SFP_IP_FLOWS_IP_CANCEL_BTN, COM_SFP_IP_FLOWS_IP_CANCEL_BTN, &IpMenuHandler::OnFlowApplyCancel},
        {COM_SFP_IP_MANAGEMENT_IP_SETUP_BTN, COM_SFP_IP_MANAGEMENT_IP_CANCEL_BTN, &IpMenuHandler::OnManagement},
        {COM_SFP_IP_MONITOR_SEL, COM_SFP_IP_MONITOR_SEL, &IpMenuHandler::OnMonitorSelect},
        {COM_SFP_IP_TX_OFF_ON, COM_SFP_IP_TX_OFF_ON, &IpMenuHandler::OnTxOffOn},
        {kMapChannelSelect, kMapChannelSelect, &IpMenuHandler::OnMapChannelSelect},
    };
    return kRows;
}

// The second table, for every control the first did not take.
std::span<const IpMenuHandler::ChangeRow> IpMenuHandler::ValueRows()
{
    static constexpr ChangeRow kRows[] = {
        {COM_GEN1_OUT_ENABLE, COM_GEN1_OUT_ENABLE, &IpMenuHandler::OnGeneratorOutput},
        {COM_SFP_IP_IGMP_BOX, COM_SFP_IP_IGMP_BOX, &IpMenuHandler::OnBoxButton},
        {COM_SFP_IP_FW_SEL_ELEMENT0, COM_SFP_IP_FW_SEL_ELEMENT3, &IpMenuHandler::OnFirmwareSelect},
        {COM_SFP_IP_VLAN_BTN, COM_SFP_IP_VLAN_BTN, &IpMenuHandler::OnBoxButton},
        {kPtpModeButton, kPtpModeButton, &IpMenuHandler::OnBoxButton},
        {kVidStdButton, kVidStdButton, &IpMenuHandler::OnBoxButton},
        {COM_SFP_IP_FLOW_SSRC, COM_SFP_IP_FLOW_SSRC, &IpMenuHandler::OnBoxButton},
        {0, 0, &IpMenuHandler::OnFirmwareAnswer},
        {COM_SFP_IP_FACT_RESET1, COM_SFP_IP_FACT_RESET2, &IpMenuHandler::OnBoxButton},
        {COM_SFP_IP_DEFAULT_FLOW_BTN, COM_SFP_IP_DEFAULT_FLOW_BTN, &IpMenuHandler::OnDefaultFlow},
        {0, 0, &IpMenuHandler::OnDefaultFlowAnswer},
        {0, 0xFFFF, &IpMenuHandler::OnParameterControl},
    };
    return kRows;
}

bool IpMenuHandler::RunRows(std::span<const ChangeRow> rows, TpCommand* child)
{
    const unsigned id = child->CmdId();
    for (const auto& row : rows)
        if (id >= row.first && id <= row.last && (this->*row.act)(child))
            return true;
    return false;
}

void IpMenuHandler::OnChildChanged(TpCommand* child, int reason)
{
    if (parts_.busy.Byte() != 0 || child == nullptr)
        return;
    if (reason == kReasonText && parts_.flows.IpAddressEntered(child))
        BookEntry(*child);
    else if (reason == kReasonValue && !RunRows(ChangeRows(), child))
        OnValueChanged(child);
}

void IpMenuHandler::OnValueChanged(TpCommand* child)
{
    if (child != nullptr)
        RunRows(ValueRows(), child);
}

void IpMenuHandler::Ask(std::unique_ptr<TpSysDialog>& confirm, const unsigned (&texts)[2])
{
    if (!confirm)
        confirm = std::make_unique<TpSysDialog>(&owner_);
    ShowCheckDialog(texts[0], texts[1], confirm.get());
}

void IpMenuHandler::ResetButton(unsigned cmdId) { parts_.busy.SetQuiet(cmdId, 0); }

// --- first table ---------------------------------------------------------------------

bool IpMenuHandler::OnFirmwareWarningAck(TpCommand*)
{
    ResetButton(kFirmwareWarningAck);
    parts_.progress.AcknowledgeFirmwareWarning();
    return true;
}

bool IpMenuHandler::OnStandardField(TpCommand*)
{
    StoreValue(COM_SFP_IP_FLOW_SEL, 0);
    parts_.controls.ForgetStandardColour();
    return false;   // the tests go on
}

bool IpMenuHandler::OnPowerCycle(TpCommand* c)
{
    if (c->GetValue() != 0) {
        sfp_set_power(0);
        parts_.tick.StartPowerCycle();   // the periodic step powers the cage on again
        ResetButton(COM_SFP_IP_POWER_CYCLE);
    }
    return true;
}

bool IpMenuHandler::PutBackHeld(const TpCommand& c)
{
    const std::optional<int32_t> held = parts_.tick.HeldSelection(c.CmdId());
    if (!held.has_value() || *held == c.GetValue())
        return false;
    parts_.busy.SetQuiet(c.CmdId(), *held);
    return true;
}

bool IpMenuHandler::OnTabSelect(TpCommand* c)
{
    if (PutBackHeld(*c))
        return true;
    const int32_t tab = c->GetValue();
    parts_.sequencer.OnTabSelected();
    parts_.flows.RememberTab(tab);
    if (tab == kTabAudioMap) {
        parts_.busy.SetQuiet(kDefaultSettingsEnable, 0);
        parts_.flows.RequestMapReopen(parts_.flows.IsDecapsulating());
    } else if (tab == kTabAudio) {
        StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, rememberedAudioFlow);
    }
    parts_.configure.ShowSelectedPages();
    return true;
}

bool IpMenuHandler::OnAudioPacketCopy(TpCommand* c)
{
    if (c->GetValue() != 0) {
        DebugPrintf("\nAud pkt copy\n");
        parts_.sequencer.StartAudioReread();
        parts_.flows.FocusFlowList(true);
        ResetButton(kAudioPacketCopy);
        MarkEdited(kAudioPacketCopy);
    }
    return true;
}

bool IpMenuHandler::OnPageSelector(TpCommand* c)
{
    if (PutBackHeld(*c))
        return true;
    const int32_t v = c->GetValue();
    const bool decap = parts_.flows.IsDecapsulating();
    if (parts_.pages.FollowSelector(c->CmdId(), v) && c->CmdId() == COM_SFP_IP_AUDIO_FLOW_SEL &&
        ValueOf(COM_SFP_TAB_SELECT) == kTabAudio) {
        rememberedAudioFlow = v;
        if (!decap)
            parts_.sequencer.RestartAudioSubSteps();
    }
    parts_.configure.ShowSelectedPages();
    return true;
}

bool IpMenuHandler::OnDefaultEnable(TpCommand* c)
{
    if (TpStore* store = TheStore())
        store->SetEnabled(COM_SFP_IP_FLOW_DEFAULT, c->GetValue() != 0);
    return true;
}

bool IpMenuHandler::OnResetAnswer(TpCommand* c)
{
    if (c != resetConfirm_.get())
        return false;
    if (c->GetValue() != 0) {
        parts_.tick.StartFlowCopy();
        StoreValue(COM_SFP_IP_FLOW_SEL, 0);
        StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, 0);
    }
    resetConfirm_.reset();
    return true;
}

bool IpMenuHandler::OnResetQuestion(TpCommand*)
{
    Ask(resetConfirm_, kCheckResetTexts);
    ResetButton(kResetQuestion);
    return true;
}

bool IpMenuHandler::OnAddressCopy(TpCommand* c)
{
    if (c->GetValue() != 0) {
        parts_.tick.CopyManagementToSource();
        ResetButton(kAddressCopy);
    }
    return true;
}

bool IpMenuHandler::OnPopup(TpCommand* c)
{
    const unsigned id = c->CmdId();
    if (c->GetValue() == 0)
        return true;
    if (id == kAncPopup && parts_.flows.IsEncapsulating()) {
        parts_.dialogs.Open(IpSubDialog::AncPopup, kAncFocus);
        parts_.flows.FocusFlowList(false);
    } else if (id == kAudioPopup) {
        StoreValue(COM_SFP_IP_FLOW_SEL, -1);
        parts_.flows.FocusFlowList(false);
        if (parts_.flows.IsDecapsulating()) {
            parts_.dialogs.Open(IpSubDialog::AudioPopupD, kAudioDFocus);
        } else {
            parts_.sequencer.StopAudioSubSteps();
            parts_.dialogs.Open(IpSubDialog::AudioPopupE, kAudioEFocus);
        }
    } else if (id == kSystemResets) {
        parts_.dialogs.Open(IpSubDialog::SystemResets);
    }
    ResetButton(id);
    return true;
}

bool IpMenuHandler::OnVideoReread(TpCommand* c)
{
    if (c->GetValue() != 0) {
        parts_.sequencer.StartVideoReread();
        parts_.flows.FocusFlowList(true);
        ResetButton(kVideoReread);
    }
    return true;
}

bool IpMenuHandler::OnChannelPicker(TpCommand* c)
{
    if (c->GetValue() >= 1)
        StoreValue(kPickerTargetFirst + (c->CmdId() - kChannelPickerFirst), c->GetValue() - 1);
    return true;
}

bool IpMenuHandler::OnMapDialog(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    const bool encoder = c->CmdId() == kEncMapButton;
    ResetButton(c->CmdId());
    if (encoder)
        parts_.busy.SetQuiet(kMapChannelSelect, rememberedMapFlow);
    parts_.dialogs.Close(encoder ? IpSubDialog::EncMap : IpSubDialog::DecMap);
    parts_.pages.SelectPageAfresh(Page(encoder ? SfpLogicalPage::EncAudMapPg : SfpLogicalPage::DecOutpg));
    parts_.dialogs.Open(encoder ? IpSubDialog::EncMap : IpSubDialog::DecMap,
                        encoder ? kMapChannelSelect : kDecMapFocus);
    parts_.sequencer.OnMapDialogOpened(encoder);
    return true;
}

bool IpMenuHandler::OnFlowSetup(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    const bool second = c->CmdId() == kSecondFlowSetup;
    ResetButton(c->CmdId());
    parts_.dialogs.Open(second ? IpSubDialog::EditSecondFlows : IpSubDialog::EditFlows);
    if (TpStore* store = TheStore())
        store->SetVisible(COM_SFP_IP_FLOWS_IP_CANCEL_BTN, true);
    parts_.flows.FocusFlowList(second);
    if (ValueOf(COM_SFP_TAB_SELECT) == kTabAudio)
        parts_.pages.SelectPageAfresh(
            Page(parts_.flows.IsDecapsulating() ? SfpLogicalPage::DecAudioPg : SfpLogicalPage::EncAudioPg));
    parts_.sequencer.StopAudioSubSteps();
    return true;
}

bool IpMenuHandler::OnFlowApplyCancel(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    parts_.configure.SwitchAddressCheck(false);
    if (c->CmdId() == COM_SFP_IP_FLOWS_IP_APPLY_BTN) {
        // The transmit is switched off, flow by flow, where it is on, around
        // the writes the Apply makes; the switch shows it.
        const bool transmitOn = parts_.flows.IsEncapsulating() && ValueOf(COM_SFP_IP_TX_OFF_ON) != 0;
        if (transmitOn)
            parts_.busy.SetQuiet(COM_SFP_IP_TX_OFF_ON, 0);
        parts_.configure.StartFlowConfigure(transmitOn);
    } else {
        // The edits not yet applied; those applied still go to their pages.
        parts_.configure.RestoreEditedValues(false);
    }
    ResetButton(c->CmdId());
    if (TpStore* store = TheStore())
        store->SetEnabled(COM_SFP_IP_FLOWS_IP_APPLY_BTN, false);
    parts_.dialogs.Close(IpSubDialog::EditFlows);
    parts_.dialogs.Close(IpSubDialog::EditSecondFlows);
    // What the flow copy typed for its side is the copy's, not the user's.
    if (c->CmdId() == COM_SFP_IP_FLOWS_IP_CANCEL_BTN)
        parts_.tick.RetypeCopySource();
    return true;
}

bool IpMenuHandler::OnDestinationPrefix(TpCommand* c)
{
    const int32_t v = c->GetValue();
    StoreValue(c->CmdId() == kDestSelectFirst ? kDestPrefixFirst : kDestPrefixSecond,
               v == 1 ? 0xD0 : v == 2 ? 0xA0 : 0x90);
    return true;
}

bool IpMenuHandler::OnManagement(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    TpStore* store = TheStore();
    const unsigned id = c->CmdId();
    if (id == COM_SFP_IP_MANAGEMENT_IP_SETUP_BTN) {
        parts_.dialogs.Open(IpSubDialog::EditMan);
        if (store != nullptr) {
            store->SetText(kManagementNote, "");
            store->SetVisible(COM_SFP_IP_MANAGEMENT_IP_CANCEL_BTN, true);
        }
        ResetButton(id);
        return true;
    }
    if (id == COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN)
        parts_.configure.StartControllerConfigure();
    else
        parts_.configure.RestoreEditedValues(true);   // the edits not yet applied
    ResetButton(id);
    if (store != nullptr)
        store->SetEnabled(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, false);
    parts_.dialogs.Close(IpSubDialog::EditMan);
    return true;
}

bool IpMenuHandler::OnMonitorSelect(TpCommand* c)
{
    if (c->GetValue() != kMonitorProgress)
        return true;
    if (IpProgressBox::IsConfiguring())
        parts_.dialogs.Open(IpSubDialog::Configure);
    else if (IpProgressBox::IsReading())
        parts_.dialogs.Open(IpSubDialog::Reading);
    return true;
}

bool IpMenuHandler::OnTxOffOn(TpCommand* c)
{
    const int32_t v = c->GetValue();
    if (!parts_.flows.IpFeatures() && parts_.flows.IsEncapsulating()) {
        if (v != 0)
            parts_.flows.PrepareTxFlow();
        parts_.busy.SetQuiet(COM_GEN1_OUT_ENABLE, v);
    }
    StoreValue(COM_SFP_IP_TX_FLOW_ENABLE, v);
    return true;
}

bool IpMenuHandler::OnMapChannelSelect(TpCommand* c)
{
    const int32_t m = c->GetValue();
    if (parts_.dialogs.MapDialogOpen())
        rememberedMapFlow = m;
    // Flows 1 to 8 only; anything else loads nothing.
    if (m < 1 || m > 8)
        return true;
    const int first = SfpParamTable::Instance().IndexOf(kMapChannelFirst);
    const BusyGuard guard = parts_.busy.Hold();
    const auto flow = static_cast<size_t>(m - 1);
    for (int ch = 0; first >= 0 && ch < 16; ++ch) {
        const SfpParamRow* sdi = SfpParamTable::Instance().Row(static_cast<size_t>(first + 2 + 3 * ch));
        const SfpParamRow* active = SfpParamTable::Instance().Row(static_cast<size_t>(first + 3 + 3 * ch));
        if (sdi == nullptr || active == nullptr)
            break;
        StoreValue(sdi->cmdId, parts_.maps.SdiChannel(flow, static_cast<size_t>(ch)));
        StoreValue(active->cmdId, parts_.maps.ChannelActive(flow, static_cast<size_t>(ch)) ? 1 : 0);
    }
    return true;
}

// --- second table --------------------------------------------------------------------

bool IpMenuHandler::OnGeneratorOutput(TpCommand* c)
{
    if (parts_.flows.IsEncapsulating())
        StoreValue(COM_SFP_IP_TX_OFF_ON, c->GetValue());
    return true;
}

bool IpMenuHandler::OnBoxButton(TpCommand* c)
{
    if (c->GetValue() == 0)
        return true;
    const unsigned id = c->CmdId();
    switch (id) {
    case COM_SFP_IP_IGMP_BOX: parts_.dialogs.Open(IpSubDialog::Igmp); break;
    case COM_SFP_IP_VLAN_BTN: parts_.dialogs.Open(IpSubDialog::Vlan); break;
    case kPtpModeButton: parts_.dialogs.Open(IpSubDialog::PtpMode); break;
    case kVidStdButton:
        parts_.dialogs.Open(IpSubDialog::VidStd);
        parts_.flows.FocusFlowList(false);
        break;
    case COM_SFP_IP_FLOW_SSRC: parts_.dialogs.Open(IpSubDialog::Ssrc); break;
    default: parts_.dialogs.Open(IpSubDialog::SfpMode); return true;   // the factory resets stay set
    }
    ResetButton(id);
    if (id == kVidStdButton)
        StoreValue(kVidStdFlag, 1);
    return true;
}

bool IpMenuHandler::OnFirmwareSelect(TpCommand* c)
{
    const int32_t slot = static_cast<int32_t>(c->CmdId() - COM_SFP_IP_FW_SEL_ELEMENT0);
    for (unsigned id = COM_SFP_IP_FW_SEL_ELEMENT0; id <= COM_SFP_IP_FW_SEL_ELEMENT3; ++id)
        parts_.busy.SetQuiet(id, id == c->CmdId() ? 1 : 0);
    const int32_t loaded = parts_.flows.LoadedFirmwareSlot();
    if (loaded == 255 || slot == loaded)
        return true;
    chosenFirmwareSlot = slot;
    if (!firmwareConfirm_) {
        firmwareConfirm_ = std::make_unique<TpSysDialog>(&owner_);
        ShowCheckDialog(kCheckFirmwareTexts[0], kCheckFirmwareTexts[1], firmwareConfirm_.get());
    }
    return true;
}

bool IpMenuHandler::OnFirmwareAnswer(TpCommand* c)
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
        const int32_t loaded = parts_.flows.LoadedFirmwareSlot();
        for (unsigned id = COM_SFP_IP_FW_SEL_ELEMENT0; id <= COM_SFP_IP_FW_SEL_ELEMENT3; ++id)
            parts_.busy.SetQuiet(id, static_cast<int32_t>(id - COM_SFP_IP_FW_SEL_ELEMENT0) == loaded ? 1 : 0);
        IpControlTree::ShowIpBooting();
        if (checkLoopOnSfpLoss)
            checkLoopOnSfpLoss();
        parts_.progress.StartConfigure();
        parts_.dialogs.Open(IpSubDialog::Configure);
        if (SFPLogger* logger = SFPLogger::Instance())
            logger->LogModuleAction(firmware);
        StoreValue(COM_SFP_IP_FW_DEFAULT_ELEMENT, chosenFirmwareSlot);
        // The program page is written and read again by the management pages' cycle.
        for (SfpPageEntry& e : SfpLink::State().pageTable)
            if (e.page == Page(SfpLogicalPage::ProgramPg))
                e.loaded = 0;
        IpFlowView::DisableSfpTabs();
    }
    firmwareConfirm_.reset();
    return true;
}

bool IpMenuHandler::OnDefaultFlow(TpCommand*)
{
    Ask(defaultFlowConfirm_, kCheckDefaultTexts);
    ResetButton(COM_SFP_IP_DEFAULT_FLOW_BTN);
    return true;
}

bool IpMenuHandler::OnDefaultFlowAnswer(TpCommand* c)
{
    if (c != defaultFlowConfirm_.get())
        return false;
    if (c->GetValue() != 0) {
        if (parts_.flows.IsEncapsulating() && ValueOf(COM_SFP_IP_TX_OFF_ON) != 0)
            StoreValue(COM_SFP_IP_TX_OFF_ON, 0);
        MarkEdited(COM_SFP_IP_DEFAULT_FLOW_BTN);
        StoreValue(COM_SFP_IP_FLOW_DEFAULT, 1);
    }
    defaultFlowConfirm_.reset();
    return true;
}

bool IpMenuHandler::OnParameterControl(TpCommand* c)
{
    const unsigned id = c->CmdId();
    if (parts_.controls.IsActionControl(c, id)) {
        if (c->GetValue() == 0)
            return true;
        if (id == COM_SFP_IP_RESET_FLOW_COUNTER && ValueOf(COM_SFP_TAB_SELECT) == kTabAudio &&
            parts_.flows.IsEncapsulating()) {
            parts_.sequencer.RestartAudioSubSteps();
            parts_.busy.SetQuiet(COM_SFP_IP_FLOW_SEL, -1);
        }
        OnParameterEdited(c);
        ResetButton(id);
        parts_.progress.RequestShow();
        RefreshFlowTexts();
        return true;
    }
    const SfpParamRow* row = SfpParamTable::Instance().Find(id);
    if (row == nullptr)
        return true;
    const IpFlowView::ShownFlowGuard shown(parts_.flows, row, id);
    const bool destination = parts_.controls.IsFlowDestinationControl(c);
    if (destination)
        parts_.flows.SetMulticastMac();
    else if (id == COM_SFP_IP_FW_DEFAULT_ELEMENT)
        parts_.flows.ClearModulePresent();
    if (IpControlTree::IsFlowEditControl(id))
        return true;
    // A transmit a user or a client sets is theirs, whatever the flows' Apply
    // does: noted before the box may end that Apply.
    if (id == COM_SFP_IP_TX_FLOW_ENABLE)
        parts_.configure.KeepTransmit(parts_.pages.EditPage(*row, false), c->GetValue());
    // The destination restriction is checked once the edit is whole; it then
    // decides whether the flows' Apply may be used.
    parts_.configure.SwitchAddressCheck(false);
    parts_.progress.UpdateProgressBox();
    OnParameterEdited(c);
    parts_.progress.RequestShow();
    RefreshFlowTexts();
    parts_.configure.SwitchAddressCheck(true);
    if (destination)
        parts_.configure.CheckMulticastMac();
    return true;
}

// The audio and ANC flow texts follow an edit at once, not only on the next tick.
void IpMenuHandler::RefreshFlowTexts()
{
    parts_.flows.ShowAudioFlowSummary();
    parts_.flows.ShowAncFlowTexts();
}

// --- the pending edit -------------------------------------------------------------------

void IpMenuHandler::OnParameterEdited(TpCommand* control)
{
    if (control == nullptr)
        return;
    const unsigned cmdId = control->CmdId();
    SfpParamRow* row = SfpParamTable::Instance().Find(cmdId);
    if (row == nullptr || TheStore() == nullptr)
        return;
    // The flow on screen's mirror repeats the edit; an SSRC byte's mirror
    // (the flow's label) shows the SSRC as typed.
    if (parts_.flows.IpFeatures() && IpIds::Contains(kMirroredEdits, row->cmdId))
        if (const uint16_t mirror = parts_.flows.FlowValueControl(); mirror != 0) {
            parts_.busy.SetQuiet(mirror, control->GetValue());
            MarkEdited(mirror);
        }
    if (parts_.flows.IpFeatures() && IpIds::Contains(kSsrcByteRows, row->cmdId))
        MirrorTypedSsrc();
    if (row->page == SfpPageNumber(SfpLogicalPage::PtpPg))
        parts_.sequencer.OnPtpRowEdited(cmdId == row->cmdId);
    NoteEditedRow(*row);
    HoldEdit(*row, *control);
    // The DHCP pair: an edit of one side drops the other's.
    const unsigned partner = cmdId == COM_SFP_IP_DHCP_OFF ? COM_SFP_IP_DHCP
                             : cmdId == COM_SFP_IP_DHCP   ? COM_SFP_IP_DHCP_OFF
                                                          : 0;
    if (SfpParamRow* other = partner != 0 ? SfpParamTable::Instance().Find(partner) : nullptr;
        other != nullptr && (other->value != -1 || parts_.edits.HasEdit(*other)))
        parts_.configure.DropEdits(*other);
    parts_.controls.UpdateFollowers();
}

void IpMenuHandler::MirrorTypedSsrc()
{
    const uint16_t label = parts_.flows.FlowLabelControl();
    const bool second = parts_.flows.SecondFlowShown();
    // An SSRC typed for the flow before, on another tab, is replaced.
    parts_.flows.NoteTypedSsrcLabel(second, label);
    TpStore* store = TheStore();
    if (label == 0 || store == nullptr)
        return;
    const std::string typed = store->GetCmdText(kSsrcBoxes[second ? 1 : 0]);
    {
        const BusyGuard guard = parts_.busy.Hold();
        store->SetText(label, typed);
    }
    MarkEdited(label);
}

// The subnet note, the Apply buttons and the pages the edits wait on.
void IpMenuHandler::NoteEditedRow(const SfpParamRow& row)
{
    TpStore& store = *TheStore();
    if (row.inControllerSet != 0 && !parts_.progress.MonitorPending() && pageView_ != nullptr)
        pageView_->ShowSubnetNote();
    // An edit of a set waits for an Apply of its own, whatever applied edit still waits.
    if (row.inControllerSet != 0)
        store.SetEnabled(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, true);
    if (row.inFlowSet != 0)
        store.SetEnabled(COM_SFP_IP_FLOWS_IP_APPLY_BTN, true);
    if (parts_.configure.CountKnownParameters().all == 0 && !parts_.progress.ShowRequested())
        lastPendingPage = row.page;
    else if (secondPendingPage == 0 && row.page != lastPendingPage)
        secondPendingPage = row.page;
}

// The control's value, in the form the module takes, booked for the page the
// row's edit belongs to; the control (and a port's mirror) turns orange.
void IpMenuHandler::HoldEdit(const SfpParamRow& row, const TpCommand& control)
{
    const unsigned cmdId = control.CmdId();
    int32_t value = control.GetValue();
    if (cmdId == COM_SFP_IP_DHCP_OFF)
        value = 0;
    else if (cmdId >= kMapSlotFirst && cmdId <= kMapSlotLast && value > 3)
        value = 255;
    for (size_t i = 0; i < std::size(kOneBitIds); ++i)
        if (cmdId == kOneBitIds[i])
            value = 1 << i;
    if (row.byteCount != 0) {
        const bool second = IpEditBook::IsSecondControl(row, cmdId);
        parts_.edits.Book(row, parts_.pages.EditPage(row, second), second, value);
    }
    MarkEdited(cmdId);
    if (row.cmdId == COM_SFP_IP_DEST_UDP_PORT || row.cmdId == COM_SFP_IP_SRC_UDP_PORT) {
        if (const uint16_t mirror = parts_.flows.FlowPortControl(row.cmdId); mirror != 0) {
            parts_.busy.SetQuiet(mirror, control.GetValue());
            MarkEdited(mirror);
        }
    } else if (cmdId == COM_SFP_IP_TX_FLOW_ENABLE) {
        MarkEdited(COM_SFP_IP_TX_OFF_ON);
    }
}

// The entry's bytes that did not change as controls still belong to the value
// typed: each is booked for its page too, unless that page was read holding it.
void IpMenuHandler::BookEntry(const TpCommand& entry)
{
    for (const IpIds::EntryRow& e : IpIds::kAddressEntries) {
        if (e.entry != entry.CmdId())
            continue;
        for (uint16_t id : e.bytes) {
            const SfpParamRow* row = SfpParamTable::Instance().Find(id);
            if (row == nullptr || row->byteCount == 0)
                continue;
            const bool second = IpEditBook::IsSecondControl(*row, id);
            const uint8_t page = parts_.pages.EditPage(*row, second);
            const int32_t value = ValueOf(id);
            // Booked already from its control, or held by the page with no other value on its way there.
            if (parts_.edits.Find(*row, page, IpEditState::Typed) != nullptr ||
                parts_.edits.PageHolds(*row, page, value))
                continue;
            parts_.edits.Book(*row, page, second, value);
            MarkEdited(id);
            NoteEditedRow(*row);
        }
    }
}
