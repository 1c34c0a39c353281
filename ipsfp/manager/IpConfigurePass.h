// The life of a parameter value between the module and the IP menu: rows are
// read and shown, edits waiting for the page read are written back (whole
// pages unlocked, written byte by byte and committed), a written or dropped
// row goes back to unread, and the controller and flow configures run until
// their applied edits are written. It also lays out the menu for the
// module's mode and checks the flow's multicast MAC. Application thread only.
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
// A page write stays on the page it was unlocked for: on any other page the
// call does nothing until the write is committed or ended (a mode or module
// change). A controller configure keeps the page unlocked and is committed
// once, by the progress box, when none of its applied edits remains. The
// sequencer may finish a write on its physical page, selected as such,
// whatever page its rows' selectors map to meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

class IpBusy;
class IpControlTree;
class IpEditBook;
class IpFlowView;
class IpModulePages;
class IpPageView;
struct IpEdit;
struct SfpParamRow;

// A page write: the logical page whose rows it writes, and the physical page
// they are written into; page 0 = none.
struct IpPageWrite {
    uint8_t rows = 0;
    uint8_t page = 0;
};

// Edits counted over the edit book.
struct SfpParamCounts {
    uint32_t all = 0;
    uint32_t controller = 0;   // applied edits of the controller set
    uint32_t flow = 0;         // applied edits of the flow set
    uint32_t other = 0;        // edits of rows of neither set: written without Apply
};

class IpConfigurePass {
public:
    // pageView: the pages that show values, kept by the manager; none: nothing
    // is shown and only rows of neither set are written.
    IpConfigurePass(IpBusy& busy, IpFlowView& flows, IpModulePages& pages, IpControlTree& controls,
                    IpEditBook& edits, IpPageView* const& pageView);

    // Reads one row of the selected page and shows it, or writes the edit
    // that waits for that page (wrote set). False when a read failed.
    bool ProcessParameterRow(SfpParamRow& row, bool& wrote);
    // Every row of the logical page, while that page is current and settled:
    // with FlowRows also the per-flow rows the page change moved onto it,
    // with OwnRows not. False when a read failed or the page is not current.
    enum class PageRows : uint8_t { FlowRows, OwnRows };
    bool ReadPageParameters(uint8_t logical, PageRows rows);
    // One step of writing the page's waiting always-read rows: unlock, one
    // write, commit. True while work remains or a step was done.
    bool UpdateParametersByUnlockingPage(uint8_t logical) { return StepPageWrite(logical, {logical, 0}); }
    // The same step for the rows of write.rows on the physical page
    // write.page, once that page is selected as such.
    bool FinishPageWrite(const IpPageWrite& write) { return StepPageWrite(write.page, write); }
    // The row becomes unread; its controls lose the edit colour.
    void InvalidateParameter(SfpParamRow& row);
    // The row unread and every edit of it dropped.
    void DropEdits(SfpParamRow& row);
    // Every row unread, every edit dropped; a transmit an Apply switched off
    // is switched on again.
    void InvalidateAllParameters();
    // The typed edits of the controller set (or the flow set) dropped: each
    // control that shows its edit's page shows what the page was read
    // holding, or the unread look when it was never read.
    void RestoreEditedValues(bool controllerSet);
    // The menu shows other pages (a tab or a page selector changed): each
    // control that shows an edit of a page it no longer shows, or another
    // page than its own while an edit waits for its own, goes at once to what
    // belongs to its page now (that page's own waiting edit, else what it was
    // read holding, else the unread look), with the texts built from it; all
    // quietly.
    void ShowSelectedPages();
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

