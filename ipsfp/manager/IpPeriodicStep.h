// The manager's own part of the SFP status page's tick: page settling, three
// small timers, the menu set-up, the check of the management address once
// it was read again, and the flow copy (the management address copied into
// each flow's source, side by side, phase by phase). Also the cage's power
// cycle, counted in ticks. Application thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

class IpBusy;
class IpEditBook;
class IpFlowView;
class IpModulePages;

// The flow-copy job the periodic step runs.
struct IpPendingAction {
    int32_t menuValue = 0;
    int32_t side = 0;
    int32_t step = -1;          // -1 = no copy running
    int32_t flowCounter = 0;
    int32_t phase = 3;          // 0 video, 1 audio, 2 ancillary, 3 done
};

class IpPeriodicStep {
public:
    IpPeriodicStep(IpBusy& busy, IpFlowView& flows, IpModulePages& pages, const IpEditBook& edits)
        : busy_(busy), flows_(flows), pages_(pages), edits_(edits)
    {
    }

    // One tick with a module: page settling, the three timers (one a tick),
    // the menu set-up, the address checks and one step of the flow copy.
    void OnStatusTick();

    // The value display read the management address again.
    void NoteManagementAddressRead() { ++addressReadCounter; }
    // The value display read a byte (0-3, byte 1 first) of the source address
    // of the flow shown.
    void NoteSourceByteRead(size_t byte)
    {
        if (byte < 4)
            sourceBytesRead = static_cast<uint8_t>(sourceBytesRead | 1u << byte);
    }
    // Once the management address has been read again: the web address,
    // mask and gateway group checks, and the reset marks when the web
    // address's bytes are all equal.
    void CheckAddressReset();
    void ShowResetMarks();
    // The group checks: a group's common byte, 0xFFFF when its bytes differ.
    const std::array<uint16_t, 3>& AddressCheck() const { return addressCheck; }

    // The flow copy from its start, video first.
    void StartFlowCopy();
    // The four management address bytes equal, byte n to byte n, the flow's
    // source address bytes (the second flow's with second).
    static bool SourceMatchesManagement(bool second);
    // The management address into the source address of the side being copied.
    void CopyManagementToSource();
    const IpPendingAction& PendingAction() const { return pendingAction; }
    // While a copy runs it holds the menu's selection (the tab and every page
    // selector) from its first side's selection to its end: the value it
    // holds for the control, none for a control it does not hold.
    bool CopyHoldsMenu() const { return copyHoldsMenu; }
    std::optional<int32_t> HeldSelection(unsigned cmdId) const;
    // The module was reset: no copy side and no second copy waiting.
    void ResetCopySides();
    // A module was inserted, reset or taken out: the side under way, whose
    // edits went with the module or whose selection was reset, starts again
    // from its selection; until then (and while no module is fitted) the
    // menu is not held.
    void RestartCopySide();
    // A flow Cancel dropped the typed edits: the source the side's copy typed
    // and has not yet applied is typed again, so its Apply still takes it.
    void RetypeCopySource();

    // The SFP was switched off: it is switched on again on the tenth tick.
    void StartPowerCycle() { powerCycleCounter = 0; }
    // One tick of a power cycle; true from the tick the SFP is on again until it ends.
    bool StepPowerCycle();

private:
    void StepTimers();
    void StepFlowCopy();
    void SelectCopySide();
    // The copy's own selection: held first, then set through the store.
    void Hold(unsigned cmdId, int32_t value);
    void HoldAndSelect(unsigned cmdId, int32_t value);
    bool KeepWaiting(bool done);
    bool AwaitSourceRead(bool& read);
    void ForgetUnreadSourceBytes();
    bool AwaitSideWritten();
    void EndCopySide();
    void SetCopySides(uint8_t a, uint8_t b);

    IpBusy& busy_;
    IpFlowView& flows_;
    IpModulePages& pages_;
    const IpEditBook& edits_;
    // The three timers and the refresh request are the module's as defined;
    // no menu of this instrument starts the timers or raises the request.
    int32_t copyFlagTimer = -1, secondCopyTimer = -1, statusRefreshTimer = -1;
    uint8_t statusRefreshRequest = 0;
    uint8_t addressReadCounter = 0, addressReadHandled = 0;
    uint8_t addressResetState = 0;
    std::array<uint16_t, 3> addressCheck {};
    IpPendingAction pendingAction;
    // The copy's hold on the menu and what it holds: the tab, the flow
    // selector, the audio flow, the ANC flow, the PTP view and the block-E
    // selector.
    bool copyHoldsMenu = false;
    std::array<int32_t, 6> heldSelection {};
    uint8_t sidePage = 0;          // the physical page the side's copy waits for, 0 none
    uint8_t sourceBytesRead = 0;   // one bit a source byte read since the copy side was selected
    int32_t copyWait = 0;                               // ticks a copy step has waited
    uint8_t flowCopySideA = 0, flowCopySideB = 0;   // which side of a flow copy is processed
    uint8_t powerCycleCounter = 0xFF;               // 0xFF = idle
};
