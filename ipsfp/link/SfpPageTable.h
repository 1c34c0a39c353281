// The named module pages that are read as a whole, each with a flag set once
// the page has been read. Process-wide; application thread only.
#pragma once

#include <array>
#include <cstdint>

constexpr uint8_t ProgramPg = 0xFA;   // firmware programs: slots, versions, identifiers, CRCs
constexpr uint8_t DecOutpg = 0xC0;    // decapsulation output
constexpr uint8_t EthPg = 0x8B;       // Ethernet counters
constexpr uint8_t ContrPg = 0x84;     // controller: management network set-up

struct SfpPageEntry {
    uint8_t page;       // 0 = empty entry
    const char* name;
    uint8_t loaded;
};

// The four named pages in order, then an empty entry.
using SfpPageList = std::array<SfpPageEntry, 5>;

SfpPageList& SfpPageTable();

// Clears the loaded flag of every entry with a page.
void ClearPageLoadedFlags();

// The table as at start-up.
void ResetSfpPageTable();
