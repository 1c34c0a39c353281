// The Dolby generator's tables: the metadata fields of a programme and where
// each sits in the programme's 120-bit metadata block, the Dolby E start-line
// window of each video standard, the stream-rate suffix of each standard and
// the AC-3 data rates each stream type and AC-3 mode allows.
#pragma once

#include "KrZuApi.h"

#include <cstdint>

enum class DolbyFieldKind : uint8_t { Plain, DbNegated, Db };

struct DolbyFieldRow {
    uint16_t baseId;      // id of the programme being edited; stored programme p uses baseId + p + 1
    uint8_t width;        // bits
    uint8_t blockBit;     // offset in the programme's metadata block
    DolbyFieldKind kind;
};

// In construction order.
// base id, width, bit in the block, kind
inline constexpr DolbyFieldRow dolby_field_rows[] = {
    {COM_GEN_DOLBY_DIALOG_NORM, 5, 18, DolbyFieldKind::DbNegated},
    {COM_GEN_DOLBY_CHAN_MODE, 3, 8, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_BS_MOD, 3, 5, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_LINE_MODE, 8, 88, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_RF_MODE, 8, 79, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_CTR_DOWN_MIX, 2, 11, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_SUR_DOWN_MIX, 2, 13, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_ROOM_TYPE, 2, 38, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_DOLBY_SURROUND, 2, 15, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_MIX_LEVEL, 5, 33, DolbyFieldKind::Db},
    {COM_GEN_DOLBY_DOWN_MIX_MODE, 2, 43, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_LR_CTR_DOWN_MIX, 3, 45, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_LRO_CTR_DOWN_MIX, 3, 51, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_LRO_SUR_DOWN_MIX, 3, 54, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_LR_SUR_DOWN_MIX, 3, 48, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_DOLBY_SURND_EX, 2, 58, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_LFE, 1, 17, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_LPF, 1, 73, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_LFE_FILTER, 1, 74, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_HPF, 1, 72, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_SUR_3DB_ATT, 1, 76, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_PHASE_FILTER, 1, 75, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_ORIG_STREAM, 1, 41, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_COPYRIGHT, 1, 40, DolbyFieldKind::Plain},
    {COM_GEN_DOLBY_RF_OV_PROT, 1, 77, DolbyFieldKind::Plain},
};
constexpr int kDolbyFieldCount = static_cast<int>(sizeof dolby_field_rows / sizeof dolby_field_rows[0]);
constexpr int kDolbyAc3ModeField = 1;   // COM_GEN_DOLBY_CHAN_MODE
constexpr int kDolbyLfeField = 16;      // COM_GEN_DOLBY_LFE
constexpr unsigned kDolbyBlockBits = 120;

struct DolbyLineWindow {
    int16_t minimum, low, ideal, high, maximum;
};

// Per video standard index 0 to 50; the others have no window (all zero).
// minimum, low, ideal, high, maximum
inline constexpr DolbyLineWindow dolby_line_windows[] = {
    {8, 11, 12, 13, 30},      // 0 576i50
    {12, 13, 14, 16, 26},     // 1 486i59.94
    {18, 21, 24, 26, 52},     // 2 1035i60
    {18, 21, 24, 26, 48},     // 3 1035i59.94
    {26, 37, 42, 46, 105},    // 4 1080p50 295M
    {26, 37, 42, 46, 105},    // 5 1080i50 295M
    {35, 42, 47, 52, 104},    // 6 1080p60
    {35, 42, 47, 52, 95},     // 7 1080p59.94
    {26, 37, 42, 46, 105},    // 8 1080p50
    {18, 21, 24, 26, 52},     // 9 1080i60
    {18, 21, 24, 26, 48},     // 10 1080i59.94
    {13, 19, 21, 23, 53},     // 11 1080i50
    {18, 21, 24, 26, 52},     // 12 1080p30
    {18, 21, 24, 26, 48},     // 13 1080p29.97
    {13, 19, 21, 23, 53},     // 14 1080p25
    {11, 25, 27, 29, 98},     // 15 1080p24
    {11, 25, 27, 29, 98},     // 16 1080p23.98
    {18, 21, 24, 26, 52},     // 17 1080psf30
    {18, 21, 24, 26, 48},     // 18 1080psf29.97
    {13, 19, 21, 23, 53},     // 19 1080psf25
    {11, 25, 27, 29, 98},     // 20 1080psf24
    {11, 25, 27, 29, 98},     // 21 1080psf23.98
    {23, 28, 32, 35, 69},     // 22 720p60
    {23, 28, 32, 35, 63},     // 23 720p59.94
    {17, 25, 28, 31, 70},     // 24 720p50
    {12, 14, 16, 18, 35},     // 25 720p30
    {12, 14, 16, 18, 32},     // 26 720p29.97
    {9, 13, 14, 16, 35},      // 27 720p25
    {8, 17, 18, 19, 65},      // 28 720p24
    {8, 17, 18, 19, 65},      // 29 720p23.98
    {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {},   // 30-50
};
constexpr int kDolbyLineWindowCount = static_cast<int>(sizeof dolby_line_windows / sizeof dolby_line_windows[0]);
static_assert(kDolbyLineWindowCount == 51);

inline DolbyLineWindow DolbyLineWindowOf(int standard)
{
    return standard >= 0 && standard < kDolbyLineWindowCount ? dolby_line_windows[standard] : DolbyLineWindow{};
}

// Stream-rate suffix by video standard index.
inline constexpr int8_t dolby_rate_29[] = {1, 3, 7, 10, 13, 18, 23, 26, 34, 39, 46};
inline constexpr int8_t dolby_rate_30[] = {2, 6, 9, 12, 17, 22, 25, 30, 33, 38};
inline constexpr int8_t dolby_rate_24[] = {15, 20, 28, 36, 41, 43};
inline constexpr int8_t dolby_rate_23[] = {16, 21, 29, 37, 42, 44};

// Items of COM_GEN_DOLBY_D_RATE (0-16) that may be chosen.
constexpr int kDolbyRateItems = 17;
// Lowest item by AC-3 mode for types 1 and 2 (modes 0-7; the highest is 15).
inline constexpr int8_t dolby_rate_low_d[8] = {3, 0, 3, 5, 5, 7, 7, 8};
// Lowest item by AC-3 mode for type 3 (the highest is 15 for modes 0-7 and 16 for 8-14).
inline constexpr int8_t dolby_rate_low_plus[15] = {1, 0, 1, 3, 3, 5, 5, 6, 15, 15, 15, 15, 15, 15, 15};
