// The progress box of the IP menu ("Reading SFP ", "Configure SFP ",
// "Remain:%d Param", "BUSY! " with the spinner): what the manager is doing
// with the module, updated every tick of the status page. It also ends the
// configures once their rows are written, closes the progress dialogs and
// enables the factory resets while nothing is read. Application thread only.
#pragma once

#include <cstdint>

class IpBusy;
class IpConfigurePass;
class IpControlTree;
class IpFlowView;
class IpModulePages;
class IpSubDialogs;
class IpUpdateSequencer;

class IpProgressBox {
public:
    IpProgressBox(IpBusy& busy, IpFlowView& flows, IpModulePages& pages, IpControlTree& controls,
                  IpSubDialogs& dialogs, IpConfigurePass& configure, IpUpdateSequencer& sequencer);

    // The box's text and the end of a configure; true while reading.
    bool UpdateProgressBox();
    // Every tick of the status page with an IP module.
    void UpdateBusyIndicator();
    // The box shown at once, and kept up for the mode switch's polls.
    void Show();
    // The box is shown at the next tick.
    void RequestShow() { progressShown = 1; }
    bool ShowRequested() const { return progressShown != 0; }
    // Text tests of the box.
    static bool IsConfiguring();
    static bool IsReading();
    // A firmware change runs: the box says "Configure SFP " until it is written.
    void StartConfigure() { configuring = 1; }
    bool MonitorPending() const { return monitorPending != 0; }
    void AcknowledgeFirmwareWarning() { firmwareWarningState = 0; }
    void ForgetFirmwareWarning() { firmwareWarning = -1; }

private:
    bool ModuleBeingRead() const;
    uint32_t ShowProgressText(bool reading);
    void CloseProgressDialogs();

    IpBusy& busy_;
    IpFlowView& flows_;
    IpModulePages& pages_;
    IpControlTree& controls_;
    IpSubDialogs& dialogs_;
    IpConfigurePass& configure_;
    IpUpdateSequencer& sequencer_;
    uint8_t progressShown = 0;         // the box is to be shown at the next tick
    int32_t progressStep = 0;          // status polls the box still owes
    uint8_t focusResetPending = 0;
    uint8_t lastProgressBusy = 0;
    uint8_t monitorPending = 0;
    uint8_t configuring = 0;           // 1: "Configure SFP ", 0: "Reading SFP "
    int32_t firmwareWarning = -1, firmwareWarningState = -1;
};