    // The edits: all, applied of the controller set, applied of the flow set,
    // of neither set.
    SfpParamCounts CountKnownParameters() const;
    // The management Apply: the typed controller edits are applied; the
    // controller page is unlocked once, written, and committed when no
    // applied controller edit remains.
    void StartControllerConfigure();
    // The flows' Apply: the typed flow edits are applied. With transmitOff
    // (the Apply switched the transmit off) each flow page they wait for has
    // its transmit switched off around their writes where it is on, and on
    // again once they are written.
    void StartFlowConfigure(bool transmitOff);
    bool ControllerConfiguring() const { return controllerConfiguring != 0; }
    bool FlowConfiguring() const { return flowConfiguring != 0; }
    // A page has been unlocked for writing and is not yet committed.
    bool PageWriteUnderWay() const { return pageUnlocked != 0; }
    // The page write that has written a byte and waits for its commit; none
    // (page 0) while none does.
    IpPageWrite CommitDue() const
    {
        return pageUnlocked != 0 && pageWritten != 0 ? IpPageWrite {writeRows, writePage} : IpPageWrite {};
    }
    // The module's mode changed: a page write under way ends without its
    // commit; the next write unlocks its page again.
    void EndPageWrite();
    // A module was inserted: the page write and the configures end without a
    // commit, every row is unread and the edit book forgets the module.
    void ForgetModule();
    // A flow's transmit switched by a user or a client (to value): while the
    // flows' Apply runs, the Apply no longer switches it on again, and the
    // switch shows value at the Apply's end.
    void KeepTransmit(uint8_t page, int32_t value);
    // Ends each configure whose rows are all written (the controller page is
    // committed); the value the transmit switch then shows, when the flows'
    // Apply switched it off.
    std::optional<int32_t> EndConfigures();

private:
    bool MayWrite(const SfpParamRow& row, const IpEdit& edit) const;
    bool WriteWholeRow(SfpParamRow& row, uint8_t page, const IpEdit& edit, bool& wrote);
    bool ReadWholeRow(SfpParamRow& row, uint8_t page);
    bool ProcessBitRow(SfpParamRow& row, uint8_t page, const IpEdit* edit, bool& wrote);
    void ShowRead(SfpParamRow& row, uint8_t page, const uint8_t* bytes, size_t count, bool nonzero);
    void ShowWaitingEdit(const SfpParamRow& row, const IpEdit& edit);
    void ShowPage(const SfpParamRow& row, unsigned control, uint8_t page);
    // A write step once the selected page is current and settled; write.page
    // 0: the page the selectors map write.rows to.
    bool StepPageWrite(uint8_t selected, IpPageWrite write);
    bool WriteStepOnPage(uint8_t logical, uint8_t physical);
    SfpParamRow* NextRowToWrite(uint8_t logical, uint8_t physical, const IpEdit*& edit) const;
    void WriteRowByte(SfpParamRow& row, const IpEdit& edit, uint8_t physical);
    void EditDone(SfpParamRow& row, const IpEdit& edit, bool log);
    void ClearRow(SfpParamRow& row, unsigned edited, bool log, bool onlyEdited);
    void RefreshClearedRow(const SfpParamRow& row);
    void ClearMirrorColour(unsigned cmdId);
    void RestoreShownValue(const IpEdit& edit);
    enum class PageLook : uint8_t { Edit, Read, Unread };
    PageLook SetPageValue(const SfpParamRow& row, unsigned control, uint8_t page);
    void ColourPageLook(const SfpParamRow& row, unsigned control, PageLook look);
    void TransmitBackOn(uint8_t page);
    void ShowMacText(std::span<const uint16_t, 6> mac, bool second);

    IpBusy& busy_;
    IpFlowView& flows_;
    IpModulePages& pages_;
    IpControlTree& controls_;
    IpEditBook& edits_;
    IpPageView* const& pageView_;
    uint8_t controllerConfiguring = 0;
    uint8_t flowConfiguring = 0;
    uint8_t unlockAgain = 0;           // the next page write unlocks even while a configure runs
    uint8_t txRestorePending = 0;      // the flows' Apply switched the transmit off
    int32_t transmitSet = -1;          // the transmit a user set while it ran, -1 none
    uint8_t pageUnlocked = 0, pageWritten = 0;
    uint8_t writePage = 0;             // the physical page the write under way was unlocked for
    uint8_t writeRows = 0;             // the logical page of the rows it writes
    uint8_t savedFirmwareDefault = 0;
    uint8_t addressCheckOn = 1;        // the destination restriction is checked
};
