#include "IpUpdateSequencer.h"
#include "IpAudioMaps.h"
#include "IpBusy.h"
#include "IpConfigurePass.h"
#include "IpControlTree.h"
#include "IpEditBook.h"
#include "IpFlowView.h"
#include "IpModulePages.h"
#include "IpPageView.h"
#include "IpPeriodicStep.h"
#include "IpSubDialogs.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/store/TpStore.h"
#include "platform/DebugOut.h"
#include "sim/EmSfpSimFlags.h"

#include <algorithm>
#include <utility>

namespace {

using IpStoreAccess::StoreValue;
using IpStoreAccess::TheStore;
using IpStoreAccess::ValueOf;

constexpr size_t kSequenceErrorsRow = 207;
constexpr uint8_t kVideoSequenceRegister = 0xA3, kFlowSequenceRegister = 0xB0;
constexpr int8_t kRereadTicks = 6;
constexpr int8_t kPtpWaitEnd = 16, kPtpWaitUpdate = 5;
constexpr int8_t kEncMapCommit = 40, kEncMapSkipTo = 38;
// The audio sub-steps: up to 5 the audio page is read, 7 selects the map page,
// 8-11 commit the selected flow's map, then the audio page is selected again.
constexpr int8_t kSubStepLastRead = 5, kSubStepMapSelect = 7, kSubStepMapCommitLast = 11;
constexpr int8_t kDecapMapSteps = 16, kDecapAudioFirst = 6, kDecapAudioLast = 11, kDecapOutputSelect = 13;
constexpr uint8_t kMapBusyRegister = 130, kMapFlowRegister = 131;
// Ticks the tab's own step has before page-table pages that failed to read,
// or a page write off its tab that stopped moving on, are tried again.
constexpr uint8_t kPageRetryTicks = 40;
// Ticks in a row a page write finished off its tab may hold the tab's own
// step without moving on: far more than a page select takes to settle.
constexpr uint8_t kPageFinishStallTicks = 20;
constexpr int kMapChannels = 16;
// Each map channel's rows follow the count row: input device, SDI channel to embed, active.
constexpr int kMapRowsPerChannel = 3, kMapSdiRow = 2, kMapActiveRow = 3;

uint8_t Page(SfpLogicalPage page) { return SfpPageNumber(page); }

// What the sequencer just did, with the spinner; the IP menu has no control
// for it, so it goes to the chatty debug output.
void ShowUpdating(const char* what, const std::string& spinner)
{
    DebugChatty("%s%s\n", what, spinner.c_str());
}

void SetSequenceRegister(uint8_t reg)
{
    if (SfpParamRow* row = SfpParamTable::Instance().Row(kSequenceErrorsRow))
        row->readRegister = reg;
}

// Whether the page is one of the page table's.
bool OnPageTable(uint8_t page)
{
    return page != 0 &&
           std::ranges::any_of(SfpLink::State().pageTable, [page](const SfpPageEntry& e) { return e.page == page; });
}

} // namespace

IpUpdateSequencer::IpUpdateSequencer(IpBusy& busy, IpFlowView& flows, IpModulePages& pages, IpControlTree& controls,
                                     IpSubDialogs& dialogs, IpConfigurePass& configure, IpAudioMaps& maps,
                                     IpEditBook& edits, const IpPeriodicStep& tick, IpPageView* const& pageView)
    : busy_(busy),
      flows_(flows),
      pages_(pages),
      controls_(controls),
      dialogs_(dialogs),
      configure_(configure),
      maps_(maps),
      edits_(edits),
      tick_(tick),
      pageView_(pageView)
{
}

void IpUpdateSequencer::RunUpdateStep()
{
    const EmSfpSimFlags& sim = SimEmSfpFlags();
    flows_.TakeModule(sim.Mode2022() == 0, sim.Decapsulation());
    if (flows_.TakeDecapMapRestart())
        RestartDecapMapSteps();
    configure_.ApplyModeLayout();
    const int32_t tab = ValueOf(COM_SFP_TAB_SELECT);
    flows_.TakeMenuTab(tab);
    StepFlowAlternation();
    pages_.HoldForPageWrite(false);
    if (FinishPageWrite() || (tab != IpIds::kTabSetup && ReadUnloadedPages()))
        return;
    switch (tab) {
    case IpIds::kTabVideo: StepVideoTab(); break;
    case IpIds::kTabAudio: StepAudioTab(); break;
    case IpIds::kTabAnc: StepAncTab(); break;
    case IpIds::kTabPtp: StepPtp(); break;
    case IpIds::kTabBlockE: UpdateFlowPage(Page(SfpLogicalPage::BlockEPg)); break;
    case IpIds::kTabAudioMap:
        if (flows_.IsDecapsulating())
            StepDecapMap();
        else
            StepEncapMap();
        break;
    case IpIds::kTabSetup: UpdateManagementPages(); break;
    default: break;
    }
}

