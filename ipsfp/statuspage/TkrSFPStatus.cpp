#include "TkrSFPStatus.h"
#include "ipsfp/status/SfpFieldFormat.h"

#include "KrZuApi.h"
#include "board/SfpBoard.h"
#include "core/store/TpChildCmd.h"
#include "core/store/TpStore.h"
#include "ipsfp/edid/EdidPage.h"
#include "ipsfp/link/SfpLink.h"
#include "ipsfp/log/SFPLogger.h"
#include "ipsfp/manager/IpControlIds.h"
#include "ipsfp/manager/IpSfpManager.h"
#include "ipsfp/pages/IpValueDisplay.h"
#include "platform/DebugOut.h"
#include "sim/EmSfpSimFlags.h"
#include "ui/dialogs/TpDialogList.h"
#include "ui/widgets/TpPageControl.h"

#include <algorithm>
#include <cstdio>

namespace {

// Identity registers of device 0xA0.
constexpr uint8_t kRegId = 0;
constexpr uint8_t kRegExtId = 1;
constexpr uint8_t kRegConnector = 2;
constexpr uint8_t kRegVendorName = 20;
constexpr uint8_t kRegPartNumber = 40;
constexpr int kVendorNameLength = 16;
constexpr int kMainTabIpItem = 7;
constexpr int kBoardRevisionForIp = 10;   // this revision and older need upgrading
constexpr int kCageRevisionForIp = 3;     // this revision and older are too old
constexpr int kListItems = TkrSFPStatus::kColumns * TkrSFPStatus::kRows;

// The connector labels of each module type.
struct TypeLabels {
    const char* first;
    const char* second;
};
// first label, second label; by SfpType code
constexpr TypeLabels kTypeLabels[kSfpTypeCount] = {
    {"", ""},
    {"OptOut", "OptIn"},
    {"OptIn", ""},
    {"OptIn1", "OptIn2"},
    {"OptOut", ""},
    {"OptOut1", "OptOut2"},
    {"SDIOut", "SDIIn"},
    {"SDIIn1", "SDIIn2"},
    {"SDIOut1", "SDIOut2"},
    {"CVBSOut", "CVBSIn"},
    {"CVBSIn1", "CVBSIn2"},
    {"CVBSOut1", "CVBSOut2"},
    {"HDMIIn", ""},
    {"HDMIOut", ""},
    {"IP In", ""},
    {"IP Out", ""},
};

// The IP controls ShowIpControls shows or hides, in order.
constexpr uint16_t kIpControlIds[] = {
    COM_SFP_IP_WEB_CONTROLLER_BOX, COM_SFP_IP_ETHERNET_BOX, COM_SFP_IP_FLOW_BOX,   COM_SFP_IP_FILTERS_BOX,
    COM_SFP_IP_FACT_RESET2,        COM_SFP_IP_HW_LABEL2,    COM_SFP_IP_HW_STATUS2, COM_SFP_IP_TX_OFF_ON,
    COM_SFP_IP_HW_LABEL1,          COM_SFP_IP_HW_STATUS1,   COM_SFP_IP_FACT_RESET1, COM_SFP_IP_HW_STATUS1,
    COM_SFP_IP_VID_BOX,            COM_SFP_IP_SETUP_LABEL,
};

std::string TrimRight(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

SFPLogger* Logger() { return SFPLogger::Instance(); }

bool StatusLogging()
{
    SFPLogger* logger = Logger();
    return logger != nullptr && logger->StatusLogging();
}

} // namespace

const uint16_t TkrSFPStatus::kCmdIds[kCmdEntries] = {
    COM_MAIN_TAB_SELECT, COM_STATUS_TAB_SELECT,       IpIds::kEdidRead,     IpIds::kEdidView,
    COM_GEN1_OUT_ENABLE, COM_GEN1_LOOP_SDI_ON_ENABLE, COM_GEN1_LOOP_SDI_IN,
};

TkrSFPStatus::TkrSFPStatus(int listCmdId, unsigned firstLabelId, unsigned secondLabelId, unsigned unrecognisedTextId,
                           unsigned databaseResultId)
    : TpColouredList(listCmdId, kListFlags),
      firstLabelCmd_(static_cast<int>(firstLabelId), kKeepsNothing),
      secondLabelCmd_(static_cast<int>(secondLabelId), kKeepsNothing),
      unrecognisedTextCmd_(static_cast<int>(unrecognisedTextId), kKeepsNothing),
      databaseResultCmd_(std::make_unique<TpChildCmd>(this, static_cast<uint16_t>(databaseResultId), kKeepsValue)),
      cmds_(kCmdIds)
{
    for (int i = 0; i < kListItems; ++i)
        TpCommand::AddItem(std::string());
    manager_ = std::make_unique<IpSfpManager>();
    // The IP pages show what the manager reads; the manager asks the page
    // for the loop check when a module goes.
    pageView_ = std::make_unique<IpValueDisplay>(manager_->PageParts());
    manager_->SetPageView(pageView_.get());
    manager_->Handler().SetLoopCheck([this] { CheckLoopOnSfpLoss(); });
    logger_ = std::make_unique<SFPLogger>();
    cmds_.Make<TpCommand>(kMainTab, nullptr, kKeepsNothing);
    cmds_.Make<TpCommand>(kStatusTab, nullptr, kKeepsNothing);
    cmds_.Make<TpChildCmd>(kEdidRead, this, kKeepsValue);
    cmds_.Make<TpChildCmd>(kEdidView, this, kKeepsValue);
    cmds_.Make<TpCommand>(kOutputEnable, nullptr, kKeepsValue);
    cmds_.Make<TpCommand>(kLoopEnable, nullptr, kKeepsValue);
    cmds_.Make<TpCommand>(kLoop, nullptr, kKeepsValue);

    LoadBuiltInSfpTable();
    if (TpStore* store = TpStore::Instance()) {
        store->AddTask(this, "SFPStatus", kPeriodMs, true, false);
        const unsigned id = CmdId();
        store->SetColumnCount(id, kColumns);
        store->SetRowCount(id, kRows);
        store->SetEvenColumnWidth(id, kLabelWidth);
        store->SetOddColumnWidth(id, kValueWidth);
    }
    SetEdidCaption();
    ShowIpControls(0);
}

TkrSFPStatus::~TkrSFPStatus()
{
    if (TpStore* store = TpStore::Instance())
        store->RemoveTask(this);
    CloseUnrecognised();
    fields_.clear();
    logger_.reset();
    cmds_.Clear();
    manager_->SetPageView(nullptr);
    manager_->Handler().SetLoopCheck(nullptr);
    pageView_.reset();
    manager_.reset();
}

// --- the tick ------------------------------------------------------------------------------

void TkrSFPStatus::OnTask()
{
    if (manager_->Tick().StepPowerCycle())
        return;
    if (IsIpModule()) {
        if (manager_->Flows().TakeLinkTypeRestore())
            manager_->Flows().RestoreLinkType();
        const bool reading = manager_->IsFirmwareReadActive();
        manager_->Pages().ServiceWriteSettle();
        if (reading && manager_->FirmwareReaderTick()) {
            manager_->Pages().ArmWriteSettle();
            return;
        }
        manager_->Progress().UpdateBusyIndicator();
    }

    const bool was = present_ != 0;
    present_ = sfp_detect() != 0 ? 1 : 0;
    if (ModuleChanged(was))
        OnModuleChange();

    if (present_ != 0) {
        ShowFields(false);
        switch (sfpType_) {
        case SfpType::HdmiOut:
            ShowIpControls(0);
            manager_->Flows().ResetFlowSelection();
            if (edidRequested_ != 0) {
                DebugPrintf("\nDEMAND EDID\n");
                ReadEdid();
                edidRequested_ = 0;
            }
            manager_->Controls().ColourStatusFlags(true);
            break;
        case SfpType::IpIn:
        case SfpType::IpOut:
            TickIpModule(was);
            break;
        default:
            manager_->Controls().ColourStatusFlags(true);
            break;
        }
    } else {
        ShowIpControls(0);
        manager_->Flows().ResetFlowSelection();
        manager_->Controls().ColourStatusFlags(true);
        sfpType_ = SfpType::None;
    }

    if (databaseResultCmd_->GetValue() == 1) {
        databaseResultCmd_->SetValueAll(0);
        LoadBuiltInSfpTable();
    }
}

// Presence or the simulated module's mode changed since the last tick.
bool TkrSFPStatus::ModuleChanged(bool wasPresent)
{
    const EmSfpSimFlags& sim = SimEmSfpFlags();
    const uint8_t ipMode = sim.IpMode();
    const uint8_t decap = sim.Decapsulation();
    return (present_ != 0) != wasPresent || ipMode != lastIpMode_ || (ipMode != 0 && decap != lastDecapsulation_);
}

void TkrSFPStatus::OnModuleChange()
{
    if (present_ == 0) {
        manager_->Controls().ReleaseStatusColours();
        manager_->Tick().RestartCopySide();
        if (StatusLogging())
            Logger()->LogSfpRemoved();
        CheckLoopOnSfpLoss();
    } else {
        manager_->Flows().ForgetLoadedFirmware();
        SfpLink::ClearPageLoadedFlags();
        manager_->ResetOnModuleChange();
        manager_->Pages().ForgetPages();
        IpFlowView::SelectSfpTab7();
        UpdateSFPType(0, SfpType::None);
        ShowFields(true);
    }
    const bool ipFitted = present_ != 0 && IsIpModule();
    if (TpStore* store = TpStore::Instance())
        store->SetTaskPeriod(this, ipFitted ? kIpPeriodMs : kPeriodMs);
    SfpLink::ResetSfpProtocolState(ipFitted ? 1 : 0);
    lastIpMode_ = SimEmSfpFlags().IpMode();
    lastDecapsulation_ = SimEmSfpFlags().Decapsulation();
}

void TkrSFPStatus::TickIpModule(bool wasPresent)
{
    ShowIpControls(1);
    manager_->OnStatusTick();
    IpFlowView& flows = manager_->Flows();
    if (sfpType_ == SfpType::IpIn && !flows.IsDecapsulating()) {
        manager_->SetModuleMode(1);
        UpdateSFPType(1, SfpType::IpIn);
        ShowFields(true);
    } else if (sfpType_ == SfpType::IpOut && !flows.IsEncapsulating()) {
        manager_->SetModuleMode(0);
        UpdateSFPType(1, SfpType::IpOut);
        ShowFields(true);
    }
    if ((present_ != 0) != wasPresent)
        ShowWarningsOnce();
    manager_->Sequencer().RunUpdateStep();

    const int32_t outputEnable = cmds_.Value(kOutputEnable);
    if (outputEnable != lastOutputEnable_) {
        manager_->Controls().ReleaseStatusColours();
        lastOutputEnable_ = outputEnable;
    }
    const bool plain = outputEnable == 0 || flows.IsDecapsulating();
    manager_->Controls().ColourStatusFlags(plain || manager_->Controls().LastStandardColour() != 0);
    if (SFPLogger* logger = Logger()) {
        logger->CheckPackets();
        logger->CheckStandardTexts();
        logger->CheckTemperature();   // both check only while status logging is on
        logger->CheckSupply();
    }
}

void TkrSFPStatus::ShowWarningsOnce()
{
    if (warningsShown_ != 0)
        return;
    if (!IsBoardCurrent())
        ShowDialog("BoardNeedsUpgrading", 1);
    if (!IsSfpCageCurrent())
        ShowDialog("OldSfpCageWarning", 1);
    warningsShown_ = 1;
}

bool TkrSFPStatus::IsSfpCageCurrent() { return sfp_is_powered() && sfp_get_cage_revision() > kCageRevisionForIp; }

bool TkrSFPStatus::IsBoardCurrent() { return get_board_revision() > kBoardRevisionForIp; }

// --- identification -----------------------------------------------------------------------

void TkrSFPStatus::UpdateSFPType(uint8_t forced, SfpType forcedType)
{
    CloseUnrecognised();

    uint8_t id = 0, extId = 0, connector = 0;
    char part[kSfpPartNumberLength + 1] = {};
    bool ok = i2c_read_byte(kSfpIdentityDevice, kRegId, &id) && i2c_read_byte(kSfpIdentityDevice, kRegExtId, &extId) &&
              i2c_read_byte(kSfpIdentityDevice, kRegConnector, &connector);
    for (int i = 0; ok && i < kSfpPartNumberLength; ++i) {
        uint8_t c = 0;
        ok = i2c_read_byte(kSfpIdentityDevice, static_cast<uint8_t>(kRegPartNumber + i), &c);
        part[i] = static_cast<char>(c);
    }
    const std::string partNumber(part);   // up to the first zero byte, 16 at most

    const SfpRecord* record = nullptr;
    sfpType_ = SfpType::None;
    if (forced != 0) {
        sfpType_ = forcedType;
    } else if (!ok) {
        DebugPrintf("\x1b[31mError reading SFP Type data\n\x1b[39m");
        if (StatusLogging())
            Logger()->LogSfpEvent("Error Reading SFP data");
    } else {
        DebugPrintf("\x1b[32mUpdateSFPType: ID=0x%02X ExtID=0x%02X Connector=0x%02X VendorPN=%s\n\x1b[39m", id, extId,
                    connector, partNumber.c_str());
        if (StatusLogging()) {
            char text[64];
            std::snprintf(text, sizeof text, "ID=0x%02X 0x%02X 0x%02X %s", id, extId, connector, partNumber.c_str());
            Logger()->LogSfpEvent(text);
        }
        record = FindSfpRecord(id, extId, connector, partNumber);
        if (record != nullptr)
            sfpType_ = record->type;
        else if (i2c_bus_ready())
            ShowUnrecognised(id, extId, connector, partNumber);
        // The simulated IP module decapsulates while its decapsulation byte
        // is set.
        if (sfpTable_.size() > kSfpIpModuleRecord && record == &sfpTable_[kSfpIpModuleRecord] &&
            SimEmSfpFlags().Decapsulation() != 0)
            sfpType_ = SfpType::IpIn;
    }

    ShowConnectorLabels();
    BuildSfpStatusFields(this, sfpType_, fields_);

    if (record != nullptr && record->isHiSlew != 0) {
        DebugPrintf("SFP Part\"%s\" is High Slew Rate\n", record->partNumber);
        sfp_set_rate_select(1);
    }
    if (sfpType_ == SfpType::HdmiOut && present_ != 0)
        edidRequested_ = 1;
    typeKnown_ = 1;
}

// The module type's connector labels, each shown only with a text.
void TkrSFPStatus::ShowConnectorLabels()
{
    const uint32_t code = static_cast<uint32_t>(sfpType_);
    const TypeLabels& labels = kTypeLabels[code < kSfpTypeCount ? code : 0];
    if (TpStore* store = TpStore::Instance()) {
        store->SetText(firstLabelCmd_.CmdId(), labels.first);
        store->SetVisible(firstLabelCmd_.CmdId(), labels.first[0] != '\0');
        store->SetText(secondLabelCmd_.CmdId(), labels.second);
        store->SetVisible(secondLabelCmd_.CmdId(), labels.second[0] != '\0');
    }
}

const SfpRecord* TkrSFPStatus::FindSfpRecord(uint8_t id, uint8_t extId, uint8_t connector,
                                             const std::string& partNumber) const
{
    if (sfpTable_.empty())
        return nullptr;
    if (SimEmSfpFlags().IpMode() != 0)
        return sfpTable_.size() > kSfpIpModuleRecord ? &sfpTable_[kSfpIpModuleRecord] : nullptr;
    std::string padded = partNumber.substr(0, kSfpPartNumberLength);
    padded.resize(kSfpPartNumberLength, ' ');
    for (const SfpRecord& r : sfpTable_) {
        if (r.id == id && r.extId == extId && r.connector == connector && padded == r.partNumber)
            return &r;
    }
    // A module that gives no identity at all (the bare simulated board) is
    // taken for the table's first module.
    if (id == 0 && extId == 0 && connector == 0 && partNumber.empty())
        return &sfpTable_.front();
    return nullptr;
}

void TkrSFPStatus::ShowUnrecognised(uint8_t id, uint8_t extId, uint8_t connector, std::string partNumber)
{
    // Read from the last character to the first; trailing spaces end the name.
    char vendor[kVendorNameLength + 1] = {};
    bool ok = true;
    bool trailing = true;
    for (int i = kVendorNameLength - 1; ok && i >= 0; --i) {
        uint8_t c = 0;
        ok = i2c_read_byte(kSfpIdentityDevice, static_cast<uint8_t>(kRegVendorName + i), &c);
        if (trailing && c == ' ')
            c = 0;
        else
            trailing = false;
        vendor[i] = static_cast<char>(c);
    }
    const std::string vendorName = ok ? std::string(vendor) : std::string("<VENDOR UNKNOWN>");
    partNumber = TrimRight(partNumber);
    char text[96];
    std::snprintf(text, sizeof text, "%s %s\n0x%02X%02X%02X", vendorName.c_str(), partNumber.c_str(), id, extId,
                  connector);
    unrecognisedTextCmd_.SetTextAll(text);
    unrecognisedDialog_ = ShowDialog("UnrecognisedSFP", 1);
    DebugPrintf("\x1b[31mUpdateSFPType: Unknown SFP %s %s\n\x1b[39m", vendorName.c_str(), partNumber.c_str());
}

// Closes the dialog (it belongs to the dialog list) unless the user already
// did.
void TkrSFPStatus::CloseUnrecognised()
{
    if (unrecognisedDialog_ != nullptr && IsWindowOpen(unrecognisedDialog_))
        CloseDialog(unrecognisedDialog_);
    unrecognisedDialog_ = nullptr;
}

void TkrSFPStatus::LoadBuiltInSfpTable() { ::LoadBuiltInSfpTable(sfpTable_); }

void TkrSFPStatus::ShowFields(bool statics)
{
    for (auto& f : fields_)
        if (f->IsStatic() == statics)
            f->Show();
}

// --- controls -----------------------------------------------------------------------------

void TkrSFPStatus::ShowIpControls(int32_t mode)
{
    if (TpCommand* tab = cmds_.Cmd(kMainTab))
        tab->SetItemEnabledAll(kMainTabIpItem, ipTabAllowed_ != 0 && mode != 0);
    TpStore* store = TpStore::Instance();
    if (mode != lastIpControlsMode_ && mode != -1 && store != nullptr) {
        for (uint16_t id : kIpControlIds) {
            TpCommand* cmd = store->GetCmd(id);
            if (cmd == nullptr)
                continue;
            cmd->SetVisibleAll(mode != 0);
            if (id == COM_SFP_IP_FACT_RESET1 || id == COM_SFP_IP_FACT_RESET2)
                cmd->SetFocusedAll(true);
        }
    }
    lastIpControlsMode_ = mode;
}

void TkrSFPStatus::LoopOffOnSfpLoss()
{
    cmds_.SetValue(kLoopEnable, 1);
    cmds_.SetValue(kLoop, 0);
}

void TkrSFPStatus::CheckLoopOnSfpLoss()
{
    if (cmds_.Value(kLoop) != 0)
        LoopOffOnSfpLoss();
}

void TkrSFPStatus::SetEdidCaption()
{
    TpStore* store = TpStore::Instance();
    for (TpCommand* c = store != nullptr ? store->GetCmd(COM_STATUS_TAB_SELECT) : nullptr; c != nullptr;
         c = c->NextInChain()) {
        if (auto* pages = dynamic_cast<TpPageControl*>(c))
            pages->SetPageText(kStatusTabEdidPage, "EDID Info");
    }
}

// --- EDID ---------------------------------------------------------------------------------

void TkrSFPStatus::OnChildChanged(TpCommand* child, int reason)
{
    if (child == cmds_.Cmd(kEdidRead)) {
        if (child->GetValue() != 0) {
            edidRequested_ = 1;
            child->SetValueAll(0);
        }
    } else if (child == cmds_.Cmd(kEdidView)) {
        cmds_.SetValue(kEdidRead, 1);
    }
}

void TkrSFPStatus::ReadEdid() { EdidPage::ReadEdid(cmds_.Value(kEdidView) != 0); }
