#include "IpConfigurePass.h"
#include "IpControlOps.h"
#include "IpControlTree.h"
#include "IpEditBook.h"
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

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <utility>
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

// The SSRC's bytes, whose texts are built from all four.
constexpr uint16_t kSsrcRows[] = {COM_SFP_IP_FLOW_SSRC_ID1, COM_SFP_IP_FLOW_SSRC_ID2, COM_SFP_IP_FLOW_SSRC_ID3,
                                  COM_SFP_IP_FLOW_SSRC_ID4};
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
                                 IpEditBook& edits, IpPageView* const& pageView)
    : busy_(busy), flows_(flows), pages_(pages), controls_(controls), edits_(edits), pageView_(pageView)
{
}

// --- reading and writing rows ----------------------------------------------------------

// Whether the edit may be written now: an applied one; without the pages only
// one of a row of neither set. A DHCP row first brings the IGMP toggle into
// line.
bool IpConfigurePass::MayWrite(const SfpParamRow& row, const IpEdit& edit) const
{
    if (edit.state != IpEditState::Applied)
        return false;
    if (pageView_ == nullptr)
        return row.inControllerSet == 0 && row.inFlowSet == 0;
    if (row.cmdId == COM_SFP_IP_DHCP || row.cmdId == COM_SFP_IP_DHCP_OFF)
        pageView_->HandleToggleCommand(row.cmdId);
    return true;
}

// The row on the page now mapped for it: an edit waiting for that page is
// written when it may be, else shown and not read over (the page update
// writes an always-read row's); without one the row is read.
bool IpConfigurePass::ProcessParameterRow(SfpParamRow& row, bool& wrote)
{
    if (row.byteCount == 0)
        return true;
    const uint8_t page = pages_.MapLogicalPage(row.page);
    if (const IpEdit* waiting = edits_.Find(row, page)) {
        const IpEdit edit = *waiting;   // the write drops it from the book
        if (row.alwaysAccess != 0 || !MayWrite(row, edit)) {
            ShowWaitingEdit(row, edit);
            return true;
        }
        if (row.mask != 0)
            return ProcessBitRow(row, page, &edit, wrote);
        return WriteWholeRow(row, page, edit, wrote);
    }
    return row.mask != 0 ? ProcessBitRow(row, page, nullptr, wrote) : ReadWholeRow(row, page);
}

bool IpConfigurePass::WriteWholeRow(SfpParamRow& row, uint8_t page, const IpEdit& edit, bool& wrote)
{
    const uint8_t reg = row.writeRegister != 0 ? row.writeRegister : row.readRegister;
    SfpLink::PollSfpStatus();
    const bool written = pages_.SetNewParameterValue(page, reg, edit.value, row.byteCount, row.cmdId);
    SfpLink::PollSfpStatus();
    wrote = true;
    EditDone(row, edit, written);   // a failed write is read back, not logged
    pages_.ArmWriteSettle();
    return true;
}

bool IpConfigurePass::ReadWholeRow(SfpParamRow& row, uint8_t page)
{
    std::array<uint8_t, SfpParamTable::kMaxByteCount> bytes {};
    size_t count = 0;
    if (!ReadSfpParamBytes(row, bytes.data(), bytes.size(), count))
        return false;
    ShowRead(row, page, bytes.data(), count, false);
    return true;
}

// A masked row: its field read and shown, or the edit's field written into
// the byte read (the neighbouring bits kept). An edit that clears the field
// only where it is set writes nothing where it is clear.
bool IpConfigurePass::ProcessBitRow(SfpParamRow& row, uint8_t page, const IpEdit* edit, bool& wrote)
{
    SfpLink::PollSfpStatus();
    uint8_t old = 0;
    if (sfp_read_byte(row.readRegister, &old) == 0) {
        if (edit == nullptr)
            return false;
        EditDone(row, *edit, false);   // nothing was written
        pages_.ArmWriteSettle();
        return true;
    }
    const uint8_t field = SfpParamField(row, old);
    const bool alreadyClear = edit != nullptr && edit->onlyIfSet != 0 && field == 0;
    if (alreadyClear)
        edits_.Drop(row, page, edit->state);
    else if (edit != nullptr && edit->onlyIfSet != 0)
        edits_.NoteTransmitOff(page);
    if (edit == nullptr || alreadyClear) {
        ShowRead(row, page, &field, 1, (old & row.mask) != 0);
        return true;
    }
    uint8_t byte = WithField(old, row, edit->value);
    if (IpIds::Contains(kResetMarkedIds, row.cmdId))
        byte |= 0x01;
    if (!IpIds::Contains(kNoWroteFlagIds, row.cmdId))
        wrote = true;
    const bool written = pages_.SetNewParameterValue(page, row.readRegister, byte, 1, row.cmdId);
    SfpLink::PollSfpStatus();
    EditDone(row, *edit, written);
    pages_.ArmWriteSettle();
    return true;
}

