#include "IpConfigurePass.h"
#include "IpControlOps.h"
#include "IpControlTree.h"
#include "IpFlowView.h"
#include "IpModulePages.h"
#include "IpPageView.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/log/SFPLogger.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"

#include <array>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace {

using namespace IpControlOps;
using IpStoreAccess::TheStore;
using IpStoreAccess::ValueOf;

constexpr int32_t kFirmwareSettleTicks = 2;
// bit 0 set with the field
constexpr uint16_t kResetMarkedIds[] = {COM_SFP_IP_RESET_FLOW_COUNTER, COM_SFP_IP_RESET_IP_FLOW_COUNTER};
constexpr uint16_t kNoWroteFlagIds[] = {COM_SFP_IP_RESET_IP_FLOW_COUNTER, COM_SFP_IP_DEFAULT_FLOW_SETTINGS,
                                        COM_SFP_IP_RESET_FLOW_COUNTER, COM_SFP_IP_FLOW_DEFAULT};
constexpr int kReadFailedLine = 12767;

// Rows whose flow mirror goes back to the plain colour with the row.
constexpr uint16_t kMirrorClearedRows[] = {COM_SFP_IP_FLOW_VLAN_ID, COM_SFP_IP_RTP_VID_PT,
                                           COM_SFP_IP_VID_SEQUENCE_ERRORS_0C29};
// Rows of the video standard whose clearing drops the standard's colour.
constexpr uint16_t kStandardCacheRows[] = {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21, COM_SFP_IP_STD_SCAN_MODE,
                                           COM_SFP_IP_STD_BIT_RATE,             COM_SFP_IP_STD_SAMPLE_FMT,
                                           COM_SFP_IP_STD_FRAME_RATE,           COM_SFP_IP_STD_VID_FMT};

enum class PageWrite : uint8_t { Idle, Unlocked, Written };

// The byte with the row's field replaced; neighbouring bits are kept.
uint8_t WithField(uint8_t old, const SfpParamRow& row, int32_t value)
{
    const uint8_t cleared = static_cast<uint8_t>(old & ~row.mask);
    if (value == 0)
        return cleared;
    const uint32_t shift = row.shift & 0xFF;
    const uint32_t field = shift < 8 ? (static_cast<uint32_t>(value) << shift) & row.mask : 0;
    return static_cast<uint8_t>(cleared | field);
}

bool IsPortRow(unsigned cmdId) { return cmdId == COM_SFP_IP_DEST_UDP_PORT || cmdId == COM_SFP_IP_SRC_UDP_PORT; }

} // namespace

IpConfigurePass::IpConfigurePass(IpBusy& busy, IpFlowView& flows, IpModulePages& pages, IpControlTree& controls,
                                 IpPageView* const& pageView)
    : busy_(busy), flows_(flows), pages_(pages), controls_(controls), pageView_(pageView)
{
}

// --- reading and writing rows ----------------------------------------------------------

// Whether the pending row may be written in the current configure pass: a
// row of the controller set only while the controller configure runs, one of
// the flow set only while the flow configure runs, any other at once. A DHCP
// row first brings the IGMP toggle into line. Without the pages only rows of
// neither set are written.
bool IpConfigurePass::MayWrite(const SfpParamRow& row) const
{
    if (pageView_ == nullptr)
        return row.inControllerSet == 0 && row.inFlowSet == 0;
    const bool controller = row.inControllerSet != 0;
    const bool flowSet = row.inFlowSet != 0;
    if (controller && controllerConfiguring == 0 && !flowSet)
        return false;
    if (((!controller && flowSet) || (controller && controllerConfiguring == 0)) && flowConfiguring == 0)
        return false;
    if (row.cmdId == COM_SFP_IP_DHCP || row.cmdId == COM_SFP_IP_DHCP_OFF)
        pageView_->HandleToggleCommand(row.cmdId);
    return true;
}

