// A small pseudo-random sequence of the C runtime's classic form (state *
// 214013 + 2531011, fifteen bits out), the same on every host, so simulated
// readings repeat from run to run.
#pragma once

#include <cstdint>

class LcgRandom {
public:
    static constexpr int kMax = 0x7FFF;

    explicit LcgRandom(uint32_t seed = 1) : state_(seed) {}
    void Seed(uint32_t seed) { state_ = seed; }
    // 0 to kMax.
    int Next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    uint32_t state_;
};
