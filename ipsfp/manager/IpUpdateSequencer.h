// The update sequencer: once a tick it chooses which part of the module is
// read or written next, by the open IP menu tab, the module mode and a few
// step counters, and shows what it did in the IP menu's status line. It keeps
// the encoder audio maps it reads and writes.
//
//   tab | step
//   ----+-----------------------------------------------------------
//    1  | video flow page, the video re-read counter
//    2  | audio flow page (decapsulation) or the encoder map sub-steps
//    3  | ANC flow page
//    4  | PTP views, one page update a tick while the wait runs
//    5  | flow configuration page
//    6  | audio map steps, every second tick
//    7  | the page table's pages in turn: write what is pending, else read
//
// On any tab, a page write that the tab's own steps do not carry on is
// finished first (a management Apply off the set-up tab, a PTP write off the
// PTP tab). On every other tab than the set-up tab the page table's pages not
// yet read then come before the tab's step; while only pages that failed to
// read are left, the tab's step runs and they are tried again now and then,
// never while the tab's step has an edit to write or a page write to commit;
// after each try the page the tab's step was on is selected again. A
// page-table page is asked for only while the module is idle, and only its
// own rows are read, not the per-flow rows the page change moved onto it.
//
// Application thread only.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class IpAudioMaps;
class IpBusy;
class IpConfigurePass;
class IpControlTree;
class IpEditBook;
class IpFlowView;
class IpModulePages;
class IpPageView;
class IpPeriodicStep;
class IpSubDialogs;
struct SfpPageEntry;
struct SfpParamRow;

class IpUpdateSequencer {
public:
    IpUpdateSequencer(IpBusy& busy, IpFlowView& flows, IpModulePages& pages, IpControlTree& controls,
                      IpSubDialogs& dialogs, IpConfigurePass& configure, IpAudioMaps& maps, IpEditBook& edits,
                      const IpPeriodicStep& tick, IpPageView* const& pageView);

    // One step a tick: mode flags, layout, flow alternation, the tab's step.
    void RunUpdateStep();
    bool UpdateFlowPage(uint8_t logical);
    bool UpdatePtpPage();
    void UpdateDecoderOutputPage();
    bool UpdateAudioEncMapping();
    // Reads, writes and commits the encoder audio map of one flow (1-8; 0 =
    // the next one).
    bool CommitEncAudMapPg(int32_t flow);
    // The management tab's page cycle over the page table.
    void UpdateManagementPages();
    // On the other tabs, the page table's pages not yet read come first, one
    // step a tick; true while one is being read. Pages that fail to read are
    // tried again now and then, while the tab's own step writes nothing; the
    // tab's own step runs in between.
    bool ReadUnloadedPages();
    // A page write the shown tab's own steps do not carry on is written and
    // committed on its own page before the tab's own step runs: a page with
    // a byte written and its commit due, or a management Apply still
    // running; true while it runs. One that stops moving on (its page will
    // not select or unlock) gives way to the tab's own step now and then.
    bool FinishPageWrite();
    // Once nothing is pending: the flow list re-read, asked for by a re-read
    // counter, starts the map steps again.
    void ReopenFlowList();

    // --- what the change handler starts and stops ---------------------------------------------
    // A tab was selected: the map steps start over.
    void OnTabSelected();
    void StartAudioReread() { audioRereadCounter = 0; }
    void StartVideoReread() { videoReread = 0; }
    void RestartAudioSubSteps() { SetAudioSubStep(0); }
    void StopAudioSubSteps() { SetAudioSubStep(-1); }
    // A map dialog opened: its tab's map steps stop until it is shown again.
    void OnMapDialogOpened(bool encoder);
    // A PTP row was edited in the first or the second view: that view is shown
    // once the other is locked, or the wait starts again.
    void OnPtpRowEdited(bool firstView);
    // The module was reset: the steps back to their start.
    void ResetModuleSteps();
    // A window closed: the decoder map steps start again and the one-shot
    // requests of the map steps made before it (the flow-list reopen, the
    // encoder skip-ahead) are dropped.
    void OnWindowClosed();
    // The audio map position back to the first flow.
    void ForgetMapPosition() { mapPosition = 0; }

