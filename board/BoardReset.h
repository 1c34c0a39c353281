// Puts the whole simulated board back to its power-on state: the simulated
// hardware (sim/SimReset.h), an empty frame store, cleared status registers,
// power flags and CRCC register, no simulated input standard, the simulator's
// own network host.
#pragma once

void BoardReset();
