// The tables of the audio generator: its command ids (handed to the
// generator by the application), the fixed tones and the master levels.
#pragma once

#include "KrZuApi.h"

#include <array>
#include <cstdint>

// Positions in the generator's table of command ids. The per-pair ids are
// those of pair 1 (G1_P1); pair p adds 2p (left) and 2p + 1 (right), or p for
// the link, and group g adds g to the first group switch.
enum AudGenIdIndex : int {
    kIdSource = 0,
    kIdLink = 1,
    kIdInvert = 2,
    kIdFrequency = 3,
    kIdSubSource = 4,
    kIdLevel = 5,
    kIdMasterLevel = 6,
    kIdGroupOn = 7,
    kIdGroupText = 8,
    kIdAesOutSource = 9,
    kIdAnlOutSource = 10,
    kIdDolbyType = 11,
    kIdOutGainLeft = 12,
    kIdOutGainRight = 13,
    kIdSecondStream = 14,
    kAudGenIdCount = 15,
};

using AudGenCmdIds = std::array<uint16_t, kAudGenIdCount>;

inline constexpr AudGenCmdIds kAudGenCmdIds = {
    COM_GEN_AUDIO_SOURCE_G1_P1_L,    COM_GEN_AUDIO_LINK_G1_P1,       COM_GEN_AUDIO_INV_G1_P1_L,
    COM_GEN_AUDIO_FREQ_VAR_G1_P1_L,  COM_GEN_AUDIO_SUBSOURCE_G1_P1_L, COM_GEN_AUDIO_LEVEL_VAR_G1_P1_L,
    COM_GEN_AUDIO_MASTER_LEVEL,      COM_GEN_AUDIO_ON_G1,            COM_GEN_AUDIO_ON_TEXT,
    COM_GEN_AUDIO_AES_OUT_SOURCE,    COM_GEN_AUDIO_ANL_OUT_SOURCE,   COM_GEN_DOLBY_TYPE,
    COM_GEN_AUDIO_OUT_GAIN_LEFT,     COM_GEN_AUDIO_OUT_GAIN_RIGHT,   COM_GEN_AUDIO_SECOND_STREAM,
};

constexpr int kAudGenPairs = 8;    // pair p belongs to group p / 2
constexpr int kAudGenGroups = 4;

// Frequencies of the fixed tones (Hz), indexed by the sub-source value.
inline constexpr uint16_t fixed_tone_table[] = {
    100, 125, 200, 250, 400, 500, 800, 1000, 1500, 2000, 3000, 4000, 5000, 8000, 10000, 15000, 20000,
};
constexpr int kFixedToneCount = static_cast<int>(std::size(fixed_tone_table));

// Master levels (dB), indexed by the master level value.
inline constexpr int32_t master_level_table[] = {
    0, -1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12, -13, -14, -15, -16, -17, -18, -19, -20,
};
constexpr int kMasterLevelCount = static_cast<int>(std::size(master_level_table));
