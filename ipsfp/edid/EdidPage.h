// The EDID page: asks the HDMI output module for the EDID of the display
// behind it, waits for the module, reads the 128-byte block over the
// two-wire bus and shows what the decoder makes of it in the monitor list
// (2350) and the modes list (2351). Application thread; the wait blocks it
// for at most about two seconds.
#pragma once

#include <cstdint>

namespace EdidPage {

constexpr unsigned kMonitorListCmd = 2350;
constexpr unsigned kModesListCmd = 2351;
constexpr uint8_t kBlockDevice = 0xA0;     // status byte and the block
constexpr uint8_t kRequestDevice = 0xA2;
constexpr uint8_t kRequestRegister = 165;  // request (0xA2) and status (0xA0, bit 0 busy)
constexpr unsigned kBlockFirstRegister = 128;
constexpr uint32_t kWaitLimitMs = 2000;
constexpr uint32_t kPollMs = 2;

// Clears both lists (each by its own item count), then reads and shows the
// EDID: the hex view when hexView is set, else the decoded view. Nothing
// happens while either list does not exist. A module that stays busy or a
// failed read shows the read-failure text.
void ReadEdid(bool hexView);

} // namespace EdidPage