// The selector is worked out first and written once a tick, so that one page
// request follows each change (ticks 1-2 of the cycle the first flow, 3-10 the
// second). While a flow copy holds the menu's selection the selector is the
// copy's side and the cycle waits.
void IpUpdateSequencer::StepFlowAlternation()
{
    if (!tick_.CopyHoldsMenu())
        AlternateFlowSelector();
    // A flow refresh reads the flow shown afresh: its page is selected again.
    if (flows_.TakeFlowRefresh())
        pages_.ForgetFlowSelector();
    // An unchanged selector tells the change handler nothing; its page may
    // still be due (a new tab, or the first tick).
    if (TheStore() != nullptr && TheStore()->GetCmd(COM_SFP_IP_FLOW_SEL) != nullptr)
        pages_.FollowSelector(COM_SFP_IP_FLOW_SEL, ValueOf(COM_SFP_IP_FLOW_SEL));
}

void IpUpdateSequencer::AlternateFlowSelector()
{
    int32_t& c = flowAlternation;
    int32_t selector = 1;
    if (c <= 2) {
        selector = 0;
        DebugChatty("\n\nPRI\n\n");
    } else if (c >= 7) {
        DebugChatty("\n\nSEC\n\n");
    }
    StoreValue(COM_SFP_IP_FLOW_SEL, selector);
    if (++c > 10)
        c = 1;
}

void IpUpdateSequencer::StepVideoTab()
{
    SetSequenceRegister(kVideoSequenceRegister);
    if (flows_.LockTxFlow())
        UpdateFlowPage(Page(SfpLogicalPage::FlowPg));
    if (videoReread != -1 && ++videoReread > kRereadTicks) {
        // The first flow's standard into the second flow's views, then the list again.
        flows_.CopyStandardToSecondViews();
        flows_.FocusFlowList(true);
        videoReread = -1;
        flowListReopen = 1;
    }
}

void IpUpdateSequencer::StepAudioTab()
{
    SetSequenceRegister(kFlowSequenceRegister);
    if (audioFlowReset != 0) {
        StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, 0);
        audioFlowReset = 0;
    }
    if (pages_.WriteSettling())
        return;
    if (flows_.IsDecapsulating()) {
        if (flows_.LockTxFlow())
            UpdateFlowPage(Page(SfpLogicalPage::DecAudioPg));
        flows_.CheckDecapChannelCount();
        if (audioRereadCounter != -1 && ++audioRereadCounter > kRereadTicks) {
            // The audio packet copy: the first flow's value into the second
            // flow's control, then the list again, as on the video tab.
            flows_.CopyAncFlowValue();
            flows_.FocusFlowList(true);
            audioRereadCounter = -1;
            flowListReopen = 1;
        }
    } else {
        if (UpdateAudioEncMapping())
            ShowUpdating("Audio Enc Mapping-Updating ", controls_.SpinnerText());
        flows_.LoadAudioFlowChoice();
        flows_.CheckEncapChannelCount();
    }
    flows_.ShowAudioFlowSummary();
}

void IpUpdateSequencer::StepAncTab()
{
    SetSequenceRegister(kFlowSequenceRegister);
    if (pages_.WriteSettling() || !flows_.LockTxFlow())
        return;
    const bool decap = flows_.IsDecapsulating();
    UpdateFlowPage(Page(decap ? SfpLogicalPage::DecAncPg : SfpLogicalPage::EncAncPg));
    if (!decap)
        flows_.ShowAncFlowTexts();
}

bool IpUpdateSequencer::UpdateFlowPage(uint8_t logical)
{
    if (!configure_.ReadPageParameters(logical, IpConfigurePass::PageRows::FlowRows))
        return false;
    ShowUpdating("Flow Configuration-Updating ", controls_.SpinnerText());
    configure_.CheckMulticastMac();
    return true;
}

// --- PTP ------------------------------------------------------------------------------

bool IpUpdateSequencer::UpdatePtpPage()
{
    const uint8_t ptp = Page(SfpLogicalPage::PtpPg);
    if (!configure_.UpdateParametersByUnlockingPage(ptp) && !pages_.WriteSettling()) {
        if (!configure_.ReadPageParameters(ptp, IpConfigurePass::PageRows::OwnRows))
            return false;
        // The view just read holds the fresh counter: the first source's in
        // the first view, the second's in the second.
        if (pageView_ != nullptr)
            pageView_->ShowActiveSource(ValueOf(COM_SFP_IP_PTP_SEL) == 1);
    }
    ShowUpdating("PTP-Updating ", controls_.SpinnerText());
    return true;
}

