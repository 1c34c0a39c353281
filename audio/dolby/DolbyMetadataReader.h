// The Dolby E metadata reader: plain functions over one process-wide reader
// state. A parse walks the loaded stream's metadata (configuration, frame
// rates, channel gains) and records where each programme's 120-bit metadata
// block lies; the status page then reads the block of the programme it
// inspects. The reader keeps a reference to the parsed data, so its cursor
// always points into a live buffer, and never reads outside it.
//
// Used from the application thread only; the loader thread reads files but
// does not parse.
#pragma once

#include "DolbyStreamFile.h"

#include <array>
#include <cstdint>

// One programme's metadata block, each field in block order.
struct DolbyProgramMetadata {
    uint16_t dataRate;
    uint16_t bitStreamMode;
    uint16_t ac3Mode;
    uint16_t centreMixLevel;
    uint16_t surroundMixLevel;
    uint16_t dolbySurroundMode;
    uint16_t lfeOn;
    uint16_t dialogNorm;
    uint16_t audioProductionInfo;
    uint16_t mixLevel;
    uint16_t roomType;
    uint16_t copyright;
    uint16_t originalBitStream;
    uint16_t downmixMode;
    uint16_t ltRtCentreMixLevel;
    uint16_t ltRtSurroundMixLevel;
    uint16_t loRoCentreMixLevel;
    uint16_t loRoSurroundMixLevel;
    uint16_t surroundExMode;
    uint16_t headphoneMode;
    uint16_t adConverterType;
    uint16_t extendedInfo;
    uint16_t encoderInfo;
    uint16_t highPassFilter;
    uint16_t lowPassFilter;
    uint16_t lfeLowPassFilter;
    uint16_t surround90Phase;
    uint16_t surroundAttenuation;
    uint16_t rfOverModProtection;
    uint16_t compressionWord;
    uint16_t dynamicRangePresent;
    uint16_t dynamicRange[4];
    uint32_t reserved[2];
    char description[kDolbyDescriptionMax + 1];
};

// Value of every field of a programme whose block is absent.
constexpr uint16_t kDolbyAbsent = 0xFFFF;
// Configuration reported while the metadata is not ready.
constexpr uint16_t kDolbyNotReadyConfig = 255;

struct DolbyEStatus {
    uint16_t bitsPerWord = 0;
    uint16_t timeCode = 0;         // no time code is carried: always 0
    uint16_t frameRateCode = 0;
    uint16_t originalFrameRateCode = 0;
    uint16_t programConfig = 0;
    std::array<uint16_t, kDolbyMaxChannels> startGain{};
    std::array<uint16_t, kDolbyMaxChannels> endGain{};
};

// The cursor over the parsed data.
uint32_t ReadBits(unsigned n);
void SkipBits(uint64_t n);
uint32_t ReadWord();
void SeekBit(uint64_t position);
// Places the cursor at word * bits per word + bit. A word beyond the bound
// the stream's sizes give is reported and leaves the cursor where it was.
void SeekSample(uint32_t word, uint32_t bit);

void ParseDolbyMetadata(const DolbyStreamInfo& info);
// Reads the block of the inspected programme into record. Returns 1; 0 when
// the programme has no block wholly inside the data, in which case every
// field is kDolbyAbsent.
int ReadProgramMetadata(DolbyProgramMetadata& record);
// Fills status (only the configuration, as kDolbyNotReadyConfig, while not
// ready) and the channel gains; returns the ready flag.
int GetDolbyEStatus(DolbyEStatus& status);

void SetDolbyReady(int ready);
// The DolbyType of the stream last parsed, the one received; -1 before any.
int ParsedDolbyType();
// The simulated AC-3 reader: for an AC-3 stream last parsed, its AC-3 mode and
// data-rate item (of COM_GEN_DOLBY_D_RATE), and 1; 0 for any other stream.
int GetAc3Stream(int& mode, int& rateItem);
// The programme the status page inspects, 0 to 7; other values are ignored.
void SetDolbyInspectedProgram(int program);

// Back to the state at program start (no data, not ready, all values zero).
void ResetDolbyReader();
