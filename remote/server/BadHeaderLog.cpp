#include "BadHeaderLog.h"

bool BadHeaderLog::Note(uint64_t nowMs, uint32_t& dropped)
{
    if (inRun_ && nowMs - loggedMs_ < kIntervalMs) {
        if (dropped_ < UINT32_MAX)
            ++dropped_;
        return false;
    }
    dropped = inRun_ ? dropped_ : 0;
    inRun_ = true;
    loggedMs_ = nowMs;
    dropped_ = 0;
    return true;
}