void IpUpdateSequencer::StepPtp()
{
    if (ptpWait == -1) {
        if (ptpView == 0) {
            if (UpdatePtpPage() && ptpSourceChanged != 0) {
                busy_.SetQuiet(IpIds::kPtpSources[0], 0);
                busy_.SetQuiet(IpIds::kPtpSources[1], 0);
                ptpSourceChanged = 0;
            }
            StoreValue(COM_SFP_IP_PTP_SEL, ValueOf(COM_SFP_IP_PTP_SEL) == 0 ? 1 : 0);
        } else {
            StoreValue(COM_SFP_IP_PTP_SEL, ptpView - 1);
            FollowPtpView();
            ptpView = 0;
            ptpWait = 0;
        }
        return;
    }
    FollowPtpView();
    if (++ptpWait >= kPtpWaitEnd) {
        ptpWait = -1;
        if (IpFlowView::IsPtpViewLocked()) {
            flows_.EnablePtpView(false, true);
            flows_.EnablePtpView(true, true);
        }
        return;
    }
    if (ptpWait >= kPtpWaitUpdate)
        UpdatePtpPage();
}

// The view kept through a wait tells the change handler nothing: its page is
// selected again when a read of the page table took the module from it.
void IpUpdateSequencer::FollowPtpView()
{
    if (TheStore() != nullptr && TheStore()->GetCmd(COM_SFP_IP_PTP_SEL) != nullptr)
        pages_.FollowSelector(COM_SFP_IP_PTP_SEL, ValueOf(COM_SFP_IP_PTP_SEL));
}

void IpUpdateSequencer::OnPtpRowEdited(bool firstView)
{
    if (IpFlowView::IsPtpViewLocked()) {
        ptpWait = 0;
        return;
    }
    ptpView = firstView ? 1 : 2;
    flows_.EnablePtpView(ptpView == 1, false);
}

// --- the audio maps --------------------------------------------------------------------------

void IpUpdateSequencer::UpdateDecoderOutputPage()
{
    const uint8_t dec = Page(SfpLogicalPage::DecOutpg);
    if (ValueOf(COM_SFP_TAB_SELECT) == IpIds::kTabAudioMap) {
        // A selection still loading is read once it is current, not made
        // again: that would start the load afresh.
        if (pages_.CurrentPage() == dec || pages_.RequestedPage() == dec) {
            if (configure_.ReadPageParameters(dec, IpConfigurePass::PageRows::FlowRows))
                ShowUpdating("Updating ", controls_.SpinnerText());
            return;   // read once: the second read of the page would repeat this one
        }
        pages_.SelectPageAfresh(dec);
        return;
    }
    configure_.ReadPageParameters(dec, IpConfigurePass::PageRows::FlowRows);
}

void IpUpdateSequencer::SetAudioSubStep(int8_t step)
{
    audioSubStep = step;
    pages_.HoldMapPage(step >= kSubStepMapSelect && step <= kSubStepMapCommitLast);
}

void IpUpdateSequencer::ResetPageState()
{
    SetAudioSubStep(-1);
    encMapStep = -1;
    busy_.SetQuiet(IpIds::kDefaultSettingsEnable, 0);
    if (ValueOf(COM_SFP_TAB_SELECT) != IpIds::kTabAudioMap)
        SetDecapMapStep(0);
    if (skipNextReset != 0) {
        skipNextReset = 0;
        return;
    }
    configure_.InvalidateAllParameters();
    busy_.SetQuiet(COM_SFP_IP_FLOW_SEL, 0);
    ptpView = 0;
    ptpWait = -1;
}

void IpUpdateSequencer::SetDecapMapStep(int8_t step)
{
    decapMapStep = step;
    pages_.MapPagesToAudioFlow(step >= kDecapAudioFirst && step <= kDecapAudioLast);
}

// Back to step 0, unless the decoder map dialog keeps the steps stopped: its
// edits would be dropped by step 6's reset.
void IpUpdateSequencer::RestartDecapMapSteps()
{
    if (decapMapStep == -1 && dialogs_.MapDialogOpen())
        return;
    SetDecapMapStep(0);
}

// A map dialog stops its tab's map steps (-1); once no map dialog is open and
// the tab's map is shown again (the reopen flag), they start over.
void IpUpdateSequencer::ResumeMapSteps(bool decap, int8_t& step)
{
    if (!flows_.MapReopenRequested(decap) || dialogs_.MapDialogOpen())
        return;
    flows_.ClearMapReopen(decap);
    if (step == -1)
        step = 0;
}

