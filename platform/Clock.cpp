#include "Clock.h"

#include <chrono>
#include <thread>

namespace {
RealClock g_realClock;
std::atomic<Clock*> g_clock{nullptr};
} // namespace

uint64_t RealClock::MonotonicMs() const
{
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::time_t RealClock::WallSeconds() const
{
    return std::time(nullptr);
}

void RealClock::Wait(uint32_t ms)
{
    Sleep(ms);
}

void ManualClock::Wait(uint32_t ms)
{
    AdvanceMs(ms);
}

void ManualClock::AdvanceMs(uint64_t ms)
{
    ms_ += ms;
    uint64_t sub = subSecondMs_.load() + ms;
    wall_ += static_cast<std::time_t>(sub / 1000);
    subSecondMs_.store(sub % 1000);
}

Clock& CurrentClock()
{
    Clock* c = g_clock.load();
    return c != nullptr ? *c : g_realClock;
}

void SetClock(Clock* clock)
{
    g_clock.store(clock);
}

uint32_t GetTickCount()
{
    return static_cast<uint32_t>(CurrentClock().MonotonicMs());
}

void Sleep(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void ClockWait(uint32_t ms)
{
    CurrentClock().Wait(ms);
}
