// The module's pages as the manager sees them: the map of the parameter
// table's logical pages to the module's physical pages, the page change and
// its settling, the unlock and commit of controller pages, the parameter
// values handed to the module and the write-settle marker that paces them.
// Below it the module link does the register traffic. Application thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

class IpBusy;
class IpEditBook;
class IpFlowView;
struct SfpCompositePair;
struct SfpParamRow;

class IpModulePages {
public:
    // edits: where the bytes of a value split over a pair of byte controls wait for their page.
    IpModulePages(const IpFlowView& flows, IpBusy& busy, IpEditBook& edits) : flows_(flows), busy_(busy), edits_(edits)
    {
    }

    // --- pages ------------------------------------------------------------------------
    // The physical page of a logical page, from the page selectors.
    uint8_t MapLogicalPage(uint8_t logical) const;
    // The physical page an edit of the row made now is written into, through
    // its first or its second control: for a per-flow row the flow page of
    // the tab shown (the video flow's on a tab without one), for a row of an
    // audio or ANC flow page that page as the selectors now map it, for a PTP
    // row its view's page, for any other row its own page.
    uint8_t EditPage(const SfpParamRow& row, bool second) const;
    // Makes the logical page the one on the module: true when it already was
    // (only the status is polled), false after a request, accepted or not.
    bool ChangePage(uint8_t logical);
    // Selects a logical page afresh, even the one asked for last.
    void SelectPageAfresh(uint8_t logical);
    // Asks for the logical page once: only while no page load or write is
    // under way, so the module never refuses it, and not again while it is
    // the page asked for. True once it is current and settled.
    bool SelectWhenIdle(uint8_t logical);
    // A page selector (flow, audio flow, ANC flow, PTP view, block E) took a
    // value: the page it chooses is selected afresh, unless it was selected
    // for that value last (for the flow selector: that value on that tab).
    // True when selected.
    bool FollowSelector(unsigned selectorId, int32_t value);
    // The flow selector's next value selects its page afresh, even an unchanged one.
    void ForgetFlowSelector() { recordedFlowSelector.reset(); }
    // Another page was read in between: the next value of each selector
    // selects its page again.
    void ForgetSelectorPages();
    // Nothing is read or written until the requested page is current and settled.
    void HoldUntilSettled() { pageBlocked = 1; }
    // The logical page is the one on the module and settled.
    bool IsSettledOn(uint8_t logical) const
    {
        return currentPage == logical && requestedPage == logical && pageBlocked == 0;
    }
    // While the decapsulated audio map is read, every page of the "Audio Map"
    // tab maps to the audio flow's page.
    void MapPagesToAudioFlow(bool on) { audioFlowPagesOnly = on ? 1 : 0; }
    // While the "Audio Flows" tab's sub-steps work on the encoder map page
    // (from its selection to the commit), a flow selector change there
    // selects no audio page; the sub-steps select it again after the commit.
    void HoldMapPage(bool on) { mapPageHeld = on ? 1 : 0; }
    // While the sequencer finishes a page write off its tab, the flow
    // selector's page is not selected over that page; it is selected on the
    // first value after.
    void HoldForPageWrite(bool on) { pageWriteHeld = on ? 1 : 0; }
    // A tick's page settling: the requested page becomes current once the
    // link is idle.
    void Settle();
    // IsSettledOn, after settling again (at most twice) the page asked for
    // in an earlier tick: a module that needs more status polls after a page
    // select than the tick's settling makes has its page read on the tick it
    // is ready, before the flow alternation asks for the other flow's.
    bool SettleOn(uint8_t logical);
    // The tick's end: a page change is no longer marked as this tick's.
    void EndTick() { writeMark = -1; }
    // A module was inserted: no page is current or asked for.
    void ForgetPages() { currentPage = requestedPage = 0; }
    uint8_t CurrentPage() const { return currentPage; }
    uint8_t RequestedPage() const { return requestedPage; }
    uint8_t PageBlocked() const { return pageBlocked; }
    int32_t WriteMark() const { return writeMark; }

    // --- writes -----------------------------------------------------------------------
    // Command 2 (1 for the audio-map page) then a status poll; false when the
    // command write failed (the message is printed either way).
    bool UnlockControllerPage(uint8_t page);
    // Command 3 then a status poll.
    bool CommitControllerPage(uint8_t page);
    // Hands a parameter value to the module: one byte to its register; a
    // composite value split over its two byte controls (each set through the
    // store when it differs, and both booked for the page unless the page
    // holds them already; nothing written); any other two-byte value to its
    // register and the next, most significant first. Wider values cannot be
    // written this way and are refused with a message.
    bool SetNewParameterValue(uint8_t page, uint8_t reg, int32_t value, uint32_t byteCount, uint16_t cmdId);

    // --- the write-settle marker (busyCountdown) ------------------------------------------------
    // Unless disarmed, polls the status once when a settle time remains and
    // disarms it. Always false.
    bool ServiceWriteSettle();
    void ArmWriteSettle(int32_t ticks = kWriteSettleTicks) { busyCountdown = ticks; }
    bool WriteSettling() const { return busyCountdown != -1; }
    int32_t BusyCountdown() const { return busyCountdown; }
    // After a default-firmware write the marker counts down by two until the
    // countdown ends: StepFirmwareDefault counts one call and is true on the
    // call that ends it.
    void StartFirmwareDefault() { firmwareDefaultCountdown = 1; }
    bool FirmwareDefaultRunning() const { return firmwareDefaultCountdown != 0; }
    bool StepFirmwareDefault();

    static constexpr int32_t kWriteSettleTicks = 60;

private:
    // With the decapsulated audio map's override (every page of the "Audio
    // Map" tab the audio flow's) or without.
    uint8_t MapLogicalPage(uint8_t logical, int32_t flow, bool mapOverride = true) const;
    void SettleRequested();
    bool SplitOverPair(const SfpCompositePair& pair, int32_t value, uint8_t page);
    void SetPairByte(uint16_t cmdId, int32_t byte, uint8_t page);

    const IpFlowView& flows_;
    IpBusy& busy_;
    IpEditBook& edits_;
    uint8_t currentPage = 0;
    uint8_t requestedPage = 0;          // logical page asked for last (0 = none)
    uint8_t pageBlocked = 0;            // a requested page is not yet current and settled
    int32_t writeMark = -1;             // 0 from a page change to the tick's end
    uint8_t audioFlowPagesOnly = 0;
    uint8_t mapPageHeld = 0;
    uint8_t pageWriteHeld = 0;
    int32_t busyCountdown = -1;         // write-settle marker, -1 = disarmed
    // The selector values the pages were last selected for, none when
    // forgotten: any value a client sets may be one of them. The flow
    // selector's pages depend on the tab too: its value and the tab are kept.
    std::optional<std::pair<int32_t, int32_t>> recordedFlowSelector;
    std::optional<int32_t> recordedAudioFlow, recordedAncFlow, recordedPtpView, recordedBlockE;
    int32_t firmwareDefaultCountdown = 0;
};