void IpUpdateSequencer::StepDecapMap()
{
    int8_t step = decapMapStep;
    ResumeMapSteps(true, step);
    SetDecapMapStep(step);
    if ((++mapParity & 1) != 0)
        return;
    const int8_t s = decapMapStep;
    if (s == -1) {
        UpdateDecoderMap();
        return;
    }
    if (s == kDecapAudioFirst) {
        ResetPageState();
        pages_.SelectPageAfresh(Page(SfpLogicalPage::DecAudioPg));
    } else if (s > kDecapAudioFirst && s <= kDecapAudioLast) {
        if (!pages_.WriteSettling())
            StepDecapAudioFlow();
    } else if (s == kDecapOutputSelect) {
        pages_.SelectPageAfresh(Page(SfpLogicalPage::DecOutpg));
    } else if (!pages_.WriteSettling()) {
        UpdateDecoderMap();
    }
    SetDecapMapStep(static_cast<int8_t>(decapMapStep + 1 >= kDecapMapSteps ? 0 : decapMapStep + 1));
}

// The decoder output page, then the texts of the audio flows that feed the
// decoder map, as the "Audio Flows" tab shows them: the channel-count check
// of the flow last read, then the summary.
void IpUpdateSequencer::UpdateDecoderMap()
{
    UpdateDecoderOutputPage();
    flows_.CheckDecapChannelCount();
    flows_.ShowAudioFlowSummary();
}

// One audio flow of the decapsulated map: its page read, its flow-enabled
// flag kept, the next flow selected.
void IpUpdateSequencer::StepDecapAudioFlow()
{
    if (flows_.LockTxFlow())
        UpdateFlowPage(Page(SfpLogicalPage::DecAudioPg));
    maps_.SetDecoderFlowEnabled(ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL), ValueOf(COM_SFP_IP_TX_FLOW_ENABLE) != 0);
    StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, decapMapFlow);
    decapMapFlow = (decapMapFlow + 1) % 4;
}

void IpUpdateSequencer::StepEncapMap()
{
    ResumeMapSteps(false, encMapStep);
    if ((++mapParity & 1) != 0)
        return;
    if (encMapStep < kEncMapCommit) {
        if (UpdateAudioEncMapping())
            ShowUpdating("Audio Enc Mapping-Updating ", controls_.SpinnerText());
        if (encMapStep == -1)
            return;
        if (encSkipAhead != 0) {
            encSkipAhead = 0;
            encMapStep = kEncMapSkipTo;
        } else {
            ++encMapStep;
        }
        return;
    }
    if (encMapStep == kEncMapCommit) {
        busy_.SetQuiet(COM_SFP_IP_FLOW_SEL, 0);
        busy_.SetQuiet(COM_SFP_IP_AUDIO_FLOW_SEL, 0);
        busy_.SetQuiet(COM_SFP_IP_AUDIO_FLOW_SEL, encapMapFlow);
        configure_.ShowSelectedPages();
        encapMapFlow = (encapMapFlow + 1) % 8;
        pages_.SelectPageAfresh(Page(SfpLogicalPage::EncAudioPg));
        encMapStep = kEncMapCommit + 1;
        return;
    }
    if (!pages_.WriteSettling())
        StepEncapFlowEnable();
}

// After the commit: each audio flow's enable register read in turn, then the
// map page selected again.
void IpUpdateSequencer::StepEncapFlowEnable()
{
    const int32_t i = ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL);
    uint8_t enabled = 0;
    const SfpParamRow* row = SfpParamTable::Instance().Row(0);
    if (row == nullptr || sfp_read_byte(row->readRegister, &enabled) == 0)
        DebugPrintf("\nReadEnable-Fail\n");
    else
        maps_.SetEncoderFlowEnabled(i, enabled != 0);
    if (i >= 7 || i < 0) {
        encMapStep = 0;
        pages_.SelectPageAfresh(Page(SfpLogicalPage::EncAudMapPg));
        return;
    }
    StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, encapMapFlow);
    encapMapFlow = (encapMapFlow + 1) % 8;
    ++encMapStep;
}

