#include "IpProgressBox.h"
#include "IpBusy.h"
#include "IpConfigurePass.h"
#include "IpControlTree.h"
#include "IpFlowView.h"
#include "IpModulePages.h"
#include "IpSubDialogs.h"
#include "IpUpdateSequencer.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/log/SFPLogger.h"

#include "KrZuApi.h"
#include "core/store/TpStore.h"

#include <cstdio>
#include <optional>

namespace {

using IpStoreAccess::TheStore;
using IpStoreAccess::ValueOf;

constexpr int kProgressCountdown = 60;
constexpr int32_t kMonitorProgress = 7;

} // namespace

IpProgressBox::IpProgressBox(IpBusy& busy, IpFlowView& flows, IpModulePages& pages, IpControlTree& controls,
                             IpSubDialogs& dialogs, IpConfigurePass& configure, IpUpdateSequencer& sequencer)
    : busy_(busy),
      flows_(flows),
      pages_(pages),
      controls_(controls),
      dialogs_(dialogs),
      configure_(configure),
      sequencer_(sequencer)
{
}

bool IpProgressBox::IsConfiguring()
{
    const TpStore* store = TheStore();
    return store != nullptr && store->GetCmdText(IpIds::kProgressBox).starts_with("Configure SFP");
}

bool IpProgressBox::IsReading()
{
    const TpStore* store = TheStore();
    return store != nullptr && store->GetCmdText(IpIds::kProgressBox).starts_with("Reading SFP");
}

void IpProgressBox::Show()
{
    progressShown = 1;
    progressStep = kProgressCountdown;
    if (TpStore* store = TheStore())
        store->SetVisible(IpIds::kProgressBox, true);
}

// Reading while the module is not present and ready, while a page of the
// page table is unread, and while the setup tab shows the program page.
bool IpProgressBox::ModuleBeingRead() const
{
    bool reading = !flows_.ModulePresent() || !flows_.ModuleReady();
    for (const SfpPageEntry& e : SfpLink::State().pageTable)
        reading = reading || (e.page != 0 && e.loaded == 0);
    return reading || (pages_.CurrentPage() == SfpPageNumber(SfpLogicalPage::ProgramPg) &&
                       ValueOf(COM_SFP_TAB_SELECT) == IpIds::kTabSetup);
}

bool IpProgressBox::UpdateProgressBox()
{
    TpStore* store = TheStore();
    if (store == nullptr)
        return false;
    if (focusResetPending != 0) {
        IpFlowView::ResetConfigureFocus();
        focusResetPending = 0;
    }
    const bool reading = ModuleBeingRead();
    {
        const BusyGuard guard = busy_.Hold();
        const uint32_t remain = ShowProgressText(reading);
        // The switch shows the transmit on again (or as a user set it
        // meanwhile); each flow page whose transmit the Apply switched off
        // has it back once written.
        if (const std::optional<int32_t> transmit = configure_.EndConfigures())
            store->SetValue(COM_SFP_IP_TX_OFF_ON, *transmit);
        sequencer_.ReopenFlowList();
        monitorPending = 0;
        flows_.EnableOutsideSets(true);
        if (!reading && remain == 0)
            CloseProgressDialogs();
        const bool resetsAllowed = !reading && firmwareWarning == -1 && firmwareWarningState == -1;
        store->SetEnabled(COM_SFP_IP_FACT_RESET1, resetsAllowed);
        store->SetEnabled(COM_SFP_IP_FACT_RESET2, resetsAllowed);
        if (!reading && lastProgressBusy != 0)
            focusResetPending = 1;
        lastProgressBusy = reading ? 1 : 0;
    }
    return reading;
}

// The text; the count still to configure returned.
uint32_t IpProgressBox::ShowProgressText(bool reading)
{
    TpStore& store = *TheStore();
    const SfpParamCounts counts = configure_.CountKnownParameters();
    const uint32_t remain = counts.controller + counts.flow;
    if (reading) {
        if (ValueOf(COM_SFP_IP_MONITOR_SEL) == kMonitorProgress)
            monitorPending = 1;
        store.SetText(IpIds::kProgressBox,
                      (configuring != 0 ? "Configure SFP " : "Reading SFP ") + controls_.SpinnerText());
        progressShown = 1;
        progressStep = 1;
    } else if (remain > 0) {
        char text[32];
        std::snprintf(text, sizeof text, "Remain:%d Param", static_cast<int>(remain));
        store.SetText(IpIds::kProgressBox, std::string(text) + " " + controls_.SpinnerText());
        progressShown = 1;
        progressStep = 1;
    } else if (!pages_.WriteSettling()) {
        store.SetText(IpIds::kProgressBox, "");
    } else {
        progressShown = 1;
        progressStep = 1;
        controls_.ShowBusy();
    }
    return remain;
}

// A configure (a firmware change) is done only once its own edits are written too.
void IpProgressBox::CloseProgressDialogs()
{
    if (monitorPending != 0 || (configuring != 0 && configure_.CountKnownParameters().other != 0))
        return;
    if (configuring != 0 && dialogs_.OpenDialog(IpSubDialog::Configure) != nullptr)
        if (SFPLogger* logger = SFPLogger::Instance())
            logger->LogModuleActionDone();
    configuring = 0;
    dialogs_.Close(IpSubDialog::Configure);
    dialogs_.Close(IpSubDialog::Reading);
}

void IpProgressBox::UpdateBusyIndicator()
{
    UpdateProgressBox();
    if (TheStore() == nullptr)
        return;
    if (progressShown != 0) {
        controls_.ShowProgressControl(true);
        if (--progressStep >= 0)   // one status poll a tick, however much the countdown holds
            SfpLink::PollSfpStatus();
        progressStep = 0;
        progressShown = 0;
    } else if (controls_.ProgressControlShown()) {
        controls_.ShowProgressControl(false);
        controls_.ShowBusy();
    }
}
