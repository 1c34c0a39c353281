// The life of a parameter value between the module and the IP menu: rows are
// read and shown, edits are held as pending, pending values are written back
// (whole pages unlocked, written byte by byte and committed), and the
// progress box tells the user what is going on.
//
// A page write moves through these states, one step a call:
//
//   state      | what the call does                           | next state
//   -----------+----------------------------------------------+-----------
//   Idle       | nothing pending that may be written: false   | Idle
//   Idle       | a multi-byte row: write it whole             | Idle
//   Idle       | a byte row: unlock (once per configure)      | Unlocked
//   Unlocked   | write one byte row                           | Written
//   Written    | commit (unless a controller configure runs)  | Idle
//
// A controller configure keeps the page unlocked and is committed once, by the
// progress box, when none of its rows remains pending.
#include "IpSfpManager.h"

#include "IPFollower.h"
#include "IpPageView.h"
#include "IpStoreAccess.h"

#include "IpControlIds.h"
#include "ipsfp/link/SfpLink.h"
#include "ipsfp/log/SFPLogger.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/TpStore.h"
#include "platform/DebugOut.h"
#include "ui/TpDialogList.h"

#include <array>
#include <span>
#include <cstdio>

namespace {

using IpStoreAccess::StoreValue;
using IpStoreAccess::TheStore;
using IpStoreAccess::ValueOf;

constexpr uint32_t kOrange = 0xFF7F00;
constexpr int32_t kFirmwareDefaultEnd = 21;
constexpr int32_t kFirmwareSettleTicks = 2;
// bit 0 set with the field
constexpr uint16_t kResetMarkedIds[] = {COM_SFP_IP_RESET_FLOW_COUNTER, COM_SFP_IP_RESET_IP_FLOW_COUNTER};
constexpr uint16_t kNoWroteFlagIds[] = {COM_SFP_IP_RESET_IP_FLOW_COUNTER, COM_SFP_IP_DEFAULT_FLOW_SETTINGS,
                                        COM_SFP_IP_RESET_FLOW_COUNTER, COM_SFP_IP_FLOW_DEFAULT};
// above 3 written as 255
constexpr uint16_t kMapSlotFirst = COM_SFP_IP_IGMP_SRC_IP_BYTE4_0BDC, kMapSlotLast = COM_SFP_IP_IGMP_SRC_IP_BYTE4_0BEB;
// written as 1, 2, 4
constexpr uint16_t kOneBitIds[] = {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C30, COM_SFP_IP_VID_SEQUENCE_ERRORS_0C31,
                                   COM_SFP_IP_VID_SEQUENCE_ERRORS_0C32};
constexpr int kReadFailedLine = 12767;

constexpr uint32_t kRed = 0xFF0000;
// Rows whose flow mirror goes back to the plain colour with the row.
constexpr uint16_t kMirrorClearedRows[] = {COM_SFP_IP_FLOW_VLAN_ID, COM_SFP_IP_RTP_VID_PT,
                                           COM_SFP_IP_VID_SEQUENCE_ERRORS_0C29};
// Rows of the video standard whose clearing drops the standard's colour.
constexpr uint16_t kStandardCacheRows[] = {COM_SFP_IP_VID_SEQUENCE_ERRORS_0C21, COM_SFP_IP_STD_SCAN_MODE,
                                           COM_SFP_IP_STD_BIT_RATE,             COM_SFP_IP_STD_SAMPLE_FMT,
                                           COM_SFP_IP_STD_FRAME_RATE,           COM_SFP_IP_STD_VID_FMT};

enum class PageWrite : uint8_t { Idle, Unlocked, Written };


template <size_t N>
bool OneOf(unsigned id, const uint16_t (&ids)[N])
{
    for (uint16_t i : ids)
        if (i == id)
            return true;
    return false;
}

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

// A flow row's edit belongs to the flow whose control was edited: it waits
// while the other flow's page is selected.
uint32_t ColourOf(unsigned id)
{
    const TpCommand* c = TheStore() != nullptr ? TheStore()->GetCmd(id) : nullptr;
    return c != nullptr ? c->GetColour() : 0;
}

// The number read for the row, kept for the control of the flow it was shown for.
void KeepShown(SfpParamRow& row, int32_t number)
{
    const bool second = row.secondCmdId != 0 && row.secondCmdId != row.cmdId && IpFlow::State().secondFlowShown != 0;
    row.shown[second ? 1 : 0] = number;
}

bool OnEditedFlow(const SfpParamRow& row)
{
    if (row.followsFlowPage == 0 || row.pending == 0)
        return true;
    return (ValueOf(COM_SFP_IP_FLOW_SEL) == 1) == (row.pending == kPendingSecond);
}

} // namespace