bool IpUpdateSequencer::UpdateAudioEncMapping()
{
    const uint8_t map = Page(SfpLogicalPage::EncAudMapPg);
    const uint8_t audio = Page(SfpLogicalPage::EncAudioPg);
    const int32_t tab = ValueOf(COM_SFP_TAB_SELECT);
    if (dialogs_.MapDialogOpen()) {
        if (tab != IpIds::kTabAudioMap)
            return false;
        if (TpStore* store = TheStore())
            store->SetVisible(IpIds::kMapChannelControl, true);
        if (pages_.CurrentPage() != map) {
            pages_.SelectPageAfresh(map);
            return false;
        }
        return CommitEncAudMapPg(ValueOf(IpIds::kMapChannelSelect));
    }
    if (tab != IpIds::kTabAudioMap && !flows_.LockTxFlow())
        return false;
    const uint8_t current = pages_.CurrentPage();
    if (tab == IpIds::kTabAudioMap ? current == audio : current == audio || tab == IpIds::kTabAudio)
        return StepAudioSubSteps(map, audio);
    return current == map ? CommitEncAudMapPg(0) : false;
}

// The audio sub-step u: up to 5 the audio flow page is read, at 7 the map
// page selected, 8 to 11 the selected flow's map committed, at 12 the audio
// page selected again.
bool IpUpdateSequencer::StepAudioSubSteps(uint8_t map, uint8_t audio)
{
    if (audioSubStep != -1)
        SetAudioSubStep(static_cast<int8_t>(audioSubStep + 1));
    if (audioSubStep == kSubStepMapSelect) {
        pages_.SelectPageAfresh(map);
        return false;
    }
    if (audioSubStep > kSubStepMapCommitLast) {
        SetAudioSubStep(0);
        pages_.SelectPageAfresh(audio);
        return false;
    }
    if (audioSubStep > kSubStepMapSelect) {
        if (audioSubStep == kSubStepMapSelect + 1)
            mapWriteState = 0;
        // Audio flows 0 to 7 are map flows 1 to 8; a client's selector may hold any number.
        const int32_t audioFlow = ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL);
        const bool listed = audioFlow >= 0 && audioFlow < static_cast<int32_t>(IpAudioMaps::kFlows);
        CommitEncAudMapPg(listed ? audioFlow + 1 : 0);
        return false;
    }
    if (audioSubStep > kSubStepLastRead)
        return false;
    const bool updated = UpdateFlowPage(audio);
    maps_.SetEncoderFlowEnabled(ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL), ValueOf(COM_SFP_IP_TX_OFF_ON) != 0);
    return updated;
}

bool IpUpdateSequencer::CommitEncAudMapPg(int32_t flow)
{
    const uint8_t map = Page(SfpLogicalPage::EncAudMapPg);
    encSkipAhead = 0;
    if (pages_.CurrentPage() != map || pages_.RequestedPage() != map) {
        mapWriteState = 0;
        return false;
    }
    if (pages_.PageBlocked() != 0)
        return false;
    if (mapWriteState == 1) {
        SfpLink::PollSfpStatus();
        mapWriteState = 2;
    }
    // Flows 1 to 8; anything else is the next flow after the last one.
    if (flow < 1 || flow > 8)
        flow = 0;
    const int32_t wanted = flow != 0 ? flow : (mapPosition % 8) + 1;
    if (!MapShowsFlow(wanted))
        return false;
    const int32_t tab = ValueOf(COM_SFP_TAB_SELECT);
    if ((tab == IpIds::kTabAudio || tab == IpIds::kTabAudioMap) && !WriteMapChannels(wanted))
        return false;
    if (mapWriteState == 2) {
        pages_.CommitControllerPage(map);
        DebugPrintf("\nCommit EncAudMapPg\n");
        mapWriteState = 0;
    }
    mapPosition = wanted;
    if (flow != 0)
        SaveMap(wanted);
    return true;
}

// The map page idle (its busy byte cleared) and on the wanted flow (its flow
// register written); false while a write or a failed read ends the call.
bool IpUpdateSequencer::MapShowsFlow(int32_t wanted)
{
    const uint8_t map = Page(SfpLogicalPage::EncAudMapPg);
    uint8_t byte = 0;
    if (sfp_read_byte(kMapBusyRegister, &byte) == 0)
        return false;
    if (byte != 0) {
        SfpLink::WriteByte(map, kMapBusyRegister, 0);
        return false;
    }
    if (sfp_read_byte(kMapFlowRegister, &byte) == 0)
        return false;
    if (byte != wanted) {
        SfpLink::WriteByte(map, kMapFlowRegister, static_cast<uint8_t>(wanted));
        return false;
    }
    if (ValueOf(IpIds::kMapChannelSelect) != wanted)
        busy_.SetQuiet(IpIds::kMapChannelSelect, wanted);
    return true;
}

// The first map write unlocks the page; the next call polls and writes.
void IpUpdateSequencer::UnlockMapPage()
{
    if (mapWriteState == 0) {
        pages_.UnlockControllerPage(Page(SfpLogicalPage::EncAudMapPg));
        mapWriteState = 1;
    }
}

