// The audio source codes: the one vocabulary of the router's connections and
// of the level reports to the audio monitors.
#pragma once

#include <cstdint>

using AudioSourceCode = uint32_t;

constexpr AudioSourceCode kSrcAesLeft = 0x000;        // AES input, left (0) and right (1)
constexpr AudioSourceCode kSrcAesRight = 0x001;
constexpr AudioSourceCode kSrcStreamLeft = 0x002;     // second stream input, left (2) and right (3)
constexpr AudioSourceCode kSrcStreamRight = 0x003;
constexpr AudioSourceCode kSrcDolbyLeft = 0x060;      // Dolby generator output
constexpr AudioSourceCode kSrcDolbyRight = 0x061;
constexpr AudioSourceCode kSrcEmbedded = 0x080;       // + n: embedded input channel n + 1 (n 0-15)
constexpr AudioSourceCode kSrcOscillator = 0x100;     // + k: oscillator slot k + 1 (k 0-15)
constexpr AudioSourceCode kSrcPulseLeft = 0x120;      // pulse tone
constexpr AudioSourceCode kSrcPulseRight = 0x121;
constexpr AudioSourceCode kSrcNoise = 0x140;
constexpr AudioSourceCode kSrcSilence = 0x1F0;

// The code passed on for oscillator slot `slot` (1 and up; 0 = none gives
// 0xFF, which names no oscillator).
constexpr AudioSourceCode OscillatorCode(uint32_t slot)
{
    return kSrcOscillator - 1 + slot;
}

constexpr bool IsDolbyCode(AudioSourceCode code)
{
    return code == kSrcDolbyLeft || code == kSrcDolbyRight;
}