// An edit of a flow's row belongs to the page of the flow it was made for: on
// any other page it waits, neither written nor read over. An edit of any
// other row has no page of its own (0).
bool IpConfigurePass::OnEditedPage(const SfpParamRow& row) const
{
    return row.pending == 0 || row.pendingPage == 0 || pages_.MapLogicalPage(row.page) == row.pendingPage;
}

bool IpConfigurePass::ProcessParameterRow(SfpParamRow& row, bool& wrote)
{
    if (row.byteCount == 0)
        return true;
    // An edit held for Apply, or one the page update writes, is not read over.
    const bool gated = row.pending != 0 && MayWrite(row);
    if (row.pending != 0 && (row.alwaysAccess != 0 || !gated || !OnEditedPage(row)))
        return true;
    const uint8_t page = pages_.MapLogicalPage(row.page);
    if (row.mask != 0)
        return ProcessBitRow(row, page, wrote);
    return row.pending != 0 ? WriteWholeRow(row, page, wrote) : ReadWholeRow(row);
}

bool IpConfigurePass::WriteWholeRow(SfpParamRow& row, uint8_t page, bool& wrote)
{
    const uint8_t reg = row.writeRegister != 0 ? row.writeRegister : row.readRegister;
    SfpLink::PollSfpStatus();
    const bool written = pages_.SetNewParameterValue(page, reg, row.value, row.byteCount, row.cmdId);
    SfpLink::PollSfpStatus();
    wrote = true;
    InvalidateParameter(row, written);   // a failed write is read back, not logged
    pages_.ArmWriteSettle();
    return true;
}

bool IpConfigurePass::ReadWholeRow(SfpParamRow& row)
{
    std::array<uint8_t, SfpParamTable::kMaxByteCount> bytes {};
    size_t count = 0;
    if (!ReadSfpParamBytes(row, bytes.data(), bytes.size(), count))
        return false;
    if (pageView_ != nullptr)
        pageView_->DisplayParameterValue(row, bytes.data(), count, false);
    if (uint32_t number = 0; SfpParamFieldValue(row, bytes.data(), count, number))
        KeepShown(row, static_cast<int32_t>(number));
    return true;
}

// A masked row: its field read and shown, or its pending field written into
// the byte read (the neighbouring bits kept).
bool IpConfigurePass::ProcessBitRow(SfpParamRow& row, uint8_t page, bool& wrote)
{
    SfpLink::PollSfpStatus();
    uint8_t old = 0;
    if (row.pending == 0) {
        if (sfp_read_byte(row.readRegister, &old) == 0)
            return false;
        const uint8_t field = SfpParamField(row, old);
        if (pageView_ != nullptr)
            pageView_->DisplayParameterValue(row, &field, 1, (old & row.mask) != 0);
        KeepShown(row, field);
        return true;
    }
    if (sfp_read_byte(row.readRegister, &old) == 0) {
        InvalidateParameter(row, false);   // nothing was written
        pages_.ArmWriteSettle();
        return true;
    }
    uint8_t byte = WithField(old, row, row.value);
    if (IpIds::Contains(kResetMarkedIds, row.cmdId))
        byte |= 0x01;
    if (!IpIds::Contains(kNoWroteFlagIds, row.cmdId))
        wrote = true;
    const bool written = pages_.SetNewParameterValue(page, row.readRegister, byte, 1, row.cmdId);
    SfpLink::PollSfpStatus();
    InvalidateParameter(row, written);
    pages_.ArmWriteSettle();
    return true;
}

// The number read for the row, kept for the control of the flow it was shown for.
void IpConfigurePass::KeepShown(SfpParamRow& row, int32_t number) const
{
    const bool second = row.secondCmdId != 0 && row.secondCmdId != row.cmdId && flows_.SecondFlowShown();
    row.shown[second ? 1 : 0] = number;
}

