// The manager of an IP encapsulation/decapsulation module in the SFP cage: it
// maps the parameter table's logical pages to the module's physical pages,
// changes the page on the module, unlocks and commits controller pages, hands
// edited values to the module and paces the writes with the write-settle
// marker. Application thread only.
#pragma once

#include "core/TpCommand.h"

#include <cstdint>

// Known values counted over the parameter table.
struct SfpParamCounts {
    uint32_t all = 0;
    uint32_t controller = 0;   // reported only while the controller configure runs
    uint32_t flow = 0;         // reported only while the flow configure runs
};

class IpSfpManager : public TpCommand {
public:
    IpSfpManager();

    // --- module pages ------------------------------------------------------
    // The physical page of a logical page, from the page selectors.
    uint8_t MapLogicalPage(uint8_t logical);
    // Makes the logical page the one on the module: true when it already was
    // (only the status is polled), false after a request, accepted or not.
    bool ChangePage(uint8_t logical);

    // --- writes --------------------------------------------------------------
    // Command 2 (1 for the audio-map page) then a status poll; false when the
    // command write failed (the message is printed either way).
    bool UnlockControllerPage(uint8_t page);
    // Command 3 then a status poll.
    bool CommitControllerPage(uint8_t page);
    // Hands a parameter value to the module: one byte to its register; a
    // composite value split over its two byte controls (set through the store
    // and marked pending, nothing written); any other two-byte value to its
    // register and the next, most significant first. Wider values cannot be
    // written this way and are refused with a message.
    bool SetNewParameterValue(uint8_t page, uint8_t reg, int32_t value, uint32_t byteCount, uint16_t cmdId);

    // Services the write-settle marker (busyCountdown): unless disarmed, polls
    // the status once when a settle time remains and disarms it. Always false.
    bool ServiceWriteSettle();
    // Arms the marker with the full settle time.
    void ArmWriteSettle();

    // Rows with a pending edit: all, of the controller set, of the flow set.
    SfpParamCounts CountKnownParameters() const;

    // --- state -----------------------------------------------------------------
    uint8_t controllerConfiguring = 0;
    uint8_t flowConfiguring = 0;
    uint8_t requestedPage = 0;        // logical page asked for last (0 = none)
    uint8_t pageBlocked = 0;          // a requested page is not yet current and settled
    int32_t writeMark = -1;
    int32_t busyCountdown = -1;       // write-settle marker, -1 = disarmed
    int32_t firmwareDefaultCountdown = 0;
    // Physical pages last computed for each kind of page.
    uint8_t lastFlowPage = 0;
    uint8_t lastAncPage = 0;
    uint8_t lastPtpPage = 0;
    uint8_t lastBlockEPage = 0;
    uint8_t lastAudioPage = 0;

    static constexpr int32_t kWriteSettleTicks = 60;
};
