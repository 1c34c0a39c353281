// Puts the whole simulated hardware back to its power-on state: a black LCD
// without overlay lines, an empty keyboard, the emSFP flags cleared and the
// simulator's own devices installed.
#pragma once

void SimReset();
