// The video tables of the board: the video standards the instrument knows
// (SD, HD, 2K, and the 3 Gb/s formats carried as level A or B), the
// reference formats of its genlock input, and the frame rates. Standards and
// reference formats are addressed by index, frame rates by the picture-rate
// code of the SMPTE 352 payload, which the standard rows carry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Link rates of a standard.
constexpr uint8_t kLinkSd = 0;    // 270 Mb/s
constexpr uint8_t kLinkHd = 1;    // 1.5 Gb/s
constexpr uint8_t kLink3G = 2;    // 3 Gb/s

// Flags word of a standard.
constexpr uint32_t kStdInterlaced = 0x001;
constexpr uint32_t kStdSegmented = 0x002;   // progressive, segmented frame
constexpr uint32_t kStdFractional = 0x004;  // rate is 1000/1001 of the whole rate
constexpr uint32_t kStd2K = 0x008;          // 2048-wide raster
constexpr uint32_t kStd444 = 0x010;         // 4:4:4 sampling only
constexpr uint32_t kStdHighRate = 0x100;    // more than 30 frames a second

struct VideoStdRow {
    uint8_t linkRate;
    uint8_t hd;
    uint16_t totalLines;
    uint16_t samplesPerLine;    // total luma samples of a line
    uint16_t activeLines;
    uint16_t activeSamples;
    uint8_t rateCode;           // index into frame_rate_table
    uint8_t frameRate;          // whole frames a second (59 for 59.94)
    uint8_t dolbyIdealLine;     // ideal Dolby E start line, 0 = none
    uint32_t flags;
    const char* name;
};

namespace vt {
constexpr uint32_t I = kStdInterlaced, S = kStdSegmented, F = kStdFractional, K = kStd2K, Q = kStd444,
                   H = kStdHighRate;
}

