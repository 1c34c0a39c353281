// The description of one detected or generated video format: which standard
// (an index into video_std_table, -1 = none), how it is carried (dual link,
// 3 Gb/s level B), its sampling and which link it is. Passed and copied by
// value.
#pragma once

#include "VideoTables.h"

#include <cstdint>

struct VideoFormat {
    int32_t standard = -1;
    uint32_t dualLink = 0;
    uint32_t levelB = 0;
    uint32_t sampling = 0;     // SMPTE 352 sampling-structure code (0 = 4:2:2 YCbCr)
    uint32_t linkNumber = 0;   // 0 = link A, 1 = link B

    // The row of the standard; nullptr when the index is outside the table.
    const VideoStdRow* Row() const { return VideoStdAt(standard); }

    // 0 for SD or no standard, 1 for 1.5 Gb/s, 2 for 3 Gb/s standards.
    static int GetLinkClass(const VideoFormat& format);
    // Total lines of the standard; 1920 when there is no standard.
    static int GetTotalLines(const VideoFormat& format);
    // Ideal Dolby E start line of the standard; 0 when it has none.
    static int GetDolbyIdealLine(const VideoFormat& format);
};

// The standard of the simulated input: an index into video_std_table, or -1
// when there is no input. Any index outside the table is stored as -1.
int SimInputStandard();
void SetSimInputStandard(int index);
