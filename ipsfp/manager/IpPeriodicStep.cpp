#include "IpPeriodicStep.h"
#include "IpBusy.h"
#include "IpEditBook.h"
#include "IpFlowView.h"
#include "IpModulePages.h"
#include "IpStoreAccess.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"

#include <iterator>

namespace {

using IpStoreAccess::StoreValue;
using IpStoreAccess::ValueOf;

constexpr uint16_t kResetMarkIds[] = {COM_SFP_IP_CONTR_HOSTNAME, IpIds::kWebAddressText, IpIds::kWebMaskText};

constexpr int32_t kStatusRefreshTicks = 4;
constexpr int32_t kCopyFlagTicks = 6;
constexpr int32_t kSecondCopyTicks = 11;
constexpr int kPowerOnStep = 10;
constexpr int kPowerCycleDone = 13;
constexpr uint8_t kPowerCycleIdle = 0xFF;

// Flow copy steps and phases.
constexpr int32_t kCopyAnnounce = 0;
constexpr int32_t kCopySelectMenu = 1;
constexpr int32_t kCopyCheckSource = 4;
constexpr int32_t kCopyAddress = 7;
constexpr int32_t kCopyApply = 11;
constexpr int32_t kCopySideDone = 20;
constexpr int32_t kPhaseVideo = 0, kPhaseAudio = 1, kPhaseAnc = 2, kPhaseDone = 3;
constexpr int32_t kLastAudioFlow = 7;
// Ticks a side waits for its page to be read, and then for its copy to be
// written, before it goes on without.
constexpr int32_t kCopyWaitTicks = 60;

// The controls the copy holds: the tab and every page selector, in the order
// of its held selection; and the ANC flow it copies.
constexpr uint16_t kHeldControls[] = {COM_SFP_TAB_SELECT,      COM_SFP_IP_FLOW_SEL, COM_SFP_IP_AUDIO_FLOW_SEL,
                                      COM_SFP_IP_ANC_FLOW_SEL, COM_SFP_IP_PTP_SEL,  COM_SFP_IP_BLOCK_E_SEL};
constexpr int32_t kCopiedAncFlow = 0;

} // namespace

void IpPeriodicStep::OnStatusTick()
{
    pages_.Settle();
    StepTimers();
    flows_.StepMenuSetup();
    pages_.EndTick();
    CheckAddressReset();
    StepFlowCopy();
}

// Only the first running timer is handled in a tick.
void IpPeriodicStep::StepTimers()
{
    if (statusRefreshTimer != -1) {
        if (flows_.ModuleReady() && ++statusRefreshTimer >= kStatusRefreshTicks) {
            statusRefreshTimer = -1;
            flows_.RefreshGeneratorStandard();
        }
        return;
    }
    if (copyFlagTimer != -1) {
        if (flowCopySideA == 0 && flowCopySideB == 0) {
            copyFlagTimer = -1;
        } else if (++copyFlagTimer >= kCopyFlagTicks) {
            copyFlagTimer = -1;
            SetCopySides(0, 0);
        }
        return;
    }
    if (secondCopyTimer != -1 && ++secondCopyTimer >= kSecondCopyTicks) {
        secondCopyTimer = -1;
        if (ValueOf(COM_SFP_TAB_SELECT) == 1) {
            DebugPrintf("\nSecond Copy\n");
            StoreValue(IpIds::kSecondCopy, 1);
        }
    }
}

// --- address checks -----------------------------------------------------------------------

void IpPeriodicStep::CheckAddressReset()
{
    if (addressReadCounter == addressReadHandled)
        return;
    addressReadHandled = addressReadCounter;
    // Groups 2 to 4: the web address, mask and gateway.
    std::array<bool, 3> equal {};
    for (size_t i = 0; i < addressCheck.size(); ++i) {
        const int32_t common = flows_.AddressGroupValue(static_cast<int>(i) + 2);
        equal[i] = common >= 0;
        addressCheck[i] = equal[i] ? static_cast<uint16_t>(common) : 0xFFFF;
    }
    if (equal[0])
        ShowResetMarks();
    const bool allEqual = equal[0] && equal[1] && equal[2];
    if (!allEqual)
        addressResetState = 0;
}

void IpPeriodicStep::ShowResetMarks()
{
    if (TpStore* store = TpStore::Instance())
        for (uint16_t id : kResetMarkIds)
            store->SetText(id, "RESET");
}

