// The Dolby metadata status page's tables: the texts of the metadata values
// and the rows of a programme's metadata list.
#pragma once

#include "DolbyMetadataReader.h"

#include <cstddef>
#include <cstdint>

struct DolbyNames {
    const char* const* names;
    int count;
};

inline constexpr const char* dolby_bsmod_names[] = {"CompMain", "MusicFx", "VisualImp", "HearingImp",
                                                    "Dialog", "Commentary", "Emergency", "VoiceOver"};
inline constexpr const char* dolby_surround_names[] = {"n/i", "Off", "On", "Res"};
inline constexpr const char* dolby_profile_names[] = {"none", "FilmStd", "FilmLight", "MusicStd",
                                                      "MusicLight", "Speech", "Res", "Res"};
inline constexpr const char* dolby_sur_mix_names[] = {"-3.0dB", "-6.0dB", "0dB", "Res"};
inline constexpr const char* dolby_mix3_names[] = {"+3.0dB", "+1.5dB", "0dB", "-1.5dB",
                                                   "-3.0dB", "-4.5dB", "-6.0dB", "Off"};
inline constexpr const char* dolby_downmix_names[] = {"n/i", "Lt/Rt Pref.", "Lo/Ro Pref.", "Res"};
inline constexpr const char* dolby_ctr_mix_names[] = {"-3.0dB", "-4.5dB", "-6.0dB", "Res"};
inline constexpr const char* dolby_acmode_names[] = {"1+1", "1/0", "2/0", "3/0", "2/1", "3/1", "2/2", "3/2"};
inline constexpr const char* dolby_room_names[] = {"n/i", "Large/X", "small/flat", "Res"};
inline constexpr const char* dolby_flag_names[] = {"MUTE", "no", "yes"};
// Data-rate codes 0-18, then "??" for the reserved codes 19-30 and "-" for 31.
inline constexpr const char* dolby_data_rate_names[] = {
    "32k", "40k", "48k", "56k", "64k", "80k", "96k", "112k", "128k", "160k", "192k", "224k", "256k", "320k",
    "384k", "448k", "512k", "576k", "640k", "??", "??", "??", "??", "??", "??", "??", "??", "??", "??", "??",
    "??", "-",
};
inline constexpr int dolby_ac3_kbps[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160,
                                         192, 224, 256, 320, 384, 448, 512, 576, 640};
inline constexpr const char* dolby_frame_rate_names[] = {"Res", "23.98", "24", "25", "29.97", "30", "50!",
                                                         "59.94!", "60!", "Res", "Res", "Res", "Res", "Res",
                                                         "Res", "Res"};

template <int N>
constexpr DolbyNames Names(const char* const (&names)[N])
{
    return {names, N};
}
// One-bit rows read "no" and "yes".
constexpr DolbyNames kDolbyYesNo{dolby_flag_names + 1, 2};
constexpr DolbyNames kDolbyNoNames{nullptr, 0};

enum class DolbyFieldClass : uint8_t { Status, AcMode, Db };

struct DolbyRowDef {
    uint8_t row;                               // list row: label item 2 x row, value item 2 x row + 1
    uint16_t field;                            // byte offset of the u16 in DolbyProgramMetadata
    DolbyFieldClass kind;
    int16_t maximum;
    uint16_t mask;
    DolbyNames names;
};

// The rows of a programme's metadata, in the order they are updated.
// row, block field (the first dynamic-range word is the line mode), class, maximum, mask, value names
inline constexpr DolbyRowDef dolby_program_rows[] = {
    {0, offsetof(DolbyProgramMetadata, dialogNorm), DolbyFieldClass::Db, 31, 0xFFFF, kDolbyNoNames},
    {1, offsetof(DolbyProgramMetadata, ac3Mode), DolbyFieldClass::AcMode, 7, 7, Names(dolby_acmode_names)},
    {2, offsetof(DolbyProgramMetadata, lfeOn), DolbyFieldClass::Status, 1, 1, kDolbyYesNo},
    {3, offsetof(DolbyProgramMetadata, bitStreamMode), DolbyFieldClass::Status, 7, 7, Names(dolby_bsmod_names)},
    {4, offsetof(DolbyProgramMetadata, dynamicRange), DolbyFieldClass::Status, 7, 7, Names(dolby_profile_names)},
    {5, offsetof(DolbyProgramMetadata, lfeLowPassFilter), DolbyFieldClass::Status, 1, 1, kDolbyYesNo},
    {6, offsetof(DolbyProgramMetadata, centreMixLevel), DolbyFieldClass::Status, 3, 3, Names(dolby_ctr_mix_names)},
    {7, offsetof(DolbyProgramMetadata, compressionWord), DolbyFieldClass::Status, 7, 7, Names(dolby_profile_names)},
    {8, offsetof(DolbyProgramMetadata, highPassFilter), DolbyFieldClass::Status, 1, 1, kDolbyYesNo},
    {9, offsetof(DolbyProgramMetadata, surroundMixLevel), DolbyFieldClass::Status, 3, 3, Names(dolby_sur_mix_names)},
    {10, offsetof(DolbyProgramMetadata, roomType), DolbyFieldClass::Status, 3, 3, Names(dolby_room_names)},
    {11, offsetof(DolbyProgramMetadata, lowPassFilter), DolbyFieldClass::Status, 1, 1, kDolbyYesNo},
    {12, offsetof(DolbyProgramMetadata, loRoCentreMixLevel), DolbyFieldClass::Status, 7, 7, Names(dolby_mix3_names)},
    {13, offsetof(DolbyProgramMetadata, mixLevel), DolbyFieldClass::Db, 111, 0xFFFF, kDolbyNoNames},
    {14, offsetof(DolbyProgramMetadata, surroundAttenuation), DolbyFieldClass::Status, 1, 1, kDolbyYesNo},
    {15, offsetof(DolbyProgramMetadata, loRoSurroundMixLevel), DolbyFieldClass::Status, 7, 7, Names(dolby_mix3_names)},
    {16, offsetof(DolbyProgramMetadata, dolbySurroundMode), DolbyFieldClass::Status, 3, 3, Names(dolby_surround_names)},
    {17, offsetof(DolbyProgramMetadata, surround90Phase), DolbyFieldClass::Status, 1, 1, kDolbyYesNo},
    {18, offsetof(DolbyProgramMetadata, ltRtCentreMixLevel), DolbyFieldClass::Status, 7, 7, Names(dolby_mix3_names)},
    {19, offsetof(DolbyProgramMetadata, downmixMode), DolbyFieldClass::Status, 3, 3, Names(dolby_downmix_names)},
    {20, offsetof(DolbyProgramMetadata, originalBitStream), DolbyFieldClass::Status, 1, 1, kDolbyYesNo},
    {21, offsetof(DolbyProgramMetadata, ltRtSurroundMixLevel), DolbyFieldClass::Status, 7, 7, Names(dolby_mix3_names)},
    {22, offsetof(DolbyProgramMetadata, surroundExMode), DolbyFieldClass::Status, 3, 3, Names(dolby_surround_names)},
    {23, offsetof(DolbyProgramMetadata, copyright), DolbyFieldClass::Status, 1, 1, kDolbyYesNo},
    {24, offsetof(DolbyProgramMetadata, dataRate), DolbyFieldClass::Status, 31, 0x1F, Names(dolby_data_rate_names)},
    {26, offsetof(DolbyProgramMetadata, rfOverModProtection), DolbyFieldClass::Status, 1, 1, kDolbyYesNo},
};
constexpr int kDolbyProgramRowCount = static_cast<int>(sizeof dolby_program_rows / sizeof dolby_program_rows[0]);
