// The network side of the board: applying a static address. The simulated
// board leaves the host's network alone and reports success.
#pragma once

#include <cstdint>

// Returns 0 (success).
int net_set_static_ip(const char* address, const char* mask, const char* gateway, const char* dns);
// Returns 0.
int net_hw_apply(uint32_t word);
