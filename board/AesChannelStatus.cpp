#include "AesChannelStatus.h"

#include "sim/BoardDevices.h"

#include <atomic>
#include <cstring>

namespace {

// Held reflected: bit 7 - i of the variable is register stage i, so shifting
// right feeds the next bit and the variable is the value read back.
std::atomic<uint8_t> gCrcc{0xFF};

constexpr uint8_t kReflectedPolynomial = 0xB8;   // x^8 + x^4 + x^3 + x^2 + 1
constexpr uint8_t kDefaultByte0 = 0x85;   // professional, PCM, no emphasis, 48 kHz
constexpr uint8_t kDefaultFlag = 1;

} // namespace

int aes_rx_status_ok(int input, uint8_t* block)
{
    if (block == nullptr)
        return 0;
    if ((input == 0 || input == 1) && CurrentAesReceiver().ReadChannelStatus(input, block))
        return 1;
    std::memset(block, 0, kAesStatusBytes);
    return 0;
}

int aes_crc_reset_ctx(uint8_t* block)
{
    if (block == nullptr)
        return 0;
    if (CurrentAesReceiver().ReadEmbeddedStatus(block))
        return 1;
    std::memset(block, 0, kAesStatusBytes);
    return 0;
}

uint8_t aes_default_status_block(uint8_t* block)
{
    if (block == nullptr)
        return 0;
    std::memset(block, 0, kAesStatusBytes);
    block[0] = kDefaultByte0;
    block[kAesStatusBytes - 1] = aes_block_crc(block);
    return kDefaultFlag;
}

void aes_crc_init()
{
    gCrcc.store(0xFF);
}

void aes_crc_add_byte(uint8_t value)
{
    uint8_t crc = static_cast<uint8_t>(gCrcc.load() ^ value);
    for (int bit = 0; bit < 8; ++bit)
        crc = static_cast<uint8_t>((crc & 1u) != 0 ? (crc >> 1) ^ kReflectedPolynomial : crc >> 1);
    gCrcc.store(crc);
}

uint8_t aes_crc_get()
{
    return gCrcc.load();
}

uint8_t aes_block_crc(const uint8_t* block)
{
    aes_crc_init();
    for (size_t i = 0; i + 1 < kAesStatusBytes; ++i)
        aes_crc_add_byte(block[i]);
    return aes_crc_get();
}