// link, hd, total lines, samples/line, active lines, active samples, rate code, frame rate,
// Dolby ideal line, flags, name
inline constexpr VideoStdRow video_std_table[] = {
    {kLinkSd, 0, 625, 864, 576, 720, 5, 25, 12, vt::I, "576i50"},                    // 0
    {kLinkSd, 0, 525, 858, 486, 720, 6, 29, 14, vt::I | vt::F, "486i59.94"},         // 1
    {kLinkHd, 1, 1125, 2200, 1035, 1920, 7, 30, 24, vt::I, "1035i60"},               // 2
    {kLinkHd, 1, 1125, 2200, 1035, 1920, 6, 29, 24, vt::I | vt::F, "1035i59.94"},    // 3
    {kLink3G, 1, 1250, 2376, 1080, 1920, 9, 50, 42, vt::H, "1080p50 295M"},          // 4
    {kLinkHd, 1, 1250, 2376, 1080, 1920, 5, 25, 42, vt::I, "1080i50 295M"},          // 5
    {kLink3G, 1, 1125, 2200, 1080, 1920, 11, 60, 47, vt::H, "1080p60"},              // 6
    {kLink3G, 1, 1125, 2200, 1080, 1920, 10, 59, 47, vt::H | vt::F, "1080p59.94"},   // 7
    {kLink3G, 1, 1125, 2640, 1080, 1920, 9, 50, 42, vt::H, "1080p50"},               // 8
    {kLinkHd, 1, 1125, 2200, 1080, 1920, 7, 30, 24, vt::I, "1080i60"},               // 9
    {kLinkHd, 1, 1125, 2200, 1080, 1920, 6, 29, 24, vt::I | vt::F, "1080i59.94"},    // 10
    {kLinkHd, 1, 1125, 2640, 1080, 1920, 5, 25, 21, vt::I, "1080i50"},               // 11
    {kLinkHd, 1, 1125, 2200, 1080, 1920, 7, 30, 24, 0, "1080p30"},                   // 12
    {kLinkHd, 1, 1125, 2200, 1080, 1920, 6, 29, 24, vt::F, "1080p29.97"},            // 13
    {kLinkHd, 1, 1125, 2640, 1080, 1920, 5, 25, 21, 0, "1080p25"},                   // 14
    {kLinkHd, 1, 1125, 2750, 1080, 1920, 3, 24, 27, 0, "1080p24"},                   // 15
    {kLinkHd, 1, 1125, 2750, 1080, 1920, 2, 23, 27, vt::F, "1080p23.98"},            // 16
    {kLinkHd, 1, 1125, 2200, 1080, 1920, 7, 30, 24, vt::S, "1080psf30"},             // 17
    {kLinkHd, 1, 1125, 2200, 1080, 1920, 6, 29, 24, vt::S | vt::F, "1080psf29.97"},  // 18
    {kLinkHd, 1, 1125, 2640, 1080, 1920, 5, 25, 21, vt::S, "1080psf25"},             // 19
    {kLinkHd, 1, 1125, 2750, 1080, 1920, 3, 24, 27, vt::S, "1080psf24"},             // 20
    {kLinkHd, 1, 1125, 2750, 1080, 1920, 2, 23, 27, vt::S | vt::F, "1080psf23.98"},  // 21
    {kLinkHd, 1, 750, 1650, 720, 1280, 11, 60, 32, vt::H, "720p60"},                 // 22
    {kLinkHd, 1, 750, 1650, 720, 1280, 10, 59, 32, vt::H | vt::F, "720p59.94"},      // 23
    {kLinkHd, 1, 750, 1980, 720, 1280, 9, 50, 28, vt::H, "720p50"},                  // 24
    {kLinkHd, 1, 750, 3300, 720, 1280, 7, 30, 16, 0, "720p30"},                      // 25
    {kLinkHd, 1, 750, 3300, 720, 1280, 6, 29, 16, vt::F, "720p29.97"},               // 26
    {kLinkHd, 1, 750, 3960, 720, 1280, 5, 25, 14, 0, "720p25"},                      // 27
    {kLinkHd, 1, 750, 4125, 720, 1280, 3, 24, 18, 0, "720p24"},                      // 28
    {kLinkHd, 1, 750, 4125, 720, 1280, 2, 23, 18, vt::F, "720p23.98"},               // 29
    {kLink3G, 1, 1125, 2200, 1080, 2048, 11, 60, 0, vt::K | vt::H, "2K p60"},                  // 30
    {kLink3G, 1, 1125, 2640, 1080, 2048, 9, 50, 0, vt::K | vt::H, "2K p50"},                   // 31
    {kLink3G, 1, 1125, 2640, 1080, 2048, 5, 25, 0, vt::K | vt::Q, "2K p25 444"},               // 32
    {kLinkHd, 1, 1125, 2200, 1080, 2048, 7, 30, 0, vt::K, "2K p30"},                           // 33
    {kLinkHd, 1, 1125, 2200, 1080, 2048, 6, 29, 0, vt::K | vt::F, "2K p29.97"},                // 34
    {kLinkHd, 1, 1125, 2640, 1080, 2048, 5, 25, 0, vt::K, "2K p25"},                           // 35
    {kLinkHd, 1, 1125, 2750, 1080, 2048, 3, 24, 0, vt::K, "2K p24"},                           // 36
    {kLinkHd, 1, 1125, 2750, 1080, 2048, 2, 23, 0, vt::K | vt::F, "2K p23.98"},                // 37
    {kLinkHd, 1, 1125, 2200, 1080, 2048, 7, 30, 0, vt::K | vt::S, "2K psf30"},                 // 38
    {kLinkHd, 1, 1125, 2200, 1080, 2048, 6, 29, 0, vt::K | vt::S | vt::F, "2K psf29.97"},      // 39
    {kLinkHd, 1, 1125, 2640, 1080, 2048, 5, 25, 0, vt::K | vt::S, "2K psf25"},                 // 40
    {kLinkHd, 1, 1125, 2750, 1080, 2048, 3, 24, 0, vt::K | vt::S, "2K psf24"},                 // 41
    {kLinkHd, 1, 1125, 2750, 1080, 2048, 2, 23, 0, vt::K | vt::S | vt::F, "2K psf23.98"},      // 42
    {kLink3G, 1, 1125, 2750, 1080, 2048, 8, 48, 0, vt::K | vt::H, "2K p48"},                   // 43
    {kLink3G, 1, 1125, 2750, 1080, 2048, 4, 47, 0, vt::K | vt::H | vt::F, "2K p47.95"},        // 44
    {kLink3G, 1, 1125, 2200, 1080, 2048, 7, 30, 0, vt::K | vt::Q, "2K p30 444"},               // 45
    {kLink3G, 1, 1125, 2200, 1080, 2048, 10, 59, 0, vt::K | vt::H | vt::F, "2K p59.94"},       // 46
    {kLink3G, 1, 1125, 2200, 1080, 2048, 6, 29, 0, vt::K | vt::Q | vt::F, "2K p29.97 444"},    // 47
    {kLink3G, 1, 1125, 2750, 1080, 2048, 3, 24, 0, vt::K | vt::Q, "2K p24 444"},               // 48
    {kLink3G, 1, 1125, 2750, 1080, 2048, 2, 23, 0, vt::K | vt::Q | vt::F, "2K p23.98 444"},    // 49
    {kLink3G, 1, 1125, 2200, 1080, 1920, 7, 30, 0, vt::Q, "1080p30 444"},                      // 50
    {kLink3G, 1, 1125, 2200, 1080, 1920, 6, 29, 0, vt::Q | vt::F, "1080p29.97 444"},           // 51
    {kLink3G, 1, 1125, 2640, 1080, 1920, 5, 25, 0, vt::Q, "1080p25 444"},                      // 52
    {kLink3G, 1, 1125, 2750, 1080, 1920, 3, 24, 0, vt::Q, "1080p24 444"},                      // 53
    {kLink3G, 1, 1125, 2750, 1080, 1920, 2, 23, 0, vt::Q | vt::F, "1080p23.98 444"},           // 54
};
inline constexpr int kVideoStdCount = static_cast<int>(std::size(video_std_table));