bool IpSfpManager::ProcessParameterRow(SfpParamRow& row, bool& wrote)
{
    const uint8_t page = MapLogicalPage(row.page);
    if (row.byteCount == 0)
        return true;
    // An edit held for Apply, or one the page update writes, is not read over.
    const bool gated = row.pending != 0 && (pageView_ != nullptr ? pageView_->ToggleRowGate(row)
                                                                 : row.inControllerSet == 0 && row.inFlowSet == 0);
    if (row.pending != 0 && (row.alwaysAccess != 0 || !gated || !OnEditedFlow(row)))
        return true;
    if (row.mask == 0) {
        if (row.pending != 0) {
            const uint8_t reg = row.writeRegister != 0 ? row.writeRegister : row.readRegister;
            SfpLink::PollSfpStatus();
            const bool written = SetNewParameterValue(page, reg, row.value, row.byteCount, row.cmdId);
            SfpLink::PollSfpStatus();
            wrote = true;
            InvalidateParameter(row, written);   // a failed write is read back, not logged
            ArmWriteSettle();
            return true;
        }
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
        ArmWriteSettle();
        return true;
    }
    uint8_t byte = WithField(old, row, row.value);
    if (OneOf(row.cmdId, kResetMarkedIds))
        byte |= 0x01;
    if (!OneOf(row.cmdId, kNoWroteFlagIds))
        wrote = true;
    const bool written = SetNewParameterValue(page, row.readRegister, byte, 1, row.cmdId);
    SfpLink::PollSfpStatus();
    InvalidateParameter(row, written);
    ArmWriteSettle();
    return true;
}

bool IpSfpManager::ReadPageParameters(uint8_t logical)
{
    // Only the rows of the page that is on the module: other rows would show
    // or overwrite registers of the wrong page.
    if (currentPage != logical || pageBlocked != 0 || requestedPage != logical)
        return false;
    bool ok = true;
    for (SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.page != logical)
            continue;
        bool wrote = false;
        ok = ProcessParameterRow(row, wrote) && ok;
    }
    return ok;
}

bool IpSfpManager::UpdateParametersByUnlockingPage(uint8_t logical)
{
    bool result = false;
    if (logical == currentPage && pageBlocked == 0 && requestedPage == logical)
        result = WriteStepOnPage(logical);
    if (firmwareDefaultCountdown == 0)
        return result;
    // The write's own call leaves it at 2; the 20th call after that ends it.
    if (firmwareDefaultCountdown < kFirmwareDefaultEnd) {
        ++firmwareDefaultCountdown;
    } else {
        firmwareDefaultCountdown = 0;
        SetQuiet(COM_SFP_IP_LOADED_ELEMENT, 255);
        if (TpStore* store = TheStore())
            store->SetValue(COM_SFP_IP_LOADED_ELEMENT, savedFirmwareDefault);
        moduleReady = 0;
    }
    busyCountdown = kFirmwareSettleTicks;
    return true;
}