    int8_t EncMapStep() const { return encMapStep; }
    const int8_t& DecapMapStep() const { return decapMapStep; }

private:
    void StepFlowAlternation();
    void FollowPtpView();
    void AlternateFlowSelector();
    void StepVideoTab();
    void StepAudioTab();
    void StepAncTab();
    void StepPtp();
    void ResetPageState();
    void SetDecapMapStep(int8_t step);
    void RestartDecapMapSteps();
    void ResumeMapSteps(bool decap, int8_t& step);
    void StepDecapMap();
    void StepDecapAudioFlow();
    void UpdateDecoderMap();
    void StepEncapMap();
    void StepEncapFlowEnable();
    bool StepAudioSubSteps(uint8_t map, uint8_t audio);
    // The audio sub-step; from the map page's selection to the commit (7-11)
    // the map page is held against flow selector changes.
    void SetAudioSubStep(int8_t step);
    // The steps of CommitEncAudMapPg.
    bool MapShowsFlow(int32_t wanted);
    void UnlockMapPage();
    bool WriteMapChannels(int32_t wanted);
    bool ShowChannelCount(SfpParamRow& countRow, uint32_t kept, int32_t n);
    void SaveMap(int32_t flow);
    // One step on a page of the page table, for either page cycle.
    enum class PageTableStep : uint8_t { Waiting, Read, ReadFailed };
    PageTableStep StepPageTableEntry(SfpPageEntry& entry);
    size_t NextUnreadPage() const;
    void EndPageRetries();
    bool TabWriteUnderWay() const;
    bool TabWritesPage(int32_t tab, uint8_t logical) const;
    void ReselectTabPages();
    void NoteFinishStep(uint8_t page);

    IpBusy& busy_;
    IpFlowView& flows_;
    IpModulePages& pages_;
    IpControlTree& controls_;
    IpSubDialogs& dialogs_;
    IpConfigurePass& configure_;
    IpAudioMaps& maps_;
    IpEditBook& edits_;
    const IpPeriodicStep& tick_;
    IpPageView* const& pageView_;

    // Step counters.
    int32_t flowAlternation = 0;
    int8_t videoReread = -1;
    int8_t audioRereadCounter = -1;
    int8_t audioSubStep = -1;
    int8_t encMapStep = -1;
    int8_t decapMapStep = 0;           // 0-15, -1 = off; 6-11 read every page from the audio flow's
    int32_t decapMapFlow = 0;
    int32_t encapMapFlow = 0;
    uint32_t mapParity = 0;
    uint8_t audioFlowReset = 0;
    uint8_t encSkipAhead = 0;
    uint8_t flowListReopen = 0;
    uint8_t skipNextReset = 0;
    uint8_t mgmtPageIndex = 0;         // the management tab's page cycle
    // Where a page write finished off its tab stands.
    struct FinishStand {
        size_t edits = 0;              // edits left for its page
        bool unlocked = false;
        bool written = false;
        bool operator==(const FinishStand&) const = default;
    };
    // A page write finished off its own tab.
    struct PageFinish {
        uint8_t reselect = 0;          // the tab's own pages are to be selected again once it is done
        uint8_t stalled = 0;           // ticks in a row it has not moved on
        uint8_t wait = 0;              // ticks left to the tab's own step after it gave way
        FinishStand standing {};       // where it stood after its last tick
    } finish;
    // The page-table pages that would not read, tried again now and then.
    struct PageRetry {
        uint8_t failed = 0;            // entries whose read failed this round, one bit each
        uint8_t wait = 0;              // ticks left to the tab's own step before they are tried again
        uint8_t retrying = 0;          // the pages left unread are being tried again
        uint8_t tabPage = 0;           // the logical page the tab's step was on when a try took it; 0 none
    } retry;
    // The PTP views: the view asked for by an edit and the wait before both are enabled again.
    int8_t ptpView = 0;
    int8_t ptpWait = -1;
    uint8_t ptpSourceChanged = 1;
    // The encoder maps.
    uint8_t mapWriteState = 0;         // 0 idle, 1 unlocked, 2 ready to write
    int32_t mapPosition = 0;
};
