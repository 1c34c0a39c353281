// The module link: the emSFP module's paged register protocol. The module
// shows its settings through a window of registers on the SFP two-wire bus;
// what a register means depends on the page last written to the page
// register. The status register reports page loads and writes as done, the
// command register takes the unlock and commit commands (SfpCodes.h).
//
// One process-wide link state paces the traffic: a page select raises
// pageLoadPending and a byte write raises writePending; a valid status byte
// with the completion bit set clears them again. Page requests are refused
// while either is up. Application thread only.
#pragma once

#include "SfpCodes.h"

#include <array>
#include <cstdint>

struct SfpProtocolState {
    uint8_t pageLoadPending = 0;   // page select written, completion not yet seen
    uint8_t writePending = 0;      // byte written, completion not yet seen
    uint8_t pageSelected = 0;      // a page was selected since the last reset
    uint8_t selectedPage = 0;      // physical page last requested
    uint8_t lastStatus = 0;        // status byte last read
};

// A named module page that is read as a whole, with a flag set once it has
// been read.
struct SfpPageEntry {
    uint8_t page;       // 0 = empty entry
    const char* name;
    uint8_t loaded;
};

// The four named pages in order, then an empty entry.
using SfpPageList = std::array<SfpPageEntry, 5>;

// Everything about the module link that lives for the whole process.
struct SfpLinkState {
    SfpProtocolState protocol;
    SfpPageList pageTable {{
        {SfpPageNumber(SfpLogicalPage::ProgramPg), "ProgramPg", 0},
        {SfpPageNumber(SfpLogicalPage::DecOutpg), "DecOutpg", 0},
        {SfpPageNumber(SfpLogicalPage::EthPg), "EthPg", 0},
        {SfpPageNumber(SfpLogicalPage::ContrPg), "ContrPg", 0},
        {0, "", 0},
    }};
};

namespace SfpLink {

// The process-wide link state.
SfpLinkState& State();

// Back to the start-up state.
void Reset();

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

// True while neither a page load nor a write waits for its completion: a
// page request would be taken.
inline bool Idle()
{
    const SfpProtocolState& protocol = State().protocol;
    return protocol.pageLoadPending == 0 && protocol.writePending == 0;
}

// Selects a physical page (refused, without bus traffic, while a page load or
// a write is pending). False when refused or when the select write failed.
bool RequestPage(uint8_t page);

// Puts the protocol state back when the module comes or goes: when
// pageSelected differs from flag it becomes flag and every other field is
// cleared; else nothing.
void ResetSfpProtocolState(uint8_t flag);

// Clears the loaded flag of every named page.
void ClearPageLoadedFlags();

} // namespace SfpLink