bool IpSfpManager::WriteStepOnPage(uint8_t logical)
{
    const uint8_t physical = MapLogicalPage(logical);
    const PageWrite state = pageUnlocked == 0 ? PageWrite::Idle
                            : pageWritten == 0 ? PageWrite::Unlocked
                                               : PageWrite::Written;
    if (state == PageWrite::Written) {
        pageUnlocked = pageWritten = 0;
        if (controllerConfiguring == 0)
            CommitControllerPage(physical);
        return true;
    }
    SfpParamRow* found = nullptr;
    for (SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.page != logical || row.pending == 0 || row.alwaysAccess == 0)
            continue;
        const bool may = pageView_ != nullptr ? pageView_->ToggleRowGate(row)
                                              : row.inControllerSet == 0 && row.inFlowSet == 0;
        if (may && OnEditedFlow(row)) {
            found = &row;
            break;
        }
    }
    if (found == nullptr)
        return false;
    SfpParamRow& row = *found;
    if (row.byteCount > 1) {
        const bool written = SetNewParameterValue(physical, row.readRegister, row.value, row.byteCount, row.cmdId);
        SfpLink::PollSfpStatus();
        InvalidateParameter(row, written);
        return true;
    }
    if (state == PageWrite::Idle) {
        if (controllerConfiguring == 0 || unlockAgain != 0) {
            if (!UnlockControllerPage(physical))
                return true;   // tried again on the next call
            unlockAgain = 0;
        }
        pageUnlocked = 1;
        return true;
    }
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
    const bool written = SetNewParameterValue(physical, reg, byte, 1, row.cmdId);
    SfpLink::PollSfpStatus();
    InvalidateParameter(row, written);
    pageWritten = 1;
    // A default firmware the module did not take is not shown as loaded.
    if (cmdId == COM_SFP_IP_FW_DEFAULT_ELEMENT && written) {
        savedFirmwareDefault = byte;
        firmwareDefaultCountdown = 1;
    } else {
        ArmWriteSettle();
    }
    return true;
}

void IpSfpManager::InvalidateParameter(SfpParamRow& row, bool log)
{
    // A written value is logged once, from the control that held it; its
    // flow's mirrors lose the edit colour.
    const unsigned shown = row.pending == kPendingSecond ? row.secondCmdId : row.cmdId;
    const ShownFlowGuard flow(&row, shown);
    if (SFPLogger* logger = log ? SFPLogger::Instance() : nullptr; logger != nullptr && TheStore() != nullptr)
        logger->LogParameterChange(TheStore()->GetCmd(shown), row.logName, row.isAction != 0 ? 1 : 0,
                                   row.addressGroup, 0);
    row.value = -1;
    row.pending = 0;
    BusyGuard guard(busy);
    ClearEditColour(row.cmdId, true);
    // A video-standard field keeps its second control; the standard's colour is worked out afresh.
    if (OneOf(row.cmdId, kStandardCacheRows))
        lastStandardColour = -1;
    else if (row.secondCmdId != 0)
        ClearEditColour(row.secondCmdId, true);
    for (const auto& follower : followers_)
        follower->Update();
    RefreshClearedRow(row);
    if (TpStore* store = TheStore())
        store->SetVisible(kProgressBoxId, progressVisible_ != 0);
}

// What hangs on a row that went back to unread, by its control.
void IpSfpManager::RefreshClearedRow(const SfpParamRow& row)
{
    const unsigned id = row.cmdId;
    if (id == COM_SFP_IP_TX_FLOW_ENABLE)
        ClearEditColour(COM_SFP_IP_TX_OFF_ON, true);
    if (id == COM_SFP_IP_FLOW_DEFAULT) {
        ClearEditColour(COM_SFP_IP_DEFAULT_FLOW_BTN, true);
        SetQuiet(IpIds::kDefaultSettingsEnable, 0);
    }
    if (pageView_ != nullptr && id >= COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0A && id <= COM_SFP_IP_VID_SEQUENCE_ERRORS_0C0D)
        pageView_->ShowSequenceCounter();
    if (pageView_ != nullptr && id >= COM_SFP_IP_VID_SEQUENCE_ERRORS_0C19 && id <= COM_SFP_IP_VID_SEQUENCE_ERRORS_0C1C)
        pageView_->ShowVideoSequenceErrors();
    if (id >= COM_SFP_IP_FLOW_SSRC_ID1 && id <= COM_SFP_IP_FLOW_SSRC_ID4) {
        if (pageView_ != nullptr)
            pageView_->ShowSsrc();
        ClearEditColour(IpIds::kSsrcBoxes[IpFlow::State().secondFlowShown != 0 ? 1 : 0], true);
    }
    if (IpFlow::State().ipFeatures != 0) {
        const bool port = row.cmdId == COM_SFP_IP_DEST_UDP_PORT || row.cmdId == COM_SFP_IP_SRC_UDP_PORT;
        const uint16_t mirror = port                                   ? FlowPortControl(row.cmdId)
                                : OneOf(row.cmdId, kMirrorClearedRows) ? FlowValueControl()
                                                                       : 0;
        if (mirror != 0)
            ClearEditColour(mirror, true);
    }
}

