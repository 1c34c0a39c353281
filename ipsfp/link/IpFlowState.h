// The process-wide state of the IP menu that the manager, its support objects
// and the status page share: which flow the menu edits, the module direction,
// the transmit-flow lock and the small flags of the periodic step and the
// sequencer. Plain values; application thread only. It lives in the link
// state (SfpLink::State().ip) and goes back with SfpLink::Reset(); the
// manager's constructor puts this part alone back to its start values.
#pragma once

#include <cstdint>

struct IpFlowState {
    int32_t menuTab = 0;             // COM_SFP_TAB_SELECT, copied by the sequencer
    int32_t ipModuleMode = -1;       // 1 decapsulation, 0 encapsulation, -1 unknown
    uint8_t secondFlowShown = 0;     // the second flow is shown: set by the value display from its view
    uint8_t flowRefresh = 0;
    uint8_t lockedToFirst = 0;
    uint8_t lockedToSecond = 0;
    int32_t flowsKnown = 0;          // transmit flows found

    int32_t pageSettleCounter = -1;
    int8_t menuRefreshDelay = -1;
    uint8_t standardUpdateRequest = 0;
    uint8_t flowCopySideA = 0;
    uint8_t flowCopySideB = 0;
    uint8_t flowListFocusA = 0;
    uint8_t flowListFocusB = 0;
    uint8_t ipFeatures = 0;
    uint8_t active2110 = 0;
    uint8_t addressEditActive = 0;
    uint32_t addressGroup = 0;       // 1-3 while an address is edited
    uint8_t sourceSelect = 0;
    uint8_t reinsertWarning = 0;

    // Window and sequencer state the window-closed hook touches.
    int32_t dialogState = -1;        // selection word; 4 survives a window closing
    uint8_t dialogByte = 0xFF;
    uint8_t skipNextClose = 0;       // one-shot: the next window close is ignored
    int32_t sequencerStep = 0;
    uint8_t sequencerRunning = 0;
    uint8_t pageUpdateFlagA = 0;
    uint8_t pageUpdateFlagB = 0;
    uint8_t decapMapReopen = 0;
    uint8_t encapMapReopen = 0;
    uint8_t audioMapPosition = 0;
};

namespace IpFlow {

// SfpLink::State().ip.
IpFlowState& State();
// This part of the link state back to its start values.
void Reset();

} // namespace IpFlow
