// The manager's periodic step: page settling, its three small timers, the
// menu set-up countdown, the management address checks, the flow copy (the
// management address copied into each flow's source, side by side, phase by
// phase) and the requested video-standard conversion.
#include "IpSfpManager.h"

#include "CorvaneToEmbrionixVidStd.h"
#include "IpStoreAccess.h"

#include "ipsfp/link/SfpLink.h"

#include "KrZuApi.h"
#include "core/TpStore.h"
#include "platform/DebugOut.h"

namespace {

using IpStoreAccess::StoreValue;
using IpStoreAccess::ValueOf;

constexpr uint16_t kMenuSelectorId = COM_SFP_TAB_SELECT;
constexpr uint16_t kFlowSelectorId = COM_SFP_IP_FLOW_SEL;
constexpr uint16_t kAudioFlowSelectorId = COM_SFP_IP_AUDIO_FLOW_SEL;
constexpr uint16_t kResetMarkIds[] = {COM_SFP_IP_CONTR_HOSTNAME, IpIds::kWebAddressText, IpIds::kWebMaskText};

constexpr int32_t kPageSettleTicks = 5;
constexpr int32_t kStatusRefreshTicks = 4;
constexpr int32_t kCopyFlagTicks = 6;
constexpr int32_t kSecondCopyTicks = 11;
constexpr uint8_t kSetupTicks = 3;
constexpr uint8_t kSetupIdle = 0xFF;

// Flow copy steps and phases.
constexpr int32_t kCopyAnnounce = 0;
constexpr int32_t kCopySelectMenu = 1;
constexpr int32_t kCopyCheckSource = 4;
constexpr int32_t kCopyAddress = 7;
constexpr int32_t kCopyApply = 11;
constexpr int32_t kCopySideDone = 20;
constexpr int32_t kPhaseVideo = 0, kPhaseAudio = 1, kPhaseAnc = 2, kPhaseDone = 3;
constexpr int32_t kLastAudioFlow = 7;

void SetCopySides(uint8_t a, uint8_t b)
{
    IpFlowState& flow = IpFlow::State();
    flow.flowCopySideA = a;
    flow.flowCopySideB = b;
}

} // namespace

void IpSfpManager::OnStatusTick()
{
    if (!SettlePage())
        StepTimers();
    StepMenuSetup();
    writeMark = -1;
    CheckAddressReset();
    StepFlowCopy();
    IpFlowState& flow = IpFlow::State();
    if (flow.standardUpdateRequest != 0 && vidStdConverter) {
        vidStdConverter->UpdateVidStd();
        flow.standardUpdateRequest = 0;
    }
}

// True while the settle counter runs (the timers then wait).
bool IpSfpManager::SettlePage()
{
    if (pageBlocked != 0 || currentPage != requestedPage) {
        SfpLink::PollSfpStatus();
        const SfpProtocolState& protocol = SfpLink::State().protocol;
        if (protocol.pageLoadPending == 0 && protocol.writePending == 0) {
            currentPage = requestedPage;
            pageBlocked = 0;
        } else {
            pageBlocked = 1;
        }
    }
    int32_t& settle = IpFlow::State().pageSettleCounter;
    if (settle == -1)
        return false;
    if (++settle < kPageSettleTicks)
        pageBlocked = 1;
    else
        settle = -1;
    return true;
}

// Only the first running timer is handled in a tick.
void IpSfpManager::StepTimers()
{
    IpFlowState& flow = IpFlow::State();
    if (statusRefreshTimer != -1) {
        if (moduleReady != 0 && ++statusRefreshTimer >= kStatusRefreshTicks) {
            statusRefreshTimer = -1;
            RefreshGeneratorStandard();
        }
        return;
    }
    if (copyFlagTimer != -1) {
        if (flow.flowCopySideA == 0 && flow.flowCopySideB == 0) {
            copyFlagTimer = -1;
        } else if (++copyFlagTimer >= kCopyFlagTicks) {
            copyFlagTimer = -1;
            SetCopySides(0, 0);
        }
        return;
    }
    if (secondCopyTimer != -1 && ++secondCopyTimer >= kSecondCopyTicks) {
        secondCopyTimer = -1;
        if (ValueOf(kMenuSelectorId) == 1) {
            DebugPrintf("\nSecond Copy\n");
            StoreValue(IpIds::kSecondCopy, 1);
        }
    }
}