void IpSfpManager::InvalidateAllParameters()
{
    for (SfpParamRow& row : SfpParamTable::Instance().Rows())
        if (row.value != -1 || row.pending != 0)
            InvalidateParameter(row);
}

void IpSfpManager::ResetPageState()
{
    audioSubStep = -1;
    encMapStep = -1;
    SetQuiet(IpIds::kDefaultSettingsEnable, 0);
    if (ValueOf(COM_SFP_TAB_SELECT) != 6)
        SfpLink::State().decapMapStep = 0;
    if (skipNextReset != 0) {
        skipNextReset = 0;
        return;
    }
    InvalidateAllParameters();
    SetQuiet(COM_SFP_IP_FLOW_SEL, 0);
    ptpView = 0;
    ptpWait = -1;
}

void IpSfpManager::ResetOnModuleChange()
{
    rememberedTab = 7;
    modulePresent = moduleReady = 0;
    firmwareWarning = -1;
    InvalidateAllParameters();
}

void IpSfpManager::OnParameterEdited(TpCommand* control)
{
    if (control == nullptr)
        return;
    const unsigned cmdId = control->CmdId();
    SfpParamRow* row = SfpParamTable::Instance().Find(cmdId);
    TpStore* store = TheStore();
    if (row == nullptr || store == nullptr)
        return;
    if (IpFlow::State().ipFeatures != 0 && OneOf(row->cmdId, IpIds::kMirroredEdits))
        if (const uint16_t mirror = FlowValueControl(); mirror != 0) {
            SetQuiet(mirror, control->GetValue());
            MarkEdited(mirror, kOrange);
        }
    if (row->page == SfpPageNumber(SfpLogicalPage::PtpPg)) {
        if (!IsPtpViewLocked()) {
            ptpView = cmdId == row->cmdId ? 1 : 2;
            BusyGuard guard(busy);
            EnablePtpView(ptpView == 1, false);
        } else {
            ptpWait = 0;
        }
    }
    if (row->inControllerSet != 0 && monitorPending == 0 && pageView_ != nullptr)
        pageView_->ShowSubnetNote();
    if (row->inControllerSet != 0 && controllerConfiguring == 0)
        store->SetEnabled(COM_SFP_IP_MANAGEMENT_IP_APPLY_BTN, true);
    if (row->inFlowSet != 0 && flowConfiguring == 0)
        store->SetEnabled(COM_SFP_IP_FLOWS_IP_APPLY_BTN, true);
    if (CountKnownParameters().all == 0 && progressShown == 0)
        lastPendingPage = row->page;
    else if (secondPendingPage == 0 && row->page != lastPendingPage)
        secondPendingPage = row->page;
    row->value = control->GetValue();
    row->pending = cmdId == row->secondCmdId && cmdId != row->cmdId ? kPendingSecond : 1;
    MarkEdited(cmdId, kOrange);
    if (row->cmdId == COM_SFP_IP_DEST_UDP_PORT || row->cmdId == COM_SFP_IP_SRC_UDP_PORT) {
        if (const uint16_t mirror = FlowPortControl(row->cmdId); mirror != 0) {
            SetQuiet(mirror, control->GetValue());
            MarkEdited(mirror, kOrange);
        }
    } else if (cmdId == COM_SFP_IP_TX_FLOW_ENABLE) {
        MarkEdited(COM_SFP_IP_TX_OFF_ON, kOrange);
    }
    if (cmdId == COM_SFP_IP_DHCP_OFF)
        row->value = 0;
    else if (cmdId >= kMapSlotFirst && cmdId <= kMapSlotLast && row->value > 3)
        row->value = 255;
    for (size_t i = 0; i < std::size(kOneBitIds); ++i)
        if (cmdId == kOneBitIds[i])
            row->value = 1 << i;
    // The DHCP pair: an edit of one side drops the other's.
    const unsigned partner = cmdId == COM_SFP_IP_DHCP_OFF ? COM_SFP_IP_DHCP
                             : cmdId == COM_SFP_IP_DHCP   ? COM_SFP_IP_DHCP_OFF
                                                          : 0;
    if (SfpParamRow* other = partner != 0 ? SfpParamTable::Instance().Find(partner) : nullptr;
        other != nullptr && other->value != -1)
        InvalidateParameter(*other);
    for (const auto& follower : followers_)
        follower->Update();
}

