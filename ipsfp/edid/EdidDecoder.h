// The EDID base block of the display behind an HDMI output module, decoded
// into the two label/value lists of the EDID page: the monitor list
// (identity, display parameters, chromaticity) and the modes list
// (established, manufacturer, standard and detailed timings, range limits).
// A pure function of the block's bytes: no bus, no store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

constexpr size_t kEdidBlockSize = 128;

// Shown at item 0 of the monitor list when the block could not be read or
// its checksum is wrong.
inline constexpr const char* kEdidReadFailedText = "Read EDID failed.Try Again";

enum class EdidCheck {
    Ok,
    BadChecksum,   // also a block that is not 128 bytes long
    BadHeader,
};

// Item texts of the two lists: item 2k is a label, item 2k + 1 its value.
struct EdidLists {
    EdidCheck check = EdidCheck::Ok;
    std::vector<std::string> monitor;
    std::vector<std::string> modes;
};

// Checks the checksum, then the header; a good block fills the hex view
// (hexView set) or the decoded view. A failed check leaves only its message
// at item 0 of the monitor list.
EdidLists DecodeEdid(std::span<const uint8_t> block, bool hexView);
