// The SFP logger: writes what happens to the SFP module and its IP flows into
// the event log (identification and removal, module actions, parameter
// changes with the addresses they belong to, supply and temperature alarms
// with their returns, packet counters, the flow's video standard, IGMP).
// Status logging and packet logging each need their own switch and the
// general event-logging switch.
//
// One logger in the process, reached through Instance() while it lives.
// Application thread only.
#pragma once

#include "core/store/TpParent.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Text numbers of the logger's events.
enum SfpEventCode : unsigned {
    kSfpEventModule = 288,
    kSfpEventRemoved = 289,
    kSfpEventAction = 290,
    kSfpEventActionDone = 291,
    kSfpEventParameter = 292,
    kSfpEventSupplyHigh = 293,
    kSfpEventSupply = 294,
    kSfpEventSupplyLow = 295,
    kSfpEventTempHigh = 296,
    kSfpEventTemp = 297,
    kSfpEventRxPackets = 298,
    kSfpEventTxPackets = 299,
    kSfpEventFlowTxPackets = 300,
    kSfpEventFlowRxPackets = 301,
    kSfpEventBitRate = 302,
    kSfpEventScanMode = 303,
    kSfpEventSampleFormat = 304,
    kSfpEventFrameRate = 305,
    kSfpEventVideoFormat = 306,
    kSfpEventPayload = 307,
    kSfpEventStdValid = 308,
    kSfpEventIgmpJoins = 309,
    kSfpEventIgmpQueries = 310,
    kSfpEventIgmpStatus = 311,
    kSfpEventIgmpSource = 312,
    kSfpEventIgmpQueryAddress = 313,
    kSfpEventSourceAddress = 314,
    kSfpEventDestAddress = 315,
    kSfpEventDestMac = 316,
    kSfpEventMgmtAddress = 317,
    kSfpEventMgmtGateway = 318,
    kSfpEventMgmtMask = 319,
};

// Packet counters are compared on every this many calls of CheckPackets.
constexpr uint32_t kSfpPacketCheckCalls = 60;

class SFPLogger : public TpParent {
public:
    SFPLogger();
    ~SFPLogger() override;

    static SFPLogger* Instance();

    void OnChildChanged(TpCommand* child, int reason) override;
    bool StatusLogging() const { return statusLogging_; }
    bool PacketLogging() const { return packetLogging_; }

    // With status logging on only.
    void LogSfpEvent(const std::string& text);
    void LogSfpRemoved();
    void LogModuleAction(const std::string& text);
    void LogModuleActionDone();
    // "name", "name=text" (useText) or "name=value" of the command, then the
    // whole address of the group (SfpAddressGroup) the parameter belongs to.
    // Nothing for an empty name.
    void LogParameterChange(const TpCommand* command, const char* name, uint8_t nameOnly, uint32_t addressGroup,
                            uint8_t useText);
    void LogAddressGroup(uint32_t addressGroup);
    // The four store values from firstCmdId (least significant octet first)
    // as a dotted address.
    void LogAddress(unsigned firstCmdId, unsigned code);
    void CheckStandardTexts();
    void CheckIgmp();
    void CheckTemperature();
    void CheckSupply();

    // With packet logging on only.
    void CheckPackets();

    // The module's readings against their alarms.
    static bool IsTemperatureOver();
    static bool IsSupplyOver();
    static bool IsSupplyUnder();

private:
    const TpCommand& Watched(unsigned cmdId) const;

    std::unique_ptr<TpChildCmd> logEnableCmd_;
    std::unique_ptr<TpChildCmd> statusLogEnableCmd_;
    std::unique_ptr<TpChildCmd> packetLogEnableCmd_;
    std::vector<std::unique_ptr<TpCommand>> watched_;

    std::array<std::string, 7> lastStdTexts_;
    int32_t lastIgmpQueryCount_ = 0;
    int32_t lastIgmpJoinCount_ = 0;
    std::string lastIgmpStatusText_;
    std::string lastIgmpQueryAddress_;
    std::string lastIgmpSourceAddress_;
    bool tempOver_ = false;
    bool vccHigh_ = false;
    bool vccLow_ = false;
    bool statusLogging_ = false;
    bool packetLogging_ = false;
    uint32_t packetTick_ = 0;
    uint32_t lastSelectedPackets_ = 0;
    uint32_t lastRxPackets_ = 0;
    uint32_t lastTxPackets_ = 0;
};
