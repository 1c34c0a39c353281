#include "PowerControl.h"

#include "platform/DebugOut.h"
#include "sim/BoardDevices.h"

#include <mutex>

namespace {
std::mutex gMutex;
PowerControlState gState;
} // namespace

void power_set_audio_pair(int pair, int on)
{
    if (pair < 0 || pair >= kPowerAudioPairs) {
        DebugPrintf("ERROR Generator audio pair out of range for PowerControl. %d is not in range 0 to %d",
                    pair, kPowerAudioPairs - 1);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(gMutex);
        const uint8_t bit = static_cast<uint8_t>(1u << pair);
        gState.audioPairs = static_cast<uint8_t>(on != 0 ? (gState.audioPairs | bit) : (gState.audioPairs & ~bit));
    }
    CurrentAudioHardware().PowerAudioPair(pair, on);
}

void power_set_gen_flag(uint8_t value)
{
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gState.genFlag = value;
    }
    CurrentAudioHardware().PowerGenFlag(value);
}

void power_set_gen_analog(int on)
{
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gState.genAnalog = on != 0 ? 1 : 0;
    }
    CurrentAudioHardware().PowerGenAnalog(on);
}

void power_set_gen_groups(uint8_t g1, uint8_t g2, uint8_t g3, uint8_t g4)
{
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gState.genGroups = {g1, g2, g3, g4};
    }
    CurrentAudioHardware().PowerGenGroups(g1, g2, g3, g4);
}

void power_set_meter_analog(int on)
{
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gState.meterAnalog = on != 0 ? 1 : 0;
    }
    CurrentAudioHardware().PowerMeterAnalog(on);
}

PowerControlState power_state()
{
    std::lock_guard<std::mutex> lock(gMutex);
    return gState;
}

void power_reset()
{
    std::lock_guard<std::mutex> lock(gMutex);
    gState = PowerControlState();
}
