#include "TpAudOscillators.h"

#include "core/log/TpLogger.h"
#include "platform/DebugOut.h"

#include <cstdio>
#include <memory>

namespace {
constexpr const char* kNoSlotText = "ERROR: Not enough Oscillator slots\n";

std::unique_ptr<TpAudOscillators>& SharedBank()
{
    static std::unique_ptr<TpAudOscillators> bank;
    return bank;
}
} // namespace

TpAudOscillators& TpAudOscillators::Shared()
{
    auto& bank = SharedBank();
    if (!bank)
        bank = std::make_unique<TpAudOscillators>(kSharedSlots);
    return *bank;
}

void TpAudOscillators::ResetShared()
{
    SharedBank().reset();
}

TpAudOscillators::TpAudOscillators(uint32_t count) : slots_(count) {}

uint16_t TpAudOscillators::Frequency(uint32_t slot) const
{
    return slot >= 1 && slot <= slots_.size() ? slots_[slot - 1].frequency : 0;
}

uint16_t TpAudOscillators::Users(uint32_t slot) const
{
    return slot >= 1 && slot <= slots_.size() ? slots_[slot - 1].users : 0;
}

void TpAudOscillators::Release(uint32_t slot)
{
    if (slot == 0)
        return;
    if (slot > slots_.size() || slots_[slot - 1].users == 0) {
        DebugPrintf("Error: Freeing up unused oscillator %u\n", slot);
        return;
    }
    --slots_[slot - 1].users;
}

uint32_t TpAudOscillators::AllocOscillator(uint32_t current, uint32_t frequency)
{
    const uint16_t hz = static_cast<uint16_t>(frequency & 0xFFFF);
    // The caller gives up its old slot before asking for a new one.
    Release(current);
    if (hz == 0)
        return 0;
    if (slots_.empty()) {
        DebugPrintf("%s", kNoSlotText);
        return 0;
    }
    uint32_t firstFree = 0;
    for (uint32_t slot = 1; slot <= slots_.size(); ++slot) {
        OscillatorSlot& s = slots_[slot - 1];
        if (s.frequency == hz) {
            ++s.users;
            return slot;
        }
        if (firstFree == 0 && s.users == 0)
            firstFree = slot;
    }
    if (firstFree == 0) {
        DebugPrintf("%s", kNoSlotText);
        return 0;
    }
    OscillatorSlot& s = slots_[firstFree - 1];
    s.users = 1;
    s.frequency = hz;
    char text[48];
    std::snprintf(text, sizeof text, "Osc %u = %luHz", firstFree, static_cast<unsigned long>(hz));
    LogMessage(2, text);
    return firstFree;
}
