// Channel-status blocks as received, and text-table formats as a dialog
// file gives them: the first byte picks which one the rest feeds.
#include "audio/aes/TpChanStatus.h"
#include "audio/meters/TextFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t* rest = data + 1;
    const size_t count = size - 1;
    if ((data[0] & 1) != 0) {
        TpChanStatus::Block block{};
        std::memcpy(block.data(), rest, count < block.size() ? count : block.size());
        TpChanStatus::Decode(block, count > block.size() ? rest[block.size()] : 0);
    } else {
        FormatTextInt(std::string(reinterpret_cast<const char*>(rest), count), static_cast<long>(count) - 40);
    }
    return 0;
}
