// The layout file of the status export: one field a line, written
// "label=command id,divisor". Lines are read in chunks of at most 79
// characters; lines without "=", or without "," after it, do not count.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TpXmlField {
    std::string label;     // everything before the '=', spaces included
    uint16_t cmdId = 0;    // the decimal id modulo 65536
    int64_t divisor = 0;   // how the value is written (see TpXmlStatus)
};

class TpXmlLayout {
public:
    static constexpr size_t kMaxLine = 79;

    // The fields of a layout file's bytes, in file order.
    static std::vector<TpXmlField> Parse(const std::string& bytes);
    // One line (or chunk of a line); false when it does not count.
    static bool ParseLine(const std::string& line, TpXmlField& field);
};
