#include "FrameStore.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

namespace {

std::mutex gMutex;
std::vector<uint32_t> gStore;   // allocated on the first write
std::array<uint32_t, kHwStatusRegisters> gStatus{};

uint32_t WordsInStore(uint32_t address, uint32_t count)
{
    if (address >= kFrameStoreWords)
        return 0;
    return std::min(count, kFrameStoreWords - address);
}

} // namespace

uint32_t fb_read_words(uint32_t* destination, uint32_t address, uint32_t count)
{
    if (destination == nullptr)
        return 0;
    const uint32_t n = WordsInStore(address, count);
    std::lock_guard<std::mutex> lock(gMutex);
    if (gStore.empty())
        std::fill(destination, destination + n, 0u);
    else
        std::copy(gStore.begin() + address, gStore.begin() + address + n, destination);
    std::fill(destination + n, destination + count, 0u);
    return n;
}

uint32_t fb_write_words(uint32_t address, const uint32_t* source, uint32_t count)
{
    if (source == nullptr)
        return 0;
    const uint32_t n = WordsInStore(address, count);
    if (n == 0)
        return 0;
    std::lock_guard<std::mutex> lock(gMutex);
    if (gStore.empty())
        gStore.assign(kFrameStoreWords, 0u);
    std::copy(source, source + n, gStore.begin() + address);
    return n;
}

uint32_t hw_status_read(uint32_t reg)
{
    if (reg >= kHwStatusRegisters)
        return 0;
    std::lock_guard<std::mutex> lock(gMutex);
    return gStatus[reg];
}

void hw_status_set(uint32_t reg, uint32_t value)
{
    if (reg >= kHwStatusRegisters)
        return;
    std::lock_guard<std::mutex> lock(gMutex);
    gStatus[reg] = value;
}

void frame_store_reset()
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::vector<uint32_t>().swap(gStore);
    gStatus.fill(0);
}
