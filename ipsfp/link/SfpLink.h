// The emSFP module's paged register protocol. The module shows its settings
// through a window of registers on the SFP two-wire bus; what a register
// means depends on the page last written to register 127. Register 128 is
// the status byte, register 129 takes the unlock and commit commands.
//
// One process-wide protocol state paces the traffic: a page select raises
// pageLoadPending and a byte write raises writePending; a valid status byte
// with the completion bit set clears them again. Page requests are refused
// while either is up. Application thread only.
#pragma once

#include <cstdint>

constexpr uint8_t kSfpPageRegister = 127;      // page select (written)
constexpr uint8_t kSfpStatusRegister = 128;    // status byte (read)
constexpr uint8_t kSfpCommandRegister = 129;   // command (written)

// Status byte bits. A status is valid only when booted and without range error.
constexpr uint8_t kSfpStatusBooted = 0x80;
constexpr uint8_t kSfpStatusRangeError = 0x10;
constexpr uint8_t kSfpStatusPageLoaded = 0x04;
constexpr uint8_t kSfpStatusWriteDone = 0x02;

// Command register values.
constexpr uint8_t kSfpUnlockAudioMapPage = 1;   // unlock page 0xCF
constexpr uint8_t kSfpUnlockPage = 2;           // unlock any other page
constexpr uint8_t kSfpCommitPage = 3;
constexpr uint8_t kSfpAudioMapPage = 0xCF;

struct SfpProtocolState {
    uint8_t pageLoadPending = 0;   // page select written, completion not yet seen
    uint8_t writePending = 0;      // byte written, completion not yet seen
    uint8_t pageSelected = 0;      // a page was selected since the last reset
    uint8_t selectedPage = 0;      // physical page last requested
    uint8_t lastStatus = 0;        // status byte last read
};

// The process-wide protocol state.
SfpProtocolState& SfpProtocol();

// True for a status byte that reports a booted module without range error.
constexpr bool IsValidSfpStatus(uint8_t status)
{
    return (status & (kSfpStatusBooted | kSfpStatusRangeError)) == kSfpStatusBooted;
}

// Reads the status register into lastStatus and, when it is valid, updates
// the pending flags: first the page load; only when no load is pending any
// more, the write. A failed read or an invalid status changes no flag.
void PollSfpStatus();

// Writes value to a register of the selected page. page only names the page
// in the message printed when no page was ever selected; the write goes ahead
// regardless. On success writePending is raised.
bool WriteByte(uint8_t page, uint8_t reg, uint8_t value);

// Selects a physical page (refused, without bus traffic, while a page load or
// a write is pending). False when refused or when the select write failed.
bool RequestPage(uint8_t page);

// Puts the state back when the module comes or goes: when pageSelected differs
// from flag it becomes flag and every other field is cleared; else nothing.
void ResetSfpProtocolState(uint8_t flag);

// Back to the start-up state (all zero).
void ClearSfpProtocolState();
