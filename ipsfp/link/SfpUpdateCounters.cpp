#include "SfpUpdateCounters.h"

namespace {
SfpUpdateCounters gCounters;
} // namespace

SfpUpdateCounters& UpdateCounters() { return gCounters; }

void ResetSfpUpdateCounters() { gCounters = SfpUpdateCounters {}; }
