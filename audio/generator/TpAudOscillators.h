// The bank of tone oscillators shared by the generated audio channels. Every
// channel that plays a tone holds one slot; channels that play the same
// frequency share it. Slots are numbered from 1; 0 means no slot.
#pragma once

#include "core/store/TpBase.h"

#include <cstdint>
#include <vector>

class TpAudOscillators : public TpBase {
public:
    // The process-wide bank: kSharedSlots slots, made on first use.
    static constexpr uint32_t kSharedSlots = 16;
    static TpAudOscillators& Shared();
    // Puts the process-wide bank back to its start state (every slot free).
    static void ResetShared();

    explicit TpAudOscillators(uint32_t count);

    // Gives up `current` (0 = none) and returns the slot now held for
    // `frequency` (Hz, low 16 bits): a slot already at that frequency is
    // shared, else the first free one is taken. Frequency 0 only gives up
    // the old slot. 0 when no slot is left.
    uint32_t AllocOscillator(uint32_t current, uint32_t frequency);

    uint32_t SlotCount() const { return static_cast<uint32_t>(slots_.size()); }
    // Frequency and user count of a slot; 0 for a slot outside the bank.
    uint16_t Frequency(uint32_t slot) const;
    uint16_t Users(uint32_t slot) const;

private:
    struct OscillatorSlot {
        uint16_t frequency = 0;
        uint16_t users = 0;   // 0 = free
    };

    // One user less on the slot; a slot outside the bank or without users is
    // reported and left as it is.
    void Release(uint32_t slot);

    std::vector<OscillatorSlot> slots_;
};