// A value read: shown and kept as what the page holds. The control that shows
// it now shows that page: an edit colour left from another page's edit, or
// the unread look, goes.
void IpConfigurePass::ShowRead(SfpParamRow& row, uint8_t page, const uint8_t* bytes, size_t count, bool nonzero)
{
    const unsigned shown = pageView_ != nullptr ? pageView_->DisplayParameterValue(row, bytes, count, nonzero) : 0;
    if (uint32_t number = 0; SfpParamFieldValue(row, bytes, count, number))
        edits_.NoteRead(row, page, static_cast<int32_t>(number));
    if (shown == 0)
        return;
    edits_.NoteShown(shown, page);
    if (const uint32_t colour = ColourOf(shown); colour == Colour::kGrey || colour == Colour::kOrange) {
        ClearEditColour(shown, true);
        ClearMirrorColour(row.cmdId);
    }
}

// An edit that waits for the page being read shows in the control it was made
// in, when that control shows another page's value.
void IpConfigurePass::ShowWaitingEdit(const SfpParamRow& row, const IpEdit& edit)
{
    const unsigned control = edit.Control(row);
    if (edits_.ShownPage(control) == edit.page || row.mask != 0 || row.byteCount > 4)
        return;
    // The texts built from it are the manager's own: no edit of another page.
    const BusyGuard guard = busy_.Hold();
    ShowPage(row, control, edit.page);
}

