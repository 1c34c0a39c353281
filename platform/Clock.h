// Time as the system sees it. Everything that depends on time reads the
// current clock, so tests can install a ManualClock and drive it.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary start; never goes back.
    virtual uint64_t MonotonicMs() const = 0;
    // Seconds since the epoch (what time() gives).
    virtual std::time_t WallSeconds() const = 0;
    // A short wait inside a polling loop: real time passes on a real clock;
    // a manual clock moves on by ms instead, so a poll loop with a time limit
    // ends without sleeping.
    virtual void Wait(uint32_t ms) = 0;
};

class RealClock : public Clock {
public:
    uint64_t MonotonicMs() const override;
    std::time_t WallSeconds() const override;
    void Wait(uint32_t ms) override;
};

// A clock that moves only when told to.
class ManualClock : public Clock {
public:
    explicit ManualClock(uint64_t startMs = 0, std::time_t startWall = 1700000000)
        : ms_(startMs), wall_(startWall) {}
    uint64_t MonotonicMs() const override { return ms_.load(); }
    std::time_t WallSeconds() const override { return wall_.load(); }
    // Advances both readings; the wall clock by whole seconds crossed.
    void AdvanceMs(uint64_t ms);
    void SetWallSeconds(std::time_t t) { wall_.store(t); }
    // Moves on by ms (AdvanceMs) and returns at once.
    void Wait(uint32_t ms) override;

private:
    std::atomic<uint64_t> ms_;
    std::atomic<std::time_t> wall_;
    std::atomic<uint64_t> subSecondMs_{0};
};

// The clock in force. Never null: the real clock unless one was installed.
Clock& CurrentClock();
// Installs a clock (nullptr restores the real one). The caller keeps it alive
// until it is replaced.
void SetClock(Clock* clock);

// Milliseconds of the current clock, wrapping at 2^32 as the instrument's
// tick counter does.
uint32_t GetTickCount();

// Blocks the calling thread for the given real time.
void Sleep(uint32_t ms);

// A wait of a polling loop on the current clock (Clock::Wait).
void ClockWait(uint32_t ms);
