// Builds ".dlb" Dolby E stream files for tests: a 116-byte header and a data
// block holding the metadata prefix (configuration, frame-rate codes, channel
// gains) and one segment with each programme's 120-bit metadata block.
#pragma once

#include "audio/dolby/DolbyMetadataReader.h"

#include <array>
#include <cstdint>
#include <string>

// Programmes and channels of each of the 24 Dolby E configurations.
struct DlbConfigCounts {
    int programs;
    int channels;
};
extern const DlbConfigCounts kDlbConfigs[24];

struct DlbStream {
    int config = 11;
    bool key = false;        // a key word after the first five words
    bool bits20 = false;     // 20-bit words, else 16-bit
    uint16_t frameRateCode = 3;
    uint16_t originalFrameRateCode = 3;
    std::array<uint16_t, 8> startGain{};
    std::array<uint16_t, 8> endGain{};
    std::array<DolbyProgramMetadata, 8> programs{};   // block values; description unused
    std::array<uint16_t, 8> firstWords{};
    std::array<uint16_t, 8> secondWords{};
    uint16_t otherSegmentBits = 0;   // a segment of another id, of this size, before the programmes'
};

// The whole file.
std::string BuildDlb(const DlbStream& stream);
// An AC-3 stream file, which the loader takes as it is: a header and data
// whose every bit is set (read as Dolby E: reserved codes throughout).
std::string BuildAc3Dlb();
// Writes a file at path, making the folders on its way; false on failure.
bool WriteDlb(const std::string& path, const std::string& file);
// Writes a little-endian number of bytes bytes at offset of a built file.
void PutLe(std::string& file, size_t offset, uint32_t value, int bytes);