bool IpConfigurePass::ReadPageParameters(uint8_t logical, PageRows rows)
{
    // Only the rows of the page that is on the module: other rows would show
    // or overwrite registers of the wrong page.
    if (!pages_.SettleOn(logical))
        return false;
    bool ok = true;
    for (SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.page != logical || (rows == PageRows::OwnRows && row.followsFlowPage != 0))
            continue;
        bool wrote = false;
        ok = ProcessParameterRow(row, wrote) && ok;
    }
    return ok;
}

// --- the page write --------------------------------------------------------------------

bool IpConfigurePass::UpdateParametersByUnlockingPage(uint8_t logical)
{
    bool result = false;
    if (pages_.SettleOn(logical))
        result = WriteStepOnPage(logical);
    if (!pages_.FirmwareDefaultRunning())
        return result;
    if (pages_.StepFirmwareDefault()) {
        busy_.SetQuiet(COM_SFP_IP_LOADED_ELEMENT, 255);
        if (TpStore* store = TheStore())
            store->SetValue(COM_SFP_IP_LOADED_ELEMENT, savedFirmwareDefault);
        flows_.ClearModuleReady();
    }
    pages_.ArmWriteSettle(kFirmwareSettleTicks);
    return true;
}

bool IpConfigurePass::WriteStepOnPage(uint8_t logical)
{
    const uint8_t physical = pages_.MapLogicalPage(logical);
    const PageWrite state = pageUnlocked == 0 ? PageWrite::Idle
                            : pageWritten == 0 ? PageWrite::Unlocked
                                               : PageWrite::Written;
    if (state == PageWrite::Written) {
        pageUnlocked = pageWritten = 0;
        if (controllerConfiguring == 0)
            pages_.CommitControllerPage(physical);
        return true;
    }
    SfpParamRow* row = NextRowToWrite(logical);
    if (row == nullptr)
        return false;
    if (row->byteCount > 1) {
        const bool written =
            pages_.SetNewParameterValue(physical, row->readRegister, row->value, row->byteCount, row->cmdId);
        SfpLink::PollSfpStatus();
        InvalidateParameter(*row, written);
        return true;
    }
    if (state == PageWrite::Idle) {
        if (controllerConfiguring == 0 || unlockAgain != 0) {
            if (!pages_.UnlockControllerPage(physical))
                return true;   // tried again on the next call
            unlockAgain = 0;
        }
        pageUnlocked = 1;
        return true;
    }
    WriteRowByte(*row, physical);
    return true;
}

// The page's first pending always-read row that may be written now.
SfpParamRow* IpConfigurePass::NextRowToWrite(uint8_t logical) const
{
    for (SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.page != logical || row.pending == 0 || row.alwaysAccess == 0)
            continue;
        if (MayWrite(row) && OnEditedPage(row))
            return &row;
    }
    return nullptr;
}

void IpConfigurePass::WriteRowByte(SfpParamRow& row, uint8_t physical)
{
    const uint8_t reg = row.writeRegister != 0 ? row.writeRegister : row.readRegister;
    uint8_t byte = static_cast<uint8_t>(row.value & 0xFF);
    if (row.mask != 0) {
        uint8_t old = 0;
        if (sfp_read_byte(reg, &old) == 0)
            DebugPrintf("UpdateParametersByUnlockingPage ReadByte Failed.  Page 0x%02X Line %d\n", physical,
                        kReadFailedLine);
        byte = WithField(old, row, row.value);
    }
    const unsigned cmdId = row.cmdId;
    const bool written = pages_.SetNewParameterValue(physical, reg, byte, 1, row.cmdId);
    SfpLink::PollSfpStatus();
    InvalidateParameter(row, written);
    pageWritten = 1;
    // A default firmware the module did not take is not shown as loaded.
    if (cmdId == COM_SFP_IP_FW_DEFAULT_ELEMENT && written) {
        savedFirmwareDefault = byte;
        pages_.StartFirmwareDefault();
    } else {
        pages_.ArmWriteSettle();
    }
}

// --- back to unread ------------------------------------------------------------------

