#include "IpModulePages.h"
#include "IpBusy.h"
#include "IpControlOps.h"
#include "IpEditBook.h"
#include "IpFlowView.h"
#include "IpStoreAccess.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/params/SfpCompositePairs.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"

#include <utility>

namespace {

constexpr int kUnlockFailedLine = 12802;
constexpr int kCommitFailedLine = 12819;
constexpr int kParameterFailedLine = 12640;
constexpr int32_t kFirmwareDefaultEnd = 21;
constexpr int kSettlePolls = 2;

using IpStoreAccess::ValueOf;

// A selector below 0 (a list without a selection) counts as 0.
uint32_t Clamped(int32_t value) { return value < 0 ? 0u : static_cast<uint32_t>(value); }

uint8_t PageOf(uint32_t page) { return static_cast<uint8_t>(page & 0xFF); }

// A page of the ANC or audio flow blocks, which the flow and flow-index selectors choose.
bool IsFlowPage(uint8_t logical) { return logical >= SfpPageNumber(SfpLogicalPage::DecAncPg); }

} // namespace

uint8_t IpModulePages::MapLogicalPage(uint8_t logical) const
{
    return MapLogicalPage(logical, ValueOf(COM_SFP_IP_FLOW_SEL));
}

uint8_t IpModulePages::EditPage(const SfpParamRow& row, bool second) const
{
    const int32_t flow = second ? 1 : 0;
    if (row.page == SfpPageNumber(SfpLogicalPage::PtpPg))
        return static_cast<uint8_t>(kSfpPtpPageBase + flow);   // the first or the second view
    if (row.followsFlowPage == 0)
        return IsFlowPage(row.page) ? MapLogicalPage(row.page, flow) : MapLogicalPage(row.page, flow, false);
    const bool decap = flows_.IsDecapsulating();
    SfpLogicalPage page = SfpLogicalPage::FlowPg;
    switch (ValueOf(COM_SFP_TAB_SELECT)) {
    case IpIds::kTabAudio:
    case IpIds::kTabAudioMap: page = decap ? SfpLogicalPage::DecAudioPg : SfpLogicalPage::EncAudioPg; break;
    case IpIds::kTabAnc: page = decap ? SfpLogicalPage::DecAncPg : SfpLogicalPage::EncAncPg; break;
    default: break;
    }
    return MapLogicalPage(SfpPageNumber(page), flow);
}

uint8_t IpModulePages::MapLogicalPage(uint8_t logical, int32_t flow, bool mapOverride) const
{
    const bool secondFlow = flow == 1;
    uint32_t page = logical;
    switch (static_cast<SfpLogicalPage>(logical)) {
    case SfpLogicalPage::EncAudioPg:
    case SfpLogicalPage::DecAudioPg:
        page = (secondFlow ? kSfpSecondFlowAudioPageBase : kSfpAudioPageBase) +
               Clamped(ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL));
        break;
    case SfpLogicalPage::DecAncPg:
    case SfpLogicalPage::EncAncPg:
        page = kSfpAncPageBase + (secondFlow ? 1u : 0u) + Clamped(ValueOf(COM_SFP_IP_ANC_FLOW_SEL));
        break;
    case SfpLogicalPage::PtpPg: page = kSfpPtpPageBase + Clamped(ValueOf(COM_SFP_IP_PTP_SEL)); break;
    case SfpLogicalPage::BlockEPg: page = kSfpBlockEPageBase + Clamped(ValueOf(COM_SFP_IP_BLOCK_E_SEL)); break;
    case SfpLogicalPage::FlowPg: page = kSfpFlowPageBase + Clamped(flow); break;
    default: break;
    }
    // While the sequencer reads a decapsulated audio map, every page of the
    // "Audio Map" tab is the audio flow's (a list without a selection counts
    // as flow 0, as above); the pages of the other tabs keep their own.
    if (mapOverride && audioFlowPagesOnly != 0 && flows_.IsDecapsulating() &&
        ValueOf(COM_SFP_TAB_SELECT) == IpIds::kTabAudioMap)
        page = kSfpAudioPageBase + Clamped(ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL));
    return PageOf(page);
}

