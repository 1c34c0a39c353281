// Feeds arbitrary bytes to the Dolby stream loader as a ".dlb" file, parses
// the stream that loaded and reads every programme's metadata. The first
// byte picks the configuration. A failed load must leave the loaded stream
// as it was; a programme's metadata is either read or wholly absent.
#include "FuzzFolder.h"

#include "audio/dolby/DolbyMetadataReader.h"
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Every run writes a file: keep it in memory-backed storage when the host
    // has it and no folder was chosen.
    static const int shm =
        std::getenv("TMPDIR") == nullptr && access("/dev/shm", W_OK) == 0 ? setenv("TMPDIR", "/dev/shm", 0) : 0;
    (void)shm;
    static DolbyStreamInfo info;
    DolbyLoadRequest request;
    request.path = FuzzFolder() + "/in.dlb";
    request.config = size > 0 ? data[0] % kDolbyEConfigCount : 0;
    request.format.standard = size > 1 ? data[1] % 60 - 2 : -1;
    FILE* file = std::fopen(request.path.c_str(), "wb");
    if (file == nullptr)
        return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written)
        return 0;
    const auto before = info.data;
    if (LoadDolbyFile(request, info) == 0) {
        Check(info.data == before);
        return 0;
    }
    Check(info.dataSize == size - 116 && info.programCount == dolby_e_configs[request.config].programs);
    ParseDolbyMetadata(info);
    for (int p = 0; p < kDolbyMaxPrograms; ++p) {
        SetDolbyInspectedProgram(p);
        DolbyProgramMetadata m;
        if (ReadProgramMetadata(m) == 0)
            Check(m.dataRate == kDolbyAbsent && m.dynamicRange[3] == kDolbyAbsent);
        else
            Check(m.dataRate < 32 && m.dynamicRange[3] < 256 && p < info.programCount);
    }
    DolbyEStatus status;
    GetDolbyEStatus(status);
    return 0;
}
