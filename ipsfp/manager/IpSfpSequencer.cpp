// The update sequencer: once a tick it chooses which part of the module is
// read or written next, by the open IP menu tab, the module mode and a few
// step counters, and shows what it did in the IP menu's status line.
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
#include "IpSfpManager.h"

#include "IpPageView.h"
#include "IpStoreAccess.h"

#include "ipsfp/link/SfpLink.h"
#include "ipsfp/params/SfpParamTable.h"

#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/TpStore.h"
#include "platform/DebugOut.h"
#include "sim/EmSfpSimFlags.h"
#include "ui/TpDialogList.h"

namespace {

using IpStoreAccess::StoreValue;
using IpStoreAccess::TheStore;
using IpStoreAccess::ValueOf;

constexpr size_t kSequenceErrorsRow = 207;
constexpr uint8_t kVideoSequenceRegister = 0xA3, kFlowSequenceRegister = 0xB0;
constexpr int8_t kRereadTicks = 6;
constexpr int8_t kPtpWaitEnd = 16, kPtpWaitUpdate = 5;
constexpr int8_t kEncMapCommit = 40;
constexpr uint8_t kMapBusyRegister = 130, kMapFlowRegister = 131;
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

} // namespace

void IpSfpManager::RunUpdateStep()
{
    IpFlowState& flow = IpFlow::State();
    const EmSfpSimFlags& sim = SimEmSfpFlags();
    flow.active2110 = sim.Mode2022() == 0 ? 1 : 0;
    flow.ipModuleMode = sim.Decapsulation();
    moduleIdentified = flow.ipFeatures = modulePresent = moduleReady = 1;
    ApplyModeLayout();
    const int32_t tab = ValueOf(COM_SFP_TAB_SELECT);
    flow.menuTab = tab;
    StepFlowAlternation();
    const bool decap = IsDecapsulating();
    switch (tab) {
    case 1: StepVideoTab(); break;
    case 2: StepAudioTab(); break;
    case 3:
        SetSequenceRegister(kFlowSequenceRegister);
        if (busyCountdown == -1 && LockTxFlow()) {
            UpdateFlowPage(Page(decap ? SfpLogicalPage::DecAncPg : SfpLogicalPage::EncAncPg));
            if (!decap)
                ShowAncFlowTexts();
        }
        break;
    case 4: StepPtp(); break;
    case 5: UpdateFlowPage(Page(SfpLogicalPage::BlockEPg)); break;
    case 6:
        if (decap)
            StepDecapMap();
        else
            StepEncapMap();
        break;
    case 7: UpdateManagementPages(); break;
    default: break;
    }
}

// The selector is worked out first and written once a tick, so that one page
// request follows each change (ticks 1-2 of the cycle the first flow, 3-10 the
// second).
void IpSfpManager::StepFlowAlternation()
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
    // An unchanged selector tells the handler nothing; its page may still be
    // due (a new tab, or the first tick).
    if (TpCommand* control = TheStore() != nullptr ? TheStore()->GetCmd(COM_SFP_IP_FLOW_SEL) : nullptr)
        OnPageSelector(control);
    if (++c > 10)
        c = 1;
}

void IpSfpManager::StepVideoTab()
{
    SetSequenceRegister(kVideoSequenceRegister);
    if (LockTxFlow())
        UpdateFlowPage(Page(SfpLogicalPage::FlowPg));
    if (videoReread != -1 && ++videoReread > kRereadTicks) {
        IpFlow::State().flowListFocusB = 1;
        videoReread = -1;
        flowListReopen = 1;
    }
}

void IpSfpManager::StepAudioTab()
{
    SetSequenceRegister(kFlowSequenceRegister);
    if (audioFlowReset != 0) {
        StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, 0);
        audioFlowReset = 0;
    }
    if (busyCountdown != -1)
        return;
    if (IsDecapsulating()) {
        if (LockTxFlow())
            UpdateFlowPage(Page(SfpLogicalPage::DecAudioPg));
        CheckDecapChannelCount();
        if (audioRereadCounter != -1 && ++audioRereadCounter > kRereadTicks) {
            audioRereadCounter = -1;
            flowListReopen = 1;
        }
    } else {
        if (UpdateAudioEncMapping())
            ShowUpdating("Audio Enc Mapping-Updating ", SpinnerText());
        LoadAudioFlowChoice();
        CheckEncapChannelCount();
    }
    ShowAudioFlowSummary();
}