// --- the flow copy -----------------------------------------------------------------------------

void IpPeriodicStep::StartFlowCopy()
{
    pendingAction.step = pendingAction.flowCounter = pendingAction.side = 0;
    pendingAction.phase = kPhaseVideo;
    copyWait = 0;
    copyHoldsMenu = false;
    sidePage = 0;
}

std::optional<int32_t> IpPeriodicStep::HeldSelection(unsigned cmdId) const
{
    for (size_t i = 0; copyHoldsMenu && i < std::size(kHeldControls); ++i)
        if (kHeldControls[i] == cmdId)
            return heldSelection[i];
    return std::nullopt;
}

void IpPeriodicStep::Hold(unsigned cmdId, int32_t value)
{
    for (size_t i = 0; i < std::size(kHeldControls); ++i)
        if (kHeldControls[i] == cmdId)
            heldSelection[i] = value;
}

void IpPeriodicStep::HoldAndSelect(unsigned cmdId, int32_t value)
{
    Hold(cmdId, value);
    StoreValue(cmdId, value);
}

void IpPeriodicStep::SetCopySides(uint8_t a, uint8_t b)
{
    flowCopySideA = a;
    flowCopySideB = b;
}

void IpPeriodicStep::ResetCopySides()
{
    secondCopyTimer = -1;
    SetCopySides(0, 0);
}

void IpPeriodicStep::RestartCopySide()
{
    copyHoldsMenu = false;
    copyWait = 0;
    if (pendingAction.step > kCopySelectMenu)
        pendingAction.step = kCopySelectMenu;
}

void IpPeriodicStep::RetypeCopySource()
{
    if (pendingAction.step <= kCopyAddress || pendingAction.step > kCopyApply || sidePage == 0)
        return;
    ForgetUnreadSourceBytes();
    CopyManagementToSource();
}

bool IpPeriodicStep::SourceMatchesManagement(bool second)
{
    const auto& source = second ? IpIds::kFlowSrcSecondBytes : IpIds::kFlowSrcBytes;
    for (size_t i = 0; i < 4; ++i)
        if (ValueOf(IpIds::kMgmtIpBytes[i]) != ValueOf(source[i]))
            return false;
    return true;
}

void IpPeriodicStep::CopyManagementToSource()
{
    const auto& source = flowCopySideB != 0 ? IpIds::kFlowSrcSecondBytes : IpIds::kFlowSrcBytes;
    for (size_t i = 0; i < 4; ++i)
        StoreValue(source[i], ValueOf(IpIds::kMgmtIpBytes[i]));
}

// One step of a side: announce the phase, select its menu, skip a side that
// already has the address, copy it, press Apply. From its first selection the
// copy holds the menu's selection, so the page read and written is the side's
// own whatever a user or a client chooses meanwhile.
void IpPeriodicStep::StepFlowCopy()
{
    IpPendingAction& copy = pendingAction;
    if (copy.step == -1)
        return;
    if (copy.step >= kCopySideDone) {
        if (!AwaitSideWritten())
            EndCopySide();
        return;
    }
    switch (copy.step) {
    case kCopyAnnounce:
        if (copy.phase == kPhaseVideo) {
            DebugPrintf("\nFlows video copy\n");
            copy.menuValue = IpIds::kTabVideo;
        } else if (copy.phase == kPhaseAudio) {
            DebugPrintf("\nFlows audio copy\n");
            if (flows_.Is2110())
                copy.menuValue = IpIds::kTabAudio;
            else
                copy.phase = kPhaseDone;   // ends with this round
        } else if (copy.phase == kPhaseAnc) {
            DebugPrintf("\nFlows anc copy\n");
            copy.menuValue = IpIds::kTabAnc;
        }
        break;
    case kCopySelectMenu: SelectCopySide(); break;
    case kCopyCheckSource: {
        bool read = false;
        if (AwaitSourceRead(read))
            return;
        if (read && SourceMatchesManagement(copy.side != 0)) {
            copy.step = kCopySideDone;
            return;
        }
        SetCopySides(copy.side == 1 ? 0 : 1, copy.side == 1 ? 1 : 0);
        break;
    }
    case kCopyAddress:
        ForgetUnreadSourceBytes();
        CopyManagementToSource();
        if (const SfpParamRow* source = SfpParamTable::Instance().Find(IpIds::kFlowSrcBytes[0]))
            sidePage = pages_.EditPage(*source, copy.side != 0);
        break;
    case kCopyApply: StoreValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1); break;
    default: break;
    }
    ++copy.step;
}