bool IpModulePages::ChangePage(uint8_t logical)
{
    if (logical == requestedPage) {
        SfpLink::PollSfpStatus();
        return true;
    }
    const uint8_t physical = MapLogicalPage(logical);
    // The per-flow rows sit on the page being selected when it is a flow page
    // (decapsulation output, ANC or audio), else on the video flow page.
    const bool flowTypePage = logical == SfpPageNumber(SfpLogicalPage::DecOutpg) ||
                              logical >= SfpPageNumber(SfpLogicalPage::DecAncPg);
    const uint8_t flowRowsPage = flowTypePage ? logical : SfpPageNumber(SfpLogicalPage::FlowPg);
    for (SfpParamRow& row : SfpParamTable::Instance().Rows()) {
        if (row.followsFlowPage != 0)
            row.page = flowRowsPage;
    }
    pageBlocked = 1;
    SfpLink::PollSfpStatus();
    if (SfpLink::RequestPage(physical))
        requestedPage = logical;
    writeMark = 0;
    return false;
}

void IpModulePages::SelectPageAfresh(uint8_t logical)
{
    requestedPage = 0;
    ChangePage(logical);
}

bool IpModulePages::SelectWhenIdle(uint8_t logical)
{
    if (logical != requestedPage) {
        SfpLink::PollSfpStatus();
        if (!SfpLink::Idle())
            return false;
    }
    ChangePage(logical);
    return IsSettledOn(logical);
}

bool IpModulePages::FollowSelector(unsigned selectorId, int32_t value)
{
    const bool decap = flows_.IsDecapsulating();
    const auto follow = [&](std::optional<int32_t>& recorded, int32_t key, SfpLogicalPage page) {
        if (recorded == key)
            return false;
        recorded = key;
        SelectPageAfresh(SfpPageNumber(page));
        return true;
    };
    switch (selectorId) {
    case COM_SFP_IP_AUDIO_FLOW_SEL:
        return follow(recordedAudioFlow, value, decap ? SfpLogicalPage::DecAudioPg : SfpLogicalPage::EncAudioPg);
    case COM_SFP_IP_FLOW_SEL: {
        // The page depends on the flow type too: a new tab selects afresh.
        const int32_t type = ValueOf(COM_SFP_TAB_SELECT);
        const std::pair key {value, type};
        if (recordedFlowSelector == key || !flows_.IpFeatures() || pageWriteHeld != 0)
            return false;
        recordedFlowSelector = key;
        if (type == IpIds::kTabAudio && mapPageHeld != 0)
            return false;
        if (type == IpIds::kTabVideo)
            SelectPageAfresh(SfpPageNumber(SfpLogicalPage::FlowPg));
        else if (type == IpIds::kTabAudio)
            SelectPageAfresh(SfpPageNumber(decap ? SfpLogicalPage::DecAudioPg : SfpLogicalPage::EncAudioPg));
        else if (type == IpIds::kTabAnc)
            SelectPageAfresh(SfpPageNumber(decap ? SfpLogicalPage::DecAncPg : SfpLogicalPage::EncAncPg));
        return true;
    }
    case COM_SFP_IP_BLOCK_E_SEL: return follow(recordedBlockE, value, SfpLogicalPage::BlockEPg);
    case COM_SFP_IP_PTP_SEL: return follow(recordedPtpView, value, SfpLogicalPage::PtpPg);
    default:   // the ANC index
        return follow(recordedAncFlow, value, decap ? SfpLogicalPage::DecAncPg : SfpLogicalPage::EncAncPg);
    }
}

void IpModulePages::ForgetSelectorPages()
{
    recordedFlowSelector.reset();
    recordedAudioFlow = recordedAncFlow = recordedPtpView = recordedBlockE = std::nullopt;
}

void IpModulePages::SettleRequested()
{
    SfpLink::PollSfpStatus();
    if (SfpLink::Idle()) {
        currentPage = requestedPage;
        pageBlocked = 0;
    } else {
        pageBlocked = 1;
    }
}

bool IpModulePages::SettleOn(uint8_t logical)
{
    for (int polls = 0; polls < kSettlePolls && requestedPage == logical && writeMark == -1 && !IsSettledOn(logical);
         ++polls)
        SettleRequested();
    return IsSettledOn(logical);
}

void IpModulePages::Settle()
{
    if (pageBlocked != 0 || currentPage != requestedPage)
        SettleRequested();
}

