// The Dolby stream kinds and their folders, and the table of the 24 Dolby E
// programme configurations shared by the generator, the metadata reader and
// the status page, with the names its rows refer to.
#pragma once

#include <cstdint>

// Stream types: the values of COM_GEN_DOLBY_TYPE. Only DolbyE is Dolby E; the
// others are AC-3 streams named by AC-3 mode and data rate.
enum class DolbyType : int { DolbyE = 0, DLegacy = 1, D = 2, Plus = 3, AD = 4 };
constexpr int kDolbyTypeCount = 5;

// The folder of each type under "dolby/"; "AD" has no slash of its own.
inline constexpr const char* dolby_type_folders[kDolbyTypeCount] = {"E/", "DLeg/", "D/", "Plus/", "AD"};

constexpr int kDolbyMaxPrograms = 8;
constexpr int kDolbyMaxChannels = 8;

struct DolbyEConfig {
    uint8_t programs;
    uint8_t channels;
    const char* name;
    int32_t slots[kDolbyMaxChannels];            // channel slot, -1 = no such channel
    uint8_t pairLabels[4];                        // into dolby_pair_names, 0 = none
    uint8_t channelLabels[kDolbyMaxChannels];     // into dolby_channel_names, 0 = none
    uint32_t ac3Modes[kDolbyMaxPrograms];         // AC-3 mode of programmes 0 to programs - 1
};

// Indexed by the value of COM_GEN_DOLBY_PGM_CONFIG.
// programmes, channels, display name, channel slots, pair labels, channel labels, AC-3 mode per programme
inline constexpr DolbyEConfig dolby_e_configs[] = {
    {2, 8, "5.1+2", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 2, 3, 4}, {1, 2, 3, 4, 5, 6, 8, 9}, {7, 2, 0, 0, 0, 0, 0, 0}},  // 0
    {3, 8, "5.1+2x1", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 2, 3, 9}, {1, 2, 3, 4, 5, 6, 17, 18}, {7, 1, 1, 0, 0, 0, 0, 0}},  // 1
    {2, 8, "2x4", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 14, 4, 14}, {1, 2, 3, 7, 8, 9, 10, 11}, {5, 5, 0, 0, 0, 0, 0, 0}},  // 2
    {3, 8, "4+2x2", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 14, 4, 5}, {1, 2, 3, 7, 8, 9, 12, 13}, {5, 2, 2, 0, 0, 0, 0, 0}},  // 3
    {4, 8, "4+2+2x1", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 14, 4, 8}, {1, 2, 3, 7, 8, 9, 18, 19}, {5, 2, 1, 1, 0, 0, 0, 0}},  // 4
    {5, 8, "4+4x1", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 14, 9, 10}, {1, 2, 3, 7, 16, 17, 18, 19}, {5, 1, 1, 1, 1, 0, 0, 0}},  // 5
    {4, 8, "4x2", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 4, 5, 6}, {1, 2, 8, 9, 12, 13, 14, 15}, {2, 2, 2, 2, 0, 0, 0, 0}},  // 6
    {5, 8, "3x2+2x1", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 4, 5, 10}, {1, 2, 8, 9, 12, 13, 19, 20}, {2, 2, 2, 1, 1, 0, 0, 0}},  // 7
    {6, 8, "2x2+4x1", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 4, 8, 11}, {1, 2, 8, 9, 18, 19, 20, 21}, {2, 2, 1, 1, 1, 1, 0, 0}},  // 8
    {7, 8, "2+6x1", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 9, 10, 13}, {1, 2, 17, 18, 19, 20, 21, 22}, {2, 1, 1, 1, 1, 1, 1, 0}},  // 9
    {8, 8, "8x1", {0, 4, 1, 5, 2, 6, 3, 7}, {7, 8, 11, 12}, {16, 17, 18, 19, 20, 21, 22, 23}, {1, 1, 1, 1, 1, 1, 1, 1}},  // 10
    {1, 6, "5.1", {0, 3, 1, 4, 2, 5, -1, -1}, {1, 2, 3, 0}, {1, 2, 3, 4, 5, 6, 0, 0}, {7, 0, 0, 0, 0, 0, 0, 0}},  // 11
    {2, 6, "4+2", {0, 3, 1, 4, 2, 5, -1, -1}, {1, 14, 4, 0}, {1, 2, 3, 7, 8, 9, 0, 0}, {5, 2, 0, 0, 0, 0, 0, 0}},  // 12
    {3, 6, "4+2x1", {0, 3, 1, 4, 2, 5, -1, -1}, {1, 14, 9, 0}, {1, 2, 3, 7, 17, 18, 0, 0}, {5, 1, 1, 0, 0, 0, 0, 0}},  // 13
    {3, 6, "3x2", {0, 3, 1, 4, 5, 6, -1, -1}, {1, 4, 5, 0}, {1, 2, 8, 9, 12, 13, 0, 0}, {2, 2, 2, 0, 0, 0, 0, 0}},  // 14
    {4, 6, "2x2+2x1", {0, 3, 1, 4, 5, 6, -1, -1}, {1, 4, 8, 0}, {1, 2, 8, 9, 18, 19, 0, 0}, {2, 1, 1, 1, 0, 0, 0, 0}},  // 15
    {5, 6, "2+4x1", {0, 3, 1, 4, 2, 5, -1, -1}, {1, 9, 10, 0}, {1, 2, 17, 18, 19, 20, 0, 0}, {2, 1, 1, 1, 1, 0, 0, 0}},  // 16
    {6, 6, "6x1", {0, 3, 1, 4, 2, 5, -1, -1}, {7, 8, 11, 0}, {16, 17, 18, 19, 20, 21, 0, 0}, {1, 1, 1, 1, 1, 1, 0, 0}},  // 17
    {1, 4, "4", {0, 2, 1, 3, -1, -1, -1, -1}, {1, 14, 0, 0}, {1, 2, 3, 7, 0, 0, 0, 0}, {5, 0, 0, 0, 0, 0, 0, 0}},  // 18
    {2, 4, "2x2", {0, 2, 1, 3, -1, -1, -1, -1}, {1, 4, 0, 0}, {1, 2, 8, 9, 0, 0, 0, 0}, {2, 2, 0, 0, 0, 0, 0, 0}},  // 19
    {3, 4, "2+2x1", {0, 2, 1, 3, -1, -1, -1, -1}, {1, 9, 0, 0}, {1, 2, 17, 18, 0, 0, 0, 0}, {2, 1, 1, 0, 0, 0, 0, 0}},  // 20
    {4, 4, "4x1", {0, 2, 1, 3, -1, -1, -1, -1}, {7, 8, 0, 0}, {16, 17, 18, 19, 0, 0, 0, 0}, {1, 1, 1, 1, 0, 0, 0, 0}},  // 21
    {1, 8, "7.1", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 2, 3, 15}, {1, 2, 3, 4, 5, 6, 24, 25}, {7, 0, 0, 0, 0, 0, 0, 0}},  // 22
    {1, 8, "7.1scrn", {0, 4, 1, 5, 2, 6, 3, 7}, {1, 2, 3, 16}, {1, 2, 3, 4, 5, 6, 26, 27}, {7, 0, 0, 0, 0, 0, 0, 0}},  // 23
};
constexpr int kDolbyEConfigCount = static_cast<int>(sizeof dolby_e_configs / sizeof dolby_e_configs[0]);

