// The power controller of the audio side: which generator audio pairs,
// generator outputs, groups and meter inputs are powered. The board keeps
// the flags it was last given; each call also goes to the audio device.
#pragma once

#include <array>
#include <cstdint>

constexpr int kPowerAudioPairs = 8;   // pairs 0-7

struct PowerControlState {
    uint8_t audioPairs = 0;           // bit p = pair p powered
    uint8_t genFlag = 0;
    uint8_t genAnalog = 0;
    std::array<uint8_t, 4> genGroups{};
    uint8_t meterAnalog = 0;
};

// Pair 0-7; any other pair prints an error and changes nothing.
void power_set_audio_pair(int pair, int on);
void power_set_gen_flag(uint8_t value);
void power_set_gen_analog(int on);
void power_set_gen_groups(uint8_t g1, uint8_t g2, uint8_t g3, uint8_t g4);
void power_set_meter_analog(int on);

// The flags kept.
PowerControlState power_state();
void power_reset();
