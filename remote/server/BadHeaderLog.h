// How often a connection logs bad headers (a wrong magic word, a refused
// request type). The first bad header of a run is logged; after it at most one
// a second, carrying the number of bad headers left unlogged since the last
// one logged. A good header ends the run. Times are the caller's, in
// milliseconds of the monotonic clock.
#pragma once

#include <cstdint>

class BadHeaderLog {
public:
    static constexpr uint64_t kIntervalMs = 1000;

    // A bad header arrived at nowMs: true when it is to be logged, with the
    // number of bad headers not logged before it in dropped.
    bool Note(uint64_t nowMs, uint32_t& dropped);
    // A good header arrived: the run is over.
    void End() { inRun_ = false; }

private:
    bool inRun_ = false;
    uint64_t loggedMs_ = 0;
    uint32_t dropped_ = 0;
};
