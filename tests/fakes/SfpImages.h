// Builders of the register images a module shows on its two-wire devices:
// the SFF-8472 identity page (device 0xA0), its diagnostics page (device
// 0xA2) and a VESA EDID 1.3 block, each with its check bytes computed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SfpIdentity {
    uint8_t identifier = 0x03;      // SFP/SFP+
    uint8_t extIdentifier = 0x04;
    uint8_t connector = 0x07;       // LC
    std::array<uint8_t, 8> transceiver{};   // compliance codes at 3-10
    uint8_t encoding = 0;
    uint8_t bitRate = 0;            // 100 MBd
    uint8_t lengthKm = 0;           // single mode, km
    uint8_t length100m = 0;         // single mode, 100 m
    uint8_t length50um = 0;         // 10 m
    uint8_t length62um = 0;         // 10 m
    uint8_t lengthCopper = 0;       // 1 m
    std::string vendorName;         // space-padded to 16
    std::array<uint8_t, 3> vendorOui{};
    std::string partNumber;         // space-padded to 16
    std::string revision;           // space-padded to 4
    uint16_t wavelength = 0;        // nm, big-endian at 60-61
    std::string serial;             // space-padded to 16
    std::string dateCode;           // "YYMMDD", space-padded to 8
    uint8_t diagnosticType = 0x68;  // diagnostics implemented, internally calibrated
};

// The identity of a module: its three identity bytes and part number.
SfpIdentity ModuleIdentity(uint8_t identifier, uint8_t extIdentifier, uint8_t connector, const std::string& partNumber);

// A0h: identity fields, CC_BASE (byte 63) and CC_EXT (byte 95).
std::array<uint8_t, 256> MakeA0hImage(const SfpIdentity& id);

struct SfpDiagnostics {
    int16_t temperature = 0;        // 1/256 degree C
    uint16_t vcc = 0;               // 100 uV
    uint16_t txBias = 0;            // 2 uA
    uint16_t txPower = 0;           // 0.1 uW
    uint16_t rxPower = 0;           // 0.1 uW
    int16_t tempHighAlarm = 0;      // thresholds at 0-1
    uint16_t vccHighAlarm = 0;      // 8-9
    uint16_t vccLowAlarm = 0;       // 10-11
};

// A2h: thresholds, readings at 96-105 (all big-endian) and CC_DMI (byte 95).
std::array<uint8_t, 256> MakeA2hImage(const SfpDiagnostics& d);

struct EdidFields {
    std::string manufacturer = "ABC";   // three letters A-Z
    uint16_t productCode = 0;
    uint32_t serial = 0;
    uint8_t week = 1;
    int year = 2010;
    uint8_t input = 0x80;               // digital
    uint8_t widthCm = 0;
    uint8_t heightCm = 0;
    uint8_t gamma = 120;                // (gamma x 100) - 100
    uint8_t features = 0x0A;
    std::string monitorName;            // descriptor 0xFC when not empty
    std::array<uint8_t, 3> established{};                // bytes 35-37
    std::vector<std::array<uint8_t, 2>> standardTimings;  // up to 8; the rest unused (01 01)
    struct DetailedTiming {
        uint16_t clock10kHz;
        uint16_t hActive, hBlank, vActive, vBlank;
        uint16_t hSyncOffset, hSyncWidth, vSyncOffset, vSyncWidth;
        uint16_t widthMm, heightMm;
        uint8_t flags;
    };
    std::optional<DetailedTiming> detailedTiming;
    struct RangeLimits {
        uint8_t vMinHz, vMaxHz, hMinKHz, hMaxKHz, maxClock10MHz;
    };
    std::optional<RangeLimits> rangeLimits;              // descriptor 0xFD
};

// A 128-byte base block: header, fields, the descriptors given (detailed
// timing, range limits, name, in that order) and the checksum at byte 127.
std::array<uint8_t, 128> MakeEdidBlock(const EdidFields& f);
