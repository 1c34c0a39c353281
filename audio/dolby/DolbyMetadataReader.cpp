#include "DolbyMetadataReader.h"

#include "DolbyBitReader.h"
#include "platform/DebugOut.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

constexpr unsigned kBlockBits = 120;

struct ReaderState {
    std::shared_ptr<uint8_t[]> data;   // keeps the parsed buffer alive for the cursor
    DolbyBitReader bits;
    unsigned bitsPerWord = 16;
    uint64_t total = 0;                // sum of the stream's size entries
    int type = -1;
    int ac3Mode = -1;
    int ac3Rate = -1;
    uint32_t flags = 0;
    uint8_t programCount = 0;
    DolbyEStatus parsed;               // configuration, frame-rate codes and gains
    std::array<std::string, kDolbyMaxPrograms> descriptions;
    std::array<int64_t, kDolbyMaxPrograms> blocks{-1, -1, -1, -1, -1, -1, -1, -1};   // bit offsets, -1 = none
    int inspected = 0;
};

ReaderState& State()
{
    static ReaderState state;
    return state;
}

std::atomic<int> g_ready{0};

} // namespace

uint32_t ReadBits(unsigned n)
{
    return State().bits.ReadBits(n);
}

void SkipBits(uint64_t n)
{
    State().bits.SkipBits(n);
}

uint32_t ReadWord()
{
    return ReadBits(State().bitsPerWord);
}

void SeekBit(uint64_t position)
{
    State().bits.SeekBit(position);
}

void SeekSample(uint32_t word, uint32_t bit)
{
    ReaderState& s = State();
    if (word > s.total / 3) {
        DebugPrintf("ERROR: iSample too large %u > %llu\n", word, static_cast<unsigned long long>(s.total));
        return;
    }
    SeekBit(static_cast<uint64_t>(word) * s.bitsPerWord + bit);
}

void ParseDolbyMetadata(const DolbyStreamInfo& info)
{
    ReaderState& s = State();
    s.data = info.data;
    s.bits = DolbyBitReader(s.data.get(), s.data ? info.dataSize : 0);
    s.type = info.type;
    s.ac3Mode = info.ac3Mode;
    s.ac3Rate = info.ac3Rate;
    s.flags = info.flags;
    s.bitsPerWord = (info.flags & dlb::kFlag20Bit) != 0 ? 20 : 16;
    s.programCount = std::min<uint8_t>(info.programCount, kDolbyMaxPrograms);
    const unsigned channels = std::min<uint32_t>(info.channelCount, kDolbyMaxChannels);
    s.total = 0;
    for (int i = 0; i < std::min(info.SizeEntryCount(), dlb::kSizeEntries); ++i)
        s.total += static_cast<uint64_t>(info.sizes1[i]) + info.sizes2[i];

    SeekSample(5, 0);
    if ((info.flags & dlb::kFlagKeyWord) != 0)
        ReadWord();
    SkipBits(14);
    DolbyEStatus& v = s.parsed;
    v = DolbyEStatus{};
    v.bitsPerWord = static_cast<uint16_t>(s.bitsPerWord);
    v.programConfig = static_cast<uint16_t>(ReadBits(6));
    v.frameRateCode = static_cast<uint16_t>(ReadBits(4));
    v.originalFrameRateCode = static_cast<uint16_t>(ReadBits(4));
    SkipBits(88 + 10 * channels + 16 + 10 * s.programCount);
    for (unsigned c = 0; c < channels; ++c) {
        SkipBits(5);
        v.startGain[c] = static_cast<uint16_t>(ReadBits(10));
        v.endGain[c] = static_cast<uint16_t>(ReadBits(10));
    }
    for (int p = 0; p < kDolbyMaxPrograms; ++p)
        s.descriptions[p] = p < s.programCount ? info.programs[p].description.substr(0, kDolbyDescriptionMax) : "";

    SeekSample(info.metadataWord, info.metadataBit);
    // Segments: a 4-bit id (0 ends) and a 12-bit size. Past the end of the
    // data every id reads as 0, so the walk always ends.
    while (!s.bits.Overrun()) {
        const uint32_t id = ReadBits(4);
        if (id == 0)
            break;
        const uint32_t size = ReadBits(12);
        if (id == 1 || id == 2) {
            for (int p = 0; p < s.programCount; ++p) {
                s.blocks[p] = static_cast<int64_t>(s.bits.Position());
                SkipBits(kBlockBits);
            }
        } else {
            SkipBits(size);
        }
    }
}