bool IpModulePages::UnlockControllerPage(uint8_t page)
{
    const uint8_t command = page == SfpPageNumber(SfpLogicalPage::EncAudMapPg) ? kSfpUnlockAudioMapPage : kSfpUnlockPage;
    const bool ok = SfpLink::WriteByte(page, kSfpCommandRegister, command);
    if (!ok)
        DebugPrintf("UnlockControllerPage 0x%02X Failed. Line %d\n", page, kUnlockFailedLine);
    SfpLink::PollSfpStatus();
    return ok;
}

bool IpModulePages::CommitControllerPage(uint8_t page)
{
    const bool ok = SfpLink::WriteByte(page, kSfpCommandRegister, kSfpCommitPage);
    if (!ok)
        DebugPrintf("CommitControllerPage 0x%02X Failed. Line %d\n", page, kCommitFailedLine);
    SfpLink::PollSfpStatus();
    return ok;
}

bool IpModulePages::SetNewParameterValue(uint8_t page, uint8_t reg, int32_t value, uint32_t byteCount,
                                         uint16_t cmdId)
{
    if (byteCount == 1) {
        if (SfpLink::WriteByte(page, reg, static_cast<uint8_t>(value & 0xFF)))
            return true;
        DebugPrintf("SFP ERROR SetNewParameterValue Page 0x%02X failed on line %d\n", page, kParameterFailedLine);
        return false;
    }
    if (byteCount == 2) {
        if (const SfpCompositePair* pair = FindSfpCompositePair(cmdId))
            return SplitOverPair(*pair, value, page);
        if (reg == 0xFF) {
            DebugPrintf("SFP ERROR SetNewParameterValue Page 0x%02X: no register after 0x%02X\n", page, reg);
            return false;
        }
        const uint8_t bytes[2] = {static_cast<uint8_t>((value >> 8) & 0xFF), static_cast<uint8_t>(value & 0xFF)};
        for (int i = 0; i < 2; ++i) {
            if (!SfpLink::WriteByte(page, static_cast<uint8_t>(reg + i), bytes[i])) {
                DebugPrintf("SFP ERROR SetNewParameterValue Page 0x%02X failed on line %d\n", page,
                            kParameterFailedLine);
                return false;
            }
        }
        return true;
    }
    DebugPrintf("SFP ERROR SetNewParameterValue Page 0x%02X: a %u-byte value (0x%04X) cannot be written\n", page,
                byteCount, cmdId);
    return false;
}

bool IpModulePages::ServiceWriteSettle()
{
    if (busyCountdown == -1)
        return false;
    const int32_t remaining = busyCountdown - (firmwareDefaultCountdown != 0 ? 2 : 1);
    if (remaining > 0)
        SfpLink::PollSfpStatus();
    busyCountdown = -1;
    return false;
}

// The write's own call leaves it at 2; the 20th call after that ends it.
bool IpModulePages::StepFirmwareDefault()
{
    if (firmwareDefaultCountdown < kFirmwareDefaultEnd) {
        ++firmwareDefaultCountdown;
        return false;
    }
    firmwareDefaultCountdown = 0;
    return true;
}

// The whole value goes to the page it was written for: each byte control is
// set when it differs, and each byte is booked for that page unless the page
// was read holding it and no other value waits for it there (another page's
// value may be what the control shows).
bool IpModulePages::SplitOverPair(const SfpCompositePair& pair, int32_t value, uint8_t page)
{
    TpStore* store = TpStore::Instance();
    if (store == nullptr || store->GetCmd(pair.high) == nullptr || store->GetCmd(pair.low) == nullptr)
        return false;
    int32_t high = (value >> 8) & 0xFF;
    if (pair.bits == 12)
        high = (store->GetValue(pair.high) & 0xF0) | ((value >> 8) & 0x0F);
    SetPairByte(pair.high, high, page);
    SetPairByte(pair.low, value & 0xFF, page);
    return true;
}

void IpModulePages::SetPairByte(uint16_t cmdId, int32_t byte, uint8_t page)
{
    const bool changed = IpStoreAccess::ValueOf(cmdId) != byte;
    if (changed) {
        busy_.SetQuiet(cmdId, byte);
        IpControlOps::MarkEdited(cmdId);
    }
    const SfpParamRow* row = SfpParamTable::Instance().Find(cmdId);
    if (row == nullptr || row->byteCount == 0)
        return;
    if (changed || !edits_.PageHolds(*row, page, byte))
        edits_.BookApplied(*row, page, false, byte);
}
