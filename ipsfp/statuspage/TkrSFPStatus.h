// The SFP status page: a coloured list of what the module in the SFP cage is
// (identity bytes and live readings, laid out by the status fields) and the
// heartbeat of the IP subsystem. Its periodic task "SFPStatus" (1000 ms,
// 150 ms while an IP module is fitted) sees modules come and go, identifies
// them by the built-in module table, drives the IP manager it owns, feeds the
// SFP logger, shows the one-time warnings and reads the EDID of an HDMI output
// module on request.
//
// A change of the simulated module's IP-mode flag counts as a module change;
// while it is set the module is the simulated IP module, decapsulating (type
// 14) when its decapsulation byte is set and encapsulating (15) otherwise, and
// a change of that byte counts as a module change too.
//
// Application thread only.
#pragma once

#include "core/store/TpCmdTable.h"
#include "ipsfp/status/SfpModuleTable.h"
#include "ipsfp/status/TpSfpStatusField.h"
#include "ui/widgets/TpColouredList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IpSfpManager;
class IpValueDisplay;
class SFPLogger;
class TpChildCmd;
class TpDialog;

class TkrSFPStatus : public TpColouredList {
public:
    static constexpr int kPeriodMs = 1000;
    static constexpr int kIpPeriodMs = 150;
    static constexpr uint32_t kListFlags = 2;
    static constexpr int kColumns = 6;
    static constexpr int kRows = 19;
    static constexpr int kLabelWidth = 65;
    static constexpr int kValueWidth = 95;
    static constexpr int kStatusTabEdidPage = 7;

    // The analyser passes 799, 831, 832, 2285, 2318.
    TkrSFPStatus(int listCmdId, unsigned firstLabelId, unsigned secondLabelId, unsigned unrecognisedTextId,
                 unsigned databaseResultId);
    ~TkrSFPStatus() override;

    // One tick of "SFPStatus".
    void OnTask() override;
    // The EDID read and view commands.
    void OnChildChanged(TpCommand* child, int reason) override;

    // Identifies the module (or takes forcedType when forced) and rebuilds
    // the field list.
    void UpdateSFPType(uint8_t forced, SfpType forcedType);
    // Shows the static fields (on a module or type change) or the others
    // (every tick).
    void ShowFields(bool statics);
    // Item 7 of the main tab on every call; the IP controls' visibility only
    // when mode changes (-1 only forgets the last mode).
    void ShowIpControls(int32_t mode);
    void LoadBuiltInSfpTable();
    // The table's record of the identity, none when the module is unknown.
    const SfpRecord* FindSfpRecord(uint8_t id, uint8_t extId, uint8_t connector, const std::string& partNumber) const;
    // The EDID read of an HDMI output module, in the view command 2356 picks.
    void ReadEdid();
    void LoopOffOnSfpLoss();
    void CheckLoopOnSfpLoss();

    bool IsIpModule() const { return sfpType_ == SfpType::IpIn || sfpType_ == SfpType::IpOut; }
    bool IsHdmiOutModule() const { return sfpType_ == SfpType::HdmiOut; }
    bool IsTypeKnown() const { return typeKnown_ != 0; }
    void ClearTypeKnown() { typeKnown_ = 0; }
    // The two warning conditions.
    static bool IsSfpCageCurrent();
    static bool IsBoardCurrent();

    SfpType Type() const { return sfpType_; }
    bool EdidRequested() const { return edidRequested_ != 0; }
    IpSfpManager& Manager() const { return *manager_; }
    const std::vector<SfpRecord>& SfpTable() const { return sfpTable_; }

private:
    // Ids of the commands the page makes itself, by entry.
    enum CmdEntry { kMainTab, kStatusTab, kEdidRead, kEdidView, kOutputEnable, kLoopEnable, kLoop, kCmdEntries };
    static const uint16_t kCmdIds[kCmdEntries];

    // Where the tick hands over to the manager's IP state machine.
    bool ModuleChanged(bool wasPresent);
    void OnModuleChange();
    void TickIpModule(bool wasPresent);
    void ShowWarningsOnce();
    void ShowUnrecognised(uint8_t id, uint8_t extId, uint8_t connector, std::string partNumber);
    void ShowConnectorLabels();
    void CloseUnrecognised();
    void SetEdidCaption();

    TpCommand firstLabelCmd_;
    TpCommand secondLabelCmd_;
    TpCommand unrecognisedTextCmd_;
    std::unique_ptr<TpChildCmd> databaseResultCmd_;
    std::unique_ptr<IpSfpManager> manager_;
    std::unique_ptr<IpValueDisplay> pageView_;   // the manager's view of the IP pages
    std::unique_ptr<SFPLogger> logger_;
    TpCmdTable cmds_;
    TpDialog* unrecognisedDialog_ = nullptr;
    SfpType sfpType_ = SfpType::None;
    int32_t lastOutputEnable_ = -1;
    uint8_t present_ = 0;
    uint8_t warningsShown_ = 0;
    uint8_t edidRequested_ = 0;
    uint8_t typeKnown_ = 0;
    uint8_t ipTabAllowed_ = 0;
    // The simulated module's flags as last seen, and the last mode given to
    // ShowIpControls (-1: none yet).
    uint8_t lastIpMode_ = 0;
    uint8_t lastDecapsulation_ = 0;
    int32_t lastIpControlsMode_ = -1;
    SfpFieldList fields_;
    std::vector<SfpRecord> sfpTable_;
};
