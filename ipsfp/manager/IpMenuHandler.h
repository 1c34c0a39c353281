// The IP menu's change handler: what each button, selector and field does
// when the user changes it. Two tables of rows are tried in order and the
// first row that acts ends the search; a parameter control that no row takes
// becomes a pending edit. The handler keeps the confirmations it asks, the
// values the user last chose (audio flow, map flow, firmware slot) and the
// pages edits wait on. Application thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

class IpAudioMaps;
class IpBusy;
class IpConfigurePass;
class IpControlTree;
class IpEditBook;
class IpFlowView;
class IpModulePages;
class IpPageView;
class IpProgressBox;
class IpPeriodicStep;
class IpSubDialogs;
class IpUpdateSequencer;
class TpCommand;
class TpSysDialog;
struct SfpParamRow;

// The parts of the manager the handler works on.
struct IpHandlerParts {
    IpBusy& busy;
    IpFlowView& flows;
    IpModulePages& pages;
    IpControlTree& controls;
    IpSubDialogs& dialogs;
    IpConfigurePass& configure;
    IpPeriodicStep& tick;
    IpUpdateSequencer& sequencer;
    IpProgressBox& progress;
    IpAudioMaps& maps;
    IpEditBook& edits;
};

class IpMenuHandler {
public:
    // owner: the manager, parent of the confirmations (their answers come
    // back as its children's changes).
    IpMenuHandler(TpCommand& owner, const IpHandlerParts& parts, IpPageView* const& pageView);
    ~IpMenuHandler();

    // A child of the manager changed: an address typed into an entry is split
    // into its bytes; a value runs the tables.
    void OnChildChanged(TpCommand* child, int reason);
    void OnValueChanged(TpCommand* child);

    // The owner page's loop check, run when the user confirms a firmware
    // change (none: nothing runs).
    void SetLoopCheck(std::function<void()> check) { checkLoopOnSfpLoss = std::move(check); }

    struct ChangeRow;

private:
    static std::span<const ChangeRow> ChangeRows();
    static std::span<const ChangeRow> ValueRows();
    bool RunRows(std::span<const ChangeRow> rows, TpCommand* child);
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
    // A user edit of a parameter control: booked for the page it belongs to.
    void OnParameterEdited(TpCommand* control);
    void RefreshFlowTexts();
    void MirrorTypedSsrc();
    void NoteEditedRow(const SfpParamRow& row);
    void HoldEdit(const SfpParamRow& row, const TpCommand& control);
    // A value typed whole into an entry: every byte of it booked for its page.
    void BookEntry(const TpCommand& entry);
    // While the flow copy holds the control, a change to another value is
    // put back; true when it was.
    bool PutBackHeld(const TpCommand& c);
    // Shows the check dialog with the two text-table entries, answered to the
    // confirmation (made when there is none).
    void Ask(std::unique_ptr<TpSysDialog>& confirm, const unsigned (&texts)[2]);
    void ResetButton(unsigned cmdId);

    TpCommand& owner_;
    IpHandlerParts parts_;
    IpPageView* const& pageView_;
    std::function<void()> checkLoopOnSfpLoss;
    std::unique_ptr<TpSysDialog> resetConfirm_, firmwareConfirm_, defaultFlowConfirm_;
    int32_t rememberedAudioFlow = 0;
    int32_t rememberedMapFlow = 1;     // the map channel selector's flow while a map dialog is open
    int32_t chosenFirmwareSlot = -1;
    uint8_t lastPendingPage = 0, secondPendingPage = 0;   // logical pages that hold edits
};
