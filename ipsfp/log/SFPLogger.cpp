#include "SFPLogger.h"

#include "KrZuApi.h"
#include "core/log/TpLogger.h"
#include "core/store/TpStore.h"
#include "ipsfp/params/SfpParamTable.h"
#include "ipsfp/status/TpSfpStatusField.h"
#include "platform/DebugOut.h"

#include <cstdio>
#include <iterator>
#include <tuple>

namespace {

SFPLogger* g_sfpLogger = nullptr;

struct WatchedCmd {
    uint16_t cmdId;
    CmdValueKind valueKind;
};

// The commands whose texts and values the checks read.
// command id, value kind
constexpr WatchedCmd kWatched[] = {
    {COM_SFP_IP_ETHERNET_TX_PACKETS, kKeepsValueText},
    {COM_SFP_IP_ETHERNET_RX_PACKETS, kKeepsValueText},
    {COM_SFP_IP_TX_OR_RX_PACKETS, kKeepsValueText},
    {COM_SFP_IP_RX_OR_TX_PKT_LABEL, kKeepsText},
    {COM_SFP_IP_STD_SMPTE_PAYLOAD, kKeepsText},
    {COM_SFP_IP_STD_BIT_RATE, kKeepsText},
    {COM_SFP_IP_STD_FRAME_RATE, kKeepsText},
    {COM_SFP_IP_STD_VID_FMT, kKeepsText},
    {COM_SFP_IP_STD_SCAN_MODE, kKeepsText},
    {COM_SFP_IP_STD_SAMPLE_FMT, kKeepsText},
    {COM_SFP_IP_STD_VALID, kKeepsText},
    {COM_SFP_IP_IGMP_QUERY_COUNT, kKeepsValue},
    {COM_SFP_IP_IGMP_JOIN_COUNT, kKeepsValue},
    {COM_SFP_IP_IGMP_STATUS, kKeepsText},
    {COM_SFP_IP_IGMP_QUERY_ADD1, kKeepsValue},
    {COM_SFP_IP_IGMP_QUERY_ADD2, kKeepsValue},
    {COM_SFP_IP_IGMP_QUERY_ADD3, kKeepsValue},
    {COM_SFP_IP_IGMP_QUERY_ADD4, kKeepsValue},
    {COM_SFP_IP_IGMP_SOURCE_ADD1, kKeepsValue},
    {COM_SFP_IP_IGMP_SOURCE_ADD2, kKeepsValue},
    {COM_SFP_IP_IGMP_SOURCE_ADD3, kKeepsValue},
    {COM_SFP_IP_IGMP_SOURCE_ADD4, kKeepsValue},
    {COM_SYS_INFO_CENTIGRADE, kKeepsValue},
};

struct StdText {
    uint16_t cmdId;
    unsigned code;
};

// The flow's video-standard texts, in the order they are checked.
// command id, event
constexpr StdText kStdTexts[] = {
    {COM_SFP_IP_STD_SMPTE_PAYLOAD, kSfpEventPayload},
    {COM_SFP_IP_STD_BIT_RATE, kSfpEventBitRate},
    {COM_SFP_IP_STD_FRAME_RATE, kSfpEventFrameRate},
    {COM_SFP_IP_STD_VID_FMT, kSfpEventVideoFormat},
    {COM_SFP_IP_STD_SCAN_MODE, kSfpEventScanMode},
    {COM_SFP_IP_STD_SAMPLE_FMT, kSfpEventSampleFormat},
    {COM_SFP_IP_STD_VALID, kSfpEventStdValid},
};

struct AddressLog {
    uint32_t group;
    unsigned code;
    uint16_t firstCmdId;
};

// The four-value addresses of the parameter groups (the MAC group is apart).
// group, event, first command id
constexpr AddressLog kAddressLogs[] = {
    {kSfpGroupFlowDestIp, kSfpEventDestAddress, COM_SFP_IP_DST_IP_ADD1},
    {kSfpGroupFlowSrcIp, kSfpEventSourceAddress, COM_SFP_IP_SRC_IP_ADD1},
    {kSfpGroupMgmtIp, kSfpEventMgmtAddress, COM_SFP_IP_CONTR_IP_ADD1},
    {kSfpGroupMgmtMask, kSfpEventMgmtMask, COM_SFP_IP_CONTR_MASK1},
    {kSfpGroupMgmtGateway, kSfpEventMgmtGateway, COM_SFP_IP_CONTR_GW1},
};

template <typename... Args>
std::string Print(const char* format, Args... args)
{
    char text[128];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

long StoreValue(unsigned cmdId)
{
    const TpStore* store = TpStore::Instance();
    return store != nullptr ? store->GetValue(cmdId) : 0;
}

// A switch starts as its other views show it.
void TakeValueOfOtherViews(TpChildCmd& cmd)
{
    const TpStore* store = TpStore::Instance();
    const TpCommand* head = store != nullptr ? store->GetCmd(cmd.CmdId()) : nullptr;
    if (head != nullptr && head != &cmd)
        cmd.SetValue(head->GetValue());
}

// "%u" of a counter text; a text that does not scan keeps the counter.
void ScanCounter(const TpCommand& cmd, uint32_t& counter)
{
    unsigned v = 0;
    if (std::sscanf(cmd.GetText().c_str(), "%u", &v) == 1)
        counter = v;
}

std::string DottedFromHigh(long a, long b, long c, long d) { return Print("%ld.%ld.%ld.%ld", a, b, c, d); }

} // namespace

SFPLogger::SFPLogger() : TpParent(nullptr, 0, kKeepsNothing)
{
    logEnableCmd_ = std::make_unique<TpChildCmd>(this, COM_ANLYS_LOG_ENABLE, kKeepsValue);
    statusLogEnableCmd_ = std::make_unique<TpChildCmd>(this, COM_ANLYS_LOG_SFP_STATUS_ENABLE, kKeepsValue);
    packetLogEnableCmd_ = std::make_unique<TpChildCmd>(this, COM_ANLYS_LOG_SFP_PACKET_ENABLE, kKeepsValue);
    for (const WatchedCmd& w : kWatched)
        watched_.push_back(std::make_unique<TpCommand>(w.cmdId, w.valueKind));
    TakeValueOfOtherViews(*logEnableCmd_);
    TakeValueOfOtherViews(*statusLogEnableCmd_);
    TakeValueOfOtherViews(*packetLogEnableCmd_);
    g_sfpLogger = this;
}

SFPLogger::~SFPLogger()
{
    if (g_sfpLogger == this)
        g_sfpLogger = nullptr;
}

SFPLogger* SFPLogger::Instance() { return g_sfpLogger; }

const TpCommand& SFPLogger::Watched(unsigned cmdId) const
{
    for (const auto& cmd : watched_) {
        if (cmd->CmdId() == cmdId)
            return *cmd;
    }
    return *watched_.back();
}

void SFPLogger::OnChildChanged(TpCommand* child, int reason)
{
    if (reason != kReasonValue)
        return;
    const bool general = logEnableCmd_ != nullptr && logEnableCmd_->GetValue() != 0;
    if (child == statusLogEnableCmd_.get() || child == logEnableCmd_.get()) {
        statusLogging_ = general && statusLogEnableCmd_ != nullptr && statusLogEnableCmd_->GetValue() != 0;
        DebugPrintf("\nSFP status=%d\n", statusLogging_ ? 1 : 0);
    }
    if (child == packetLogEnableCmd_.get() || child == logEnableCmd_.get()) {
        packetLogging_ = general && packetLogEnableCmd_ != nullptr && packetLogEnableCmd_->GetValue() != 0;
        DebugPrintf("\nSFP packet=%d\n", packetLogging_ ? 1 : 0);
    }
}

void SFPLogger::LogSfpEvent(const std::string& text)
{
    if (statusLogging_)
        AddEvent(kEventInfo, kSfpEventModule, text);
}

void SFPLogger::LogSfpRemoved()
{
    if (statusLogging_)
        AddEvent(kEventError, kSfpEventRemoved, "");
}

void SFPLogger::LogModuleAction(const std::string& text)
{
    if (statusLogging_)
        AddEvent(kEventInfo, kSfpEventAction, text);
}

void SFPLogger::LogModuleActionDone()
{
    if (statusLogging_)
        AddEvent(kEventInfo, kSfpEventActionDone, "");
}

void SFPLogger::LogParameterChange(const TpCommand* command, const char* name, uint8_t nameOnly,
                                   uint32_t addressGroup, uint8_t useText)
{
    if (!statusLogging_ || name == nullptr || name[0] == '\0')
        return;
    std::string text = name;
    if (nameOnly == 0 && command != nullptr)
        text += useText != 0 ? "=" + command->GetText() : Print("=%ld", static_cast<long>(command->GetValue()));
    AddEvent(kEventInfo, kSfpEventParameter, text);
    LogAddressGroup(addressGroup);
}

void SFPLogger::LogAddressGroup(uint32_t addressGroup)
{
    if (!statusLogging_)
        return;
    if (addressGroup == kSfpGroupFlowMac) {
        std::string mac;
        for (unsigned id = COM_SFP_FILT_DEST_MAC6; id >= COM_SFP_FILT_DEST_MAC1; --id)
            mac += Print(id == COM_SFP_FILT_DEST_MAC6 ? "%02X" : ".%02X", static_cast<unsigned>(StoreValue(id) & 0xFF));
        AddEvent(kEventInfo, kSfpEventDestMac, mac);
        return;
    }
    for (const AddressLog& a : kAddressLogs) {
        if (a.group == addressGroup)
            LogAddress(a.firstCmdId, a.code);
    }
}

void SFPLogger::LogAddress(unsigned firstCmdId, unsigned code)
{
    if (statusLogging_)
        AddEvent(kEventInfo, code,
                 DottedFromHigh(StoreValue(firstCmdId + 3), StoreValue(firstCmdId + 2), StoreValue(firstCmdId + 1),
                                StoreValue(firstCmdId)));
}

void SFPLogger::CheckPackets()
{
    if (!packetLogging_)
        return;
    if (packetTick_++ % kSfpPacketCheckCalls != 0)
        return;
    const uint32_t tx = lastTxPackets_, rx = lastRxPackets_, selected = lastSelectedPackets_;
    ScanCounter(Watched(COM_SFP_IP_ETHERNET_TX_PACKETS), lastTxPackets_);
    ScanCounter(Watched(COM_SFP_IP_ETHERNET_RX_PACKETS), lastRxPackets_);
    ScanCounter(Watched(COM_SFP_IP_TX_OR_RX_PACKETS), lastSelectedPackets_);
    if (lastTxPackets_ != tx)
        AddEvent(kEventInfo, kSfpEventTxPackets, Print("%u Packets", lastTxPackets_));
    if (lastRxPackets_ != rx)
        AddEvent(kEventInfo, kSfpEventRxPackets, Print("%u Packets", lastRxPackets_));
    if (lastSelectedPackets_ != selected) {
        const bool isTx = Watched(COM_SFP_IP_RX_OR_TX_PKT_LABEL).GetText() == "Tx Packets:";
        AddEvent(kEventInfo, isTx ? kSfpEventFlowTxPackets : kSfpEventFlowRxPackets,
                 Print("%u Packets", lastSelectedPackets_));
    }
}

void SFPLogger::CheckStandardTexts()
{
    static_assert(std::size(kStdTexts) == std::tuple_size_v<decltype(lastStdTexts_)>);
    if (!statusLogging_)
        return;
    for (size_t i = 0; i < std::size(kStdTexts); ++i) {
        const std::string text = Watched(kStdTexts[i].cmdId).GetText();
        if (text != lastStdTexts_[i]) {
            AddEvent(kEventInfo, kStdTexts[i].code, text);
            lastStdTexts_[i] = text;
        }
    }
}

void SFPLogger::CheckIgmp()
{
    if (!statusLogging_)
        return;
    auto value = [this](unsigned id) { return static_cast<long>(Watched(id).GetValue()); };
    const std::string query = DottedFromHigh(value(COM_SFP_IP_IGMP_QUERY_ADD4), value(COM_SFP_IP_IGMP_QUERY_ADD3),
                                             value(COM_SFP_IP_IGMP_QUERY_ADD2), value(COM_SFP_IP_IGMP_QUERY_ADD1));
    const std::string source = DottedFromHigh(value(COM_SFP_IP_IGMP_SOURCE_ADD4), value(COM_SFP_IP_IGMP_SOURCE_ADD3),
                                              value(COM_SFP_IP_IGMP_SOURCE_ADD2), value(COM_SFP_IP_IGMP_SOURCE_ADD1));
    const int32_t queries = Watched(COM_SFP_IP_IGMP_QUERY_COUNT).GetValue();
    const int32_t joins = Watched(COM_SFP_IP_IGMP_JOIN_COUNT).GetValue();
    const std::string status = Watched(COM_SFP_IP_IGMP_STATUS).GetText();
    if (queries != lastIgmpQueryCount_) {
        AddEvent(kEventInfo, kSfpEventIgmpQueries, Print("%ld", static_cast<long>(queries)));
        lastIgmpQueryCount_ = queries;
    }
    if (joins != lastIgmpJoinCount_) {
        AddEvent(kEventInfo, kSfpEventIgmpJoins, Print("%ld", static_cast<long>(joins)));
        lastIgmpJoinCount_ = joins;
    }
    if (status != lastIgmpStatusText_) {
        AddEvent(kEventInfo, kSfpEventIgmpStatus, status);
        lastIgmpStatusText_ = status;
    }
    if (source != lastIgmpSourceAddress_) {
        AddEvent(kEventInfo, kSfpEventIgmpSource, source);
        lastIgmpSourceAddress_ = source;
    }
    if (query != lastIgmpQueryAddress_) {
        AddEvent(kEventInfo, kSfpEventIgmpQueryAddress, query);
        lastIgmpQueryAddress_ = query;
    }
}

void SFPLogger::CheckTemperature()
{
    if (!statusLogging_)
        return;
    const SfpReadings& r = SfpStatusReadings();
    const auto temp = static_cast<double>(r.temperature), alarm = static_cast<double>(r.tempHighAlarm);
    if (IsTemperatureOver() && !tempOver_) {
        AddEvent(kEventWarning, kSfpEventTempHigh, Print("%.2fC Over Threshold=%.2fC", temp, alarm));
        tempOver_ = true;
    } else if (!IsTemperatureOver() && tempOver_) {
        AddEvent(kEventInfo, kSfpEventTemp, Print("%.2fC Under Threshold=%.2fC", temp, alarm));
        tempOver_ = false;
    }
}

void SFPLogger::CheckSupply()
{
    if (!statusLogging_)
        return;
    const SfpReadings& r = SfpStatusReadings();
    const auto supply = static_cast<double>(r.supply);
    // Leaving the high alarm is told as a plain reading (294), and so is
    // leaving the low alarm; a supply that crosses both alarms in one check
    // gets the alarm it entered and the reading of the one it left.
    bool leftHigh = vccHigh_;
    if (IsSupplyOver()) {
        if (!vccHigh_)
            AddEvent(kEventWarning, kSfpEventSupplyHigh,
                     Print("%.2fV Over Threshold=%.2fV", supply, static_cast<double>(r.supplyHighAlarm)));
        vccHigh_ = true;
        leftHigh = false;
    } else {
        vccHigh_ = false;
    }
    if (IsSupplyUnder()) {
        if (!vccLow_)
            AddEvent(kEventWarning, kSfpEventSupplyLow,
                     Print("%.2fV Under Threshold=%.2fV", supply, static_cast<double>(r.supplyLowAlarm)));
        vccLow_ = true;
    } else if (vccLow_) {
        vccLow_ = false;
        AddEvent(kEventInfo, kSfpEventSupply, Print("%.2fV", supply));
        return;
    }
    if (leftHigh)
        AddEvent(kEventInfo, kSfpEventSupply, Print("%.2fV", supply));
}

bool SFPLogger::IsTemperatureOver()
{
    return SfpStatusReadings().temperature > SfpStatusReadings().tempHighAlarm;
}

bool SFPLogger::IsSupplyOver() { return SfpStatusReadings().supply > SfpStatusReadings().supplyHighAlarm; }

bool SFPLogger::IsSupplyUnder() { return SfpStatusReadings().supply < SfpStatusReadings().supplyLowAlarm; }
