// The manager of an IP encapsulation/decapsulation module in the SFP cage:
// the one object that holds what the instrument knows of the module. It is
// the parent of the IP menu's controls and owns its parts, each with the
// state it works on, from the bottom up: the edit book (the edits waiting
// for their pages), the flow view (which module, which flow), the module
// pages (page map and change, unlock, commit, parameter writes,
// write-settle), the control tree, the sub-dialogs, the configure pass, the
// periodic step, the update sequencer, the progress box and the menu's
// change handler. It also owns the firmware revision reader and the
// video-standard converter, and runs the few operations that span parts:
// the module reset and mode switch, the window-closed hook, the tick.
//
// While a part writes the manager's own controls it holds the busy byte, and
// the change handler ignores what it hears. Application thread only.
#pragma once

#include "IpAudioMaps.h"
#include "IpBusy.h"
#include "IpConfigurePass.h"
#include "IpControlTree.h"
#include "IpEditBook.h"
#include "IpFlowView.h"
#include "IpMenuHandler.h"
#include "IpModulePages.h"
#include "IpPageView.h"
#include "IpPeriodicStep.h"
#include "IpProgressBox.h"
#include "IpSubDialogs.h"
#include "IpUpdateSequencer.h"

#include "core/store/TpCommand.h"

#include <cstdint>
#include <memory>

class CorvaneToEmbrionixVidStd;
class EmbrionixFirmwareRevisonReader;
class TpApplication;

class IpSfpManager : public TpCommand {
public:
    // app tells whether the service keys were held at power-on; may be none.
    explicit IpSfpManager(const TpApplication* app = nullptr);
    ~IpSfpManager() override;

    // The IP menu's change handler.
    void OnChildChanged(TpCommand* child, int reason) override { handler_.OnChildChanged(child, reason); }

    // The parts, from the bottom up.
    IpBusy& Busy() { return busy_; }
    IpFlowView& Flows() { return flows_; }
    IpModulePages& Pages() { return pages_; }
    IpControlTree& Controls() { return controls_; }
    IpSubDialogs& Dialogs() { return dialogs_; }
    IpConfigurePass& Configure() { return configure_; }
    IpPeriodicStep& Tick() { return tick_; }
    IpUpdateSequencer& Sequencer() { return sequencer_; }
    IpProgressBox& Progress() { return progress_; }
    IpMenuHandler& Handler() { return handler_; }
    const IpEditBook& Edits() const { return edits_; }
    // The pages that show values; none: nothing is shown and only rows of
    // neither set are written.
    void SetPageView(IpPageView* view) { pageView_ = view; }
    IpPageParts PageParts() { return {busy_, flows_, controls_, tick_, maps_}; }

    // One tick of the SFP status page with a module: the periodic step, then
    // the video-standard conversion a list change asked for.
    void OnStatusTick();
    void SetModuleMode(uint8_t decapsulation);
    // Every cached module value back to unread, "0" or empty.
    void ResetModuleState();
    // A module was inserted: back to the set-up tab, every row unread; a flow
    // copy's side under way starts again.
    void ResetOnModuleChange();
    // Run by the window stack whenever a window closes.
    void CloseAnyWindow();
    // The firmware reader's step; true while its read goes on.
    bool FirmwareReaderTick();
    bool IsFirmwareReadActive() const;
    EmbrionixFirmwareRevisonReader* FirmwareReader() const { return firmwareReader.get(); }
    CorvaneToEmbrionixVidStd* VidStdConverter() const { return vidStdConverter.get(); }
    // The dialog selection a closing window resets: -1 none, 4 kept.
    int32_t WindowSelection() const { return windowSelection; }

private:
    // After a window closed: 3396 back to 0, the audio map reopened on its
    // tab, the map position back to the first flow on the flow and PTP tabs.
    void RefreshOnWindowClosed();

    IpBusy busy_;
    IpPageView* pageView_ = nullptr;
    IpEditBook edits_;
    IpFlowView flows_ {busy_, edits_};
    IpModulePages pages_ {flows_, busy_, edits_};
    IpControlTree controls_ {busy_, flows_};
    IpSubDialogs dialogs_;
    IpAudioMaps maps_;
    IpConfigurePass configure_ {busy_, flows_, pages_, controls_, edits_, pageView_};
    IpPeriodicStep tick_ {busy_, flows_, pages_, edits_};
    IpUpdateSequencer sequencer_ {busy_,    flows_, pages_, controls_, dialogs_, configure_,
                                  maps_,    edits_, tick_,  pageView_};
    IpProgressBox progress_ {busy_, flows_, pages_, controls_, dialogs_, configure_, sequencer_};
    IpMenuHandler handler_ {
        *this,
        {busy_, flows_, pages_, controls_, dialogs_, configure_, tick_, sequencer_, progress_, maps_, edits_},
        pageView_};
    std::unique_ptr<EmbrionixFirmwareRevisonReader> firmwareReader;
    std::unique_ptr<CorvaneToEmbrionixVidStd> vidStdConverter;
    int32_t windowSelection = -1;
    uint8_t skipNextClose = 0;   // one-shot: the next window close is ignored
    bool closeHookSet_ = false;
};