// The channel rows read or written, then the channel count (the last active
// channel, 1 when none is) shown and, once the page is unlocked, written;
// false when the call ends here.
bool IpUpdateSequencer::WriteMapChannels(int32_t wanted)
{
    const uint8_t map = Page(SfpLogicalPage::EncAudMapPg);
    SfpParamTable& table = SfpParamTable::Instance();
    const int first = table.IndexOf(COM_SFP_IP_ENC_AUD_MAP_NUMBER_OF_CHANNELS_TO_EMBED);
    SfpParamRow* countRow = first >= 0 ? table.Row(static_cast<size_t>(first)) : nullptr;
    if (countRow == nullptr)
        return true;
    int32_t n = 1;
    for (int i = 1; i <= kMapRowsPerChannel * kMapChannels; ++i) {
        SfpParamRow* row = table.Row(static_cast<size_t>(first + i));
        if (row == nullptr)
            return false;
        if (edits_.Find(*row, map) != nullptr && mapWriteState != 2) {
            UnlockMapPage();
            return false;
        }
        bool wrote = false;
        if (!configure_.ProcessParameterRow(*row, wrote) || wrote)
            return false;
        if ((i - kMapActiveRow) % kMapRowsPerChannel == 0 && ValueOf(row->cmdId) != 0)
            n = i / kMapRowsPerChannel;
    }
    const auto flow = static_cast<size_t>(wanted - 1);
    const uint32_t kept = maps_.ChannelCount(flow);
    if (!ShowChannelCount(*countRow, kept, n))
        return true;   // the count unread: on to the commit
    if (static_cast<int32_t>(kept) == n) {
        if (edits_.Find(*countRow, map) != nullptr)
            configure_.DropEdits(*countRow);
        countRow->value = -1;
        return true;
    }
    if (mapWriteState != 2) {
        UnlockMapPage();
        return false;
    }
    maps_.SetChannelCount(flow, static_cast<uint32_t>(n));
    edits_.BookApplied(*countRow, map, false, n);
    bool wrote = false;
    return configure_.ProcessParameterRow(*countRow, wrote) && !wrote;
}

// The module's count in the count control, then the count the channels give
// over it; false when the count could not be read.
bool IpUpdateSequencer::ShowChannelCount(SfpParamRow& countRow, uint32_t kept, int32_t n)
{
    if (edits_.Find(countRow, Page(SfpLogicalPage::EncAudMapPg)) == nullptr) {
        uint8_t byte = 0;
        if (sfp_read_byte(countRow.readRegister, &byte) == 0)
            return false;
        countRow.value = byte;
        busy_.SetQuiet(countRow.cmdId, byte);
    }
    if (static_cast<int32_t>(kept) != n) {
        busy_.SetQuiet(countRow.cmdId, 0);
        busy_.SetQuiet(countRow.cmdId, n);
    }
    return true;
}

// The map of a flow kept for the map channel selector, and its cells of the
// audio grid rebuilt.
void IpUpdateSequencer::SaveMap(int32_t flow)
{
    SfpParamTable& table = SfpParamTable::Instance();
    const int first = table.IndexOf(COM_SFP_IP_ENC_AUD_MAP_NUMBER_OF_CHANNELS_TO_EMBED);
    const size_t f = static_cast<size_t>(flow - 1);
    for (int ch = 0; first >= 0 && ch < kMapChannels; ++ch) {
        const int at = first + kMapRowsPerChannel * ch;
        const SfpParamRow* sdi = table.Row(static_cast<size_t>(at + kMapSdiRow));
        const SfpParamRow* active = table.Row(static_cast<size_t>(at + kMapActiveRow));
        if (sdi == nullptr || active == nullptr)
            break;
        maps_.SaveChannel(f, static_cast<size_t>(ch), ValueOf(sdi->cmdId), ValueOf(active->cmdId) == 1);
        if (pageView_ != nullptr)
            pageView_->ShowAudioChannel(flow - 1, ch, ValueOf(sdi->cmdId));
    }
    if (flow == 8)
        encSkipAhead = 1;
}

// --- the management pages ---------------------------------------------------------------------

