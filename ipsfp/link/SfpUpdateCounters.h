// The update sequencer's process-wide step counters that the page map reads.
// Application thread only.
#pragma once

#include <cstdint>

struct SfpUpdateCounters {
    // Decapsulation audio-map step: 0 to 15, -1 = off. While it is 6 to 11
    // every logical page maps to the selected audio flow's page.
    int8_t decapMapStep = 0;
};

SfpUpdateCounters& UpdateCounters();

// The counters as at start-up.
void ResetSfpUpdateCounters();
