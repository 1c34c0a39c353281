// Values the module keeps in two registers that the IP menu edits as one
// number, each with the two byte controls that stand for its registers.
#pragma once

#include <cstdint>
#include <span>

// The composite control, its two byte controls (the high one holds the more
// significant, lower-addressed register) and the width.
struct SfpCompositePair {
    uint16_t composite;
    uint16_t high;
    uint16_t low;
    uint8_t bits;   // 16, or 12 (the high register keeps its upper four bits)
};

// The composite values and their byte controls.
std::span<const SfpCompositePair> SfpCompositePairs();

// The pair of the parameter row that cmdId shows (as first or second
// control), or of cmdId itself when it has no row; nullptr when there is none.
const SfpCompositePair* FindSfpCompositePair(unsigned cmdId);
