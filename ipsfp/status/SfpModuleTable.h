// The kinds of module the SFP cage can hold and the built-in table of known
// modules: identity bytes of the serial ID (identifier, extended identifier,
// connector), vendor part number, type and option flags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class SfpType : uint32_t {
    None = 0,
    OptIo = 1,
    OptIn = 2,
    Opt2In = 3,
    OptOut = 4,
    Opt2Out = 5,
    SdiIo = 6,
    Sdi2In = 7,
    Sdi2Out = 8,
    CvbsIo = 9,
    Cvbs2In = 10,
    Cvbs2Out = 11,
    HdmiIn = 12,
    HdmiOut = 13,
    IpIn = 14,
    IpOut = 15,
};
constexpr uint32_t kSfpTypeCount = 16;

// The type's short name ("optio" ...; "" for none or a code out of range).
const char* SfpTypeName(SfpType type);

constexpr int kSfpPartNumberLength = 16;

struct SfpRecord {
    uint8_t id;
    uint8_t extId;
    uint8_t connector;
    char partNumber[kSfpPartNumberLength + 1];   // padded with spaces, then a zero byte
    SfpType type;
    uint8_t isHiSlew;   // needs the high slew rate (rate select)
    uint8_t isMsa;      // MSA-compliant module
};

// The record of the simulated IP module.
constexpr size_t kSfpIpModuleRecord = 26;

// Empties table and appends the built-in records in their order.
void LoadBuiltInSfpTable(std::vector<SfpRecord>& table);
