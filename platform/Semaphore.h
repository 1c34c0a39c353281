// Counting semaphore with a maximum count, in place of the kernel semaphores
// the connection threads and loader threads wait on. A waiter can be woken
// for shutdown: after Shutdown() every wait returns false at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class Semaphore {
public:
    explicit Semaphore(uint32_t initial = 0, uint32_t maximum = 1);
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    // Adds one to the count; false when the count is already at its maximum
    // (the count is left as it is).
    bool Post();
    // Waits until the count is above zero and takes one. False when the
    // semaphore was shut down.
    bool Wait();
    // As Wait, giving up after timeoutMs of real time (false). With spinUs,
    // first watches the count that long before sleeping (see SpinWait.h).
    bool WaitFor(uint32_t timeoutMs, uint32_t spinUs = 0);
    // Takes one if available without waiting.
    bool TryWait();
    // Wakes every waiter; waits fail from now on until Reset().
    void Shutdown();
    // Count back to zero, shutdown cleared.
    void Reset();
    bool IsShutDown() const;
    uint32_t Count() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable cond_;
    std::atomic<uint32_t> count_;   // changed under mutex_; read outside it only to spin
    uint32_t maximum_;
    bool shutdown_ = false;
};

// A semaphore whose count is 0 or 1.
class BinarySemaphore : public Semaphore {
public:
    explicit BinarySemaphore(bool initiallySet = false) : Semaphore(initiallySet ? 1 : 0, 1) {}
};