bool IpSfpManager::UpdateFlowPage(uint8_t logical)
{
    if (!ReadPageParameters(logical))
        return false;
    ShowUpdating("Flow Configuration-Updating ", SpinnerText());
    CheckMulticastMac();
    return true;
}

bool IpSfpManager::UpdatePtpPage()
{
    const uint8_t ptp = Page(SfpLogicalPage::PtpPg);
    if (!UpdateParametersByUnlockingPage(ptp) && busyCountdown == -1) {
        if (!ReadPageParameters(ptp))
            return false;
        // The view just read holds the fresh counter: the first source's in
        // the first view, the second's in the second.
        IpFlow::State().sourceSelect = ValueOf(COM_SFP_IP_PTP_SEL) == 1 ? 1 : 0;
        if (pageView_ != nullptr)
            pageView_->ShowActiveSource();
    }
    ShowUpdating("PTP-Updating ", SpinnerText());
    return true;
}

void IpSfpManager::StepPtp()
{
    if (ptpWait == -1) {
        if (ptpView == 0) {
            if (UpdatePtpPage() && ptpSourceChanged != 0) {
                SetQuiet(IpIds::kPtpSources[0], 0);
                SetQuiet(IpIds::kPtpSources[1], 0);
                ptpSourceChanged = 0;
            }
            StoreValue(COM_SFP_IP_PTP_SEL, ValueOf(COM_SFP_IP_PTP_SEL) == 0 ? 1 : 0);
        } else {
            StoreValue(COM_SFP_IP_PTP_SEL, ptpView - 1);
            ptpView = 0;
            ptpWait = 0;
        }
        return;
    }
    if (++ptpWait >= kPtpWaitEnd) {
        ptpWait = -1;
        if (IsPtpViewLocked()) {
            BusyGuard guard(busy);
            EnablePtpView(false, true);
            EnablePtpView(true, true);
        }
        return;
    }
    if (ptpWait >= kPtpWaitUpdate)
        UpdatePtpPage();
}

void IpSfpManager::UpdateDecoderOutputPage()
{
    const uint8_t dec = Page(SfpLogicalPage::DecOutpg);
    if (ValueOf(COM_SFP_TAB_SELECT) == 6) {
        if (currentPage == dec) {
            if (ReadPageParameters(dec))
                ShowUpdating("Updating ", SpinnerText());
            return;   // read once: the second read of the page would repeat this one
        }
        SelectPageAfresh(dec);
        pageBlocked = 1;
        return;
    }
    ReadPageParameters(dec);
}

// A map dialog stops its tab's map steps (-1); once no map dialog is open and
// the tab's map is shown again (the reopen flag), they start over.
void IpSfpManager::ResumeMapSteps(uint8_t& reopen, int8_t& step)
{
    if (reopen == 0 || MapDialogOpen())
        return;
    reopen = 0;
    if (step == -1)
        step = 0;
}

void IpSfpManager::StepDecapMap()
{
    int8_t& s = SfpLink::State().decapMapStep;
    ResumeMapSteps(IpFlow::State().decapMapReopen, s);
    if ((++mapParity & 1) != 0)
        return;
    if (s == -1) {
        UpdateDecoderOutputPage();
        return;
    }
    if (s == 6) {
        ResetPageState();
        SelectPageAfresh(Page(SfpLogicalPage::DecAudioPg));
    } else if (s >= 7 && s <= 11) {
        if (busyCountdown == -1) {
            if (LockTxFlow())
                UpdateFlowPage(Page(SfpLogicalPage::DecAudioPg));
            const int32_t index = ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL);
            if (index >= 0 && index < static_cast<int32_t>(decFlowEnabled.size()))
                decFlowEnabled[static_cast<size_t>(index)] = ValueOf(COM_SFP_IP_TX_FLOW_ENABLE) != 0 ? 1 : 0;
            StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, decapMapFlow);
            decapMapFlow = (decapMapFlow + 1) % 4;
        }
    } else if (s == 13) {
        SelectPageAfresh(Page(SfpLogicalPage::DecOutpg));
    } else if (busyCountdown == -1) {
        UpdateDecoderOutputPage();
    }
    if (++s >= 16)
        s = 0;
}

