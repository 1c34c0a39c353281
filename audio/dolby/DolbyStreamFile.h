// Prepared Dolby streams: ".dlb" files in a folder tree under "dolby/", the
// rule that turns the generator's settings into a file name, and the loader
// that reads a file into memory and summarises it in a DolbyStreamInfo.
//
// A ".dlb" file is a 116-byte little-endian header followed by the stream
// data, which runs to the end of the file.
#pragma once

#include "DolbyConfigs.h"
#include "board/VideoFormat.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// Header layout.
namespace dlb {
constexpr size_t kHeaderSize = 116;
constexpr size_t kHeaderWord = 6;        // u16, kept; its high byte is the size-entry count
constexpr size_t kSizeEntryCount = 7;    // u8, 0 to kSizeEntries
constexpr size_t kFlags = 16;            // u32
constexpr size_t kSecondWord = 20;       // u32
constexpr size_t kSizes1 = 24;           // kSizeEntries x u32
constexpr size_t kSizes2 = 44;           // kSizeEntries x u32
constexpr size_t kMetadataWord = 64;     // u16
constexpr size_t kMetadataBit = 66;      // u16
constexpr size_t kPrograms = 68;         // per programme: u16 first word, u16 second word
constexpr int kSizeEntries = 5;
constexpr uint32_t kFlagKeyWord = 0x1;   // a key word follows the first five words of a frame
constexpr uint32_t kFlag20Bit = 0x2;     // 20-bit words, else 16-bit
constexpr uint32_t kAc3Flags = 4;        // stream flags given to AC-3 streams
}

// Event text of a failed load.
constexpr unsigned kDolbyLoadFailedText = 233;
// Longest path the generator's request can carry.
constexpr size_t kDolbyPathMax = 79;
// Longest programme description kept with a stream.
constexpr size_t kDolbyDescriptionMax = 32;

struct DolbyProgramInfo {
    uint16_t firstWord = 0;
    uint16_t secondWord = 0;
    std::string description;
};

// What a load leaves behind.
struct DolbyStreamInfo {
    int type = -1;               // the DolbyType it was loaded as; -1 = no stream
    int ac3Mode = -1;            // AC-3 streams: the AC-3 mode and the data-rate
    int ac3Rate = -1;            // item it was loaded as; -1 otherwise
    uint16_t header = 0;         // header u16 at 6
    uint32_t flags = 0;
    uint32_t secondWord = 0;
    uint32_t channelCount = 0;
    uint32_t metadataWord = 0;
    uint32_t metadataBit = 0;
    std::array<uint32_t, dlb::kSizeEntries> sizes1{};
    std::array<uint32_t, dlb::kSizeEntries> sizes2{};
    std::array<DolbyProgramInfo, kDolbyMaxPrograms> programs{};
    uint32_t framePair = 0;
    uint8_t programCount = 0;
    std::shared_ptr<uint8_t[]> data;
    uint32_t dataSize = 0;

    int SizeEntryCount() const { return header >> 8; }
};

// The generator's settings that choose a stream.
struct DolbyNameSettings {
    long type = 0;            // COM_GEN_DOLBY_TYPE
    long config = 0;          // COM_GEN_DOLBY_PGM_CONFIG
    long bitDepth = 0;        // COM_GEN_DOLBY_BIT_DEPTH
    long ac3Mode = 0;         // COM_GEN_DOLBY_D_MODE
    std::string dataRate;     // selected item text of COM_GEN_DOLBY_D_RATE
    std::string content;      // selected item text of COM_GEN_DOLBY_NAME
    std::string rateSuffix = "_25";
};

// A stream to load: its path, the type and configuration the path was made
// from, the programme descriptions and the output video format.
struct DolbyLoadRequest {
    std::string path;
    int type = 0;
    int config = 0;
    int ac3Mode = 0;     // AC-3 streams: the mode the path was made from
    int ac3Rate = 0;     // and the item of COM_GEN_DOLBY_D_RATE that names its rate
    std::array<std::string, kDolbyMaxPrograms> descriptions;
    VideoFormat format;
};

// Builds the path of the stream that matches the settings into request.path,
// with the type, configuration and AC-3 mode used for it (out-of-range values
// are reported and replaced by 0). False, with a console message and request
// unchanged, when the content text is empty or holds '/', '\\' or "..", or
// when the path is longer than kDolbyPathMax.
bool DolbyFileName(const DolbyNameSettings& settings, DolbyLoadRequest& request);

// Reads the file of the request into a new buffer and, only when all of it
// could be read, replaces info with the new stream. Returns 1 on success and
// 0 on any failure, which is reported on the console and leaves info as it
// was.
int LoadDolbyFile(const DolbyLoadRequest& request, DolbyStreamInfo& info);

// Console line and event of a load that failed.
void ReportDolbyLoadFailure(const std::string& path);

// Creates "dolby" and the five type folders under it; existing folders are
// no error.
void MakeDolbyFolders();
