// Walks arbitrary stream data to the programme blocks the generator binds
// its fields to. The first bytes give the stream flags, the metadata start,
// the programme count and the programme; the walk must end and stay inside.
#include "audio/dolby/TpDolbyGenerator.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kPrefix = 6;
    if (size < kPrefix)
        return 0;
    DolbyStreamInfo info;
    info.flags = data[0];
    info.metadataWord = static_cast<uint32_t>(data[1] | data[2] << 8);
    info.metadataBit = data[3];
    info.programCount = static_cast<uint8_t>(data[4] % (kDolbyMaxPrograms + 1));
    const int program = info.programCount > 0 ? data[5] % info.programCount : 0;
    info.dataSize = static_cast<uint32_t>(size - kPrefix);
    info.data.reset(new uint8_t[info.dataSize + 1]);
    std::memcpy(info.data.get(), data + kPrefix, info.dataSize);
    const DolbyFieldPlaces places = FindDolbyFieldPlaces(info, program);
    if (places.frameRate > static_cast<int64_t>(info.dataSize) * 8)
        std::abort();
    return 0;
}