void IpSfpManager::StepEncapMap()
{
    ResumeMapSteps(IpFlow::State().encapMapReopen, encMapStep);
    if ((++mapParity & 1) != 0)
        return;
    const auto wrapped = [this] {
        if (UpdateAudioEncMapping())
            ShowUpdating("Audio Enc Mapping-Updating ", SpinnerText());
    };
    if (encMapStep < kEncMapCommit) {
        wrapped();
        if (encMapStep == -1)
            return;
        if (encSkipAhead != 0) {
            encSkipAhead = 0;
            encMapStep = 38;
        } else {
            ++encMapStep;
        }
        return;
    }
    if (encMapStep == kEncMapCommit) {
        SetQuiet(COM_SFP_IP_FLOW_SEL, 0);
        SetQuiet(COM_SFP_IP_AUDIO_FLOW_SEL, 0);
        SetQuiet(COM_SFP_IP_AUDIO_FLOW_SEL, encapMapFlow);
        encapMapFlow = (encapMapFlow + 1) % 8;
        SelectPageAfresh(Page(SfpLogicalPage::EncAudioPg));
        encMapStep = kEncMapCommit + 1;
        return;
    }
    if (busyCountdown != -1)
        return;
    const int32_t i = ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL);
    uint8_t enabled = 0;
    const SfpParamRow* row = SfpParamTable::Instance().Row(0);
    if (row == nullptr || sfp_read_byte(row->readRegister, &enabled) == 0)
        DebugPrintf("\nReadEnable-Fail\n");
    else if (i >= 0 && i < static_cast<int32_t>(encFlowEnabled.size()))
        encFlowEnabled[static_cast<size_t>(i)] = enabled != 0 ? 1 : 0;
    if (i >= 7 || i < 0) {
        encMapStep = 0;
        SelectPageAfresh(Page(SfpLogicalPage::EncAudMapPg));
        return;
    }
    StoreValue(COM_SFP_IP_AUDIO_FLOW_SEL, encapMapFlow);
    encapMapFlow = (encapMapFlow + 1) % 8;
    ++encMapStep;
}

bool IpSfpManager::UpdateAudioEncMapping()
{
    const uint8_t map = Page(SfpLogicalPage::EncAudMapPg);
    const uint8_t audio = Page(SfpLogicalPage::EncAudioPg);
    const int32_t tab = ValueOf(COM_SFP_TAB_SELECT);
    if (MapDialogOpen()) {
        if (tab != 6)
            return false;
        if (TpStore* store = TheStore())
            store->SetVisible(IpIds::kMapChannelControl, true);
        if (currentPage != map) {
            SelectPageAfresh(map);
            pageBlocked = 1;
            return false;
        }
        return CommitEncAudMapPg(ValueOf(IpIds::kMapChannelSelect));
    }
    if (tab != IpIds::kTabAudioMap && !LockTxFlow())
        return false;
    if (tab == IpIds::kTabAudioMap ? currentPage == audio : currentPage == audio || tab == IpIds::kTabAudio) {
        if (audioSubStep != -1)
            ++audioSubStep;
        if (audioSubStep == 7) {
            SelectPageAfresh(map);
            return false;
        }
        if (audioSubStep == 12) {
            audioSubStep = 0;
            SelectPageAfresh(audio);
            return false;
        }
        if (audioSubStep >= 8 && audioSubStep <= 11) {
            if (audioSubStep == 8)
                mapWriteState = 0;
            CommitEncAudMapPg(ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL) + 1);
            return false;
        }
        if (audioSubStep > 5)
            return false;
        const bool updated = UpdateFlowPage(audio);
        const int32_t index = ValueOf(COM_SFP_IP_AUDIO_FLOW_SEL);
        if (index >= 0 && index < static_cast<int32_t>(encFlowEnabled.size()))
            encFlowEnabled[static_cast<size_t>(index)] = ValueOf(COM_SFP_IP_TX_OFF_ON) != 0 ? 1 : 0;
        return updated;
    }
    return currentPage == map ? CommitEncAudMapPg(0) : false;
}

bool IpSfpManager::CommitEncAudMapPg(int32_t flow)
{
    const uint8_t map = Page(SfpLogicalPage::EncAudMapPg);
    encSkipAhead = 0;
    if (currentPage != map || requestedPage != map) {
        mapWriteState = 0;
        return false;
    }
    if (pageBlocked != 0)
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
        CommitControllerPage(map);
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
bool IpSfpManager::MapShowsFlow(int32_t wanted)
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
        SetQuiet(IpIds::kMapChannelSelect, wanted);
    return true;
}