// For each page of the page table in turn: select it; once it is current,
// write what is pending on it, else read it and mark it loaded. The program
// page changes only with the firmware, so once loaded it is left out unless
// an edit waits on it.
void IpUpdateSequencer::UpdateManagementPages()
{
    SfpPageList& pages = SfpLink::State().pageTable;
    constexpr size_t kPages = 4;
    for (size_t tries = 0; tries < kPages; ++tries) {
        const SfpPageEntry& e = pages[mgmtPageIndex % kPages];
        if (e.page == Page(SfpLogicalPage::ProgramPg) && e.loaded != 0 && edits_.CountOn(e.page) == 0)
            mgmtPageIndex = static_cast<uint8_t>((mgmtPageIndex + 1) % kPages);
        else
            break;
    }
    SfpPageEntry& entry = pages[mgmtPageIndex % kPages];
    if (entry.page == 0)
        return;
    // A page with a failed read is read again on the next round.
    if (StepPageTableEntry(entry) != PageTableStep::Waiting)
        mgmtPageIndex = static_cast<uint8_t>((mgmtPageIndex + 1) % kPages);
}

// Asks for the page once the module is idle; once it is current, writes what
// is pending on it, else reads its own rows (not the per-flow rows the page
// change moved onto it) and marks it loaded.
IpUpdateSequencer::PageTableStep IpUpdateSequencer::StepPageTableEntry(SfpPageEntry& entry)
{
    if (!pages_.SelectWhenIdle(entry.page))
        return PageTableStep::Waiting;
    if (configure_.UpdateParametersByUnlockingPage(entry.page) || pages_.WriteSettling())
        return PageTableStep::Waiting;
    if (!configure_.ReadPageParameters(entry.page, IpConfigurePass::PageRows::OwnRows))
        return PageTableStep::ReadFailed;
    entry.loaded = 1;
    return PageTableStep::Read;
}

// A page write left open when its tab was left is finished first, on
// whatever tab is shown, so that no other page is unlocked between its unlock
// and its commit: a page with a byte written and its commit due, or a
// management Apply (which the progress box commits). Its page is selected
// once the module is idle and written there; the tab's own steps wait
// meanwhile, and once the module is idle again their pages are selected
// again. A write of a page the tab's own steps write is left to them, and so
// are the edits still waiting for the page once its write is committed. A
// write that stops moving on (its page will not select or unlock) gives way
// to the tab's own steps for kPageRetryTicks ticks before it is tried again.
bool IpUpdateSequencer::FinishPageWrite()
{
    const uint8_t controller = Page(SfpLogicalPage::ContrPg);
    IpPageWrite write = configure_.CommitDue();
    if (write.page == 0 && configure_.ControllerConfiguring())
        write = {controller, controller};
    if (write.page == 0 || TabWritesPage(ValueOf(COM_SFP_TAB_SELECT), write.rows)) {
        finish.stalled = finish.wait = 0;
        ReselectTabPages();
        return false;
    }
    if (finish.wait > 0) {
        --finish.wait;
        ReselectTabPages();
        return false;
    }
    finish.reselect = 1;
    pages_.HoldForPageWrite(true);
    pages_.MapPagesToAudioFlow(false);   // the audio map's steps put it back
    if (pages_.SelectWhenIdle(write.page))
        configure_.FinishPageWrite(write);
    NoteFinishStep(write.page);
    return true;
}

// A write finished on the physical page is under way while its page loads or
// it moves on (the edits left for the page fewer, a page unlocked, written or
// committed); one that has not for kPageFinishStallTicks ticks in a row gives
// way to the tab's own steps.
void IpUpdateSequencer::NoteFinishStep(uint8_t page)
{
    const FinishStand standing {edits_.CountOn(page), configure_.PageWriteUnderWay(), configure_.CommitDue().page != 0};
    const bool loading = pages_.RequestedPage() == page && !pages_.IsSettledOn(page);
    if (standing != std::exchange(finish.standing, standing) || loading) {
        finish.stalled = 0;
    } else if (++finish.stalled >= kPageFinishStallTicks) {
        finish.stalled = 0;
        finish.wait = kPageRetryTicks;
    }
}

// Whether the tab's own steps write the rows of the logical page: the set-up
// tab's page cycle the page table's pages, the PTP tab's step the PTP page.
bool IpUpdateSequencer::TabWritesPage(int32_t tab, uint8_t logical) const
{
    if (tab == IpIds::kTabPtp)
        return logical == Page(SfpLogicalPage::PtpPg);
    return tab == IpIds::kTabSetup && OnPageTable(logical);
}

// After a finished write, once the module is idle, the selectors select their pages afresh.
void IpUpdateSequencer::ReselectTabPages()
{
    if (finish.reselect == 0)
        return;
    SfpLink::PollSfpStatus();
    if (SfpLink::Idle()) {
        finish.reselect = 0;
        pages_.ForgetSelectorPages();
    }
}