void IpSfpManager::RestoreEditedValues(bool controllerSet)
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
void IpSfpManager::RestoreShownValue(SfpParamRow& row)
{
    const bool second = row.pending == kPendingSecond;
    const unsigned edited = second ? row.secondCmdId : row.cmdId;
    if (const int32_t shown = row.shown[second ? 1 : 0]; shown != -1) {
        const ShownFlowGuard flow(&row, edited);
        SetQuiet(edited, shown);
        if (row.cmdId == COM_SFP_IP_DEST_UDP_PORT || row.cmdId == COM_SFP_IP_SRC_UDP_PORT)
            if (const uint16_t mirror = FlowPortControl(row.cmdId); mirror != 0)
                SetQuiet(mirror, shown);
    }
    InvalidateParameter(row);
}

// The MAC bytes of the flow on screen against its destination: for a
// multicast address (224-239) each byte not being edited is red when it
// differs from the address's multicast MAC, else black; for a unicast
// address no byte stays red.
void IpSfpManager::CheckMulticastMac()
{
    TpStore* store = TheStore();
    if (store == nullptr || IpFlow::State().ipFeatures == 0)
        return;
    const bool second = IpFlow::State().secondFlowShown != 0;
    const auto& dest = second ? IpIds::kFlowDestSecondBytes : IpIds::kFlowDestBytes;
    const auto& mac = second ? IpIds::kFlowMacSecondBytes : IpIds::kFlowMacBytes;
    const int32_t first = ValueOf(dest[3]);   // byte 4 is the first dotted octet
    const bool multicast = first >= 224 && first <= 239;
    // MAC byte 1 (the most significant, mac[5]) first.
    const int32_t expected[6] = {0x01, 0x00, 0x5E, ValueOf(dest[2]) & 0x7F, ValueOf(dest[1]) & 0xFF,
                                 ValueOf(dest[0]) & 0xFF};
    BusyGuard guard(busy);
    for (size_t i = 0; i < 6; ++i) {
        const unsigned id = mac[5 - i];
        const uint32_t colour = ColourOf(id);
        if (multicast && colour != kOrange)
            store->SetColour(id, (ValueOf(id) & 0xFF) == expected[i] ? 0 : kRed);
        else if (!multicast && colour == kRed)
            store->SetColour(id, 0);
    }
}

void IpSfpManager::ApplyLayout(std::span<const IpIds::LayoutRow> rows, bool decap, bool is2110)
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

void IpSfpManager::ApplyModeLayout()
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
    const IpFlowState& flow = IpFlow::State();
    const bool is2110 = flow.active2110 != 0;
    const bool decap = flow.ipModuleMode == 1;
    BusyGuard guard(busy);
    ApplyLayout(IpIds::kLayoutFirst, decap, is2110);
    DisableSfpTabs();
    ApplyLayout(IpIds::kLayoutAll, decap, is2110);
    for (uint16_t list : IpIds::kNoItem4Lists)
        store->SetItemEnabled(list, 4, false);
    ApplyLayout(is2110 ? std::span<const IpIds::LayoutRow>(IpIds::kLayout2110) : IpIds::kLayout2022, decap, is2110);
    store->SetItemEnabled(COM_SFP_TAB_SELECT, 1, moduleIdentified != 0);
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
    ShowAudioFlowSummary();
    ApplyLayout(IpIds::kLayoutLast, decap, is2110);
    if (moduleReady == 0) {
        ShowIpBooting();
        return;
    }
    const Title& t = kTitles[is2110 ? 1 : 0][decap ? 1 : 0];
    store->SetText(COM_SFP_IP_MAIN_TITLE, t.title);
    store->SetText(COM_SFP_IP_TOP_TITLE, t.shortTitle);
}

