// A short busy wait before going to sleep: a thread that expects its wake-up
// within microseconds watches for it on the core it holds instead of paying
// for a sleep and a wake-up through the scheduler. Only a few threads spin
// at once, so that spinners never take the cores the awaited work needs.
#pragma once

#include <chrono>
#include <cstdint>

namespace spin_wait {
// Takes one of the process's spin permits (the cores this process may run
// on, less two: none on one or two cores); false when all are taken.
bool TakePermit();
void ReturnPermit();
void CpuRelax();
} // namespace spin_wait

// Calls ready() until it returns true, for at most spinUs of real time and
// only while a spin permit is free; returns ready()'s last answer.
template <class Ready>
bool SpinUntil(Ready&& ready, uint32_t spinUs)
{
    if (ready())
        return true;
    if (spinUs == 0 || !spin_wait::TakePermit())
        return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(spinUs);
    bool done = false;
    while (!done) {
        for (int i = 0; i < 32 && !done; ++i) {
            spin_wait::CpuRelax();
            done = ready();
        }
        if (std::chrono::steady_clock::now() >= end)
            break;
    }
    spin_wait::ReturnPermit();
    return done;
}