// The first map write unlocks the page; the next call polls and writes.
void IpSfpManager::UnlockMapPage()
{
    if (mapWriteState == 0) {
        UnlockControllerPage(Page(SfpLogicalPage::EncAudMapPg));
        mapWriteState = 1;
    }
}

// The channel rows read or written, then the channel count (the last active
// channel, 1 when none is) shown and, once the page is unlocked, written;
// false when the call ends here.
bool IpSfpManager::WriteMapChannels(int32_t wanted)
{
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
        if (row->pending != 0 && mapWriteState != 2) {
            UnlockMapPage();
            return false;
        }
        bool wrote = false;
        if (!ProcessParameterRow(*row, wrote) || wrote)
            return false;
        if ((i - kMapActiveRow) % kMapRowsPerChannel == 0 && ValueOf(row->cmdId) != 0)
            n = i / kMapRowsPerChannel;
    }
    uint32_t& kept = audioChannelCount[static_cast<size_t>(wanted - 1)];
    if (!ShowChannelCount(*countRow, kept, n))
        return true;   // the count unread: on to the commit
    if (static_cast<int32_t>(kept) == n) {
        if (countRow->pending != 0)
            InvalidateParameter(*countRow);
        countRow->value = -1;
        return true;
    }
    if (mapWriteState != 2) {
        UnlockMapPage();
        return false;
    }
    kept = static_cast<uint32_t>(n);
    countRow->value = n;
    countRow->pending = 1;
    bool wrote = false;
    return ProcessParameterRow(*countRow, wrote) && !wrote;
}

// The module's count in the count control, then the count the channels give
// over it; false when the count could not be read.
bool IpSfpManager::ShowChannelCount(SfpParamRow& countRow, uint32_t kept, int32_t n)
{
    if (countRow.pending == 0) {
        uint8_t byte = 0;
        if (sfp_read_byte(countRow.readRegister, &byte) == 0)
            return false;
        countRow.value = byte;
        SetQuiet(countRow.cmdId, byte);
    }
    if (static_cast<int32_t>(kept) != n) {
        SetQuiet(countRow.cmdId, 0);
        SetQuiet(countRow.cmdId, n);
    }
    return true;
}

// The map of a flow kept for the map channel selector, and its cells of the
// audio grid rebuilt.
void IpSfpManager::SaveMap(int32_t flow)
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
        savedMapChannels[f][static_cast<size_t>(ch)] = ValueOf(sdi->cmdId);
        audioChannelActive[f][static_cast<size_t>(ch)] = ValueOf(active->cmdId) == 1 ? 1 : 0;
        if (pageView_ != nullptr)
            pageView_->ShowAudioChannel(flow - 1, ch, ValueOf(sdi->cmdId));
    }
    if (flow == 8)
        encSkipAhead = 1;
}

// For each page of the page table in turn: select it; once it is current,
// write what is pending on it, else read it and mark it loaded. The program
// page changes only with the firmware, so once loaded it is left out unless
// an edit waits on it.
void IpSfpManager::UpdateManagementPages()
{
    SfpPageList& pages = SfpLink::State().pageTable;
    constexpr size_t kPages = 4;
    const auto pendingOn = [](uint8_t page) {
        for (const SfpParamRow& row : SfpParamTable::Instance().Rows())
            if (row.page == page && row.pending != 0)
                return true;
        return false;
    };
    for (size_t tries = 0; tries < kPages; ++tries) {
        const SfpPageEntry& e = pages[mgmtPageIndex % kPages];
        if (e.page == Page(SfpLogicalPage::ProgramPg) && e.loaded != 0 && !pendingOn(e.page))
            mgmtPageIndex = static_cast<uint8_t>((mgmtPageIndex + 1) % kPages);
        else
            break;
    }
    SfpPageEntry& entry = pages[mgmtPageIndex % kPages];
    if (entry.page == 0)
        return;
    ChangePage(entry.page);
    if (currentPage != entry.page || requestedPage != entry.page || pageBlocked != 0)
        return;
    if (UpdateParametersByUnlockingPage(entry.page) || busyCountdown != -1)
        return;
    // A page with a failed read is read again on the next round.
    if (ReadPageParameters(entry.page))
        entry.loaded = 1;
    mgmtPageIndex = static_cast<uint8_t>((mgmtPageIndex + 1) % kPages);
}
