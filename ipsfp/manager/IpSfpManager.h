// The manager of an IP encapsulation/decapsulation module in the SFP cage.
// It owns the IP menu's controls (built once, in a fixed order, and deleted
// with it), the address followers, the firmware revision reader and the
// video-standard converter; it maps the parameter table's logical pages to
// the module's physical pages, changes the page on the module, unlocks and
// commits controller pages, hands edited values to the module and paces the
// writes with the write-settle marker. It decides which controls stand for
// the flow on screen and shows, hides and colours them.
//
// While it writes its own controls it holds its busy byte (BusyGuard), and
// its change handler ignores what it hears. Application thread only.
#pragma once

#include "IpControlIds.h"

#include "core/TpCommand.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class CorvaneToEmbrionixVidStd;
class EmbrionixFirmwareRevisonReader;
class IPFollower;
class IpPageView;
class TpDialog;
class TpSysDialog;
struct SfpParamRow;
class TpApplication;
class IpSfpManager;

// The flow-copy job the periodic step runs.
struct IpPendingAction {
    IpSfpManager* owner = nullptr;
    int32_t menuValue = 0;
    int32_t side = 0;
    int32_t step = -1;          // -1 = no copy running
    int32_t flowCounter = 0;
    int32_t phase = 3;          // 0 video, 1 audio, 2 ancillary, 3 done
};

// The five controls of each of the sixteen audio channels.
struct IpChannelControls {
    std::array<std::array<std::unique_ptr<TpCommand>, IpIds::kChannelCount>, 5> arrays;
    ~IpChannelControls();
};

// Sets a busy byte for its lifetime and puts back what it held before, so a
// nested writer never clears an outer one.
class BusyGuard {
public:
    explicit BusyGuard(uint8_t& busy) : busy_(busy), saved_(busy) { busy_ = 1; }
    ~BusyGuard() { busy_ = saved_; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    uint8_t& busy_;
    uint8_t saved_;
};

// Shows the flow of a parameter control for its lifetime, so that the
// per-flow look-ups of an edit or a write find that flow's controls, and
// puts back the flow shown before. A row without a second control of its own
// leaves the flow shown as it is.
class ShownFlowGuard {
public:
    ShownFlowGuard(const SfpParamRow* row, unsigned cmdId);
    ~ShownFlowGuard();
    ShownFlowGuard(const ShownFlowGuard&) = delete;
    ShownFlowGuard& operator=(const ShownFlowGuard&) = delete;

private:
    uint8_t saved_;
};

// Known values counted over the parameter table.
struct SfpParamCounts {
    uint32_t all = 0;
    uint32_t controller = 0;   // reported only while the controller configure runs
    uint32_t flow = 0;         // reported only while the flow configure runs
    uint32_t other = 0;        // rows of neither set: written without Apply
};

class IpSfpManager : public TpCommand {
public:
    // ownerPage: the SFP status page; app tells whether the service keys
    // were held at power-on. Both may be none.
    explicit IpSfpManager(TpCommand* ownerPage = nullptr, const TpApplication* app = nullptr);
    ~IpSfpManager() override;

    // The IP menu's change handler: ignores everything while busy; an
    // address typed into an entry is split into its bytes.
    void OnChildChanged(TpCommand* child, int reason) override;

    // --- colours and boxes ---------------------------------------------------
    // Colour of the first coloured box of the id's chain, 0 when none.
    static uint32_t GetWidgetColour(unsigned cmdId);
    // Colour of the first widget of the chain that is not an edit box.
    static uint32_t GetWidgetColourNotEdit(unsigned cmdId);
    // Clears the edit colour of every command of the chain; an orange
    // (edited, unsent) one only when forced. Edit boxes go white, others 0.
    static bool ClearEditColour(unsigned cmdId, bool force);
    static void MarkEdited(unsigned cmdId, uint32_t colour);
    static void SetBoxEnabled(unsigned cmdId, bool enabled);
    void ColourStandardFields(bool good);
    void ColourStatusFlags(bool good);