bool IpSfpManager::UpdateProgressBox()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return false;
    if (focusResetPending != 0) {
        ResetConfigureFocus();
        focusResetPending = 0;
    }
    bool reading = modulePresent == 0 || moduleReady == 0;
    for (const SfpPageEntry& e : SfpLink::State().pageTable)
        reading = reading || (e.page != 0 && e.loaded == 0);
    reading = reading || (currentPage == SfpPageNumber(SfpLogicalPage::ProgramPg) &&
                          ValueOf(COM_SFP_TAB_SELECT) == IpIds::kTabSetup);
    bool transmitOn = false;
    {
        BusyGuard guard(busy);
        const uint32_t remain = ShowProgressText(reading);
        transmitOn = EndConfigures();
        ReopenFlowList();
        monitorPending = 0;
        EnableOutsideSets(true);
        if (!reading && remain == 0)
            CloseProgressDialogs();
        const bool resetsAllowed = !reading && firmwareWarning == -1 && firmwareWarningState == -1;
        store->SetEnabled(COM_SFP_IP_FACT_RESET1, resetsAllowed);
        store->SetEnabled(COM_SFP_IP_FACT_RESET2, resetsAllowed);
        if (!reading && lastProgressBusy != 0)
            focusResetPending = 1;
        lastProgressBusy = reading ? 1 : 0;
    }
    // Outside busy: the change handler passes the switch on to the module.
    if (transmitOn)
        store->SetValue(COM_SFP_IP_TX_OFF_ON, 1);
    return reading;
}

uint32_t IpSfpManager::ShowProgressText(bool reading)
{
    TpStore& store = *TheStore();
    const SfpParamCounts counts = CountKnownParameters();
    const uint32_t remain = counts.controller + counts.flow;
    if (reading) {
        if (ValueOf(COM_SFP_IP_MONITOR_SEL) == 7)
            monitorPending = 1;
        store.SetText(kProgressBoxId, (configuring != 0 ? "Configure SFP " : "Reading SFP ") + SpinnerText());
        progressShown = 1;
        progressStep = 1;
    } else if (remain > 0) {
        char text[32];
        std::snprintf(text, sizeof text, "Remain:%d Param", static_cast<int>(remain));
        store.SetText(kProgressBoxId, std::string(text) + " " + SpinnerText());
        progressShown = 1;
        progressStep = 1;
    } else if (busyCountdown == -1) {
        store.SetText(kProgressBoxId, "");
    } else {
        progressShown = 1;
        progressStep = 1;
        ShowBusy();
    }
    return remain;
}

bool IpSfpManager::EndConfigures()
{
    const SfpParamCounts after = CountKnownParameters();
    if (controllerConfiguring != 0 && after.controller == 0) {
        CommitControllerPage(SfpPageNumber(SfpLogicalPage::ContrPg));
        controllerConfiguring = 0;
        pageUnlocked = pageWritten = 0;   // that commit closed the page: one commit a configure
    }
    if (flowConfiguring == 0 || after.flow != 0)
        return false;
    flowConfiguring = 0;
    const bool transmitOn = txRestorePending != 0 && IsEncapsulating();
    txRestorePending = 0;
    return transmitOn;
}

void IpSfpManager::ReopenFlowList()
{
    if (CountKnownParameters().all != 0 || flowListReopen == 0)
        return;
    flowListReopen = 0;
    const int32_t tab = ValueOf(COM_SFP_TAB_SELECT);
    if (IsEncapsulating() && tab == IpIds::kTabAudio) {
        audioSubStep = 0;
    } else if (IsEncapsulating() && tab == IpIds::kTabAudioMap) {
        // The encoder map steps start again on the map page.
        DebugChatty("\n)))CloseReset\n");
        encMapStep = 0;
        ChangePage(SfpPageNumber(SfpLogicalPage::EncAudMapPg));
        pageBlocked = 1;
    }
}

// A configure (a firmware change) is done only once its own edits are written too.
void IpSfpManager::CloseProgressDialogs()
{
    if (monitorPending != 0 || (configuring != 0 && CountKnownParameters().other != 0))
        return;
    if (configuring != 0 && OpenDialog(SubDialog::Configure) != nullptr)
        if (SFPLogger* logger = SFPLogger::Instance())
            logger->LogModuleActionDone();
    configuring = 0;
    CloseSub(SubDialog::Configure);
    CloseSub(SubDialog::Reading);
}

void IpSfpManager::UpdateBusyIndicator()
{
    UpdateProgressBox();
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    if (progressShown != 0) {
        store->SetVisible(kProgressBoxId, true);
        progressVisible_ = 1;
        if (--progressStep >= 0)   // one status poll a tick, however much the countdown holds
            SfpLink::PollSfpStatus();
        progressStep = 0;
        progressShown = 0;
    } else if (progressVisible_ != 0) {
        store->SetVisible(kProgressBoxId, false);
        progressVisible_ = 0;
        ShowBusy();
    }
}