// The control shows the page: its value and look for that page set quietly,
// and the texts built from it (the dotted address, the SSRC box) rebuilt for
// the flow the control belongs to.
void IpConfigurePass::ShowPage(const SfpParamRow& row, unsigned control, uint8_t page)
{
    ColourPageLook(row, control, SetPageValue(row, control, page));
    edits_.NoteShown(control, page);
    const IpFlowView::ShownFlowGuard flow(flows_, &row, control);
    controls_.UpdateFollowers();
    if (pageView_ != nullptr && IpIds::Contains(kSsrcRows, row.cmdId))
        pageView_->ShowSsrc();
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

bool IpConfigurePass::StepPageWrite(uint8_t selected, IpPageWrite write)
{
    bool result = false;
    if (pages_.SettleOn(selected))
        result = WriteStepOnPage(write.rows, write.page != 0 ? write.page : pages_.MapLogicalPage(write.rows));
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

bool IpConfigurePass::WriteStepOnPage(uint8_t logical, uint8_t physical)
{
    // A write under way is committed on the page it was unlocked for only.
    // An unlock with nothing yet written under it gives way to this page's
    // write, and ends once no edit is left for its page: an edit still left
    // unlocks it again when its page is shown.
    if (pageUnlocked != 0 && writePage != physical) {
        const IpEdit* next = nullptr;
        if (pageWritten != 0 || (edits_.AppliedOn(writePage) && NextRowToWrite(logical, physical, next) == nullptr))
            return false;
        EndPageWrite();
    }
    const PageWrite state = pageUnlocked == 0 ? PageWrite::Idle
                            : pageWritten == 0 ? PageWrite::Unlocked
                                               : PageWrite::Written;
    // A controller configure keeps the controller page open until its end;
    // any other page is unlocked and committed around its own writes.
    const bool heldOpen = controllerConfiguring != 0 && physical == SfpPageNumber(SfpLogicalPage::ContrPg);
    if (state == PageWrite::Written) {
        pageUnlocked = pageWritten = 0;
        if (!heldOpen)
            pages_.CommitControllerPage(physical);
        return true;
    }
    const IpEdit* waiting = nullptr;
    SfpParamRow* row = NextRowToWrite(logical, physical, waiting);
    if (row == nullptr)
        return false;
    const IpEdit edit = *waiting;
    if (row->byteCount > 1) {
        const bool written =
            pages_.SetNewParameterValue(physical, row->readRegister, edit.value, row->byteCount, row->cmdId);
        SfpLink::PollSfpStatus();
        EditDone(*row, edit, written);
        return true;
    }
    if (state == PageWrite::Idle) {
        if (!heldOpen || unlockAgain != 0) {
            if (!pages_.UnlockControllerPage(physical))
                return true;   // tried again on the next call
            if (heldOpen)
                unlockAgain = 0;
        }
        pageUnlocked = 1;
        writePage = physical;
        writeRows = logical;
        return true;
    }
    WriteRowByte(*row, edit, physical);
    return true;
}

// The page's first always-read row with an edit for the physical page that may be written now.
SfpParamRow* IpConfigurePass::NextRowToWrite(uint8_t logical, uint8_t physical, const IpEdit*& edit) const
{
    for (SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.page != logical || row.alwaysAccess == 0)
            continue;
        if (const IpEdit* waiting = edits_.Find(row, physical); waiting != nullptr && MayWrite(row, *waiting)) {
            edit = waiting;
            return &row;
        }
    }
    return nullptr;
}

void IpConfigurePass::WriteRowByte(SfpParamRow& row, const IpEdit& edit, uint8_t physical)
{
    const uint8_t reg = row.writeRegister != 0 ? row.writeRegister : row.readRegister;
    uint8_t byte = static_cast<uint8_t>(edit.value & 0xFF);
    if (row.mask != 0) {
        uint8_t old = 0;
        if (sfp_read_byte(reg, &old) == 0)
            DebugPrintf("UpdateParametersByUnlockingPage ReadByte Failed.  Page 0x%02X Line %d\n", physical,
                        kReadFailedLine);
        byte = WithField(old, row, edit.value);
    }
    const unsigned cmdId = row.cmdId;
    const bool written = pages_.SetNewParameterValue(physical, reg, byte, 1, row.cmdId);
    SfpLink::PollSfpStatus();
    EditDone(row, edit, written);
    pageWritten = 1;
    // A default firmware the module did not take is not shown as loaded.
    if (cmdId == COM_SFP_IP_FW_DEFAULT_ELEMENT && written) {
        savedFirmwareDefault = byte;
        pages_.StartFirmwareDefault();
    } else {
        pages_.ArmWriteSettle();
    }
}

void IpConfigurePass::EndPageWrite()
{
    pageUnlocked = pageWritten = 0;
    writePage = writeRows = 0;
    if (controllerConfiguring != 0)
        unlockAgain = 1;
}

void IpConfigurePass::ForgetModule()
{
    EndPageWrite();
    controllerConfiguring = flowConfiguring = unlockAgain = txRestorePending = 0;
    InvalidateAllParameters();
    edits_.Clear();
}

// --- back to unread ------------------------------------------------------------------

// An edit written (or dropped): out of the book, its row unread. A value
// typed over it keeps its colour, and its Cancel then puts back what was
// written. A flow page whose transmit an Apply switched off gets it back once
// the last of its applied flow edits is written.
void IpConfigurePass::EditDone(SfpParamRow& row, const IpEdit& edit, bool log)
{
    edits_.Drop(row, edit.page, edit.state);
    ClearRow(row, edit.Control(row), log, true);
    if (const IpEdit* typed = edits_.Find(row, edit.page, IpEditState::Typed)) {
        if (log)
            edits_.NoteRead(row, edit.page, edit.value);
        if (const unsigned control = typed->Control(row); edits_.ShownPage(control) == edit.page)
            MarkEdited(control);
    }
    if (row.inFlowSet != 0 && !edits_.AppliedOn(edit.page, true) && edits_.TakeTransmitOff(edit.page))
        TransmitBackOn(edit.page);
}

void IpConfigurePass::TransmitBackOn(uint8_t page)
{
    if (const SfpParamRow* transmit = SfpParamTable::Instance().Find(COM_SFP_IP_TX_FLOW_ENABLE))
        edits_.BookApplied(*transmit, page, false, 1);
}

void IpConfigurePass::InvalidateParameter(SfpParamRow& row) { ClearRow(row, row.cmdId, false, false); }

void IpConfigurePass::DropEdits(SfpParamRow& row)
{
    edits_.DropAll(row);
    InvalidateParameter(row);
}

// The row unread and its controls (with onlyEdited the control edited) out of
// the edit colour; with log, the value written from the control edited goes
// to the SFP logger.
void IpConfigurePass::ClearRow(SfpParamRow& row, unsigned edited, bool log, bool onlyEdited)
{
    // A written value is logged once, from the control that held it; its
    // flow's mirrors lose the edit colour.
    const IpFlowView::ShownFlowGuard flow(flows_, &row, edited);
    if (SFPLogger* logger = log ? SFPLogger::Instance() : nullptr; logger != nullptr && TheStore() != nullptr)
        logger->LogParameterChange(TheStore()->GetCmd(edited), row.logName, row.isAction != 0 ? 1 : 0,
                                   row.addressGroup, 0);
    row.value = -1;
    const BusyGuard guard = busy_.Hold();
    // A video-standard field keeps its second control; the standard's colour is worked out afresh.
    const bool standard = IpIds::Contains(kStandardCacheRows, row.cmdId);
    if (standard)
        controls_.ForgetStandardColour();
    for (const unsigned id : {unsigned {row.cmdId}, unsigned {row.secondCmdId}})
        if (id != 0 && (id == edited || (!onlyEdited && !standard)))
            ClearEditColour(id, true);
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
    if (IpIds::Contains(kSsrcRows, id)) {
        if (pageView_ != nullptr)
            pageView_->ShowSsrc();
        ClearEditColour(IpIds::kSsrcBoxes[flows_.SecondFlowShown() ? 1 : 0], true);
        // The label that mirrored the typed SSRC in orange, on whatever tab it
        // was typed: the edit is gone.
        if (const uint16_t label = flows_.TakeTypedSsrcLabel(flows_.SecondFlowShown()); label != 0)
            ClearEditColour(label, true);
    }
    ClearMirrorColour(id);
}

// The flow model's control that mirrors the row on the flow shown.
void IpConfigurePass::ClearMirrorColour(unsigned cmdId)
{
    if (!flows_.IpFeatures())
        return;
    const uint16_t mirror = IsPortRow(cmdId)                           ? flows_.FlowPortControl(cmdId)
                            : IpIds::Contains(kMirrorClearedRows, cmdId) ? flows_.FlowValueControl()
                                                                         : 0;
    if (mirror != 0)
        ClearEditColour(mirror, true);
}

void IpConfigurePass::InvalidateAllParameters()
{
    auto rows = SfpParamTable::Instance().Rows();
    std::vector<bool> edited(rows.size());
    for (const IpEdit& edit : edits_.Edits())
        edited[edit.row] = true;
    edits_.DropEdits();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].value != -1 || edited[i])
            InvalidateParameter(rows[i]);
    for (uint8_t page : edits_.TakeAllTransmitOff())
        TransmitBackOn(page);
}