int ReadProgramMetadata(DolbyProgramMetadata& record)
{
    ReaderState& s = State();
    const int p = s.inspected;
    const int64_t block = s.blocks[p];
    std::memset(&record, 0, sizeof record);
    if (p >= s.programCount || block < 0 || static_cast<uint64_t>(block) + kBlockBits > s.bits.SizeBits()) {
        std::memset(&record, 0xFF, offsetof(DolbyProgramMetadata, reserved));   // every field kDolbyAbsent
        return 0;
    }
    SeekBit(static_cast<uint64_t>(block));
    auto read = [](unsigned n) { return static_cast<uint16_t>(ReadBits(n)); };
    record.dataRate = read(5);
    record.bitStreamMode = read(3);
    record.ac3Mode = read(3);
    record.centreMixLevel = read(2);
    record.surroundMixLevel = read(2);
    record.dolbySurroundMode = read(2);
    record.lfeOn = read(1);
    record.dialogNorm = read(5);
    SkipBits(1 + 8);   // language code present, language code
    record.audioProductionInfo = read(1);
    record.mixLevel = read(5);
    record.roomType = read(2);
    record.copyright = read(1);
    record.originalBitStream = read(1);
    SkipBits(1);       // extended information 1 present
    record.downmixMode = read(2);
    record.ltRtCentreMixLevel = read(3);
    record.ltRtSurroundMixLevel = read(3);
    record.loRoCentreMixLevel = read(3);
    record.loRoSurroundMixLevel = read(3);
    SkipBits(1);       // extended information 2 present
    record.surroundExMode = read(2);
    record.headphoneMode = read(2);
    record.adConverterType = read(1);
    record.extendedInfo = read(8);
    record.encoderInfo = read(1);
    record.highPassFilter = read(1);
    record.lowPassFilter = read(1);
    record.lfeLowPassFilter = read(1);
    record.surround90Phase = read(1);
    record.surroundAttenuation = read(1);
    record.rfOverModProtection = read(1);
    SkipBits(1);       // compression present
    record.compressionWord = read(8);
    record.dynamicRangePresent = read(1);
    for (uint16_t& word : record.dynamicRange)
        word = read(8);
    std::strncpy(record.description, s.descriptions[p].c_str(), kDolbyDescriptionMax);
    return 1;
}

int GetDolbyEStatus(DolbyEStatus& status)
{
    const DolbyEStatus& parsed = State().parsed;
    const int ready = g_ready.load();
    if (ready != 0) {
        status = parsed;
    } else {
        status.programConfig = kDolbyNotReadyConfig;
        status.startGain = parsed.startGain;
        status.endGain = parsed.endGain;
    }
    return ready;
}

void SetDolbyReady(int ready)
{
    g_ready.store(ready != 0 ? 1 : 0);
}

int ParsedDolbyType()
{
    return State().type;
}

int GetAc3Stream(int& mode, int& rateItem)
{
    const ReaderState& s = State();
    if (s.type <= static_cast<int>(DolbyType::DolbyE) || s.type >= kDolbyTypeCount)
        return 0;
    mode = s.ac3Mode;
    rateItem = s.ac3Rate;
    return 1;
}

void SetDolbyInspectedProgram(int program)
{
    if (program >= 0 && program < kDolbyMaxPrograms)
        State().inspected = program;
}

void ResetDolbyReader()
{
    State() = ReaderState{};
    g_ready.store(0);
}
