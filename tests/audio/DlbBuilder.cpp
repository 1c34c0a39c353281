#include "DlbBuilder.h"

#include "platform/FileSystem.h"

#include <vector>

namespace {

struct BitWriter {
    std::vector<uint8_t> bytes;
    size_t bits = 0;
    void Put(uint32_t value, unsigned n)
    {
        for (unsigned i = n; i-- > 0; ++bits) {
            if (bits % 8 == 0)
                bytes.push_back(0);
            bytes.back() |= static_cast<uint8_t>((i < 32 ? (value >> i) & 1u : 0u) << (7 - bits % 8));
        }
    }
};

// Field widths of a programme block in order, 0 marking a one-bit flag and
// 9 the language flag and code, written as zero.
void PutBlock(BitWriter& w, const DolbyProgramMetadata& m)
{
    const uint16_t* field = &m.dataRate;
    static constexpr unsigned widths[] = {5, 3, 3, 2, 2, 2, 1, 5, 9, 1, 5, 2, 1, 1, 0, 2, 3, 3, 3, 3, 0,
                                          2, 2, 1, 8, 1, 1, 1, 1, 1, 1, 1, 0, 8, 1, 8, 8, 8, 8};
    for (unsigned width : widths) {
        if (width == 0 || width == 9)
            w.Put(0, width == 0 ? 1 : 9);
        else
            w.Put(*field++, width);
    }
}

} // namespace

const DlbConfigCounts kDlbConfigs[24] = {
    {2, 8}, {3, 8}, {2, 8}, {3, 8}, {4, 8}, {5, 8}, {4, 8}, {5, 8}, {6, 8}, {7, 8}, {8, 8}, {1, 6},
    {2, 6}, {3, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}, {1, 4}, {2, 4}, {3, 4}, {4, 4}, {1, 8}, {1, 8},
};

void PutLe(std::string& file, size_t offset, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        file[offset + i] = static_cast<char>(value >> (8 * i));
}

std::string BuildDlb(const DlbStream& s)
{
    const DlbConfigCounts& config = kDlbConfigs[s.config];
    const unsigned bpw = s.bits20 ? 20 : 16;
    BitWriter w;
    w.Put(0, bpw * (s.key ? 6 : 5));
    w.Put(0, 14);
    w.Put(static_cast<uint32_t>(s.config), 6);
    w.Put(s.frameRateCode, 4);
    w.Put(s.originalFrameRateCode, 4);
    w.Put(0, 88 + 10 * config.channels + 16 + 10 * config.programs);
    for (int c = 0; c < config.channels; ++c) {
        w.Put(0, 5);
        w.Put(s.startGain[c], 10);
        w.Put(s.endGain[c], 10);
    }
    const size_t start = w.bits;
    if (s.otherSegmentBits != 0) {
        w.Put(3, 4);
        w.Put(s.otherSegmentBits, 12);
        w.Put(0, s.otherSegmentBits);
    }
    w.Put(1, 4);
    w.Put(120u * config.programs, 12);
    for (int p = 0; p < config.programs; ++p)
        PutBlock(w, s.programs[p]);
    w.Put(0, 4 + 8);
    const size_t word = start / bpw;
    if (w.bytes.size() < 3 * word)
        w.bytes.resize(3 * word);

    std::string file(116, '\0');
    file[7] = 1;
    PutLe(file, 16, (s.key ? 1u : 0u) | (s.bits20 ? 2u : 0u), 4);
    PutLe(file, 24, static_cast<uint32_t>(w.bytes.size()), 4);
    PutLe(file, 64, static_cast<uint32_t>(word), 2);
    PutLe(file, 66, static_cast<uint32_t>(start % bpw), 2);
    for (int p = 0; p < 8; ++p) {
        PutLe(file, 68 + 4 * p, s.firstWords[p], 2);
        PutLe(file, 70 + 4 * p, s.secondWords[p], 2);
    }
    return file + std::string(w.bytes.begin(), w.bytes.end());
}

std::string BuildAc3Dlb()
{
    return std::string(116, '\0') + std::string(64, '\xFF');
}

bool WriteDlb(const std::string& path, const std::string& file)
{
    for (size_t at = path.find('/'); at != std::string::npos; at = path.find('/', at + 1))
        MakeFolder(path.substr(0, at));
    return WriteFileAtomic(path, file);
}