void IpConfigurePass::InvalidateParameter(SfpParamRow& row, bool log)
{
    // A written value is logged once, from the control that held it; its
    // flow's mirrors lose the edit colour.
    const unsigned shown = row.pending == kPendingSecond ? row.secondCmdId : row.cmdId;
    const IpFlowView::ShownFlowGuard flow(flows_, &row, shown);
    if (SFPLogger* logger = log ? SFPLogger::Instance() : nullptr; logger != nullptr && TheStore() != nullptr)
        logger->LogParameterChange(TheStore()->GetCmd(shown), row.logName, row.isAction != 0 ? 1 : 0,
                                   row.addressGroup, 0);
    row.value = -1;
    row.pending = 0;
    row.pendingPage = 0;
    const BusyGuard guard = busy_.Hold();
    ClearEditColour(row.cmdId, true);
    // A video-standard field keeps its second control; the standard's colour is worked out afresh.
    if (IpIds::Contains(kStandardCacheRows, row.cmdId))
        controls_.ForgetStandardColour();
    else if (row.secondCmdId != 0)
        ClearEditColour(row.secondCmdId, true);
    controls_.UpdateFollowers();
    RefreshClearedRow(row);
    controls_.RefreshProgressControl();
}

// What hangs on a row that went back to unread, by its control.
void IpConfigurePass::RefreshClearedRow(const SfpParamRow& row)
{
    const unsigned id = row.cmdId;
    if (id == COM_SFP_IP_TX_FLOW_ENABLE)
        ClearEditColour(COM_SFP_IP_TX_OFF_ON, true);
    if (id == COM_SFP_IP_FLOW_DEFAULT) {
        ClearEditColour(COM_SFP_IP_DEFAULT_FLOW_BTN, true);
        busy_.SetQuiet(IpIds::kDefaultSettingsEnable, 0);
    }
    if (pageView_ != nullptr && id >= COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0A && id <= COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0D)
        pageView_->ShowSequenceCounter();
    if (pageView_ != nullptr && id >= COM_SFP_IP_VID_SEQUENCE_ERRORS_0C19 && id <= COM_SFP_IP_VID_SEQUENCE_ERRORS_0C1C)
        pageView_->ShowVideoSequenceErrors();
    if (id >= COM_SFP_IP_FLOW_SSRC_ID1 && id <= COM_SFP_IP_FLOW_SSRC_ID4) {
        if (pageView_ != nullptr)
            pageView_->ShowSsrc();
        ClearEditColour(IpIds::kSsrcBoxes[flows_.SecondFlowShown() ? 1 : 0], true);
        // The label that mirrored the typed SSRC in orange, on whatever tab it
        // was typed: the edit is gone.
        if (const uint16_t label = flows_.TakeTypedSsrcLabel(flows_.SecondFlowShown()); label != 0)
            ClearEditColour(label, true);
    }
    if (flows_.IpFeatures()) {
        const uint16_t mirror = IsPortRow(id)                     ? flows_.FlowPortControl(id)
                                : IpIds::Contains(kMirrorClearedRows, id) ? flows_.FlowValueControl()
                                                                : 0;
        if (mirror != 0)
            ClearEditColour(mirror, true);
    }
}

void IpConfigurePass::InvalidateAllParameters()
{
    for (SfpParamRow& row : SfpParamTable::Instance().Rows())
        if (row.value != -1 || row.pending != 0)
            InvalidateParameter(row);
}

void IpConfigurePass::RestoreEditedValues(bool controllerSet)
{
    for (SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.pending != 0 && (controllerSet ? row.inControllerSet : row.inFlowSet) != 0)
            RestoreShownValue(row);
    }
    if (!controllerSet)
        CheckMulticastMac();
}

// The edited control (and a port's mirror) back to the value last read; the
// row becomes unread, so the next read shows the module's value again.
void IpConfigurePass::RestoreShownValue(SfpParamRow& row)
{
    const bool second = row.pending == kPendingSecond;
    const unsigned edited = second ? row.secondCmdId : row.cmdId;
    if (const int32_t shown = row.shown[second ? 1 : 0]; shown != -1) {
        const IpFlowView::ShownFlowGuard flow(flows_, &row, edited);
        busy_.SetQuiet(edited, shown);
        if (IsPortRow(row.cmdId))
            if (const uint16_t mirror = flows_.FlowPortControl(row.cmdId); mirror != 0)
                busy_.SetQuiet(mirror, shown);
    }
    InvalidateParameter(row);
}

