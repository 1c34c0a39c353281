#include "SpinWait.h"

#include <atomic>

#include <sched.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

int PermitCount()
{
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    const int usable = sched_getaffinity(0, sizeof cpus, &cpus) == 0 ? CPU_COUNT(&cpus) : 1;
    return usable > 2 ? usable - 2 : 0;
}

std::atomic<int>& FreePermits()
{
    static std::atomic<int> free{PermitCount()};
    return free;
}

} // namespace

namespace spin_wait {

bool TakePermit()
{
    std::atomic<int>& free = FreePermits();
    int n = free.load(std::memory_order_relaxed);
    while (n > 0) {
        if (free.compare_exchange_weak(n, n - 1, std::memory_order_relaxed))
            return true;
    }
    return false;
}

void ReturnPermit()
{
    FreePermits().fetch_add(1, std::memory_order_relaxed);
}

void CpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

} // namespace spin_wait