// The file-name part of each configuration row.
inline constexpr const char* dolby_e_file_parts[kDolbyEConfigCount] = {
    "5.1_2", "5.1_2x1", "4_4", "4_2x2", "4_2_2x1", "4_4x1", "4x2", "3x2_2x1", "2x2_4x1", "2_6x1", "8x1", "5.1", "4_2", "4_2x1", "3x2", "2x2_2x1", "2_4x1", "6x1", "4", "2_2", "2_2x1", "4x1", "7.1", "7.1scr"
};

inline constexpr const char* dolby_channel_names[] = {
    "", "L1", "R1", "C1", "Lfe", "Ls", "Rs", "Sur1", "L2", "R2", "C2", "Sur2", "L3", "R3", "L4", "R4",
    "1", "2", "3", "4", "5", "6", "7", "8", "Lbs", "Rbs", "Lc", "Rc",
};

inline constexpr const char* dolby_pair_names[] = {
    "", "L-1-R", "C -Lfe", "L-s-R", "L-2-R", "L-3-R", "L-4-R", "1 - 2", "3 - 4", "2 - 3", "4 - 5", "5 - 6",
    "7 - 8", "6 - 7", "C - S", "L-b-R", "L-c-R",
};

// AC-3 mode names as they appear in file names; index = COM_GEN_DOLBY_D_MODE.
inline constexpr const char* dolby_ac3_mode_names[] = {
    "1_1", "1_0", "2_0", "3_0", "2_1", "3_1", "2_2", "3_2", "2_2_3_0", "2_2_3_1", "3_0_2_0", "3_0_3_2",
    "3_2_3_0", "3_2_3_1", "3_2_3_2",
};
constexpr int kDolbyAc3ModeCount = static_cast<int>(sizeof dolby_ac3_mode_names / sizeof dolby_ac3_mode_names[0]);

// The row of a configuration; nullptr outside the table.
inline const DolbyEConfig* DolbyEConfigAt(long config)
{
    return config >= 0 && config < kDolbyEConfigCount ? &dolby_e_configs[config] : nullptr;
}
