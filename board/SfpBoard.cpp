#include "SfpBoard.h"

#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "sim/BoardDevices.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<uint8_t> gLastRegister{0};
std::atomic<uint8_t> gSelectedPage{0};

std::mutex gWaitMutex;
std::function<void(uint32_t)> gRetryWait;

void RetryWait(uint32_t ms)
{
    std::function<void(uint32_t)> wait;
    {
        std::lock_guard<std::mutex> lock(gWaitMutex);
        wait = gRetryWait;
    }
    if (wait)
        wait(ms);
    else
        Sleep(ms);
}

} // namespace

int sfp_write_byte(uint8_t reg, uint8_t value)
{
    for (int attempt = 0; attempt < kSfpWriteAttempts && i2c_bus_ready(); ++attempt) {
        if (attempt > 0)
            RetryWait(kSfpWriteRetryMs);
        if (CurrentEmSfpBus().WriteByte(reg, value)) {
            gLastRegister.store(reg);
            if (reg == kSfpPageSelectRegister)
                gSelectedPage.store(value);
            return 1;
        }
    }
    DebugPrintf("SFP Write failed.  addr=0x%02x\n", reg);
    return 0;
}

int sfp_read_byte(uint8_t reg, uint8_t* value)
{
    if (value == nullptr)
        return 0;
    uint8_t byte = 0;
    if (!CurrentEmSfpBus().ReadByte(reg, byte))
        return 0;
    *value = byte;
    return 1;
}

uint8_t sfp_last_register() { return gLastRegister.load(); }
uint8_t sfp_selected_page() { return gSelectedPage.load(); }

void sfp_set_power(int on) { CurrentSfpCage().SetPower(on); }
void sfp_set_rate_select(int on) { CurrentSfpCage().SetRateSelect(on); }
int sfp_detect() { return CurrentSfpCage().Detect(); }

bool sfp_is_powered()
{
    const int revision = CurrentSfpCage().CageRevision();
    return revision == 3 || revision == 4;
}

int sfp_get_cage_revision() { return CurrentSfpCage().CageRevision(); }
int get_board_revision() { return CurrentSfpCage().BoardRevision(); }

bool i2c_bus_ready() { return CurrentTwoWireBus().BusReady(); }

bool i2c_read_byte(uint8_t device, uint8_t reg, uint8_t* value)
{
    if (value == nullptr)
        return false;
    uint8_t byte = 0;
    if (!CurrentTwoWireBus().ReadByte(device, reg, byte))
        return false;
    *value = byte;
    return true;
}

bool i2c_write_byte(uint8_t device, uint8_t reg, uint8_t value)
{
    return CurrentTwoWireBus().WriteByte(device, reg, value);
}

void SetSfpRetryWait(std::function<void(uint32_t ms)> wait)
{
    std::lock_guard<std::mutex> lock(gWaitMutex);
    gRetryWait = std::move(wait);
}

void sfp_reset()
{
    gLastRegister.store(0);
    gSelectedPage.store(0);
    SetSfpRetryWait(nullptr);
}