    // --- flow selection ---------------------------------------------------------
    bool LockTxFlow();
    static uint16_t FlowValueControl();
    static uint16_t FlowLabelControl();
    static uint16_t FlowPortControl(unsigned cmdId);
    static uint16_t FlowCounterControl();
    static uint16_t FlowEncapControl();
    void RefreshFlowLabel(const std::string& text);
    // The entry's text as one decimal number split into its four bytes;
    // anything but digits up to 0xFFFFFFFF is ignored. False when ignored.
    bool IpAddressEntered(TpCommand* control);
    // Applies one show/hide set (flag: the second-flow views' condition).
    void ApplyVisibilitySet(IpIds::Set set, bool flag = false);
    bool IsConfiguring() const;
    bool IsReading() const;
    static bool IsDecapsulating();
    static bool IsEncapsulating();
    static void ResetFlowSelection();
    void FocusSfpTab(int tab);
    bool IsReservedMulticast() const;
    void SetMulticastMac();
    int32_t AddressGroupValue(int group) const;
    bool SourceMatchesManagement(bool second) const;
    void CopyManagementToSource();
    // True when any byte differs from a mask of fullBytes leading 255s (1-3).
    static bool AnyAddressByteSet(std::span<const uint16_t, 4> bytes, int fullBytes);
    void LoadAudioFlowChoice();
    void CopyStandardToSecondViews();
    void CopyAncFlowValue();
    void ResetConfigureFocus();
    void EnableOutsideSets(bool enable);
    bool StepPowerCycle();
    void CloseAnyWindow();
    void RefreshOnWindowClosed();
    void ShowProgressBox();
    static bool IsFlowAddressControl(unsigned cmdId);
    static bool IsFlowEditControl(unsigned cmdId);
    static bool IsFlowTransmitting();
    bool IsActionControl(const TpCommand* control, unsigned cmdId) const;
    bool IsFlowDestinationControl(const TpCommand* control) const;
    static void SelectSfpTab7();
    static void SetSfpPageCaption(const std::string& text);
    static void ClearDialogFocus(const std::string& name);
    int32_t LastStandardColour() const { return lastStandardColour; }
    void ResetAudioChannelIndex() { loadedFirmwareSlot = 255; }
    void ShowAudioFlowSummary();
    void ShowAncFlowTexts();
    void CheckEncapChannelCount();
    void CheckDecapChannelCount();
    static bool IsPtpViewLocked();
    void EnablePtpView(bool second, bool enable);
    void RefreshGeneratorStandard();
    void ApplyGeneratorStandard();
    void PrepareTxFlow();
    void RestoreLinkType();
    static void DisableSfpTabs();

    // --- module state and texts ------------------------------------------------------
    std::string SpinnerText();
    void ShowBusy();
    void ClearFlowTexts();
    void ShowIpBooting();
    void ResetModuleState();
    void SetModuleMode(uint8_t decapsulation);
    // One tick of the SFP status page with a module: page settling, the
    // three timers (one a tick), the menu set-up, the address checks, one
    // step of the flow copy and the requested standard conversion.
    void OnStatusTick();
    // Once the management address has been read again: the web address,
    // mask and gateway group checks, and the reset marks when the web
    // address's bytes are all equal.
    void CheckAddressReset();
    void ShowResetMarks();
    // The firmware reader's step; true while its read goes on.
    bool FirmwareReaderTick();
    bool IsFirmwareReadActive() const;

    EmbrionixFirmwareRevisonReader* FirmwareReader() const { return firmwareReader.get(); }
    CorvaneToEmbrionixVidStd* VidStdConverter() const { return vidStdConverter.get(); }
    IpPendingAction* PendingAction() const { return pendingAction.get(); }
    size_t FollowerCount() const { return followers_.size(); }
    IPFollower* Follower(size_t i) const { return i < followers_.size() ? followers_[i].get() : nullptr; }

    // --- module pages ------------------------------------------------------
    // The physical page of a logical page, from the page selectors.
    uint8_t MapLogicalPage(uint8_t logical);
    // Makes the logical page the one on the module: true when it already was
    // (only the status is polled), false after a request, accepted or not.
    bool ChangePage(uint8_t logical);

    // --- writes --------------------------------------------------------------
    // Command 2 (1 for the audio-map page) then a status poll; false when the
    // command write failed (the message is printed either way).
    bool UnlockControllerPage(uint8_t page);
    // Command 3 then a status poll.
    bool CommitControllerPage(uint8_t page);
    // Hands a parameter value to the module: one byte to its register; a
    // composite value split over its two byte controls (set through the store
    // and marked pending, nothing written); any other two-byte value to its
    // register and the next, most significant first. Wider values cannot be
    // written this way and are refused with a message.
    bool SetNewParameterValue(uint8_t page, uint8_t reg, int32_t value, uint32_t byteCount, uint16_t cmdId);