// --- the flow's MAC and the mode layout ------------------------------------------------------------

// The MAC bytes of the flow on screen against its destination: for a
// multicast address (224-239) each byte not being edited is red when it
// differs from the address's multicast MAC, else black; for a unicast
// address no byte stays red.
void IpConfigurePass::CheckMulticastMac()
{
    TpStore* store = TheStore();
    if (store == nullptr || !flows_.IpFeatures())
        return;
    const bool second = flows_.SecondFlowShown();
    const auto& dest = second ? IpIds::kFlowDestSecondBytes : IpIds::kFlowDestBytes;
    const auto& mac = second ? IpIds::kFlowMacSecondBytes : IpIds::kFlowMacBytes;
    const int32_t first = ValueOf(dest[3]);   // byte 4 is the first dotted octet
    const bool multicast = first >= 224 && first <= 239;
    // MAC byte 1 (the most significant, mac[5]) first.
    const int32_t expected[6] = {0x01, 0x00, 0x5E, ValueOf(dest[2]) & 0x7F, ValueOf(dest[1]) & 0xFF,
                                 ValueOf(dest[0]) & 0xFF};
    const BusyGuard guard = busy_.Hold();
    for (size_t i = 0; i < 6; ++i) {
        const unsigned id = mac[5 - i];
        const uint32_t colour = ColourOf(id);
        if (multicast && colour != Colour::kOrange)
            store->SetColour(id, (ValueOf(id) & 0xFF) == expected[i] ? 0 : Colour::kRed);
        else if (!multicast && colour == Colour::kRed)
            store->SetColour(id, 0);
        // A multicast destination gives the MAC; only a unicast one lets it be typed.
        SetBoxEnabled(id, !multicast);
    }
    ShowMacText(mac, second);
    CheckAddressRestriction();
}

// "%02X:" of the six MAC bytes, most significant first, into the flow's MAC
// text: each byte's digits in its control's colour (white for none), the
// colons white.
void IpConfigurePass::ShowMacText(std::span<const uint16_t, 6> mac, bool second)
{
    const uint16_t textId = flows_.FlowMacTextControl();
    TpStore* store = TheStore();
    if (textId == 0 || store == nullptr)
        return;
    std::string text;
    std::vector<uint32_t> colours;
    for (size_t i = 0; i < mac.size(); ++i) {
        const unsigned id = mac[mac.size() - 1 - i];
        if (i != 0) {
            text += ':';
            colours.push_back(Colour::kWhite);
        }
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(ValueOf(id) & 0xFF));
        text += digits;
        const uint32_t colour = ColourOf(id);
        colours.insert(colours.end(), 2, colour != 0 ? colour : Colour::kWhite);
    }
    store->SetCharColours(textId, colours.data(), static_cast<int>(colours.size()));
    store->SetText(textId, text);
    if (second && flows_.IsDecapsulating())
        store->SetVisible(textId, true);
}

void IpConfigurePass::SwitchAddressCheck(bool on)
{
    addressCheckOn = on ? 1 : 0;
    if (on)
        CheckAddressRestriction();
    else if (pageView_ != nullptr)
        pageView_->ShowIanaWarning(false);
}

void IpConfigurePass::CheckAddressRestriction()
{
    if (addressCheckOn == 0)
        return;
    const bool reserved = flows_.IsReservedMulticast();
    if (pageView_ != nullptr)
        pageView_->ShowIanaWarning(reserved);
    if (TpStore* store = TheStore(); store != nullptr && reserved) {
        const BusyGuard guard = busy_.Hold();
        store->SetEnabled(COM_SFP_IP_FLOWS_IP_APPLY_BTN, false);
    }
}

