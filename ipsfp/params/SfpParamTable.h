// The emSFP parameter table: every setting, reading and action of the IP menu
// is one row that ties the control showing it (by command id) to a logical
// page, the register or registers and bit field holding it on the module, the
// rule that displays it and how the logger names it. The definitions are
// fixed data; the rows hold the live state (the value last shown, the page
// the per-flow rows are read on and the read register), which a reset puts
// back to the definitions. Edits waiting to be written are the manager's.
//
// Multi-byte values are big-endian on the module: the read register holds the
// most significant byte. Bit fields are (register AND mask) shifted right by
// the shift, of which only the low byte counts.
//
// Process-wide; application thread only.
#pragma once

#include "ipsfp/link/SfpCodes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// Flag bits of a definition.
constexpr uint8_t kSfpFollowsFlowPage = 0x01;   // per-flow register block: the page change moves it
constexpr uint8_t kSfpAlwaysAccess = 0x02;      // read on every pass, written only by the page update
constexpr uint8_t kSfpIsAction = 0x04;          // reset, default or DHCP request
constexpr uint8_t kSfpControllerSet = 0x08;     // written by the controller "Configure"
constexpr uint8_t kSfpFlowSet = 0x10;           // written by the flow "Configure"

// Address groups the logger prints whole when one of their bytes changes.
enum SfpAddressGroup : uint8_t {
    kSfpGroupNone = 0,
    kSfpGroupFlowDestIp = 1,
    kSfpGroupFlowSrcIp = 2,
    kSfpGroupFlowMac = 3,
    kSfpGroupMgmtIp = 4,
    kSfpGroupMgmtMask = 5,
    kSfpGroupMgmtGateway = 6,
};

// The fixed part of a row.
struct SfpParamDef {
    uint16_t cmdId;
    uint16_t secondCmdId;    // 0 = none
    SfpLogicalPage page;     // the page the row starts on
    uint8_t readRegister;    // first (most significant) register
    uint8_t writeRegister;   // 0 = write the read register
    uint8_t mask;            // 0 = whole bytes
    uint16_t shift;
    uint8_t byteCount;       // 0 = not read from the module
    SfpDisplayKind displayKind;
    uint8_t flags;           // kSfpFollowsFlowPage ...
    uint8_t addressGroup;    // SfpAddressGroup
    const char* logName;     // "" = none
};

struct SfpParamRow {
    uint16_t cmdId;
    uint16_t secondCmdId;
    uint8_t followsFlowPage;
    uint8_t page;            // SfpLogicalPage the row is read on; the page change moves the follow rows
    uint8_t alwaysAccess;
    uint8_t readRegister;
    uint8_t writeRegister;
    uint8_t mask;
    uint16_t byteCount;
    uint32_t displayKind;    // SfpDisplayKind
    int32_t value;           // -1 = unread; else the value last shown
    uint32_t shift;
    const char* logName;
    uint32_t isAction;
    uint32_t addressGroup;
    uint8_t inControllerSet;
    uint8_t inFlowSet;
};

class SfpParamTable {
public:
    static constexpr size_t kRowCount = 333;
    static constexpr unsigned kFirstCmdId = 0x0A00;
    static constexpr unsigned kLastCmdId = 0x0DFF;
    static constexpr size_t kMaxByteCount = 16;

    // The process-wide table.
    static SfpParamTable& Instance();
    // The definitions in table order (also the order of every pass).
    static std::span<const SfpParamDef> Definitions();

    std::span<SfpParamRow> Rows() { return rows_; }
    // nullptr out of range.
    SfpParamRow* Row(size_t index);
    // The first row, in table order, whose cmdId or secondCmdId is cmdId;
    // nullptr when none.
    SfpParamRow* Find(unsigned cmdId);
    // Its index, or -1.
    int IndexOf(unsigned cmdId) const;

    // Every row back to its definition: value -1, start page and start
    // registers.
    void Reset();

private:
    SfpParamTable();

    std::array<SfpParamRow, kRowCount> rows_ {};
    std::array<int16_t, kLastCmdId - kFirstCmdId + 1> index_ {};
};

// Reads the row's registers of the selected page, lowest register first, into
// bytes. False (count 0) for a row that is not read from the module, that does
// not fit capacity or runs past register 255, or when a read fails.
bool ReadSfpParamBytes(const SfpParamRow& row, uint8_t* bytes, size_t capacity, size_t& count);

// The row's bit field of a register byte: (byte AND mask) shifted right; 0
// for a shift past the byte.
uint8_t SfpParamField(const SfpParamRow& row, uint8_t byte);

// The numeric value of bytes read for the row: the bit field of a masked row,
// else the bytes as one big-endian number. False when fewer bytes than the row
// holds are given or the row is wider than four bytes.
bool SfpParamFieldValue(const SfpParamRow& row, const uint8_t* bytes, size_t count, uint32_t& value);