    // Services the write-settle marker (busyCountdown): unless disarmed, polls
    // the status once when a settle time remains and disarms it. Always false.
    bool ServiceWriteSettle();
    // Arms the marker with the full settle time.
    void ArmWriteSettle();

    // Rows with a pending edit: all, of the controller set, of the flow set.
    SfpParamCounts CountKnownParameters() const;

    // --- configure and read (IpSfpConfigure.cpp) ----------------------------------
    // The pages that show values; none: nothing is shown and only rows of
    // neither set are written.
    void SetPageView(IpPageView* view) { pageView_ = view; }
    // Reads one row of the selected page and shows it, or writes its pending
    // value (wrote set). False when a read failed.
    bool ProcessParameterRow(SfpParamRow& row, bool& wrote);
    // Every row of the logical page, while that page is current and settled.
    // False when a read failed or the page is not current.
    bool ReadPageParameters(uint8_t logical);
    // One step of writing the page's pending always-read rows: unlock, one
    // write, commit. True while work remains or a step was done.
    bool UpdateParametersByUnlockingPage(uint8_t logical);
    // The row becomes unread; its controls lose the edit colour. With log, a
    // written value goes to the SFP logger.
    void InvalidateParameter(SfpParamRow& row, bool log = false);
    void InvalidateAllParameters();
    void ResetPageState();
    void ResetOnModuleChange();
    // A user edit of a parameter control: the row holds it as pending.
    void OnParameterEdited(TpCommand* control);
    // Pending edits of the controller set (or the flow set) back to what the
    // module holds: the rows become unread and are read again.
    void RestoreEditedValues(bool controllerSet);
    // Colours the flow's MAC bytes red where they break its multicast mapping.
    void CheckMulticastMac();
    void ApplyModeLayout();
    // The progress box's text and the end of a configure; true while reading.
    bool UpdateProgressBox();
    // Every tick of the status page with an IP module.
    void UpdateBusyIndicator();

    // --- update sequencer (IpSfpSequencer.cpp) -----------------------------------
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

    // --- change handler (IpSfpChangeHandler.cpp) ----------------------------------
    void OnValueChanged(TpCommand* child);
    struct ChangeRow;
    // The sub-dialogs the IP menu opens by name, one instance each.
    enum class SubDialog : uint8_t {
        Igmp, Vlan, PtpMode, VidStd, Ssrc, SfpMode, Configure, Reading, EditMan, EditFlows, EditSecondFlows,
        AncPopup, AudioPopupD, AudioPopupE, SystemResets, DecMap, EncMap, Count
    };
    TpDialog* OpenDialog(SubDialog which) const { return dialogs_[static_cast<size_t>(which)]; }