void IpConfigurePass::RestoreEditedValues(bool controllerSet)
{
    std::vector<IpEdit> taken = edits_.TakeTyped(controllerSet ? IpEditSet::Controller : IpEditSet::Flow);
    // The edits their controls show last: what they put back stays.
    const auto rows = SfpParamTable::Instance().Rows();
    std::stable_partition(taken.begin(), taken.end(), [&](const IpEdit& e) {
        return edits_.ShownPage(e.Control(rows[e.row])) != e.page;
    });
    for (const IpEdit& edit : taken)
        RestoreShownValue(edit);
    if (!controllerSet)
        CheckMulticastMac();
}

// The row goes back to unread. Its edited control (and a port's mirror), when
// it shows the edit's page, shows what belongs to that page now: an applied
// edit still waiting for it, else what the page was read holding, else the
// unread look until the page is read.
void IpConfigurePass::RestoreShownValue(const IpEdit& edit)
{
    SfpParamRow* row = SfpParamTable::Instance().Row(edit.row);
    if (row == nullptr || TheStore() == nullptr)
        return;
    const unsigned edited = edit.Control(*row);
    const bool shows = edits_.ShownPage(edited) == edit.page;
    const PageLook look = shows ? SetPageValue(*row, edited, edit.page) : PageLook::Read;
    ClearRow(*row, edited, false, true);
    if (shows)
        ColourPageLook(*row, edited, look);
}

// The control (and a port's mirror) set quietly to the row's value for the
// page: its waiting edit (the one typed first), else the number the page was
// read holding, else the control's first value.
IpConfigurePass::PageLook IpConfigurePass::SetPageValue(const SfpParamRow& row, unsigned control, uint8_t page)
{
    const IpEdit* edit = edits_.Find(row, page, IpEditState::Typed);
    if (edit == nullptr)
        edit = edits_.Find(row, page, IpEditState::Applied);
    const std::optional<int32_t> read = edits_.LastRead(row, page);
    const TpCommandEntry* entry = TheStore()->Entry(control);
    const int32_t value =
        edit != nullptr ? edit->value : read.value_or(entry != nullptr ? entry->defaultValue : 0);
    const IpFlowView::ShownFlowGuard flow(flows_, &row, control);
    busy_.SetQuiet(control, value);
    if (IsPortRow(row.cmdId))
        if (const uint16_t mirror = flows_.FlowPortControl(row.cmdId); mirror != 0)
            busy_.SetQuiet(mirror, value);
    return edit != nullptr ? PageLook::Edit : read.has_value() ? PageLook::Read : PageLook::Unread;
}

