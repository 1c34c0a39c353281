// EDID blocks as a display gives them. The first byte picks the view and
// whether the block keeps its own header and checksum; otherwise both are
// made good, so the decoding itself is reached.
#include "ipsfp/edid/EdidDecoder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    std::span<const uint8_t> rest(data + 1, size - 1);
    if ((mode & 2) != 0) {
        DecodeEdid(rest, (mode & 1) != 0);
        return 0;
    }
    std::array<uint8_t, kEdidBlockSize> block {};
    std::copy_n(rest.begin(), std::min(rest.size(), block.size()), block.begin());
    const uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(header, header + 8, block.begin());
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < block.size(); ++i)
        sum += block[i];
    block.back() = static_cast<uint8_t>(256 - (sum & 0xFF));
    DecodeEdid(block, (mode & 1) != 0);
    return 0;
}