    // --- state -----------------------------------------------------------------
    TpCommand* ownerPage = nullptr;
    // The owner page's loop check, run when the user confirms a firmware
    // change (the SFP status page sets it; none: nothing runs).
    std::function<void()> checkLoopOnSfpLoss;
    uint8_t controllerConfiguring = 0;
    uint8_t flowConfiguring = 0;
    uint8_t unlockAgain = 0;
    uint8_t txRestorePending = 0;
    uint8_t focusResetPending = 0;
    uint8_t lastProgressBusy = 0;
    uint8_t configuring = 0;
    uint8_t modulePresent = 0;
    uint8_t moduleReady = 0;
    uint8_t progressShown = 0;
    uint8_t pageUnlocked = 0;
    uint8_t pageWritten = 0;
    uint8_t monitorPending = 0;
    uint8_t busy = 0;                 // the manager is writing its own controls
    uint8_t statusRefreshRequest = 0;
    uint8_t ptpSourceChanged = 1;
    uint8_t encSkipAhead = 0;
    std::array<uint8_t, 8> encFlowEnabled {};
    std::array<uint8_t, 4> decFlowEnabled {};
    uint8_t source1Seen = 0, source2Seen = 0, source1Changed = 0, source2Changed = 0;
    uint8_t moduleIdentified = 0;
    int8_t audioRereadCounter = -1;
    int8_t audioSubStep = -1;
    int8_t encMapStep = -1;
    int8_t ptpView = 0;
    int8_t ptpWait = -1;
    int32_t rememberedTab = 7;
    uint8_t setupCountdown = 0xFF;
    uint8_t currentPage = 0;
    uint8_t pageCacheIndex = 0;
    uint8_t spinnerPhase = 0;
    uint8_t lastPendingPage = 0, secondPendingPage = 0;
    uint8_t savedFirmwareDefault = 0;
    uint8_t addressReadCounter = 0, addressReadHandled = 0;
    uint8_t addressResetState = 0;
    std::array<uint16_t, 3> addressCheck {};
    uint16_t source1Count = 0, source2Count = 0;
    int32_t copyFlagTimer = -1, secondCopyTimer = -1, statusRefreshTimer = -1;
    int32_t progressStep = 0;
    int32_t standardColourHold = 0;
    int32_t savedLinkType = -1;
    int32_t loadedFirmwareSlot = 255;
    int32_t mapPosition = 0;
    int32_t rememberedMapFlow = 1;
    std::array<uint32_t, 8> audioChannelCount {};
    std::array<std::array<uint8_t, 16>, 8> audioChannelActive {};
    uint8_t showingSource2 = 0;
    uint8_t linkTypeRestorePending = 0;
    uint8_t powerCycleCounter = 0xFF;            // 0xFF = idle
    int32_t lastStandardColour = -1;
    std::array<uint8_t, 2> audioFlowChoice {};   // loaded for the selected audio flow
    std::array<std::array<uint8_t, 2>, 8> storedAudioFlowChoice {};
    uint8_t requestedPage = 0;        // logical page asked for last (0 = none)
    uint8_t pageBlocked = 0;          // a requested page is not yet current and settled
    int32_t writeMark = -1;
    int32_t busyCountdown = -1;       // write-settle marker, -1 = disarmed
    int32_t firmwareDefaultCountdown = 0;
    // Physical pages last computed for each kind of page.
    uint8_t lastFlowPage = 0;
    uint8_t lastAncPage = 0;
    uint8_t lastPtpPage = 0;
    uint8_t lastBlockEPage = 0;
    uint8_t lastAudioPage = 0;

    // Sequencer counters.
    int32_t flowAlternation = 0;
    int8_t videoReread = -1;
    int32_t decapMapFlow = 0;
    int32_t encapMapFlow = 0;
    uint32_t mapParity = 0;
    uint8_t audioFlowReset = 0;
    uint8_t mapWriteState = 0;         // 0 idle, 1 unlocked, 2 ready to write
    uint8_t flowListReopen = 0;
    uint8_t skipNextReset = 0;
    uint8_t mgmtPageIndex = 0;         // the management tab's page cycle
    int32_t firmwareWarning = -1, firmwareWarningState = -1;
    int32_t chosenFirmwareSlot = -1;
    int32_t recordedFlowSelector = -1, recordedAudioFlow = -1, recordedAncFlow = -1;
    int32_t recordedPtpView = -1, recordedBlockE = -1;
    int32_t rememberedAudioFlow = 0;
    std::array<std::array<int32_t, 16>, 8> savedMapChannels {};
    std::array<uint8_t, 8> savedMapKnown {};

    static constexpr int32_t kWriteSettleTicks = 60;
    static constexpr uint16_t kProgressBoxId = 2654;

private:
    using GroupSpan = std::span<const IpIds::GroupRow>;
    TpCommand* Make(IpIds::Make make, uint16_t cmdId, uint32_t kind);
    void BuildGroups(GroupSpan groups);
    void BuildManagementControls();
    void BuildFollowers(std::span<const IpIds::FollowerRow> rows);
    void BuildChannelControls(uint16_t channel);
    void NameFlowList();
    // The manager's first own control of the id built at or after the
    // from-th control, none when it has none.
    TpCommand* OwnControl(unsigned cmdId, size_t from = 0) const;
    // The steps of OnStatusTick.
    bool SettlePage();
    void StepTimers();
    void StepMenuSetup();
    void StepFlowCopy();
    // Shows or hides every id, in order.
    static void ShowIds(std::span<const uint16_t> ids, bool shown);
    // Shows or hides the rows' controls by the module's direction and firmware.
    static void ApplyLayout(std::span<const IpIds::LayoutRow> rows, bool decap, bool is2110);