// The name and flags word of every standard, in standard order.
struct VideoFormatName {
    const char* name;
    uint32_t flags;
};
inline constexpr std::array<VideoFormatName, kVideoStdCount> video_format_names = [] {
    std::array<VideoFormatName, kVideoStdCount> names {};
    for (int i = 0; i < kVideoStdCount; ++i)
        names[static_cast<size_t>(i)] = {video_std_table[i].name, video_std_table[i].flags};
    return names;
}();

// Flags word of a reference format.
constexpr uint32_t kRefBlackBurst = 0x01;   // analogue colour black (bi-level)
constexpr uint32_t kRefTriLevel = 0x02;     // HD tri-level sync
constexpr uint32_t kRefInterlaced = 0x04;

struct RefFormatRow {
    uint16_t totalLines;
    uint16_t samplesPerLine;    // total samples of a line at the format's clock
    uint8_t rateCode;           // index into frame_rate_table
    uint32_t flags;
    const char* name;
};

// total lines, samples/line, rate code, flags, name
inline constexpr RefFormatRow ref_format_table[] = {
    {625, 864, 5, kRefBlackBurst | kRefInterlaced, "625i50 Black"},      // 0
    {525, 858, 6, kRefBlackBurst | kRefInterlaced, "525i59.94 Black"},   // 1
    {1125, 2200, 7, kRefTriLevel | kRefInterlaced, "1080i60 Tri"},       // 2
    {1125, 2200, 6, kRefTriLevel | kRefInterlaced, "1080i59.94 Tri"},    // 3
    {1125, 2640, 5, kRefTriLevel | kRefInterlaced, "1080i50 Tri"},       // 4
    {1125, 2200, 7, kRefTriLevel, "1080p30 Tri"},                        // 5
    {1125, 2200, 6, kRefTriLevel, "1080p29.97 Tri"},                     // 6
    {1125, 2640, 5, kRefTriLevel, "1080p25 Tri"},                        // 7
    {1125, 2750, 3, kRefTriLevel, "1080p24 Tri"},                        // 8
    {1125, 2750, 2, kRefTriLevel, "1080p23.98 Tri"},                     // 9
    {1125, 2200, 11, kRefTriLevel, "1080p60 Tri"},                       // 10
    {1125, 2200, 10, kRefTriLevel, "1080p59.94 Tri"},                    // 11
    {1125, 2640, 9, kRefTriLevel, "1080p50 Tri"},                        // 12
    {750, 1650, 11, kRefTriLevel, "720p60 Tri"},                         // 13
    {750, 1650, 10, kRefTriLevel, "720p59.94 Tri"},                      // 14
    {750, 1980, 9, kRefTriLevel, "720p50 Tri"},                          // 15
    {750, 3300, 7, kRefTriLevel, "720p30 Tri"},                          // 16
    {750, 3300, 6, kRefTriLevel, "720p29.97 Tri"},                       // 17
    {750, 3960, 5, kRefTriLevel, "720p25 Tri"},                          // 18
    {750, 4125, 3, kRefTriLevel, "720p24 Tri"},                          // 19
    {750, 4125, 2, kRefTriLevel, "720p23.98 Tri"},                       // 20
};
inline constexpr int kRefFormatCount = static_cast<int>(std::size(ref_format_table));

struct FrameRateRow {
    uint32_t numerator;     // frames per second = numerator / denominator
    uint32_t denominator;
    uint8_t wholeRate;      // 59 for 59.94
    const char* text;
};

// Indexed by the SMPTE 352 picture-rate code.
// numerator, denominator, whole rate, text
inline constexpr FrameRateRow frame_rate_table[] = {
    {0, 1, 0, "Undefined"},       // 0
    {0, 1, 0, "Reserved"},        // 1
    {24000, 1001, 23, "23.98"},   // 2
    {24, 1, 24, "24"},            // 3
    {48000, 1001, 47, "47.95"},   // 4
    {25, 1, 25, "25"},            // 5
    {30000, 1001, 29, "29.97"},   // 6
    {30, 1, 30, "30"},            // 7
    {48, 1, 48, "48"},            // 8
    {50, 1, 50, "50"},            // 9
    {60000, 1001, 59, "59.94"},   // 10
    {60, 1, 60, "60"},            // 11
};
inline constexpr int kFrameRateCount = static_cast<int>(std::size(frame_rate_table));

// Row lookups: nullptr outside the table.
const VideoStdRow* VideoStdAt(int index);
const RefFormatRow* RefFormatAt(int index);
const FrameRateRow* FrameRateAt(int code);
// Frames per second of a standard (0 outside the table).
double VideoStdFrameRate(int index);