// The side's menu: the phase's tab, the side's flow and, in the audio phase,
// its audio flow, in the ANC phase the first ANC flow; held from here on with
// the other page selectors as they are. Its source address bytes count as
// read from the next read on.
void IpPeriodicStep::SelectCopySide()
{
    const IpPendingAction& copy = pendingAction;
    // The whole selection is held before any of it is set: setting the tab
    // may set the audio flow too.
    for (size_t i = 0; i < std::size(kHeldControls); ++i)
        heldSelection[i] = ValueOf(kHeldControls[i]);
    copyHoldsMenu = true;
    struct Choice {
        uint16_t control;
        int32_t value;
        bool made;
    };
    const Choice choices[] = {{COM_SFP_TAB_SELECT, copy.menuValue, true},
                              {COM_SFP_IP_FLOW_SEL, copy.side, true},
                              {COM_SFP_IP_AUDIO_FLOW_SEL, copy.flowCounter, copy.phase == kPhaseAudio},
                              {COM_SFP_IP_ANC_FLOW_SEL, kCopiedAncFlow, copy.phase == kPhaseAnc}};
    for (const Choice& c : choices)
        if (c.made)
            Hold(c.control, c.value);
    for (const Choice& c : choices)
        if (c.made)
            StoreValue(c.control, c.value);
    sourceBytesRead = 0;
    sidePage = 0;
}

// True while the side waits for the done condition; a page request the link
// refused is made again once the link is idle. After kCopyWaitTicks the side
// goes on without.
bool IpPeriodicStep::KeepWaiting(bool done)
{
    if (done || ++copyWait > kCopyWaitTicks) {
        copyWait = 0;
        return false;
    }
    if (pages_.RequestedPage() == 0 && SfpLink::Idle())
        pages_.ForgetFlowSelector();
    return true;
}

// The side's source address is checked once each of its bytes was read from
// the side's page.
bool IpPeriodicStep::AwaitSourceRead(bool& read)
{
    read = sourceBytesRead == 0x0F;
    return KeepWaiting(read);
}

// A source byte that could not be read from the side's page shows another
// flow's: it is forgotten, so that the copy writes it whatever it holds.
void IpPeriodicStep::ForgetUnreadSourceBytes()
{
    const auto& source = flowCopySideB != 0 ? IpIds::kFlowSrcSecondBytes : IpIds::kFlowSrcBytes;
    for (size_t i = 0; i < std::size(source); ++i)
        if ((sourceBytesRead & 1u << i) == 0)
            busy_.SetQuiet(source[i], -1);
}

// The side is done once nothing applied waits for its page any more: its
// copy and the transmit put back around it are written.
bool IpPeriodicStep::AwaitSideWritten()
{
    return KeepWaiting(sidePage == 0 || !edits_.AppliedOn(sidePage));
}

// The side is done: the other side, the next audio flow or the next phase;
// after the last phase the copy ends.
void IpPeriodicStep::EndCopySide()
{
    IpPendingAction& copy = pendingAction;
    if (copy.side == 1 && copy.phase == kPhaseAudio && copy.flowCounter < kLastAudioFlow) {
        ++copy.flowCounter;
        HoldAndSelect(COM_SFP_IP_AUDIO_FLOW_SEL, copy.flowCounter);
        SetCopySides(0, 0);
        copy.side = 0;
    } else if (copy.side == 1) {
        copy.side = 0;
        ++copy.phase;
        HoldAndSelect(COM_SFP_IP_FLOW_SEL, copy.side);
        SetCopySides(1, 0);
    } else {
        copy.side = 1;
        HoldAndSelect(COM_SFP_IP_FLOW_SEL, 1);
        SetCopySides(0, 1);
    }
    copy.step = 0;
    if (copy.phase >= kPhaseDone) {
        SetCopySides(0, 0);
        copyHoldsMenu = false;
        StoreValue(COM_SFP_IP_FLOW_SEL, 0);
        copy.side = 0;
        copy.step = -1;
    }
}

// --- the power cycle -----------------------------------------------------------------------

bool IpPeriodicStep::StepPowerCycle()
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