void IpConfigurePass::ApplyModeLayout()
{
    struct Title {
        const char* title;
        const char* shortTitle;
    };
    // [2110][decapsulation]
    static constexpr Title kTitles[2][2] = {{{"2022-6 Encap", "2022Encap"}, {"2022-6 Decap", "2022Decap"}},
                                            {{"2110 Encap", "2110Encap"}, {"2110 Decap", "2110Decap"}}};
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const bool is2110 = flows_.Is2110();
    const bool decap = flows_.IsDecapsulating();
    const BusyGuard guard = busy_.Hold();
    IpFlowView::ApplyLayout(IpIds::kLayoutFirst, decap, is2110);
    IpFlowView::DisableSfpTabs();
    IpFlowView::ApplyLayout(IpIds::kLayoutAll, decap, is2110);
    for (uint16_t list : IpIds::kNoItem4Lists)
        store->SetItemEnabled(list, 4, false);
    IpFlowView::ApplyLayout(is2110 ? std::span<const IpIds::LayoutRow>(IpIds::kLayout2110) : IpIds::kLayout2022,
                            decap, is2110);
    // The flow controls follow the direction with either firmware.
    flows_.ApplyFlowTables();
    store->SetItemEnabled(COM_SFP_TAB_SELECT, 1, flows_.ModuleIdentified());
    if (is2110) {
        for (int item : {2, 3, 4, 6})
            store->SetItemEnabled(COM_SFP_TAB_SELECT, item, true);
        store->SetItemEnabled(COM_SFP_TAB_SELECT, 5, false);
        for (int item = 4; item <= 7; ++item)
            store->SetItemEnabled(COM_SFP_IP_AUDIO_FLOW_SEL, item, !decap);
    } else if (!decap) {
        for (uint16_t id : IpIds::kHidden2022Encap)
            store->SetVisible(id, false);
    }
    flows_.ShowAudioFlowSummary();
    IpFlowView::ApplyLayout(IpIds::kLayoutLast, decap, is2110);
    if (!flows_.ModuleReady()) {
        IpControlTree::ShowIpBooting();
        return;
    }
    const Title& t = kTitles[is2110 ? 1 : 0][decap ? 1 : 0];
    store->SetText(COM_SFP_IP_MAIN_TITLE, t.title);
    store->SetText(COM_SFP_IP_TOP_TITLE, t.shortTitle);
}

// --- the configures -------------------------------------------------------------------

SfpParamCounts IpConfigurePass::CountKnownParameters() const
{
    SfpParamCounts counts;
    for (const SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.pending == 0)
            continue;
        ++counts.all;
        if (row.inControllerSet != 0)
            ++counts.controller;
        if (row.inFlowSet != 0)
            ++counts.flow;
        if (row.inControllerSet == 0 && row.inFlowSet == 0)
            ++counts.other;
    }
    if (controllerConfiguring == 0)
        counts.controller = 0;
    if (flowConfiguring == 0)
        counts.flow = 0;
    return counts;
}

void IpConfigurePass::StartControllerConfigure()
{
    controllerConfiguring = 1;
    unlockAgain = 1;
}

void IpConfigurePass::StartFlowConfigure(bool restoreTransmit)
{
    if (restoreTransmit)
        txRestorePending = 1;
    flowConfiguring = 1;
}

bool IpConfigurePass::EndConfigures()
{
    const SfpParamCounts after = CountKnownParameters();
    if (controllerConfiguring != 0 && after.controller == 0) {
        pages_.CommitControllerPage(SfpPageNumber(SfpLogicalPage::ContrPg));
        controllerConfiguring = 0;
        pageUnlocked = pageWritten = 0;   // that commit closed the page: one commit a configure
    }
    if (flowConfiguring == 0 || after.flow != 0)
        return false;
    flowConfiguring = 0;
    const bool transmitOn = txRestorePending != 0 && flows_.IsEncapsulating();
    txRestorePending = 0;
    return transmitOn;
}