void IpSfpManager::StepMenuSetup()
{
    IpFlowState& flow = IpFlow::State();
    const int32_t tab = ValueOf(kMenuSelectorId);
    if (flow.menuRefreshDelay != -1) {
        if (++flow.menuRefreshDelay > 0) {
            FocusSfpTab(tab);
            flow.menuRefreshDelay = -1;
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
    for (const FocusRequest& request : {FocusRequest {flow.flowListFocusA, IpIds::kEncMapButton},
                                        FocusRequest {flow.flowListFocusB, IpIds::kDecMapButton}}) {
        if (request.flag == 0)
            continue;
        FocusSfpTab(tab);
        if (TpStore* store = TpStore::Instance())
            store->SetFocused(request.list, true);
        request.flag = 0;
        return;
    }
}

void IpSfpManager::StepFlowCopy()
{
    IpPendingAction* copy = pendingAction.get();
    if (copy == nullptr || copy->step == -1)
        return;
    IpFlowState& flow = IpFlow::State();
    if (copy->step >= kCopySideDone) {
        // The side is done: the other side, the next audio flow or the next phase.
        if (copy->side == 1 && copy->phase == kPhaseAudio && copy->flowCounter < kLastAudioFlow) {
            ++copy->flowCounter;
            StoreValue(kAudioFlowSelectorId, copy->flowCounter);
            SetCopySides(0, 0);
            copy->side = 0;
        } else if (copy->side == 1) {
            copy->side = 0;
            ++copy->phase;
            StoreValue(kFlowSelectorId, copy->side);
            SetCopySides(1, 0);
        } else {
            copy->side = 1;
            StoreValue(kFlowSelectorId, 1);
            SetCopySides(0, 1);
        }
        copy->step = 0;
        if (copy->phase >= kPhaseDone) {
            SetCopySides(0, 0);
            StoreValue(kFlowSelectorId, 0);
            copy->side = 0;
            copy->step = -1;
        }
        return;
    }
    switch (copy->step) {
    case kCopyAnnounce:
        if (copy->phase == kPhaseVideo) {
            DebugPrintf("\nFlows video copy\n");
            copy->menuValue = 1;
        } else if (copy->phase == kPhaseAudio) {
            DebugPrintf("\nFlows audio copy\n");
            if (flow.active2110 != 0)
                copy->menuValue = 2;
            else
                copy->phase = kPhaseDone;   // ends with this round
        } else if (copy->phase == kPhaseAnc) {
            DebugPrintf("\nFlows anc copy\n");
            copy->menuValue = 3;
        }
        break;
    case kCopySelectMenu:
        StoreValue(kMenuSelectorId, copy->menuValue);
        break;
    case kCopyCheckSource:
        if (SourceMatchesManagement(copy->side != 0)) {
            copy->step = kCopySideDone;
            return;
        }
        if (copy->side == 1)
            SetCopySides(0, 1);
        else
            SetCopySides(1, 0);
        break;
    case kCopyAddress:
        CopyManagementToSource();
        break;
    case kCopyApply:
        StoreValue(COM_SFP_IP_FLOWS_IP_APPLY_BTN, 1);
        break;
    default:
        break;
    }
    ++copy->step;
}

void IpSfpManager::CheckAddressReset()
{
    if (addressReadCounter == addressReadHandled)
        return;
    addressReadHandled = addressReadCounter;
    // Groups 2 to 4: the web address, mask and gateway.
    std::array<bool, 3> equal {};
    for (size_t i = 0; i < addressCheck.size(); ++i) {
        const int32_t common = AddressGroupValue(static_cast<int>(i) + 2);
        equal[i] = common >= 0;
        addressCheck[i] = equal[i] ? static_cast<uint16_t>(common) : 0xFFFF;
    }
    if (equal[0])
        ShowResetMarks();
    const bool allEqual = equal[0] && equal[1] && equal[2];
    if (!allEqual)
        addressResetState = 0;
}

void IpSfpManager::ShowResetMarks()
{
    if (TpStore* store = TpStore::Instance())
        for (uint16_t id : kResetMarkIds)
            store->SetText(id, "RESET");
}