// The first page of the page table not yet read whose read did not fail this
// round; the table's size when there is none.
size_t IpUpdateSequencer::NextUnreadPage() const
{
    const SfpPageList& pages = SfpLink::State().pageTable;
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i].page != 0 && pages[i].loaded == 0 && (retry.failed & (1u << i)) == 0)
            return i;
    return pages.size();
}

// Whether the tab's own steps have an applied edit to write (of a page
// outside the page table) or a page write that is not yet committed.
bool IpUpdateSequencer::TabWriteUnderWay() const
{
    if (configure_.PageWriteUnderWay() || mapWriteState != 0)
        return true;
    return std::ranges::any_of(edits_.Edits(), [](const IpEdit& edit) {
        return edit.state == IpEditState::Applied && !OnPageTable(edit.page);
    });
}

// The progress box shows reading until every page of the page table is read,
// whatever tab is shown. Once the last one is, the tab's own pages are
// selected again by their selectors. A page whose read failed is passed over
// for the others; once every page left has failed, the tab's own step has
// the next ticks before they are tried again, and they are tried again only
// while the tab's own steps write nothing: their page would be taken from
// under the write. After a try, the page the tab's step was on is selected
// again.
bool IpUpdateSequencer::ReadUnloadedPages()
{
    SfpPageList& pages = SfpLink::State().pageTable;
    if (std::ranges::all_of(pages, [](const SfpPageEntry& e) { return e.page == 0 || e.loaded != 0; })) {
        retry = {};
        return false;
    }
    if (retry.wait > 0) {
        --retry.wait;
        return false;
    }
    const size_t i = NextUnreadPage();
    if (i == pages.size()) {
        EndPageRetries();
        return false;
    }
    // A failed page is asked for again only while the tab's own steps write
    // nothing; once asked for, it goes on to its read.
    if (retry.retrying != 0 && !OnPageTable(pages_.RequestedPage())) {
        if (TabWriteUnderWay())
            return false;
        retry.tabPage = pages_.RequestedPage();
    }
    pages_.MapPagesToAudioFlow(false);   // the audio map's steps put it back
    const PageTableStep step = StepPageTableEntry(pages[i]);
    if (step == PageTableStep::ReadFailed)
        retry.failed = static_cast<uint8_t>(retry.failed | (1u << i));
    if (step != PageTableStep::Read)
        return true;
    // The next page is asked for at once, if the module is idle.
    if (const size_t next = NextUnreadPage(); next != pages.size())
        pages_.SelectWhenIdle(pages[next].page);
    else
        pages_.ForgetSelectorPages();
    return true;
}

// Every page left failed: the tab's step has the next ticks, on the page it
// was on before the try took the module (or, when none is known, on the pages
// its selectors choose).
void IpUpdateSequencer::EndPageRetries()
{
    retry.failed = 0;
    retry.wait = kPageRetryTicks;
    retry.retrying = 1;
    if (const uint8_t tabPage = std::exchange(retry.tabPage, uint8_t {0}); tabPage != 0)
        pages_.SelectWhenIdle(tabPage);
    else
        pages_.ForgetSelectorPages();
}

void IpUpdateSequencer::ReopenFlowList()
{
    if (configure_.CountKnownParameters().all != 0 || flowListReopen == 0)
        return;
    flowListReopen = 0;
    const int32_t tab = ValueOf(COM_SFP_TAB_SELECT);
    if (flows_.IsEncapsulating() && tab == IpIds::kTabAudio) {
        SetAudioSubStep(0);
    } else if (flows_.IsEncapsulating() && tab == IpIds::kTabAudioMap) {
        // The encoder map steps start again on the map page.
        DebugChatty("\n)))CloseReset\n");
        encMapStep = 0;
        pages_.ChangePage(Page(SfpLogicalPage::EncAudMapPg));
        pages_.HoldUntilSettled();
    }
}

// --- what the change handler starts and stops ---------------------------------------------

void IpUpdateSequencer::OnTabSelected()
{
    SetAudioSubStep(0);
    encMapStep = 0;
}

void IpUpdateSequencer::OnMapDialogOpened(bool encoder)
{
    if (encoder) {
        flowListReopen = 0;
        encMapStep = -1;
    } else {
        SetDecapMapStep(-1);
    }
}

void IpUpdateSequencer::OnWindowClosed()
{
    RestartDecapMapSteps();
    flowListReopen = 0;
    encSkipAhead = 0;
}

void IpUpdateSequencer::ResetModuleSteps()
{
    retry = {};
    finish = {};
    ptpSourceChanged = 1;
    encSkipAhead = 0;
    audioRereadCounter = -1;
    SetAudioSubStep(-1);
    encMapStep = -1;
}
