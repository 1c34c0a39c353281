// The life of a parameter value between the module and the IP menu: rows are
// read and shown, pending edits are written back (whole pages unlocked,
// written byte by byte and committed), a written or dropped row goes back to
// unread, and the controller and flow configures run until their rows are
// written. It also lays out the menu for the module's mode and checks the
// flow's multicast MAC. Application thread only.
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
#pragma once

#include <cstdint>
#include <span>

class IpBusy;
class IpControlTree;
class IpFlowView;
class IpModulePages;
class IpPageView;
struct SfpParamRow;

// Known values counted over the parameter table.
struct SfpParamCounts {
    uint32_t all = 0;
    uint32_t controller = 0;   // reported only while the controller configure runs
    uint32_t flow = 0;         // reported only while the flow configure runs
    uint32_t other = 0;        // rows of neither set: written without Apply
};

class IpConfigurePass {
public:
    // pageView: the pages that show values, kept by the manager; none: nothing
    // is shown and only rows of neither set are written.
    IpConfigurePass(IpBusy& busy, IpFlowView& flows, IpModulePages& pages, IpControlTree& controls,
                    IpPageView* const& pageView);

    // Reads one row of the selected page and shows it, or writes its pending
    // value (wrote set). False when a read failed.
    bool ProcessParameterRow(SfpParamRow& row, bool& wrote);
    // Every row of the logical page, while that page is current and settled;
    // with OwnRows, not the per-flow rows the page change moved onto it.
    // False when a read failed or the page is not current.
    enum class PageRows : uint8_t { All, OwnRows };
    bool ReadPageParameters(uint8_t logical, PageRows rows = PageRows::All);
    // One step of writing the page's pending always-read rows: unlock, one
    // write, commit. True while work remains or a step was done.
    bool UpdateParametersByUnlockingPage(uint8_t logical);
    // The row becomes unread; its controls lose the edit colour. With log, a
    // written value goes to the SFP logger.
    void InvalidateParameter(SfpParamRow& row, bool log = false);
    void InvalidateAllParameters();
    // Pending edits of the controller set (or the flow set) back to what the
    // module holds: the rows become unread and are read again.
    void RestoreEditedValues(bool controllerSet);
    // Colours the flow's MAC bytes red where they break its multicast mapping,
    // lets them be typed only for a unicast destination, shows them as one
    // text, then checks the address restriction.
    void CheckMulticastMac();
    // The restriction on the flows' destinations (224.0.0.0-224.0.1.255 are
    // reserved). While it is switched on, a reserved destination shows the
    // warning and takes the flows' Apply away; switched off, nothing is
    // warned of. Switching it on checks at once.
    void SwitchAddressCheck(bool on);
    void CheckAddressRestriction();
    void ApplyModeLayout();

    // Rows with a pending edit: all, of the controller set, of the flow set.
    SfpParamCounts CountKnownParameters() const;
    // The management Apply: the controller page is unlocked once, written,
    // and committed when no controller row remains.
    void StartControllerConfigure();
    // The flows' Apply; restoreTransmit: the Apply switched the transmit off.
    void StartFlowConfigure(bool restoreTransmit);
    bool ControllerConfiguring() const { return controllerConfiguring != 0; }
    bool FlowConfiguring() const { return flowConfiguring != 0; }
    // A page has been unlocked for writing and is not yet committed.
    bool PageWriteUnderWay() const { return pageUnlocked != 0; }
    // Ends each configure whose rows are all written (the controller page is
    // committed); true when the transmit is to go on again.
    bool EndConfigures();

private:
    bool MayWrite(const SfpParamRow& row) const;
    bool OnEditedPage(const SfpParamRow& row) const;
    bool WriteWholeRow(SfpParamRow& row, uint8_t page, bool& wrote);
    bool ReadWholeRow(SfpParamRow& row);
    bool ProcessBitRow(SfpParamRow& row, uint8_t page, bool& wrote);
    void KeepShown(SfpParamRow& row, int32_t number) const;
    bool WriteStepOnPage(uint8_t logical);
    SfpParamRow* NextRowToWrite(uint8_t logical) const;
    void WriteRowByte(SfpParamRow& row, uint8_t physical);
    void RefreshClearedRow(const SfpParamRow& row);
    void RestoreShownValue(SfpParamRow& row);
    void ShowMacText(std::span<const uint16_t, 6> mac, bool second);

    IpBusy& busy_;
    IpFlowView& flows_;
    IpModulePages& pages_;
    IpControlTree& controls_;
    IpPageView* const& pageView_;
    uint8_t controllerConfiguring = 0;
    uint8_t flowConfiguring = 0;
    uint8_t unlockAgain = 0;           // the next page write unlocks even while a configure runs
    uint8_t txRestorePending = 0;      // the flows' Apply switched the transmit off
    uint8_t pageUnlocked = 0, pageWritten = 0;
    uint8_t savedFirmwareDefault = 0;
    uint8_t addressCheckOn = 1;        // the destination restriction is checked
};