void IpConfigurePass::ColourPageLook(const SfpParamRow& row, unsigned control, PageLook look)
{
    if (look == PageLook::Edit) {
        MarkEdited(control);
    } else if (look == PageLook::Unread) {
        SetColour(control, Colour::kGrey);   // until the page is read
    } else {
        ClearEditColour(control, true);
        ClearMirrorColour(row.cmdId);
    }
}

void IpConfigurePass::ShowSelectedPages()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return;
    const auto rows = SfpParamTable::Instance().Rows();
    std::vector<std::pair<size_t, unsigned>> moved;   // row, control
    for (const IpEdit& e : edits_.Edits()) {
        const SfpParamRow& row = rows[e.row];
        const unsigned control = e.Control(row);
        const bool itsPage = pages_.EditPage(row, e.second != 0) == e.page;
        // The control shows the edit and no longer its page, or shows another
        // page while the edit waits for its own (as a read would show it).
        const bool moves = edits_.ShownPage(control) == e.page
                               ? !itsPage && ColourOf(control) == Colour::kOrange
                               : itsPage && row.mask == 0;
        if (moves && row.byteCount <= 4 && std::ranges::find(moved, std::pair {size_t {e.row}, control}) == moved.end())
            moved.emplace_back(e.row, control);
    }
    const BusyGuard guard = busy_.Hold();
    for (const auto& [index, control] : moved) {
        SfpParamRow& row = rows[index];
        ShowPage(row, control, pages_.EditPage(row, IpEditBook::IsSecondControl(row, control)));
    }
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
    const auto rows = SfpParamTable::Instance().Rows();
    SfpParamCounts counts;
    for (const IpEdit& edit : edits_.Edits()) {
        const SfpParamRow& row = rows[edit.row];
        const bool applied = edit.state == IpEditState::Applied;
        ++counts.all;
        if (row.inControllerSet != 0 && applied)
            ++counts.controller;
        if (row.inFlowSet != 0 && applied)
            ++counts.flow;
        if (row.inControllerSet == 0 && row.inFlowSet == 0)
            ++counts.other;
    }
    return counts;
}

void IpConfigurePass::StartControllerConfigure()
{
    edits_.Apply(IpEditSet::Controller);
    controllerConfiguring = 1;
    unlockAgain = 1;
}

void IpConfigurePass::StartFlowConfigure(bool transmitOff)
{
    const std::vector<uint8_t> pages = edits_.Apply(IpEditSet::Flow);
    if (transmitOff) {
        txRestorePending = 1;
        transmitSet = -1;
        if (const SfpParamRow* transmit = SfpParamTable::Instance().Find(COM_SFP_IP_TX_FLOW_ENABLE))
            for (uint8_t page : pages)
                edits_.HoldTransmit(*transmit, page);
    }
    flowConfiguring = 1;
}

void IpConfigurePass::KeepTransmit(uint8_t page, int32_t value)
{
    if (flowConfiguring == 0)
        return;
    edits_.TakeTransmitOff(page);
    transmitSet = value;
}

std::optional<int32_t> IpConfigurePass::EndConfigures()
{
    const SfpParamCounts after = CountKnownParameters();
    // Committed once, on the controller page: while another page is on the
    // module the configure waits for it.
    const uint8_t controller = SfpPageNumber(SfpLogicalPage::ContrPg);
    if (controllerConfiguring != 0 && after.controller == 0 && pages_.IsSettledOn(controller)) {
        pages_.CommitControllerPage(controller);
        controllerConfiguring = 0;
        if (writePage == controller)
            EndPageWrite();   // that commit closed the page: one commit a configure
    }
    if (flowConfiguring == 0 || after.flow != 0)
        return std::nullopt;
    flowConfiguring = 0;
    const bool switchedOff = txRestorePending != 0 && flows_.IsEncapsulating();
    txRestorePending = 0;
    if (!switchedOff)
        return std::nullopt;
    return transmitSet != -1 ? transmitSet : 1;
}
