// AES receivers delivering the channel-status blocks a test sets (zeros
// until then); a receiver can be made to deliver nothing.
#pragma once

#include "sim/BoardDevices.h"

#include <array>
#include <cstdint>
#include <cstring>

class FakeAesReceiver : public AesReceiver {
public:
    using Block = std::array<uint8_t, kAesStatusBytes>;

    bool ReadChannelStatus(int input, uint8_t* block) override
    {
        if (fail || input < 0 || input > 1)
            return false;
        std::memcpy(block, inputs[static_cast<size_t>(input)].data(), kAesStatusBytes);
        return true;
    }
    bool ReadEmbeddedStatus(uint8_t* block) override
    {
        if (fail)
            return false;
        std::memcpy(block, embedded.data(), kAesStatusBytes);
        return true;
    }

    std::array<Block, 2> inputs{};
    Block embedded{};
    bool fail = false;
};
