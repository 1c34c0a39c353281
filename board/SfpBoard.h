// The SFP cage of the board: the emSFP module's paged register window, the
// two-wire devices of the module (0xA0 identity and EDID, 0xA2 diagnostics),
// the cage power and rate select, and the board and cage revisions. Every
// read goes to the device in force (sim/BoardDevices.h).
#pragma once

#include <cstdint>
#include <functional>

constexpr uint8_t kSfpPageSelectRegister = 127;
constexpr int kSfpWriteAttempts = 10;
constexpr uint32_t kSfpWriteRetryMs = 20;

// Writes value to a register of the emSFP window: up to 10 attempts 20 ms
// apart while the two-wire bus is ready. Non-zero on success; after the last
// failed attempt prints "SFP Write failed.  addr=0x%02x\n" and returns 0.
// A successful write is remembered (the register, and for register 127 the
// page).
int sfp_write_byte(uint8_t reg, uint8_t value);
// Reads one register of the selected emSFP page into *value: 1 on success,
// 0 (value untouched) when the module does not answer.
int sfp_read_byte(uint8_t reg, uint8_t* value);
// The last register written successfully and the last page selected.
uint8_t sfp_last_register();
uint8_t sfp_selected_page();

void sfp_set_power(int on);
void sfp_set_rate_select(int on);
int sfp_detect();
// True when the cage is powered: cage revision 3 or 4.
bool sfp_is_powered();
int sfp_get_cage_revision();
int get_board_revision();

bool i2c_bus_ready();
bool i2c_read_byte(uint8_t device, uint8_t reg, uint8_t* value);
bool i2c_write_byte(uint8_t device, uint8_t reg, uint8_t value);

// The wait between write attempts (real sleep unless replaced; tests put in
// one that only records). nullptr restores the sleep.
void SetSfpRetryWait(std::function<void(uint32_t ms)> wait);

// Forgets the remembered register and page, restores the retry sleep.
void sfp_reset();