    static std::span<const ChangeRow> ChangeRows();
    static std::span<const ChangeRow> ValueRows();
    // Change handler rows: true when the row acted and the tests stop.
    bool OnFirmwareWarningAck(TpCommand* c);
    bool OnStandardField(TpCommand* c);
    bool OnPowerCycle(TpCommand* c);
    bool OnTabSelect(TpCommand* c);
    bool OnAudioPacketCopy(TpCommand* c);
    bool OnPageSelector(TpCommand* c);
    bool OnDefaultEnable(TpCommand* c);
    bool OnResetAnswer(TpCommand* c);
    bool OnResetQuestion(TpCommand* c);
    bool OnAddressCopy(TpCommand* c);
    bool OnPopup(TpCommand* c);
    bool OnVideoReread(TpCommand* c);
    bool OnChannelPicker(TpCommand* c);
    bool OnMapDialog(TpCommand* c);
    bool OnFlowSetup(TpCommand* c);
    bool OnFlowApplyCancel(TpCommand* c);
    bool OnDestinationPrefix(TpCommand* c);
    bool OnManagement(TpCommand* c);
    bool OnMonitorSelect(TpCommand* c);
    bool OnTxOffOn(TpCommand* c);
    bool OnMapChannelSelect(TpCommand* c);
    bool OnGeneratorOutput(TpCommand* c);
    bool OnBoxButton(TpCommand* c);
    bool OnFirmwareSelect(TpCommand* c);
    bool OnFirmwareAnswer(TpCommand* c);
    bool OnDefaultFlow(TpCommand* c);
    bool OnDefaultFlowAnswer(TpCommand* c);
    bool OnParameterControl(TpCommand* c);
    void Open(SubDialog which, unsigned focusId = 0);
    void CloseSub(SubDialog which);
    // Shows the check dialog with the two text-table entries, answered to the
    // confirmation (made when there is none).
    void Ask(std::unique_ptr<TpSysDialog>& confirm, const unsigned (&texts)[2]);
    // Sets a control with the change handler quiet.
    void SetQuiet(unsigned cmdId, int32_t value);
    void ResetButton(unsigned cmdId) { SetQuiet(cmdId, 0); }
    // Selects a logical page afresh (the page-loaded flag cleared first).
    void SelectPageAfresh(uint8_t logical);
    bool MapDialogOpen() const;
    // Sequencer steps.
    void StepFlowAlternation();
    void StepPtp();
    void ResumeMapSteps(uint8_t& reopen, int8_t& step);
    void StepDecapMap();
    void StepEncapMap();
    void StepVideoTab();
    void StepAudioTab();
    bool WriteStepOnPage(uint8_t logical);
    // The steps of CommitEncAudMapPg.
    bool MapShowsFlow(int32_t wanted);
    void UnlockMapPage();
    bool WriteMapChannels(int32_t wanted);
    bool ShowChannelCount(SfpParamRow& countRow, uint32_t kept, int32_t n);
    void SaveMap(int32_t flow);
    void RefreshClearedRow(const SfpParamRow& row);
    void RestoreShownValue(SfpParamRow& row);
    // The progress box's steps: its text (the count still to configure
    // returned), the end of the configures (true when the transmit goes on
    // again), the flow list's reopen, the progress dialogs closed.
    uint32_t ShowProgressText(bool reading);
    bool EndConfigures();
    void ReopenFlowList();
    void CloseProgressDialogs();

    IpPageView* pageView_ = nullptr;
    std::array<TpDialog*, static_cast<size_t>(SubDialog::Count)> dialogs_ {};
    std::unique_ptr<TpSysDialog> resetConfirm_, firmwareConfirm_, defaultFlowConfirm_;
    uint8_t progressVisible_ = 0;
    std::unique_ptr<EmbrionixFirmwareRevisonReader> firmwareReader;
    std::unique_ptr<CorvaneToEmbrionixVidStd> vidStdConverter;
    std::unique_ptr<IpPendingAction> pendingAction;
    std::unique_ptr<IpChannelControls> channelControls;
    std::vector<std::unique_ptr<IPFollower>> followers_;   // the three web followers first
    std::vector<std::unique_ptr<TpCommand>> controls_;     // every other control, in build order
    std::array<TpCommand*, std::size(IpIds::kStatusIds)> statusControls_ {};
    bool closeHookSet_ = false;
};
